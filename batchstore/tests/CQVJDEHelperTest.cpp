#include "batchstore/jobs/CQVJDEDefaultValueTags.h"
#include "batchstore/jobs/CQVJDEHelper.h"
#include "batchstore/jobs/CQVJDEIndexFieldItem.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

struct Parts {
  int year, month, day, hour, minute, second;
};
constexpr Parts kNone { -1, -1, -1, -1, -1, -1 };

std::string Show(const CString& text) { return text.ToUtf8(); }

}  // namespace

TEST(CQVJDEHelper, InputMasksParseWithTheDocumentedCodes) {
  struct Case {
    const char16_t* mask;
    int code;
  } cases[] = {
    { u"", 10001 },                 { u"   ", 10001 },              { u"999\"-\"99", 0 },
    { u"A<2,0>9", 10002 },          { u"i 9", 10002 },              { u"9<>", 10101 },
    { u"9<3", 10101 },              { u"9<x>", 10101 },             { u"9<-1>", 10102 },
    { u"9<2,-1>", 10102 },          { u"9<5,2>", 10103 },           { u"9<5,0>", 0 },
    { u"i[1,10]", 0 },              { u"i[1 10]", 10201 },          { u"i[1,10", 10201 },
    { u"n(*,2.5]", 0 },             { u"i[10,1]", 10202 },          { u"n[2.5,2.4)", 10202 },
    { u"T<yyyyMMdd>", 0 },          { u"T yyyy", 10304 },           { u"T<yyyy", 10304 },
    { u"T<>", 10302 },              { u"T<yyy>", 10304 },           { u"T<yyyy yy>", 10305 },
    { u"T<MMMM>", 10304 },          { u"T<MM MM>", 10306 },         { u"T<ddDDDyyyy>", 10307 },
    { u"T<HHhh>", 10308 },          { u"T<mmmm>", 10304 },          { u"T<mm\"x\"mm>", 10309 },
    { u"T<ss ss>", 10310 },         { u"T<hhTT T>", 10311 },         { u"T<DDD>", 10312 },
    { u"T<yyDDDMM>", 10313 },       { u"T<HHTT>", 10314 },          { u"T<TT>", 10315 },
    { u"T<hh:mm TT>", 1 },          { u"T<hh\":\"mmTT>", 0 },       { u"T<\"a>b\"yyyy>", 0 },
    { u"#", 1 },                    { u"\"open", 20 },              { u"i[9999999999,*]", 10201 },
  };
  for (const Case& c : cases) EXPECT_EQ(CQVJDEHelper::VerifyInputMask(c.mask), c.code) << Show(c.mask);
  EXPECT_EQ(CQVJDEHelper::VerifyInputMaskTime(u"T<yyyy>9"), 10301);
  EXPECT_EQ(CQVJDEHelper::VerifyInputMaskTime(u"9"), 10304);
  EXPECT_EQ(CQVJDEHelper::VerifyInputMaskTime(u""), 10001);
  EXPECT_EQ(CQVJDEHelper::VerifyInputMaskTime(u" T<HHmm> "), 0);
}

