// Saving the document in the browser, or the images of the selected hits, as one PDF file.

#include "viewer/app/CMainOutput.h"

void CMainOutput::SaveDocumentAsPdf(CDocumentBrowser&) {}

void CMainOutput::SaveResultsAsPdf(CSearchResultsDlg&) {}
