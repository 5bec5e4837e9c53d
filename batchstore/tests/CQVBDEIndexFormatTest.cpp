#include "batchstore/CQVBDEIndexFormat.h"
#include "batchstore/CQVBDEIndexItem.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

namespace {

struct Item {
  const char16_t* name;
  const char16_t* value;
  int source, accuracy;
};

void Fill(CQVBDEIndexItemList& list, std::initializer_list<Item> items) {
  list.DeleteAllIndexValues();
  for (const Item& item : items) list.SetIndex(item.name, item.value, item.source, item.accuracy);
}

void ExpectItem(CQVBDEIndexItemList& list, int index, const Item& item) {
  CString name, value;
  int source = -1, accuracy = -1;
  ASSERT_TRUE(list.GetIndex(index, name, value, source, accuracy)) << index;
  EXPECT_EQ(name, item.name) << index;
  EXPECT_EQ(value, item.value) << CString(item.name);
  EXPECT_EQ(source, item.source) << CString(item.name);
  EXPECT_EQ(accuracy, item.accuracy) << CString(item.name);
}

}  // namespace

TEST(CQVBDEIndexFormat, WritesTheDocumentedBlocks) {
  TestFolder folder;
  CQVBDEIndexItemList list;
  Fill(list, { { u"Invoice", u"A\r\nB", 2, 8500 }, { u"Empty", u"", 1, -5 }, { u"Odd", u"x\r\n", 7, 20000 } });
  ASSERT_TRUE(CQVBDEIndexFormat::Save(folder.Wide("a.index"), list));
  EXPECT_EQ(folder.Read("a.index"),
            "\xEF\xBB\xBF"
            "[Invoice]\r\nSource = OCR\r\nAccuracy = 8500\r\n\"A\"\r\n\"B\"\r\n\r\n"
            "[Empty]\r\nSource = System\r\nAccuracy = 0\r\n\"\"\r\n\r\n"
            "[Odd]\r\nSource = \r\nAccuracy = 10000\r\n\"x\"\r\n\"\"\r\n\r\n");
}

TEST(CQVBDEIndexFormat, WhatIsSavedLoadsBackExactly) {
  TestFolder folder;
  CQVBDEIndexItemList list, read;
  std::initializer_list<Item> items = {
    { u"Invoice", u"A\r\nB", 2, 8500 },   { u"Empty", u"", 1, 0 },
    { u"Trailing", u"x\r\n", 3, 10000 },  { u"Quotes", u"say \"hi\" = ; [x]", 0, 9999 },
    { u"Blanks", u"  padded  ", 0, 1 },   { u"Umlaut \u00e4", u"\u00fc\u20ac", 1, 5000 },
  };
  Fill(list, items);
  ASSERT_TRUE(CQVBDEIndexFormat::Save(folder.Wide("a.index"), list));
  ASSERT_TRUE(CQVBDEIndexFormat::Load(folder.Wide("a.index"), read));
  ASSERT_EQ(read.GetCount(), static_cast<int>(items.size()));
  int i = 0;
  for (const Item& item : items) ExpectItem(read, i++, item);
}

// A lone CR or LF in a value used to be written inside its line and lost on reading; it is now a
// line break of the value, which reads back as CR LF.
TEST(CQVBDEIndexFormat, LoneLineBreaksInValuesSurviveAsLineBreaks) {
  TestFolder folder;
  CQVBDEIndexItemList list, read;
  Fill(list, { { u"A", u"one\ntwo\rthree\r\n\nfive", 0, 10000 } });
  ASSERT_TRUE(CQVBDEIndexFormat::Save(folder.Wide("a.index"), list));
  ASSERT_TRUE(CQVBDEIndexFormat::Load(folder.Wide("a.index"), read));
  ExpectItem(read, 0, { u"A", u"one\r\ntwo\r\nthree\r\n\r\nfive", 0, 10000 });
  EXPECT_FALSE(CQVBDEIndexFormat::Save(folder.Wide("b.index"), *[&] {
    Fill(list, { { u"Bad\r\nName", u"", 0, 0 } });
    return &list;
  }())) << "a name with a line break would read back as two sections";
}

