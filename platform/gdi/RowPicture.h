#pragma once
// Pictures made row by row while they are drawn: the drawing layer asks for the rows it needs
// and, for a copy at full size, has them written straight into the device's pixels, so that a
// picture computed for the screen needs no bitmap of its own in between.

#include "platform/gdi/gditypes.h"

#include <cstdint>

namespace gdi {

class RowPicture {
public:
  virtual ~RowPicture() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // `count` pixels of row `y` (from the top) from column `x`, inside the picture, as opaque
  // 0xFFRRGGBB values.
  virtual void Row(int y, int x, int count, uint32_t* out) const = 0;
};

// The whole picture into (x, y, width, height) of the DC, stretched and mirrored (negative
// extents) as StretchDIBits draws, through the raster operation. FALSE without a DC or picture.
BOOL DrawRowPicture(HDC dc, int x, int y, int width, int height, const RowPicture& picture, DWORD rop);

}  // namespace gdi
