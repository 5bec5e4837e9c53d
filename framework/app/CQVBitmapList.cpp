#include "framework/app/CQVBitmapList.h"

#include "foundation/imaging/CQVBitmapHandle.h"

#include <climits>
#include <cstdlib>

IMPLEMENT_DYNCREATE(__CQVBitmapListItem, CObject)
IMPLEMENT_DYNCREATE(CQVBitmapList, CObject)

namespace {

// Nearest pixel keeps a transparent colour of the picture exact.
constexpr UINT kResizeFlags = 0;

// The size of an image of width by height for a request of cx by cy: neither above 0 keeps the
// image's size, one of them gives the other by the aspect ratio. FALSE when either side would
// not be above 0.
BOOL TargetSize(int width, int height, int& cx, int& cy) {
  if (width <= 0 || height <= 0) return FALSE;
  if (cx <= 0 && cy <= 0) {
    cx = width;
    cy = height;
  } else if (cx <= 0) {
    const long long scaled = static_cast<long long>(cy) * width / height;
    cx = scaled > INT_MAX ? 0 : static_cast<int>(scaled);
  } else if (cy <= 0) {
    const long long scaled = static_cast<long long>(cx) * height / width;
    cy = scaled > INT_MAX ? 0 : static_cast<int>(scaled);
  }
  return cx > 0 && cy > 0;
}

}  // namespace

void CQVBitmapList::Reset() { m_cache.RemoveAll(); }

POSITION CQVBitmapList::FindItem(LPCWSTR key) {
  if (!key) return nullptr;
  for (POSITION pos = m_cache.GetHeadPosition(); pos;) {
    const POSITION at = pos;
    auto* item = static_cast<__CQVBitmapListItem*>(m_cache.GetNext(pos));
    if (item && item->m_strKey.CompareNoCase(key) == 0) return at;
  }
  return nullptr;
}

BOOL CQVBitmapList::CheckItem(POSITION pos, int cx, int cy, BOOL mirrored) {
  auto* item = pos ? static_cast<__CQVBitmapListItem*>(m_cache.GetAt(pos)) : nullptr;
  BITMAP bm {};
  if (!item || !item->m_bitmap.GetSafeHandle() || !item->m_bitmap.GetBitmap(&bm)) return FALSE;
  if (cx > 0 && std::abs(bm.bmWidth) != cx) return FALSE;
  if (cy > 0 && std::abs(bm.bmHeight) != cy) return FALSE;
  return !item->m_bMirrored == !mirrored;
}

CBitmap* CQVBitmapList::GetBitmap(LPCWSTR key, int cx, int cy, BOOL mirrored) {
  if (!key) return nullptr;
  if (const POSITION pos = FindItem(key)) {
    // The entry is checked against the size this request comes to, so that a request for the
    // image's own size is not answered by a bitmap cached at another size.
    auto* item = static_cast<__CQVBitmapListItem*>(m_cache.GetAt(pos));
    int targetX = cx;
    int targetY = cy;
    if (TargetSize(item->m_nSourceWidth, item->m_nSourceHeight, targetX, targetY) &&
        CheckItem(pos, targetX, targetY, mirrored))
      return &item->m_bitmap;
    m_cache.RemoveAt(pos);
  }

  CQVBitmapHandle image;
  if (!LoadBitmapW(key, image)) return nullptr;
  const int width = image.GetWidth();
  const int height = image.GetHeight();
  if (!TargetSize(width, height, cx, cy)) return nullptr;
  if ((cx != width || cy != height) && !image.Resize(cx, cy, kResizeFlags)) return nullptr;
  if (mirrored && !image.Reverse()) return nullptr;

  POSITION pos = nullptr;
  auto* item = static_cast<__CQVBitmapListItem*>(m_cache.AddNewTail(RUNTIME_CLASS(__CQVBitmapListItem), pos));
  if (!item) return nullptr;
  item->m_strKey = key;
  item->m_bMirrored = mirrored ? TRUE : FALSE;
  item->m_nSourceWidth = width;
  item->m_nSourceHeight = height;
  if (!image.ChangeToDDB(item->m_bitmap, nullptr)) {
    m_cache.RemoveAt(pos);
    return nullptr;
  }
  return &item->m_bitmap;
}
