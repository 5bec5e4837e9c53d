// Damaged files: every loader refuses or survives cut and scrambled input without reading past
// what it was given (the files are loaded from memory blocks of their exact size).

#include "platform/imaging/File.h"
#include "platform/imaging/tests/support.h"

#include <gtest/gtest.h>


using namespace imaging;
using namespace imaging::test;

namespace {

// Loads a copy of the bytes held in a buffer of exactly that size.
void LoadExactly(const std::vector<BYTE>& bytes) {
  std::vector<BYTE> exact(bytes);
  exact.shrink_to_fit();
  Bitmap bitmap;
  FileInfo info;
  if (LoadMemory(exact.data(), exact.size(), bitmap)) {
    ASSERT_GT(bitmap.width, 0);
    ASSERT_GT(bitmap.height, 0);
  } else {
    ASSERT_FALSE(bitmap.IsAllocated());
  }
  GetMemoryInfo(exact.data(), exact.size(), info);
}

TEST(HostileFiles, CutAndScrambledFilesAreRefusedOrSurvived) {
  TempDir dir;
  const std::string source = dir.Path("source.ppm");
  ASSERT_TRUE(WritePnm(source, Pattern(61, 43)));
  std::vector<std::string> files = {TestFile("G4.TIF"), TestFile("jello.tif"), TestFile("quad-jpeg.tif"),
                                    TestFile("zackthecat.tif"), TestFile("multipage.tif")};
  for (const char* kind : {"jpg", "png", "bmp"}) {
    files.push_back(dir.Path(std::string("picture.") + kind));
    ASSERT_TRUE(Shell("convert " + Quote(source) + " " + Quote(files.back())));
  }
  for (const std::string& file : files) {
    const std::vector<BYTE> bytes = ReadAll(file);
    ASSERT_FALSE(bytes.empty()) << file;
    for (size_t length : {size_t{1}, size_t{8}, size_t{16}, size_t{60}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
      LoadExactly(std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(length, bytes.size()))));
    }
    // Header fields and counts overwritten with large values, one place at a time.
    for (size_t at = 2; at < std::min<size_t>(bytes.size(), 200); at += 3) {
      std::vector<BYTE> scrambled = bytes;
      scrambled[at] = 0xFF;
      if (at + 1 < scrambled.size()) scrambled[at + 1] = 0x7F;
      LoadExactly(scrambled);
    }
  }
}

}  // namespace
