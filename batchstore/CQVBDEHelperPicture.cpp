// The picture helpers of CQVBDEHelper: preview scales and thumbnail sizes, previews and
// thumbnails made from bitmaps or straight from JPEG data (decoded at 1/2, 1/4 or 1/8 instead of
// at full size and then reduced), and the files they are kept in.
#include "batchstore/CQVBDEHelper.h"

#include "foundation/imaging/CDPXJPGImageIO.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/util/CDPXBuffer.h"
#include "foundation/util/DPXPath.h"
#include "platform/core/CException.h"
#include "platform/core/fileapi.h"
#include "platform/core/globalmem.h"

#include <algorithm>
#include <unistd.h>

namespace {

// The caller's JPEG data, wrapped without a copy for the codec, handed back when done.
class JpegData {
public:
  JpegData(const void* data, ULONG size) { m_buffer.Attach(const_cast<void*>(data), size); }
  ~JpegData() { m_buffer.Detach(); }
  JpegData(const JpegData&) = delete;
  JpegData& operator=(const JpegData&) = delete;

  BOOL ReadSize(int& width, int& height) {
    int bits = 0;
    return Guard([&] { return m_codec.ReadInfoMemory(m_buffer, width, height, bits); });
  }
  // Decodes at 1/denominator into the bitmap; an empty bitmap on failure.
  BOOL Decode(int denominator, CQVBitmapHandle& bitmap) {
    bitmap.Free();
    m_codec.SetScaleDenom(denominator);
    HGLOBAL dib = nullptr;
    if (!Guard([&] { return m_codec.ReadMemory(m_buffer, &dib); }) || !dib) return FALSE;
    if (bitmap.ChangeFromDIB(dib)) return TRUE;
    GlobalFree(dib);
    bitmap.Free();
    return FALSE;
  }

private:
  template <typename Work>
  static BOOL Guard(Work work) {
    try {
      return work();
    } catch (CException* e) {
      e->Delete();
    }
    return FALSE;
  }

  CDPXMemBuffer m_buffer;
  CDPXJPGImageIO m_codec;
};

bool IsDenominator(int d) { return d == 1 || d == 2 || d == 4 || d == 8; }

}  // namespace

int CQVBDEHelper::CalcPreviewImageScaleDenom(int width, int height) {
  if (width <= 0 || height <= 0) return -1;
  int side = std::max(width, height);
  return side < 1024 ? 1 : side < 2048 ? 2 : side < 4096 ? 4 : 8;
}

int CQVBDEHelper::CalcPreviewImageScaleDenom(CQVBitmapHandle& bitmap) {
  return bitmap.IsEmpty() ? -1 : CalcPreviewImageScaleDenom(bitmap.GetWidth(), bitmap.GetHeight());
}

int CQVBDEHelper::CalcPreviewImageScaleDenomForJpeg(const void* data, ULONG size) {
  if (!data || size == 0) return -1;
  int width = 0, height = 0;
  JpegData jpeg(data, size);
  return jpeg.ReadSize(width, height) ? CalcPreviewImageScaleDenom(width, height) : -1;
}

BOOL CQVBDEHelper::CreatePreviewImage(CQVBitmapHandle& source, CQVBitmapHandle& result, int denominator) {
  result.Free();
  if (source.IsEmpty() || source.GetWidth() <= 0 || source.GetHeight() <= 0 || !IsDenominator(denominator)) return FALSE;
  BOOL made = denominator == 1 ? result.Create(source)
                               : result.Create(source, source.GetWidth() / denominator, source.GetHeight() / denominator, 0);
  if (!made) {
    result.Free();
    return FALSE;
  }
  result.SetPerspective(0);
  return TRUE;
}

int CQVBDEHelper::CreatePreviewImageEx(CQVBitmapHandle& source, CQVBitmapHandle& result, BOOL skipSmall) {
  int denominator = CalcPreviewImageScaleDenom(source);
  if (denominator < 0) return -1;
  if (denominator == 1 && skipSmall) {
    result.Free();
    return 1;
  }
  return CreatePreviewImage(source, result, denominator) ? denominator : -1;
}

