#include "framework/views/CQVImageListWnd.h"

#include "foundation/util/DPXWindowDraw.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CRgn.h"
#include "platform/ui/win/windc.h"
#include "platform/ui/win/winctrl.h"

#include <algorithm>
#include <tuple>

IMPLEMENT_DYNCREATE(__CQVImageListWndVWArrayItem, CObject)
IMPLEMENT_DYNAMIC(CQVImageListWnd, CWnd)

BEGIN_MESSAGE_MAP(CQVImageListWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
END_MESSAGE_MAP()

namespace {

// The paint mode of the bitmap handle that reduces 1-bit pages to grey.
constexpr int kScaleToGrayMode = 11;

bool HasPaintModes(const CQVBitmapHandle& bitmap) {
  for (int mode = 1; mode <= kScaleToGrayMode; ++mode)
    if (bitmap.IsPaintModeEnabled(mode)) return true;
  return false;
}

// A DC for a painter that was handed none: the window's own, given back at the end of the scope.
class WindowDC {
public:
  WindowDC(CWnd* wnd, CDC* given) : m_wnd(wnd), m_dc(given) {
    if (!m_dc && wnd->GetSafeHwnd()) m_dc = m_own = wnd->GetDC();
  }
  ~WindowDC() {
    if (m_own) m_wnd->ReleaseDC(m_own);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  CDC* get() const { return m_dc; }

private:
  CWnd* m_wnd;
  CDC* m_dc;
  CDC* m_own { nullptr };
};

}  // namespace

// ---- Creation and layout -----------------------------------------------------------------------

BOOL CQVImageListWnd::CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  style = m_nHScrollMode != 0 ? style | WS_HSCROLL : style & ~DWORD(WS_HSCROLL);
  style = m_nVScrollMode != 0 ? style | WS_VSCROLL : style & ~DWORD(WS_VSCROLL);
  m_nSelectedIndex = -1;
  m_nFocusedIndex = -1;
  m_bSizing = FALSE;
  m_nFirstIndex = 0;
  return CWnd::CreateEx(exStyle, nullptr, nullptr, style, rect, parent, id);
}

// The window's class is the framework's plain one, which repaints nothing by itself on a resize;
// the class is shared with other windows and left as it is.
int CQVImageListWnd::OnCreate(LPCREATESTRUCT cs) { return CWnd::OnCreate(cs); }

void CQVImageListWnd::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  // Showing or hiding a scroll bar during the relayout sizes the window again.
  if (m_bSizing) return;
  m_bSizing = TRUE;
  OnUpdateLayout();
  m_bSizing = FALSE;
}

BOOL CQVImageListWnd::SetFPSMode(int cellWidth, int cellHeight) {
  if (cellWidth < 1 || cellHeight < 1) return FALSE;
  m_nFPSWidth = cellWidth;
  m_nFPSHeight = cellHeight;
  m_nLayoutMode = 1;
  OnUpdateLayout();
  return TRUE;
}

BOOL CQVImageListWnd::SetFPCMode(int columns, int rows) {
  if (columns < 1 || rows < 1) return FALSE;
  m_nFPCColumns = columns;
  m_nFPCRows = rows;
  m_nLayoutMode = 2;
  OnUpdateLayout();
  return TRUE;
}

int CQVImageListWnd::GetColCount() {
  CRect client;
  GetClientRect(&client);
  switch (m_nLayoutMode) {
  case 1: return m_nFPSWidth > 0 ? client.Width() / m_nFPSWidth : 0;
  case 2: return m_nFPCColumns;
  default: return 0;
  }
}

int CQVImageListWnd::GetRowCount() {
  CRect client;
  GetClientRect(&client);
  switch (m_nLayoutMode) {
  case 1: {
    if (m_nFPSHeight <= 0) return 0;
    const int height = client.Height();
    return height / m_nFPSHeight + (height % m_nFPSHeight > m_nFPSHeight / 5 ? 1 : 0);
  }
  case 2: return m_nFPCRows;
  default: return 0;
  }
}

