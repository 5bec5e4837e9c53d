// CQVMenu, the screen-layout pop-ups: the layouts of a profile or of the shared store as command
// items, kept here beside the layout classes they read.

#include "framework/app/CQVMenu.h"

#include "framework/layouts/CQVSCLManager.h"
#include "framework/layouts/CQVScreenLayoutProfile.h"
#include "platform/sdk/CQVException.h"

void CQVMenu::Menu_ScreenLayout_Sys_Script(CQVScreenLayoutProfile& profile) {
  Menu_ScreenLayout_Script(profile, kFirstSysLayoutID, kLastSysLayoutID);
}

void CQVMenu::Menu_ScreenLayout_Sys_Script(CQVSCLManager& store) {
  Menu_ScreenLayout_Script(store, kFirstSysLayoutID, kLastSysLayoutID);
}

void CQVMenu::Menu_ScreenLayout_User_Script(CQVScreenLayoutProfile& profile) {
  Menu_ScreenLayout_Script(profile, kFirstUserLayoutID, kLastUserLayoutID);
}

void CQVMenu::Menu_ScreenLayout_User_Script(CQVSCLManager& store) {
  Menu_ScreenLayout_Script(store, kFirstUserLayoutID, kLastUserLayoutID);
}

void CQVMenu::Menu_ScreenLayout_Script(CQVScreenLayoutProfile& profile, UINT firstID, UINT lastID) {
  const int count = profile.GetLayoutCount();
  for (int i = 0; i < count && firstID + static_cast<UINT>(i) <= lastID; ++i) {
    CString title;
    if (!profile.GetLayoutName(i, title)) CQVException::Throw();
    CDPXMenu::AddItem(firstID + static_cast<UINT>(i), title, FALSE, FALSE);
  }
}

void CQVMenu::Menu_ScreenLayout_Script(CQVSCLManager& store, UINT firstID, UINT lastID) {
  const int count = store.IDList_GetCount();
  for (int i = 0; i < count && firstID + static_cast<UINT>(i) <= lastID; ++i) {
    CString name;
    if (!store.IDList_GetDisplayName(i, name)) return;
    CDPXMenu::AddItem(firstID + static_cast<UINT>(i), name, FALSE, FALSE);
  }
}
