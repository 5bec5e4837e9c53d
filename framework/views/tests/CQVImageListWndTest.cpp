// The thumbnail grid: layout counts and cell geometry, scroll bars by mode and layout, every scroll
// code, selection and focus through mouse messages and scrolling, the image list shrinking under
// the selection, per-image transforms, painting straight and off screen, and 1-bit pages reduced
// to grey (with a picture of a scanned page on X).

#include "framework/views/CQVImageListWnd.h"

#include "foundation/imaging/CQVBitmapHandle.h"
#include "platform/gdi/CBrush.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/winctrl.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr COLORREF kPaper = RGB(240, 240, 200);
constexpr COLORREF kSelected = RGB(0, 0, 255);
constexpr COLORREF kFocused = RGB(0, 160, 0);

QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }

struct Painted {
  int cell;
  int state;
};

// A grid of `count` images; cells paint their image fitted, framed in the colour of their state.
class TestGrid : public CQVImageListWnd {
public:
  TestGrid(int horizontalBar, int verticalBar) {
    m_nHScrollMode = horizontalBar;
    m_nVScrollMode = verticalBar;
  }
  int GetImageCount() override { return count; }
  CQVBitmapHandle* GetImage(int index) override {
    return index >= 0 && index < static_cast<int>(images.size()) ? images[index].get() : nullptr;
  }
  void OnSelChange() override { ++selChanges; }
  void OnPaintBackground(CDC* dc) override {
    CBrush paper(kPaper);
    PaintBackground_Frame(dc, &paper);
  }
  void OnPaintItem(CDC* dc, int cell, int state) override {
    painted.push_back({cell, state});
    CRect rect;
    if (!GetItemRect(cell, rect)) return;
    int index = -1;
    ItemToIndex(cell, index);
    CBrush white(RGB(255, 255, 255));
    PaintImage(dc, GetImage(index), rect, nullptr, &white);
    if (state) {
      CBrush frame(state & 2 ? kFocused : kSelected);
      dc->FrameRect(&rect, &frame);
    }
  }

  using CQVImageListWnd::GetVW;
  using CQVImageListWnd::GetVW_Saved;
  using CQVImageListWnd::HitTest;
  using CQVImageListWnd::IndexToItem;
  using CQVImageListWnd::ItemToIndex;
  using CQVImageListWnd::m_bFocusTracking;
  using CQVImageListWnd::m_bOffscreen;
  using CQVImageListWnd::m_nFirstIndex;
  using CQVImageListWnd::m_nFlushInterval;
  using CQVImageListWnd::PaintImage;
  using CQVImageListWnd::SaveVW;
  using CQVImageListWnd::SetVWArraySize;

  int count { 0 };
  std::vector<std::unique_ptr<CQVBitmapHandle>> images;
  int selChanges { 0 };
  std::vector<Painted> painted;
};

class Grid : public ::testing::Test {
protected:
  void SetUp() override { parent = MakeParentWindow(u"ImageListTestParent", ::DefWindowProcW); }
  void TearDown() override {
    if (grid) grid->DestroyWindow();
    grid.reset();
    ::DestroyWindow(parent);
  }
  void Make(int width, int height, int horizontalBar = 0, int verticalBar = 0, int count = 0) {
    grid = std::make_unique<TestGrid>(horizontalBar, verticalBar);
    grid->count = count;
    ASSERT_TRUE(grid->CreateEx(0, WS_CHILD | WS_VISIBLE, CRect(0, 0, width, height), CWnd::FromHandle(parent), 100));
  }
  bool BarShown(int bar) { return grid->GetStyle() & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL); }
  bool BarEnabled(int bar) {
    for (QScrollBar* widget : HostOf(grid->GetSafeHwnd())->findChildren<QScrollBar*>())
      if (widget->orientation() == (bar == SB_VERT ? Qt::Vertical : Qt::Horizontal)) return widget->isEnabled();
    return false;
  }
  void Click(CPoint point) {
    grid->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    grid->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
  }
  QImage Shot() {
    Pump(30);
    return HostOf(grid->GetSafeHwnd())->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  HWND parent {};
  std::unique_ptr<TestGrid> grid;
};

