#pragma once
// Automatic corrections and checks of scanned pages: grey conversion with smoothing, skew
// detection and correction, cropping of a dark scanner background, and blank-page detection.
// The caller's bitmap is changed only by the final rotation or crop; work is done on copies.

#include "platform/core/CObject.h"

class CQVBitmapHandle;

class CQVAIP : public CObject {
  DECLARE_DYNAMIC(CQVAIP)
public:
  // The blank-page test's parameters.
  struct BID_PARAM {
    double margin { 0.01 };     // share of width and height left out at each edge (below 0.5)
    int window { 5 };           // half-width of the grey-level window around the histogram's peak
    double threshold { 0.95 };  // share of the examined pixels that must fall into the window
  };

  // Grey, then smoothed by a 3 x 3 filter. With makeCopy the result is a new bitmap that the caller
  // owns; otherwise the bitmap itself. Null on failure.
  static CQVBitmapHandle* ScaleToGray(CQVBitmapHandle& bitmap, bool makeCopy);
  // Measures the skew of a light page on a dark border (hundredths of a degree) and turns the page
  // back when it is 3 degrees or more.
  static BOOL Deskew(CQVBitmapHandle& bitmap, int& angle);
  // Cuts a dark scanner background away from all four sides.
  static BOOL AutoCrop(CQVBitmapHandle& bitmap);
  // Whether an 8- or 24-bit page is blank: each channel's histogram has almost all of the examined
  // pixels near its peak. Pages of other depths are never blank. FALSE for parameters that leave
  // nothing to examine.
  static BOOL IsBlankImage(CQVBitmapHandle& bitmap, BOOL& isBlank, BID_PARAM* parameters = nullptr);
};
