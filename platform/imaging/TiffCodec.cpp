#include "platform/imaging/TiffStream.h"
#include "platform/imaging/Transform.h"
#include "platform/imaging/codecs.h"
#include "platform/imaging/dibstorage.h"
#include "platform/imaging/pixels.h"

#include <algorithm>
#include <cmath>

namespace imaging {

namespace {

struct Page {
  uint32_t width{0};
  uint32_t height{0};
  uint16_t bitsPerSample{1};
  uint16_t samples{1};
  uint16_t photometric{PHOTOMETRIC_MINISWHITE};
  uint16_t compression{COMPRESSION_NONE};
  uint16_t planar{PLANARCONFIG_CONTIG};
  uint16_t orientation{ORIENTATION_TOPLEFT};
  uint16_t extraSamples{0};
  uint16_t sampleFormat{SAMPLEFORMAT_UINT};
  bool tiled{false};
  int xResolution{0};
  int yResolution{0};
};

enum class Route {
  Indexed,  // one sample of 1 to 16 bits: grey or palette, packed as the bitmap keeps it
  Rgb,      // three 8-bit samples, read as R, G, B
  Rgba,     // everything else, through libtiff's RGBA reader
};

int Dpi(float value, uint16_t unit) {
  if (!(value > 0) || unit == RESUNIT_NONE) return 0;
  const double dpi = unit == RESUNIT_CENTIMETER ? value * 2.54 : value;
  return dpi < 1e6 ? static_cast<int>(std::lround(dpi)) : 0;
}

bool ReadPage(TIFF* tif, Page& p) {
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &p.width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &p.height)) return false;
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &p.bitsPerSample);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &p.samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &p.compression);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &p.planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &p.orientation);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &p.sampleFormat);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &p.photometric)) {
    p.photometric = p.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISWHITE;
  }
  uint16_t* kinds = nullptr;
  TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &p.extraSamples, &kinds);
  p.tiled = TIFFIsTiled(tif) != 0;
  float x = 0, y = 0;
  uint16_t unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x)) p.xResolution = Dpi(x, unit);
  if (TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y)) p.yResolution = Dpi(y, unit);
  return p.width > 0 && p.height > 0 && p.width <= INT32_MAX && p.height <= INT32_MAX;
}

Route RouteOf(const Page& p) {
  const bool greyOrPalette = p.photometric == PHOTOMETRIC_MINISWHITE || p.photometric == PHOTOMETRIC_MINISBLACK ||
                             (p.photometric == PHOTOMETRIC_PALETTE && p.bitsPerSample <= 8);
  if (p.samples == 1 && greyOrPalette && p.compression != COMPRESSION_OJPEG &&
      (p.bitsPerSample == 1 || p.bitsPerSample == 2 || p.bitsPerSample == 4 || p.bitsPerSample == 8 || p.bitsPerSample == 16)) {
    return Route::Indexed;
  }
  const bool rgb = p.photometric == PHOTOMETRIC_RGB ||
                   (p.photometric == PHOTOMETRIC_YCBCR && p.compression == COMPRESSION_JPEG);
  if (rgb && p.samples == 3 && p.bitsPerSample == 8 && p.planar == PLANARCONFIG_CONTIG && p.extraSamples == 0) {
    return Route::Rgb;
  }
  return Route::Rgba;
}

int DepthOf(const Page& p) {
  if (RouteOf(p) != Route::Indexed) return 24;
  switch (p.bitsPerSample) {
    case 1: return 1;
    case 4: return 4;
    default: return 8;
  }
}

