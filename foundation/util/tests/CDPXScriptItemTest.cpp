#include "foundation/util/CDPXScriptItem.h"

#include <gtest/gtest.h>

#include <string>

TEST(CDPXScriptItem, ParsesEveryKindOfLine) {
  struct Case {
    const char16_t* line;
    int type;
    const char* section;  // a header's name, or the section of a key line or free text
    const char* key;
    const char* value;  // a key line's value, or the text of a comment or free text
    const char* written;
  };
  const Case cases[] = {
      {u"", 0, "", "", "", ""},
      {u"   \t", 0, "", "", "", ""},
      {u"  ; a comment = not a key ", 0, "", "", "; a comment = not a key", "; a comment = not a key"},
      {u"[General]", 1, "General", "", "", "[General]"},
      {u"  [General] ; trailing comment", 1, "General", "", "", "[General]"},
      {u"[ Spaced ]", 1, " Spaced ", "", "", "[ Spaced ]"},
      {u"[a]b]", 1, "a]b", "", "", "[a]b]"},
      {u"[]", 1, "", "", "", "[]"},
      {u"[Unclosed", -1, "", "", "", ""},
      {u"Key=Value", 2, "cur", "Key", "Value", "Key = Value"},
      {u"  Key  =  Value with  blanks  ", 2, "cur", "Key", "Value with  blanks", "Key = Value with  blanks"},
      {u"a = b = c", 2, "cur", "a", "b = c", "a = b = c"},
      {u"Empty =", 2, "cur", "Empty", "", "Empty = "},
      {u"\"q\" = 1", 3, "cur", "", "\"q\" = 1", "\"q\" = 1"},
      {u"it's = 1", 3, "cur", "", "it's = 1", "it's = 1"},
      {u"=x", 3, "cur", "", "=x", "=x"},
      {u"  free text line  ", 3, "cur", "", "free text line", "free text line"},
      {u"x = \"quoted\" value", 2, "cur", "x", "\"quoted\" value", "x = \"quoted\" value"},
  };
  for (const Case& c : cases) {
    const std::string what = CString(c.line).ToUtf8();
    CDPXScriptItem item;
    item.Parse(u"[stale]", u"old");  // parsing resets what the item held
    item.Parse(c.line, u"cur");
    EXPECT_EQ(item.GetType(), c.type) << what;
    CString section, key, value, text, written;
    switch (c.type) {
      case 0:
        EXPECT_TRUE(item.GetText(text)) << what;
        EXPECT_EQ(text.ToUtf8(), c.value) << what;
        break;
      case 1:
        EXPECT_TRUE(item.GetSection(section)) << what;
        EXPECT_EQ(section.ToUtf8(), c.section) << what;
        break;
      case 2:
        EXPECT_TRUE(item.GetEntry(key, value, section)) << what;
        EXPECT_EQ(section.ToUtf8(), c.section) << what;
        EXPECT_EQ(key.ToUtf8(), c.key) << what;
        EXPECT_EQ(value.ToUtf8(), c.value) << what;
        break;
      case 3:
        EXPECT_TRUE(item.GetLine(text, section)) << what;
        EXPECT_EQ(section.ToUtf8(), c.section) << what;
        EXPECT_EQ(text.ToUtf8(), c.value) << what;
        break;
      default: break;
    }
    item.Format(written);
    EXPECT_EQ(written.ToUtf8(), c.written) << what;
  }
}

TEST(CDPXScriptItem, AnswersOnlyForItsOwnKind) {
  CDPXScriptItem entry, header, comment, text, invalid;
  entry.Parse(u"k = v", u"S");
  header.Parse(u"[S]", u"");
  comment.Parse(u"; c", u"S");
  text.Parse(u"free", u"S");
  invalid.Parse(u"[x", u"S");
  CString a = u"kept", b = u"kept", c = u"kept";
  for (const CDPXScriptItem* item : {&header, &comment, &text, &invalid}) {
    EXPECT_FALSE(item->GetKey(a));
    EXPECT_FALSE(item->GetValue(a));
    EXPECT_FALSE(item->GetKeyValue(a, b));
    EXPECT_FALSE(item->GetEntry(a, b, c));
  }
  for (const CDPXScriptItem* item : {&entry, &comment, &text, &invalid}) EXPECT_FALSE(item->GetSection(a));
  for (const CDPXScriptItem* item : {&entry, &header, &text, &invalid}) EXPECT_FALSE(item->GetText(a));
  for (const CDPXScriptItem* item : {&entry, &header, &comment, &invalid}) EXPECT_FALSE(item->GetLine(a, b));
  EXPECT_EQ(a, u"kept");
  EXPECT_EQ(b, u"kept");
  EXPECT_EQ(c, u"kept");
  EXPECT_TRUE(entry.GetKey(a));
  EXPECT_EQ(a, u"k");
  EXPECT_TRUE(entry.GetKeyValue(a, b));
  EXPECT_EQ(b, u"v");
  EXPECT_TRUE(text.GetLine(a));
  EXPECT_EQ(a, u"free");
  EXPECT_EQ(CDPXScriptItem().GetType(), -1);
}
