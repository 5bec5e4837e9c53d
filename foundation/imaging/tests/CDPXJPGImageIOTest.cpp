#include "foundation/imaging/CDPXJPGImageIO.h"

#include "foundation/imaging/CQVJpgDataParser.h"
#include "foundation/imaging/JpegQuantTables.h"
#include "foundation/imaging/tests/ImagingSupport.h"
#include "foundation/util/CDPXBuffer.h"
#include "foundation/util/CDPXFile.h"
#include "platform/core/globalmem.h"

#include <gtest/gtest.h>

#include <cstring>
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
using imaging::test::WritePnm;

namespace {

// A JPEG that cjpeg makes from the picture with the given options.
std::string MakeJpeg(const TempDir& dir, const Picture& picture, const std::string& options, const std::string& name) {
  const std::string source = dir.Path(name + ".ppm");
  const std::string target = dir.Path(name + ".jpg");
  if (!WritePnm(source, picture) || !Shell("cjpeg " + options + " -outfile " + Quote(target) + " " + Quote(source))) return {};
  return target;
}

// What djpeg makes of a JPEG, reduced by 1/denominator.
Picture Reference(const TempDir& dir, const std::string& jpeg, int denominator) {
  const std::string out = dir.Path("reference.pnm");
  Picture picture;
  if (!Shell("djpeg -pnm -scale 1/" + std::to_string(denominator) + " -outfile " + Quote(out) + " " + Quote(jpeg)) ||
      !ReadPnm(out, picture)) {
    return {};
  }
  return picture;
}

Picture Decode(const std::string& path, int denominator, BOOL* result = nullptr) {
  CDPXJPGImageIO codec;
  codec.SetScaleDenom(denominator);
  HGLOBAL dib = nullptr;
  const BOOL read = codec.Read(Wide(path).c_str(), &dib);
  if (result) *result = read;
  const Picture picture = dib ? PictureOfDIB(dib) : Picture();
  if (dib) GlobalFree(dib);
  return picture;
}

// A picture whose top half is red and bottom half blue.
Picture RedOverBlue(int width, int height) {
  Picture p(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      BYTE* px = p.At(x, y);
      px[0] = y < height / 2 ? 230 : 10;
      px[2] = y < height / 2 ? 10 : 230;
    }
  return p;
}

// Switches the custom tables on for one test and off again at its end.
struct CustomTables {
  CustomTables(const UINT* chroma, const UINT* luma) { TIFFSetJpegQuantTables(TRUE, chroma, luma); }
  ~CustomTables() { TIFFSetJpegQuantTables(FALSE, nullptr, nullptr); }
};

}  // namespace

TEST(JPGImageIO, DecodesWhatCjpegMakesAsDjpegDoes) {
  TempDir dir;
  const Picture picture = Pattern(97, 61);
  const struct {
    const char* options;
    int bits;
  } cases[] = {
      {"", 24},
      {"-optimize", 24},
      {"-restart 1", 24},
      {"-progressive", 24},
      {"-optimize -restart 1 -progressive", 24},
      {"-grayscale", 8},
      {"-grayscale -optimize -progressive", 8},
      {"-grayscale -restart 1", 8},
  };
  for (const auto& c : cases) {
    const std::string jpeg = MakeJpeg(dir, picture, c.options, "variant");
    ASSERT_FALSE(jpeg.empty()) << c.options;
    CDPXJPGImageIO codec;
    int width = 0, height = 0, bits = 0;
    ASSERT_TRUE(codec.ReadInfo(Wide(jpeg).c_str(), width, height, bits)) << c.options;
    EXPECT_EQ(width, 97);
    EXPECT_EQ(height, 61);
    EXPECT_EQ(bits, c.bits) << c.options;
    BOOL read = FALSE;
    const Picture decoded = Decode(jpeg, 1, &read);
    ASSERT_TRUE(read) << c.options;
    EXPECT_EQ(MaxDifference(decoded, Reference(dir, jpeg, 1)), 0) << c.options;
  }
}

