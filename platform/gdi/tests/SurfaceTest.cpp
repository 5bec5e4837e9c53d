// Devices plugged in from outside: window images with an origin and a visible part, printer
// pages through a registered driver, and the screen device.

#include "GdiTestSupport.h"
#include "platform/gdi/CDCSurface.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A retained window image that records what each call changed, as a window schedules repaints.
class RecordingSurface : public CImageSurface {
public:
  RecordingSurface(int width, int height) : CImageSurface(width, height) {}
  void EndAccess(const QRect& changed) override {
    if (!changed.isEmpty()) changes.push_back(changed);
  }
  std::vector<QRect> changes;
};

// A printer: pages of pixels at 300 dpi, and the document calls in the order they came.
class PageSurface : public CImageSurface {
public:
  PageSurface() : CImageSurface(850, 1100) {}
  int GetDeviceCaps(int index) const override {
    switch (index) {
      case TECHNOLOGY: return DT_RASPRINTER;
      case LOGPIXELSX:
      case LOGPIXELSY: return 300;
      case PHYSICALWIDTH: return 900;
      case PHYSICALOFFSETX: return 25;
      default: return CImageSurface::GetDeviceCaps(index);
    }
  }
  int StartDoc(const DOCINFOW* info) override {
    log += "start(" + CString(info->lpszDocName).ToUtf8() + ")";
    return 1;
  }
  int StartPage() override {
    log += " page";
    return 1;
  }
  int EndPage() override {
    log += " end";
    return 1;
  }
  int EndDoc() override {
    log += " done";
    return 1;
  }
  std::string log;
};

}  // namespace

TEST(Surfaces, AWindowImageWithAnOriginAndAVisiblePart) {
  // A client area at (2, 1) of a 10x6 window image; its lower right part is covered.
  auto surface = std::make_shared<RecordingSurface>(10, 6);
  QRegion visible(QRect(0, 0, 6, 4));
  visible -= QRect(4, 2, 2, 2);
  CDC dc;
  ASSERT_TRUE(dc.Attach(CreateDCForSurface(surface, QPoint(2, 1), visible)));
  dc.FillSolidRect(-3, -3, 20, 20, RGB(255, 0, 0));
  EXPECT_EQ(PictureOf(surface->Image(), BasicLegend(), QRect(0, 0, 10, 6)),
            "##########\n"
            "##rrrrrr##\n"
            "##rrrrrr##\n"
            "##rrrr####\n"
            "##rrrr####\n"
            "##########\n");
  ASSERT_EQ(surface->changes.size(), 1u);
  EXPECT_EQ(surface->changes[0], QRect(2, 1, 6, 4));

  // Device coordinates start at the client origin: the clip box and clip regions use them.
  CRect box;
  EXPECT_EQ(dc.GetClipBox(&box), COMPLEXREGION);
  EXPECT_EQ(box, CRect(0, 0, 6, 4));
  dc.SetPixel(0, 0, RGB(0, 0, 255));
  EXPECT_EQ(surface->Image().pixel(2, 1), qRgb(0, 0, 255));
  EXPECT_EQ(surface->changes.back(), QRect(2, 1, 1, 1));
  EXPECT_EQ(dc.GetPixel(5, 3), CLR_INVALID);  // covered
  // Drawing that lands nowhere reports no change.
  const size_t changes = surface->changes.size();
  dc.SetPixel(-1, 0, RGB(0, 0, 255));
  EXPECT_EQ(surface->changes.size(), changes);

  // Brush patterns line up with the client origin.
  const WORD rows[8] = {0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};  // one black pixel at (0, 0)
  CBitmap dot;
  dot.CreateBitmap(8, 8, 1, 1, rows);
  CBrush brush(&dot);
  dc.SetTextColor(RGB(0, 255, 0));
  dc.SetBkColor(RGB(255, 255, 255));
  dc.FillRect(CRect(0, 0, 4, 2), &brush);
  EXPECT_EQ(surface->Image().pixel(2, 1), qRgb(0, 255, 0));
  EXPECT_EQ(surface->Image().pixel(3, 1), qRgb(255, 255, 255));
}

