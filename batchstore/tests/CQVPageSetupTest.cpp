#include "batchstore/pagesetup/CQVPageSetup.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

std::vector<CString> Ids(const CQVPageSetup& setups) {
  std::vector<CString> ids;
  for (int i = 0; i < setups.GetPageSetupCount(); ++i) {
    CString id;
    setups.GetPageSetupID(i, id);
    ids.push_back(id);
  }
  return ids;
}

const char kComplete[] =
  "[PageSetup]\r\nDataSource = 3\r\n"
  "[Scanner]\r\nResolution = 300\r\nColor = 1\r\nGrayscale = 0\r\nBitonal = 1\r\nDuplex = 1\r\nScanMode = 7\r\n"
  "EnableFlatbedDelay = 1\r\nFlatDelay = 300\r\nFrontColor = 0\r\nRearColor = 0\r\nFrontBitonal = 1\r\nRearBitonal = 1\r\n"
  "[Image]\r\nRotateAngle = 5\r\nCropType = 2\r\nOverCrop = 1\r\nOverCropSize = 70000\r\nDuplexMode = -1\r\n"
  "ImageOrder = 4\r\n"
  "[AutoDelete]\r\nFrontSide_Bitonal = 9\r\nFrontSide_SizeLimitation = 5000\r\nRearSide_Bitonal = 9\r\n"
  "RearSide_SizeLimitaion = 6000\r\nFrontSize_Color/Grayscale = 1\r\nRearSize_Color/Grayscale = 2\r\n"
  "[SplitMerge]\r\nNeedMerge = 0\r\nNumberOfSplit = 2\r\nHeightDirection = 1\r\nSplitMinValue = 1\r\n"
  "SplitMaxValue = 2\r\nMergeMinValue = 3\r\nMergeMaxValue = 4\r\nFrontOrder = 1\r\nRearOrder = 0\r\n"
  "OutputOrder = 2;0;1\r\n"
  "[Title]\r\nTitle = NO_SUCH_TEXT\r\n";

}  // namespace

TEST(CQVPageSetup, ListsValidIdsSortedWithoutRegardToCase) {
  TestFolder folder;
  for (const char* name : { "B.pagesetup", "a.pagesetup", "c d.pagesetup", "bad.name.pagesetup", "x.data" })
    folder.Write(name, "");
  std::filesystem::create_directories(folder.Native("dir.pagesetup"));
  CQVPageSetup setups;
  setups.SetRootDir(folder.Wide());
  EXPECT_EQ(Ids(setups), (std::vector<CString> { u"a", u"B", u"c d" }));
  EXPECT_EQ(setups.FindPageSetup(u" C D "), 2);

  struct Case {
    CString id;
    BOOL valid;
  } cases[] = {
    { u"", FALSE }, { CString(u'x', 51), FALSE }, { CString(u'x', 50), TRUE }, { u"a.b", FALSE },
    { u"a-b", FALSE }, { u"Std 2", TRUE },
  };
  for (const Case& c : cases) EXPECT_EQ(CQVPageSetup::CheckID(c.id), c.valid) << c.id.ToUtf8();
}

