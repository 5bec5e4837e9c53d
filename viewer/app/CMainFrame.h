#pragma once
// CMainFrame: the viewer's main window. It carries the command and view tool bars, builds its
// menu from CMainMenu, composes its title from the document on screen, passes the key 2 and Tab
// to the document browser, restores its layout from the settings when it opens and puts it back
// into them when it closes. The store of published batches reaches the user through it: message
// boxes, the wait cursor and the title.

#include "framework/app/CQVMainFrame.h"
#include "viewer/app/CMainToolBars.h"
#include "viewer/model/CIBSWindowLink.h"

struct ScreenLayout;

class CMainFrame : public CQVMainFrame, public CIBSWindowLink {
  DECLARE_DYNCREATE(CMainFrame)
public:
  // The tool bars' numbers in the window registry (also their control IDs).
  static constexpr UINT kCommandBarGUI = 1000;
  static constexpr UINT kViewBarGUI = 1001;
  // Brings parts of the frame up to date; the flags are in the second parameter.
  static constexpr UINT WM_MAIN_REFRESH = 0x0401;
  enum : LPARAM { refreshTitle = 0x01, refreshMenu = 0x02, refreshViewBar = 0x10, refreshCommandBar = 0x20 };

  CMainFrame();
  ~CMainFrame() override;

  // The running viewer's main frame; null when there is none.
  static CMainFrame* GetMainFrameWnd();

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  void UpdateMainTitle() override;
  void OnLanguageChange() override;

  // Where the window, the language, the hot keys, the bars and the browser's grid were left;
  // with `menu` the menu and texts are rebuilt in the language.
  void RestoreLayout(BOOL menu);
  void SaveLayout(BOOL menu);
  // An information box when the screen shows 256 colours or fewer.
  void CheckDisplayColors();
  // The placement RestoreLayout worked out, applied once the framework has shown the window.
  void ShowRestoredPlacement();

  CCmdToolBar& GetCommandBar() { return m_commandBar; }
  CViewToolBar& GetViewBar() { return m_viewBar; }

  // CIBSWindowLink
  void ErrorMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) override;
  void InfoMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) override;
  BOOL OKCancelMsg(LPCWSTR textKey, LPCWSTR captionKey, const CIBSPlaceholders& placeholders) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void RefreshMainTitle() override { UpdateMainTitle(); }

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnClose();
  void OnSysColorChange();
  void OnSize(UINT type, int cx, int cy);
  LRESULT OnRefresh(WPARAM, LPARAM flags);

  // The assistant panel's part of the layout: shown or hidden, at its saved place when that lies
  // on the screen; put back is whether it shows and where it stands.
  void RestoreAssistant(const ScreenLayout& layout, CSize screen);
  void SaveAssistant(ScreenLayout& layout);

  CCmdToolBar m_commandBar;
  CViewToolBar m_viewBar;
  BOOL m_bStartMaximized {FALSE};
  BOOL m_bDockStateForMaximized {FALSE};
  CSize m_sizeBeforeMaximized;
  int m_nWaitCursor {0};
  HCURSOR m_hCursorBeforeWait {nullptr};

  DECLARE_MESSAGE_MAP()
};
