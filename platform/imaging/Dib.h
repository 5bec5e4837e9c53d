#pragma once
// Packed DIBs in movable global memory (header, palette, rows) and bitmaps of the store: the
// Change operations move the block, the Convert operation copies.

#include "platform/imaging/Bitmap.h"

namespace imaging {

// Header kinds a DIB can be given.
enum DibHeaderKind : int { kDibInfoHeader = 0 };  // the 40-byte BITMAPINFOHEADER

// Takes a packed DIB over as the bitmap: on success the block belongs to the bitmap; on failure it
// stays the caller's and the bitmap is empty. Accepts uncompressed 1, 4, 8, 24 and 32 bits with a
// 40-, 108- or 124-byte header, bottom-up (perspective bottom-left) or top-down (top-left).
bool ChangeFromDIB(Bitmap& bitmap, HGLOBAL dib);
// The bitmap as a bottom-up packed DIB with BGR pixels; the bitmap is left empty. Null on failure.
HGLOBAL ChangeToDIB(Bitmap& bitmap, int headerKind = kDibInfoHeader);
// The same as a new block; the bitmap stays as it is.
HGLOBAL ConvertToDIB(const Bitmap& bitmap, int headerKind = kDibInfoHeader);

}  // namespace imaging
