#include "platform/ui/bars/CDockBar.h"

#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CDockState.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
  ON_WM_DESTROY()
  ON_MESSAGE(WM_SIZEPARENT, &CDockBar::OnSizeParent)
END_MESSAGE_MAP()

namespace {

constexpr int kOverlap = 2;  // bars in a row share their border lines; the outer ones tuck under the edges

BOOL IsHorizontal(DWORD style) { return (style & CBRS_ORIENT_HORZ) != 0; }

}  // namespace

CDockBar::CDockBar(BOOL floating) : m_bFloating(floating) { m_arrBars.Add(nullptr); }

CDockBar::~CDockBar() { ReleaseBars(); }

void CDockBar::ReleaseBars() {
  for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
    if (CControlBar* bar = m_arrBars[i]; bar && bar->m_pDockBar == this) bar->m_pDockBar = nullptr;
  m_arrBars.RemoveAll();
  m_arrBars.Add(nullptr);
}

BOOL CDockBar::Create(CWnd* parent, DWORD style, UINT id) {
  m_dwStyle = style & CBRS_ALL;
  return CWnd::Create(nullptr, nullptr, (style & ~CBRS_ALL) | WS_CHILD, CRect(0, 0, 0, 0), parent, id);
}

int CDockBar::GetDockedCount() const {
  int count = 0;
  for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
    if (m_arrBars[i]) ++count;
  return count;
}

int CDockBar::GetDockedVisibleCount() const {
  int count = 0;
  for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
    if (m_arrBars[i] && m_arrBars[i]->IsVisible()) ++count;
  return count;
}

int CDockBar::FindBar(CControlBar* bar, int exclude) const {
  for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
    if (i != exclude && m_arrBars[i] == bar) return static_cast<int>(i);
  return -1;
}

void CDockBar::DockControlBar(CControlBar* bar, LPCRECT rect) {
  if (!bar) return;
  CDockBar* old = bar->m_pDockBar;
  if (old == this && !rect) return;
  if (old == this) DetachControlBar(bar);
  if (rect) {
    CRect place(*rect);
    ScreenToClient(&place);
    Adopt(bar, SlotFor(place), place.TopLeft(), old == this ? nullptr : old);
  } else {
    Adopt(bar, Slot {static_cast<int>(m_arrBars.GetSize()), true}, CPoint(-kOverlap, -kOverlap), old);
  }
}

void CDockBar::AppendControlBar(CControlBar* bar, BOOL newRow, CPoint pos) {
  if (!bar) return;
  CDockBar* old = bar->m_pDockBar;
  if (old == this) DetachControlBar(bar);
  int size = static_cast<int>(m_arrBars.GetSize());
  bool onlyStart = size <= 1;
  Slot slot = (newRow || onlyStart) ? Slot {size, true} : Slot {m_arrBars[size - 1] ? size : size - 1, false};
  Adopt(bar, slot, pos, old == this ? nullptr : old);
}

CDockBar::Slot CDockBar::SlotFor(const CRect& rect) const {
  const BOOL horz = IsHorizontal(m_dwStyle);
  const int across = horz ? (rect.top + rect.bottom) / 2 : (rect.left + rect.right) / 2;
  const int along = horz ? (rect.left + rect.right) / 2 : (rect.top + rect.bottom) / 2;
  const int size = static_cast<int>(m_arrBars.GetSize());
  std::vector<std::pair<int, CRect>> row;  // the visible bars of a row: slot, place
  int rowStart = 1;
  for (int i = 1; i <= size; ++i) {
    if (i < size && m_arrBars[i]) {
      if (m_arrBars[i]->IsVisible()) {
        CRect place;
        m_arrBars[i]->GetWindowRect(&place);
        ScreenToClient(&place);
        row.emplace_back(i, place);
      }
      continue;
    }
    // The row [rowStart, i): a rectangle centred before it makes a new row, one centred on it
    // goes before the first bar further along.
    if (!row.empty()) {
      int first = std::numeric_limits<int>::max(), last = std::numeric_limits<int>::min();
      for (const auto& [slot, place] : row) {
        first = std::min<int>(first, horz ? place.top : place.left);
        last = std::max<int>(last, horz ? place.bottom : place.right);
      }
      if (across < first) return Slot {rowStart, true};
      if (across < last) {
        for (const auto& [slot, place] : row)
          if ((horz ? place.CenterPoint().x : place.CenterPoint().y) > along) return Slot {slot, false};
        return Slot {i, false};
      }
    }
    row.clear();
    rowStart = i + 1;
  }
  return Slot {size, true};
}

