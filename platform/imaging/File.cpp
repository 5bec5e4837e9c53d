#include "platform/imaging/File.h"

#include "platform/core/CAtomicFile.h"
#include "platform/core/globalmem.h"
#include "platform/core/paths.h"
#include "platform/imaging/Color.h"
#include "platform/imaging/codecs.h"
#include "platform/imaging/pixels.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace imaging {

namespace {

// A file's bytes, mapped read-only for the time of one load.
class MappedFile {
public:
  explicit MappedFile(LPCWSTR path) {
    if (!path) return;
    const int fd = ::open(ResolvePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat facts {};
    if (::fstat(fd, &facts) == 0 && S_ISREG(facts.st_mode) && facts.st_size > 0) {
      void* base = ::mmap(nullptr, static_cast<SIZE_T>(facts.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
      if (base != MAP_FAILED) {
        m_base = base;
        m_size = static_cast<SIZE_T>(facts.st_size);
      }
    }
    ::close(fd);
  }
  ~MappedFile() {
    if (m_base) ::munmap(m_base, m_size);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  const BYTE* Data() const { return static_cast<const BYTE*>(m_base); }
  SIZE_T Size() const { return m_size; }

private:
  void* m_base{nullptr};
  SIZE_T m_size{0};
};

// Replaces the file as a whole, so that a failure leaves whatever was there before.
bool WriteReplacing(LPCWSTR path, const std::vector<BYTE>& bytes) {
  if (!path || !*path) return false;
  CAtomicFile file;
  if (!file.Open(path)) return false;
  try {
    file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
  } catch (CException* e) {
    e->Delete();
    return false;
  }
  return file.Commit() != FALSE;
}

bool Finish(Bitmap& b, const LoadOptions& options) {
  if (options.order == kOrderGray) {
    if (!GrayScale(b)) return false;
  } else if (options.bitsPerPixel != 0 && options.bitsPerPixel != b.bitsPerPixel) {
    const bool orGray = options.order == kOrderRgbOrGray || options.order == kOrderBgrOrGray;
    const bool keepGray = orGray && options.bitsPerPixel >= 24 && b.bitsPerPixel == 8 && IsNormalGrayScale(b);
    if (!keepGray && !ChangeBitsPerPixel(b, options.bitsPerPixel)) return false;
  }
  if (b.bitsPerPixel >= 24 && IsRgbOrder(options.order)) SwapRedBlue(b);
  b.order = options.order;
  return true;
}

bool AllGray(const Bitmap& b) {
  for (int i = 0; i < b.colorCount; ++i) {
    if (b.palette[i].rgbRed != b.palette[i].rgbGreen || b.palette[i].rgbGreen != b.palette[i].rgbBlue) return false;
  }
  return true;
}

int JpegQuality(int factor) { return std::clamp(100 - factor, 5, 95); }

bool Encode(const Bitmap& source, int format, int bitsPerPixel, int quality, bool rawFax, std::vector<BYTE>& bytes) {
  if (!source.IsAllocated()) return false;
  Bitmap converted;
  const Bitmap* b = &source;
  auto convert = [&](auto change) {
    Bitmap next;
    if (!Duplicate(next, *b) || !change(next)) return false;
    TakeOver(converted, next);
    b = &converted;
    return true;
  };
  if (bitsPerPixel != 0 && bitsPerPixel != source.bitsPerPixel &&
      !convert([bitsPerPixel](Bitmap& c) { return ChangeBitsPerPixel(c, bitsPerPixel); })) {
    return false;
  }
  switch (format) {
    case kFormatBmp: return EncodeBmp(*b, bytes);
    case kFormatJpeg:
      // JPEG holds grey or colour, never palette indices.
      if (HasPalette(b->bitsPerPixel) && !(b->bitsPerPixel == 8 && IsNormalGrayScale(*b))) {
        const bool gray = AllGray(*b);
        if (!convert([gray](Bitmap& c) { return gray ? GrayScale(c) : ChangeBitsPerPixel(c, 24); })) return false;
      }
      return EncodeJpeg(*b, JpegQuality(quality), bytes);
    case kFormatFaxG4:
      if (b->bitsPerPixel != 1 && !convert([](Bitmap& c) { return ChangeBitsPerPixel(c, 1); })) return false;
      return rawFax ? EncodeG4Raw(*b, bytes) : EncodeG4Tiff(*b, bytes);
    default: return false;
  }
}

}  // namespace

bool LoadMemory(const BYTE* data, SIZE_T size, Bitmap& bitmap, const LoadOptions& options) {
  Reset(bitmap);
  if (!data || size == 0) return false;
  bool ok;
  if (IsTiff(data, size)) {
    ok = DecodeTiff(data, size, options.page, bitmap);
  } else if (options.page != 0) {
    ok = false;
  } else if (IsJpeg(data, size)) {
    ok = DecodeJpeg(data, size, options.jpegScale, bitmap);
  } else if (IsPng(data, size)) {
    ok = DecodePng(data, size, bitmap);
  } else {
    ok = IsBmp(data, size) && DecodeBmp(data, size, bitmap);
  }
  ok = ok && Finish(bitmap, options);
  if (!ok) Reset(bitmap);
  return ok;
}

bool Load(LPCWSTR path, Bitmap& bitmap, const LoadOptions& options) {
  const MappedFile file(path);
  return LoadMemory(file.Data(), file.Size(), bitmap, options);
}

bool GetMemoryInfo(const BYTE* data, SIZE_T size, FileInfo& info, int page) {
  info = FileInfo{};
  if (!data || size == 0) return false;
  if (IsTiff(data, size)) return TiffInfo(data, size, page, info);
  if (page != 0) return false;
  if (IsJpeg(data, size)) return JpegInfo(data, size, info);
  if (IsPng(data, size)) return PngInfo(data, size, info);
  return IsBmp(data, size) && BmpInfo(data, size, info);
}

bool GetFileInfo(LPCWSTR path, FileInfo& info, int page) {
  const MappedFile file(path);
  return GetMemoryInfo(file.Data(), file.Size(), info, page);
}

bool LoadFaxRaw(const BYTE* data, SIZE_T size, Bitmap& bitmap, int width, int height, int xResolution, int yResolution,
                int faxFormat, bool reversedBitsToo) {
  if (!DecodeFax(data, size, width, height, faxFormat, false, bitmap) &&
      !(reversedBitsToo && DecodeFax(data, size, width, height, faxFormat, true, bitmap))) {
    return false;
  }
  bitmap.xResolution = xResolution;
  bitmap.yResolution = yResolution;
  return true;
}

bool Save(LPCWSTR path, const Bitmap& bitmap, int format, int bitsPerPixel, int quality) {
  std::vector<BYTE> bytes;
  return Encode(bitmap, format, bitsPerPixel, quality, false, bytes) && WriteReplacing(path, bytes);
}

bool SaveMemory(const Bitmap& bitmap, int format, int bitsPerPixel, int quality, HGLOBAL* block, DWORD* size) {
  if (!block || !size) return false;
  std::vector<BYTE> bytes;
  if (!Encode(bitmap, format, bitsPerPixel, quality, true, bytes) || bytes.size() > 0xFFFFFFFFu) return false;
  HGLOBAL result = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!result) return false;
  std::memcpy(GlobalLock(result), bytes.data(), bytes.size());
  GlobalUnlock(result);
  *block = result;
  *size = static_cast<DWORD>(bytes.size());
  return true;
}

}  // namespace imaging
