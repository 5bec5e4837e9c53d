// Scrolling the index-field grid: the time to scroll one screenful (page down, repaint included)
// in a grid of 1,000 rows and in one of 100,000, at the top and deep down. A paint touches only
// the rows in view, so the two sizes should take about the same time per screenful; the ratio
// printed last is 100,000 rows over 1,000.

#include "framework/grids/CDPXPropertyGrid.h"
#include "framework/grids/CDPXPropertyGridEditItem.h"
#include "framework/grids/CDPXPropertyGridPane.h"
#include "platform/ui/win/winctrl.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

double Seconds(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

CDPXPropertyGridEditItem* Cell(CDPXPropertyGridRow* row, const CString& text) {
  auto* cell = new CDPXPropertyGridEditItem;  // painted only: no editor window
  row->AddItem(cell);
  cell->SetText(text);
  return cell;
}

struct Result {
  double build {};
  double top {};   // ms per screenful from the top
  double deep {};  // ms per screenful from the middle
};

Result Measure(CWnd& parent, int rows) {
  Result result;
  CDPXPropertyGrid grid;
  CDPXPropertyGridColumnSet columns {CDPXPropertyGrid::kGroupBand | CDPXPropertyGrid::kHeaderRows,
                                     {{140, CString(u"Field"), nullptr}, {300, CString(u"Value"), nullptr}}};
  if (!grid.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 700), &parent, 1, columns)) {
    std::fprintf(stderr, "no grid\n");
    std::exit(1);
  }
  auto start = std::chrono::steady_clock::now();
  // Groups of 100 rows, filled while collapsed, then opened all at once.
  CDPXPropertyGridRow* group = nullptr;
  for (int i = 0; i < rows; ++i) {
    if (i % 100 == 0) {
      group = new CDPXPropertyGridRow;
      CString caption;
      caption.Format(u"Document %d", i / 100 + 1);
      group->SetText(caption);
      grid.InsertRow(group);
    }
    auto* row = new CDPXPropertyGridRow;
    grid.InsertRow(row, group);
    CString name, value;
    name.Format(u"Field %d", i % 100 + 1);
    value.Format(u"Value of row %d", i + 1);
    Cell(row, name);
    Cell(row, value);
  }
  grid.ExpandAll();
  result.build = Seconds(start);

  CDPXPropertyGridPane* pane = grid.GetPane();
  const int pages = 200;
  auto timePages = [&] {
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < pages; ++i) pane->SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    return Seconds(begin) * 1000 / pages;
  };
  pane->SendMessage(WM_VSCROLL, SB_TOP, 0);
  pane->ScrollTo(0);
  result.top = timePages();
  pane->ScrollTo(grid.GetContentHeight() / 2);
  result.deep = timePages();
  grid.DestroyWindow();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  CWnd parent;
  if (!parent.CreateEx(0, u"AfxWnd", u"grid", WS_POPUP | WS_VISIBLE, CRect(0, 0, 600, 700), nullptr, 0)) return 1;
  Measure(parent, 1000);  // warms the fonts and caches up
  const Result small = Measure(parent, 1000);
  const Result large = Measure(parent, 100000);
  std::printf("rows      build s   ms/screenful (top)   ms/screenful (middle)\n");
  std::printf("%6d  %8.3f   %18.3f   %21.3f\n", 1000, small.build, small.top, small.deep);
  std::printf("%6d  %8.3f   %18.3f   %21.3f\n", 100000, large.build, large.top, large.deep);
  std::printf("ratio 100,000 / 1,000 rows per screenful: %.2f (top), %.2f (middle)\n", large.top / small.top,
              large.deep / small.deep);
  parent.DestroyWindow();
  return 0;
}
