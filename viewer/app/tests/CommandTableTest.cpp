#include "viewer/app/CMainCommands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::string Name(UINT id) {
  LPCWSTR name = FindViewerCommandName(id);
  return name ? std::string(name, name + std::char_traits<char16_t>::length(name)) : std::string();
}

// Commands a menu or a tool bar offers.
std::set<UINT> OfferedCommands() {
  std::set<UINT> offered;
  for (UINT id : CommandToolBarButtons()) offered.insert(id);
  for (UINT id : ViewToolBarButtons()) offered.insert(id);
  for (auto script : {MainMenuScript(), OutputMenuScript()})
    for (const ViewerMenuItem& item : script)
      if (item.kind == ViewerMenuItem::Command) offered.insert(item.nID);
  offered.erase(0);
  return offered;
}

}  // namespace

TEST(CommandTable, HoldsEveryCommandOnceUnderItsNumberAndName) {
  std::set<UINT> numbers;
  std::set<std::u16string> names;
  UINT previous = 0;
  for (const ViewerCommand& command : ViewerCommands()) {
    EXPECT_GT(command.nID, previous) << Name(command.nID) << " out of order";
    previous = command.nID;
    numbers.insert(command.nID);
    names.insert(command.pszName);
    EXPECT_EQ(std::u16string(command.pszName).rfind(u"CMD_", 0), 0u) << Name(command.nID);
  }
  EXPECT_EQ(ViewerCommands().size(), 65u);
  EXPECT_EQ(numbers.size(), 65u);
  EXPECT_EQ(names.size(), 65u);

  struct Case {
    UINT id;
    const char* name;
  };
  const Case cases[] = {
      {1001, "CMD_APP_SEARCH"}, {1009, "CMD_APP_TBREMAIL"}, {2006, "CMD_VIEW_BROWSERLAYOUT_4_8"},
      {2032, "CMD_VIEW_SHOW_SEARCHRESULTS"}, {3016, "CMD_DOCUMENT_SCROLL_DOWN"}, {4008, "CMD_TOOLS_COPYAREA"},
      {5002, "CMD_HELP_FILE"}, {6005, "CMD_OUTPUT_PRINTHITLIST"}, {8001, "CMD_OTHER_CTRL_1"},
      {8009, "CMD_OTHER_CTRL_9"}, {8010, "CMD_OTHER_CTRL_0"}, {1010, ""}, {0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Name(c.id), c.name) << c.id;
}

TEST(CommandTable, MenusAndBarsOfferEveryCommandButTheHotKeyOnes) {
  const std::set<UINT> offered = OfferedCommands();
  for (const ViewerCommand& command : ViewerCommands()) {
    const bool hotKeyOnly = (command.nID >= ID_DOCUMENT_SCROLL_UP && command.nID <= ID_DOCUMENT_SCROLL_DOWN) ||
                            (command.nID >= ID_OTHER_CTRL_1 && command.nID <= ID_OTHER_CTRL_0);
    EXPECT_EQ(offered.count(command.nID) == 1, !hotKeyOnly) << Name(command.nID);
  }
  for (UINT id : offered) EXPECT_NE(FindViewerCommandName(id), nullptr) << id << " is no command";
  EXPECT_EQ(CommandToolBarButtons().size(), 14u);
  EXPECT_EQ(ViewToolBarButtons().size(), 12u);
}

TEST(CommandTable, MenuScriptsOpenAndCloseTheirPopups) {
  struct Case {
    const char* what;
    std::span<const ViewerMenuItem> script;
    int topLevel;
  };
  const Case cases[] = {{"main menu", MainMenuScript(), 5}, {"output menu", OutputMenuScript(), 1}};
  for (const Case& c : cases) {
    int depth = 0;
    int topLevel = 0;
    for (const ViewerMenuItem& item : c.script) {
      if (item.kind == ViewerMenuItem::BeginPopup) {
        EXPECT_NE(item.pszKey, nullptr) << c.what;
        topLevel += depth == 0;
        ++depth;
      } else if (item.kind == ViewerMenuItem::EndPopup) {
        --depth;
        EXPECT_GE(depth, 0) << c.what;
      } else {
        EXPECT_GT(depth, 0) << c.what << ": an item outside every pop-up";
      }
    }
    EXPECT_EQ(depth, 0) << c.what;
    EXPECT_EQ(topLevel, c.topLevel) << c.what;
  }
}
