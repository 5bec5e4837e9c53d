#include "framework/app/CQVMainFrame.h"

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVAssistantDialog.h"
#include "framework/app/CQVMenu.h"
#include "framework/app/CQVWinApp.h"
#include "platform/core/module.h"


IMPLEMENT_DYNAMIC(CQVMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CQVMainFrame, CFrameWnd)
ON_UPDATE_COMMAND_UI_RANGE(CQVMenu::kFirstLanguageID, CQVMenu::kLastLanguageID, &CQVMainFrame::Menu_Language_OnUpdateUI)
ON_COMMAND_RANGE(CQVMenu::kFirstLanguageID, CQVMenu::kLastLanguageID, &CQVMainFrame::Menu_Language_OnClick)
ON_COMMAND_RANGE(CQVMenu::kFirstSysLayoutID, CQVMenu::kLastSysLayoutID, &CQVMainFrame::Menu_ScreenLayout_Sys_OnClick)
ON_COMMAND_RANGE(CQVMenu::kFirstUserLayoutID, CQVMenu::kLastUserLayoutID, &CQVMainFrame::Menu_ScreenLayout_User_OnClick)
ON_WM_SIZE()
ON_WM_ACTIVATEAPP()
ON_MESSAGE(CQVMainFrame::WM_QV_HELPREQUEST, &CQVMainFrame::OnHelpRequest)
END_MESSAGE_MAP()

namespace {

// The window class of main frames, kept for the life of the process since windows refer to it.
CString& MainFrameClass() {
  static CString name;
  return name;
}

}  // namespace

CQVMainFrame::CQVMainFrame() : m_pMenuClass(RUNTIME_CLASS(CQVMenu)) { CQVWinApp::RegisterMainFrame(this, TRUE); }

CQVMainFrame::~CQVMainFrame() {
  CQVWinApp::RegisterMainFrame(this, FALSE);
  if (m_pAssistant && m_pAssistant->GetSafeHwnd()) m_pAssistant->DestroyWindow();
  m_pAssistant.reset();
  m_menuIcons.Reset();
  m_menu.DestroyMenu();
}

BOOL CQVMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
  if (CQVWinApp* app = CQVWinApp::GetApp()) {
    app->GetMainFrameClass(MainFrameClass());
    if (!MainFrameClass().IsEmpty()) cs.lpszClass = MainFrameClass();
  }
  return TRUE;
}

BOOL CQVMainFrame::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
  if (!CFrameWnd::LoadFrame(resourceId, style, parent, context)) return FALSE;
  if (CQVWinApp::GetMainFrame() == this) SetHelpTarget(m_hWnd);
  UpdateMainTitle();
  UpdateMainMenu();
  return TRUE;
}

BOOL CQVMainFrame::PreTranslateMessage(MSG* msg) {
  if (CQVWinApp::PreTranslateMainFrameMessage(msg, this)) return TRUE;
  return CFrameWnd::PreTranslateMessage(msg);
}

void CQVMainFrame::UpdateMainTitle() { SetWindowText(m_strMainTitle); }

void CQVMainFrame::UpdateMainMenu() {
  if (!m_pMenuClass || !m_pMenuClass->IsDerivedFrom(RUNTIME_CLASS(CQVMenu))) return;
  std::unique_ptr<CQVMenu> builder(static_cast<CQVMenu*>(m_pMenuClass->CreateObject()));
  if (!builder) return;
  HMENU menu = builder->CreateMenu(TRUE);
  if (!menu) return;
  // The new bar is complete before the old one goes, so a failure keeps the old menu.
  const HMENU old = m_menu.Detach();
  if (!m_menu.Attach(menu) || !::SetMenu(m_hWnd, menu)) {
    m_menu.Detach();
    ::DestroyMenu(menu);
    m_menu.Attach(old);
    return;
  }
  if (old) ::DestroyMenu(old);
}

