#include "framework/bars/CQVStatusBar.h"

#include "platform/core/CException.h"
#include "platform/gdi/CDC.h"

#include <new>
#include <vector>

IMPLEMENT_DYNAMIC(CQVStatusBar, CStatusBar)

BEGIN_MESSAGE_MAP(CQVStatusBar, CStatusBar)
  ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {
constexpr int kMaxPanes = 250;
}

BOOL CQVStatusBar::Create(CWnd* parent, UINT id) {
  if (!CStatusBar::CreateEx(parent, SBARS_SIZEGRIP | SBT_TOOLTIPS, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, id)) return FALSE;
  if (m_bRefreshTimer)
    SetTimer(kRefreshTimer, static_cast<UINT>(m_nRefreshInterval > 0 ? m_nRefreshInterval : kDefaultRefreshInterval));
  return TRUE;
}

BOOL CQVStatusBar::SetPanes(int count) {
  if (count < 1 || count > kMaxPanes) return FALSE;
  try {
    const std::vector<UINT> ids(static_cast<size_t>(count), ID_SEPARATOR);
    return SetIndicators(ids.data(), count);
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
}

void CQVStatusBar::SetPaneInfo(int pane, UINT style, int width) {
  if (!IsPane(pane)) return;
  // Owner drawing is switched by SetPaneOwnerDraw alone: a new width or border keeps it.
  if (GetPaneStyle(pane) & SBPS_OWNERDRAW) style |= SBPS_OWNERDRAW;
  CStatusBar::SetPaneInfo(pane, 0, style, width);
}

void CQVStatusBar::SetPaneText(int pane, LPCWSTR text) {
  if (IsPane(pane)) CStatusBar::SetPaneText(pane, text, TRUE);
}

void CQVStatusBar::SetPaneOwnerDraw(int pane, BOOL on) {
  if (!IsPane(pane) || !m_hWnd) return;
  // The pane keeps its text while it is owner-drawn, so that switching back shows it again.
  const CString text = GetPaneText(pane);
  int type = 0;
  GetStatusBarCtrl().GetTextLength(pane, &type);
  const bool ownerDrawn = type & SBT_OWNERDRAW;
  if (on && !ownerDrawn) SendMessage(SB_SETTEXTW, static_cast<WPARAM>(pane | SBT_OWNERDRAW), 0);
  else if (!on && ownerDrawn) SendMessage(SB_SETTEXTW, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text.GetString()));
}

void CQVStatusBar::SetPaneIcon(int pane, HICON icon) {
  if (IsPane(pane) && m_hWnd) SendMessage(SB_SETICON, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(icon));
}

void CQVStatusBar::SetPaneTip(int pane, LPCWSTR tip) {
  if (IsPane(pane) && m_hWnd) SendMessage(SB_SETTIPTEXTW, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(tip));
}

void CQVStatusBar::SetMinHeight(int height) {
  if (m_hWnd) SendMessage(SB_SETMINHEIGHT, static_cast<WPARAM>(height));
}

COLORREF CQVStatusBar::SetBackColor(COLORREF color) {
  if (!m_hWnd) return CLR_DEFAULT;
  return static_cast<COLORREF>(SendMessage(SB_SETBKCOLOR, 0, static_cast<LPARAM>(color)));
}

int CQVStatusBar::HitTest(CPoint pt) const {
  for (int i = 0; i < GetCount(); ++i) {
    CRect r;
    GetItemRect(i, &r);
    if (r.PtInRect(pt)) return i;
  }
  return -1;
}

void CQVStatusBar::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (!dis) return;
  CDC dc;
  CDC* target = dis->hDC && dc.Attach(dis->hDC) ? &dc : nullptr;
  try {
    OnDrawPane(static_cast<int>(dis->itemID), target, CRect(dis->rcItem));
  } catch (CException* e) {
    e->Delete();
  } catch (...) {
  }
  if (target) dc.Detach();
}

void CQVStatusBar::OnDrawPane(int, CDC*, CRect) {}

void CQVStatusBar::OnUpdateStatus() {}

void CQVStatusBar::OnTimer(UINT_PTR id) {
  if (id == kRefreshTimer) OnUpdateStatus();
  else CStatusBar::OnTimer(id);
}