TEST_F(Grid, LaysOutCellsByFixedSizeOrFixedColumnsAndRows) {
  struct Case {
    const char* what;
    int width, height;
    int mode;  // 1 fixed size (a x b), 2 fixed columns and rows (a x b)
    int a, b;
    int columns, rows;
    CRect cell4;  // the rectangle of cell 4, empty when there is none
  } cases[] = {
      {"a partly shown row counts when more than a fifth shows", 350, 230, 1, 100, 100, 3, 3, CRect(100, 100, 200, 200)},
      {"a row showing a fifth or less does not", 350, 215, 1, 100, 100, 3, 2, CRect(100, 100, 200, 200)},
      {"cells wider than the window", 90, 215, 1, 100, 100, 0, 2, CRect()},
      {"fixed grid divides the client area", 400, 300, 2, 4, 2, 4, 2, CRect(0, 150, 100, 300)},
      {"one cell", 400, 300, 2, 1, 1, 1, 1, CRect()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Make(c.width, c.height);
    ASSERT_TRUE(c.mode == 1 ? grid->SetFPSMode(c.a, c.b) : grid->SetFPCMode(c.a, c.b));
    EXPECT_EQ(grid->GetColCount(), c.columns);
    EXPECT_EQ(grid->GetRowCount(), c.rows);
    EXPECT_EQ(grid->GetItemCount(), c.columns * c.rows);
    CRect rect;
    EXPECT_EQ(grid->GetItemRect(4, rect), !c.cell4.IsRectEmpty());
    if (!c.cell4.IsRectEmpty()) {
      EXPECT_EQ(rect, c.cell4);
      int hit = -1;
      EXPECT_TRUE(grid->HitTest(CPoint(c.cell4.right - 1, c.cell4.bottom - 1), hit));
      EXPECT_EQ(hit, 4);
    }
    grid->DestroyWindow();
  }
}

TEST_F(Grid, RefusesEmptyLayoutsAndKeepsTheOldOne) {
  Make(400, 300);
  ASSERT_TRUE(grid->SetFPCMode(4, 2));
  EXPECT_FALSE(grid->SetFPCMode(0, 3));
  EXPECT_FALSE(grid->SetFPSMode(100, -1));
  EXPECT_EQ(grid->GetColCount(), 4);
  EXPECT_EQ(grid->GetRowCount(), 2);
}

TEST_F(Grid, MapsImageIndexesToCellsFromTheFirstIndex) {
  Make(400, 300, 0, 0, 10);
  ASSERT_TRUE(grid->SetFPCMode(3, 2));
  ASSERT_TRUE(grid->SetCurrentPos(5, FALSE));
  int cell = -1, index = -1;
  EXPECT_TRUE(grid->IndexToItem(7, cell));
  EXPECT_EQ(cell, 2);
  EXPECT_FALSE(grid->IndexToItem(4, cell)) << "above the first cell";
  EXPECT_FALSE(grid->IndexToItem(10, cell)) << "no such image";
  EXPECT_TRUE(grid->ItemToIndex(4, index));
  EXPECT_EQ(index, 9);
  EXPECT_FALSE(grid->ItemToIndex(5, index)) << "the cell after the last image";
  EXPECT_FALSE(grid->SetCurrentPos(10, FALSE));
  EXPECT_FALSE(grid->SetCurrentPos(-1, FALSE));
  grid->GetCurrentPos(index);
  EXPECT_EQ(index, 5);
}

TEST_F(Grid, ShowsScrollBarsByModeAndLayout) {
  struct Case {
    const char* what;
    int horizontal, vertical;  // 0 never, 1 automatic, 2 always
    int rows, count;
    bool showH, showV, enabled;
  } cases[] = {
      {"one row scrolls sideways", 1, 1, 1, 20, true, false, true},
      {"two rows scroll down", 1, 1, 2, 20, false, true, true},
      {"no vertical bar: the horizontal one serves", 1, 0, 2, 20, true, false, true},
      {"no horizontal bar: the vertical one serves", 0, 1, 1, 20, false, true, true},
      {"a vertical bar always shown takes one row's scrolling", 1, 2, 1, 20, false, true, true},
      {"both always", 2, 2, 2, 20, true, true, true},
      {"no images, always: shown disabled", 0, 2, 2, 0, false, true, false},
      {"no images, automatic: hidden", 1, 1, 2, 0, false, false, false},
      {"one image, always: stays shown", 0, 2, 2, 1, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Make(400, 300, c.horizontal, c.vertical, c.count);
    ASSERT_TRUE(grid->SetFPCMode(3, c.rows));
    EXPECT_EQ(BarShown(SB_HORZ), c.showH);
    EXPECT_EQ(BarShown(SB_VERT), c.showV);
    const int shown = c.showV ? SB_VERT : SB_HORZ;
    if (c.showH || c.showV) {
      EXPECT_EQ(BarEnabled(shown), c.enabled);
      if (c.count > 1) {
        int low = -1, high = -1;
        grid->GetScrollRange(shown, &low, &high);
        EXPECT_EQ(low, 0);
        EXPECT_EQ(high, c.count - 1);
      }
    }
    grid->DestroyWindow();
  }
}

TEST_F(Grid, ScrollsByImageIndexesWithinTheList) {
  Make(400, 300, 2, 2, 20);
  ASSERT_TRUE(grid->SetFPCMode(3, 2));
  struct Case {
    const char* what;
    UINT message;
    int code;
    int from;
    int pos;  // thumb position
    int to;
  } cases[] = {
      {"line down moves a row", WM_VSCROLL, SB_LINEDOWN, 4, 0, 7},
      {"line up stops at the top", WM_VSCROLL, SB_LINEUP, 2, 0, 0},
      {"page down moves a window-full", WM_VSCROLL, SB_PAGEDOWN, 4, 0, 10},
      {"page down stops at the last image", WM_VSCROLL, SB_PAGEDOWN, 16, 0, 19},
      {"page up stops at the top", WM_VSCROLL, SB_PAGEUP, 4, 0, 0},
      {"bottom", WM_VSCROLL, SB_BOTTOM, 4, 0, 19},
      {"top", WM_VSCROLL, SB_TOP, 4, 0, 0},
      {"thumb track", WM_VSCROLL, SB_THUMBTRACK, 4, 13, 13},
      {"thumb position", WM_VSCROLL, SB_THUMBPOSITION, 4, 8, 8},
      {"end of scrolling keeps the place", WM_VSCROLL, SB_ENDSCROLL, 4, 0, 4},
      {"line right moves one image", WM_HSCROLL, SB_LINERIGHT, 4, 0, 5},
      {"line left stops at the first", WM_HSCROLL, SB_LINELEFT, 0, 0, 0},
      {"page right moves a row", WM_HSCROLL, SB_PAGERIGHT, 4, 0, 7},
      {"page left", WM_HSCROLL, SB_PAGELEFT, 4, 0, 1},
      {"right end", WM_HSCROLL, SB_RIGHT, 4, 0, 19},
      {"unknown code", WM_VSCROLL, 99, 4, 0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(grid->SetCurrentPos(c.from, FALSE));
    grid->SendMessage(c.message, MAKEWPARAM(c.code, c.pos), 0);
    int now = -1;
    grid->GetCurrentPos(now);
    EXPECT_EQ(now, c.to);
    EXPECT_EQ(grid->GetScrollPos(c.message == WM_VSCROLL ? SB_VERT : SB_HORZ), c.to) << "the thumb follows";
  }
}

TEST_F(Grid, TheMouseSelectsAndFocusesAndScrollingKeepsBoth) {
  Make(300, 200, 0, 1, 20);
  ASSERT_TRUE(grid->SetFPCMode(3, 2));  // cells of 100 x 100
  grid->m_bFocusTracking = TRUE;

  grid->painted.clear();
  Click(CPoint(150, 150));  // cell 4
  int selected = -1, focused = -2;
  grid->GetSelectedIndex(selected);
  EXPECT_EQ(selected, 4);
  EXPECT_EQ(grid->selChanges, 1);
  ASSERT_FALSE(grid->painted.empty());
  EXPECT_EQ(grid->painted.back().cell, 4);
  EXPECT_EQ(grid->painted.back().state, 1);

  grid->painted.clear();
  Click(CPoint(160, 120));
  EXPECT_EQ(grid->selChanges, 1) << "the same image again is no change";
  EXPECT_TRUE(grid->painted.empty()) << "and paints nothing";

  grid->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
  grid->GetFocusedIndex(focused);
  EXPECT_EQ(focused, 0);
  EXPECT_EQ(grid->painted.back().state, 2);
  grid->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(250, 50));
  grid->GetFocusedIndex(focused);
  grid->GetSelectedIndex(selected);
  EXPECT_EQ(focused, -1) << "a press ends the focus";
  EXPECT_EQ(selected, 2);
  grid->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(250, 50));

  // Scrolling moves the cells, not the selection: image 2 leaves the window and comes back.
  grid->painted.clear();
  grid->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
  grid->GetSelectedIndex(selected);
  EXPECT_EQ(selected, 2);
  for (const Painted& p : grid->painted) EXPECT_EQ(p.state, 0) << "image 2 is not shown in cell " << p.cell;
  grid->painted.clear();
  grid->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0);  // first index 3: nothing selected shown
  grid->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
  ASSERT_GE(grid->painted.size(), 3u);
  EXPECT_EQ(grid->painted[grid->painted.size() - 6 + 2].state, 1) << "cell 2 shows the selection again";
  EXPECT_EQ(grid->selChanges, 2);

  // A press on an empty cell after the last image selects nothing.
  grid->count = 4;
  Click(CPoint(250, 150));
  grid->GetSelectedIndex(selected);
  EXPECT_EQ(selected, -1);
}

