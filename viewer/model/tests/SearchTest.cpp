// Queries over two published batches with different fields.

#include "viewer/model/CIBSBatch.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/model/tests/BatchFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class Search : public ::testing::Test {
protected:
  void SetUp() override {
    BatchFiles invoices;
    invoices.header = Header("Invoices", {"Customer", "Invoice No", "City"});
    invoices.index = "\xEF\xBB\xBF"
                     "001;1;00012345;B;D;0;0;0;0;0;0;1;0;ACME Corp;INV-1;Berlin\r\n"
                     "001;1;00012346;B;D;0;0;0;0;0;0;1;0;M\xC3\xBCller GmbH;INV-2;Z\xC3\xBCrich\r\n"
                     "001;1;00012347;B;D;0;0;0;0;0;0;1;0;acme gmbh;INV-3;Oslo\r\n"
                     "001;1;00012348;B;D;0;0;0;0;0;0;1\r\n"
                     "001;1;00012349;B;D;0;0;0;0;0;0;1;0;;INV-5;\r\n"
                     "001;1;0001\r\n";
    invoices.folders = {"5/34", "6/34", "7/34", "8/34", "9/34"};
    invoices.Write(m_folder.Path() / "A");
    BatchFiles contracts;
    contracts.header = Header("Contracts", {"Customer", "Contract"});
    contracts.index = "001;1;00020001;B;D;0;0;0;0;0;0;1;0;ACME Corp;C-1\r\n"
                      "001;1;00020002;B;D;0;0;0;0;0;0;1;0;Zeta;C-2\r\n";
    contracts.folders = {"1/00", "2/00"};
    contracts.Write(m_folder.Path() / "B");
    m_plant.SetOpenMode(CIBSPlant::openFolder, m_folder.Wide());
    ASSERT_TRUE(m_plant.Load());
  }

  // Runs a query and answers "searched N:" followed by the hits as "batch/number", in order.
  std::string Run(LPCWSTR pattern, const std::vector<std::pair<LPCWSTR, LPCWSTR>>& pairs, int selection = 0,
                  LPCWSTR batch = u"") {
    m_plant.SetDocumentPattern(pattern);
    m_plant.ClearQuery();
    for (const auto& [name, value] : pairs) EXPECT_TRUE(m_plant.AddQueryPair(name, value));
    m_plant.SetBatchSelection(selection, batch);
    int searched = -1;
    int hits = -1;
    m_plant.Search(searched, hits);
    EXPECT_EQ(hits, m_plant.GetResultCount());
    std::string answer = "searched " + std::to_string(searched) + ":";
    for (int i = 0; i < m_plant.GetResultCount(); ++i) {
      const CIBSDocument* document = m_plant.GetResult(i);
      EXPECT_TRUE(document->IsHit());
      CString name;
      CString number;
      document->GetBatch()->GetBatchName(name);
      document->GetDocumentNumber(number);
      answer += " " + name.ToUtf8() + "/" + number.ToUtf8();
    }
    return answer;
  }

  TempFolder m_folder;
  CIBSPlant m_plant;
};

const std::string kAllInvoices = " Invoices/00012345 Invoices/00012346 Invoices/00012347 Invoices/00012348 Invoices/00012349";
const std::string kAllContracts = " Contracts/00020001 Contracts/00020002";

}  // namespace

