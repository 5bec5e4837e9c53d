// Drag and drop inside the program: a tree drags an item onto another through its own drop
// target, drags end with the target's answer limited to what the source allows, cancel, follow
// the modifier keys, keep asking a target the mouse rests on, and survive targets and windows that
// go away under them.

#include "platform/ui/afx/CTreeCtrl.h"
#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/ole/DragDrop.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

// What a target heard.
struct Heard {
  int enters {};
  int overs {};
  int leaves {};
  int drops {};
  DWORD lastKeys {};
  CPoint lastPoint;
  DROPEFFECT dropEffect {};
  bool attached {true};  // every call showed the target a data object standing for the source
};

// A target that always answers the same.
class FixedTarget : public COleDropTarget {
public:
  explicit FixedTarget(DROPEFFECT answer = DROPEFFECT_MOVE) : answer(answer) {}

  DROPEFFECT OnDragEnter(CWnd*, COleDataObject* data, DWORD keys, CPoint point) override {
    ++heard.enters;
    Note(data, keys, point);
    return answer;
  }
  DROPEFFECT OnDragOver(CWnd*, COleDataObject* data, DWORD keys, CPoint point) override {
    ++heard.overs;
    Note(data, keys, point);
    DROPEFFECT result = answer;
    if (auto hook = onOver) hook();  // a copy: the hook may delete this target
    return result;
  }
  void OnDragLeave(CWnd*) override { ++heard.leaves; }
  BOOL OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, CPoint point) override {
    ++heard.drops;
    heard.dropEffect = effect;
    Note(data, 0, point);
    return TRUE;
  }

  DROPEFFECT answer;
  Heard heard;
  std::function<void()> onOver;

private:
  void Note(COleDataObject* data, DWORD keys, CPoint point) {
    heard.lastKeys = keys;
    heard.lastPoint = point;
    heard.attached = heard.attached && data && data->IsAttached() && !data->IsDataAvailable(CF_DIB);
  }
};

// The tree's target as the framework's tree control has it: the dragged item is the selection,
// the item under the cursor becomes the drop highlight, a move is offered onto any other item.
class TreeTarget : public COleDropTarget {
public:
  explicit TreeTarget(CTreeCtrl& tree) : tree(tree) {}

  DROPEFFECT OnDragEnter(CWnd*, COleDataObject*, DWORD keys, CPoint point) override {
    ++heard.enters;
    return Answer(keys, point);
  }
  DROPEFFECT OnDragOver(CWnd*, COleDataObject*, DWORD keys, CPoint point) override {
    ++heard.overs;
    CRect client;
    tree.GetClientRect(&client);
    if (point.y >= client.bottom - 20) {
      ++scrollSteps;
      tree.SendMessage(WM_VSCROLL, SB_LINEDOWN);
    }
    return Answer(keys, point);
  }
  void OnDragLeave(CWnd*) override {
    ++heard.leaves;
    tree.SelectDropTarget(nullptr);
  }
  BOOL OnDrop(CWnd*, COleDataObject*, DROPEFFECT effect, CPoint) override {
    ++heard.drops;
    heard.dropEffect = effect;
    dropped.emplace_back(tree.GetSelectedItem(), tree.GetDropHilightItem());
    tree.SelectDropTarget(nullptr);
    return TRUE;
  }

  CTreeCtrl& tree;
  Heard heard;
  int scrollSteps {};
  std::vector<std::pair<HTREEITEM, HTREEITEM>> dropped;

private:
  DROPEFFECT Answer(DWORD keys, CPoint point) {
    heard.lastKeys = keys;
    heard.lastPoint = point;
    UINT flags = 0;
    HTREEITEM hit = tree.HitTest(point, &flags);
    if (hit && (flags & TVHT_ONITEM)) tree.SelectDropTarget(hit);
    HTREEITEM dragged = tree.GetSelectedItem();
    HTREEITEM over = tree.GetDropHilightItem();
    return dragged && over && dragged != over ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
  }
};

