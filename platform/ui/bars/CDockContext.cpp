#include "platform/ui/bars/CDockContext.h"

#include "platform/gdi/CDC.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CDockBar.h"
#include "platform/ui/bars/CMiniFrameWnd.h"

namespace {

// The floating frame hides the outer 2 pixels of the bars it holds (see CDockBar).
constexpr int kFloatingTuck = 2;

CRect DesktopRect() { return CRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)); }

// Moves the rectangle the least that makes it hold the point.
void Contain(CRect& rect, CPoint pt) {
  if (pt.x < rect.left) rect.OffsetRect(pt.x - rect.left, 0);
  else if (pt.x >= rect.right) rect.OffsetRect(pt.x - rect.right + 1, 0);
  if (pt.y < rect.top) rect.OffsetRect(0, pt.y - rect.top);
  else if (pt.y >= rect.bottom) rect.OffsetRect(0, pt.y - rect.bottom + 1);
}

// The frame a floating bar of this size (and place) lives in.
CRect FrameAround(const CRect& bar) {
  CRect frame = bar;
  CMiniFrameWnd::CalcBorders(&frame);
  frame.DeflateRect(kFloatingTuck, kFloatingTuck);
  return frame;
}

CPoint ScreenPoint(const MSG& msg) {
  CPoint pt(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
  ::ClientToScreen(msg.hwnd, &pt);
  return pt;
}

}  // namespace

CDockContext::CDockContext(CControlBar* bar) : m_pBar(bar), m_pDockSite(bar->m_pDockSite) {}

CDockContext::~CDockContext() {
  if (!m_pLoopAlive) return;
  *m_pLoopAlive = false;
  CancelLoop();
}

void CDockContext::StartDrag(CPoint pt) {
  if (!m_pBar->m_pDockSite) return;  // a bar outside any frame has nowhere to go
  m_bDragging = TRUE;
  InitLoop();
  CRect rect;
  m_pBar->GetWindowRect(&rect);
  m_ptLast = pt;
  const DWORD barStyle = m_pBar->m_dwStyle;
  if (barStyle & CBRS_SIZE_DYNAMIC) {
    m_rectDragHorz = CRect(rect.TopLeft(), m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_HORZDOCK));
    m_rectDragVert = CRect(rect.TopLeft(), m_pBar->CalcDynamicLayout(0, LM_VERTDOCK));
    CRect floating(rect.TopLeft(), m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH));
    m_rectFrameDragHorz = FrameAround(floating);
    m_rectFrameDragVert = m_rectFrameDragHorz;
  } else {
    if (barStyle & CBRS_SIZE_FIXED) {
      m_rectDragHorz = CRect(rect.TopLeft(), m_pBar->CalcFixedLayout(FALSE, TRUE));
      m_rectDragVert = CRect(rect.TopLeft(), m_pBar->CalcFixedLayout(FALSE, FALSE));
    } else if (barStyle & CBRS_ORIENT_HORZ) {
      // The other orientation: the window turned, centred on the cursor.
      m_rectDragHorz = rect;
      m_rectDragVert = CRect(CPoint(pt.x - rect.Height() / 2, rect.top), CSize(rect.Height(), rect.Width()));
    } else {
      m_rectDragVert = rect;
      m_rectDragHorz = CRect(CPoint(rect.left, pt.y - rect.Width() / 2), CSize(rect.Height(), rect.Width()));
    }
    m_rectFrameDragHorz = FrameAround(m_rectDragHorz);
    m_rectFrameDragVert = FrameAround(m_rectDragVert);
  }
  for (CRect* r : {&m_rectDragHorz, &m_rectDragVert, &m_rectFrameDragHorz, &m_rectFrameDragVert}) Contain(*r, pt);
  m_dwOverDockStyle = CanDock();
  Move(pt);
  Track();
}

