#include "foundation/imaging/CQVBDEImageFormat.h"

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/CQVJpgDataParser.h"
#include "foundation/imaging/QVJpegStream.h"
#include "foundation/util/CDPXBuffer.h"
#include "platform/core/CAtomicFile.h"
#include "platform/core/globalmem.h"
#include "platform/core/paths.h"
#include "platform/imaging/Bitmap.h"
#include "platform/imaging/File.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

IMPLEMENT_DYNCREATE(CQVBDEImageFormat, CObject)

namespace {

constexpr DWORD kInfoSize = 576;
constexpr int kKindNone = 2, kKindJpeg = 3, kKindG4 = 4;

void Put32(BYTE* p, DWORD v) {
  p[0] = BYTE(v);
  p[1] = BYTE(v >> 8);
  p[2] = BYTE(v >> 16);
  p[3] = BYTE(v >> 24);
}

DWORD Get32(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }

int WriteInfoTag(CQVTiffFile* file, void* context) {
  auto* value = static_cast<std::vector<BYTE>*>(context);
  return file->SetTifTagValue(65501, static_cast<uint32_t>(value->size()), value->data());
}

bool FileExists(LPCWSTR path) { return ::access(ResolvePath(path).c_str(), F_OK) == 0; }

// JPEG mode: pages whose first strip is a complete JPEG stream of a known producer.
bool IsJpegMode(const tagTiffImageInfo& info) {
  return (info.producer == 0 && info.compression == 6) || (info.producer == 1 && info.compression == 7);
}

}  // namespace

QVBDEIMAGEINFO::QVBDEIMAGEINFO() {
  std::memcpy(chromaTable, CQVTiffFile::kDefaultChromaTable, sizeof(chromaTable));
  std::memcpy(lumaTable, CQVTiffFile::kDefaultLumaTable, sizeof(lumaTable));
}

void CQVBDEImageFormat::SerializeInfo(const QVBDEIMAGEINFO& info, BYTE* bytes) {
  std::memset(bytes, 0, kInfoSize);
  const int fields[7] = { info.reserved0, info.width, info.height, info.xDpi, info.yDpi, info.compression, info.reserved24 };
  for (int i = 0; i < 7; ++i) Put32(bytes + 4 * i, static_cast<DWORD>(fields[i]));
  Put32(bytes + 28, static_cast<DWORD>(info.customTables));
  for (int i = 0; i < 64; ++i) {
    Put32(bytes + 32 + 4 * i, info.chromaTable[i]);
    Put32(bytes + 288 + 4 * i, info.lumaTable[i]);
  }
  std::memcpy(bytes + 544, info.reserved544, sizeof(info.reserved544));
}

void CQVBDEImageFormat::DeserializeInfo(const BYTE* bytes, QVBDEIMAGEINFO& info) {
  int* fields[7] = { &info.reserved0, &info.width, &info.height, &info.xDpi, &info.yDpi, &info.compression, &info.reserved24 };
  for (int i = 0; i < 7; ++i) *fields[i] = static_cast<int>(Get32(bytes + 4 * i));
  info.customTables = static_cast<BOOL>(Get32(bytes + 28));
  for (int i = 0; i < 64; ++i) {
    info.chromaTable[i] = Get32(bytes + 32 + 4 * i);
    info.lumaTable[i] = Get32(bytes + 288 + 4 * i);
  }
  std::memcpy(info.reserved544, bytes + 544, sizeof(info.reserved544));
  info.extraData = nullptr;
}

// The page goes into a new file beside the target, which replaces the target only when it is
// complete and on the disk (see CAtomicFile).
BOOL CQVBDEImageFormat::_Write(LPCWSTR path, CQVBitmapHandle* bitmap, const void* data, DWORD size, QVBDEIMAGEINFO* info) {
  if (!path || !*path) return FALSE;
  std::vector<BYTE> value;
  if (info) {
    value.assign(kTagValueSize, 0);
    SerializeInfo(*info, value.data());
    if (info->extraData) {
      const SIZE_T extra = GlobalSize(info->extraData);
      if (extra < 1 || extra > kMaxExtraData) return FALSE;
      const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(info->extraData));
      if (!bytes) return FALSE;
      Put32(value.data() + kInfoSize, static_cast<DWORD>(extra));
      std::memcpy(value.data() + kInfoSize + 4, bytes, extra);
      GlobalUnlock(info->extraData);
    }
  }
  CAtomicFile file;
  if (!file.Open(path)) return FALSE;
  m_tiff.SetFileForOperation(PathFromNative(file.TemporaryPath()));
  CQVTiffFile::TagCallback callback = info ? WriteInfoTag : nullptr;
  void* context = info ? &value : nullptr;
  BOOL ok = FALSE;
  if (bitmap) {
    const int bpp = bitmap->GetBitsPerPixel();
    DWORD compression = 0;
    if (!info) {
      compression = bpp == 1 ? 4 : 7;
      ok = bpp == 1 || bpp == 8 || bpp == 24;
      m_tiff.SetJpegQuality(75);
    } else {
      ok = info->compression == kKindNone || info->compression == kKindJpeg || info->compression == kKindG4;
      compression = info->compression == kKindNone ? 1 : info->compression == kKindJpeg ? 7 : 4;
      if (ok && info->customTables) ok = m_tiff.SetJpegTables(info->chromaTable, info->lumaTable);
    }
    ok = ok && m_tiff.EncodeTif(0, *bitmap, callback, context, compression);
  } else if (info && data && size > 0) {
    if (info->compression == kKindJpeg) {
      ok = m_tiff.WriteJpegClump(0, static_cast<BYTE*>(const_cast<void*>(data)), size, info->xDpi, info->yDpi, callback,
                                 context);
    } else if (info->compression == kKindG4) {
      ok = m_tiff.WriteFaxG4Clump(0, static_cast<BYTE*>(const_cast<void*>(data)), size, info->width, info->height,
                                  info->xDpi, info->yDpi, callback, context);
    }
  }
  m_tiff.EnsureClose();
  if (!ok) {
    file.Abort();
    return FALSE;
  }
  return file.Commit();
}

