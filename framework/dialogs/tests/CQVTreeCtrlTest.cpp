// The framework's tree control: placing, moving, merging and splitting items with their subtrees,
// quiet and notifying selection, the right-click menu hooks, and dragging an item onto another
// through the mouse (refused targets, drags from elsewhere, auto-scroll, modifier keys).

#include "framework/dialogs/CQVTreeCtrl.h"

#include "platform/ui/afx/CMenu.h"
#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/ole/DragDrop.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

void* Word(int n) { return reinterpret_cast<void*>(static_cast<intptr_t>(n)); }

// A tree that notes what its hooks hear.
class NotingTree : public CQVTreeCtrl {
public:
  void OnMoveItem(HTREEITEM newItem, HTREEITEM oldItem) override {
    EXPECT_EQ(GetItemText(newItem), GetItemText(oldItem)) << "the old item is still there";
    EXPECT_FALSE(GetChildItem(oldItem)) << "everything below has moved already";
    moved.push_back(GetItemText(newItem).ToUtf8());
  }
  BOOL OnSelectChanged(HTREEITEM item) override {
    selected.push_back(item);
    return TRUE;
  }
  void ExpandItem(HTREEITEM item) override {
    HTREEITEM first = GetFirstVisibleItem();
    int index = 0;
    for (HTREEITEM at = GetRootItem(); at && at != first; at = GetNextSiblingItem(at)) ++index;
    firstVisibleAtOver.push_back(index);
    CQVTreeCtrl::ExpandItem(item);
  }
  HMENU CreatePopupMenu(UINT menuId) override {
    menuAsked.push_back(menuId);
    if (!offerMenu) return nullptr;
    CMenu bar, popup;
    bar.CreateMenu();
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING, 501, u"Open");
    popup.AppendMenu(MF_STRING, 502, u"Close");
    bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Detach()), u"Item");
    lastMenu = bar.Detach();
    return lastMenu;
  }
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    commands.push_back(LOWORD(wParam));
    return CQVTreeCtrl::OnCommand(wParam, lParam);
  }
  void GetPopupMenuID(HTREEITEM item, UINT& menuId) override {
    menuFor.push_back(item);
    EXPECT_NE(GetSelectedItem(), item) << "the menu comes before the selection moves";
    menuId = 4711;
  }

  std::vector<std::string> moved;
  std::vector<HTREEITEM> selected;
  std::vector<int> firstVisibleAtOver;
  std::vector<UINT> menuAsked;
  std::vector<HTREEITEM> menuFor;
  bool offerMenu {};
  HMENU lastMenu {};
  std::vector<UINT> commands;
};

