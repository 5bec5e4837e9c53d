#pragma once
// One image file of a published document. The loaders read the file afresh at every call and keep
// nothing, so that any thread may load the same image into a bitmap of its own.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CQVBitmapHandle;

class CIBSImage : public CObject {
  DECLARE_DYNCREATE(CIBSImage)
public:
  void SetPath(LPCWSTR path) { m_strPath = path; }
  CString GetPath() const { return m_strPath; }

  // The whole image. A Group 4 page keeps its data and is decoded when its pixels are first
  // used (so that damaged data shows only then).
  BOOL LoadImage(CQVBitmapHandle& bitmap) const;
  // The image at a quarter of its width and height.
  BOOL LoadQuarterImage(CQVBitmapHandle& bitmap) const;
  // The image scaled to fit a 100 by 100 box.
  BOOL LoadThumbnail(CQVBitmapHandle& bitmap) const;
  // Each loader frees the bitmap and answers FALSE when the file cannot be read, or a scaled
  // variant would have no pixels.

private:
  // Replaces the loaded image by a copy of width x scaleX / divisor by height x scaleY / divisor.
  static BOOL Scale(CQVBitmapHandle& bitmap, int scaleX, int scaleY, int divisor);

  CString m_strPath;
};
