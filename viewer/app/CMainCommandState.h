#pragma once
// When the document's commands are enabled and checked. The document gathers what the rules look at
// into a CMainCommandState (its store, browser, tool bars, results dialog and the settings) and
// asks UpdateMainCommand for each command the framework updates; this keeps the rules apart from
// the windows, so that they can be checked over every state.

#include "platform/core/wintypes.h"

// The store's states (CIBSPlant): closed, batches opened, searched, a document shown.
inline constexpr int kPlantClosed = -1;
inline constexpr int kPlantOpened = 0;
inline constexpr int kPlantSearched = 2;
inline constexpr int kPlantShown = 3;

struct CMainCommandState {
  int nPlantState {kPlantClosed};
  BOOL bHasBrowser {FALSE};
  int nToolMode {0};   // the browser's: 0 magnifier, 1 scroll, 2 print, 3 e-mail, 4..6 rotate, 7 copy, 8 copy area
  int nFitMode {0};    // the browser's: 1 actual size, 2 fit width, 4 fit whole page
  int nBrowserRows {2};  // "ViewBrowserRows" and "ViewBrowserCols" of the settings
  int nBrowserCols {4};
  BOOL bCommandBarVisible {FALSE};
  BOOL bViewBarVisible {FALSE};
  BOOL bResultsWindow {FALSE};    // the results dialog's window exists
  BOOL bResultsVisible {FALSE};
  BOOL bResultsOneSelected {FALSE};  // the results list's selection allows view, e-mail and PDF
  BOOL bResultsPrintable {FALSE};    // the results list's rule for printing images
};

// What the update of one command does: each field is 1 (enable, check), 0 (disable, clear) or -1
// (left as it is).
struct CMainCommandUpdate {
  int nEnable {-1};
  int nCheck {-1};
  bool operator==(const CMainCommandUpdate&) const = default;
};

CMainCommandUpdate UpdateMainCommand(UINT id, const CMainCommandState& state);
