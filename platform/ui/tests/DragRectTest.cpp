// Drag outlines on the screen: the window that shows a DC's outline (where it lies, its shape,
// moving, hiding, going with the DC), DCs of the desktop and of windows, and the update lock.

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// The outline windows on the screen now.
std::vector<QWidget*> Outlines() {
  std::vector<QWidget*> found;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QStringLiteral("qv-drag-outline")) found.push_back(w);
  return found;
}

QWidget* OnlyOutline() {
  const std::vector<QWidget*> all = Outlines();
  return all.size() == 1 ? all[0] : nullptr;
}

LPCWSTR PlainClass() { return AfxRegisterWndClass(0, nullptr, GetSysColorBrush(COLOR_WINDOW)); }

void Draw(HDC dc, const CRect& rect, CSize size, CBrush* brush = nullptr) {
  CDC::FromHandle(dc)->DrawDragRect(&rect, size, nullptr, CSize(0, 0), brush);
}

}  // namespace

TEST(DesktopOutline, MovesReshapesHidesAndGoesWithTheDc) {
  HWND desktop = GetDesktopWindow();
  HDC dc = GetDCEx(desktop, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  ASSERT_NE(dc, nullptr);

  Draw(dc, CRect(100, 80, 300, 200), CSize(3, 3));
  QPointer<QWidget> outline = OnlyOutline();
  ASSERT_TRUE(outline);
  EXPECT_TRUE(outline->isVisible());
  EXPECT_TRUE(outline->windowFlags() & Qt::WindowTransparentForInput);
  EXPECT_EQ(outline->geometry(), QRect(100, 80, 200, 120));
  const QRegion ring = outline->mask();
  for (QPoint p : {QPoint(0, 0), QPoint(2, 2), QPoint(199, 119), QPoint(100, 1), QPoint(197, 60)})
    EXPECT_TRUE(ring.contains(p)) << p.x() << "," << p.y();
  for (QPoint p : {QPoint(3, 3), QPoint(100, 60), QPoint(196, 116)})
    EXPECT_FALSE(ring.contains(p)) << "inside the frame at " << p.x() << "," << p.y();
  // Screen pixel (100, 80) is a black one of the halftone checker, its neighbour a white one.
  const QImage painted = outline->grab().toImage();
  EXPECT_EQ(painted.pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_EQ(painted.pixel(1, 0), qRgb(255, 255, 255));

  // The next rectangle moves and reshapes the same window.
  CBrush white(RGB(255, 255, 255));
  Draw(dc, CRect(150, 90, 250, 170), CSize(1, 1), &white);
  EXPECT_EQ(OnlyOutline(), outline.data());
  EXPECT_EQ(outline->geometry(), QRect(150, 90, 100, 80));
  EXPECT_TRUE(outline->mask().contains(QPoint(0, 40)));
  EXPECT_FALSE(outline->mask().contains(QPoint(1, 40)));
  EXPECT_EQ(outline->grab().toImage().pixel(1, 0), qRgb(255, 255, 255));

  // A size of 0 hides it; releasing the DC takes it away.
  Draw(dc, CRect(150, 90, 250, 170), CSize(0, 0));
  ASSERT_TRUE(outline);
  EXPECT_FALSE(outline->isVisible());
  EXPECT_EQ(ReleaseDC(desktop, dc), 1);
  EXPECT_FALSE(outline) << "the outline outlived its DC";
}

TEST(DesktopOutline, EveryDcOfTheScreenShowsOutlinesAtScreenCoordinates) {
  const std::vector<std::pair<const char*, std::function<HDC()>>> ways = {
      {"GetWindowDC(desktop)", [] { return GetWindowDC(GetDesktopWindow()); }},
      {"GetDC(desktop)", [] { return GetDC(GetDesktopWindow()); }},
      {"GetDC(null)", [] { return GetDC(nullptr); }},
  };
  for (const auto& [name, open] : ways) {
    HDC dc = open();
    ASSERT_NE(dc, nullptr) << name;
    Draw(dc, CRect(7, 9, 57, 39), CSize(2, 2));
    QWidget* outline = OnlyOutline();
    ASSERT_NE(outline, nullptr) << name;
    EXPECT_EQ(outline->geometry(), QRect(7, 9, 50, 30)) << name;
    ReleaseDC(GetDesktopWindow(), dc);
    EXPECT_TRUE(Outlines().empty()) << name;
  }
}

TEST(WindowOutline, RectanglesOfAWindowDcAreConvertedToTheScreen) {
  CWnd frame;
  ASSERT_TRUE(frame.CreateEx(WS_EX_CLIENTEDGE, PlainClass(), u"frame", WS_POPUP | WS_VISIBLE, 200, 150, 160, 120,
                             nullptr, nullptr));
  CWnd child;
  ASSERT_TRUE(child.CreateEx(0, PlainClass(), u"child", WS_CHILD | WS_VISIBLE | WS_BORDER, 30, 20, 80, 60,
                             frame.GetSafeHwnd(), nullptr));
  Pump(20);
  const auto clientAt = [](CWnd& wnd) {
    CPoint origin(0, 0);
    wnd.ClientToScreen(&origin);
    return QPoint(origin.x, origin.y);
  };
  const auto windowAt = [](CWnd& wnd) {
    CRect r;
    wnd.GetWindowRect(&r);
    return QPoint(r.left, r.top);
  };
  struct Case {
    const char* name;
    HWND hwnd;
    bool window;
    QPoint origin;   // where the DC's (0, 0) lies on the screen
    CRect rect;
    QRect expected;  // relative to the origin
  };
  const Case cases[] = {
      {"client DC", frame.GetSafeHwnd(), false, clientAt(frame), CRect(10, 10, 60, 40), QRect(10, 10, 50, 30)},
      {"window DC", frame.GetSafeHwnd(), true, windowAt(frame), CRect(0, 0, 20, 20), QRect(0, 0, 20, 20)},
      {"child's client DC", child.GetSafeHwnd(), false, clientAt(child), CRect(5, 5, 25, 15), QRect(5, 5, 20, 10)},
      {"clipped to the client area", frame.GetSafeHwnd(), false, clientAt(frame), CRect(-5, -5, 60, 40),
       QRect(0, 0, 60, 40)},
  };
  ASSERT_NE(clientAt(frame), windowAt(frame)) << "the frame needs an edge for the cases to differ";
  for (const Case& c : cases) {
    HDC dc = c.window ? GetWindowDC(c.hwnd) : GetDC(c.hwnd);
    ASSERT_NE(dc, nullptr) << c.name;
    Draw(dc, c.rect, CSize(2, 2));
    QWidget* outline = OnlyOutline();
    ASSERT_NE(outline, nullptr) << c.name;
    EXPECT_EQ(outline->geometry(), c.expected.translated(c.origin)) << c.name;
    ReleaseDC(c.hwnd, dc);
  }
  child.DestroyWindow();
  frame.DestroyWindow();
}

TEST(UpdateLock, OneWindowAtATime) {
  CWnd a;
  CWnd b;
  ASSERT_TRUE(a.CreateEx(0, PlainClass(), u"a", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  ASSERT_TRUE(b.CreateEx(0, PlainClass(), u"b", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  EXPECT_TRUE(a.LockWindowUpdate());
  EXPECT_FALSE(b.LockWindowUpdate()) << "a second window was locked";
  EXPECT_FALSE(LockWindowUpdate(a.GetSafeHwnd())) << "a held lock was taken again";
  a.UnlockWindowUpdate();
  EXPECT_TRUE(b.LockWindowUpdate()) << "unlocking did not free the lock";
  EXPECT_FALSE(LockWindowUpdate(GetDesktopWindow()));

  // A window that goes takes its lock with it.
  b.DestroyWindow();
  EXPECT_TRUE(LockWindowUpdate(GetDesktopWindow()));
  EXPECT_FALSE(a.LockWindowUpdate());
  EXPECT_TRUE(LockWindowUpdate(nullptr));
  EXPECT_TRUE(LockWindowUpdate(nullptr)) << "unlocking without a lock";

  const HWND gone = a.GetSafeHwnd();
  a.DestroyWindow();
  EXPECT_FALSE(LockWindowUpdate(gone)) << "a destroyed window was locked";
}

// On a real X display (the test run under xvfb-run): the outline is seen only on its frame, the
// window below shows through inside it. The picture is kept with the artefacts.
TEST(DragOutlineOnX11, AHalftoneFrameOverAWindow) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "needs an X display";
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0, nullptr, GetSysColorBrush(COLOR_HIGHLIGHT)), u"under",
                           WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr));
  Pump(200);
  HDC dc = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  const CSize border(GetSystemMetrics(SM_CXFRAME) - 1, GetSystemMetrics(SM_CYFRAME) - 1);
  Draw(dc, CRect(150, 130, 350, 260), border);
  QImage shot;
  const QRgb under = QColor(GetRValue(GetSysColor(COLOR_HIGHLIGHT)), GetGValue(GetSysColor(COLOR_HIGHLIGHT)),
                            GetBValue(GetSysColor(COLOR_HIGHLIGHT)))
                         .rgb();
  // The window manager's work is asynchronous: wait until the frame is on the screen.
  EXPECT_TRUE(PumpUntil([&] {
    shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    return shot.pixel(150, 130) == qRgb(0, 0, 0) && shot.pixel(151, 130) == qRgb(255, 255, 255);
  }));
  QDir().mkpath(QStringLiteral(QV_TEST_ARTIFACT_DIR));
  shot.copy(80, 80, 340, 240).save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/drag_outline_x11.png"));
  for (QPoint p : {QPoint(150, 130), QPoint(152, 200), QPoint(349, 259), QPoint(250, 258)}) {
    const QRgb expected = (p.x() + p.y()) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    EXPECT_EQ(shot.pixel(p), expected) << "frame at " << p.x() << "," << p.y();
  }
  for (QPoint p : {QPoint(153, 133), QPoint(250, 200), QPoint(346, 256)})
    EXPECT_EQ(shot.pixel(p), under) << "the window does not show inside the frame at " << p.x() << "," << p.y();
  ReleaseDC(GetDesktopWindow(), dc);
  wnd.DestroyWindow();
}
