#pragma once
// CQVMenu: the base of the framework's menus, the main menu bar and context menus. A derived menu
// writes its items in Menu_Script with command IDs and text keys; the texts come from the language
// files of the object's module, each command item may show its hot key after a tab, and the
// language pop-up lists the languages of the main program's language file.
//
// Generated command IDs: 32000 for a pop-up opened by key alone and the language pop-up, 30000 + i
// for language i (at most 200), 30200 + i and 30400 + i for system and user screen layouts.

#include "foundation/language/CQVRCMModule.h"
#include "foundation/util/CDPXMenu.h"

class CQVSCLManager;
class CQVScreenLayoutProfile;
class CWnd;

class CQVMenu : public CDPXMenu, public virtual CQVRCMModule {
  DECLARE_DYNCREATE(CQVMenu)
public:
  static constexpr UINT kPopupID = 32000;
  static constexpr UINT kFirstLanguageID = 30000;
  static constexpr UINT kLastLanguageID = 30199;
  static constexpr UINT kFirstSysLayoutID = 30200;
  static constexpr UINT kLastSysLayoutID = 30399;
  static constexpr UINT kFirstUserLayoutID = 30400;
  static constexpr UINT kLastUserLayoutID = 30599;

  // Builds the menu into the object, replacing the one it held; FALSE, with no menu held, when the
  // script fails. `decorate` asks the main frame to put the command icons on.
  BOOL Create(BOOL decorate);
  // Create, then the menu is the caller's; null on failure.
  HMENU CreateMenu(BOOL decorate);
  // Shows the first pop-up of the built menu at the screen point, owned by `owner` (null: the main
  // window). Answers the command chosen (0 for none); unless the flags hold TPM_RETURNCMD the
  // command is also posted to the owner. Nothing is shown when the menu has no pop-up.
  UINT TrackPopupMenu(int x, int y, UINT flags, CWnd* owner, BOOL decorate);

  void SetShowHotKeys(BOOL show) { m_bShowHotKeys = show; }
  BOOL GetShowHotKeys() const { return m_bShowHotKeys; }

protected:
  virtual void Menu_Language_GetTitle(CString& title);
  // Base: the language pop-up alone.
  virtual void Menu_Script();

  // A pop-up titled with the key's text (empty when the language files have none).
  void BeginPopupMenu(UINT id, LPCWSTR key);
  void BeginPopupMenu(LPCWSTR key) { BeginPopupMenu(kPopupID, key); }
  // A command item titled with the key's text, or with the "MNU_" text of the command's name.
  void AddItem(UINT id, LPCWSTR key, BOOL checked, BOOL grayed);
  void AddItem(UINT id, BOOL checked, BOOL grayed);
  // The pop-up of the languages; nothing when the language file has none. A language that cannot
  // be read fails the whole menu.
  void Menu_Language_Script();
  // The saved screen layouts of a profile or of the shared store (its cached list), one item each
  // in the pop-up that is open, titled with the layout's name: system layouts from 30200, user
  // layouts from 30400, at most 200 each. A profile's layout whose name cannot be read fails the
  // whole menu; the store's list ends at the first layout that cannot be read.
  void Menu_ScreenLayout_Sys_Script(CQVScreenLayoutProfile& profile);
  void Menu_ScreenLayout_Sys_Script(CQVSCLManager& store);
  void Menu_ScreenLayout_User_Script(CQVScreenLayoutProfile& profile);
  void Menu_ScreenLayout_User_Script(CQVSCLManager& store);

private:
  void AddCommand(UINT id, CString text, BOOL checked, BOOL grayed);
  void Menu_ScreenLayout_Script(CQVScreenLayoutProfile& profile, UINT firstID, UINT lastID);
  void Menu_ScreenLayout_Script(CQVSCLManager& store, UINT firstID, UINT lastID);

  BOOL m_bShowHotKeys { FALSE };
};
