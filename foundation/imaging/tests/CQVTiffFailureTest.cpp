// Writes that fail part way, by a file-size limit or a write that fails at the Nth call: the
// in-place edits of TIFF files (page inserts, tag patches) and the stored-image writer either
// complete or leave the file byte for byte as it was.

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/CQVTiffFile.h"
#include "foundation/imaging/tests/ImagingTestSupport.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>

using namespace qvtest;

namespace {

constexpr int kPageWidths[] = { 100, 101, 102 };

// Makes the write numbered `failAt` (from 1) of the in-place edits fail while it lives.
class FailingWrite {
public:
  explicit FailingWrite(int failAt) {
    s_calls = 0;
    s_failAt = failAt;
    CQVTiffFile::s_writeHook = [] { return ++s_calls != s_failAt ? TRUE : FALSE; };
  }
  ~FailingWrite() { CQVTiffFile::s_writeHook = nullptr; }
  static bool Reached() { return s_calls >= s_failAt; }

private:
  static inline int s_calls = 0;
  static inline int s_failAt = 0;
};

// One way a write fails: a file-size limit `step` bytes above the file's length, or the write
// numbered `step` failing.
struct Failure {
  bool sizeLimit;
  int step;
};

std::vector<int> PageWidths(const std::string& path) {
  CQVTiffFile tiff;
  tiff.SetFileForOperation(CString::FromUtf8(path));
  tagTiffImageInfo info;
  std::vector<int> widths;
  for (WORD page = 0; tiff.GetTiffImageInfo((info.page = page, info)) && info.page == page && page < info.pageCount; ++page) {
    widths.push_back(static_cast<int>(info.width));
  }
  return widths;
}

struct Insert {
  const char* what;
  WORD position;
  int bitsPerPixel;
  DWORD compression;
};

BOOL InsertPage(const std::string& path, const Insert& insert) {
  CQVBitmapHandle bitmap;
  if (!HandleOf(Pattern(40, 30), insert.bitsPerPixel, bitmap)) return FALSE;
  CQVTiffFile tiff;
  tiff.SetFileForOperation(CString::FromUtf8(path));
  return tiff.EncodeTif(insert.position, bitmap, nullptr, nullptr, insert.compression);
}

// Runs `edit` on a fresh copy of `original` under failures one step further each time until it
// succeeds; after each failure the file must be what it was. Gives how many failures were seen.
template <typename Edit>
int FailUntilDone(const std::string& path, const std::vector<BYTE>& original, bool sizeLimit, Edit edit) {
  int failures = 0;
  for (int step = sizeLimit ? 0 : 1; step < 100000; step += sizeLimit ? 97 : 1) {
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(original.data()), static_cast<std::streamsize>(original.size()));
    }
    BOOL ok = FALSE;
    bool reached = true;
    if (sizeLimit) {
      FileSizeLimit limit(original.size() + step);
      ok = edit();
    } else {
      FailingWrite failing(step);
      ok = edit();
      reached = FailingWrite::Reached();
    }
    if (ok) {
      EXPECT_FALSE(!sizeLimit && reached) << "a failed write went unnoticed at step " << step;
      return failures;
    }
    EXPECT_EQ(ReadAll(path), original) << (sizeLimit ? "file-size limit +" : "write ") << step;
    if (ReadAll(path) != original) return failures;
    ++failures;
  }
  ADD_FAILURE() << "the edit never succeeded";
  return failures;
}

}  // namespace

