// The grid's model: where inserted rows land with header and placeholder rows, row numbers, full
// rows, failing cell factories, sorting, moving rows, the placeholder turning into a data row,
// deleting rows, cell IDs and the notifications the owner hears.

#include "framework/grids/CDPXPropertyGridPane.h"
#include "framework/grids/tests/GridTestSupport.h"

#include "platform/ui/tests/UiTestSupport.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using Grid = CDPXPropertyGrid;

BOOL AddEmptyCell(CDPXPropertyGridRow* row) { return row->AddItem(new TextCell) != nullptr; }
int g_factoryCalls = 0;
int g_failAtCall = -1;
BOOL CountingFactory(CDPXPropertyGridRow* row) {
  if (g_factoryCalls++ == g_failAtCall) return FALSE;
  return row->AddItem(new TextCell) != nullptr;
}
// Reports success without adding its cell.
BOOL LyingFactory(CDPXPropertyGridRow*) { return TRUE; }

TEST(GridModel, InsertedRowsLandBetweenTheHeaderAndThePlaceholder) {
  struct Case {
    const char* what;
    DWORD style;
    const char* shown;
  } cases[] = {
    {"plain groups", 0, "G:one D:a D:b G:two D:c"},
    {"a header row per group", Grid::kHeaderRows, "G:one H D:a D:b G:two H D:c"},
    {"an editable list", Grid::kEditableList, "G:one D:a D:b P G:two D:c P"},
    {"both", Grid::kHeaderRows | Grid::kEditableList, "G:one H D:a D:b P G:two H D:c P"},
  };
  for (const Case& c : cases) {
    GridFixture f;
    ASSERT_TRUE(f.Make(c.style, 2, AddEmptyCell)) << c.what;
    auto* one = new CDPXPropertyGridRow;
    one->SetText(u"one");
    ASSERT_TRUE(f.grid->InsertRow(one));
    auto* two = new CDPXPropertyGridRow;
    two->SetText(u"two");
    ASSERT_TRUE(f.grid->InsertRow(two));
    // The first data row under a group that already has its header and placeholder, then more.
    MakeRow(*f.grid, one, {u"a"});
    MakeRow(*f.grid, two, {u"c"});
    MakeRow(*f.grid, one, {u"b"});
    f.grid->ExpandAll();
    EXPECT_EQ(Shown(*f.grid), c.shown) << c.what;
    EXPECT_EQ(one->GetType(), CDPXPropertyGridRow::kGroup);
  }
}

TEST(GridModel, RowsAreNumberedByColumnCountAndDeletingAllStartsAgain) {
  GridFixture f;
  ASSERT_TRUE(f.Make(Grid::kHeaderRows, 3));
  auto* group = new CDPXPropertyGridRow;
  f.grid->InsertRow(group);
  CDPXPropertyGridRow* a = MakeRow(*f.grid, group, {u"a"});
  CDPXPropertyGridRow* b = MakeRow(*f.grid, group, {u"b"});
  // Group 1, its header 2, then data rows advance by columns + 1 = 4.
  EXPECT_EQ(group->GetNumber(), 1);
  EXPECT_EQ(group->GetFirstChild()->GetNumber(), 2);
  EXPECT_EQ(a->GetNumber(), 3);
  EXPECT_EQ(b->GetNumber(), 7);

  f.parent.Clear();
  f.grid->DeleteAllRows();
  f.grid->DeleteAllRows();
  EXPECT_EQ(f.parent.Codes(), (std::vector<int> {Grid::kNotifyAllDeleted, Grid::kNotifyAllDeleted}))
      << "an empty grid still tells its owner";
  auto* again = new CDPXPropertyGridRow;
  f.grid->InsertRow(again);
  EXPECT_EQ(again->GetNumber(), 1);
}

TEST(GridModel, AFullRowRefusesACellAndLeavesItToTheCaller) {
  GridFixture f;
  ASSERT_TRUE(f.Make(0, 2));
  auto* group = new CDPXPropertyGridRow;
  f.grid->InsertRow(group);
  CDPXPropertyGridRow* row = MakeRow(*f.grid, group, {u"a", u"b"});
  TextCell extra;
  EXPECT_EQ(row->AddItem(&extra), nullptr);
  EXPECT_EQ(extra.GetRow(), nullptr);
  EXPECT_EQ(row->GetItemCount(), 2);
  EXPECT_EQ(row->GetItem(2), nullptr);
  EXPECT_EQ(row->GetItem(-1), nullptr);
}

