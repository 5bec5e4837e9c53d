// Bitmap handles: value mappings, paint modes, creation and copying, DIBs and DDBs, the bitmap's
// own DC, painting, printing and the clipboard.

#include "foundation/imaging/CQVBitmapHandle.h"

#include "foundation/imaging/tests/ImagingSupport.h"
#include "platform/core/globalmem.h"
#include "platform/gdi/CDCSurface.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/win/winuser.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <algorithm>
#include <cstring>
#include <memory>

using namespace imagingtest;
using imaging::test::ArtifactPath;
using imaging::test::MaxDifference;
using imaging::test::Pattern;

namespace {

// Exposes the value mappings.
class Mappings : public CQVBitmapHandle {
public:
  using CQVBitmapHandle::_dibhead_store_pub;
  using CQVBitmapHandle::_dibhead_pub_store;
  using CQVBitmapHandle::_fax_store_pub;
  using CQVBitmapHandle::_fax_pub_store;
  using CQVBitmapHandle::_format_store_pub;
  using CQVBitmapHandle::_format_pub_store;
  using CQVBitmapHandle::_order_store_pub;
  using CQVBitmapHandle::_order_pub_store;
  using CQVBitmapHandle::_perspective_store_pub;
  using CQVBitmapHandle::_perspective_pub_store;
  using CQVBitmapHandle::_resize_store_pub;
  using CQVBitmapHandle::_resize_pub_store;
  using CQVBitmapHandle::_rotate_store_pub;
  using CQVBitmapHandle::_rotate_pub_store;
};

// A DC on an image of its own, white at first, which the test reads afterwards.
class Canvas {
public:
  Canvas(int width, int height) : m_surface(std::make_shared<CImageSurface>(width, height)) {
    m_dc.Attach(CreateDCForSurface(m_surface));
    m_dc.PatBlt(0, 0, width, height, WHITENESS);
  }
  CDC* Dc() { return &m_dc; }
  const QImage& Image() const { return m_surface->Image(); }
  int Grey(int x, int y) const { return qGray(Image().pixel(x, y)); }
  // The smallest rectangle around the pixels that are not white.
  CRect Inked() const {
    CRect box;
    for (int y = 0; y < Image().height(); ++y)
      for (int x = 0; x < Image().width(); ++x)
        if (Grey(x, y) != 255) {
          const CRect pixel(x, y, x + 1, y + 1);
          CRect both;
          both.UnionRect(&box, &pixel);
          box = both;
        }
    return box;
  }

private:
  std::shared_ptr<CImageSurface> m_surface;
  CDC m_dc;
};

std::string Text(const CRect& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
         std::to_string(r.bottom) + ")";
}

}  // namespace

