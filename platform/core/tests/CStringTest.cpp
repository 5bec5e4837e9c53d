#include "platform/core/CString.h"
#include "platform/core/codepage.h"
#include "platform/core/tests/GermanLocale.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

std::string Utf8(const CString& s) { return s.ToUtf8(); }

}  // namespace

TEST(CStringFormat, WindowsWideRules) {
  GermanLocale german;  // numbers must not follow it
  struct Case {
    const char* what;
    CString (*make)();
    const char* expected;
  };
  const Case cases[] = {
      {"%s is wide", [] { CString s; s.Format(u"[%s]", u"wide"); return s; }, "[wide]"},
      {"%S is narrow", [] { CString s; s.Format(u"[%S]", "narrow"); return s; }, "[narrow]"},
      {"%hs and %ls", [] { CString s; s.Format(u"%hs/%ls", "a", u"b"); return s; }, "a/b"},
      {"%d negative", [] { CString s; s.Format(u"%d", -42); return s; }, "-42"},
      {"%08X", [] { CString s; s.Format(u"%08X", 0xBEEFu); return s; }, "0000BEEF"},
      {"%08d", [] { CString s; s.Format(u"%08d", 17); return s; }, "00000017"},
      {"%I64d", [] { CString s; s.Format(u"%I64d", -9000000000LL); return s; }, "-9000000000"},
      {"%I64u", [] { CString s; s.Format(u"%I64u", 18000000000ULL); return s; }, "18000000000"},
      {"%lu is 32-bit", [] { CString s; s.Format(u"%lu", DWORD(4000000000u)); return s; }, "4000000000"},
      {"%.2f keeps the point", [] { CString s; s.Format(u"%.2f", 1234.5); return s; }, "1234.50"},
      {"%g", [] { CString s; s.Format(u"%g", 0.25); return s; }, "0.25"},
      {"%-5s|", [] { CString s; s.Format(u"%-5s|", u"ab"); return s; }, "ab   |"},
      {"%5s|", [] { CString s; s.Format(u"%5s|", u"ab"); return s; }, "   ab|"},
      {"%.3s", [] { CString s; s.Format(u"%.3s", u"abcdef"); return s; }, "abc"},
      {"%c wide", [] { CString s; s.Format(u"%c%c", u'\u00e4', u'x'); return s; }, "\xc3\xa4x"},
      {"%*d", [] { CString s; s.Format(u"%*d", 4, 7); return s; }, "   7"},
      {"%%", [] { CString s; s.Format(u"100%%"); return s; }, "100%"},
      {"null %s", [] { CString s; s.Format(u"%s", static_cast<LPCWSTR>(nullptr)); return s; }, "(null)"},
      {"non-BMP text", [] { CString s; s.Format(u"%s", u"\U0001F600"); return s; }, "\xf0\x9f\x98\x80"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8(c.make()), c.expected) << c.what << (german.Active() ? " (de_DE)" : "");
}

TEST(CStringFormat, NarrowFormatSwapsStringKinds) {
  CStringA a;
  a.Format("%s-%S-%d-%.1f", "n", u"w\u00e9", 5, 2.5);
  EXPECT_EQ(std::string(a.GetString()), "n-w\xe9-5-2.5");  // wide text lands in Windows-1252
}

TEST(CStringFormat, LongNumbersAreWrittenWhole) {
  const struct {
    const char* what;
    CString (*make)();
    int length;
  } cases[] = {
      {"%600d", [] { CString s; s.Format(u"%600d", 5); return s; }, 600},
      {"%-600u|", [] { CString s; s.Format(u"%-600u|", 5u); return s; }, 601},
      {"%.600f", [] { CString s; s.Format(u"%.600f", 1.0); return s; }, 602},
      {"%f of 1e308", [] { CString s; s.Format(u"%f", 1e308); return s; }, 316},
  };
  for (const auto& c : cases) {
    const CString text = c.make();
    EXPECT_EQ(text.GetLength(), c.length) << c.what;
  }
  // A damaged format asking for absurd sizes gets a bounded text, and nothing overflows.
  CString huge;
  huge.Format(u"[%99999999999999999999d]", 5);
  EXPECT_EQ(huge.GetLength(), 0x10000 + 2);
  huge.Format(u"%*s|", INT_MIN, u"x");
  EXPECT_EQ(huge.GetLength(), 0x10000 + 1);
  EXPECT_EQ(huge.Left(2), CString(u"x "));
  huge.Format(u"%.99999999999s|%.*s", u"abc", -1, u"de");
  EXPECT_EQ(huge, CString(u"abc|de"));
  CStringA narrow;
  narrow.Format("%0700d", -3);
  EXPECT_EQ(narrow.GetLength(), 700);
  EXPECT_EQ(std::string(narrow.GetString()).substr(0, 2), "-0");
}

TEST(CString, EditingAndSearching) {
  CString s(u"  Hello, World \t");
  s.Trim();
  EXPECT_EQ(s, u"Hello, World");
  EXPECT_EQ(s.Find(u'o'), 4);
  EXPECT_EQ(s.Find(u'o', 5), 8);
  EXPECT_EQ(s.Find(u"World"), 7);
  EXPECT_EQ(s.Find(u'o', 99), -1);
  EXPECT_EQ(s.ReverseFind(u'o'), 8);
  EXPECT_EQ(s.Mid(7), u"World");
  EXPECT_EQ(s.Mid(7, 2), u"Wo");
  EXPECT_EQ(s.Mid(50), u"");
  EXPECT_EQ(s.Left(5), u"Hello");
  EXPECT_EQ(s.Right(5), u"World");
  EXPECT_EQ(s.Right(99), s);
  EXPECT_EQ(s.Replace(u"l", u"LL"), 3);
  EXPECT_EQ(s, u"HeLLLLo, WorLLd");
  EXPECT_EQ(s.Remove(u'L'), 6);
  EXPECT_EQ(s, u"Heo, Word");
  EXPECT_EQ(s.Insert(2, u"ll"), 11);
  EXPECT_EQ(s, u"Hello, Word");
  EXPECT_EQ(s.Delete(2, 1), 10);
  EXPECT_EQ(s, u"Helo, Word");

  CString t(u"xxabcxx");
  EXPECT_EQ(CString(t).Trim(u'x'), u"abc");
  EXPECT_EQ(CString(t).TrimLeft(u"x"), u"abcxx");
  EXPECT_EQ(CString(t).TrimRight(u"xc"), u"xxab");

  int pos = 0;
  CString line(u";a;;b;");
  EXPECT_EQ(line.Tokenize(u";", pos), u"a");
  EXPECT_EQ(line.Tokenize(u";", pos), u"b");
  EXPECT_EQ(line.Tokenize(u";", pos), u"");
  EXPECT_EQ(pos, -1);
}

TEST(CString, CaseFoldingBeyondAscii) {
  EXPECT_EQ(CString(u"\u00c4rger").CompareNoCase(u"\u00e4RGER"), 0);
  EXPECT_EQ(CString(u"\u0391\u03b2").CompareNoCase(u"\u03b1\u0392"), 0);
  EXPECT_LT(CString(u"abc").CompareNoCase(u"ABD"), 0);
  EXPECT_GT(CString(u"abcd").CompareNoCase(u"ABC"), 0);
  EXPECT_LT(CString(u"B").Compare(u"a"), 0);  // ordinal: upper case sorts first
  EXPECT_EQ(CString(u"stra\u00dfe \u00e9t\u00e9").MakeUpper(), u"STRA\u00dfE \u00c9T\u00c9");
}

TEST(CString, CountedBuffers) {
  CString s;
  LPWSTR buffer = s.GetBuffer(10);
  buffer[0] = u'a';
  buffer[1] = 0;
  buffer[2] = u'b';  // past the terminator: dropped
  s.ReleaseBuffer();
  EXPECT_EQ(s.GetLength(), 1);

  const WCHAR withZero[] = {u'x', 0, u'y'};
  CString counted(withZero, 3);  // a counted string keeps its zero unit
  EXPECT_EQ(counted.GetLength(), 3);
  EXPECT_EQ(counted.GetAt(2), u'y');
  EXPECT_EQ(counted.GetAt(3), 0);

  CString pair(u"\U0001F600");  // one character outside the BMP is two units
  EXPECT_EQ(pair.GetLength(), 2);
}

TEST(CodePage, Windows1252RoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::u16string wide = AnsiToWide(all);
  EXPECT_EQ(wide[0x80 - 1], 0x20AC);  // euro sign
  EXPECT_EQ(wide[0x81 - 1], 0x0081);  // undefined byte: its C1 control
  EXPECT_EQ(wide[0xE9 - 1], 0x00E9);
  EXPECT_EQ(WideToAnsi(wide), all);
  EXPECT_EQ(WideToAnsi(u"\u4e2d\U0001F600x"), "??x");  // one '?' per character, not per unit
}

TEST(CodePage, Win32Conversions) {
  char narrow[16];
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00e4b", -1, nullptr, 0, nullptr, nullptr), 4);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00e4b", -1, narrow, sizeof narrow, nullptr, nullptr), 4);
  EXPECT_STREQ(narrow, "\xc3\xa4" "b");
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00e4b", -1, narrow, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));

  WCHAR wide[16];
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xff" "b", 3, wide, 16), 3);
  EXPECT_EQ(wide[1], 0xFFFD);  // bad input is replaced, never an error
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xff", 2, wide, 16), 0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\x80", 1, wide, 16), 1);
  EXPECT_EQ(wide[0], 0x20AC);

  BOOL usedDefault = FALSE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u4e2d", 1, narrow, 16, nullptr, &usedDefault), 1);
  EXPECT_EQ(narrow[0], '?');
  EXPECT_TRUE(usedDefault);
}

TEST(CodePage, Utf8EdgeCases) {
  EXPECT_EQ(Utf8ToWide("\xe2\x82"), u"\uFFFD\uFFFD");        // truncated sequence
  EXPECT_EQ(Utf8ToWide("\xc0\xaf"), u"\uFFFD\uFFFD");        // overlong
  EXPECT_EQ(Utf8ToWide("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(WideToUtf8(u"\xd800x"), "\xef\xbf\xbdx");        // lone surrogate
  EXPECT_EQ(Utf8ToWide(WideToUtf8(u"\U0010FFFF\u00e4")), u"\U0010FFFF\u00e4");
}
