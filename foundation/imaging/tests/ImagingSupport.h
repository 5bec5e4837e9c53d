#pragma once
// Helpers of the imaging layer's tests: packed DIBs and bitmap handles made from and turned into
// plain RGB pictures.

#include "platform/imaging/tests/support.h"

class CQVBitmapHandle;

#include <string>
#include <vector>

namespace imagingtest {

using imaging::test::Picture;

// A packed DIB showing the picture: 24 bits as it is, 8 bits as grey levels with a grey ramp,
// 1 bit thresholded at half with black and white; rows bottom-up, or top-down (negative height).
HGLOBAL MakeDIB(const Picture& picture, int bitsPerPixel, bool topDown = false);
// What a packed DIB of 1, 8 or 24 bits shows.
Picture PictureOfDIB(HGLOBAL dib);
std::vector<BYTE> BytesOf(HGLOBAL block);
// What a bitmap handle shows, read pixel by pixel.
Picture PictureOf(const CQVBitmapHandle& handle);
// A handle showing the picture as MakeDIB does, in the given perspective (0 top-left, 1 bottom-left).
bool HandleOf(const Picture& picture, int bitsPerPixel, UINT perspective, CQVBitmapHandle& handle);
HGLOBAL BlockOf(const std::vector<BYTE>& bytes);
void WriteFile(const std::string& path, const std::vector<BYTE>& bytes);
// Pseudo-random bytes, the same for the same seed.
std::vector<BYTE> Noise(size_t count, unsigned seed);

}  // namespace imagingtest