TEST(CQVJDEHelper, InputsMatchMasksAndGiveTheirDateParts) {
  struct Case {
    const char16_t* mask;
    const char16_t* input;
    int code;
    Parts parts;
  } cases[] = {
    { u"999\"-\"99", u"123-45", 0, kNone },
    { u"999\"-\"99", u"123-4", 11001, kNone },
    { u"999\"-\"99", u"123-456", 11002, kNone },
    { u"999\"-\"99", u"123+45", 11401, kNone },
    { u"999\"-\"99", u"12a-45", 11102, kNone },
    { u"\"ID\"9<3>", u"ID", 0, kNone },
    { u"\"ID\"9<3>", u"ID123", 0, kNone },
    { u"\"ID\"9<3>", u"ID1234", 11101, kNone },
    { u"\"ID\"9<3>", u"id1", 11401, kNone },
    { u"Z<2,3>", u"A", 11101, kNone },
    { u"Z<2,0>", u"ABCDEFGH", 0, kNone },
    { u"?ZzACcX", u"\u00e4Abq1b9", 0, kNone },
    { u"?ZzACcX", u"\u00e4Abqab9", 11102, kNone },
    { u"i[1,10]", u"0", 11201, kNone },
    { u"i[1,10]", u"11", 11201, kNone },
    { u"i[1,10]", u"10", 0, kNone },
    { u"i[1,10]", u"5x", 30, kNone },
    { u"i[1,10]", u"", 30, kNone },
    { u"i[1,10]", u"99999999999", 31, kNone },
    { u"i(1,*)", u"1", 11201, kNone },
    { u"i(1,*)", u"2", 0, kNone },
    { u"i", u"-7", 0, kNone },
    { u"n[0,1)", u"0.5", 0, kNone },
    { u"n[0,1)", u"1.0", 11201, kNone },
    { u"n[0,1)", u"0.5.1", 40, kNone },
    { u"n", u".25", 0, kNone },
    { u"T<yyyyMMdd>", u"20240229", 0, { 2024, 2, 29, -1, -1, -1 } },
    { u"T<yyyyMMdd>", u"20230229", 11317, kNone },
    { u"T<yyyyMMdd>", u"18991231", 11317, kNone },
    { u"T<yyyyMMdd>", u"20991231", 0, { 2099, 12, 31, -1, -1, -1 } },
    { u"T<yyyyMMdd>", u"21000101", 11317, kNone },
    { u"T<yyyyMMdd>", u"20241301", 11317, kNone },
    { u"T<yyyyMMdd>", u"2024023", 11001, kNone },
    { u"T<yyyyMMdd>", u"2024O229", 11305, kNone },
    { u"T<yyDDD>", u"24060", 0, { 2024, 2, 29, -1, -1, -1 } },
    { u"T<yyDDD>", u"23366", 11317, kNone },
    { u"T<yyDDD>", u"80001", 0, { 1980, 1, 1, -1, -1, -1 } },
    { u"T<yyyyDDD>", u"2024366", 0, { 2024, 12, 31, -1, -1, -1 } },
    { u"T<yyyyDDD>", u"2024000", 11317, kNone },
    { u"T<MMdd>", u"0229", 0, { -1, 2, 29, -1, -1, -1 } },
    { u"T<MMdd>", u"0230", 11317, kNone },
    { u"T<MMdd>", u"0431", 11317, kNone },
    { u"T<dd>", u"31", 0, { -1, -1, 31, -1, -1, -1 } },
    { u"T<dd>", u"00", 11317, kNone },
    { u"T<hh\":\"mmTT>", u"12:00AM", 0, { -1, -1, -1, 0, 0, -1 } },
    { u"T<hh\":\"mmTT>", u"12:00PM", 0, { -1, -1, -1, 12, 0, -1 } },
    { u"T<hh\":\"mmtt>", u"01:30pm", 0, { -1, -1, -1, 13, 30, -1 } },
    { u"T<hh\":\"mmTT>", u"12:00pm", 11312, kNone },
    { u"T<hh\":\"mmTT>", u"13:00PM", 11309, kNone },
    { u"T<hh\":\"mmTT>", u"12-00PM", 11316, kNone },
    { u"T<hhT>", u"07X", 11313, kNone },
    { u"T<hht>", u"07P", 11315, kNone },
    { u"T<HHmmss>", u"235959", 0, { -1, -1, -1, 23, 59, 59 } },
    { u"T<HHmmss>", u"240000", 11308, kNone },
    { u"T<HHmmss>", u"236000", 11318, kNone },
    { u"T<HHmmss>", u"2300 0", 11311, kNone },
    { u"T<HH>\"h\"", u"23h", 0, { -1, -1, -1, 23, -1, -1 } },
    { u"\"<\"T<yy>", u"<99", 0, { 1999, -1, -1, -1, -1, -1 } },
    { u"\"<\"T<yy>", u"<9", 11001, kNone },
  };
  for (const Case& c : cases) {
    Parts got { 7, 7, 7, 7, 7, 7 };
    const int code =
      CQVJDEHelper::ValidateInput(c.mask, c.input, got.year, got.month, got.day, got.hour, got.minute, got.second);
    EXPECT_EQ(code, c.code) << Show(c.mask) << " on " << Show(c.input);
    if (code != 0 || c.code != 0) continue;
    EXPECT_EQ(got.year, c.parts.year) << Show(c.mask) << " on " << Show(c.input);
    EXPECT_EQ(got.month, c.parts.month) << Show(c.mask) << " on " << Show(c.input);
    EXPECT_EQ(got.day, c.parts.day) << Show(c.mask) << " on " << Show(c.input);
    EXPECT_EQ(got.hour, c.parts.hour) << Show(c.mask) << " on " << Show(c.input);
    EXPECT_EQ(got.minute, c.parts.minute) << Show(c.mask) << " on " << Show(c.input);
    EXPECT_EQ(got.second, c.parts.second) << Show(c.mask) << " on " << Show(c.input);
  }
}

