// The bitmap blit and the rubber band: the band follows the mouse, ends with the rectangle on
// release, cancels on the right button or when the window goes, and leaves the window as it was.

#include "foundation/util/DPXWindowDraw.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CDCSurface.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/windc.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(DPXDrawBitmap, BlitsTheWholeBitmapAndRefusesWhatItCannotDraw) {
  auto surface = std::make_shared<CImageSurface>(40, 30);
  CDC dc;
  ASSERT_TRUE(dc.Attach(CreateDCForSurface(surface)));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 8, 6));
  {
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap* old = memory.SelectObject(&bitmap);
    memory.FillSolidRect(0, 0, 8, 6, RGB(10, 200, 30));
    memory.SelectObject(old);
  }
  EXPECT_TRUE(DPXDrawBitmap(&dc, &bitmap, 5, 4, SRCCOPY));
  EXPECT_EQ(dc.GetPixel(5, 4), RGB(10, 200, 30));
  EXPECT_EQ(dc.GetPixel(12, 9), RGB(10, 200, 30));
  EXPECT_EQ(dc.GetPixel(13, 10), RGB(0, 0, 0));
  CBitmap none;
  EXPECT_FALSE(DPXDrawBitmap(&dc, &none, 0, 0, SRCCOPY));
  EXPECT_FALSE(DPXDrawBitmap(nullptr, &bitmap, 0, 0, SRCCOPY));
}

class RubberBand : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, u"band", WS_POPUP | WS_VISIBLE, 50, 50, 200, 150, nullptr, nullptr));
    Pump(20);
    host = HostOf(wnd.GetSafeHwnd());
    dc = wnd.GetDC();
    dc->FillSolidRect(0, 0, 200, 150, RGB(255, 255, 255));
  }
  void TearDown() override {
    if (wnd.GetSafeHwnd()) {
      wnd.ReleaseDC(dc);
      wnd.DestroyWindow();
    }
  }
  // Sends mouse events to the window from the event loop the band runs.
  void Later(int ms, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QTimer::singleShot(ms, [this, type, at, button, buttons] {
      if (!wnd.GetSafeHwnd()) return;
      QMouseEvent e(type, QPointF(at), host->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
      QCoreApplication::sendEvent(host, &e);
    });
  }

  CWnd wnd;
  QWidget* host {};
  CDC* dc {};
  CPen pen {PS_SOLID, 1, RGB(0, 0, 0)};
};

TEST_F(RubberBand, ReleaseGivesTheNormalisedRectangleAndErasesTheBand) {
  Later(10, QEvent::MouseMove, QPoint(120, 100), Qt::NoButton, Qt::LeftButton);
  Later(20, QEvent::MouseMove, QPoint(30, 20), Qt::NoButton, Qt::LeftButton);  // up and left of the anchor
  Later(30, QEvent::MouseButtonRelease, QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
  CRect out;
  ASSERT_TRUE(DPXTrackRubberBand(&wnd, dc, 80, 60, &pen, CBrush::FromHandle(static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), out));
  EXPECT_EQ(out, CRect(30, 20, 80, 60));
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  for (POINT p : {POINT {30, 20}, POINT {79, 59}, POINT {120, 100}}) EXPECT_EQ(dc->GetPixel(p), RGB(255, 255, 255));
}

TEST_F(RubberBand, TheRightButtonCancels) {
  Later(10, QEvent::MouseMove, QPoint(120, 100), Qt::NoButton, Qt::LeftButton);
  Later(20, QEvent::MouseButtonPress, QPoint(120, 100), Qt::RightButton, Qt::LeftButton | Qt::RightButton);
  CRect out(1, 2, 3, 4);
  EXPECT_FALSE(DPXTrackRubberBand(&wnd, dc, 10, 10, &pen, nullptr, out));
  EXPECT_EQ(out, CRect(1, 2, 3, 4));
  EXPECT_EQ(dc->GetPixel(10, 10), RGB(255, 255, 255));
}

TEST_F(RubberBand, TheBandEndsWhenTheWindowGoesOrTheMouseIsTaken) {
  CWnd other;
  ASSERT_TRUE(other.CreateEx(0, nullptr, u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  QTimer::singleShot(20, [&] { other.SetCapture(); });
  CRect out;
  EXPECT_FALSE(DPXTrackRubberBand(&wnd, dc, 10, 10, &pen, nullptr, out));
  ReleaseCapture();
  other.DestroyWindow();

  wnd.ReleaseDC(dc);
  CClientDC band(&wnd);
  QTimer::singleShot(20, [&] { wnd.DestroyWindow(); });
  EXPECT_FALSE(DPXTrackRubberBand(&wnd, &band, 10, 10, &pen, nullptr, out));
  EXPECT_EQ(wnd.GetSafeHwnd(), nullptr);
}

TEST_F(RubberBand, ANonWindowIsRefused) {
  CWnd none;
  CRect out;
  EXPECT_FALSE(DPXTrackRubberBand(&none, dc, 0, 0, &pen, nullptr, out));
  EXPECT_FALSE(DPXTrackRubberBand(&wnd, nullptr, 0, 0, &pen, nullptr, out));
}

}  // namespace
