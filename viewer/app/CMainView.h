#pragma once
// CMainView: the view of the viewer's document template, the area beside the tool bars where the
// document browser shows the pages of the document on screen. It hands the browser to the main
// document and gives it the program's settings.

#include "viewer/app/CMainBrowserAdapter.h"
#include "viewer/browser/CDocumentBrowserView.h"

class CMainView : public CDocumentBrowserView {
  DECLARE_DYNCREATE(CMainView)
public:
  ~CMainView() override;
  void OnInitialUpdate() override;

protected:
  CMainView();
  CIBSPlant* GetDocumentStore() override;

  CMainBrowserAdapter m_adapter;
};
