// Index files written by hand, read the way the publisher means them.

#include "viewer/model/CIBSBatch.h"
#include "viewer/model/CIBSIndexLine.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/model/tests/BatchFixture.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct Expected {
  bool valid { false };
  const char* number { "" };
  int pages { 0 };
  // One per field of the header; nullopt where the line does not reach the field.
  std::vector<std::optional<std::string>> values {};
};

std::string Describe(const CIBSDocument& document) {
  CString number;
  document.GetDocumentNumber(number);
  std::string text = (document.IsValid() ? "valid " : "invalid ") + number.ToUtf8() + " pages " +
                     std::to_string(document.GetPageCount());
  for (int field = 0; field < document.GetValueCount(); ++field) {
    CString value;
    document.GetValue(field, value);
    text += document.HasValue(field) ? " [" + value.ToUtf8() + "]" : " (none)";
  }
  return text;
}

void ExpectDocument(const CIBSDocument& document, const Expected& expected, const std::string& line) {
  SCOPED_TRACE("line " + line + " read as " + Describe(document));
  ASSERT_EQ(document.IsValid() != FALSE, expected.valid);
  if (!expected.valid) return;
  CString number;
  document.GetDocumentNumber(number);
  EXPECT_EQ(number.ToUtf8(), expected.number);
  EXPECT_EQ(document.GetPageCount(), expected.pages);
  ASSERT_EQ(document.GetValueCount(), static_cast<int>(expected.values.size()));
  for (size_t field = 0; field < expected.values.size(); ++field) {
    CString value;
    EXPECT_TRUE(document.GetValue(static_cast<int>(field), value));
    EXPECT_EQ(document.HasValue(static_cast<int>(field)), expected.values[field].has_value()) << "field " << field;
    EXPECT_EQ(value.ToUtf8(), expected.values[field].value_or("")) << "field " << field;
  }
}

// One batch with the fields Customer and Invoice No whose index holds the given lines.
class IndexReading : public ::testing::Test {
protected:
  CIBSBatch& Read(const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
    BatchFiles files;
    files.header = Header("Invoices", {"Customer", "Invoice No"});
    for (const std::string& line : lines) files.index += line + eol;
    files.folders = {"5/34", "6/34", "7/34", "8/34", "9/34", "0/35", "1/35", "2/35", "34", "5/00"};
    files.Write(m_folder.Path() / "root");
    m_batch = m_plant.AddBatch(m_folder.Wide("root"));
    EXPECT_TRUE(m_batch->ReadIndexHeader());
    EXPECT_TRUE(m_batch->ReadIndex());
    return *m_batch;
  }

  TempFolder m_folder;
  CIBSPlant m_plant;
  CIBSBatch* m_batch { nullptr };
};

}  // namespace

