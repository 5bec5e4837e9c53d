// The search and its results dialog. The search flow, the new-search dialog and the results
// dialog are built in viewer/search; until they are, the search, the results window and the output
// requests of its list stay disabled and do nothing.

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

// The search command: closes what is shown, finds the batches (by "SearchMode" or the "-M:"
// location), asks for the query and shows the results.
void CMainDoc::OnAppSearch() {}

void CMainDoc::RunPendingSearch() { OnAppSearch(); }

// Hides the results dialog when its window exists, else shows it as after a search.
void CMainDoc::OnShowSearchResults() {}

// Output requests 0 (view) to 4 (print the hit list), sent to the results dialog's window.
void CMainDoc::OnOutput(UINT) {}

BOOL CMainDoc::HasResultsWindow() const { return FALSE; }
BOOL CMainDoc::IsResultsWindowVisible() const { return FALSE; }
BOOL CMainDoc::ResultsAllowOneDocumentOutput() const { return FALSE; }
BOOL CMainDoc::ResultsAllowImagePrinting() const { return FALSE; }
void CMainDoc::ApplyResultsOptions() {}
