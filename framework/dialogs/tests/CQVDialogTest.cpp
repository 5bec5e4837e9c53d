// The dialog, property page and view bases: the order of the initialisation hooks and what a
// FALSE from each leaves undone, the Enter and Escape locks, closing on deactivation (and not for
// the dialog's own boxes and modal dialogs), modal and modeless runs, dragging, pages on a sheet,
// form views, control views and the blank view.

#include "framework/dialogs/CQVBlankView.h"
#include "framework/dialogs/CQVDialog.h"
#include "framework/dialogs/CQVFormView.h"
#include "framework/dialogs/CQVPropertyPage.h"

#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CTabCtrl.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

std::string U8(const CString& text) { return text.ToUtf8(); }

using Hooks = std::vector<std::string>;

std::string Tip(CWnd& owner, int id) {
  QWidget* widget = ClientOf(owner.GetDlgItem(id)->GetSafeHwnd());
  QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), widget->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(widget, &help);
  std::string tip = QToolTip::text().toStdString();
  QToolTip::hideText();
  return tip;
}

TEST(DialogHooks, RunInOrderAndTheFirstFalseEndsTheSequence) {
  UseLanguage(u"en-us");
  struct Case {
    const char* what;
    const char16_t* map;
    const char* failAt;
    Hooks hooks;
    const char* label;  // what the translated label shows
    const char* tip;    // the name field's tip: tool tips are on only when every hook agreed
  } cases[] = {
      {"all agree", u"DLG_TEST", "", {"controls", "map", "layout", "settings"}, "Name:", "Type your name"},
      {"controls refuse", u"DLG_TEST", "controls", {"controls"}, "Template label", ""},
      {"map refuses", u"DLG_TEST", "map", {"controls", "map"}, "Template label", ""},
      {"layout refuses", u"DLG_TEST", "layout", {"controls", "map", "layout"}, "Name:", ""},
      {"settings refuse", u"DLG_TEST", "settings", {"controls", "map", "layout", "settings"}, "Name:", ""},
      // No layout script named for the dialog: nothing to lay out, the dialog is still set up.
      {"no layout script", u"DLG_NOTPL", "", {"controls", "map", "layout", "settings"}, "Name:", ""},
      // A script that is named but cannot be read stops the set-up.
      {"unreadable layout script", u"DLG_BROKEN", "", {"controls", "map", "layout"}, "Template label", ""},
  };
  for (const Case& c : cases) {
    HookedDialog dialog(c.map);
    dialog.failAt = c.failAt;
    std::string label, tip;
    bool open = false;
    RunModal(dialog, [&](CDialog& d) {
      open = d.IsWindowVisible();
      label = U8(ItemText(d, IDC_TEST_LABEL));
      tip = Tip(d, IDC_TEST_NAME);
      d.EndDialog(IDOK);
    });
    EXPECT_TRUE(open) << c.what << ": the dialog opens whatever its hooks say";
    EXPECT_EQ(dialog.hooks, c.hooks) << c.what;
    EXPECT_EQ(label, c.label) << c.what;
    EXPECT_EQ(tip, c.tip) << c.what;
  }
}

// A page on IDD_TEST_PAGE that logs its hooks.
class HookedPage : public CQVPropertyPage {
public:
  explicit HookedPage(LPCWSTR map, bool refuseMap = false)
      : CQVPropertyPage(u"IDD_TEST_PAGE"), m_map(map), m_refuseMap(refuseMap) {}
  Hooks hooks;

protected:
  BOOL OnInitControls() override { return Log("controls"); }
  BOOL OnInitIDMap() override {
    BeginIDMap(m_map);
    DlgItem(IDC_TEST_LABEL, m_map + u"_LABEL", TRUE);
    EndIDMap();
    hooks.push_back("map");
    return !m_refuseMap;
  }
  BOOL OnInitLayout() override {
    hooks.push_back("layout");
    return CQVPropertyPage::OnInitLayout();
  }
  BOOL OnInitSettings() override { return Log("settings"); }

private:
  BOOL Log(const char* hook) {
    hooks.push_back(hook);
    return TRUE;
  }
  CString m_map;
  bool m_refuseMap;
};

