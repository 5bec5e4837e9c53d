#include "foundation/util/CDPXStringList.h"
#include "foundation/util/DPXText.h"
#include "platform/core/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Pieces(const CDPXStringList& list) {
  std::vector<std::string> out;
  CString text;
  for (POSITION pos = list.GetHeadPosition(); list.GetNext(pos, text);) out.push_back(text.ToUtf8());
  return out;
}

}  // namespace

TEST(DPXText, ConvertsBetweenWideAndNarrowText) {
  struct Case {
    const char16_t* wide;
    UINT codePage;
    const char* narrow;
  };
  const Case cases[] = {
      {u"plain", CP_UTF8, "plain"},
      {u"\u00e4\u20ac\U0001F600", CP_UTF8, "\xc3\xa4\xe2\x82\xac\xf0\x9f\x98\x80"},
      {u"\u00e9\u20ac", CP_ACP, "\xe9\x80"},
      {u"", CP_UTF8, ""},
  };
  for (const Case& c : cases) {
    CStringA narrow = "stale";
    EXPECT_TRUE(DPXWideToMultiByte(c.wide, narrow, c.codePage));
    EXPECT_EQ(narrow, c.narrow) << c.narrow;
    CString wide = u"stale";
    EXPECT_TRUE(DPXMultiByteToWide(c.narrow, wide, c.codePage));
    EXPECT_EQ(wide, c.wide) << c.narrow;
  }
  // Characters the code page lacks become '?', bytes that are not UTF-8 become U+FFFD: never a failure.
  CStringA narrow;
  EXPECT_TRUE(DPXWideToMultiByte(u"\u4e2d", narrow, CP_ACP));
  EXPECT_EQ(narrow, "?");
  CString wide;
  EXPECT_TRUE(DPXMultiByteToWide("a\xff" "b", wide, CP_UTF8));
  EXPECT_EQ(wide, u"a\ufffdb");
  // A null input is an empty text.
  narrow = "stale";
  EXPECT_TRUE(DPXWideToMultiByte(nullptr, narrow, CP_UTF8));
  EXPECT_TRUE(narrow.IsEmpty());
  wide = u"stale";
  EXPECT_TRUE(DPXMultiByteToWide(nullptr, wide, CP_UTF8));
  EXPECT_TRUE(wide.IsEmpty());
}

TEST(DPXText, SplitsAtEveryDelimiter) {
  struct Case {
    const char16_t* text;
    const char16_t* delimiters;
    std::vector<std::string> pieces;
  };
  const Case cases[] = {
      {u"a,b,c", nullptr, {"a", "b", "c"}},
      {u"a,,b", nullptr, {"a", "", "b"}},
      {u"a,", nullptr, {"a", ""}},
      {u",a", nullptr, {"", "a"}},
      {u"  a , b  ", nullptr, {"a", "b"}},
      {u"a;b,c", u";,", {"a", "b", "c"}},
      {u"a;b,c", u";", {"a", "b,c"}},
      {u"   ", nullptr, {}},
      {u"", nullptr, {}},
      {nullptr, nullptr, {}},
      {u"x", nullptr, {"x"}},
      {u"a, a", nullptr, {"a", "a"}},
  };
  for (const Case& c : cases) {
    CDPXStringList list;
    // Settings a caller left behind must not leak into the split.
    list.SetUnique(TRUE);
    list.SetAllowEmpty(FALSE);
    list.SetCaseMode(2);
    list.Add(u"old");
    const std::string what = c.text ? CString(c.text).ToUtf8() : "(null)";
    EXPECT_EQ(DPXSplitString(c.text, list, c.delimiters), static_cast<int>(c.pieces.size())) << what;
    EXPECT_EQ(Pieces(list), c.pieces) << what;
  }
}
