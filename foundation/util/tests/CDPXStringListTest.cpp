#include "foundation/util/CDPXStringList.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The list's texts joined with '|', head to tail.
std::string Texts(const CDPXStringList& list) {
  std::string out;
  CString text;
  bool first = true;
  for (POSITION pos = list.GetHeadPosition(); list.GetNext(pos, text); first = false)
    out += (first ? "" : "|") + text.ToUtf8();
  return out;
}

}  // namespace

TEST(CDPXStringList, NormalisesTextsOnTheWayIn) {
  struct Case {
    int trim;
    int caseMode;
    BOOL allowEmpty;
    const char16_t* input;
    const char* stored;  // null: refused
  };
  const Case cases[] = {
      {0, 0, TRUE, u"  Mixed Case  ", "  Mixed Case  "},
      {3, 2, TRUE, u"  mixed case\t", "MIXED CASE"},
      {1, 1, TRUE, u"  Mixed  ", "mixed  "},
      {2, 0, TRUE, u"  Mixed  ", "  Mixed"},
      {3, 2, TRUE, u" \u00e4rger ", "\u00c4RGER"},
      {3, 0, FALSE, u"   ", nullptr},
      {0, 0, FALSE, u"   ", "   "},
      {0, 0, FALSE, u"", nullptr},
      {3, 0, TRUE, u"   ", ""},
      {0, 0, TRUE, nullptr, ""},
      {9, 7, TRUE, u" a ", " a "},  // unknown modes mean none
  };
  for (const Case& c : cases) {
    CDPXStringList list;
    list.SetTrimMode(c.trim);
    list.SetCaseMode(c.caseMode);
    list.SetAllowEmpty(c.allowEmpty);
    const std::string what = "trim " + std::to_string(c.trim) + " case " + std::to_string(c.caseMode) +
                             " input '" + (c.input ? CString(c.input).ToUtf8() : "(null)") + "'";
    POSITION pos = list.Add(c.input);
    if (!c.stored) {
      EXPECT_EQ(pos, nullptr) << what;
      EXPECT_EQ(list.GetCount(), 0) << what;
      EXPECT_EQ(list.Find(c.input), nullptr) << what;
      continue;
    }
    ASSERT_NE(pos, nullptr) << what;
    EXPECT_EQ(Texts(list), c.stored) << what;
    EXPECT_EQ(list.Find(c.input), pos) << what;
  }
}

TEST(CDPXStringList, FindNormalisesTheTextItLooksFor) {
  CDPXStringList list;
  list.SetTrimMode(3);
  list.SetCaseMode(2);
  POSITION pos = list.Add(u"  alpha ");
  EXPECT_EQ(list.Find(u"ALPHA"), pos);
  EXPECT_EQ(list.Find(u"\tAlPhA   "), pos);
  EXPECT_EQ(list.Find(u"alphabet"), nullptr);

  CDPXStringList plain;
  plain.Add(u"Alpha");
  EXPECT_EQ(plain.Find(u"alpha"), nullptr) << "texts compare case-sensitively";
}

TEST(CDPXStringList, UniqueListsRefuseDuplicatesAfterNormalising) {
  CDPXStringList list;
  list.SetUnique(TRUE);
  EXPECT_NE(list.Add(u"Name"), nullptr);
  EXPECT_NE(list.Add(u"name"), nullptr) << "case variants are different texts";
  EXPECT_EQ(list.Add(u"Name"), nullptr);
  EXPECT_EQ(Texts(list), "Name|name");

  CDPXStringList folded;
  folded.SetUnique(TRUE);
  folded.SetCaseMode(1);
  folded.Add(u"Name");
  EXPECT_EQ(folded.Add(u"NAME"), nullptr) << "the case mode folds them into one";
  EXPECT_EQ(Texts(folded), "name");

  CDPXStringList notQuite;
  notQuite.SetUnique(2);  // only the value 1 switches it on
  notQuite.Add(u"x");
  EXPECT_NE(notQuite.Add(u"x"), nullptr);
}

