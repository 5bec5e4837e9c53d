#include "viewer/browser/CIBSImageListItem.h"

IMPLEMENT_DYNCREATE(CIBSImageListItem, CObject)

namespace {
constexpr int kFullTurn = 36000;
// Paint mode of the bitmap handle that reduces 1-bit pages to grey, so that text stays readable in
// a small cell.
constexpr int kScaleToGrayMode = 11;

int Turned(int angle, int step) { return ((angle + step) % kFullTurn + kFullTurn) % kFullTurn; }
}  // namespace

CIBSImageListItem::~CIBSImageListItem() {
  CSingleLock lock(&m_imageLock, TRUE);
  m_pBitmap.reset();
  m_pImage.reset();
}

BOOL CIBSImageListItem::SetSourceImage(CIBSImage* image) {
  CSingleLock lock(&m_imageLock);
  if (!lock.Lock()) return FALSE;
  m_pImage.reset(image);
  m_pBitmap.reset();
  m_bUnreadable = FALSE;
  return TRUE;
}

CIBSImage* CIBSImageListItem::GetSourceImage() {
  CSingleLock lock(&m_imageLock);
  return lock.Lock() ? m_pImage.get() : nullptr;
}

CString CIBSImageListItem::GetImagePath() {
  CSingleLock lock(&m_imageLock);
  if (!lock.Lock() || !m_pImage) return CString();
  return m_pImage->GetPath();
}

BOOL CIBSImageListItem::Rotate(int step) {
  CSingleLock lock(&m_rotationLock);
  if (!lock.Lock()) return FALSE;
  m_nPendingRotation = Turned(m_bRotationPending ? m_nPendingRotation : 0, step);
  m_bRotationPending = TRUE;
  m_nRotation = Turned(m_nRotation, step);
  return TRUE;
}

BOOL CIBSImageListItem::GetRotation(int& rotation) {
  CSingleLock lock(&m_rotationLock);
  if (!lock.Lock()) return FALSE;
  rotation = m_nRotation;
  return TRUE;
}

CQVBitmapHandle* CIBSImageListItem::GetBitmap() {
  CSingleLock imageLock(&m_imageLock);
  if (!imageLock.Lock()) return nullptr;
  CSingleLock rotationLock(&m_rotationLock);
  if (!rotationLock.Lock()) return nullptr;

  if (m_pBitmap) {
    if (m_bRotationPending && m_nPendingRotation != 0) m_pBitmap->Rotate(m_nPendingRotation, 0, 0);
    m_bRotationPending = FALSE;
    m_nPendingRotation = 0;
    return m_pBitmap.get();
  }
  if (!m_pImage || m_bUnreadable) return nullptr;

  auto bitmap = std::make_unique<CQVBitmapHandle>();
  // Putting the rows in top-down order decodes a Group 4 page, so a damaged one fails here and
  // not in the middle of painting.
  BOOL loaded = m_pImage->LoadImage(*bitmap) && bitmap->SetPerspective(0) && bitmap->GetWidth() > 0 &&
                bitmap->GetHeight() > 0;
  if (loaded && m_nRotation != 0) loaded = bitmap->Rotate(m_nRotation, 0, 0);
  if (!loaded) {
    m_bUnreadable = TRUE;
    return nullptr;
  }
  m_bRotationPending = FALSE;
  m_nPendingRotation = 0;
  bitmap->EnablePaintMode(kScaleToGrayMode, TRUE);
  m_pBitmap = std::move(bitmap);
  return m_pBitmap.get();
}

BOOL CIBSImageListItem::FreeBitmap() {
  CSingleLock lock(&m_imageLock);
  if (!lock.Lock()) return FALSE;
  m_pBitmap.reset();
  m_bUnreadable = FALSE;
  return TRUE;
}

BOOL CIBSImageListItem::HasBitmap() {
  CSingleLock lock(&m_imageLock);
  return lock.Lock() && m_pBitmap != nullptr;
}

BOOL CIBSImageListItem::IsUnreadable() {
  CSingleLock lock(&m_imageLock);
  return lock.Lock() && m_bUnreadable;
}
