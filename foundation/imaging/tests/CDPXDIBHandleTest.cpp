#include "foundation/imaging/CDPXDIBHandle.h"

#include "foundation/imaging/tests/ImagingSupport.h"
#include "platform/core/globalmem.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/gdi.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

using namespace imagingtest;
using imaging::test::Pattern;

namespace {

BITMAPINFOHEADER Header(LONG width, LONG height, WORD bits) {
  BITMAPINFOHEADER h {};
  h.biSize = 40;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bits;
  h.biCompression = BI_RGB;
  return h;
}

// A live block is one that GlobalFree can still free.
bool IsLiveBlock(HGLOBAL block) { return GlobalSize(block) > 0; }

}  // namespace

TEST(DIBStride, RowsArePaddedToFourBytes) {
  const struct {
    int width, bits, stride;
  } cases[] = {
      {33, 1, 8}, {32, 1, 4}, {1, 1, 4},   {1, 8, 4},   {5, 8, 8},   {3, 24, 12}, {1, 24, 4},
      {0, 8, -1}, {-4, 8, -1}, {4, 4, -1}, {4, 32, -1}, {4, 0, -1},  {INT_MAX, 24, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetDIBStride(c.width, c.bits), c.stride) << c.width << " pixels at " << c.bits << " bits";
  }
}