int CQVBDEHelper::CreatePreviewImageFromJpeg(const void* data, ULONG size, CQVBitmapHandle& result, int denominator) {
  result.Free();
  if (!data || size == 0) return -1;
  if (!IsDenominator(denominator)) return FALSE;
  JpegData jpeg(data, size);
  if (!jpeg.Decode(denominator, result)) return FALSE;
  result.SetPerspective(0);
  return TRUE;
}

int CQVBDEHelper::CreatePreviewImageFromJpegEx(const void* data, ULONG size, CQVBitmapHandle& result) {
  int denominator = CalcPreviewImageScaleDenomForJpeg(data, size);
  if (denominator < 0) {
    result.Free();
    return -1;
  }
  return CreatePreviewImageFromJpeg(data, size, result, denominator) == TRUE ? denominator : -1;
}

BOOL CQVBDEHelper::CalcThumbImageSize(int width, int height, int& thumbWidth, int& thumbHeight) {
  if (width <= 0 || height <= 0) return FALSE;
  if (width <= 100 && height <= 100) {
    thumbWidth = width;
    thumbHeight = height;
    return TRUE;
  }
  // The larger side becomes 100 exactly; the other keeps the proportion, and at least one pixel.
  long long side = std::max(width, height);
  thumbWidth = static_cast<int>(std::max(1LL, width * 100LL / side));
  thumbHeight = static_cast<int>(std::max(1LL, height * 100LL / side));
  return TRUE;
}

BOOL CQVBDEHelper::CreateThumbImage(CQVBitmapHandle& source, CQVBitmapHandle& result) {
  result.Free();
  int width = 0, height = 0;
  if (source.IsEmpty() || !CalcThumbImageSize(source.GetWidth(), source.GetHeight(), width, height)) return FALSE;
  if (result.Create(source, width, height, 0)) return TRUE;
  result.Free();
  return FALSE;
}

int CQVBDEHelper::CreateThumbImageFromJpeg(const void* data, ULONG size, CQVBitmapHandle& result) {
  result.Free();
  if (!data || size == 0) return -1;
  JpegData jpeg(data, size);
  int width = 0, height = 0;
  if (!jpeg.ReadSize(width, height) || width <= 0 || height <= 0) return -1;
  // The smallest decoding that is still larger than its thumbnail; a scale that would leave no
  // pixel on a side is passed over.
  int chosen = 1;
  bool fits = true;
  for (int d : { 8, 4, 2, 1 }) {
    int thumbWidth = 0, thumbHeight = 0;
    if (!CalcThumbImageSize(width / d, height / d, thumbWidth, thumbHeight)) continue;
    if (width / d > thumbWidth) {
      chosen = d;
      fits = false;
      break;
    }
  }
  if (fits) return jpeg.Decode(1, result) ? 1 : -1;
  CQVBitmapHandle decoded;
  if (!jpeg.Decode(chosen, decoded)) return -1;
  return CreateThumbImage(decoded, result) ? 1 : 0;
}

BOOL CQVBDEHelper::SavePreviewImage(LPCWSTR path, CQVBitmapHandle& bitmap) {
  CString target(path ? path : u"");
  if (target.Trim().IsEmpty() || bitmap.IsEmpty()) return FALSE;
  // Written beside the file under a name of no image entry, and put in its place when whole.
  CString folder, name, temporary;
  DPXGetFolderOfPath(target, folder);
  DPXGetFileNameOfPath(target, name);
  temporary.Format(u"%s.%s-%d.tmp", static_cast<LPCWSTR>(folder), static_cast<LPCWSTR>(name), static_cast<int>(::getpid()));
  BOOL oneBit = bitmap.GetBitsPerPixel() == 1;
  if (bitmap.Save(temporary, oneBit ? 3 : 2, oneBit ? 0 : 10, 0) && MoveFileExW(temporary, target, MOVEFILE_REPLACE_EXISTING))
    return TRUE;
  DeleteFileW(temporary);
  return FALSE;
}

BOOL CQVBDEHelper::LoadPreviewImage(LPCWSTR path, CQVBitmapHandle& bitmap) { return bitmap.Load(path, 0, 4); }
