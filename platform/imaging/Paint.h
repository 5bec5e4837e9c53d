#pragma once
// Bitmaps of the store on device contexts of the drawing layer: painting (with the reductions
// that keep pages readable when they are shown small), printing, palettes, device-dependent
// bitmaps, and a device context that draws into a bitmap.

#include "platform/imaging/Bitmap.h"

namespace imaging {

// Paint flags. They take effect when the bitmap is shown smaller than it is; other bits are kept
// by callers but change nothing here. The flags apply to the one call: nothing is remembered.
constexpr UINT kPaintFavorBlack = 0x0004;   // 1 bit: a reduced pixel is dark when any of its area is
constexpr UINT kPaintResample = 0x0008;     // other depths: reduced pixels average their area
constexpr UINT kPaintScaleToGray = 0x0400;  // 1 bit: reduced pixels become grey by the dark share of
                                            // their area; other depths as kPaintResample
// Painting without any mode switched on.
constexpr UINT kPaintDefault = kPaintFavorBlack | kPaintResample;

// Draws the source rectangle (view coordinates of the bitmap) into the destination rectangle
// (logical coordinates of the DC) with a raster operation (SRCCOPY, SRCAND, SRCPAINT, ...).
// A source rectangle reaching outside the bitmap is cut to it, and the destination with it.
bool Paint(HDC dc, const Bitmap& bitmap, const RECT& source, const RECT& destination, UINT flags, DWORD rop);
// The whole bitmap stretched into a rectangle of a printer (or any) DC.
bool Print(HDC dc, const Bitmap& bitmap, int x, int y, int width, int height);
// A palette holding the bitmap's colours, owned by the caller; null for bitmaps without one.
HPALETTE MakePalette(HDC dc, const Bitmap& bitmap);
// A device-dependent copy of the bitmap for the DC, owned by the caller; null on failure.
HBITMAP MakeDDB(HDC dc, const Bitmap& bitmap);
// A DC that draws into the bitmap: each drawing call lands in its pixels (palette bitmaps take
// the nearest entries). It must be deleted (DeleteDC) before the bitmap is freed or changed in size.
HDC OpenDC(Bitmap& bitmap);

}  // namespace imaging
