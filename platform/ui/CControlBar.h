#pragma once
// CControlBar: a bar along an edge of its frame (tool bar, status bar, dockable bar). The frame's
// layout asks each visible bar for its size and gives it a strip of the client area; the idle
// moment asks it to bring its items up to date. Docking between frames is left to derived bars.

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
  void SetBarStyle(DWORD style) { m_dwStyle = style; }
  BOOL IsVisible() const { return (GetStyle() & WS_VISIBLE) != 0; }
  CFrameWnd* GetDockingFrame() const { return m_pDockSite; }

  // The bar's size: the full length of its side when stretched, else its window's size.
  virtual CSize CalcFixedLayout(BOOL stretch, BOOL horz);
  virtual CSize CalcDynamicLayout(int length, DWORD mode);
  // Brings the bar's items up to date from the target's update handlers.
  virtual void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) = 0;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

  DWORD m_dwStyle {};  // CBRS_ bits

protected:
  CControlBar() = default;
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  LRESULT OnSizeParent(WPARAM, LPARAM lParam);
  LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM);

  CFrameWnd* m_pDockSite {};

  DECLARE_MESSAGE_MAP()
};
