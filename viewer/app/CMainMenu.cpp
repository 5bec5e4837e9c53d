#include "viewer/app/CMainMenu.h"

#include "framework/app/CQVWinApp.h"

IMPLEMENT_DYNAMIC(CMainMenuBase, CQVMenu)
IMPLEMENT_DYNCREATE(CMainMenu, CMainMenuBase)
IMPLEMENT_DYNCREATE(COutputMenu, CMainMenuBase)

void CMainMenuBase::RunScript(std::span<const ViewerMenuItem> script) {
  for (const ViewerMenuItem& item : script) {
    switch (item.kind) {
      case ViewerMenuItem::Command: {
        CString key;
        CQVWinApp::FindID_TXT(item.nID, key);
        AddItem(item.nID, key, FALSE, FALSE);
        break;
      }
      case ViewerMenuItem::Separator: CDPXMenu::AddItem(0, u"", FALSE, FALSE); break;
      case ViewerMenuItem::BeginPopup: BeginPopupMenu(item.pszKey); break;
      case ViewerMenuItem::EndPopup: EndPopup(); break;
      case ViewerMenuItem::LanguageList: Menu_Language_Script(); break;
    }
  }
}
