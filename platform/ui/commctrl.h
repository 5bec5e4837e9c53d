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