TEST_F(Grid, AShorterImageListTakesTheFirstIndexSelectionAndFocusBack) {
  Make(400, 300, 0, 1, 20);
  ASSERT_TRUE(grid->SetFPCMode(3, 2));
  ASSERT_TRUE(grid->SetCurrentPos(12, FALSE));
  grid->SetSelectedIndex(15, FALSE);
  grid->SetFocusedIndex(3, FALSE);
  const int changes = grid->selChanges;

  grid->count = 10;
  grid->UpdateImageList();
  int first = -1, selected = -2, focused = -2;
  grid->GetCurrentPos(first);
  grid->GetSelectedIndex(selected);
  grid->GetFocusedIndex(focused);
  EXPECT_EQ(first, 9);
  EXPECT_EQ(selected, -1) << "image 15 is gone";
  EXPECT_EQ(grid->selChanges, changes + 1) << "and the owner hears so";
  EXPECT_EQ(focused, 3) << "image 3 is still there";
  int high = -1, low = -1;
  grid->GetScrollRange(SB_VERT, &low, &high);
  EXPECT_EQ(high, 9);

  grid->count = 0;
  grid->UpdateImageList();
  grid->GetFocusedIndex(focused);
  EXPECT_EQ(focused, -1);
}

TEST_F(Grid, KeepsATransformPerImage) {
  Make(400, 300);
  EXPECT_FALSE(grid->SetVWArraySize(-1));
  ASSERT_TRUE(grid->SetVWArraySize(2));
  grid->GetVW(1)->SetZoom(2500);
  grid->GetVW(1)->SetOrigin(40, 50);
  ASSERT_TRUE(grid->SetVWArraySize(5));
  for (int i = 2; i < 5; ++i) {
    SCOPED_TRACE(i);
    int sx = 0, sy = 0, x = 0, y = 0;
    grid->GetVW(i)->GetZoom(sx, sy);
    grid->GetVW(i)->GetOrigin(x, y);
    EXPECT_EQ(sx, 2500);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 50);
    grid->GetVW_Saved(i)->GetZoom(sx, sy);
    EXPECT_EQ(sx, 2500) << "the saved transform starts as the current one";
  }
  int sx = 0, sy = 0;
  grid->GetVW_Saved(1)->GetZoom(sx, sy);
  EXPECT_EQ(sx, 10000) << "item 1 was never saved";
  ASSERT_TRUE(grid->SaveVW(1));
  grid->GetVW_Saved(1)->GetZoom(sx, sy);
  EXPECT_EQ(sx, 2500);
  ASSERT_TRUE(grid->SetVWArraySize(1));
  EXPECT_EQ(grid->GetVW(1), nullptr);
  EXPECT_FALSE(grid->SaveVW(3));
}

