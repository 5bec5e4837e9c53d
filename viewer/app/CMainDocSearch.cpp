// The search and its results dialog. The search flow, the new-search dialog and the results
// dialog are built in viewer/search; until they are, the search, the results window and the output
// requests of its list stay disabled. What is left for that area: the search command, showing the
// results dialog as after a search, its window, the rules of its selection and the options the
// settings dialog gives it.

#include "platform/ui/afx/CWnd.h"
#include "viewer/app/CMainCommands.h"
#include "viewer/app/CMainDoc.h"

BOOL CMainDoc::IsSearchCommandAvailable(UINT id) {
  switch (id) {
    case ID_APP_SEARCH:
    case ID_VIEW_SHOW_SEARCHRESULTS:
    case ID_OUTPUT_VIEW:
    case ID_OUTPUT_EMAIL:
    case ID_OUTPUT_SAVEASPDF:
    case ID_OUTPUT_PRINTIMAGES:
    case ID_OUTPUT_PRINTHITLIST:
      return FALSE;
    default:
      return TRUE;
  }
}

// Closes what is shown, finds the batches (by "SearchMode" or the "-M:" location), asks for the
// query and shows the results.
void CMainDoc::OnAppSearch() {}

void CMainDoc::RunPendingSearch() { OnAppSearch(); }

// The results dialog's window; null while it has none.
CWnd* CMainDoc::GetResultsWindow() const { return nullptr; }

BOOL CMainDoc::ResultsAllowOneDocumentOutput() const { return FALSE; }
BOOL CMainDoc::ResultsAllowImagePrinting() const { return FALSE; }

// Shows the results dialog as after a search (its list, columns, place and options).
void CMainDoc::ShowResultsAsAfterSearch() {}

// "AllowMultiSelect" for the list's style, "LanchView", and "WidthList" with "SaveResults".
void CMainDoc::ApplyResultsOptions() {}

// Its title and column headings in the current language (while it is shown).
void CMainDoc::ReloadResultsTexts() {}

BOOL CMainDoc::HasResultsWindow() const {
  const CWnd* window = GetResultsWindow();
  return window && ::IsWindow(window->GetSafeHwnd());
}

BOOL CMainDoc::IsResultsWindowVisible() const { return HasResultsWindow() && GetResultsWindow()->IsWindowVisible(); }

void CMainDoc::OnShowSearchResults() {
  if (HasResultsWindow()) GetResultsWindow()->ShowWindow(SW_HIDE);
  else ShowResultsAsAfterSearch();
}

// Output requests 0 (view) to 4 (print the hit list) go to the results dialog's window.
void CMainDoc::OnOutput(UINT id) {
  if (HasResultsWindow()) GetResultsWindow()->SendMessage(kResultsOutputRequest, 0, static_cast<LPARAM>(id - ID_OUTPUT_VIEW));
}
