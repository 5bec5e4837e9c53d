#pragma once
// CCmdTarget: an object that takes commands through a message map, and CCmdUI, the object that
// asks a command's update handler whether it is enabled, checked or what its text is.
//
// A message map is a table per class with a link to its base class's table. Command routing
// (OnCmdMsg) looks a command up in this object's table and its bases'; frames, views and
// documents pass a command on to each other in a fixed order (see CFrameWnd).

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/ui/win/winuser.h"

class CCmdTarget;
class CCmdUI;
class CMenu;
class CWnd;

// Notification codes that OnCmdMsg takes besides a control's own codes.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI (static_cast<UINT>(-1))

// Messages of the framework itself (reflection adds WM_REFLECT_BASE to a message).
#define WM_SIZEPARENT 0x0361
#define WM_SETMESSAGESTRING 0x0362
#define WM_IDLEUPDATECMDUI 0x0363
#define WM_INITIALUPDATE 0x0364
#define WM_RECALCPARENT 0x0368
#define WM_KICKIDLE 0x036A
#define WM_REFLECT_BASE 0xBC00

enum class AfxKind : UINT {
  End,
  Message,       // a window message: LRESULT (WPARAM, LPARAM) through a cracker
  Command,       // void ()
  CommandRange,  // void (UINT id)
  CommandEx,     // BOOL (UINT id): FALSE routes on
  UpdateUI,      // void (CCmdUI*)
  UpdateUIRange, // void (CCmdUI*)
  Notify,        // void (NMHDR*, LRESULT*)
  NotifyRange,   // void (UINT id, NMHDR*, LRESULT*)
  NotifyEx,      // BOOL (UINT id, NMHDR*, LRESULT*): FALSE routes on
};

// What a command handler receives besides its ID: a CCmdUI for update handlers, the header and
// the result slot for notifications.
struct AFX_NOTIFY {
  LRESULT* pResult;
  NMHDR* pNMHDR;
};

using AFX_THUNK = LRESULT (*)(CCmdTarget* target, UINT id, WPARAM wParam, LPARAM lParam, void* extra);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;
  UINT nID;
  UINT nLastID;
  AfxKind kind;
  AFX_THUNK pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// When OnCmdMsg is given one, it only reports whether a handler exists.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget;
};

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
public:
  // Routes a command (nCode CN_COMMAND, CN_UPDATE_COMMAND_UI, a control's notification code, or
  // MAKELONG(code, WM_NOTIFY)); TRUE when a handler took it.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  // The entry of this object's map chain for a window message, or null.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message) const;

protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

// The state of one command in a menu, a tool bar or a test, handed to its update handler.
class CCmdUI {
public:
  virtual ~CCmdUI() = default;
  virtual void Enable(BOOL on = TRUE);
  virtual void SetCheck(int check = 1);
  virtual void SetRadio(BOOL on = TRUE);
  virtual void SetText(LPCWSTR text);
  // Asks the target's handlers; with disableIfNoHandler an item whose command nobody handles is
  // disabled (menus do this).
  BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler);

  UINT m_nID {};
  UINT m_nIndex {};
  CMenu* m_pMenu {};     // the menu that holds the item, for menu updates
  CMenu* m_pSubMenu {};  // the item's sub-menu, when it is a pop-up
  CWnd* m_pOther {};     // the bar or window, for other updates
  BOOL m_bEnableChanged {};
  BOOL m_bContinueRouting {};
  UINT m_nIndexMax {};
};

// Records what the update handlers say without showing it anywhere: used to check that a
// command is enabled before it runs.
class CTestCmdUI : public CCmdUI {
public:
  void Enable(BOOL on = TRUE) override {
    m_bEnabled = on;
    m_bEnableChanged = TRUE;
  }
  void SetCheck(int check = 1) override { m_nCheck = check; }
  void SetRadio(BOOL on = TRUE) override { m_nCheck = on ? 1 : 0; }
  void SetText(LPCWSTR) override {}

  BOOL m_bEnabled {TRUE};
  int m_nCheck {};
};

#include "platform/ui/afx/MessageMap.h"
