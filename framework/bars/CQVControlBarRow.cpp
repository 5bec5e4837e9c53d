// CQVControlBar: sharing a row of the dock bar among its sizing bars. The first visible sizing bar
// of a row negotiates for all of them while the frame lays out its dock bars: rows whose least
// lengths do not fit are broken, the sizing bars take one thickness, and the length left over (or
// missing) is handed out a pixel at a time, first to the bars furthest above their least length.
// Then the bars are placed end to end; bars in a row overlap by 2 pixels.

#include "framework/bars/CQVControlBar.h"

#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CDockBar.h"

#include <algorithm>

namespace {

constexpr int kOverlap = 2;

int WindowLength(const CControlBar* bar, BOOL horz) {
  CRect r;
  bar->GetWindowRect(&r);
  return horz ? r.Width() : r.Height();
}

}  // namespace

std::vector<CControlBar*> CQVControlBar::RowBars() const {
  std::vector<CControlBar*> row;
  if (!m_pDockBar) return row;
  const auto& cells = m_pDockBar->m_arrBars;
  const int at = m_pDockBar->FindBar(const_cast<CQVControlBar*>(this));
  if (at < 0) return row;
  int first = at;
  while (first > 0 && cells[first - 1]) --first;
  for (INT_PTR i = first; i < cells.GetSize() && cells[i]; ++i)
    if (cells[i]->GetSafeHwnd() && cells[i]->IsVisible()) row.push_back(cells[i]);
  return row;
}

std::vector<CQVControlBar*> CQVControlBar::RowSizingBars() const {
  std::vector<CQVControlBar*> sizing;
  for (CControlBar* bar : RowBars())
    if (auto* own = dynamic_cast<CQVControlBar*>(bar)) sizing.push_back(own);
  return sizing;
}

BOOL CQVControlBar::NegotiateSpace(int lengthTotal, BOOL horz) {
  std::vector<CControlBar*> row = RowBars();
  const auto self = std::find(row.begin(), row.end(), this) - row.begin();

  // Least lengths first: a row they do not fit in is broken.
  int required = kOverlap;
  for (size_t k = 0; k < row.size(); ++k) {
    auto* sizing = dynamic_cast<CQVControlBar*>(row[k]);
    required += (sizing ? MinAlong(sizing, horz) : WindowLength(row[k], horz)) - kOverlap;
    if (required <= lengthTotal) continue;
    auto& cells = m_pDockBar->m_arrBars;
    if (static_cast<long>(k) < self) {
      // This bar now starts a row the dock bar is already past in this layout: another follows.
      cells.InsertAt(m_pDockBar->FindBar(row[k]) + 1, nullptr);
      if (m_pDockSite) m_pDockSite->DelayRecalcLayout();
      return FALSE;
    }
    if (static_cast<long>(k) > self) {
      cells.InsertAt(m_pDockBar->FindBar(row[k]), nullptr);
      row.resize(k);
      break;
    }
    Along(this, horz) = MinAlong(this, horz);
    return TRUE;
  }

  std::vector<CQVControlBar*> sizing;
  int actual = 0, available = lengthTotal, thickness = 0;
  for (CControlBar* bar : row) {
    if (auto* own = dynamic_cast<CQVControlBar*>(bar)) {
      sizing.push_back(own);
      actual += Along(own, horz) - kOverlap;
      thickness = std::max(thickness, Across(own, horz));
    } else {
      available -= WindowLength(bar, horz) - kOverlap;
    }
  }
  int diff = available - actual;
  if (sizing.size() == 1) {
    Along(this, horz) = std::max(Along(this, horz) + diff, MinAlong(this, horz));
    m_bKeepSize = FALSE;
    return TRUE;
  }

  for (CQVControlBar* bar : sizing) Across(bar, horz) = thickness;
  auto releaseAll = [&] {
    for (CQVControlBar* bar : sizing) bar->m_bKeepSize = FALSE;
  };
  // Each round lowers the length the bars keep when the row shrinks, down to their least sizes;
  // once that floor is reached and a pass moves nothing, the row stays over-long rather than
  // going round for ever.
  const int minLength = horz ? m_nMinHorz : m_nMinVert;
  int round = 0;
  while (diff != 0) {
    bool changed = false;
    const int step = diff > 0 ? 1 : -1;
    for (CQVControlBar* bar : sizing) {
      if (diff == 0) break;
      if (bar->m_bKeepSize) continue;
      if (step < 0 && Along(bar, horz) <= std::max(MinAlong(bar, horz), minLength - round)) continue;
      Along(bar, horz) += step;
      diff -= step;
      changed = true;
    }
    if (changed) continue;
    if (round > minLength) break;
    ++round;
    releaseAll();
  }
  releaseAll();
  return TRUE;
}

void CQVControlBar::AlignControlBars() {
  const BOOL horz = IsHorzDocked();
  int place = -kOverlap;
  for (CControlBar* bar : RowBars()) {
    auto* sizing = dynamic_cast<CQVControlBar*>(bar);
    const int length = sizing ? Along(sizing, horz) : WindowLength(bar, horz);
    CRect now;
    bar->GetWindowRect(&now);
    m_pDockBar->ScreenToClient(&now);
    // Only along the row: the dock bar places the rows across.
    if ((horz ? now.left : now.top) != place) {
      const CPoint to = horz ? CPoint(place, now.top) : CPoint(now.left, place);
      bar->SetWindowPos(nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    place += length - kOverlap;
  }
}