TEST(CQVJDEHelper, LongestInputsAreSummedAndBounded) {
  struct Case {
    const char16_t* mask;
    int length;
  } cases[] = {
    { u"999\"-\"99", 6 },   { u"\"ID\"9<3>", 5 },      { u"T<yyyyMMdd>X<2,4>", 12 },
    { u"9<0>", -1 },        { u"9<2,0>", -1 },         { u"\"a\"i", -1 },
    { u"n[1,2]", -1 },      { u"9<x>", -1 },           { u"X<2147483647>X<2147483647,2147483647>", -1 },
    { u"?<2147483647>", 2147483647 },
  };
  for (const Case& c : cases) EXPECT_EQ(CQVJDEHelper::GetMaxTextLength(c.mask), c.length) << Show(c.mask);
}

TEST(CQVJDEHelper, OutputMasksParseWithTheDocumentedCodes) {
  struct Case {
    const char16_t* mask;
    int code;
  } cases[] = {
    { u"", 0 },                      { u"[1,3]\"x\"[*]", 0 },       { u"[1,3", 20101 },
    { u"[a]", 20101 },               { u"n<8,1,'0'>", 0 },           { u"N<[2,*],8,*>", 0 },
    { u"n<8>", 20201 },              { u"n 8,1>", 20201 },           { u"n<8,1,0>", 20201 },
    { u"n<8,1,'0'", 20201 },         { u"n<*,21>", 20203 },          { u"n<*,20>", 0 },
    { u"n<3,3>", 20203 },            { u"n<-4,3>", 0 },              { u"n<65535,2>", 0 },
    { u"n<65536,2>", 20203 },        { u"n<-2000000000,0>", 20203 }, { u"n<*,-1>", 20203 },
    { u"yyyyyy", 20301 },            { u"yyy", 20301 },              { u"MM<[1,2]>", 0 },
    { u"MM<x>", 20301 },             { u"ww w D DDD", 0 },           { u"DD", 20301 },
    { u"#", 1 },                     { u"\"open", 20 },
  };
  for (const Case& c : cases) EXPECT_EQ(CQVJDEHelper::VerifyOutputMask(c.mask), c.code) << Show(c.mask);
}

