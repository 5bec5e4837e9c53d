// Painting: what a paint message draws and what a DC draws outside one both reach the screen and
// stay; invalid parts are painted again, erased with the class background first; the frame is
// drawn around the client area; a window region clips drawing and hitting.

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CRgn.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/internal/WindowTable.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/windc.h"
#include "platform/core/module.h"

#include <QCursor>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kPaint = RGB(0, 0, 200);
constexpr COLORREF kDirect = RGB(220, 0, 0);

// Paints its client area blue, in the top-left quarter only when asked to.
class PaintingWnd : public CWnd {
public:
  int paints = 0;
  CRect lastPaint;
  bool quarter = false;

protected:
  void OnPaint() {
    ++paints;
    CPaintDC dc(this);
    lastPaint = dc.m_ps.rcPaint;
    CRect r;
    GetClientRect(&r);
    if (quarter) r = CRect(0, 0, r.Width() / 2, r.Height() / 2);
    dc.FillSolidRect(&r, kPaint);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(PaintingWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

// What the screen shows of the window: its widgets rendered as the desktop would show them.
QImage Screen(HWND hwnd) { return HostOf(hwnd)->grab().toImage().convertToFormat(QImage::Format_RGB32); }

class Painting : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(wnd.CreateEx(WS_EX_CLIENTEDGE, AfxRegisterWndClass(CS_DBLCLKS, nullptr, GetSysColorBrush(COLOR_WINDOW)),
                             u"paint", WS_POPUP | WS_VISIBLE, 40, 40, 120, 100, nullptr, nullptr));
    ASSERT_TRUE(PumpUntil([&] { return wnd.paints > 0; }));
    Pump(20);
  }
  void TearDown() override { wnd.DestroyWindow(); }
  PaintingWnd wnd;
};

TEST_F(Painting, ThePaintMessageDrawsTheClientAreaInsideTheFrame) {
  QImage shot = Screen(wnd.GetSafeHwnd());
  ASSERT_EQ(shot.size(), QSize(120, 100));
  EXPECT_EQ(shot.pixel(60, 50), Rgb(kPaint));
  EXPECT_EQ(shot.pixel(2, 2), Rgb(kPaint));  // the first client pixel, inside a 2-pixel edge
  EXPECT_NE(shot.pixel(0, 0), Rgb(kPaint));  // the sunken edge
  EXPECT_NE(shot.pixel(119, 99), Rgb(kPaint));
}

TEST_F(Painting, DrawingThroughAClientDcOutsidePaintStaysOnScreen) {
  int paintsBefore = wnd.paints;
  {
    CClientDC dc(&wnd);
    dc.FillSolidRect(10, 10, 20, 20, kDirect);
  }
  Pump(30);
  QImage shot = Screen(wnd.GetSafeHwnd());
  EXPECT_EQ(shot.pixel(2 + 15, 2 + 15), Rgb(kDirect));
  EXPECT_EQ(shot.pixel(2 + 50, 2 + 50), Rgb(kPaint));
  EXPECT_EQ(wnd.paints, paintsBefore);  // drawn without a paint message
  // The same through GetDC/ReleaseDC, clipped to the client area.
  CDC* dc = wnd.GetDC();
  dc->FillSolidRect(-10, -10, 500, 16, kDirect);
  wnd.ReleaseDC(dc);
  Pump(30);
  shot = Screen(wnd.GetSafeHwnd());
  EXPECT_EQ(shot.pixel(50, 4), Rgb(kDirect));
  EXPECT_NE(shot.pixel(50, 0), Rgb(kDirect));  // the frame stays
}

TEST_F(Painting, InvalidPartsArePaintedAgainAfterTheBackgroundIsErased) {
  {
    CClientDC dc(&wnd);
    dc.FillSolidRect(0, 0, 116, 96, kDirect);
  }
  wnd.quarter = true;
  CRect part(0, 0, 40, 30);
  wnd.InvalidateRect(&part, TRUE);
  wnd.UpdateWindow();
  EXPECT_EQ(wnd.lastPaint, part);
  Pump(30);
  QImage shot = Screen(wnd.GetSafeHwnd());
  EXPECT_EQ(shot.pixel(2 + 5, 2 + 5), Rgb(kPaint));     // painted again
  EXPECT_EQ(shot.pixel(2 + 100, 2 + 80), Rgb(kDirect)); // outside the invalid part: untouched
  // Erased to the class background where the painting left the invalid part alone.
  wnd.quarter = true;
  CRect wide(0, 0, 116, 20);
  wnd.InvalidateRect(&wide, TRUE);
  wnd.UpdateWindow();
  Pump(30);
  shot = Screen(wnd.GetSafeHwnd());
  EXPECT_EQ(shot.pixel(2 + 100, 2 + 10), Rgb(GetSysColor(COLOR_WINDOW)));
}

TEST_F(Painting, TheWindowDcDrawsTheFrameToo) {
  {
    CWindowDC dc(&wnd);
    dc.FillSolidRect(0, 0, 120, 100, kDirect);
  }
  Pump(30);
  QImage shot = Screen(wnd.GetSafeHwnd());
  EXPECT_EQ(shot.pixel(0, 0), Rgb(kDirect));
  EXPECT_EQ(shot.pixel(60, 50), Rgb(kDirect));
}

TEST_F(Painting, AWindowRegionLimitsWhereTheWindowIsHit) {
  CRgn region;
  region.CreateRectRgn(0, 0, 60, 50);
  EXPECT_TRUE(wnd.SetWindowRgn(static_cast<HRGN>(region.Detach()), TRUE));
  RECT r;
  wnd.GetWindowRect(&r);
  EXPECT_EQ(wnd.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.left + 30, r.top + 30)), HTCLIENT);
  EXPECT_EQ(wnd.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.left + 90, r.top + 80)), HTNOWHERE);
  CRgn back;
  back.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(wnd.GetWindowRgn(static_cast<HRGN>(back.GetSafeHandle())), SIMPLEREGION);
  CRect box;
  back.GetRgnBox(&box);
  EXPECT_EQ(box, CRect(0, 0, 60, 50));
}