class TreeCtrl : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateEx(0, u"AfxWnd", u"tree", WS_POPUP | WS_VISIBLE, CRect(50, 40, 450, 340), nullptr, 0));
    ASSERT_TRUE(tree.Create(CRect(0, 0, 200, 300), &parent, 7));
    Pump(20);
    CancelDragWhenDue(watchdog, 8000);
  }
  void TearDown() override {
    EXPECT_EQ(GetCapture(), nullptr);
    parent.DestroyWindow();
  }

  // The tree below the item (the top level for null) as "a(b c) d".
  std::string Dump(HTREEITEM under = nullptr) const {
    std::string out;
    for (HTREEITEM at = under ? tree.GetChildItem(under) : tree.GetRootItem(); at; at = tree.GetNextSiblingItem(at)) {
      if (!out.empty()) out += ' ';
      out += tree.GetItemText(at).ToUtf8();
      if (tree.GetChildItem(at)) out += "(" + Dump(at) + ")";
    }
    return out;
  }
  HTREEITEM Add(const char* text, HTREEITEM under = nullptr, int data = 0) {
    return tree.Insert(CString::FromUtf8(text), Word(data), under, 0, nullptr);
  }
  HTREEITEM Find(const char* text, HTREEITEM under = nullptr) const {
    for (HTREEITEM at = under ? tree.GetChildItem(under) : tree.GetRootItem(); at; at = tree.GetNextSiblingItem(at)) {
      if (tree.GetItemText(at).ToUtf8() == text) return at;
      if (HTREEITEM found = Find(text, at)) return found;
    }
    return nullptr;
  }

  POINT OnItem(HTREEITEM item) const {
    CRect text;
    EXPECT_TRUE(tree.GetItemRect(item, &text, TRUE));
    CPoint p(text.left + 4, text.CenterPoint().y);
    tree.ClientToScreen(&p);
    return p;
  }
  POINT InTree(int x, int y) const {
    CPoint p(x, y);
    tree.ClientToScreen(&p);
    return p;
  }
  void SendMouse(QEvent::Type type, POINT screen, Qt::MouseButton button, Qt::MouseButtons buttons,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
    SendViewMouse(tree.GetSafeHwnd(), type, screen, button, buttons, modifiers);
  }
  void Click(POINT at, Qt::MouseButton button) {
    SetCursorPos(at.x, at.y);
    SendMouse(QEvent::MouseButtonPress, at, button, button);
    SendMouse(QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    Pump(20);
  }
  // Steps that run inside the drag's loop, one after the other.
  void Then(std::function<void()> step) { QTimer::singleShot(++queued * 40, steps.get(), std::move(step)); }
  void MoveTo(POINT at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Then([this, at, modifiers] { SendMouse(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton, modifiers); });
  }
  void ReleaseAt(POINT at) {
    Then([this, at] { SendMouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); });
  }
  // Moves onto the item and releases there.
  void DropOn(HTREEITEM item) {
    POINT to = OnItem(item);
    MoveTo(to);
    MoveTo(POINT {to.x + 2, to.y});
    ReleaseAt(POINT {to.x + 2, to.y});
  }
  void Cancel() {
    Then([] { PostMessageW(GetCapture(), WM_KEYDOWN, VK_ESCAPE, 0); });
  }
  // Presses on the item and moves beyond the drag threshold: the tree runs its drag, with the
  // steps given before.
  void DragItem(HTREEITEM item) {
    POINT from = OnItem(item);
    SetCursorPos(from.x, from.y);
    Pump(10);
    SendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseMove, POINT {from.x + 6, from.y + 6}, Qt::NoButton, Qt::LeftButton);
    steps = std::make_unique<QObject>();
    queued = 0;
  }

  QTimer watchdog;
  std::unique_ptr<QObject> steps {std::make_unique<QObject>()};
  int queued {};
  CWnd parent;
  NotingTree tree;
};

TEST_F(TreeCtrl, InsertPlacesBeforeOrAfterTheSiblingAndAtTheEndsWithoutOne) {
  struct Case {
    const char* text;
    int mode;
    const char* sibling;
    const char* after;
  };
  const Case cases[] = {
      {"c", 0, nullptr, "c"},           {"a", 1, nullptr, "a c"},       {"e", 0, nullptr, "a c e"},
      {"b", 1, "c", "a b c e"},         {"d", 0, "c", "a b c d e"},     {"0", 1, "a", "0 a b c d e"},
      {"f", 0, "e", "0 a b c d e f"},   {"x", 7, "0", "0 x a b c d e f"},
  };
  for (const Case& c : cases) {
    HTREEITEM sibling = c.sibling ? Find(c.sibling) : nullptr;
    HTREEITEM item = tree.Insert(CString::FromUtf8(c.text), Word(9), nullptr, c.mode, sibling);
    ASSERT_NE(item, nullptr) << c.text;
    EXPECT_EQ(Dump(), c.after) << c.text;
  }
  HTREEITEM a = Find("a");
  HTREEITEM child = tree.Insert(u"a1", Word(5), a, 1, nullptr);
  EXPECT_EQ(Dump(a), "a1");
  void* data = nullptr;
  EXPECT_TRUE(tree.GetData(child, data));
  EXPECT_EQ(data, Word(5));
  int image = -1, selectedImage = -1;
  EXPECT_TRUE(tree.GetItemImage(child, image, selectedImage));
  EXPECT_EQ(image, 0);
  EXPECT_EQ(selectedImage, 0);

  EXPECT_EQ(tree.Insert(nullptr, nullptr, nullptr, 0, nullptr), nullptr);
  EXPECT_FALSE(tree.Update(u"z", nullptr));
  EXPECT_FALSE(tree.SetData(nullptr, Word(1)));
  EXPECT_FALSE(tree.GetData(nullptr, data));
  EXPECT_TRUE(tree.Update(u"A", a));
  EXPECT_EQ(tree.GetItemText(a), CString(u"A"));
}