TEST(CQVJDEHelper, OutputMasksFormatValuesDatesAndTimes) {
  enum { lenient = 0, strictRange = 1, strictNumber = 2, strictDate = 4 };
  struct Case {
    const char16_t* mask;
    const char16_t* value;
    Parts parts;
    int strict;
    int code;
    const char16_t* out;
  } cases[] = {
    { u"[1,3]", u"ABCDE", kNone, lenient, 0, u"ABC" },
    { u"[-1,1]", u"ABCDE", kNone, lenient, 0, u"EDCBA" },
    { u"[-2]", u"ABCDE", kNone, lenient, 0, u"DE" },
    { u"[7,9]", u"ABCDE", kNone, lenient, 0, u"" },
    { u"[7,9]", u"ABCDE", kNone, strictRange, 21101, u"" },
    { u"\"<\"[*]\">\"", u"", kNone, lenient, 0, u"<>" },
    { u"C<12,2>", u"-1234567.891", kNone, lenient, 0, u"-1,234,567.89" },
    { u"C<12,2>", u"-1234567.891", kNone, strictNumber, 21202, u"" },
    { u"c<*,0>", u"999", kNone, lenient, 0, u"999" },
    { u"c<*,0>", u"1000", kNone, lenient, 0, u"1,000" },
    { u"N<8,1,'0'>", u"3.14159", kNone, lenient, 0, u"0000+3.1" },
    { u"N<-8,1,'0'>", u"3.14159", kNone, lenient, 0, u"+3.10000" },
    { u"p<*,0>", u"0.5", kNone, lenient, 0, u"50%" },
    { u"P<*,1>", u"-0.25", kNone, lenient, 0, u"-25.0%" },
    { u"n<*,*>", u"2", kNone, lenient, 0, u"2.000000" },
    { u"n<6,2>", u"abc", kNone, lenient, 0, u"  0.00" },
    { u"n<6,2>", u"abc", kNone, strictNumber, 21201, u"" },
    { u"n<[3,*],*,0>", u"ab12cd", kNone, lenient, 0, u"12" },
    { u"n<*,2>", u"1e5", kNone, lenient, 0, u"1.00" },
    { u"yyyy\"-\"MM\"-\"dd", u"", { 2024, 2, 9, -1, -1, -1 }, lenient, 0, u"2024-02-09" },
    { u"yyyy\"-\"MM\"-\"dd", u"", kNone, lenient, 0, u"    -  -  " },
    { u"yyyy\"-\"MM\"-\"dd", u"", kNone, strictDate, 21303, u"" },
    { u"MM", u"", { 2024, -1, 9, -1, -1, -1 }, strictDate, 21304, u"" },
    { u"d", u"", { 2024, 2, -1, -1, -1, -1 }, strictDate, 21305, u"" },
    { u"HH", u"", kNone, strictDate, 21306, u"" },
    { u"ss", u"", { -1, -1, -1, 1, 2, -1 }, strictDate, 21307, u"" },
    { u"DDD", u"", { 2023, 2, 30, -1, -1, -1 }, strictDate, 21301, u"" },
    { u"DDD", u"", { 2023, 2, 30, -1, -1, -1 }, lenient, 0, u"   " },
    { u"HH", u"", { -1, -1, -1, 24, 0, 0 }, strictDate, 21302, u"" },
    { u"hh\":\"mmTT", u"", { -1, -1, -1, 0, 5, -1 }, lenient, 0, u"12:05AM" },
    { u"hh\":\"mmTT", u"", { -1, -1, -1, 12, 5, -1 }, lenient, 0, u"12:05PM" },
    { u"h t T tt", u"", { -1, -1, -1, 23, -1, -1 }, lenient, 0, u"11pPpm" },
    { u"H:m:s", u"", { -1, -1, -1, 7, 8, 9 }, lenient, 1, u"7" },
    { u"y\"/\"M\"/\"d yy", u"", { 2005, 3, 4, -1, -1, -1 }, lenient, 0, u"2005/3/405" },
    { u"D DDD", u"", { 2024, 12, 31, -1, -1, -1 }, lenient, 0, u"3366" },
    { u"D DDD", u"", { 2023, 1, 1, -1, -1, -1 }, lenient, 0, u"1001" },
    { u"ww w", u"", { 2023, 1, 1, -1, -1, -1 }, lenient, 0, u"5252" },
    { u"ww", u"", { 2023, 1, 2, -1, -1, -1 }, lenient, 0, u"01" },
    { u"ww", u"", { 2024, 12, 31, -1, -1, -1 }, lenient, 0, u"53" },
    { u"ww", u"", { 2021, 1, 3, -1, -1, -1 }, lenient, 0, u"53" },
    { u"ww", u"", { 2020, 12, 31, -1, -1, -1 }, lenient, 0, u"53" },
    { u"ww", u"", { 2026, 1, 1, -1, -1, -1 }, lenient, 0, u"01" },
    { u"", u"value", { 2024, 2, 9, -1, -1, -1 }, lenient, 0, u"value" },
    { u"", u"", { 2024, 2, 9, -1, -1, -1 }, lenient, 0, u"20240209HHmmss" },
    { u"", u"", { -1, -1, -1, 13, 4, -1 }, lenient, 0, u"yyyyMMdd1304ss" },
    { u"", u"", kNone, lenient, 0, u"" },
    { u"", u"", { 2023, 2, 29, -1, -1, -1 }, lenient, 21301, u"" },
    { u"", u"", { 2024, 2, 29, 25, -1, -1 }, lenient, 21302, u"" },
  };
  for (const Case& c : cases) {
    CString out;
    const int code = CQVJDEHelper::FormatOutput(c.mask, c.value, c.parts.year, c.parts.month, c.parts.day, c.parts.hour,
                                                c.parts.minute, c.parts.second, (c.strict & strictRange) != 0,
                                                (c.strict & strictNumber) != 0, (c.strict & strictDate) != 0, out);
    if (c.code == 1) {
      EXPECT_EQ(code, 1) << Show(c.mask) << ": a colon outside quotes starts no element";
      continue;
    }
    EXPECT_EQ(code, c.code) << Show(c.mask) << " on " << Show(c.value);
    if (c.code == 0) {
      EXPECT_EQ(out, c.out) << Show(c.mask) << " on " << Show(c.value);
    }
  }
  CString out(u"kept ");
  EXPECT_EQ(CQVJDEHelper::FormatOutput(u"[1,1]", u"xy", -1, -1, -1, -1, -1, -1, FALSE, FALSE, FALSE, out), 0);
  EXPECT_EQ(out, u"kept x") << "a mask's pieces are appended";
}