BOOL CQVImageListWnd::GetItemSize(CSize& size) {
  if (m_nLayoutMode == 1 && m_nFPSWidth > 0 && m_nFPSHeight > 0) {
    size = CSize(m_nFPSWidth, m_nFPSHeight);
    return TRUE;
  }
  if (m_nLayoutMode == 2 && m_nFPCColumns > 0 && m_nFPCRows > 0) {
    CRect client;
    GetClientRect(&client);
    size = CSize(client.Width() / m_nFPCColumns, client.Height() / m_nFPCRows);
    return TRUE;
  }
  return FALSE;
}

BOOL CQVImageListWnd::GetItemRect(int cell, CRect& rect) {
  const int columns = GetColCount();
  const int rows = GetRowCount();
  CSize size;
  if (columns <= 0 || rows <= 0 || cell < 0 || cell >= rows * columns || !GetItemSize(size)) return FALSE;
  const int left = cell % columns * size.cx;
  const int top = cell / columns * size.cy;
  rect = CRect(left, top, left + size.cx, top + size.cy);
  return TRUE;
}

BOOL CQVImageListWnd::HitTest(CPoint point, int& cell) {
  const int cells = GetItemCount();
  for (int c = 0; c < cells; ++c) {
    CRect rect;
    if (GetItemRect(c, rect) && rect.PtInRect(point)) {
      cell = c;
      return TRUE;
    }
  }
  return FALSE;
}

int CQVImageListWnd::GetItemCount() { return GetColCount() * GetRowCount(); }

BOOL CQVImageListWnd::IndexToItem(int index, int& cell) {
  if (index < 0 || index >= GetImageCount()) return FALSE;
  cell = index - m_nFirstIndex;
  return cell >= 0 && cell < GetItemCount();
}

BOOL CQVImageListWnd::ItemToIndex(int cell, int& index) {
  if (cell < 0 || cell >= GetItemCount()) return FALSE;
  index = cell + m_nFirstIndex;
  return index >= 0 && index < GetImageCount();
}

void CQVImageListWnd::OnLayoutChange() {
  m_nLastFirstIndex = m_nFirstIndex;
  m_nLastCellCount = GetRowCount() * GetColCount();
}

void CQVImageListWnd::OnUpdateLayoutAndCursor(int repaint) {
  OnLayoutChange();
  UpdateScrollBars();
  if (!repaint) return;
  RepaintBackground(nullptr, FALSE);
  RepaintAllItems(nullptr, FALSE);
}

void CQVImageListWnd::OnUpdateImageList() {
  const int count = GetImageCount();
  // An image list that shrank takes the selection and the focus of the images that went with it.
  if (m_nFocusedIndex >= count) m_nFocusedIndex = -1;
  if (m_nSelectedIndex >= count) {
    m_nSelectedIndex = -1;
    OnSelChange();
  }
  UpdateScrollBars();
  if (count < 1) return;
  if (m_nFirstIndex < 0) {
    m_nFirstIndex = 0;
    OnUpdateCursor(TRUE);
  } else if (m_nFirstIndex >= count) {
    m_nFirstIndex = count - 1;
    OnUpdateCursor(TRUE);
  }
}

// ---- Position, selection and focus -------------------------------------------------------------

BOOL CQVImageListWnd::GetCurrentPos(int& index) const {
  index = m_nFirstIndex;
  return TRUE;
}

BOOL CQVImageListWnd::SetCurrentPos(int index, int repaint) {
  if (index < 0 || index >= GetImageCount()) return FALSE;
  m_nFirstIndex = index;
  OnUpdateCursor(repaint);
  return TRUE;
}

BOOL CQVImageListWnd::GetSelectedIndex(int& index) const {
  index = m_nSelectedIndex;
  return TRUE;
}

BOOL CQVImageListWnd::GetFocusedIndex(int& index) const {
  index = m_nFocusedIndex;
  return TRUE;
}

void CQVImageListWnd::RepaintIndex(int index) {
  int cell;
  if (IndexToItem(index, cell)) RepaintItem(cell, nullptr, FALSE);
}

