#pragma once
// The application of the screen-layout tests: root name LAYOUTS, the tests' language file in
// English, and a fresh temporary folder for profiles and stores; plus what the tests share.

#include "framework/app/CQVWinApp.h"

#include <QTemporaryDir>

#include <string>
#include <vector>

class LayoutsTestApp : public CQVWinApp {
public:
  LayoutsTestApp();
  ~LayoutsTestApp() override;

  // A path in the temporary folder.
  CString Path(const std::string& relative) const;

  CString m_strRootName { u"LAYOUTS" };

protected:
  void GetAppRootName(CString& name) override { name = m_strRootName; }

private:
  QTemporaryDir m_dir;
};

// The bytes of a file; empty when it cannot be read.
std::string ReadBytes(const CString& path);
void WriteBytes(const CString& path, const std::string& bytes);
bool Exists(const CString& path);
// The names in a folder, sorted, without "." and "..".
std::vector<std::string> FolderNames(const CString& folder);
