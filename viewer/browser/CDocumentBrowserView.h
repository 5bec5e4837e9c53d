#pragma once
// The view that holds the document browser in the main frame, filling it. When it is made it links
// the browser and the store of published batches of its document both ways; the browser takes the
// link away again when it goes.

#include "framework/dialogs/CQVFormView.h"
#include "viewer/browser/CDocumentBrowser.h"

class CIBSPlant;

class CDocumentBrowserView : public CQVCtrlView {
  DECLARE_DYNCREATE(CDocumentBrowserView)
public:
  CDocumentBrowserView() = default;

  CDocumentBrowser* GetBrowser() { return &m_browser; }

  // The view has one control and no dialog navigation between controls: Tab, Shift+Tab and the
  // arrow keys go on to the frame and its hot keys, which move between cells and scroll the pages.
  BOOL PreTranslateMessage(MSG* msg) override;

protected:
  // The store of the view's document; the program's main view says which. Without one the view
  // cannot be made.
  virtual CIBSPlant* GetDocumentStore() { return nullptr; }

  CWnd* GetCtrl() override { return &m_browser; }
  // Makes the browser (ID 1000) over the client area when it has no window yet, then links it with
  // the store.
  BOOL OnCreateCtrl(CWnd* ctrl) override;

private:
  CDocumentBrowser m_browser;
};
