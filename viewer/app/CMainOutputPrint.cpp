// Printing the document in the browser, the images of the selected hits and the hit list.

#include "viewer/app/CMainOutput.h"

void CMainOutput::PrintDocument(CDocumentBrowser&) {}

void CMainOutput::PrintResults(CSearchResultsDlg&) {}

void CMainOutput::PrintHitList(CSearchResultsDlg&) {}