BOOL CQVImageListWnd::SetSelectedIndex(int index, int repaint) {
  const int value = index >= 0 && index < GetImageCount() ? index : -1;
  if (value == m_nSelectedIndex) return TRUE;
  const int old = m_nSelectedIndex;
  m_nSelectedIndex = value;
  OnSelChange();
  if (repaint) {
    RepaintIndex(old);
    RepaintIndex(value);
  }
  return TRUE;
}

BOOL CQVImageListWnd::SetFocusedIndex(int index, int repaint) {
  const int value = index >= 0 && index < GetImageCount() ? index : -1;
  if (value == m_nFocusedIndex) return TRUE;
  const int old = m_nFocusedIndex;
  m_nFocusedIndex = value;
  if (repaint) {
    RepaintIndex(old);
    RepaintIndex(value);
  }
  return TRUE;
}

void CQVImageListWnd::ClearFocus() {
  if (m_bFocusTracking && m_nFocusedIndex != -1) SetFocusedIndex(-1, TRUE);
}

// ---- Mouse -------------------------------------------------------------------------------------

void CQVImageListWnd::OnLButtonDown(UINT flags, CPoint point) {
  ClearFocus();
  int cell;
  if (!HitTest(point, cell)) {
    CWnd::OnLButtonDown(flags, point);
    return;
  }
  int index;
  if (!ItemToIndex(cell, index)) index = -1;
  SetSelectedIndex(index, TRUE);
}

void CQVImageListWnd::OnLButtonUp(UINT flags, CPoint point) {
  ClearFocus();
  CWnd::OnLButtonUp(flags, point);
}

void CQVImageListWnd::OnMouseMove(UINT flags, CPoint point) {
  CRect client;
  GetClientRect(&client);
  if (!client.PtInRect(point) && GetCapture() == this) ReleaseCapture();
  if (m_bFocusTracking) {
    int cell, index = -1;
    if (HitTest(point, cell) && !ItemToIndex(cell, index)) index = -1;
    SetFocusedIndex(index, TRUE);
  }
  CWnd::OnMouseMove(flags, point);
}

// ---- Scroll bars -------------------------------------------------------------------------------

void CQVImageListWnd::UpdateScrollBars() {
  if (!GetSafeHwnd()) return;
  const int rows = GetRowCount();
  if (rows * GetColCount() <= 0) {
    ShowScrollBar(SB_BOTH, FALSE);
    return;
  }
  const int count = GetImageCount();
  const int h = m_nHScrollMode;
  const int v = m_nVScrollMode;
  if (count <= 0) {
    for (const auto& [bar, mode] : {std::pair {SB_HORZ, h}, std::pair {SB_VERT, v}}) {
      ShowScrollBar(bar, mode == 2);
      if (mode == 2) EnableScrollBarCtrl(bar, FALSE);
    }
    return;
  }
  const bool showH = h == 2 || (h == 1 && (v == 0 || (rows == 1 && v != 2)));
  const bool showV = v == 2 || (v == 1 && (h == 0 || (rows > 1 && h != 2)));
  for (const auto& [bar, show, mode] : {std::tuple {SB_HORZ, showH, h}, std::tuple {SB_VERT, showV, v}}) {
    if (!show) {
      ShowScrollBar(bar, FALSE);
      continue;
    }
    ShowScrollBar(bar, TRUE);
    EnableScrollBarCtrl(bar, TRUE);
    // A range of one index would take an automatic bar away; one that is always shown stays.
    SCROLLINFO range {sizeof(SCROLLINFO), UINT(SIF_RANGE | (mode == 2 ? SIF_DISABLENOSCROLL : 0)), 0, count - 1, 0, 0, 0};
    SetScrollInfo(bar, &range, FALSE);
    SetScrollPos(bar, m_nFirstIndex, TRUE);
  }
}

