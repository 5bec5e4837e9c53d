#include "viewer/output/CQVSXMLWrite.h"

#include "foundation/util/CDPXStringList.h"

namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendEscaped(std::u16string& text, std::u16string_view value) {
  for (size_t i = 0; i < value.size(); ++i) {
    const char16_t c = value[i];
    if (IsHighSurrogate(c) && i + 1 < value.size() && IsLowSurrogate(value[i + 1])) {
      text += c;
      text += value[++i];
    } else if (c == u'&') {
      text += u"&amp;";
    } else if (c == u'<') {
      text += u"&lt;";
    } else if (c == u'>') {
      text += u"&gt;";
    } else if (c == u'\r') {
      text += u"&#13;";
    } else if ((c < 0x20 && c != u'\t' && c != u'\n') || IsHighSurrogate(c) || IsLowSurrogate(c) || c == 0xFFFE ||
               c == 0xFFFF) {
      text += u'\uFFFD';
    } else {
      text += c;
    }
  }
}

}  // namespace

BOOL CQVSXMLWrite::Open(LPCWSTR path) {
  if (!Create(path)) return FALSE;
  if (WriteText(u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<data>\r\n<recordlist>\r\n")) return TRUE;
  Abort();
  return FALSE;
}

BOOL CQVSXMLWrite::WriteRecord(const CDPXStringList& values, int kind) {
  if (!IsOpen() || values.GetCount() == 0 || kind != 0) return FALSE;
  std::u16string text = u"<record>\r\n";
  CString value;
  for (POSITION pos = values.GetHeadPosition(); values.GetNext(pos, value);) {
    text += u"<item>";
    AppendEscaped(text, value.View());
    text += u"</item>\r\n";
  }
  text += u"</record>\r\n";
  return WriteText(text);
}

BOOL CQVSXMLWrite::Close() {
  if (!IsOpen()) return FALSE;
  WriteText(u"\r\n</recordlist>\r\n</data>");
  return Commit();
}
