#pragma once
// CWinThread and CWinApp: the application object and its message loop over QApplication.
//
// A program has one application object (usually a global). Its main() calls AfxWinMain, which
// makes the QApplication, runs InitInstance and then Run: Qt's event loop, in which every window
// message is first offered to PreTranslateMessage and OnIdle runs whenever the loop is about to
// wait (never on a busy timer). Run ends when the main window is destroyed or PostQuitMessage is
// called, and returns what ExitInstance returns.
//
// A worker thread is a CWinThread too: AfxBeginThread runs a routine on a thread of its own.

#include "platform/core/thread.h"
#include "platform/ui/afx/CCmdTarget.h"

#include <memory>
#include <vector>

class CDocTemplate;
class CWnd;
struct PRINTDLGW;

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)
public:
  ~CWinThread() override;
  virtual BOOL InitInstance() { return FALSE; }
  virtual int Run();
  virtual int ExitInstance() { return 0; }
  // Walks from the message's window to the main window; then, for a window outside the main
  // window's tree, offers the message to the main window as well (its accelerators).
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Count 0: command-state updates of the main window and its bars; 1: frees temporary wrappers.
  // TRUE asks for another call with the next count before the loop waits.
  virtual BOOL OnIdle(LONG count);
  virtual CWnd* GetMainWnd() { return m_pMainWnd; }

  DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
  BOOL SetThreadPriority(int priority) { return ::SetThreadPriority(m_hThread, priority); }

  CWnd* m_pMainWnd {};
  // A worker thread's handle (closed with the object) and identifier, and whether the object
  // deletes itself when the thread's routine returns.
  HANDLE m_hThread {};
  DWORD m_nThreadID {};
  BOOL m_bAutoDelete {TRUE};
};

// A worker thread's routine; what it answers is the thread's exit code.
using AFX_THREADPROC = UINT (*)(LPVOID parameter);
// Starts routine(parameter) on a new thread at the priority given (CREATE_SUSPENDED: once
// ResumeThread is called). The object it answers deletes itself when the routine has returned,
// unless m_bAutoDelete is cleared before; null when no thread can be made.
CWinThread* AfxBeginThread(AFX_THREADPROC routine, LPVOID parameter, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD flags = 0, LPSECURITY_ATTRIBUTES security = nullptr);

class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)
public:
  explicit CWinApp(LPCWSTR appName = nullptr);
  ~CWinApp() override;

  BOOL InitInstance() override { return TRUE; }
  BOOL OnIdle(LONG count) override;

  void AddDocTemplate(CDocTemplate* docTemplate);
  int GetDocTemplateCount() const { return static_cast<int>(m_templates.size()); }
  CDocTemplate* GetDocTemplate(int index) const { return m_templates.at(static_cast<size_t>(index)).get(); }
  void CloseAllDocuments(BOOL endSession);
  BOOL SaveAllModified();
  // Makes a new document (with its frame and view) from the first document template.
  void OnFileNew();
  void OnAppExit();
  // The program's printer (the default one until the user picks another): its settings and names
  // into the record, which borrows them from the application.
  BOOL GetPrinterDeviceDefaults(PRINTDLGW* pd);

  CString m_strAppName;
  LPCWSTR m_pszAppName {};
  HINSTANCE m_hInstance {};
  CString m_strCmdLine;  // the command line after the program's name
  LPCWSTR m_lpCmdLine {u""};
  int m_nCmdShow {SW_SHOWNORMAL};
  HGLOBAL m_hDevMode {};
  HGLOBAL m_hDevNames {};

private:
  std::vector<std::unique_ptr<CDocTemplate>> m_templates;
};

CWinApp* AfxGetApp();
// The module state: the program's module, and the module resources are looked up in first (the
// program's unless set otherwise). Extension libraries join the module chain in the core
// (CDynLinkLibrary) and keep these answers.
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resource);
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
LPCWSTR AfxGetAppName();
// The program's entry: makes the QApplication (on X11 unless QT_QPA_PLATFORM says otherwise,
// without high-DPI scaling: a pixel is a device pixel), runs the application object.
int AfxWinMain(int argc, char** argv);
