#pragma once
// CMainOutput: the viewer's output jobs, for the document in the browser and for the selected hits
// of the results dialog: printing (CMainOutputPrint.cpp), saving as PDF (CMainOutputPdf.cpp) and
// e-mail (CMainOutputMail.cpp). Each runs its dialog, then its job with progress; the ranges and
// options are the settings' records, so the next run starts where the user left them.

#include "viewer/browser/CDocumentBrowserOutput.h"

class CIBSDocument;
class CIBSImageList;
class CIBSPlant;
class CMainDoc;
class CResultRow;
class CSearchResultsDlg;

class CMainOutput : public CDocumentBrowserOutput {
public:
  explicit CMainOutput(CMainDoc& document) : m_document(document) {}

  // The document in the browser.
  void PrintDocument(CDocumentBrowser& browser) override;
  void EmailDocument(CDocumentBrowser& browser) override;
  void SaveDocumentAsPdf(CDocumentBrowser& browser) override;

  // The results dialog's selected rows.
  void PrintResults(CSearchResultsDlg& dialog);
  void PrintHitList(CSearchResultsDlg& dialog);
  void EmailResults(CSearchResultsDlg& dialog);
  void SaveResultsAsPdf(CSearchResultsDlg& dialog);

private:
  // The information box of a selected hit whose document has no images.
  // The hit's document with its images listed in `list`; null when its folder is gone (the
  // store says so) or its images cannot be listed.
  CIBSDocument* LoadHit(const CResultRow& row, CIBSImageList& list);
  static void ShowNoImageFiles(CIBSPlant& plant, const CResultRow& row);

  CMainDoc& m_document;
};