TEST(JPGImageIO, ScaledDecodingMatchesDjpeg) {
  TempDir dir;
  for (const char* options : {"", "-grayscale -progressive"}) {
    const std::string jpeg = MakeJpeg(dir, Pattern(203, 157), options, "scaled");
    ASSERT_FALSE(jpeg.empty());
    const struct {
      int denominator, asked, width, height;
    } cases[] = {{1, 1, 203, 157}, {2, 2, 102, 79}, {4, 4, 51, 40}, {8, 8, 26, 20}, {1, 3, 203, 157}, {1, 0, 203, 157}};
    for (const auto& c : cases) {
      BOOL read = FALSE;
      const Picture decoded = Decode(jpeg, c.asked, &read);
      ASSERT_TRUE(read) << "1/" << c.asked;
      EXPECT_EQ(decoded.width, c.width) << "1/" << c.asked;
      EXPECT_EQ(decoded.height, c.height) << "1/" << c.asked;
      EXPECT_EQ(MaxDifference(decoded, Reference(dir, jpeg, c.denominator)), 0) << options << " 1/" << c.asked;
    }
    CDPXJPGImageIO codec;
    codec.SetScaleDenom(8);
    int width = 0, height = 0, bits = 0;
    ASSERT_TRUE(codec.ReadInfo(Wide(jpeg).c_str(), width, height, bits));
    EXPECT_EQ(width, 203) << "the header tells the full size";
  }
}

// Learning the size of a progressive JPEG reads its header, not the whole image.
TEST(JPGImageIO, ReadInfoStopsAfterTheHeader) {
  TempDir dir;
  Picture noise(400, 300);
  noise.rgb = Noise(noise.rgb.size(), 3);
  const std::string jpeg = MakeJpeg(dir, noise, "-progressive", "big");
  ASSERT_GT(ReadAll(jpeg).size(), 64000u);
  CDPXFile file;
  ASSERT_TRUE(file.Open(Wide(jpeg).c_str(), CFile::modeRead));
  CDPXJPGImageIO codec;
  int width = 0, height = 0, bits = 0;
  ASSERT_TRUE(codec.ReadInfo(&file, 0, width, height, bits));
  EXPECT_EQ(width, 400);
  EXPECT_EQ(height, 300);
  EXPECT_LE(file.GetPosition(), 8192u);
}

TEST(JPGImageIO, AStreamCutShortDecodesAsFarAsItGoes) {
  TempDir dir;
  const std::string jpeg = MakeJpeg(dir, Pattern(160, 240), "", "whole");
  const Picture whole = Decode(jpeg, 1);
  std::vector<BYTE> bytes = ReadAll(jpeg);
  bytes.resize(bytes.size() / 2);
  const std::string cut = dir.Path("cut.jpg");
  WriteFile(cut, bytes);

  BOOL read = FALSE;
  const Picture decoded = Decode(cut, 1, &read);
  ASSERT_TRUE(read) << "a warning does not stop decoding";
  ASSERT_EQ(decoded.width, 160);
  ASSERT_EQ(decoded.height, 240);
  // The first rows came before the cut and are as in the whole stream.
  int most = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 160; ++x)
      for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(decoded.At(x, y)[c] - whole.At(x, y)[c]));
  EXPECT_EQ(most, 0);

  // A length given to the read cuts the same stream short, and the reader stays inside it.
  CDPXFile file;
  ASSERT_TRUE(file.Open(Wide(jpeg).c_str(), CFile::modeRead));
  CDPXJPGImageIO codec;
  HGLOBAL dib = nullptr;
  ASSERT_TRUE(codec.Read(&file, DWORD(bytes.size()), &dib));
  EXPECT_LE(file.GetPosition(), bytes.size());
  EXPECT_EQ(MaxDifference(PictureOfDIB(dib), decoded), 0);
  GlobalFree(dib);
}