TEST(BitmapHandleModel, ValueMappingsBothWays) {
  const struct {
    const char* what;
    UINT (*map)(UINT);
    UINT from, to;
  } cases[] = {
      {"order", [](UINT v) { return UINT(Mappings::_order_pub_store(v)); }, 0, 0},
      {"order", [](UINT v) { return UINT(Mappings::_order_pub_store(v)); }, 2, 2},
      {"order", [](UINT v) { return UINT(Mappings::_order_pub_store(v)); }, 3, 3},
      {"order", [](UINT v) { return UINT(Mappings::_order_pub_store(v)); }, 4, 4},
      {"order", [](UINT v) { return UINT(Mappings::_order_pub_store(v)); }, 5, 1},
      {"order back", [](UINT v) { return Mappings::_order_store_pub(int(v)); }, 7, 1},
      {"order back", [](UINT v) { return Mappings::_order_store_pub(int(v)); }, 4, 4},
      {"perspective", [](UINT v) { return UINT(Mappings::_perspective_pub_store(v)); }, 1, 4},
      {"perspective", [](UINT v) { return UINT(Mappings::_perspective_pub_store(v)); }, 0, 1},
      {"perspective", [](UINT v) { return UINT(Mappings::_perspective_pub_store(v)); }, 2, 1},
      {"perspective back", [](UINT v) { return Mappings::_perspective_store_pub(int(v)); }, 4, 1},
      {"perspective back", [](UINT v) { return Mappings::_perspective_store_pub(int(v)); }, 1, 0},
      {"perspective back", [](UINT v) { return Mappings::_perspective_store_pub(int(v)); }, 2, 0},
      {"resize", Mappings::_resize_pub_store, 1, 2},
      {"resize", Mappings::_resize_pub_store, 2, 4},
      {"resize", Mappings::_resize_pub_store, 0, 0},
      {"resize", Mappings::_resize_pub_store, 3, 0},
      {"resize back", Mappings::_resize_store_pub, 2, 1},
      {"resize back", Mappings::_resize_store_pub, 4, 2},
      {"resize back", Mappings::_resize_store_pub, 1, 0},
      {"rotate", Mappings::_rotate_pub_store, 1, 2},
      {"rotate", Mappings::_rotate_pub_store, 2, 4},
      {"rotate", Mappings::_rotate_pub_store, 3, 0},
      {"rotate", Mappings::_rotate_pub_store, 0, 1},
      {"rotate", Mappings::_rotate_pub_store, 9, 1},
      {"rotate back", Mappings::_rotate_store_pub, 0, 3},
      {"rotate back", Mappings::_rotate_store_pub, 2, 1},
      {"rotate back", Mappings::_rotate_store_pub, 4, 2},
      {"rotate back", Mappings::_rotate_store_pub, 1, 0},
      {"DIB header", [](UINT v) { return UINT(Mappings::_dibhead_pub_store(v)); }, 1, 1},
      {"DIB header", [](UINT v) { return UINT(Mappings::_dibhead_pub_store(v)); }, 2, 2},
      {"DIB header", [](UINT v) { return UINT(Mappings::_dibhead_pub_store(v)); }, 3, 0},
      {"DIB header back", [](UINT v) { return Mappings::_dibhead_store_pub(int(v)); }, 2, 2},
      {"format", [](UINT v) { return UINT(Mappings::_format_pub_store(v)); }, 2, 10},
      {"format", [](UINT v) { return UINT(Mappings::_format_pub_store(v)); }, 3, 68},
      {"format", [](UINT v) { return UINT(Mappings::_format_pub_store(v)); }, 1, 6},
      {"format", [](UINT v) { return UINT(Mappings::_format_pub_store(v)); }, 0, 6},
      {"format back", [](UINT v) { return Mappings::_format_store_pub(int(v)); }, 6, 1},
      {"format back", [](UINT v) { return Mappings::_format_store_pub(int(v)); }, 10, 2},
      {"format back", [](UINT v) { return Mappings::_format_store_pub(int(v)); }, 68, 3},
      {"format back", [](UINT v) { return Mappings::_format_store_pub(int(v)); }, 4, 0},
      {"fax", [](UINT v) { return UINT(Mappings::_fax_pub_store(v)); }, 1, 66},
      {"fax", [](UINT v) { return UINT(Mappings::_fax_pub_store(v)); }, 2, 162},
      {"fax", [](UINT v) { return UINT(Mappings::_fax_pub_store(v)); }, 3, 67},
      {"fax", [](UINT v) { return UINT(Mappings::_fax_pub_store(v)); }, 4, 68},
      {"fax", [](UINT v) { return UINT(Mappings::_fax_pub_store(v)); }, 0, 68},
      {"fax back", [](UINT v) { return Mappings::_fax_store_pub(int(v)); }, 66, 1},
      {"fax back", [](UINT v) { return Mappings::_fax_store_pub(int(v)); }, 67, 3},
      {"fax back", [](UINT v) { return Mappings::_fax_store_pub(int(v)); }, 68, 4},
      {"fax back", [](UINT v) { return Mappings::_fax_store_pub(int(v)); }, 162, 2},
      {"fax back", [](UINT v) { return Mappings::_fax_store_pub(int(v)); }, 6, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.map(c.from), c.to) << c.what << " of " << c.from;
}

TEST(BitmapHandleModel, PaintModeSwitches) {
  CQVBitmapHandle handle;
  for (int mode : {0, 12, -1}) {
    EXPECT_FALSE(handle.EnablePaintMode(mode, TRUE)) << mode;
    EXPECT_FALSE(handle.IsPaintModeEnabled(mode)) << mode;
  }
  for (int mode = 1; mode <= 11; ++mode) EXPECT_FALSE(handle.IsPaintModeEnabled(mode));
  ASSERT_TRUE(handle.EnablePaintMode(11, TRUE));
  ASSERT_TRUE(handle.EnablePaintMode(1, TRUE));
  ASSERT_TRUE(handle.EnablePaintMode(1, FALSE));
  for (int mode = 1; mode <= 11; ++mode) EXPECT_EQ(handle.IsPaintModeEnabled(mode) != FALSE, mode == 11) << mode;

  // The switches survive Free and new bitmaps and move with Attach.
  ASSERT_TRUE(handle.Create(4, 4, 8));
  handle.Free();
  EXPECT_TRUE(handle.IsPaintModeEnabled(11));
  ASSERT_TRUE(handle.Create(4, 4, 8));
  CQVBitmapHandle other;
  ASSERT_TRUE(other.Attach(handle));
  EXPECT_TRUE(other.IsPaintModeEnabled(11));
  other.ResetPaintMode();
  EXPECT_FALSE(other.IsPaintModeEnabled(11));
}

TEST(BitmapHandleModel, AnEmptyHandle) {
  CQVBitmapHandle handle;
  EXPECT_TRUE(handle.IsEmpty());
  EXPECT_EQ(handle.GetWidth(), 0);
  EXPECT_EQ(handle.GetHeight(), 0);
  EXPECT_EQ(handle.GetBitsPerPixel(), 0);
  EXPECT_EQ(handle.GetBytesPerLine(), 0);
  EXPECT_EQ(handle.GetImageSize(), 0u);
  EXPECT_EQ(handle.GetColorNums(), 0);
  EXPECT_EQ(handle.GetOrder(), 1u);
  EXPECT_EQ(handle.GetPerspective(), 0u);
  handle.SetXDPI(300);
  handle.SetYDPI(150);
  EXPECT_EQ(handle.GetXDPI(), 300);
  EXPECT_EQ(handle.GetYDPI(), 150);
  EXPECT_EQ(handle.ConvertToDIB(0), nullptr);
  EXPECT_EQ(handle.ChangeToDIB(0), nullptr);
  EXPECT_EQ(handle.CreateDCW(), nullptr);
  CQVBitmapHandle copy;
  EXPECT_FALSE(copy.Create(handle));
  EXPECT_FALSE(copy.Create(handle, 8, 8, 0));
  std::unique_ptr<CObject> made(RUNTIME_CLASS(CQVBitmapHandle)->CreateObject());
  EXPECT_TRUE(made && made->IsKindOf(RUNTIME_CLASS(CQVBitmapHandle)));
}

TEST(BitmapHandleModel, CreateTakesOrderPerspectiveAndPalette) {
  RGBQUAD palette[2] = {{0, 0, 255, 0}, {0, 255, 0, 0}};
  const struct {
    int bits;
    UINT order, perspective;
    RGBQUAD* palette;
    int colours;
  } cases[] = {{24, 0, 0, nullptr, 0}, {24, 1, 1, nullptr, 0}, {8, 4, 0, nullptr, 256}, {1, 1, 1, palette, 2}, {4, 2, 0, nullptr, 16}};
  for (const auto& c : cases) {
    CQVBitmapHandle handle;
    ASSERT_TRUE(handle.Create(33, 7, c.bits, c.order, c.palette, c.perspective)) << c.bits;
    EXPECT_EQ(handle.GetOrder(), c.order);
    EXPECT_EQ(handle.GetPerspective(), c.perspective);
    EXPECT_EQ(handle.GetColorNums(), c.colours);
    EXPECT_EQ(handle.GetBytesPerLine(), (33 * c.bits + 31) / 32 * 4);
    EXPECT_EQ(handle.GetImageSize(), DWORD(handle.GetBytesPerLine() * 7));
    if (c.palette) {
      RGBQUAD read[2];
      ASSERT_TRUE(handle.GetPalette(0, 2, read));
      EXPECT_EQ(std::memcmp(read, palette, sizeof read), 0);
    }
  }
  CQVBitmapHandle handle;
  ASSERT_TRUE(handle.Create(5, 5, 8));
  EXPECT_FALSE(handle.Create(0, 5, 8));
  EXPECT_TRUE(handle.IsEmpty()) << "a failed Create leaves the handle empty";
  EXPECT_FALSE(handle.Create(5, 5, 7));
}

TEST(BitmapHandleModel, CopiesOfPartsAndSizes) {
  const Picture picture = Pattern(40, 30);
  for (UINT perspective : {0u, 1u}) {
    CQVBitmapHandle source;
    ASSERT_TRUE(HandleOf(picture, 24, perspective, source));
    source.SetXDPI(200);
    source.SetYDPI(100);

    CQVBitmapHandle whole;
    ASSERT_TRUE(whole.Create(source));
    EXPECT_EQ(MaxDifference(PictureOf(whole), picture), 0);
    whole.SetPixelColor(0, 0, RGB(1, 2, 3));
    EXPECT_EQ(MaxDifference(PictureOf(source), picture), 0) << "a copy of its own";

    // Rectangles in top-left view coordinates whatever the perspective, cut to the source.
    const struct {
      CRect rect;
      CRect shown;
    } parts[] = {
        {CRect(5, 4, 25, 14), CRect(5, 4, 25, 14)},
        {CRect(25, 14, 5, 4), CRect(5, 4, 25, 14)},
        {CRect(-10, 20, 15, 100), CRect(0, 20, 15, 30)},
    };
    for (const auto& p : parts) {
      CQVBitmapHandle part;
      ASSERT_TRUE(part.Create(source, p.rect)) << Text(p.rect);
      ASSERT_EQ(part.GetWidth(), p.shown.Width());
      ASSERT_EQ(part.GetHeight(), p.shown.Height());
      Picture expected(p.shown.Width(), p.shown.Height());
      for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) std::memcpy(expected.At(x, y), picture.At(x + p.shown.left, y + p.shown.top), 3);
      EXPECT_EQ(MaxDifference(PictureOf(part), expected), 0) << Text(p.rect) << " perspective " << perspective;
    }
    CQVBitmapHandle outside;
    ASSERT_TRUE(outside.Create(8, 8, 8));
    EXPECT_FALSE(outside.Create(source, CRect(50, 50, 60, 60)));
    EXPECT_TRUE(outside.IsEmpty());

    CQVBitmapHandle half;
    ASSERT_TRUE(half.Create(source, 20, 15, 0));
    EXPECT_EQ(half.GetWidth(), 20);
    EXPECT_EQ(half.GetBitsPerPixel(), 24);
    EXPECT_EQ(half.GetPerspective(), perspective);
    EXPECT_EQ(half.GetXDPI(), 200);
    EXPECT_EQ(half.GetYDPI(), 100);
    COLORREF corner = 0;
    const BYTE* centre = picture.At(37, 27);
    ASSERT_TRUE(half.GetPixelColor(18, 13, corner));
    EXPECT_EQ(corner, RGB(centre[0], centre[1], centre[2])) << "the pixel at the centre of the area";

    // A handle may copy a part of itself.
    ASSERT_TRUE(source.Create(source, CRect(0, 0, 10, 10)));
    EXPECT_EQ(source.GetWidth(), 10);
  }
}

