#pragma once
// CQVSPRDialog: the framework's modal progress window: an icon, a task description, a progress
// description, a bar from 0 to 100, a Stop and a Close button (template "DLG_SPR"; its texts are
// looked up in the kernel's language file first).
//
// It learns the progress either by polling five callbacks every 100 ms, or from a bound progress
// task (CQVSPRTask) whose worker thread it starts and which wakes it on every change. When the
// work is done the dialog closes by itself, or, when there is a completion message, shows it with
// Close in place of Stop and waits for the user. Enter and Esc do nothing while it runs.
//
// Closing with a task bound stops the task and lets it go, then waits for its worker to end while
// the window keeps answering (Stop hidden, Close disabled); only then does the dialog end, so the
// caller may delete the task as soon as DoTask returns. The dialog never deletes the task.
//
// Threads: the controls are touched on the dialog's thread only. UpdateProgress may be called from
// any thread: it hands the update to the dialog's thread and returns at once. Lock order: the
// dialog's lock before its task's progress lock.

#include "framework/dialogs/CQVDialog.h"
#include "framework/dialogs/CQVIconWnd.h"
#include "platform/core/sync.h"
#include "platform/ui/afx/CButton.h"
#include "platform/ui/afx/CProgressCtrl.h"
#include "platform/ui/afx/CStatic.h"

#include <atomic>

class CQVSPRTask;

class CQVSPRDialog : public CQVDialog {
  DECLARE_DYNCREATE(CQVSPRDialog)
public:
  // The first argument of every callback is the user value given with it.
  using GetProgressProc = void (*)(LPARAM user, CString& text, int& percent, int& done);
  using GetProgressIconProc = BOOL (*)(LPARAM user, CQVBitmapHandle& icon, CQVBitmapHandle& mask);
  using GetMessageProc = BOOL (*)(LPARAM user, CString& text);
  using StopProc = void (*)(LPARAM user);

  explicit CQVSPRDialog(CWnd* parent = nullptr);
  ~CQVSPRDialog() override;

  // Read when the dialog starts; all shown by default.
  void ShowIcon(BOOL show) { m_bShowIcon = show; }
  void ShowTaskDescription(BOOL show) { m_bShowTaskDescription = show; }
  void ShowProgressDescription(BOOL show) { m_bShowProgressDescription = show; }
  void ShowProgressBar(BOOL show) { m_bShowProgressBar = show; }
  void ShowStop(BOOL show) { m_bShowStop = show; }
  BOOL IsShowIcon() const { return m_bShowIcon; }
  BOOL IsShowTaskDescription() const { return m_bShowTaskDescription; }
  BOOL IsShowProgressDescription() const { return m_bShowProgressDescription; }

  // Each sets one callback and lets a bound task go (it is no longer woken or started).
  void SetCB_GetProgress(GetProgressProc proc, LPARAM user);
  void SetCB_GetProgressIcon(GetProgressIconProc proc, LPARAM user);
  void SetCB_GetStopConfirmMessage(GetMessageProc proc, LPARAM user);
  void SetCB_GetCompleteMessage(GetMessageProc proc, LPARAM user);
  void SetCB_Stop(StopProc proc, LPARAM user);

  // The task's answers become the callbacks. Bound (pollOnly FALSE), the dialog starts the task's
  // worker and is woken by it; poll-only, it asks the task by timer and starts nothing. A null
  // task clears the callbacks. FALSE when the task cannot be told.
  BOOL SetTask(CQVSPRTask* task, BOOL pollOnly = FALSE);
  // Binds the task and runs the dialog modally; TRUE when the dialog ran and the task was started
  // (and has ended by now), FALSE when either could not be.
  BOOL DoTask(CQVSPRTask& task);

  // Stored trimmed; meant for before the dialog is shown.
  void SetTaskDescription(LPCWSTR text);
  void SetTaskDescriptionID(LPCWSTR key);

  // From any thread: an OnUpdateProgress on the dialog's thread, soon.
  void UpdateProgress();

  virtual void GetProgress(CString& text, int& percent, int& done);
  virtual BOOL GetProgressIcon(CQVBitmapHandle& icon, CQVBitmapHandle& mask);
  virtual BOOL GetStopConfirmMessage(CString& text);
  virtual BOOL GetCompleteMessage(CString& text);
  virtual void Stop();
  virtual void OnUpdateProgress();
  virtual void OnStop();
  virtual void OnCloseWindow();

protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;

  void OnTimer(UINT_PTR id);
  void OnDestroy();
  void OnStopClicked() { OnStop(); }
  void OnCloseClicked() { OnCloseWindow(); }
  LRESULT OnProgressPosted(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

  BOOL m_bShowIcon { TRUE };
  BOOL m_bShowTaskDescription { TRUE };
  BOOL m_bShowProgressDescription { TRUE };
  BOOL m_bShowProgressBar { TRUE };
  BOOL m_bShowStop { TRUE };
  BOOL m_bDefaultIcon { TRUE };
  GetProgressProc m_pfnGetProgress { nullptr };
  LPARAM m_lGetProgress { 0 };
  GetProgressIconProc m_pfnGetProgressIcon { nullptr };
  LPARAM m_lGetProgressIcon { 0 };
  GetMessageProc m_pfnGetStopConfirmMessage { nullptr };
  LPARAM m_lGetStopConfirmMessage { 0 };
  GetMessageProc m_pfnGetCompleteMessage { nullptr };
  LPARAM m_lGetCompleteMessage { 0 };
  StopProc m_pfnStop { nullptr };
  LPARAM m_lStop { 0 };
  CQVSPRTask* m_pTask { nullptr };
  CString m_strTaskDescription;
  CQVIconWnd m_icon;
  CStatic m_taskDescription;
  CStatic m_progressDescription;
  CProgressCtrl m_progressBar;
  CButton m_stop;
  CButton m_close;
  CCriticalSection m_csDialog;
  UINT m_nTimerInterval { 100 };

private:
  // Lets the bound task go: it no longer wakes this dialog.
  void ReleaseTask();
  // Ends the modal run once the let-go task's worker is done.
  void EndWhenTaskEnded();
  // Lets the worker post its next report.
  void ReleaseThrottle();

  // The window updates are posted to, set while the dialog runs.
  std::atomic<HWND> m_hwndUpdates { nullptr };
  std::atomic<bool> m_bUpdatePosted { false };
  std::atomic<bool> m_bUpdateDue { false };
  CQVSPRTask* m_pStopping { nullptr };
  BOOL m_bStarted { FALSE };
  BOOL m_bClosing { FALSE };
};
