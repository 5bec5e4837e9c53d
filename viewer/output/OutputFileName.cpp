#include "viewer/output/OutputFileName.h"

#include "foundation/language/CQVRCM.h"
#include "framework/dialogs/CQVDialogHelper.h"
#include "platform/core/fileapi.h"

CString AppendExtension(const CString& path, LPCWSTR extension) {
  const CString suffix = CString(u".") + extension;
  const int slash = path.ReverseFind(u'/');
  const CString name = path.Mid(slash + 1);
  if (name.GetLength() > suffix.GetLength() && name.Right(suffix.GetLength()).CompareNoCase(suffix) == 0) return path;
  return path + suffix;
}

BOOL ConfirmFinalPath(CFileDialog& dialog, const CString& chosen, const CString& final) {
  if (final == chosen || !(dialog.m_ofn.Flags & OFN_OVERWRITEPROMPT)) return TRUE;
  if (GetFileAttributesW(final) == INVALID_FILE_ATTRIBUTES) return TRUE;
  CQVDialogHelper helper(dialog.GetParent());
  CString text;
  CQVRCM::LoadText(u"MSG_DLG_FILE_REPLACE", text);
  text.Replace(u"<%filepath%>", final);
  return helper._YesNoMsg(text);
}
