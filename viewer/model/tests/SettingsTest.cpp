// The viewer's settings file "SXS.dat".

#include "viewer/model/CMainSettings.h"
#include "viewer/model/tests/BatchFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct Line {
  const char* section;
  const char* key;
  std::string value;
};

// A settings file as the viewer writes it: UTF-8 with its mark, "key = value", CR LF.
std::string FileOf(const std::vector<Line>& lines) {
  std::string text = "\xEF\xBB\xBF";
  std::string section;
  for (const Line& line : lines) {
    if (line.section != section) {
      section = line.section;
      text += "[" + section + "]\r\n";
    }
    text += std::string(line.key) + " = " + line.value + "\r\n";
  }
  return text;
}

std::vector<Line> DefaultLines(const std::string& sysFolder) {
  return {
      {"QVSettings", "IncludeIndexHeader", "0"}, {"QVSettings", "SaveResults", "0"}, {"QVSettings", "AllowMultiSelect", "0"},
      {"QVSettings", "LargeIcon", "0"}, {"QVSettings", "RemberSearch", "0"}, {"QVSettings", "LanchView", "0"},
      {"QVSettings", "DisplayPageCount", "0"}, {"QVSettings", "SearchMode", "1"}, {"QVSettings", "Driver", ""},
      {"QVSettings", "Path", ""}, {"QVSettings", "AllDrives", ""},
      {"LastBatch", "BatchName", ""}, {"LastBatch", "AllBatches", "0"},
      {"ColumnWidth", "WidthList", ""}, {"ColumnWidth", "SortItem", ""}, {"ColumnWidth", "SortAsc", "0"},
      {"EmailSetting", "MailClient", ""}, {"EmailSetting", "MailTitle", ""}, {"EmailSetting", "MailTo", ""},
      {"EmailSetting", "MailCc", ""}, {"EmailSetting", "MailBcc", ""}, {"EmailSetting", "AttachName", ""},
      {"EmailSetting", "ImagesFrom", "0"}, {"EmailSetting", "ImagesTo", "0"}, {"EmailSetting", "RangeMode", "1"},
      {"EmailSetting", "MailBody", ""}, {"EmailSetting", "IncludeADID", "0"}, {"EmailSetting", "CombineTIFF", "0"},
      {"EmailSetting", "SaveLogFile", "0"}, {"EmailSetting", "LogPath", ""},
      {"PrintSetting", "NumPerSheet", "1"}, {"PrintSetting", "Orientation", "1"}, {"PrintSetting", "PrintRange", "3"},
      {"PrintSetting", "PageFrom", "0"}, {"PrintSetting", "PageTo", "0"}, {"PrintSetting", "NumOfCopies", "1"},
      {"PrintSetting", "RowNumber", "1"}, {"PrintSetting", "ColNumber", "1"},
      {"SaveAsPDFOption", "SaveRange", "1"}, {"SaveAsPDFOption", "ImageFrom", "0"}, {"SaveAsPDFOption", "ImageTo", "0"},
      {"ScreenLayout", "ScreenWidth", "0"}, {"ScreenLayout", "ScreenHeight", "0"}, {"ScreenLayout", "IsMaximized", "0"},
      {"ScreenLayout", "WindowLeft", "0"}, {"ScreenLayout", "WindowTop", "0"}, {"ScreenLayout", "WindowWidth", "0"},
      {"ScreenLayout", "WindowHeight", "0"}, {"ScreenLayout", "ViewBrowserRows", "2"}, {"ScreenLayout", "ViewBrowserCols", "4"},
      {"ScreenLayout", "ViewMagnifierRatio", "200"}, {"ScreenLayout", "ViewScrollStep", "10"},
      {"ScreenLayout", "ViewZoomStep", "10"}, {"ScreenLayout", "SRD_WindowLeft", "0"}, {"ScreenLayout", "SRD_WindowTop", "0"},
      {"ScreenLayout", "SRD_WindowRight", "0"}, {"ScreenLayout", "SRD_WindowBottom", "0"}, {"ScreenLayout", "LanguageID", ""},
      {"ScreenLayout", "DockstateFile", sysFolder + "SXS.dockstate"}, {"ScreenLayout", "ShowAssistant", "0"},
      {"ScreenLayout", "AssistantLeft", "0"}, {"ScreenLayout", "AssistantTop", "0"},
  };
}

class Settings : public ::testing::Test {
protected:
  void SetUp() override {
    fs::create_directories(m_folder.Path() / "Sys");
    m_sys = (m_folder.Path() / "Sys").string() + "/";
    ASSERT_TRUE(m_settings.InitSettingsPaths(CString::FromUtf8(m_sys)));
  }
  fs::path File() const { return m_folder.Path() / "Sys/SXS.dat"; }

  TempFolder m_folder;
  std::string m_sys;
  CMainSettings m_settings;
};

}  // namespace

