#include "foundation/imaging/tests/ImagingSupport.h"

#include "foundation/imaging/CQVBitmapHandle.h"
#include "platform/core/globalmem.h"

#include <cstring>
#include <fstream>
#include <random>

namespace imagingtest {

namespace {

DWORD Get32(const BYTE* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }
void Put32(BYTE* p, DWORD v) {
  for (int i = 0; i < 4; ++i) p[i] = BYTE(v >> (8 * i));
}
int Stride(int width, int bpp) { return (width * bpp + 31) / 32 * 4; }

}  // namespace

HGLOBAL MakeDIB(const Picture& picture, int bitsPerPixel, bool topDown) {
  const int stride = Stride(picture.width, bitsPerPixel);
  const int colours = bitsPerPixel == 1 ? 2 : bitsPerPixel == 8 ? 256 : 0;
  std::vector<BYTE> bytes(40 + 4 * colours + size_t(stride) * picture.height, 0);
  Put32(&bytes[0], 40);
  Put32(&bytes[4], DWORD(picture.width));
  Put32(&bytes[8], DWORD(topDown ? -picture.height : picture.height));
  bytes[12] = 1;
  bytes[14] = BYTE(bitsPerPixel);
  Put32(&bytes[20], DWORD(stride * picture.height));
  Put32(&bytes[32], DWORD(colours));
  for (int i = 0; i < colours; ++i) {
    const BYTE level = BYTE(colours == 2 ? i * 255 : i);
    bytes[40 + 4 * i] = bytes[41 + 4 * i] = bytes[42 + 4 * i] = level;
  }
  BYTE* rows = &bytes[40 + 4 * colours];
  for (int y = 0; y < picture.height; ++y) {
    BYTE* row = rows + size_t(topDown ? y : picture.height - 1 - y) * stride;
    for (int x = 0; x < picture.width; ++x) {
      const BYTE* p = picture.At(x, y);
      const int level = (306 * p[0] + 601 * p[1] + 117 * p[2]) >> 10;
      if (bitsPerPixel == 24) {
        row[3 * x] = p[2];
        row[3 * x + 1] = p[1];
        row[3 * x + 2] = p[0];
      } else if (bitsPerPixel == 8) {
        row[x] = BYTE(level);
      } else if (level >= 128) {
        row[x / 8] = BYTE(row[x / 8] | (0x80 >> (x % 8)));
      }
    }
  }
  return BlockOf(bytes);
}

Picture PictureOfDIB(HGLOBAL dib) {
  const std::vector<BYTE> bytes = BytesOf(dib);
  if (bytes.size() < 40) return {};
  const int width = int(Get32(&bytes[4]));
  const int height = int(Get32(&bytes[8]));
  const int bpp = bytes[14];
  const int rowsCount = height < 0 ? -height : height;
  const int colours = bpp == 1 ? 2 : bpp == 8 ? 256 : 0;
  const int stride = Stride(width, bpp);
  if (bytes.size() < 40 + 4 * size_t(colours) + size_t(stride) * rowsCount) return {};
  const BYTE* palette = &bytes[40];
  const BYTE* rows = palette + 4 * colours;
  Picture picture(width, rowsCount);
  for (int y = 0; y < rowsCount; ++y) {
    const BYTE* row = rows + size_t(height < 0 ? y : rowsCount - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      BYTE* p = picture.At(x, y);
      if (bpp == 24) {
        p[0] = row[3 * x + 2];
        p[1] = row[3 * x + 1];
        p[2] = row[3 * x];
        continue;
      }
      const int index = bpp == 8 ? row[x] : (row[x / 8] >> (7 - x % 8)) & 1;
      p[0] = palette[4 * index + 2];
      p[1] = palette[4 * index + 1];
      p[2] = palette[4 * index];
    }
  }
  return picture;
}

Picture PictureOf(const CQVBitmapHandle& handle) {
  Picture picture(handle.GetWidth(), handle.GetHeight());
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      COLORREF colour = 0;
      handle.GetPixelColor(x, y, colour);
      if (colour & 0x01000000) {
        RGBQUAD entry {};
        handle.GetPalette(int(colour & 0xFF), 1, &entry);
        colour = RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
      }
      BYTE* p = picture.At(x, y);
      p[0] = GetRValue(colour);
      p[1] = GetGValue(colour);
      p[2] = GetBValue(colour);
    }
  }
  return picture;
}

bool HandleOf(const Picture& picture, int bitsPerPixel, UINT perspective, CQVBitmapHandle& handle) {
  if (!handle.Create(picture.width, picture.height, bitsPerPixel, 1, nullptr, perspective)) return false;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const BYTE* p = picture.At(x, y);
      const int level = (306 * p[0] + 601 * p[1] + 117 * p[2]) >> 10;
      COLORREF colour = RGB(p[0], p[1], p[2]);
      if (bitsPerPixel == 8) colour = 0x01000000 | COLORREF(level);
      if (bitsPerPixel == 1) colour = 0x01000000 | (level >= 128 ? 1u : 0u);
      if (!handle.SetPixelColor(x, y, colour)) return false;
    }
  }
  return true;
}

std::vector<BYTE> BytesOf(HGLOBAL block) {
  const BYTE* p = block ? static_cast<const BYTE*>(GlobalLock(block)) : nullptr;
  if (!p) return {};
  std::vector<BYTE> bytes(p, p + GlobalSize(block));
  GlobalUnlock(block);
  return bytes;
}

HGLOBAL BlockOf(const std::vector<BYTE>& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<BYTE> Noise(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<BYTE> bytes(count);
  for (BYTE& b : bytes) b = BYTE(random() & 0xFF);
  return bytes;
}

}  // namespace imagingtest
