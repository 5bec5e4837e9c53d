// The sortable list: texts, numbers and dates in the order a reader expects, the three states of
// a column and the arrow that shows them, rows without item data of their own, clicks on the
// header, selected and checked rows, making the window.

#include "framework/dialogs/CQVListCtrl.h"

#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

using Column = std::vector<std::string>;

class SortableList : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(host.CreateEx(0, u"AfxWnd", u"list host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 520, 300),
                              nullptr, 0));
    list.AddColumnInfo(u"Name", LVCFMT_LEFT, 120, TRUE);
    list.AddColumnInfo(u"Pages", LVCFMT_RIGHT, 80, TRUE);
    list.AddColumnInfo(u"Scanned", LVCFMT_LEFT, 120, TRUE);
    list.AddColumnInfo(u"Note", LVCFMT_LEFT, 120, FALSE);
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT, CRect(0, 0, 500, 280),
                            &host, 100));
    // Rows as a program adds them: no item data of their own (all 0).
    const char16_t* rows[][4] = {
        {u"cherry", u"10", u"05.03.2024", u"c"},   {u"Banana", u"9", u"12.11.2023", u"b"},
        {u"apple", u"100", u"01.01.2025", u"a"},   {u"", u"", u"", u"-"},
        {u"banana", u"9.5", u"28.02.2024", u"bb"},
    };
    for (int i = 0; i < 5; ++i) {
      list.InsertItem(i, rows[i][0]);
      for (int c = 1; c < 4; ++c) list.SetItemText(i, c, rows[i][c]);
    }
  }
  void TearDown() override { host.DestroyWindow(); }

  Column Texts(int column) {
    Column texts;
    for (int i = 0; i < list.GetItemCount(); ++i) texts.push_back(list.GetItemText(i, column).ToUtf8());
    return texts;
  }
  int State(int column) { return list.GetColumnInfo(column)->m_nSortState; }
  // The arrow the header shows on a column: 0 none, 1 up, 2 down.
  int Arrow(int column) {
    HDITEMW item {};
    item.mask = HDI_FORMAT | HDI_BITMAP;
    list.GetHeaderCtrl()->GetItem(column, &item);
    if (!(item.fmt & HDF_BITMAP)) return 0;
    EXPECT_TRUE(item.fmt & HDF_BITMAP_ON_RIGHT);
    if (item.hbm == CQVListCtrl::SortArrow(FALSE).GetSafeHandle()) return 1;
    if (item.hbm == CQVListCtrl::SortArrow(TRUE).GetSafeHandle()) return 2;
    return -1;
  }

  CWnd host;
  CQVListCtrl list;
};

TEST_F(SortableList, ColumnsSortAsTextNumbersOrDatesAndCycleThroughTheirThreeStates) {
  struct Step {
    const char* what;
    int column;
    BOOL result;
    Column names;  // the first column afterwards
    int state;     // of the column
    int arrows[3];
  } steps[] = {
      {"names up", 0, TRUE, {"", "apple", "Banana", "banana", "cherry"}, 2, {1, 0, 0}},
      {"names down", 0, TRUE, {"cherry", "banana", "Banana", "apple", ""}, 3, {2, 0, 0}},
      {"names unsorted: the rows stay", 0, TRUE, {"cherry", "banana", "Banana", "apple", ""}, 1, {0, 0, 0}},
      {"pages by value", 1, TRUE, {"", "Banana", "banana", "cherry", "apple"}, 2, {0, 1, 0}},
      {"pages down", 1, TRUE, {"apple", "cherry", "banana", "Banana", ""}, 3, {0, 2, 0}},
      {"dates, and the other column falls back", 2, TRUE, {"", "Banana", "banana", "cherry", "apple"}, 2, {0, 0, 1}},
      {"the note is not sortable", 3, FALSE, {"", "Banana", "banana", "cherry", "apple"}, 0, {0, 0, 1}},
      {"no such column", 7, FALSE, {"", "Banana", "banana", "cherry", "apple"}, -1, {0, 0, 1}},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(list.SortItems(s.column, TRUE), s.result) << s.what;
    EXPECT_EQ(Texts(0), s.names) << s.what;
    if (s.state >= 0) {
      EXPECT_EQ(State(s.column), s.state) << s.what;
    }
    for (int c = 0; c < 3; ++c) EXPECT_EQ(Arrow(c), s.arrows[c]) << s.what << ", column " << c;
  }
  EXPECT_EQ(State(0), 1);
  EXPECT_EQ(State(1), 1);
  int state = 0;
  EXPECT_EQ(list.GetSortColumn(state), 2);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(Texts(3), Column({"-", "b", "bb", "c", "a"})) << "whole rows move";
}

TEST_F(SortableList, RowsKeepTheirOwnItemDataAndNewRowsSortIntoPlace) {
  for (int i = 0; i < 5; ++i) list.SetItemData(i, static_cast<DWORD_PTR>(500 + i));
  ASSERT_TRUE(list.SortItems(1, TRUE));
  Column data;
  for (int i = 0; i < 5; ++i) data.push_back(std::to_string(list.GetItemData(i)));
  EXPECT_EQ(data, Column({"503", "501", "504", "500", "502"}));

  list.InsertItem(5, u"date");
  list.SetItemText(5, 1, u"-2");
  ASSERT_TRUE(list.SortItems());
  EXPECT_EQ(Texts(1), Column({"", "-2", "9", "9.5", "10", "100"}));

  // A caller's own comparison gets the rows' own data; none is refused.
  EXPECT_FALSE(list.SortItems(nullptr, 1));
  ASSERT_TRUE(list.SortItems([](LPARAM a, LPARAM b, LPARAM) { return a < b ? 1 : a > b ? -1 : 0; }, 0));
  EXPECT_EQ(list.GetItemData(0), 504u);
}

