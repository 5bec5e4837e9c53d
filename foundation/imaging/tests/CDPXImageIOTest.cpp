#include "foundation/imaging/CDPXBMPImageIO.h"
#include "foundation/imaging/CDPXDIBHandle.h"
#include "foundation/imaging/CDPXJPGImageIO.h"

#include "foundation/imaging/tests/ImagingSupport.h"
#include "foundation/util/CDPXFile.h"
#include "platform/core/globalmem.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace imagingtest;
using imaging::test::MaxDifference;
using imaging::test::Pattern;
using imaging::test::Picture;
using imaging::test::Quote;
using imaging::test::ReadAll;
using imaging::test::ReadPnm;
using imaging::test::Shell;
using imaging::test::TempDir;
using imaging::test::Wide;

namespace {

DWORD Get32(const std::vector<BYTE>& b, size_t at) {
  return DWORD(b[at]) | (DWORD(b[at + 1]) << 8) | (DWORD(b[at + 2]) << 16) | (DWORD(b[at + 3]) << 24);
}
void Put32(std::vector<BYTE>& b, size_t at, DWORD v) {
  for (int i = 0; i < 4; ++i) b[at + i] = BYTE(v >> (8 * i));
}

// A picture with no two neighbouring pixels alike, so that a flip or a shift shows.
Picture Distinct(int width, int height) {
  Picture p(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      BYTE* px = p.At(x, y);
      px[0] = BYTE(x * 37 + y * 11);
      px[1] = BYTE(y * 53 + 7);
      px[2] = BYTE(x * 5 + y * 97);
    }
  return p;
}

// The picture as the DIB of that depth keeps it.
Picture AsStored(const Picture& picture, int bits) {
  HGLOBAL dib = MakeDIB(picture, bits);
  Picture stored = PictureOfDIB(dib);
  GlobalFree(dib);
  return stored;
}

// Opens a file for reading with CDPXFile.
struct Reader {
  explicit Reader(const std::string& path) { ok = file.Open(Wide(path).c_str(), CFile::modeRead | CFile::shareDenyNone); }
  CDPXFile file;
  BOOL ok { FALSE };
};

}  // namespace

TEST(ImageIO, LengthPrefixedDIBRoundTripsThroughAFile) {
  TempDir dir;
  const std::string path = dir.Path("image.dib");
  for (bool topDown : {false, true}) {
    const Picture picture = Distinct(13, 6);
    HGLOBAL dib = MakeDIB(picture, 24, topDown);
    const SIZE_T size = GlobalSize(dib);
    CDPXImageIO io;
    ASSERT_TRUE(io.Write(Wide(path).c_str(), dib));
    EXPECT_TRUE(GlobalSize(dib) == size) << "the DIB stays the caller's";
    GlobalFree(dib);

    const std::vector<BYTE> bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 4 + size);
    EXPECT_EQ(Get32(bytes, 0), size);

    int width = 0, height = 0, bits = 0;
    ASSERT_TRUE(io.ReadInfo(Wide(path).c_str(), width, height, bits));
    EXPECT_EQ(width, 13);
    EXPECT_EQ(height, topDown ? -6 : 6) << "the height as stored";
    EXPECT_EQ(bits, 24);

    HGLOBAL read = nullptr;
    ASSERT_TRUE(io.Read(Wide(path).c_str(), &read));
    EXPECT_EQ(MaxDifference(PictureOfDIB(read), picture), 0);
    GlobalFree(read);
  }
}

TEST(ImageIO, WriteToAFileCountsTheBytes) {
  TempDir dir;
  const std::string path = dir.Path("two.bin");
  HGLOBAL dib = MakeDIB(Pattern(5, 5), 8);
  CDPXFile file;
  ASSERT_TRUE(file.Create(Wide(path).c_str(), CFile::modeReadWrite));
  CDPXImageIO prefixed;
  CDPXBMPImageIO bmp;
  DWORD first = 0, second = 0;
  ASSERT_TRUE(prefixed.Write(&file, first, dib));
  ASSERT_TRUE(bmp.Write(&file, second, dib));
  file.Close();
  EXPECT_EQ(first, 4 + GlobalSize(dib));
  EXPECT_EQ(second, 14 + GlobalSize(dib));
  EXPECT_EQ(ReadAll(path).size(), size_t(first) + second);
  GlobalFree(dib);
  DWORD written = 7;
  EXPECT_FALSE(prefixed.Write(&file, written, nullptr));
  EXPECT_EQ(written, 0u);
}

