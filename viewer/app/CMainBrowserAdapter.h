#pragma once
// The document browser as the main document sees it: each call of CMainBrowser goes to the browser
// the main view holds.

#include "viewer/app/CMainBrowser.h"

class CDocumentBrowser;

class CMainBrowserAdapter : public CMainBrowser {
public:
  explicit CMainBrowserAdapter(CDocumentBrowser& browser) : m_browser(browser) {}

  int GetToolMode() override;
  void SetToolMode(int mode) override;
  int GetFitMode() override;
  void ApplyViewAction(int action, BOOL allCells, int step) override;
  void SetFPCMode(int columns, int rows) override;
  int GetImageCount() override;
  void GoToFirst() override;
  void GoToLast() override;
  void PagePrevious() override;
  void PageNext() override;
  void GoToImage(int index) override;
  void ActOnCell(int cell) override;
  void SelectNextCell() override;
  void SelectPreviousCell() override;
  void PrintDocument() override;
  void EmailDocument() override;
  void SaveDocumentAsPdf() override;

private:
  CDocumentBrowser& m_browser;
};
