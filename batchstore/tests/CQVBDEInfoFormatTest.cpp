#include "batchstore/CQVBDEInfoFormat.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

TEST(CQVBDEImageInfoFormat, RemarkTypesOutsideTheSetBecome999) {
  TestFolder folder;
  struct Case {
    int set, stored;
  } cases[] = { { 7, 999 }, { -1, 999 }, { 999, 999 }, { 0, 0 }, { 6, 6 } };
  for (const Case& c : cases) {
    CQVBDEImageInfoFormat format;
    format.Open(folder.Wide("00000001.info"));
    ASSERT_TRUE(format.SetRemarkType(c.set)) << c.set;
    int type = -5;
    CQVBDEImageInfoFormat reread;
    reread.Open(folder.Wide("00000001.info"));
    EXPECT_TRUE(reread.GetRemarkType(type));
    EXPECT_EQ(type, c.stored) << c.set;
  }
  struct Read {
    const char* bytes;
    int type;
  } reads[] = { { "[Remark]\nType = 12\n", 999 }, { "[Remark]\nType = abc\n", 0 }, { "[Other]\nType = 3\n", 0 }, { "[remark]\ntype=3\n", 3 } };
  for (const Read& r : reads) {
    folder.Write("x.info", r.bytes);
    CQVBDEImageInfoFormat format;
    format.Open(folder.Wide("x.info"));
    int type = -5;
    EXPECT_TRUE(format.GetRemarkType(type));
    EXPECT_EQ(type, r.type) << r.bytes;
  }
}

// Each setter reads the file again under its lock, so two objects (or processes) connected to one
// file keep each other's keys.
TEST(CQVBDEInfoFormat, SettersKeepWhatOthersSavedMeanwhile) {
  TestFolder folder;
  folder.Write("00000001.info", "[Notes]\r\nBy = scanner\r\n");
  CQVBDEImageInfoFormat first, second;
  first.Open(folder.Wide("00000001.info"));
  second.Open(folder.Wide("00000001.info"));
  folder.Write("00000001.info", "[Notes]\r\nBy = someone else\r\n");
  ASSERT_TRUE(first.SetRemarkType(2));
  ASSERT_TRUE(second.SetRemarkType(3));
  EXPECT_EQ(folder.Read("00000001.info"), "\xEF\xBB\xBF[Notes]\r\nBy = someone else\r\n[Remark]\r\nType = 3\r\n");
  EXPECT_FALSE(folder.Exists("00000001.info.lck"));
}

TEST(CQVBDEDocumentInfoFormat, TypesAreTrimmedAndAMissingFileReadsEmpty) {
  TestFolder folder;
  CQVBDEDocumentInfoFormat format;
  format.Open(folder.Wide("document.info"));
  CString type(u"old");
  EXPECT_TRUE(format.GetDocumentType(type));
  EXPECT_TRUE(type.IsEmpty());
  EXPECT_TRUE(format.SetDocumentType(u"  Letter "));
  EXPECT_EQ(folder.Read("document.info"), "\xEF\xBB\xBF[Document Type]\r\nType = Letter\r\n");
  EXPECT_FALSE(format.SetDocumentType(u"two\r\nlines")) << "a value that would inject a key line";
  EXPECT_TRUE(format.GetDocumentType(type));
  EXPECT_EQ(type, u"Letter");
}
