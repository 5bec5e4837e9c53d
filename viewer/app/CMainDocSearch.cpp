// The search and its results dialog: the search command over the document's store, the results
// dialog shown as after a search, the rules of its selection and the options the settings dialog
// gives it.

#include "viewer/app/CMainApp.h"
#include "viewer/app/CMainCommands.h"
#include "viewer/app/CMainDoc.h"
#include "viewer/app/CMainFrame.h"
#include "viewer/app/CMainResults.h"
#include "viewer/search/CSearchDialogs.h"

CMainResults::CMainResults(CMainDoc& document) : m_document(document) {
  m_menu.Create(FALSE);
  m_dialog.SetHandler(this);
  m_dialog.SetOutputMenu(&m_menu);
}

CMainResults::~CMainResults() {
  m_dialog.SetOutputMenu(nullptr);
  if (m_dialog.GetSafeHwnd()) m_dialog.DestroyWindow();
}

void CMainResults::OpenResult(LPCWSTR batchName, LPCWSTR documentNumber) {
  m_document.OpenResult(batchName, documentNumber);
}

void CMainResults::RunOutput(int request, CSearchResultsDlg& dialog) { m_document.RunResultsOutput(request, dialog); }

CMainResults& CMainDoc::GetResults() {
  if (!m_pResults) m_pResults = std::make_unique<CMainResults>(*this);
  return *m_pResults;
}

void CMainDoc::OnAppSearch() { RunSearch(FALSE); }

void CMainDoc::RunPendingSearch() { RunSearch(TRUE); }

// Closes what is shown, finds the batches (by "SearchMode" or the "-M:" location), asks for the
// query and shows the results; `pending` runs only the search of a "-M:" start.
void CMainDoc::RunSearch(BOOL pending) {
  CMainApp* app = CMainApp::GetMainApp();
  CMainFrame* frame = CMainFrame::GetMainFrameWnd();
  if (!app || !frame) return;
  CSearchDialogs dialogs(frame, GetResults().GetDialog(), app->m_settings, [this] {
    UpdateAllViews(nullptr);
    RefreshTitle();
  });
  CSearchCommand command(m_plant, app->m_settings, dialogs, frame);
  command.SetSwitch(app->HasSwitch(), app->GetSwitchLocation());
  if (pending) command.RunPending();
  else command.Run();
  RefreshTitle();
}

void CMainDoc::OpenResult(LPCWSTR batchName, LPCWSTR documentNumber) {
  m_plant.OpenDocument(batchName, documentNumber);
  RefreshTitle();
}

CWnd* CMainDoc::GetResultsWindow() const {
  return m_pResults && m_pResults->GetDialog().GetSafeHwnd() ? &m_pResults->GetDialog() : nullptr;
}

BOOL CMainDoc::ResultsAllowOneDocumentOutput() const {
  return m_pResults && m_pResults->GetDialog().IsOutputEnabled(ID_OUTPUT_VIEW);
}

BOOL CMainDoc::ResultsAllowImagePrinting() const {
  return m_pResults && m_pResults->GetDialog().IsOutputEnabled(ID_OUTPUT_PRINTIMAGES);
}

// Shows the results dialog as after a search (its list, columns, place and options).
void CMainDoc::ShowResultsAsAfterSearch() {
  CMainApp* app = CMainApp::GetMainApp();
  if (!app || m_plant.GetState() < kPlantSearched) return;
  CSearchResultsDlg& dialog = GetResults().GetDialog();
  dialog.SetPlant(&m_plant);
  dialog.ApplySettings(app->m_settings);
  dialog.ShowResults(CMainFrame::GetMainFrameWnd());
}

// "AllowMultiSelect" for the list's style, "LanchView", and "WidthList" with "SaveResults".
void CMainDoc::ApplyResultsOptions() {
  CMainApp* app = CMainApp::GetMainApp();
  if (app && HasResultsWindow()) m_pResults->GetDialog().ApplySettings(app->m_settings);
}

void CMainDoc::ReloadResultsTexts() {
  if (HasResultsWindow()) m_pResults->GetDialog().RefreshTexts();
}

BOOL CMainDoc::HasResultsWindow() const {
  const CWnd* window = GetResultsWindow();
  return window && ::IsWindow(window->GetSafeHwnd());
}

BOOL CMainDoc::IsResultsWindowVisible() const { return HasResultsWindow() && GetResultsWindow()->IsWindowVisible(); }

void CMainDoc::OnShowSearchResults() {
  if (IsResultsWindowVisible()) GetResultsWindow()->ShowWindow(SW_HIDE);
  else ShowResultsAsAfterSearch();
}

// Output requests 0 (view) to 4 (print the hit list) go to the results dialog's window.
void CMainDoc::OnOutput(UINT id) {
  if (HasResultsWindow()) GetResultsWindow()->SendMessage(kResultsOutputRequest, 0, static_cast<LPARAM>(id - ID_OUTPUT_VIEW));
}