TEST_F(Search, Queries) {
  const struct {
    const char* what;
    LPCWSTR pattern;
    std::vector<std::pair<LPCWSTR, LPCWSTR>> pairs;
    std::string expected;
  } cases[] = {
      {"everything, batch by batch in line order", u"*", {}, "searched 2:" + kAllInvoices + kAllContracts},
      {"an empty number pattern matches no number", u"", {}, "searched 2:"},
      {"a star at the end, without regard to case; a line without the field is a hit, an empty value is not",
       u"*", {{u"Customer", u"acme*"}}, "searched 2: Invoices/00012345 Invoices/00012347 Invoices/00012348 Contracts/00020001"},
      {"a question mark first", u"*", {{u"Customer", u"?CME*"}}, "searched 2: Invoices/00012345 Invoices/00012347 Invoices/00012348 Contracts/00020001"},
      {"a star inside, non-ASCII text", u"*", {{u"Customer", u"m\u00fcller *"}}, "searched 2: Invoices/00012346 Invoices/00012348"},
      {"a question mark inside; the batch without the field does not qualify",
       u"*", {{u"Invoice No", u"INV-?"}}, "searched 1: Invoices/00012345 Invoices/00012346 Invoices/00012347 Invoices/00012348 Invoices/00012349"},
      {"a field one batch lacks", u"*", {{u"City", u"z*rich"}}, "searched 1: Invoices/00012346 Invoices/00012348"},
      {"a field one batch lacks, asked with stars only", u"*", {{u"City", u"**"}}, "searched 2:" + kAllInvoices + kAllContracts},
      {"a field name in another letter case is another field", u"*", {{u"customer", u"acme*"}}, "searched 0:"},
      {"... unless its value is all stars", u"*", {{u"customer", u"*"}}, "searched 2:" + kAllInvoices + kAllContracts},
      {"the document number with a question mark", u"0001234?", {}, "searched 2:" + kAllInvoices},
      {"the document number with a leading star", u"*01", {}, "searched 2: Contracts/00020001"},
      {"two conditions", u"*", {{u"Customer", u"*a*"}, {u"City", u"B*"}}, "searched 1: Invoices/00012345 Invoices/00012348"},
      {"no match at all", u"*", {{u"Customer", u"nobody"}}, "searched 2: Invoices/00012348"},
  };
  for (const auto& c : cases) EXPECT_EQ(Run(c.pattern, c.pairs), c.expected) << c.what;
}

TEST_F(Search, BatchSelection) {
  EXPECT_EQ(Run(u"*", {}, 1, u"Contracts"), "searched 1:" + kAllContracts);
  EXPECT_EQ(Run(u"*", {}, 1, u"contracts"), "searched 0:");
  EXPECT_EQ(Run(u"*", {}, -1), "searched 0:");
  EXPECT_EQ(Run(u"*", {{u"City", u"Oslo"}}, 1, u"Contracts"), "searched 0:");
  EXPECT_EQ(m_plant.GetState(), CIBSPlant::stateSearched);
}

TEST_F(Search, EachSearchReadsTheIndexAfresh) {
  EXPECT_EQ(Run(u"*", {}, 1, u"Contracts"), "searched 1:" + kAllContracts);
  WriteBytes(m_folder.Path() / "B/DOC_CD/Database/index.dat", "001;1;00020002;B;D;0;0;0;0;0;0;1;0;Zeta;C-2\r\n");
  EXPECT_EQ(Run(u"*", {}, 1, u"Contracts"), "searched 1: Contracts/00020002");
  // An index that cannot be read is searched and has nothing.
  fs::remove(m_folder.Path() / "B/DOC_CD/Database/index.dat");
  EXPECT_EQ(Run(u"*", {}, 1, u"Contracts"), "searched 1:");
}