TEST_F(IndexReading, LineRules) {
  struct Case {
    std::string line;
    Expected expected;
  };
  const std::optional<std::string> none;
  const Case cases[] = {
      {"001;1;00012345;B0000001;20080220;0;0;0;0;0;0;2;0;ACME Corp;INV-1", {true, "00012345", 2, {"ACME Corp", "INV-1"}}},
      {"001;1;0001234", {false}},
      {"", {false}},
      // Twelve fields: the appended delimiter makes the thirteenth, and the values are missing.
      {"001;1;00012345;B;D;0;0;0;0;0;0;3", {true, "00012345", 3, {none, none}}},
      {"001;1;00012345;B;D;0;0;0;0;0;0", {false}},
      // A final delimiter of its own: the values are there, but empty.
      {"001;1;00012346;B;D;0;0;0;0;0;0;1;0;", {true, "00012346", 1, {"", ""}}},
      // Quoted: delimiter at column 5, number at column 11, values without their quotes.
      {"\"001\";\"1\";\"00012346\";\"B\";\"D\";\"0\";\"0\";\"0\";\"0\";\"0\";\"0\";\"4\";\"0\";\" Baker \";\"INV-2\"",
       {true, "00012346", 4, {"Baker", "INV-2"}}},
      {"\"001\"|\"1\"|\"00012347\"|\"B\"|\"D\"|\"0\"|\"0\"|\"0\"|\"0\"|\"0\"|\"0\"|\"5\"|\"0\"|\"X\"|\"Y\"",
       {true, "00012347", 5, {"X", "Y"}}},
      // Without its quote the same columns read differently: column 3 is a quote mark here.
      {"001\";\"1\";\"00012347\";\"B\";\"D\";\"0\";\"0\";\"0\";\"0\";\"0\";\"0\";\"5\";\"0\";\"X\";\"Y\"", {false}},
      // A quoted value may hold the delimiter.
      {"\"001\";\"1\";\"00012348\";\"B\";\"D\";\"0\";\"0\";\"0\";\"0\";\"0\";\"0\";\"1\";\"0\";\"Hansen; Berg\";\"INV-3\"",
       {true, "00012348", 1, {"Hansen; Berg", "INV-3"}}},
      // A quote mark inside a quoted value is written twice, also at the value's ends.
      {"\"001\";\"1\";\"00012348\";\"B\";\"D\";\"0\";\"0\";\"0\";\"0\";\"0\";\"0\";\"1\";\"0\";\"Say \"\"hi\"\"\";\"\"\"A\"\"; B\"",
       {true, "00012348", 1, {"Say \"hi\"", "\"A\"; B"}}},
      // Quotes that do not pair up: every delimiter cuts.
      {"\"001\";\"1\";\"00012348\";\"B\";\"D\";\"0\";\"0\";\"0\";\"0\";\"0\";\"0\";\"1\";\"0\";\"5\" disk\";\"INV-4\"",
       {true, "00012348", 1, {"5\" disk", "INV-4"}}},
      // Tabs: white space, so the appended tab is trimmed away and 13 fields of its own are needed.
      {"001\t1\t00012349\tB\tD\t0\t0\t0\t0\t0\t0\t2\t0\tTabbed\tINV-5", {true, "00012349", 2, {"Tabbed", "INV-5"}}},
      {"001\t1\t00012349\tB\tD\t0\t0\t0\t0\t0\t0\t2", {false}},
      {"001 1 00012349 B D 0 0 0 0 0 0 7 0 Blank Separated", {true, "00012349", 7, {"Blank", "Separated"}}},
      // The image folder DATA/9/99 does not exist.
      {"001;1;00099999;B;D;0;0;0;0;0;0;1;0;Gone;INV-6", {false}},
      // A page count that is not a number counts 0; one with letters after its digits counts them.
      {"001;1;00012350;B;D;0;0;0;0;0;0;x;0;A;B", {true, "00012350", 0, {"A", "B"}}},
      {"001;1;00012350;B;D;0;0;0;0;0;0;12pages;0;A;B", {true, "00012350", 12, {"A", "B"}}},
      // Values beyond the header's field count are not the document's.
      {"001;1;00012351;B;D;0;0;0;0;0;0;1;0;A;B;C;D", {true, "00012351", 1, {"A", "B"}}},
      // Columns count characters, not bytes: a two-byte and a four-byte character before them.
      {"\xC3\xA4" "01;1;00012352;B;D;0;0;0;0;0;0;1;0;M\xC3\xBCller;\xE6\x9D\xB1", {true, "00012352", 1, {"M\xC3\xBCller", "\xE6\x9D\xB1"}}},
      {"\xF0\x9F\x98\x80" "1;1;00012352;B;D;0;0;0;0;0;0;1;0;Smile;S", {true, "00012352", 1, {"Smile", "S"}}},
      // Trailing carriage returns belong to the line end.
      {"001;1;00012345;B;D;0;0;0;0;0;0;2;0;ACME;INV-7\r\r", {true, "00012345", 2, {"ACME", "INV-7"}}},
      // A line ends at a NUL character.
      {std::string("001;1;00012345;B;D;0;0;0;0;0;0;2;0;Cut") + std::string(1, '\0') + "here;INV", {true, "00012345", 2, {"Cut", ""}}},
  };
  std::vector<std::string> lines;
  for (const Case& c : cases) lines.push_back(c.line);
  CIBSBatch& batch = Read(lines);
  ASSERT_EQ(batch.GetDocumentCount(), static_cast<int>(std::size(cases)));
  for (size_t i = 0; i < std::size(cases); ++i) ExpectDocument(*batch.GetDocument(static_cast<int>(i)), cases[i].expected, cases[i].line);
}

