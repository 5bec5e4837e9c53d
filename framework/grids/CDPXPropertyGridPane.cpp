// The row pane: painting the displayed rows double-buffered, hit testing, mouse and keys, divider
// dragging and scrolling.

#include "framework/grids/CDPXPropertyGridPane.h"

#include "framework/grids/CDPXPropertyGrid.h"
#include "framework/grids/CDPXPropertyGridItem.h"
#include "framework/grids/GridPainting.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/win/winctrl.h"
#include "platform/ui/win/windc.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDPXPropertyGridPane, CWnd)

BEGIN_MESSAGE_MAP(CDPXPropertyGridPane, CWnd)
  ON_WM_SETCURSOR()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_KEYDOWN()
  ON_WM_VSCROLL()
  ON_WM_MOUSEWHEEL()
  ON_WM_GETDLGCODE()
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

namespace {
bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }
}  // namespace

BOOL CDPXPropertyGridPane::Create(CWnd* parent) {
  m_sizeCursor = LoadCursorW(nullptr, IDC_SIZEWE);
  m_handCursor = LoadCursorW(nullptr, IDC_HAND);
  LPCWSTR cls = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW));
  return CreateEx(0, cls, u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, CRect(0, 0, 0, 0), parent,
                  CDPXPropertyGrid::kPaneId);
}

// ---- Hit testing ---------------------------------------------------------------------------------

CDPXPropertyGridRow* CDPXPropertyGridPane::RowFromPoint(CPoint point) {
  const int y = point.y + m_grid->GetScrollPosition();
  const auto& rows = m_grid->GetDisplayedRows();
  // Rows lie in display order with rising y: the first row that ends below y holds it.
  auto at = std::upper_bound(rows.begin(), rows.end(), y, [](int value, const CDPXPropertyGridRow* row) {
    return value < row->GetPosition().y + row->GetHeight();
  });
  if (at == rows.end() || y < (*at)->GetPosition().y) return nullptr;
  return *at;
}

int CDPXPropertyGridPane::HitTest(CPoint point, CDPXPropertyGridRow** rowOut, int* dividerOut) {
  CDPXPropertyGridRow* row = RowFromPoint(point);
  if (rowOut) *rowOut = row;
  if (!row) return kHitNothing;
  const BOOL below = !row->IsTopLevel();
  if (below) {
    const std::vector<int>& dividers = m_grid->GetDividers();
    for (size_t i = 0; i < dividers.size(); ++i) {
      if (point.x >= dividers[i] - kDividerTolerance && point.x <= dividers[i] + kDividerTolerance) {
        if (dividerOut) *dividerOut = static_cast<int>(i);
        return kHitDivider;
      }
    }
  }
  const CPoint content(point.x, point.y + m_grid->GetScrollPosition());
  CRect box = row->GetExpandBox();
  box.InflateRect(0, 0, 1, 1);  // the hit rectangle includes its right and bottom edges
  if (row->GetFirstChild() && box.PtInRect(content)) return kHitBox;
  if (row->GetType() == CDPXPropertyGridRow::kHeader) return kHitHeader;
  if (below && point.x > m_grid->GetContentLeft() + kDividerTolerance) return kHitCells;
  if (row->GetFirstChild()) return kHitChildren;
  return kHitNothing;
}

int CDPXPropertyGridPane::GetColumnAt(int x) const {
  const std::vector<int>& dividers = m_grid->GetDividers();
  if (dividers.empty()) return -1;
  for (size_t i = 0; i < dividers.size(); ++i) {
    if (x < dividers[i]) return static_cast<int>(i);
  }
  return static_cast<int>(dividers.size());
}

// ---- Scrolling -----------------------------------------------------------------------------------

void CDPXPropertyGridPane::UpdateScrollRange() {
  if (!GetSafeHwnd()) return;
  CRect client;
  GetClientRect(&client);
  SCROLLINFO info {};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE;
  info.nMin = 0;
  info.nMax = m_grid->GetContentHeight();
  info.nPage = static_cast<UINT>(client.Height() + 1);
  SetScrollInfo(SB_VERT, &info, TRUE);
  // Content that shrank (rows deleted or collapsed) must not leave the view scrolled past its end.
  const int limit = std::max(0, info.nMax - static_cast<int>(info.nPage));
  const int position = info.nMax < static_cast<int>(info.nPage) ? 0 : std::min(m_grid->m_scrollPos, limit);
  if (position != m_grid->m_scrollPos || GetScrollPos(SB_VERT) != position) {
    m_grid->m_scrollPos = position;
    SetScrollPos(SB_VERT, position, TRUE);
  }
}