TEST(BitmapHandleModel, AttachMovesTheBitmapAndDetachGivesItBack) {
  CQVBitmapHandle first, second;
  ASSERT_TRUE(HandleOf(Pattern(12, 9), 8, 1, first));
  const Picture shown = PictureOf(first);
  ASSERT_NE(first.CreateDCW(), nullptr);
  ASSERT_TRUE(second.Create(3, 3, 24));
  ASSERT_NE(second.CreateDCW(), nullptr);
  ASSERT_TRUE(second.Attach(first));
  EXPECT_TRUE(first.IsEmpty());
  EXPECT_EQ(first.GetDC(), nullptr) << "the giver's DC is closed";
  EXPECT_EQ(second.GetDC(), nullptr) << "and the taker's";
  EXPECT_EQ(second.GetWidth(), 12);
  EXPECT_EQ(second.GetPerspective(), 1u);
  EXPECT_EQ(MaxDifference(PictureOf(second), shown), 0);
  ASSERT_TRUE(second.Detach(first));
  EXPECT_TRUE(second.IsEmpty());
  EXPECT_EQ(first.GetHeight(), 9);
  EXPECT_TRUE(first.Attach(first));
  EXPECT_EQ(first.GetHeight(), 9);
}

TEST(BitmapHandleDIB, ChangeGivesThePixelsAwayAndConvertCopiesThem) {
  const Picture picture = Pattern(21, 13);
  for (int bits : {1, 8, 24}) {
    for (UINT perspective : {0u, 1u}) {
      CQVBitmapHandle handle;
      ASSERT_TRUE(HandleOf(picture, bits, perspective, handle));
      const Picture shown = PictureOf(handle);
      HGLOBAL copy = handle.ConvertToDIB(0);
      ASSERT_NE(copy, nullptr);
      EXPECT_FALSE(handle.IsEmpty());
      EXPECT_EQ(MaxDifference(PictureOfDIB(copy), shown), 0) << bits;
      BITMAPINFOHEADER header;
      std::memcpy(&header, BytesOf(copy).data(), sizeof header);
      EXPECT_EQ(header.biSize, 40u);
      EXPECT_GT(header.biHeight, 0) << "bottom-up";
      GlobalFree(copy);

      HGLOBAL given = handle.ChangeToDIB(0);
      ASSERT_NE(given, nullptr);
      EXPECT_TRUE(handle.IsEmpty());
      EXPECT_EQ(MaxDifference(PictureOfDIB(given), shown), 0) << bits;

      ASSERT_TRUE(handle.ChangeFromDIB(given));
      EXPECT_EQ(handle.GetPerspective(), 1u) << "a bottom-up DIB";
      EXPECT_EQ(MaxDifference(PictureOf(handle), shown), 0) << bits;
    }
  }
  // A top-down DIB becomes a top-left bitmap; a broken one stays the caller's.
  HGLOBAL topDown = MakeDIB(picture, 24, true);
  CQVBitmapHandle handle;
  ASSERT_TRUE(handle.ChangeFromDIB(topDown));
  EXPECT_EQ(handle.GetPerspective(), 0u);
  EXPECT_EQ(MaxDifference(PictureOf(handle), picture), 0);
  std::vector<BYTE> broken = BytesOf(MakeDIB(picture, 8));
  broken.resize(100);
  HGLOBAL block = BlockOf(broken);
  EXPECT_FALSE(handle.ChangeFromDIB(block));
  EXPECT_TRUE(handle.IsEmpty());
  EXPECT_EQ(GlobalSize(block), 100u);
  GlobalFree(block);
}