TEST(DIBHeader, AcceptsExactlyTheFormsOfTheSystem) {
  const struct {
    const char* what;
    void (*change)(BITMAPINFOHEADER&);
    bool valid;
  } cases[] = {
      {"plain 8-bit", [](BITMAPINFOHEADER&) {}, true},
      {"8 bits with 0 colours used", [](BITMAPINFOHEADER& h) { h.biClrUsed = 0; }, true},
      {"8 bits with 256 colours used", [](BITMAPINFOHEADER& h) { h.biClrUsed = 256; }, true},
      {"8 bits with 16 colours used", [](BITMAPINFOHEADER& h) { h.biClrUsed = 16; }, false},
      {"1 bit with 2 colours used", [](BITMAPINFOHEADER& h) { h.biBitCount = 1, h.biClrUsed = 2; }, true},
      {"1 bit with 256 colours used", [](BITMAPINFOHEADER& h) { h.biBitCount = 1, h.biClrUsed = 256; }, false},
      {"24 bits with 256 colours used", [](BITMAPINFOHEADER& h) { h.biBitCount = 24, h.biClrUsed = 256; }, false},
      {"top-down rows", [](BITMAPINFOHEADER& h) { h.biHeight = -h.biHeight; }, true},
      {"no rows", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }, false},
      {"no width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }, false},
      {"negative width", [](BITMAPINFOHEADER& h) { h.biWidth = -10; }, false},
      {"4 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 4; }, false},
      {"32 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 32; }, false},
      {"two planes", [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }, false},
      {"run-length coded", [](BITMAPINFOHEADER& h) { h.biCompression = 1; }, false},
      {"a 108-byte header", [](BITMAPINFOHEADER& h) { h.biSize = 108; }, false},
      {"image size exact", [](BITMAPINFOHEADER& h) { h.biSizeImage = 12 * 7; }, true},
      {"image size one short", [](BITMAPINFOHEADER& h) { h.biSizeImage = 12 * 7 - 1; }, false},
      {"negative resolution", [](BITMAPINFOHEADER& h) { h.biYPelsPerMeter = -1; }, false},
      {"important colours", [](BITMAPINFOHEADER& h) { h.biClrImportant = 2; }, false},
      // stride x rows wraps to 65536 in 32 bits; the real size is far beyond any block.
      {"rows that overflow 32 bits", [](BITMAPINFOHEADER& h) { h.biWidth = 65536, h.biHeight = 65537, h.biSizeImage = 65536; }, false},
      {"rows beyond 2 GB", [](BITMAPINFOHEADER& h) { h.biBitCount = 24, h.biClrUsed = 0, h.biWidth = 30000, h.biHeight = 30000; }, false},
      {"height of the smallest int", [](BITMAPINFOHEADER& h) { h.biHeight = INT_MIN; }, false},
  };
  for (const auto& c : cases) {
    BITMAPINFOHEADER h = Header(10, 7, 8);
    h.biClrUsed = 256;
    c.change(h);
    EXPECT_EQ(IsValidDIBHeader(&h) != FALSE, c.valid) << c.what;
  }
  EXPECT_FALSE(IsValidDIBHeader(nullptr));
}

TEST(DIBHandle, CreateMakesAZeroFilledBottomUpDIBWithTheDepthsPalette) {
  const struct {
    int width, height, bits;
    DWORD palette, stride;
  } cases[] = {{33, 5, 1, 8, 8}, {10, 3, 8, 1024, 12}, {7, 2, 24, 0, 24}};
  for (const auto& c : cases) {
    CDPXDIBHandle dib;
    ASSERT_TRUE(dib.Create(c.width, c.height, c.bits)) << c.bits;
    EXPECT_EQ(dib.GetWidth(), c.width);
    EXPECT_EQ(dib.GetHeight(), c.height);
    EXPECT_EQ(dib.GetBitsPerPixel(), c.bits);
    EXPECT_EQ(DWORD(dib.GetPaletteSize()), c.palette);
    EXPECT_EQ(dib.GetImageSize(), c.stride * c.height);
    EXPECT_EQ(dib.GetDIBSize(), 40 + c.palette + c.stride * c.height);

    const std::vector<BYTE> bytes = BytesOf(dib.Detach());
    ASSERT_EQ(bytes.size(), 40 + c.palette + c.stride * c.height);
    BITMAPINFOHEADER h;
    std::memcpy(&h, bytes.data(), 40);
    EXPECT_EQ(h.biHeight, c.height) << "bottom-up";
    EXPECT_EQ(h.biSizeImage, c.stride * c.height);
    EXPECT_EQ(h.biClrUsed, c.palette / 4);
    EXPECT_TRUE(IsValidDIBHeader(&h));
    for (DWORD i = 0; i < c.palette / 4; ++i) {
      const BYTE level = BYTE(c.bits == 1 ? i * 255 : i);
      const BYTE* q = &bytes[40 + 4 * i];
      EXPECT_TRUE(q[0] == level && q[1] == level && q[2] == level && q[3] == 0) << "entry " << i;
    }
    for (size_t i = 40 + c.palette; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0);
    EXPECT_TRUE(dib.IsEmpty());
  }
  CDPXDIBHandle dib;
  EXPECT_FALSE(dib.Create(0, 5, 8));
  EXPECT_FALSE(dib.Create(5, -5, 8));
  EXPECT_FALSE(dib.Create(5, 5, 4));
  EXPECT_FALSE(dib.Create(65536, 65537, 8));
  EXPECT_TRUE(dib.IsEmpty());
}

TEST(DIBHandle, AttachTakesValidBlocksAndLeavesOthersToTheCaller) {
  // A top-down DIB attaches with a positive height.
  HGLOBAL topDown = MakeDIB(Pattern(9, 4), 24, true);
  CDPXDIBHandle dib;
  ASSERT_TRUE(dib.Attach(topDown));
  EXPECT_EQ(dib.GetHeight(), 4);
  EXPECT_EQ(dib.GetWidth(), 9);
  EXPECT_EQ(GlobalFlags(topDown) & 0xFF, 0u) << "left unlocked";
  EXPECT_EQ(dib.Detach(), topDown);
  GlobalFree(topDown);

  // One byte short of the rows, and a block with a bad header: refused, still the caller's.
  std::vector<BYTE> bytes = BytesOf(MakeDIB(Pattern(9, 4), 8));
  bytes.pop_back();
  HGLOBAL shortBlock = BlockOf(bytes);
  EXPECT_FALSE(dib.Attach(shortBlock));
  EXPECT_TRUE(dib.IsEmpty());
  EXPECT_EQ(dib.GetWidth(), 0);
  EXPECT_TRUE(IsLiveBlock(shortBlock));
  EXPECT_EQ(GlobalFlags(shortBlock) & 0xFF, 0u);
  GlobalFree(shortBlock);

  bytes = BytesOf(MakeDIB(Pattern(9, 4), 8));
  bytes[14] = 4;
  HGLOBAL badHeader = BlockOf(bytes);
  EXPECT_FALSE(dib.Attach(badHeader));
  EXPECT_TRUE(IsLiveBlock(badHeader));
  GlobalFree(badHeader);

  HGLOBAL headerOnly = BlockOf(std::vector<BYTE>(40, 0));
  EXPECT_FALSE(dib.Attach(headerOnly));
  GlobalFree(headerOnly);
  EXPECT_FALSE(dib.Attach(nullptr));
}

TEST(DIBHandle, LockGivesTheHeaderAndGetBitsTheFirstStoredRow) {
  CDPXDIBHandle dib;
  ASSERT_TRUE(dib.Create(16, 2, 1));
  BITMAPINFOHEADER* header = dib.Lock();
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(dib.Lock(), header) << "locked once";
  EXPECT_EQ(dib.GetBits(), reinterpret_cast<BYTE*>(header) + 40 + 8);
  dib.GetBits()[0] = 0x80;
  HGLOBAL block = dib.Detach();
  EXPECT_EQ(GlobalFlags(block) & 0xFF, 0u) << "handed over unlocked";
  EXPECT_EQ(BytesOf(block)[48], 0x80);
  GlobalFree(block);
  EXPECT_EQ(dib.GetBits(), nullptr);
}

TEST(DIBHandle, CreateDDBShowsTheTopRowFirst) {
  for (int bits : {1, 8, 24}) {
    imaging::test::Picture picture(6, 3);
    for (int x = 0; x < 6; ++x) std::fill_n(picture.At(x, 0), 3, BYTE(255));  // white top row, black below
    CDPXDIBHandle dib;
    ASSERT_TRUE(dib.Attach(MakeDIB(picture, bits)));
    CBitmap bitmap;
    ASSERT_TRUE(dib.CreateDDB(bitmap, nullptr)) << bits;
    BITMAP info {};
    ASSERT_TRUE(bitmap.GetBitmap(&info));
    EXPECT_EQ(info.bmWidth, 6);
    EXPECT_EQ(info.bmHeight, 3);
    std::vector<BYTE> pixels(size_t(info.bmWidthBytes) * info.bmHeight);
    ASSERT_TRUE(bitmap.GetBitmapBits(DWORD(pixels.size()), pixels.data()));
    ASSERT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(pixels[0], 255) << bits << " bits: top row white";
    EXPECT_EQ(pixels[size_t(info.bmWidthBytes) * 2], 0) << bits << " bits: bottom row black";
    EXPECT_EQ(dib.Lock() != nullptr, true);
    dib.Unlock();
  }
  CDPXDIBHandle empty;
  CBitmap bitmap;
  EXPECT_FALSE(empty.CreateDDB(bitmap, nullptr));
  EXPECT_EQ(bitmap.GetSafeHandle(), nullptr);
}
