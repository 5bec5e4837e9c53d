#include "viewer/print/CPrintItDlg.h"

#include "platform/core/handles.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CDataExchange.h"
#include "platform/ui/afx/CWinApp.h"

IMPLEMENT_DYNAMIC(CPrintItDlg, CQVDialog)

namespace {
enum : int {
  kTitle = 1041,
  kSheet = 1042,
  kDriverStatic = 1043,
  kDriverName = 1044,
  kPortStatic = 1045,
  kPortName = 1046,
  kProgress = 1047,
};
}  // namespace

UINT PrintThreadProc(LPVOID parameter) {
  auto* args = static_cast<PrintThreadArgs*>(parameter);
  if (!args || !args->job) return static_cast<UINT>(-1);
  CSingleLock lock(&g_printLock, FALSE);
  if (!lock.Lock()) return 0;
  const PrintThreadArgs a = *args;
  const BOOL ok = a.job->Run(a.dc, a.docName, a.firstSheet, a.lastSheet, a.imageCount, a.firstImage, a.rows,
                             a.columns, a.dialog);
  return ok ? 0 : static_cast<UINT>(-1);
}

BEGIN_MESSAGE_MAP(CPrintItDlg, CQVDialog)
  ON_BN_CLICKED(IDCANCEL, &CPrintItDlg::OnCancelPrint)
  ON_COMMAND(ID_START_PRINTING, &CPrintItDlg::StartPrinting)
  ON_MESSAGE(WM_QV_PRINTJOB_MESSAGE, &CPrintItDlg::OnJobMessage)
  ON_MESSAGE(WM_QV_PRINTJOB_DONE, &CPrintItDlg::OnJobDone)
END_MESSAGE_MAP()

CPrintItDlg::CPrintItDlg(CWnd* parent) : CQVDialog(u"IDD_PRINTDIALOG", parent) {
  SetCloseOnDeactivate(FALSE);
}

CPrintItDlg::~CPrintItDlg() {
  if (m_pThread) {
    ::WaitForSingleObject(m_pThread->m_hThread, INFINITE);
    delete m_pThread;
  }
  // A DC the thread never took is still the dialog's.
  if (m_hPrinterDC && !m_bPrintingStarted) ::DeleteDC(m_hPrinterDC);
  delete m_pArgs;
}

BOOL CPrintItDlg::SetPrinter(LPCWSTR printer, LPCWSTR port, LPCWSTR title, const DEVMODEW* devMode) {
  m_strPrinter = printer ? printer : u"";
  m_strPort = port ? port : u"";
  return m_job.CreatePrinterDC(printer, port, title, devMode, m_hPrinterDC);
}

void CPrintItDlg::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Text(dx, kDriverName, m_strPrinter);
  DDX_Text(dx, kPortName, m_strPort);
  DDX_Text(dx, kSheet, m_strSheet);
  DDX_Control(dx, kProgress, m_progress);
}

BOOL CPrintItDlg::OnInitControls() {
  m_progress.SetRange32(0, m_job.m_nSheetCount);
  UpdateData(FALSE);
  PostMessage(WM_COMMAND, ID_START_PRINTING, 0);
  return TRUE;
}

BOOL CPrintItDlg::OnInitIDMap() {
  BeginIDMap(u"DLG_PRINTING");
  DlgItem(kTitle, u"DLG_PRINTING_TITLE", TRUE);
  DlgItem(kSheet, u"DLG_PRINTING_PAGE", FALSE);
  DlgItem(kDriverStatic, u"DLG_PRINTING_DRIVER_STATIC", TRUE);
  DlgItem(kDriverName, u"DLG_PRINTING_DRIVER_NAME", FALSE);
  DlgItem(kPortStatic, u"DLG_PRINTING_PORT_STATIC", TRUE);
  DlgItem(kPortName, u"DLG_PRINTING_PORT_NAME", FALSE);
  DlgItem(kProgress, u"DLG_PRINTING_PROGRESS", FALSE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

void CPrintItDlg::StartPrinting() {
  if (m_bPrintingStarted || !m_hPrinterDC) return;
  ShowWindow(SW_SHOWNORMAL);
  m_job.m_pProgressContext = this;
  m_job.m_pfnProgress = &CPrintItDlg::ProgressProc;
  m_pArgs = new PrintThreadArgs { m_hPrinterDC, &m_job, m_job.m_strTitle.GetString(), m_job.m_nFirstSheet,
                                  m_job.m_nSheetCount, m_job.m_nImageCount, 0, m_job.m_nFirstImage,
                                  m_job.m_nRows, m_job.m_nColumns, GetSafeHwnd() };
  // Started held, so that the thread object stays the dialog's to wait for.
  m_pThread = AfxBeginThread(&PrintThreadProc, m_pArgs, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  if (!m_pThread) {
    ErrorMsg(u"MSG_ERR_PRINT_WRONGSETUP");
    EndDialog(IDCANCEL);
    return;
  }
  m_pThread->m_bAutoDelete = FALSE;
  m_bPrintingStarted = TRUE;  // the DC is the thread's from here on
  m_pThread->ResumeThread();
}

void CPrintItDlg::OnCancelPrint() {
  if (!m_bPrintingStarted || m_bThreadEnded) {
    CQVDialog::OnCancel();
    return;
  }
  // The thread stops at its next check and then closes the dialog.
  g_bPrintCancel = 1;
  CString text;
  LoadText(u"TXT_DLG_PRINTING_CANCELLING", text);
  SetDlgItemText(kTitle, text);
  EnableDlgItem(IDCANCEL, FALSE);
}

void CPrintItDlg::OnCancel() { OnCancelPrint(); }

void CPrintItDlg::ProgressProc(void* context, int sheet) {
  if (context) static_cast<CPrintItDlg*>(context)->OnProgress(sheet);
}

void CPrintItDlg::OnProgress(int sheet) {
  if (sheet <= 0) return;
  // On the print thread: the controls are reached by message only.
  ::SendMessageW(m_progress.GetSafeHwnd(), PBM_SETPOS, static_cast<WPARAM>(sheet), 0);
  CString text;
  text.Format(u"%3d", sheet);
  ::SendMessageW(::GetDlgItem(GetSafeHwnd(), kSheet), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.GetString()));
}

LRESULT CPrintItDlg::OnJobMessage(WPARAM type, LPARAM text) {
  const auto* message = reinterpret_cast<const CString*>(text);
  return message ? _MsgBox(message->GetString(), nullptr, static_cast<UINT>(type)) : 0;
}

LRESULT CPrintItDlg::OnJobDone(WPARAM completed, LPARAM) {
  m_bThreadEnded = TRUE;
  EndDialog(completed ? IDOK : IDCANCEL);
  return 0;
}