TEST(BitmapHandleDIB, DeviceDependentBitmaps) {
  const Picture picture = Pattern(16, 8);
  CQVBitmapHandle handle;
  ASSERT_TRUE(HandleOf(picture, 24, 1, handle));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(2, 2, 1, 32, nullptr));
  ASSERT_TRUE(handle.ConvertToDDB(bitmap, nullptr));
  EXPECT_FALSE(handle.IsEmpty());
  BITMAP info {};
  ASSERT_TRUE(bitmap.GetBitmap(&info));
  EXPECT_EQ(info.bmWidth, 16);
  std::vector<BYTE> bits(size_t(info.bmWidthBytes) * info.bmHeight);
  ASSERT_TRUE(bitmap.GetBitmapBits(DWORD(bits.size()), bits.data()));
  const BYTE* topLeft = picture.At(0, 0);
  const BYTE* inside = picture.At(5, 2);
  EXPECT_TRUE(bits[0] == topLeft[2] && bits[1] == topLeft[1] && bits[2] == topLeft[0]);
  const BYTE* p = bits.data() + size_t(info.bmWidthBytes) * 2 + 4 * 5;
  EXPECT_TRUE(p[0] == inside[2] && p[1] == inside[1] && p[2] == inside[0]) << "rows from the top";

  CDC memory;
  ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
  CBitmap mono;
  ASSERT_TRUE(handle.ChangeToDDB(mono, &memory)) << "a fresh memory DC draws in black and white";
  EXPECT_TRUE(handle.IsEmpty());
  ASSERT_TRUE(mono.GetBitmap(&info));
  EXPECT_EQ(info.bmBitsPixel, 1);

  EXPECT_FALSE(handle.ConvertToDDB(bitmap, nullptr));
  EXPECT_EQ(bitmap.GetSafeHandle(), nullptr) << "emptied on failure";
}

