// The CSV and XML writers of the index export: their bytes, what readers of the formats get back,
// and files that cannot be written.

#include "foundation/util/CDPXStringList.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/model/tests/BatchFixture.h"
#include "viewer/output/CQVCSVWrite.h"
#include "viewer/output/CQVSXMLWrite.h"
#include "viewer/output/IndexExport.h"
#include "viewer/output/tests/OutputTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Records = std::vector<std::vector<std::u16string>>;

// A string list of the values, made in place.
struct List : CDPXStringList {
  List(const std::vector<std::u16string>& values) {
    for (const std::u16string& value : values) Add(value.c_str());
  }
};

template <class Writer>
bool Write(const CString& path, const Records& records) {
  Writer writer;
  if (!writer.Open(path)) return false;
  for (const auto& record : records)
    if (!writer.WriteRecord(List(record))) return false;
  return writer.Close() != FALSE;
}

// The records as readback.py expects them: hex UTF-8 values, comma-separated, a record a line.
std::string Expected(const Records& records) {
  std::string out;
  for (const auto& record : records) {
    for (size_t i = 0; i < record.size(); ++i) {
      if (i) out += ',';
      for (unsigned char c : CString(record[i]).ToUtf8()) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", c);
        out += hex;
      }
    }
    out += '\n';
  }
  return out;
}

// Values that break naive writers: quotes, both delimiters, line breaks of every kind, markup,
// text beyond Latin (also beyond the basic plane), empty values and blanks at the edges.
const Records kHardRecords = {
    {u"Batch", u"Document number", u"Customer", u"Note"},
    {u"Invoices 2008", u"00000001", u"ACME \"Best\" Corp", u"a,b;c"},
    {u"Invoices 2008", u"00000002", u"M\u00FCller & S\u00F6hne <GmbH>", u"line 1\r\nline 2\nline 3\rend"},
    {u"\u6771\u4EAC", u"00000003", u"", u"  padded\t"},
    {u"Emoji", u"00000004", u"\U0001F600 \u0394\u03B5\u03BB\u03C4\u03B1", u"\"\"\"\""},
};

class ExportWriters : public ::testing::Test {
protected:
  CString Path(const char* name) const { return m_folder.Wide(name); }
  TempFolder m_folder;
};

}  // namespace

TEST_F(ExportWriters, WriteTheBytesOfTheirFormats) {
  const Records records = {{u"Invoices", u"00000001", u"ACME \"X\"", u""}, {u"A & B <x>", u"\r\n", u"\x01"}};
  ASSERT_TRUE(Write<CQVCSVWrite>(Path("out.csv"), records));
  EXPECT_EQ(ReadBytes(m_folder.Path() / "out.csv"),
            "\xEF\xBB\xBF\"Invoices\",\"00000001\",\"ACME \"\"X\"\"\",\"\"\r\n"
            "\"A & B <x>\",\"\r\n\",\"\x01\"\r\n");
  ASSERT_TRUE(Write<CQVSXMLWrite>(Path("out.xml"), records));
  EXPECT_EQ(ReadBytes(m_folder.Path() / "out.xml"),
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<data>\r\n<recordlist>\r\n"
            "<record>\r\n<item>Invoices</item>\r\n<item>00000001</item>\r\n<item>ACME \"X\"</item>\r\n<item></item>\r\n</record>\r\n"
            "<record>\r\n<item>A &amp; B &lt;x&gt;</item>\r\n<item>&#13;\n</item>\r\n<item>\xEF\xBF\xBD</item>\r\n</record>\r\n"
            "\r\n</recordlist>\r\n</data>")
      << "a control character XML cannot carry becomes U+FFFD";
}

TEST_F(ExportWriters, ReadBackExactlyWithTheFormatsReaders) {
  WriteBytes(m_folder.Path() / "expected.txt", Expected(kHardRecords));
  const std::string expected = (m_folder.Path() / "expected.txt").string();
  const std::string script = Python() + " " + TestSource("readback.py");
  std::string output;

  ASSERT_TRUE(Write<CQVCSVWrite>(Path("hits.csv"), kHardRecords));
  EXPECT_EQ(RunCommand(script + " csv " + (m_folder.Path() / "hits.csv").string() + " " + expected, output), 0) << output;

  ASSERT_TRUE(Write<CQVSXMLWrite>(Path("hits.xml"), kHardRecords));
  const std::string xml = (m_folder.Path() / "hits.xml").string();
  EXPECT_EQ(RunCommand("xmllint --noout --schema " + TestSource("data/export.xsd") + " " + xml, output), 0) << output;
  EXPECT_EQ(RunCommand(script + " xml " + xml + " " + expected, output), 0) << output;
}

TEST_F(ExportWriters, RefuseWhatTheyCannotWrite) {
  CQVCSVWrite csv;
  EXPECT_FALSE(csv.WriteRecord(List({u"a"}))) << "not open";
  EXPECT_FALSE(csv.Open(Path("missing/out.csv"))) << "no such folder";
  EXPECT_FALSE(fs::exists(m_folder.Path() / "missing"));
  ASSERT_TRUE(csv.Open(Path("out.csv")));
  EXPECT_FALSE(csv.WriteRecord(CDPXStringList())) << "an empty record";
  EXPECT_FALSE(csv.WriteRecord(List({u"a"}), 1)) << "another kind";
  EXPECT_TRUE(csv.Close());
  EXPECT_EQ(ReadBytes(m_folder.Path() / "out.csv"), "\xEF\xBB\xBF");

  CQVSXMLWrite xml;
  ASSERT_TRUE(xml.Open(Path("out.xml")));
  EXPECT_TRUE(xml.Close());
  EXPECT_FALSE(xml.Close()) << "a second close adds nothing";
  EXPECT_EQ(ReadBytes(m_folder.Path() / "out.xml"),
            "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<data>\r\n<recordlist>\r\n\r\n</recordlist>\r\n</data>");
}

