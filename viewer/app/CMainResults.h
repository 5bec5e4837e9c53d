#pragma once
// The results dialog of the main document with what it needs around it: the output menu it shows
// and the answers to its requests (opening a result, the outputs over the selected rows).

#include "viewer/app/CMainMenu.h"
#include "viewer/search/CSearchResultsDlg.h"

class CMainDoc;

class CMainResults : public CSearchResultsHandler {
public:
  explicit CMainResults(CMainDoc& document);
  ~CMainResults() override;

  CSearchResultsDlg& GetDialog() { return m_dialog; }
  const CSearchResultsDlg& GetDialog() const { return m_dialog; }

  void OpenResult(LPCWSTR batchName, LPCWSTR documentNumber) override;
  void RunOutput(int request, CSearchResultsDlg& dialog) override;

private:
  CMainDoc& m_document;
  COutputMenu m_menu;
  CSearchResultsDlg m_dialog;
};