TEST(BitmapHandleDC, DrawsIntoTheBitmapUntilDeleted) {
  for (int bits : {1, 8, 24}) {
    CQVBitmapHandle handle;
    ASSERT_TRUE(handle.Create(20, 10, bits));
    EXPECT_EQ(handle.GetDC(), nullptr) << "GetDC makes none";
    CDC* dc = handle.CreateDCW();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(handle.GetDC(), dc);
    dc->FillSolidRect(2, 3, 4, 5, RGB(255, 255, 255));
    COLORREF colour = 0;
    Picture shown = PictureOf(handle);
    EXPECT_EQ(shown.At(2, 3)[0], 255) << bits;
    EXPECT_EQ(shown.At(5, 7)[1], 255) << bits;
    EXPECT_EQ(shown.At(6, 3)[2], 0) << bits;
    EXPECT_EQ(shown.At(2, 8)[0], 0) << bits;
    ASSERT_TRUE(handle.GetPixelColor(0, 0, colour));
    EXPECT_TRUE(handle.DeleteDC());
    EXPECT_EQ(handle.GetDC(), nullptr);
    EXPECT_FALSE(handle.DeleteDC());
    ASSERT_NE(handle.CreateDCW(), nullptr);
    handle.Free();
    EXPECT_EQ(handle.GetDC(), nullptr) << "Free closes the DC";
    ASSERT_TRUE(handle.Create(20, 10, bits));
    ASSERT_NE(handle.CreateDCW(), nullptr);
    HGLOBAL dib = handle.ChangeToDIB(0);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(handle.GetDC(), nullptr) << "the DC goes with the pixels";
    GlobalFree(dib);
  }
}

