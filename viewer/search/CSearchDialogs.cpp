#include "viewer/search/CSearchDialogs.h"

#include "viewer/search/CNewSearchDialog.h"
#include "viewer/search/CSearchResultsDlg.h"

void CSearchDialogs::OnStoreClosed() {
  if (m_storeClosed) m_storeClosed();
}

void CSearchDialogs::ClearResults() {
  if (m_results.IsShown()) m_results.ClearList();
}

BOOL CSearchDialogs::AskQuery(CIBSPlant& plant, CSearchLastValues& last, BOOL switchMode) {
  CNewSearchDialog dialog(&plant, m_pParent);
  dialog.SetLastValues(last.values, last.strBatchName, last.bAllBatches);
  dialog.SetSwitchMode(switchMode);
  if (dialog.DoModal() != IDOK) return FALSE;
  dialog.GetLastValues(last.values, last.strBatchName, last.bAllBatches);
  return TRUE;
}

void CSearchDialogs::ShowResults(CIBSPlant& plant) {
  m_results.SetPlant(&plant);
  m_results.ApplySettings(m_settings);
  m_results.ShowResults(m_pParent);
}