// The bitmap's palette for an indexed page. Grey pages get a plain ramp (their rows are turned
// round for min-is-white), except 1-bit ones, which keep their bits and say so in the palette.
void SetIndexedPalette(TIFF* tif, const Page& p, Bitmap& b) {
  if (p.photometric == PHOTOMETRIC_PALETTE) {
    uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue)) return;
    const int entries = 1 << p.bitsPerSample;
    // Some writers store 8-bit values in the 16-bit map.
    bool wide = false;
    for (int i = 0; i < entries; ++i) wide = wide || red[i] > 255 || green[i] > 255 || blue[i] > 255;
    auto level = [wide](uint16_t v) { return static_cast<BYTE>(wide ? v >> 8 : v); };
    for (int i = 0; i < entries && i < b.colorCount; ++i) {
      b.palette[i] = RGBQUAD{level(blue[i]), level(green[i]), level(red[i]), 0};
    }
    return;
  }
  if (p.bitsPerSample == 1 && p.photometric == PHOTOMETRIC_MINISWHITE) {
    b.palette[0] = RGBQUAD{255, 255, 255, 0};
    b.palette[1] = RGBQUAD{0, 0, 0, 0};
  }
}

// Turns one decoded scanline into a bitmap row.
void ConvertIndexedRow(const Page& p, const BYTE* in, BYTE* out, int width) {
  const bool invert = p.photometric == PHOTOMETRIC_MINISWHITE && p.bitsPerSample > 1;
  const bool grey = p.photometric != PHOTOMETRIC_PALETTE;
  switch (p.bitsPerSample) {
    case 2:
      for (int x = 0; x < width; ++x) {
        int v = (in[x >> 2] >> (6 - 2 * (x & 3))) & 3;
        if (invert) v = 3 - v;
        out[x] = static_cast<BYTE>(grey ? v * 85 : v);
      }
      break;
    case 16: {
      const auto* samples = reinterpret_cast<const uint16_t*>(in);
      for (int x = 0; x < width; ++x) out[x] = static_cast<BYTE>((invert ? 65535 - samples[x] : samples[x]) >> 8);
      break;
    }
    default: {
      const SIZE_T bytes = (static_cast<SIZE_T>(width) * p.bitsPerSample + 7) / 8;
      if (in != out) std::memcpy(out, in, bytes);
      if (invert) {
        for (SIZE_T i = 0; i < bytes; ++i) out[i] = static_cast<BYTE>(~out[i]);
      }
    }
  }
}

void ConvertRgbRow(const BYTE* in, BYTE* out, int width) {
  for (int x = 0; x < width; ++x, in += 3, out += 3) {
    const BYTE red = in[0];
    out[0] = in[2];
    out[1] = in[1];
    out[2] = red;
  }
}

// Decodes the page's rows top to bottom (as stored) and hands each scanline to `row`, which may
// decode straight into the bitmap (`direct` gives the row's own memory, or null).
template <typename RowFn, typename DirectFn>
bool ReadScanlines(TIFF* tif, const Page& p, DirectFn direct, RowFn row) {
  const tmsize_t scanline = TIFFScanlineSize(tif);
  if (scanline <= 0) return false;
  std::vector<BYTE> line;
  if (!p.tiled) {
    for (uint32_t y = 0; y < p.height; ++y) {
      BYTE* target = direct(y, scanline);
      if (!target) {
        line.resize(static_cast<SIZE_T>(scanline));
        target = line.data();
      }
      if (TIFFReadScanline(tif, target, y, 0) < 0) return false;
      row(y, target);
    }
    return true;
  }
  uint32_t tileWidth = 0, tileLength = 0;
  TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
  TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength);
  const tmsize_t tileSize = TIFFTileSize(tif), tileRow = TIFFTileRowSize(tif);
  if (tileWidth == 0 || tileLength == 0 || tileSize <= 0 || tileRow <= 0) return false;
  std::vector<BYTE> tile(static_cast<SIZE_T>(tileSize));
  std::vector<BYTE> band(static_cast<SIZE_T>(scanline) * std::min(tileLength, p.height));
  const SIZE_T bitsPerPixel = static_cast<SIZE_T>(p.bitsPerSample) * p.samples;
  for (uint32_t y0 = 0; y0 < p.height; y0 += tileLength) {
    const uint32_t rows = std::min(tileLength, p.height - y0);
    for (uint32_t x0 = 0; x0 < p.width; x0 += tileWidth) {
      if (TIFFReadTile(tif, tile.data(), x0, y0, 0, 0) < 0) return false;
      // Tile widths are multiples of 16 pixels, so every tile starts on a byte.
      const SIZE_T offset = x0 * bitsPerPixel / 8;
      const SIZE_T bytes = std::min<SIZE_T>(static_cast<SIZE_T>(tileRow), static_cast<SIZE_T>(scanline) - offset);
      for (uint32_t r = 0; r < rows; ++r) {
        std::memcpy(band.data() + r * static_cast<SIZE_T>(scanline) + offset, tile.data() + r * static_cast<SIZE_T>(tileRow), bytes);
      }
    }
    for (uint32_t r = 0; r < rows; ++r) row(y0 + r, band.data() + r * static_cast<SIZE_T>(scanline));
  }
  return true;
}

