// The search command around the store: where the batches are looked for, what the query dialog is
// given and what comes back into the settings, and what is handed on to the results.

#include "viewer/model/CIBSPlant.h"
#include "viewer/model/CMainSettings.h"
#include "viewer/model/tests/BatchFixture.h"
#include "viewer/search/CSearchCommand.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Stands in for the dialogs: opens the store as the new-search dialog does, records what it was
// given and puts a fixed query into the store.
class ScriptedWindows : public CSearchCommandWindows {
public:
  void OnStoreClosed() override { calls.push_back("closed"); }
  void ClearResults() override { calls.push_back("clear"); }
  BOOL AskQuery(CIBSPlant& plant, CSearchLastValues& last, BOOL switchMode) override {
    calls.push_back(switchMode ? "ask switch" : "ask");
    given = last;
    opened = plant.Load();
    batches.RemoveAll();
    plant.GetBatchDisplayNames(batches);
    if (!answerOK) return FALSE;
    plant.ClearQuery();
    plant.SetDocumentPattern(u"*");
    plant.AddQueryPair(u"Customer", customer);
    plant.SetBatchSelection(0, u"All");
    last.values = {{u"Customer", customer}, {u"__DOCUMENT__", u""}};
    last.strBatchName.Empty();
    last.bAllBatches = TRUE;
    return TRUE;
  }
  void ShowResults(CIBSPlant& plant) override {
    calls.push_back("show " + std::to_string(plant.GetResultCount()));
  }

  std::vector<std::string> calls;
  CSearchLastValues given;
  CDPXStringList batches;
  BOOL opened { FALSE };
  bool answerOK { true };
  LPCWSTR customer { u"acme*" };
};

class SearchCommand : public ::testing::Test {
protected:
  void SetUp() override {
    BatchFiles invoices;
    invoices.header = Header("Invoices", {"Customer", "City"});
    invoices.index = "001;1;00012345;B;D;0;0;0;0;0;0;1;0;ACME Corp;Berlin\r\n"
                     "001;1;00012346;B;D;0;0;0;0;0;0;1;0;Baker;Oslo\r\n"
                     "001;1;00012347;B;D;0;0;0;0;0;0;1;0;acme gmbh;Rome\r\n";
    invoices.folders = {"5/34", "6/34", "7/34"};
    invoices.images = {"5/34/00012001.TIF"};
    invoices.Write(m_folder.Path() / "batches/one");
    m_settings.m_general.nSearchMode = 2;
    m_settings.m_general.strPath = m_folder.Wide("batches");
  }

  CSearchCommand Command() { return CSearchCommand(m_plant, m_settings, m_windows, &m_boxes); }

  TempFolder m_folder;
  CIBSPlant m_plant;
  CMainSettings m_settings;
  ScriptedWindows m_windows;
  RecordingWindows m_boxes;
};

}  // namespace

TEST_F(SearchCommand, LocationFollowsTheSearchModeUnlessStartedWithAProfile) {
  m_settings.m_general.strDriver = u"/media/cd/";
  m_settings.m_general.strPath = u"/srv/batches";
  m_settings.m_general.strAllDrives = u"/a;/b";
  const struct {
    int searchMode;
    bool switchOn;
    int openMode;
    const char* location;
  } cases[] = {
      {1, false, CIBSPlant::openRoot, "/media/cd/"},
      {2, false, CIBSPlant::openFolder, "/srv/batches"},
      {3, false, CIBSPlant::openRootList, "/a;/b"},
      {0, false, CIBSPlant::openProfile, ""},
      {7, false, CIBSPlant::openProfile, ""},
      {2, true, CIBSPlant::openProfile, "/home/anna/batch profile.dps"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.searchMode) + (c.switchOn ? " with -M:" : ""));
    m_settings.m_general.nSearchMode = c.searchMode;
    CSearchCommand command = Command();
    command.SetSwitch(c.switchOn, u"/home/anna/batch profile.dps");
    int openMode = -9;
    CString location = u"left over";
    command.PickLocation(openMode, location);
    EXPECT_EQ(openMode, c.openMode);
    EXPECT_EQ(location.ToUtf8(), c.location);
  }
}

