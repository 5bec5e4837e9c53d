#include "foundation/util/CQVGEI.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

enum class Reader { Char, String, Int, IntNoSign, IntSign, Float, FloatNoSign, FloatSign };

const char* NameOf(Reader reader) {
  switch (reader) {
    case Reader::Char: return "Get_Char";
    case Reader::String: return "Get_String";
    case Reader::Int: return "Get_Int";
    case Reader::IntNoSign: return "Get_Int_NoSign";
    case Reader::IntSign: return "Get_Int_Sign";
    case Reader::Float: return "Get_Float";
    case Reader::FloatNoSign: return "Get_Float_NoSign";
    case Reader::FloatSign: return "Get_Float_Sign";
  }
  return "?";
}

int Read(CQVGEI& reader, Reader which, WCHAR& current, CString& text) {
  switch (which) {
    case Reader::Char: return reader.Get_Char(current, text);
    case Reader::String: return reader.Get_String(current, text);
    case Reader::Int: return reader.Get_Int(current, text);
    case Reader::IntNoSign: return reader.Get_Int_NoSign(current, text);
    case Reader::IntSign: return reader.Get_Int_Sign(current, text);
    case Reader::Float: return reader.Get_Float(current, text);
    case Reader::FloatNoSign: return reader.Get_Float_NoSign(current, text);
    case Reader::FloatSign: return reader.Get_Float_Sign(current, text);
  }
  return -1;
}

// Reads the first significant character, then one value with `read`.
template <typename T>
int ReadValue(LPCWSTR expression, int (CQVGEI::*read)(WCHAR&, T&), T& value) {
  CQVGEI reader;
  reader.SetExpression(expression);
  WCHAR current = reader.Get();
  return (reader.*read)(current, value);
}

std::string Shown(WCHAR c) { return c ? CString(c).ToUtf8() : std::string("<end>"); }

}  // namespace

// Each case reads the first significant character with Get, then one token.
TEST(ExpressionReader, TokensCodesAndTheCharacterAfter) {
  struct Case {
    LPCWSTR expression;
    Reader reader;
    int code;
    LPCWSTR token;  // appended to "<" on success
    WCHAR after;    // the current character after a successful read
  };
  const Case cases[] = {
      // character literals
      {u"'x' ,", Reader::Char, 0, u"x", u','},
      {u"' '", Reader::Char, 0, u" ", 0},
      {u"'\r\n\tx\v'z", Reader::Char, 0, u"x", u'z'},
      {u"''''", Reader::Char, 0, u"'", 0},
      {u"''", Reader::Char, 10, nullptr, 0},
      {u"'' '", Reader::Char, 10, nullptr, 0},
      {u"'''", Reader::Char, 10, nullptr, 0},
      {u"'ab'", Reader::Char, 10, nullptr, 0},
      {u"'x", Reader::Char, 10, nullptr, 0},
      {u"x'", Reader::Char, 10, nullptr, 0},
      // string literals: a doubled quote stands for one, "" is the empty string
      {u"\"a b\" 12", Reader::String, 0, u"a b", u'1'},
      {u"\"\"", Reader::String, 0, u"", 0},
      {u"\"\" \"x\"", Reader::String, 0, u"", u'"'},
      {u"\"a\"\"b\"", Reader::String, 0, u"a\"b", 0},
      {u"\"\"\"\"", Reader::String, 0, u"\"", 0},
      {u"\"say \"\"hi\"\"\")", Reader::String, 0, u"say \"hi\"", u')'},
      {u"\"a\r\nb\tc\"", Reader::String, 0, u"abc", 0},
      {u"\"abc", Reader::String, 20, nullptr, 0},
      {u"\"a\"\"", Reader::String, 20, nullptr, 0},
      {u"abc", Reader::String, 20, nullptr, 0},
      // integers
      {u"12 -3.5", Reader::Int, 0, u"12", u'-'},
      {u"12)", Reader::Int, 0, u"12", u')'},
      {u"1 2", Reader::Int, 0, u"1", u'2'},
      {u"1\a2\b3\f4", Reader::Int, 0, u"1234", 0},
      {u"-  12,", Reader::Int, 0, u"-12", u','},
      {u"+7", Reader::Int, 0, u"+7", 0},
      {u"12.5", Reader::Int, 30, nullptr, 0},
      {u"+x", Reader::Int, 30, nullptr, 0},
      {u"x", Reader::Int, 30, nullptr, 0},
      {u"", Reader::Int, 30, nullptr, 0},
      {u"-5", Reader::IntNoSign, 30, nullptr, 0},
      {u"5", Reader::IntSign, 32, nullptr, 0},
      {u"", Reader::IntSign, 32, nullptr, 0},
      // decimal numbers
      {u"-3.5", Reader::Float, 0, u"-3.5", 0},
      {u".5;", Reader::Float, 0, u".5", u';'},
      {u"7.", Reader::Float, 0, u"7.", 0},
      {u"1.2.3", Reader::Float, 40, nullptr, 0},
      {u"x", Reader::Float, 40, nullptr, 0},
      {u"", Reader::Float, 40, nullptr, 0},
      {u"-.", Reader::Float, 0, u"-.", 0},
      {u"3.5", Reader::FloatSign, 42, nullptr, 0},
      {u"- x", Reader::FloatSign, 40, nullptr, 0},
      {u"+1", Reader::FloatNoSign, 40, nullptr, 0},
  };
  for (const Case& c : cases) {
    const std::string what = std::string(NameOf(c.reader)) + " on [" + CString(c.expression).ToUtf8() + "]";
    CQVGEI reader;
    reader.SetExpression(c.expression);
    WCHAR current = reader.Get();
    CString text(u"<");
    EXPECT_EQ(Read(reader, c.reader, current, text), c.code) << what;
    if (c.code == 0) {
      EXPECT_EQ(text.ToUtf8(), "<" + CString(c.token).ToUtf8()) << what;
      EXPECT_EQ(Shown(current), Shown(c.after)) << what;
    }
  }
}

