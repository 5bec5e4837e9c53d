#pragma once
// Geometry of bitmaps of the store, in place.

#include "platform/imaging/Bitmap.h"

namespace imaging {

// Top to bottom, and left to right.
bool Flip(Bitmap& bitmap);
bool Reverse(Bitmap& bitmap);
// Keeps a rectangle given in stored coordinates; it must lie inside the bitmap.
bool Trim(Bitmap& bitmap, int left, int top, int width, int height);
// Turns the picture clockwise by an angle in hundredths of a degree (negative: counter-clockwise).
// Quarter turns with kRotateResize are exact and lossless (width and height swap). Without it the
// size stays and the picture turns about its centre. Uncovered areas take the fill colour (the
// nearest palette entry for palette bitmaps).
bool Rotate(Bitmap& bitmap, int angle, UINT flags, COLORREF fill);

}  // namespace imaging