TEST(JPGImageIO, EmptyInputAndFourComponentFramesFail) {
  TempDir dir;
  const std::string empty = dir.Path("empty.jpg");
  WriteFile(empty, {});
  const std::string source = dir.Path("cmyk.ppm");
  ASSERT_TRUE(WritePnm(source, Pattern(40, 30)));
  const std::string cmyk = dir.Path("cmyk.jpg");
  ASSERT_TRUE(Shell("convert " + Quote(source) + " -colorspace CMYK " + Quote(cmyk)));
  const std::string notJpeg = dir.Path("not.jpg");
  WriteFile(notJpeg, std::vector<BYTE>(5000, 0x41));

  for (const std::string& path : {empty, cmyk, notJpeg}) {
    CDPXJPGImageIO codec;
    int width = -1, height = -1, bits = -1;
    EXPECT_FALSE(codec.ReadInfo(Wide(path).c_str(), width, height, bits)) << path;
    EXPECT_EQ(width, -1);
    HGLOBAL dib = reinterpret_cast<HGLOBAL>(1);
    EXPECT_FALSE(codec.Read(Wide(path).c_str(), &dib)) << path;
    EXPECT_EQ(dib, nullptr);
  }
  CDPXJPGImageIO codec;
  CDPXGMemBuffer nothing;
  HGLOBAL dib = nullptr;
  EXPECT_FALSE(codec.ReadMemory(nothing, &dib));
}

TEST(JPGImageIO, EncodingKeepsTheTopRowOnTop) {
  TempDir dir;
  const Picture picture = RedOverBlue(48, 32);
  const struct {
    int bits;
    bool topDown;
  } cases[] = {{24, false}, {24, true}, {8, false}, {8, true}};
  for (const auto& c : cases) {
    const std::string path = dir.Path("rows.jpg");
    HGLOBAL dib = MakeDIB(picture, c.bits, c.topDown);
    CDPXJPGImageIO codec;
    ASSERT_TRUE(codec.Write(Wide(path).c_str(), dib));
    const Picture expected = PictureOfDIB(dib);
    GlobalFree(dib);
    const Picture shown = Reference(dir, path, 1);
    ASSERT_EQ(shown.width, 48);
    EXPECT_LE(imaging::test::MeanDifference(shown, expected), 3.0) << c.bits << (c.topDown ? " top-down" : " bottom-up");
    EXPECT_LE(MaxDifference(Decode(path, 1), shown), 0) << "our decoder agrees with djpeg";
  }
}

TEST(JPGImageIO, EncodingWritesTheResolutionOfTheDIB) {
  TempDir dir;
  std::vector<BYTE> bytes = BytesOf(MakeDIB(Pattern(16, 16), 24));
  const DWORD pelsX = 11811, pelsY = 7874;  // 300 x 200 dpi
  std::memcpy(&bytes[24], &pelsX, 4);
  std::memcpy(&bytes[28], &pelsY, 4);
  HGLOBAL dib = BlockOf(bytes);
  const std::string path = dir.Path("dpi.jpg");
  CDPXJPGImageIO codec;
  ASSERT_TRUE(codec.Write(Wide(path).c_str(), dib));
  GlobalFree(dib);
  const std::vector<BYTE> jpeg = ReadAll(path);
  ASSERT_GT(jpeg.size(), 18u);
  ASSERT_EQ(std::string(jpeg.begin() + 6, jpeg.begin() + 10), "JFIF");
  EXPECT_EQ(jpeg[13], 1) << "dots per inch";
  EXPECT_EQ((jpeg[14] << 8) | jpeg[15], 300);
  EXPECT_EQ((jpeg[16] << 8) | jpeg[17], 200);
}

TEST(JPGImageIO, EncodingRefusesOtherDepthsAndBrokenDIBs) {
  TempDir dir;
  HGLOBAL dib = MakeDIB(Pattern(8, 8), 1);
  CDPXJPGImageIO codec;
  EXPECT_FALSE(codec.Write(Wide(dir.Path("one.jpg")).c_str(), dib));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("one.jpg")));
  GlobalFree(dib);
  CDPXGMemBuffer buffer;
  EXPECT_FALSE(codec.WriteMemory(buffer, nullptr));
  EXPECT_EQ(buffer.GetSize(), 0u);
}

