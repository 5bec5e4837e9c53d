// Printing the document in the browser, the images of the selected hits and the hit list.

#include "viewer/app/CMainOutput.h"

#include "framework/dialogs/CQVDialogHelper.h"
#include "platform/core/globalmem.h"
#include "viewer/app/CMainApp.h"
#include "viewer/app/CMainDoc.h"
#include "viewer/browser/CDocumentBrowser.h"
#include "viewer/browser/CIBSImageList.h"
#include "viewer/print/CPrintDlg.h"
#include "viewer/print/CPrintHitlist.h"
#include "viewer/print/CPrintItDlg.h"
#include "viewer/search/CSearchResultsDlg.h"

namespace {

CString ImagePath(void* list, int number) { return CIBSImageList::GetImagePath(static_cast<CIBSImageList*>(list), number); }

// The printer settings block of a confirmed print dialog, locked for as long as it lives.
class LockedDevMode {
public:
  explicit LockedDevMode(HGLOBAL block) : m_block(block), m_devMode(static_cast<DEVMODEW*>(block ? GlobalLock(block) : nullptr)) {}
  ~LockedDevMode() {
    if (m_devMode) GlobalUnlock(m_block);
  }
  LockedDevMode(const LockedDevMode&) = delete;
  LockedDevMode& operator=(const LockedDevMode&) = delete;
  const DEVMODEW* Get() const { return m_devMode; }

private:
  HGLOBAL m_block;
  DEVMODEW* m_devMode;
};

// One print job with its progress dialog: `count` images of the list from the 1-based `first`,
// laid out as the options say. FALSE when the user cancelled it, or, after telling the user, when
// the printer's set-up cannot print it.
BOOL PrintImages(CWnd* parent, const PrintSetting& options, const DEVMODEW* devMode, const CString& title,
                 CIBSImageList& list, int first, int count) {
  CPrintItDlg progress(parent);
  CPrintJob& job = progress.GetJob();
  job.m_nImageCount = count;
  job.m_nFirstImage = first;
  job.m_nRows = options.nRowNumber;
  job.m_nColumns = options.nColNumber;
  job.m_pPathContext = &list;
  job.m_pfnGetImagePath = &ImagePath;
  if (!progress.SetPrinter(options.strPrinterName, options.strPortName, title, devMode)) {
    CQVDialogHelper(parent).ErrorMsg(u"MSG_ERR_PRINT_WRONGSETUP");
    return FALSE;
  }
  progress.ShowModal();
  return CPrintItDlg::IsNotCancelled();
}

}  // namespace

void CMainOutput::ShowNoImageFiles(CIBSPlant& plant, const CResultRow& row) {
  if (CIBSWindowLink* windows = plant.GetWindowLink())
    windows->InfoMsg(u"MSG_INFO_NOIMAGEFILES",
                     {{u"<%batchname%>", row.GetBatchName()}, {u"<%docnumber%>", row.GetDocumentNumber()}});
}

void CMainOutput::PrintDocument(CDocumentBrowser& browser) {
  CMainApp* app = CMainApp::GetMainApp();
  CIBSImageList* list = browser.GetImageList();
  if (!app || !list) return;
  CIBSPlant& plant = m_document.GetPlant();
  CString batch, number;
  if (!plant.GetCurrentBatchDisplayName(batch) || !plant.GetCurrentDocumentNumber(number)) return;

  CPrintDlg dialog(&browser);
  dialog.SetImageCount(browser.GetImageCount());
  dialog.SetOptions(app->m_settings.m_print);
  if (dialog.ShowModal() != IDOK) return;
  // The settings keep the choice; the printer settings block stays the dialog's.
  PrintSetting& options = app->m_settings.m_print;
  options = dialog.GetOptions();
  options.hDevMode = nullptr;

  int first = 0, count = 0;
  if (!browser.GetOutputRange(options.nPrintRange, options.nPageFrom, options.nPageTo, first, count)) return;
  const LockedDevMode devMode(dialog.GetOptions().hDevMode);
  PrintImages(&browser, options, devMode.Get(), batch + u"-" + number, *list, first, count);
}

void CMainOutput::PrintResults(CSearchResultsDlg& dialog) {
  CIBSPlant* plant = dialog.GetPlant();
  const std::vector<const CResultRow*> rows = dialog.GetSelectedRows();
  if (!plant || rows.empty()) return;

  // One set-up for every selected document, from the defaults: the settings are left alone, and
  // there is no page on screen to print.
  CPrintDlg setup(&dialog);
  PrintSetting defaults;
  defaults.nCurrentScreenUnavailable = 1;
  setup.SetOptions(defaults);
  if (setup.ShowModal() != IDOK) return;
  const PrintSetting& options = setup.GetOptions();
  const LockedDevMode devMode(options.hDevMode);
  if (!devMode.Get()) return;

  for (const CResultRow* row : rows) {
    CIBSImageList images;
    if (!LoadHit(*row, images)) continue;
    if (images.GetCount() < 1) {
      ShowNoImageFiles(*plant, *row);
      continue;
    }
    const CString title = row->GetBatchName() + u"-" + row->GetDocumentNumber();
    // A set-up the printer refuses, or a cancel, ends the whole request.
    if (!PrintImages(&dialog, options, devMode.Get(), title, images, 1, images.GetCount())) return;
  }
}

CIBSDocument* CMainOutput::LoadHit(const CResultRow& row, CIBSImageList& list) {
  CIBSDocument* document = m_document.GetPlant().CheckDocumentFolder(row.GetBatchName(), row.GetDocumentNumber());
  if (!document) return nullptr;
  list.SetDocument(document);
  return list.Load() ? document : nullptr;
}

void CMainOutput::PrintHitList(CSearchResultsDlg& dialog) {
  CPrintHitlist hitList;
  hitList.Print(&dialog.GetList());
}
