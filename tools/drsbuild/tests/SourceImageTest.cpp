#include "tools/drsbuild/SourceImage.h"

#include "tools/drsbuild/SourceError.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>

using drsbuild::Rgb;
using drsbuild::SourceError;
using drsbuild::SourceImage;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t Get32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// A BMP file made field by field: header size, size, depth, compression, palette, optional masks
// (stored after a 40-byte header, or inside a longer one) and rows as given.
struct BmpSpec {
  std::uint32_t headerSize { 40 };
  std::int32_t width { 2 };
  std::int32_t height { 2 };
  std::uint16_t bits { 24 };
  std::uint32_t compression { 0 };
  std::uint32_t coloursUsed { 0 };
  Bytes palette;       // 4 bytes per entry
  std::vector<std::uint32_t> masks;
  Bytes rows;          // as stored in the file
};

Bytes MakeBmp(const BmpSpec& s) {
  const std::size_t maskBytes = (s.headerSize == 40 ? 4 * s.masks.size() : 0);
  const std::size_t pixelOffset = 14 + s.headerSize + maskBytes + s.palette.size();
  Bytes b(std::max<std::size_t>(pixelOffset, 54), 0);  // a short header still gets the fields written
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(pixelOffset + s.rows.size()));
  Put32(b, 10, static_cast<std::uint32_t>(pixelOffset));
  Put32(b, 14, s.headerSize);
  Put32(b, 18, static_cast<std::uint32_t>(s.width));
  Put32(b, 22, static_cast<std::uint32_t>(s.height));
  Put16(b, 26, 1);
  Put16(b, 28, s.bits);
  Put32(b, 30, s.compression);
  Put32(b, 46, s.coloursUsed);
  for (std::size_t i = 0; i < s.masks.size(); ++i) Put32(b, 14 + 40 + 4 * i, s.masks[i]);
  std::copy(s.palette.begin(), s.palette.end(), b.begin() + 14 + s.headerSize + maskBytes);
  b.insert(b.end(), s.rows.begin(), s.rows.end());
  return b;
}

// The stored form's pixel (x, y from the top) as blue, green, red.
std::array<int, 3> Pixel24(const Bytes& bmp, int x, int y) {
  const int width = static_cast<int>(Get32(bmp, 18)), height = static_cast<int>(Get32(bmp, 22));
  const std::size_t stride = SourceImage::Stride(width, 24);
  const std::size_t at = Get32(bmp, 10) + stride * static_cast<std::size_t>(height - 1 - y) + 3 * static_cast<std::size_t>(x);
  return {bmp[at], bmp[at + 1], bmp[at + 2]};
}

class TempFolder {
public:
  TempFolder() {
    char pattern[] = "/tmp/drsbuild-test-XXXXXX";
    m_path = mkdtemp(pattern);
  }
  ~TempFolder() { std::filesystem::remove_all(m_path); }
  const std::filesystem::path& Path() const { return m_path; }

private:
  std::filesystem::path m_path;
};

}  // namespace