TEST(JPGImageIO, WriteMemoryFitsTheBufferToTheStream) {
  Picture noise(100, 100);
  noise.rgb = Noise(noise.rgb.size(), 7);
  HGLOBAL dib = MakeDIB(noise, 8);
  CDPXJPGImageIO codec;
  CDPXGMemBuffer buffer;
  ASSERT_TRUE(codec.WriteMemory(buffer, dib));
  ASSERT_GT(buffer.GetSize(), 0u);
  const BYTE* bytes = buffer.Lock();
  EXPECT_EQ(bytes[buffer.GetSize() - 2], 0xFF);
  EXPECT_EQ(bytes[buffer.GetSize() - 1], 0xD9) << "the stream ends with the buffer";
  int width = 0, height = 0, bits = 0;
  ASSERT_TRUE(codec.ReadInfoMemory(buffer, width, height, bits));
  EXPECT_EQ(width, 100);
  EXPECT_EQ(bits, 8);
  HGLOBAL decoded = nullptr;
  ASSERT_TRUE(codec.ReadMemory(buffer, &decoded));
  EXPECT_EQ(PictureOfDIB(decoded).height, 100);
  GlobalFree(decoded);

  // With every table entry 1 the JPEG of noise outgrows max(DIB size, 10000) bytes.
  UINT ones[64];
  std::fill_n(ones, 64, 1u);
  CustomTables tables(ones, ones);
  EXPECT_FALSE(codec.WriteMemory(buffer, dib));
  EXPECT_EQ(buffer.GetSize(), 0u);
  EXPECT_EQ(buffer.Lock(), nullptr);
  GlobalFree(dib);
}

TEST(JPGImageIO, CustomTablesAreCodedAsTheyStand) {
  TempDir dir;
  UINT chroma[64], luma[64];
  for (UINT i = 0; i < 64; ++i) {
    luma[i] = i + 1;
    chroma[i] = i < 32 ? 300 : 64 - i;  // above the baseline limit: clamped to 255
  }
  const std::string path = dir.Path("tables.jpg");
  {
    CustomTables tables(chroma, luma);
    HGLOBAL dib = MakeDIB(Pattern(32, 32), 24);
    CDPXJPGImageIO codec;
    ASSERT_TRUE(codec.Write(Wide(path).c_str(), dib));
    GlobalFree(dib);
  }
  std::vector<BYTE> jpeg = ReadAll(path);
  CQVJpgDataParser parser;
  parser.SetJpgDataPointer(jpeg.data(), DWORD(jpeg.size()));
  UINT stored[64];
  ASSERT_TRUE(parser.GetQtTable(stored, 0, TRUE));
  EXPECT_TRUE(std::equal(stored, stored + 64, luma));
  ASSERT_TRUE(parser.GetQtTable(stored, 1, TRUE));
  for (int i = 0; i < 64; ++i) EXPECT_EQ(stored[i], std::min<UINT>(chroma[i], 255)) << i;

  // Switched off, the quality's standard tables come back.
  HGLOBAL dib = MakeDIB(Pattern(32, 32), 24);
  CDPXJPGImageIO codec;
  ASSERT_TRUE(codec.Write(Wide(path).c_str(), dib));
  GlobalFree(dib);
  jpeg = ReadAll(path);
  parser.SetJpgDataPointer(jpeg.data(), DWORD(jpeg.size()));
  ASSERT_TRUE(parser.GetQtTable(stored, 0, TRUE));
  EXPECT_EQ(stored[0], 8u) << "libjpeg's luminance table at quality 75";
}

TEST(JPGImageIO, StreamsMoveNoMoreThanTheirLimit) {
  BYTE memory[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  BYTE out[16] {};
  __CIJGIOStream stream;
  EXPECT_EQ(stream.Read(out, 4), 0u) << "a stream not opened";
  ASSERT_TRUE(stream.OpenMemory(6, memory));
  EXPECT_EQ(stream.Read(out, 4), 4u);
  EXPECT_EQ(stream.Read(nullptr, 4), 0u);
  EXPECT_EQ(stream.Read(out + 4, 4), 2u);
  EXPECT_EQ(stream.Read(out, 4), 0u);
  EXPECT_EQ(stream.GetPosition(), 6);
  EXPECT_EQ(out[5], 5);
  ASSERT_TRUE(stream.OpenMemory(3, memory));
  const BYTE in[5] = {9, 9, 9, 9, 9};
  EXPECT_EQ(stream.Write(in, 5), 3u);
  EXPECT_EQ(memory[2], 9);
  EXPECT_EQ(memory[3], 3);
  EXPECT_FALSE(stream.OpenMemory(0, memory));
  EXPECT_EQ(stream.Read(out, 1), 0u);
  EXPECT_FALSE(stream.OpenMemory(5, nullptr));
  CDPXFile closed;
  EXPECT_FALSE(stream.OpenFile(100, &closed));
  EXPECT_FALSE(stream.OpenFile(100, nullptr));
}
