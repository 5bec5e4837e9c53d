#pragma once
// CMenu: the object side of a menu handle. The destructor destroys a menu still attached.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/ui/win/winuser.h"

class CBitmap;
class CWnd;

class CMenu : public CObject {
  DECLARE_DYNCREATE(CMenu)
public:
  CMenu() = default;
  ~CMenu() override;

  HMENU m_hMenu {};
  HMENU GetSafeHmenu() const { return m_hMenu; }
  operator HMENU() const { return m_hMenu; }
  // A wrapper for the handle; wrappers made here are freed at the next idle moment.
  static CMenu* FromHandle(HMENU menu);
  BOOL Attach(HMENU menu);
  HMENU Detach();

  BOOL CreateMenu();
  BOOL CreatePopupMenu();
  BOOL LoadMenuIndirect(const void* menuTemplate, SIZE_T size);
  BOOL DestroyMenu();

  BOOL AppendMenu(UINT flags, UINT_PTR idOrPopup = 0, LPCWSTR text = nullptr);
  BOOL InsertMenu(UINT position, UINT flags, UINT_PTR idOrPopup = 0, LPCWSTR text = nullptr);
  BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idOrPopup = 0, LPCWSTR text = nullptr);
  BOOL DeleteMenu(UINT position, UINT flags);
  BOOL RemoveMenu(UINT position, UINT flags);
  UINT GetMenuItemCount() const;
  UINT GetMenuItemID(int position) const;
  CMenu* GetSubMenu(int position) const;
  UINT GetMenuState(UINT id, UINT flags) const;
  int GetMenuString(UINT id, CString& text, UINT flags) const;
  UINT CheckMenuItem(UINT id, UINT check);
  UINT EnableMenuItem(UINT id, UINT enable);
  BOOL CheckMenuRadioItem(UINT first, UINT last, UINT check, UINT flags);
  BOOL SetMenuItemBitmaps(UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked);
  // The menu keeps pictures of the bitmaps; they may change or go afterwards.
  BOOL SetMenuItemBitmaps(UINT position, UINT flags, const CBitmap* unchecked, const CBitmap* checked);
  BOOL GetMenuItemInfo(UINT item, LPMENUITEMINFOW info, BOOL byPosition = FALSE);
  BOOL SetMenuItemInfo(UINT item, LPCMENUITEMINFOW info, BOOL byPosition = FALSE);
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect = nullptr);
};

// Frees the wrappers FromHandle made (the idle moment calls it).
void AfxDeleteTempMenus();