bool ReadIndexed(TIFF* tif, const Page& p, Bitmap& b) {
  if (!Create(b, static_cast<int>(p.width), static_cast<int>(p.height), DepthOf(p))) return false;
  SetIndexedPalette(tif, p, b);
  // Rows whose bits the bitmap keeps as they are decode straight into its memory.
  const bool sameBits = p.bitsPerSample == b.bitsPerPixel;
  auto direct = [&](uint32_t y, tmsize_t scanline) -> BYTE* {
    return sameBits && scanline <= b.bytesPerLine ? ViewRow(b, static_cast<int>(y)) : nullptr;
  };
  const int width = b.width;
  return ReadScanlines(tif, p, direct, [&](uint32_t y, const BYTE* in) {
    ConvertIndexedRow(p, in, ViewRow(b, static_cast<int>(y)), width);
  });
}

bool ReadRgb(TIFF* tif, const Page& p, Bitmap& b) {
  if (p.photometric == PHOTOMETRIC_YCBCR && !TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB)) return false;
  if (!Create(b, static_cast<int>(p.width), static_cast<int>(p.height), 24)) return false;
  auto direct = [&](uint32_t y, tmsize_t scanline) -> BYTE* {
    return scanline <= b.bytesPerLine ? ViewRow(b, static_cast<int>(y)) : nullptr;
  };
  const int width = b.width;
  return ReadScanlines(tif, p, direct, [&](uint32_t y, const BYTE* in) {
    BYTE* out = ViewRow(b, static_cast<int>(y));
    if (in == out) {
      for (int x = 0; x < width; ++x) std::swap(out[3 * x], out[3 * x + 2]);
    } else {
      ConvertRgbRow(in, out, width);
    }
  });
}

// Any other page through libtiff's RGBA reader, composed on white.
bool ReadRgba(TIFF* tif, const Page& p, Bitmap& b) {
  char message[1024];
  TIFFRGBAImage image;
  if (!TIFFRGBAImageOK(tif, message) || !TIFFRGBAImageBegin(&image, tif, 0, message)) return false;
  // Asking for the page's own orientation gives the rows as stored; orientation is applied later.
  image.req_orientation = image.orientation;
  const SIZE_T pixels = static_cast<SIZE_T>(p.width) * p.height;
  bool ok = pixels <= kMaxImageBytes / 4 && Create(b, static_cast<int>(p.width), static_cast<int>(p.height), 24);
  std::vector<uint32_t> raster;
  if (ok) {
    raster.resize(pixels);
    ok = TIFFRGBAImageGet(&image, raster.data(), p.width, p.height) != 0;
  }
  TIFFRGBAImageEnd(&image);
  if (!ok) return false;
  for (uint32_t y = 0; y < p.height; ++y) {
    const uint32_t* in = raster.data() + static_cast<SIZE_T>(y) * p.width;
    BYTE* out = ViewRow(b, static_cast<int>(y));
    for (uint32_t x = 0; x < p.width; ++x, out += 3) {
      // The reader gives colours premultiplied by alpha.
      const int cover = 255 - static_cast<int>(TIFFGetA(in[x]));
      out[0] = static_cast<BYTE>(std::min(255, static_cast<int>(TIFFGetB(in[x])) + cover));
      out[1] = static_cast<BYTE>(std::min(255, static_cast<int>(TIFFGetG(in[x])) + cover));
      out[2] = static_cast<BYTE>(std::min(255, static_cast<int>(TIFFGetR(in[x])) + cover));
    }
  }
  return true;
}

