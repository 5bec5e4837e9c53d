#include "foundation/util/DPXText.h"

#include "foundation/util/CDPXStringList.h"
#include "platform/core/codepage.h"

BOOL DPXWideToMultiByte(LPCWSTR text, CStringA& out, UINT codePage) {
  out.Empty();
  if (!text) return TRUE;
  const int size = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return FALSE;
  LPSTR buffer = out.GetBufferSetLength(size);
  const BOOL ok = WideCharToMultiByte(codePage, 0, text, -1, buffer, size, nullptr, nullptr) == size;
  out.ReleaseBuffer(ok ? size - 1 : 0);
  return ok;
}

BOOL DPXMultiByteToWide(LPCSTR text, CString& out, UINT codePage) {
  out.Empty();
  if (!text) return TRUE;
  const int size = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
  if (size <= 0) return FALSE;
  LPWSTR buffer = out.GetBufferSetLength(size);
  const BOOL ok = MultiByteToWideChar(codePage, 0, text, -1, buffer, size) == size;
  out.ReleaseBuffer(ok ? size - 1 : 0);
  return ok;
}

int DPXSplitString(LPCWSTR text, CDPXStringList& out, LPCWSTR delimiters) {
  out.RemoveAll();
  out.SetSortOrder(0, FALSE);
  out.SetCaseMode(CDPXStringList::caseKeep);
  out.SetTrimMode(CDPXStringList::trimBoth);
  out.SetUnique(FALSE);
  out.SetAllowEmpty(TRUE);
  CString whole(text);
  whole.Trim();
  if (whole.IsEmpty()) return 0;
  const CString delimiterSet(delimiters ? delimiters : u",");
  CString piece;
  bool lastWasDelimiter = false;
  for (WCHAR ch : whole.View()) {
    lastWasDelimiter = delimiterSet.Find(ch) >= 0;
    if (lastWasDelimiter) {
      out.Add(piece);
      piece.Empty();
    } else {
      piece += ch;
    }
  }
  if (!piece.IsEmpty() || lastWasDelimiter) out.Add(piece);
  return out.GetCount();
}
