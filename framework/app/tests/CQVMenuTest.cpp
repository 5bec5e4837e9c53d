// Scripted menus: texts by key and by command name, hot-key texts, the language pop-up in both
// languages, and pop-up menus that answer the chosen command.

#include "SpineTestApp.h"

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVHotKeyList.h"
#include "framework/app/CQVMenu.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class MainMenu : public CQVMenu {
public:
  bool withPopup { true };

protected:
  void Menu_Script() override {
    if (withPopup) {
      BeginPopupMenu(u"MNU_FILE");
      AddItem(ID_FILE_OPEN, FALSE, FALSE);
      AddItem(ID_CUT, u"MNU_CUT", TRUE, FALSE);
      AddItem(ID_NO_TEXT, FALSE, TRUE);
      EndPopup();
      Menu_Language_Script();
    } else {
      AddItem(ID_FILE_OPEN, FALSE, FALSE);
    }
  }
};

CString TextAt(HMENU menu, int position) {
  WCHAR text[128] {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
  return CString(text);
}

struct Item {
  UINT id;
  const char16_t* text;
  UINT state;
};

void ExpectItems(HMENU menu, const std::vector<Item>& items, const char* which) {
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(items.size())) << which;
  for (size_t i = 0; i < items.size(); ++i) {
    const int at = static_cast<int>(i);
    EXPECT_EQ(GetMenuItemID(menu, at), items[i].id) << which << " item " << i;
    EXPECT_EQ(TextAt(menu, at), CString(items[i].text)) << which << " item " << i;
    EXPECT_EQ(GetMenuState(menu, static_cast<UINT>(at), MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED), items[i].state)
        << which << " item " << i;
  }
}

class Menus : public ::testing::Test {
protected:
  void SetUp() override {
    app = std::make_unique<SpineTestApp>();
    ASSERT_TRUE(app->InitHotKeyList(u"SPINE_HOTKEYS", RUNTIME_CLASS(CQVHotKeyList)));
  }
  void TearDown() override {
    CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE);
    app.reset();
  }

  std::unique_ptr<SpineTestApp> app;
};

TEST_F(Menus, ItemsShowTheirTextsAndKeysInTheCurrentLanguage) {
  const struct {
    const char16_t* language;
    const char16_t* file;
    const char16_t* open;
    const char16_t* cut;
    const char16_t* languages;
  } languages[] = {
      {u"en-us", u"&File", u"&Open...\tCtrl+O", u"Cu&t\tCtrl+X", u"&Language"},
      {u"de-de", u"&Datei", u"Ö&ffnen...\tStrg+O", u"&Ausschneiden\tStrg+X", u"&Sprache"},
  };
  for (const auto& l : languages) {
    ASSERT_TRUE(CQVRCM::SetCurrentLanguage(l.language, nullptr, FALSE));
    MainMenu menu;
    menu.SetShowHotKeys(TRUE);
    HMENU bar = menu.CreateMenu(FALSE);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(menu.GetSafeHmenu(), nullptr) << "the handle is the caller's";
    ExpectItems(bar, {{static_cast<UINT>(-1), l.file, 0}, {static_cast<UINT>(-1), l.languages, 0}}, "bar");
    ExpectItems(GetSubMenu(bar, 0),
                {{ID_FILE_OPEN, l.open, 0}, {ID_CUT, l.cut, MF_CHECKED}, {ID_NO_TEXT, u"", MF_GRAYED}}, "file");
    ExpectItems(GetSubMenu(bar, 1), {{30000, u"English", 0}, {30001, u"Deutsch", 0}}, "languages");
    DestroyMenu(bar);
  }

  CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE);
  MainMenu plain;
  ASSERT_TRUE(plain.Create(FALSE));
  EXPECT_EQ(TextAt(plain.GetSubMenu(0)->GetSafeHmenu(), 0), CString(u"&Open...")) << "keys only when asked";
}

std::vector<Logged> g_owned;

LRESULT RecordOwned(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND || message == WM_INITMENUPOPUP) g_owned.push_back({hwnd, message, wParam, lParam});
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void ChooseInNextPopup(UINT id) {
  QTimer::singleShot(20, [id] {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!popup) return;
    for (QAction* a : popup->actions())
      if (a->data().toUInt() == id) popup->setActiveAction(a);
    QTest::keyClick(popup, id ? Qt::Key_Return : Qt::Key_Escape);
  });
}

TEST_F(Menus, APopUpMenuAnswersTheChosenCommand) {
  HWND owner = MakeParentWindow(u"SpineMenuOwner", RecordOwned);
  ASSERT_NE(owner, nullptr);
  MainMenu menu;

  g_owned.clear();
  ChooseInNextPopup(ID_CUT);
  EXPECT_EQ(menu.TrackPopupMenu(50, 50, TPM_RETURNCMD, CWnd::FromHandle(owner), FALSE), ID_CUT);
  Pump(30);
  EXPECT_EQ(g_owned.size(), 1u) << "only the pop-up's opening; nothing posted with TPM_RETURNCMD";

  g_owned.clear();
  ChooseInNextPopup(ID_FILE_OPEN);
  EXPECT_EQ(menu.TrackPopupMenu(50, 50, 0, CWnd::FromHandle(owner), FALSE), ID_FILE_OPEN);
  ASSERT_TRUE(PumpUntil([] { return g_owned.size() == 2; }));
  EXPECT_EQ(g_owned[1].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(LOWORD(g_owned[1].wParam), ID_FILE_OPEN);

  ChooseInNextPopup(0);
  EXPECT_EQ(menu.TrackPopupMenu(50, 50, 0, CWnd::FromHandle(owner), FALSE), 0u) << "dismissed";

  g_owned.clear();
  menu.withPopup = false;
  EXPECT_EQ(menu.TrackPopupMenu(50, 50, TPM_RETURNCMD, CWnd::FromHandle(owner), FALSE), 0u);
  EXPECT_TRUE(g_owned.empty()) << "a menu without a pop-up shows nothing";
  DestroyWindow(owner);
}

}  // namespace
