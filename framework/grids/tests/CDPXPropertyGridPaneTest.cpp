// The row pane driven by messages: clicks (rows, cells, boxes, dividers), dragging a divider with
// its limits, keys (navigation, expanding, moving, deleting, sorting), the scroll bar and the
// wheel; and what a paint shows (bands, boxes, disabled colours, shortened texts).

#include "framework/grids/CDPXPropertyGridPane.h"
#include "framework/grids/GridPainting.h"
#include "framework/grids/tests/GridTestSupport.h"

#include "platform/gdi/CFont.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/winctrl.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Grid = CDPXPropertyGrid;
using Pane = CDPXPropertyGridPane;

BOOL AddEmptyCell(CDPXPropertyGridRow* row) { return row->AddItem(new TextCell) != nullptr; }

QColor Sys(int index) {
  const COLORREF c = GetSysColor(index);
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// A grid with one group "g": header row, data rows a, b, c, placeholder (content y 0, 18, 36, 54,
// 72, 90), two columns divided at x 116.
class PaneInput : public ::testing::Test {
protected:
  void SetUp() override { Build(Grid::kHeaderRows | Grid::kEditableList | Grid::kGroupBand); }
  void Build(DWORD style, int dataRows = 3, CRect rect = CRect(0, 0, 380, 280)) {
    f = std::make_unique<GridFixture>();
    ASSERT_TRUE(f->Make(style, 2, AddEmptyCell, rect));
    group = new CDPXPropertyGridRow;
    group->SetText(u"g");
    f->grid->InsertRow(group);
    rows.clear();
    for (int i = 0; i < dataRows; ++i) {
      const CString name = dataRows <= 3 ? CString(WCHAR(u'a' + i)) : Number(i);
      rows.push_back(MakeRow(*f->grid, group, {name.GetString(), u"v"}));
    }
    f->grid->ExpandAll();
    pane = f->grid->GetPane();
    Pump(10);
    f->parent.Clear();
  }
  static CString Number(int i) {
    CString s;
    s.Format(u"r%03d", i);
    return s;
  }
  void Click(int x, int y, UINT message = WM_LBUTTONDOWN) {
    pane->SendMessage(message, MK_LBUTTON, MAKELPARAM(x, y));
    if (message == WM_LBUTTONDOWN) pane->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    pane->SetFocus();
    QTest::keyClick(ClientOf(pane->GetSafeHwnd()), key, modifiers);
    Pump(5);
  }
  std::string Current() { return Describe(f->grid->GetCurrentRow()); }
  int Begun(CDPXPropertyGridRow* row, int n) { return static_cast<TextCell*>(row->GetItem(n))->begun; }
  QImage Shot() {
    pane->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return HostOf(pane->GetSafeHwnd())->grab().toImage();
  }

  std::unique_ptr<GridFixture> f;
  CDPXPropertyGridRow* group {};
  std::vector<CDPXPropertyGridRow*> rows;
  Pane* pane {};
};

TEST_F(PaneInput, HitCodesAndColumnsFollowTheLayout) {
  struct Case {
    const char* what;
    int x, y;
    int code;
    int column;
  } cases[] = {
    {"the group's box", 6, 9, Pane::kHitBox, -2},
    {"the group's caption", 60, 9, Pane::kHitChildren, -2},
    {"the header row", 60, 27, Pane::kHitHeader, -2},
    {"the first column's edge", 22, 45, Pane::kHitCells, 0},
    {"inside the first column", 80, 45, Pane::kHitCells, 0},
    {"on the divider", 112, 45, Pane::kHitDivider, -2},
    {"the second column", 200, 45, Pane::kHitCells, 1},
    {"the margin of a data row", 18, 45, Pane::kHitNothing, -2},
    {"below every row", 60, 250, Pane::kHitNothing, -2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pane->HitTest(CPoint(c.x, c.y)), c.code) << c.what;
    if (c.column != -2) {
      EXPECT_EQ(pane->GetColumnAt(c.x), c.column) << c.what;
    }
  }
  // The columns leave no gaps: left of the first divider is column 0, then each reaches its divider.
  for (int x : {0, 17, 18, 22, 110, 115}) EXPECT_EQ(pane->GetColumnAt(x), 0) << x;
  for (int x : {116, 121, 379}) EXPECT_EQ(pane->GetColumnAt(x), 1) << x;
}

TEST_F(PaneInput, ClicksSelectRowsAndOpenTheCellUnderThePoint) {
  Click(22, 45);  // x 22: the first pixel of the cell area belongs to the first column
  EXPECT_EQ(Current(), "D:a");
  EXPECT_EQ(Begun(rows[0], 0), 1);
  EXPECT_EQ(Begun(rows[0], 1), 0);
  EXPECT_EQ(f->parent.Codes(), (std::vector<int> {Grid::kNotifyClick, Grid::kNotifyCurrentRow, Grid::kNotifyCellClick}));

  f->parent.Clear();
  Click(200, 63);
  EXPECT_EQ(Current(), "D:b");
  EXPECT_EQ(Begun(rows[1], 1), 1);
  EXPECT_TRUE(rows[1]->IsSelected());
  EXPECT_FALSE(rows[0]->IsSelected());

  f->parent.Clear();
  Click(200, 9);  // the group's row: selected, but no editor and no cell click
  EXPECT_EQ(Current(), "G:g");
  EXPECT_EQ(f->parent.Codes(), (std::vector<int> {Grid::kNotifyClick, Grid::kNotifyCurrentRow}));

  f->parent.Clear();
  Click(200, 250);
  EXPECT_EQ(Current(), "none");
  EXPECT_FALSE(group->IsSelected());
  EXPECT_EQ(f->parent.heard.back(), (Heard {Grid::kNotifyCurrentRow, nullptr, nullptr}));

  // The header row takes no clicks; a disabled grid none at all.
  f->parent.Clear();
  Click(60, 27);
  EXPECT_EQ(Current(), "none");
  f->grid->EnableWindow(FALSE);
  Click(80, 45);
  EXPECT_EQ(Current(), "none");
  EXPECT_EQ(f->parent.Codes(), (std::vector<int> {Grid::kNotifyClick}));
}

TEST_F(PaneInput, CollapsingTheCurrentRowsGroupClearsTheCurrentRow) {
  Click(80, 63);
  ASSERT_EQ(Current(), "D:b");
  f->parent.answers[Grid::kNotifyExpand] = 1;
  Click(6, 9);
  EXPECT_TRUE(group->IsExpanded()) << "the owner vetoed";
  f->parent.answers.clear();
  f->parent.Clear();
  Click(6, 9);
  EXPECT_FALSE(group->IsExpanded());
  EXPECT_EQ(Shown(*f->grid), "G:g");
  EXPECT_EQ(Current(), "none");
  EXPECT_FALSE(rows[1]->IsSelected());
  EXPECT_EQ(f->parent.Codes(), (std::vector<int> {Grid::kNotifyClick, Grid::kNotifyExpand, Grid::kNotifyCurrentRow}));
  // A double click on the caption expands it again.
  pane->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(60, 9));
  EXPECT_TRUE(group->IsExpanded());
}