BOOL CQVBDEImageFormat::CreateImage(LPCWSTR path, CQVBitmapHandle& bitmap) {
  CQVBDEImageFormat format;
  return format._Write(path, &bitmap, nullptr, 0, nullptr);
}

BOOL CQVBDEImageFormat::CreateImage(LPCWSTR path, CQVBitmapHandle& bitmap, QVBDEIMAGEINFO& info) {
  CQVBDEImageFormat format;
  return format._Write(path, &bitmap, nullptr, 0, &info);
}

BOOL CQVBDEImageFormat::CreateImage(LPCWSTR path, void* data, DWORD size, QVBDEIMAGEINFO& info) {
  CQVBDEImageFormat format;
  return format._Write(path, nullptr, data, size, &info);
}

BOOL CQVBDEImageFormat::LoadImage(LPCWSTR path, CQVBitmapHandle& bitmap, int scale) {
  bitmap.Free();
  if (!path || !FileExists(path)) return FALSE;
  CQVTiffFile tiff;
  tiff.SetFileForOperation(path);
  CQVTiffFile::ReadScope scope(tiff);
  const bool reduced = scale == 2 || scale == 4 || scale == 8;
  // A Group 4 page as stored is taken with one opening of the file; other pages need the info.
  if (!reduced && tiff.LoadFaxG4Page(0, bitmap, TRUE)) return TRUE;
  tagTiffImageInfo info;
  if (!tiff.GetTiffImageInfo(info)) return FALSE;
  BOOL ok = FALSE;
  if (IsJpegMode(info)) {
    BYTE* data = nullptr;
    DWORD size = 0;
    int xDpi = 0, yDpi = 0;
    if (tiff.ReadJpegClump(0, data, size, xDpi, yDpi)) {
      imaging::LoadOptions options;
      options.jpegScale = reduced ? scale : 1;
      ok = imaging::LoadMemory(data, size, bitmap.StoreRecordToChange(), options) && bitmap.GetWidth() > 0 &&
           bitmap.GetHeight() > 0;
      bitmap.SetXDPI(xDpi);
      bitmap.SetYDPI(yDpi);
    }
    std::free(data);
  } else {
    ok = tiff.DecodeTif(0, bitmap) && bitmap.GetWidth() > 0 && bitmap.GetHeight() > 0;
    if (ok && reduced) ok = bitmap.Resize(std::max(1, bitmap.GetWidth() / scale), std::max(1, bitmap.GetHeight() / scale), 0);
  }
  if (!ok) bitmap.Free();
  return ok;
}

BOOL CQVBDEImageFormat::LoadImageInfo(LPCWSTR path, int& width, int& height, int& bitsPerPixel) {
  CQVTiffFile tiff;
  tiff.SetFileForOperation(path);
  tagTiffImageInfo info;
  if (!path || !FileExists(path) || !tiff.GetTiffImageInfo(info)) return FALSE;
  width = static_cast<int>(info.width);
  height = static_cast<int>(info.height);
  bitsPerPixel = info.samplesPerPixel * info.bitsPerSample;
  return TRUE;
}

BOOL CQVBDEImageFormat::_ReadTag(LPCWSTR path, std::vector<BYTE>& value) {
  value.clear();
  if (!path || !FileExists(path)) return FALSE;
  m_tiff.SetFileForOperation(path);
  if (!m_tiff.BeginGetTagValue(0)) return FALSE;
  uint32_t count = 0;
  void* data = nullptr;
  if (m_tiff.GetTifTagValue(65501, &count, &data) && data && count == kTagValueSize) {
    value.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + count);
  }
  m_tiff.EndGetTagValue();
  return !value.empty() && Get32(value.data() + kInfoSize) <= kMaxExtraData;
}

