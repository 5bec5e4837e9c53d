#include "viewer/model/Wildcard.h"

#include <gtest/gtest.h>

TEST(Wildcard, MatchesWithoutRegardToCase) {
  struct Case {
    const char16_t* pattern;
    const char16_t* text;
    bool match;
  };
  const Case cases[] = {
      {u"a*c", u"ABC", true},
      {u"a*c", u"ac", true},
      {u"a*c", u"abd", false},
      {u"?", u"", false},
      {u"?", u"x", true},
      {u"??", u"x", false},
      {u"abc*", u"abc", true},
      {u"*", u"", true},
      {u"*", u"00012345", true},
      {u"", u"", true},
      {u"", u"a", false},
      {u"***", u"", true},
      {u"*abc", u"xxABC", true},
      {u"*abc", u"abcx", false},
      {u"*a?c*", u"zzaBcQQ", true},
      {u"0001234?", u"00012345", true},
      {u"0001234?", u"0001234", false},
      {u"*34*", u"00012345", true},
      {u"*b*b*", u"abcb", true},
      {u"*b*b*", u"abc", false},
      // Backtracking past a partial match of the text after a star.
      {u"*aab", u"aaab", true},
      {u"a*b*c", u"axbxbxc", true},
      {u"a*b*c", u"axbxbx", false},
      {u"m\u00fcller*", u"M\u00dcLLER GmbH", true},
      {u"\u00e5lesund", u"\u00c5LESUND", true},
      {u"?\u00f8", u"\u00d8\u00d8", true},
      {u"\u6771\u4eac*", u"\u6771\u4eac\u5546\u4e8b", true},
      {u"ab", u"abc", false},
      {u"abc", u"ab", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WildcardMatchNoCase(c.pattern, c.text) != FALSE, c.match)
        << "pattern \"" << CString(c.pattern) << "\" text \"" << CString(c.text) << "\"";
  }
}

TEST(Wildcard, PlainMatchKeepsCase) {
  EXPECT_FALSE(WildcardMatch(u"a*c", u"ABC"));
  EXPECT_TRUE(WildcardMatch(u"A*C", u"ABC"));
  EXPECT_TRUE(WildcardMatch(nullptr, nullptr));
}

TEST(Wildcard, AllWildcards) {
  EXPECT_TRUE(IsAllWildcards(u""));
  EXPECT_TRUE(IsAllWildcards(nullptr));
  EXPECT_TRUE(IsAllWildcards(u"*"));
  EXPECT_TRUE(IsAllWildcards(u"***"));
  EXPECT_FALSE(IsAllWildcards(u"*?"));
  EXPECT_FALSE(IsAllWildcards(u" *"));
}
