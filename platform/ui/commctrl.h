#pragma once
// The window layer's common controls: the progress bar and tool tips.

#include "platform/ui/winctrl.h"

#define PROGRESS_CLASSW u"msctls_progress32"

#define PBS_SMOOTH 0x01
#define PBS_VERTICAL 0x04

#define PBM_SETRANGE (WM_USER + 1)
#define PBM_SETPOS (WM_USER + 2)
#define PBM_DELTAPOS (WM_USER + 3)
#define PBM_SETSTEP (WM_USER + 4)
#define PBM_STEPIT (WM_USER + 5)
#define PBM_SETRANGE32 (WM_USER + 6)
#define PBM_GETRANGE (WM_USER + 7)
#define PBM_GETPOS (WM_USER + 8)

struct PBRANGE {
  int iLow;
  int iHigh;
};

// Tool tips. A window that enables them (CWnd::EnableToolTips) is asked for the text of a child
// the mouse rests on with WM_NOTIFY TTN_NEEDTEXTW: hdr.idFrom is the child's handle and uFlags has
// TTF_IDISHWND. The answer is lpszText (a string, or MAKEINTRESOURCEW of a text ID in hinst) or
// the text put into szText.
#define TTN_FIRST (0U - 520U)
#define TTN_GETDISPINFOW (TTN_FIRST - 10)
#define TTN_NEEDTEXTW TTN_GETDISPINFOW
#define TTN_NEEDTEXT TTN_NEEDTEXTW

#define TTF_IDISHWND 0x0001
#define TTF_CENTERTIP 0x0002
#define TTF_SUBCLASS 0x0010

struct NMTTDISPINFOW {
  NMHDR hdr;
  LPWSTR lpszText;
  WCHAR szText[80];
  HINSTANCE hinst;
  UINT uFlags;
  LPARAM lParam;
};
using TOOLTIPTEXTW = NMTTDISPINFOW;
using TOOLTIPTEXT = NMTTDISPINFOW;
using LPTOOLTIPTEXTW = NMTTDISPINFOW*;

// Tab controls (SysTabControl32): a row of tabs over a framed area for pages that are windows of
// their own. TCN_SELCHANGING (answer TRUE to keep the tab) and TCN_SELCHANGE come as WM_NOTIFY.
#define WC_TABCONTROLW u"SysTabControl32"

#define TCS_BOTTOM 0x0002
#define TCS_MULTILINE 0x0200
#define TCS_FOCUSNEVER 0x8000

#define TCIF_TEXT 0x0001
#define TCIF_IMAGE 0x0002
#define TCIF_PARAM 0x0008

#define TCM_FIRST 0x1300
#define TCM_GETITEMCOUNT (TCM_FIRST + 4)
#define TCM_DELETEITEM (TCM_FIRST + 8)
#define TCM_DELETEALLITEMS (TCM_FIRST + 9)
#define TCM_GETITEMRECT (TCM_FIRST + 10)
#define TCM_GETCURSEL (TCM_FIRST + 11)
#define TCM_SETCURSEL (TCM_FIRST + 12)
#define TCM_ADJUSTRECT (TCM_FIRST + 40)
#define TCM_GETITEMW (TCM_FIRST + 60)
#define TCM_SETITEMW (TCM_FIRST + 61)
#define TCM_INSERTITEMW (TCM_FIRST + 62)

#define TCN_FIRST (0U - 550U)
#define TCN_SELCHANGE (TCN_FIRST - 1)
#define TCN_SELCHANGING (TCN_FIRST - 2)

struct TCITEMW {
  UINT mask;
  DWORD dwState;
  DWORD dwStateMask;
  LPWSTR pszText;
  int cchTextMax;
  int iImage;
  LPARAM lParam;
};
using TC_ITEMW = TCITEMW;

// Property sheets: pages (dialogs from templates) on the tabs of a tab control.
#define PSP_DEFAULT 0x00000000
#define PSP_DLGINDIRECT 0x00000001
#define PSP_USETITLE 0x00000008
#define PSP_HASHELP 0x00000020

#define PSH_DEFAULT 0x00000000
#define PSH_NOAPPLYNOW 0x00000080
#define PSH_MODELESS 0x00000400

#define PSM_SETCURSEL (WM_USER + 101)
#define PSM_GETTABCONTROL (WM_USER + 116)
#define PSM_GETCURRENTPAGEHWND (WM_USER + 118)

#define PSN_FIRST (0U - 200U)
#define PSN_SETACTIVE (PSN_FIRST - 0)
#define PSN_KILLACTIVE (PSN_FIRST - 1)
#define PSN_APPLY (PSN_FIRST - 2)
#define PSN_RESET (PSN_FIRST - 3)

struct PROPSHEETPAGEW {
  DWORD dwSize;
  DWORD dwFlags;
  HINSTANCE hInstance;
  LPCWSTR pszTemplate;
  HICON hIcon;
  LPCWSTR pszTitle;
  void* pfnDlgProc;
  LPARAM lParam;
};
using PROPSHEETPAGE = PROPSHEETPAGEW;

struct PROPSHEETHEADERW {
  DWORD dwSize;
  DWORD dwFlags;
  HWND hwndParent;
  HINSTANCE hInstance;
  LPCWSTR pszCaption;
  UINT nPages;
  UINT nStartPage;
};
using PROPSHEETHEADER = PROPSHEETHEADERW;
