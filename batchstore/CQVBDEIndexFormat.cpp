#include "batchstore/CQVBDEIndexFormat.h"

#include "batchstore/CQVBDEIndexItem.h"
#include "foundation/util/CDPXScriptFile.h"
#include "foundation/util/CDPXStdioFile.h"
#include "foundation/util/DPXReplaceFile.h"

#include <algorithm>
#include <climits>

IMPLEMENT_DYNAMIC(CQVBDEIndexFormat, CObject)

const WCHAR CQVBDEIndexFormat::m_tchLeft = u'"';
const WCHAR CQVBDEIndexFormat::m_tchRight = u'"';

namespace {

const char16_t* const kSourceWords[] = { u"Manual", u"System", u"OCR", u"Barcode" };

// A "%d" scan: leading blanks, an optional sign, at least one digit; the rest is ignored.
bool ScanInt(const CString& text, int& value) {
  std::u16string_view rest = text.View();
  while (!rest.empty() && (rest.front() == u' ' || rest.front() == u'\t')) rest.remove_prefix(1);
  bool negative = !rest.empty() && rest.front() == u'-';
  if (!rest.empty() && (rest.front() == u'-' || rest.front() == u'+')) rest.remove_prefix(1);
  if (rest.empty() || rest.front() < u'0' || rest.front() > u'9') return false;
  long long number = 0;
  for (; !rest.empty() && rest.front() >= u'0' && rest.front() <= u'9'; rest.remove_prefix(1))
    number = std::min<long long>(number * 10 + (rest.front() - u'0'), 1LL << 32);
  number = negative ? -number : number;
  value = static_cast<int>(std::clamp<long long>(number, INT_MIN, INT_MAX));
  return true;
}

}  // namespace

BOOL CQVBDEIndexFormat::Save(LPCWSTR path, CQVBDEIndexItemList& list) {
  std::u16string text;
  for (int i = 0; i < list.GetCount(); ++i) {
    const CQVBDEIndexItem* item = list.GetItem(i);
    if (!item || item->m_strName.FindOneOf(u"\r\n") >= 0) return FALSE;
    text += u"[" + std::u16string(item->m_strName.View()) + u"]\r\n";
    text += u"Source = ";
    if (item->m_nSource >= 0 && item->m_nSource <= 3) text += kSourceWords[item->m_nSource];
    CString accuracy;
    accuracy.Format(u"%d", std::clamp(item->m_nAccuracy, 0, 10000));
    text += u"\r\nAccuracy = " + std::u16string(accuracy.View()) + u"\r\n";
    // Every line break of the value, CR LF or a lone CR or LF, starts a new delimited line.
    std::u16string_view value = item->m_strValue.View();
    std::u16string piece;
    for (size_t at = 0; at <= value.size(); ++at) {
      if (at == value.size() || value[at] == u'\r' || value[at] == u'\n') {
        text += m_tchLeft + piece + m_tchRight + std::u16string(u"\r\n");
        piece.clear();
        if (at + 1 < value.size() && value[at] == u'\r' && value[at + 1] == u'\n') ++at;
      } else {
        piece += value[at];
      }
    }
    text += u"\r\n";
  }
  std::string bytes(CDPXStdioFile::ByteOrderMark(CDPXStdioFile::encodingUtf8));
  bytes += CDPXStdioFile::EncodeText(text, CDPXStdioFile::encodingUtf8);
  return DPXReplaceFile(path, bytes.data(), bytes.size());
}

BOOL CQVBDEIndexFormat::Load(LPCWSTR path, CQVBDEIndexItemList& list) {
  CDPXScriptFile file;
  file.SetAutoSave(FALSE);
  if (!file.Open(path)) return FALSE;
  CDPXScriptItemList sections;
  if (!file.GetSections(sections)) return FALSE;
  for (POSITION pos = sections.GetHeadPosition(); pos;) {
    CString name;
    static_cast<CDPXScriptItem*>(sections.GetNext(pos))->GetSection(name);
    int source = CQVBDEIndexItem::sourceManual;
    int accuracy = CQVBDEIndexItem::accuracyCertain;
    CString word;
    if (file.GetString(u"Source", word, FALSE, name)) {
      for (int i = 0; i < 4; ++i)
        if (word.CompareNoCase(kSourceWords[i]) == 0) source = i;
    }
    CString number;
    if (file.GetString(u"Accuracy", number, FALSE, name)) {
      if (!ScanInt(number, accuracy)) return FALSE;
      accuracy = accuracy < 1 ? 0 : accuracy > 9999 ? 10000 : accuracy;
    }
    CString value;
    CDPXScriptItemList lines;
    if (!file.GetLines(name, lines)) return FALSE;
    bool first = true;
    for (POSITION line = lines.GetHeadPosition(); line;) {
      CString text, piece;
      static_cast<CDPXScriptItem*>(lines.GetNext(line))->GetLine(text);
      // A CR inside a line (from an editor that ends lines with CR alone) is a line break of the
      // value, as saving writes it.
      if (RetrieveLine(text, piece)) {
        piece.Replace(u"\r", u"\r\n");
        value += (first ? CString() : CString(u"\r\n")) + piece;
      }
      // The first free text line counts as first even when it lacks its delimiters.
      first = false;
    }
    if (!list.SetIndex(name, value, source, accuracy)) return FALSE;
  }
  return TRUE;
}

BOOL CQVBDEIndexFormat::RetrieveLine(LPCWSTR line, CString& piece) {
  CString text(line ? line : u"");
  piece.Empty();
  int length = text.GetLength();
  if (length == 0 || text[0] != m_tchLeft || text[length - 1] != m_tchRight) return FALSE;
  if (length >= 2) piece = text.Mid(1, length - 2);
  return TRUE;
}