TEST_F(ExportWriters, AWriterLeftUnclosedKeepsTheEarlierFile) {
  WriteBytes(m_folder.Path() / "out.xml", "earlier");
  {
    CQVSXMLWrite xml;
    ASSERT_TRUE(xml.Open(Path("out.xml")));
    ASSERT_TRUE(xml.WriteRecord(List({u"a"})));
  }
  EXPECT_EQ(ReadBytes(m_folder.Path() / "out.xml"), "earlier");
  EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.Path()), fs::directory_iterator()), 1) << "no temporary file left";
}

// A full disk: the export runs in a child process whose files may not grow beyond 64 KiB.
TEST_F(ExportWriters, AFullDiskIsReportedAndLosesNoEarlierFile) {
  for (const char* name : {"big.csv", "big.xml"}) {
    SCOPED_TRACE(name);
    const bool isCsv = std::string(name).ends_with(".csv");
    WriteBytes(m_folder.Path() / name, "earlier export");
    const CString path = Path(name);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      rlimit limit {64 * 1024, 64 * 1024};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      const Records records(5000, {u"Invoices 2008", u"00000001", u"a value long enough to fill the disk soon"});
      const bool written = isCsv ? Write<CQVCSVWrite>(path, records) : Write<CQVSXMLWrite>(path, records);
      ::_exit(written ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3) << "the failure is reported";
    EXPECT_EQ(ReadBytes(m_folder.Path() / name), "earlier export");
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(m_folder.Path()), fs::directory_iterator()), 2) << "no temporary file left";
}

// The export of search results: the columns are those of the heading, whatever order and fields
// each batch has.
TEST_F(ExportWriters, ResultsGoIntoTheHeadingsColumns) {
  BatchFiles invoices;
  invoices.header = Header("Invoices", {"Customer", "Invoice No"});
  invoices.index = "\xEF\xBB\xBF"
                   "001;1;00000001;B;D;0;0;0;0;0;0;1;0;ACME \"Best\", Inc.;INV-1\r\n"
                   "001;1;00000002;B;D;0;0;0;0;0;0;1;0;M\xC3\xBC" "ller & <S\xC3\xB6hne>;INV-2\r\n";
  invoices.folders = {"1/00", "2/00"};
  invoices.Write(m_folder.Path() / "batches" / "A");
  BatchFiles contracts;
  contracts.header = Header("\xE6\x9D\xB1\xE4\xBA\xAC", {"Contract", "Customer"});
  contracts.index = "001;1;00000007;B;D;0;0;0;0;0;0;1;0;C-7;Zeta\r\n";
  contracts.folders = {"7/00"};
  contracts.Write(m_folder.Path() / "batches" / "B");

  CIBSPlant plant;
  const int hits = SearchAllDocuments(plant, m_folder.Wide("batches"), u"Customer");
  ASSERT_EQ(hits, 3);
  CIBSDocumentList documents;
  for (int i = 0; i < hits; ++i) documents.push_back(plant.GetResult(i));
  const List names({u"Customer", u"Invoice No"});
  const IndexExportHeadings headings {u"Batch", u"Document number"};

  const Records expected = {{u"Batch", u"Document number", u"Customer", u"Invoice No"},
                            {u"Invoices", u"00000001", u"ACME \"Best\", Inc.", u"INV-1"},
                            {u"Invoices", u"00000002", u"M\u00FCller & <S\u00F6hne>", u"INV-2"},
                            {u"\u6771\u4EAC", u"00000007", u"Zeta", u""}};
  WriteBytes(m_folder.Path() / "expected.txt", Expected(expected));
  const std::string script = Python() + " " + TestSource("readback.py");
  const std::string expectedPath = (m_folder.Path() / "expected.txt").string();
  std::string output;
  ASSERT_TRUE(ExportIndexData(Path("hits.csv"), IndexExportFormat::CSV, &headings, names, documents));
  EXPECT_EQ(RunCommand(script + " csv " + (m_folder.Path() / "hits.csv").string() + " " + expectedPath, output), 0) << output;
  ASSERT_TRUE(ExportIndexData(Path("hits.xml"), IndexExportFormat::XML, &headings, names, documents));
  EXPECT_EQ(RunCommand(script + " xml " + (m_folder.Path() / "hits.xml").string() + " " + expectedPath, output), 0) << output;

  ASSERT_TRUE(ExportIndexData(Path("plain.csv"), IndexExportFormat::CSV, nullptr, names, documents));
  EXPECT_TRUE(ReadBytes(m_folder.Path() / "plain.csv").starts_with("\xEF\xBB\xBF\"Invoices\",\"00000001\""))
      << "without headings the first record is the first hit";

  documents.push_back(nullptr);
  EXPECT_FALSE(ExportIndexData(Path("hits.csv"), IndexExportFormat::CSV, &headings, names, documents));
  EXPECT_EQ(RunCommand(script + " csv " + (m_folder.Path() / "hits.csv").string() + " " + expectedPath, output), 0)
      << "a failed export keeps the earlier file: " << output;
}
