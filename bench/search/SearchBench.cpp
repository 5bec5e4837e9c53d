// How fast the viewer searches a large set of published batches, and what the loaded index costs:
//
//   qv_search_bench FOLDER [RUNS]
//
// FOLDER holds batch roots (the large sample set). The query (Customer = m*gmbh, City = z?rich*,
// with wildcards, over every batch) is timed as a user meets it:
//   - the first search of a fresh process, which finds nothing loaded yet (RUNS processes);
//   - warm searches in one process (each still reads every index afresh, as the viewer does);
// against two yardsticks over the same index files, each a whole process: `grep -ci` counting one
// word of the query, and a case-insensitive grep anchored to the same two fields that counts the
// same hits. Every figure is the median of RUNS (7) runs. The memory that the loaded index takes
// after a search is set against the size of the index files; the results' digest lets two builds
// be compared.

#include "bench/search/BenchTiming.h"
#include "viewer/model/CIBSBatch.h"
#include "viewer/model/CIBSPlant.h"

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

bool Open(CIBSPlant& plant, const std::string& folder) {
  plant.SetOpenMode(CIBSPlant::openFolder, CString::FromUtf8(folder));
  if (!plant.Load()) return false;
  plant.SetDocumentPattern(u"*");
  plant.AddQueryPair(u"Customer", u"m*gmbh");
  plant.AddQueryPair(u"City", u"z?rich*");
  plant.SetBatchSelection(0, u"");
  return true;
}

// FNV-1a over every result's batch, number and values.
unsigned long long Digest(const CIBSPlant& plant) {
  unsigned long long hash = 14695981039346656037ull;
  const auto add = [&hash](const CString& text) {
    for (unsigned char ch : text.ToUtf8() + '\n') hash = (hash ^ ch) * 1099511628211ull;
  };
  CString text;
  for (int i = 0; i < plant.GetResultCount(); ++i) {
    const CIBSDocument* document = plant.GetResult(i);
    document->GetBatch()->GetBatchName(text);
    add(text);
    document->GetDocumentNumber(text);
    add(text);
    for (int field = 0; field < document->GetValueCount(); ++field) {
      document->GetValue(field, text);
      add(text);
    }
  }
  return hash;
}

// The child: one search in a fresh process; prints seconds, hits, digest and heap bytes.
int FirstSearch(const std::string& folder) {
  const size_t heapBefore = HeapInUse();
  CIBSPlant plant;
  if (!Open(plant, folder)) return 1;
  int searched = 0, hits = 0;
  const auto start = std::chrono::steady_clock::now();
  plant.Search(searched, hits);
  const double seconds = Seconds(start);
  std::printf("%.6f %d %016llx %zu\n", seconds, hits, Digest(plant), HeapInUse() - heapBefore);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--first") return FirstSearch(argv[2]);
  if (argc < 2) {
    std::fprintf(stderr, "usage: qv_search_bench FOLDER [RUNS]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;

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
  std::sort(indexFiles.begin(), indexFiles.end());
  if (indexFiles.empty()) {
    std::fprintf(stderr, "qv_search_bench: no published batches in %s\n", folder.c_str());
    return 1;
  }
  std::string files;
  for (const std::string& file : indexFiles) files += " '" + file + "'";
  // grep's counts go through a pipe: with its output on /dev/null grep would stop at the first
  // match. The anchored grep: the Customer value is the 14th field, City the 18th.
  const std::string grepWord = "grep -ci 'gmbh'" + files;
  // grep reads bytes (its fastest way); the one character of "z?rich" is taken as one or two bytes,
  // which counts the same hits here.
  const std::string grepFields = "LC_ALL=C grep -ciE '^([^;]*;){13}m[^;]*gmbh;([^;]*;){3}z(.|..)rich[^;]*(;|$)'" + files;

  // First searches, each in a process of its own; the file cache is warmed by one run first.
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const std::string child = "'" + self + "' --first '" + folder + "'";
  std::string output;
  std::vector<double> first, firstProcess;
  int hits = -1;
  char digest[20] = "";
  size_t heap = 0;
  // The greps run in turn with the first searches, so that both meet the same load of the machine.
  std::vector<double> word, fields;
  long long fieldHits = -1;
  Run(child, output);
  for (int run = 0; run < runs; ++run) {
    const double process = Run(child, output);
    double seconds = 0;
    if (process < 0 || std::sscanf(output.c_str(), "%lf %d %19s %zu", &seconds, &hits, digest, &heap) != 4) {
      std::fprintf(stderr, "qv_search_bench: the first search failed\n");
      return 1;
    }
    first.push_back(seconds);
    firstProcess.push_back(process);
    word.push_back(Run(grepWord + " | awk -F: '{n += $NF} END {print n}'", output));
    fields.push_back(Run(grepFields + " | awk -F: '{n += $NF} END {print n}'", output));
    fieldHits = std::atoll(output.c_str());
  }

  // Warm searches in this process.
  CIBSPlant plant;
  if (!Open(plant, folder)) return 1;
  int searched = 0, warmHits = 0;
  plant.Search(searched, warmHits);
  std::vector<double> warm;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    plant.Search(searched, warmHits);
    warm.push_back(Seconds(start));
  }


  long long documents = 0;
  for (int i = 0; i < plant.GetBatchCount(); ++i) documents += plant.GetBatch(i)->GetDocumentCount();
  const double firstMedian = Median(first), warmMedian = Median(warm), fieldsMedian = Median(fields);
  std::printf("index files:        %zu, %.1f MB, %lld lines in %d batches searched\n", indexFiles.size(), indexBytes / 1e6,
              documents, searched);
  std::printf("query:              Customer = m*gmbh, City = z?rich*: %d hits (warm %d), digest %s\n", hits, warmHits, digest);
  std::printf("first search:       %7.1f ms  (whole process %.1f ms), medians of %d processes\n", firstMedian * 1e3,
              Median(firstProcess) * 1e3, runs);
  std::printf("warm search:        %7.1f ms  median of %d\n", warmMedian * 1e3, runs);
  std::printf("grep -ci word:      %7.1f ms  whole process\n", Median(word) * 1e3);
  std::printf("grep, two fields:   %7.1f ms  whole process, %lld hits%s\n", fieldsMedian * 1e3, fieldHits,
              fieldHits == hits ? " (the same)" : " (NOT the same)");
  std::printf("first / field grep: %7.2f  (target: 2 or less)\n", firstMedian / fieldsMedian);
  std::printf("warm / field grep:  %7.2f  (target: 1.2 or less)\n", warmMedian / fieldsMedian);
  std::printf("loaded index:       %7.1f MB after the first search, %.2f times the files (target: 1.2 or less)\n",
              heap / 1e6, static_cast<double>(heap) / static_cast<double>(indexBytes));
  return 0;
}