TEST(CDPXStringList, ReapplyBringsPresentEntriesInLine) {
  struct Case {
    const char* what;
    void (*change)(CDPXStringList& list);
    const char* expected;
  };
  // Each case starts from " b", "a ", "B", "", " b", "c" added to a list that keeps everything.
  const Case cases[] = {
      {"unique keeps the first", [](CDPXStringList& l) { l.SetUnique(TRUE, TRUE); }, " b|a |B||c"},
      {"trim then unique", [](CDPXStringList& l) { l.SetTrimMode(3, TRUE); l.SetUnique(TRUE, TRUE); }, "b|a|B||c"},
      {"upper case and unique", [](CDPXStringList& l) { l.SetTrimMode(3); l.SetCaseMode(2); l.SetUnique(TRUE, TRUE); }, "B|A||C"},
      {"no empty texts", [](CDPXStringList& l) { l.SetAllowEmpty(FALSE, TRUE); }, " b|a |B| b|c"},
      {"sorted", [](CDPXStringList& l) { l.SetSortOrder(1, FALSE); l.SetTrimMode(3, TRUE); }, "|B|a|b|b|c"},
      {"settings without reapply", [](CDPXStringList& l) { l.SetCaseMode(2); l.SetUnique(TRUE); }, " b|a |B|| b|c"},
  };
  for (const Case& c : cases) {
    CDPXStringList list;
    for (const char16_t* text : {u" b", u"a ", u"B", u"", u" b", u"c"}) ASSERT_NE(list.Add(text), nullptr);
    c.change(list);
    EXPECT_EQ(Texts(list), c.expected) << c.what;
  }
}

TEST(CDPXStringList, ReapplyDropsEntriesThatAreNotTexts) {
  class CNotText : public CObject {};
  CNotText borrowed;
  CDPXStringList list;
  list.AddTail(&borrowed);
  list.Add(u"x");
  list.AddTail(&borrowed);
  list.Reapply();
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(Texts(list), "x");
  CString text = u"untouched";
  EXPECT_FALSE(list.GetAtIndex(1, text));
  EXPECT_EQ(text, u"untouched");
}

TEST(CDPXStringList, SortedListsPutAnEqualTextBeforeTheOneThere) {
  CDPXStringList list;
  list.SetSortOrder(1, FALSE);
  for (const char16_t* text : {u"pear", u"apple", u"Zebra", u"fig", u"\u00e9clair"}) list.Add(text);
  EXPECT_EQ(Texts(list), "Zebra|apple|fig|pear|\xc3\xa9" "clair") << "plain code-unit order";

  POSITION first = list.Find(u"fig");
  POSITION second = list.Add(u"fig");
  EXPECT_EQ(list.GetIndexOf(second) + 1, list.GetIndexOf(first));
  POSITION start = nullptr;
  EXPECT_EQ(list.FindPosition(u"fig", start), second);
  EXPECT_EQ(list.FindPosition(u"fig", start), first);
  EXPECT_EQ(list.FindPosition(u"fig", start), nullptr);

  list.SetSortOrder(-1, TRUE);
  EXPECT_EQ(Texts(list), "\xc3\xa9" "clair|pear|fig|fig|apple|Zebra");
}

TEST(CDPXStringList, ReadsByIndexAndPosition) {
  CDPXStringList list;
  list.Add(u"one");
  list.Add(u"two");
  CString text;
  EXPECT_TRUE(list.GetAtIndex(1, text));
  EXPECT_EQ(text, u"two");
  for (int index : {-1, 2}) {
    text = u"kept";
    EXPECT_FALSE(list.GetAtIndex(index, text)) << index;
  }
  POSITION pos = list.GetHeadPosition();
  EXPECT_TRUE(list.GetNext(pos, text));
  EXPECT_EQ(text, u"one");
  EXPECT_TRUE(list.GetNext(pos, text));
  EXPECT_EQ(pos, nullptr);
  EXPECT_FALSE(list.GetNext(pos, text));
}