TEST(BitmapHandlePaint, FrameCentreKeepsTheAspectRatio) {
  const struct {
    int width, height;
    CRect frame, painted;
  } cases[] = {
      {200, 100, CRect(10, 10, 110, 110), CRect(10, 35, 110, 85)},
      {200, 100, CRect(110, 110, 10, 10), CRect(10, 35, 110, 85)},
      {50, 100, CRect(0, 0, 100, 100), CRect(25, 0, 75, 100)},
      {30, 20, CRect(5, 5, 95, 65), CRect(5, 5, 95, 65)},
  };
  for (const auto& c : cases) {
    CQVBitmapHandle handle;
    ASSERT_TRUE(handle.Create(c.width, c.height, 24));  // black
    Canvas canvas(130, 130);
    ASSERT_TRUE(handle.PaintInFrameCenter(canvas.Dc(), c.frame));
    EXPECT_EQ(Text(canvas.Inked()), Text(c.painted)) << c.width << " x " << c.height << " in " << Text(c.frame);
  }
  CQVBitmapHandle empty;
  Canvas canvas(10, 10);
  EXPECT_FALSE(empty.PaintInFrameCenter(canvas.Dc(), CRect(0, 0, 10, 10)));
  CQVBitmapHandle handle;
  ASSERT_TRUE(handle.Create(4, 4, 8));
  EXPECT_FALSE(handle.PaintInFrameCenter(canvas.Dc(), CRect(3, 3, 3, 9)));
  EXPECT_FALSE(handle.Paint(nullptr, CRect(0, 0, 4, 4)));
  CDC noHandle;
  EXPECT_FALSE(handle.Paint(&noHandle, CRect(0, 0, 4, 4)));
  EXPECT_FALSE(empty.Paint(canvas.Dc(), CRect(0, 0, 4, 4)));
}

