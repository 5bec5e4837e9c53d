// The bitmap store's file loaders (TIFF, JPEG, PNG, BMP): loads the input as a file image held
// in a block of its exact size, every page of it and with a conversion the size of the input
// picks. What the facts of a page promise, the load must keep.

#include "platform/imaging/File.h"
#include "tools/fuzz/FuzzSupport.h"

#include <vector>

using namespace imaging;

namespace {

void CheckLoaded(const Bitmap& bitmap, const char* what) {
  fuzz::Check(bitmap.IsAllocated() && bitmap.bits && bitmap.width > 0 && bitmap.height > 0, what);
  fuzz::Check(bitmap.bytesPerLine == StrideFor(bitmap.width, bitmap.bitsPerPixel), "a loaded bitmap has a wrong stride");
  fuzz::Check(bitmap.imageSize >= static_cast<SIZE_T>(bitmap.bytesPerLine) * static_cast<SIZE_T>(bitmap.height),
              "a loaded bitmap is smaller than its rows");
  std::vector<BYTE> row(static_cast<size_t>(bitmap.bytesPerLine));
  fuzz::Check(GetRow(bitmap, bitmap.height - 1, row.data(), bitmap.bytesPerLine) == bitmap.bytesPerLine,
              "the last row of a loaded bitmap cannot be read");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FileInfo info;
  const bool known = GetMemoryInfo(data, size, info);
  FileInfo fromFile;
  fuzz::Check(GetFileInfo(fuzz::WriteFile("input.img", data, size), fromFile) == known,
              "the facts of a file and of its bytes in memory disagree");

  if (known && !fuzz::PictureFits(info.width, info.height)) return 0;
  Bitmap bitmap;
  if (!LoadMemory(data, size, bitmap)) return 0;
  CheckLoaded(bitmap, "a loaded bitmap is empty");
  fuzz::Check(known, "a file loaded whose facts cannot be read");
  fuzz::Check(info.width == bitmap.width && info.height == bitmap.height, "a load and the facts disagree on the size");
  fuzz::Check(info.bitsPerPixel == bitmap.bitsPerPixel, "a load and the facts disagree on the depth");

  for (int page = 1; page < info.pageCount && page < 4; ++page) {
    FileInfo facts;
    Bitmap other;
    if (GetMemoryInfo(data, size, facts, page) && fuzz::PictureFits(facts.width, facts.height) &&
        LoadMemory(data, size, other, LoadOptions{0, kOrderBgr, page, 1}))
      CheckLoaded(other, "a later page is empty");
  }

  const LoadOptions conversions[] = {
      {1, kOrderBgr, 0, 1}, {8, kOrderGray, 0, 1}, {24, kOrderRgb, 0, 2}, {32, kOrderBgrOrGray, 0, 4}, {0, kOrderRgbOrGray, 0, 8},
  };
  const LoadOptions& options = conversions[size % std::size(conversions)];
  Bitmap converted;
  if (LoadMemory(data, size, converted, options)) {
    CheckLoaded(converted, "a converted load is empty");
    fuzz::Check(options.bitsPerPixel == 0 || options.order == kOrderBgrOrGray || converted.bitsPerPixel == options.bitsPerPixel,
                "a load did not convert to the depth asked for");
  }
  return 0;
}