void CDPXPropertyGridPane::ScrollTo(int position) {
  SCROLLINFO info {};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE;
  GetScrollInfo(SB_VERT, &info);
  const int page = static_cast<int>(info.nPage);
  position = std::clamp(position, info.nMin, std::max(info.nMin, info.nMax - page));
  m_grid->m_scrollPos = position;
  SetScrollPos(SB_VERT, position, TRUE);
  Invalidate();
  UpdateWindow();
}

void CDPXPropertyGridPane::OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
  SetFocus();
  CRect client;
  GetClientRect(&client);
  const int page = client.Height() + 1;
  int position = m_grid->GetScrollPosition();
  switch (code) {
  case SB_LINEUP: position -= CDPXPropertyGrid::kScrollLine; break;
  case SB_LINEDOWN: position += CDPXPropertyGrid::kScrollLine; break;
  case SB_PAGEUP: position -= page; break;
  case SB_PAGEDOWN: position += page; break;
  case SB_THUMBTRACK: position = static_cast<int>(pos); break;
  default: break;
  }
  ScrollTo(position);
}

BOOL CDPXPropertyGridPane::OnMouseWheel(UINT flags, short delta, CPoint point) {
  CRect client;
  GetClientRect(&client);
  int minPos = 0, maxPos = 0;
  GetScrollRange(SB_VERT, &minPos, &maxPos);
  if (maxPos - minPos < client.Height()) return TRUE;
  SetFocus();
  OnVScroll(delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0, nullptr);
  return TRUE;
}

void CDPXPropertyGridPane::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  // Showing or hiding the scroll bar resizes the pane again; once is enough.
  if (m_inSize) return;
  m_inSize = true;
  UpdateScrollRange();
  m_inSize = false;
  Invalidate();
  UpdateWindow();
}

UINT CDPXPropertyGridPane::OnGetDlgCode() { return DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS; }

// ---- Mouse ---------------------------------------------------------------------------------------

BOOL CDPXPropertyGridPane::OnSetCursor(CWnd* wnd, UINT hit, UINT message) {
  if (hit == HTCLIENT) {
    CPoint point;
    GetCursorPos(&point);
    ScreenToClient(&point);
    const int code = HitTest(point);
    if (code == kHitDivider) {
      SetCursor(m_sizeCursor);
      return TRUE;
    }
    if (code == kHitBox) {
      SetCursor(m_handCursor);
      return TRUE;
    }
  }
  return CWnd::OnSetCursor(wnd, hit, message);
}

void CDPXPropertyGridPane::ToggleExpanded(CDPXPropertyGridRow* row, BOOL expanded) {
  if (!row->GetFirstChild() || m_grid->Notify(CDPXPropertyGrid::kNotifyExpand, row, nullptr)) return;
  row->SetExpanded(expanded);
  m_grid->LayoutChanged();
  UpdateScrollRange();
  Invalidate();
  UpdateWindow();
  CheckCurrentRow();
}

void CDPXPropertyGridPane::CheckCurrentRow() {
  CDPXPropertyGridRow* current = m_grid->GetCurrentRow();
  if (!current || m_grid->IsDisplayed(current)) return;
  current->SetSelected(FALSE);
  m_grid->m_currentRow = nullptr;
  m_grid->Notify(CDPXPropertyGrid::kNotifyCurrentRow, nullptr, nullptr);
  Invalidate();
  UpdateWindow();
}

