#pragma once
// Resampling bitmaps of the store into other sizes.

#include "platform/imaging/Bitmap.h"

namespace imaging {

// Fills the target, which has its size and the source's depth and storage already (Reset and
// AllocateStorage), from the whole source by the resize flags. Interpolation applies to 8-bit
// grey, 24 and 32 bits and, thresholded, to 1 bit; other palette bitmaps take the nearest pixel.
bool ResampleInto(const Bitmap& source, Bitmap& target, UINT flags);
// A resampled copy with the source's depth, palette, perspective, order and resolution.
bool CreateResampled(Bitmap& target, const Bitmap& source, int width, int height, UINT flags);
// The same of a part of the source (view coordinates, inside the source).
bool CreateResampled(Bitmap& target, const Bitmap& source, const RECT& part, int width, int height, UINT flags);
bool Resize(Bitmap& bitmap, int width, int height, UINT flags);

// Scale to grey: a view rectangle of a 1-bit bitmap becomes an 8-bit grey bitmap of the given
// size in which each pixel is the average of the area it covers (GreyRows.h), so that thin lines
// stay visible in a reduced page. The rectangle is clipped to the source.
bool ScaleToGray(const Bitmap& source, const RECT& sourceRect, Bitmap& target, int width, int height);

}  // namespace imaging
