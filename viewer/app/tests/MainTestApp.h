#pragma once
// The viewer's application in the window tests: the real CMainApp with its application folder a
// fresh temporary folder (the settings below it), the single-instance
// claim in a runtime folder of the process's own, and a document and browser that record what the
// commands ask of them.

#include "viewer/app/CMainApp.h"
#include "viewer/app/CMainBrowser.h"
#include "viewer/app/CMainDoc.h"
#include "viewer/app/CMainFrame.h"
#include "viewer/app/CMainToolBars.h"
#include "viewer/model/tests/BatchFixture.h"

#include <filesystem>
#include <string>
#include <vector>

// The document browser as the main document sees it; every call is written down.
class RecordingBrowser : public FakeBrowser, public CMainBrowser {
public:
  int GetToolMode() override { return toolMode; }
  void SetToolMode(int mode) override;
  int GetFitMode() override { return fitMode; }
  void ApplyViewAction(int action, BOOL allCells, int step) override;
  void SetFPCMode(int columns, int rows) override;
  int GetImageCount() override { return FakeBrowser::GetImageCount(); }
  void GoToFirst() override { calls.push_back("GoToFirst"); }
  void GoToLast() override { calls.push_back("GoToLast"); }
  void PagePrevious() override { calls.push_back("PagePrevious"); }
  void PageNext() override { calls.push_back("PageNext"); }
  void GoToImage(int index) override;
  void ActOnCell(int cell) override;
  void SelectNextCell() override { calls.push_back("SelectNextCell"); }
  void SelectPreviousCell() override { calls.push_back("SelectPreviousCell"); }
  void PrintDocument() override { calls.push_back("PrintDocument"); }
  void EmailDocument() override { calls.push_back("EmailDocument"); }
  void SaveDocumentAsPdf() override { calls.push_back("SaveDocumentAsPdf"); }

  int toolMode {0};
  int fitMode {4};
  std::vector<std::string> calls;
};

// Counts the start's pending search; it lets the loop idle inside, as a modal dialog would.
class PendingSearchDoc : public CMainDoc {
  DECLARE_DYNCREATE(PendingSearchDoc)
public:
  void RunPendingSearch() override;
  static inline int runs {0};
};

class MainTestApp : public CMainApp {
public:
  // `appDir` empty: a new temporary folder; else that folder, to start again where a run ended.
  explicit MainTestApp(const std::filesystem::path& appDir = {});
  ~MainTestApp() override;

  const std::filesystem::path& Dir() const { return m_dir; }
  // The hot-key table the start loads.
  CString m_strHotKeyTable {u"HOTKEYS"};
  std::filesystem::path SysDir() const { return m_dir / "Workstation" / "Sys"; }

protected:
  void _GetAppDir(CString& path) override;
  LPCWSTR GetHotKeyTableName() const override { return m_strHotKeyTable; }

private:
  std::filesystem::path m_dir;
  bool m_ownsDir {false};
};

// The main frame with its message boxes written down instead of shown: "error KEY <%name%>=value".
class RecordingFrame : public CMainFrame {
  DECLARE_DYNCREATE(RecordingFrame)
public:
  void ErrorMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) override;
  void InfoMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) override;
  static inline std::vector<std::string> boxes;
};

// The frame's tool bar control's button IDs in order, 0 for separators.
std::vector<UINT> ButtonIds(CMainToolBar& bar);
