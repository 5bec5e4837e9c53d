#include "viewer/output/CQVCSVWrite.h"

#include "foundation/util/CDPXStringList.h"

BOOL CQVCSVWrite::Open(LPCWSTR path) { return Create(path); }

BOOL CQVCSVWrite::WriteRecord(const CDPXStringList& values, int kind) {
  if (!IsOpen() || values.GetCount() == 0 || kind != 0) return FALSE;
  std::u16string text;
  CString value;
  POSITION pos = values.GetHeadPosition();
  for (bool first = true; values.GetNext(pos, value); first = false) {
    if (!first) text += u',';
    text += u'"';
    for (char16_t c : value.View()) {
      if (c == u'"') text += u'"';
      text += c;
    }
    text += u'"';
  }
  text += u"\r\n";
  return WriteText(text);
}

BOOL CQVCSVWrite::Close() { return Commit(); }
