// The image preview: zoom steps between the fit scale and the upper bound, panning by drag (and a
// pan that loses the mouse), presses beside the image, the rubber band (reversed, cancelled by the
// right button, the window going away under it), painting with and without an image, and the
// caller's image left as it was.

#include "framework/views/CQVPreviewWnd.h"

#include "platform/ui/tests/UiTestSupport.h"

#include <QImage>
#include <QTimer>

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

constexpr COLORREF kImage = RGB(200, 30, 30);

class TestPreview : public CQVPreviewWnd {
public:
  void SelectRegion_OnAfterSelectRegion(UINT, CPoint, CRect region) override { regions.push_back(region); }
  int Zoom() {
    int sx, sy;
    m_vw.GetZoom(sx, sy);
    EXPECT_EQ(sx, sy);
    return sx;
  }
  int Fit() {
    int fit = 0;
    m_vw.GetFitZoom(fit);
    return fit;
  }
  CPoint Origin() {
    CPoint origin;
    m_vw.GetOrigin(origin.x, origin.y);
    return origin;
  }
  int Tracking() const { return m_nTracking; }

  std::vector<CRect> regions;
};

void Fill(CQVBitmapHandle& bitmap, int width, int height, COLORREF colour) {
  ASSERT_TRUE(bitmap.Create(width, height, 24));
  CDC* dc = bitmap.CreateDCW();
  ASSERT_NE(dc, nullptr);
  dc->FillSolidRect(0, 0, width, height, colour);
  bitmap.DeleteDC();
}

