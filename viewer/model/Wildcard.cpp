#include "viewer/model/Wildcard.h"

BOOL IsAllWildcards(LPCWSTR text) {
  for (LPCWSTR p = text; p && *p; ++p) {
    if (*p != u'*') return FALSE;
  }
  return TRUE;
}

BOOL WildcardMatch(LPCWSTR pattern, LPCWSTR text) {
  const std::u16string_view p = pattern ? pattern : u"";
  const std::u16string_view t = text ? text : u"";
  return WildcardMatchSpan(p, t) ? TRUE : FALSE;
}

BOOL WildcardMatchNoCase(LPCWSTR pattern, LPCWSTR text) {
  CString p(pattern);
  CString t(text);
  return WildcardMatch(p.MakeLower(), t.MakeLower());
}