TEST_F(Search, ABatchSearchedAgainReplacesItsOwnResults) {
  EXPECT_EQ(Run(u"*", {}), "searched 2:" + kAllInvoices + kAllContracts);
  // The index has grown since: its documents are read into new memory.
  WriteBytes(m_folder.Path() / "B/DOC_CD/Database/index.dat",
             "001;1;00020001;B;D;0;0;0;0;0;0;1;0;ACME Corp;C-1\r\n001;1;00020002;B;D;0;0;0;0;0;0;1;0;Zeta;C-2\r\n"
             "001;1;00020002;B;D;0;0;0;0;0;0;1;0;Zeta;C-3\r\n001;1;00020001;B;D;0;0;0;0;0;0;1;0;Omega;C-4\r\n");
  int searched = 0;
  int hits = 0;
  m_plant.SearchBatches(searched, hits, m_plant.FindBatch(u"Contracts"));
  EXPECT_EQ(searched, 1);
  EXPECT_EQ(hits, 4);
  std::string contracts;
  for (int i = 0; i < m_plant.GetResultCount(); ++i) {
    const CIBSDocument* document = m_plant.GetResult(i);
    CString value;
    if (document->GetBatch() == m_plant.FindBatch(u"Contracts") && document->GetValue(1, value)) contracts += " " + value.ToUtf8();
  }
  EXPECT_EQ(m_plant.GetResultCount(), 5 + 4);
  EXPECT_EQ(contracts, " C-1 C-2 C-3 C-4");
}

TEST_F(Search, QualifyingBatches) {
  CIBSBatch* contracts = m_plant.FindBatch(u"Contracts");
  ASSERT_NE(contracts, nullptr);
  m_plant.AddQueryPair(u"Customer", u"x");
  EXPECT_TRUE(m_plant.BatchHasQueryFields(contracts));
  m_plant.AddQueryPair(u"City", u"*");
  EXPECT_TRUE(m_plant.BatchHasQueryFields(contracts));
  m_plant.AddQueryPair(u"City", u"B*");
  EXPECT_FALSE(m_plant.BatchHasQueryFields(contracts));
  EXPECT_FALSE(m_plant.BatchHasQueryFields(nullptr));
}

// Lines a search may pass over by their text alone, and lines it must read in full: the results
// are those of reading every line.
TEST(SearchByText, LinesThatLookLikeMissesButAreNot) {
  using namespace std::string_literals;
  TempFolder folder;
  BatchFiles batch;
  batch.header = Header("Mixed", {"Customer", "City"});
  batch.index = "001;1;00030001;B;D;0;0;0;0;0;0;1;0;Zeta;GmbH Town\r\n"              // the text elsewhere in the line
                "001;1;00030002;B;D;0;0;0;0;0;0;1;0;\xE2\x84\xAA" "elvin GmbH;Wien\r\n"  // the Kelvin sign lower-cases to 'k'
                "001;1;00030003;B;D;0;0;0;0;0;0;1;0;\xC4\xB0nge GmbH;Bern\r\n"           // a capital I with a dot
                "\"001\";\"1\";\"00030004\";\"B\";\"D\";\"0\";\"0\";\"0\";\"0\";\"0\";\"0\";\"1\";\"0\";\"Hansen; Berg\";\"Oslo\"\r\n"
                "001;1;00030005;B;D;0;0;0;0;0;0;1;0\r\n"                              // no City at all
                "001;1;00030006;B;D;0;0;0;0;0;0;1;0;ACME\0 GmbH;Graz\r\n"              // cut at the NUL
                "001\t1\t00030007\tB\tD\t0\t0\t0\t0\t0\t0\t1\t0\tKelvin GMBH\tWien\r\n"s; // cut at tabs
  batch.folders = {"1/00", "2/00", "3/00", "4/00", "5/00", "6/00", "7/00"};
  batch.Write(folder.Path() / "M");
  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openFolder, folder.Wide());
  ASSERT_TRUE(plant.Load());
  const struct {
    std::vector<std::pair<LPCWSTR, LPCWSTR>> pairs;
    std::string expected;
  } cases[] = {
      {{{u"Customer", u"*gmbh"}}, " 00030002 00030003 00030007"},
      {{{u"Customer", u"kelvin*"}}, " 00030002 00030007"},
      {{{u"Customer", u"inge*"}}, " 00030003"},
      {{{u"Customer", u"*berg"}}, " 00030004"},
      {{{u"City", u"oslo"}}, " 00030004 00030005"},
      {{{u"City", u"gmbh*"}}, " 00030001 00030005"},
      {{{u"Customer", u"acme"}}, " 00030006"},
  };
  plant.SetDocumentPattern(u"*");
  plant.SetBatchSelection(0, u"");
  for (const auto& c : cases) {
    plant.ClearQuery();
    for (const auto& [name, value] : c.pairs) plant.AddQueryPair(name, value);
    int searched = 0;
    int hits = 0;
    plant.Search(searched, hits);
    std::string found;
    CString number;
    for (int i = 0; i < plant.GetResultCount(); ++i) {
      plant.GetResult(i)->GetDocumentNumber(number);
      found += " " + number.ToUtf8();
    }
    EXPECT_EQ(found, c.expected) << CString(c.pairs[0].second).ToUtf8();
  }
}