void CDockBar::Adopt(CControlBar* bar, Slot slot, CPoint pos, CDockBar* old) {
  if (slot.newRow) m_arrBars.InsertAt(slot.index, nullptr);
  m_arrBars.InsertAt(slot.index, bar);
  DWORD style = bar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING);
  style |= m_dwStyle & CBRS_ALIGN_ANY;
  if (m_bFloating) style |= CBRS_FLOATING;
  bar->SetBarStyle(style);
  if (bar->GetParent() != this) bar->SetParent(this);
  bar->m_pDockBar = this;
  // The orientation and the gripper may have changed: the bar works out its borders again.
  bar->SetWindowPos(nullptr, pos.x, pos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  if (m_bFloating) {
    CString title;
    bar->GetWindowText(title);
    SetWindowText(title);
  }
  // Last: a floating dock bar left empty takes its frame (and itself) away.
  if (old) old->RemoveControlBar(bar);
}

BOOL CDockBar::RemoveControlBar(CControlBar* bar) {
  if (FindBar(bar) < 0) return FALSE;
  DetachControlBar(bar);
  if (!m_bFloating) return TRUE;
  CWnd* frame = GetParent();
  if (!frame) return TRUE;
  if (GetDockedCount() == 0) {
    frame->DestroyWindow();  // this dock bar is part of the frame: nothing of it may be used now
    return TRUE;
  }
  if (GetDockedVisibleCount() == 0) frame->ShowWindow(SW_HIDE);
  else if (CFrameWnd* floating = GetParentFrame()) floating->RecalcLayout();
  return TRUE;
}

void CDockBar::DetachControlBar(CControlBar* bar) {
  int i = FindBar(bar);
  if (i >= 0) {
    m_arrBars.RemoveAt(i);
    // The row it leaves may now be empty: two breaks in a row become one.
    if (i > 0 && i < m_arrBars.GetSize() && !m_arrBars[i - 1] && !m_arrBars[i]) m_arrBars.RemoveAt(i);
  }
  if (bar->m_pDockBar == this) bar->m_pDockBar = nullptr;
}

