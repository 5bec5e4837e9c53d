#pragma once
// The application of the application and menu tests: root name SPINE, its application folder a
// fresh temporary folder, the test program's language file in English, and a few commands.

#include "framework/app/CQVWinApp.h"

#include <QTemporaryDir>

#include <string>

enum : UINT { ID_FILE_OPEN = 1001, ID_CUT = 1002, ID_REFRESH = 1003, ID_NO_TEXT = 1004 };

class SpineTestApp : public CQVWinApp {
public:
  SpineTestApp();

  // A file (and its folders) below the application folder.
  void WriteFile(const std::string& relative, const std::string& text) const;
  CString AppDir() const;
  // Destroys the main frame, not as the program's main window: that one's end would post the quit
  // message, which ends the event loops of every later test.
  void DestroyMainFrame();

  using CQVWinApp::InitHotKeyList;
  using CQVWinApp::InitResourceManager;

  CString m_strRootName { u"SPINE" };

protected:
  void GetAppRootName(CString& name) override { name = m_strRootName; }
  void _GetAppDir(CString& path) override { path = AppDir(); }

private:
  QTemporaryDir m_dir;
};
