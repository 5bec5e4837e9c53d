// Saving the document in the browser, or the images of the selected hit, as one PDF file.

#include "viewer/app/CMainOutput.h"

#include "viewer/app/CMainApp.h"
#include "viewer/browser/CDocumentBrowser.h"
#include "viewer/browser/CIBSImageList.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/output/CIBSImageSource.h"
#include "viewer/output/SaveAsPdfCommand.h"
#include "viewer/search/CSearchResultsDlg.h"

namespace {

// The browser's images as the PDF task reads them on its worker thread: the count and the page on
// screen as they were when the save began (the browser stays put while the progress dialog runs),
// the pixels from the browser's list, which may be read from any thread.
class BrowserImages : public CIBSImageSource {
public:
  explicit BrowserImages(CDocumentBrowser& browser) : m_list(browser.GetImageList()), m_count(browser.GetImageCount()) {
    int first = 1, cells = 0;
    if (browser.GetOutputRange(3, 0, 0, first, cells)) {
      m_first = first - 1;
      m_cells = cells;
    }
  }

  int GetImageCount() override { return m_count; }
  BOOL LoadImageInto(int index, CQVBitmapHandle& bitmap) override { return m_list && m_list->LoadImageInto(index, bitmap); }
  int GetFirstVisibleIndex() override { return m_first; }
  int GetCellCount() override { return m_cells; }

private:
  CIBSImageList* m_list;
  int m_count;
  int m_first { 0 };
  int m_cells { 0 };
};

}  // namespace

void CMainOutput::SaveDocumentAsPdf(CDocumentBrowser& browser) {
  CMainApp* app = CMainApp::GetMainApp();
  if (!app) return;
  BrowserImages images(browser);
  // The settings keep the file and range chosen, for the next save.
  SaveImagesAsPdf(&browser, images, app->m_settings.m_pdf, FALSE);
}

void CMainOutput::SaveResultsAsPdf(CSearchResultsDlg& dialog) {
  CIBSPlant* plant = dialog.GetPlant();
  const std::vector<const CResultRow*> rows = dialog.GetSelectedRows();
  if (!plant || rows.size() != 1) return;
  const CResultRow& row = *rows.front();
  CIBSDocument* document = plant->CheckDocumentFolder(row.GetBatchName(), row.GetDocumentNumber());
  if (!document) return;
  CIBSDocumentImages images(document);
  if (images.GetImageCount() < 1) {
    ShowNoImageFiles(*plant, row);
    return;
  }
  // Every image of the document, to a file chosen afresh: the settings are left alone.
  SaveAsPDFOption options;
  SaveImagesAsPdf(&dialog, images, options, TRUE);
}