// A page inserted at the front, after the first page or at the end, plainly and as an old-style
// JPEG page (which is patched after it is written), either lands in its place or leaves the file
// as it was, whichever write fails; so does a file that is left in place of a missing one.
TEST(CQVTiffFailureTest, APageInsertCompletesOrLeavesTheFileAsItWas) {
  TempDir dir;
  const std::string path = dir.Path("pages.tif");
  for (int width : kPageWidths) {
    CQVBitmapHandle bitmap;
    ASSERT_TRUE(HandleOf(Pattern(width, 20), 1, bitmap));
    CQVTiffFile tiff;
    tiff.SetFileForOperation(CString::FromUtf8(path));
    ASSERT_TRUE(tiff.EncodeTif(0xFFFF, bitmap, nullptr, nullptr, 0xFFFFFFFF));
  }
  const std::vector<BYTE> original = ReadAll(path);
  const Insert inserts[] = { { "at 0", 0, 1, 0xFFFFFFFF }, { "at 1", 1, 1, 0xFFFFFFFF }, { "at the end", 3, 1, 0xFFFFFFFF },
                             { "old-style JPEG at 1", 1, 24, 6 } };
  for (const Insert& insert : inserts) {
    for (bool sizeLimit : { true, false }) {
      SCOPED_TRACE(testing::Message() << insert.what << (sizeLimit ? ", file-size limit" : ", failing write"));
      const int failures = FailUntilDone(path, original, sizeLimit, [&] { return InsertPage(path, insert); });
      // Relinking writes happen for inserts before the end, and the old-style patch for JPEG.
      if (sizeLimit || insert.position < 3 || insert.compression == 6) {
        EXPECT_GT(failures, 0);
      }
      std::vector<int> expected(std::begin(kPageWidths), std::end(kPageWidths));
      expected.insert(expected.begin() + insert.position, 40);
      EXPECT_EQ(PageWidths(path), expected);
    }
  }

  // A first page that cannot be written leaves no file behind.
  const std::string fresh = dir.Path("fresh.tif");
  {
    FileSizeLimit limit(100);
    EXPECT_FALSE(InsertPage(fresh, inserts[0]));
  }
  EXPECT_FALSE(std::filesystem::exists(fresh));
}

// A file whose chain already loops (what a failed relinking used to leave) is refused as it is.
TEST(CQVTiffFailureTest, AChainThatLoopsIsRefusedAndLeftAlone) {
  TempDir dir;
  const std::string path = dir.Path("looped.tif");
  ASSERT_TRUE(std::filesystem::copy_file(std::string(QV_SOURCE_DIR) + "/foundation/imaging/tests/data/faults/looped-chain-after-failed-relink.tif", path));
  const std::vector<BYTE> original = ReadAll(path);
  for (WORD position : { WORD(0), WORD(1), WORD(0xFFFF) }) {
    EXPECT_FALSE(InsertPage(path, { "", position, 1, 0xFFFFFFFF })) << position;
    EXPECT_EQ(ReadAll(path), original) << position;
  }
}

// Patching a stored image's record in place: a write that fails puts back what was written, and
// a value whose place lies beyond the file's end is refused before anything is written.
TEST(CQVTiffFailureTest, ATagPatchCompletesOrLeavesTheFileAsItWas) {
  TempDir dir;
  const std::string path = dir.Path("image.tif");
  const std::u16string wide = Wide(path);
  CQVBitmapHandle bitmap;
  ASSERT_TRUE(HandleOf(Pattern(64, 48), 1, bitmap));
  QVBDEIMAGEINFO info;
  info.compression = 4;
  ASSERT_TRUE(CQVBDEImageFormat::CreateImage(wide.c_str(), bitmap, info));
  const std::vector<BYTE> original = ReadAll(path);
  info.reserved0 = 77;
  EXPECT_EQ(FailUntilDone(path, original, false, [&] { return CQVBDEImageFormat::UpdateImageInfo(wide.c_str(), info); }), 2);
  QVBDEIMAGEINFO read;
  ASSERT_TRUE(CQVBDEImageFormat::LoadImageInfo(wide.c_str(), read, FALSE));
  EXPECT_EQ(read.reserved0, 77);

  // The record's entry made to point 100 bytes before the file's end: the count is not written.
  std::vector<BYTE> damaged = original;
  DWORD ifd = 0;
  std::memcpy(&ifd, damaged.data() + 4, 4);
  WORD count = 0;
  std::memcpy(&count, damaged.data() + ifd, 2);
  bool found = false;
  for (WORD i = 0; i < count; ++i) {
    BYTE* entry = damaged.data() + ifd + 2 + 12 * i;
    if (entry[0] + (entry[1] << 8) != 65501) continue;
    const DWORD at = static_cast<DWORD>(damaged.size() - 100);
    std::memcpy(entry + 8, &at, 4);
    found = true;
  }
  ASSERT_TRUE(found);
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(damaged.data()), static_cast<std::streamsize>(damaged.size()));
  }
  CQVTiffFile tiff;
  tiff.SetFileForOperation(CString::FromUtf8(path));
  std::vector<BYTE> value(CQVBDEImageFormat::kTagValueSize, 1);
  EXPECT_FALSE(tiff.UpdateTagValueInPlace(0, 65501, 1, CQVBDEImageFormat::kTagValueSize, value.data()));
  EXPECT_EQ(ReadAll(path), damaged);
}

