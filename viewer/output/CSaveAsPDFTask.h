#pragma once
// The progress tasks that save images as one PDF file on the progress dialog's worker thread:
// CDocumentBrowserTasks writes the range the user chose in the document browser, CIBSImageListTasks
// every image of a search result's image list.
//
// The file replaces the one at the path only when every image was written: a run that fails or is
// stopped leaves the path as it was (the earlier file, or none), so the caller offers to open the
// file only after a run that Succeeded. Progress: level 1 counts the images, level 2 the steps of
// one image (loaded, added). A failure ends with the completion message "ERR_CREATEPDF_FAILED",
// which keeps the progress dialog open; a success closes it.

#include "framework/views/CQVSPRTask.h"
#include "viewer/model/CMainSettings.h"

class CIBSImageSource;

class CSaveAsPDFTask : public CQVSPRTaskEx {
  DECLARE_DYNAMIC(CSaveAsPDFTask)
public:
  // The options start fresh (no path, all images). The task does not own the source.
  explicit CSaveAsPDFTask(CIBSImageSource* source);

  // Takes the record with its path trimmed of white space.
  void SetOptions(const SaveAsPDFOption& options);
  const SaveAsPDFOption& GetOptions() const { return m_options; }

  // After the run: the file was written in full.
  BOOL Succeeded() const { return m_bSucceeded; }
  BOOL IsFailed() const { return m_bFailed; }

  BOOL GetStopConfirmMessage(CString& text) override;
  BOOL GetCompleteMessage(CString& text) override;

protected:
  void OnProcess() override;
  // The images to write, [first, end), of the source's `count`.
  virtual void GetRange(CIBSImageSource& source, int count, int& first, int& end) = 0;

private:
  // FALSE on a failure; a stop is not one.
  BOOL WriteFile(CIBSImageSource& source);

  CCriticalSection m_csSource;
  CIBSImageSource* m_pSource { nullptr };
  SaveAsPDFOption m_options;
  BOOL m_bFailed { FALSE };
  BOOL m_bSucceeded { FALSE };
};

// The document browser's range: all images, the images ImageFrom to ImageTo (1-based, cut to the
// images there are) or the page on screen.
class CDocumentBrowserTasks : public CSaveAsPDFTask {
  DECLARE_DYNAMIC(CDocumentBrowserTasks)
public:
  explicit CDocumentBrowserTasks(CIBSImageSource* browser) : CSaveAsPDFTask(browser) {}

protected:
  void GetRange(CIBSImageSource& source, int count, int& first, int& end) override;
};

// Every image of the list, whatever the options say.
class CIBSImageListTasks : public CSaveAsPDFTask {
  DECLARE_DYNAMIC(CIBSImageListTasks)
public:
  explicit CIBSImageListTasks(CIBSImageSource* list) : CSaveAsPDFTask(list) {}

protected:
  void GetRange(CIBSImageSource&, int count, int& first, int& end) override {
    first = 0;
    end = count;
  }
};