// Numbers are read and printed with "." and "," whatever the process locale says; a German
// locale would otherwise print "3,1" and read "0.5" as 0.
TEST(CQVJDEHelper, NumbersIgnoreTheProcessLocale) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
    GTEST_SKIP() << "no German locale on this machine";
  CString out;
  EXPECT_EQ(CQVJDEHelper::FormatOutput(u"C<*,2>\" \"p<*,0>", u"1234567.891", -1, -1, -1, -1, -1, -1, FALSE, TRUE, FALSE,
                                       out), 0);
  EXPECT_EQ(out, u"+1,234,567.89 123456789%");
  EXPECT_EQ(CQVJDEHelper::ValidateInput(u"n[0,1)", u"0.5"), 0);
  EXPECT_EQ(CQVJDEHelper::ValidateInput(u"n[0,1)", u"0,5"), 40);
  std::setlocale(LC_ALL, before.c_str());
}

TEST(CQVJDEHelper, DatesAndTimesConvertAtFixedPositions) {
  int y = 0, m = 0, d = 0;
  EXPECT_TRUE(CQVJDEHelper::StrToDate(u"20240229xyz", y, m, d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
  EXPECT_FALSE(CQVJDEHelper::StrToDate(u"20230229", y, m, d));
  EXPECT_FALSE(CQVJDEHelper::StrToDate(u"2024022", y, m, d));
  EXPECT_TRUE(CQVJDEHelper::StrToDate(u"yyyyMM09", y, m, d));
  EXPECT_EQ(y, -1);
  EXPECT_EQ(d, 9);
  EXPECT_TRUE(CQVJDEHelper::StrToTime(u"235959", y, m, d));
  EXPECT_FALSE(CQVJDEHelper::StrToTime(u"240000", y, m, d));
  EXPECT_TRUE(CQVJDEHelper::StrToTime(u"HH05ss", y, m, d));
  EXPECT_EQ(m, 5);
  CString text;
  EXPECT_TRUE(CQVJDEHelper::DateToStr(-1, 12, -1, text));
  EXPECT_EQ(text, u"yyyy12dd");
  EXPECT_FALSE(CQVJDEHelper::DateToStr(2024, 2, 30, text));
  EXPECT_TRUE(CQVJDEHelper::TimeToStr(0, -1, 59, text));
  EXPECT_EQ(text, u"00mm59");
  EXPECT_FALSE(CQVJDEHelper::TimeToStr(0, 60, 0, text));
  int week = 0;
  EXPECT_FALSE(CQVJDEHelper::GetWeekOfYear(2024, 2, 30, week));
  EXPECT_FALSE(CQVJDEHelper::GetWeekOfYear(2024, 0, 1, week));
  EXPECT_TRUE(CQVJDEHelper::GetWeekOfYear(1900, 1, 1, week));
  EXPECT_EQ(week, 1) << "1900 begins on a Monday";
}

TEST(CQVJDEHelper, DefaultValuesTakeTheFirstAlternativeThatGivesText) {
  CQVJDEDefaultValueTags tags;
  ASSERT_TRUE(tags.SetTag(u" Barcode ", u"   ", 9000));
  ASSERT_TRUE(tags.SetTag(u"ScanDate", 2024, 2, 9, -1, -1, -1, 8000));
  EXPECT_FALSE(tags.SetTag(u"  ", u"x", 1));
  const char16_t* expression = u"_Barcode_ or _ScanDate_{yyyy\"-\"MM\"-\"dd} OR \"none\"";
  struct Case {
    const char16_t* what;
    const char16_t* expression;
    BOOL strict;
    int code;
    const char16_t* value;
    int accuracy;
  } cases[] = {
    { u"a blank barcode gives the date", expression, FALSE, 0, u"2024-02-09", 8000 },
    { u"literals are certain", u"\"A\" \"B\"", FALSE, 0, u"AB", 10000 },
    { u"tag names ignore case", u"_scandate_{dd}\".\"", FALSE, 0, u"09.", 8000 },
    { u"a missing tag counts as empty", u"\"x\"_Nobody_", FALSE, 0, u"x", 10000 },
    { u"a missing tag fails a strict call", u"\"x\"_Nobody_", TRUE, 30102, u"", 0 },
    { u"a faulty mask skips its alternative", u"_ScanDate_{yyy} or \"next\"", FALSE, 0, u"next", 10000 },
    { u"a strict date skips the alternative", u"_ScanDate_{HH} or \"no hour\"", TRUE, 0, u"no hour", 10000 },
    { u"a mask with braces and quotes", u"_ScanDate_{\"}\"yyyy}", FALSE, 0, u"}2024", 8000 },
    { u"nothing qualifies", u"_Barcode_", FALSE, 0, u"", 0 },
    { u"an empty expression", u"", FALSE, 0, u"", 0 },
    { u"or first", u"or \"x\"", FALSE, 30201, u"", 0 },
    { u"or last", u"\"x\" or", FALSE, 30201, u"", 0 },
    { u"or twice", u"\"x\" or or \"y\"", FALSE, 30201, u"", 0 },
    { u"an unclosed tag", u"_Barcode", FALSE, 30101, u"", 0 },
    { u"an unclosed mask", u"_Barcode_{[1,2]", FALSE, 30101, u"", 0 },
    { u"o and r apart", u"\"x\" o r \"y\"", FALSE, 30101, u"", 0 },
    { u"a stray character", u"\"x\" + \"y\"", FALSE, 1, u"", 0 },
  };
  for (const Case& c : cases) {
    CString value(u"untouched");
    int accuracy = -5;
    const int code = CQVJDEHelper::GetDefaultValue(c.expression, tags, value, accuracy, c.strict);
    EXPECT_EQ(code, c.code) << Show(c.what);
    if (c.code != 0) {
      EXPECT_EQ(value, u"untouched") << Show(c.what);
      continue;
    }
    EXPECT_EQ(value, c.value) << Show(c.what);
    EXPECT_EQ(accuracy, c.accuracy) << Show(c.what);
  }
  tags.SetTag(u"BARCODE", u"4711", 6500);
  EXPECT_EQ(tags.GetTagCount(), 2) << "a tag of the same name is replaced";
  CString value;
  int accuracy = 0;
  EXPECT_EQ(CQVJDEHelper::GetDefaultValue(expression, tags, value, accuracy, FALSE), 0);
  EXPECT_EQ(value, u"4711");
  EXPECT_EQ(accuracy, 6500);
  EXPECT_EQ(CQVJDEHelper::VerifyDefaultValueExp(u"_Nobody_{yyy}", tags, FALSE), 0) << "masks are not checked";
  EXPECT_EQ(CQVJDEHelper::VerifyDefaultValueExp(u"_Nobody_", tags, TRUE), 30102);
}

// A field without an input mask used to refuse every value with 10001; it now restricts nothing,
// while a List field still needs one of its items.
TEST(CQVJDEIndexFieldItem, InputChecksFollowTheFieldType) {
  CQVJDEIndexFieldItem field;
  struct Case {
    int type;
    const char16_t* mask;
    const char16_t* input;
    int code;
  } cases[] = {
    { 0, u"", u"x", 2 },        { 6, u"", u"x", 2 },        { 1, u"", u"anything", 0 },
    { 1, u"9", u"x", 11102 },   { 2, u"9", u"x", 0 },       { 3, u"T<HH>", u"25", 11308 },
    { 4, u"", u"A", 0 },        { 4, u"", u"a", 40001 },    { 4, u"Z", u"B", 40001 },
    { 4, u"z", u"A", 11102 },   { 5, u"i", u"12", 0 },
  };
  field.AddListItem(u"A");
  for (const Case& c : cases) {
    field.SetType(c.type);
    field.SetInputMask(c.mask);
    EXPECT_EQ(field.ValidateInput(c.input), c.code) << c.type << " " << Show(c.mask) << " " << Show(c.input);
  }
  field.SetInputMask(u"T<yyyyMMdd>");
  int y, m, d, h, mi, s;
  field.SetType(CQVJDEIndexFieldItem::typeTime);
  EXPECT_EQ(field.ValidateInput(u"20241231", y, m, d, h, mi, s), 0);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20241231);
  EXPECT_EQ(field.GetMaxTextLength(), 8);
  field.SetOutputMask(u"dd\".\"MM\".\"yyyy");
  CString out;
  EXPECT_EQ(field.FormatOutput(u"", y, m, d, h, mi, s, out), 0);
  EXPECT_EQ(out, u"31.12.2024");
}
