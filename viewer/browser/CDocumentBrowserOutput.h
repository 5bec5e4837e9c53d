#pragma once
// The output commands of the document on screen, as the browser hands them on: printing, e-mail
// and saving as PDF run their dialogs and jobs elsewhere. The main document gives the browser an
// implementation; without one the commands do nothing.

class CDocumentBrowser;

class CDocumentBrowserOutput {
public:
  virtual ~CDocumentBrowserOutput() = default;
  // Each is called only when the browser holds images; the ranges are in the settings' records.
  virtual void PrintDocument(CDocumentBrowser& browser) = 0;
  virtual void EmailDocument(CDocumentBrowser& browser) = 0;
  virtual void SaveDocumentAsPdf(CDocumentBrowser& browser) = 0;
};
