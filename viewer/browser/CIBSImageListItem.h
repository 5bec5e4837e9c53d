#pragma once
// One image of the document on screen: its image file, the bitmap painted for it (loaded on demand
// and kept until freed) and its rotation in hundredths of a degree.
//
// Every member is reached under its own lock, so that a worker thread may read the item while the
// user-interface thread pages and paints; the only nesting is the image lock outside the rotation
// lock. The painted bitmap itself belongs to the user-interface thread: workers load the image
// into bitmaps of their own (CIBSImageList::LoadImageInto).

#include "foundation/imaging/CQVBitmapHandle.h"
#include "platform/core/CObject.h"
#include "platform/core/sync.h"
#include "viewer/model/CIBSImage.h"

#include <memory>

class CIBSImageListItem : public CObject {
  DECLARE_DYNCREATE(CIBSImageListItem)
public:
  CIBSImageListItem() = default;
  ~CIBSImageListItem() override;

  // The item owns the image from then on; the one it held before is deleted. Forgets the bitmap.
  BOOL SetSourceImage(CIBSImage* image);
  CIBSImage* GetSourceImage();
  // The image file's path; empty without an image.
  CString GetImagePath();

  // Adds a quarter, half or three-quarter turn (9000, 18000, 27000) to the total, which stays in
  // 0..35999. A cached bitmap is turned at its next GetBitmap.
  BOOL Rotate(int step);
  BOOL GetRotation(int& rotation);

  // The bitmap to paint: the whole image turned by the total rotation, loaded on first use. Null
  // when the image cannot be read (missing, empty or damaged file); such an item is not read again
  // until its bitmap is freed, so that a bad page costs one attempt per page shown, not one per
  // repaint. The bitmap lives until FreeBitmap or the item's end.
  CQVBitmapHandle* GetBitmap();
  BOOL FreeBitmap();
  // TRUE while a painted bitmap is kept.
  BOOL HasBitmap();
  // TRUE after the last attempt to load the bitmap failed.
  BOOL IsUnreadable();

private:
  CCriticalSection m_imageLock;
  std::unique_ptr<CIBSImage> m_pImage;
  std::unique_ptr<CQVBitmapHandle> m_pBitmap;
  BOOL m_bUnreadable { FALSE };

  CCriticalSection m_rotationLock;
  int m_nRotation { 0 };
  // The turn the cached bitmap still lacks. Steps asked for between two paints add up here, so
  // that none of them is lost.
  int m_nPendingRotation { 0 };
  BOOL m_bRotationPending { FALSE };
};
