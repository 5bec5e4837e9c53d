#pragma once
// CQVHtmlWnd: a window that hosts an HTML view as a child over its client area, for the about box
// and the assistant panel. Unless told otherwise it keeps the page's own right-click menu away.

#include "platform/ui/afx/CHtmlView.h"

// The hosted view: its window's end leaves the object to the host, which alone deletes it.
class __CQVHtmlView : public CHtmlView {
  DECLARE_DYNCREATE(__CQVHtmlView)
protected:
  void PostNcDestroy() override {}
};

class CQVHtmlWnd : public CWnd {
  DECLARE_DYNAMIC(CQVHtmlWnd)
public:
  CQVHtmlWnd() = default;
  ~CQVHtmlWnd() override;

  using CWnd::Create;
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, BOOL allowContextMenu = FALSE);
  // Shows the page at `url` once the view is there; does nothing before.
  void Navigate(LPCWSTR url);
  __CQVHtmlView* GetHtmlView() const { return m_pView; }

  BOOL PreTranslateMessage(MSG* msg) override;

protected:
  void PostNcDestroy() override;
  int OnCreate(LPCREATESTRUCT cs);
  DECLARE_MESSAGE_MAP()

private:
  void DeleteView();

  __CQVHtmlView* m_pView { nullptr };
  BOOL m_bAllowContextMenu { FALSE };
};
