#include "framework/bars/CQVMiniDockFrameWnd.h"

#include "framework/bars/CQVControlBar.h"

IMPLEMENT_DYNCREATE(CQVMiniDockFrameWnd, CMiniDockFrameWnd)

BEGIN_MESSAGE_MAP(CQVMiniDockFrameWnd, CMiniDockFrameWnd)
  ON_WM_SIZE()
  ON_WM_GETMINMAXINFO()
  ON_WM_WINDOWPOSCHANGING()
  ON_WM_NCLBUTTONDOWN()
END_MESSAGE_MAP()

namespace {

// The floating dock bar tucks its bars 2 pixels under the frame's border on every side.
constexpr int kTuck = 4;

}  // namespace

CQVControlBar* CQVMiniDockFrameWnd::GetSizingControlBar() const {
  for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); ++i)
    if (CControlBar* bar = m_wndDockBar.m_arrBars[i]) return dynamic_cast<CQVControlBar*>(bar);
  return nullptr;
}

void CQVMiniDockFrameWnd::OnSize(UINT type, int cx, int cy) {
  CQVControlBar* bar = GetSizingControlBar();
  if (bar && bar->IsVisible() && !(GetStyle() & MFS_4THICKFRAME) && cx + kTuck >= bar->m_szMinFloat.cx &&
      cy + kTuck >= bar->m_szMinFloat.cy)
    bar->m_szFloat = CSize(cx + kTuck, cy + kTuck);
  CMiniDockFrameWnd::OnSize(type, cx, cy);
}

void CQVMiniDockFrameWnd::OnGetMinMaxInfo(MINMAXINFO* info) {
  CMiniDockFrameWnd::OnGetMinMaxInfo(info);
  if (CQVControlBar* bar = GetSizingControlBar()) {
    CRect least(0, 0, bar->m_szMinFloat.cx - kTuck, bar->m_szMinFloat.cy - kTuck);
    CalcWindowRect(&least);
    info->ptMinTrackSize = POINT {least.Width(), least.Height()};
  }
}

void CQVMiniDockFrameWnd::OnWindowPosChanging(WINDOWPOS* pos) {
  if ((GetStyle() & MFS_4THICKFRAME) && GetSizingControlBar()) {
    // From now on the frame is sized like any window and its size is the bar's floating size.
    pos->flags |= SWP_NOSIZE;
    m_wndDockBar.ModifyStyle(0, WS_CLIPCHILDREN);
    ModifyStyle(MFS_4THICKFRAME, 0);
    DelayRecalcLayout();
    GetSizingControlBar()->PostMessage(WM_NCPAINT);
  }
  CMiniDockFrameWnd::OnWindowPosChanging(pos);
}

void CQVMiniDockFrameWnd::OnNcLButtonDown(UINT hit, CPoint point) {
  if (hit == HTCAPTION || hit == HTCLOSE) {
    BringWindowToTop();
  } else if (GetSizingControlBar()) {
    CWnd::OnNcLButtonDown(hit, point);  // the window's own border resizing
    return;
  }
  CMiniDockFrameWnd::OnNcLButtonDown(hit, point);
}