// An icon of 4 by 4 pixels: green with a transparent top-left quarter.
HICON GreenIcon() {
  HDC screen = ::GetDC(nullptr);
  HBITMAP colour = CreateCompatibleBitmap(screen, 4, 4), mask = CreateCompatibleBitmap(screen, 4, 4);
  ::ReleaseDC(nullptr, screen);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, colour);
  CDC::FromHandle(memory)->FillSolidRect(0, 0, 4, 4, RGB(0, 160, 0));
  SelectObject(memory, mask);
  CDC::FromHandle(memory)->FillSolidRect(0, 0, 4, 4, RGB(0, 0, 0));
  CDC::FromHandle(memory)->FillSolidRect(0, 0, 2, 2, RGB(255, 255, 255));
  SelectObject(memory, old);
  DeleteDC(memory);
  ICONINFO info {TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
  return icon;
}

TEST_F(Painting, IconsDrawWithTheirTransparencyAtAnySize) {
  HICON icon = GreenIcon();
  ASSERT_NE(icon, nullptr) << "the icon keeps its own copy of the bitmaps";
  CClientDC dc(&wnd);
  struct Case {
    UINT flags;
    int size;
    COLORREF inside, transparentCorner;
  };
  const Case cases[] = {
      {DI_NORMAL, 0, RGB(0, 160, 0), kDirect},
      {DI_NORMAL, 8, RGB(0, 160, 0), kDirect},
      {DI_IMAGE, 0, RGB(0, 160, 0), RGB(0, 0, 0)},
      {DI_MASK, 0, RGB(0, 0, 0), RGB(255, 255, 255)},
  };
  for (const Case& c : cases) {
    dc.FillSolidRect(0, 0, 20, 20, kDirect);
    ASSERT_TRUE(DrawIconEx(dc, 2, 2, icon, c.size, c.size, 0, nullptr, c.flags)) << c.flags;
    int size = c.size ? c.size : 4;
    EXPECT_EQ(dc.GetPixel(2 + size - 1, 2 + size - 1), c.inside) << "flags " << c.flags << " size " << size;
    EXPECT_EQ(dc.GetPixel(2, 2), c.transparentCorner) << "flags " << c.flags << " size " << size;
    EXPECT_EQ(dc.GetPixel(2 + size, 2 + size), kDirect) << "nothing beyond the icon";
  }
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_FALSE(DrawIconEx(dc, 2, 2, icon, 0, 0, 0, nullptr, DI_NORMAL)) << "a destroyed icon";

  HICON information = LoadIconW(nullptr, IDI_INFORMATION);
  ASSERT_NE(information, nullptr);
  EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
  dc.FillSolidRect(0, 0, 40, 40, kDirect);
  ASSERT_TRUE(DrawIcon(dc, 0, 0, information));
  int changed = 0;
  for (int y = 0; y < GetSystemMetrics(SM_CYICON); ++y)
    for (int x = 0; x < GetSystemMetrics(SM_CXICON); ++x) changed += dc.GetPixel(x, y) != kDirect;
  EXPECT_GT(changed, 50) << "the desktop's information icon is a picture at the desktop's icon size";
}