// Numbers name image folders; a number must not lead out of the batch's image folders.
TEST_F(IndexReading, NumbersThatNameNoImageFolder) {
  const char* numbers[] = {"00012..5", "0001234.", "0001234/", "00012/.5", "0001.\\\\5", "000.../."};
  std::vector<std::string> lines;
  for (const char* number : numbers) lines.push_back(std::string("001;1;") + number + ";B;D;0;0;0;0;0;0;1;0;A;B");
  CIBSBatch& batch = Read(lines);
  ASSERT_EQ(batch.GetDocumentCount(), static_cast<int>(std::size(numbers)));
  for (int i = 0; i < batch.GetDocumentCount(); ++i) EXPECT_FALSE(batch.GetDocument(i)->IsValid()) << numbers[i];
  EXPECT_EQ(batch.GetImageFolder(u"00012..5"), CString());
  EXPECT_EQ(batch.GetImageFolder(u"00012345"), m_folder.Wide("root") + u"/DOC_CD/DATA/5/34");
}

TEST_F(IndexReading, LinesEndingInLineFeedOnly) {
  CIBSBatch& batch = Read({"001;1;00012345;B;D;0;0;0;0;0;0;2;0;A;B", "001;1;00012346;B;D;0;0;0;0;0;0;2;0;C;D"}, "\n");
  ASSERT_EQ(batch.GetDocumentCount(), 2);
  EXPECT_TRUE(batch.GetDocument(1)->IsValid());
}

// The same two lines in every encoding a publisher may have used.
TEST(IndexEncoding, ByteOrderMarkDecides) {
  const std::string utf8Lines = "001;1;00012345;B;D;0;0;0;0;0;0;1;0;M\xC3\xBCller;\xC3\x96l\r\n"
                                "001;1;00012346;B;D;0;0;0;0;0;0;1;0;Z\xC3\xBCrich;x\r\n";
  const auto utf16 = [&](bool bigEndian) {
    const std::u16string units = CString::FromUtf8(utf8Lines).Str();
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : units) {
      const char low = static_cast<char>(unit & 0xFF);
      const char high = static_cast<char>(unit >> 8);
      bytes += bigEndian ? std::string {high, low} : std::string {low, high};
    }
    return bytes;
  };
  std::string ansi;
  const CString wide = CString::FromUtf8(utf8Lines);
  for (char16_t unit : wide.Str()) ansi.push_back(static_cast<char>(unit));
  const struct {
    const char* what;
    std::string bytes;
  } files[] = {
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8Lines},
      {"UTF-8 without a mark", utf8Lines},
      {"UTF-16 little-endian", utf16(false)},
      {"UTF-16 big-endian", utf16(true)},
      {"Windows-1252 without a mark", ansi},
      {"a UTF-8 line and a Windows-1252 line without a mark", utf8Lines.substr(0, utf8Lines.find('\n') + 1) + ansi.substr(ansi.find('\n') + 1)},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.what);
    TempFolder folder;
    BatchFiles batchFiles;
    batchFiles.header = Header("Encodings", {"Name", "Other"});
    batchFiles.index = file.bytes;
    batchFiles.folders = {"5/34", "6/34"};
    batchFiles.Write(folder.Path());
    CIBSPlant plant;
    CIBSBatch* batch = plant.AddBatch(folder.Wide());
    ASSERT_TRUE(batch->ReadIndexHeader());
    ASSERT_TRUE(batch->ReadIndex());
    ASSERT_EQ(batch->GetDocumentCount(), 2);
    ExpectDocument(*batch->GetDocument(0), {true, "00012345", 1, {"M\xC3\xBCller", "\xC3\x96l"}}, "first");
    ExpectDocument(*batch->GetDocument(1), {true, "00012346", 1, {"Z\xC3\xBCrich", "x"}}, "second");
  }
}

