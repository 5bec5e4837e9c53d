// The GUI registry: windows found by ID, shown, hidden and asked about; windows that lose their
// window or their object while registered.

#include "framework/app/CQVGUIRegistry.h"

#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CStatusBar.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <vector>

namespace {

// A registry an application put in place of the base: it notes what each show gave.
class RecordingRegistry : public CQVGUIRegistry {
  DECLARE_DYNCREATE(RecordingRegistry)
public:
  struct Shown {
    CWnd* window;
    BOOL show;
    BOOL result;
  };
  std::vector<Shown> shown;

protected:
  BOOL OnShow(CWnd* window, BOOL show) override {
    BOOL result = CQVGUIRegistry::OnShow(window, show);
    shown.push_back({window, show, result});
    return result;
  }
};
IMPLEMENT_DYNCREATE(RecordingRegistry, CQVGUIRegistry)

// A registry as the application object makes it: from a run-time class, used as the base.
std::unique_ptr<CQVGUIRegistry> MakeRegistry(CRuntimeClass* cls) {
  CObject* made = cls->CreateObject();
  EXPECT_TRUE(made && made->IsKindOf(RUNTIME_CLASS(CQVGUIRegistry)));
  return std::unique_ptr<CQVGUIRegistry>(static_cast<CQVGUIRegistry*>(made));
}

BOOL CreateWindowOf(CWnd& wnd, DWORD style = WS_POPUP | WS_VISIBLE, CWnd* parent = nullptr) {
  return wnd.CreateEx(0, AfxRegisterWndClass(0), u"registered", style, CRect(0, 0, 120, 80), parent, 0);
}

// A window object that deletes itself when its window goes, as modeless dialogs do.
class SelfDeletingWnd : public CWnd {
protected:
  void PostNcDestroy() override { delete this; }
};

TEST(GUIRegistry, RegistrationAndLookupByID) {
  CQVGUIRegistry registry;
  CWnd first, second, third;
  const struct {
    UINT id;
    CWnd* window;
    BOOL accepted;
    const char* why;
  } cases[] = {
      {10, &first, TRUE, "a new window"},
      {0, &second, FALSE, "ID 0 is never registered"},
      {10, nullptr, FALSE, "no window"},
      {11, &first, FALSE, "a window is registered once, under any ID"},
      {10, &second, TRUE, "windows may share an ID"},
      {12, &third, TRUE, "another ID"},
  };
  for (const auto& c : cases) EXPECT_EQ(registry.Register(c.id, c.window), c.accepted) << c.why;

  EXPECT_EQ(registry.Find(10), &first) << "the first window registered with the ID";
  EXPECT_EQ(registry.Find(12), &third);
  EXPECT_EQ(registry.Find(11), nullptr);
  EXPECT_EQ(registry.Find(0), nullptr);

  registry.Unregister(&first);
  EXPECT_EQ(registry.Find(10), &second) << "the next window with the ID comes forward";
  registry.Unregister(&first);
  registry.Unregister(nullptr);
  EXPECT_EQ(registry.Find(10), &second);
  EXPECT_EQ(registry.Find(12), &third);
  EXPECT_TRUE(registry.Register(11, &first)) << "an unregistered window may register under another ID";
  EXPECT_EQ(registry.Find(11), &first);
}

TEST(GUIRegistry, ASubstitutedRegistryShowsAndHidesPlainWindows) {
  std::unique_ptr<CQVGUIRegistry> registry = MakeRegistry(RUNTIME_CLASS(RecordingRegistry));
  auto& recorded = static_cast<RecordingRegistry&>(*registry).shown;
  CWnd first, second;
  ASSERT_TRUE(CreateWindowOf(first));
  ASSERT_TRUE(CreateWindowOf(second));
  ASSERT_TRUE(registry->Register(20, &first));
  ASSERT_TRUE(registry->Register(20, &second));

  EXPECT_TRUE(registry->IsVisible(20));
  registry->Show(20, FALSE);
  EXPECT_FALSE(first.IsWindowVisible());
  EXPECT_TRUE(second.IsWindowVisible()) << "only the first window with the ID";
  EXPECT_FALSE(registry->IsVisible(20));
  registry->Show(20, TRUE);
  EXPECT_TRUE(first.IsWindowVisible());
  EXPECT_TRUE(registry->IsVisible(20));

  registry->Show(21, TRUE);
  EXPECT_FALSE(registry->IsVisible(21)) << "an ID nobody registered";
  ASSERT_EQ(recorded.size(), 2u) << "the derived OnShow is called, and only for registered IDs";
  EXPECT_EQ(recorded[0].window, &first);
  EXPECT_FALSE(recorded[0].show);
  EXPECT_TRUE(recorded[0].result);
  EXPECT_TRUE(recorded[1].show);
}

TEST(GUIRegistry, AWindowObjectWithoutItsWindowStaysRegisteredButIsNeitherShownNorVisible) {
  RecordingRegistry registry;
  CWnd tool;
  ASSERT_TRUE(CreateWindowOf(tool));
  ASSERT_TRUE(registry.Register(30, &tool));
  HWND gone = tool.GetSafeHwnd();
  tool.DestroyWindow();
  ASSERT_FALSE(::IsWindow(gone));

  EXPECT_EQ(registry.Find(30), &tool) << "the object lives on and may make its window again";
  EXPECT_FALSE(registry.IsVisible(30));
  registry.Show(30, TRUE);
  ASSERT_EQ(registry.shown.size(), 1u);
  EXPECT_FALSE(registry.shown[0].result);
  EXPECT_FALSE(registry.Register(31, &tool)) << "still registered";

  ASSERT_TRUE(CreateWindowOf(tool, WS_POPUP));
  EXPECT_FALSE(registry.IsVisible(30));
  registry.Show(30, TRUE);
  EXPECT_TRUE(registry.shown.back().result);
  EXPECT_TRUE(tool.IsWindowVisible()) << "the new window of the same object is shown";
}

TEST(GUIRegistry, AWindowObjectDeletedWhileRegisteredLeavesEveryRegistry) {
  CQVGUIRegistry registry, other;
  auto* dialog = new SelfDeletingWnd;
  ASSERT_TRUE(CreateWindowOf(*dialog));
  CWnd behind;
  ASSERT_TRUE(CreateWindowOf(behind, WS_POPUP));
  ASSERT_TRUE(registry.Register(40, dialog));
  ASSERT_TRUE(registry.Register(40, &behind));
  ASSERT_TRUE(other.Register(41, dialog));
  auto dropped = std::make_unique<CQVGUIRegistry>();
  ASSERT_TRUE(dropped->Register(42, dialog));
  dropped.reset();  // a registry that went first is not told any more

  dialog->DestroyWindow();  // deletes the object, which never unregistered

  EXPECT_EQ(registry.Find(40), &behind) << "no pointer to the deleted object is handed out";
  EXPECT_FALSE(registry.IsVisible(40)) << "the window behind it is asked, and it is hidden";
  registry.Show(40, TRUE);
  EXPECT_TRUE(behind.IsWindowVisible());
  EXPECT_EQ(other.Find(41), nullptr);
}

TEST(GUIRegistry, ANewWindowObjectAtTheAddressOfADeletedOneIsANewWindow) {
  CQVGUIRegistry registry;
  alignas(CWnd) unsigned char place[sizeof(CWnd)];
  CWnd* old = new (place) CWnd;
  ASSERT_TRUE(registry.Register(50, old));
  old->~CWnd();
  CWnd* fresh = new (place) CWnd;
  ASSERT_EQ(fresh, old);

  EXPECT_EQ(registry.Find(50), nullptr) << "the new object was never registered under the old ID";
  EXPECT_TRUE(registry.Register(51, fresh)) << "nor is it taken for one registered already";
  EXPECT_EQ(registry.Find(51), fresh);
  fresh->~CWnd();
  EXPECT_EQ(registry.Find(51), nullptr);
}

// A frame with a status bar over a view that takes what the bars leave.
class FrameWithBar : public ::testing::Test {
protected:
  void SetUp() override {
    frame = MakeFrameWithView(view, u"frame", CRect(0, 0, 400, 300));
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(bar.Create(frame));
    frame->RecalcLayout();
  }
  void TearDown() override { frame->DestroyWindow(); }

