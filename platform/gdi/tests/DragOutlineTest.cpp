// Drag outlines: the frame a DC hands to the presenter (where it lies on the screen, its shape,
// its pixels), hiding and forgetting, the halftone brush, and DC layouts.

#include "GdiTestSupport.h"

#include "platform/gdi/CDCSurface.h"
#include "platform/gdi/gdi.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records what the drawing layer asks of the presenter.
class RecordingPresenter : public CDragOutlinePresenter {
public:
  struct Shown {
    HDC dc;
    QRect screen;
    QRegion shape;
    QImage picture;
  };
  void Show(HDC dc, const QRect& screen, const QRegion& shape, const QImage& picture) override {
    shown.push_back({dc, screen, shape, picture});
    calls.push_back("show");
  }
  void Hide(HDC) override { calls.push_back("hide"); }
  void Forget(HDC dc) override {
    forgotten.push_back(dc);
    calls.push_back("forget");
  }

  std::vector<Shown> shown;
  std::vector<HDC> forgotten;
  std::vector<std::string> calls;
};

class DragOutline : public ::testing::Test {
protected:
  void SetUp() override { SetDragOutlinePresenter(&presenter); }
  void TearDown() override { SetDragOutlinePresenter(nullptr); }
  RecordingPresenter presenter;
};

QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

}  // namespace

TEST_F(DragOutline, TheFrameLiesAtTheRectangleWithTheGivenThickness) {
  struct Case {
    const char* name;
    CRect rect;
    CSize size;
    QRect screen;
    std::vector<QPoint> inside;  // relative to the screen rectangle
    std::vector<QPoint> outside;
  };
  const Case cases[] = {
      {"frame 4 x 3", CRect(10, 20, 110, 70), CSize(4, 3), QRect(15, 27, 100, 50),
       {{0, 0}, {3, 25}, {99, 49}, {50, 2}, {96, 10}}, {{4, 3}, {50, 25}, {95, 46}}},
      {"a frame thicker than half the rectangle fills it", CRect(0, 0, 10, 8), CSize(6, 6), QRect(5, 7, 10, 8),
       {{0, 0}, {5, 4}, {9, 7}}, {}},
      {"only sides", CRect(0, 0, 20, 10), CSize(1, 0), QRect(5, 7, 20, 10), {{0, 5}, {19, 5}}, {{1, 0}, {10, 9}}},
      {"a flipped rectangle is normalised", CRect(30, 30, 10, 20), CSize(1, 1), QRect(15, 27, 20, 10),
       {{0, 0}, {19, 9}}, {{1, 1}}},
  };
  CDC dc;
  ASSERT_TRUE(dc.CreateDC(u"DISPLAY", nullptr, nullptr, nullptr));
  dc.SetViewportOrg(5, 7);  // the rectangle is logical: the screen rectangle is the device one
  for (const Case& c : cases) {
    presenter.shown.clear();
    dc.DrawDragRect(&c.rect, c.size, nullptr, CSize(0, 0));
    ASSERT_EQ(presenter.shown.size(), 1u) << c.name;
    const RecordingPresenter::Shown& s = presenter.shown[0];
    EXPECT_EQ(s.dc, dc.GetSafeHdc()) << c.name;
    EXPECT_EQ(s.screen, c.screen) << c.name;
    EXPECT_EQ(s.picture.size(), c.screen.size()) << c.name;
    for (QPoint p : c.inside) EXPECT_TRUE(s.shape.contains(p)) << c.name << ": " << p.x() << "," << p.y();
    for (QPoint p : c.outside) EXPECT_FALSE(s.shape.contains(p)) << c.name << ": " << p.x() << "," << p.y();
  }
}

