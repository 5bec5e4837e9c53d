#include "framework/bars/CQVDockContext.h"

#include "framework/bars/CQVControlBar.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CDockBar.h"

#include <algorithm>

namespace {

CRect WindowRectOf(const CWnd* wnd) {
  CRect r;
  wnd->GetWindowRect(&r);
  return r;
}

}  // namespace

DWORD CQVDockContext::CanDockWhileMoving() {
  if (!m_pDockSite) return 0;
  const bool horz = ((m_dwStyle & CBRS_ORIENT_HORZ) != 0) != bool(m_bFlip);
  const DWORD own = horz ? CBRS_ORIENT_HORZ : CBRS_ORIENT_VERT;
  const DWORD other = horz ? CBRS_ORIENT_VERT : CBRS_ORIENT_HORZ;
  if (m_dwDockStyle & own) {
    const CRect& ownRect = horz ? m_rectDragHorz : m_rectDragVert;
    const CRect& otherRect = horz ? m_rectDragVert : m_rectDragHorz;
    // Mostly off the frame: floating.
    const CRect site = WindowRectOf(m_pDockSite);
    const int lo = horz ? ownRect.top : ownRect.left, hi = horz ? ownRect.bottom : ownRect.right;
    const int siteLo = horz ? site.top : site.left, siteHi = horz ? site.bottom : site.right;
    if ((lo < siteLo || hi > siteHi) && 3 * (std::min(hi, siteHi) - std::max(lo, siteLo)) < hi - lo) return 0;

    CDockBar* ownBar = nullptr;
    CDockBar* sideBar = nullptr;
    const DWORD ownSide = m_pDockSite->CanDock(ownRect, m_dwDockStyle & own, &ownBar);
    const DWORD side = m_bFlip ? 0 : m_pDockSite->CanDock(otherRect, m_dwDockStyle & other, &sideBar);
    if (side) {
      if (sideBar && WindowRectOf(sideBar).PtInRect(m_ptLast)) return side;
      if (ownBar) {
        const CRect ownDock = WindowRectOf(ownBar);
        if ((horz ? ownDock.Height() : ownDock.Width()) == 0) return ownSide;
        if (!ownDock.PtInRect(m_ptLast)) return side;
      }
    }
    if (ownSide || m_bFlip) return ownSide;
  }
  if (m_bFlip) return 0;
  return CanDock();  // both drag rectangles must agree on a side
}

bool CQVDockContext::IsOnlySizingBarIn(CDockBar* dockBar) const {
  if (dockBar != m_pBar->m_pDockBar) return false;
  int sizing = 0;
  for (INT_PTR i = 0; i < dockBar->m_arrBars.GetSize(); ++i)
    if (dynamic_cast<CQVControlBar*>(dockBar->m_arrBars[i])) ++sizing;
  return sizing == 1;
}

CRect CQVDockContext::DockedOutline(CDockBar* dockBar, DWORD side) {
  const bool horz = side & CBRS_ORIENT_HORZ;
  CRect& drag = horz ? m_rectDragHorz : m_rectDragVert;
  const CRect dock = WindowRectOf(dockBar);
  // Along the row: x for a horizontal dock bar, y for an upright one; across: the other.
  auto along = [horz](CRect& r) -> std::pair<LONG&, LONG&> {
    return horz ? std::pair<LONG&, LONG&>(r.left, r.right) : std::pair<LONG&, LONG&>(r.top, r.bottom);
  };
  CRect outline = drag;
  CRect dockCopy = dock;
  auto [dockStart, dockEnd] = along(dockCopy);
  const int thickness = horz ? dock.Height() : dock.Width();
  const int dragThickness = horz ? drag.Height() : drag.Width();
  const int inside = horz ? std::min(drag.bottom, dock.bottom) - std::max(drag.top, dock.top)
                          : std::min(drag.right, dock.right) - std::max(drag.left, dock.left);
  if (thickness <= 0 || inside <= dragThickness / 2 + 1) {
    auto [start, end] = along(outline);
    start = dockStart;
    end = dockEnd;
    return outline;
  }
  auto [dragStart, dragEnd] = along(drag);
  auto [start, end] = along(outline);
  const int overhang = (dockStart - dragStart) + (dragEnd - dockEnd);
  if (overhang >= 4) {
    start = dragStart = dockStart;
    end = dragEnd = dockEnd;
  } else if (overhang >= -3 && overhang <= 3 && !IsOnlySizingBarIn(dockBar)) {
    const auto* sizing = dynamic_cast<const CQVControlBar*>(m_pBar);
    const int least = sizing ? (horz ? sizing->GetMinHorz() : sizing->GetMinVert()) : 12;
    end -= (end - start < least) ? 12 : least;
  }
  if (start < dockStart) {
    const int by = dockStart - start;
    start += by;
    end += by;
  } else if (end > dockEnd) {
    const int by = end - dockEnd;
    start -= by;
    end -= by;
  }
  return outline;
}

void CQVDockContext::DrawFocusRect(BOOL removeRect) {
  CDockBar* dockBar = (!m_pDC || removeRect || !m_dwOverDockStyle) ? nullptr : GetDockBar(m_dwOverDockStyle);
  if (!dockBar) {
    CDockContext::DrawFocusRect(removeRect);  // the floating frame's outline, or none
    return;
  }
  CRect rect = DockedOutline(dockBar, m_dwOverDockStyle);
  rect.DeflateRect(1, 1);
  const CSize size(1, 1);
  CBrush* white = CBrush::FromHandle(static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  m_pDC->DrawDragRect(&rect, size, &m_rectLast, m_sizeLast, white, m_bDitherLast ? CDC::GetHalftoneBrush() : white);
  m_rectLast = rect;
  m_sizeLast = size;
  m_bDitherLast = FALSE;
}