TEST_F(PaneInput, DividersDragWithinTheirLimits) {
  struct Case {
    const char* what;
    DWORD style;
    int to;
    int expected;
  } cases[] = {
    {"a little to the right", 0, 150, 150},
    {"far left stops at 41", 0, 5, 41},
    {"far left with the icon column stops at 59", Grid::kIconColumn, 5, 59},
    {"far right stops 25 before the edge", 0, 1000, -25},
  };
  for (const Case& c : cases) {
    Build(c.style);
    const int divider = f->grid->GetDividers()[0];
    pane->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(divider + 3, 45));
    ASSERT_TRUE(pane->IsDragging()) << c.what;
    EXPECT_EQ(CWnd::GetCapture(), pane) << c.what;
    pane->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.to, 45));
    EXPECT_EQ(pane->GetDragX(), c.to) << c.what;
    pane->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(c.to, 45));
    CRect client;
    pane->GetClientRect(&client);
    EXPECT_EQ(f->grid->GetDividers()[0], c.expected < 0 ? client.right + c.expected : c.expected) << c.what;
    EXPECT_FALSE(pane->IsDragging()) << c.what;
    EXPECT_EQ(CWnd::GetCapture(), nullptr) << c.what;
  }
  // Three columns: a divider stops 25 pixels before its neighbour; the owner can forbid dragging.
  f = std::make_unique<GridFixture>();
  ASSERT_TRUE(f->Make(0, 3));
  pane = f->grid->GetPane();
  f->grid->InsertRow(group = new CDPXPropertyGridRow);
  MakeRow(*f->grid, group, {u"a", u"b", u"c"});
  f->grid->ExpandAll();
  pane->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(116, 27));
  pane->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(300, 27));
  EXPECT_EQ(f->grid->GetDividers(), (std::vector<int> {191, 216}));
  f->parent.answers[Grid::kNotifyDividerDrag] = 1;
  pane->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(216, 27));
  EXPECT_FALSE(pane->IsDragging());
}