BOOL CQVImageListWnd::ScrollTarget(int bar, UINT code, UINT pos, int& target) {
  int low = 0, high = 0;
  GetScrollRange(bar, &low, &high);
  const int columns = GetColCount();
  const int line = bar == SB_HORZ ? 1 : columns;
  const int page = bar == SB_HORZ ? columns : columns * GetRowCount();
  const int p = m_nFirstIndex;
  switch (code) {
  case SB_LINEUP: target = std::max(p - line, low); return TRUE;
  case SB_LINEDOWN: target = std::min(p + line, high); return TRUE;
  case SB_PAGEUP: target = std::max(p - page, low); return TRUE;
  case SB_PAGEDOWN: target = std::min(p + page, high); return TRUE;
  case SB_TOP: target = low; return TRUE;
  case SB_BOTTOM: target = high; return TRUE;
  case SB_THUMBPOSITION:
  case SB_THUMBTRACK: {
    target = static_cast<int>(pos);
    // The message carries 16 bits of the position; longer lists read the whole one from the bar.
    SCROLLINFO info {sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
    if (high > 0xFFFF && GetScrollInfo(bar, &info, SIF_TRACKPOS)) target = info.nTrackPos;
    return TRUE;
  }
  case SB_ENDSCROLL: target = p; return TRUE;
  default: return FALSE;
  }
}

void CQVImageListWnd::Scroll(int bar, UINT code, UINT pos) {
  int target;
  if (ScrollTarget(bar, code, pos, target) && target >= 0 && target < GetImageCount()) {
    m_nFirstIndex = target;
    OnUpdateCursor(TRUE);
  }
}

void CQVImageListWnd::OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
  if (bar) CWnd::OnHScroll(code, pos, bar);
  else Scroll(SB_HORZ, code, pos);
}

void CQVImageListWnd::OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
  if (bar) CWnd::OnVScroll(code, pos, bar);
  else Scroll(SB_VERT, code, pos);
}

// ---- Painting ----------------------------------------------------------------------------------

void CQVImageListWnd::__RepaintItem(int cell, CDC* dc) {
  if (!dc || cell < 0 || cell >= GetItemCount()) return;
  int state = 0;
  int index;
  if (ItemToIndex(cell, index)) state = (index == m_nSelectedIndex ? 1 : 0) | (index == m_nFocusedIndex ? 2 : 0);
  OnPaintItem(dc, cell, state);
}

BOOL CQVImageListWnd::PaintThroughVBuffer(CDC* dc, int direct, const std::function<void(CDC*)>& paint) {
  if (!m_bOffscreen || direct) return FALSE;
  CDC buffer;
  CBitmap* old = nullptr;
  if (!BeginPaintVBuffer(dc, buffer, old)) return FALSE;
  paint(&buffer);
  EndPaintVBuffer(dc, buffer, old);
  return TRUE;
}

void CQVImageListWnd::RepaintItem(int cell, CDC* dc, int direct) {
  WindowDC target(this, dc);
  if (!target.get()) return;
  const auto paint = [&](CDC* to) { __RepaintItem(cell, to); };
  if (!PaintThroughVBuffer(target.get(), direct, paint)) paint(target.get());
}

void CQVImageListWnd::RepaintAllItems(CDC* dc, int direct) {
  const int cells = GetItemCount();
  if (cells <= 0) return;
  WindowDC target(this, dc);
  if (!target.get()) return;
  if (m_bOffscreen && !direct) {
    CDC buffer;
    CBitmap* old = nullptr;
    if (BeginPaintVBuffer(target.get(), buffer, old)) {
      for (int c = 0; c < cells; ++c) {
        RepaintItem(c, &buffer, TRUE);
        // Slow cells show as they come.
        if (m_nFlushInterval > 0 && (c + 1) % m_nFlushInterval == 0 && c + 1 < cells) FlushVBuffer(buffer, target.get());
      }
      EndPaintVBuffer(target.get(), buffer, old);
      return;
    }
  }
  // Straight to the DC every cell shows as soon as it is painted.
  for (int c = 0; c < cells; ++c) RepaintItem(c, target.get(), TRUE);
}

void CQVImageListWnd::Repaint(int background, CDC* dc, int direct) {
  WindowDC target(this, dc);
  if (!target.get()) return;
  const auto paint = [&](CDC* to) {
    if (background) RepaintBackground(to, TRUE);
    RepaintAllItems(to, TRUE);
  };
  if (!PaintThroughVBuffer(target.get(), direct, paint)) paint(target.get());
}