// The tree's parent: what the tree reports when a drag begins, and what it does then.
class TreeParent : public CWnd {
public:
  std::vector<NMTREEVIEWW> beginDrags;
  std::vector<UINT> selectionCauses;  // of every reported selection change
  std::function<void(HTREEITEM)> onBeginDrag;

protected:
  BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* result) override {
    auto* nm = reinterpret_cast<NMTREEVIEWW*>(lParam);
    if (nm->hdr.code == TVN_BEGINDRAGW) {
      beginDrags.push_back(*nm);
      if (onBeginDrag) onBeginDrag(nm->itemNew.hItem);
    }
    if (nm->hdr.code == TVN_SELCHANGEDW) selectionCauses.push_back(nm->action);
    if (result) *result = 0;
    return TRUE;
  }
};

class DragDrop : public ::testing::Test {
protected:
  void SetUp() override {
    driver.setSingleShot(true);
    QObject::connect(&driver, &QTimer::timeout, [this] { RunNextStep(); });
    ASSERT_TRUE(parent.CreateEx(0, u"AfxWnd", u"drag", WS_POPUP | WS_VISIBLE, CRect(50, 40, 450, 340), nullptr, 0));
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, CRect(0, 0, 200, 300), &parent, 7));
    ASSERT_TRUE(other.CreateEx(0, u"AfxWnd", u"", WS_CHILD | WS_VISIBLE, CRect(220, 0, 370, 150), &parent, 8));
    for (int i = 0; i < 60; ++i) items.push_back(tree.InsertItem(CString::FromUtf8("item " + std::to_string(i))));
    ASSERT_TRUE(treeTarget.Register(&tree));
    Pump(20);
    CancelDragWhenDue(watchdog, 5000);
  }
  void TearDown() override {
    EXPECT_EQ(GetCapture(), nullptr) << "the drag let the mouse go";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the drag's cursor is gone";
    parent.DestroyWindow();
  }

  POINT ScreenOf(const CWnd& wnd, int x, int y) const {
    CPoint p(x, y);
    wnd.ClientToScreen(&p);
    return p;
  }
  // A point on the item's label, in screen coordinates.
  POINT OnItem(int index) const {
    CRect text;
    EXPECT_TRUE(tree.GetItemRect(items[index], &text, TRUE));
    return ScreenOf(tree, text.left + 4, text.CenterPoint().y);
  }
  // Runs the step from the drag's loop (once the drag holds the mouse), 40 ms after the step given
  // before it has run. Steps left when the drag ends are dropped.
  void Then(std::function<void()> step) { When(HoldsMouse, std::move(step)); }
  // Once the condition holds (looked at every 10 ms, after the steps given before), runs the step.
  void When(std::function<bool()> condition, std::function<void()> step) {
    pending.push_back({std::move(condition), std::move(step)});
    if (!driver.isActive()) driver.start(40);
  }
  // Steps run one after another, each timed from the one before, so that a slow start of the drag
  // (a loaded machine) never lets a step overtake its predecessor or run before the drag holds
  // the mouse. The next step is due before this one runs, as it may run a loop of its own.
  void RunNextStep() {
    if (pending.empty()) return;
    Step step = std::move(pending.front());
    pending.pop_front();
    if (!step.ready()) {
      pending.push_front(std::move(step));
      driver.start(10);
      return;
    }
    driver.start(40);
    step.run();
  }
  void ForgetSteps() {
    driver.stop();
    pending.clear();
  }
  // Posts a mouse message to the window that holds the mouse, as the desktop delivers input.
  static void Post(UINT message, POINT screen, WPARAM keys) {
    HWND capture = GetCapture();
    if (!capture) return;
    ScreenToClient(capture, &screen);
    PostMessageW(capture, message, keys, MAKELPARAM(screen.x, screen.y));
  }
  // Mouse input for the drag.
  void MoveTo(POINT screen) {
    Then([screen] { Post(WM_MOUSEMOVE, screen, MK_LBUTTON); });
  }
  void ReleaseAt(POINT screen) {
    Then([screen] { Post(WM_LBUTTONUP, screen, 0); });
  }
  static bool HoldsMouse() { return GetCapture() != nullptr; }
  // Sends Qt's mouse event to the tree's item view, the way the desktop delivers it.
  void SendMouse(QEvent::Type type, POINT screen, Qt::MouseButton button, Qt::MouseButtons buttons,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
    SendViewMouse(tree.GetSafeHwnd(), type, screen, button, buttons, modifiers);
  }
  // Runs a drag from the point; the steps given before run inside it.
  DROPEFFECT DragFrom(POINT start, DROPEFFECT allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                      LPCRECT startRect = nullptr) {
    SetCursorPos(start.x, start.y);
    Pump(10);
    DROPEFFECT result = source.DoDragDrop(allowed, startRect);
    ForgetSteps();
    return result;
  }

  QTimer watchdog;
  struct Step {
    std::function<bool()> ready;
    std::function<void()> run;
  };
  std::deque<Step> pending;
  QTimer driver;
  TreeParent parent;
  CTreeCtrl tree;
  CWnd other;
  std::vector<HTREEITEM> items;
  TreeTarget treeTarget {tree};
  COleDataSource source;
};

