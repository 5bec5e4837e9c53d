#include "viewer/output/tests/OutputTestSupport.h"

#include "foundation/language/CQVRCM.h"
#include "viewer/model/CIBSPlant.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <unistd.h>

void UseViewerTexts() {
  CQVRCM::RegisterRCM(nullptr, u"ViewerOutputTest.drs", TRUE);
  ASSERT_TRUE(CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE));
}

int SearchAllDocuments(CIBSPlant& plant, const CString& batches, LPCWSTR field) {
  plant.SetOpenMode(CIBSPlant::openFolder, batches);
  if (!plant.Load()) return -1;
  plant.SetDocumentPattern(u"*");
  plant.ClearQuery();
  if (field && !plant.AddQueryPair(field, u"*")) return -1;
  plant.SetBatchSelection(0, u"");
  int searched = 0, hits = 0;
  plant.Search(searched, hits);
  return hits;
}

int RunCommand(const std::string& command, std::string& output) {
  output.clear();
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Python() { return ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3"; }

std::string TestSource(const std::string& relative) { return std::string(QV_SOURCE_DIR) + "/viewer/output/tests/" + relative; }