void CDPXPropertyGridPane::OnLButtonDown(UINT flags, CPoint point) {
  if (!m_grid->IsWindowEnabled()) return;
  m_grid->Notify(CDPXPropertyGrid::kNotifyClick, nullptr, nullptr);
  SetFocus();
  CDPXPropertyGridRow* row = nullptr;
  int divider = -1;
  const int code = HitTest(point, &row, &divider);
  if (code == kHitHeader) return;
  if (code == kHitDivider) {
    if (m_grid->Notify(CDPXPropertyGrid::kNotifyDividerDrag, nullptr, nullptr)) return;
    m_dragging = 1;
    SetCapture();
    m_dragDivider = divider;
    m_dragX = m_grid->GetDividers()[static_cast<size_t>(divider)];
    Invalidate();
    UpdateWindow();
    return;
  }
  if (code == kHitBox) {
    ToggleExpanded(row, !row->IsExpanded());
    return;
  }
  if (row) {
    m_grid->ClearSelection();
    row->SetSelected(TRUE);
    if (row != m_grid->GetCurrentRow()) m_grid->Notify(CDPXPropertyGrid::kNotifyCurrentRow, row, nullptr);
    // The row becomes current before its editor opens, so that the editor sits where the row is
    // shown once it has been scrolled into view.
    m_grid->SetCurrentRow(row);
    if (code == kHitCells && !row->IsTopLevel()) {
      m_grid->Notify(CDPXPropertyGrid::kNotifyCellClick, row, nullptr);
      row->BeginEditCell(GetColumnAt(point.x));
    }
  } else {
    m_grid->ClearSelection();
    m_grid->m_currentRow = nullptr;
    m_grid->Notify(CDPXPropertyGrid::kNotifyCurrentRow, nullptr, nullptr);
  }
  Invalidate();
}

void CDPXPropertyGridPane::OnMouseMove(UINT flags, CPoint point) {
  if (!m_dragging) return;
  m_dragX = point.x;
  Invalidate();
  UpdateWindow();
}

void CDPXPropertyGridPane::EndDrag(int x) {
  std::vector<int> dividers = m_grid->GetDividers();
  const size_t i = static_cast<size_t>(m_dragDivider);
  const int old = dividers[i];
  if (x < old) {
    const int first = m_grid->GetContentLeft() + kDividerGap;
    x = std::max(x, i == 0 ? first : dividers[i - 1] + kDividerGap);
  } else {
    CRect client;
    GetClientRect(&client);
    x = std::min(x, i + 1 < dividers.size() ? dividers[i + 1] - kDividerGap : client.right - kDividerGap);
  }
  m_grid->SetDivider(m_dragDivider, x);
  m_dragging = 0;
  m_dragDivider = -1;
  m_dragX = -1;
}

void CDPXPropertyGridPane::OnLButtonUp(UINT flags, CPoint point) {
  if (!m_dragging) return;
  EndDrag(point.x);
  ReleaseCapture();
  Invalidate();
  UpdateWindow();
}

void CDPXPropertyGridPane::OnCaptureChanged(CWnd* wnd) {
  // A drag whose capture was taken away ends where the bar was last shown.
  if (m_dragging && wnd != this) {
    EndDrag(m_dragX);
    Invalidate();
  }
  CWnd::OnCaptureChanged(wnd);
}

void CDPXPropertyGridPane::OnLButtonDblClk(UINT flags, CPoint point) {
  if (!m_grid->IsWindowEnabled()) return;
  m_grid->Notify(CDPXPropertyGrid::kNotifyDoubleClick, nullptr, nullptr);
  CDPXPropertyGridRow* row = nullptr;
  const int code = HitTest(point, &row);
  if (!row || !row->GetFirstChild()) return;
  if (code == kHitChildren || code == kHitBox) {
    ToggleExpanded(row, !row->IsExpanded());
  } else if (code == kHitDivider || (code == kHitCells && !row->IsTopLevel())) {
    return;
  } else {
    m_grid->ChangeCurrentRow(row);
  }
}

// ---- Keys ----------------------------------------------------------------------------------------

