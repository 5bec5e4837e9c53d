#include "framework/app/CQVImageList.h"

#include "foundation/imaging/CQVBitmapHandle.h"
#include "platform/gdi/CBitmap.h"

IMPLEMENT_DYNCREATE(CQVImageList, CImageList)

namespace {

constexpr UINT kListFlags = ILC_COLOR24 | ILC_MASK;
// Nearest pixel keeps the mask colour exact, so that scaled images stay transparent where the
// original was.
constexpr UINT kResizeFlags = 0;

}  // namespace

BOOL CQVImageList::Create(int cx, int cy) { return CImageList::Create(cx, cy, kListFlags, 0, 0); }

BOOL CQVImageList::Create(LPCWSTR key, COLORREF mask) { return CreateFromStrip(key, 0, 0, mask); }

BOOL CQVImageList::Create(LPCWSTR key, int cx, int cy, COLORREF mask) {
  if (cx <= 0 || cy <= 0) return FALSE;
  return CreateFromStrip(key, cx, cy, mask);
}

BOOL CQVImageList::CreateFromStrip(LPCWSTR key, int cx, int cy, COLORREF mask) {
  CBitmap strip;
  BITMAP bm {};
  if (!key || !LoadBitmapW(key, strip) || !strip.GetBitmap(&bm)) return FALSE;
  const int width = bm.bmWidth < 0 ? -bm.bmWidth : bm.bmWidth;
  const int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  if (width <= 0 || height <= 0 || width % height != 0) return FALSE;
  if (cx <= 0) cx = cy = height;
  if (!Create(cx, cy)) return FALSE;
  if (Add(&strip, mask) < 0) {
    // A list without its images is no list made from the key.
    DeleteImageList();
    return FALSE;
  }
  return TRUE;
}

int CQVImageList::AddImage(LPCWSTR key, COLORREF mask) {
  CBitmap bitmap;
  if (!GetSafeHandle() || !key || !LoadBitmapW(key, bitmap)) return -1;
  return Add(&bitmap, mask);
}

int CQVImageList::AddImage(LPCWSTR key, int cx, int cy, COLORREF mask) {
  CQVBitmapHandle image;
  CBitmap bitmap;
  if (!GetSafeHandle() || !key || cx <= 0 || cy <= 0 || !LoadBitmapW(key, image)) return -1;
  if (!image.Resize(cx, cy, kResizeFlags) || !image.ChangeToDDB(bitmap, nullptr)) return -1;
  return Add(&bitmap, mask);
}
