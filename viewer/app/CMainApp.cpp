#include "viewer/app/CMainApp.h"

#include "framework/app/CQVGUIRegistry.h"
#include "framework/app/CQVHotKeyList.h"
#include "framework/app/CQVIDRegistry.h"
#include "platform/core/module.h"
#include "platform/core/sysinfo.h"
#include "viewer/app/CMainCommands.h"
#include "viewer/app/CMainDoc.h"
#include "viewer/app/CMainFrame.h"
#include "viewer/app/CMainStartup.h"
#include "viewer/app/CMainView.h"

IMPLEMENT_DYNAMIC(CMainApp, CQVWinApp)

CMainApp::CMainApp() {
  m_nTemplateID = 4;
  m_pDocumentClass = RUNTIME_CLASS(CMainDoc);
  m_pFrameClass = RUNTIME_CLASS(CMainFrame);
  m_pViewClass = RUNTIME_CLASS(CMainView);
}

CMainApp* CMainApp::GetMainApp() {
  CQVWinApp* app = GetApp();
  return app && app->IsKindOf(RUNTIME_CLASS(CMainApp)) ? static_cast<CMainApp*>(app) : nullptr;
}

void CMainApp::SetArguments(int argc, const char* const* argv) {
  m_arguments.clear();
  for (int i = 0; i < argc && argv[i]; ++i) m_arguments.emplace_back(argv[i]);
}

void CMainApp::GetMainFrameClass(CString& name) { name = u"SEEK-AND-SHOWCLASS"; }

void CMainApp::GetAppRootName(CString& name) { name = u"SEEK-AND-SHOW"; }

BOOL CMainApp::OnCreateMainFrameClass(LPCWSTR className) {
  WNDCLASSW wc {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(wc.hInstance, u"IDI_ORBELMAIN");
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = className;
  return AfxRegisterClass(&wc);
}

BOOL CMainApp::GetSettingsFolder(CString& folder) { return GetWorkstationDir(folder, 1, TRUE); }

BOOL CMainApp::OnInitInstance() {
  if (!InitResourceManager(nullptr, nullptr)) return FALSE;
  if (!InitGUIRegistry(RUNTIME_CLASS(CQVGUIRegistry))) return FALSE;
  if (!InitIDRegistry(RUNTIME_CLASS(CQVIDRegistry))) return FALSE;
  for (const ViewerCommand& command : ViewerCommands()) RegisterID(command.nID, command.pszName);
  // Without hot keys the program still works through its menus and bars; the user is told once
  // the window shows.
  m_bNoHotKeys = !ReloadHotKeys();

  CString folder;
  if (!GetSettingsFolder(folder) || !m_settings.InitSettingsPaths(folder)) return FALSE;
  const CString dockStateFile = m_settings.m_screenLayout.strDockstateFile;
  // A file that is missing or damaged leaves the defaults.
  m_settings.LoadSettings();
  // The dock-state file is always the one beside the settings: the frame deletes it when it cannot
  // be written, so a path read from the file must never name another one.
  m_settings.m_screenLayout.strDockstateFile = dockStateFile;
  UpdateIconSize();
  return TRUE;
}

BOOL CMainApp::ReloadHotKeys() {
  if (!InitHotKeyList(GetHotKeyTableName(), RUNTIME_CLASS(CQVHotKeyList))) return FALSE;
  EnableMainFrameHotKey(TRUE);
  return TRUE;
}

void CMainApp::OnPostShowMainFrame(CWnd* mainWindow) {
  if (!mainWindow || !mainWindow->IsKindOf(RUNTIME_CLASS(CMainFrame))) return;
  auto* frame = static_cast<CMainFrame*>(mainWindow);
  frame->ShowRestoredPlacement();
  frame->CheckDisplayColors();
  if (m_bNoHotKeys) frame->ErrorMsg(u"MSG_ERR_NOHOTKEYS", {});
}

BOOL CMainApp::InitInstance() {
  if (!CQVWinApp::InitInstance()) return FALSE;
  ReadSwitch();
  return TRUE;
}

void CMainApp::ReadSwitch() {
  std::vector<const char*> argv;
  for (const std::string& argument : m_arguments) argv.push_back(argument.c_str());
  m_bSwitch = ReadSwitchLocation(static_cast<int>(argv.size()), argv.data(), m_strSwitchLocation);
}

BOOL CMainApp::OnIdle(LONG count) {
  const BOOL more = CQVWinApp::OnIdle(count);
  if (m_bSearchPending && m_bSwitch) {
    CQVDocument* document = GetDocument();
    if (document && document->IsKindOf(RUNTIME_CLASS(CMainDoc))) {
      m_bSearchPending = FALSE;
      static_cast<CMainDoc*>(document)->RunPendingSearch();
    }
  }
  return more;
}

int CMainApp::ExitInstance() {
  InitHotKeyList(nullptr, nullptr);
  return CQVWinApp::ExitInstance();
}

BOOL CMainApp::GetLogFileName(CString& name) const {
  SYSTEMTIME today {};
  GetLocalTime(&today);
  return MakeLogFileName(m_settings.m_email, today, name);
}
