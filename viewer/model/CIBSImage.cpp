#include "viewer/model/CIBSImage.h"

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/util/CDPXVWXform.h"

IMPLEMENT_DYNCREATE(CIBSImage, CObject)

namespace {
constexpr int kFullSize = 1;
constexpr int kResample = 1;
constexpr int kThumbnailBox = 100;
}  // namespace

BOOL CIBSImage::LoadImage(CQVBitmapHandle& bitmap) const {
  if (m_strPath.IsEmpty() || !CQVBDEImageFormat::LoadImage(m_strPath, bitmap, kFullSize)) {
    bitmap.Free();
    return FALSE;
  }
  return TRUE;
}

BOOL CIBSImage::Scale(CQVBitmapHandle& bitmap, int scaleX, int scaleY, int divisor) {
  const long long width = static_cast<long long>(bitmap.GetWidth()) * scaleX / divisor;
  const long long height = static_cast<long long>(bitmap.GetHeight()) * scaleY / divisor;
  CQVBitmapHandle scaled;
  if (width < 1 || height < 1 || !scaled.Create(bitmap, static_cast<int>(width), static_cast<int>(height), kResample) ||
      !bitmap.Attach(scaled)) {
    bitmap.Free();
    return FALSE;
  }
  return TRUE;
}

BOOL CIBSImage::LoadQuarterImage(CQVBitmapHandle& bitmap) const {
  return LoadImage(bitmap) && Scale(bitmap, 1, 1, 4);
}

BOOL CIBSImage::LoadThumbnail(CQVBitmapHandle& bitmap) const {
  if (!LoadImage(bitmap)) return FALSE;
  CDPXVWXform box;
  box.SetViewSize(kThumbnailBox, kThumbnailBox);
  box.SetWorldSize(bitmap.GetWidth(), bitmap.GetHeight());
  int zoom = CDPXVWXform::kUnitScale;
  box.GetFitZoom(zoom);
  return Scale(bitmap, zoom, zoom, CDPXVWXform::kUnitScale);
}