// A value is matched as it is read: a quoted line's value without its quote marks, a delimiter
// inside the quotes kept, a quote mark written twice inside as one; an unquoted line as it stands.
TEST(SearchByText, ValuesAreMatchedAsRead) {
  TempFolder folder;
  BatchFiles batch;
  batch.header = Header("Quotes", {"Customer"});
  batch.index = "001;1;00040001;B;D;0;0;0;0;0;0;1;0;Plain Sons\r\n"
                "\"001\";\"1\";\"00040002\";\"B\";\"D\";\"0\";\"0\";\"0\";\"0\";\"0\";\"0\";\"1\";\"0\";\"Hansen; Berg\"\r\n"
                "\"001\";\"1\";\"00040003\";\"B\";\"D\";\"0\";\"0\";\"0\";\"0\";\"0\";\"0\";\"1\";\"0\";\"Smith \"\"Quick\"\" & Sons\"\r\n"
                "\"001\";\"1\";\"00040004\";\"B\";\"D\";\"0\";\"0\";\"0\";\"0\";\"0\";\"0\";\"1\";\"0\";\"Say \"\"Hi\"\"\"\r\n"
                "001;1;00040005;B;D;0;0;0;0;0;0;1;0;O\"\"Brien\r\n";
  batch.folders = {"1/00", "2/00", "3/00", "4/00", "5/00"};
  batch.Write(folder.Path() / "Q");
  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openFolder, folder.Wide());
  ASSERT_TRUE(plant.Load());
  const struct {
    LPCWSTR pattern;
    std::string expected;  // the hits' numbers and values as the document gives them
  } cases[] = {
      {u"plain sons", " 00040001=Plain Sons"},
      {u"hansen; berg", " 00040002=Hansen; Berg"},
      {u"*; *", " 00040002=Hansen; Berg"},
      {u"smith \"quick\" & sons", " 00040003=Smith \"Quick\" & Sons"},
      {u"*\"quick\"*", " 00040003=Smith \"Quick\" & Sons"},
      {u"smith ?quick? *", " 00040003=Smith \"Quick\" & Sons"},
      {u"*\"\"quick*", ""},
      {u"say \"hi\"", " 00040004=Say \"Hi\""},
      {u"*\"", " 00040004=Say \"Hi\""},
      {u"*\"\"*", " 00040005=O\"\"Brien"},
      {u"o??brien", " 00040005=O\"\"Brien"},
  };
  plant.SetDocumentPattern(u"*");
  plant.SetBatchSelection(0, u"");
  for (const auto& c : cases) {
    plant.ClearQuery();
    plant.AddQueryPair(u"Customer", c.pattern);
    int searched = 0;
    int hits = 0;
    plant.Search(searched, hits);
    std::string found;
    CString number;
    CString value;
    for (int i = 0; i < plant.GetResultCount(); ++i) {
      plant.GetResult(i)->GetDocumentNumber(number);
      plant.GetResult(i)->GetValue(0, value);
      found += " " + number.ToUtf8() + "=" + value.ToUtf8();
    }
    EXPECT_EQ(found, c.expected) << CString(c.pattern).ToUtf8();
  }
}