TEST_F(TreeCtrl, MoveRebuildsTheSubtreeAndReportsEveryItemBottomUp) {
  HTREEITEM r = Add("r");
  HTREEITEM a = Add("a", r, 1);
  HTREEITEM a1 = Add("a1", a, 2);
  Add("a11", a1, 3);
  Add("a2", a, 4);
  HTREEITEM b = Add("b", r, 5);
  ASSERT_TRUE(tree.SetItemImage(a, 3, 4));

  HTREEITEM moved = tree.Move(a, b, 0, nullptr);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(Dump(), "r(b(a(a1(a11) a2)))");
  EXPECT_EQ(tree.moved, (std::vector<std::string> {"a11", "a1", "a2", "a"}));
  void* data = nullptr;
  EXPECT_TRUE(tree.GetData(moved, data));
  EXPECT_EQ(data, Word(1));
  int image = 0, selectedImage = 0;
  tree.GetItemImage(moved, image, selectedImage);
  EXPECT_EQ(std::make_pair(image, selectedImage), std::make_pair(3, 4));
  EXPECT_EQ(tree.FindNode(r, Word(3)), Find("a11"));

  // Back to the top level, before r.
  tree.moved.clear();
  ASSERT_NE(tree.Move(moved, nullptr, 1, r), nullptr);
  EXPECT_EQ(Dump(), "a(a1(a11) a2) r(b)");
  EXPECT_EQ(tree.moved.back(), "a");
  EXPECT_TRUE(tree.selected.empty());
}

TEST_F(TreeCtrl, AnItemNeverMovesIntoItsOwnSubtree) {
  HTREEITEM a = Add("a");
  HTREEITEM a1 = Add("a1", a);
  HTREEITEM a11 = Add("a11", a1);
  HTREEITEM b = Add("b");
  const std::string before = Dump();
  struct Case {
    const char* what;
    std::function<bool()> refused;
  };
  const Case cases[] = {
      {"move of no item", [&] { return !tree.Move(nullptr, b, 0, nullptr); }},
      {"move next to itself", [&] { return !tree.Move(a, nullptr, 0, a); }},
      {"move under itself", [&] { return !tree.Move(a, a, 0, nullptr); }},
      {"move under a grandchild", [&] { return !tree.Move(a, a11, 0, nullptr); }},
      {"children into a child", [&] { return !tree.MoveWithChild(a, a1); }},
      {"children with no target", [&] { return !tree.MoveWithChild(a, nullptr); }},
      {"merge into a child", [&] { return !tree.MergeItems(a, a11); }},
      {"merge into itself", [&] { return !tree.MergeItems(b, b); }},
      {"drop onto itself", [&] { return !tree.CanDrop(a, a) && !tree.Drop(a, a); }},
      {"drop onto a grandchild", [&] { return !tree.CanDrop(a, a11) && !tree.Drop(a, a11); }},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(c.refused()) << c.what;
    EXPECT_EQ(Dump(), before) << c.what;
  }
  EXPECT_TRUE(tree.moved.empty());
  EXPECT_TRUE(tree.CanDrop(a1, b));
  EXPECT_TRUE(tree.CanDrop(a11, a)) << "onto an ancestor is a move like any other";
}

TEST_F(TreeCtrl, MergeMovesTheChildrenWithTheirSubtreesAndSelectsTheTarget) {
  HTREEITEM s = Add("s");
  HTREEITEM x = Add("x", s, 1);
  Add("x1", x, 2);
  Add("y", s, 3);
  HTREEITEM t = Add("t");
  Add("z", t);
  Add("e");
  ASSERT_TRUE(tree.MergeItems(s, t));
  EXPECT_EQ(Dump(), "t(z x(x1) y) e");
  EXPECT_EQ(tree.GetSelectedItem(), t);
  EXPECT_TRUE(tree.selected.empty());
  EXPECT_EQ(tree.FindNode(t, Word(2)), Find("x1"));

  // A source without children merges to nothing and goes.
  ASSERT_TRUE(tree.MergeItems(Find("e"), t));
  EXPECT_EQ(Dump(), "t(z x(x1) y)");
  EXPECT_FALSE(tree.MergeItems(nullptr, t));
  EXPECT_FALSE(tree.MergeItems(t, nullptr));
}

TEST_F(TreeCtrl, SplitPutsTheItemAndItsFollowersUnderANewItemAfterTheirParent) {
  HTREEITEM g = Add("g");
  HTREEITEM p = Add("p", g);
  Add("a", p);
  Add("b", p);
  HTREEITEM c = Add("c", p, 3);
  Add("c1", c);
  Add("d", p);
  Add("q", g);
  ASSERT_TRUE(tree.SetItemImage(p, 6, 7));

  ASSERT_TRUE(tree.SplitItems(c, u"n", Word(8)));
  EXPECT_EQ(Dump(), "g(p(a b) n(c(c1) d) q)");
  HTREEITEM n = Find("n");
  int image = 0, selectedImage = 0;
  tree.GetItemImage(n, image, selectedImage);
  EXPECT_EQ(std::make_pair(image, selectedImage), std::make_pair(6, 7));
  EXPECT_EQ(tree.FindNode(g, Word(8)), n);
  EXPECT_EQ(tree.GetSelectedItem(), tree.GetChildItem(n));
  EXPECT_TRUE(tree.selected.empty());

  const std::string before = Dump();
  EXPECT_FALSE(tree.SplitItems(p, u"m", nullptr)) << "the parent is at the top level";
  EXPECT_FALSE(tree.SplitItems(g, u"m", nullptr)) << "no parent";
  EXPECT_FALSE(tree.SplitItems(nullptr, u"m", nullptr));
  EXPECT_EQ(Dump(), before);
}

