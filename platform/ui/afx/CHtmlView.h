#pragma once
// CHtmlView: a view that shows HTML pages (the help pages of the program) in a pane of the window
// class WC_HTMLPANEW, which follows local links itself and hands web links to the desktop's
// browser. A right click asks for WM_CONTEXTMENU, whose default shows the pane's menu; a window
// that eats the click (PreTranslateMessage) shows none.

#include "platform/ui/afx/CView.h"

#define WC_HTMLPANEW u"QvHtmlPane"

// The pane's messages: HPM_NAVIGATE (lParam: the address; TRUE when the page was shown),
// HPM_GETLOCATION (wParam: room, lParam: buffer; answers the length), HPM_BACK, HPM_FORWARD,
// HPM_REFRESH.
#define HPM_NAVIGATE (WM_USER + 1)
#define HPM_GETLOCATION (WM_USER + 2)
#define HPM_BACK (WM_USER + 3)
#define HPM_FORWARD (WM_USER + 4)
#define HPM_REFRESH (WM_USER + 5)

class CHtmlView : public CView {
  DECLARE_DYNCREATE(CHtmlView)
public:
  CHtmlView() = default;
  BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
              void* context = nullptr) override;
  // An address: a path or a file: URL shows the page; http and https open in the desktop's browser.
  // FALSE when the page cannot be shown.
  BOOL Navigate(LPCWSTR url, DWORD flags = 0, LPCWSTR targetFrame = nullptr, LPCWSTR headers = nullptr,
                void* postData = nullptr, DWORD postDataLength = 0);
  CString GetLocationURL() const;
  void GoBack();
  void GoForward();
  void Refresh();
  // The pane inside the view.
  CWnd* GetBrowserWindow() const { return CWnd::FromHandle(m_hPane); }

  void OnDraw(CDC*) override {}

protected:
  void OnSize(UINT type, int cx, int cy);
  DECLARE_MESSAGE_MAP()

private:
  HWND m_hPane {};
};