TEST_F(DragDrop, ATreeItemDraggedOntoAnotherIsDroppedThereFromTheBeginDragNotification) {
  DROPEFFECT result = DROPEFFECT_NONE;
  parent.onBeginDrag = [&](HTREEITEM item) {
    tree.SelectItem(item);
    result = source.DoDragDrop();
  };
  std::vector<Qt::CursorShape> cursors;
  auto noteCursor = [&] {
    QCursor* cursor = QGuiApplication::overrideCursor();
    cursors.push_back(cursor ? cursor->shape() : Qt::ArrowCursor);
  };
  POINT from = OnItem(1), to = OnItem(4);
  Then([&] { SendMouse(QEvent::MouseMove, POINT {from.x + 8, from.y + 3}, Qt::NoButton, Qt::LeftButton); });
  Then(noteCursor);  // over the dragged item itself: nothing to drop
  Then([&] { SendMouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton); });
  Then([&] { SendMouse(QEvent::MouseMove, POINT {to.x + 2, to.y}, Qt::NoButton, Qt::LeftButton); });
  Then(noteCursor);
  Then([&] { SendMouse(QEvent::MouseButtonRelease, POINT {to.x + 2, to.y}, Qt::LeftButton, Qt::NoButton); });

  SetCursorPos(from.x, from.y);
  Pump(10);
  SendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  SendMouse(QEvent::MouseMove, POINT {from.x + 6, from.y + 2}, Qt::NoButton, Qt::LeftButton);  // runs the drag

  ASSERT_EQ(parent.beginDrags.size(), 1u);
  EXPECT_EQ(parent.beginDrags[0].itemNew.hItem, items[1]);
  EXPECT_EQ(result, DROPEFFECT_MOVE);
  ASSERT_EQ(treeTarget.dropped.size(), 1u);
  EXPECT_EQ(treeTarget.dropped[0], std::make_pair(items[1], items[4]));
  EXPECT_EQ(treeTarget.heard.dropEffect, DROPEFFECT_MOVE);
  EXPECT_EQ(treeTarget.heard.enters, 1);
  EXPECT_EQ(treeTarget.heard.leaves, 0) << "a drop is not a leave";
  EXPECT_EQ(tree.GetDropHilightItem(), nullptr);
  CPoint inTree = to;
  tree.ScreenToClient(&inTree);
  EXPECT_EQ(treeTarget.heard.lastPoint, CPoint(inTree.x + 2, inTree.y)) << "points are the tree's client coordinates";
  EXPECT_EQ(cursors, (std::vector<Qt::CursorShape> {Qt::ForbiddenCursor, Qt::DragMoveCursor}));
}