// A 1-bit bitmap of 1-pixel black and white stripes: reduced by half it is a mid grey, and black
// when any dark pixel makes a reduced pixel dark.
void Stripes(CQVBitmapHandle& bitmap, int width, int height) {
  ASSERT_TRUE(bitmap.Create(width, height, 1));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; x += 2) ASSERT_TRUE(bitmap.SetPixelColor(x, y, 0x01000000));
  for (int y = 0; y < height; ++y)
    for (int x = 1; x < width; x += 2) ASSERT_TRUE(bitmap.SetPixelColor(x, y, 0x01000001));
}

TEST_F(Grid, PaintsOneBitPagesReducedToGreyAndLeavesTheirPaintModes) {
  Make(300, 200, 0, 0, 2);
  for (int i = 0; i < 2; ++i) {
    grid->images.push_back(std::make_unique<CQVBitmapHandle>());
    Stripes(*grid->images.back(), 200, 200);
  }
  grid->images[1]->EnablePaintMode(3, TRUE);  // its owner wants dark pixels kept
  ASSERT_TRUE(grid->SetFPCMode(3, 2));        // 100 x 100 cells: half size
  const QImage shot = Shot();
  const QColor grey = shot.pixelColor(50, 50);
  EXPECT_GT(grey.red(), 60);
  EXPECT_LT(grey.red(), 200) << "half the area is dark";
  EXPECT_EQ(shot.pixel(150, 50), qRgb(0, 0, 0)) << "the owner's own paint mode";
  EXPECT_FALSE(grid->images[0]->IsPaintModeEnabled(11));
  EXPECT_TRUE(grid->images[1]->IsPaintModeEnabled(3));
  EXPECT_FALSE(grid->images[1]->IsPaintModeEnabled(11));
  EXPECT_EQ(shot.pixel(250, 150), qRgb(255, 255, 255)) << "cells of no image show the cell's background";
}

