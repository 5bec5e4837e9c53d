#include "SpineTestApp.h"

#include "framework/app/CQVIDRegistry.h"
#include "framework/app/CQVMainFrame.h"

#include <QDir>
#include <QFileInfo>

#include <fstream>

SpineTestApp::SpineTestApp() {
  InitResourceManager(u"FrameworkAppSpine.drs", u"en-us");
  InitIDRegistry(RUNTIME_CLASS(CQVIDRegistry));
  RegisterID(ID_FILE_OPEN, u"FILE_OPEN");
  RegisterID(ID_CUT, u"CUT");
  RegisterID(ID_REFRESH, u"REFRESH");
  RegisterID(ID_NO_TEXT, u"NO_TEXT");
}

void SpineTestApp::DestroyMainFrame() {
  CQVMainFrame* frame = GetMainFrame();
  m_pMainWnd = nullptr;
  if (frame && frame->GetSafeHwnd()) frame->DestroyWindow();
}

CString SpineTestApp::AppDir() const { return CString::FromUtf8(m_dir.path().toStdString() + "/"); }

void SpineTestApp::WriteFile(const std::string& relative, const std::string& text) const {
  const std::string path = m_dir.path().toStdString() + "/" + relative;
  QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
  std::ofstream(path, std::ios::binary) << text;
}
