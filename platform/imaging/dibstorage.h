#pragma once
// How the store keeps a bitmap in its global block (not for callers): a 40-byte DIB header, then
// colorCount palette entries, then the rows.

#include "platform/imaging/Bitmap.h"

namespace imaging {

constexpr SIZE_T kDibHeaderSize = 40;
// The largest pixel storage of one bitmap; it must fit the header's 32-bit image size.
constexpr unsigned long long kMaxImageBytes = 0x7FFF0000ull;

// Gives a described record (Reset) the block, locked for the bitmap's lifetime.
void AttachStorage(Bitmap& bitmap, HGLOBAL block, int colorCount);
// A DIB header's pixels per metre as dots per inch (0 for none).
int DpiFromPelsPerMeter(long long pelsPerMeter);
// Order, perspective and resolutions of the source.
void CopyAttributes(Bitmap& target, const Bitmap& source);

}  // namespace imaging