TEST_F(Grid, PaintsTheSameOffScreenAsStraight) {
  Make(300, 200, 0, 0, 5);
  for (int i = 0; i < 5; ++i) {
    grid->images.push_back(std::make_unique<CQVBitmapHandle>());
    ASSERT_TRUE(grid->images.back()->Create(40 + 30 * i, 60, 24));
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 40 + 30 * i; ++x) grid->images.back()->SetPixelColor(x, y, RGB(40 * i, 255 - 40 * i, x % 256));
  }
  grid->SetSelectedIndex(1, FALSE);
  ASSERT_TRUE(grid->SetFPSMode(90, 90));
  const QImage straight = Shot();
  EXPECT_EQ(straight.pixel(45, 45) & 0xFFFF00u, qRgb(0, 255, 0) & 0xFFFF00u) << "image 0 in cell 0";
  EXPECT_EQ(straight.pixel(285, 5), Rgb(kPaper)) << "beside the cells";
  grid->m_bOffscreen = TRUE;
  grid->m_nFlushInterval = 2;
  grid->painted.clear();
  grid->UpdateLayout();
  EXPECT_EQ(grid->painted.size(), 9u) << "every cell once";
  const QImage offscreen = Shot();
  EXPECT_EQ(offscreen, straight);
  // A paint message only copies the bitmap.
  grid->painted.clear();
  grid->Invalidate(FALSE);
  grid->UpdateWindow();
  EXPECT_TRUE(grid->painted.empty());
  EXPECT_EQ(Shot(), straight);
}

// A scanned A4 page in a grid of thumbnails, on X: the text shows in greys, not as black blots.
TEST(GridOnX11, ScannedPagesShowAsGreyThumbnails) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "needs an X display";
  HWND parent = MakeParentWindow(u"ImageListX11Parent", ::DefWindowProcW);
  TestGrid grid(0, 1);
  grid.count = 12;
  CQVBitmapHandle page;
  ASSERT_TRUE(page.Load(u"" QV_SOURCE_DIR "/framework/views/tests/res/a4-g4-page.tif"));
  ASSERT_EQ(page.GetBitsPerPixel(), 1);
  for (int i = 0; i < grid.count; ++i) {
    grid.images.push_back(std::make_unique<CQVBitmapHandle>());
    ASSERT_TRUE(grid.images.back()->Create(page));
  }
  ASSERT_TRUE(grid.CreateEx(0, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), CWnd::FromHandle(parent), 100));
  ASSERT_TRUE(grid.SetFPCMode(3, 2));  // 6 cells of about 128 x 150
  grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  grid.SetSelectedIndex(4, TRUE);
  CRect cell;
  ASSERT_TRUE(grid.GetItemRect(0, cell));
  grid.ClientToScreen(&cell);
  QImage shot;
  int greys = 0;
  ASSERT_TRUE(PumpUntil([&] {
    shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    greys = 0;
    for (int y = cell.top + 2; y < cell.bottom - 2; ++y)
      for (int x = cell.left + 2; x < cell.right - 2; ++x) {
        const int v = qRed(shot.pixel(x, y));
        if (v > 40 && v < 215 && v == qBlue(shot.pixel(x, y))) ++greys;
      }
    return greys > 200;
  }, 5000)) << "grey pixels in the thumbnail: " << greys;
  QDir().mkpath(QStringLiteral(QV_TEST_ARTIFACT_DIR));
  CRect whole;
  grid.GetWindowRect(&whole);
  shot.copy(whole.left, whole.top, whole.Width(), whole.Height()).save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/thumbnail_grid_x11.png"));
  grid.DestroyWindow();
  ::DestroyWindow(parent);
}

}  // namespace