TEST_F(SortableList, AClickOnTheHeaderSortsByThatColumn) {
  list.ShowWindow(SW_SHOW);
  Pump(30);
  ClickControl(list.GetHeaderCtrl()->GetSafeHwnd());
  Pump(30);
  EXPECT_EQ(State(0), 2);
  EXPECT_EQ(Texts(0), Column({"", "apple", "Banana", "banana", "cherry"}));
}

TEST_F(SortableList, SelectedAndCheckedRowsAreCountedAndFoundInIndexOrder) {
  EXPECT_EQ(list.CountSelectedItem(), 0);
  EXPECT_EQ(list.GetSelectedItem(0), -1);
  EXPECT_FALSE(list.IsItemSelected(-1));
  EXPECT_FALSE(list.IsItemSelected(5));
  list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  list.SetCheck(4, TRUE);
  list.SetCheck(0, TRUE);
  struct Query {
    const char* what;
    int got, expected;
  } queries[] = {
      {"selected", list.CountSelectedItem(), 2},  {"first selected", list.GetSelectedItem(0), 1},
      {"second selected", list.GetSelectedItem(1), 3}, {"third selected", list.GetSelectedItem(2), -1},
      {"negative n", list.GetSelectedItem(-1), -1},    {"row 3 selected", list.IsItemSelected(3), TRUE},
      {"row 2 selected", list.IsItemSelected(2), FALSE}, {"checked", list.CountCheckedItem(), 2},
      {"first checked", list.GetCheckedItem(0), 0},   {"second checked", list.GetCheckedItem(1), 4},
      {"third checked", list.GetCheckedItem(2), -1},  {"row 4 checked", list.IsItemChecked(4), TRUE},
      {"row 9 checked", list.IsItemChecked(9), FALSE},
  };
  for (const Query& q : queries) EXPECT_EQ(q.got, q.expected) << q.what;
  // Sorting keeps what is selected with its row.
  ASSERT_TRUE(list.SortItems(0, TRUE));
  EXPECT_EQ(list.GetItemText(list.GetSelectedItem(0), 0).ToUtf8(), "");
  EXPECT_EQ(list.GetItemText(list.GetSelectedItem(1), 0).ToUtf8(), "Banana");
}

TEST(SortableListMaking, NeedsColumnsAndTheArrowsPointTheirWay) {
  CQVListCtrl empty;
  HWND parent = MakeParentWindow(u"SortableListParent", ::DefWindowProcW);
  EXPECT_FALSE(empty.Create(WS_CHILD | LVS_REPORT, 0, CRect(0, 0, 100, 100), CWnd::FromHandle(parent), 1));
  EXPECT_EQ(empty.GetSafeHwnd(), nullptr);
  EXPECT_EQ(empty.AddColumnInfo(u"A", LVCFMT_LEFT, 50, FALSE), 0);
  EXPECT_EQ(empty.AddColumnInfo(u"B", LVCFMT_LEFT, 50, TRUE), 1);
  EXPECT_EQ(empty.GetColumnInfo(2), nullptr);
  EXPECT_EQ(empty.GetColumnInfo(-1), nullptr);
  EXPECT_EQ(empty.GetColumnInfo(1)->m_nIndex, 1);
  EXPECT_EQ(empty.GetColumnInfo(1)->m_nSortState, 1);
  ASSERT_TRUE(empty.Create(WS_CHILD | LVS_REPORT, LVS_EX_GRIDLINES, CRect(0, 0, 100, 100), CWnd::FromHandle(parent), 1));
  EXPECT_EQ(empty.GetExtendedStyle(), static_cast<DWORD>(LVS_EX_GRIDLINES));
  EXPECT_EQ(empty.GetHeaderCtrl()->GetItemCount(), 2);
  ::DestroyWindow(parent);

  CQVListCtrl::CreateSortIndicator(TRUE);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  // Which pixels of the top and bottom rows are drawn, as a string of x and dots.
  auto rows = [face](CBitmap& bitmap) {
    uint8_t bits[7 * 7 * 4] {};
    EXPECT_EQ(bitmap.GetBitmapBits(sizeof bits, bits), sizeof bits);
    std::string drawn[2];
    for (int r = 0; r < 2; ++r)
      for (int x = 0; x < 7; ++x) {
        const uint8_t* px = bits + ((r ? 6 : 0) * 7 + x) * 4;
        drawn[r] += RGB(px[2], px[1], px[0]) == face ? '.' : 'x';
      }
    return drawn[0] + "|" + drawn[1];
  };
  EXPECT_EQ(rows(CQVListCtrl::SortArrow(FALSE)), "...x...|xxxxxxx") << "up: tip on top";
  EXPECT_EQ(rows(CQVListCtrl::SortArrow(TRUE)), "xxxxxxx|...x...") << "down: tip below";
}

}  // namespace
