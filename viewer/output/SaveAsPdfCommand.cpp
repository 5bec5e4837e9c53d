#include "viewer/output/SaveAsPdfCommand.h"

#include "framework/dialogs/CQVDialogHelper.h"
#include "platform/ui/shell/shlobj.h"
#include "viewer/output/CIBSImageSource.h"
#include "viewer/output/CSPRDialog.h"
#include "viewer/output/CSaveAsPDFDlg.h"
#include "viewer/output/CSaveAsPDFTask.h"

BOOL SaveImagesAsPdf(CWnd* parent, CIBSImageSource& images, SaveAsPDFOption& options, BOOL wholeDocument) {
  CSaveAsPDFDlg dialog(FALSE, u".pdf", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, parent);
  dialog.SetOptions(options);
  dialog.SetMaxImage(images.GetImageCount());
  dialog.SetRangeLocked(wholeDocument ? 1 : 0);
  if (dialog.DoModal() != IDOK) return FALSE;
  dialog.GetOptions(options);
  if (wholeDocument) {
    CIBSImageListTasks task(&images);
    task.SetOptions(options);
    return RunPdfTask(parent, task);
  }
  CDocumentBrowserTasks task(&images);
  task.SetOptions(options);
  return RunPdfTask(parent, task);
}

BOOL RunPdfTask(CWnd* parent, CSaveAsPDFTask& task) {
  CSPRDialog progress(parent);
  progress.SetTaskDescriptionID(u"TXT_TASK_CREATEPDF");
  if (!progress.DoTask(task) || !task.Succeeded()) return FALSE;
  if (CQVDialogHelper(parent).YesNoMsg(u"MSG_CONFIRM_OPENPDF"))
    ShellExecuteW(parent ? parent->GetSafeHwnd() : nullptr, u"open", task.GetOptions().strPath, nullptr, nullptr,
                  SW_SHOWMAXIMIZED);
  return TRUE;
}
