// Screen layouts in a profile file: which sections are layouts, their titles, the name rule, the
// dock-state files beside the profile, what survives a restart and what a failed write keeps.

#include "framework/layouts/CQVScreenLayoutProfile.h"
#include "framework/layouts/tests/LayoutsTestApp.h"

#include "foundation/language/CQVRCM.h"
#include "foundation/util/CDPXBuffer.h"

#include <QDir>

#include <sys/stat.h>

#include <memory>

#include <gtest/gtest.h>

namespace {

std::string U8(const CString& text) { return text.ToUtf8(); }

void Fill(CDPXGMemBuffer& buffer, const std::string& bytes) {
  ASSERT_TRUE(buffer.Alloc(static_cast<DWORD>(bytes.size())));
  std::copy(bytes.begin(), bytes.end(), buffer.Lock());
}

std::string BytesOf(CDPXGMemBuffer& buffer) {
  if (!buffer.GetSize()) return {};
  return std::string(reinterpret_cast<const char*>(buffer.Lock()), buffer.GetSize());
}

class ScreenLayoutProfile : public ::testing::Test {
protected:
  void SetUp() override { app = std::make_unique<LayoutsTestApp>(); }
  void TearDown() override { app.reset(); }

  CString ProfilePath() const { return app->Path("layouts.ini"); }

