#pragma once
// Image files and memory images for bitmaps of the store.
//
// Paths are found without regard to case where the exact name is missing. Loading tells formats
// by their content, not by their names: TIFF (page by page, every
// compression libtiff decodes; 1-bit pages stay 1 bit), JPEG, PNG and BMP. Loaded bitmaps are
// top-left, except BMP files, whose DIB is taken over as it lies (bottom-up files stay bottom-left).
// Saving writes BMP, JPEG and one-page Group 4 TIFF files; a file that is replaced is written
// beside the old one first, so a failed save keeps what was there.

#include "platform/imaging/Bitmap.h"

namespace imaging {

enum FileFormat : int {
  kFormatUnknown = 0,
  kFormatTiff = 4,  // a TIFF file of any compression but Group 4
  kFormatBmp = 6,
  kFormatJpeg = 10,
  kFormatFaxG3_1D = 66,  // Group 3 one-dimensional, each row after an EOL code
  kFormatFaxG3_2D = 67,  // Group 3 two-dimensional, each row after an EOL code
  kFormatFaxG4 = 68,     // raw Group 4 data; as a file, a one-page Group 4 TIFF
  kFormatPng = 75,
  kFormatFaxG3_1DNoEol = 162,  // Modified Huffman rows without EOL codes, each from a byte boundary
};

struct LoadOptions {
  int bitsPerPixel{0};  // 0: as stored; else 1, 8 (grey), 24 or 32
  int order{kOrderBgr};
  int page{0};      // of multi-page files
  int jpegScale{1};  // JPEG pictures decode at 1/1, 1/2, 1/4 or 1/8 of their size (rounded up)
};

struct FileInfo {
  int format{kFormatUnknown};
  int width{0};
  int height{0};
  int bitsPerPixel{0};  // as the bitmap of a plain load would have it
  int xResolution{0};
  int yResolution{0};
  int pageCount{0};
};

bool Load(LPCWSTR path, Bitmap& bitmap, const LoadOptions& options = {});
bool LoadMemory(const BYTE* data, SIZE_T size, Bitmap& bitmap, const LoadOptions& options = {});
// Facts about a page without decoding its pixels.
bool GetFileInfo(LPCWSTR path, FileInfo& info, int page = 0);
bool GetMemoryInfo(const BYTE* data, SIZE_T size, FileInfo& info, int page = 0);

// Raw fax data without any header (kFormatFaxG3_1D, kFormatFaxG3_2D, kFormatFaxG4 or
// kFormatFaxG3_1DNoEol) as a 1-bit bitmap (black and white) of the given size. Data whose first
// pixel of a byte is its most significant bit is read as such; data that only decodes with the
// bits of every byte reversed is read that way, unless reversedBitsToo is false.
bool LoadFaxRaw(const BYTE* data, SIZE_T size, Bitmap& bitmap, int width, int height, int xResolution, int yResolution,
                int faxFormat, bool reversedBitsToo = true);

// Writes kFormatBmp, kFormatJpeg or kFormatFaxG4 (one-page TIFF). bitsPerPixel 0 keeps the depth,
// else the bitmap is written as converted to it. JPEG quality is a factor from 2 (best) to 255
// (smallest): the libjpeg quality is 100 - factor, kept within 5..95. Group 4 writes dark pixels
// as black whatever the palette order.
bool Save(LPCWSTR path, const Bitmap& bitmap, int format, int bitsPerPixel, int quality);
// The same into a new movable block: a BMP or JPEG file image, or for kFormatFaxG4 the raw Group 4
// data of the page (no EOL codes, most significant bit first, dark pixels black).
bool SaveMemory(const Bitmap& bitmap, int format, int bitsPerPixel, int quality, HGLOBAL* block, DWORD* size);

}  // namespace imaging