TEST_F(DragDrop, ThePressOnAnItemSelectsItOnReleaseUnlessItBecomesADrag) {
  struct Case {
    const char* what;
    bool onItem;
    int dx, dy;
    bool begins;
    bool selects;
  };
  const Case cases[] = {
      {"4 px is within the threshold: a click", true, 4, -4, false, true},
      {"5 px is beyond it: a drag, the selection stays", true, 0, 5, true, false},
      {"a press on no item", false, 30, 0, false, false},
  };
  for (const Case& c : cases) {
    tree.DeleteAllItems();
    items = {tree.InsertItem(u"a"), tree.InsertItem(u"b")};
    parent.beginDrags.clear();
    parent.selectionCauses.clear();
    POINT from = c.onItem ? OnItem(0) : ScreenOf(tree, 10, 250);
    SendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(parent.selectionCauses.empty()) << c.what << ": the press alone selects nothing";
    SendMouse(QEvent::MouseMove, POINT {from.x + c.dx, from.y + c.dy}, Qt::NoButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, POINT {from.x + c.dx, from.y + c.dy}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(parent.beginDrags.size(), c.begins ? 1u : 0u) << c.what;
    EXPECT_EQ(tree.GetSelectedItem(), c.selects ? items[0] : nullptr) << c.what;
    EXPECT_EQ(parent.selectionCauses, c.selects ? std::vector<UINT> {TVC_BYMOUSE} : std::vector<UINT> {}) << c.what;
  }
}

TEST_F(DragDrop, ADragThatEndsWhereNothingCanBeDroppedAnswersNoneAndLeaves) {
  struct Case {
    const char* what;
    std::function<POINT()> end;
  };
  const Case cases[] = {
      {"outside every window", [] { return POINT {780, 580}; }},
      {"over a window without a target", [this] { return ScreenOf(other, 20, 20); }},
      {"back on the dragged item", [this] { return OnItem(1); }},
  };
  for (const Case& c : cases) {
    treeTarget.heard = Heard {};
    tree.SelectItem(items[1]);
    POINT end = c.end();
    MoveTo(OnItem(3));
    MoveTo(end);
    ReleaseAt(end);
    EXPECT_EQ(DragFrom(OnItem(1)), DROPEFFECT_NONE) << c.what;
    EXPECT_EQ(treeTarget.heard.enters, 1) << c.what;
    EXPECT_EQ(treeTarget.heard.leaves, 1) << c.what;
    EXPECT_EQ(treeTarget.heard.drops, 0) << c.what;
    EXPECT_EQ(tree.GetDropHilightItem(), nullptr) << c.what;
  }
}

TEST_F(DragDrop, EscapeTheRightButtonOrALostCaptureCancels) {
  struct Case {
    const char* what;
    std::function<void()> cancel;
  };
  const Case cases[] = {
      {"escape", [] { PostMessageW(GetCapture(), WM_KEYDOWN, VK_ESCAPE, 0); }},
      {"escape typed", [this] {
         tree.SetFocus();
         QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
         QCoreApplication::sendEvent(ClientOf(tree.GetSafeHwnd()), &press);
       }},
      {"the right button", [this] { Post(WM_RBUTTONDOWN, OnItem(4), MK_LBUTTON | MK_RBUTTON); }},
      {"another window takes the mouse", [this] { other.SetCapture(); }},
  };
  for (const Case& c : cases) {
    treeTarget.heard = Heard {};
    tree.SelectItem(items[1]);
    MoveTo(OnItem(4));
    Then(c.cancel);
    ReleaseAt(OnItem(4));  // too late: the drag is over
    EXPECT_EQ(DragFrom(OnItem(1)), DROPEFFECT_NONE) << c.what;
    EXPECT_EQ(treeTarget.heard.leaves, 1) << c.what;
    EXPECT_EQ(treeTarget.heard.drops, 0) << c.what;
    ReleaseCapture();
  }
}

TEST_F(DragDrop, ShiftCtrlAndAltArriveInTheKeyState) {
  struct Case {
    Qt::KeyboardModifiers modifiers;
    DWORD keys;
  };
  const Case cases[] = {
      {Qt::NoModifier, MK_LBUTTON},
      {Qt::ShiftModifier, MK_LBUTTON | MK_SHIFT},
      {Qt::ControlModifier, MK_LBUTTON | MK_CONTROL},
      {Qt::AltModifier, MK_LBUTTON | MK_ALT},
      {Qt::ShiftModifier | Qt::ControlModifier, MK_LBUTTON | MK_SHIFT | MK_CONTROL},
  };
  for (const Case& c : cases) {
    treeTarget.heard = Heard {};
    POINT at = OnItem(4);
    Then([&, at] { SendMouse(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton, c.modifiers); });
    Then([&, at] { SendMouse(QEvent::MouseMove, POINT {at.x + 1, at.y}, Qt::NoButton, Qt::LeftButton, c.modifiers); });
    Then([&] { EXPECT_EQ(treeTarget.heard.lastKeys, c.keys) << "modifiers " << c.modifiers; });
    Then([] { PostMessageW(GetCapture(), WM_KEYDOWN, VK_ESCAPE, 0); });
    DragFrom(OnItem(1));
  }
  // A modifier pressed while the mouse rests is told at once.
  treeTarget.heard = Heard {};
  MoveTo(OnItem(4));
  Then([] { PostMessageW(GetCapture(), WM_KEYDOWN, VK_CONTROL, 0); });
  Then([&] { EXPECT_EQ(treeTarget.heard.lastKeys, static_cast<DWORD>(MK_LBUTTON | MK_CONTROL)); });
  Then([] { PostMessageW(GetCapture(), WM_KEYUP, VK_CONTROL, 0); });
  Then([&] { EXPECT_EQ(treeTarget.heard.lastKeys, static_cast<DWORD>(MK_LBUTTON)); });
  Then([] { PostMessageW(GetCapture(), WM_KEYDOWN, VK_ESCAPE, 0); });
  DragFrom(OnItem(1));
}

TEST_F(DragDrop, TheAllowedEffectsLimitTheAnswerTheCursorAndTheDrop) {
  struct Case {
    DROPEFFECT allowed;
    DROPEFFECT answer;
    Qt::CursorShape cursor;
    DROPEFFECT result;
  };
  const DROPEFFECT all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  const Case cases[] = {
      {all, DROPEFFECT_MOVE, Qt::DragMoveCursor, DROPEFFECT_MOVE},
      {all, DROPEFFECT_COPY, Qt::DragCopyCursor, DROPEFFECT_COPY},
      {all, DROPEFFECT_LINK, Qt::DragLinkCursor, DROPEFFECT_LINK},
      {all, DROPEFFECT_NONE, Qt::ForbiddenCursor, DROPEFFECT_NONE},
      {DROPEFFECT_COPY, DROPEFFECT_MOVE, Qt::ForbiddenCursor, DROPEFFECT_NONE},
      {DROPEFFECT_MOVE, DROPEFFECT_COPY | DROPEFFECT_MOVE, Qt::DragMoveCursor, DROPEFFECT_MOVE},
  };
  for (const Case& c : cases) {
    FixedTarget target(c.answer);
    ASSERT_TRUE(target.Register(&other));
    Qt::CursorShape cursor = Qt::ArrowCursor;
    MoveTo(ScreenOf(other, 30, 30));
    MoveTo(ScreenOf(other, 31, 30));
    Then([&] { cursor = QGuiApplication::overrideCursor()->shape(); });
    ReleaseAt(ScreenOf(other, 31, 30));
    EXPECT_EQ(DragFrom(ScreenOf(other, 20, 20), c.allowed), c.result) << c.allowed << " " << c.answer;
    EXPECT_EQ(cursor, c.cursor) << c.allowed << " " << c.answer;
    EXPECT_EQ(target.heard.drops, c.result ? 1 : 0);
    EXPECT_EQ(target.heard.dropEffect, c.result);
    EXPECT_EQ(target.heard.leaves, c.result ? 0 : 1) << "a release where nothing can drop leaves";
    EXPECT_EQ(target.heard.lastPoint, CPoint(31, 30));
    EXPECT_TRUE(target.heard.attached);
  }
}

TEST_F(DragDrop, TheDropHappensWhereTheReleaseIsSeen) {
  struct Case {
    const char* what;
    UINT message;
    WPARAM keys;
  };
  const Case cases[] = {
      {"the button's release", WM_LBUTTONUP, 0},
      {"a move that finds the button up", WM_MOUSEMOVE, MK_SHIFT},
  };
  for (const Case& c : cases) {
    FixedTarget target(DROPEFFECT_MOVE);
    ASSERT_TRUE(target.Register(&other));
    MoveTo(ScreenOf(other, 30, 30));
    MoveTo(POINT {780, 580});  // out again
    Then([&] { Post(c.message, ScreenOf(other, 40, 35), c.keys); });
    EXPECT_EQ(DragFrom(ScreenOf(other, 20, 20)), DROPEFFECT_MOVE) << c.what;
    EXPECT_EQ(target.heard.enters, 2) << c.what;
    EXPECT_EQ(target.heard.drops, 1) << c.what;
    EXPECT_EQ(target.heard.lastPoint, CPoint(40, 35)) << c.what;
  }
}

TEST_F(DragDrop, ATargetScrollingItselfAnswersForOnDragOver) {
  struct ScrollTarget : FixedTarget {
    ScrollTarget() : FixedTarget(DROPEFFECT_MOVE) {}
    DROPEFFECT OnDragScroll(CWnd*, DWORD, CPoint point) override {
      return point.y > 100 ? DROPEFFECT_SCROLL | DROPEFFECT_COPY : DROPEFFECT_NONE;
    }
  } target;
  ASSERT_TRUE(target.Register(&other));
  Qt::CursorShape cursor = Qt::ArrowCursor;
  MoveTo(ScreenOf(other, 30, 30));
  MoveTo(ScreenOf(other, 30, 120));
  Then([&] {
    target.heard.overs = 0;
    cursor = QGuiApplication::overrideCursor()->shape();
  });
  ReleaseAt(ScreenOf(other, 30, 120));
  EXPECT_EQ(DragFrom(ScreenOf(other, 20, 20)), DROPEFFECT_COPY);
  EXPECT_EQ(target.heard.overs, 0) << "OnDragOver is not asked while the target scrolls";
  EXPECT_EQ(target.heard.dropEffect, DROPEFFECT_COPY);
  EXPECT_EQ(cursor, Qt::DragCopyCursor);
}

TEST_F(DragDrop, OnDropExDecidesTheDropWithoutOnDrop) {
  struct ExTarget : FixedTarget {
    DROPEFFECT OnDropEx(CWnd*, COleDataObject*, DROPEFFECT dropDefault, DROPEFFECT dropList, CPoint) override {
      offered = dropDefault;
      list = dropList;
      return DROPEFFECT_COPY | DROPEFFECT_LINK;
    }
    DROPEFFECT offered {}, list {};
  } target;
  ASSERT_TRUE(target.Register(&other));
  MoveTo(ScreenOf(other, 30, 30));
  ReleaseAt(ScreenOf(other, 30, 30));
  EXPECT_EQ(DragFrom(ScreenOf(other, 20, 20), DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_COPY);
  EXPECT_EQ(target.offered, DROPEFFECT_MOVE);
  EXPECT_EQ(target.list, DROPEFFECT_COPY | DROPEFFECT_MOVE);
  EXPECT_EQ(target.heard.drops, 0);
}

TEST_F(DragDrop, ATargetTheMouseRestsOnIsAskedAgainSoTheTreeScrollsLineByLine) {
  tree.SelectItem(items[0]);
  HTREEITEM firstVisible = tree.GetFirstVisibleItem();
  ASSERT_EQ(firstVisible, items[0]);
  POINT nearBottom = ScreenOf(tree, 40, 290);
  MoveTo(nearBottom);
  When([this] { return treeTarget.scrollSteps >= 4; }, [nearBottom] { Post(WM_LBUTTONUP, nearBottom, 0); });
  DragFrom(OnItem(0));
  EXPECT_EQ(treeTarget.heard.overs, treeTarget.scrollSteps) << "one move, then the mouse rested";
  EXPECT_GE(treeTarget.scrollSteps, 4);
  HTREEITEM now = tree.GetFirstVisibleItem();
  int lines = 0;
  for (HTREEITEM item = firstVisible; item && item != now; item = tree.GetNextVisibleItem(item)) ++lines;
  EXPECT_EQ(lines, treeTarget.scrollSteps) << "one line per step";
}

TEST_F(DragDrop, ATargetOrWindowThatGoesAwayEndsTheDrag) {
  struct Case {
    const char* what;
    bool fromOver;     // else from a step of the loop
    bool destroyWindow;  // else the target object
  };
  const Case cases[] = {
      {"window destroyed meanwhile", false, true},
      {"window destroyed by the target", true, true},
      {"target deleted meanwhile", false, false},
      {"target deleted by itself", true, false},
  };
  for (const Case& c : cases) {
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, u"AfxWnd", u"", WS_CHILD | WS_VISIBLE, CRect(220, 160, 370, 290), &parent, 9));
    auto target = std::make_unique<FixedTarget>();
    ASSERT_TRUE(target->Register(&window));
    int leaves = 0;
    std::function<void()> goAway = [&] {
      if (c.destroyWindow) {
        window.DestroyWindow();
      } else {
        leaves = target->heard.leaves;
        target.reset();
      }
    };
    if (c.fromOver) target->onOver = [&] { goAway(); };
    MoveTo(ScreenOf(window, 30, 30));
    MoveTo(ScreenOf(window, 31, 30));
    if (!c.fromOver) Then([&] { goAway(); });
    // No release follows: the drag ends by itself.
    EXPECT_EQ(DragFrom(ScreenOf(window, 20, 20)), DROPEFFECT_NONE) << c.what;
    if (target) leaves = target->heard.leaves;
    EXPECT_EQ(leaves, 0) << c.what << ": nobody is left to hear it";
    EXPECT_EQ(GetCapture(), nullptr) << c.what;
    window.DestroyWindow();
  }
}

