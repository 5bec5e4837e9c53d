#include "framework/views/CQVSPRDialog.h"

#include "foundation/language/KernelEntry.h"
#include "framework/views/CQVSPRTask.h"
#include "platform/ui/afx/CDataExchange.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CQVSPRDialog, CQVDialog)

namespace {

constexpr int kIcon = 1036;
constexpr int kTaskDescription = 1037;
constexpr int kProgressDescription = 1038;
constexpr int kProgressBar = 1040;
constexpr int kStop = 1041;
constexpr int kClose = 1042;
constexpr UINT_PTR kPollTimer = 1;
// While a closing dialog waits for its task's worker to end.
constexpr UINT_PTR kEndTimer = 2;
constexpr UINT kEndPoll = 20;
// Reports of the worker are shown at most this often, so that a busy worker leaves the window
// time for its other messages.
constexpr UINT_PTR kThrottleTimer = 3;
constexpr UINT kThrottle = 25;
// A report of the worker, handed to the dialog's thread.
constexpr UINT WM_QV_SPRPROGRESS = WM_APP + 0x5E1;

}  // namespace

BEGIN_MESSAGE_MAP(CQVSPRDialog, CQVDialog)
  ON_WM_TIMER()
  ON_WM_DESTROY()
  ON_BN_CLICKED(kStop, &CQVSPRDialog::OnStopClicked)
  ON_BN_CLICKED(kClose, &CQVSPRDialog::OnCloseClicked)
  ON_MESSAGE(WM_QV_SPRPROGRESS, &CQVSPRDialog::OnProgressPosted)
END_MESSAGE_MAP()

CQVSPRDialog::CQVSPRDialog(CWnd* parent) : CQVDialog(u"DLG_SPR", parent) {
  SetRCMModule(QVKernelInstance());
  SetOKLock(TRUE);
  SetCancelLock(TRUE);
}

CQVSPRDialog::~CQVSPRDialog() { ReleaseTask(); }

// ---- Callbacks and the task --------------------------------------------------------------------

void CQVSPRDialog::ReleaseTask() {
  if (m_pTask) m_pTask->SetDialog(nullptr);
  m_pTask = nullptr;
}

void CQVSPRDialog::SetCB_GetProgress(GetProgressProc proc, LPARAM user) {
  ReleaseTask();
  m_pfnGetProgress = proc;
  m_lGetProgress = user;
}

void CQVSPRDialog::SetCB_GetProgressIcon(GetProgressIconProc proc, LPARAM user) {
  ReleaseTask();
  m_pfnGetProgressIcon = proc;
  m_lGetProgressIcon = user;
}

void CQVSPRDialog::SetCB_GetStopConfirmMessage(GetMessageProc proc, LPARAM user) {
  ReleaseTask();
  m_pfnGetStopConfirmMessage = proc;
  m_lGetStopConfirmMessage = user;
}

void CQVSPRDialog::SetCB_GetCompleteMessage(GetMessageProc proc, LPARAM user) {
  ReleaseTask();
  m_pfnGetCompleteMessage = proc;
  m_lGetCompleteMessage = user;
}

void CQVSPRDialog::SetCB_Stop(StopProc proc, LPARAM user) {
  ReleaseTask();
  m_pfnStop = proc;
  m_lStop = user;
}

BOOL CQVSPRDialog::SetTask(CQVSPRTask* task, BOOL pollOnly) {
  const LPARAM user = reinterpret_cast<LPARAM>(task);
  SetCB_GetProgress(task ? &CQVSPRTask::CB_GetProgress : nullptr, user);
  SetCB_GetProgressIcon(task ? &CQVSPRTask::CB_GetProgressIcon : nullptr, user);
  SetCB_GetStopConfirmMessage(task ? &CQVSPRTask::CB_GetStopConfirmMessage : nullptr, user);
  SetCB_GetCompleteMessage(task ? &CQVSPRTask::CB_GetCompleteMessage : nullptr, user);
  SetCB_Stop(task ? &CQVSPRTask::CB_Stop : nullptr, user);
  if (!task) return TRUE;
  if (!task->SetDialog(pollOnly ? nullptr : this)) return FALSE;
  if (!pollOnly) m_pTask = task;
  return TRUE;
}