bool ApplyOrientation(Bitmap& b, uint16_t orientation) {
  switch (orientation) {
    case ORIENTATION_TOPRIGHT: return Reverse(b);
    case ORIENTATION_BOTRIGHT: return Rotate(b, 18000, kRotateResize, 0);
    case ORIENTATION_BOTLEFT: return Flip(b);
    case ORIENTATION_LEFTTOP: return Rotate(b, 9000, kRotateResize, 0) && Reverse(b);
    case ORIENTATION_RIGHTTOP: return Rotate(b, 9000, kRotateResize, 0);
    case ORIENTATION_RIGHTBOT: return Rotate(b, 27000, kRotateResize, 0) && Reverse(b);
    case ORIENTATION_LEFTBOT: return Rotate(b, 27000, kRotateResize, 0);
    default: return true;
  }
}

// A tile larger than the whole picture, beyond a size that rounding up to whole tiles explains for
// small pictures, is damage: the decoders allocate a whole tile before they read a byte of it.
bool TilesFit(TIFF* tif, const Page& p) {
  if (!p.tiled) return true;
  constexpr unsigned long long kSmallPicture = 16ull << 20;
  const unsigned long long picture =
      (static_cast<unsigned long long>(p.width) * p.bitsPerSample * p.samples + 7) / 8 * p.height;
  const tmsize_t tileSize = TIFFTileSize(tif);
  return tileSize > 0 && static_cast<unsigned long long>(tileSize) <= std::max(kSmallPicture, picture);
}

bool OpenPage(TiffStream& stream, int page, TIFF*& tif, Page& p) {
  tif = stream.Open();
  // libtiff parses a directory again on every TIFFSetDirectory, even the one it has just read.
  const bool ok = tif && page >= 0 && page < 65536 &&
                  (TIFFCurrentDirectory(tif) == static_cast<tdir_t>(page) || TIFFSetDirectory(tif, static_cast<tdir_t>(page))) &&
                  ReadPage(tif, p);
  // Complaints about tags the page does not need (private tags without a count) are no reason
  // to refuse it; from here on an error means broken pixel data.
  stream.ForgetErrors();
  return ok;
}

}  // namespace

bool IsTiff(const BYTE* data, SIZE_T size) {
  return size >= 4 && ((data[0] == 'I' && data[1] == 'I' && data[2] == 42 && data[3] == 0) ||
                       (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && data[3] == 42));
}

bool DecodeTiff(const BYTE* data, SIZE_T size, int page, Bitmap& bitmap) {
  Reset(bitmap);
  TiffStream stream(data, size);
  TIFF* tif = nullptr;
  Page p;
  // Samples that are signed, floating-point or complex numbers would read as unsigned integers and
  // show a garbled picture: such pages are refused.
  bool ok = OpenPage(stream, page, tif, p) && (p.sampleFormat == SAMPLEFORMAT_UINT || p.sampleFormat == SAMPLEFORMAT_VOID) &&
            TilesFit(tif, p);
  if (ok) {
    switch (RouteOf(p)) {
      case Route::Indexed: ok = ReadIndexed(tif, p, bitmap); break;
      case Route::Rgb: ok = ReadRgb(tif, p, bitmap); break;
      case Route::Rgba: ok = ReadRgba(tif, p, bitmap); break;
    }
  }
  ok = ok && !stream.Failed();
  const bool turned = p.orientation >= ORIENTATION_LEFTTOP && p.orientation <= ORIENTATION_LEFTBOT;
  if (ok) {
    bitmap.xResolution = turned ? p.yResolution : p.xResolution;
    bitmap.yResolution = turned ? p.xResolution : p.yResolution;
    ok = ApplyOrientation(bitmap, p.orientation);
  }
  if (!ok) Reset(bitmap);
  return ok;
}