void CDPXPropertyGridPane::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (!m_grid->IsWindowEnabled()) return;
  CDPXPropertyGridRow* current = m_grid->GetCurrentRow();
  const BOOL below = current && !current->IsTopLevel();
  switch (key) {
  case VK_TAB:
    if (below) {
      if (KeyDown(VK_SHIFT)) m_grid->SelectPrevRow();
      else m_grid->SelectNextRow();
    }
    break;
  case VK_RETURN:
    if (below) current->BeginEditCell(current->GetCurrentCell());
    break;
  case VK_HOME: m_grid->SelectFirstRow(); break;
  case VK_END: m_grid->SelectLastRow(); break;
  case VK_LEFT:
  case VK_RIGHT: {
    if (!current || m_grid->Notify(CDPXPropertyGrid::kNotifyExpand, current, nullptr)) break;
    const BOOL left = key == VK_LEFT;
    if (current->GetFirstChild() && current->IsExpanded() == left) {
      // The owner has been asked already.
      current->SetExpanded(!left);
      m_grid->LayoutChanged();
      UpdateScrollRange();
      Invalidate();
      UpdateWindow();
      CheckCurrentRow();
    } else if (below) {
      if (left) current->PrevCell();
      else current->NextCell();
      Invalidate();
    }
    break;
  }
  case VK_UP:
    if (KeyDown(VK_CONTROL)) m_grid->MoveRowUp(current);
    else m_grid->SelectPrevRow();
    break;
  case VK_DOWN:
    if (KeyDown(VK_CONTROL)) m_grid->MoveRowDown(current);
    else m_grid->SelectNextRow();
    break;
  case VK_DELETE:
    if ((m_grid->GetGridStyle() & CDPXPropertyGrid::kEditableList) && current &&
        current->GetType() != CDPXPropertyGridRow::kPlaceholder &&
        !m_grid->Notify(CDPXPropertyGrid::kNotifyDelete, current, nullptr)) {
      m_grid->SelectNextRow();
      m_grid->DeleteRow(current);
    }
    break;
  case VK_F5:
  case VK_F6:
  case VK_F7:
    m_grid->SortRows(nullptr, static_cast<int>(key - VK_F5));
    m_grid->Redraw();
    break;
  default: CWnd::OnKeyDown(key, repeat, flags); break;
  }
}

// ---- Painting ------------------------------------------------------------------------------------

void CDPXPropertyGridPane::OnPaint() {
  grid_painting::BufferedPaint paint(this);
  if (!paint.Ready()) return;
  CDC& memory = paint.DC();
  const CRect& client = paint.Client();
  const BOOL disabled = !m_grid->IsWindowEnabled();
  const COLORREF face = GetSysColor(COLOR_BTNFACE), window = GetSysColor(COLOR_WINDOW);
  memory.FillSolidRect(client, face);
  CRect inner = client;
  inner.DeflateRect(2, 2);
  memory.FillSolidRect(inner, disabled ? face : window);
  const BOOL faceMargin = disabled || (m_grid->GetGridStyle() & CDPXPropertyGrid::kFaceMargin);
  memory.FillSolidRect(CRect(0, 0, m_grid->GetLeftMargin(), client.Height()), faceMargin ? face : window);

  const int saved = memory.SaveDC();
  memory.IntersectClipRect(client);
  PaintRows(&memory, client);
  memory.RestoreDC(saved);
  CRect edge = client;
  memory.DrawEdge(&edge, BDR_SUNKENOUTER, BF_RECT);
  if (m_dragging) PaintDragBar(&memory, client);
}

void CDPXPropertyGridPane::PaintRows(CDC* dc, const CRect& client) {
  // Only the rows in view are painted: the time a paint takes does not grow with the row count.
  const int top = m_grid->GetScrollPosition();
  const auto& rows = m_grid->GetDisplayedRows();
  auto at = std::upper_bound(rows.begin(), rows.end(), top, [](int value, const CDPXPropertyGridRow* row) {
    return value < row->GetPosition().y + row->GetHeight();
  });
  for (; at != rows.end() && (*at)->GetPosition().y < top + client.Height(); ++at)
    (*at)->Paint(dc, client, 0, (*at)->GetPosition().y);
}

void CDPXPropertyGridPane::PaintDragBar(CDC* dc, const CRect& client) {
  static const WORD kPattern[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  CBitmap pattern;
  pattern.CreateBitmap(8, 8, 1, 1, kPattern);
  CBrush brush(&pattern);
  CBrush* old = dc->SelectObject(&brush);
  dc->PatBlt(m_dragX - 2, 0, 4, client.Height(), PATINVERT);
  dc->SelectObject(old);
}