TEST(GridModel, AFailingFactoryLinksNothing) {
  struct Case {
    const char* what;
    CDPXPropertyGridCellFactory factory;
    int failAt;
    bool nested;
  } cases[] = {
    {"the second column's factory fails for a new group", CountingFactory, 1, false},
    {"the first factory fails for the first row below a data row", CountingFactory, 0, true},
    {"a factory that adds no cell", LyingFactory, -1, false},
  };
  for (const Case& c : cases) {
    GridFixture f;
    ASSERT_TRUE(f.Make(Grid::kHeaderRows | Grid::kEditableList, 2, c.factory)) << c.what;
    CDPXPropertyGridRow* parent = nullptr;
    if (c.nested) {
      g_factoryCalls = 0;
      g_failAtCall = -1;
      CDPXPropertyGridRow* group = f.grid->InsertRow(new CDPXPropertyGridRow);
      ASSERT_TRUE(group) << c.what;
      parent = MakeRow(*f.grid, group, {u"d"});
      f.grid->ExpandAll();
    }
    g_factoryCalls = 0;
    g_failAtCall = c.failAt;
    const std::string before = Shown(*f.grid);
    f.parent.Clear();
    CDPXPropertyGridRow row;
    EXPECT_EQ(f.grid->InsertRow(&row, parent), nullptr) << c.what;
    EXPECT_EQ(Shown(*f.grid), before) << c.what;
    EXPECT_TRUE(f.parent.heard.empty()) << c.what;
    EXPECT_EQ(row.GetParent(), nullptr) << c.what;
    g_failAtCall = -1;
  }
}

TEST(GridModel, SortingKeepsHeaderFirstPlaceholderLastAndEqualTextsInOrder) {
  GridFixture f;
  ASSERT_TRUE(f.Make(Grid::kHeaderRows | Grid::kEditableList, 3, AddEmptyCell));
  auto* group = new CDPXPropertyGridRow;
  group->SetText(u"g");
  f.grid->InsertRow(group);
  // Cell 0 names the row; cells 1 and 2 are the keys.
  MakeRow(*f.grid, group, {u"r1", u"b", u"2"});
  MakeRow(*f.grid, group, {u"r2", u"a", u"1"});
  MakeRow(*f.grid, group, {u"r3", u"b", u"1"});
  MakeRow(*f.grid, group, {u"r4", u"B", u"1"});
  f.grid->ExpandAll();
  struct Case {
    int column;
    const char* shown;
  } cases[] = {
    {1, "G:g H D:r4 D:r2 D:r1 D:r3 P"},  // case-sensitive: "B" before "a"; r1 and r3 keep their order
    {2, "G:g H D:r4 D:r2 D:r3 D:r1 P"},  // equal texts keep the order of the sort before
    {0, "G:g H D:r1 D:r2 D:r3 D:r4 P"},
    {9, "G:g H D:r1 D:r2 D:r3 D:r4 P"},  // a column that does not exist sorts by the first
  };
  for (const Case& c : cases) {
    f.grid->SortRows(nullptr, c.column);
    EXPECT_EQ(Shown(*f.grid), c.shown) << "column " << c.column;
  }
}