void CDockContext::StartResize(int hit, CPoint pt) {
  if (!m_pBar->m_pDockSite) return;
  m_bDragging = FALSE;
  InitLoop();
  m_nHitTest = hit;
  m_ptLast = pt;
  CRect rect;
  m_pBar->GetWindowRect(&rect);
  const CSize size = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
  m_rectDragHorz = CRect(rect.TopLeft(), size);
  m_rectDragVert = m_rectDragHorz;
  m_rectFrameDragHorz = FrameAround(m_rectDragHorz);
  m_rectFrameDragVert = CRect(0, 0, m_rectFrameDragHorz.Width() - size.cx, m_rectFrameDragHorz.Height() - size.cy);
  m_dwOverDockStyle = 0;
  Stretch(pt);
  Track();
}

void CDockContext::ToggleDocking() {
  m_pDockSite = m_pBar->m_pDockSite;  // the bar's frame now, as a drag takes it
  if (!m_pDockSite) return;
  if (m_pBar->IsFloating()) {
    if (!(m_pBar->m_dwDockStyle & CBRS_ALIGN_ANY)) return;
    CControlBar* found = m_uMRUDockID ? m_pDockSite->GetControlBar(m_uMRUDockID) : nullptr;
    if (found && found->IsDockBar()) {
      CRect rect = m_rectMRUDockPos;
      found->ClientToScreen(&rect);
      m_pDockSite->DockControlBar(m_pBar, static_cast<CDockBar*>(found), &rect);
    } else {
      m_pDockSite->DockControlBar(m_pBar, static_cast<CDockBar*>(nullptr));
    }
    m_pDockSite->RecalcLayout();
    return;
  }
  CPoint pos = m_ptMRUFloatPos;
  if (!m_bMRUFloatPosSet) {
    CRect rect = m_rectMRUDockPos;
    if (CWnd* parent = m_pBar->GetParent()) parent->ClientToScreen(&rect);
    pos = rect.TopLeft();
  }
  m_pDockSite->FloatControlBar(m_pBar, pos, m_dwMRUFloatStyle);
}

void CDockContext::InitLoop() {
  m_pDockSite = m_pBar->m_pDockSite;
  // What waits to be painted is painted first, so the outline goes over the windows as they are.
  if (CWnd* top = m_pBar->GetTopLevelParent()) top->RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  if (m_pDockSite) m_pDockSite->RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  m_dwStyle = m_pBar->m_dwStyle & CBRS_ALIGN_ANY;
  m_dwDockStyle = m_pBar->m_dwDockStyle;
  m_rectLast.SetRectEmpty();
  m_sizeLast = CSize(0, 0);
  m_bDitherLast = FALSE;
  m_bFlip = FALSE;
  m_bForceFrame = FALSE;
  HWND desktop = ::GetDesktopWindow();
  m_bLockedUpdates = ::LockWindowUpdate(desktop);
  HDC dc = ::GetDCEx(desktop, nullptr, DCX_WINDOW | DCX_CACHE | (m_bLockedUpdates ? DCX_LOCKWINDOWUPDATE : 0));
  if (dc) {
    m_pDC = new CDC;
    m_pDC->Attach(dc);
    if (m_pDC->GetLayout() & LAYOUT_RTL) m_pDC->SetLayout(0);
  }
}

void CDockContext::CancelLoop() {
  DrawFocusRect(TRUE);
  if (::GetCapture() == m_pBar->m_hWnd) ::ReleaseCapture();
  if (m_bLockedUpdates) {
    ::LockWindowUpdate(nullptr);
    m_bLockedUpdates = FALSE;
  }
  if (m_pDC) {
    ::ReleaseDC(::GetDesktopWindow(), m_pDC->Detach());
    delete m_pDC;
    m_pDC = nullptr;
  }
}

BOOL CDockContext::Track() {
  if (::GetCapture()) {
    CancelLoop();
    return FALSE;
  }
  // Kept apart from the bar: a message handed on may destroy its window, or the bar itself.
  const HWND bar = m_pBar->m_hWnd;
  bool alive = true;
  m_pLoopAlive = &alive;
  const BOOL ended = RunLoop(bar, alive);
  if (alive) m_pLoopAlive = nullptr;
  return ended;
}