TEST(Surfaces, PrinterDriversPlugInThroughCreateDC) {
  std::shared_ptr<PageSurface> page;
  RegisterDCDriver(u"WINSPOOL", [&page](LPCWSTR device, LPCWSTR port, const DEVMODEW*) {
    if (CString(device) != CString(u"Office")) return std::shared_ptr<CDCSurface>();
    page = std::make_shared<PageSurface>();
    return std::static_pointer_cast<CDCSurface>(page);
  });
  CDC missing;
  EXPECT_FALSE(missing.CreateDC(u"WINSPOOL", u"Elsewhere", nullptr, nullptr));
  EXPECT_FALSE(missing.CreateDC(u"PLOTTER", nullptr, nullptr, nullptr));

  CDC printer;
  ASSERT_TRUE(printer.CreateDC(u"winspool", u"Office", u"lpt1", nullptr));
  ASSERT_TRUE(page);
  EXPECT_EQ(printer.GetDeviceCaps(LOGPIXELSY), 300);
  EXPECT_EQ(printer.GetDeviceCaps(HORZRES), 850);
  EXPECT_EQ(printer.GetDeviceCaps(PHYSICALOFFSETX), 25);
  EXPECT_EQ(printer.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
  EXPECT_GT(printer.StartDoc(u"Report"), 0);
  EXPECT_GT(printer.StartPage(), 0);
  printer.MoveTo(10, 10);
  printer.LineTo(110, 10);
  EXPECT_GT(printer.EndPage(), 0);
  EXPECT_GT(printer.EndDoc(), 0);
  EXPECT_EQ(page->log, "start(Report) page end done");
  EXPECT_EQ(page->Image().pixel(60, 10), qRgb(0, 0, 0));

  // A memory DC made for the printer answers its capabilities, but prints nothing.
  CDC memory;
  ASSERT_TRUE(memory.CreateCompatibleDC(&printer));
  EXPECT_EQ(memory.GetDeviceCaps(LOGPIXELSX), 300);
  EXPECT_EQ(memory.StartPage(), SP_ERROR);
  RegisterDCDriver(u"WINSPOOL", nullptr);
  EXPECT_FALSE(missing.CreateDC(u"WINSPOOL", u"Office", nullptr, nullptr));
}

TEST(Surfaces, TheScreenDeviceWithoutPixels) {
  CDC screen;
  ASSERT_TRUE(screen.CreateDC(u"DISPLAY", nullptr, nullptr, nullptr));
  EXPECT_EQ(screen.GetDeviceCaps(BITSPIXEL), 32);
  EXPECT_EQ(screen.GetDeviceCaps(LOGPIXELSX), 96);
  EXPECT_EQ(screen.GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
  EXPECT_EQ(screen.StartDoc(u"x"), SP_ERROR);
  // Drawing on it fails without harm.
  EXPECT_FALSE(screen.LineTo(5, 5));
  EXPECT_EQ(screen.GetPixel(0, 0), CLR_INVALID);
  if (HasGuiApplication()) {
    EXPECT_GT(screen.GetDeviceCaps(HORZRES), 0);
  } else {
    EXPECT_EQ(screen.GetDeviceCaps(HORZRES), 0);
  }
}

TEST(Surfaces, DCWrappersAndTheirHandles) {
  HDC handle;
  {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    handle = dc.GetSafeHdc();
    EXPECT_EQ(CDC::FromHandle(handle), &dc);
    EXPECT_EQ(GetObjectType(handle), DWORD(OBJ_MEMDC));
  }
  EXPECT_EQ(GetObjectType(handle), 0u);  // the destructor deleted the DC

  // A temporary wrapper shows a DC without deleting it.
  const HDC raw = CreateCompatibleDC(nullptr);
  CDC* temporary = CDC::FromHandle(raw);
  ASSERT_NE(temporary, nullptr);
  EXPECT_EQ(temporary->GetSafeHdc(), raw);
  CDC::DeleteTempMap();
  EXPECT_EQ(GetObjectType(raw), DWORD(OBJ_MEMDC));
  EXPECT_TRUE(DeleteDC(raw));
  EXPECT_FALSE(DeleteDC(raw));
  // Calls on a deleted DC fail quietly.
  CDC stale;
  stale.m_hDC = raw;
  EXPECT_FALSE(stale.LineTo(1, 1));
  EXPECT_EQ(stale.GetTextColor(), CLR_INVALID);
  stale.m_hDC = nullptr;
}