// A damaged file: invalid UTF-8 after a mark, binary noise, NULs and overlong lines around lines
// that are good. Nothing crashes and every good line is a document.
TEST(IndexDamage, GoodLinesSurviveAroundNoise) {
  std::string noise;
  uint32_t state = 12345;
  for (int i = 0; i < 200000; ++i) {
    state = state * 1103515245u + 12345u;
    noise.push_back(static_cast<char>(state >> 24));
  }
  std::string index = "\xEF\xBB\xBF";
  int good = 0;
  for (size_t at = 0; at < noise.size(); at += 9973) {
    index += noise.substr(at, 9973);
    index += "\r\n001;1;00012345;B;D;0;0;0;0;0;0;1;0;Good;Line\r\n";
    ++good;
  }
  index += std::string(1 << 20, ';');  // one very long line of delimiters
  TempFolder folder;
  BatchFiles files;
  files.header = Header("Damaged", {"A", "B"});
  files.index = index;
  files.folders = {"5/34"};
  files.Write(folder.Path());
  CIBSPlant plant;
  CIBSBatch* batch = plant.AddBatch(folder.Wide());
  ASSERT_TRUE(batch->ReadIndexHeader());
  ASSERT_TRUE(batch->ReadIndex());
  int valid = 0;
  for (int i = 0; i < batch->GetDocumentCount(); ++i) {
    const CIBSDocument& document = *batch->GetDocument(i);
    if (!document.IsValid()) continue;
    CString value;
    document.GetValue(0, value);
    if (value == u"Good") ++valid;
  }
  EXPECT_EQ(valid, good);
}

