#pragma once
// CQVGUIRegistry: finds the application's tool windows, dialogs and control bars by a numeric GUI
// ID, so that code that knows only the ID can show, hide or query them. The application object
// owns one, made from a run-time class the application chooses; a subclass may change how a
// window is shown (OnShow) and what counts as visible (IsVisible).
//
// Entries keep their registration order and every lookup takes the first match. A window is
// registered at most once, under one ID; several windows may share an ID. The registry never owns
// the windows. A window object that is deleted while registered drops out of the registry by
// itself; a window object whose window was destroyed stays registered (it may be created again),
// and showing or asking about it gives FALSE until it has a window again.

#include "foundation/util/CDPXObList.h"
#include "platform/ui/afx/CWnd.h"

// One registered window and its ID.
class __CQVGUIRegistryItem : public CObject {
  DECLARE_DYNCREATE(__CQVGUIRegistryItem)
public:
  UINT m_nID { 0 };
  CWnd* m_pWnd { nullptr };
};

class CQVGUIRegistry : public CObject {
  DECLARE_DYNCREATE(CQVGUIRegistry)
public:
  CQVGUIRegistry();
  ~CQVGUIRegistry() override;

  // FALSE when the ID is 0, the window is null or the window is registered already (under any
  // ID); otherwise the window is added after the others.
  BOOL Register(UINT id, CWnd* window);
  // Nothing when the window is not registered.
  void Unregister(CWnd* window);
  // The first window registered with the ID, or null.
  CWnd* Find(UINT id) const;
  // Shows or hides the first window registered with the ID; nothing when there is none.
  void Show(UINT id, BOOL show);
  // Whether the first window registered with the ID is visible; FALSE when there is none.
  BOOL IsVisible(UINT id);

protected:
  // Whether the window is visible: never when it has no window any more; a control bar when its
  // style has WS_VISIBLE; any other window when it is visible on screen.
  virtual BOOL IsVisible(CWnd* window);
  // Shows or hides the window; FALSE when it has no window any more. A control bar goes through
  // its frame, which lays its bars out again at once (FALSE for a bar without a frame); any other
  // window is shown or hidden directly.
  virtual BOOL OnShow(CWnd* window, BOOL show);

  // The position of the first entry of the window or the ID, or null.
  POSITION FindItem(CWnd* window) const;
  POSITION FindItem(UINT id) const;

private:
  static void WindowDeleted(void* registry, CWnd* window);

  CDPXObList m_items;
};
