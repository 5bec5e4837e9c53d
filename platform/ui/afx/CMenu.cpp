#include "platform/ui/afx/CMenu.h"

#include "platform/gdi/CBitmap.h"
#include "platform/ui/afx/CWnd.h"

#include <map>
#include <memory>

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {

std::map<HMENU, std::unique_ptr<CMenu>>& TempMenus() {
  static std::map<HMENU, std::unique_ptr<CMenu>> temps;
  return temps;
}

}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandle(HMENU menu) {
  if (!menu) return nullptr;
  auto& temp = TempMenus()[menu];
  if (!temp) {
    temp = std::make_unique<CMenu>();
    temp->m_hMenu = menu;
  }
  return temp.get();
}

void AfxDeleteTempMenus() {
  // A wrapper never destroys the menu it stands for.
  for (auto& [h, m] : TempMenus()) m->m_hMenu = nullptr;
  TempMenus().clear();
}

CMenu* AfxMenuFromHandle(HMENU menu) { return CMenu::FromHandle(menu); }

BOOL CMenu::Attach(HMENU menu) {
  if (m_hMenu || !menu) return FALSE;
  m_hMenu = menu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU menu = m_hMenu;
  m_hMenu = nullptr;
  return menu;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
BOOL CMenu::LoadMenuIndirect(const void* menuTemplate, SIZE_T size) {
  return Attach(::LoadMenuIndirectW(menuTemplate, size));
}

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  BOOL ok = ::DestroyMenu(m_hMenu);
  m_hMenu = nullptr;
  return ok;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  return ::AppendMenuW(m_hMenu, flags, idOrPopup, text);
}
BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  return ::InsertMenuW(m_hMenu, position, flags, idOrPopup, text);
}
BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  return ::ModifyMenuW(m_hMenu, position, flags, idOrPopup, text);
}
BOOL CMenu::DeleteMenu(UINT position, UINT flags) { return ::DeleteMenu(m_hMenu, position, flags); }
BOOL CMenu::RemoveMenu(UINT position, UINT flags) { return ::RemoveMenu(m_hMenu, position, flags); }
UINT CMenu::GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }
UINT CMenu::GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
CMenu* CMenu::GetSubMenu(int position) const { return FromHandle(::GetSubMenu(m_hMenu, position)); }
UINT CMenu::GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }

int CMenu::GetMenuString(UINT id, CString& text, UINT flags) const {
  int length = ::GetMenuStringW(m_hMenu, id, nullptr, 0, flags);
  int n = ::GetMenuStringW(m_hMenu, id, text.GetBufferSetLength(length), length + 1, flags);
  text.ReleaseBuffer(n);
  return n;
}

UINT CMenu::CheckMenuItem(UINT id, UINT check) { return ::CheckMenuItem(m_hMenu, id, check); }
UINT CMenu::EnableMenuItem(UINT id, UINT enable) { return static_cast<UINT>(::EnableMenuItem(m_hMenu, id, enable)); }
BOOL CMenu::CheckMenuRadioItem(UINT first, UINT last, UINT check, UINT flags) {
  return ::CheckMenuRadioItem(m_hMenu, first, last, check, flags);
}
BOOL CMenu::SetMenuItemBitmaps(UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked) {
  return ::SetMenuItemBitmaps(m_hMenu, position, flags, unchecked, checked);
}
BOOL CMenu::SetMenuItemBitmaps(UINT position, UINT flags, const CBitmap* unchecked, const CBitmap* checked) {
  return ::SetMenuItemBitmaps(m_hMenu, position, flags,
                              unchecked ? static_cast<HBITMAP>(unchecked->GetSafeHandle()) : nullptr,
                              checked ? static_cast<HBITMAP>(checked->GetSafeHandle()) : nullptr);
}

BOOL CMenu::GetMenuItemInfo(UINT item, LPMENUITEMINFOW info, BOOL byPosition) {
  return ::GetMenuItemInfoW(m_hMenu, item, byPosition, info);
}
BOOL CMenu::SetMenuItemInfo(UINT item, LPCMENUITEMINFOW info, BOOL byPosition) {
  return ::SetMenuItemInfoW(m_hMenu, item, byPosition, info);
}
BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect) {
  return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner ? owner->GetSafeHwnd() : nullptr, rect);
}