TEST(IndexHeader, CountAndNames) {
  const struct {
    const char* what;
    std::string header;
    bool read;
    std::vector<std::string> names;
  } cases[] = {
      {"names as written", "\"P\"\r\n\"Batch\"\r\n3\r\n4\r\n5\r\n2\r\n\" Customer \"\r\nInvoice No\r\n", true, {"Customer", "Invoice No"}},
      {"blank lines at the end", "P\r\nBatch\r\n3\r\n4\r\n5\r\n1\r\nA\r\n\r\n\r\n", true, {"A"}},
      {"no fields", "P\r\nBatch\r\n3\r\n4\r\n5\r\n0\r\n", true, {}},
      {"an empty name", "P\r\nBatch\r\n3\r\n4\r\n5\r\n2\r\n\r\nB\r\n", true, {"", "B"}},
      {"fewer names than counted", "P\r\nBatch\r\n3\r\n4\r\n5\r\n3\r\nA\r\nB\r\n", false, {}},
      {"more names than counted", "P\r\nBatch\r\n3\r\n4\r\n5\r\n1\r\nA\r\nB\r\n", false, {}},
      {"a huge count", "P\r\nBatch\r\n3\r\n4\r\n5\r\n999999999\r\nA\r\n", false, {}},
      {"a count beyond int", "P\r\nBatch\r\n3\r\n4\r\n5\r\n99999999999999999999\r\n", false, {}},
      {"a negative count", "P\r\nBatch\r\n3\r\n4\r\n5\r\n-1\r\n", false, {}},
      {"a count that is no number", "P\r\nBatch\r\n3\r\n4\r\n5\r\nabc\r\n", false, {}},
      {"a missing line", "P\r\nBatch\r\n3\r\n4\r\n", false, {}},
      {"an empty file", "", false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    BatchFiles files;
    files.header = c.header;
    files.Write(folder.Path());
    CIBSPlant plant;
    CIBSBatch* batch = plant.AddBatch(folder.Wide());
    EXPECT_EQ(batch->ReadIndexHeader() != FALSE, c.read);
    EXPECT_EQ(batch->IsHeaderRead() != FALSE, c.read);
    if (!c.read) continue;
    CString name;
    EXPECT_TRUE(batch->GetBatchName(name));
    EXPECT_EQ(name, u"Batch");
    ASSERT_EQ(batch->GetFieldCount(), static_cast<int>(c.names.size()));
    for (size_t i = 0; i < c.names.size(); ++i) {
      batch->GetFieldName(static_cast<int>(i), name);
      EXPECT_EQ(name.ToUtf8(), c.names[i]);
    }
  }
}

TEST(IndexHeader, MissingFilesFailTheirRead) {
  TempFolder folder;
  CIBSPlant plant;
  CIBSBatch* batch = plant.AddBatch(folder.Wide());
  EXPECT_FALSE(batch->ReadIndexHeader());
  EXPECT_FALSE(batch->ReadIndex());
  EXPECT_EQ(batch->GetDocumentCount(), 0);
}

// A document made from one line, as the results of other readers are.
TEST(IndexDocument, FromLine) {
  TempFolder folder;
  BatchFiles files;
  files.header = Header("One", {"A"});
  files.folders = {"5/34"};
  files.Write(folder.Path());
  CIBSPlant plant;
  CIBSBatch* batch = plant.AddBatch(folder.Wide());
  CIBSDocument document;
  EXPECT_TRUE(document.FromLine(u"001;1;00012345;B;D;0;0;0;0;0;0;2;0;Value", 1, batch));
  CString value;
  EXPECT_TRUE(document.GetValue(0, value));
  EXPECT_EQ(value, u"Value");
  EXPECT_FALSE(document.GetValue(1, value));
  EXPECT_FALSE(document.FromLine(u"001;1;00099999;B;D;0;0;0;0;0;0;2;0;Value", 1, batch));
  EXPECT_FALSE(document.FromLine(u"001;1;00012345;B;D;0;0;0;0;0;0;2;0;Value", 1, nullptr));
}

// Lines mutated at random, byte by byte: the reader stays inside every line it is given and a
// line it accepts has a whole number and no more values than fields.
TEST(IndexLine, MutatedLinesStayInBounds) {
  class AnyFolder : public CIBSIndexLine::FolderCheck {
    bool ImageFolderExists(std::u16string_view) override { return true; }
  } folders;
  const std::string seeds[] = {
      "001;1;00012345;B;D;0;0;0;0;0;0;2;0;ACME Corp;INV-1",
      "\"001\";\"1\";\"00012346\";\"B\";\"D\";\"0\";\"0\";\"0\";\"0\";\"0\";\"0\";\"4\";\"0\";\"Hansen; Berg\";\"INV-2\"",
      "001\t1\t00012349\tB\tD\t0\t0\t0\t0\t0\t0\t2\t0\tTabbed\tINV-5",
      "\xC3\xA4" "01;1;00012352;B;D;0;0;0;0;0;0;1;0;M\xC3\xBCller;\xF0\x9F\x98\x80",
  };
  const char alphabet[] = {';', '"', '\t', ' ', '\r', '\n', '\0', '0', 'a', '\xC3', '\xA4', '\xF0', '\x9F', ',', '\xFF'};
  uint32_t state = 2008;
  const auto next = [&state](uint32_t bound) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % bound;
  };
  CIBSIndexLine parser;
  int accepted = 0;
  for (int round = 0; round < 50000; ++round) {
    std::string line = seeds[next(std::size(seeds))];
    for (uint32_t edits = next(6) + 1; edits > 0; --edits) {
      const size_t at = line.empty() ? 0 : next(static_cast<uint32_t>(line.size()));
      const char ch = alphabet[next(std::size(alphabet))];
      switch (next(3)) {
        case 0: line.insert(line.begin() + static_cast<std::ptrdiff_t>(at), ch); break;
        case 1: if (!line.empty()) line.erase(at, 1); break;
        default: if (!line.empty()) line[at] = ch; break;
      }
    }
    const int fields = static_cast<int>(next(4));
    if (!parser.Parse(line, fields, folders)) continue;
    ++accepted;
    ASSERT_EQ(parser.GetNumber().size(), 8u) << line;
    ASSERT_LE(parser.GetValues().size(), static_cast<size_t>(fields)) << line;
    for (const CIBSIndexLine::Span& value : parser.GetValues()) {
      ASSERT_LE(static_cast<size_t>(value.offset) + value.length, line.size()) << line;
    }
  }
  EXPECT_GT(accepted, 1000);
}