// An A4 page at 300 dpi with lines one pixel thin, shown at 1/8: scaled to grey the lines stay as
// grey lines; painted without any switch the reduction keeps their dark pixels.
TEST(BitmapHandlePaint, ThinLinesOfAPageShownAtAnEighth) {
  constexpr int kWidth = 2480, kHeight = 3508;
  CQVBitmapHandle page;
  ASSERT_TRUE(page.Create(kWidth, kHeight, 1));
  BYTE* rows = page.Access();
  ASSERT_NE(rows, nullptr);
  std::memset(rows, 0xFF, size_t(page.GetBytesPerLine()) * kHeight);  // white: palette entry 1
  page.Release();
  for (int x = 0; x < kWidth; ++x) page.SetPixelIndex(x, 1601, 0);  // a horizontal line
  for (int y = 0; y < kHeight; ++y) page.SetPixelIndex(803, y, 0);  // a vertical line
  for (int y = 2400; y < 2416; ++y)
    for (int x = 0; x < kWidth; ++x) page.SetPixelIndex(x, y, 0);  // a bar of sixteen rows

  // The darkest grey in a band across each line, and the grey beside it.
  const auto darkest = [](const Canvas& canvas, int x0, int x1, int y0, int y1) {
    int least = 255;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) least = std::min(least, canvas.Grey(x, y));
    return least;
  };
  const CRect shown(0, 0, kWidth / 8, kHeight / 8);
  Canvas grey(shown.Width(), shown.Height());
  ASSERT_TRUE(page.EnablePaintMode(11, TRUE));
  ASSERT_TRUE(page.Paint(grey.Dc(), shown));
  grey.Image().save(QString::fromStdString(ArtifactPath("bitmap-handle-a4-scale-to-grey.png")));
  // Columns map exactly (2480 = 8 x 310): the vertical line covers an eighth of its column.
  EXPECT_NEAR(grey.Grey(100, 50), 255 * 7 / 8, 1) << "the vertical line";
  const int line = darkest(grey, 50, 50, 195, 205);
  EXPECT_GE(line, 255 * 3 / 4) << "the horizontal line is a light grey";
  EXPECT_LE(line, 255 * 7 / 8 + 1) << "and visible";
  EXPECT_EQ(darkest(grey, 50, 50, 295, 305), 0) << "the bar";
  EXPECT_EQ(darkest(grey, 40, 60, 150, 190), 255) << "paper";

  Canvas plain(shown.Width(), shown.Height());
  page.ResetPaintMode();
  ASSERT_TRUE(page.Paint(plain.Dc(), shown));
  plain.Image().save(QString::fromStdString(ArtifactPath("bitmap-handle-a4-default.png")));
  EXPECT_EQ(darkest(plain, 50, 50, 195, 205), 0) << "the horizontal line keeps its dark pixels";
  EXPECT_EQ(plain.Grey(100, 50), 0) << "the vertical line";
  EXPECT_EQ(darkest(plain, 40, 60, 150, 190), 255) << "paper";
}

