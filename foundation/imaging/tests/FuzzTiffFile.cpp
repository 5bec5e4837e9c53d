// The TIFF layer and the stored-image format over a file: pages along the chain (facts, tags,
// pixels, JPEG and Group 4 clumps, raw strips), the stored image's record and its loads at full and
// reduced scale, and the in-place edits (a page inserted, the record patched) applied to a copy,
// which either succeed or leave the copy byte for byte as it was.

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/CQVTiffFile.h"
#include "foundation/util/CDPXBuffer.h"
#include "platform/core/globalmem.h"
#include "platform/imaging/File.h"
#include "tools/fuzz/FuzzSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr WORD kMaxPages = 4;

std::string Bytes(const CString& path) {
  std::ifstream in(path.ToUtf8(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Whether the JPEG stream of a page, when it has one, promises a picture the target may decode.
bool ClumpFits(CQVTiffFile& tiff, WORD page) {
  BYTE* data = nullptr;
  DWORD size = 0;
  int xDpi = 0, yDpi = 0;
  if (!tiff.ReadJpegClump(page, data, size, xDpi, yDpi)) return true;
  imaging::FileInfo info;
  const bool fits = !imaging::GetMemoryInfo(data, size, info) || fuzz::PictureFits(info.width, info.height);
  std::free(data);
  return fits;
}

void ReadPage(CQVTiffFile& tiff, WORD page, const tagTiffImageInfo& info) {
  DWORD next = 0;
  CArray<tagTiffTagInfo> tags;
  if (tiff.GetTagList(page, next, tags)) {
    for (INT_PTR i = 0; i < tags.GetSize(); ++i) {
      fuzz::Check(tags[i].size <= 4 || tags[i].data != nullptr, "a listed value without its bytes");
    }
  }
  CQVTiffFile::FreeTagInfoArray(tags);
  BYTE* data = nullptr;
  DWORD size = 0;
  int width = 0, height = 0, xDpi = 0, yDpi = 0;
  if (tiff.ReadJpegClump(page, data, size, xDpi, yDpi)) fuzz::Check(data != nullptr, "a clump without data");
  std::free(data);
  if (!fuzz::PictureFits(info.width, info.height) || !ClumpFits(tiff, page)) return;
  data = nullptr;
  if (tiff.ReadFaxG4Clump(page, data, size, width, height, xDpi, yDpi)) std::free(data);
  CQVBitmapHandle bitmap;
  if (tiff.DecodeTif(page, bitmap)) fuzz::Check(bitmap.GetWidth() > 0 && bitmap.GetHeight() > 0, "an empty page decoded");
}

void ReadStoredImage(const CString& path, bool fits) {
  QVBDEIMAGEINFO record;
  if (CQVBDEImageFormat::LoadImageInfo(path.GetString(), record, TRUE) && record.extraData) GlobalFree(record.extraData);
  UINT chroma[64], luma[64];
  CQVBDEImageFormat::LoadJpegTables(path.GetString(), chroma, luma);
  CDPXGMemBuffer buffer;
  CQVBDEImageFormat::LoadJpegBuffer(path.GetString(), buffer);
  if (!fits) return;
  for (int scale : { 1, 2 }) {
    CQVBitmapHandle bitmap;
    if (CQVBDEImageFormat::LoadImage(path.GetString(), bitmap, scale)) {
      fuzz::Check(bitmap.GetWidth() > 0 && bitmap.GetHeight() > 0, "an empty stored image loaded");
    }
  }
}

// The edits on a copy: each either succeeds or leaves the copy as it was.
void EditCopy(const uint8_t* data, size_t size, WORD pages) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  const CString copy = fuzz::WriteFile("copy.tif", original);
  CQVBitmapHandle page;
  if (page.Create(16, 8, 1)) {
    CQVTiffFile tiff;
    tiff.SetFileForOperation(copy);
    if (!tiff.EncodeTif(pages > 1 ? 1 : 0, page, nullptr, nullptr, 0xFFFFFFFF)) {
      fuzz::Check(Bytes(copy) == original, "a failed page insert changed the file");
    }
  }
  fuzz::WriteFile("copy.tif", original);
  QVBDEIMAGEINFO record;
  record.reserved0 = 42;
  if (!CQVBDEImageFormat::UpdateImageInfo(copy.GetString(), record)) {
    fuzz::Check(Bytes(copy) == original, "a failed record patch changed the file");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CString path = fuzz::WriteFile("input.tif", data, size);
  CQVTiffFile tiff;
  tiff.SetFileForOperation(path);
  tagTiffImageInfo first;
  if (!tiff.GetTiffImageInfo(first)) return 0;
  const WORD pages = first.pageCount < kMaxPages ? first.pageCount : kMaxPages;
  for (WORD page = 0; page < pages; ++page) {
    tagTiffImageInfo info;
    info.page = page;
    if (tiff.GetTiffImageInfo(info) && info.page == page) ReadPage(tiff, page, info);
  }
  WORD count = 0;
  if (tiff.BeginReadRawData(count)) {
    for (WORD page = 0; page < pages; ++page) {
      BYTE* raw = nullptr;
      DWORD rawSize = 0;
      if (tiff.ReadRawData(page, raw, rawSize)) fuzz::Check(rawSize <= size, "raw data longer than the file");
      std::free(raw);
    }
    tiff.EndReadRawData();
  }
  ReadStoredImage(path, fuzz::PictureFits(first.width, first.height) && ClumpFits(tiff, 0));
  EditCopy(data, size, first.pageCount);
  return 0;
}