bool TiffInfo(const BYTE* data, SIZE_T size, int page, FileInfo& info) {
  TiffStream stream(data, size);
  TIFF* tif = nullptr;
  Page p;
  if (!OpenPage(stream, page, tif, p)) return false;
  const bool turned = p.orientation >= ORIENTATION_LEFTTOP && p.orientation <= ORIENTATION_LEFTBOT;
  info.format = p.compression == COMPRESSION_CCITTFAX4 ? kFormatFaxG4 : kFormatTiff;
  info.width = static_cast<int>(turned ? p.height : p.width);
  info.height = static_cast<int>(turned ? p.width : p.height);
  info.bitsPerPixel = DepthOf(p);
  info.xResolution = turned ? p.yResolution : p.xResolution;
  info.yResolution = turned ? p.xResolution : p.yResolution;
  info.pageCount = TIFFNumberOfDirectories(tif);
  return true;
}

bool DecodeFax(const BYTE* data, SIZE_T size, int width, int height, int faxFormat, bool lsbFirst, Bitmap& bitmap) {
  Reset(bitmap);
  uint16_t compression;
  uint32_t options = 0;
  switch (faxFormat) {
    case kFormatFaxG3_1D: compression = COMPRESSION_CCITTFAX3; break;
    case kFormatFaxG3_2D: compression = COMPRESSION_CCITTFAX3, options = GROUP3OPT_2DENCODING; break;
    case kFormatFaxG4: compression = COMPRESSION_CCITTFAX4; break;
    case kFormatFaxG3_1DNoEol: compression = COMPRESSION_CCITTRLE; break;
    default: return false;
  }
  if (!data || size == 0 || size > static_cast<SIZE_T>(INT32_MAX) || width <= 0 || height <= 0) return false;
  // The data becomes the one strip of a TIFF page in memory, which the page decoder then reads.
  TiffStream wrapper;
  TIFF* tif = wrapper.Open();
  if (!tif) return false;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
  if (compression == COMPRESSION_CCITTFAX3) TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, options);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(tif, TIFFTAG_FILLORDER, lsbFirst ? FILLORDER_LSB2MSB : FILLORDER_MSB2LSB);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(height));
  if (TIFFWriteRawStrip(tif, 0, const_cast<BYTE*>(data), static_cast<tmsize_t>(size)) < 0) return false;
  wrapper.Close();
  if (wrapper.Failed()) return false;
  const std::vector<BYTE>& file = wrapper.Bytes();
  return DecodeTiff(file.data(), file.size(), 0, bitmap);
}

bool EncodeG4Tiff(const Bitmap& bitmap, std::vector<BYTE>& file) {
  if (!bitmap.IsAllocated() || bitmap.bitsPerPixel != 1) return false;
  TiffStream stream;
  TIFF* tif = stream.Open();
  if (!tif) return false;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(bitmap.width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(bitmap.height));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(bitmap.height));
  if (bitmap.xResolution > 0 && bitmap.yResolution > 0) {
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(bitmap.xResolution));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(bitmap.yResolution));
  }
  // Min-is-white: a set bit is black, so rows whose dark entry is 0 are turned round.
  const bool invert = DarkIndex(bitmap) == 0;
  std::vector<BYTE> line(bitmap.bytesPerLine);
  for (int y = 0; y < bitmap.height; ++y) {
    std::memcpy(line.data(), ViewRow(bitmap, y), line.size());
    if (invert) {
      for (BYTE& v : line) v = static_cast<BYTE>(~v);
    }
    if (TIFFWriteScanline(tif, line.data(), static_cast<uint32_t>(y), 0) < 0) return false;
  }
  stream.Close();
  if (stream.Failed()) return false;
  file = stream.Bytes();
  return true;
}

bool EncodeG4Raw(const Bitmap& bitmap, std::vector<BYTE>& data) {
  std::vector<BYTE> file;
  if (!EncodeG4Tiff(bitmap, file)) return false;
  TiffStream stream(file.data(), file.size());
  TIFF* tif = stream.Open();
  if (!tif) return false;
  const tmsize_t size = TIFFRawStripSize(tif, 0);
  if (size <= 0) return false;
  data.resize(static_cast<SIZE_T>(size));
  return TIFFReadRawStrip(tif, 0, data.data(), size) == size && !stream.Failed();
}

}  // namespace imaging