void CQVMainFrame::ResetMenuIcons() {
  // The menu holds the cache's bitmaps, not copies of them.
  SetMenuIcons(m_menu.GetSafeHmenu(), TRUE);
  m_menuIcons.Reset();
  SetMenuIcons(m_menu.GetSafeHmenu(), FALSE);
}

CBitmap* CQVMainFrame::GetMenuIcon(LPCWSTR key, int width, int height, BOOL mirrored) {
  return m_menuIcons.GetBitmap(key, width, height, mirrored);
}

BOOL CQVMainFrame::GetMenuIconIDs(UINT id, CString& key, CString& checkedKey) {
  key.Empty();
  checkedKey.Empty();
  CString name;
  if (!CQVWinApp::FindID(id, name)) return FALSE;
  key = CString(u"MNU_") + name;
  checkedKey = CString(u"MNC_") + name;
  return TRUE;
}

CBitmap* CQVMainFrame::LoadMenuIcon(LPCWSTR key) {
  int cx = GetSystemMetrics(SM_CXMENUCHECK);
  int cy = GetSystemMetrics(SM_CYMENUCHECK);
  return GetMenuIcon(key, cx > 0 ? cx : 12, cy > 0 ? cy : 12, FALSE);
}

void CQVMainFrame::DecorateMenu(HMENU menu) { SetMenuIcons(menu, FALSE); }

void CQVMainFrame::DecorateMenu(CMenu* menu) {
  if (menu) SetMenuIcons(menu->GetSafeHmenu(), FALSE);
}

void CQVMainFrame::SetMenuIcons(HMENU menu, BOOL clear) {
  if (!menu) return;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_SUBMENU | MIIM_ID;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) break;
    if (info.hSubMenu) {
      SetMenuIcons(info.hSubMenu, clear);
      continue;
    }
    CString key;
    CString checkedKey;
    if (!GetMenuIconIDs(info.wID, key, checkedKey)) continue;
    CBitmap* plain = clear ? nullptr : LoadMenuIcon(key);
    CBitmap* checked = clear ? nullptr : LoadMenuIcon(checkedKey);
    SetMenuItemBitmaps(menu, static_cast<UINT>(i), MF_BYPOSITION,
                       plain ? static_cast<HBITMAP>(plain->GetSafeHandle()) : nullptr,
                       checked ? static_cast<HBITMAP>(checked->GetSafeHandle()) : nullptr);
  }
}

void CQVMainFrame::OnLanguageChange() {
  UpdateMainTitle();
  UpdateMainMenu();
}

void CQVMainFrame::OnSelectSysScreenLayout(int) {}

void CQVMainFrame::OnSelectUserScreenLayout(int) {}

void CQVMainFrame::Menu_Language_OnUpdateUI(CCmdUI* cmdUI) {
  CString name;
  CString description;
  int fallback = 0;
  CString current;
  if (!CQVRCM::GetLanguage(static_cast<int>(cmdUI->m_nID - CQVMenu::kFirstLanguageID), name, description, fallback) ||
      !CQVRCM::GetCurrentLanguage(current))
    return;
  if (current.IsEmpty()) cmdUI->SetCheck(fallback != 0);
  else cmdUI->SetCheck(name.CompareNoCase(current) == 0);
}

void CQVMainFrame::Menu_Language_OnClick(UINT id) {
  CString name;
  CString description;
  int fallback = 0;
  if (CQVRCM::GetLanguage(static_cast<int>(id - CQVMenu::kFirstLanguageID), name, description, fallback) &&
      CQVRCM::SetCurrentLanguage(name, GetModuleHandleW(nullptr), FALSE))
    OnLanguageChange();
}

void CQVMainFrame::Menu_ScreenLayout_Sys_OnClick(UINT id) {
  OnSelectSysScreenLayout(static_cast<int>(id - CQVMenu::kFirstSysLayoutID));
}

void CQVMainFrame::Menu_ScreenLayout_User_OnClick(UINT id) {
  OnSelectUserScreenLayout(static_cast<int>(id - CQVMenu::kFirstUserLayoutID));
}
