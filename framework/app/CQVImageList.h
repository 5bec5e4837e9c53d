#pragma once
// CQVImageList: an image list filled from bitmaps of the language files, found by key. Tool bars
// keep their button pictures as one horizontal strip per key. Lists made here hold 24-bit
// colour images with a mask.

#include "foundation/language/CQVRCMModule.h"
#include "platform/ui/afx/CImageList.h"

class CQVImageList : public CImageList, public virtual CQVRCMModule {
  DECLARE_DYNCREATE(CQVImageList)
public:
  // An empty list of cx by cy images.
  BOOL Create(int cx, int cy);
  // The strip of key (width a whole multiple of its height) as a list of square images as high
  // as the strip; pixels of the mask colour are transparent.
  BOOL Create(LPCWSTR key, COLORREF mask);
  // The same strip test; the list is made cx by cy and the strip added unscaled.
  BOOL Create(LPCWSTR key, int cx, int cy, COLORREF mask);

  // Appends the bitmap of key, cut into images of the list's width: the index of the first image
  // added, -1 on failure.
  int AddImage(LPCWSTR key, COLORREF mask);
  // Appends the bitmap of key, scaled to cx by cy, as one image.
  int AddImage(LPCWSTR key, int cx, int cy, COLORREF mask);

private:
  // Makes the list from the strip of key; cx, cy 0 take the strip's height.
  BOOL CreateFromStrip(LPCWSTR key, int cx, int cy, COLORREF mask);
};
