#pragma once
// CMiniFrameWnd: a small top-level frame (a tool window of its owner) that draws its own caption
// and border: a small caption (SM_CYSMCAPTION) with the title and, with WS_SYSMENU, a close
// button; a thick border (SM_CXFRAME) with MFS_THICKFRAME, MFS_4THICKFRAME, MFS_MOVEFRAME or
// WS_THICKFRAME. The border sizes the frame (MFS_4THICKFRAME: by its four sides only, no
// corners) or, with MFS_MOVEFRAME, moves it like the caption. With MFS_SYNCACTIVE the caption is
// drawn active while its owner (or another window of the owner) is the active window.
//
// CMiniDockFrameWnd: the floating frame of docked control bars. It holds one floating dock bar
// (m_wndDockBar, ID AFX_IDW_DOCKBAR_FLOAT) and sizes itself to it; its caption shows the bar's
// title. A press on the caption drags the bar (its dock context), a double click there docks it
// again; a press on the border of a frame with MFS_4THICKFRAME resizes a CBRS_SIZE_DYNAMIC bar
// through its dock context. The close button hides the bars; the frame hides itself while none
// of its bars is visible and goes when its last bar leaves.

#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CDockBar.h"

#define MFS_SYNCACTIVE 0x00000100L
#define MFS_4THICKFRAME 0x00000200L
#define MFS_THICKFRAME 0x00000400L
#define MFS_MOVEFRAME 0x00000800L
#define MFS_BLOCKSYSMENU 0x00010000L

// Sent by a frame to the floating frames it owns when its activation changes.
#define WM_FLOATSTATUS 0x036D
#define FS_SYNCACTIVE 0x0008

class CMiniFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMiniFrameWnd)
public:
  CMiniFrameWnd() = default;

  BOOL Create(LPCWSTR className, LPCWSTR title, DWORD style, const RECT& rect, CWnd* parent = nullptr, UINT id = 0);
  BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, const RECT& rect, CWnd* parent = nullptr,
                UINT id = 0);
  // Grows a client rectangle to the window rectangle of a mini frame with this style.
  static void CalcBorders(LPRECT clientRect, DWORD style = WS_THICKFRAME | WS_CAPTION, DWORD exStyle = 0);
  void CalcWindowRect(LPRECT clientRect, UINT adjustType = 0) override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

  // Parts of the frame in window coordinates (empty when the style has none).
  CRect GetCaptionRect() const;
  CRect GetCloseButtonRect() const;
  BOOL IsCaptionActive() const;

protected:
  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
  LRESULT OnNcHitTest(CPoint point);
  void OnNcPaint();
  BOOL OnNcActivate(BOOL active);
  void OnNcLButtonDown(UINT hit, CPoint point);
  void OnGetMinMaxInfo(MINMAXINFO* info);
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

private:
  // Follows the mouse after a press on the close button; TRUE when it came up on the button.
  BOOL TrackCloseButton();

  BOOL m_bClosePressed {};
};

class CMiniDockFrameWnd : public CMiniFrameWnd {
  DECLARE_DYNCREATE(CMiniDockFrameWnd)
public:
  CMiniDockFrameWnd();

  // Makes the (hidden) frame, owned by parent, for a bar of this style: its dock bar is vertical
  // for a CBRS_ALIGN_LEFT or _RIGHT style, else horizontal, and takes CBRS_FLOAT_MULTI from it.
  // The dock bar belongs to the parent frame's control bars and sits in this frame.
  virtual BOOL Create(CWnd* parent, DWORD barStyle);
  // Lays the dock bar out and sizes the frame around it; shows the frame while a bar is visible
  // and hides it otherwise.
  void RecalcLayout(BOOL notify = TRUE) override;

  CDockBar m_wndDockBar;

protected:
  void OnClose();
  void OnNcLButtonDown(UINT hit, CPoint point);
  void OnNcLButtonDblClk(UINT hit, CPoint point);

  DECLARE_MESSAGE_MAP()

private:
  // The bar the caption stands for (the first one), when the dock bar holds bars one at a time.
  CControlBar* CaptionBar() const;
};
