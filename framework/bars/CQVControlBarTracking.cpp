// CQVControlBar: dragging an edge of a docked bar. An edge across the row moves length between
// the bars on either side of it; the edge towards the frame's interior changes the thickness of
// the whole row. The mouse stays captured until the button comes up (or the right button goes
// down, or another window takes the capture); meanwhile an inverted tracker on the frame shows
// where the edge goes, and the sizes change as it moves. The frame lays the bars out afresh at
// the next idle moment.

#include "framework/bars/CQVControlBar.h"

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CDockBar.h"
#include "platform/ui/win/windc.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool AlongX(UINT hit) { return hit == HTLEFT || hit == HTRIGHT; }
bool FromStart(UINT hit) { return hit == HTLEFT || hit == HTTOP; }

}  // namespace

void CQVControlBar::StartTracking(UINT hit, CPoint pt) {
  SetCapture();
  m_htEdge = hit;
  m_bTracking = TRUE;
  m_nTrackPosOld = AlongX(hit) ? pt.x : pt.y;
  CRect edge = EdgeRect(hit);
  CRect window;
  GetWindowRect(&window);
  edge.OffsetRect(window.TopLeft());
  m_nTrackEdgeOfs = m_nTrackPosOld - (AlongX(hit) ? edge.CenterPoint().x : edge.CenterPoint().y);
  m_nTrackPosMin = m_nTrackPosMax = m_nTrackPosOld;

  const BOOL horz = IsHorzDocked();
  const std::vector<CQVControlBar*> row = RowSizingBars();
  const auto self = static_cast<int>(std::find(row.begin(), row.end(), this) - row.begin());
  if (IsSideTracking()) {
    const int split = FromStart(hit) ? self : self + 1;
    for (int k = 0; k < static_cast<int>(row.size()); ++k) {
      const int excess = Along(row[k], horz) - MinAlong(row[k], horz);
      if (k < split) m_nTrackPosMin -= excess;
      else m_nTrackPosMax += excess;
    }
  } else {
    int least = MinAcross(this, horz);
    for (CQVControlBar* bar : row) least = std::max(least, MinAcross(bar, horz));
    const int width = Across(this, horz);
    CRect site;
    if (m_pDockSite) m_pDockSite->GetClientRect(&site);
    const int shrink = width - least;
    const int grow = (horz ? site.Height() : site.Width()) - width;
    if (FromStart(hit)) {
      m_nTrackPosMin -= grow;
      m_nTrackPosMax += shrink;
    } else {
      m_nTrackPosMin -= shrink;
      m_nTrackPosMax += grow;
    }
  }
  OnTrackInvertTracker();
}

void CQVControlBar::OnTrackUpdateSize(CPoint& pt) {
  const int pos = std::clamp(AlongX(m_htEdge) ? pt.x : pt.y, m_nTrackPosMin, std::max(m_nTrackPosMin, m_nTrackPosMax));
  if (pos == m_nTrackPosOld) return;
  OnTrackInvertTracker();
  const int delta = pos - m_nTrackPosOld;
  m_nTrackPosOld = pos;
  const BOOL horz = IsHorzDocked();
  const std::vector<CQVControlBar*> row = RowSizingBars();
  const auto self = static_cast<int>(std::find(row.begin(), row.end(), this) - row.begin());
  if (IsSideTracking()) {
    // The bar on the side the edge moves away from grows; those on the other side, nearest first,
    // give up length down to their least lengths.
    const bool start = FromStart(m_htEdge);
    const int grows = start ? (delta > 0 ? self - 1 : self) : (delta > 0 ? self : self + 1);
    if (grows >= 0 && grows < static_cast<int>(row.size())) {
      const int way = (grows == (start ? self - 1 : self)) ? 1 : -1;  // where the givers lie
      int left = std::abs(delta);
      for (int k = grows + way; k >= 0 && k < static_cast<int>(row.size()) && left > 0; k += way) {
        const int give = std::min(left, Along(row[k], horz) - MinAlong(row[k], horz));
        if (give <= 0) continue;
        Along(row[k], horz) -= give;
        left -= give;
      }
      Along(row[grows], horz) += std::abs(delta) - left;
    }
  } else {
    int& thickness = Across(this, horz);
    thickness += FromStart(m_htEdge) ? -delta : delta;
    for (CQVControlBar* bar : row) Across(bar, horz) = thickness;
  }
  OnTrackInvertTracker();
}

void CQVControlBar::OnTrackInvertTracker() {
  if (!m_pDockSite || !m_pDockBar) return;
  CRect tracker = EdgeRect(m_htEdge);
  CRect window;
  GetWindowRect(&window);
  tracker.OffsetRect(window.TopLeft());
  if (!IsSideTracking()) {
    // A thickness drag shows across the whole dock bar.
    CRect dock;
    m_pDockBar->GetWindowRect(&dock);
    if (IsHorzDocked()) tracker.SetRect(dock.left + 1, tracker.top, dock.right - 1, tracker.bottom);
    else tracker.SetRect(tracker.left, dock.top + 1, tracker.right, dock.bottom - 1);
  }
  const int centre = AlongX(m_htEdge) ? tracker.CenterPoint().x : tracker.CenterPoint().y;
  const int shift = m_nTrackPosOld - m_nTrackEdgeOfs - centre;
  tracker.OffsetRect(AlongX(m_htEdge) ? shift : 0, AlongX(m_htEdge) ? 0 : shift);
  CRect site;
  m_pDockSite->GetWindowRect(&site);
  tracker.OffsetRect(-site.left, -site.top);

  HDC hdc = ::GetDCEx(m_pDockSite->GetSafeHwnd(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (!hdc) return;
  CDC dc;
  dc.Attach(hdc);
  CBrush* old = dc.SelectObject(CDC::GetHalftoneBrush());
  dc.PatBlt(tracker.left, tracker.top, tracker.Width(), tracker.Height(), PATINVERT);
  dc.SelectObject(old);
  ::ReleaseDC(m_pDockSite->GetSafeHwnd(), dc.Detach());
}

void CQVControlBar::StopTracking() {
  OnTrackInvertTracker();
  m_bTracking = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  if (m_pDockSite) m_pDockSite->DelayRecalcLayout();
}
