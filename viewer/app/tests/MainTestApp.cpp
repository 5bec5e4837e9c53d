#include "MainTestApp.h"

#include "framework/app/CQVWinApp.h"
#include "viewer/app/CMainToolBars.h"


#include <cstdlib>

#include <unistd.h>

namespace fs = std::filesystem;

IMPLEMENT_DYNCREATE(PendingSearchDoc, CMainDoc)

void RecordingBrowser::SetToolMode(int mode) {
  toolMode = mode;
  calls.push_back("SetToolMode " + std::to_string(mode));
}

void RecordingBrowser::ApplyViewAction(int action, BOOL allCells, int step) {
  if (action >= 0 && action <= 4) fitMode = action;
  calls.push_back("ApplyViewAction " + std::to_string(action) + " " + std::to_string(allCells) + " " +
                  std::to_string(step));
}

void RecordingBrowser::SetFPCMode(int columns, int rows) {
  calls.push_back("SetFPCMode " + std::to_string(columns) + " " + std::to_string(rows));
}

void RecordingBrowser::GoToImage(int index) { calls.push_back("GoToImage " + std::to_string(index)); }

void RecordingBrowser::ActOnCell(int cell) { calls.push_back("ActOnCell " + std::to_string(cell)); }

void PendingSearchDoc::RunPendingSearch() {
  ++runs;
  if (CMainApp* app = CMainApp::GetMainApp())
    for (LONG i = 0; i < 3; ++i) app->OnIdle(i);
}

namespace {

// One runtime folder for the process, so that no other program's instance is found.
void UseOwnRuntimeFolder() {
  static const fs::path folder = [] {
    fs::path path = fs::temp_directory_path() / ("viewer-app-run-" + std::to_string(getpid()));
    fs::create_directories(path);
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::replace);
    return path;
  }();
  setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

}  // namespace

MainTestApp::MainTestApp(const fs::path& appDir) {
  UseOwnRuntimeFolder();
  m_pDocumentClass = RUNTIME_CLASS(PendingSearchDoc);
  m_pFrameClass = RUNTIME_CLASS(RecordingFrame);
  RecordingFrame::boxes.clear();
  if (appDir.empty()) {
    char pattern[] = "/tmp/viewer-app-XXXXXX";
    m_dir = mkdtemp(pattern);
    m_ownsDir = true;
  } else {
    m_dir = appDir;
  }
}

MainTestApp::~MainTestApp() {
  std::error_code ignored;
  if (m_ownsDir) fs::remove_all(m_dir, ignored);
}

void MainTestApp::_GetAppDir(CString& path) { path = CString((m_dir.u16string() + u"/").c_str()); }

IMPLEMENT_DYNCREATE(RecordingFrame, CMainFrame)

namespace {

std::string Box(const char* kind, LPCWSTR key, const CIBSPlaceholders& placeholders) {
  std::string box = std::string(kind) + " " + CString(key).ToUtf8();
  for (const auto& [name, value] : placeholders) box += " " + name.ToUtf8() + "=" + value.ToUtf8();
  return box;
}

}  // namespace

void RecordingFrame::ErrorMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) {
  boxes.push_back(Box("error", textKey, placeholders));
}

void RecordingFrame::InfoMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) {
  boxes.push_back(Box("info", textKey, placeholders));
}

std::vector<UINT> ButtonIds(CMainToolBar& bar) {
  std::vector<UINT> ids;
  for (int i = 0; i < bar.GetCount(); ++i) ids.push_back(bar.GetItemID(i));
  return ids;
}
