// The grid's in-place editors: opening each kind over its cell, typing, committing with Enter, a
// chosen entry or the button, Esc giving the old value back, one end per edit however the editor
// loses the focus, free texts in editable and drop-down lists, read-only and password cells, and
// a row deleted while its editor has the focus.

#include "framework/grids/CDPXPropertyGridButtonItem.h"
#include "framework/grids/CDPXPropertyGridComboItem.h"
#include "framework/grids/CDPXPropertyGridEditItem.h"
#include "framework/grids/CDPXPropertyGridPane.h"
#include "framework/grids/tests/GridTestSupport.h"

#include "platform/ui/tests/UiTestSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Grid = CDPXPropertyGrid;

CString g_buttonText;
int g_buttonCalls = 0;
CString FromButton(CDPXPropertyGridRow*, CDPXPropertyGridButtonItem*, LPARAM user) {
  ++g_buttonCalls;
  CString text = g_buttonText;
  text.AppendFormat(u"%d", static_cast<int>(user));
  return text;
}

// One group with rows of a name cell and a value cell of the kind under test; columns divide at 116.
class Editors : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(f.Make(0));
    group = f.grid->InsertRow(new CDPXPropertyGridRow);
    group->SetText(u"Index");
  }
  template <class Cell>
  Cell* AddRow(LPCWSTR name, Cell* value) {
    auto* row = new CDPXPropertyGridRow;
    f.grid->InsertRow(row, group);
    auto* nameCell = new CDPXPropertyGridEditItem;
    row->AddItem(nameCell);
    nameCell->SetText(name);
    nameCell->Create(CDPXPropertyGridEditItem::kReadOnlyText);
    row->AddItem(value);
    f.grid->ExpandAll();
    return value;
  }
  // Opens the value cell of the row `index` (0 the first data row) with a click.
  void ClickValue(int index) {
    const int y = 18 * (index + 1) + 9 - f.grid->GetScrollPosition();
    f.grid->GetPane()->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, y));
    f.grid->GetPane()->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(200, y));
    Pump(10);
  }
  void KeyTo(CWnd* wnd, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(ClientOf(wnd->GetSafeHwnd()), key, modifiers);
    Pump(5);
  }
  void Type(CWnd* wnd, const char* text) {
    QTest::keyClicks(ClientOf(wnd->GetSafeHwnd()), QString::fromUtf8(text));
    Pump(5);
  }
  int Count(int code) const {
    int n = 0;
    for (const Heard& h : f.parent.heard) n += h.code == code;
    return n;
  }
  static CString TextOf(CDPXPropertyGridItem* cell) {
    CString text;
    cell->GetText(text);
    return text;
  }
  QImage Shot() {
    CWnd* pane = f.grid->GetPane();
    pane->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return HostOf(pane->GetSafeHwnd())->grab().toImage();
  }

  GridFixture f;
  CDPXPropertyGridRow* group {};
};

TEST_F(Editors, ATextCellOpensOverItsCellAndEnterCommitsOnce) {
  auto* cell = AddRow(u"Name", new CDPXPropertyGridEditItem);
  cell->SetText(u"old");
  ASSERT_TRUE(cell->Create());
  f.parent.Clear();
  ClickValue(0);
  ASSERT_TRUE(cell->IsWindowVisible());
  EXPECT_EQ(CWnd::GetFocus(), cell);
  EXPECT_TRUE(cell->IsEditing());
  CRect at;
  cell->GetWindowRect(&at);
  f.grid->GetPane()->ScreenToClient(&at);
  EXPECT_EQ(at, cell->GetCellRect());
  EXPECT_EQ(at.left, 118);
  EXPECT_EQ(f.parent.heard.back(), (Heard {Grid::kNotifyEditBegun, cell->GetRow(), cell}));
  CString shown;
  cell->GetWindowText(shown);
  EXPECT_EQ(shown, CString(u"old"));

  cell->SetSel(0, -1);
  Type(cell, "new");
  KeyTo(cell, Qt::Key_Return);
  EXPECT_FALSE(cell->IsWindowVisible());
  EXPECT_EQ(TextOf(cell), CString(u"new"));
  EXPECT_TRUE(cell->IsModified());
  EXPECT_EQ(CWnd::GetFocus(), f.grid->GetPane());
  f.grid->GetPane()->SetFocus();
  Pump(10);
  EXPECT_EQ(Count(Grid::kNotifyEditEnded), 1) << "Enter, then the focus leaving: one end";

  // Losing the focus alone ends an edit too; an unchanged text is no modification.
  cell->SetModified(FALSE);
  ClickValue(0);
  ASSERT_TRUE(cell->IsEditing());
  f.parent.SetFocus();
  Pump(10);
  EXPECT_FALSE(cell->IsEditing());
  EXPECT_FALSE(cell->IsModified());
  EXPECT_EQ(Count(Grid::kNotifyEditEnded), 2);
}