TEST(BMPImageIO, WritesTheFileHeaderForEachDepth) {
  TempDir dir;
  const struct {
    int bits;
    DWORD offBits;
  } cases[] = {{1, 62}, {8, 1078}, {24, 54}};
  for (const auto& c : cases) {
    const std::string path = dir.Path("out" + std::to_string(c.bits) + ".bmp");
    HGLOBAL dib = MakeDIB(Pattern(21, 9), c.bits);
    CDPXBMPImageIO io;
    ASSERT_TRUE(io.Write(Wide(path).c_str(), dib));
    const std::vector<BYTE> bytes = ReadAll(path);
    const std::vector<BYTE> block = BytesOf(dib);
    GlobalFree(dib);
    ASSERT_EQ(bytes.size(), 14 + block.size());
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Get32(bytes, 2), 14 + block.size());
    EXPECT_EQ(Get32(bytes, 6), 0u);
    EXPECT_EQ(Get32(bytes, 10), c.offBits) << c.bits << " bits";
    EXPECT_TRUE(std::equal(block.begin(), block.end(), bytes.begin() + 14));
  }
}

TEST(BMPImageIO, SavedFilesShowTheSamePixelsInImageMagick) {
  TempDir dir;
  for (int bits : {1, 8, 24}) {
    for (bool topDown : {false, true}) {
      const std::string name = "saved" + std::to_string(bits) + (topDown ? "td" : "bu");
      const std::string path = dir.Path(name + ".bmp");
      const Picture picture = bits == 24 ? Distinct(37, 19) : Pattern(37, 19);
      HGLOBAL dib = MakeDIB(picture, bits, topDown);
      CDPXBMPImageIO io;
      ASSERT_TRUE(io.Write(Wide(path).c_str(), dib));
      GlobalFree(dib);
      const std::string ppm = dir.Path(name + ".ppm");
      ASSERT_TRUE(Shell("convert " + Quote(path) + " -depth 8 ppm:" + Quote(ppm))) << name;
      Picture shown;
      ASSERT_TRUE(ReadPnm(ppm, shown)) << name;
      EXPECT_EQ(MaxDifference(shown, AsStored(picture, bits)), 0) << name;
    }
  }
}

TEST(BMPImageIO, ReadsWhatImageMagickWritesWithinTheSystemsForms) {
  TempDir dir;
  const Picture picture = Distinct(23, 11);
  const std::string source = dir.Path("source.ppm");
  ASSERT_TRUE(imaging::test::WritePnm(source, picture));
  const struct {
    const char* options;
    bool readable;
  } cases[] = {
      {"BMP3:", true},                 // 24 bits, 40-byte header
      {"-monochrome BMP3:", false},    // counts its two colours as important
      {"BMP:", false},                 // a 108- or 124-byte header
  };
  for (const auto& c : cases) {
    const std::string path = dir.Path("im.bmp");
    ASSERT_TRUE(Shell("convert " + Quote(source) + " " + c.options + Quote(path))) << c.options;
    CDPXBMPImageIO io;
    HGLOBAL dib = nullptr;
    EXPECT_EQ(io.Read(Wide(path).c_str(), &dib) != FALSE, c.readable) << c.options;
    EXPECT_EQ(dib == nullptr ? -1 : MaxDifference(PictureOfDIB(dib), picture), c.readable ? 0 : -1) << c.options;
    if (dib) GlobalFree(dib);
  }
}

TEST(BMPImageIO, ReadInfoReportsRowsWhicheverWayTheyLie) {
  TempDir dir;
  const std::string path = dir.Path("td.bmp");
  HGLOBAL dib = MakeDIB(Pattern(10, 4), 8, true);
  CDPXBMPImageIO bmp;
  ASSERT_TRUE(bmp.Write(Wide(path).c_str(), dib));
  GlobalFree(dib);
  int width = 0, height = 0, bits = 0;
  ASSERT_TRUE(bmp.ReadInfo(Wide(path).c_str(), width, height, bits));
  EXPECT_EQ(width, 10);
  EXPECT_EQ(height, 4);
  EXPECT_EQ(bits, 8);

  Reader reader(path);
  ASSERT_TRUE(reader.ok);
  EXPECT_FALSE(bmp.ReadInfo(&reader.file, 53, width, height, bits)) << "a length below 54";
  reader.file.SeekToBegin();
  EXPECT_TRUE(bmp.ReadInfo(&reader.file, 54, width, height, bits));
}