BOOL CQVSPRDialog::DoTask(CQVSPRTask& task) {
  if (!SetTask(&task, FALSE)) return FALSE;
  m_bStarted = FALSE;
  m_bClosing = FALSE;
  ShowModal();
  ReleaseTask();
  return m_bStarted;
}

void CQVSPRDialog::SetTaskDescription(LPCWSTR text) {
  m_strTaskDescription = text ? text : u"";
  m_strTaskDescription.Trim();
}

void CQVSPRDialog::SetTaskDescriptionID(LPCWSTR key) {
  CString text;
  if (key) LoadText(key, text);
  SetTaskDescription(text);
}

void CQVSPRDialog::GetProgress(CString& text, int& percent, int& done) {
  if (m_pfnGetProgress) {
    m_pfnGetProgress(m_lGetProgress, text, percent, done);
    return;
  }
  text.Empty();
  percent = 0;
  done = 1;
}

BOOL CQVSPRDialog::GetProgressIcon(CQVBitmapHandle& icon, CQVBitmapHandle& mask) {
  return m_pfnGetProgressIcon ? m_pfnGetProgressIcon(m_lGetProgressIcon, icon, mask) : FALSE;
}

BOOL CQVSPRDialog::GetStopConfirmMessage(CString& text) {
  return m_pfnGetStopConfirmMessage ? m_pfnGetStopConfirmMessage(m_lGetStopConfirmMessage, text) : FALSE;
}

BOOL CQVSPRDialog::GetCompleteMessage(CString& text) {
  return m_pfnGetCompleteMessage ? m_pfnGetCompleteMessage(m_lGetCompleteMessage, text) : FALSE;
}

void CQVSPRDialog::Stop() {
  if (m_pfnStop) m_pfnStop(m_lStop);
}

// ---- Start -------------------------------------------------------------------------------------

void CQVSPRDialog::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Control(dx, kTaskDescription, m_taskDescription);
  DDX_Control(dx, kProgressDescription, m_progressDescription);
  DDX_Control(dx, kProgressBar, m_progressBar);
  DDX_Control(dx, kStop, m_stop);
  DDX_Control(dx, kClose, m_close);
}

BOOL CQVSPRDialog::OnInitIDMap() {
  BeginIDMap(u"DLG_SPR");
  DlgItem(kIcon, u"DLG_SPR_ICON", FALSE);
  DlgItem(kTaskDescription, u"DLG_SPR_TASKDESC", FALSE);
  DlgItem(kProgressDescription, u"DLG_SPR_PROGRESSDESC", FALSE);
  DlgItem(kProgressBar, u"DLG_SPR_PROGRESSBAR", FALSE);
  DlgItem(kStop, u"DLG_SPR_STOP", TRUE);
  DlgItem(kClose, u"DLG_SPR_CLOSE", TRUE);
  EndIDMap();
  return TRUE;
}

// A dialog that cannot start its work does not stay open with nothing to wait for: it ends at
// once, and DoTask says so.
BOOL CQVSPRDialog::OnInitSettings() {
  CenterWindow();
  if (!m_icon.AutoLoad(kIcon, this)) {
    EndDialog(IDABORT);
    return FALSE;
  }
  if (m_bDefaultIcon) m_icon.SetIconMask(u"BMP_DLG_SPR_DEFAULTICON", u"BMP_DLG_SPR_DEFAULTICON_MASK");
  ShowDlgItem(kIcon, m_bShowIcon);
  SetDlgItemText(kTaskDescription, m_strTaskDescription);
  ShowDlgItem(kTaskDescription, m_bShowTaskDescription);
  SetDlgItemText(kProgressDescription, u"");
  ShowDlgItem(kProgressDescription, m_bShowProgressDescription);
  m_progressBar.SetRange32(0, 100);
  m_progressBar.SetPos(0);
  ShowDlgItem(kProgressBar, m_bShowProgressBar);
  ShowDlgItem(kStop, m_bShowStop);
  ShowDlgItem(kClose, FALSE);
  UpdateData(FALSE);
  m_hwndUpdates = GetSafeHwnd();
  OnUpdateProgress();
  if (!m_pTask) {
    if (!SetTimer(kPollTimer, m_nTimerInterval)) {
      EndDialog(IDABORT);
      return FALSE;
    }
    m_bStarted = TRUE;
    return TRUE;
  }
  if (!m_pTask->Start()) {
    ReleaseTask();
    EndDialog(IDABORT);
    return FALSE;
  }
  m_bStarted = TRUE;
  return TRUE;
}

