#pragma once
// The file codecs behind File.h (not for callers). Decoders leave the bitmap empty on failure and
// make top-left bitmaps whose colour pixels are B, G, R; encoders append a whole file image.

#include "platform/imaging/File.h"

#include <vector>

namespace imaging {

bool IsTiff(const BYTE* data, SIZE_T size);
bool DecodeTiff(const BYTE* data, SIZE_T size, int page, Bitmap& bitmap);
bool TiffInfo(const BYTE* data, SIZE_T size, int page, FileInfo& info);
// Raw fax data as a 1-bit bitmap; lsbFirst reads each byte from its least significant bit.
bool DecodeFax(const BYTE* data, SIZE_T size, int width, int height, int faxFormat, bool lsbFirst, Bitmap& bitmap);
// One-page Group 4 TIFF of a 1-bit bitmap, and the raw Group 4 data alone.
bool EncodeG4Tiff(const Bitmap& bitmap, std::vector<BYTE>& file);
bool EncodeG4Raw(const Bitmap& bitmap, std::vector<BYTE>& data);

bool IsJpeg(const BYTE* data, SIZE_T size);
bool DecodeJpeg(const BYTE* data, SIZE_T size, int scale, Bitmap& bitmap);
bool JpegInfo(const BYTE* data, SIZE_T size, FileInfo& info);
// 8-bit grey, 24- or 32-bit bitmaps; quality 1..100.
bool EncodeJpeg(const Bitmap& bitmap, int quality, std::vector<BYTE>& file);

bool IsPng(const BYTE* data, SIZE_T size);
bool DecodePng(const BYTE* data, SIZE_T size, Bitmap& bitmap);
bool PngInfo(const BYTE* data, SIZE_T size, FileInfo& info);

bool IsBmp(const BYTE* data, SIZE_T size);
bool DecodeBmp(const BYTE* data, SIZE_T size, Bitmap& bitmap);
bool BmpInfo(const BYTE* data, SIZE_T size, FileInfo& info);
bool EncodeBmp(const Bitmap& bitmap, std::vector<BYTE>& file);

}  // namespace imaging
