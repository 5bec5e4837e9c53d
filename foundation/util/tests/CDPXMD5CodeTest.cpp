#include "foundation/util/CDPXMD5Code.h"
#include "platform/core/tests/TestFolder.h"

#include "platform/core/codepage.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <random>
#include <string>

namespace {

// The digest that md5sum gives for the bytes, in upper case.
std::string Md5sumOf(const std::string& bytes) {
  TestFolder folder;
  folder.Write("input.bin", bytes);
  const std::string command = "md5sum '" + folder.Native("input.bin") + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "md5sum did not start";
  char line[128] = {};
  const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
  pclose(pipe);
  if (!read) return "md5sum gave nothing";
  std::string digest(line, 32);
  for (char& c : digest) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return digest;
}

std::string HexOf(const CDPXMD5Code& code) {
  CString text;
  code.GetHexString(text);
  return text.ToUtf8();
}

std::string Bytes(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(count, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

}  // namespace

TEST(MD5, DigestsEqualThoseOfMd5sum) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"abc", "abc"},
      {"one block short of the length field (55)", Bytes(55, 1)},
      {"padding spills into a second block (56)", Bytes(56, 2)},
      {"one byte short of a block (63)", Bytes(63, 3)},
      {"exactly one block (64)", Bytes(64, 4)},
      {"one block and one byte (65)", Bytes(65, 5)},
      {"many blocks", Bytes(100000, 6)},
      {"zero bytes inside", std::string("a\0b\0\0c", 6)},
      {"RFC 1321 alphabet", "abcdefghijklmnopqrstuvwxyz"},
      {"RFC 1321 digits", "12345678901234567890123456789012345678901234567890123456789012345678901234567890"},
  };
  for (const Case& c : cases) {
    CDPXMD5Code code;
    ASSERT_TRUE(code.Compute(reinterpret_cast<const BYTE*>(c.bytes.data()), static_cast<int>(c.bytes.size())));
    EXPECT_EQ(HexOf(code), Md5sumOf(c.bytes)) << c.what;
  }
}

TEST(MD5, KnownValuesAndWords) {
  CDPXMD5Code code;
  EXPECT_EQ(HexOf(code), std::string(32, '0')) << "a new object holds no digest";
  ASSERT_TRUE(code.Compute(reinterpret_cast<const BYTE*>("abc"), 3));
  EXPECT_EQ(HexOf(code), "900150983CD24FB0D6963F7D28E17F72");
  DWORD w0 = 0, w1 = 0, w2 = 0, w3 = 0;
  code.GetDigestWords(w0, w1, w2, w3);
  EXPECT_EQ(w0, 0x90015098u) << "the first digest byte is the most significant";
  EXPECT_EQ(w1, 0x3CD24FB0u);
  EXPECT_EQ(w2, 0xD6963F7Du);
  EXPECT_EQ(w3, 0x28E17F72u);
}

TEST(MD5, TextIsDigestedInItsCodePage) {
  struct Case {
    const char* what;
    LPCWSTR text;
    UINT codePage;
    std::string bytes;  // what the text converts to
  };
  const Case cases[] = {
      {"empty", u"", CP_UTF8, ""},
      {"umlauts in UTF-8", u"J\u00fcrgen" u"p\u00e4ssw\u00f6rd", CP_UTF8, "J\xc3\xbcrgenp\xc3\xa4ssw\xc3\xb6rd"},
      {"beyond the basic plane", u"\U0001F600", CP_UTF8, "\xf0\x9f\x98\x80"},
      {"a lone surrogate becomes U+FFFD", u"a\xd800z", CP_UTF8, "a\xef\xbf\xbdz"},
      {"umlauts in Windows-1252", u"J\u00fcrgen", CP_ACP, "J\xfcrgen"},
      {"outside the code page still succeeds", u"\u4e2d", CP_ACP, "?"},
  };
  for (const Case& c : cases) {
    CDPXMD5Code code;
    ASSERT_TRUE(code.ComputeText(c.text, c.codePage)) << c.what;
    EXPECT_EQ(HexOf(code), Md5sumOf(c.bytes)) << c.what;
  }
  CDPXMD5Code null;
  ASSERT_TRUE(null.ComputeText(nullptr, CP_UTF8));
  EXPECT_EQ(HexOf(null), "D41D8CD98F00B204E9800998ECF8427E");
}

TEST(MD5, FailuresLeaveNoDigest) {
  CDPXMD5Code code;
  ASSERT_TRUE(code.Compute(reinterpret_cast<const BYTE*>("abc"), 3));
  EXPECT_FALSE(code.ComputeText(u"abc", 12345)) << "an unknown code page cannot convert";
  EXPECT_EQ(HexOf(code), std::string(32, '0'));
  ASSERT_TRUE(code.Compute(reinterpret_cast<const BYTE*>("abc"), 3));
  EXPECT_FALSE(code.Compute(reinterpret_cast<const BYTE*>("abc"), -1));
  EXPECT_EQ(HexOf(code), std::string(32, '0'));
  EXPECT_FALSE(code.Compute(nullptr, 3));
  EXPECT_TRUE(code.Compute(nullptr, 0));
  EXPECT_EQ(HexOf(code), "D41D8CD98F00B204E9800998ECF8427E");
}
