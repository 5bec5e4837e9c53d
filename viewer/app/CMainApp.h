#pragma once
// CMainApp: the viewer's one application object. It starts the framework's services (the
// language file, the window and command registries with every command of the viewer, the hot
// keys), holds the settings every part of the viewer reads, reads the "-M:" switch and runs the
// search it asks for once, at the first idle moment after the document exists.

#include "framework/app/CQVWinApp.h"
#include "viewer/model/CMainSettings.h"

#include <string>
#include <vector>

class CMainApp : public CQVWinApp {
  DECLARE_DYNAMIC(CMainApp)
public:
  CMainApp();

  // The running viewer; null when the application object is another one.
  static CMainApp* GetMainApp();

  // The program's arguments as main() got them, read for the "-M:" switch.
  void SetArguments(int argc, const char* const* argv);

  BOOL InitInstance() override;
  BOOL OnIdle(LONG count) override;
  // Lets the hot keys go while the window layer still holds their tables: the application object
  // outlives the layer's own statics.
  int ExitInstance() override;
  void GetMainFrameClass(CString& name) override;

  // Loads the hot keys again (after a language change); FALSE when none could be loaded.
  BOOL ReloadHotKeys();

  // The day's e-mail log; FALSE when no log is kept.
  BOOL GetLogFileName(CString& name) const;

  // After the settings dialog: later searches go by "SearchMode", not by the "-M:" location.
  void ClearSwitch() { m_bSwitch = FALSE; }
  BOOL HasSwitch() const { return m_bSwitch; }
  const CString& GetSwitchLocation() const { return m_strSwitchLocation; }
  // The edge of a tool-bar picture: 40 with "LargeIcon", else 32.
  int GetIconSize() const { return m_settings.m_nIconSize; }
  void UpdateIconSize() { m_settings.m_nIconSize = m_settings.m_general.nLargeIcon ? 40 : 32; }

  CMainSettings m_settings;

protected:
  BOOL OnInitInstance() override;
  // The main window's class, with the program's icon.
  BOOL OnCreateMainFrameClass(LPCWSTR className) override;
  void GetAppRootName(CString& name) override;
  void OnPostShowMainFrame(CWnd* mainWindow) override;
  // Where the settings live: the workstation's "Sys" folder (made when missing).
  virtual BOOL GetSettingsFolder(CString& folder);
  // The data item of the language file that holds the hot keys.
  virtual LPCWSTR GetHotKeyTableName() const { return u"HOTKEYS"; }

  // Reads the switch from the arguments given; called once the frame shows.
  void ReadSwitch();

private:
  std::vector<std::string> m_arguments;
  BOOL m_bSwitch {FALSE};
  CString m_strSwitchLocation;
  BOOL m_bSearchPending {TRUE};
  BOOL m_bNoHotKeys {FALSE};  // none could be loaded at the start: said once the window shows
};