TEST(GridModel, MovingRowsStopsAtTheHeaderAndThePlaceholder) {
  struct Case {
    const char* what;
    const char* row;
    bool up;
    const char* shown;
  } cases[] = {
    {"up", "b", true, "G:g H D:b D:a D:c P"},
    {"up below the header", "a", true, "G:g H D:a D:b D:c P"},
    {"down", "a", false, "G:g H D:b D:a D:c P"},
    {"down above the placeholder", "c", false, "G:g H D:a D:b D:c P"},
  };
  for (const Case& c : cases) {
    GridFixture f;
    ASSERT_TRUE(f.Make(Grid::kHeaderRows | Grid::kEditableList, 2, AddEmptyCell));
    auto* group = new CDPXPropertyGridRow;
    group->SetText(u"g");
    f.grid->InsertRow(group);
    std::map<std::string, CDPXPropertyGridRow*> rows;
    for (const char16_t* name : {u"a", u"b", u"c"}) rows[CString(name).ToUtf8()] = MakeRow(*f.grid, group, {name});
    f.grid->ExpandAll();
    if (c.up) f.grid->MoveRowUp(rows[c.row]);
    else f.grid->MoveRowDown(rows[c.row]);
    EXPECT_EQ(Shown(*f.grid), c.shown) << c.what;
  }
  // The placeholder itself never moves.
  GridFixture f;
  ASSERT_TRUE(f.Make(Grid::kEditableList, 2, AddEmptyCell));
  auto* group = f.grid->InsertRow(new CDPXPropertyGridRow);
  MakeRow(*f.grid, group, {u"a"});
  f.grid->ExpandAll();
  f.grid->MoveRowUp(f.grid->GetDisplayedRows().back());
  EXPECT_EQ(Shown(*f.grid), "G: D:a P");
}

TEST(GridModel, AnEditedPlaceholderBecomesADataRowOnlyWhenItsSuccessorIsWhole) {
  GridFixture f;
  ASSERT_TRUE(f.Make(Grid::kEditableList, 2, CountingFactory));
  g_factoryCalls = 0;
  g_failAtCall = -1;
  auto* group = f.grid->InsertRow(new CDPXPropertyGridRow);
  f.grid->ExpandAll();
  CDPXPropertyGridRow* placeholder = group->GetFirstChild();
  ASSERT_EQ(Describe(placeholder), "P");

  // Left unchanged: nothing happens.
  placeholder->BeginEditCell(0);
  placeholder->GetItem(0)->StopEdit();
  EXPECT_EQ(Shown(*f.grid), "G: P");

  // The next factory call fails: the row stays the placeholder, no row is short of cells.
  g_failAtCall = g_factoryCalls + 1;
  static_cast<TextCell*>(placeholder->GetItem(0))->text = u"new";
  placeholder->BeginEditCell(0);
  placeholder->GetItem(0)->SetModified(TRUE);
  placeholder->GetItem(0)->StopEdit();
  EXPECT_EQ(Shown(*f.grid), "G: P:new");

  g_failAtCall = -1;
  placeholder->BeginEditCell(0);
  placeholder->GetItem(0)->StopEdit();
  EXPECT_EQ(Shown(*f.grid), "G: D:new P");
  for (const CDPXPropertyGridRow* row : f.grid->GetDisplayedRows()) {
    if (!row->IsTopLevel()) {
      EXPECT_EQ(row->GetItemCount(), 2) << Describe(row);
    }
  }
}

TEST(GridModel, NotificationsReachTheOwnerInOrder) {
  GridFixture f;
  ASSERT_TRUE(f.Make(0, 3));
  auto* group = f.grid->InsertRow(new CDPXPropertyGridRow);
  CDPXPropertyGridRow* row = MakeRow(*f.grid, group, {u"a", u"b", u"c"});
  EXPECT_EQ(f.parent.heard.back(), (Heard {Grid::kNotifyInserted, row, nullptr}));

  f.parent.Clear();
  CDPXPropertyGridItem* first = row->GetItem(0);
  CDPXPropertyGridItem* second = row->GetItem(1);
  CDPXPropertyGridItem* third = row->GetItem(2);
  row->NextCell();
  row->NextCell();
  row->NextCell();  // stays on the last cell
  row->PrevCell();
  const std::vector<Heard> moves {
    {Grid::kNotifyCurrentCell, row, nullptr}, {Grid::kNotifyCurrentCell, row, second},
    {Grid::kNotifyCurrentCell, row, nullptr}, {Grid::kNotifyCurrentCell, row, third},
    {Grid::kNotifyCurrentCell, row, nullptr}, {Grid::kNotifyCurrentCell, row, third},
    {Grid::kNotifyCurrentCell, row, nullptr}, {Grid::kNotifyCurrentCell, row, second},
  };
  EXPECT_EQ(f.parent.heard, moves);
  EXPECT_TRUE(second->IsCurrent());
  EXPECT_FALSE(third->IsCurrent());

  // An edit ends once, however often the editor says so.
  f.parent.Clear();
  auto* cell = static_cast<TextCell*>(first);
  EXPECT_EQ(row->BeginEditCell(0), first);
  cell->StopEdit();
  cell->StopEdit();
  EXPECT_EQ(f.parent.heard, (std::vector<Heard> {{Grid::kNotifyEditEnded, row, first}}));
  EXPECT_EQ(cell->begun, 1);
  EXPECT_EQ(cell->ended, 1);
  cell->SetReadOnly(TRUE);
  EXPECT_EQ(row->BeginEditCell(0), nullptr) << "a read-only cell never opens";
  EXPECT_EQ(row->BeginEditCell(3), nullptr);

  // Without the style nothing is sent.
  CDPXPropertyGrid quiet;
  CDPXPropertyGridColumnSet set {0, {{100, CString(u"a"), nullptr}, {100, CString(u"b"), nullptr}}};
  ASSERT_TRUE(quiet.Create(WS_CHILD, CRect(0, 0, 100, 100), &f.parent, 6, set));
  quiet.SetNotifyWindow(&f.parent);
  f.parent.Clear();
  quiet.InsertRow(new CDPXPropertyGridRow);
  EXPECT_TRUE(f.parent.heard.empty());
}

