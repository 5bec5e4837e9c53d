// The browser's dialogs: zoom step, go to a document, go to an image, magnifier ratio. They are
// built in viewer/browser; until they are, these commands stay disabled and do nothing.

#include "viewer/app/CMainCommands.h"
#include "viewer/app/CMainDoc.h"

BOOL CMainDoc::IsBrowserCommandAvailable(UINT id) {
  switch (id) {
    case ID_VIEW_ZOOMSTEP:
    case ID_DOCUMENT_GOTODOC:
    case ID_DOCUMENT_GOTOIMG:
    case ID_TOOLS_MAGNIFICATIONRATIO:
      return FALSE;
    default:
      return TRUE;
  }
}

// OK stores the new "ViewZoomStep".
void CMainDoc::OnZoomStep() {}

// OK opens the chosen batch's document (CIBSPlant::OpenDocument), then RefreshTitle().
void CMainDoc::OnGotoDocument() {}

// OK moves the browser to the chosen image (the dialog counts from 1, the browser from 0).
void CMainDoc::OnGotoImage() {}

// OK stores the new "ViewMagnifierRatio".
void CMainDoc::OnMagnificationRatio() {}