BOOL CDockContext::RunLoop(HWND bar, const bool& alive) {
  ::SetCapture(bar);
  while (::GetCapture() == bar) {
    MSG msg {};
    if (!::GetMessageW(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    switch (msg.message) {
    case WM_LBUTTONUP:
      if (m_bDragging) EndDrag();
      else EndResize();
      return TRUE;
    case WM_MOUSEMOVE:
      if (m_bDragging) Move(ScreenPoint(msg));
      else Stretch(ScreenPoint(msg));
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (m_bDragging) OnKey(static_cast<int>(msg.wParam), msg.message == WM_KEYDOWN);
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        CancelLoop();
        return FALSE;
      }
      break;
    case WM_RBUTTONDOWN:
      CancelLoop();
      return FALSE;
    default:
      ::DispatchMessageW(&msg);
      if (!alive) return FALSE;  // the destructor has ended the loop
      break;
    }
  }
  CancelLoop();
  return FALSE;
}

void CDockContext::Move(CPoint pt) {
  const CSize delta = pt - m_ptLast;
  for (CRect* r : {&m_rectDragHorz, &m_rectDragVert, &m_rectFrameDragHorz, &m_rectFrameDragVert}) r->OffsetRect(delta);
  m_ptLast = pt;
  m_dwOverDockStyle = m_bForceFrame ? 0 : CanDockWhileMoving();
  DrawFocusRect();
}

void CDockContext::Stretch(CPoint pt) {
  const CSize delta = pt - m_ptLast;
  int length;
  DWORD mode;
  switch (m_nHitTest) {
  case HTLEFT:
    m_rectDragHorz.left += delta.cx;
    length = m_rectDragHorz.Width();
    mode = LM_HORZ;
    break;
  case HTRIGHT:
    m_rectDragHorz.right += delta.cx;
    length = m_rectDragHorz.Width();
    mode = LM_HORZ;
    break;
  case HTTOP:
    m_rectDragHorz.top += delta.cy;
    length = m_rectDragHorz.Height();
    mode = LM_LENGTHY | LM_HORZ;
    break;
  default:
    m_rectDragHorz.bottom += delta.cy;
    length = m_rectDragHorz.Height();
    mode = LM_LENGTHY | LM_HORZ;
    break;
  }
  const CSize size = m_pBar->CalcDynamicLayout(std::max(0, length), mode);
  const CSize frameSize = size + m_rectFrameDragVert.Size();
  // The edge away from the one dragged stays put.
  const bool fromStart = m_nHitTest == HTLEFT || m_nHitTest == HTTOP;
  const CRect frame = fromStart ? CRect(m_rectFrameDragHorz.BottomRight() - frameSize, frameSize)
                                : CRect(m_rectFrameDragHorz.TopLeft(), frameSize);
  const CRect desktop = DesktopRect();
  CRect common;
  if (common.IntersectRect(&desktop, &frame)) {
    m_rectFrameDragHorz = frame;
    m_rectDragVert = fromStart ? CRect(m_rectDragVert.BottomRight() - size, size) : CRect(m_rectDragVert.TopLeft(), size);
  }
  m_ptLast = pt;
  DrawFocusRect();
}

void CDockContext::EndDrag() {
  CancelLoop();
  if (m_dwOverDockStyle) {
    CDockBar* dockBar = GetDockBar(m_dwOverDockStyle);
    if (!dockBar) return;
    CRect rect = (m_dwOverDockStyle & CBRS_ORIENT_VERT) ? m_rectDragVert : m_rectDragHorz;
    m_uMRUDockID = static_cast<UINT>(dockBar->GetDlgCtrlID());
    m_rectMRUDockPos = rect;
    dockBar->ScreenToClient(&m_rectMRUDockPos);
    m_pDockSite->DockControlBar(m_pBar, dockBar, &rect);
    m_pDockSite->RecalcLayout();
    return;
  }
  const bool horizontal = (m_pBar->m_dwStyle & CBRS_SIZE_DYNAMIC) || (((m_dwStyle & CBRS_ORIENT_HORZ) != 0) != bool(m_bFlip));
  m_dwMRUFloatStyle = (horizontal ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT) | (m_dwDockStyle & CBRS_FLOAT_MULTI);
  m_ptMRUFloatPos = (horizontal ? m_rectFrameDragHorz : m_rectFrameDragVert).TopLeft();
  m_bMRUFloatPosSet = TRUE;
  m_pDockSite->FloatControlBar(m_pBar, m_ptMRUFloatPos, m_dwMRUFloatStyle);
}

void CDockContext::EndResize() {
  CancelLoop();
  m_pBar->CalcDynamicLayout(m_rectDragVert.Width(), LM_HORZ | LM_COMMIT);
  m_pDockSite->FloatControlBar(m_pBar, m_rectFrameDragHorz.TopLeft(),
                               CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC | (m_dwDockStyle & CBRS_FLOAT_MULTI));
}

void CDockContext::OnKey(int key, BOOL down) {
  if (key == VK_CONTROL) {
    if (bool(m_bForceFrame) == bool(down)) return;
    m_bForceFrame = down;
  } else if (key == VK_SHIFT) {
    const BOOL flip = down && (m_dwDockStyle & CBRS_ORIENT_HORZ) && (m_dwDockStyle & CBRS_ORIENT_VERT);
    if (bool(m_bFlip) == bool(flip)) return;
    m_bFlip = flip;
  } else {
    return;
  }
  m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
  DrawFocusRect();
}

DWORD CDockContext::CanDock() {
  if (!m_pDockSite) return 0;
  BOOL horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
  if (m_bFlip) horz = !horz;
  const DWORD own = horz ? CBRS_ORIENT_HORZ : CBRS_ORIENT_VERT;
  const DWORD result = m_pDockSite->CanDock(horz ? m_rectDragHorz : m_rectDragVert, m_dwDockStyle & own);
  if (result || m_bFlip) return result;
  for (DWORD orientation : {DWORD(CBRS_ORIENT_HORZ), DWORD(CBRS_ORIENT_VERT)}) {
    const DWORD byHorz = m_pDockSite->CanDock(m_rectDragHorz, m_dwDockStyle & orientation);
    if (byHorz && byHorz == m_pDockSite->CanDock(m_rectDragVert, m_dwDockStyle & orientation)) return byHorz;
  }
  return 0;
}

CDockBar* CDockContext::GetDockBar(DWORD overDockStyle) {
  if (!m_pDockSite) return nullptr;
  for (const DockBarSide& side : kDockBarSides) {
    if (!(overDockStyle & side.align)) continue;
    CControlBar* found = m_pDockSite->GetControlBar(side.id);
    if (found && found->IsDockBar()) return static_cast<CDockBar*>(found);
  }
  return nullptr;
}

void CDockContext::DrawFocusRect(BOOL removeRect) {
  if (!m_pDC) return;
  CRect rect;
  CSize size(0, 0);
  BOOL dither = FALSE;
  if (!removeRect) {
    if (m_dwOverDockStyle) {
      // Where the bar would sit in the dock bar.
      rect = (m_dwOverDockStyle & CBRS_ORIENT_HORZ) ? m_rectDragHorz : m_rectDragVert;
      rect.DeflateRect(1, 1);
      size = CSize(1, 1);
    } else {
      // The floating frame: horizontal for a horizontal bar unless flipped; a resize has only one.
      const bool horizontal = !m_bDragging || (((m_dwStyle & CBRS_ORIENT_HORZ) != 0) != bool(m_bFlip));
      rect = horizontal ? m_rectFrameDragHorz : m_rectFrameDragVert;
      size = CSize(::GetSystemMetrics(SM_CXFRAME) - 1, ::GetSystemMetrics(SM_CYFRAME) - 1);
      dither = TRUE;
    }
  }
  // The halftone brush shows on any background: outlines are windows over the desktop, not
  // inversions of it.
  m_pDC->DrawDragRect(&rect, size, &m_rectLast, m_sizeLast, CDC::GetHalftoneBrush(), CDC::GetHalftoneBrush());
  m_rectLast = rect;
  m_sizeLast = size;
  m_bDitherLast = dither;
}