TEST_F(DragDrop, ChildWindowsWithoutATargetBelongToTheirNearestRegisteredAncestor) {
  CWnd outer, plainChild, ownChild;
  ASSERT_TRUE(outer.CreateEx(0, u"AfxWnd", u"", WS_CHILD | WS_VISIBLE, CRect(220, 160, 380, 290), &parent, 9));
  ASSERT_TRUE(plainChild.CreateEx(0, u"AfxWnd", u"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 60), &outer, 1));
  ASSERT_TRUE(ownChild.CreateEx(0, u"AfxWnd", u"", WS_CHILD | WS_VISIBLE, CRect(80, 10, 130, 60), &outer, 2));
  FixedTarget outerTarget(DROPEFFECT_COPY), childTarget(DROPEFFECT_LINK);
  ASSERT_TRUE(outerTarget.Register(&outer));
  ASSERT_TRUE(childTarget.Register(&ownChild));
  struct Case {
    const char* what;
    CWnd* in;
    FixedTarget* expected;
    CPoint point;  // in the expected target's window
    DROPEFFECT result;
  };
  const Case cases[] = {
      {"a child without a target", &plainChild, &outerTarget, CPoint(15, 15), DROPEFFECT_COPY},
      {"a child with its own target", &ownChild, &childTarget, CPoint(5, 5), DROPEFFECT_LINK},
      {"the registered window itself", &outer, &outerTarget, CPoint(5, 100), DROPEFFECT_COPY},
  };
  for (const Case& c : cases) {
    outerTarget.heard = childTarget.heard = Heard {};
    CPoint at = c.point;
    if (c.in != &outer && c.expected == &outerTarget) at.Offset(-10, -10);  // the child sits at (10, 10)
    POINT screen = ScreenOf(*c.in, at.x, at.y);
    MoveTo(screen);
    ReleaseAt(screen);
    EXPECT_EQ(DragFrom(ScreenOf(tree, 5, 5)), c.result) << c.what;
    EXPECT_EQ(c.expected->heard.drops, 1) << c.what;
    EXPECT_EQ(c.expected->heard.lastPoint, c.point) << c.what;
    EXPECT_EQ(outerTarget.heard.drops + childTarget.heard.drops, 1) << c.what;
  }
}

TEST_F(DragDrop, ADragStartsOnLeavingTheStartRectangleOrAfterAPause) {
  FixedTarget target(DROPEFFECT_COPY);
  ASSERT_TRUE(target.Register(&other));
  POINT start = ScreenOf(other, 50, 50);
  CRect around(start.x - 10, start.y - 10, start.x + 10, start.y + 10);

  // Queued before the drag, so they come before its pause is over.
  SetCursorPos(start.x, start.y);
  Pump(10);
  other.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(55, 50));
  other.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(55, 50));
  EXPECT_EQ(source.DoDragDrop(DROPEFFECT_COPY, &around), DROPEFFECT_NONE) << "released inside the rectangle";
  EXPECT_EQ(target.heard.enters, 0);

  for (int i = 0; i < 6; ++i) Then([] {});  // 240 ms without a move
  ReleaseAt(start);
  EXPECT_EQ(DragFrom(start, DROPEFFECT_COPY, &around), DROPEFFECT_COPY) << "held still long enough";
  EXPECT_EQ(target.heard.enters, 1);
  EXPECT_EQ(target.heard.drops, 1);
}