  std::unique_ptr<LayoutsTestApp> app;
};

TEST_F(ScreenLayoutProfile, SectionsAreLayoutsInFileOrderWithTitlesFromTextKeysOrLiterally) {
  WriteBytes(ProfilePath(),
             "; layouts\r\n"
             "[Default]\r\n"
             "[Review]\r\nTitle = STR_LAYOUT_REVIEW\r\n"
             "[Scan]\r\nTitle = Scanning by hand \r\nZoom = 150\r\n"
             "[Blank]\r\nTitle =   \r\n");
  CQVScreenLayoutProfile profile;
  ASSERT_TRUE(profile.SetFilename(ProfilePath()));
  ASSERT_EQ(profile.GetLayoutCount(), 4);
  const struct {
    int index;
    const char* title;
  } rows[] = {{0, "Default"}, {1, "Reviewing"}, {2, "Scanning by hand"}, {3, "Blank"}};
  for (const auto& row : rows) {
    CString title;
    EXPECT_TRUE(profile.GetLayoutName(row.index, title)) << row.index;
    EXPECT_EQ(U8(title), row.title) << "layout " << row.index;
  }
  CString title;
  EXPECT_FALSE(profile.GetLayoutName(4, title));
  EXPECT_FALSE(profile.GetLayoutName(-1, title));
  int zoom = 0;
  EXPECT_TRUE(profile.GetLayoutInfo(2, u"Zoom", zoom));
  EXPECT_EQ(zoom, 150);
  EXPECT_FALSE(profile.GetLayoutInfo(1, u"Title", zoom)) << "a text is no number";
  EXPECT_FALSE(profile.SetLayoutInfo(4, u"Zoom", 1)) << "no layout at that index";

  ASSERT_TRUE(CQVRCM::SetCurrentLanguage(u"de-de", nullptr, FALSE));
  ASSERT_TRUE(profile.GetLayoutName(1, title));
  EXPECT_EQ(U8(title), "Prüfen") << "the title follows the language";
}

TEST_F(ScreenLayoutProfile, NamesFollowTheRuleTrimmedAndWithoutRegardToCase) {
  CQVScreenLayoutProfile profile;
  profile.SetFilename(ProfilePath());
  const struct {
    const char16_t* name;
    bool valid;
    const char* what;
  } rows[] = {
      {u"Review", true, "a plain name"},
      {u"  Padded  ", true, "blanks around are trimmed"},
      {u"ABCDEFGHIJKLMNOPQRST", true, "20 characters"},
      {u"ABCDEFGHIJKLMNOPQRSTU", false, "21 characters"},
      {u"   ", false, "blank"},
      {u"Layout.1", false, "a dot"},
      {u"A-B", false, "a hyphen"},
      {u"..", false, "the parent folder"},
      {u"a/b", false, "a separator"},
      {u"a\\b", false, "a Windows separator"},
      {u"Tab\there", false, "a control character"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CQVScreenLayoutProfile::CheckName(row.name), row.valid) << row.what;
    const int index = profile.CreateLayout(row.name);
    EXPECT_EQ(index >= 0, row.valid) << row.what;
    if (row.valid) {
      EXPECT_EQ(profile.LayoutExist(row.name), index) << row.what;
    }
  }
  EXPECT_EQ(profile.LayoutExist(u"REVIEW"), profile.LayoutExist(u"review")) << "case does not count";
  EXPECT_EQ(profile.LayoutExist(u"padded"), 1);
  CString name;
  EXPECT_TRUE(profile.GetLayoutName(1, name));
  EXPECT_EQ(U8(name), "Padded");
  EXPECT_EQ(profile.GetLayoutCount(), 3);
}

TEST_F(ScreenLayoutProfile, TwoLayoutsWithKeysAndDockStatesSurviveARestart) {
  // Bytes a text-mode write or a string copy would change.
  const std::string review("QVSB\0\r\n\x01\xff\x1a end", 14);
  const std::string scan(3000, '\x7f');
  {
    CQVScreenLayoutProfile profile;
    profile.SetFilename(ProfilePath());
    const int first = profile.CreateLayout(u"Review");
    ASSERT_EQ(first, 0);
    EXPECT_TRUE(profile.SetLayoutInfo(first, u"Title", u"STR_LAYOUT_REVIEW"));
    CDPXGMemBuffer state;
    Fill(state, review);
    EXPECT_TRUE(profile.SaveDockState(first, state));
    const int second = profile.CreateLayout(u"Scan");
    ASSERT_EQ(second, 1);
    EXPECT_TRUE(profile.SetLayoutInfo(second, u"Zoom", 150));
    Fill(state, scan);
    EXPECT_TRUE(profile.SaveDockState(second, state));
  }
  CQVScreenLayoutProfile restarted;
  ASSERT_TRUE(restarted.SetFilename(ProfilePath()));
  ASSERT_EQ(restarted.GetLayoutCount(), 2);
  CString title;
  restarted.GetLayoutName(0, title);
  EXPECT_EQ(U8(title), "Reviewing");
  restarted.GetLayoutName(1, title);
  EXPECT_EQ(U8(title), "Scan");
  int zoom = 0;
  EXPECT_TRUE(restarted.GetLayoutInfo(1, u"Zoom", zoom));
  EXPECT_EQ(zoom, 150);
  CDPXGMemBuffer state;
  ASSERT_TRUE(restarted.LoadDockState(0, state));
  EXPECT_EQ(BytesOf(state), review);
  ASSERT_TRUE(restarted.LoadDockState(1, state));
  EXPECT_EQ(BytesOf(state), scan);
  EXPECT_TRUE(Exists(app->Path("LAYOUTS.Review.dockstate")));
  EXPECT_TRUE(Exists(app->Path("LAYOUTS.Scan.dockstate")));
}

TEST_F(ScreenLayoutProfile, ReCreatingALayoutStartsItAfreshAtTheEnd) {
  CQVScreenLayoutProfile profile;
  profile.SetFilename(ProfilePath());
  ASSERT_EQ(profile.CreateLayout(u"Review"), 0);
  profile.SetLayoutInfo(0, u"Title", u"Old");
  CDPXGMemBuffer state;
  Fill(state, "old state");
  ASSERT_TRUE(profile.SaveDockState(0, state));
  ASSERT_EQ(profile.CreateLayout(u"Scan"), 1);

  EXPECT_EQ(profile.CreateLayout(u"review"), 1) << "the last index";
  EXPECT_EQ(profile.GetLayoutCount(), 2);
  CString value;
  EXPECT_FALSE(profile.GetLayoutInfo(1, u"Title", value)) << "its keys are gone";
  EXPECT_FALSE(profile.LoadDockState(1, state));
  EXPECT_EQ(state.GetSize(), 0u) << "a dock state that cannot be read leaves the buffer empty";
  EXPECT_FALSE(Exists(app->Path("LAYOUTS.Review.dockstate")));
}

TEST_F(ScreenLayoutProfile, DockStateFilesLieBesideTheProfileNamedAfterTheApplication) {
  CQVScreenLayoutProfile profile;
  CString path;
  profile.CreateLayout(u"Review");
  EXPECT_FALSE(profile.GetDockStateFilename(0, path)) << "a profile without a path";
  profile.SetFilename(ProfilePath());
  ASSERT_EQ(profile.CreateLayout(u"Review"), 0);
  ASSERT_TRUE(profile.GetDockStateFilename(0, path));
  EXPECT_EQ(U8(path), U8(app->Path("LAYOUTS.Review.dockstate")));
  app->m_strRootName.Empty();
  ASSERT_TRUE(profile.GetDockStateFilename(0, path));
  EXPECT_EQ(U8(path), U8(app->Path("Review.dockstate"))) << "no leading dot without a root name";
  EXPECT_FALSE(profile.GetDockStateFilename(1, path));
  app.reset();
  EXPECT_FALSE(profile.GetDockStateFilename(0, path)) << "no application";
}

TEST_F(ScreenLayoutProfile, ADockStateThatCannotBeWrittenKeepsTheOneBefore) {
  CQVScreenLayoutProfile profile;
  profile.SetFilename(ProfilePath());
  ASSERT_EQ(profile.CreateLayout(u"Review"), 0);
  CDPXGMemBuffer state;
  Fill(state, "the layout before");
  ASSERT_TRUE(profile.SaveDockState(0, state));
  CString path;
  profile.GetDockStateFilename(0, path);
  ASSERT_EQ(chmod(path.ToUtf8().c_str(), 0444), 0);
  Fill(state, "a new layout, longer than the one before");
  EXPECT_FALSE(profile.SaveDockState(0, state));
  EXPECT_EQ(ReadBytes(path), "the layout before");
  chmod(path.ToUtf8().c_str(), 0644);
}

TEST_F(ScreenLayoutProfile, SectionsWhoseNamesCouldLeaveTheFolderAreNoLayoutsAndStayUntouched) {
  app->m_strRootName.Empty();
  // Each name, made into a dock-state path beside the profile, would reach the file "victim" in
  // the folder above or the profile itself.
  WriteBytes(app->Path("victim.dockstate"), "not ours");
  QDir().mkpath(QString::fromStdString(app->Path("profiles").ToUtf8()));
  const CString path = app->Path("profiles/layouts.ini");
  WriteBytes(path,
             "[../victim]\r\nTitle = Up\r\n"
             "[ Review ]\r\n"
             "[Scan]\r\n"
             "[sub/../../victim]\r\n"
             "[..\\victim]\r\n"
             "[A name that is far too long]\r\n");
  CQVScreenLayoutProfile profile;
  ASSERT_TRUE(profile.SetFilename(path));
  ASSERT_EQ(profile.GetLayoutCount(), 1);
  CString title;
  profile.GetLayoutName(0, title);
  EXPECT_EQ(U8(title), "Scan");
  EXPECT_EQ(profile.LayoutExist(u"Review"), -1) << "a name with blanks around it in the file";
  profile.DeleteLayout(0);
  profile.DeleteAllLayouts();
  EXPECT_EQ(ReadBytes(app->Path("victim.dockstate")), "not ours");
  const std::string left = ReadBytes(path);
  EXPECT_NE(left.find("[../victim]"), std::string::npos) << "a section that is no layout stays in the file";
  EXPECT_EQ(left.find("[Scan]"), std::string::npos);
}

TEST_F(ScreenLayoutProfile, DeletingRemovesSectionsAndDockStateFiles) {
  CQVScreenLayoutProfile profile;
  profile.SetFilename(ProfilePath());
  CDPXGMemBuffer state;
  Fill(state, "state");
  for (const char16_t* name : {u"One", u"Two", u"Three"}) profile.SaveDockState(profile.CreateLayout(name), state);
  profile.DeleteLayout(1);
  ASSERT_EQ(profile.GetLayoutCount(), 2);
  EXPECT_EQ(profile.LayoutExist(u"Three"), 1);
  EXPECT_FALSE(Exists(app->Path("LAYOUTS.Two.dockstate")));
  profile.DeleteLayout(7);
  EXPECT_EQ(profile.GetLayoutCount(), 2) << "an index without a layout changes nothing";
  profile.DeleteAllLayouts();
  EXPECT_EQ(profile.GetLayoutCount(), 0);
  EXPECT_EQ(FolderNames(app->Path("")), std::vector<std::string> {"layouts.ini"});
}

}  // namespace