class Preview : public ::testing::Test {
protected:
  void SetUp() override {
    parent = MakeParentWindow(u"PreviewTestParent", ::DefWindowProcW);
    ASSERT_TRUE(preview.AutoLoad(100, CWnd::FromHandle(parent), TRUE, CRect(0, 0, 400, 300)));
    preview.ShowWindow(SW_SHOW);
  }
  void TearDown() override {
    preview.DestroyWindow();
    ::DestroyWindow(parent);
  }
  void Press(UINT message, CPoint point, WPARAM keys = MK_LBUTTON) {
    preview.SendMessage(message, keys, MAKELPARAM(point.x, point.y));
  }
  void Post(UINT message, CPoint point, WPARAM keys = MK_LBUTTON) {
    preview.PostMessage(message, keys, MAKELPARAM(point.x, point.y));
  }
  QImage Shot() {
    Pump(30);
    return HostOf(preview.GetSafeHwnd())->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  HWND parent {};
  TestPreview preview;
};

TEST_F(Preview, ZoomStaysBetweenTheFitScaleAndTheBound) {
  CQVBitmapHandle large, small;
  Fill(large, 800, 600, kImage);  // fits at 5000
  Fill(small, 100, 100, kImage);  // fits at 30000
  struct Case {
    const char* what;
    CQVBitmapHandle* image;
    int from;
    bool in;
    int step;
    int to;
  } cases[] = {
      {"out by more than the scale stops at fit", &large, 10000, false, 20000, 5000},
      {"out by a step", &large, 10000, false, 1000, 9000},
      {"in by a step", &large, 10000, true, 1000, 11000},
      {"in by the largest step stops at the bound", &large, 10000, true, INT_MAX, CQVPreviewWnd::kMaxZoom},
      {"in at the bound stays there", &large, CQVPreviewWnd::kMaxZoom, true, 1000, CQVPreviewWnd::kMaxZoom},
      {"out by the most negative step is a zoom in to the bound", &large, 10000, false, INT_MIN, CQVPreviewWnd::kMaxZoom},
      {"a small image: in from 1:1 goes to fit", &small, 10000, true, 1000, 30000},
      {"a small image: out at 1:1 enlarges it to fit", &small, 10000, false, 1000, 30000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    preview.SetImage(c.image, FALSE);
    preview.ZoomActual(FALSE);
    if (c.from != 10000) preview.ZoomIn(c.from - 10000, FALSE);
    ASSERT_EQ(preview.Zoom(), c.from);
    if (c.in) preview.ZoomIn(c.step, TRUE);
    else preview.ZoomOut(c.step, TRUE);
    EXPECT_EQ(preview.Zoom(), c.to);
  }
  preview.SetImage(&large, FALSE);
  for (int i = 0; i < 100; ++i) preview.ZoomIn(INT_MAX / 2, TRUE);
  EXPECT_EQ(preview.Zoom(), CQVPreviewWnd::kMaxZoom);
  EXPECT_EQ(Shot().pixel(200, 150), qRgb(200, 30, 30)) << "the image at the largest zoom";
  preview.ZoomFit(FALSE);
  EXPECT_EQ(preview.Zoom(), 5000);
}

TEST_F(Preview, PansByDragAndIgnoresASecondPress) {
  CQVBitmapHandle image;
  Fill(image, 800, 600, kImage);
  preview.SetImage(&image, FALSE);
  preview.ZoomActual(TRUE);
  preview.SetCurrentTool(1);
  const CPoint start = preview.Origin();
  Press(WM_LBUTTONDOWN, CPoint(200, 150));
  EXPECT_EQ(preview.Tracking(), 1);
  Press(WM_MOUSEMOVE, CPoint(150, 120));
  EXPECT_EQ(preview.Origin(), CPoint(start.x + 50, start.y + 30)) << "the image follows the mouse";
  Press(WM_LBUTTONDOWN, CPoint(10, 10));
  Press(WM_MOUSEMOVE, CPoint(140, 110));
  EXPECT_EQ(preview.Origin(), CPoint(start.x + 60, start.y + 40)) << "still from the first press";
  Press(WM_MOUSEMOVE, CPoint(-5000, -5000));
  EXPECT_EQ(preview.Origin(), CPoint(400, 300)) << "kept inside the image";
  Press(WM_LBUTTONUP, CPoint(-5000, -5000), 0);
  EXPECT_EQ(preview.Tracking(), 0);
  EXPECT_EQ(CWnd::GetCapture(), nullptr);

  // A pan that loses the mouse to another window ends, so that the next press starts a new one.
  Press(WM_LBUTTONDOWN, CPoint(200, 150));
  ASSERT_EQ(preview.Tracking(), 1);
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, AfxRegisterWndClass(0), u"other", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
  other.SetCapture();
  EXPECT_EQ(preview.Tracking(), 0);
  ::ReleaseCapture();
  other.DestroyWindow();
  Press(WM_LBUTTONDOWN, CPoint(200, 150));
  EXPECT_EQ(preview.Tracking(), 1);
  Press(WM_LBUTTONUP, CPoint(200, 150), 0);
}

TEST_F(Preview, PressesBesideTheImageDoNothing) {
  CQVBitmapHandle image;
  Fill(image, 100, 100, kImage);
  preview.SetImage(&image, FALSE);
  preview.ZoomActual(TRUE);  // centred: the image covers 150..250 x 100..200
  preview.SetCurrentTool(1);
  Press(WM_LBUTTONDOWN, CPoint(20, 20));
  EXPECT_EQ(preview.Tracking(), 0);
  Press(WM_LBUTTONUP, CPoint(20, 20), 0);
  preview.SetCurrentTool(0);
  bool lens = false;
  QTimer::singleShot(0, [&] {
    CWnd* capture = CWnd::GetCapture();
    lens = capture && capture != &preview;
    if (lens) capture->PostMessage(WM_LBUTTONUP);
  });
  Press(WM_LBUTTONDOWN, CPoint(20, 20));
  Pump(30);
  EXPECT_FALSE(lens) << "no lens beside the image";
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(Preview, TheRubberBandSelectsARegionOfTheImage) {
  CQVBitmapHandle image;
  Fill(image, 800, 600, kImage);
  preview.SetImage(&image, FALSE);
  preview.ZoomFit(TRUE);  // half size: image pixel = 2 x client pixel
  preview.SetCurrentTool(2);

  // Dragged from bottom-right to top-left.
  Post(WM_MOUSEMOVE, CPoint(100, 80));
  Post(WM_MOUSEMOVE, CPoint(40, 30));
  Post(WM_LBUTTONUP, CPoint(40, 30), 0);
  Press(WM_LBUTTONDOWN, CPoint(150, 120));
  ASSERT_EQ(preview.regions.size(), 1u);
  EXPECT_EQ(preview.regions[0], CRect(80, 60, 300, 240));

  Post(WM_MOUSEMOVE, CPoint(100, 80));
  Post(WM_RBUTTONDOWN, CPoint(100, 80), MK_LBUTTON | MK_RBUTTON);
  Press(WM_LBUTTONDOWN, CPoint(150, 120));
  EXPECT_EQ(preview.regions.size(), 1u) << "the right button cancels";
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  const QImage shot = Shot();
  for (int x = 100; x < 150; ++x) EXPECT_EQ(shot.pixel(x, 80), qRgb(200, 30, 30)) << "no band left at " << x;

  Post(WM_MOUSEMOVE, CPoint(100, 80));
  QTimer::singleShot(20, [&] { preview.DestroyWindow(); });
  Press(WM_LBUTTONDOWN, CPoint(150, 120));
  EXPECT_EQ(preview.regions.size(), 1u) << "the window went away under the band";
  EXPECT_EQ(preview.GetSafeHwnd(), nullptr);
}

TEST_F(Preview, PaintsTheBackgroundAroundTheImageOrAlone) {
  const QImage empty = Shot();
  EXPECT_EQ(empty.pixel(0, 0), qRgb(225, 225, 225));
  EXPECT_EQ(empty.pixel(399, 299), qRgb(225, 225, 225));
  EXPECT_EQ(empty.pixel(200, 150), qRgb(225, 225, 225));

  CQVBitmapHandle image;
  Fill(image, 100, 50, kImage);
  preview.SetBackgroundColor(RGB(0, 0, 90), FALSE);
  preview.SetImage(image, TRUE);
  preview.ZoomActual(TRUE);
  const QImage shot = Shot();
  EXPECT_EQ(shot.pixel(200, 150), qRgb(200, 30, 30));
  EXPECT_EQ(shot.pixel(149, 150), qRgb(0, 0, 90));
  EXPECT_EQ(shot.pixel(200, 124), qRgb(0, 0, 90));
  EXPECT_NE(preview.GetImage(), &image) << "a copy";

  preview.SetImage(nullptr, TRUE);
  EXPECT_EQ(preview.GetImage(), nullptr);
  EXPECT_EQ(Shot().pixel(200, 150), qRgb(0, 0, 90));
}

TEST_F(Preview, LeavesTheCallersImageAsItWas) {
  CQVBitmapHandle image;
  Fill(image, 300, 200, kImage);
  ASSERT_TRUE(image.SetPixelColor(5, 7, RGB(1, 2, 3)));
  ASSERT_TRUE(image.SetPerspective(1));
  preview.SetImage(&image, TRUE);
  preview.ZoomIn(30000, TRUE);
  preview.SetCurrentTool(1);
  Press(WM_LBUTTONDOWN, CPoint(200, 150));
  Press(WM_MOUSEMOVE, CPoint(100, 100));
  Press(WM_LBUTTONUP, CPoint(100, 100), 0);
  preview.SetImage(image, TRUE);
  EXPECT_EQ(image.GetPerspective(), 1u);
  EXPECT_EQ(image.GetWidth(), 300);
  COLORREF colour = 0;
  ASSERT_TRUE(image.GetPixelColor(5, 7, colour));
  EXPECT_EQ(colour, RGB(1, 2, 3));
}

}  // namespace