// Every accepted input becomes one of the stored forms with the right pixels, and the stored
// form is a BMP whose sizes add up (the reader takes bfSize - 14 bytes as the packed image).
TEST(SourceImage, BmpInputsBecomeStoredForms) {
  struct Case {
    const char* what;
    BmpSpec spec;
    int storedBits;
    std::array<int, 3> topLeft, bottomRight;  // blue, green, red (24-bit results)
  };
  const Bytes grey2 = {0, 0, 0, 0, 255, 255, 255, 0};
  const Case cases[] = {
      {"24 bits bottom-up", {40, 2, 2, 24, 0, 0, {}, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}}, 24, {7, 8, 9}, {4, 5, 6}},
      {"24 bits top-down", {40, 2, -2, 24, 0, 0, {}, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}}, 24, {1, 2, 3}, {10, 11, 12}},
      {"32 bits, fourth byte ignored", {40, 1, 1, 32, 0, 0, {}, {}, {10, 20, 30, 0}}, 24, {10, 20, 30}, {10, 20, 30}},
      {"16 bits 5-5-5", {40, 1, 1, 16, 0, 0, {}, {}, {0x1F, 0x7C, 0, 0}}, 24, {255, 0, 255}, {255, 0, 255}},
      {"16 bits 5-6-5 masks after the header", {40, 1, 1, 16, 3, 0, {}, {0xF800, 0x07E0, 0x001F}, {0xE0, 0x07, 0, 0}}, 24, {0, 255, 0}, {0, 255, 0}},
      {"32 bits masks in a 124-byte header", {124, 1, 1, 32, 3, 0, {}, {0x000000FF, 0x0000FF00, 0x00FF0000}, {1, 2, 3, 0}}, 24, {3, 2, 1}, {3, 2, 1}},
      {"1 bit keeps its depth", {40, 9, 1, 1, 0, 2, grey2, {}, {0xAA, 0x80, 0, 0}}, 1, {}, {}},
      {"4 bits widen to 8", {40, 3, 1, 4, 0, 2, grey2, {}, {0x10, 0x10, 0, 0}}, 8, {}, {}},
      {"8 bits with a short palette", {40, 2, 1, 8, 0, 2, grey2, {}, {1, 0, 0, 0}}, 8, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes out = SourceImage::FromBmp(MakeBmp(c.spec), "test.bmp").EncodeBmp();
    ASSERT_GE(out.size(), 54u);
    const std::uint32_t paletteBytes = c.storedBits == 1 ? 8 : c.storedBits == 8 ? 1024 : 0;
    const std::size_t rows = SourceImage::Stride(std::abs(c.spec.width), c.storedBits) * std::abs(c.spec.height);
    EXPECT_EQ(out[0], 'B');
    EXPECT_EQ(Get32(out, 2), out.size()) << "bfSize is the whole file";
    EXPECT_EQ(Get32(out, 10), 54 + paletteBytes) << "rows follow the palette";
    EXPECT_EQ(Get32(out, 14), 40u);
    EXPECT_EQ(static_cast<std::int32_t>(Get32(out, 22)), std::abs(c.spec.height)) << "stored bottom-up";
    EXPECT_EQ(out[28], c.storedBits);
    EXPECT_EQ(Get32(out, 30), 0u);
    EXPECT_EQ(Get32(out, 34), rows);
    EXPECT_EQ(Get32(out, 46), 0u);
    EXPECT_EQ(out.size(), 54 + paletteBytes + rows);
    if (c.storedBits == 24) {
      EXPECT_EQ(Pixel24(out, 0, 0), c.topLeft);
      EXPECT_EQ(Pixel24(out, std::abs(c.spec.width) - 1, std::abs(c.spec.height) - 1), c.bottomRight);
    }
  }
}

TEST(SourceImage, PaletteImagesKeepTheirIndexes) {
  const Bytes grey2 = {0, 0, 0, 0, 255, 255, 255, 0};
  const Bytes four = SourceImage::FromBmp(MakeBmp({40, 3, 1, 4, 0, 2, grey2, {}, {0x10, 0x10, 0, 0}}), "t").EncodeBmp();
  EXPECT_EQ(four[54 + 4], 255) << "palette entry 1 kept";
  EXPECT_EQ(four[54 + 1024 + 0], 1);
  EXPECT_EQ(four[54 + 1024 + 1], 0);
  EXPECT_EQ(four[54 + 1024 + 2], 1);
  const Bytes one = SourceImage::FromBmp(MakeBmp({40, 9, 1, 1, 0, 2, grey2, {}, {0xAA, 0x80, 0, 0}}), "t").EncodeBmp();
  EXPECT_EQ(one[62], 0xAA);
  EXPECT_EQ(one[63], 0x80);
}