TEST_F(Editors, ReadOnlyCellsNeverOpenAndPasswordsPaintAsAsterisks) {
  auto* locked = AddRow(u"Locked", new CDPXPropertyGridEditItem);
  locked->SetText(u"secret");
  locked->Create(CDPXPropertyGridEditItem::kReadOnlyText);
  auto* password = AddRow(u"Password", new CDPXPropertyGridEditItem);
  password->SetText(u"abc");
  password->Create(CDPXPropertyGridEditItem::kPassword);
  auto* stars = AddRow(u"Stars", new CDPXPropertyGridEditItem);
  stars->SetText(u"***");
  stars->Create();
  f.parent.Clear();
  ClickValue(0);
  EXPECT_FALSE(locked->IsWindowVisible());
  EXPECT_FALSE(locked->IsEditing());
  EXPECT_EQ(Count(Grid::kNotifyEditBegun), 0);

  f.grid->SetCurrentRow(nullptr);
  const QImage image = Shot();
  // The password row (y 36..53) shows exactly what the row of three asterisks (y 54..71) shows.
  for (int x = 118; x < 300; ++x) {
    for (int y = 1; y < 16; ++y) ASSERT_EQ(image.pixel(x, 36 + y), image.pixel(x, 54 + y)) << x << "," << y;
  }
  EXPECT_EQ(TextOf(password), CString(u"abc"));
}

