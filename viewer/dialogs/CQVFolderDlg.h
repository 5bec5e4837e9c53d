#pragma once
// CQVFolderDlg: the folder picker of the settings and e-mail dialogs: the folder browser with an
// edit box, titled "Set Folder....", its tree reaching up over the browser's title line, opening on
// the current folder. The edit box follows the selection: it shows the selected folder's path, and
// nothing for a selection that has no path.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CWnd;

class CQVFolderDlg : public CObject {
  DECLARE_DYNAMIC(CQVFolderDlg)
public:
  // The text above the tree (none by default) and browse flags added to the picker's own.
  void SetTitle(LPCWSTR title) { m_strTitle = title ? title : u""; }
  void SetExtraFlags(UINT flags) { m_nExtraFlags = flags; }

  // On entry `path` is the folder to open on; on return the folder chosen (TRUE), or empty when
  // the user cancelled (FALSE).
  BOOL Browse(CWnd* owner, CString& path);

private:
  CString m_strTitle;
  CString m_strPath;
  UINT m_nExtraFlags { 0 };
};
