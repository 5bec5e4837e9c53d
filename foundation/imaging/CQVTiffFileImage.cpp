// What the TIFF layer does with pixels and compressed data: decoding and encoding pages, ready
// JPEG and Group 4 data in and out without recompression, raw strips.

#include "foundation/imaging/CQVTiffFile.h"

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/CQVJpgDataParser.h"
#include "foundation/imaging/QVJpegEncode.h"
#include "foundation/imaging/QVJpegStream.h"
#include "platform/core/CFile.h"
#include "platform/core/globalmem.h"
#include "platform/core/sysinfo.h"
#include "platform/imaging/Bitmap.h"
#include "platform/imaging/File.h"

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD kDefaultCompression = 0xFFFFFFFF;
constexpr DWORD kMaxTablesSize = 2000;

const BYTE* ViewRow(const imaging::Bitmap& b, int y) {
  const int stored = b.perspective == imaging::kBottomLeft ? b.height - 1 - y : y;
  return b.bits + static_cast<size_t>(stored) * b.bytesPerLine;
}

const BYTE* JpegRow(void* context, int row) { return ViewRow(*static_cast<imaging::Bitmap*>(context), row); }

// Dots per inch as the bitmap store reads them from a page, so that a page reads the same along
// every path: rounded, and 0 (not known) for a resolution without a unit.
int InchInt(float value, uint16_t unit) {
  if (!(value > 0) || unit == RESUNIT_NONE) return 0;
  const double dpi = unit == RESUNIT_CENTIMETER ? value * 2.54 : value;
  return dpi < 1e6 ? static_cast<int>(std::lround(dpi)) : 0;
}

// A malloc'ed copy for callers that free with free().
BOOL HandOut(const std::vector<BYTE>& bytes, BYTE*& data, DWORD& size) {
  data = static_cast<BYTE*>(std::malloc(bytes.empty() ? 1 : bytes.size()));
  if (!data) return FALSE;
  std::memcpy(data, bytes.data(), bytes.size());
  size = static_cast<DWORD>(bytes.size());
  return TRUE;
}

}  // namespace