TEST_F(Painting, AWindowKeepsItsIconsAndTheDesktopShowsTheBigOne) {
  HICON icon = GreenIcon();
  EXPECT_EQ(wnd.SetIcon(icon, TRUE), nullptr);
  EXPECT_EQ(wnd.GetIcon(TRUE), icon);
  EXPECT_EQ(wnd.GetIcon(FALSE), nullptr);
  EXPECT_FALSE(HostOf(wnd.GetSafeHwnd())->windowIcon().isNull());
  EXPECT_EQ(wnd.SetIcon(nullptr, TRUE), icon) << "the icon before";
  EXPECT_TRUE(HostOf(wnd.GetSafeHwnd())->windowIcon().isNull());
  DestroyIcon(icon);
}

// The program's own pictures (res/testimages.images).
TEST_F(Painting, TheProgramsBitmapsIconsAndCursorsLoadFromItsResources) {
  HMODULE program = GetModuleHandleW(nullptr);
  CBitmap layout;
  ASSERT_TRUE(layout.LoadBitmap(126));
  BITMAP bm {};
  layout.GetBitmap(&bm);
  EXPECT_EQ((std::vector<LONG> {bm.bmWidth, bm.bmHeight}), (std::vector<LONG> {6, 4}));
  CDC memory;
  memory.CreateCompatibleDC(nullptr);
  CBitmap* old = memory.SelectObject(&layout);
  EXPECT_EQ(memory.GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(memory.GetPixel(5, 3), RGB(0, 0, 255));
  memory.SelectObject(old);

  struct Missing {
    HMODULE module;
    LPCWSTR name;
  };
  const Missing missing[] = {{program, MAKEINTRESOURCEW(127)}, {nullptr, MAKEINTRESOURCEW(126)},
                             {GetModuleFromAddress(reinterpret_cast<const void*>(&LoadIconW)), MAKEINTRESOURCEW(126)}};
  for (const Missing& m : missing) EXPECT_EQ(LoadBitmapW(m.module, m.name), nullptr) << "no such bitmap in that module";
  CBitmap none;
  EXPECT_FALSE(none.LoadBitmap(u"NOBITMAP"));

  HICON icon = LoadIconW(program, u"idi_TestProgram");
  ASSERT_NE(icon, nullptr) << "names are compared without case";
  EXPECT_EQ(LoadIconW(program, u"IDI_TESTPROGRAM"), icon) << "one handle for every load";
  EXPECT_TRUE(DestroyIcon(icon));
  CClientDC dc(&wnd);
  dc.FillSolidRect(0, 0, 20, 20, kDirect);
  ASSERT_TRUE(DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL)) << "a shared icon outlives DestroyIcon";
  EXPECT_EQ(dc.GetPixel(1, 1), kDirect) << "its transparent corner";
  EXPECT_EQ(dc.GetPixel(6, 6), RGB(0, 160, 0));

  HCURSOR cursor = LoadCursorW(program, MAKEINTRESOURCEW(155));
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(LoadCursorW(program, MAKEINTRESOURCEW(155)), cursor);
  QCursor shown = qvui::CursorFor(cursor);
  EXPECT_EQ(shown.hotSpot(), QPoint(3, 5));
  EXPECT_EQ(shown.pixmap().size(), QSize(16, 16));
  EXPECT_EQ(LoadCursorW(program, MAKEINTRESOURCEW(156)), nullptr);
}

}  // namespace
