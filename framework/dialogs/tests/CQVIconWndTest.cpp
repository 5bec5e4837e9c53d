// The icon window: where each placement puts the bitmap, the mask and when it is used, bitmaps by
// key from the language file, painting outside and inside WM_PAINT, and making the window.

#include "framework/dialogs/CQVIconWnd.h"

#include "foundation/language/CQVRCM.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/windc.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kIcon = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kFloor = RGB(0, 128, 0);

QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

// A 24-bit bitmap whose pixels the function gives.
void Paint24(CQVBitmapHandle& bitmap, int width, int height, const std::function<COLORREF(int, int)>& colour) {
  ASSERT_TRUE(bitmap.Create(width, height, 24));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) ASSERT_TRUE(bitmap.SetPixelColor(x, y, colour(x, y)));
}

class IconWindow : public ::testing::Test {
protected:
  void SetUp() override {
    parent = MakeParentWindow(u"IconWindowTestParent", ::DefWindowProcW);
    ASSERT_TRUE(icon.AutoLoad(101, CWnd::FromHandle(parent), TRUE, CRect(10, 10, 110, 60)));
    icon.ShowWindow(SW_SHOW);
    Pump(30);
  }
  void TearDown() override {
    icon.DestroyWindow();
    ::DestroyWindow(parent);
  }
  // Covers the client area with one colour, drawn outside WM_PAINT.
  void Clear(COLORREF colour) {
    CDC* dc = icon.GetDC();
    ASSERT_NE(dc, nullptr);
    dc->FillSolidRect(0, 0, 100, 50, colour);
    icon.ReleaseDC(dc);
  }
  QImage Shot() {
    Pump(30);
    return HostOf(icon.GetSafeHwnd())->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  HWND parent {};
  CQVIconWnd icon;
};

TEST_F(IconWindow, EachPlacementPutsTheBitmapWhereItBelongs) {
  CQVBitmapHandle square;
  Paint24(square, 32, 32, [](int, int) { return kIcon; });
  icon.SetIcon(square);
  struct Case {
    int mode;
    int storedMode;
    CRect target;  // in the 100 x 50 client area
  } cases[] = {
      {0, 0, CRect(0, 0, 100, 50)},  {1, 1, CRect(0, 0, 32, 32)},  {2, 2, CRect(34, 9, 66, 41)},
      {3, 3, CRect(0, 0, 50, 50)},   {4, 4, CRect(25, 0, 75, 50)}, {7, 0, CRect(0, 0, 100, 50)},
      {-1, 0, CRect(0, 0, 100, 50)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Clear(kBackground);
    icon.SetPaintMode(c.mode);
    EXPECT_EQ(icon.GetPaintMode(), c.storedMode);
    icon.Repaint(nullptr);
    const QImage shot = Shot();
    const CRect& t = c.target;
    for (CPoint inside : {t.TopLeft(), CPoint(t.right - 1, t.bottom - 1), CPoint(t.left, t.bottom - 1)})
      EXPECT_EQ(shot.pixel(inside.x, inside.y), Rgb(kIcon)) << inside.x << "," << inside.y;
    if (t.left > 0) {
      EXPECT_EQ(shot.pixel(t.left - 1, t.top), Rgb(kBackground));
    }
    if (t.right < 100) {
      EXPECT_EQ(shot.pixel(t.right, t.top), Rgb(kBackground));
    }
    if (t.bottom < 50) {
      EXPECT_EQ(shot.pixel(t.left, t.bottom), Rgb(kBackground));
    }
  }
}

TEST_F(IconWindow, AMaskOfTheIconsSizeLetsTheBackgroundThroughAndAnyOtherIsIgnored) {
  // Left half opaque red, right half transparent: the icon is black and the mask white there.
  CQVBitmapHandle picture, mask, smallMask;
  Paint24(picture, 32, 32, [](int x, int) { return x < 16 ? kRed : kBlack; });
  Paint24(mask, 32, 32, [](int x, int) { return x < 16 ? kBlack : RGB(255, 255, 255); });
  Paint24(smallMask, 16, 16, [](int, int) { return RGB(255, 255, 255); });
  icon.SetPaintMode(1);
  struct Case {
    CQVBitmapHandle* mask;
    COLORREF right;
  } cases[] = {{&mask, kFloor}, {&smallMask, kBlack}};
  for (const Case& c : cases) {
    Clear(kFloor);
    icon.SetIconMask(picture, *c.mask);
    icon.Repaint(nullptr);
    const QImage shot = Shot();
    EXPECT_EQ(shot.pixel(3, 3), Rgb(kRed)) << "mask " << c.mask->GetWidth();
    EXPECT_EQ(shot.pixel(28, 28), Rgb(c.right)) << "mask " << c.mask->GetWidth();
    EXPECT_EQ(shot.pixel(40, 3), Rgb(kFloor)) << "nothing beyond the icon";
  }
}

TEST_F(IconWindow, BitmapsByKeyComeFromTheLanguageFileAndAMissingKeyLeavesItBlank) {
  CQVRCM::RegisterRCM(nullptr, u"FrameworkDialogsTest.drs", FALSE);
  icon.SetPaintMode(1);
  icon.SetIconMask(u"ICO_RED", u"ICO_RED");
  EXPECT_EQ(icon.GetIcon()->GetWidth(), 32);
  EXPECT_EQ(icon.GetMask()->GetWidth(), 32);
  icon.SetIconMask(*icon.GetIcon(), *icon.GetMask());
  EXPECT_EQ(icon.GetIcon()->GetWidth(), 32) << "its own bitmap given back is kept";
  icon.SetMask(nullptr);
  EXPECT_TRUE(icon.GetMask()->IsEmpty());
  Clear(kBackground);
  icon.Repaint(nullptr);
  QImage shot = Shot();
  EXPECT_EQ(shot.pixel(0, 0), Rgb(kRed));
  EXPECT_EQ(shot.pixel(31, 31), Rgb(kRed));
  EXPECT_EQ(shot.pixel(32, 0), Rgb(kBackground));

  icon.SetIcon(u"ICO_NOT_THERE");
  EXPECT_TRUE(icon.GetIcon()->IsEmpty());
  Clear(kBackground);
  icon.Repaint(nullptr);
  shot = Shot();
  EXPECT_EQ(shot.pixel(0, 0), Rgb(kBackground)) << "blank";
  EXPECT_EQ(shot.pixel(50, 25), Rgb(kBackground));
  CQVRCM::UnregisterRCM(nullptr);
}

TEST_F(IconWindow, ChangesShowOnlyWhenTheOwnerRepaintsOrInvalidates) {
  CQVBitmapHandle square;
  Paint24(square, 32, 32, [](int, int) { return kIcon; });
  icon.SetPaintMode(1);
  Clear(kBackground);
  icon.SetIcon(square);
  EXPECT_EQ(Shot().pixel(5, 5), Rgb(kBackground)) << "no repaint of its own";
  icon.Invalidate();
  icon.UpdateWindow();
  EXPECT_EQ(Shot().pixel(5, 5), Rgb(kIcon)) << "painted for WM_PAINT";

  CQVIconWnd windowless;
  windowless.SetIcon(square);
  CClientDC dc(&icon);
  windowless.Repaint(&dc);  // nothing without a window of its own
}

TEST(IconWindowMaking, AutoLoadMakesOrTakesOverTheWindowOnce) {
  HWND parent = MakeParentWindow(u"IconWindowTestParent", ::DefWindowProcW);
  CWnd* parentWnd = CWnd::FromHandle(parent);
  HWND item = ::CreateWindowExW(0, u"STATIC", u"", WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0, 20, 20, parent,
                                reinterpret_cast<HMENU>(7), nullptr, nullptr);
  ASSERT_NE(item, nullptr);

  CQVIconWnd made;
  ASSERT_TRUE(made.AutoLoad(8, parentWnd, TRUE, CRect(30, 40, 62, 72)));
  EXPECT_EQ(made.GetDlgCtrlID(), 8);
  EXPECT_EQ(made.GetStyle() & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD));
  EXPECT_TRUE(made.IsWindowEnabled());
  CRect rect;
  made.GetClientRect(&rect);
  EXPECT_EQ(rect.Width(), 32);
  EXPECT_FALSE(made.AutoLoad(9, parentWnd, TRUE, CRect(0, 0, 5, 5))) << "it exists already";

  CQVIconWnd taken;
  ASSERT_TRUE(taken.AutoLoad(7, parentWnd));
  EXPECT_EQ(taken.GetSafeHwnd(), item);
  EXPECT_TRUE(taken.IsWindowEnabled()) << "enabled when taken over";
  taken.UnsubclassWindow();

  CQVIconWnd missing, orphan;
  EXPECT_FALSE(missing.AutoLoad(99, parentWnd));
  EXPECT_FALSE(orphan.AutoLoad(7, nullptr));
  EXPECT_FALSE(orphan.AutoLoad(7, nullptr, TRUE, CRect(0, 0, 5, 5)));
  made.DestroyWindow();
  ::DestroyWindow(parent);
}

}  // namespace
