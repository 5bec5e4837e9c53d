// The sample sets of published batches that the build makes: every reader of the viewer must
// find in them what the generator's manifest says it wrote.

#include "viewer/model/CIBSBatch.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/model/tests/BatchFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace {

struct Manifest {
  struct Batch {
    std::string name;
    int lines { 0 };
    int valid { 0 };
  };
  std::map<std::string, Batch> batches;  // by folder
  // folder, field, value, documents
  std::vector<std::tuple<std::string, std::string, std::string, int>> values;
  // folder, number, image files
  std::vector<std::tuple<std::string, std::string, int>> images;
};

Manifest ReadManifest(const std::string& folder) {
  Manifest manifest;
  std::ifstream in(folder + "/manifest.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; std::getline(parts, field, '\t');) fields.push_back(field);
    if (fields[0] == "batch") manifest.batches[fields[1]] = {fields[2], std::stoi(fields[3]), std::stoi(fields[4])};
    if (fields[0] == "value") manifest.values.emplace_back(fields[1], fields[2], fields[3], std::stoi(fields[4]));
    if (fields[0] == "images") manifest.images.emplace_back(fields[1], fields[2], std::stoi(fields[3]));
  }
  return manifest;
}

CIBSBatch* BatchInFolder(const CIBSPlant& plant, const std::string& folder) {
  for (int i = 0; i < plant.GetBatchCount(); ++i) {
    const std::string root = plant.GetBatch(i)->GetRoot().ToUtf8();
    if (root.ends_with("/" + folder + "/")) return plant.GetBatch(i);
  }
  return nullptr;
}

void CheckSet(const std::string& set) {
  const std::string folder = std::string(QV_SAMPLES_DIR) + "/" + set;
  const Manifest manifest = ReadManifest(folder);
  ASSERT_FALSE(manifest.batches.empty()) << "no manifest in " << folder;
  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openFolder, CString::FromUtf8(folder));
  ASSERT_TRUE(plant.Load());
  ASSERT_EQ(plant.GetBatchCount(), static_cast<int>(manifest.batches.size()));

  int searched = 0;
  int hits = 0;
  plant.SetDocumentPattern(u"*");
  plant.SetBatchSelection(0, u"");
  plant.Search(searched, hits);
  EXPECT_EQ(searched, plant.GetBatchCount());
  for (const auto& [name, expected] : manifest.batches) {
    SCOPED_TRACE(set + "/" + name);
    CIBSBatch* batch = BatchInFolder(plant, name);
    ASSERT_NE(batch, nullptr);
    CString batchName;
    EXPECT_TRUE(batch->GetBatchName(batchName));
    EXPECT_EQ(batchName.ToUtf8(), expected.name);
    EXPECT_EQ(batch->GetDocumentCount(), expected.lines);
    int valid = 0;
    for (int i = 0; i < batch->GetDocumentCount(); ++i) valid += batch->GetDocument(i)->IsValid() ? 1 : 0;
    EXPECT_EQ(valid, expected.valid);
  }
  for (const auto& [batchFolder, number, count] : manifest.images) {
    CIBSBatch* batch = BatchInFolder(plant, batchFolder);
    ASSERT_NE(batch, nullptr);
    CIBSDocument* document = nullptr;
    CString documentNumber;
    for (int i = 0; i < batch->GetDocumentCount() && !document; ++i) {
      if (batch->GetDocument(i)->GetDocumentNumber(documentNumber) && documentNumber.ToUtf8() == number) document = batch->GetDocument(i);
    }
    ASSERT_NE(document, nullptr) << batchFolder << "/" << number;
    CDPXStringList paths;
    EXPECT_TRUE(document->CollectImageFiles(paths));
    EXPECT_EQ(paths.GetCount(), count) << batchFolder << "/" << number;
  }

  // An exact value finds exactly the documents that have it.
  for (const auto& [batchFolder, field, value, count] : manifest.values) {
    CIBSBatch* batch = BatchInFolder(plant, batchFolder);
    CString displayName;
    plant.GetBatchDisplayName(batch, displayName);
    plant.ClearQuery();
    plant.AddQueryPair(CString::FromUtf8(field), CString::FromUtf8(value));
    plant.SetBatchSelection(1, displayName);
    plant.Search(searched, hits);
    EXPECT_EQ(hits, count) << batchFolder << " " << field << " = " << value;
  }
}

}  // namespace

TEST(SampleSets, SmallSet) { CheckSet("small"); }

TEST(SampleSets, RealisticSet) { CheckSet("realistic"); }

TEST(SampleSets, SmallSetProfile) {
  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openProfile, CString::FromUtf8(std::string(QV_SAMPLES_DIR) + "/small/orbel.dps"));
  ASSERT_TRUE(plant.Load());
  CDPXStringList names;
  plant.GetBatchDisplayNames(names);
  EXPECT_EQ(Texts(names), std::vector<std::string> {"Invoices 2008"});
}