TEST(DropTargets, EachWindowTakesOneTargetAndEachTargetOneWindow) {
  CWnd first, second, none;
  ASSERT_TRUE(first.CreateEx(0, u"AfxWnd", u"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  ASSERT_TRUE(second.CreateEx(0, u"AfxWnd", u"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  COleDropTarget a, b;
  EXPECT_FALSE(a.Register(nullptr));
  EXPECT_FALSE(a.Register(&none)) << "a CWnd without a window";
  EXPECT_TRUE(a.Register(&first));
  EXPECT_FALSE(a.Register(&second)) << "the target is registered already";
  EXPECT_FALSE(b.Register(&first)) << "the window has a target";
  a.Revoke();
  EXPECT_TRUE(b.Register(&first)) << "revoked, the target left the window";
  EXPECT_TRUE(a.Register(&second));
  first.DestroyWindow();
  second.DestroyWindow();
}

TEST(DropTargets, AWindowOrATargetThatGoesAwayLetsTheOtherGo) {
  CWnd window;
  ASSERT_TRUE(window.CreateEx(0, u"AfxWnd", u"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  COleDropTarget target;
  ASSERT_TRUE(target.Register(&window));
  window.DestroyWindow();
  ASSERT_TRUE(window.CreateEx(0, u"AfxWnd", u"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  EXPECT_TRUE(target.Register(&window)) << "the destroyed window took its registration with it";

  target.Revoke();
  {
    COleDropTarget shortLived;
    ASSERT_TRUE(shortLived.Register(&window));
  }
  EXPECT_TRUE(target.Register(&window)) << "the destroyed target left the window";
  window.DestroyWindow();
}

}  // namespace