TEST_F(PaneInput, KeysMoveTheCurrentRowAndChangeTheRows) {
  struct Step {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* current;
    const char* shown;
  } steps[] = {
    {Qt::Key_Home, Qt::NoModifier, "G:g", "G:g H D:a D:b D:c P"},
    {Qt::Key_Down, Qt::NoModifier, "D:a", "G:g H D:a D:b D:c P"},  // the header row is skipped
    {Qt::Key_Tab, Qt::NoModifier, "D:b", "G:g H D:a D:b D:c P"},
    {Qt::Key_Tab, Qt::ShiftModifier, "D:a", "G:g H D:a D:b D:c P"},
    {Qt::Key_Tab, Qt::ShiftModifier, "G:g", "G:g H D:a D:b D:c P"},  // from the first data row to the group
    {Qt::Key_Tab, Qt::NoModifier, "G:g", "G:g H D:a D:b D:c P"},     // Tab acts below the top level only
    {Qt::Key_End, Qt::NoModifier, "P", "G:g H D:a D:b D:c P"},
    {Qt::Key_Delete, Qt::NoModifier, "P", "G:g H D:a D:b D:c P"},  // the placeholder stays
    {Qt::Key_Up, Qt::NoModifier, "D:c", "G:g H D:a D:b D:c P"},
    {Qt::Key_Up, Qt::ControlModifier, "D:c", "G:g H D:a D:c D:b P"},
    {Qt::Key_Up, Qt::ControlModifier, "D:c", "G:g H D:c D:a D:b P"},
    {Qt::Key_Up, Qt::ControlModifier, "D:c", "G:g H D:c D:a D:b P"},  // not above the header
    {Qt::Key_F5, Qt::NoModifier, "D:c", "G:g H D:a D:b D:c P"},
    {Qt::Key_Delete, Qt::NoModifier, "P", "G:g H D:a D:b P"},  // the next row becomes current
    {Qt::Key_Home, Qt::NoModifier, "G:g", "G:g H D:a D:b P"},
    {Qt::Key_Left, Qt::NoModifier, "G:g", "G:g"},
    {Qt::Key_Right, Qt::NoModifier, "G:g", "G:g H D:a D:b P"},
  };
  for (const Step& s : steps) {
    Key(s.key, s.modifiers);
    EXPECT_EQ(Current(), s.current) << QTest::toString(s.key) << " " << int(s.modifiers);
    EXPECT_EQ(Shown(*f->grid), s.shown) << QTest::toString(s.key) << " " << int(s.modifiers);
  }
  // Enter opens the current cell's editor; Right and Left move the mark on a data row.
  Key(Qt::Key_Down);
  Key(Qt::Key_Right);
  CDPXPropertyGridRow* a = f->grid->GetCurrentRow();
  ASSERT_EQ(Describe(a), "D:a");
  EXPECT_EQ(a->GetCurrentCell(), 1);
  Key(Qt::Key_Return);
  EXPECT_EQ(Begun(a, 1), 1);
  Key(Qt::Key_Left);
  EXPECT_EQ(a->GetCurrentCell(), 0);
}

TEST_F(PaneInput, ScrollingStaysInsideTheContent) {
  Build(0, 40, CRect(0, 0, 380, 200));
  // 41 rows + the root's 18 pixels: a range of 0..756, a page of 201.
  const int limit = 756 - 201;
  struct Step {
    const char* what;
    UINT code;
    int track;
    int position;
  } steps[] = {
    {"line down", SB_LINEDOWN, 0, 18},
    {"page down", SB_PAGEDOWN, 0, 219},
    {"line up", SB_LINEUP, 0, 201},
    {"thumb past the end", SB_THUMBTRACK, 5000, limit},
    {"line down at the end", SB_LINEDOWN, 0, limit},
    {"page up", SB_PAGEUP, 0, limit - 201},
    {"thumb before the start", SB_THUMBTRACK, static_cast<int>(-40), 0},
    {"line up at the start", SB_LINEUP, 0, 0},
  };
  for (const Step& s : steps) {
    pane->SendMessage(WM_VSCROLL, MAKEWPARAM(s.code, s.track & 0xFFFF), 0);
    EXPECT_EQ(f->grid->GetScrollPosition(), s.position) << s.what;
    EXPECT_EQ(pane->GetScrollPos(SB_VERT), s.position) << s.what;
  }
  pane->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(f->grid->GetScrollPosition(), 18);
  // The rows under the point follow the scroll position.
  EXPECT_EQ(Describe(pane->RowFromPoint(CPoint(60, 1))), "D:r000");

  // Keys keep the current row in view.
  Key(Qt::Key_End);
  EXPECT_EQ(f->grid->GetScrollPosition(), limit);
  Key(Qt::Key_Home);
  EXPECT_EQ(f->grid->GetScrollPosition(), 0);

  // Content that shrinks below the view takes the view back with it.
  Key(Qt::Key_End);
  for (size_t i = 8; i < rows.size(); ++i) f->grid->DeleteRow(rows[i]);
  EXPECT_EQ(f->grid->GetScrollPosition(), 0) << "everything fits again";
  EXPECT_EQ(Describe(pane->RowFromPoint(CPoint(60, 1))), "G:g");
  // Everything fits: the wheel does nothing, and the thumb code cannot go negative.
  pane->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(f->grid->GetScrollPosition(), 0);
  pane->ScrollTo(400);
  EXPECT_EQ(f->grid->GetScrollPosition(), 0);
}