// A form view on IDD_TEST_FORM that logs its hooks.
class HookedForm : public CQVFormView {
public:
  HookedForm() : CQVFormView(u"IDD_TEST_FORM") {}
  Hooks hooks;

protected:
  BOOL OnInitControls() override { return Log("controls"); }
  BOOL OnInitIDMap() override {
    MapTestItems(*this, u"DLG_TEST");
    return Log("map");
  }
  BOOL OnInitLayout() override {
    hooks.push_back("layout");
    return CQVFormView::OnInitLayout();
  }
  BOOL OnInitSettings() override { return Log("settings"); }

private:
  BOOL Log(const char* hook) {
    hooks.push_back(hook);
    return TRUE;
  }
};

TEST(DialogHooks, PagesBuildTheirMapWhenAddedAndFormViewsRunTheDialogOrder) {
  UseLanguage(u"en-us");
  HookedPage titled(u"DLG_PAGE"), untitled(u"DLG_NOPAGE"), refused(u"DLG_PAGE", true);
  CQVPropertySheet sheet;
  sheet.AddPage(&titled);
  sheet.AddPage(&untitled);
  sheet.AddPage(&refused);
  sheet.AddPage(nullptr);
  EXPECT_EQ(sheet.GetPageCount(), 2) << "a page whose map is refused is not added";
  EXPECT_EQ(titled.hooks, Hooks({"map"}));
  EXPECT_TRUE(titled.m_psp.dwFlags & PSP_USETITLE);
  EXPECT_FALSE(untitled.m_psp.dwFlags & PSP_USETITLE) << "no title key: the template's caption";
  std::string tabs[2], label;
  RunModal(sheet, [&](CDialog& d) {
    CTabCtrl* tab = static_cast<CQVPropertySheet&>(d).GetTabControl();
    for (int i = 0; i < 2; ++i) {
      WCHAR text[64] {};
      TCITEMW item {};
      item.mask = TCIF_TEXT;
      item.pszText = text;
      item.cchTextMax = 64;
      tab->SendMessage(TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      tabs[i] = U8(CString(text));
    }
    label = U8(ItemText(titled, IDC_TEST_LABEL));
    d.EndDialog(IDCANCEL);
  });
  EXPECT_EQ(tabs[0], "First page");
  EXPECT_EQ(tabs[1], "Template page");
  EXPECT_EQ(titled.hooks, Hooks({"map", "controls", "layout", "settings"}));
  EXPECT_EQ(label, "") << "a translated item without its text key shows no text";

  auto* form = new HookedForm;
  CFrameWnd* frame = MakeFrameWithView(*form, u"Frame title", CRect(0, 0, 500, 300));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(form->hooks, Hooks({"controls", "map", "layout", "settings"}));
  EXPECT_EQ(U8(ItemText(*form, IDC_TEST_LABEL)), "Name:");
  EXPECT_EQ(ItemRect(*form, IDC_TEST_NAME), CRect(60, 8, 260, 30)) << "the layout script ran";
  CString title;
  frame->GetWindowText(title);
  EXPECT_EQ(U8(title), "Frame title") << "a form view does not take the dialog title";
  frame->DestroyWindow();
}

TEST(DialogHooks, ASheetMadeInsideAWindowTakesItsRectangleAndItsTabsFillItOnlyWhenAsked) {
  UseLanguage(u"en-us");
  HWND parent = MakeParentWindow(u"SheetParent", ::DefWindowProcW);
  HookedPage page(u"DLG_PAGE");
  CQVPropertySheet sheet;
  sheet.AddPage(&page);
  ASSERT_TRUE(sheet.CreateEx(0, WS_CHILD | WS_VISIBLE, CRect(300, 200, 10, 20), CWnd::FromHandle(parent)));
  Pump(30);
  CRect placed;
  sheet.GetWindowRect(&placed);
  CWnd::FromHandle(parent)->ScreenToClient(&placed);
  EXPECT_EQ(placed, CRect(10, 20, 300, 200)) << "the rectangle is put right";
  CRect tab;
  for (BOOL keep : {TRUE, FALSE}) {
    sheet.SetKeepTabControl(keep);
    sheet.MoveWindow(10, 20, 250 + 20 * !keep, 160, TRUE);
    Pump(30);
    tab = ItemRect(sheet, AFX_IDC_TAB_CONTROL);
    CRect client;
    sheet.GetClientRect(&client);
    EXPECT_EQ(tab == client, !keep) << "keep " << keep;
  }
  sheet.DestroyWindow();
  ::DestroyWindow(parent);
}

TEST(DialogKeys, TheLocksKeepEnterAndEscapeAndTheCloseBoxFromEndingTheDialog) {
  UseLanguage(u"en-us");
  struct Case {
    const char* what;
    bool lockOK, lockCancel;
    int key;  // 0: the close box
    INT_PTR result;  // -5: still open
  } cases[] = {
      {"Enter, OK locked", true, false, Qt::Key_Return, -5},
      {"Escape, Cancel locked", false, true, Qt::Key_Escape, -5},
      {"close box, Cancel locked", false, true, 0, -5},
      {"Enter, Cancel locked", false, true, Qt::Key_Return, IDOK},
      {"Escape, OK locked", true, false, Qt::Key_Escape, IDCANCEL},
      {"close box, OK locked", true, false, 0, IDCANCEL},
  };
  for (const Case& c : cases) {
    HookedDialog dialog;
    dialog.SetOKLock(c.lockOK);
    dialog.SetCancelLock(c.lockCancel);
    const INT_PTR result = RunModal(dialog, [&](CDialog& d) {
      if (c.key) PressKey(c.key);
      else d.SendMessage(WM_CLOSE);
      Pump(30);
      if (d.GetSafeHwnd() && d.IsWindowVisible()) d.EndDialog(-5);
    });
    EXPECT_EQ(result, c.result) << c.what;
  }
}

// A modeless test dialog under a parent window of its own.
class ModelessDialog : public ::testing::Test {
protected:
  void SetUp() override {
    UseLanguage(u"en-us");
    parent = MakeParentWindow(u"ModelessDialogParent", ::DefWindowProcW);
    dialog.ShowModeless(CWnd::FromHandle(parent));
    ASSERT_NE(dialog.GetSafeHwnd(), nullptr);
    Pump(20);
  }
  void TearDown() override {
    dialog.HideModeless();
    ::DestroyWindow(parent);
  }
  void Deactivate(CWnd& wnd) { wnd.SendMessage(WM_ACTIVATE, WA_INACTIVE, 0); }

  HWND parent {};
  HookedDialog dialog;
};

TEST_F(ModelessDialog, ClosesWhenAnotherWindowIsActivated) {
  Deactivate(dialog);
  EXPECT_TRUE(PumpUntil([&] { return dialog.GetSafeHwnd() == nullptr; }));

  dialog.ShowModeless(CWnd::FromHandle(parent));
  dialog.SetCloseOnDeactivate(FALSE);
  Deactivate(dialog);
  Pump(30);
  EXPECT_NE(dialog.GetSafeHwnd(), nullptr) << "close-on-deactivate off";
}

TEST_F(ModelessDialog, StaysOpenWhileItsOwnMessageBoxOrModalDialogHasTheActivation) {
  static HookedDialog* shown;
  shown = &dialog;
  {
    BoxRecorder boxes;
    // The box takes the activation, as a real one does when it shows.
    boxes.during = [](HWND) { shown->SendMessage(WM_ACTIVATE, WA_INACTIVE, 0); };
    dialog.InfoMsg(u"MSG_TEST");
    ASSERT_EQ(boxes.asked.size(), 1u);
  }
  Pump(30);
  ASSERT_NE(dialog.GetSafeHwnd(), nullptr) << "closed under its own message box";

  HookedDialog child(u"DLG_TEST", &dialog);
  RunModal(child, [&](CDialog& d) {
    Deactivate(dialog);
    Pump(30);
    d.EndDialog(IDOK);
  });
  Pump(30);
  EXPECT_NE(dialog.GetSafeHwnd(), nullptr) << "closed under its own modal dialog";
}

TEST_F(ModelessDialog, RefusesAModalRunAndMovesWhenDraggedWithDraggingOn) {
  const HWND before = dialog.GetSafeHwnd();
  EXPECT_EQ(dialog.ShowModal(), IDCANCEL);
  EXPECT_EQ(dialog.GetSafeHwnd(), before);
  EXPECT_TRUE(dialog.IsWindowVisible());

  for (bool drag : {false, true}) {
    dialog.SetDragByMouse(drag);
    dialog.SetWindowPos(nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump(20);
    CRect start;
    dialog.GetWindowRect(&start);
    dialog.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    dialog.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 20));
    dialog.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(30, 20));
    Pump(20);
    CRect end;
    dialog.GetWindowRect(&end);
    EXPECT_EQ(end.left - start.left, drag ? 10 : 0) << "dragging " << drag;
    EXPECT_EQ(end.top, start.top);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
  }
}