// Damaged files of every kind are refused without a crash and without allocating what their
// counts claim.
TEST(BMPImageIO, DamagedHeadersAreRefused) {
  TempDir dir;
  HGLOBAL dib = MakeDIB(Pattern(16, 8), 8);
  const std::vector<BYTE> dibBytes = BytesOf(dib);
  GlobalFree(dib);
  std::vector<BYTE> good(14, 0);
  good[0] = 'B';
  good[1] = 'M';
  Put32(good, 2, DWORD(14 + dibBytes.size()));
  Put32(good, 10, 14 + 40 + 1024);
  good.insert(good.end(), dibBytes.begin(), dibBytes.end());

  const struct {
    const char* what;
    void (*damage)(std::vector<BYTE>&);
  } cases[] = {
      {"empty file", [](std::vector<BYTE>& b) { b.clear(); }},
      {"file header only", [](std::vector<BYTE>& b) { b.resize(14); }},
      {"wrong signature", [](std::vector<BYTE>& b) { b[1] = 'A'; }},
      {"file size 0", [](std::vector<BYTE>& b) { Put32(b, 2, 0); }},
      {"file size 14", [](std::vector<BYTE>& b) { Put32(b, 2, 14); }},
      {"file size near 4 GB", [](std::vector<BYTE>& b) { Put32(b, 2, 0xFFFFFFF0u); }},
      {"file size beyond the file", [](std::vector<BYTE>& b) { Put32(b, 2, DWORD(b.size() + 1)); }},
      {"cut in the rows", [](std::vector<BYTE>& b) { b.resize(b.size() - 20); }},
      {"file size short of the rows", [](std::vector<BYTE>& b) { Put32(b, 2, DWORD(b.size() - 1)); }},
      {"huge width", [](std::vector<BYTE>& b) { Put32(b, 18, 0x7FFFFFFF); }},
      {"huge height", [](std::vector<BYTE>& b) { Put32(b, 22, 0x7FFFFFFF); }},
      {"smallest height", [](std::vector<BYTE>& b) { Put32(b, 22, 0x80000000u); }},
      {"16 bits", [](std::vector<BYTE>& b) { b[28] = 16; }},
      {"header size 124", [](std::vector<BYTE>& b) { Put32(b, 14, 124); }},
      {"16 colours used", [](std::vector<BYTE>& b) { Put32(b, 46, 16); }},
  };
  for (const auto& c : cases) {
    std::vector<BYTE> bytes = good;
    c.damage(bytes);
    const std::string path = dir.Path("damaged.bmp");
    WriteFile(path, bytes);
    CDPXBMPImageIO io;
    HGLOBAL read = reinterpret_cast<HGLOBAL>(1);
    EXPECT_FALSE(io.Read(Wide(path).c_str(), &read)) << c.what;
    EXPECT_EQ(read, nullptr) << c.what;
    Reader reader(path);
    HGLOBAL any = ReadAnyDIB(&reader.file);
    EXPECT_EQ(any, nullptr) << c.what;
    if (any) GlobalFree(any);
  }
  // The good file itself reads, also within a length that holds it exactly, not within one less.
  const std::string path = dir.Path("good.bmp");
  WriteFile(path, good);
  Reader reader(path);
  CDPXBMPImageIO io;
  HGLOBAL read = nullptr;
  EXPECT_FALSE(io.Read(&reader.file, DWORD(good.size() - 1), &read));
  reader.file.SeekToBegin();
  ASSERT_TRUE(io.Read(&reader.file, DWORD(good.size()), &read));
  GlobalFree(read);
}

TEST(ImageIO, DamagedLengthPrefixesAreRefused) {
  TempDir dir;
  HGLOBAL dib = MakeDIB(Pattern(8, 8), 24);
  std::vector<BYTE> good(4, 0);
  const std::vector<BYTE> dibBytes = BytesOf(dib);
  GlobalFree(dib);
  Put32(good, 0, DWORD(dibBytes.size()));
  good.insert(good.end(), dibBytes.begin(), dibBytes.end());
  // Only the header matters to ReadInfo, so some damage leaves it readable.
  const struct {
    const char* what;
    void (*damage)(std::vector<BYTE>&);
    bool infoReadable;
  } cases[] = {
      {"count 0", [](std::vector<BYTE>& b) { Put32(b, 0, 0); }, false},
      {"count of a header alone", [](std::vector<BYTE>& b) { Put32(b, 0, 40); }, false},
      {"count near 4 GB", [](std::vector<BYTE>& b) { Put32(b, 0, 0xFFFFFFFFu); }, true},
      {"count one beyond the file", [](std::vector<BYTE>& b) { Put32(b, 0, DWORD(b.size() - 3)); }, true},
      {"count short of the rows", [](std::vector<BYTE>& b) { Put32(b, 0, DWORD(b.size() - 5)); }, true},
      {"cut in the count", [](std::vector<BYTE>& b) { b.resize(3); }, false},
      {"bad header", [](std::vector<BYTE>& b) { b[4 + 14] = 32; }, false},
  };
  for (const auto& c : cases) {
    std::vector<BYTE> bytes = good;
    c.damage(bytes);
    const std::string path = dir.Path("damaged.dib");
    WriteFile(path, bytes);
    CDPXImageIO io;
    HGLOBAL read = nullptr;
    EXPECT_FALSE(io.Read(Wide(path).c_str(), &read)) << c.what;
    EXPECT_EQ(read, nullptr);
    int width = 0, height = 0, bits = 0;
    EXPECT_EQ(io.ReadInfo(Wide(path).c_str(), width, height, bits) != FALSE, c.infoReadable) << c.what;
  }
  const std::string path = dir.Path("good.dib");
  WriteFile(path, good);
  Reader reader(path);
  CDPXImageIO io;
  int width = 0, height = 0, bits = 0;
  EXPECT_FALSE(io.ReadInfo(&reader.file, 43, width, height, bits)) << "a length below 44";
  HGLOBAL read = nullptr;
  reader.file.SeekToBegin();
  EXPECT_FALSE(io.Read(&reader.file, DWORD(good.size() - 1), &read)) << "a length short of the DIB";
}

