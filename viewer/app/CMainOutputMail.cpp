// Sending the document in the browser, or the images of the selected hits, by e-mail.

#include "viewer/app/CMainOutput.h"

void CMainOutput::EmailDocument(CDocumentBrowser&) {}

void CMainOutput::EmailResults(CSearchResultsDlg&) {}
