#pragma once
// CPrintItDlg: the printing progress dialog. It shows the printer and its port, a bar over the
// sheets and the sheet being printed, and runs its print job (CPrintJob) on a thread of its own
// once it is up. Calling order: construct, fill GetJob(), SetPrinter, ShowModal, destroy.
//
// The dialog ends when the print thread has ended, never before: Cancel asks the thread to stop
// and says so in the dialog, and the thread's end closes it. So the job, the path context the
// caller gave and the dialog stay alive for as long as the thread uses them. ShowModal answers
// IDOK when the job was printed whole, else IDCANCEL.

#include "framework/dialogs/CQVDialog.h"
#include "platform/ui/afx/CProgressCtrl.h"
#include "viewer/print/CPrintJob.h"

class CWinThread;

// What the print thread works with: the values of the job, copied when printing starts.
struct PrintThreadArgs {
  HDC dc {};
  CPrintJob* job {};
  LPCWSTR docName {};
  int firstSheet {};
  int lastSheet {};
  int imageCount {};
  int currentImage {};
  int firstImage {};
  int rows {};
  int columns {};
  HWND dialog {};
};

// The print thread: -1 for null arguments or a failed run, else 0. Runs the job under g_printLock.
UINT PrintThreadProc(LPVOID args);

#define ID_START_PRINTING 33069

class CPrintItDlg : public CQVDialog {
  DECLARE_DYNAMIC(CPrintItDlg)
public:
  explicit CPrintItDlg(CWnd* parent = nullptr);
  ~CPrintItDlg() override;

  CPrintJob& GetJob() { return m_job; }
  // Shows printer and port, then makes the job's printer DC (see CPrintJob::CreatePrinterDC).
  // FALSE when the printer set-up cannot print the job: the caller reports it and does not show
  // the dialog.
  BOOL SetPrinter(LPCWSTR printer, LPCWSTR port, LPCWSTR title, const DEVMODEW* devMode);
  // TRUE unless a cancel was asked for.
  static BOOL IsNotCancelled() { return g_bPrintCancel.load() == 0; }

protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitControls() override;
  BOOL OnInitIDMap() override;
  void OnCancel() override;

  void OnCancelPrint();
  void StartPrinting();
  void OnProgress(int sheet);
  static void ProgressProc(void* context, int sheet);
  LRESULT OnJobMessage(WPARAM type, LPARAM text);
  LRESULT OnJobDone(WPARAM completed, LPARAM);
  DECLARE_MESSAGE_MAP()

  CString m_strPrinter;
  CString m_strPort;
  CString m_strSheet;
  CProgressCtrl m_progress;
  BOOL m_bPrintingStarted { FALSE };
  CPrintJob m_job;
  HDC m_hPrinterDC { nullptr };
  PrintThreadArgs* m_pArgs { nullptr };
  CWinThread* m_pThread { nullptr };
  BOOL m_bThreadEnded { FALSE };
};
