// The magnifier lens: where the lens stands near the edges and corners of its bounds and of the
// screen, how its content follows the cursor, what keeps it from showing, and a run of the lens:
// the enlarged image drawn at once where the button went down and then under the moving cursor,
// the cursor back at the start, the image untouched, and deactivation or a release it did not
// see ending it.

#include "framework/views/CQVMagnifier.h"

#include "platform/ui/tests/UiTestSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(MagnifierLens, StandsInsideItsBoundsAndOnTheScreen) {
  const CRect screen(0, 0, 1280, 1024);
  const CRect second(1280, 0, 2560, 1024);  // a screen to the right of the first
  const CSize lens(400, 300);
  struct Case {
    const char* what;
    CPoint cursor;
    CRect bounds, screen;
    CRect expected;
  } cases[] = {
      {"in the middle: centred on the cursor", CPoint(600, 500), CRect(100, 100, 1100, 900), screen, CRect(400, 350, 800, 650)},
      {"left of the bounds: the centre stays on their edge", CPoint(20, 500), CRect(100, 100, 1100, 900), screen, CRect(0, 350, 400, 650)},
      {"above the bounds", CPoint(600, 10), CRect(100, 300, 1100, 900), screen, CRect(400, 150, 800, 450)},
      {"near the screen's left edge: the corner stays at 0", CPoint(50, 500), CRect(0, 0, 1280, 1024), screen, CRect(0, 350, 400, 650)},
      {"near the screen's top edge", CPoint(600, 40), CRect(0, 0, 1280, 1024), screen, CRect(400, 0, 800, 300)},
      {"near the screen's right edge: pulled fully onto it", CPoint(1270, 500), CRect(0, 0, 1280, 1024), screen, CRect(880, 350, 1280, 650)},
      {"near the bottom edge", CPoint(600, 1020), CRect(0, 0, 1280, 1024), screen, CRect(400, 724, 800, 1024)},
      {"top-left corner", CPoint(-30, -30), CRect(0, 0, 1280, 1024), screen, CRect(0, 0, 400, 300)},
      {"bottom-right corner", CPoint(2000, 2000), CRect(0, 0, 1280, 1024), screen, CRect(880, 724, 1280, 1024)},
      {"past the bounds' bottom-right", CPoint(1200, 1000), CRect(100, 100, 700, 600), screen, CRect(500, 450, 900, 750)},
      {"on a second screen: its own edges", CPoint(1290, 20), CRect(1280, 0, 2560, 1024), second, CRect(1280, 0, 1680, 300)},
      {"a second screen's right edge", CPoint(2555, 500), CRect(1280, 0, 2560, 1024), second, CRect(2160, 350, 2560, 650)},
      {"bounds larger than the screen", CPoint(-500, 5000), CRect(-1000, -1000, 3000, 6000), screen, CRect(0, 724, 400, 1024)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CQVMagnifier::LensRect(c.cursor, c.bounds, lens, c.screen), c.expected);
  }
}

TEST(MagnifierLens, ContentMovesTwiceTheCursorsWay) {
  CDPXVWXform view;
  view.SetWorldSize(2000, 3000);
  view.SetViewSize(400, 300);
  view.SetZoom(20000);
  int halfWidth, halfHeight;
  view.ViewToWorldX(200, halfWidth);
  view.ViewToWorldY(150, halfHeight);
  EXPECT_EQ(CPoint(halfWidth, halfHeight), CPoint(100, 75)) << "lens 400 x 300 at 2:1";
  const CPoint start(500, 400);
  const CPoint startOrigin(1000 - 100, 1500 - 75);
  EXPECT_EQ(CQVMagnifier::LensOrigin(view, startOrigin, start, start), startOrigin);
  EXPECT_EQ(CQVMagnifier::LensOrigin(view, startOrigin, start, CPoint(510, 380)), CPoint(910, 1405));
  EXPECT_EQ(CQVMagnifier::LensOrigin(view, startOrigin, start, CPoint(-5000, -5000)), CPoint(0, 0)) << "kept in the image";
  EXPECT_EQ(CQVMagnifier::LensOrigin(view, startOrigin, start, CPoint(9000, 9000)), CPoint(1800, 2850));
}

class MagnifierRun : public ::testing::Test {
protected:
  void SetUp() override {
    parent = MakeParentWindow(u"MagnifierTestParent", ::DefWindowProcW);
    ASSERT_TRUE(image.Create(200, 100, 24));
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 200; ++x) image.SetPixelColor(x, y, x < 100 ? RGB(250, 0, 0) : RGB(0, 0, 250));
    ::GetWindowRect(parent, &bounds);
  }
  void TearDown() override { ::DestroyWindow(parent); }
  // Runs the lens; `during` runs in it (with its window) once it is up. Then the button goes up,
  // unless `release` is false: a lens still there after 3 s is then ended and `stuck` set.
  // FALSE when no lens came up.
  bool Run(CPoint imagePoint, CRect where, int lensWidth, int lensHeight, int zoom,
           const std::function<void(CWnd*)>& during, bool release = true) {
    bool shown = false;
    HWND lensWindow = nullptr;
    QTimer::singleShot(0, [&] {
      CWnd* lens = CWnd::GetCapture();
      shown = lens && lens->GetSafeHwnd() != parent;
      if (!shown) return;
      lensWindow = lens->GetSafeHwnd();
      during(lens);
      if (release && ::IsWindow(lensWindow)) lens->PostMessage(WM_LBUTTONUP);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
      if (!::IsWindow(lensWindow)) return;
      stuck = true;
      ::PostMessageW(lensWindow, WM_LBUTTONUP, 0, 0);
    });
    watchdog.start(3000);
    CQVMagnifier::View(CWnd::FromHandle(parent), &image, start, imagePoint, where, lensWidth, lensHeight, zoom);
    Pump(20);
    return shown;
  }

  HWND parent {};
  CQVBitmapHandle image;
  CRect bounds;
  CPoint start { 100, 100 };
  bool stuck { false };
};

