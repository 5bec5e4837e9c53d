// The menu builder: the template it writes, misuse, breaks, empty pop-ups, and keeping the menu
// it held when a new one cannot be made.

#include "foundation/util/CDPXException.h"
#include "foundation/util/CDPXMenu.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Exposes the break flags a derived menu sets.
class BreakingMenu : public CDPXMenu {
public:
  void Break(BOOL withBar) {
    m_bBreakPending = TRUE;
    m_bBreakWithBar = withBar;
  }
};

bool Throws(const std::function<void()>& step) {
  try {
    step();
  } catch (CException* e) {
    e->Delete();
    return true;
  }
  return false;
}

CString Text(HMENU menu, UINT position) {
  CString text;
  CMenu::FromHandle(menu)->GetMenuString(position, text, MF_BYPOSITION);
  return text;
}

TEST(CDPXMenu, APopupWithTwoItemsBecomesAOnePopupMenuBar) {
  CDPXMenu menu;
  menu.BeginMenu();
  menu.BeginPopup(32000, u"File");
  menu.AddItem(100, u"Open", FALSE, FALSE);
  menu.AddItem(101, u"", TRUE, TRUE);
  menu.EndPopup();
  menu.EndMenu();
  ASSERT_TRUE(menu.GetSafeHmenu());
  ASSERT_EQ(menu.GetMenuItemCount(), 1u);
  EXPECT_EQ(Text(menu, 0), CString(u"File"));
  CMenu* file = menu.GetSubMenu(0);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(file->GetMenuItemCount(), 2u);
  EXPECT_EQ(file->GetMenuItemID(0), 100u);
  EXPECT_EQ(file->GetMenuItemID(1), 101u);
  EXPECT_EQ(Text(*file, 1), CString(u""));  // an empty text is the terminator only
  EXPECT_EQ(file->GetMenuState(101, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED), static_cast<UINT>(MF_CHECKED | MF_GRAYED));
}

TEST(CDPXMenu, MisusedLevelsRaiseTheException) {
  CDPXMenu menu;
  EXPECT_TRUE(Throws([&] { menu.AddItem(1, u"x", FALSE, FALSE); }));
  EXPECT_TRUE(Throws([&] { menu.EndMenu(); }));
  menu.BeginMenu();
  EXPECT_TRUE(Throws([&] { menu.EndPopup(); }));
  EXPECT_TRUE(Throws([&] { menu.BeginMenu(); }));
  menu.BeginPopup(1, u"p");
  menu.AddItem(2, u"i", FALSE, FALSE);
  EXPECT_TRUE(Throws([&] { menu.EndMenu(); }));
  menu.EndPopup();
  EXPECT_FALSE(Throws([&] { menu.EndMenu(); }));
}

TEST(CDPXMenu, ABreakAppliesToTheNextItemOnly) {
  struct Case {
    BOOL withBar;
    UINT expected;
  };
  for (const Case& c : {Case {TRUE, MF_MENUBARBREAK}, Case {FALSE, MF_MENUBREAK}}) {
    BreakingMenu menu;
    menu.BeginMenu();
    menu.BeginPopup(1, u"p");
    menu.AddItem(10, u"a", FALSE, FALSE);
    menu.Break(c.withBar);
    menu.AddItem(11, u"b", FALSE, FALSE);
    menu.AddItem(12, u"c", FALSE, FALSE);
    menu.EndPopup();
    menu.EndMenu();
    CMenu* popup = menu.GetSubMenu(0);
    EXPECT_EQ(popup->GetMenuState(11, MF_BYCOMMAND) & (MF_MENUBREAK | MF_MENUBARBREAK), c.expected);
    EXPECT_EQ(popup->GetMenuState(12, MF_BYCOMMAND) & (MF_MENUBREAK | MF_MENUBARBREAK), 0u);
  }
}

TEST(CDPXMenu, EmptyPopupsAreLeftOutAndAnEmptyMenuIsEmpty) {
  CDPXMenu menu;
  menu.BeginMenu();
  menu.BeginPopup(1, u"Full");
  menu.AddItem(10, u"a", FALSE, FALSE);
  menu.BeginPopup(2, u"Empty inside");
  menu.EndPopup();
  menu.EndPopup();
  menu.BeginPopup(3, u"Only empty ones");
  menu.BeginPopup(4, u"Empty");
  menu.EndPopup();
  menu.EndPopup();
  menu.EndMenu();
  ASSERT_EQ(menu.GetMenuItemCount(), 1u);
  EXPECT_EQ(Text(menu, 0), CString(u"Full"));
  EXPECT_EQ(menu.GetSubMenu(0)->GetMenuItemCount(), 1u);

  CDPXMenu empty;
  empty.BeginMenu();
  empty.EndMenu();
  ASSERT_TRUE(empty.GetSafeHmenu());
  EXPECT_EQ(empty.GetMenuItemCount(), 0u);
}

TEST(CDPXMenu, ANewDefinitionReplacesTheHeldMenu) {
  CDPXMenu menu;
  menu.BeginMenu();
  menu.AddItem(1, u"first", FALSE, FALSE);
  menu.EndMenu();
  HMENU first = menu.GetSafeHmenu();
  menu.BeginMenu();
  menu.AddItem(2, u"second", FALSE, FALSE);
  menu.EndMenu();
  EXPECT_FALSE(IsMenu(first));
  EXPECT_EQ(menu.GetMenuItemID(0), 2u);
  // Ending a definition that is still open fails and keeps the menu that was held; the
  // definition can still be finished.
  menu.BeginMenu();
  menu.BeginPopup(5, u"open");
  EXPECT_TRUE(Throws([&] { menu.EndMenu(); }));
  EXPECT_EQ(menu.GetMenuItemID(0), 2u);
  menu.AddItem(6, u"inside", FALSE, FALSE);
  menu.EndPopup();
  menu.EndMenu();
  EXPECT_EQ(menu.GetSubMenu(0)->GetMenuItemID(0), 6u);
}

}  // namespace
