#include "viewer/mail/CFormula.h"

#include <algorithm>

BOOL CFormula::IsKnownItem(const CString& token) const {
  CString name = token;
  name.TrimLeft(u'<');
  name.TrimRight(u'>');
  const auto same = [&name](const CString& known) { return known.Compare(name) == 0; };
  return std::any_of(m_labels.begin(), m_labels.end(), same) ||
         std::any_of(m_extraItems.begin(), m_extraItems.end(), same);
}

BOOL CFormula::Check(int& position, CString& token) const {
  position = 0;
  token.Empty();
  const std::u16string_view text = m_strText.View();
  for (size_t at = 0; at < text.size();) {
    position = static_cast<int>(at);
    const char16_t first = text[at];
    if (first == u'\r' || first == u'\n') {
      ++at;
      continue;
    }
    if (first != u'"' && first != u'<') return FALSE;
    const size_t close = text.find(first == u'"' ? u'"' : u'>', at + 1);
    if (close == std::u16string_view::npos) return FALSE;
    const CString item(text.substr(at, close - at + 1));
    if (first == u'<' && !IsKnownItem(item)) {
      token = item;
      return FALSE;
    }
    at = close + 1;
  }
  position = static_cast<int>(text.size());
  return TRUE;
}