void CQVTiffFile::_SetStandardTags(const char* description) {
  SYSTEMTIME now {};
  GetLocalTime(&now);
  char stamp[64];
  std::snprintf(stamp, sizeof(stamp), "%04d:%02d:%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  TIFFSetField(m_tiff, TIFFTAG_SUBFILETYPE, 0);
  TIFFSetField(m_tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(m_tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(m_tiff, TIFFTAG_DATETIME, stamp);
  TIFFSetField(m_tiff, TIFFTAG_IMAGEDESCRIPTION, description);
  TIFFSetField(m_tiff, TIFFTAG_SOFTWARE, m_softwareText.c_str());
  TIFFSetField(m_tiff, TIFFTAG_MAKE, m_makeText.c_str());
  TIFFSetField(m_tiff, TIFFTAG_ARTIST, m_artistText.c_str());
}

static void SetResolution(TIFF* tif, int xDpi, int yDpi) {
  // A resolution that is not known is left out rather than written as zero.
  if (xDpi <= 0 || yDpi <= 0) return;
  TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(xDpi));
  TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(yDpi));
}

// Opens the file for appending a page (a missing file is created) and notes where it goes. Until
// the page is in its place, any failure takes it back out and leaves the file as it was.
BOOL CQVTiffFile::_BeginPage(WORD position) {
  EnsureClose();
  if (!_PrepareToAddPage()) return FALSE;
  if (!_Open("a")) {
    _RestoreFile();
    return FALSE;
  }
  const tdir_t count = TIFFNumberOfDirectories(m_tiff);
  m_pageCount = static_cast<WORD>(std::min<tdir_t>(count, 0xFFFF));
  m_added = m_pageCount > 0;
  m_position = m_added ? std::min(m_pageCount, position) : 0;
  return TRUE;
}

// Writes the page's directory and moves it to its place in the chain.
BOOL CQVTiffFile::_EndPage() {
  if (!m_tiff) return FALSE;
  BOOL ok = TIFFWriteDirectory(m_tiff) != 0;
  EnsureClose();
  if (ok && m_added && m_position != m_pageCount) ok = _ChangeDirectoryLink(m_position);
  if (!ok) _RestoreFile();
  m_restore = {};
  return ok;
}

void CQVTiffFile::_AbandonPage() {
  EnsureClose();
  _RestoreFile();
}

ULONGLONG CQVTiffFile::_FileLength() const {
  return m_tiff ? static_cast<ULONGLONG>(TIFFGetSizeProc(m_tiff)(TIFFClientdata(m_tiff))) : 0;
}

// A strip that does not lie inside the file fails before anything is allocated for it.
BOOL CQVTiffFile::_ReadStrip(DWORD index, std::vector<BYTE>& bytes) {
  bytes.clear();
  if (!m_tiff || index >= TIFFNumberOfStrips(m_tiff)) return FALSE;
  const uint64_t offset = TIFFGetStrileOffset(m_tiff, index), size = TIFFGetStrileByteCount(m_tiff, index);
  const ULONGLONG length = _FileLength();
  if (size == 0 || size > 0x7FFFFFFF || offset > length || size > length - offset) return FALSE;
  bytes.resize(static_cast<size_t>(size));
  uint16_t compression = COMPRESSION_NONE;
  TIFFGetField(m_tiff, TIFFTAG_COMPRESSION, &compression);
  if (compression == COMPRESSION_OJPEG) {
    // libtiff refuses raw reads of old-style JPEG strips; they are read from the file directly.
    thandle_t handle = TIFFClientdata(m_tiff);
    return TIFFGetSeekProc(m_tiff)(handle, static_cast<toff_t>(offset), SEEK_SET) == offset &&
           TIFFGetReadProc(m_tiff)(handle, bytes.data(), static_cast<tmsize_t>(size)) == static_cast<tmsize_t>(size);
  }
  const tmsize_t read = TIFFReadRawStrip(m_tiff, index, bytes.data(), static_cast<tmsize_t>(size));
  if (read <= 0) return FALSE;
  bytes.resize(static_cast<size_t>(read));
  return TRUE;
}

BOOL CQVTiffFile::_ReadFaxG4Strip(WORD page, std::vector<BYTE>& data, int& width, int& height, int& xDpi, int& yDpi,
                                  BOOL& isGroup4, std::string& software) {
  data.clear();
  width = height = xDpi = yDpi = 0;
  isGroup4 = FALSE;
  software.clear();
  if (!_OpenPage("r", page)) return FALSE;
  uint32_t w = 0, h = 0, options = 0;
  uint16_t unit = RESUNIT_INCH, compression = 0, photometric = PHOTOMETRIC_MINISWHITE, fillOrder = FILLORDER_MSB2LSB;
  uint16_t orientation = ORIENTATION_TOPLEFT, bits = 1, samples = 1;
  float value = 0;
  TIFFGetField(m_tiff, TIFFTAG_IMAGEWIDTH, &w);
  TIFFGetField(m_tiff, TIFFTAG_IMAGELENGTH, &h);
  width = static_cast<int>(std::min<uint32_t>(w, INT32_MAX));
  height = static_cast<int>(std::min<uint32_t>(h, INT32_MAX));
  TIFFGetFieldDefaulted(m_tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (TIFFGetField(m_tiff, TIFFTAG_XRESOLUTION, &value)) xDpi = InchInt(value, unit);
  if (TIFFGetField(m_tiff, TIFFTAG_YRESOLUTION, &value)) yDpi = InchInt(value, unit);
  TIFFGetField(m_tiff, TIFFTAG_COMPRESSION, &compression);
  TIFFGetField(m_tiff, TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFGetFieldDefaulted(m_tiff, TIFFTAG_FILLORDER, &fillOrder);
  TIFFGetFieldDefaulted(m_tiff, TIFFTAG_ORIENTATION, &orientation);
  TIFFGetFieldDefaulted(m_tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(m_tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetField(m_tiff, TIFFTAG_GROUP4OPTIONS, &options);
  const char* text = nullptr;
  if (TIFFGetField(m_tiff, TIFFTAG_SOFTWARE, &text) && text) software = text;
  isGroup4 = compression == COMPRESSION_CCITTFAX4;
  // Only an untiled page of one strip holds the whole page's data. Pages whose set bits are white,
  // that use uncompressed runs, or that are stored turned need their pixels coded again instead.
  const bool asStored = isGroup4 && !TIFFIsTiled(m_tiff) && TIFFNumberOfStrips(m_tiff) == 1 && w > 0 && h > 0 &&
                        w <= INT32_MAX && h <= INT32_MAX && bits == 1 && samples == 1 &&
                        photometric == PHOTOMETRIC_MINISWHITE && (options & GROUP4OPT_UNCOMPRESSED) == 0 &&
                        orientation == ORIENTATION_TOPLEFT;
  BOOL ok = asStored && _ReadStrip(0, data);
  if (ok && fillOrder == FILLORDER_LSB2MSB) TIFFReverseBits(data.data(), static_cast<tmsize_t>(data.size()));
  _DoneReading();
  if (!ok) data.clear();
  return ok;
}

BOOL CQVTiffFile::LoadFaxG4Page(WORD page, CQVBitmapHandle& bitmap, BOOL deferDecoding) {
  bitmap.Free();
  std::vector<BYTE> data;
  int width = 0, height = 0, xDpi = 0, yDpi = 0;
  BOOL isGroup4 = FALSE;
  std::string software;
  return _ReadFaxG4Strip(page, data, width, height, xDpi, yDpi, isGroup4, software) &&
         bitmap.LoadFaxG4Page(std::move(data), width, height, xDpi, yDpi, deferDecoding);
}

BOOL CQVTiffFile::DecodeTif(WORD page, CQVBitmapHandle& bitmap) {
  ReadScope scope(*this);
  if (LoadFaxG4Page(page, bitmap, FALSE)) return TRUE;
  imaging::LoadOptions options;
  options.page = page;
  return imaging::Load(m_path.GetString(), bitmap.StoreRecordToChange(), options) ? TRUE : FALSE;
}

// Sets the fields a JPEG strip needs from its stream: JPEGTables (the stream's tables, or a
// 4-byte placeholder that the old-style conversion turns into JPEGInterchangeFormat) and the
// chroma subsampling of YCbCr pages, which libtiff requires to match the frame header.
BOOL CQVTiffFile::_SetJpegFields(const BYTE* stream, DWORD size, BOOL setTables) {
  QVJpegFrame frame;
  if (!QVFindJpegFrame(stream, size, frame)) return FALSE;
  if (setTables) {
    BYTE tables[kMaxTablesSize];
    DWORD tablesSize = 0;
    CQVJpgDataParser parser;
    parser.SetJpgDataPointer(const_cast<BYTE*>(stream), size);
    if (!parser.GetJpegTables(tables, tablesSize) || tablesSize > kMaxTablesSize) return FALSE;
    TIFFSetField(m_tiff, TIFFTAG_JPEGTABLES, static_cast<uint32_t>(tablesSize), tables);
  }
  if (frame.photometric == PHOTOMETRIC_YCBCR) {
    TIFFSetField(m_tiff, TIFFTAG_YCBCRSUBSAMPLING, static_cast<uint16_t>(frame.hSampling),
                 static_cast<uint16_t>(frame.vSampling));
  }
  return TRUE;
}

BOOL CQVTiffFile::_WriteJpegPage(const imaging::Bitmap& bitmap, int photometric, BOOL oldStyle) {
  QVJpegEncodeParams params;
  params.quality = m_jpegQuality;
  if (m_useCustomTables) {
    params.lumaTable = m_lumaTable;
    params.chromaTable = m_chromaTable;
  }
  params.xDpi = bitmap.xResolution;
  params.rgbOrder = bitmap.order == imaging::kOrderRgb || bitmap.order == imaging::kOrderRgbOrGray;
  params.yDpi = bitmap.yResolution;
  std::vector<BYTE> stream;
  if (!QVJpegEncode(bitmap.width, bitmap.height, photometric == PHOTOMETRIC_YCBCR ? 3 : 1, JpegRow,
                    const_cast<imaging::Bitmap*>(&bitmap), params, stream)) {
    return FALSE;
  }
  TIFFSetField(m_tiff, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
  TIFFSetField(m_tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(bitmap.height));
  if (!_SetJpegFields(stream.data(), static_cast<DWORD>(stream.size()), !oldStyle)) return FALSE;
  if (oldStyle) {
    static const BYTE kPlaceholder[4] = {};
    TIFFSetField(m_tiff, TIFFTAG_JPEGTABLES, static_cast<uint32_t>(4), kPlaceholder);
  }
  return stream.size() <= 0x7FFFFFFF &&
         TIFFWriteRawStrip(m_tiff, 0, stream.data(), static_cast<tmsize_t>(stream.size())) >= 0;
}

BOOL CQVTiffFile::EncodeTif(WORD position, CQVBitmapHandle& handle, TagCallback callback, void* context,
                            DWORD compression) {
  EnsureClose();
  const imaging::Bitmap& bitmap = handle.StoreRecord();
  if (!bitmap.IsAllocated() || bitmap.bytesPerLine <= 0) return FALSE;
  const int bpp = bitmap.bitsPerPixel;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) return FALSE;
  const int samples = bpp == 24 ? 3 : 1;

  // Bilevel pages are always written min-is-white, the sense Group 4 data copied between files
  // carries; rows whose palette entry 0 is the darker one are turned round.
  bool invert = false;
  int photometric = PHOTOMETRIC_MINISWHITE;
  const bool grey = bpp != 24 && imaging::IsNormalGrayScale(bitmap);
  if (bpp == 1) {
    if (!bitmap.palette || bitmap.colorCount < 2) return FALSE;
    invert = CompareColors(bitmap.palette[0], bitmap.palette[1]) < 0;
  } else if (bpp != 24) {
    photometric = grey ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_PALETTE;
  }

  // JPEG carries no palette: colour-palette pages take the depth's default instead.
  const bool jpegOk = bpp == 24 || (bpp == 8 && grey);
  DWORD defaultCompression = bpp == 1 ? COMPRESSION_CCITTFAX4 : bpp == 4 ? COMPRESSION_NONE
                             : bpp == 24 || grey                ? COMPRESSION_JPEG
                                                                : COMPRESSION_PACKBITS;
  DWORD chosen = compression;
  if (chosen == kDefaultCompression || !SupportCompressMethod(static_cast<WORD>(bpp), chosen) ||
      ((chosen == COMPRESSION_OJPEG || chosen == COMPRESSION_JPEG) && !jpegOk)) {
    chosen = defaultCompression;
  }
  const bool jpeg = chosen == COMPRESSION_OJPEG || chosen == COMPRESSION_JPEG;
  const bool oldStyle = chosen == COMPRESSION_OJPEG;
  if (bpp == 24) photometric = jpeg ? PHOTOMETRIC_YCBCR : PHOTOMETRIC_RGB;

  if (!_BeginPage(position)) return FALSE;
  TIFFSetField(m_tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(bitmap.width));
  TIFFSetField(m_tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(bitmap.height));
  TIFFSetField(m_tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(m_tiff, TIFFTAG_BITSPERSAMPLE, bpp / samples);
  TIFFSetField(m_tiff, TIFFTAG_PHOTOMETRIC, photometric);
  _SetStandardTags(m_descriptionText.c_str());
  SetResolution(m_tiff, bitmap.xResolution, bitmap.yResolution);
  if (photometric == PHOTOMETRIC_PALETTE) {
    uint16_t red[256] = {}, green[256] = {}, blue[256] = {};
    for (int i = 0; i < std::min(bitmap.colorCount, 256); ++i) {
      red[i] = static_cast<uint16_t>(bitmap.palette[i].rgbRed * 257);
      green[i] = static_cast<uint16_t>(bitmap.palette[i].rgbGreen * 257);
      blue[i] = static_cast<uint16_t>(bitmap.palette[i].rgbBlue * 257);
    }
    TIFFSetField(m_tiff, TIFFTAG_COLORMAP, red, green, blue);
  }

  BOOL ok = TRUE;
  if (jpeg) {
    ok = (!callback || callback(this, context)) && _WriteJpegPage(bitmap, photometric, oldStyle);
  } else {
    TIFFSetField(m_tiff, TIFFTAG_COMPRESSION, static_cast<uint16_t>(chosen));
    if (chosen == COMPRESSION_CCITTFAX4) {
      TIFFSetField(m_tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(bitmap.height));
    } else {
      TIFFSetField(m_tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(m_tiff, 0));
    }
    if (chosen == COMPRESSION_LZW && bpp >= 8) TIFFSetField(m_tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    ok = !callback || callback(this, context);
    // Rows go out through a scratch row: the bitmap itself is never changed.
    const size_t rowBytes = (static_cast<size_t>(bitmap.width) * bpp + 7) / 8;
    std::vector<BYTE> row(rowBytes);
    for (int y = 0; ok && y < bitmap.height; ++y) {
      std::memcpy(row.data(), ViewRow(bitmap, y), rowBytes);
      if (invert) {
        for (BYTE& v : row) v = static_cast<BYTE>(~v);
      } else if (bpp == 24 && bitmap.order != imaging::kOrderRgb && bitmap.order != imaging::kOrderRgbOrGray) {
        for (size_t x = 0; x + 2 < rowBytes; x += 3) std::swap(row[x], row[x + 2]);
      }
      ok = TIFFWriteScanline(m_tiff, row.data(), static_cast<uint32_t>(y), 0) >= 0;
    }
  }
  if (!ok) {
    _AbandonPage();
    return FALSE;
  }
  const WORD placed = m_position;
  if (!oldStyle) return _EndPage();
  // The conversion to old-style JPEG is part of the page: the page goes again when it fails.
  const Restore restore = m_restore;
  if (!_EndPage()) return FALSE;
  if (PostProcess4OJPEG(placed)) return TRUE;
  m_restore = restore;
  _RestoreFile();
  return FALSE;
}

BOOL CQVTiffFile::BeginReadRawData(WORD& pageCount) {
  pageCount = 0;
  if (!_OpenPage("r", 0)) return FALSE;
  pageCount = static_cast<WORD>(std::min<tdir_t>(TIFFNumberOfDirectories(m_tiff), 0xFFFF));
  return TRUE;
}

BOOL CQVTiffFile::ReadRawData(WORD page, BYTE*& data, DWORD& size) {
  data = nullptr;
  size = 0;
  if (!m_tiff || page >= TIFFNumberOfDirectories(m_tiff)) return FALSE;
  if (TIFFCurrentDirectory(m_tiff) != page && !TIFFSetDirectory(m_tiff, page)) return FALSE;
  // Strips of a sound page do not overlap, so together they are never longer than the file.
  const ULONGLONG limit = std::min<ULONGLONG>(_FileLength(), 0x7FFFFFFF);
  std::vector<BYTE> all, strip;
  for (uint32_t i = 0; i < TIFFNumberOfStrips(m_tiff); ++i) {
    if (!_ReadStrip(i, strip) || all.size() + strip.size() > limit) return FALSE;
    all.insert(all.end(), strip.begin(), strip.end());
  }
  return HandOut(all, data, size);
}

BOOL CQVTiffFile::EndReadRawData() {
  if (!m_tiff) return FALSE;
  _DoneReading();
  return TRUE;
}

BOOL CQVTiffFile::ReadJpegClump(WORD page, BYTE*& data, DWORD& size, int& xDpi, int& yDpi) {
  data = nullptr;
  size = 0;
  xDpi = yDpi = 0;
  if (!_OpenPage("r", page)) return FALSE;
  uint16_t unit = RESUNIT_INCH, compression = 0;
  float value = 0;
  TIFFGetFieldDefaulted(m_tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (TIFFGetField(m_tiff, TIFFTAG_XRESOLUTION, &value)) xDpi = InchInt(value, unit);
  if (TIFFGetField(m_tiff, TIFFTAG_YRESOLUTION, &value)) yDpi = InchInt(value, unit);
  TIFFGetField(m_tiff, TIFFTAG_COMPRESSION, &compression);
  const char* software = nullptr;
  TIFFGetField(m_tiff, TIFFTAG_SOFTWARE, &software);
  const int producer = _Producer(software ? software : "", "");
  std::vector<BYTE> clump;
  BOOL ok = (compression == COMPRESSION_OJPEG || compression == COMPRESSION_JPEG) && producer != 3 &&
            TIFFNumberOfStrips(m_tiff) == 1 && _ReadStrip(0, clump);
  if (ok && producer == 0) {
    // Other writers' old-style pages: the interchange stream may start before the strip.
    const DWORD ifd = static_cast<DWORD>(TIFFCurrentDirOffset(m_tiff));
    const uint64_t stripOffset = TIFFGetStrileOffset(m_tiff, 0);
    ok = _InterchangeClump(ifd, stripOffset, clump);
  } else if (ok) {
    // Strips written without their tables take them from the page's JPEGTables.
    uint32_t tablesSize = 0;
    void* tables = nullptr;
    if (TIFFGetField(m_tiff, TIFFTAG_JPEGTABLES, &tablesSize, &tables) && tables) {
      QVJoinJpegTables(static_cast<const BYTE*>(tables), tablesSize, clump);
    }
  }
  _DoneReading();
  return ok && HandOut(clump, data, size);
}

BOOL CQVTiffFile::ReadFaxG4Clump(WORD page, BYTE*& data, DWORD& size, int& width, int& height, int& xDpi,
                                 int& yDpi) {
  data = nullptr;
  size = 0;
  // The data is handed out as a Group 4 page writer stores it: one strip, most significant bit
  // first, black runs dark, upright. Pages stored otherwise are coded again from their pixels.
  ReadScope scope(*this);
  std::vector<BYTE> clump;
  BOOL isGroup4 = FALSE;
  std::string software;
  const BOOL asStored = _ReadFaxG4Strip(page, clump, width, height, xDpi, yDpi, isGroup4, software);
  if (!isGroup4) return FALSE;
  if (_Producer(software, "") == 3) return TRUE;
  if (!asStored) {
    CQVBitmapHandle bitmap;
    HGLOBAL block = nullptr;
    DWORD blockSize = 0;
    if (!DecodeTif(page, bitmap) || !bitmap.SaveMemory_FaxG4(&block, &blockSize)) return FALSE;
    const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(block));
    clump.assign(bytes, bytes + blockSize);
    GlobalUnlock(block);
    GlobalFree(block);
    width = bitmap.GetWidth();
    height = bitmap.GetHeight();
  }
  return HandOut(clump, data, size);
}

BOOL CQVTiffFile::WriteFaxG4Clump(WORD position, BYTE* data, DWORD size, int width, int height, int xDpi, int yDpi,
                                  TagCallback callback, void* context) {
  EnsureClose();
  if (!data || size == 0 || size > 0x7FFFFFFF || width <= 0 || height <= 0) return FALSE;
  if (!_BeginPage(position)) return FALSE;
  TIFFSetField(m_tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
  TIFFSetField(m_tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
  TIFFSetField(m_tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(m_tiff, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(m_tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  _SetStandardTags(m_descriptionText.c_str());
  SetResolution(m_tiff, xDpi, yDpi);
  TIFFSetField(m_tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(height));
  TIFFSetField(m_tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
  if ((callback && !callback(this, context)) || TIFFWriteRawStrip(m_tiff, 0, data, static_cast<tmsize_t>(size)) < 0) {
    _AbandonPage();
    return FALSE;
  }
  return _EndPage();
}

BOOL CQVTiffFile::WriteJpegClump(WORD position, BYTE* data, DWORD size, int xDpi, int yDpi, TagCallback callback,
                                 void* context) {
  EnsureClose();
  if (!data) return FALSE;
  const BYTE* stream = data;
  DWORD length = size;
  if (!QVSkipToJpegStart(stream, length)) return FALSE;
  if (xDpi < 0 || yDpi < 0) QVJfifDensity(stream, length, xDpi, yDpi);
  QVJpegFrame frame;
  if (!QVFindJpegFrame(stream, length, frame)) return FALSE;

  if (!_BeginPage(position)) return FALSE;
  TIFFSetField(m_tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(frame.width));
  TIFFSetField(m_tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(frame.height));
  TIFFSetField(m_tiff, TIFFTAG_SAMPLESPERPIXEL, frame.components);
  TIFFSetField(m_tiff, TIFFTAG_BITSPERSAMPLE, frame.precision);
  TIFFSetField(m_tiff, TIFFTAG_PHOTOMETRIC, frame.photometric);
  _SetStandardTags(m_descriptionText.c_str());
  SetResolution(m_tiff, xDpi, yDpi);
  TIFFSetField(m_tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(frame.height));
  TIFFSetField(m_tiff, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
  if (!_SetJpegFields(stream, length, TRUE) || (callback && !callback(this, context)) ||
      TIFFWriteRawStrip(m_tiff, 0, const_cast<BYTE*>(stream), static_cast<tmsize_t>(length)) < 0) {
    _AbandonPage();
    return FALSE;
  }
  return _EndPage();
}

BOOL CQVTiffFile::BeginWriteRawStrip(const tagTiffImageInfo& info) {
  EnsureClose();
  m_stripInfo = info;
  if (!_BeginPage(info.page)) return FALSE;
  m_stripHeight = 0;
  m_stripIndex = 0;
  m_tablesPending = TRUE;
  TIFFSetField(m_tiff, TIFFTAG_IMAGEWIDTH, info.width);
  TIFFSetField(m_tiff, TIFFTAG_IMAGELENGTH, info.height);
  TIFFSetField(m_tiff, TIFFTAG_SAMPLESPERPIXEL, info.samplesPerPixel);
  TIFFSetField(m_tiff, TIFFTAG_BITSPERSAMPLE, info.bitsPerSample);
  TIFFSetField(m_tiff, TIFFTAG_PHOTOMETRIC, info.photometric);
  _SetStandardTags(m_ownDescriptionMark.c_str());
  TIFFSetField(m_tiff, TIFFTAG_PLANARCONFIG, info.planarConfig);
  TIFFSetField(m_tiff, TIFFTAG_ORIENTATION, info.orientation);
  SetResolution(m_tiff, static_cast<int>(info.xResolution), static_cast<int>(info.yResolution));
  TIFFSetField(m_tiff, TIFFTAG_ROWSPERSTRIP, info.rowsPerStrip);
  TIFFSetField(m_tiff, TIFFTAG_COMPRESSION, info.compression);
  return TRUE;
}

BOOL CQVTiffFile::WriteRawStrip(const tagTiffImageInfo& info, BYTE* data, DWORD size) {
  const tagTiffImageInfo& page = m_stripInfo;
  if (!m_tiff || !data || size == 0 || size > 0x7FFFFFFF || info.height != info.rowsPerStrip ||
      info.width != page.width || info.bitsPerSample != page.bitsPerSample ||
      info.samplesPerPixel != page.samplesPerPixel || info.compression != page.compression ||
      info.orientation != page.orientation || info.planarConfig != page.planarConfig ||
      info.photometric != page.photometric) {
    return FALSE;
  }
  if (info.compression == COMPRESSION_JPEG && m_tablesPending) {
    if (!_SetJpegFields(data, size, TRUE)) return FALSE;
    m_tablesPending = FALSE;
  }
  if (TIFFWriteRawStrip(m_tiff, m_stripIndex, data, static_cast<tmsize_t>(size)) < 0) return FALSE;
  m_stripHeight += info.height;
  ++m_stripIndex;
  return TRUE;
}

BOOL CQVTiffFile::EndWriteRawStrip() {
  if (!m_tiff) return FALSE;
  TIFFSetField(m_tiff, TIFFTAG_IMAGELENGTH, m_stripHeight);
  return _EndPage();
}
