// JPEG files: what cjpeg writes decodes as djpeg decodes it, at full size and scaled, and what the
// store writes decodes in djpeg close to the original.

#include "platform/imaging/File.h"
#include "platform/core/globalmem.h"
#include "platform/imaging/tests/support.h"

#include <gtest/gtest.h>

using namespace imaging;
using namespace imaging::test;

namespace {

// An odd size, so that scaled sizes round.
constexpr int kWidth = 203, kHeight = 157;

TEST(JpegLoad, CjpegVariantsDecodeAsDjpegDecodesThem) {
  TempDir dir;
  const std::string source = dir.Path("source.ppm");
  ASSERT_TRUE(WritePnm(source, Pattern(kWidth, kHeight)));
  for (const char* colour : {"", "-grayscale"}) {
    for (const char* variant : {"", "-optimize", "-restart 1", "-progressive", "-optimize -progressive -restart 1"}) {
      const std::string jpeg = dir.Path("picture.jpg");
      ASSERT_TRUE(Shell(std::string("cjpeg ") + colour + " " + variant + " -outfile " + Quote(jpeg) + " " + Quote(source)));
      for (int scale : {1, 2, 4, 8}) {
        const std::string expectedPath = dir.Path("expected.pnm");
        ASSERT_TRUE(Shell("djpeg -pnm -scale 1/" + std::to_string(scale) + " -outfile " + Quote(expectedPath) + " " + Quote(jpeg)));
        Picture expected;
        ASSERT_TRUE(ReadPnm(expectedPath, expected));
        Bitmap bitmap;
        LoadOptions options;
        options.jpegScale = scale;
        ASSERT_TRUE(Load(Wide(jpeg).c_str(), bitmap, options)) << colour << " " << variant << " 1/" << scale;
        EXPECT_EQ(*colour ? 8 : 24, bitmap.bitsPerPixel);
        EXPECT_EQ((kWidth + scale - 1) / scale, bitmap.width);
        EXPECT_EQ(0, MaxDifference(PictureOf(bitmap), expected)) << colour << " " << variant << " 1/" << scale;
      }
    }
  }
}

TEST(JpegLoad, ResolutionAndInfo) {
  TempDir dir;
  const std::string source = dir.Path("source.ppm"), jpeg = dir.Path("picture.jpg");
  ASSERT_TRUE(WritePnm(source, Pattern(kWidth, kHeight)));
  // 118 dots per centimetre are 300 per inch.
  ASSERT_TRUE(Shell("convert " + Quote(source) + " -units PixelsPerCentimeter -density 118 " + Quote(jpeg)));
  FileInfo info;
  ASSERT_TRUE(GetFileInfo(Wide(jpeg).c_str(), info));
  EXPECT_EQ(kFormatJpeg, info.format);
  EXPECT_EQ(kWidth, info.width);
  EXPECT_EQ(kHeight, info.height);
  EXPECT_EQ(24, info.bitsPerPixel);
  EXPECT_EQ(300, info.xResolution);
  Bitmap bitmap;
  ASSERT_TRUE(Load(Wide(jpeg).c_str(), bitmap));
  EXPECT_EQ(300, bitmap.yResolution);
}

TEST(JpegLoad, TruncatedStreamsStillDecodeAndEmptyOnesFail) {
  TempDir dir;
  const std::string source = dir.Path("source.ppm"), jpeg = dir.Path("picture.jpg"), cut = dir.Path("cut.jpg");
  ASSERT_TRUE(WritePnm(source, Pattern(kWidth, kHeight)));
  ASSERT_TRUE(Shell("cjpeg -outfile " + Quote(jpeg) + " " + Quote(source)));
  ASSERT_TRUE(Shell("head -c 2000 " + Quote(jpeg) + " > " + Quote(cut)));
  Bitmap bitmap;
  EXPECT_TRUE(Load(Wide(cut).c_str(), bitmap));
  EXPECT_EQ(kWidth, bitmap.width);
  ASSERT_TRUE(Shell("head -c 100 " + Quote(jpeg) + " > " + Quote(cut)));
  EXPECT_FALSE(Load(Wide(cut).c_str(), bitmap));
  EXPECT_FALSE(bitmap.IsAllocated());
}

// A stream whose frame header declares a picture its data could never fill (a few kilobytes for
// 30000 x 30000 pixels) is refused before the picture is allocated, sequential or progressive.
TEST(JpegLoad, StreamsFarTooShortForTheirPictureAreRefused) {
  TempDir dir;
  const std::string source = dir.Path("source.pgm");
  ASSERT_TRUE(WritePnm(source, Pattern(kWidth, kHeight)));
  for (const char* options : {"-grayscale", "-grayscale -progressive"}) {
    const std::string jpeg = dir.Path("picture.jpg");
    ASSERT_TRUE(Shell("cjpeg " + std::string(options) + " -outfile " + Quote(jpeg) + " " + Quote(source)));
    std::vector<BYTE> stream = ReadAll(jpeg);
    size_t frame = 2;
    while (frame + 9 < stream.size() && !(stream[frame] == 0xFF && (stream[frame + 1] == 0xC0 || stream[frame + 1] == 0xC2))) ++frame;
    ASSERT_LT(frame + 9, stream.size()) << options;
    for (size_t at : {frame + 5, frame + 7}) stream[at] = 30000 >> 8, stream[at + 1] = 30000 & 0xFF;
    Bitmap bitmap;
    EXPECT_FALSE(LoadMemory(stream.data(), stream.size(), bitmap)) << options;
    EXPECT_FALSE(bitmap.IsAllocated()) << options;
  }
}

// The store's encoder uses libjpeg's standard settings, so its files decode exactly as cjpeg's
// files of the same quality do: quality factor 10 is libjpeg quality 90.
TEST(JpegSave, WritesWhatCjpegWritesAtTheSameQuality) {
  TempDir dir;
  const Picture picture = Pattern(kWidth, kHeight);
  struct Case {
    int bitsPerPixel;
    int order;
  };
  const Case cases[] = {{24, kOrderBgr}, {24, kOrderRgb}, {32, kOrderBgr}, {8, kOrderBgr}};
  for (const Case& c : cases) {
    Bitmap bitmap;
    ASSERT_TRUE(BitmapOf(picture, c.bitsPerPixel, bitmap));
    if (c.order == kOrderRgb) {
      // The same picture with its bytes in R, G, B order.
      for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) std::swap(bitmap.bits[static_cast<size_t>(y) * bitmap.bytesPerLine + 3 * x],
                                                          bitmap.bits[static_cast<size_t>(y) * bitmap.bytesPerLine + 3 * x + 2]);
      }
      bitmap.order = kOrderRgb;
    }
    bitmap.xResolution = bitmap.yResolution = 200;
    const std::string source = dir.Path(c.bitsPerPixel == 8 ? "source.pgm" : "source.ppm");
    ASSERT_TRUE(WritePnm(dir.Path("shown.ppm"), PictureOf(bitmap)));
    ASSERT_TRUE(Shell("convert " + Quote(dir.Path("shown.ppm")) + " " + Quote(source)));
    const std::string ours = dir.Path("ours.jpg"), theirs = dir.Path("theirs.jpg");
    ASSERT_TRUE(Save(Wide(ours).c_str(), bitmap, kFormatJpeg, 0, 10)) << c.bitsPerPixel;
    ASSERT_TRUE(Shell("cjpeg -quality 90 -outfile " + Quote(theirs) + " " + Quote(source)));
    Picture oursDecoded, theirsDecoded;
    ASSERT_TRUE(Shell("djpeg -pnm -outfile " + Quote(dir.Path("ours.pnm")) + " " + Quote(ours)));
    ASSERT_TRUE(Shell("djpeg -pnm -outfile " + Quote(dir.Path("theirs.pnm")) + " " + Quote(theirs)));
    ASSERT_TRUE(ReadPnm(dir.Path("ours.pnm"), oursDecoded));
    ASSERT_TRUE(ReadPnm(dir.Path("theirs.pnm"), theirsDecoded));
    EXPECT_EQ(0, MaxDifference(oursDecoded, theirsDecoded)) << c.bitsPerPixel << " bits, order " << c.order;
    FileInfo info;
    ASSERT_TRUE(GetFileInfo(Wide(ours).c_str(), info));
    EXPECT_EQ(c.bitsPerPixel == 8 ? 8 : 24, info.bitsPerPixel);
    EXPECT_EQ(200, info.xResolution);
  }
}

TEST(JpegSave, QualityFactorTradesSizeForFidelity) {
  Bitmap bitmap;
  ASSERT_TRUE(BitmapOf(Pattern(kWidth, kHeight), 24, bitmap));
  const Picture shown = PictureOf(bitmap);
  double previousError = -1;
  DWORD previousSize = 0;
  for (int factor : {5, 40, 80}) {
    HGLOBAL block = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(SaveMemory(bitmap, kFormatJpeg, 0, factor, &block, &size));
    EXPECT_EQ(size, GlobalSize(block));
    Bitmap back;
    ASSERT_TRUE(LoadMemory(static_cast<const BYTE*>(GlobalLock(block)), size, back));
    GlobalUnlock(block);
    GlobalFree(block);
    const double error = MeanDifference(PictureOf(back), shown);
    if (previousError >= 0) {
      EXPECT_GT(error, previousError) << factor;
      EXPECT_LT(size, previousSize) << factor;
    }
    previousError = error;
    previousSize = size;
  }
}

}  // namespace
