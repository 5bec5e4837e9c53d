#pragma once
// CDPXMenu: a menu built in code. Between BeginMenu and EndMenu the caller opens and closes pop-up
// levels and adds command items with their final texts; EndMenu writes the items as a standard
// in-memory menu template and loads it into the object. Misuse of the levels and failed steps
// raise CDPXException.
//
// A pop-up that received no items is left out of the template (it would not be a valid one), and
// the menu held before is replaced only once the new one has loaded.

#include "foundation/util/CDPXObList.h"
#include "platform/ui/afx/CMenu.h"

class __CDPXMenuItem : public CObject {
  DECLARE_DYNCREATE(__CDPXMenuItem)
public:
  BOOL m_bRoot { FALSE };
  WORD m_nFlags { 0 };  // MF_GRAYED, MF_CHECKED, MF_POPUP, MF_MENUBARBREAK, MF_MENUBREAK, MF_OWNERDRAW
  UINT m_nID { 0 };     // written as 16 bits
  CString m_strText;
  CDPXObList m_children;  // owned items, in the order they were added
};

class CDPXMenu : public CMenu {
  DECLARE_DYNCREATE(CDPXMenu)
public:
  CDPXMenu() = default;
  ~CDPXMenu() override;

  void BeginMenu();
  void BeginPopup(UINT id, LPCWSTR text);
  void AddItem(UINT id, LPCWSTR text, BOOL checked, BOOL grayed);
  void EndPopup();
  void EndMenu();

protected:
  // Set by a derived menu between BeginMenu and EndMenu.
  BOOL m_bBreakPending { FALSE };
  BOOL m_bBreakWithBar { FALSE };
  BOOL m_bOwnerDraw { FALSE };

private:
  __CDPXMenuItem* AddChild(WORD flags, UINT id, LPCWSTR text);
  void ResetDefinition();

  __CDPXMenuItem* m_pRoot { nullptr };
  CDPXObList m_levels;  // borrowed: the root at the head, the innermost open pop-up at the tail
};
