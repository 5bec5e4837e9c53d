#include "viewer/dialogs/CQVFolderDlg.h"

#include "framework/dialogs/CQVFolderBrowser.h"

IMPLEMENT_DYNAMIC(CQVFolderDlg, CObject)

namespace {

// How far the tree grows up over the browser's title line.
constexpr int kTreeRaise = 28;

class Picker : public CQVFolderBrowser {
public:
  explicit Picker(CWnd* owner) : CQVFolderBrowser(owner) {}

protected:
  void OnInitialized(CWnd* dialog) override {
    if (!dialog) return;
    if (CWnd* tree = FindChild(*dialog, WC_BROWSEFOLDERTREEW)) {
      CRect rect;
      tree->GetWindowRect(&rect);
      dialog->ScreenToClient(&rect);
      tree->SetWindowPos(nullptr, rect.left, rect.top - kTreeRaise, rect.Width(), rect.Height() + kTreeRaise,
                         SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_pEdit = FindChild(*dialog, u"Edit");
    dialog->SetWindowText(u"Set Folder....");
    CQVFolderBrowser::OnInitialized(dialog);
  }

  void OnSelChanged(CWnd*, ITEMIDLIST* list) override {
    if (!m_pEdit) return;
    WCHAR path[MAX_PATH] {};
    m_pEdit->SetWindowText(list && SHGetPathFromIDListW(list, path) ? path : u"");
  }

private:
  static CWnd* FindChild(CWnd& dialog, LPCWSTR className) {
    struct Search {
      LPCWSTR className;
      HWND found;
    } search {className, nullptr};
    ::EnumChildWindows(
        dialog.GetSafeHwnd(),
        [](HWND child, LPARAM data) {
          auto* s = reinterpret_cast<Search*>(data);
          WCHAR name[64] {};
          ::GetClassNameW(child, name, 64);
          if (CString(name) != s->className) return TRUE;
          s->found = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found ? CWnd::FromHandle(search.found) : nullptr;
  }

  CWnd* m_pEdit { nullptr };
};

}  // namespace

BOOL CQVFolderDlg::Browse(CWnd* owner, CString& path) {
  Picker picker(owner);
  picker.SetTitle(m_strTitle);
  picker.SetFlags(m_nExtraFlags | BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE);
  picker.SetDefault(path);
  const BOOL chosen = picker.Browse(m_strPath);
  path = chosen ? m_strPath : CString();
  return chosen;
}
