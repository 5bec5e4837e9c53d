#pragma once
// CQVBDEImageFormat: stored images, one-page TIFF files whose private tag 65501 holds the image
// record QVBDEIMAGEINFO and an optional block of extra data.
//
// Writes replace the file whole: the new page is written beside the old file and renamed over
// it only when complete, so that a failed write leaves the image that was there.

#include "foundation/imaging/CQVTiffFile.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CDPXGMemBuffer;
class CQVBitmapHandle;

// The record of a stored image: 576 bytes in the tag, little-endian, field by field.
struct QVBDEIMAGEINFO {
  QVBDEIMAGEINFO();

  int reserved0 { 0 };  // the callers'
  int width { 0 };      // of ready Group 4 data
  int height { 0 };
  int xDpi { 0 };  // of ready Group 4 or JPEG data
  int yDpi { 0 };
  int compression { 0 };  // 2 none, 3 JPEG, 4 Group 4
  int reserved24 { 0 };  // the callers'
  BOOL customTables { FALSE };
  UINT chromaTable[64] {};  // JPEG table 1, natural order
  UINT lumaTable[64] {};    // JPEG table 0, natural order
  BYTE reserved544[28] {};  // kept as stored: callers keep their own values here
  HGLOBAL extraData { nullptr };  // at most 1468 bytes; owned by whoever holds the record
};

class CQVBDEImageFormat : public CObject {
  DECLARE_DYNCREATE(CQVBDEImageFormat)
public:
  static constexpr DWORD kTagValueSize = 2048;
  static constexpr DWORD kMaxExtraData = 1468;

  static BOOL CreateImage(LPCWSTR path, CQVBitmapHandle& bitmap);
  static BOOL CreateImage(LPCWSTR path, CQVBitmapHandle& bitmap, QVBDEIMAGEINFO& info);
  static BOOL CreateImage(LPCWSTR path, void* data, DWORD size, QVBDEIMAGEINFO& info);
  // Scale 2, 4 or 8 loads the picture reduced; any other scale at full size. A Group 4 page at
  // full size keeps its data and is decoded when its pixels are first used (so that a page that
  // is only passed on, as to a PDF, is never decoded); damaged data shows only then.
  static BOOL LoadImage(LPCWSTR path, CQVBitmapHandle& bitmap, int scale);
  static BOOL LoadImageInfo(LPCWSTR path, int& width, int& height, int& bitsPerPixel);
  static BOOL LoadImageInfo(LPCWSTR path, QVBDEIMAGEINFO& info, BOOL withExtraData);
  // Rewrites the record in place. The stored extra data is kept unless the record brings its own.
  static BOOL UpdateImageInfo(LPCWSTR path, QVBDEIMAGEINFO& info);
  static BOOL UpdateImage(LPCWSTR path, CQVBitmapHandle& bitmap);

  // The stored JPEG stream's quantisation tables 1 (chroma) and 0 (luma), natural order; a grey
  // stream leaves the chroma table as it was.
  static BOOL LoadJpegTables(LPCWSTR path, UINT* chroma, UINT* luma);
  // The stored JPEG stream itself; the buffer is emptied on failure.
  static BOOL LoadJpegBuffer(LPCWSTR path, CDPXGMemBuffer& buffer);
  // Stores the JPEG stream held in the buffer as a stored image with the resolution of its JFIF
  // header and a record of kind 3 (JPEG); an existing file is replaced.
  static BOOL SaveJpegBuffer(LPCWSTR path, CDPXGMemBuffer& buffer);

  // The record's 576 bytes and the 2048-byte tag value.
  static void SerializeInfo(const QVBDEIMAGEINFO& info, BYTE* bytes);
  static void DeserializeInfo(const BYTE* bytes, QVBDEIMAGEINFO& info);

protected:
  BOOL _Write(LPCWSTR path, CQVBitmapHandle* bitmap, const void* data, DWORD size, QVBDEIMAGEINFO* info);
  BOOL _ReadTag(LPCWSTR path, std::vector<BYTE>& value);
  // The quantisation tables of page 0's JPEG stream, natural order.
  BOOL _ReadJpegTables(LPCWSTR path, UINT* chroma, UINT* luma);

private:
  CQVTiffFile m_tiff;
};
