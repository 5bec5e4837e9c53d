// Export of the results, the settings dialog and the about box. The export dialog and writers, the
// settings dialog and the about box are built in viewer/output and viewer/dialogs; until they
// are, these commands stay disabled and do nothing.

#include "viewer/app/CMainCommands.h"
#include "viewer/app/CMainDoc.h"

BOOL CMainDoc::IsOutputCommandAvailable(UINT id) {
  switch (id) {
    case ID_APP_EXPORT:
    case ID_APP_SETTING:
    case ID_HELP_ABOUT:
      return FALSE;
    default:
      return TRUE;
  }
}

// Writes the results' index data as CSV or XML.
void CMainDoc::OnAppExport() {}

// The settings dialog on a copy of the general options; OK gives them to ApplyGeneralOptions.
void CMainDoc::OnAppSetting() {}

// The about box, modal, owned by the main frame.
void CMainDoc::OnHelpAbout() {}