TEST_F(PaneInput, PaintingShowsBandsBoxesAndDisabledColours) {
  rows[0]->SetSelected(TRUE);
  QImage image = Shot();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixelColor(300, 2), Sys(COLOR_BTNFACE)) << "the group band";
  EXPECT_EQ(image.pixelColor(8, 9), QColor(Qt::black)) << "the box's stroke";
  EXPECT_EQ(image.pixelColor(6, 9), QColor(Qt::black));
  EXPECT_NE(image.pixelColor(8, 7), QColor(Qt::black)) << "an expanded group shows minus";
  EXPECT_EQ(image.pixelColor(4, 5), Sys(COLOR_BTNSHADOW)) << "the box's frame";
  EXPECT_EQ(image.pixelColor(300, 40), Sys(COLOR_HIGHLIGHT)) << "a selected row's cells";
  EXPECT_EQ(image.pixelColor(116, 60), Sys(COLOR_BTNSHADOW)) << "the grid line at the divider";
  EXPECT_EQ(image.pixelColor(300, 150), Sys(COLOR_WINDOW)) << "below the rows";

  group->SetExpanded(FALSE);
  f->grid->Redraw();
  image = Shot();
  EXPECT_EQ(image.pixelColor(8, 8), QColor(Qt::black)) << "a collapsed group shows plus";

  f->grid->EnableWindow(FALSE);
  image = Shot();
  EXPECT_EQ(image.pixelColor(300, 150), Sys(COLOR_BTNFACE)) << "a disabled grid's background";
  EXPECT_EQ(image.pixelColor(8, 150), Sys(COLOR_BTNFACE));

  // A blank caption draws no text, a band still.
  f->grid->EnableWindow(TRUE);
  group->SetText(u"   ");
  image = Shot();
  for (int x = 20; x < 200; ++x) ASSERT_EQ(image.pixelColor(x, 9), Sys(COLOR_BTNFACE)) << x;
}

TEST_F(PaneInput, DraggingShowsAnInvertedBar) {
  const QImage before = Shot();
  pane->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(116, 45));
  pane->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 45));
  const QImage during = Shot();
  int changed = 0;
  for (int x = 198; x < 202; ++x) changed += during.pixelColor(x, 150) != before.pixelColor(x, 150);
  EXPECT_GE(changed, 1);
  EXPECT_EQ(during.pixelColor(210, 150), before.pixelColor(210, 150));
  pane->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(200, 45));
}

TEST(GridText, ShortenedTextsEndInDotsAndKeepOneCharacter) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  GridFixture f;  // the grid's fonts
  ASSERT_TRUE(f.Make(0));
  dc.SelectObject(CDPXPropertyGrid::GetGridFont(FALSE));
  const CString text(u"A long index value");
  const int full = dc.GetTextExtent(text).cx;
  EXPECT_EQ(grid_painting::FitText(&dc, text, full + 1), text);
  EXPECT_EQ(grid_painting::FitText(&dc, CString(), 0), CString());
  const CString cut = grid_painting::FitText(&dc, text, full / 2);
  EXPECT_TRUE(cut.GetLength() < text.GetLength() && cut.Right(3) == CString(u"...")) << cut.ToUtf8();
  EXPECT_LE(dc.GetTextExtent(cut).cx + 1, full / 2);
  EXPECT_EQ(grid_painting::FitText(&dc, text, 1), CString(u"A..."));
  const CString longText(WCHAR(u'x'), 400);
  EXPECT_LE(grid_painting::FitText(&dc, longText, full).GetLength(), 258);
}

}  // namespace