TEST(GridModel, CreateNeedsTwoColumns) {
  NotifyRecorder parent;
  ASSERT_TRUE(parent.CreateEx(0, u"AfxWnd", u"p", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
  CDPXPropertyGrid grid;
  CDPXPropertyGridColumnSet one {0, {{100, CString(u"a"), nullptr}}};
  EXPECT_FALSE(grid.Create(WS_CHILD, CRect(0, 0, 100, 100), &parent, 1, one));
  EXPECT_EQ(grid.GetSafeHwnd(), nullptr);
  CDPXPropertyGridColumnSet three {Grid::kIconColumn, {{50, CString(u"a"), nullptr}, {60, CString(u"b"), nullptr},
                                                      {70, CString(u"c"), nullptr}}};
  ASSERT_TRUE(grid.Create(WS_CHILD, CRect(0, 0, 100, 100), &parent, 1, three));
  // Dividers start after the margin and the icon column; the last width is not used.
  EXPECT_EQ(grid.GetDividers(), (std::vector<int> {84, 144}));
  EXPECT_EQ(grid.GetColumnCount(), 3);
  EXPECT_NE(grid.GetPane(), nullptr);
  EXPECT_EQ(grid.GetPane()->GetDlgCtrlID(), 33333);
  parent.DestroyWindow();
}

TEST(GridModel, CellIdsAreUniqueAndNeverAChildsId) {
  GridFixture f;
  ASSERT_TRUE(f.Make(0, 2));
  CDPXPropertyGridRow* group = nullptr;
  std::set<int> ids;
  std::vector<CDPXPropertyGridRow*> rows;
  // More cells than IDs below 0x10000, in groups of 100 rows.
  for (int i = 0; i < 33000; ++i) {
    if (i % 100 == 0) group = f.grid->InsertRow(new CDPXPropertyGridRow);
    CDPXPropertyGridRow* row = MakeRow(*f.grid, group, {u"a", u"b"});
    ASSERT_NE(row, nullptr);
    ASSERT_EQ(row->GetItemCount(), 2) << "a row takes its cells when the IDs run out";
    for (int n = 0; n < 2; ++n) ids.insert(row->GetItem(n)->GetID());
    rows.push_back(row);
  }
  EXPECT_EQ(ids.size(), 65533u + 1) << "every ID once, and 0 for the cells beyond";
  EXPECT_EQ(ids.count(0), 1u);
  EXPECT_EQ(ids.count(33333), 0u);
  EXPECT_EQ(ids.count(0xFFFF), 0u);
  EXPECT_LT(*ids.rbegin(), 0x10000);
  // IDs of deleted cells come back.
  const int freed = rows[5]->GetItem(1)->GetID();
  f.grid->DeleteRow(rows[5]);
  CDPXPropertyGridRow* row = MakeRow(*f.grid, group, {u"c"});
  EXPECT_EQ(row->GetItem(0)->GetID(), freed);
}

}  // namespace
