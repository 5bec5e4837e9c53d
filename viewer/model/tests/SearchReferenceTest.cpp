// The search's results over the generated sample sets, against the results recorded in
// data/search-reference.txt before the search was rewritten for speed: a faster search must find
// the same documents, in the same order, with the same numbers, page counts and values.
//
// Each line of the reference is "set<TAB>query<TAB>hits<TAB>digest". The digest is an FNV-1a hash
// of every result's batch display name, number, page count and values. Where the sample sets
// themselves change, the test prints the lines to record instead.

#include "viewer/model/CIBSBatch.h"
#include "viewer/model/CIBSPlant.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

// A query: the document number's pattern, then pairs of field name and pattern.
struct Query {
  const char* name;
  const char16_t* number;
  std::vector<std::pair<const char16_t*, const char16_t*>> pairs;
};

// Wildcards at either end and inside, letter case inside and outside ASCII, values outside
// ASCII, a field only some batches have, several conditions at once, and the number alone.
const Query kQueries[] = {
    {"all", u"*", {}},
    {"number", u"0001*", {}},
    {"number-one", u"????0002", {}},
    {"customer-city", u"*", {{u"Customer", u"m*gmbh"}, {u"City", u"z?rich*"}}},
    {"customer-upper", u"*", {{u"Customer", u"*GMBH"}}},
    {"umlaut", u"*", {{u"Customer", u"M\u00dcLLER*"}}},
    {"question-outside-ascii", u"*", {{u"City", u"Krak?w"}}},
    {"cjk", u"*", {{u"Customer", u"\u6771\u4eac*"}}},
    {"ring", u"*", {{u"Party", u"\u00e5*"}}},
    {"apostrophe", u"*", {{u"Customer", u"o'neill*"}}},
    {"ampersand", u"*", {{u"Party", u"*&*"}}},
    {"delimiter-in-value", u"*", {{u"Party", u"*;*"}}},
    {"department", u"*", {{u"Department", u"?R"}}},
    {"employee", u"*", {{u"Employee", u"*o*"}}},
    {"two-conditions", u"*", {{u"Customer", u"*a*"}, {u"Amount", u"*5*"}}},
    {"number-and-value", u"0001????", {{u"Customer", u"*e*"}}},
    {"no-such-value", u"*", {{u"Customer", u"xyzzy"}}},
    {"date", u"*", {{u"Date", u"2008-0?-1*"}}},
};

void Hash(uint64_t& hash, const std::string& text) {
  for (unsigned char ch : text) {
    hash ^= ch;
    hash *= 1099511628211ull;
  }
  hash ^= 0xFF;
  hash *= 1099511628211ull;
}

// "hits<TAB>digest" of the plant's results.
std::string Digest(const CIBSPlant& plant, int hits) {
  uint64_t hash = 14695981039346656037ull;
  for (int i = 0; i < plant.GetResultCount(); ++i) {
    const CIBSDocument* document = plant.GetResult(i);
    CString text;
    plant.GetBatchDisplayName(document->GetBatch(), text);
    Hash(hash, text.ToUtf8());
    document->GetDocumentNumber(text);
    Hash(hash, text.ToUtf8());
    Hash(hash, std::to_string(document->GetPageCount()));
    for (int field = 0; field < document->GetValueCount(); ++field) {
      document->GetValue(field, text);
      Hash(hash, text.ToUtf8());
    }
  }
  char digest[40];
  std::snprintf(digest, sizeof digest, "%d\t%016llx", hits, static_cast<unsigned long long>(hash));
  return digest;
}

TEST(SearchReference, SampleSetsGiveTheRecordedResults) {
  std::map<std::string, std::string> recorded;  // "set<TAB>query" -> "hits<TAB>digest"
  std::ifstream in(QV_SEARCH_REFERENCE);
  for (std::string line; std::getline(in, line);) {
    const size_t second = line.find('\t', line.find('\t') + 1);
    if (second != std::string::npos) recorded[line.substr(0, second)] = line.substr(second + 1);
  }
  ASSERT_FALSE(recorded.empty()) << "no reference in " << QV_SEARCH_REFERENCE;

  std::string toRecord;
  for (const char* set : {"small", "realistic"}) {
    CIBSPlant plant;
    plant.SetOpenMode(CIBSPlant::openFolder, CString::FromUtf8(std::string(QV_SAMPLES_DIR) + "/" + set));
    ASSERT_TRUE(plant.Load()) << set;
    plant.SetBatchSelection(0, u"");
    for (const Query& query : kQueries) {
      plant.ClearQuery();
      plant.SetDocumentPattern(query.number);
      for (const auto& [name, value] : query.pairs) plant.AddQueryPair(name, value);
      int searched = 0;
      int hits = 0;
      plant.Search(searched, hits);
      const std::string key = std::string(set) + "\t" + query.name;
      const std::string digest = Digest(plant, hits);
      EXPECT_EQ(recorded[key], digest) << key;
      toRecord += key + "\t" + digest + "\n";
    }
  }
  if (HasFailure()) std::printf("The lines for %s:\n%s", QV_SEARCH_REFERENCE, toRecord.c_str());
}

}  // namespace
