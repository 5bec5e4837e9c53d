#pragma once
// CControlBar: a bar along an edge of its frame (tool bar, status bar, dockable bar). The frame's
// layout asks each visible bar for its size and gives it a strip of the client area; the idle
// moment asks it to bring its items up to date.
//
// A bar made dockable (EnableDocking) lives in one of the frame's dock bars, in a row with other
// bars, or floats in a small frame of its own; a press on the bar (not on one of its items) drags
// it, a double click toggles between its last docked and last floating place.
//
// The bar's borders (CBRS_BORDER_*: an etched line of 2 pixels each), its margins (SetBorders)
// and, while docked, its gripper (CBRS_GRIPPER: a band of 7 pixels after the margin, along the
// left edge of a horizontal bar or the top edge of a vertical one) are its non-client area;
// CalcInsideRect gives the room they take.

#include "platform/ui/afx/CWnd.h"

#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0080L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ALL 0x0040FFFFL  // every bar style (the window styles are the rest)
#define CBRS_NOALIGN 0x00000000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)

// Layout modes of CalcDynamicLayout.
#define LM_STRETCH 0x01
#define LM_HORZ 0x02
#define LM_MRUWIDTH 0x04
#define LM_HORZDOCK 0x08
#define LM_VERTDOCK 0x10
#define LM_LENGTHY 0x20
#define LM_COMMIT 0x40

class CControlBarInfo;
class CDockBar;
class CDockContext;

class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)
public:
  ~CControlBar() override;

  DWORD GetBarStyle() const { return m_dwStyle; }
  // A change of style is reported to OnBarStyleChange.
  void SetBarStyle(DWORD style) {
    DWORD old = m_dwStyle;
    m_dwStyle = style;
    if (old != style) OnBarStyleChange(old, style);
  }
  // The margins inside the borders (left and right run along a horizontal bar; a vertical bar
  // turns them: left becomes top).
  void SetBorders(int left = 0, int top = 0, int right = 0, int bottom = 0);
  void SetBorders(LPCRECT rect) { SetBorders(rect->left, rect->top, rect->right, rect->bottom); }
  CRect GetBorders() const { return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder); }

  // The sides the bar may dock on (CBRS_ALIGN_*, with CBRS_FLOAT_MULTI to share a floating
  // frame); gives the bar its dock context and makes its parent its owner when it has none.
  void EnableDocking(DWORD dockStyle);
  // A bar floats while its style has CBRS_FLOATING (the dock bar it sits in sets and clears it); a
  // dock bar while it is a floating frame's.
  BOOL IsFloating() const;
  virtual BOOL IsDockBar() const { return FALSE; }
  // Visible, counting a show or hide that waits for the next layout.
  BOOL IsVisible() const;
  // Shows or hides the bar at its frame's next layout.
  virtual void DelayShow(BOOL show);
  // The frame the bar is laid out in: its floating frame while it floats, else its dock site.
  CFrameWnd* GetDockingFrame() const;

  // The bar's size for a side (horz) or stretched along it: at least the room of its borders,
  // gripper and margins; stretched, 32767 along the side.
  virtual CSize CalcFixedLayout(BOOL stretch, BOOL horz);
  // length -1 with LM_HORZDOCK or LM_VERTDOCK asks for the docked size; the base answers
  // CalcFixedLayout(mode & LM_STRETCH, mode & LM_HORZ).
  virtual CSize CalcDynamicLayout(int length, DWORD mode);
  // Shrinks a window rectangle to what is left inside borders, gripper and margins.
  virtual void CalcInsideRect(CRect& rect, BOOL horz) const;
  // Draws the CBRS_BORDER_* lines of the rectangle and shrinks it past them.
  virtual void DrawBorders(CDC* dc, CRect& rect);
  // Draws the gripper at the start of the rectangle (left of a horizontal bar, top of a vertical
  // one) while the bar is docked with CBRS_GRIPPER.
  virtual void DrawGripper(CDC* dc, const CRect& rect);
  // Paints the non-client area: borders, background, gripper.
  void EraseNonClient();
  // Brings the bar's items up to date from the target's update handlers.
  virtual void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) = 0;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

  // The bar's record in a dock state: ID, visibility, side, place, where it docked and floated
  // last.
  virtual void GetBarInfo(CControlBarInfo* info);
  // Takes visibility and the last docked and floating places from a record (the frame docks or
  // floats the bar itself).
  virtual void SetBarInfo(CControlBarInfo* info, CFrameWnd* frame);

  // Applies a pending DelayShow through the layout's batch (nothing while the layout only
  // measures: no batch) and answers the window style the bar has after the layout.
  DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* layout);

  enum StateFlags : UINT { delayHide = 0x1, delayShow = 0x2 };

  DWORD m_dwStyle {};      // CBRS_ bits
  DWORD m_dwDockStyle {};  // the sides the bar may dock on
  CFrameWnd* m_pDockSite {};
  CDockBar* m_pDockBar {};
  CDockContext* m_pDockContext {};
  UINT m_nStateFlags {};
  int m_cxLeftBorder {};
  int m_cxRightBorder {};
  int m_cyTopBorder {};
  int m_cyBottomBorder {};

protected:
  CControlBar() = default;
  virtual void OnBarStyleChange(DWORD, DWORD) {}
  // The item under a client point, or -1 when the point is on the bar itself (where a press
  // drags a dockable bar). A bar whose client area is a control (a tool bar, a status bar)
  // counts all of it as items unless it says better.
  virtual int ItemFromPoint(CPoint point) const;

  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
  LRESULT OnNcHitTest(CPoint point);
  void OnNcPaint();
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  LRESULT OnSizeParent(WPARAM, LPARAM lParam);
  // Takes a strip of this size from the layout's room along the bar's side (its CBRS_ALIGN_*
  // bit) and moves the bar there (unless the layout only measures).
  void TakeRoom(AFX_SIZEPARENTPARAMS* layout, CSize size);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM);

  DECLARE_MESSAGE_MAP()
};
