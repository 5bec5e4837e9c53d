#include "platform/imaging/codecs.h"
#include "platform/imaging/pixels.h"

#include <png.h>

#include <cmath>

namespace imaging {

namespace {

DWORD BigEndian32(const BYTE* p) { return (static_cast<DWORD>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

// What the chunks before the pixel data say: bit depth and colour type from the header, and the
// resolution from a pHYs chunk in pixels per metre.
struct Header {
  int bitDepth{0};
  int colorType{0};
  int xResolution{0};
  int yResolution{0};
};

bool ReadHeader(const BYTE* data, SIZE_T size, Header& header) {
  SIZE_T at = 8;
  bool sawHeader = false;
  while (at + 12 <= size) {
    const DWORD length = BigEndian32(data + at);
    if (length > size - at - 12) break;
    const BYTE* type = data + at + 4;
    const BYTE* body = data + at + 8;
    if (std::memcmp(type, "IHDR", 4) == 0 && length >= 13) {
      header.bitDepth = body[8];
      header.colorType = body[9];
      sawHeader = true;
    } else if (std::memcmp(type, "pHYs", 4) == 0 && length >= 9 && body[8] == 1) {
      header.xResolution = static_cast<int>(std::lround(BigEndian32(body) * 0.0254));
      header.yResolution = static_cast<int>(std::lround(BigEndian32(body + 4) * 0.0254));
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
      break;
    }
    at += 12 + length;
  }
  return sawHeader;
}

int DepthOf(const png_image& image, const Header& header) {
  if (image.format & PNG_FORMAT_FLAG_COLORMAP) return image.colormap_entries <= 2 ? 1 : image.colormap_entries <= 16 ? 4 : 8;
  if (image.format & PNG_FORMAT_FLAG_COLOR) return 24;
  return header.bitDepth == 1 && !(image.format & PNG_FORMAT_FLAG_ALPHA) ? 1 : 8;
}

}  // namespace

bool IsPng(const BYTE* data, SIZE_T size) { return size >= 8 && png_sig_cmp(data, 0, 8) == 0; }

bool DecodePng(const BYTE* data, SIZE_T size, Bitmap& bitmap) {
  Reset(bitmap);
  Header header;
  if (!ReadHeader(data, size, header)) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) return false;
  int depth = DepthOf(image, header);
  const bool indexed = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
  // Transparent parts are composed on white; palette pictures keep their indices.
  image.format = indexed ? PNG_FORMAT_BGR_COLORMAP : depth == 24 ? PNG_FORMAT_BGR : PNG_FORMAT_GRAY;
  png_color white{255, 255, 255};
  Bitmap decoded;
  BYTE colormap[256 * 3];
  const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
  if (!Create(decoded, width, height, depth == 24 ? 24 : 8) ||
      !png_image_finish_read(&image, &white, decoded.bits, decoded.bytesPerLine, colormap)) {
    png_image_free(&image);
    return false;
  }
  if (indexed) {
    depth = DepthOf(image, header);
    for (unsigned i = 0; i < image.colormap_entries && i < 256; ++i) {
      decoded.palette[i] = RGBQUAD{colormap[3 * i], colormap[3 * i + 1], colormap[3 * i + 2], 0};
    }
  }
  decoded.xResolution = header.xResolution;
  decoded.yResolution = header.yResolution;
  if (depth == 1 || depth == 4) {
    Bitmap packed;
    if (!Create(packed, width, height, depth)) return false;
    packed.xResolution = decoded.xResolution;
    packed.yResolution = decoded.yResolution;
    if (indexed) {
      std::memcpy(packed.palette, decoded.palette, packed.colorCount * sizeof(RGBQUAD));
      for (int y = 0; y < height; ++y) PackIndices(StoredRow(decoded, y), width, depth, StoredRow(packed, y));
    } else {
      // A 1-bit grey picture came as levels 0 and 255.
      for (int y = 0; y < height; ++y) {
        const BYTE* in = StoredRow(decoded, y);
        BYTE* out = StoredRow(packed, y);
        for (int x = 0; x < width; ++x) SetIndexAt(out, 1, x, in[x] >= 128);
      }
    }
    TakeOver(decoded, packed);
  }
  TakeOver(bitmap, decoded);
  return true;
}

bool PngInfo(const BYTE* data, SIZE_T size, FileInfo& info) {
  Header header;
  if (!ReadHeader(data, size, header)) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) return false;
  info.format = kFormatPng;
  info.width = static_cast<int>(image.width);
  info.height = static_cast<int>(image.height);
  info.bitsPerPixel = DepthOf(image, header);
  info.xResolution = header.xResolution;
  info.yResolution = header.yResolution;
  info.pageCount = 1;
  png_image_free(&image);
  return true;
}

}  // namespace imaging