// ---- Updates -----------------------------------------------------------------------------------

void CQVSPRDialog::UpdateProgress() {
  // One posted update at a time, and none while the throttle runs: a worker that reports faster
  // than the dialog paints neither floods its queue nor keeps it from its other work.
  m_bUpdateDue = true;
  const HWND hwnd = m_hwndUpdates.load();
  if (hwnd && !m_bUpdatePosted.exchange(true) && !::PostMessageW(hwnd, WM_QV_SPRPROGRESS, 0, 0))
    m_bUpdatePosted = false;
}

LRESULT CQVSPRDialog::OnProgressPosted(WPARAM, LPARAM) {
  m_bUpdateDue = false;
  OnUpdateProgress();
  if (!SetTimer(kThrottleTimer, kThrottle)) ReleaseThrottle();
  return 0;
}

void CQVSPRDialog::ReleaseThrottle() {
  KillTimer(kThrottleTimer);
  m_bUpdatePosted = false;
  // A report that came while the throttle was being let go posted nothing: it is posted here.
  if (m_bUpdateDue) UpdateProgress();
}

void CQVSPRDialog::OnTimer(UINT_PTR id) {
  if (id == kPollTimer) OnUpdateProgress();
  if (id == kEndTimer) EndWhenTaskEnded();
  if (id == kThrottleTimer) {
    if (m_bUpdateDue.exchange(false)) OnUpdateProgress();
    else ReleaseThrottle();
  }
  CQVDialog::OnTimer(id);
}

void CQVSPRDialog::OnUpdateProgress() {
  CSingleLock guard(&m_csDialog);
  if (!guard.Lock() || !GetSafeHwnd() || m_bClosing) return;
  CString text;
  int percent = 0, done = 0;
  GetProgress(text, percent, done);
  SetDlgItemText(kProgressDescription, text);
  m_progressBar.SetPos(std::clamp(percent, 0, 100));
  CQVBitmapHandle icon, mask;
  if (GetProgressIcon(icon, mask)) {
    m_icon.SetIconMask(icon, mask);
    m_icon.Invalidate();
  }
  if (!done) return;
  CString message;
  if (GetCompleteMessage(message)) {
    SetDlgItemText(kProgressDescription, message);
    ShowDlgItem(kStop, FALSE);
    ShowDlgItem(kClose, TRUE);
  } else {
    PostMessage(WM_COMMAND, MAKEWPARAM(kClose, BN_CLICKED), 0);
  }
}

void CQVSPRDialog::OnStop() {
  CSingleLock guard(&m_csDialog);
  if (!guard.Lock()) return;
  CString message;
  if (!GetStopConfirmMessage(message) || _YesNoMsg(message, nullptr)) Stop();
}

// ---- End ---------------------------------------------------------------------------------------

void CQVSPRDialog::OnCloseWindow() {
  if (m_bClosing) return;
  m_bClosing = TRUE;
  KillTimer(kPollTimer);
  m_pStopping = m_pTask;
  if (m_pTask) {
    m_pTask->RequestStop(FALSE);
    ReleaseTask();
  }
  m_hwndUpdates = nullptr;
  if (m_pStopping && !m_pStopping->IsFinished()) {
    ShowDlgItem(kStop, FALSE);
    EnableDlgItem(kClose, FALSE);
    if (SetTimer(kEndTimer, kEndPoll)) return;
    // Without a timer the wait is here; the worker never waits for this thread, so it ends.
    m_pStopping->RequestStop(TRUE);
  }
  EndWhenTaskEnded();
}

void CQVSPRDialog::EndWhenTaskEnded() {
  if (m_pStopping && !m_pStopping->IsFinished()) return;
  KillTimer(kEndTimer);
  m_pStopping = nullptr;
  CDialog::OnCancel();
}

void CQVSPRDialog::OnDestroy() {
  m_hwndUpdates = nullptr;
  CQVDialog::OnDestroy();
}