TEST_F(Settings, FirstRunKeepsDefaultsAndWritesEveryKey) {
  EXPECT_EQ(m_settings.GetSettingsPath().ToUtf8(), m_sys + "SXS.dat");
  EXPECT_TRUE(m_settings.LoadSettings());
  EXPECT_EQ(m_settings.m_general.nSearchMode, 1);
  EXPECT_EQ(m_settings.m_print.nPageFrom, -1);
  EXPECT_EQ(m_settings.m_nIconSize, 32);
  ASSERT_TRUE(m_settings.SaveSettings());
  EXPECT_EQ(ReadBytes(File()), FileOf(DefaultLines(m_sys)));

  // What was stored as -1 reads back as 0.
  CMainSettings reloaded;
  reloaded.InitSettingsPaths(CString::FromUtf8(m_sys));
  EXPECT_TRUE(reloaded.LoadSettings());
  EXPECT_EQ(reloaded.m_print.nPageFrom, 0);
  EXPECT_EQ(reloaded.m_email.nImagesTo, 0);
  EXPECT_EQ(reloaded.m_pdf.nImageFrom, 0);
}

TEST_F(Settings, EveryRecordReloadsAsWritten) {
  CMainSettings& s = m_settings;
  s.m_bIncludeIndexHeader = TRUE;
  s.m_general = {1, 1, 1, 1, 1, 1, 3, u"/media/cdrom/", u"/srv/batches \u00e4/", u"/a/;/b/"};
  s.m_lastSearchValues = {{u"Customer", u"ACME*"}, {u"Invoice No", u"?"}, {CMainSettings::kDocumentKey, u"0001*"}};
  s.m_strBatchName = u"cdrom [Invoices 2008]";
  s.m_bAllBatches = TRUE;
  s.m_strWidthList = u"100;80;120;";
  s.m_strSortItem = u"__DOCUMENT_HEADER__";
  s.m_bSortAsc = TRUE;
  s.m_email.strMailClient = u"Mail";
  s.m_email.strMailTitle = u"\"Invoice \"<Invoice No>";
  s.m_email.strMailTo = u"a@example.org";
  s.m_email.strMailCc = u"b@example.org";
  s.m_email.strMailBcc = u"c@example.org";
  s.m_email.strAttachName = u"<Customer>";
  s.m_email.strMailBody = u"\"Hello\"";
  s.m_email.nIncludeADID = 1;
  s.m_email.nCombineTIFF = 1;
  s.m_email.nSaveLogFile = 1;
  s.m_email.strLogPath = u"/var/log/viewer/";
  s.m_email.nImagesFrom = 2;
  s.m_email.nImagesTo = 5;
  s.m_email.nRangeMode = 2;
  s.m_print.nNumPerSheet = 4;
  s.m_print.nOrientation = 2;
  s.m_print.nPrintRange = 2;
  s.m_print.nPageFrom = 3;
  s.m_print.nPageTo = 9;
  s.m_print.nNumOfCopies = 7;
  s.m_print.nRowNumber = 2;
  s.m_print.nColNumber = 2;
  s.m_pdf = {u"", 4, 8, 2};
  s.m_screenLayout = {1920, 1080, 1, -8, -4, 1280, 1000, 4, 8, 300, 25, 50, {10, 20, 600, 400}, u"de-de", u"/x/SXS.dockstate", 1, -30, 40};
  ASSERT_TRUE(s.SaveSettings());

  CMainSettings reloaded;
  reloaded.InitSettingsPaths(CString::FromUtf8(m_sys));
  ASSERT_TRUE(reloaded.LoadSettings());
  EXPECT_EQ(reloaded.m_nIconSize, 40);
  EXPECT_EQ(reloaded.m_general.nSearchMode, 3);
  EXPECT_EQ(reloaded.m_general.strPath, u"/srv/batches \u00e4/");
  EXPECT_EQ(reloaded.m_lastSearchValues, s.m_lastSearchValues);
  EXPECT_EQ(reloaded.m_screenLayout.nWindowLeft, -8);
  EXPECT_EQ(reloaded.m_screenLayout.rcResultsDialog.bottom, 400);
  EXPECT_EQ(reloaded.m_screenLayout.nAssistantLeft, -30);
  EXPECT_EQ(reloaded.m_email.strMailTitle, u"\"Invoice \"<Invoice No>");
  EXPECT_EQ(reloaded.m_print.nNumOfCopies, 7);
  EXPECT_EQ(reloaded.m_pdf.nImageTo, 8);
  // Written again, the reloaded records give the same file byte for byte: every key came back.
  const std::string first = ReadBytes(File());
  ASSERT_TRUE(reloaded.SaveSettings());
  EXPECT_EQ(ReadBytes(File()), first);
}