TEST(ReadAnyDIB, FindsEachFormAndStopsJustAfterIt) {
  TempDir dir;
  const std::string path = dir.Path("stream.bin");
  const Picture picture = Distinct(12, 7);
  HGLOBAL dib = MakeDIB(picture, 24);
  {
    CDPXFile file;
    ASSERT_TRUE(file.Create(Wide(path).c_str(), CFile::modeReadWrite));
    DWORD written = 0;
    CDPXImageIO prefixed;
    CDPXBMPImageIO bmp;
    CDPXJPGImageIO jpeg;
    ASSERT_TRUE(prefixed.Write(&file, written, dib));
    ASSERT_TRUE(bmp.Write(&file, written, dib));
    ASSERT_TRUE(jpeg.Write(&file, written, dib));
    ASSERT_TRUE(prefixed.Write(&file, written, dib));
    const BYTE trailer[] = {1, 2, 3};
    file.Write(trailer, 3);
    file.Close();
  }
  GlobalFree(dib);
  const SIZE_T dibSize = BytesOf(MakeDIB(picture, 24)).size();
  Reader reader(path);
  ASSERT_TRUE(reader.ok);

  HGLOBAL first = ReadAnyDIB(&reader.file);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(MaxDifference(PictureOfDIB(first), picture), 0);
  EXPECT_EQ(reader.file.GetPosition(), 4 + dibSize);
  GlobalFree(first);

  HGLOBAL second = ReadAnyDIB(&reader.file);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(MaxDifference(PictureOfDIB(second), picture), 0);
  EXPECT_EQ(reader.file.GetPosition(), 4 + 14 + 2 * dibSize);
  GlobalFree(second);

  HGLOBAL third = ReadAnyDIB(&reader.file);
  ASSERT_NE(third, nullptr) << "the JPEG stream";
  const Picture decoded = PictureOfDIB(third);
  EXPECT_EQ(decoded.width, 12);
  EXPECT_EQ(decoded.height, 7);
  GlobalFree(third);

  // The last DIB behind the JPEG (whose reader reads ahead in blocks) is found from its start.
  const std::vector<BYTE> bytes = ReadAll(path);
  const ULONGLONG last = bytes.size() - 3 - 4 - dibSize;
  reader.file.Seek(LONGLONG(last), CFile::begin);
  HGLOBAL fourth = ReadAnyDIB(&reader.file);
  ASSERT_NE(fourth, nullptr);
  EXPECT_EQ(reader.file.GetPosition(), bytes.size() - 3);
  GlobalFree(fourth);

  EXPECT_EQ(ReadAnyDIB(&reader.file), nullptr) << "three stray bytes";
  EXPECT_EQ(ReadAnyDIB(nullptr), nullptr);

  CDPXDIBHandle handle;
  reader.file.SeekToBegin();
  ASSERT_TRUE(handle.Read(&reader.file));
  EXPECT_EQ(handle.GetWidth(), 12);
  EXPECT_EQ(handle.GetHeight(), 7);
}

TEST(ImageIO, AFailedWriteLeavesTheFileThatWasThere) {
  TempDir dir;
  const std::string path = dir.Path("kept.bmp");
  WriteFile(path, {1, 2, 3, 4});
  std::vector<BYTE> bad = BytesOf(MakeDIB(Pattern(4, 4), 8));
  bad[14] = 4;
  HGLOBAL dib = BlockOf(bad);
  CDPXBMPImageIO bmp;
  EXPECT_FALSE(bmp.Write(Wide(path).c_str(), dib));
  EXPECT_EQ(ReadAll(path), (std::vector<BYTE> {1, 2, 3, 4}));
  EXPECT_TRUE(GlobalSize(dib) > 0) << "the DIB stays the caller's";
  GlobalFree(dib);

  const std::string fresh = dir.Path("fresh.bmp");
  EXPECT_FALSE(bmp.Write(Wide(fresh).c_str(), nullptr));
  EXPECT_FALSE(std::filesystem::exists(fresh));
  EXPECT_FALSE(bmp.Write(Wide(dir.Path("no/such/folder/x.bmp")).c_str(), nullptr));
}
