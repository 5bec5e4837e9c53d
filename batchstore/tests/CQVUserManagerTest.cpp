#include "batchstore/users/CQVFeatureManager.h"
#include "batchstore/users/CQVGroupManager.h"
#include "batchstore/users/CQVUserManager.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::vector<CString> Names(const CQVUserManager& users) {
  std::vector<CString> names;
  for (int i = 0; i < users.GetUserCount(); ++i) {
    CString name;
    users.GetUserName(i, name);
    names.push_back(name);
  }
  return names;
}

std::vector<CString> Groups(CQVGroupManager& groups) {
  std::vector<CString> names;
  for (int i = 0; i < groups.GetGroupCount(); ++i) {
    CString name;
    groups.GetGroupName(i, name);
    names.push_back(name);
  }
  return names;
}

// Features in a folder of the test's own, where the workgroup's Users folder would be.
class TestFeatures : public CQVFeatureManager {
public:
  explicit TestFeatures(const TestFolder& folder) : m_path(folder.Wide("features.info")) {}
  BOOL GetFeatureFilename(CString& path) override {
    path = m_path;
    return TRUE;
  }

private:
  CString m_path;
};

}  // namespace

TEST(CQVUserManager, ListsTheFoldersThatHoldAProfile) {
  TestFolder folder;
  for (const char* user : { "carl", "Bob", "anna", "team.old" }) {
    std::filesystem::create_directories(folder.Native(user));
    folder.Write(std::string(user) + "/user.info", "");
  }
  std::filesystem::create_directories(folder.Native("deep/sub"));
  folder.Write("deep/sub/USER.INFO", "");
  std::filesystem::create_directories(folder.Native("guest"));
  CQVUserManager users;
  users.SetUsersPath(u"  " + folder.Wide() + u"  ");
  EXPECT_EQ(Names(users), (std::vector<CString> { u"anna", u"Bob", u"carl", u"deep" }))
    << "a folder without a profile is left out, where it used to empty the list";
  EXPECT_EQ(users.FindUser(u" BOB "), 1);
  EXPECT_EQ(users.FindUser(u"team.old"), -1);
}

TEST(CQVUserManager, PasswordsAreStoredSaltedAndOldDigestsStillWork) {
  TestFolder folder;
  CQVUserManager users;
  users.SetUsersPath(folder.Wide());
  const int anna = users.AddUser(u"anna", TRUE);
  const int bob = users.AddUser(u"bob", TRUE);
  ASSERT_TRUE(users.ChangePassword(anna, u"s\u00e9cret"));
  ASSERT_TRUE(users.ChangePassword(bob, u"s\u00e9cret"));
  CString a, b;
  ASSERT_TRUE(users.GetPassword(anna, a));
  ASSERT_TRUE(users.GetPassword(bob, b));
  EXPECT_EQ(a.Left(22), u"$pbkdf2-sha256$600000$");
  EXPECT_NE(a, b) << "the salt makes equal passwords differ";
  EXPECT_TRUE(users.CheckUserPassword(anna, u"s\u00e9cret"));
  EXPECT_FALSE(users.CheckUserPassword(anna, u"secret"));
  EXPECT_FALSE(users.CheckUserPassword(anna, u""));
  ASSERT_TRUE(users.ResetPassword(anna));
  EXPECT_TRUE(users.CheckUserPassword(anna, u""));

  // Profiles written before: MD5 of name and password, in upper-case (or any case) hexadecimal.
  struct Case {
    const char* stored;
    const char16_t* password;
    BOOL accepted;
  } cases[] = {
    { "F64EC58F956F20EB2B94F83A93D89993", u"pw", TRUE },  // MD5("bobpw")
    { "f64ec58f956f20eb2b94f83a93d89993", u"pw", TRUE },
    { "F64EC58F956F20EB2B94F83A93D89993", u"PW", FALSE },
    { "9F9D51BC70EF21CA5C14F307980A29D8", u"", TRUE },    // MD5("bob"): a reset password
    { "F64EC58F956F20EB2B94F83A93D8999", u"pw", FALSE },
    { "$pbkdf2-sha256$99999999999$00$00", u"pw", FALSE },
    { "$pbkdf2-sha256$1$$", u"", FALSE },
    { "", u"", FALSE },
  };
  for (const Case& c : cases) {
    folder.Write("bob/user.info", std::string("[User]\r\nPassword = ") + c.stored + "\r\n");
    EXPECT_EQ(users.CheckUserPassword(bob, c.password), c.accepted) << c.stored;
  }
  folder.Write("bob/user.info", "[User]\r\nDescription = no password\r\n");
  EXPECT_FALSE(users.CheckUserPassword(bob, u""));
  EXPECT_FALSE(users.CheckUserPassword(7, u""));
}

TEST(CQVUserManager, ProfilesKeepTheirKeysAndRefuseLineBreaks) {
  TestFolder folder;
  CQVUserManager users;
  users.SetUsersPath(folder.Wide());
  const int carl = users.AddUser(u"carl", TRUE);
  ASSERT_TRUE(users.SetDescription(carl, u"scanning"));
  ASSERT_TRUE(users.SetLanguage(carl, u"de-de"));
  EXPECT_FALSE(users.SetUnit(carl, u"mm\r\nPassword = 0")) << "a line break would write a key of its own";
  CString text;
  EXPECT_FALSE(users.GetUnit(carl, text));
  ASSERT_TRUE(users.GetLanguage(carl, text));
  EXPECT_EQ(text, u"de-de");
  EXPECT_EQ(folder.Read("carl/user.info"), "\xEF\xBB\xBF[User]\r\nDescription = scanning\r\nLanguage = de-de\r\n");

  // Adding a user who is there used to delete the user's folder; it now answers the user.
  EXPECT_EQ(users.AddUser(u" CARL ", TRUE), carl);
  ASSERT_TRUE(users.GetDescription(carl, text));
  EXPECT_EQ(text, u"scanning");
  for (const char16_t* bad : { u"", u"a.b", u"a=b", u";a", u"twenty-one-characters", u"a/b", u"a-b" })
    EXPECT_EQ(users.AddUser(bad, TRUE), -1) << CString(bad).ToUtf8();

  users.DeleteUser(carl);
  EXPECT_FALSE(std::filesystem::exists(folder.Native("carl")));
  EXPECT_EQ(users.GetUserCount(), 0);
}

