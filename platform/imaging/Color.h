#pragma once
// Colour resolution and filters of bitmaps of the store, in place.

#include "platform/imaging/Bitmap.h"

namespace imaging {

enum class Dither {
  Threshold,  // 1 bit: dark below half luminance
  Diffusion,  // 1 bit: error diffusion (Floyd-Steinberg), for pictures
};

// Changes the depth to 1 bit (black, white), 8 bits (grey ramp), 24 or 32 bits (the bitmap's
// order). A bitmap already of that depth is left as it is. Luminance is (306 R + 601 G + 117 B) / 1024.
bool ChangeBitsPerPixel(Bitmap& bitmap, int bitsPerPixel, Dither dither = Dither::Threshold);
// 8-bit grey ramp from any depth.
bool GrayScale(Bitmap& bitmap);
// Applies a size x size integer kernel (rows first, as given) to 8-bit grey, 24- and 32-bit
// bitmaps: each channel becomes sum / divisor + bias, clamped to 0..255; edges repeat the border.
bool SpecialFilter(Bitmap& bitmap, int divisor, int bias, int size, const int* matrix);

}  // namespace imaging