TEST_F(Editors, AMultiLineCellTakesCtrlEnterAsANewLine) {
  auto* cell = AddRow(u"Notes", new CDPXPropertyGridEditItem);
  ASSERT_TRUE(cell->Create(CDPXPropertyGridEditItem::kMultiLine));
  EXPECT_EQ(cell->GetRow()->GetHeight(), 75);
  ClickValue(0);
  ASSERT_TRUE(cell->IsEditing());
  Type(cell, "one");
  KeyTo(cell, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_TRUE(cell->IsEditing()) << "Ctrl+Enter belongs to the text";
  Type(cell, "two");
  KeyTo(cell, Qt::Key_Return);
  EXPECT_FALSE(cell->IsEditing());
  CString text = TextOf(cell);
  text.Remove(u'\r');
  EXPECT_EQ(text, CString(u"one\ntwo"));
}

class ListCells : public Editors {
protected:
  CDPXPropertyGridComboItem* Make(DWORD kind) {
    auto* cell = AddRow(u"Kind", new CDPXPropertyGridComboItem);
    EXPECT_TRUE(cell->Create(kind));
    for (LPCWSTR entry : {u"Invoice", u"Letter", u"Order"}) cell->AddString(entry);
    return cell;
  }
  QComboBox* Box(CDPXPropertyGridComboItem* cell) { return qobject_cast<QComboBox*>(ClientOf(cell->GetSafeHwnd())); }
  const CDPXPropertyGridComboValue& Value(CDPXPropertyGridComboItem* cell) {
    return *static_cast<const CDPXPropertyGridComboValue*>(cell->GetValue());
  }
};

TEST_F(ListCells, ChoosingAnEntryCommitsItAndEscapeKeepsTheOldValue) {
  CDPXPropertyGridComboItem* cell = Make(CBS_DROPDOWNLIST);
  const CDPXPropertyGridComboValue letter {1, CString(), 0};
  cell->SetValue(&letter);
  EXPECT_EQ(TextOf(cell), CString(u"Letter"));
  f.parent.Clear();

  ClickValue(0);
  ASSERT_TRUE(cell->IsWindowVisible());
  EXPECT_TRUE(cell->GetDroppedState()) << "the list drops down";
  EXPECT_EQ(cell->GetCurSel(), 1);
  EXPECT_EQ(Count(Grid::kNotifyEditBegun), 1);
  // The user picks "Order".
  QComboBox* box = Box(cell);
  ASSERT_NE(box, nullptr);
  box->setCurrentIndex(2);
  emit box->activated(2);
  Pump(10);
  EXPECT_FALSE(cell->IsWindowVisible());
  EXPECT_EQ(TextOf(cell), CString(u"Order"));
  EXPECT_EQ(Value(cell).index, 2);
  EXPECT_EQ(Count(Grid::kNotifyEditEnded), 1);

  // Esc: the list goes back to the value it had.
  ClickValue(0);
  ASSERT_TRUE(cell->IsEditing());
  cell->ShowDropDown(FALSE);
  cell->SetCurSel(0);
  cell->SendMessage(WM_KEYUP, VK_ESCAPE, 0);
  Pump(10);
  EXPECT_FALSE(cell->IsEditing());
  EXPECT_EQ(TextOf(cell), CString(u"Order"));
  EXPECT_EQ(cell->GetCurSel(), 2);
  EXPECT_EQ(Count(Grid::kNotifyEditEnded), 2);

  // Ctrl with an arrow leaves the cell.
  ClickValue(0);
  ASSERT_TRUE(cell->IsEditing());
  cell->ShowDropDown(FALSE);
  KeyTo(cell, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_FALSE(cell->IsEditing());
  EXPECT_EQ(CWnd::GetFocus(), f.grid->GetPane());
}

TEST_F(ListCells, FreeTextStaysInAnEditableComboAndEmptiesADropDownList) {
  struct Case {
    const char* what;
    DWORD kind;
    const char16_t* text;
    int index;
    const char16_t* stored;
    int freeText;
  } cases[] = {
    {"an entry, editable", CBS_DROPDOWN, u"Letter", 1, u"Letter", 0},
    {"free text, editable", CBS_DROPDOWN, u"Memo", -1, u"Memo", 1},
    {"an entry, list", CBS_DROPDOWNLIST, u"Order", 2, u"Order", 0},
    {"free text, list", CBS_DROPDOWNLIST, u"Memo", -1, u"", 0},
  };
  for (const Case& c : cases) {
    f.grid->DeleteRow(group);
    group = f.grid->InsertRow(new CDPXPropertyGridRow);
    CDPXPropertyGridComboItem* cell = Make(c.kind);
    const CDPXPropertyGridComboValue before {0, CString(), 0};
    cell->SetValue(&before);
    const CDPXPropertyGridComboValue value {-1, CString(c.text), 1};
    cell->SetValue(&value);
    EXPECT_EQ(Value(cell).index, c.index) << c.what;
    EXPECT_EQ(Value(cell).text, CString(c.stored)) << c.what;
    EXPECT_EQ(Value(cell).freeText, c.freeText) << c.what;
    EXPECT_EQ(cell->GetCurSel(), c.index) << c.what << ": the list shows the stored value, none for no entry";
  }

  // Typed into an editable combo, ended with Enter.
  f.grid->DeleteRow(group);
  group = f.grid->InsertRow(new CDPXPropertyGridRow);
  CDPXPropertyGridComboItem* cell = Make(CBS_DROPDOWN);
  f.parent.Clear();
  ClickValue(0);
  ASSERT_TRUE(cell->IsEditing());
  cell->ShowDropDown(FALSE);
  CWnd* field = CWnd::GetFocus();
  ASSERT_NE(field, nullptr);
  Type(field, "Receipt");
  KeyTo(field, Qt::Key_Return);
  EXPECT_FALSE(cell->IsEditing());
  EXPECT_EQ(TextOf(cell), CString(u"Receipt"));
  EXPECT_EQ(Value(cell).freeText, 1);
  EXPECT_EQ(Count(Grid::kNotifyEditEnded), 1);
}

TEST_F(Editors, TheButtonAsksTheOwnerForTheText) {
  auto* cell = AddRow(u"Folder", new CDPXPropertyGridButtonItem);
  ASSERT_TRUE(cell->Create());
  cell->SetText(u"typed");
  g_buttonText = u"chosen";
  g_buttonCalls = 0;
  cell->SetCallback(FromButton, 7);
  f.parent.Clear();
  ClickValue(0);
  ASSERT_TRUE(cell->IsEditing());
  EXPECT_EQ(Count(Grid::kNotifyEditBegun), 1);
  cell->OnClickButton();
  Pump(10);
  EXPECT_EQ(g_buttonCalls, 1);
  EXPECT_EQ(TextOf(cell), CString(u"chosen7"));
  EXPECT_FALSE(cell->IsEditing());
  EXPECT_FALSE(cell->IsWindowVisible());
  EXPECT_EQ(Count(Grid::kNotifyEditEnded), 1);

  // Typing and Enter, as in a text cell.
  ClickValue(0);
  cell->SetSel(0, -1);
  Type(cell, "by hand");
  KeyTo(cell, Qt::Key_Return);
  EXPECT_EQ(TextOf(cell), CString(u"by hand"));
  EXPECT_EQ(Count(Grid::kNotifyEditEnded), 2);
}

TEST_F(Editors, AnEditorFollowsItsCellWhenTheRowsScroll) {
  for (int i = 0; i < 30; ++i) AddRow(u"Filler", new CDPXPropertyGridEditItem)->Create();
  auto* cell = static_cast<CDPXPropertyGridEditItem*>(f.grid->GetDisplayedRows()[2]->GetItem(1));
  ClickValue(1);
  ASSERT_TRUE(cell->IsEditing());
  // Scrolled by the program (the scroll bar and the wheel take the focus, which ends the edit).
  f.grid->GetPane()->ScrollTo(18);
  Pump(10);
  ASSERT_TRUE(cell->IsEditing());
  CRect at;
  cell->GetWindowRect(&at);
  f.grid->GetPane()->ScreenToClient(&at);
  EXPECT_EQ(at.top, 36 - 18);
}

BOOL MakeEditCell(CDPXPropertyGridRow* row) {
  auto* cell = new CDPXPropertyGridEditItem;
  if (!row->AddItem(cell)) {
    delete cell;
    return FALSE;
  }
  return cell->Create();
}

TEST(EditorsInAList, TypingIntoThePlaceholderAddsARowAndDeletingAFocusedEditorStoresNothing) {
  GridFixture f;
  ASSERT_TRUE(f.Make(CDPXPropertyGrid::kEditableList, 2, MakeEditCell));
  CDPXPropertyGridRow* group = f.grid->InsertRow(new CDPXPropertyGridRow);
  f.grid->ExpandAll();
  CWnd* pane = f.grid->GetPane();
  auto typeInto = [&](int y, const char* text) {
    pane->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, y));
    pane->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(60, y));
    Pump(10);
    CWnd* editor = CWnd::GetFocus();
    QTest::keyClicks(ClientOf(editor->GetSafeHwnd()), QString::fromUtf8(text));
    Pump(5);
    return editor;
  };
  CWnd* editor = typeInto(27, "first");
  QTest::keyClick(ClientOf(editor->GetSafeHwnd()), Qt::Key_Return);
  Pump(10);
  EXPECT_EQ(Shown(*f.grid), "G: D:first P");

  // The new placeholder's editor has the focus and a typed text when its group goes.
  editor = typeInto(45, "second");
  ASSERT_TRUE(editor && editor->IsWindowVisible());
  f.parent.Clear();
  f.grid->DeleteRow(group);
  Pump(10);
  EXPECT_EQ(Shown(*f.grid), "");
  EXPECT_TRUE(f.parent.heard.empty()) << "no edit ended, no row inserted";
}

}  // namespace
