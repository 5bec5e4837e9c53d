#pragma once
// CQVMainFrame: the base of the application's main window. It takes the application's own window
// class (so that a second start finds the first), builds its menu bar from a scripted menu class
// with command icons from the language files ("MNU_" + name, "MNC_" + name when checked), answers
// the language pop-up by switching every module that shares the language setting and rebuilding
// title and menu, offers every key to the application's hot keys first, and hands the docking
// layout of its bars out and takes it back as a memory block. It owns the assistant panel, which
// it makes on first use from its assistant class and hides while the program is minimised or
// inactive.

#include "framework/app/CQVBitmapList.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CMenu.h"

#include <memory>

class CDockState;
class CQVAssistantDialog;
class CDPXGMemBuffer;

class CQVMainFrame : public CFrameWnd {
  DECLARE_DYNAMIC(CQVMainFrame)
public:
  CQVMainFrame();
  ~CQVMainFrame() override;

  BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
                 CCreateContext* context = nullptr) override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* msg) override;

  using CFrameWnd::GetDockState;
  using CFrameWnd::SetDockState;

  // Empties the icon cache (after a language change, say); the menu bar, which shows bitmaps of the
  // cache, lets go of them first and takes them anew.
  void ResetMenuIcons();
  CBitmap* GetMenuIcon(LPCWSTR key, int width, int height, BOOL mirrored);
  // Puts the command icons on every command item of the menu and its sub-menus.
  void DecorateMenu(CMenu* menu);
  void DecorateMenu(HMENU menu);

  virtual void UpdateMainTitle();
  // Builds the menu bar anew from the menu class; a failure leaves the menu held before.
  virtual void UpdateMainMenu();
  virtual BOOL GetMenuIconIDs(UINT id, CString& key, CString& checkedKey);
  // The bitmap at the size of a menu check mark; null when the language files have none.
  virtual CBitmap* LoadMenuIcon(LPCWSTR key);
  virtual void OnLanguageChange();
  // Index of the layout in the list the menu was built from.
  virtual void OnSelectSysScreenLayout(int index);
  virtual void OnSelectUserScreenLayout(int index);

  // The assistant panel of the running main frame (CQVWinApp::GetMainFrame), made on first use
  // when the frame's assistant class derives from CQVAssistantDialog; without a frame or panel
  // they do nothing or answer FALSE (GetAssistantPosition: both kNoPosition). User-interface
  // thread, except ShowHelp and ShowHelpID: from another thread they hand the request to the
  // frame's thread, which makes the panel if need be; the last request wins.
  static CQVAssistantDialog* GetAssistant();
  // Tells the frame's thread that a help request from another thread waits.
  static constexpr UINT WM_QV_HELPREQUEST = WM_APP + 0x5E2;
  static void ShowAssistant();
  static void ShowAssistant(int x, int y);
  static void HideAssistant();
  static BOOL IsAssistantVisible();
  static BOOL GetAssistantPosition(int& x, int& y);
  static void ShowHelp(LPCWSTR address);
  static void ShowHelpID(LPCWSTR key);

protected:
  // The docking layout of the bars with the sizes of the sizing bars, in a new movable memory block
  // (the caller's); FALSE with a null block when it cannot be made. The buffer form puts the block
  // in the buffer, which is empty on failure.
  BOOL GetDockState(HGLOBAL& block);
  BOOL GetDockState(CDPXGMemBuffer& buffer);
  // Puts the bars back as a block from GetDockState says (the caller keeps the block). The block is
  // read and checked whole first: an empty or damaged block, one of another kind, or one that
  // places a bar this frame does not have answers FALSE and changes nothing.
  BOOL SetDockState(HGLOBAL block);
  BOOL SetDockState(CDPXGMemBuffer& buffer);
  // Every bar the state places, and every docked record, is one of this frame's bars.
  BOOL VerifyBarState(const CDockState& state);
  // The docking layout kept in a file: LoadDockStateFile reads it and puts the bars back as
  // SetDockState does (FALSE, nothing changed, for a file missing, unreadable or that does not
  // fit); SaveDockStateFile replaces the file as a whole, so that a failed write keeps the file
  // that was there.
  BOOL LoadDockStateFile(LPCWSTR path);
  BOOL SaveDockStateFile(LPCWSTR path);

  // Minimising and deactivating the program hide a shown panel; it comes back when the frame is
  // restored (or maximised) and the program active again, once: a panel hidden by hand meanwhile,
  // or shown and hidden again later, stays as the user left it.
  void OnSize(UINT type, int cx, int cy);
  void OnActivateApp(BOOL active, DWORD thread);
  LRESULT OnHelpRequest(WPARAM, LPARAM);

  void Menu_Language_OnUpdateUI(CCmdUI* cmdUI);
  void Menu_Language_OnClick(UINT id);
  void Menu_ScreenLayout_Sys_OnClick(UINT id);
  void Menu_ScreenLayout_User_OnClick(UINT id);

  CString m_strMainTitle;
  CRuntimeClass* m_pMenuClass { nullptr };
  CMenu m_menu;
  CQVBitmapList m_menuIcons;
  CRuntimeClass* m_pAssistantClass { nullptr };  // none: no assistant
  std::unique_ptr<CQVAssistantDialog> m_pAssistant;
  BOOL m_bAssistantWasVisible { FALSE };  // hidden by minimising or deactivation, to come back

private:
  // Puts the command icons on every command item of the menu and its sub-menus, or with `clear`
  // takes them off.
  void SetMenuIcons(HMENU menu, BOOL clear);
  // The window that help requests from other threads are posted to: the main frame's, once made.
  static void SetHelpTarget(HWND hwnd);
  void HideAssistantForNow();
  void ShowAssistantAgain();

  BOOL m_bAppInactive { FALSE };

  DECLARE_MESSAGE_MAP()
};
