#pragma once
// The window layer's shell: item ID lists for folders, the folders of the user (CSIDL_*), the
// folder browser (SHBrowseForFolderW) and opening documents (ShellExecuteW).
//
// An item ID list names a folder by its path. Lists that the functions here return belong to the
// caller, who frees them with CoTaskMemFree, ILFree or the shell's allocator (SHGetMalloc).

#include "platform/ui/win/winuser.h"

// What a library's DllGetVersion export reports. The caller sets cbSize to the structure's size
// (20); the call fails with E_INVALIDARG for another size.
struct DLLVERSIONINFO {
  DWORD cbSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformID;
};
#define DLLVER_PLATFORM_WINDOWS 0x00000001
#define DLLVER_PLATFORM_NT 0x00000002
using DLLGETVERSIONPROC = HRESULT (*)(DLLVERSIONINFO* info);

struct ITEMIDLIST;
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;

// The shell's allocator.
struct IMalloc {
  virtual void* Alloc(SIZE_T size) = 0;
  virtual void Free(void* block) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

protected:
  ~IMalloc() = default;
};
using LPMALLOC = IMalloc*;

HRESULT SHGetMalloc(LPMALLOC* allocator);
void CoTaskMemFree(void* block);
void ILFree(LPITEMIDLIST list);
// The list of an absolute path (folders or files; the path need not exist); null for an empty or
// relative path.
LPITEMIDLIST ILCreateFromPathW(LPCWSTR path);
LPITEMIDLIST SHSimpleIDListFromPath(LPCWSTR path);
// The path of a list into a buffer of MAX_PATH units; FALSE when the list is null or the path too long.
BOOL SHGetPathFromIDListW(LPCITEMIDLIST list, LPWSTR path);

// The user's folders. The desktop and the documents are the desktop's own folders; "My Computer"
// is the root of the file system.
#define CSIDL_DESKTOP 0x0000
#define CSIDL_PROGRAMS 0x0002
#define CSIDL_PERSONAL 0x0005
#define CSIDL_MYDOCUMENTS CSIDL_PERSONAL
#define CSIDL_MYPICTURES 0x0027
#define CSIDL_DESKTOPDIRECTORY 0x0010
#define CSIDL_DRIVES 0x0011
#define CSIDL_APPDATA 0x001A
#define CSIDL_LOCAL_APPDATA 0x001C
#define CSIDL_PROFILE 0x0028
#define CSIDL_FLAG_CREATE 0x8000
HRESULT SHGetFolderLocation(HWND owner, int folder, HANDLE token, DWORD reserved, LPITEMIDLIST* list);
HRESULT SHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path);

// ---- The folder browser -------------------------------------------------------------------------
using BFFCALLBACK = int (*)(HWND dialog, UINT message, LPARAM param, LPARAM data);

struct BROWSEINFOW {
  HWND hwndOwner;
  PCIDLIST_ABSOLUTE pidlRoot;
  LPWSTR pszDisplayName;  // MAX_PATH units: the chosen folder's name
  LPCWSTR lpszTitle;
  UINT ulFlags;
  BFFCALLBACK lpfn;
  LPARAM lParam;
  int iImage;
};
using LPBROWSEINFOW = BROWSEINFOW*;

#define BIF_RETURNONLYFSDIRS 0x00000001
#define BIF_DONTGOBELOWDOMAIN 0x00000002
#define BIF_STATUSTEXT 0x00000004
#define BIF_RETURNFSANCESTORS 0x00000008
#define BIF_EDITBOX 0x00000010
#define BIF_VALIDATE 0x00000020
#define BIF_NEWDIALOGSTYLE 0x00000040
#define BIF_USENEWUI (BIF_NEWDIALOGSTYLE | BIF_EDITBOX)
#define BIF_NONEWFOLDERBUTTON 0x00000200
#define BIF_BROWSEINCLUDEFILES 0x00004000

// What the browser tells its callback.
#define BFFM_INITIALIZED 1
#define BFFM_SELCHANGED 2      // param: the list of the selected folder
#define BFFM_VALIDATEFAILEDW 4 // param: the typed text; non-zero keeps the browser open
#define BFFM_IUNKNOWN 5
// What the callback may send the browser.
#define BFFM_ENABLEOK (WM_USER + 101)        // lParam: TRUE enables OK
#define BFFM_SETSELECTIONW (WM_USER + 103)   // wParam TRUE: lParam is a path, else a list
#define BFFM_SETSTATUSTEXTW (WM_USER + 104)  // lParam: the text
#define BFFM_SETOKTEXT (WM_USER + 105)       // lParam: the text
#define BFFM_SETEXPANDED (WM_USER + 106)     // as BFFM_SETSELECTIONW, and opened

// The browser's items, for callbacks that move them; the tree has a class of its own, and the
// edit (BIF_EDITBOX) is of class Edit.
#define WC_BROWSEFOLDERTREEW u"SHBrowseForFolder ShellNameSpace Control"
#define IDC_BROWSE_TREE 0x3741
#define IDC_BROWSE_TITLE 0x3742
#define IDC_BROWSE_STATUS 0x3743
#define IDC_BROWSE_EDIT 0x3744
#define IDC_BROWSE_NEWFOLDER 0x3746

// Shows the folder tree under pidlRoot (the whole file system when null) and answers the list of
// the folder chosen, or null when the user cancels.
LPITEMIDLIST SHBrowseForFolderW(LPBROWSEINFOW info);

// ---- Opening documents --------------------------------------------------------------------------
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_NOASSOC 31

// Opens a document (a path, relative to `directory` when given) or an address (http:, mailto:
// and the like) with what the desktop uses for it. Only the verbs "open" and null (the same) are
// known; parameters are not passed on and the show command is left to the desktop. Answers a
// value above 32 on success, otherwise SE_ERR_FNF for a file that is not there and
// SE_ERR_NOASSOC when nothing opens it.
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show);
// Replaces what ShellExecuteW hands the address to (a file: URL for a document; tests watch it
// this way): TRUE when it was opened. Null restores the desktop. Answers the opener before.
using DocumentOpener = BOOL (*)(LPCWSTR url);
DocumentOpener SetDocumentOpener(DocumentOpener opener);