  int ViewHeight() const {
    CRect rect;
    view.GetClientRect(&rect);
    return rect.Height();
  }
  int FrameClientHeight() const {
    CRect rect;
    frame->GetClientRect(&rect);
    return rect.Height();
  }

  CFrameWnd* frame {};
  CWnd view;
  CStatusBar bar;
  RecordingRegistry registry;
};

TEST_F(FrameWithBar, AControlBarIsShownAndHiddenThroughItsFrameAtOnce) {
  ASSERT_TRUE(registry.Register(60, &bar));
  ASSERT_TRUE(registry.IsVisible(60));
  ASSERT_LT(ViewHeight(), FrameClientHeight()) << "the bar takes its strip";

  registry.Show(60, FALSE);
  EXPECT_FALSE(bar.GetStyle() & WS_VISIBLE);
  EXPECT_FALSE(registry.IsVisible(60));
  EXPECT_EQ(ViewHeight(), FrameClientHeight()) << "the frame laid its bars out again without waiting";

  registry.Show(60, TRUE);
  EXPECT_TRUE(registry.IsVisible(60));
  EXPECT_LT(ViewHeight(), FrameClientHeight());
  ASSERT_EQ(registry.shown.size(), 2u);
  EXPECT_TRUE(registry.shown[0].result && registry.shown[1].result);
}

TEST_F(FrameWithBar, ABarCountsAsVisibleByItsStyleOtherWindowsOnlyWhenOnScreen) {
  ASSERT_TRUE(registry.Register(61, &bar));
  ASSERT_TRUE(registry.Register(62, &view));
  frame->ShowWindow(SW_HIDE);
  EXPECT_TRUE(registry.IsVisible(61)) << "a bar of a hidden frame keeps WS_VISIBLE";
  EXPECT_FALSE(registry.IsVisible(62)) << "a child of a hidden frame is not on screen";
}

TEST(GUIRegistry, AControlBarWithoutAFrameIsNotShown) {
  CWnd holder;
  ASSERT_TRUE(CreateWindowOf(holder, WS_OVERLAPPEDWINDOW | WS_VISIBLE));
  CStatusBar bar;
  ASSERT_TRUE(bar.Create(&holder));
  ASSERT_EQ(bar.GetParentFrame(), nullptr);
  RecordingRegistry registry;
  ASSERT_TRUE(registry.Register(70, &bar));

  registry.Show(70, FALSE);
  ASSERT_EQ(registry.shown.size(), 1u);
  EXPECT_FALSE(registry.shown[0].result);
  EXPECT_TRUE(bar.GetStyle() & WS_VISIBLE) << "left as it was";
}

TEST(GUIRegistry, DeletingTheRegistryLeavesTheWindowsAlone) {
  CWnd tool;
  ASSERT_TRUE(CreateWindowOf(tool));
  auto registry = std::make_unique<CQVGUIRegistry>();
  ASSERT_TRUE(registry->Register(80, &tool));
  registry.reset();
  EXPECT_TRUE(::IsWindow(tool.GetSafeHwnd()));
  EXPECT_TRUE(tool.IsWindowVisible());
}

}  // namespace