TEST_F(MagnifierRun, ShowsNothingWhenAConditionFails) {
  struct Case {
    const char* what;
    CPoint imagePoint;
    bool emptyBounds;
    int width, height, zoom;
  } cases[] = {
      {"image point right of the image", CPoint(200, 10), false, 400, 300, 20000},
      {"image point above it", CPoint(10, -1), false, 400, 300, 20000},
      {"empty bounds", CPoint(10, 10), true, 400, 300, 20000},
      {"no lens width", CPoint(10, 10), false, 0, 300, 20000},
      {"negative lens height", CPoint(10, 10), false, 400, -3, 20000},
      {"no zoom", CPoint(10, 10), false, 400, 300, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(Run(c.imagePoint, c.emptyBounds ? CRect(5, 5, 5, 90) : bounds, c.width, c.height, c.zoom, [](CWnd*) {}));
  }
  CQVMagnifier::View(nullptr, &image, start, CPoint(10, 10), bounds, 400, 300, 20000);
  CQVMagnifier::View(CWnd::FromHandle(parent), nullptr, start, CPoint(10, 10), bounds, 400, 300, 20000);
}

TEST_F(MagnifierRun, DrawsTheEnlargedImageAtOnceAndUnderTheMovingCursorAndPutsTheCursorBack) {
  ASSERT_TRUE(image.SetPerspective(1));
  QImage still, moved;
  CRect window;
  const bool shown = Run(CPoint(100, 50), bounds, 40, 20, 20000, [&](CWnd* lens) {
    lens->GetWindowRect(&window);
    const auto picture = [&] { return HostOf(lens->GetSafeHwnd())->grab().toImage().convertToFormat(QImage::Format_RGB32); };
    // A pointer held still sends no move: the lens must be there already.
    still = picture();
    ::SetCursorPos(300, 300);
    const CPoint cursor(start.x + 5, start.y);  // the content moves 10 screen pixels: 5 image pixels at 2:1
    lens->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(cursor.x - window.left, cursor.y - window.top));
    Pump(30);
    moved = picture();
  });
  if (!shown) GTEST_SKIP() << "this display gives no picture of the screen";
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(window, CRect(screen.left(), screen.top(), screen.right() + 1, screen.bottom() + 1)) << "the whole screen";
  // A lens of 40 x 20 around the cursor shows 20 x 10 image pixels at 2:1, centred on the image
  // point (100, 50) at the start: red (x < 100) left of the cursor, blue right of it. After the
  // move to (105, 100) the lens stands at 85..125 and its image pixels start 5 further right:
  // image x 95..115, so the colour changes 5 screen pixels left of the cursor.
  const QRgb red = qRgb(250, 0, 0), blue = qRgb(0, 0, 250), black = qRgb(0, 0, 0);
  struct Probe {
    const char* what;
    const QImage* picture;
    CPoint at;
    QRgb colour;
  } probes[] = {
      {"at once: left end", &still, CPoint(83, 100), red},
      {"at once: left of the cursor", &still, CPoint(98, 100), red},
      {"at once: right of the cursor", &still, CPoint(102, 100), blue},
      {"at once: right end", &still, CPoint(117, 100), blue},
      {"at once: the frame", &still, CPoint(100, 90), black},
      {"moved: left end", &moved, CPoint(88, 100), red},
      {"moved: before the change", &moved, CPoint(94, 100), red},
      {"moved: after it", &moved, CPoint(96, 100), blue},
      {"moved: right end", &moved, CPoint(122, 100), blue},
      {"moved: the frame", &moved, CPoint(105, 90), black},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.what);
    EXPECT_EQ(p.picture->pixel(p.at.x - window.left, p.at.y - window.top), p.colour);
  }
  POINT cursor {};
  ::GetCursorPos(&cursor);
  EXPECT_EQ(CPoint(cursor), start);
  EXPECT_EQ(image.GetPerspective(), 1u) << "the caller's image keeps its perspective";
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(MagnifierRun, EndsWhenItLosesTheActivationOrTheButtonIsFoundUp) {
  struct Case {
    const char* what;
    UINT message;
    WPARAM wParam;
  } cases[] = {
      {"another window activated", WM_ACTIVATE, WA_INACTIVE},
      {"a move without the button: its release went elsewhere", WM_MOUSEMOVE, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    stuck = false;
    ::SetCursorPos(300, 300);
    const bool shown = Run(CPoint(10, 10), bounds, 400, 300, 20000, [&](CWnd* lens) {
      lens->SendMessage(c.message, c.wParam, MAKELPARAM(5, 5));
    }, false);
    if (!shown) GTEST_SKIP() << "this display gives no picture of the screen";
    EXPECT_FALSE(stuck) << "the lens stayed";
    POINT cursor {};
    ::GetCursorPos(&cursor);
    EXPECT_EQ(CPoint(cursor), start);
  }
}

}  // namespace