TEST_F(TreeCtrl, FindNodeSearchesTheSubtreePreOrder) {
  HTREEITEM r = Add("r", nullptr, 1);
  HTREEITEM a = Add("a", r, 2);
  HTREEITEM a1 = Add("a1", a, 3);
  HTREEITEM b = Add("b", r, 3);
  Add("b1", b, 4);
  EXPECT_EQ(tree.FindNode(r, Word(1)), r) << "the start itself first";
  EXPECT_EQ(tree.FindNode(r, Word(3)), a1) << "a child's subtree before the next child";
  EXPECT_EQ(tree.FindNode(b, Word(3)), b);
  EXPECT_EQ(tree.FindNode(a, Word(4)), nullptr) << "only below the start";
  EXPECT_EQ(tree.FindNode(nullptr, Word(1)), nullptr);
  EXPECT_TRUE(tree.AtSameLevel(a, b));
  EXPECT_FALSE(tree.AtSameLevel(a, a1));
  EXPECT_TRUE(tree.CompareData(a1, b));
  EXPECT_FALSE(tree.CompareData(a, b));
}

TEST_F(TreeCtrl, RemoveSelectsTheNextSiblingElseThePreviousElseTheParent) {
  struct Case {
    const char* remove;
    const char* selects;
    const char* after;
  };
  const Case cases[] = {
      {"b", "c", "r(a c)"},
      {"c", "a", "r(a)"},
      {"a", "r", "r"},
  };
  Add("r");
  Add("a", Find("r"));
  Add("b", Find("r"));
  Add("c", Find("r"));
  for (const Case& c : cases) {
    HTREEITEM item = Find(c.remove);
    tree.SelectItem(item);
    EXPECT_TRUE(tree.Remove(nullptr, item)) << c.remove;
    EXPECT_EQ(tree.GetSelectedItem(), Find(c.selects)) << c.remove;
    EXPECT_EQ(Dump(), c.after) << c.remove;
  }
  EXPECT_FALSE(tree.Remove(nullptr, nullptr));
  EXPECT_TRUE(tree.selected.empty()) << "removing is not the user's choice";
}

TEST_F(TreeCtrl, OnlyTheUsersChoiceOfItemReachesOnSelectChanged) {
  HTREEITEM a = Add("a");
  HTREEITEM b = Add("b");
  EXPECT_TRUE(tree.SelectItem(a));
  EXPECT_EQ(tree.GetSelectedItem(), a);
  EXPECT_TRUE(tree.selected.empty());

  Click(OnItem(b), Qt::LeftButton);
  EXPECT_EQ(tree.GetSelectedItem(), b);
  EXPECT_EQ(tree.selected, std::vector<HTREEITEM> {b});
  Click(OnItem(b), Qt::LeftButton);
  EXPECT_EQ(tree.selected.size(), 1u) << "the same item again is no change";
}

TEST_F(TreeCtrl, ARightClickOnAnItemAsksForItsMenuThenSelectsIt) {
  HTREEITEM a = Add("a");
  HTREEITEM b = Add("b");
  tree.SelectItem(a);
  Click(InTree(100, 280), Qt::RightButton);
  EXPECT_TRUE(tree.menuFor.empty()) << "a click on no item shows no menu";

  Click(OnItem(b), Qt::RightButton);
  EXPECT_EQ(tree.menuFor, std::vector<HTREEITEM> {b});
  EXPECT_EQ(tree.menuAsked, std::vector<UINT> {4711});
  EXPECT_EQ(tree.GetSelectedItem(), b);
  EXPECT_TRUE(tree.selected.empty()) << "the item is selected as the program selects, without OnSelectChanged";
}

