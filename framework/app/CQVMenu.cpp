#include "framework/app/CQVMenu.h"

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVMainFrame.h"
#include "framework/app/CQVWinApp.h"
#include "platform/core/CException.h"
#include "platform/sdk/CQVException.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/afx/CWnd.h"

IMPLEMENT_DYNCREATE(CQVMenu, CDPXMenu)

BOOL CQVMenu::Create(BOOL decorate) {
  DestroyMenu();
  try {
    BeginMenu();
    Menu_Script();
    EndMenu();
  } catch (CException* e) {
    e->Delete();
    DestroyMenu();
    return FALSE;
  }
  if (decorate) {
    if (CQVMainFrame* frame = CQVWinApp::GetMainFrame()) frame->DecorateMenu(this);
  }
  return TRUE;
}

HMENU CQVMenu::CreateMenu(BOOL decorate) { return Create(decorate) ? Detach() : nullptr; }

UINT CQVMenu::TrackPopupMenu(int x, int y, UINT flags, CWnd* owner, BOOL decorate) {
  if (!Create(decorate)) return 0;
  CMenu* popup = GetSubMenu(0);
  if (!popup) return 0;
  if (!owner) owner = CQVWinApp::GetMainFrame();
  const HWND hwnd = owner ? owner->GetSafeHwnd() : nullptr;
  const UINT id = static_cast<UINT>(::TrackPopupMenu(popup->GetSafeHmenu(), flags | TPM_RETURNCMD, x, y, 0, hwnd, nullptr));
  if (id && !(flags & TPM_RETURNCMD) && hwnd) PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  return id;
}

void CQVMenu::Menu_Language_GetTitle(CString& title) { LoadText(u"QVMENU_DEFAULTMENU_LANGUAGE", title); }

void CQVMenu::Menu_Script() { Menu_Language_Script(); }

void CQVMenu::BeginPopupMenu(UINT id, LPCWSTR key) {
  CString title;
  LoadText(key, title);
  BeginPopup(id, title);
}

void CQVMenu::AddItem(UINT id, LPCWSTR key, BOOL checked, BOOL grayed) {
  CString text;
  LoadText(key, text);
  AddCommand(id, text, checked, grayed);
}

void CQVMenu::AddItem(UINT id, BOOL checked, BOOL grayed) {
  CString text;
  CQVWinApp::LoadIDText_MNU(id, text, GetRCMModule());
  AddCommand(id, text, checked, grayed);
}

void CQVMenu::AddCommand(UINT id, CString text, BOOL checked, BOOL grayed) {
  CString keyText;
  if (m_bShowHotKeys && CQVWinApp::FindKeyDescription(id, keyText)) text += CString(u"\t") + keyText;
  CDPXMenu::AddItem(id, text, checked, grayed);
}

void CQVMenu::Menu_Language_Script() {
  const int count = CQVRCM::GetLanguageCount();
  if (count <= 0) return;
  CString title;
  Menu_Language_GetTitle(title);
  BeginPopup(kPopupID, title);
  for (int i = 0; i < count && kFirstLanguageID + static_cast<UINT>(i) <= kLastLanguageID; ++i) {
    CString name;
    CString description;
    int fallback = 0;
    if (!CQVRCM::GetLanguage(i, name, description, fallback)) CQVException::Throw();
    CDPXMenu::AddItem(kFirstLanguageID + static_cast<UINT>(i), description, FALSE, FALSE);
  }
  EndPopup();
}
