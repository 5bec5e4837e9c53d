#pragma once
// The viewer's menus, built from the scripts of the command table: the main menu bar (file, view,
// document, tools, help) and the output pop-up of the results list. Command items show the
// command's label ("TXT_" + its name) and its hot key.

#include "framework/app/CQVMenu.h"
#include "viewer/app/CMainCommands.h"

#include <span>

class CMainMenuBase : public CQVMenu {
  DECLARE_DYNAMIC(CMainMenuBase)
public:
  CMainMenuBase() { SetShowHotKeys(TRUE); }

protected:
  void RunScript(std::span<const ViewerMenuItem> script);
};

class CMainMenu : public CMainMenuBase {
  DECLARE_DYNCREATE(CMainMenu)
protected:
  void Menu_Script() override { RunScript(MainMenuScript()); }
};

class COutputMenu : public CMainMenuBase {
  DECLARE_DYNCREATE(COutputMenu)
protected:
  void Menu_Script() override { RunScript(OutputMenuScript()); }
};
