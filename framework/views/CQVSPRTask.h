#pragma once
// Progress tasks: units of background work that a progress dialog (CQVSPRDialog) shows.
//
// CQVSPRTask is a worker thread that keeps a progress text, a percentage (0..100) and a done flag
// under a lock, answers the dialog's questions through virtual operations and wakes the dialog on
// every change. A derived class does its work in OnProcess, polls IsStopRequested between steps
// and reports with SetProgress; it ends its work by reporting done (also after a failure, with a
// text that says what went wrong). A task that is stopped must leave nothing half made behind.
//
// CQVSPRTaskEx adds three nested levels of counters from which it computes the percentage: level
// 1 counts finished top-level steps, each lower level the progress inside one step of the level
// above. Its progress text by mode: 1 "<percent> %" (STR_SPR_PROGRESSDESC_PERCENTAGE), 2 "x of y"
// top-level steps (STR_SPR_PROGRESSDESC_XOFY), any other value none.
//
// Threads: the reporting calls (SetProgress, the level setters, UpdateProgress, SetCompleted) run
// on the worker; GetProgress and the other questions, and the static adapters the dialog calls
// them through, on the dialog's thread. The worker never waits for the dialog's thread. Lock
// order: mode, counters, progress, then the dialog lock.

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/util/CDPXThread.h"
#include "platform/core/CString.h"
#include "platform/core/sync.h"

class CQVSPRDialog;

class CQVSPRTask : public CDPXThread {
  DECLARE_DYNCREATE(CQVSPRTask)
public:
  CQVSPRTask() = default;
  // Stops the worker and waits for it, beyond the stop wait if need be: nothing of the task goes
  // while the worker may still use it.
  ~CQVSPRTask() override;

  // The dialog that is woken on every report (null: none). FALSE (null) when the lock fails.
  BOOL SetDialog(CQVSPRDialog* dialog);
  CQVSPRDialog* GetDialog();

  // Stores the text trimmed, the percent clamped to 0..100 and the done flag, then wakes the
  // dialog. FALSE only when the lock fails.
  BOOL SetProgress(const CString& text, int percent, BOOL done);

  virtual void GetProgress(CString& text, int& percent, int& done);
  virtual BOOL GetProgressIcon(CQVBitmapHandle&, CQVBitmapHandle&) { return FALSE; }
  virtual BOOL GetStopConfirmMessage(CString&) { return FALSE; }
  virtual BOOL GetCompleteMessage(CString&) { return FALSE; }
  // A stop request, without waiting.
  virtual void Stop() { RequestStop(FALSE); }

  // The dialog's callbacks: the user value is the task. A value that is not a task (null, or an
  // object of another class) gives FALSE or does nothing.
  static void CB_GetProgress(LPARAM task, CString& text, int& percent, int& done);
  static BOOL CB_GetProgressIcon(LPARAM task, CQVBitmapHandle& icon, CQVBitmapHandle& mask);
  static BOOL CB_GetStopConfirmMessage(LPARAM task, CString& text);
  static BOOL CB_GetCompleteMessage(LPARAM task, CString& text);
  static void CB_Stop(LPARAM task);

protected:
  CCriticalSection m_csDialog;
  CQVSPRDialog* m_pDialog { nullptr };
  CCriticalSection m_csProgress;
  CString m_strProgress;
  int m_nPercent { 0 };
  BOOL m_bDone { FALSE };
};

class CQVSPRTaskEx : public CQVSPRTask {
  DECLARE_DYNAMIC(CQVSPRTaskEx)
public:
  explicit CQVSPRTaskEx(int mode);

  // 0 when the lock fails.
  int GetCurrentMode();

  // Each stores its counter and, with `update`, reports.
  void L1_SetTotal(int value, BOOL update);
  void L1_SetCompleted(int value, BOOL update);
  void L2_SetTotal(int value, BOOL update);
  void L2_SetCompleted(int value, BOOL update);
  void L3_SetTotal(int value, BOOL update);
  void L3_SetCompleted(int value, BOOL update);
  // Reports the current text and percent with the new done flag.
  void SetCompleted(BOOL done);

  // C1 * 100 / T1, plus C2 * 100 / (T1 * T2), plus C3 * 100 / (T1 * T2 * T3), each sum clamped to
  // 0..100; a level whose total or count is not positive adds nothing, and neither does one whose
  // product of totals is too large to mean anything.
  int CalculateProgress();
  // The percent and the text of the mode, reported with the stored done flag.
  void UpdateProgress();

protected:
  void SetCounter(int& counter, int value, BOOL update);

  CCriticalSection m_csMode;
  int m_nMode { 0 };
  CCriticalSection m_csCounter;
  int m_nL1Total { 1 };
  int m_nL1Completed { 0 };
  int m_nL2Total { 1 };
  int m_nL2Completed { 0 };
  int m_nL3Total { 1 };
  int m_nL3Completed { 0 };
};