TEST_F(SearchCommand, SearchesWhatTheDialogAskedAndKeepsWhatWasTypedAlsoWhenNotRemembering) {
  m_settings.m_lastSearchValues = {{u"Customer", u"old"}};
  m_settings.m_strBatchName = u"Invoices";
  for (int remember : {0, 1}) {
    SCOPED_TRACE(remember ? "remembering" : "not remembering");
    m_settings.m_general.nRemberSearch = remember;
    m_settings.m_lastSearchValues = {{u"Customer", u"old"}};
    m_windows.calls.clear();
    CSearchCommand command = Command();
    ASSERT_EQ(command.Run(), CSearchCommand::searched);
    EXPECT_TRUE(m_windows.opened);
    EXPECT_EQ(Texts(m_windows.batches), std::vector<std::string> {"Invoices"});
    EXPECT_EQ(m_windows.given.values.size(), remember ? 1u : 0u) << "the last values are offered only when remembering";
    EXPECT_EQ(m_windows.given.strBatchName.ToUtf8(), remember ? "Invoices" : "");
    EXPECT_EQ(m_windows.calls, (std::vector<std::string> {"clear", "ask", "show 2"}));
    EXPECT_EQ(command.GetBatchesSearched(), 1);
    EXPECT_EQ(command.GetHits(), 2);
    ASSERT_EQ(m_settings.m_lastSearchValues.size(), 2u);
    EXPECT_EQ(m_settings.m_lastSearchValues[0].second.ToUtf8(), "acme*");
    EXPECT_TRUE(m_settings.m_bAllBatches);
    EXPECT_EQ(m_settings.m_strBatchName.ToUtf8(), "");
    m_settings.m_strBatchName = u"Invoices";
  }
  EXPECT_EQ(m_plant.GetState(), CIBSPlant::stateSearched);
  EXPECT_TRUE(m_boxes.boxes.empty());
}

TEST_F(SearchCommand, CancelKeepsTheStoreOpenAndTheSettingsAsTheyWere) {
  m_settings.m_lastSearchValues = {{u"Customer", u"old"}};
  m_windows.answerOK = false;
  EXPECT_EQ(Command().Run(), CSearchCommand::cancelled);
  EXPECT_EQ(m_windows.calls, (std::vector<std::string> {"clear", "ask"}));
  EXPECT_EQ(m_plant.GetState(), CIBSPlant::stateOpened);
  ASSERT_EQ(m_settings.m_lastSearchValues.size(), 1u);
  EXPECT_EQ(m_settings.m_lastSearchValues[0].second.ToUtf8(), "old");
}

TEST_F(SearchCommand, ADocumentOnScreenIsClosedFirst) {
  FakeBrowser browser;
  m_plant.SetBrowser(&browser);
  ASSERT_EQ(Command().Run(), CSearchCommand::searched);
  ASSERT_TRUE(m_plant.OpenDocument(u"Invoices", u"00012345"));
  ASSERT_EQ(m_plant.GetState(), CIBSPlant::stateShown);
  m_windows.calls.clear();
  const int emptied = browser.emptied;
  m_windows.customer = u"baker";
  ASSERT_EQ(Command().Run(), CSearchCommand::searched);
  EXPECT_EQ(m_windows.calls, (std::vector<std::string> {"closed", "clear", "ask", "show 1"}));
  EXPECT_GT(browser.emptied, emptied) << "the browser lets go of the old document";
  EXPECT_EQ(m_plant.GetCurrentDocument(), nullptr);
}

TEST_F(SearchCommand, AMissingFolderIsToldAndNothingIsAsked) {
  m_settings.m_general.strPath = m_folder.Wide("gone");
  EXPECT_EQ(Command().Run(), CSearchCommand::noFolder);
  EXPECT_EQ(m_boxes.boxes, std::vector<std::string> {"error MSG_ERR_DIRECTORY_UNEXIST <%directory%>=" + (m_folder.Path() / "gone").string()});
  EXPECT_EQ(m_windows.calls, std::vector<std::string> {"clear"});
  // A file where the folder should be is no folder either.
  WriteBytes(m_folder.Path() / "file", "x");
  m_settings.m_general.strPath = m_folder.Wide("file");
  EXPECT_EQ(Command().Run(), CSearchCommand::noFolder);
}

