#pragma once
// CControlBar: a bar along an edge of its frame (tool bar, status bar, dockable bar). The frame's
// layout asks each visible bar for its size and gives it a strip of the client area; the idle
// moment asks it to bring its items up to date. Docking between frames is left to derived bars.
//
// Inside its window rectangle a bar keeps room for the borders its style asks for (CBRS_BORDER_*,
// 2 pixels each), for margins, and, while docked, for a gripper (CBRS_GRIPPER): a band along the
// left edge of a horizontal bar or the top edge of a vertical one. A floating bar carries
// CBRS_FLOATING in its bar style.

#include "platform/ui/CWnd.h"

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
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
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
  BOOL IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
  BOOL IsVisible() const { return (GetStyle() & WS_VISIBLE) != 0; }
  CFrameWnd* GetDockingFrame() const { return m_pDockSite; }

  // The least size of the bar: 32767 along its side when stretched (horizontally when `horz`), 0
  // otherwise. Bars add their content's size.
  virtual CSize CalcFixedLayout(BOOL stretch, BOOL horz);
  virtual CSize CalcDynamicLayout(int length, DWORD mode);
  // Brings the bar's items up to date from the target's update handlers.
  virtual void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) = 0;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

  // Takes the borders, the margins (turned for a vertical bar: the left and right margins go to
  // the top and bottom) and the gripper off `rect`. From an empty rectangle the result is
  // negative: subtracting its size from a content size gives the bar's size.
  void CalcInsideRect(CRect& rect, BOOL horz) const;
  // Draws the borders the style asks for along the edges of `rect` and takes them off it.
  void DrawBorders(CDC* dc, CRect& rect);
  // Draws the gripper of a docked bar with CBRS_GRIPPER at the start of `rect` (the window
  // rectangle less the borders, in window coordinates).
  virtual void DrawGripper(CDC* dc, const CRect& rect);

  DWORD m_dwStyle {};  // CBRS_ bits
  // The margins inside the borders, as for a horizontal bar.
  int m_cxLeftBorder {};
  int m_cxRightBorder {};
  int m_cyTopBorder {};
  int m_cyBottomBorder {};

protected:
  CControlBar() = default;
  virtual void OnBarStyleChange(DWORD, DWORD) {}
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  LRESULT OnSizeParent(WPARAM, LPARAM lParam);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM);

  CFrameWnd* m_pDockSite {};

  DECLARE_MESSAGE_MAP()
};
