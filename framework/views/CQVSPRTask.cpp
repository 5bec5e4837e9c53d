#include "framework/views/CQVSPRTask.h"

#include "foundation/language/CQVRCM.h"
#include "framework/views/CQVSPRDialog.h"

#include <algorithm>
#include <climits>

IMPLEMENT_DYNCREATE(CQVSPRTask, CDPXThread)
IMPLEMENT_DYNAMIC(CQVSPRTaskEx, CQVSPRTask)

// ---- CQVSPRTask --------------------------------------------------------------------------------

CQVSPRTask::~CQVSPRTask() {
  // The worker may still be inside OnProcess, which reports through this object's locks and
  // text; those must outlive it, however long it takes to heed the stop.
  if (!RequestStop(TRUE)) {
    m_nStopWait = -1;
    WaitForExit();
  }
}

BOOL CQVSPRTask::SetDialog(CQVSPRDialog* dialog) {
  CSingleLock guard(&m_csDialog);
  if (!guard.Lock()) return FALSE;
  m_pDialog = dialog;
  return TRUE;
}

CQVSPRDialog* CQVSPRTask::GetDialog() {
  CSingleLock guard(&m_csDialog);
  return guard.Lock() ? m_pDialog : nullptr;
}

BOOL CQVSPRTask::SetProgress(const CString& text, int percent, BOOL done) {
  {
    CSingleLock guard(&m_csProgress);
    if (!guard.Lock()) return FALSE;
    m_strProgress = text;
    m_strProgress.Trim();
    m_nPercent = std::clamp(percent, 0, 100);
    m_bDone = done;
  }
  // The dialog is woken while it is still bound: unbinding waits for this lock, so a dialog that
  // has let the task go is never reached. Waking only posts; it never waits for the dialog.
  CSingleLock guard(&m_csDialog);
  if (guard.Lock() && m_pDialog) m_pDialog->UpdateProgress();
  return TRUE;
}

void CQVSPRTask::GetProgress(CString& text, int& percent, int& done) {
  CSingleLock guard(&m_csProgress);
  if (!guard.Lock()) return;
  text = m_strProgress;
  percent = m_nPercent;
  done = m_bDone;
}

namespace {

CQVSPRTask* TaskOf(LPARAM value) {
  auto* object = reinterpret_cast<CObject*>(value);
  return object && object->IsKindOf(RUNTIME_CLASS(CQVSPRTask)) ? static_cast<CQVSPRTask*>(object) : nullptr;
}

}  // namespace

void CQVSPRTask::CB_GetProgress(LPARAM task, CString& text, int& percent, int& done) {
  if (CQVSPRTask* t = TaskOf(task)) t->GetProgress(text, percent, done);
}

BOOL CQVSPRTask::CB_GetProgressIcon(LPARAM task, CQVBitmapHandle& icon, CQVBitmapHandle& mask) {
  CQVSPRTask* t = TaskOf(task);
  return t ? t->GetProgressIcon(icon, mask) : FALSE;
}

BOOL CQVSPRTask::CB_GetStopConfirmMessage(LPARAM task, CString& text) {
  CQVSPRTask* t = TaskOf(task);
  return t ? t->GetStopConfirmMessage(text) : FALSE;
}

BOOL CQVSPRTask::CB_GetCompleteMessage(LPARAM task, CString& text) {
  CQVSPRTask* t = TaskOf(task);
  return t ? t->GetCompleteMessage(text) : FALSE;
}

void CQVSPRTask::CB_Stop(LPARAM task) {
  if (CQVSPRTask* t = TaskOf(task)) t->Stop();
}

// ---- CQVSPRTaskEx ------------------------------------------------------------------------------

CQVSPRTaskEx::CQVSPRTaskEx(int mode) : m_nMode(mode) {}

int CQVSPRTaskEx::GetCurrentMode() {
  CSingleLock guard(&m_csMode);
  return guard.Lock() ? m_nMode : 0;
}

void CQVSPRTaskEx::SetCounter(int& counter, int value, BOOL update) {
  {
    CSingleLock guard(&m_csCounter);
    if (!guard.Lock()) return;
    counter = value;
  }
  if (update) UpdateProgress();
}

void CQVSPRTaskEx::L1_SetTotal(int value, BOOL update) { SetCounter(m_nL1Total, value, update); }
void CQVSPRTaskEx::L1_SetCompleted(int value, BOOL update) { SetCounter(m_nL1Completed, value, update); }
void CQVSPRTaskEx::L2_SetTotal(int value, BOOL update) { SetCounter(m_nL2Total, value, update); }
void CQVSPRTaskEx::L2_SetCompleted(int value, BOOL update) { SetCounter(m_nL2Completed, value, update); }
void CQVSPRTaskEx::L3_SetTotal(int value, BOOL update) { SetCounter(m_nL3Total, value, update); }
void CQVSPRTaskEx::L3_SetCompleted(int value, BOOL update) { SetCounter(m_nL3Completed, value, update); }

void CQVSPRTaskEx::SetCompleted(BOOL done) {
  CString text;
  int percent = 0;
  {
    CSingleLock guard(&m_csProgress);
    if (!guard.Lock()) return;
    text = m_strProgress;
    percent = m_nPercent;
  }
  SetProgress(text, percent, done);
}

int CQVSPRTaskEx::CalculateProgress() {
  CSingleLock guard(&m_csCounter);
  if (!guard.Lock()) return 0;
  // 64 bits hold every product of two totals; a third that would not fit is far beyond what one
  // per cent can show, so it adds nothing.
  const long long totals[3] = {m_nL1Total, m_nL2Total, m_nL3Total};
  const long long counts[3] = {m_nL1Completed, m_nL2Completed, m_nL3Completed};
  long long percent = 0;
  long long product = 1;
  for (int level = 0; level < 3; ++level) {
    if (totals[level] <= 0 || counts[level] <= 0) break;
    if (product > LLONG_MAX / totals[level]) break;
    product *= totals[level];
    percent = std::clamp(percent + counts[level] * 100 / product, 0LL, 100LL);
  }
  return static_cast<int>(percent);
}

void CQVSPRTaskEx::UpdateProgress() {
  CString text;
  int percent = 0;
  BOOL done = FALSE;
  {
    CSingleLock mode(&m_csMode);
    CSingleLock counters(&m_csCounter);
    CSingleLock progress(&m_csProgress);
    if (!mode.Lock() || !counters.Lock() || !progress.Lock()) return;
    percent = CalculateProgress();
    done = m_bDone;
    CString number;
    if (m_nMode == 1) {
      number.Format(u"%d", percent);
      CQVRCM::LoadText(u"STR_SPR_PROGRESSDESC_PERCENTAGE", text);
      text.Replace(u"<%progress%>", number);
    } else if (m_nMode == 2) {
      const int y = std::max(m_nL1Total, 0);
      const int x = std::min(std::max(m_nL1Completed, 0), y);
      CQVRCM::LoadText(u"STR_SPR_PROGRESSDESC_XOFY", text);
      number.Format(u"%d", x);
      text.Replace(u"<%x%>", number);
      number.Format(u"%d", y);
      text.Replace(u"<%y%>", number);
    }
  }
  SetProgress(text, percent, done);
}