void CQVImageListWnd::RepaintBackground(CDC* dc, int direct) {
  WindowDC target(this, dc);
  if (!target.get()) return;
  const auto paint = [&](CDC* to) { __RepaintBackground(to); };
  if (!PaintThroughVBuffer(target.get(), direct, paint)) paint(target.get());
}

void CQVImageListWnd::__RepaintBackground(CDC* dc) {
  if (dc) OnPaintBackground(dc);
}

void CQVImageListWnd::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  // Off screen the bitmap holds the picture already; until it has the window's size it is made.
  if (m_bOffscreen && m_vbuffer.GetSafeHandle() && m_nVBufferWidth == client.Width() &&
      m_nVBufferHeight == client.Height())
    FlushVBuffer(&dc);
  else
    Repaint(TRUE, &dc, FALSE);
}

BOOL CQVImageListWnd::OnEraseBkgnd(CDC* dc) {
  RepaintBackground(dc, FALSE);
  return TRUE;
}

CBitmap* CQVImageListWnd::GetVBuffer(CDC* dc) {
  if (!GetSafeHwnd() || !dc) return nullptr;
  CRect client;
  GetClientRect(&client);
  const int width = client.Width();
  const int height = client.Height();
  if (width <= 0 || height <= 0) {
    m_vbuffer.DeleteObject();
    m_nVBufferWidth = m_nVBufferHeight = 0;
    return nullptr;
  }
  if (m_vbuffer.GetSafeHandle() && width == m_nVBufferWidth && height == m_nVBufferHeight) return &m_vbuffer;
  m_vbuffer.DeleteObject();
  m_nVBufferWidth = m_nVBufferHeight = 0;
  if (!m_vbuffer.CreateCompatibleBitmap(dc, width, height)) return nullptr;
  CDC memory;
  if (!memory.CreateCompatibleDC(dc)) {
    m_vbuffer.DeleteObject();
    return nullptr;
  }
  CBitmap* old = memory.SelectObject(&m_vbuffer);
  memory.FillSolidRect(0, 0, width, height, ::GetSysColor(COLOR_BTNSHADOW));
  memory.SelectObject(old);
  m_nVBufferWidth = width;
  m_nVBufferHeight = height;
  return &m_vbuffer;
}

BOOL CQVImageListWnd::BeginPaintVBuffer(CDC* dc, CDC& bufferDC, CBitmap*& oldBitmap) {
  CBitmap* bitmap = GetVBuffer(dc);
  if (!bitmap || !bufferDC.CreateCompatibleDC(dc)) return FALSE;
  oldBitmap = bufferDC.SelectObject(bitmap);
  return TRUE;
}

void CQVImageListWnd::EndPaintVBuffer(CDC* dc, CDC& bufferDC, CBitmap*& oldBitmap) {
  bufferDC.SelectObject(oldBitmap);
  oldBitmap = nullptr;
  bufferDC.DeleteDC();
  FlushVBuffer(dc);
}

void CQVImageListWnd::FlushVBuffer(CDC* dc) {
  if (dc) DPXDrawBitmap(dc, &m_vbuffer, 0, 0, SRCCOPY);
}

void CQVImageListWnd::FlushVBuffer(CDC& bufferDC, CDC* dc) {
  if (dc) dc->BitBlt(0, 0, m_nVBufferWidth, m_nVBufferHeight, &bufferDC, 0, 0, SRCCOPY);
}

void CQVImageListWnd::PaintBackground_All(CDC* dc, CBrush* brush) {
  if (!dc) return;
  CRect client;
  GetClientRect(&client);
  CBrush white;
  if (!brush && white.CreateStockObject(WHITE_BRUSH)) brush = &white;
  dc->FillRect(&client, brush);
}

