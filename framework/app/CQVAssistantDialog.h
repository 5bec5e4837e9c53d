#pragma once
// CQVAssistantDialog: the floating help panel, an always-on-top tool window without a parent that
// shows help pages in an HTML pane. A derived class may give it an outline (the mask of a bitmap
// from the language files, joined with the pane's rectangle) and a background bitmap by setting
// the two keys in its constructor. The main frame makes it on first use and owns it
// (CQVMainFrame::ShowAssistant and the other statics).
//
// The panel keeps the help address while its window comes and goes; each new window goes where
// it was asked to, else where the last one was, else to the middle of the screen, and shows the
// address again. ShowHelp may be called from any thread; the page is loaded on the window's
// thread. Everything else runs on the user-interface thread.

#include "foundation/imaging/CQVBitmapHandle.h"
#include "framework/dialogs/CQVDialog.h"
#include "framework/dialogs/CQVHtmlWnd.h"
#include "platform/core/sync.h"

#include <atomic>

class CQVAssistantDialog : public CQVDialog {
  DECLARE_DYNAMIC(CQVAssistantDialog)
public:
  static constexpr int kNoPosition = -99999;
  static constexpr UINT WM_UPDATEHELP = WM_USER + 1;

  CQVAssistantDialog();

  // Makes the window (again, when it is shown) at x, y (kNoPosition: not asked for). When it
  // cannot be made complete, for instance because the outline bitmap is missing, no window
  // remains.
  virtual void ShowAssistant(int x, int y);
  virtual void ShowAssistant() { ShowAssistant(kNoPosition, kNoPosition); }
  virtual void HideAssistant() { HideModeless(); }
  virtual BOOL IsAssistantVisible() { return GetSafeHwnd() != nullptr; }
  // The window's top-left corner and TRUE while it is shown; otherwise where the last window was
  // (kNoPosition before the first) and FALSE.
  virtual BOOL GetAssistantPosition(int& x, int& y);
  // Any thread. Stores the trimmed address and loads it when it is not the one stored already
  // (compared without regard to case).
  virtual void ShowHelp(LPCWSTR address);
  // The address of the key's text (CQVWinApp::LoadURL, in the panel's language files), or an
  // empty one when the key has none.
  virtual void ShowHelpID(LPCWSTR key);
  // Any thread: asks the window, when there is one, to load the stored address.
  virtual void Update();

  // Any thread.
  CString GetHelpAddress();
  CQVHtmlWnd& GetHtmlWnd() { return m_wndHtml; }

protected:
  // Enter and Escape leave the panel open.
  void OnOK() override {}
  void OnCancel() override {}
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;

  void OnDestroy();
  BOOL OnEraseBkgnd(CDC* dc);
  LRESULT OnUpdateHelp(WPARAM, LPARAM);
  void OnLButtonDblClk(UINT, CPoint) { HideAssistant(); }
  DECLARE_MESSAGE_MAP()

  CString m_strBackgroundKey;
  CString m_strOutlineKey;

private:
  BOOL MakeOutline(const CRect& pane);

  CQVHtmlWnd m_wndHtml;
  int m_nLastX { kNoPosition };
  int m_nLastY { kNoPosition };
  int m_nRequestX { kNoPosition };
  int m_nRequestY { kNoPosition };
  CQVBitmapHandle m_background;
  BOOL m_bComplete { FALSE };  // the window being made has passed OnInitSettings
  std::atomic<HWND> m_hShown { nullptr };  // the window, for Update on any thread
  CCriticalSection m_lock;     // guards the help address
  CString m_strHelpAddress;
};