CSize CDockBar::Measure(CControlBar* bar, BOOL horz) const {
  if (!(bar->m_dwStyle & CBRS_SIZE_DYNAMIC)) return bar->CalcFixedLayout(FALSE, horz);
  if (m_bFloating) return bar->CalcDynamicLayout(-1, LM_MRUWIDTH | (horz ? LM_HORZ : 0));
  return bar->CalcDynamicLayout(-1, horz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
}

CSize CDockBar::CalcFixedLayout(BOOL stretch, BOOL) {
  const BOOL horz = IsHorizontal(m_dwStyle);
  CRect room = m_rectLayout;
  if (room.IsRectEmpty())
    if (CWnd* parent = GetParent()) parent->GetClientRect(&room);
  const int length = m_bFloating ? 32767 : (horz ? room.Width() : room.Height());
  const bool tucked = m_bFloating || (m_dwStyle & CBRS_ALIGN_TOP);

  AFX_SIZEPARENTPARAMS layout {};
  layout.hDWP = m_bLayoutQuery ? nullptr : ::BeginDeferWindowPos(static_cast<int>(m_arrBars.GetSize()));
  struct Entry {
    CControlBar* bar;
    int desired;  // where the bar is now along the row
    CSize size;
  };
  std::vector<Entry> row;
  int across = tucked ? -kOverlap : 0;
  int extent = 0;
  bool anyRow = false;

  auto placeRow = [&] {
    if (row.empty()) return;
    const int n = static_cast<int>(row.size());
    std::vector<int> packed(n), at(n);
    int next = -kOverlap, packNext = -kOverlap;
    for (int k = 0; k < n; ++k) {
      const int len = horz ? row[k].size.cx : row[k].size.cy;
      packed[k] = packNext;
      at[k] = m_bFloating ? next : std::max(next, row[k].desired);
      next = at[k] + len - kOverlap;
      packNext += len - kOverlap;
    }
    if (!m_bFloating) {
      int limit = length + kOverlap;
      for (int k = n - 1; k >= 0; --k) {
        const int len = horz ? row[k].size.cx : row[k].size.cy;
        if (at[k] + len > limit) at[k] = std::max(packed[k], limit - len);
        limit = at[k] + kOverlap;
      }
    }
    int thickness = 0;
    for (int k = 0; k < n; ++k) {
      const CSize s = row[k].size;
      thickness = std::max<int>(thickness, horz ? s.cy : s.cx);
      extent = std::max<int>(extent, at[k] + (horz ? s.cx : s.cy));
      CRect place = horz ? CRect(CPoint(at[k], across), s) : CRect(CPoint(across, at[k]), s);
      if (layout.hDWP)
        layout.hDWP = ::DeferWindowPos(static_cast<HDWP>(layout.hDWP), row[k].bar->m_hWnd, nullptr, place.left,
                                       place.top, place.Width(), place.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    across += thickness;
    anyRow = true;
    row.clear();
  };

  for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i) {
    CControlBar* bar = m_arrBars[i];
    if (!bar) {
      placeRow();
      continue;
    }
    if (!bar->GetSafeHwnd() || !(bar->RecalcDelayShow(&layout) & WS_VISIBLE)) continue;
    CRect now;
    bar->GetWindowRect(&now);
    ScreenToClient(&now);
    row.push_back(Entry {bar, horz ? now.left : now.top, Measure(bar, horz)});
  }
  placeRow();
  if (layout.hDWP) ::EndDeferWindowPos(static_cast<HDWP>(layout.hDWP));

  int thickness = anyRow ? across : 0;
  int along = extent;
  if (m_bFloating && anyRow) {
    thickness -= kOverlap;
    along -= kOverlap;
  }
  if (stretch && !m_bFloating) along = length;
  thickness = std::max(0, thickness);
  along = std::max(0, along);
  return horz ? CSize(along, thickness) : CSize(thickness, along);
}

void CDockBar::GetBarInfo(CControlBarInfo* info) {
  CControlBar::GetBarInfo(info);
  if (m_bFloating) {
    if (CWnd* frame = GetParent()) {
      CRect place;
      frame->GetWindowRect(&place);
      info->m_pointPos = place.TopLeft();
    }
  }
  info->m_arrBarID.RemoveAll();
  for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i) {
    CControlBar* bar = m_arrBars[i];
    if (!bar) info->m_arrBarID.Add(0);
    else if (UINT id = static_cast<UINT>(bar->GetDlgCtrlID())) info->m_arrBarID.Add(id);
  }
}

LRESULT CDockBar::OnSizeParent(WPARAM, LPARAM lParam) {
  auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  if (!layout) return 0;
  const BOOL horz = IsHorizontal(m_dwStyle);
  m_rectLayout = layout->rect;
  m_bLayoutQuery = layout->hDWP == nullptr;
  CSize size = CalcFixedLayout(layout->bStretch, horz);
  m_bLayoutQuery = FALSE;
  TakeRoom(layout, size);
  return 0;
}

void CDockBar::OnDestroy() {
  ReleaseBars();
  CControlBar::OnDestroy();
}

void CDockBar::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}
