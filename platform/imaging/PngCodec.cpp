#include "platform/imaging/codecs.h"
#include "platform/imaging/dibstorage.h"
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
  const bool indexed = (image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
  const bool color = (image.format & PNG_FORMAT_FLAG_COLOR) != 0;
  const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  int depth = DepthOf(image, header);
  // Palette pictures keep their indices; transparent parts are composed on white here, as for
  // TIFF pages, by plain weighting of the stored values.
  image.format = indexed ? (alpha ? PNG_FORMAT_BGRA_COLORMAP : PNG_FORMAT_BGR_COLORMAP)
                         : color ? (alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR) : (alpha ? PNG_FORMAT_GA : PNG_FORMAT_GRAY);
  const int channels = static_cast<int>(PNG_IMAGE_SAMPLE_CHANNELS(image.format));
  const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
  const SIZE_T stride = static_cast<SIZE_T>(width) * channels;
  if (static_cast<unsigned long long>(stride) * image.height > kMaxImageBytes) {
    png_image_free(&image);
    return false;
  }
  std::vector<BYTE> pixels(stride * image.height);
  BYTE colormap[256 * 4];
  if (!png_image_finish_read(&image, nullptr, pixels.data(), static_cast<png_int_32>(stride), colormap)) {
    png_image_free(&image);
    return false;
  }
  auto over = [](int value, int cover) { return static_cast<BYTE>((value * cover + 255 * (255 - cover) + 127) / 255); };
  if (indexed) depth = DepthOf(image, header);
  Bitmap decoded;
  if (!Create(decoded, width, height, depth)) return false;
  decoded.xResolution = header.xResolution;
  decoded.yResolution = header.yResolution;
  if (indexed) {
    for (unsigned i = 0; i < image.colormap_entries && i < static_cast<unsigned>(decoded.colorCount); ++i) {
      const BYTE* c = colormap + i * channels;
      const int cover = alpha ? c[3] : 255;
      decoded.palette[i] = RGBQUAD{over(c[0], cover), over(c[1], cover), over(c[2], cover), 0};
    }
  }
  for (int y = 0; y < height; ++y) {
    const BYTE* in = pixels.data() + y * stride;
    BYTE* out = StoredRow(decoded, y);
    if (indexed) {
      PackIndices(in, width, depth, out);
    } else if (color) {
      for (int x = 0; x < width; ++x, in += channels, out += 3) {
        const int cover = alpha ? in[3] : 255;
        out[0] = over(in[0], cover);
        out[1] = over(in[1], cover);
        out[2] = over(in[2], cover);
      }
    } else {
      for (int x = 0; x < width; ++x, in += channels) {
        const BYTE level = over(in[0], alpha ? in[1] : 255);
        // A 1-bit grey picture comes as levels 0 and 255.
        if (depth == 1) {
          SetIndexAt(out, 1, x, level >= 128);
        } else {
          out[x] = level;
        }
      }
    }
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