TEST(ExpressionReader, ValuesAndRanges) {
  struct IntCase {
    LPCWSTR expression;
    int code;
    int value;
  };
  const IntCase ints[] = {
      {u"12", 0, 12},
      {u"- 12", 0, -12},
      {u"2147483647", 0, 2147483647},
      {u"-2147483648", 0, -2147483647 - 1},
      {u"2147483648", 31, 0},
      {u"-2147483649", 31, 0},
      {u"99999999999", 31, 0},
      {u"000000000000000000000042", 0, 42},
  };
  for (const IntCase& c : ints) {
    int value = -1;
    EXPECT_EQ(ReadValue(c.expression, &CQVGEI::Get_Int, value), c.code) << CString(c.expression);
    if (c.code == 0) {
      EXPECT_EQ(value, c.value) << CString(c.expression);
    }
  }

  struct FloatCase {
    LPCWSTR expression;
    int code;
    double value;
  };
  const FloatCase floats[] = {
      {u"-3.5", 0, -3.5},
      {u".5", 0, 0.5},
      {u".", 0, 0.0},
      {u"+ 0.25", 0, 0.25},
      {u"1000000000000", 0, 1e12},
  };
  for (const FloatCase& c : floats) {
    double value = -1;
    EXPECT_EQ(ReadValue(c.expression, &CQVGEI::Get_Float, value), c.code) << CString(c.expression);
    EXPECT_DOUBLE_EQ(value, c.value) << CString(c.expression);
  }

  double huge = 0;
  const CString beyond = CString(u"1") + CString(u'0', 400);
  EXPECT_EQ(ReadValue(beyond.GetString(), &CQVGEI::Get_Float, huge), 41) << "a number beyond double's range";
  WCHAR ch = 0;
  EXPECT_EQ(ReadValue(u"'q'", &CQVGEI::Get_Char, ch), 0);
  EXPECT_EQ(ch, u'q');
}

TEST(ExpressionReader, DecimalPointIgnoresTheProcessLocale) {
  const char* german = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
    if (std::setlocale(LC_ALL, name)) {
      german = name;
      break;
    }
  }
  if (!german) GTEST_SKIP() << "no German locale on this machine";
  double value = 0;
  const int code = ReadValue(u"3.5", &CQVGEI::Get_Float, value);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(code, 0);
  EXPECT_DOUBLE_EQ(value, 3.5);
}

