#include "framework/layouts/tests/LayoutsTestApp.h"

#include "foundation/language/CQVRCM.h"

#include <QDir>

#include <fstream>
#include <iterator>


#include <gtest/gtest.h>

LayoutsTestApp::LayoutsTestApp() {
  EXPECT_TRUE(InitResourceManager(u"FrameworkLayoutsTest.drs", u"en-us"));
}

LayoutsTestApp::~LayoutsTestApp() { CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE); }

CString LayoutsTestApp::Path(const std::string& relative) const {
  return CString::FromUtf8(m_dir.path().toStdString() + "/" + relative);
}

std::string ReadBytes(const CString& path) {
  std::ifstream in(path.ToUtf8(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const CString& path, const std::string& bytes) {
  std::ofstream out(path.ToUtf8(), std::ios::binary | std::ios::trunc);
  out << bytes;
  ASSERT_TRUE(out.good()) << path.ToUtf8();
}

bool Exists(const CString& path) { return QFileInfo::exists(QString::fromStdString(path.ToUtf8())); }

std::vector<std::string> FolderNames(const CString& folder) {
  std::vector<std::string> names;
  const QStringList entries =
      QDir(QString::fromStdString(folder.ToUtf8())).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString& entry : entries) names.push_back(entry.toStdString());
  return names;
}
