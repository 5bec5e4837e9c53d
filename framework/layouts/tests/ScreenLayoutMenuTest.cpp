// The scripted menus' screen-layout pop-ups: the layouts of a profile and of the shared store as
// command items in their ID ranges, titled with the layouts' names.

#include "framework/app/CQVMenu.h"
#include "framework/layouts/CQVSCLItem.h"
#include "framework/layouts/CQVSCLManager.h"
#include "framework/layouts/CQVScreenLayoutProfile.h"
#include "framework/layouts/tests/LayoutsTestApp.h"

#include "platform/ui/win/winuser.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// Two pop-ups: the profile's layouts as system layouts, the store's as user layouts.
class LayoutMenu : public CQVMenu {
public:
  CQVScreenLayoutProfile* profile {};
  CQVSCLManager* store {};

protected:
  void Menu_Script() override {
    BeginPopupMenu(u"MNU_SYSTEM");
    Menu_ScreenLayout_Sys_Script(*profile);
    EndPopup();
    BeginPopupMenu(u"MNU_USER");
    Menu_ScreenLayout_User_Script(*store);
    EndPopup();
  }
};

struct Item {
  UINT id;
  std::string text;
  bool operator==(const Item& o) const { return id == o.id && text == o.text; }
};

void PrintTo(const Item& item, std::ostream* out) { *out << item.id << " \"" << item.text << "\""; }

std::vector<Item> Items(HMENU menu) {
  std::vector<Item> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    WCHAR text[64] {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    items.push_back({GetMenuItemID(menu, i), CString(text).ToUtf8()});
  }
  return items;
}

class ScreenLayoutMenus : public ::testing::Test {
protected:
  void SetUp() override {
    app = std::make_unique<LayoutsTestApp>();
    profile.SetFilename(app->Path("layouts.ini"));
    const CString root = app->Path("store/");
    QDir().mkpath(QString::fromStdString(root.ToUtf8()));
    store.SetRootDir(root);
    menu.profile = &profile;
    menu.store = &store;
  }
  void TearDown() override { app.reset(); }

  void Store(LPCWSTR id, LPCWSTR displayName) {
    ASSERT_TRUE(store.Create(id));
    CQVSCLItem item;
    ASSERT_TRUE(store.Open(id, &item, FALSE));
    item.Set(u"SCL.DisplayName", displayName);
    ASSERT_TRUE(store.Close(id, &item));
  }

  std::unique_ptr<LayoutsTestApp> app;
  CQVScreenLayoutProfile profile;
  CQVSCLManager store;
  LayoutMenu menu;
};

TEST_F(ScreenLayoutMenus, LayoutsOfAProfileAndOfTheStoreFillTheirRanges) {
  profile.CreateLayout(u"Default");
  profile.SetLayoutInfo(profile.CreateLayout(u"Review"), u"Title", u"STR_LAYOUT_REVIEW");
  Store(u"Night", u"Night & day");
  Store(u"Early", u"Early shift");
  store.IDList_Refresh();
  ASSERT_TRUE(menu.Create(FALSE));
  EXPECT_EQ(Items(GetSubMenu(menu.GetSafeHmenu(), 0)), (std::vector<Item> {{30200, "Default"}, {30201, "Reviewing"}}));
  EXPECT_EQ(Items(GetSubMenu(menu.GetSafeHmenu(), 1)), (std::vector<Item> {{30400, "Early shift"}, {30401, "Night & day"}}))
      << "names are texts, not text keys, in the order of the store's list";
}

TEST_F(ScreenLayoutMenus, EachRangeEndsAfterTwoHundredLayoutsAndEmptyListsAddNothing) {
  std::string sections;
  for (int i = 0; i < 201; ++i) sections += "[L" + std::to_string(i) + "]\r\n";
  WriteBytes(app->Path("layouts.ini"), sections);
  profile.SetFilename(app->Path("layouts.ini"));
  ASSERT_TRUE(menu.Create(FALSE));
  const std::vector<Item> system = Items(GetSubMenu(menu.GetSafeHmenu(), 0));
  ASSERT_EQ(system.size(), 200u);
  EXPECT_EQ(system.back(), (Item {30399, "L199"}));
  EXPECT_TRUE(Items(GetSubMenu(menu.GetSafeHmenu(), 1)).empty()) << "the store's list was never refreshed";
}

}  // namespace