// Colour pictures shown smaller average their pixels unless the switches leave averaging out.
TEST(BitmapHandlePaint, ModesOfReducedColourPictures) {
  Picture stripes(16, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x) stripes.At(x, y)[x % 2 == 0 ? 0 : 2] = 255;  // red and blue columns
  CQVBitmapHandle handle;
  ASSERT_TRUE(HandleOf(stripes, 24, 0, handle));
  const struct {
    std::vector<int> modes;
    bool averaged;
  } cases[] = {{{}, true}, {{4}, true}, {{11}, true}, {{3}, false}, {{1, 2}, false}};
  for (const auto& c : cases) {
    handle.ResetPaintMode();
    for (int mode : c.modes) ASSERT_TRUE(handle.EnablePaintMode(mode, TRUE));
    Canvas canvas(8, 4);
    ASSERT_TRUE(handle.Paint(canvas.Dc(), CRect(0, 0, 8, 4)));
    const QRgb pixel = canvas.Image().pixel(3, 2);
    const bool averaged = std::abs(qRed(pixel) - 128) <= 2 && std::abs(qBlue(pixel) - 128) <= 2;
    EXPECT_EQ(averaged, c.averaged) << c.modes.size() << " modes, the first " << (c.modes.empty() ? 0 : c.modes[0]);
  }
}

TEST(BitmapHandlePaint, SourcePartsAndRasterOperations) {
  // Left half white, right half black.
  Picture picture(8, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) std::fill_n(picture.At(x, y), 3, BYTE(255));
  CQVBitmapHandle mask;
  ASSERT_TRUE(HandleOf(picture, 1, 1, mask));
  Canvas canvas(16, 8);
  canvas.Dc()->FillSolidRect(0, 0, 16, 8, RGB(128, 128, 128));
  ASSERT_TRUE(mask.Paint(canvas.Dc(), CRect(0, 0, 16, 8), SRCAND));
  EXPECT_EQ(canvas.Grey(2, 2), 128) << "white keeps what is there";
  EXPECT_EQ(canvas.Grey(12, 2), 0) << "black clears it";
  ASSERT_TRUE(mask.Paint(canvas.Dc(), CRect(4, 0, 8, 4), CRect(0, 0, 8, 8), SRCPAINT));
  EXPECT_EQ(canvas.Grey(2, 2), 128) << "black of the source part adds nothing";
}

TEST(BitmapHandlePaint, PrintTakesTheRectangleEitherWayRound) {
  CQVBitmapHandle handle;
  ASSERT_TRUE(handle.Create(30, 20, 8));  // black
  for (const CRect& rect : {CRect(10, 5, 40, 25), CRect(40, 25, 10, 5)}) {
    Canvas canvas(60, 40);
    ASSERT_TRUE(handle.Print(canvas.Dc(), rect));
    EXPECT_EQ(Text(canvas.Inked()), Text(CRect(10, 5, 40, 25))) << Text(rect);
  }
  EXPECT_FALSE(handle.Print(nullptr, CRect(0, 0, 5, 5)));
}

TEST(BitmapHandleClipboard, CopiesAsDIBAndAsDDB) {
  int argc = 1;
  char name[] = "test";
  char* argv[] = {name};
  QGuiApplication application(argc, argv);
  CQVBitmapHandle handle;
  ASSERT_TRUE(HandleOf(Pattern(24, 16), 24, 0, handle));
  for (UINT format : {UINT(CF_DIB), UINT(CF_BITMAP)}) {
    ASSERT_TRUE(format == CF_DIB ? handle.CopyToClipboardAsDIB(nullptr) : handle.CopyToClipboardAsDDB(nullptr));
    EXPECT_FALSE(handle.IsEmpty());
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE dib = GetClipboardData(CF_DIB);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(MaxDifference(PictureOfDIB(dib), PictureOf(handle)), 0) << format;
    CloseClipboard();
  }
  CQVBitmapHandle empty;
  EXPECT_FALSE(empty.CopyToClipboardAsDIB(nullptr));
}