// Stored images are replaced whole: an update that runs out of room at any point keeps the image
// that was there and leaves no other file; the file's permissions are kept, a read-only image is
// not replaced nor edited in place, a name of 250 characters is no obstacle, and what a killed writer left is removed.
TEST(CQVTiffFailureTest, StoredImagesAreReplacedWhole) {
  TestFolder folder;
  const std::string path = folder.Native("image.tif");
  const CString wide = folder.Wide("image.tif");
  CQVBitmapHandle first, second;
  ASSERT_TRUE(HandleOf(Pattern(64, 48), 24, first));
  ASSERT_TRUE(HandleOf(Pattern(200, 150), 24, second));
  QVBDEIMAGEINFO info;
  info.compression = 3;
  ASSERT_TRUE(CQVBDEImageFormat::CreateImage(wide.GetString(), first, info));
  ::chmod(path.c_str(), 0600);
  const std::vector<BYTE> original = ReadAll(path);
  folder.Write(".image.tif.0000BEEF.tmp", "left by a killed writer");
  int failures = 0;
  for (rlim_t room = 0;; room += 997) {
    BOOL ok = FALSE;
    {
      FileSizeLimit limit(room);
      ok = CQVBDEImageFormat::UpdateImage(wide.GetString(), second);
    }
    if (ok) break;
    ++failures;
    ASSERT_EQ(ReadAll(path), original) << room;
    ASSERT_EQ(folder.Names(), std::set<std::string>({ "image.tif" })) << room;
  }
  EXPECT_GT(failures, 3);
  int width = 0, height = 0, bits = 0;
  ASSERT_TRUE(CQVBDEImageFormat::LoadImageInfo(wide.GetString(), width, height, bits));
  EXPECT_EQ(width, 200);
  struct stat st {};
  ::stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  const std::vector<BYTE> updated = ReadAll(path);
  ::chmod(path.c_str(), 0444);
  EXPECT_FALSE(CQVBDEImageFormat::UpdateImage(wide.GetString(), first));
  EXPECT_FALSE(CQVBDEImageFormat::CreateImage(wide.GetString(), first));
  QVBDEIMAGEINFO record;
  EXPECT_FALSE(CQVBDEImageFormat::UpdateImageInfo(wide.GetString(), record));
  CQVTiffFile tiff;
  tiff.SetFileForOperation(wide);
  EXPECT_FALSE(tiff.EncodeTif(0, first, nullptr, nullptr, 0xFFFFFFFF));
  EXPECT_EQ(ReadAll(path), updated);

  const std::string longName = std::string(246, 'n') + ".tif";
  EXPECT_TRUE(CQVBDEImageFormat::CreateImage(folder.Wide(longName).GetString(), first));
  EXPECT_EQ(folder.Names(), std::set<std::string>({ "image.tif", longName }));
}
