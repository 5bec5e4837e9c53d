// Drawing on worker threads, with and without a QGuiApplication, and handle tables shared by
// many threads at once.

#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Draws a little of everything on the calling thread; returns what went wrong, or nothing.
std::string DrawEverythingButText() {
  TestCanvas canvas(32, 32, RGB(255, 255, 255));
  CDC& dc = canvas.DC();
  CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
  CBrush brush(RGB(0, 0, 255));
  dc.SelectObject(&pen);
  dc.SelectObject(&brush);
  if (!dc.Rectangle(2, 2, 12, 12)) return "Rectangle";
  if (dc.GetPixel(2, 2) != RGB(255, 0, 0) || dc.GetPixel(5, 5) != RGB(0, 0, 255)) return "Rectangle pixels";
  if (!dc.Ellipse(14, 2, 30, 12)) return "Ellipse";
  CRgn region;
  region.CreateEllipticRgn(0, 14, 16, 30);
  dc.SelectClipRgn(&region);
  dc.FillSolidRect(0, 0, 32, 32, RGB(0, 255, 0));
  dc.SelectClipRgn(nullptr);
  if (dc.GetPixel(8, 22) != RGB(0, 255, 0) || dc.GetPixel(0, 14) != RGB(255, 255, 255)) return "clipped fill";
  TestCanvas copy(16, 16);
  copy.DC().SetStretchBltMode(HALFTONE);
  if (!copy.DC().StretchBlt(0, 0, 16, 16, &dc, 0, 0, 32, 32, SRCCOPY)) return "StretchBlt";
  BITMAPINFO info{};
  // 32 bits: a BITMAPINFO has room for one palette entry, not the 256 an 8-bit header asks for.
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 16, 16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  CBitmap section;
  if (!section.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0))) return "DIB section";
  return "";
}

}  // namespace

TEST(Threads, AWorkerDrawsWithoutAGuiApplicationButText) {
  if (HasGuiApplication()) GTEST_SKIP() << "a QGuiApplication already runs in this process";
  std::string failure = "not run";
  BOOL textOut = TRUE, metrics = TRUE, drawText = 1;
  CSize extent(1, 1);
  std::thread worker([&] {
    failure = DrawEverythingButText();
    TestCanvas canvas(40, 20, RGB(255, 255, 255));
    CFont font;
    font.CreatePointFont(100, u"Arial");
    canvas.DC().SelectObject(&font);
    textOut = canvas.DC().TextOut(0, 0, CString(u"no fonts"));
    TEXTMETRIC tm;
    metrics = canvas.DC().GetTextMetrics(&tm);
    extent = canvas.DC().GetTextExtent(CString(u"abc"));
    CRect r(0, 0, 40, 20);
    drawText = canvas.DC().DrawText(CString(u"abc"), &r, DT_SINGLELINE);
    // Filling without text still works.
    canvas.DC().ExtTextOut(0, 0, ETO_OPAQUE, CRect(0, 0, 2, 2), CString(), nullptr);
    if (canvas.DC().GetPixel(1, 1) != RGB(255, 255, 255)) failure += " ExtTextOut fill";
  });
  worker.join();
  EXPECT_EQ(failure, "");
  EXPECT_FALSE(textOut);
  EXPECT_FALSE(metrics);
  EXPECT_EQ(extent, CSize(0, 0));
  EXPECT_EQ(drawText, 0);
}

TEST(Threads, AWorkerDrawsTextWhenTheApplicationRuns) {
  EnsureGuiApplication();
  BOOL drawn = FALSE;
  int inked = 0;
  std::thread worker([&] {
    TestCanvas canvas(60, 20, RGB(255, 255, 255));
    CFont font;
    font.CreatePointFont(100, u"Arial");
    canvas.DC().SelectObject(&font);
    drawn = canvas.DC().TextOut(1, 1, CString(u"Print"));
    const QImage image = canvas.Image();
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) inked += image.pixel(x, y) != qRgb(255, 255, 255);
  });
  worker.join();
  EXPECT_TRUE(drawn);
  EXPECT_GT(inked, 20);
}

// Many threads make, select, use and delete objects and DCs at the same time.
TEST(Threads, HandleTablesServeManyThreads) {
  constexpr int kThreads = 8;
  constexpr int kRounds = 200;
  std::atomic<int> failures{0};
  // One bitmap that all threads try to select at once: only one may have it at a time.
  CBitmap shared;
  shared.CreateBitmap(4, 4, 1, 32, nullptr);
  std::atomic<int> holders{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([&, t] {
      for (int i = 0; i < kRounds; ++i) {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CBitmap own;
        own.CreateBitmap(8, 8, 1, 32, nullptr);
        CBitmap* old = dc.SelectObject(&own);
        CPen pen(PS_SOLID, 1, RGB(t, i % 256, 7));
        CPen* oldPen = dc.SelectObject(&pen);
        dc.MoveTo(0, 3);
        dc.LineTo(8, 3);
        if (dc.GetPixel(5, 3) != RGB(t, i % 256, 7)) ++failures;
        dc.SelectObject(oldPen);
        dc.SelectObject(old);
        CRgn a, b;
        a.CreateRectRgn(0, 0, i + 1, 5);
        b.CreateRectRgn(0, 0, 0, 0);
        if (b.CombineRgn(&a, nullptr, RGN_COPY) != SIMPLEREGION) ++failures;

        CDC other;
        other.CreateCompatibleDC(nullptr);
        if (CBitmap* previous = other.SelectObject(&shared)) {
          if (holders.fetch_add(1) != 0) ++failures;
          holders.fetch_sub(1);
          other.SelectObject(previous);
        }
        CGdiObject::DeleteTempMap();
      }
    });
  }
  for (std::thread& w : workers) w.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_TRUE(shared.DeleteObject());
}