TEST(ExpressionReader, WalksALineOfTokens) {
  CQVGEI reader;
  reader.SetExpression(u"'x' , \"a b\" 12 -3.5");
  WCHAR current = reader.Get();
  EXPECT_EQ(current, u'\'');
  CString ch;
  ASSERT_EQ(reader.Get_Char(current, ch), 0);
  EXPECT_EQ(ch, CString(u"x"));
  EXPECT_EQ(current, u',');
  EXPECT_EQ(reader.GetReadPtr(), 5);
  current = reader.Get();
  CString text;
  ASSERT_EQ(reader.Get_String(current, text), 0);
  EXPECT_EQ(text, CString(u"a b"));
  EXPECT_EQ(current, u'1');
  int number = 0;
  ASSERT_EQ(reader.Get_Int(current, number), 0);
  EXPECT_EQ(number, 12);
  EXPECT_EQ(current, u'-');
  double decimal = 0;
  ASSERT_EQ(reader.Get_Float(current, decimal), 0);
  EXPECT_DOUBLE_EQ(decimal, -3.5);
  EXPECT_EQ(current, 0);
  EXPECT_EQ(reader.Get(), 0) << "reading past the end keeps giving 0";
  EXPECT_EQ(reader.GetReadPtr(), 19) << "the position stays at the end";
}

TEST(ExpressionReader, SkippingRules) {
  struct Case {
    LPCWSTR expression;
    BOOL keepBlank, keepTab, keepLineBreak;
    WCHAR expected;
  };
  const Case cases[] = {
      {u" \t\r\n\v\f\a\b", FALSE, FALSE, FALSE, 0},
      {u"\a\b\f \tx", TRUE, FALSE, FALSE, u' '},
      {u"\a \v", FALSE, TRUE, FALSE, u'\v'},
      {u"\f\t\r", FALSE, FALSE, TRUE, u'\r'},
      {u"\a\b\f", TRUE, TRUE, TRUE, 0},
      {u"  y", FALSE, FALSE, FALSE, u'y'},
  };
  for (const Case& c : cases) {
    CQVGEI reader;
    reader.SetExpression(c.expression);
    EXPECT_EQ(Shown(reader.Get(c.keepBlank, c.keepTab, c.keepLineBreak)), Shown(c.expected))
        << CString(c.expression) << " keep " << c.keepBlank << c.keepTab << c.keepLineBreak;
  }

  CQVGEI reader;
  reader.SetExpression(u" z");
  EXPECT_EQ(reader.Get(u'x'), u'x') << "a significant current character is kept";
  EXPECT_EQ(reader.GetReadPtr(), 0);
  EXPECT_EQ(reader.Get(u'\t'), u'z') << "a skipped one is replaced by the next";
  EXPECT_EQ(reader.Get(u' ', TRUE), u' ');
}

TEST(ExpressionReader, StrToValue) {
  struct Case {
    LPCWSTR text;
    BOOL ok;
    LONGLONG value;
  };
  const Case wide[] = {
      {u"", TRUE, 0},
      {u"abc", TRUE, 0},
      {u"  42xyz", TRUE, 42},
      {u"-9223372036854775808", TRUE, INT64_MIN},
      {u"9223372036854775807", TRUE, INT64_MAX},
      {u"9223372036854775808", FALSE, INT64_MAX},
      {u"\u0661\u0662", TRUE, 0},  // digits of another script are not ASCII digits
  };
  for (const Case& c : wide) {
    LONGLONG value = -1;
    EXPECT_EQ(CQVGEI::StrToValue(CString(c.text), value), c.ok) << CString(c.text);
    EXPECT_EQ(value, c.value) << CString(c.text);
  }
  int narrow = -1;
  EXPECT_FALSE(CQVGEI::StrToValue(CString(u"4294967296"), narrow)) << "int is 32 bits";
  WCHAR last = 0;
  EXPECT_FALSE(CQVGEI::StrToValue(CString(), last));
  EXPECT_TRUE(CQVGEI::StrToValue(CString(u"ab"), last));
  EXPECT_EQ(last, u'b');
  double real = 0;
  EXPECT_FALSE(CQVGEI::StrToValue(CString(u"1e400"), real));
  EXPECT_TRUE(CQVGEI::StrToValue(CString(u"2.5e3"), real));
  EXPECT_DOUBLE_EQ(real, 2500.0);
}
