#include "platform/ui/afx/CWinApp.h"

#include "platform/core/globalmem.h"
#include "platform/core/module.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CGdiObject.h"
#include "platform/ui/afx/CDocTemplate.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CMenu.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/internal/WindowTable.h"
#include "platform/ui/shell/printdlg.h"

#include <QApplication>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

CWinApp* g_app = nullptr;

BOOL FilterMessage(MSG* msg) { return g_app ? g_app->PreTranslateMessage(msg) : FALSE; }
BOOL RunIdle(LONG count) { return g_app ? g_app->OnIdle(count) : FALSE; }

void UpdateFrame(HWND frame) {
  ::SendMessageW(frame, WM_IDLEUPDATECMDUI, TRUE, 0);
  if (CWnd* wnd = CWnd::FromHandlePermanent(frame)) wnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
}

// The floating frames of the main window's bars: hidden ones too, as a bar may wait to be shown.
BOOL UpdateFloatingFrame(HWND hwnd, LPARAM main) {
  CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
  if (::GetWindow(hwnd, GW_OWNER) == reinterpret_cast<HWND>(main) && wnd && wnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
    UpdateFrame(hwnd);
  return TRUE;
}

}  // namespace

HINSTANCE g_resource = nullptr;

CWinApp* AfxGetApp() { return g_app; }
HINSTANCE AfxGetInstanceHandle() { return g_app && g_app->m_hInstance ? g_app->m_hInstance : GetModuleHandleW(nullptr); }
HINSTANCE AfxGetResourceHandle() { return g_resource ? g_resource : AfxGetInstanceHandle(); }
void AfxSetResourceHandle(HINSTANCE resource) { g_resource = resource; }
CWinThread* AfxGetThread() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->GetMainWnd() : nullptr; }
LPCWSTR AfxGetAppName() { return g_app ? g_app->m_pszAppName : u""; }

CWinThread::~CWinThread() {
  if (m_hThread) CloseHandle(m_hThread);
}

namespace {

struct ThreadStart {
  CWinThread* thread;
  AFX_THREADPROC routine;
  LPVOID parameter;
};

DWORD RunThreadRoutine(LPVOID start) {
  ThreadStart s = *static_cast<ThreadStart*>(start);
  delete static_cast<ThreadStart*>(start);
  UINT code = s.routine(s.parameter);
  if (s.thread->m_bAutoDelete) delete s.thread;
  return code;
}

}  // namespace

CWinThread* AfxBeginThread(AFX_THREADPROC routine, LPVOID parameter, int priority, UINT stackSize, DWORD flags,
                           LPSECURITY_ATTRIBUTES security) {
  if (!routine) return nullptr;
  auto* thread = new CWinThread;
  auto* start = new ThreadStart {thread, routine, parameter};
  // The thread waits until the object knows its handle, which the routine's end may delete.
  thread->m_hThread = CreateThread(security, stackSize, &RunThreadRoutine, start, CREATE_SUSPENDED, &thread->m_nThreadID);
  if (!thread->m_hThread) {
    delete start;
    delete thread;
    return nullptr;
  }
  thread->SetThreadPriority(priority);
  if (!(flags & CREATE_SUSPENDED)) thread->ResumeThread();
  return thread;
}

int CWinThread::Run() {
  if (!qApp) return ExitInstance();
  QApplication::exec();
  return ExitInstance();
}

BOOL CWinThread::PreTranslateMessage(MSG* msg) {
  CWnd* main = GetMainWnd();
  HWND stop = main ? main->GetSafeHwnd() : nullptr;
  if (CWnd::WalkPreTranslateTree(stop, msg)) return TRUE;
  if (main) {
    CWnd* wnd = CWnd::FromHandle(msg->hwnd);
    if (wnd && wnd->GetTopLevelParent() != main) return main->PreTranslateMessage(msg);
  }
  return FALSE;
}

BOOL CWinThread::OnIdle(LONG count) {
  if (count <= 0) {
    CWnd* main = GetMainWnd();
    if (main && main->GetSafeHwnd() && main->IsWindowVisible() && !main->IsIconic()) {
      HWND mainWindow = main->GetSafeHwnd();
      UpdateFrame(mainWindow);
      if (::IsWindow(mainWindow)) ::EnumWindows(&UpdateFloatingFrame, reinterpret_cast<LPARAM>(mainWindow));
    }
  } else {
    // Wrappers made for handles along the way are freed now.
    AfxDeleteTempMenus();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
  }
  return count < 1;
}

CWinApp::CWinApp(LPCWSTR appName) : m_strAppName(appName) {
  m_pszAppName = m_strAppName.GetString();
  m_hInstance = GetModuleHandleW(nullptr);
  g_app = this;
  qvui::SetMessageFilter(&FilterMessage);
  qvui::SetIdleHandler(&RunIdle);
}

CWinApp::~CWinApp() {
  m_templates.clear();
  if (m_hDevMode) GlobalFree(m_hDevMode);
  if (m_hDevNames) GlobalFree(m_hDevNames);
  if (g_app == this) {
    g_app = nullptr;
    qvui::SetMessageFilter(nullptr);
    qvui::SetIdleHandler(nullptr);
  }
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLGW* pd) {
  if (!pd) return FALSE;
  if (!m_hDevNames) {
    PRINTDLGW defaults {};
    defaults.lStructSize = sizeof defaults;
    defaults.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgW(&defaults)) return FALSE;
    m_hDevMode = defaults.hDevMode;
    m_hDevNames = defaults.hDevNames;
  }
  pd->hDevMode = m_hDevMode;
  pd->hDevNames = m_hDevNames;
  return TRUE;
}

BOOL CWinApp::OnIdle(LONG count) {
  CWinThread::OnIdle(count);
  return count < 1;
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) {
  if (docTemplate) m_templates.emplace_back(docTemplate);
}

void CWinApp::CloseAllDocuments(BOOL endSession) {
  for (auto& t : m_templates) t->CloseAllDocuments(endSession);
}

BOOL CWinApp::SaveAllModified() {
  for (auto& t : m_templates)
    if (!t->SaveAllModified()) return FALSE;
  return TRUE;
}

void CWinApp::OnFileNew() {
  if (!m_templates.empty()) m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnAppExit() {
  if (m_pMainWnd && m_pMainWnd->GetSafeHwnd()) m_pMainWnd->SendMessage(WM_CLOSE);
}

int AfxWinMain(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  QApplication qapp(argc, argv);
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) app->m_strCmdLine += u' ';
    app->m_strCmdLine += CString::FromUtf8(argv[i]);
  }
  app->m_lpCmdLine = app->m_strCmdLine.GetString();
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}
