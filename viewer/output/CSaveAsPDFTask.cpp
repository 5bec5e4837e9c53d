#include "viewer/output/CSaveAsPDFTask.h"

#include "foundation/imaging/CQVPDFWriter.h"
#include "foundation/language/CQVRCM.h"
#include "platform/core/CException.h"
#include "viewer/output/CIBSImageSource.h"

#include <algorithm>
#include <memory>

IMPLEMENT_DYNAMIC(CSaveAsPDFTask, CQVSPRTaskEx)
IMPLEMENT_DYNAMIC(CDocumentBrowserTasks, CSaveAsPDFTask)
IMPLEMENT_DYNAMIC(CIBSImageListTasks, CSaveAsPDFTask)

namespace {
constexpr int kPercentDescription = 1;
}

CSaveAsPDFTask::CSaveAsPDFTask(CIBSImageSource* source) : CQVSPRTaskEx(kPercentDescription), m_pSource(source) {}

void CSaveAsPDFTask::SetOptions(const SaveAsPDFOption& options) {
  m_options = options;
  m_options.strPath.Trim();
}

BOOL CSaveAsPDFTask::GetStopConfirmMessage(CString& text) { return CQVRCM::LoadText(u"MSG_CONFIRM_STOPCREATEPDF", text); }

BOOL CSaveAsPDFTask::GetCompleteMessage(CString& text) {
  if (!m_bFailed) return FALSE;
  return CQVRCM::LoadText(u"ERR_CREATEPDF_FAILED", text);
}

void CSaveAsPDFTask::OnProcess() {
  m_bFailed = FALSE;
  m_bSucceeded = FALSE;
  CSingleLock lock(&m_csSource);
  if (!lock.Lock() || !m_pSource || !WriteFile(*m_pSource)) m_bFailed = TRUE;
  SetCompleted(TRUE);
}

BOOL CSaveAsPDFTask::WriteFile(CIBSImageSource& source) {
  const int count = source.GetImageCount();
  int first = 0, end = count;
  GetRange(source, count, first, end);
  L1_SetTotal(std::max(0, end - first), FALSE);
  L2_SetTotal(100, FALSE);
  L1_SetCompleted(0, TRUE);
  L2_SetCompleted(0, TRUE);
  if (m_options.strPath.IsEmpty()) return FALSE;

  std::unique_ptr<CQVPDFWriter> writer;
  try {
    writer = std::make_unique<CQVPDFWriter>(m_options.strPath.GetString());
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
  // Without Finish the writer would put what it has in place when it goes; a stopped or failed
  // run drops it instead.
  for (int i = first; i < end; ++i) {
    if (IsStopRequested()) {
      writer->Discard();
      return TRUE;
    }
    L2_SetCompleted(0, TRUE);
    CQVBitmapHandle bitmap;
    if (!source.LoadImageInto(i, bitmap)) {
      writer->Discard();
      return FALSE;
    }
    L2_SetCompleted(50, TRUE);
    if (!writer->_AddImage(bitmap)) {
      writer->Discard();
      return FALSE;
    }
    L2_SetCompleted(0, FALSE);
    L1_SetCompleted(i - first + 1, TRUE);
  }
  m_bSucceeded = writer->Finish();
  return m_bSucceeded;
}

void CDocumentBrowserTasks::GetRange(CIBSImageSource& source, int count, int& first, int& end) {
  const SaveAsPDFOption& options = GetOptions();
  first = 0;
  end = count;
  if (options.nSaveRange == 2) {
    first = std::max(0, options.nImageFrom - 1);
    end = std::min(options.nImageTo, count);
  } else if (options.nSaveRange == 3) {
    first = std::max(0, source.GetFirstVisibleIndex());
    end = std::min(count, first + source.GetCellCount());
  }
}
