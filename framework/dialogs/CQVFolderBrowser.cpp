#include "framework/dialogs/CQVFolderBrowser.h"

IMPLEMENT_DYNAMIC(CQVFolderBrowser, CObject)

CQVFolderBrowser::CQVFolderBrowser(CWnd* owner) { SetParentWnd(owner); }

CQVFolderBrowser::~CQVFolderBrowser() {
  FreePIDL(m_pRoot);
  FreePIDL(m_pDefault);
}

void CQVFolderBrowser::FreePIDL(ITEMIDLIST* list) {
  if (!list) return;
  LPMALLOC allocator = nullptr;
  if (SHGetMalloc(&allocator) != S_OK || !allocator) return;
  allocator->Free(list);
  allocator->Release();
}

ITEMIDLIST* CQVFolderBrowser::ListOfPath(LPCWSTR path) {
  CString trimmed(path ? path : u"");
  trimmed.Trim();
  return trimmed.IsEmpty() ? nullptr : SHSimpleIDListFromPath(trimmed);
}

ITEMIDLIST* CQVFolderBrowser::ListOfFolder(int folderID) {
  LPITEMIDLIST list = nullptr;
  if (SHGetFolderLocation(nullptr, folderID, nullptr, 0, &list) != S_OK) return nullptr;
  return list;
}

void CQVFolderBrowser::SetRoot(LPCWSTR path) {
  FreePIDL(m_pRoot);
  m_pRoot = ListOfPath(path);
}

void CQVFolderBrowser::SetRoot(int folderID) {
  FreePIDL(m_pRoot);
  m_pRoot = ListOfFolder(folderID);
}

void CQVFolderBrowser::SetDefault(LPCWSTR path) {
  FreePIDL(m_pDefault);
  m_pDefault = ListOfPath(path);
}

void CQVFolderBrowser::SetDefault(int folderID) {
  FreePIDL(m_pDefault);
  m_pDefault = ListOfFolder(folderID);
}

BOOL CQVFolderBrowser::Browse(CString& path) {
  path.Empty();
  BROWSEINFOW info {m_hOwner, m_pRoot,       nullptr, m_strTitle.GetString(), m_nFlags, &__BrowseCallbackProc,
                    reinterpret_cast<LPARAM>(this), 0};
  LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
  if (!chosen) return FALSE;
  WCHAR folder[MAX_PATH] {};
  const BOOL hasPath = SHGetPathFromIDListW(chosen, folder);
  FreePIDL(chosen);
  if (!hasPath) return FALSE;
  path = folder;
  return TRUE;
}

int CQVFolderBrowser::__BrowseCallbackProc(HWND dialog, UINT message, LPARAM param, LPARAM data) {
  auto* browser = reinterpret_cast<CQVFolderBrowser*>(data);
  return browser ? browser->BrowseCallbackProc(dialog, message, param) : 0;
}

int CQVFolderBrowser::BrowseCallbackProc(HWND dialog, UINT message, LPARAM param) {
  CWnd* wnd = dialog ? CWnd::FromHandle(dialog) : nullptr;
  switch (message) {
  case BFFM_INITIALIZED: OnInitialized(wnd); break;
  case BFFM_SELCHANGED: OnSelChanged(wnd, reinterpret_cast<ITEMIDLIST*>(param)); break;
  case BFFM_VALIDATEFAILEDW: return OnValidateFailed(wnd, reinterpret_cast<LPCWSTR>(param)) ? 1 : 0;
  case BFFM_IUNKNOWN: OnIUnknown(wnd, reinterpret_cast<IUnknown*>(param)); break;
  default: break;
  }
  return 0;
}

void CQVFolderBrowser::OnInitialized(CWnd* dialog) {
  if (m_pDefault) SetSelection(dialog, m_pDefault);
}

void CQVFolderBrowser::EnableOK(CWnd* dialog, BOOL enable) {
  if (dialog) dialog->SendMessage(BFFM_ENABLEOK, 0, enable);
}

void CQVFolderBrowser::SetExpanded(CWnd* dialog, LPCWSTR path) {
  if (dialog) dialog->SendMessage(BFFM_SETEXPANDED, 1, reinterpret_cast<LPARAM>(path));
}

void CQVFolderBrowser::SetExpanded(CWnd* dialog, ITEMIDLIST* list) {
  if (dialog) dialog->SendMessage(BFFM_SETEXPANDED, 0, reinterpret_cast<LPARAM>(list));
}

void CQVFolderBrowser::SetOKText(CWnd* dialog, LPCWSTR text) {
  if (dialog) dialog->SendMessage(BFFM_SETOKTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void CQVFolderBrowser::SetSelection(CWnd* dialog, LPCWSTR path) {
  if (dialog) dialog->SendMessage(BFFM_SETSELECTIONW, 1, reinterpret_cast<LPARAM>(path));
}

void CQVFolderBrowser::SetSelection(CWnd* dialog, ITEMIDLIST* list) {
  if (dialog) dialog->SendMessage(BFFM_SETSELECTIONW, 0, reinterpret_cast<LPARAM>(list));
}

void CQVFolderBrowser::SetStatusText(CWnd* dialog, LPCWSTR text) {
  if (dialog) dialog->SendMessage(BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(text));
}