TEST_F(DragOutline, BrushesFillTheFrameAndTheCheckerStaysInPlace) {
  CDC dc;
  ASSERT_TRUE(dc.CreateDC(u"DISPLAY", nullptr, nullptr, nullptr));
  CBrush white(RGB(255, 255, 255));
  const CRect rect(0, 0, 40, 30);
  dc.DrawDragRect(&rect, CSize(1, 1), nullptr, CSize(0, 0), &white);
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(presenter.shown[0].picture.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(presenter.shown[0].picture.pixel(39, 29), qRgb(255, 255, 255));

  // The halftone brush (the default) alternates black and white by screen pixel, so moving the
  // outline by one pixel swaps the colour at the same place of the picture.
  for (int shift : {0, 1, 8, 9}) {
    presenter.shown.clear();
    const CRect moved(shift, 3, shift + 40, 33);
    dc.DrawDragRect(&moved, CSize(4, 4), nullptr, CSize(0, 0));
    ASSERT_EQ(presenter.shown.size(), 1u);
    const QImage& picture = presenter.shown[0].picture;
    for (QPoint p : {QPoint(0, 0), QPoint(1, 0), QPoint(2, 3), QPoint(39, 29), QPoint(20, 28)}) {
      const bool blackExpected = ((p.x() + shift + p.y() + 3) % 2) == 0;
      EXPECT_EQ(picture.pixel(p), blackExpected ? qRgb(0, 0, 0) : qRgb(255, 255, 255))
          << "shift " << shift << " at " << p.x() << "," << p.y();
    }
  }
}

TEST_F(DragOutline, AnEmptyFrameHidesAndDeletingTheDcForgets) {
  HDC handle;
  {
    CDC dc;
    ASSERT_TRUE(dc.CreateDC(u"DISPLAY", nullptr, nullptr, nullptr));
    handle = dc.GetSafeHdc();
    const CRect rect(0, 0, 50, 50);
    const CRect empty(10, 10, 10, 40);
    dc.DrawDragRect(&rect, CSize(2, 2), nullptr, CSize(0, 0));
    dc.DrawDragRect(&rect, CSize(0, 0), &rect, CSize(2, 2));
    dc.DrawDragRect(&rect, CSize(3, 3), nullptr, CSize(0, 0));
    dc.DrawDragRect(nullptr, CSize(3, 3), &rect, CSize(3, 3));
    dc.DrawDragRect(&empty, CSize(3, 3), nullptr, CSize(0, 0));
  }
  EXPECT_EQ(presenter.calls, (std::vector<std::string> {"show", "hide", "show", "hide", "hide", "forget"}));
  EXPECT_EQ(presenter.forgotten, std::vector<HDC> {handle});
}

TEST_F(DragOutline, OnlyDcsOnTheScreenShowOutlines) {
  // A bitmap has no place on the screen: its DC ignores the call and has nothing to forget.
  {
    TestCanvas canvas(20, 20);
    const CRect rect(0, 0, 20, 20);
    canvas.DC().DrawDragRect(&rect, CSize(2, 2), nullptr, CSize(0, 0));
    EXPECT_EQ(canvas.Picture(BasicLegend(), CRect(0, 0, 4, 1)), "    \n") << "the bitmap was drawn on";
  }
  EXPECT_TRUE(presenter.calls.empty());

  // Without a presenter nothing is shown and nothing breaks.
  SetDragOutlinePresenter(nullptr);
  CDC dc;
  ASSERT_TRUE(dc.CreateDC(u"DISPLAY", nullptr, nullptr, nullptr));
  const CRect rect(0, 0, 20, 20);
  dc.DrawDragRect(&rect, CSize(2, 2), nullptr, CSize(0, 0));
  dc.DeleteDC();
  EXPECT_TRUE(presenter.calls.empty());
}

TEST_F(DragOutline, TheClipRegionLimitsTheFrame) {
  CDC dc;
  ASSERT_TRUE(dc.CreateDC(u"DISPLAY", nullptr, nullptr, nullptr));
  CRgn left;
  left.CreateRectRgn(0, 0, 30, 100);
  dc.SelectClipRgn(&left);
  const CRect rect(10, 10, 90, 50);
  dc.DrawDragRect(&rect, CSize(2, 2), nullptr, CSize(0, 0));
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(presenter.shown[0].screen, QRect(10, 10, 20, 40));
}

TEST(HalftoneBrush, PaintsAlternatePixelsInTheTextAndBackgroundColours) {
  TestCanvas canvas(6, 3);
  CDC& dc = canvas.DC();
  const CRect all(0, 0, 6, 3);
  dc.FillRect(&all, CDC::GetHalftoneBrush());
  EXPECT_EQ(canvas.Picture(BasicLegend()), "#.#.#.\n.#.#.#\n#.#.#.\n");
  dc.SetTextColor(RGB(255, 0, 0));
  dc.SetBkColor(RGB(0, 0, 255));
  dc.FillRect(&all, CDC::GetHalftoneBrush());
  EXPECT_EQ(canvas.Picture(BasicLegend()), "rbrbrb\nbrbrbr\nrbrbrb\n");
  EXPECT_EQ(CDC::GetHalftoneBrush(), CDC::GetHalftoneBrush());
  EXPECT_EQ(canvas.Image().pixel(0, 0), Rgb(RGB(255, 0, 0)));
}

TEST(Layout, IsKeptButDrawingStaysLeftToRight) {
  TestCanvas canvas(4, 1);
  CDC& dc = canvas.DC();
  EXPECT_EQ(dc.GetLayout(), 0u);
  EXPECT_EQ(dc.SetLayout(LAYOUT_RTL), 0u);
  EXPECT_EQ(dc.GetLayout(), DWORD(LAYOUT_RTL));
  dc.SetPixel(0, 0, RGB(255, 0, 0));
  EXPECT_EQ(canvas.Picture(BasicLegend()), "r   \n");
  EXPECT_EQ(dc.SetLayout(0), DWORD(LAYOUT_RTL));
  EXPECT_EQ(SetLayout(nullptr, LAYOUT_RTL), GDI_ERROR);
  EXPECT_EQ(GetLayout(nullptr), GDI_ERROR);
}
