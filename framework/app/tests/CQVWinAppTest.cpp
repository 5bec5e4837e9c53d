// The application object: the folders of an installation with their redirections, the profile
// search, help addresses, the language set-up and the main hot-key list.

#include "SpineTestApp.h"

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVHotKeyList.h"
#include "framework/app/CQVIDRegistry.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <memory>

namespace {

class Application : public ::testing::Test {
protected:
  void SetUp() override { app = std::make_unique<SpineTestApp>(); }
  void TearDown() override { app.reset(); }

  CString Dir(const char16_t* relative) const { return app->AppDir() + relative; }

  std::unique_ptr<SpineTestApp> app;
};

bool FolderExists(const CString& path) { return QFileInfo(QString::fromStdString(path.ToUtf8())).isDir(); }

struct FolderCase {
  bool workgroup;
  int type;
  BOOL found;
  const char16_t* expected;  // below the application folder, or an absolute path
};

void ExpectFolders(const CString& appDir, const FolderCase* cases, size_t count,
                   const char* setting) {
  for (size_t i = 0; i < count; ++i) {
    const FolderCase& c = cases[i];
    CString path(u"left over");
    const BOOL found = c.workgroup ? CQVWinApp::GetWorkgroupDir(path, c.type, FALSE)
                                   : CQVWinApp::GetWorkstationDir(path, c.type, FALSE);
    EXPECT_EQ(found, c.found) << setting << ": " << (c.workgroup ? "workgroup " : "workstation ") << c.type;
    const CString expected = !c.found ? CString() : c.expected[0] == u'/' ? CString(c.expected) : appDir + c.expected;
    EXPECT_EQ(path, expected) << setting << ": " << (c.workgroup ? "workgroup " : "workstation ") << c.type;
  }
}

TEST_F(Application, FoldersOfAnInstallationWithoutRedirection) {
  const FolderCase cases[] = {
      {false, 0, TRUE, u"Workstation/"},       {false, 1, TRUE, u"Workstation/Sys/"},
      {false, 2, TRUE, u"Workstation/Page Setup/"}, {false, 3, FALSE, u""},
      {false, -1, FALSE, u""},                 {true, 0, TRUE, u"Workgroup/"},
      {true, 1, TRUE, u"Workgroup/Sys/"},      {true, 2, TRUE, u"Workgroup/Help/"},
      {true, 3, TRUE, u"Workgroup/Users/"},    {true, 4, TRUE, u"Workgroup/Jobs/"},
      {true, 5, TRUE, u"Workgroup/Page Setup/"}, {true, 6, FALSE, u""},
  };
  ExpectFolders(app->AppDir(), cases, std::size(cases), "no redirection");
}

TEST_F(Application, RedirectionFilesMoveTheWorkgroupAndItsFolders) {
  // The workgroup moves by a path relative to the application folder, where its .redir lies;
  // Users moves to an absolute path; Jobs has a redirection without a path and fails, with no
  // fall-back to the folder it would otherwise be.
  app->WriteFile("Workgroup.redir", "[REDIR]\r\nPath = shared/group \r\n");
  app->WriteFile("shared/group/Users.redir", "[REDIR]\r\nPath=/srv/users\r\n");
  app->WriteFile("shared/group/Jobs.redir", "[REDIR]\r\nOther=/srv/jobs\r\n");
  const FolderCase cases[] = {
      {true, 0, TRUE, u"shared/group/"},
      {true, 1, TRUE, u"shared/group/Sys/"},
      {true, 3, TRUE, u"/srv/users/"},
      {true, 4, FALSE, u""},
      {false, 1, TRUE, u"Workstation/Sys/"},  // the workstation folder is never redirected
  };
  ExpectFolders(app->AppDir(), cases, std::size(cases), "redirected");

  // The process's working folder plays no part.
  CString path;
  ASSERT_TRUE(CQVWinApp::GetWorkgroupDir(path, 5, TRUE));
  EXPECT_TRUE(FolderExists(path)) << "made where the redirection points";

  app->WriteFile("Workgroup.redir", "[REDIR]\r\nPath =   \r\n");
  for (int type = 0; type <= 5; ++type) EXPECT_FALSE(CQVWinApp::GetWorkgroupDir(path, type, FALSE)) << type;
}

TEST_F(Application, TheProfileIsSearchedThenPlacedInTheWorkstationSysFolder) {
  CString path;
  ASSERT_TRUE(CQVWinApp::GetAppProfileFilename(path));
  EXPECT_EQ(path, Dir(u"Workstation/Sys/SPINE.dps")) << "none anywhere";
  EXPECT_TRUE(FolderExists(Dir(u"Workstation/Sys/")));

  app->WriteFile("DAT/x/SPINE.dps", "");
  app->WriteFile("BIN/Tools/SPINE.dps", "");
  ASSERT_TRUE(CQVWinApp::GetAppProfileFilename(path));
  EXPECT_EQ(path, Dir(u"BIN/Tools/SPINE.dps")) << "BIN before DAT";
  app->WriteFile("Workstation/Sys/deep/SPINE.dps", "");
  ASSERT_TRUE(CQVWinApp::GetAppProfileFilename(path));
  EXPECT_EQ(path, Dir(u"Workstation/Sys/deep/SPINE.dps")) << "the workstation's Sys tree before BIN";
  app->WriteFile("SPINE.dps", "");
  ASSERT_TRUE(CQVWinApp::GetAppProfileFilename(path));
  EXPECT_EQ(path, Dir(u"SPINE.dps")) << "the application folder first";

  app->m_strRootName.Empty();
  EXPECT_FALSE(CQVWinApp::GetAppProfileFilename(path));
  ASSERT_TRUE(CQVWinApp::GetWorkgroupProfileFilename(path));
  EXPECT_EQ(path, Dir(u"Workgroup/Sys/WORKGROUP.dps"));
}

TEST_F(Application, HelpAddressesPointIntoTheWorkgroupHelpFolder) {
  CString url;
  ASSERT_TRUE(CQVWinApp::LoadURL(u"HELP_URL", url, nullptr));
  EXPECT_EQ(url, Dir(u"Workgroup/Help/index.htm#") + Dir(u"Workgroup/Help/toc.htm"));
  EXPECT_FALSE(CQVWinApp::LoadURL(u"NO_SUCH_KEY", url, nullptr));
}

TEST_F(Application, TheLanguageFileNeedsANameOrARootName) {
  app->m_strRootName.Empty();
  const int registered = CQVRCM::GetRegisteredRCMCount();
  EXPECT_FALSE(app->InitResourceManager(nullptr, nullptr));
  EXPECT_EQ(CQVRCM::GetRegisteredRCMCount(), registered);
  CString text;
  EXPECT_TRUE(CQVRCM::LoadText(u"MNU_FILE", text, nullptr));
  EXPECT_EQ(text, CString(u"&File"));
}

TEST_F(Application, HotKeysComeFromTheLanguageFileThenTheProfile) {
  CString text;
  ASSERT_TRUE(app->InitHotKeyList(u" SPINE_HOTKEYS ", RUNTIME_CLASS(CQVHotKeyList)));
  EXPECT_TRUE(CQVWinApp::IsMainFrameHotKeyEnabled());
  EXPECT_TRUE(CQVWinApp::FindKeyDescription(ID_FILE_OPEN, text));
  EXPECT_EQ(text, CString(u"Ctrl+O"));

  // The profile takes Ctrl+O over for another command.
  app->WriteFile("SPINE.dps", "[Hotkeys]\r\nCUT = CTRL, VK_O, Mine\r\n");
  ASSERT_TRUE(app->InitHotKeyList(u"SPINE_HOTKEYS", RUNTIME_CLASS(CQVHotKeyList)));
  EXPECT_FALSE(CQVWinApp::FindKeyDescription(ID_FILE_OPEN, text));
  ASSERT_TRUE(CQVWinApp::FindKeyDescription(ID_CUT, text));
  EXPECT_EQ(text, CString(u"Ctrl+X")) << "the command's first entry, from the language file";
  ASSERT_TRUE(CQVWinApp::FindKeyDescription(ID_REFRESH, text));
  EXPECT_EQ(text, CString(u"F5"));

  EXPECT_TRUE(app->InitHotKeyList(nullptr, nullptr));
  EXPECT_FALSE(CQVWinApp::FindKeyDescription(ID_CUT, text)) << "no list";
  EXPECT_FALSE(app->InitHotKeyList(nullptr, RUNTIME_CLASS(CQVIDRegistry)));
  app->WriteFile("SPINE.dps", "");
  EXPECT_FALSE(app->InitHotKeyList(u"NO_SUCH_DATA", RUNTIME_CLASS(CQVHotKeyList))) << "not a single key";
  EXPECT_FALSE(CQVWinApp::IsMainFrameHotKeyEnabled());
}

TEST(ApplicationStatics, AnswerNothingWithoutTheApplication) {
  CString text(u"left over");
  UINT id = 7;
  EXPECT_EQ(CQVWinApp::GetApp(), nullptr);
  EXPECT_FALSE(CQVWinApp::GetAppDir(text));
  EXPECT_FALSE(CQVWinApp::GetWorkgroupDir(text, 0, FALSE));
  EXPECT_FALSE(CQVWinApp::FindID(u"FILE_OPEN", id));
  EXPECT_EQ(id, 0u);
  EXPECT_FALSE(CQVWinApp::FindKeyDescription(ID_FILE_OPEN, text));
  EXPECT_TRUE(text.IsEmpty());
}

}  // namespace