TEST_F(TreeCtrl, TheChosenCommandOfThePopUpMenuGoesToTheTree) {
  tree.SelectItem(Add("a"));
  HTREEITEM b = Add("b");
  tree.offerMenu = true;
  QTimer::singleShot(30, [] {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr) << "the menu's first sub-menu is shown";
    for (QAction* action : popup->actions())
      if (action->data().toUInt() == 502) popup->setActiveAction(action);
    QTest::keyClick(popup, Qt::Key_Return);
  });
  Click(OnItem(b), Qt::RightButton);
  EXPECT_TRUE(PumpUntil([&] { return !tree.commands.empty(); }));
  EXPECT_EQ(tree.commands, std::vector<UINT> {502});
  EXPECT_FALSE(IsMenu(tree.lastMenu)) << "the menu is destroyed afterwards";
}

TEST_F(TreeCtrl, DraggingAnItemOntoAnotherMovesItsSubtreeThere) {
  HTREEITEM a = Add("a", nullptr, 1);
  Add("a1", a, 2);
  Add("b");
  HTREEITEM c = Add("c");
  tree.Expand(a, TVE_EXPAND);
  Pump(20);
  DropOn(c);
  DragItem(a);
  EXPECT_EQ(Dump(), "b c(a(a1))");
  EXPECT_EQ(tree.moved, (std::vector<std::string> {"a1", "a"}));
  EXPECT_EQ(tree.GetDropHilightItem(), nullptr);
}

TEST_F(TreeCtrl, DropsOntoTheDraggedItemOrItsSubtreeAreRefused) {
  HTREEITEM a = Add("a");
  HTREEITEM a1 = Add("a1", a);
  HTREEITEM a11 = Add("a11", a1);
  Add("b");
  tree.Expand(a, TVE_EXPAND);
  tree.Expand(a1, TVE_EXPAND);
  Pump(20);
  const std::string before = Dump();
  for (HTREEITEM target : {a, a1, a11}) {
    DropOn(target);
    DragItem(a);
    EXPECT_EQ(Dump(), before) << tree.GetItemText(target).ToUtf8();
    EXPECT_TRUE(tree.moved.empty());
  }
}

TEST_F(TreeCtrl, ADragTheTreeDidNotStartFindsNothingToDropOn) {
  HTREEITEM a = Add("a");
  HTREEITEM b = Add("b");
  tree.SelectItem(a);
  DropOn(b);
  POINT from = InTree(150, 280);
  SetCursorPos(from.x, from.y);
  Pump(10);
  COleDataSource source;
  EXPECT_EQ(source.DoDragDrop(), DROPEFFECT_NONE);
  steps = std::make_unique<QObject>();
  queued = 0;
  EXPECT_EQ(Dump(), "a b");
  EXPECT_EQ(tree.GetDropHilightItem(), nullptr);
}

TEST_F(TreeCtrl, ADragRestingNearTheBottomScrollsOneLinePerStep) {
  for (int i = 0; i < 60; ++i) Add(("item " + std::to_string(i)).c_str());
  Pump(20);
  CRect client;
  tree.GetClientRect(&client);
  POINT edge = InTree(30, client.bottom - 8);
  MoveTo(edge);
  MoveTo(POINT {edge.x + 1, edge.y});
  Then([] {});
  Then([] {});
  Then([] {});
  Then([] {});
  Cancel();
  DragItem(tree.GetRootItem());
  const std::vector<int>& seen = tree.firstVisibleAtOver;
  ASSERT_GE(seen.size(), 4u);
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_EQ(seen[i] - seen[i - 1], 1) << "step " << i;
  EXPECT_EQ(Dump().substr(0, 6), "item 0") << "scrolling moves nothing";
}

TEST_F(TreeCtrl, ShiftExpandsAndCtrlCollapsesTheItemUnderTheDrag) {
  Add("a");
  HTREEITEM b = Add("b");
  Add("b1", b);
  Pump(20);
  auto expanded = [&] { return (tree.GetItemState(b, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; };
  struct Step {
    Qt::KeyboardModifiers modifiers;
    bool expanded;
  };
  const Step steps_[] = {
      {Qt::NoModifier, false}, {Qt::ShiftModifier, true}, {Qt::NoModifier, true}, {Qt::ControlModifier, false}};
  std::vector<bool> seen;
  POINT over = OnItem(b);
  int dx = 0;
  for (const Step& s : steps_) {
    MoveTo(POINT {over.x + ++dx, over.y}, s.modifiers);
    Then([&] { seen.push_back(expanded()); });
  }
  Cancel();
  DragItem(Find("a"));
  std::vector<bool> wanted;
  for (const Step& s : steps_) wanted.push_back(s.expanded);
  EXPECT_EQ(seen, wanted);
}

}  // namespace
