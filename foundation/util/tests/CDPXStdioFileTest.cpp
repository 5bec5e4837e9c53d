#include "foundation/util/CDPXStdioFile.h"
#include "foundation/util/tests/TextBytes.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

const std::string kUtf8Mark = "\xEF\xBB\xBF";

struct ReadResult {
  int encoding = -1;
  std::vector<std::string> lines;  // as UTF-8
};

ReadResult ReadAll(const CString& path) {
  ReadResult result;
  CDPXStdioFile file;
  if (!file.OpenText(path, CFile::modeRead)) return result;
  result.encoding = file.GetEncoding();
  CString line;
  while (file.ReadString(line)) result.lines.push_back(line.ToUtf8());
  EXPECT_FALSE(file.ReadFailed());
  EXPECT_TRUE(line.IsEmpty()) << "the text is emptied at the end";
  return result;
}

}  // namespace

TEST(CDPXStdioFile, ReadsLinesInEveryEncoding) {
  struct Case {
    const char* what;
    std::string bytes;
    int encoding;
    std::vector<std::string> lines;
  };
  const std::string longLine(300, 'x');
  const std::string veryLong(10000, 'y');
  const Case cases[] = {
      {"UTF-8 mark, CR LF", kUtf8Mark + "a\r\nb\r\n", 1, {"a", "b"}},
      {"UTF-8 mark, LF, no final ending", kUtf8Mark + "a\nb", 1, {"a", "b"}},
      {"UTF-16LE mark, CR LF", "\xFF\xFE" + Utf16("a\r\nb\r\n", false), 2, {"a", "b"}},
      {"UTF-16LE mark, LF", "\xFF\xFE" + Utf16("a\nb", false), 2, {"a", "b"}},
      {"UTF-16BE mark, CR LF", "\xFE\xFF" + Utf16("a\r\nb\r\n", true), 3, {"a", "b"}},
      {"UTF-16BE mark, LF", "\xFE\xFF" + Utf16("a\nb", true), 3, {"a", "b"}},
      {"no mark, CR LF", "a\r\nb\r\n", 0, {"a", "b"}},
      {"empty lines kept", "\n\r\nx\n\n", 0, {"", "", "x", ""}},
      {"CR inside a line stays", "a\rb\n", 0, {"a\rb"}},
      {"empty file", "", 0, {}},
      {"mark only", kUtf8Mark, 1, {}},
      {"UTF-16 mark only", "\xFF\xFE", 2, {}},
      {"EF BB and another byte: no mark", "\xEF\xBB" "A\n", 0, {"\xC3\xAF\xC2\xBB" "A"}},
      {"a line of 300 characters", longLine + "\nz", 0, {longLine, "z"}},
      {"a line longer than a read chunk", veryLong + "\r\n" + veryLong, 0, {veryLong, veryLong}},
      {"UTF-8 without mark reads as UTF-8", "\xC3\xA4rger\n\xE2\x82\xAC", 0, {"\xC3\xA4rger", "\xE2\x82\xAC"}},
      {"Windows-1252 without mark", "caf\xE9\n\x80 \x81", 0, {"caf\xC3\xA9", "\xE2\x82\xAC \xC2\x81"}},
      {"bad UTF-8 after a mark: U+FFFD, reading goes on", kUtf8Mark + "one\ntw\xFFo\nthree", 1,
       {"one", "tw\xEF\xBF\xBDo", "three"}},
      {"surrogate pair in UTF-16", "\xFF\xFE\x3D\xD8\x00\xDE\n\0"s, 2, {"\xF0\x9F\x98\x80"}},
      {"lone surrogate in UTF-16", "\xFE\xFF\xD8\x3D\0a"s, 3, {"\xEF\xBF\xBD" "a"}},
      {"odd byte at the end of UTF-16", "\xFF\xFE" + Utf16("ab", false) + "c", 2, {"ab\xEF\xBF\xBD"}},
  };
  for (const Case& c : cases) {
    TestFolder folder;
    folder.Write("t.txt", c.bytes);
    const ReadResult result = ReadAll(folder.Wide("t.txt"));
    EXPECT_EQ(result.encoding, c.encoding) << c.what;
    EXPECT_EQ(result.lines, c.lines) << c.what;
  }
}

TEST(CDPXStdioFile, WritesEveryEncodingWithItsMark) {
  struct Case {
    int encoding;
    int kept;
    std::string bytes;
  };
  const Case cases[] = {
      {1, 1, kUtf8Mark + "a\xC3\xA4\r\n"},
      {2, 2, "\xFF\xFE" "a\0\xE4\0\r\0\n\0"s},
      {3, 3, "\xFE\xFF" "\0a\0\xE4\0\r\0\n"s},
      {0, 0, "a\xC3\xA4\r\n"},
      {7, 0, "a\xC3\xA4\r\n"},
  };
  for (const Case& c : cases) {
    TestFolder folder;
    CDPXStdioFile file;
    ASSERT_TRUE(file.CreateText(folder.Wide("t.txt"), c.encoding, CFile::modeWrite)) << c.encoding;
    EXPECT_EQ(file.GetEncoding(), c.kept);
    EXPECT_TRUE(file.WriteString(u"a\u00e4"));
    EXPECT_TRUE(file.WriteString(u"")) << "an empty text writes nothing and succeeds";
    EXPECT_TRUE(file.WriteString(nullptr)) << "null writes the line ending";
    file.Close();
    EXPECT_EQ(Printable(folder.Read("t.txt")), Printable(c.bytes)) << "encoding " << c.encoding;
  }
}