TEST(CQVPageSetup, RecordsLoadWithTheirRangeRules) {
  TestFolder folder;
  folder.Write("std.pagesetup", kComplete);
  CQVPageSetup setups;
  setups.SetRootDir(folder.Wide());
  QVPAGESETUP_INFO record;
  ASSERT_TRUE(setups.GetPageSetupInfo(0, record, TRUE, FALSE));
  EXPECT_EQ(record.DataSource, 1) << "a data source of 3 reads as the scanner";
  EXPECT_EQ(record.Scanner.ScanMode, 4);
  EXPECT_EQ(record.Scanner.FlatDelay, 255) << "a delay of 300 used to wrap to 44";
  EXPECT_EQ(record.Image.RotateAngle, 0);
  EXPECT_EQ(record.Image.OverCropSize, 65535);
  EXPECT_EQ(record.Image.DuplexMode, 0);
  EXPECT_EQ(record.AutoDelete.FrontSideBitonal, 0);
  EXPECT_EQ(record.AutoDelete.RearSideBitonal, 9);
  EXPECT_EQ(record.AutoDelete.RearSideSizeLimitation, 6000);
  const uint8_t order[16] = { 2, 0, 1, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255 };
  EXPECT_EQ(std::memcmp(record.SplitMerge.OutputOrder, order, 16), 0);
  int value = -1;
  EXPECT_FALSE(record.GetFlatDelayTime(value)) << "scan mode 4 is no flatbed";
  EXPECT_EQ(value, 0);
  EXPECT_TRUE(record.SplitPageNumber(value));
  EXPECT_EQ(value, 2);
  EXPECT_TRUE(record.SplitFront());
  CString name;
  ASSERT_TRUE(setups.GetPageSetupName(0, name));
  EXPECT_EQ(name, u"std") << "a title without a language text falls back to the ID";

  struct Case {
    const char* what;
    const char* order;
    BOOL ok;
  } cases[] = {
    { "an entry that is no number", "2;x;1", FALSE },
    { "an entry above 255", "2;256", FALSE },
    { "more than sixteen entries", "1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17", TRUE },
    { "a trailing separator", "3;1;", TRUE },
  };
  for (const Case& c : cases) {
    std::string text = kComplete;
    text.replace(text.find("2;0;1"), 5, c.order);
    folder.Write("std.pagesetup", text);
    EXPECT_EQ(setups.GetPageSetupInfo(0, record, TRUE, FALSE), c.ok) << c.what;
  }
  folder.Write("std.pagesetup", "[PageSetup]\r\nDataSource = 0\r\n[Scanner]\r\nScanMode = 2\r\nFlatDelay = 9\r\n");
  EXPECT_FALSE(setups.GetPageSetupInfo(0, record, TRUE, FALSE)) << "keys are missing";
  EXPECT_TRUE(record.GetFlatDelayTime(value)) << "what was there was read all the same";
  EXPECT_EQ(value, 9);
}

TEST(CQVPageSetup, SavesRecordsAndDataAndKeepsExistingEntries) {
  TestFolder folder;
  CQVPageSetup setups;
  setups.SetRootDir(folder.Wide());
  const int index = setups.AddPageSetup(u" Std ", TRUE);
  ASSERT_EQ(index, 0);
  QVPAGESETUP_INFO record;
  record.DataSource = 1;
  record.Scanner.Resolution = 200;
  record.Scanner.ScanMode = 2;
  record.SplitMerge.OutputOrder[0] = 3;
  record.SplitMerge.OutputOrder[1] = 1;
  record.Data = GlobalAlloc(GMEM_MOVEABLE, 3);
  std::memcpy(GlobalLock(record.Data), "abc", 3);
  GlobalUnlock(record.Data);
  folder.Write("Std.pagesetup", "[Title]\r\nTitle = STD_TITLE\r\n");
  ASSERT_TRUE(setups.SetPageSetupInfo(index, record, TRUE, TRUE));
  const std::string text = folder.Read("Std.pagesetup");
  EXPECT_EQ(text.substr(0, 58), "\xEF\xBB\xBF[Title]\r\nTitle = STD_TITLE\r\n[PageSetup]\r\nDataSource = 1");
  EXPECT_NE(text.find("OutputOrder = 3;1;\r\n"), std::string::npos);
  EXPECT_EQ(folder.Read("Std.data"), "abc");

  // Adding a page setup that is there used to delete its files.
  EXPECT_EQ(setups.AddPageSetup(u"STD", TRUE), 0);
  EXPECT_EQ(folder.Read("Std.data"), "abc");

  QVPAGESETUP_INFO read;
  ASSERT_TRUE(setups.GetPageSetupInfo(0, read, TRUE, TRUE));
  EXPECT_EQ(read.Scanner.Resolution, 200);
  ASSERT_NE(read.Data, nullptr);
  EXPECT_EQ(GlobalSize(read.Data), 3u);
  const HGLOBAL loaded = read.Data;
  ASSERT_TRUE(setups.GetPageSetupInfo(0, read, TRUE, FALSE));
  EXPECT_EQ(read.Data, loaded) << "reading the profile alone keeps the data block";

  folder.Write("Std.data", "");
  EXPECT_FALSE(setups.GetPageSetupInfo(0, read, FALSE, TRUE)) << "an empty data file";
  EXPECT_EQ(read.Data, nullptr);
  record.Cleanup();
  ASSERT_TRUE(setups.SetPageSetupInfo(0, record, FALSE, TRUE));
  EXPECT_FALSE(std::filesystem::exists(folder.Native("Std.data"))) << "no block, no data file";
  ASSERT_TRUE(setups.GetPageSetupInfo(0, read, FALSE, TRUE)) << "a missing data file is no failure";

  setups.DeletePageSetup(0);
  EXPECT_FALSE(std::filesystem::exists(folder.Native("Std.pagesetup")));
  EXPECT_EQ(setups.GetPageSetupCount(), 0);
}
