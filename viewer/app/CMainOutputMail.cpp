// Sending the document in the browser, or the images of the selected hit, by e-mail: the options
// dialog over the batch's index fields, then the e-mail job over the image list, with its error
// box when it fails.

#include "viewer/app/CMainApp.h"
#include "viewer/app/CMainDoc.h"
#include "viewer/app/CMainFrame.h"
#include "viewer/app/CMainOutput.h"
#include "viewer/browser/CDocumentBrowser.h"
#include "viewer/mail/CEmailJob.h"
#include "viewer/mail/CEmailJobWindows.h"
#include "viewer/mail/CNewEmailDlg.h"
#include "viewer/model/CIBSBatch.h"
#include "viewer/search/CSearchResultsDlg.h"

namespace {

std::vector<CString> FieldNames(const CIBSBatch* batch) {
  CDPXStringList names;
  std::vector<CString> labels;
  if (!batch || batch->GetFieldNames(names) < 1) return labels;
  CString name;
  for (POSITION pos = names.GetHeadPosition(); pos && names.GetNext(pos, name);) labels.push_back(name);
  return labels;
}

// Shows the options dialog on a copy of the saved options; after OK they replace the saved ones.
BOOL AskOptions(EmailSetting& saved, const std::vector<CString>& labels, int imageCount, BOOL rangeAvailable) {
  CNewEmailDlg dialog(CMainFrame::GetMainFrameWnd());
  dialog.m_setting = saved;
  dialog.SetLabels(labels);
  dialog.m_nImageCount = imageCount;
  if (!rangeAvailable) dialog.m_nRangeAvailable = 0;
  if (dialog.ShowModal() != IDOK) return FALSE;
  saved = dialog.m_setting;
  return TRUE;
}

CString ImagePath(void* list, int image) { return CIBSImageList::GetImagePath(static_cast<CIBSImageList*>(list), image); }

// Sends the images `first` .. `first + count - 1` (from 1) of the list with the saved options, their
// formulas filled in from the list's document.
void SendImages(CMainApp& app, CIBSImageList& list, int first, int count) {
  const EmailSetting& saved = app.m_settings.m_email;
  CString logPath;
  if (saved.nSaveLogFile) app.GetLogFileName(logPath);
  EmailSetting texts = saved;
  list.PrepareEmailTexts(texts);

  CWnd* frame = CMainFrame::GetMainFrameWnd();
  CEmailJobWindows windows(frame);
  CEmailJob job(windows);
  job.SetParent(frame);
  job.SetOptions(texts);
  job.SetRange(first, count);
  job.SetLog(texts.nSaveLogFile, logPath);
  job.m_pPathContext = &list;
  job.m_pfnGetImagePath = ImagePath;
  int result = 0;
  if (!job.Run(result)) CDocumentBrowser::ShowEmailError(result);
}

}  // namespace

void CMainOutput::EmailDocument(CDocumentBrowser& browser) {
  CMainApp* app = CMainApp::GetMainApp();
  CIBSImageList* list = browser.GetImageList();
  const std::vector<CString> labels = FieldNames(m_document.GetPlant().GetCurrentBatch());
  if (!app || !list || labels.empty()) return;
  EmailSetting& saved = app->m_settings.m_email;
  if (!AskOptions(saved, labels, browser.GetImageCount(), TRUE)) return;
  // Any other range mode leaves no image, which the job refuses.
  int first = -1, count = 0;
  browser.GetOutputRange(saved.nRangeMode, saved.nImagesFrom, saved.nImagesTo, first, count);
  SendImages(*app, *list, first, count);
}

void CMainOutput::EmailResults(CSearchResultsDlg& dialog) {
  CMainApp* app = CMainApp::GetMainApp();
  const std::vector<const CResultRow*> rows = dialog.GetSelectedRows();
  if (!app || rows.size() != 1) return;
  const CResultRow& row = *rows.front();
  // The hit's own image list: the browser keeps the document it shows.
  CIBSImageList list;
  CIBSDocument* document = LoadHit(row, list);
  if (!document) return;

  EmailSetting& saved = app->m_settings.m_email;
  saved.nRangeMode = 1;
  saved.nCombineTIFF = 1;
  const std::vector<CString> labels = FieldNames(document->GetBatch());
  if (labels.empty() || !AskOptions(saved, labels, list.GetCount(), FALSE)) return;
  if (list.GetCount() < 1) {
    ShowNoImageFiles(m_document.GetPlant(), row);
    return;
  }
  SendImages(*app, list, 1, list.GetCount());
}