void CQVImageListWnd::PaintBackground_Frame(CDC* dc, CBrush* brush) {
  if (!dc) return;
  CRect client;
  GetClientRect(&client);
  CRgn outside;
  if (!outside.CreateRectRgnIndirect(&client)) return;
  const int cells = GetItemCount();
  for (int c = 0; c < cells; ++c) {
    CRect rect;
    CRgn cell;
    if (GetItemRect(c, rect) && cell.CreateRectRgnIndirect(&rect)) outside.CombineRgn(&outside, &cell, RGN_XOR);
  }
  CBrush white;
  if (!brush && white.CreateStockObject(WHITE_BRUSH)) brush = &white;
  dc->FillRgn(&outside, brush);
}

void CQVImageListWnd::PaintImage(CDC* dc, CQVBitmapHandle* bitmap, CRect cell, CDPXVWXform* transform,
                                 CBrush* background) {
  if (!dc) return;
  if (!bitmap || bitmap->GetWidth() <= 0 || bitmap->GetHeight() <= 0) {
    if (background) dc->FillRect(&cell, background);
    return;
  }
  CDPXVWXform view;
  if (transform) {
    view.Copy(*transform);
  } else {
    view.SetWorldSize(bitmap->GetWidth(), bitmap->GetHeight());
    view.SetViewSize(cell.Width(), cell.Height());
    int zoom = CDPXVWXform::kUnitScale;
    view.GetFitZoom(zoom);
    view.SetZoom(zoom);
    view.Center(TRUE, TRUE);
  }
  if (background) {
    CRgn around;
    if (view.GetBackgroundRgn(around)) {
      around.OffsetRgn(cell.left, cell.top);
      dc->FillRgn(&around, background);
    }
  }
  RECT visible;
  view.GetVisibleWorldRect(visible);
  if (visible.right <= visible.left || visible.bottom <= visible.top) return;
  RECT shown;
  view.WorldToView(visible.left, visible.top, visible.right, visible.bottom, shown);
  CRect target(shown);
  target.OffsetRect(cell.left, cell.top);
  const bool greyed = bitmap->GetBitsPerPixel() == 1 && !HasPaintModes(*bitmap);
  if (greyed) bitmap->EnablePaintMode(kScaleToGrayMode, TRUE);
  bitmap->Paint(dc, CRect(visible), target, SRCCOPY);
  if (greyed) bitmap->EnablePaintMode(kScaleToGrayMode, FALSE);
}

// ---- Per-image transforms ----------------------------------------------------------------------

BOOL CQVImageListWnd::SetVWArraySize(int count) {
  if (count < 0) return FALSE;
  while (m_vwArray.GetCount() > count) m_vwArray.RemoveIndex(m_vwArray.GetCount() - 1);
  CDPXVWXform last;
  if (CDPXVWXform* tail = GetVW(m_vwArray.GetCount() - 1)) last.Copy(*tail);
  while (m_vwArray.GetCount() < count) {
    auto* item = static_cast<__CQVImageListWndVWArrayItem*>(m_vwArray.AddNewTail(RUNTIME_CLASS(__CQVImageListWndVWArrayItem)));
    if (!item) {
      m_vwArray.RemoveAll();
      return FALSE;
    }
    item->m_current.Copy(last);
    item->m_saved.Copy(last);
  }
  return TRUE;
}

CDPXVWXform* CQVImageListWnd::GetVW(int index) {
  auto* item = static_cast<__CQVImageListWndVWArrayItem*>(m_vwArray.GetAtIndex(index));
  return item ? &item->m_current : nullptr;
}

CDPXVWXform* CQVImageListWnd::GetVW_Saved(int index) {
  auto* item = static_cast<__CQVImageListWndVWArrayItem*>(m_vwArray.GetAtIndex(index));
  return item ? &item->m_saved : nullptr;
}

BOOL CQVImageListWnd::SaveVW(int index) {
  auto* item = static_cast<__CQVImageListWndVWArrayItem*>(m_vwArray.GetAtIndex(index));
  if (!item) return FALSE;
  item->m_saved.Copy(item->m_current);
  return TRUE;
}

BOOL CQVImageListWnd::SaveAllVW() {
  for (int i = 0; i < m_vwArray.GetCount(); ++i) SaveVW(i);
  return TRUE;
}
