// How fast the viewer searches a large set of published batches, and what the loaded index costs:
//
//   qv_search_bench FOLDER [RUNS]
//
// FOLDER holds batch roots (the large sample set). A search with wildcards over every batch, which
// reads each index afresh as the viewer always does, is timed against `grep -ci` counting a word
// of the same query in the same index files. The memory that the loaded documents take is set
// against the size of the index files. Each figure is the best of RUNS (5) runs.

#include "viewer/CIBSBatch.h"
#include "viewer/CIBSPlant.h"

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Runs the command and reads its output to the end; false when it fails.
bool Run(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return false;
  char buffer[4096];
  while (std::fread(buffer, 1, sizeof buffer, pipe) > 0) {
  }
  return pclose(pipe) == 0;
}

double Seconds(const std::chrono::steady_clock::time_point& since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: qv_search_bench FOLDER [RUNS]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

  std::vector<std::string> indexFiles;
  uintmax_t indexBytes = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const fs::path index = entry.path() / "DOC_CD/Database/index.dat";
    if (fs::exists(index, error)) {
      indexFiles.push_back(index.string());
      indexBytes += fs::file_size(index, error);
    }
  }
  if (indexFiles.empty()) {
    std::fprintf(stderr, "qv_search_bench: no published batches in %s\n", folder.c_str());
    return 1;
  }

  // grep's counts go through a pipe: with its output on /dev/null grep would stop at the first match.
  std::string grep = "grep -ci 'gmbh'";
  for (const std::string& file : indexFiles) grep += " '" + file + "'";

  const size_t heapBefore = HeapInUse();
  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openFolder, CString::FromUtf8(folder));
  if (!plant.Load()) {
    std::fprintf(stderr, "qv_search_bench: cannot open the batches in %s\n", folder.c_str());
    return 1;
  }
  plant.SetDocumentPattern(u"*");
  plant.AddQueryPair(u"Customer", u"m*gmbh");
  plant.AddQueryPair(u"City", u"z?rich*");
  plant.SetBatchSelection(0, u"");

  double searchBest = 1e9;
  double grepBest = 1e9;
  int searched = 0;
  int hits = 0;
  if (!Run(grep)) std::fprintf(stderr, "qv_search_bench: grep failed\n");
  for (int run = 0; run < runs; ++run) {
    auto start = std::chrono::steady_clock::now();
    plant.Search(searched, hits);
    searchBest = std::min(searchBest, Seconds(start));
    start = std::chrono::steady_clock::now();
    if (!Run(grep)) std::fprintf(stderr, "qv_search_bench: grep failed\n");
    grepBest = std::min(grepBest, Seconds(start));
  }
  const size_t heapLoaded = HeapInUse() - heapBefore;

  long long documents = 0;
  for (int i = 0; i < plant.GetBatchCount(); ++i) documents += plant.GetBatch(i)->GetDocumentCount();
  std::printf("index files:   %zu, %.1f MB, %lld documents in %d batches searched\n", indexFiles.size(), indexBytes / 1e6,
              documents, searched);
  std::printf("query:         Customer = m*gmbh, City = z?rich*: %d hits\n", hits);
  std::printf("search:        %.1f ms (reads and parses every index afresh)\n", searchBest * 1e3);
  std::printf("grep -ci:      %.1f ms\n", grepBest * 1e3);
  std::printf("time ratio:    %.2f (target: 5 or less)\n", searchBest / grepBest);
  std::printf("loaded index:  %.1f MB in memory, %.2f times the files (target: 3 or less)\n", heapLoaded / 1e6,
              static_cast<double>(heapLoaded) / static_cast<double>(indexBytes));
  return 0;
}