BOOL CQVBDEImageFormat::LoadImageInfo(LPCWSTR path, QVBDEIMAGEINFO& info, BOOL withExtraData) {
  CQVBDEImageFormat format;
  CQVTiffFile::ReadScope scope(format.m_tiff);
  std::vector<BYTE> value;
  if (!format._ReadTag(path, value)) return FALSE;
  DeserializeInfo(value.data(), info);
  const DWORD extra = Get32(value.data() + kInfoSize);
  tagTiffImageInfo page;
  if (!format.m_tiff.GetTiffImageInfo(page)) return FALSE;
  if (IsJpegMode(page)) {
    // The tables of the stored stream are the ones in use.
    if (!format._ReadJpegTables(path, info.chromaTable, info.lumaTable)) return FALSE;
    info.customTables = TRUE;
  }
  if (withExtraData && extra > 0) {
    info.extraData = GlobalAlloc(GMEM_MOVEABLE, extra);
    BYTE* bytes = info.extraData ? static_cast<BYTE*>(GlobalLock(info.extraData)) : nullptr;
    if (!bytes) return FALSE;
    std::memcpy(bytes, value.data() + kInfoSize + 4, extra);
    GlobalUnlock(info.extraData);
  }
  return TRUE;
}

BOOL CQVBDEImageFormat::UpdateImageInfo(LPCWSTR path, QVBDEIMAGEINFO& info) {
  CQVBDEImageFormat format;
  std::vector<BYTE> value;
  if (!format._ReadTag(path, value)) return FALSE;
  SerializeInfo(info, value.data());
  if (info.extraData) {
    const SIZE_T extra = GlobalSize(info.extraData);
    const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(info.extraData));
    if (extra < 1 || extra > kMaxExtraData || !bytes) return FALSE;
    std::fill(value.begin() + kInfoSize, value.end(), 0);
    Put32(value.data() + kInfoSize, static_cast<DWORD>(extra));
    std::memcpy(value.data() + kInfoSize + 4, bytes, extra);
    GlobalUnlock(info.extraData);
  }
  return format.m_tiff.UpdateTagValueInPlace(0, 65501, 1, kTagValueSize, value.data());
}

BOOL CQVBDEImageFormat::UpdateImage(LPCWSTR path, CQVBitmapHandle& bitmap) {
  if (bitmap.IsEmpty() || !path) return FALSE;
  CString trimmed(path);
  if (trimmed.Trim().IsEmpty()) return FALSE;
  if (!FileExists(path)) return CreateImage(path, bitmap);
  QVBDEIMAGEINFO info;
  if (!LoadImageInfo(path, info, TRUE)) return FALSE;
  const BOOL ok = CreateImage(path, bitmap, info);
  if (info.extraData) GlobalFree(info.extraData);
  return ok;
}

BOOL CQVBDEImageFormat::_ReadJpegTables(LPCWSTR path, UINT* chroma, UINT* luma) {
  if (!path || !chroma || !luma || !FileExists(path)) return FALSE;
  m_tiff.SetFileForOperation(path);
  BYTE* data = nullptr;
  DWORD size = 0;
  int x = 0, y = 0;
  BOOL ok = m_tiff.ReadJpegClump(0, data, size, x, y);
  if (ok) {
    CQVJpgDataParser parser;
    parser.SetJpgDataPointer(data, size);
    ok = parser.GetQtTable(chroma, 1, TRUE) && parser.GetQtTable(luma, 0, TRUE);
  }
  std::free(data);
  return ok;
}

BOOL CQVBDEImageFormat::LoadJpegTables(LPCWSTR path, UINT* chroma, UINT* luma) {
  CQVBDEImageFormat format;
  return format._ReadJpegTables(path, chroma, luma);
}

BOOL CQVBDEImageFormat::LoadJpegBuffer(LPCWSTR path, CDPXGMemBuffer& buffer) {
  buffer.Free();
  if (!path || !FileExists(path)) return FALSE;
  CQVTiffFile tiff;
  tiff.SetFileForOperation(path);
  BYTE* data = nullptr;
  DWORD size = 0;
  int x = 0, y = 0;
  BOOL ok = tiff.ReadJpegClump(0, data, size, x, y) && size > 0;
  BYTE* bytes = ok ? buffer.AllocAndLock(size) : nullptr;
  if (bytes) {
    std::memcpy(bytes, data, size);
    buffer.Unlock();
  } else {
    buffer.Free();
    ok = FALSE;
  }
  std::free(data);
  return ok;
}

BOOL CQVBDEImageFormat::SaveJpegBuffer(LPCWSTR path, CDPXGMemBuffer& buffer) {
  const BYTE* bytes = buffer.GetSize() > 0 ? buffer.Lock() : nullptr;
  if (!bytes) return FALSE;
  const BYTE* stream = bytes;
  DWORD size = buffer.GetSize();
  BOOL ok = QVSkipToJpegStart(stream, size);
  if (ok) {
    // The record says what the page holds, so that later updates of the pixels keep it JPEG.
    QVBDEIMAGEINFO info;
    info.compression = kKindJpeg;
    QVJfifDensity(stream, size, info.xDpi, info.yDpi);
    CQVBDEImageFormat format;
    ok = format._Write(path, nullptr, stream, size, &info);
  }
  buffer.Unlock();
  return ok;
}
