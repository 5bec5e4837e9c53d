#pragma once
// The demonstration program of the application spine: a main frame with its scripted menu bar,
// a tool bar, two docked bars and the assistant panel, in English and German. It is driven by
// lines on standard input and says what it does on standard output (SpineDemoControl.cpp).

#include "framework/app/CQVMainFrame.h"
#include "framework/app/CQVWinApp.h"
#include "framework/bars/CQVDockableBar.h"
#include "framework/bars/CQVToolBar.h"
#include "framework/app/CQVImageList.h"

enum : UINT {
  ID_FILE_OPEN = 0x8001,
  ID_VIEW_THUMBS = 0x8002,
  ID_VIEW_NOTES = 0x8003,
  ID_HELP_ASSISTANT = 0x8004,
  ID_DEMO_EXIT = 0x8005,
  ID_BAR_THUMBS = 0xE880,
  ID_BAR_NOTES = 0xE881,
};

class DemoToolBar : public CQVToolBar {
public:
  BOOL OnUpdate() override;
  CQVImageList m_images;
};

class DemoFrame : public CQVMainFrame {
  DECLARE_DYNCREATE(DemoFrame)
public:
  DemoFrame();

  void UpdateMainTitle() override;
  void OnLanguageChange() override;
  // Puts the bars where the last run left them; says what became of it.
  void RestoreLayout();

  DemoToolBar m_wndToolBar;
  CQVDockableBar m_wndThumbs;
  CQVDockableBar m_wndNotes;

protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnClose();
  void OnSize(UINT type, int cx, int cy);
  void OnFileOpen() { ShowHelpID(u"HELP_OPEN"); }
  void OnToggleBar(UINT id);
  void OnUpdateBar(CCmdUI* cmdUI);
  void OnAssistant();
  void OnUpdateAssistant(CCmdUI* cmdUI);
  void OnExit() { PostMessage(WM_CLOSE); }
  DECLARE_MESSAGE_MAP()

private:
  CQVDockableBar& BarOf(UINT commandId) { return commandId == ID_VIEW_THUMBS ? m_wndThumbs : m_wndNotes; }
  void TitleBars();

  BOOL m_bMinimised { FALSE };
};

class DemoApp : public CQVWinApp {
public:
  DemoApp();

  // The options of the command line: --appdir FOLDER, --class NAME, --minimised.
  void ReadArguments(int argc, char** argv);
  static CString DockStateFile();

protected:
  void GetAppRootName(CString& name) override { name = u"SPINEDEMO"; }
  void GetMainFrameClass(CString& name) override { name = m_strClass; }
  void _GetAppDir(CString& path) override;
  BOOL OnInitInstance() override;
  BOOL OnFoundPreviousInstance(CWnd* previous) override;
  void OnPostShowMainFrame(CWnd* main) override;

private:
  CString m_strAppDir;
  CString m_strClass { u"QVSpineDemoFrame" };
  BOOL m_bMinimised { FALSE };
};

// Standard input and output: the commands the program takes and the lines it says.
void Say(const char* line);
void StartControl(DemoFrame* frame);
