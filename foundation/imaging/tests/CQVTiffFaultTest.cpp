// Damaged files found from outside (tests/data/faults): each fails fast and cleanly or loads.

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/CQVTiffFile.h"
#include "foundation/imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace qvtest;

namespace {

std::string Fault(const std::string& name) {
  return std::string(QV_SOURCE_DIR) + "/foundation/imaging/tests/data/faults/" + name;
}

}  // namespace

// Counts and sizes that reach far beyond the file's end fail every read before anything is
// allocated for them: under a limit of 256 MB of address space none of them may run out.
TEST(CQVTiffFaultTest, SizesBeyondTheFileFailBeforeAllocating) {
  for (const char* name : { "strip-bytecount-2GB.tif", "oom-strip-size-a.tif", "oom-strip-size-b.tif" }) {
    SCOPED_TRACE(name);
    const std::u16string path = Wide(Fault(name));
    AddressSpaceLimit limit(256u << 20);
    CQVBitmapHandle bitmap;
    EXPECT_FALSE(CQVBDEImageFormat::LoadImage(path.c_str(), bitmap, 1));
    EXPECT_FALSE(CQVBDEImageFormat::LoadImage(path.c_str(), bitmap, 2));
    CQVTiffFile tiff;
    tiff.SetFileForOperation(path.c_str());
    BYTE* data = nullptr;
    DWORD size = 0;
    int width = 0, height = 0, xDpi = 0, yDpi = 0;
    EXPECT_FALSE(tiff.ReadFaxG4Clump(0, data, size, width, height, xDpi, yDpi));
    EXPECT_FALSE(tiff.ReadJpegClump(0, data, size, xDpi, yDpi));
    WORD pages = 0;
    ASSERT_TRUE(tiff.BeginReadRawData(pages));
    EXPECT_FALSE(tiff.ReadRawData(0, data, size));
    tiff.EndReadRawData();
    EXPECT_EQ(data, nullptr);
  }
}

// A directory of some 4,000 unknown tags reads like any other page (the time it takes is
// measured by bench/tiff_pages).
TEST(CQVTiffFaultTest, ManyUnknownTagsStillLoad) {
  const std::u16string path = Wide(Fault("unknown-tags-4000.tif"));
  CQVBitmapHandle bitmap;
  ASSERT_TRUE(CQVBDEImageFormat::LoadImage(path.c_str(), bitmap, 1));
  EXPECT_GT(bitmap.GetWidth(), 0);
  CQVTiffFile tiff;
  tiff.SetFileForOperation(path.c_str());
  DWORD next = 0;
  CArray<tagTiffTagInfo> tags;
  ASSERT_TRUE(tiff.GetTagList(WORD(0), next, tags));
  EXPECT_GT(tags.GetSize(), 3900);
  CQVTiffFile::FreeTagInfoArray(tags);
}