TEST(ModalDialog, StaysOpenWhenItLosesTheActivation) {
  UseLanguage(u"en-us");
  HookedDialog dialog;
  const INT_PTR result = RunModal(dialog, [&](CDialog& d) {
    d.SendMessage(WM_ACTIVATE, WA_INACTIVE, 0);
    Pump(30);
    d.EndDialog(d.GetSafeHwnd() ? 7 : -5);
  });
  EXPECT_EQ(result, 7);
}

// A control view that holds a list box, or nothing.
class ListView : public CQVCtrlView {
public:
  explicit ListView(bool withControl) : m_withControl(withControl) {}
  CWnd list;

protected:
  CWnd* GetCtrl() override { return m_withControl ? &list : nullptr; }

private:
  bool m_withControl;
};

TEST(Views, AControlViewNeedsItsControlWhichFillsItAndBlankViewsTakeTheDefaultColourOfTheirTime) {
  auto* empty = new ListView(false);
  EXPECT_EQ(MakeFrameWithView(*empty, u"no control", CRect(0, 0, 300, 200)), nullptr);

  auto* view = new ListView(true);
  CFrameWnd* frame = MakeFrameWithView(*view, u"control", CRect(0, 0, 300, 200));
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(view->list.GetSafeHwnd(), nullptr);
  EXPECT_EQ(view->list.GetDlgCtrlID(), 1000);
  CRect client, control;
  view->GetClientRect(&client);
  view->list.GetWindowRect(&control);
  view->ScreenToClient(&control);
  EXPECT_EQ(control, client);
  frame->MoveWindow(0, 0, 400, 260);
  Pump(30);
  view->GetClientRect(&client);
  view->list.GetWindowRect(&control);
  view->ScreenToClient(&control);
  EXPECT_EQ(control, client) << "after a resize";
  frame->DestroyWindow();

  CQVBlankView before;
  CQVBlankView::SetDefaultBackColor(RGB(1, 2, 3));
  CQVBlankView after;
  CQVBlankView::SetDefaultBackColor(RGB(64, 64, 64));
  EXPECT_EQ(before.GetBackColor(), RGB(64, 64, 64));
  EXPECT_EQ(after.GetBackColor(), RGB(1, 2, 3));
}

}  // namespace