TEST(CQVBDEIndexFormat, FilesOfOtherEditorsReadAsTheFormatSays) {
  TestFolder folder;
  struct Case {
    const char* what;
    std::string bytes;
    BOOL ok;
    std::vector<Item> items;
  } cases[] = {
    { "LF line ends, no byte-order mark, keys in other letters, a key it does not know",
      "[Name]\nsource = barcode\nACCURACY = 12000\nChecked = yes\n\"a\"\n\"b\"\n", TRUE, { { u"Name", u"a\r\nb", 3, 10000 } } },
    { "accuracy 9999 stays, an unknown source is Manual, no value lines is an empty value",
      "[A]\r\nSource = Scanner\r\nAccuracy = 9999\r\n[B]\r\n", TRUE, { { u"A", u"", 0, 9999 }, { u"B", u"", 0, 10000 } } },
    { "a first line without its closing quote is skipped but counts as first",
      "[A]\r\n\"broken\r\n\"x\"\r\n\"y\"\r\n", TRUE, { { u"A", u"\r\nx\r\ny", 0, 10000 } } },
    { "a single quote is an empty line; a repeated section counts once",
      "[A]\r\n\"\r\n\"z\"\r\n[a]\r\n\"w\"\r\n", TRUE, { { u"A", u"\r\nz\r\nw", 0, 10000 } } },
    { "a CR alone inside a line is a line break of the value, as saving writes it",
      "[A]\r\n\"x\ry\"\r\n\"\r\"\n", TRUE, { { u"A", u"x\r\ny\r\n\r\n", 0, 10000 } } },
    { "an accuracy that is no number fails the whole load", "[A]\r\nAccuracy = x\r\n\"v\"\r\n", FALSE, {} },
  };
  for (const Case& c : cases) {
    folder.Write("f.index", c.bytes);
    CQVBDEIndexItemList read;
    EXPECT_EQ(CQVBDEIndexFormat::Load(folder.Wide("f.index"), read), c.ok) << c.what;
    if (!c.ok) continue;
    ASSERT_EQ(read.GetCount(), static_cast<int>(c.items.size())) << c.what;
    for (size_t i = 0; i < c.items.size(); ++i) ExpectItem(read, static_cast<int>(i), c.items[i]);
  }
  CQVBDEIndexItemList read;
  EXPECT_FALSE(CQVBDEIndexFormat::Load(folder.Wide("missing.index"), read));
}

TEST(CQVBDEIndexFormat, AFailedSaveKeepsTheFileThatWasThere) {
  TestFolder folder;
  folder.Write("a.index", "old");
  CQVBDEIndexItemList list;
  Fill(list, { { u"A", u"x", 0, 0 } });
  {
    FileSizeLimit limit(10);
    EXPECT_FALSE(CQVBDEIndexFormat::Save(folder.Wide("a.index"), list));
  }
  EXPECT_EQ(folder.Read("a.index"), "old");
}

TEST(CQVBDEIndexItemList, NamesAreFoundWithoutRegardToCase) {
  CQVBDEIndexItemList list;
  list.SetIndex(u"Number", u"1", 0, 10000);
  list.SetIndex(u"NUMBER", u"2", 2, 50);
  EXPECT_EQ(list.GetCount(), 1);
  ExpectItem(list, 0, { u"Number", u"2", 2, 50 });
  EXPECT_EQ(list.FindItem(u"number"), 0);
  EXPECT_EQ(list.FindItem(u"other"), -1);
  EXPECT_EQ(list.GetItem(1), nullptr);
  list.GetItem(0)->ResetIndexValue();
  ExpectItem(list, 0, { u"Number", u"", 0, 10000 });
  list.DeleteIndexValue(u"NUMBER");
  EXPECT_EQ(list.GetCount(), 0);
}
