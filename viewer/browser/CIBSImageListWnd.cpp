#include "viewer/browser/CIBSImageListWnd.h"

#include "framework/dialogs/CQVDialogHelper.h"
#include "framework/views/CQVMagnifier.h"
#include "platform/gdi/CBrush.h"
#include "platform/ui/win/windc.h"
#include "platform/ui/win/winctrl.h"

#include <algorithm>
#include <chrono>
#include <thread>

IMPLEMENT_DYNCREATE(CIBSImageListWnd, CQVImageListWnd)

namespace {
constexpr int kHoldPollMs = 10;

// Shows the wait cursor for a scope, when there is one.
class WaitCursor {
public:
  explicit WaitCursor(HCURSOR wait) : m_previous(wait ? ::SetCursor(wait) : nullptr), m_shown(wait != nullptr) {}
  ~WaitCursor() {
    if (m_shown) ::SetCursor(m_previous);
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

private:
  HCURSOR m_previous;
  bool m_shown;
};
}  // namespace

CIBSImageListWnd::CIBSImageListWnd() {
  m_bOffscreen = TRUE;
  m_nFlushInterval = 2;
  m_nHScrollMode = 0;
  m_nVScrollMode = 0;
  m_hWaitCursor = ::LoadCursorW(nullptr, IDC_WAIT);
}

void CIBSImageListWnd::SetStore(CIBSPlant* store) {
  CSingleLock lock(&m_storeLock);
  if (lock.Lock()) m_pStore = store;
}

CIBSPlant* CIBSImageListWnd::GetStore() {
  CSingleLock lock(&m_storeLock);
  return lock.Lock() ? m_pStore : nullptr;
}

CIBSImageListItem* CIBSImageListWnd::GetImageItem(int index) {
  CIBSImageList* list = GetImageList();
  return list ? list->GetItem(index) : nullptr;
}

int CIBSImageListWnd::GetImageCount() {
  CIBSImageList* list = GetImageList();
  return list ? list->GetCount() : 0;
}

// ---- The store's browser -----------------------------------------------------------------------

int CIBSImageListWnd::LoadDocument(CIBSDocument* document) {
  WaitCursor wait(m_hWaitCursor);
  m_images.SetDocument(document);
  m_images.Load();
  m_nFirstIndex = 0;
  m_nSelectedIndex = -1;
  m_nFocusedIndex = -1;
  OnSelChange();
  UpdateImageList();
  OnUpdateLayoutAndCursor(TRUE);
  return GetImageCount();
}

void CIBSImageListWnd::Empty(BOOL repaint) {
  m_images.RemoveAll();
  m_images.SetDocument(nullptr);
  m_nFirstIndex = 0;
  UpdateImageList();
  if (repaint) RefreshAll();
  else if (GetSafeHwnd()) Invalidate(FALSE);
}

// ---- Paging ------------------------------------------------------------------------------------

void CIBSImageListWnd::MoveFirstIndex(int index) {
  WaitCursor wait(m_hWaitCursor);
  m_nFirstIndex = index;
  OnLayoutChange();
  RepaintAllItems(nullptr, FALSE);
}

BOOL CIBSImageListWnd::GoToImage(int index) {
  if (index < 0 || index > GetImageCount() - 1) return FALSE;
  if (index != m_nFirstIndex) MoveFirstIndex(index);
  return TRUE;
}

BOOL CIBSImageListWnd::GoToFirst() {
  if (m_nFirstIndex != 0) MoveFirstIndex(0);
  return TRUE;
}

BOOL CIBSImageListWnd::GoToLast() {
  const int count = GetImageCount();
  if (count == 0) return FALSE;
  if (m_nFirstIndex != count - 1) MoveFirstIndex(count - 1);
  return TRUE;
}

BOOL CIBSImageListWnd::PagePrevious() {
  if (m_nFirstIndex == 0) return TRUE;
  const int cells = GetItemCount();
  MoveFirstIndex(m_nFirstIndex < cells ? 0 : m_nFirstIndex - cells);
  return TRUE;
}

BOOL CIBSImageListWnd::PageNext() {
  const int cells = GetItemCount();
  if (cells < 1 || m_nFirstIndex + cells > GetImageCount() - 1) return FALSE;
  MoveFirstIndex(m_nFirstIndex + cells);
  return TRUE;
}

void CIBSImageListWnd::RefreshAll() { Repaint(TRUE, nullptr, FALSE); }

void CIBSImageListWnd::FreeBitmapsOutside(int first, int cells) {
  if (m_nLastFirstIndex < 0 || m_nLastCellCount <= 0) return;
  for (int index = m_nLastFirstIndex; index < m_nLastFirstIndex + m_nLastCellCount; ++index) {
    if (index >= first && index < first + cells) continue;
    if (CIBSImageListItem* item = GetImageItem(index)) item->FreeBitmap();
  }
}

// ---- Layout and painting -----------------------------------------------------------------------

BOOL CIBSImageListWnd::GetItemRect(int cell, CRect& rect) {
  if (!CQVImageListWnd::GetItemRect(cell, rect)) return FALSE;
  if (rect.Width() > 10 && rect.Height() > 10) rect.DeflateRect(2, 2);
  return TRUE;
}

void CIBSImageListWnd::OnLayoutChange() {
  const int cells = GetItemCount();
  FreeBitmapsOutside(m_nFirstIndex, cells);
  SetVWArraySize(cells);
  CQVImageListWnd::OnLayoutChange();
}

void CIBSImageListWnd::OnUpdateLayoutAndCursor(int repaint) {
  OnLayoutChange();
  UpdateScrollBars();
  if (!repaint || !GetSafeHwnd()) return;
  if (!m_bOffscreen) {
    RepaintBackground(nullptr, FALSE);
    RepaintAllItems(nullptr, FALSE);
    return;
  }
  CClientDC dc(this);
  if (!dc.GetSafeHdc()) return;
  CDC buffer;
  CBitmap* old = nullptr;
  if (!BeginPaintVBuffer(&dc, buffer, old)) {
    RepaintBackground(&dc, TRUE);
    RepaintAllItems(&dc, TRUE);
    return;
  }
  OnPaintBackground(&buffer);
  buffer.SelectObject(old);
  buffer.DeleteDC();
  RepaintAllItems(&dc, FALSE);
}

void CIBSImageListWnd::OnPaintBackground(CDC* dc) {
  CBrush face(::GetSysColor(COLOR_BTNFACE));
  PaintBackground_Frame(dc, &face);
}

void CIBSImageListWnd::OnPaintItem(CDC* dc, int cell, int flags) {
  CRect rect;
  if (!GetItemRect(cell, rect)) return;
  int index = -1;
  if (!ItemToIndex(cell, index)) index = -1;
  CIBSImageListItem* item = index >= 0 ? GetImageItem(index) : nullptr;
  PaintItemFrame(dc, flags, rect, index, item);
  PaintItemContent(dc, flags, rect, index, item);
  PaintItemOverlay(dc, flags, rect, index, item);
}

BOOL CIBSImageListWnd::GetItemLabel(int index, CString& label) {
  label.Format(u"%03d", index + 1);
  return TRUE;
}

// ---- Magnifier ---------------------------------------------------------------------------------

void CIBSImageListWnd::MagnifyAt(int x, int y, int virtualKey, int holdMs) {
  const HWND hwnd = GetSafeHwnd();
  // The press must last: the queue is served meanwhile, so that the release can be seen.
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(holdMs);
  while (std::chrono::steady_clock::now() < until) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (!::IsWindow(hwnd) || !(::GetAsyncKeyState(virtualKey) & 0x8000)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(kHoldPollMs));
  }