TEST(CDPXStdioFile, TextWrittenInAnyEncodingReadsBackTheSame) {
  const std::vector<std::string> lines = {"ASCII", "\xC3\xA4\xC3\xB6\xC3\xBC \xE2\x82\xAC", "\xCE\xB1\xCE\xB2",
                                          "\xE4\xB8\xAD\xE6\x96\x87", "\xF0\x9F\x98\x80", ""};
  for (int encoding = 0; encoding <= 3; ++encoding) {
    TestFolder folder;
    {
      CDPXStdioFile file;
      ASSERT_TRUE(file.CreateText(folder.Wide("t.txt"), encoding, CFile::modeWrite));
      for (const std::string& line : lines) {
        EXPECT_TRUE(file.WriteString(CString::FromUtf8(line)));
        EXPECT_TRUE(file.WriteString(nullptr));
      }
    }
    EXPECT_EQ(ReadAll(folder.Wide("t.txt")).lines, lines) << "encoding " << encoding;
  }
}

TEST(CDPXStdioFile, FailuresLeaveNothingBehindAndRaiseNothing) {
  TestFolder folder;
  CDPXStdioFile file;
  EXPECT_FALSE(file.CreateText(folder.Wide("missing/t.txt"), 1, CFile::modeWrite));
  EXPECT_FALSE(folder.Exists("missing"));
  EXPECT_FALSE(file.OpenText(folder.Wide("nothing.txt"), CFile::modeRead));
  EXPECT_FALSE(folder.Exists("nothing.txt"));
  CString line = u"stale";
  EXPECT_FALSE(file.ReadString(line)) << "a closed file";
  EXPECT_TRUE(line.IsEmpty());
  EXPECT_FALSE(file.WriteString(u"x"));
  EXPECT_FALSE(file.WriteString(nullptr));
  EXPECT_FALSE(file.WriteString(u""));

  // A mark that cannot be written takes the new file with it.
  FileSizeLimit limit(2);
  EXPECT_FALSE(file.CreateText(folder.Wide("big.txt"), 1, CFile::modeWrite));
  EXPECT_FALSE(folder.Exists("big.txt"));
}

TEST(CDPXStdioFile, LeavesThePositionAtTheNextLine) {
  // A log is opened for reading and writing, read, and then continued at its end.
  TestFolder folder;
  folder.Write("log.txt", kUtf8Mark + "first\r\nsecond\r\n");
  CDPXStdioFile file;
  ASSERT_TRUE(file.OpenText(folder.Wide("log.txt"), CFile::modeReadWrite | CFile::modeCreate | CFile::modeNoTruncate));
  CString line;
  ASSERT_TRUE(file.ReadString(line));
  EXPECT_EQ(file.GetPosition(), 3u + 7u);
  file.SeekToEnd();
  EXPECT_TRUE(file.WriteString(u"third\r\n"));
  file.Close();
  EXPECT_EQ(ReadAll(folder.Wide("log.txt")).lines, (std::vector<std::string>{"first", "second", "third"}));

  // A new file opened the same way has no mark and is written as UTF-8.
  ASSERT_TRUE(file.OpenText(folder.Wide("new.txt"), CFile::modeReadWrite | CFile::modeCreate | CFile::modeNoTruncate));
  EXPECT_EQ(file.GetEncoding(), 0);
  EXPECT_TRUE(file.WriteString(u"\u00e4\r\n"));
  file.Close();
  EXPECT_EQ(folder.Read("new.txt"), "\xC3\xA4\r\n");
}

TEST(DPXTextFile, ReadsAndWritesWholeFiles) {
  for (int encoding = 0; encoding <= 3; ++encoding) {
    TestFolder folder;
    ASSERT_TRUE(DPXWriteTextFile(u"a\r\nb\u00e4\nc", folder.Wide("t.txt"), encoding)) << encoding;
    const std::string expected = std::string(CDPXStdioFile::ByteOrderMark(encoding)) +
                                 CDPXStdioFile::EncodeText(u"a\nb\u00e4\nc", encoding);
    EXPECT_EQ(Printable(folder.Read("t.txt")), Printable(expected)) << "CR LF becomes LF, encoding " << encoding;
    CString text = u"stale";
    ASSERT_TRUE(DPXReadTextFile(folder.Wide("t.txt"), text));
    EXPECT_EQ(text, u"a\r\nb\u00e4\r\nc") << "lines joined with CR LF, encoding " << encoding;
  }
  TestFolder folder;
  CString text = u"stale";
  EXPECT_FALSE(DPXReadTextFile(folder.Wide("missing.txt"), text));
  EXPECT_TRUE(text.IsEmpty());
  folder.Write("empty.txt", "");
  EXPECT_TRUE(DPXReadTextFile(folder.Wide("empty.txt"), text));
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_FALSE(DPXWriteTextFile(u"x", folder.Wide("missing/t.txt"), 1));
}

TEST(DPXTextFile, AFailedWriteKeepsTheFileThatWasThere) {
  TestFolder folder;
  folder.Write("t.txt", "old contents\n");
  {
    FileSizeLimit limit(64);
    EXPECT_FALSE(DPXWriteTextFile(CString(u'x', 1000), folder.Wide("t.txt"), 1));
  }
  EXPECT_EQ(folder.Read("t.txt"), "old contents\n");
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"t.txt"})) << "no temporary file left behind";
}