TEST(SourceImage, BadBmpFilesAreRefused) {
  struct Case {
    const char* what;
    BmpSpec spec;
    std::size_t cut;  // bytes taken off the end
    const char* message;
  };
  const Case cases[] = {
      {"rows cut short", {40, 2, 2, 24, 0, 0, {}, {}, Bytes(16, 0)}, 1, "cut short"},
      {"run-length compressed", {40, 2, 2, 8, 1, 0, Bytes(1024, 0), {}, Bytes(8, 0)}, 0, "compressed"},
      {"zero width", {40, 0, 2, 24, 0, 0, {}, {}, {}}, 0, "not accepted"},
      {"too high", {40, 1, 20000, 24, 0, 0, {}, {}, {}}, 0, "not accepted"},
      {"most negative height", {40, 1, INT32_MIN, 24, 0, 0, {}, {}, {}}, 0, "not accepted"},
      {"palette larger than the depth", {40, 1, 1, 1, 0, 3, Bytes(12, 0), {}, Bytes(4, 0)}, 0, "palette larger"},
      {"palette beyond the file", {40, 1, 1, 8, 0, 0, {}, {}, {}}, 0, "palette is cut short"},
      {"2 bits", {40, 1, 1, 2, 0, 0, Bytes(16, 0), {}, Bytes(4, 0)}, 0, "not supported"},
      {"core header", {12, 1, 1, 24, 0, 0, {}, {}, Bytes(4, 0)}, 0, "not supported"},
  };
  for (const Case& c : cases) {
    Bytes bmp = MakeBmp(c.spec);
    bmp.resize(bmp.size() - c.cut);
    try {
      SourceImage::FromBmp(bmp, "bad.bmp");
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const SourceError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
      EXPECT_NE(std::string(e.what()).find("bad.bmp"), std::string::npos) << c.what << ": names the file";
    }
  }
}

// PNG pixels come in top-down; the stored form is bottom-up. Translucent pixels need a matte.
TEST(SourceImage, PngIsBlendedOverItsMatte) {
  TempFolder folder;
  const std::filesystem::path file = folder.Path() / "icon.png";
  const std::uint8_t rgba[] = {255, 0, 0, 255, 0, 0, 255, 0,     // top: opaque red, clear blue
                               0, 255, 0, 128, 10, 20, 30, 255};  // bottom: half green, opaque
  png_image png {};
  png.version = PNG_IMAGE_VERSION;
  png.width = 2;
  png.height = 2;
  png.format = PNG_FORMAT_RGBA;
  ASSERT_TRUE(png_image_write_to_file(&png, file.c_str(), 0, rgba, 0, nullptr));

  try {
    SourceImage::Load(file, std::nullopt);
    ADD_FAILURE() << "translucent PNG accepted without a matte";
  } catch (const SourceError& e) {
    EXPECT_NE(std::string(e.what()).find("matte"), std::string::npos) << e.what();
  }

  const Bytes out = SourceImage::Load(file, Rgb {255, 0, 255}).EncodeBmp();
  EXPECT_EQ(out[28], 24);
  EXPECT_EQ(Pixel24(out, 0, 0), (std::array<int, 3> {0, 0, 255}));
  EXPECT_EQ(Pixel24(out, 1, 0), (std::array<int, 3> {255, 0, 255})) << "fully clear shows the matte";
  EXPECT_EQ(Pixel24(out, 0, 1), (std::array<int, 3> {127, 128, 127}));
  EXPECT_EQ(Pixel24(out, 1, 1), (std::array<int, 3> {30, 20, 10}));
}

TEST(SourceImage, OtherFilesAreRefused) {
  TempFolder folder;
  const std::filesystem::path text = folder.Path() / "notes.png";
  std::ofstream(text) << "not an image";
  EXPECT_THROW(SourceImage::Load(text, std::nullopt), SourceError);
  EXPECT_THROW(SourceImage::Load(folder.Path() / "missing.bmp", std::nullopt), SourceError);
  const std::filesystem::path bmp = folder.Path() / "a.bmp";
  const Bytes bytes = MakeBmp({});
  std::ofstream(bmp, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  EXPECT_THROW(SourceImage::Load(bmp, Rgb {}), SourceError) << "a matte is for PNG images only";
}