TEST_F(Settings, UnknownSectionsAndKeysStay) {
  WriteBytes(File(), "; written by a newer viewer\r\n[QVSettings]\r\nSearchMode = 2\r\nFutureOption = yes\r\n\r\n"
                     "[Plugins]\r\nFirst = one.so\r\nfree text line\r\n[LastSearchValues]\r\nCustomer = A*\r\nOld Field = x\r\n");
  m_settings.LoadSettings();
  EXPECT_EQ(m_settings.m_general.nSearchMode, 2);
  m_settings.m_lastSearchValues = {{u"Customer", u"B*"}};
  ASSERT_TRUE(m_settings.SaveSettings());
  const std::string saved = ReadBytes(File());
  for (const char* line : {"; written by a newer viewer\r\n", "FutureOption = yes\r\n", "[Plugins]\r\nFirst = one.so\r\nfree text line\r\n",
                           "Customer = B*\r\n", "Old Field = x\r\n", "SearchMode = 2\r\n"}) {
    EXPECT_NE(saved.find(line), std::string::npos) << line;
  }
}

TEST_F(Settings, AKeyThatIsMissingOrMalformedKeepsItsDefault) {
  std::vector<Line> lines = DefaultLines(m_sys);
  for (Line& line : lines) {
    if (std::string(line.key) == "SearchMode") line.value = "two";
    if (std::string(line.key) == "RemberSearch") line.value = "1";
    if (std::string(line.key) == "Driver") line.value = "/media/cd/";
    if (std::string(line.key) == "NumOfCopies") line.value = "3";
    if (std::string(line.key) == "SRD_WindowTop") line.value = "";
  }
  std::erase_if(lines, [](const Line& line) { return std::string(line.key) == "DisplayPageCount"; });
  m_settings.m_general.nDisplayPageCount = 1;
  WriteBytes(File(), FileOf(lines));
  EXPECT_FALSE(m_settings.LoadSettings());
  EXPECT_EQ(m_settings.m_general.nRemberSearch, 1);
  EXPECT_EQ(m_settings.m_general.nDisplayPageCount, 1);
  EXPECT_EQ(m_settings.m_general.nSearchMode, 1);
  EXPECT_EQ(m_settings.m_general.strDriver, u"/media/cd/");
  EXPECT_EQ(m_settings.m_print.nNumOfCopies, 3);
  EXPECT_EQ(m_settings.m_screenLayout.rcResultsDialog.top, 0);
}

TEST_F(Settings, WhatTheFileCannotHoldIsMadeToFit) {
  m_settings.m_email.strMailBody = u"\"Dear customer,\"\r\n<Customer>\n\"Regards\"\r";
  m_settings.m_general.strPath = u"/a\nb/";
  m_settings.m_screenLayout.rcResultsDialog = {600, 400, 10, 20};
  // Field names from a header that cannot be keys of the profile are left out; the rest is saved.
  m_settings.m_lastSearchValues = {{u"", u"x"}, {u"A=B", u"y"}, {u"\"Quoted\"", u"z"}, {u"Customer", u"ok"}};
  ASSERT_TRUE(m_settings.SaveSettings());
  const std::string saved = ReadBytes(File());
  EXPECT_NE(saved.find("MailBody = \"Dear customer,\"__CR__<Customer>__CR__\"Regards\"__CR__\r\n"), std::string::npos);
  EXPECT_EQ(m_settings.m_email.strMailBody, u"\"Dear customer,\"__CR__<Customer>__CR__\"Regards\"__CR__");
  EXPECT_NE(saved.find("Path = /a b/\r\n"), std::string::npos);
  EXPECT_NE(saved.find("SRD_WindowLeft = 10\r\nSRD_WindowTop = 20\r\nSRD_WindowRight = 600\r\nSRD_WindowBottom = 400\r\n"), std::string::npos);
  EXPECT_NE(saved.find("[LastSearchValues]\r\nCustomer = ok\r\n[LastBatch]"), std::string::npos);

  CMainSettings reloaded;
  reloaded.InitSettingsPaths(CString::FromUtf8(m_sys));
  EXPECT_TRUE(reloaded.LoadSettings());
  EXPECT_EQ(reloaded.m_lastSearchValues, (std::vector<std::pair<CString, CString>> {{u"Customer", u"ok"}}));
}

TEST_F(Settings, RepeatedSearchKeysStayInOrder) {
  WriteBytes(File(), "[LastSearchValues]\r\nA = 1\r\nB = 2\r\nA = 3\r\n");
  m_settings.LoadSettings();
  EXPECT_EQ(m_settings.m_lastSearchValues, (std::vector<std::pair<CString, CString>> {{u"A", u"1"}, {u"B", u"2"}, {u"A", u"3"}}));
}

TEST_F(Settings, AFailedSaveSaysSo) {
  CMainSettings elsewhere;
  ASSERT_TRUE(elsewhere.InitSettingsPaths(m_folder.Wide("missing folder")));
  EXPECT_FALSE(elsewhere.SaveSettings());
  EXPECT_FALSE(fs::exists(m_folder.Path() / "missing folder"));
  EXPECT_FALSE(CMainSettings().InitSettingsPaths(u""));
}