TEST(CQVGroupManager, GroupsKeepMembersAndMoveToTheEndWhenRebuilt) {
  TestFolder folder;
  folder.Write("groups.dps", "[Scan]\r\nDescription = scanners\r\nAnna\r\nbob\r\ncarl\r\n[Index]\r\ncarl\r\n");
  CQVGroupManager groups;
  ASSERT_TRUE(groups.SetFilename(folder.Wide("groups.dps")));
  EXPECT_EQ(Groups(groups), (std::vector<CString> { u"Scan", u"Index" }));
  EXPECT_TRUE(groups.FindUserInGroup(u"anna", u"scan"));

  groups.RemoveUserFromGroup(u"anna", u"Scan");
  EXPECT_EQ(Groups(groups), (std::vector<CString> { u"Index", u"Scan" }));
  EXPECT_FALSE(groups.FindUserInGroup(u"Anna", u"Scan"));
  EXPECT_TRUE(groups.FindUserInGroup(u"BOB", u"Scan"));
  CString text;
  ASSERT_TRUE(groups.GetDescription(1, text));
  EXPECT_EQ(text, u"scanners");

  // Adding a group that is there used to delete its members.
  EXPECT_EQ(groups.AddGroup(u" scan "), 1);
  EXPECT_TRUE(groups.FindUserInGroup(u"carl", u"Scan"));
  EXPECT_EQ(groups.AddGroup(u"Export"), 2);

  EXPECT_TRUE(groups.AddUserToGroup(u"dora", u"Export"));
  EXPECT_FALSE(groups.AddUserToGroup(u"DORA", u"Export"));
  EXPECT_FALSE(groups.AddUserToGroup(u"x = y", u"Export")) << "would read back as a key, not a member";
  EXPECT_FALSE(groups.AddUserToGroup(u";x", u"Export")) << "would read back as a comment";
  EXPECT_FALSE(groups.SetDescription(2, u"a\nb"));
  EXPECT_TRUE(groups.AddUserToGroup(u"erik", u"New"));
  EXPECT_EQ(groups.FindGroup(u"new"), 3);

  groups.RemoveAllUsers();
  EXPECT_EQ(Groups(groups), (std::vector<CString> { u"Index", u"Scan", u"Export", u"New" }));
  EXPECT_FALSE(groups.FindUserInGroup(u"carl", u"Index"));
  ASSERT_TRUE(groups.GetDescription(groups.FindGroup(u"Scan"), text));
  EXPECT_EQ(text, u"scanners");

  CQVGroupManager again;
  again.SetFilename(folder.Wide("groups.dps"));
  EXPECT_EQ(Groups(again), Groups(groups)) << "every change is saved";
  again.DeleteGroup(u"Scan");
  again.DeleteGroup(0);
  EXPECT_EQ(Groups(again), (std::vector<CString> { u"Export", u"New" }));
}

TEST(CQVFeatureManager, RightsComeFromUsersAndGroups) {
  TestFolder folder;
  folder.Write("groups.dps", "[Scan]\r\nAnna\r\n");
  folder.Write("features.info", "[Export]\r\nUser = Anna\r\n\r\n[Scanning]\r\nGroup = Scan\r\n\r\n[Nobody]\r\n");
  CQVGroupManager groups;
  groups.SetFilename(folder.Wide("groups.dps"));
  TestFeatures features(folder);
  features.SetGroupManager(&groups);
  struct Case {
    const char16_t* user;
    const char16_t* feature;
    BOOL granted;
  } cases[] = {
    { u"Anna", u"Export", TRUE },      { u"anna", u"Export", TRUE },    { u"anna", u"export", FALSE },
    { u"anna", u"Scanning", TRUE },    { u"bob", u"Scanning", FALSE },  { u"Anna", u"Nobody", FALSE },
    { u"Anna", u"Missing", FALSE },
  };
  for (const Case& c : cases)
    EXPECT_EQ(features.IsUserHasFeature(c.user, c.feature), c.granted) << CString(c.user).ToUtf8() << " "
                                                                       << CString(c.feature).ToUtf8();
  EXPECT_EQ(features.GetCount(), 3);

  features.Get(u"Nobody")->AddUser(u"bob");
  EXPECT_FALSE(features.Get(u"Nobody")->AddUser(u"bob"));
  EXPECT_FALSE(features.Get(u"Nobody")->AddGroup(u"a\r\nUser = mallory"));
  ASSERT_TRUE(features.Save());
  EXPECT_EQ(folder.Read("features.info"), "\xEF\xBB\xBF[Export]\r\nUser = Anna\r\n\r\n[Scanning]\r\nGroup = Scan\r\n\r\n"
                                          "[Nobody]\r\nUser = bob\r\n\r\n");
  int index = -1;
  features.Add(index)->SetFeatureName(u"Bad]\r\n[Export");
  const std::string saved = folder.Read("features.info");
  EXPECT_FALSE(features.Save());
  EXPECT_EQ(folder.Read("features.info"), saved) << "a failed save leaves the file that was there";
}