TEST_F(SearchCommand, TheDiscDriveIsFoundOnceAndAnEmptyDriveAsksForADisc) {
  fs::create_directories(m_folder.Path() / "drive");
  WriteBytes(m_folder.Path() / "mounts", "/dev/sda1 / ext4 rw 0 0\n/dev/sr0 " + (m_folder.Path() / "drive").string() + " udf ro 0 0\n");
  m_settings.m_general.nSearchMode = 1;
  m_settings.m_general.strDriver.Empty();
  {
    // The drive is empty: the user is asked for a disc and cancels.
    CSearchCommand command = Command();
    command.SetMountTable(m_folder.Wide("mounts"));
    EXPECT_EQ(command.Run(), CSearchCommand::cancelled);
    EXPECT_EQ(m_settings.m_general.strDriver.ToUtf8(), (m_folder.Path() / "drive").string() + "/");
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    EXPECT_EQ(m_boxes.boxes[0].rfind("question MSG_LOADCDTODRIVE_RETRY", 0), 0u) << m_boxes.boxes[0];
    EXPECT_EQ(m_windows.calls, std::vector<std::string> {"clear"});
  }
  // With the batch on the disc the search runs over it.
  fs::rename(m_folder.Path() / "batches/one/DOC_CD", m_folder.Path() / "drive/DOC_CD");
  m_boxes.boxes.clear();
  m_windows.calls.clear();
  CSearchCommand command = Command();
  EXPECT_EQ(command.Run(), CSearchCommand::searched);
  EXPECT_EQ(m_windows.calls, (std::vector<std::string> {"clear", "ask", "show 2"}));
  EXPECT_EQ(m_plant.GetOpenMode(), CIBSPlant::openRoot);
  EXPECT_TRUE(m_boxes.boxes.empty());
}

TEST_F(SearchCommand, WithoutADiscDriveTheUserIsToldAndDriverStaysEmpty) {
  WriteBytes(m_folder.Path() / "mounts", "/dev/sda1 / ext4 rw 0 0\n");
  m_settings.m_general.nSearchMode = 1;
  CSearchCommand command = Command();
  command.SetMountTable(m_folder.Wide("mounts"));
  EXPECT_EQ(command.Run(), CSearchCommand::noDrive);
  EXPECT_EQ(m_boxes.boxes, std::vector<std::string> {"error MSG_ERR_NOCDROMDRIVE"});
  EXPECT_TRUE(m_settings.m_general.strDriver.IsEmpty());
  EXPECT_EQ(m_windows.calls, std::vector<std::string> {"clear"});
}

TEST_F(SearchCommand, APendingSearchRunsOnlyWithTheSwitchAndOpensItsProfile) {
  CSearchCommand command = Command();
  EXPECT_FALSE(command.RunPending());
  EXPECT_TRUE(m_windows.calls.empty());

  const std::string profile = "[Orbel]\r\nRoot = " + (m_folder.Path() / "batches/one").string() + "\r\nIndex = " +
                              (m_folder.Path() / "batches/one/DOC_CD/Database/index.dat").string() + "\r\nIndexHdr = " +
                              (m_folder.Path() / "batches/one/DOC_CD/Database/indexhdr.dat").string() + "\r\n";
  WriteBytes(m_folder.Path() / "my batch.dps", profile);
  // "SearchMode" names a folder that does not exist: the switch takes no notice of it.
  m_settings.m_general.strPath = m_folder.Wide("gone");
  command.SetSwitch(TRUE, m_folder.Wide("my batch.dps"));
  EXPECT_TRUE(command.RunPending());
  EXPECT_EQ(m_windows.calls, (std::vector<std::string> {"clear", "ask switch", "show 2"}));
  EXPECT_EQ(m_plant.GetOpenMode(), CIBSPlant::openProfile);
  EXPECT_TRUE(m_boxes.boxes.empty());
}
