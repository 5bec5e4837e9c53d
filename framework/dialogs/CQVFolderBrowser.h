#pragma once
// CQVFolderBrowser: the folder browser with a root folder, an initial selection, a title and its
// flags (BIF_...), and virtual hooks for what the browser tells while it runs. Set everything
// before Browse.

#include "platform/core/CObject.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/shell/shlobj.h"

struct IUnknown;

class CQVFolderBrowser : public CObject {
  DECLARE_DYNAMIC(CQVFolderBrowser)
public:
  explicit CQVFolderBrowser(CWnd* owner = nullptr);
  ~CQVFolderBrowser() override;
  CQVFolderBrowser(const CQVFolderBrowser&) = delete;
  CQVFolderBrowser& operator=(const CQVFolderBrowser&) = delete;

  void SetParentWnd(CWnd* owner) { m_hOwner = owner ? owner->GetSafeHwnd() : nullptr; }
  void SetTitle(LPCWSTR title) { m_strTitle = title ? title : u""; }
  void SetFlags(UINT flags) { m_nFlags = flags; }
  // By path (trimmed; blank: none) or by the user's folder (CSIDL_...); a failure leaves none, so
  // the browser starts at the top.
  void SetRoot(LPCWSTR path);
  void SetRoot(int folderID);
  void SetDefault(LPCWSTR path);
  void SetDefault(int folderID);

  // The chosen folder; FALSE, with path empty, when the user cancels or the choice has no path.
  BOOL Browse(CString& path);

protected:
  virtual int BrowseCallbackProc(HWND dialog, UINT message, LPARAM param);
  // Selects the initial selection.
  virtual void OnInitialized(CWnd* dialog);
  virtual void OnIUnknown(CWnd*, IUnknown*) {}
  virtual void OnSelChanged(CWnd*, ITEMIDLIST*) {}
  // TRUE keeps the browser open after a typed name that is no folder.
  virtual BOOL OnValidateFailed(CWnd*, LPCWSTR) { return TRUE; }

  // What the browser is told while it runs; nothing for a null window.
  void EnableOK(CWnd* dialog, BOOL enable);
  void SetExpanded(CWnd* dialog, LPCWSTR path);
  void SetExpanded(CWnd* dialog, ITEMIDLIST* list);
  void SetOKText(CWnd* dialog, LPCWSTR text);
  void SetSelection(CWnd* dialog, LPCWSTR path);
  void SetSelection(CWnd* dialog, ITEMIDLIST* list);
  void SetStatusText(CWnd* dialog, LPCWSTR text);

  static void FreePIDL(ITEMIDLIST* list);
  static int __BrowseCallbackProc(HWND dialog, UINT message, LPARAM param, LPARAM data);

private:
  static ITEMIDLIST* ListOfPath(LPCWSTR path);
  static ITEMIDLIST* ListOfFolder(int folderID);

  HWND m_hOwner { nullptr };
  ITEMIDLIST* m_pRoot { nullptr };
  CString m_strTitle;
  UINT m_nFlags { 0 };
  ITEMIDLIST* m_pDefault { nullptr };
};