  const CPoint point(x, y);
  int cell = -1;
  CRect cellRect, title, imageRect;
  if (!HitTest(point, cell) || !GetItemRect(cell, cellRect)) return;
  GetItemLayout(cellRect, title, imageRect);
  if (!imageRect.PtInRect(point)) return;
  int index = -1;
  if (!ItemToIndex(cell, index)) return;
  CIBSImageListItem* item = GetImageItem(index);
  CIBSImage* image = item ? item->GetSourceImage() : nullptr;
  if (!image) return;
  CQVBitmapHandle full;
  if (!image->LoadImage(full) || !full.SetPerspective(0) || full.GetWidth() < 1) {
    CQVDialogHelper(this).InfoMsg(u"MSG_INFO_FAILED_LOAGIMAGE");
    return;
  }
  int rotation = 0;
  if (item->GetRotation(rotation) && rotation != 0) full.Rotate(rotation, 0, 0);
  ShowMagnifier(GetImage(index), GetVW(cell), point, imageRect, &full);
}

BOOL CIBSImageListWnd::GetMagnifierView(CQVBitmapHandle* painted, CDPXVWXform* transform, CPoint point,
                                        CRect imageRect, CQVBitmapHandle* full, CIBSMagnifierView& view) {
  if (!painted || !full || !transform || painted->GetWidth() < 1 || painted->GetHeight() < 1 ||
      full->GetWidth() < 1 || full->GetHeight() < 1)
    return FALSE;
  view.screenPoint = point;
  ClientToScreen(&view.screenPoint);

  POINT world;
  transform->ViewToWorld(point.x - imageRect.left, point.y - imageRect.top, world);
  view.sourcePoint.x = static_cast<int>(static_cast<long long>(world.x) * full->GetWidth() / painted->GetWidth());
  view.sourcePoint.y = static_cast<int>(static_cast<long long>(world.y) * full->GetHeight() / painted->GetHeight());

  view.bounds = imageRect;
  ClientToScreen(&view.bounds);
  if (view.bounds.IsRectEmpty()) return FALSE;
  // Where the image is narrower or lower than its rectangle, the lens keeps to the image.
  int zoomX, zoomY, worldWidth, worldHeight;
  transform->GetZoom(zoomX, zoomY);
  transform->GetWorldSize(worldWidth, worldHeight);
  const auto shrink = [](int extent, int world, int zoom) {
    if (world < 1) return 0;
    const long long fit = static_cast<long long>(extent) * CDPXVWXform::kUnitScale / world;
    return fit > zoom && fit > 0 ? static_cast<int>(extent * (fit - zoom) / fit / 2) : 0;
  };
  const int dx = shrink(view.bounds.Width(), worldWidth, zoomX);
  const int dy = shrink(view.bounds.Height(), worldHeight, zoomY);
  view.bounds.DeflateRect(dx, dy);
  view.zoom = std::max(m_nMagnifierZoom, CDPXVWXform::kUnitScale);
  return TRUE;
}

void CIBSImageListWnd::ShowMagnifier(CQVBitmapHandle* painted, CDPXVWXform* transform, CPoint point, CRect imageRect,
                                     CQVBitmapHandle* full) {
  CIBSMagnifierView view;
  if (!GetMagnifierView(painted, transform, point, imageRect, full, view)) return;
  SetCapture();
  ViewMagnifier(full, view);
  if (GetCapture() == this) ReleaseCapture();
}

void CIBSImageListWnd::ViewMagnifier(CQVBitmapHandle* full, const CIBSMagnifierView& view) {
  CQVMagnifier::View(this, full, view.screenPoint, view.sourcePoint, view.bounds, m_nMagnifierWidth,
                     m_nMagnifierHeight, view.zoom);
}
