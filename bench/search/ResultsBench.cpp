// From starting a search to its results listed: how much the results dialog adds to the search.
//
//   qv_results_bench FOLDER [RUNS]
//
// FOLDER holds batch roots (the large sample set). Two queries over every batch, a narrow one
// (Customer = m*gmbh, City = z?rich*) and a broad one (Customer = a*), each timed in one process:
//   - the search alone (every index read afresh, as the viewer does);
//   - the search and the results dialog filled: rows made, sorted by the batch column, the
//     window painted. The list of the search before is emptied first, untimed, as the search
//     command does before it asks for the query;
// beside a case-insensitive grep over the same index files anchored to the same fields (a whole
// process). Every figure is the median of RUNS (5) runs. Target: the results shown within twice
// the time of the search alone.

#include "bench/search/BenchTiming.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/search/CSearchResultsDlg.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Query {
  const char* title;
  std::vector<std::pair<LPCWSTR, LPCWSTR>> pairs;
  // Anchored to the fields: Customer is the 14th field of a line, City the 18th.
  const char* grep;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: qv_results_bench FOLDER [RUNS]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);

  std::string files;
  std::error_code error;
  std::vector<std::string> indexFiles;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const fs::path index = entry.path() / "DOC_CD/Database/index.dat";
    if (fs::exists(index, error)) indexFiles.push_back(index.string());
  }
  std::sort(indexFiles.begin(), indexFiles.end());
  for (const std::string& file : indexFiles) files += " '" + file + "'";
  if (indexFiles.empty()) {
    std::fprintf(stderr, "qv_results_bench: no published batches in %s\n", folder.c_str());
    return 1;
  }

  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openFolder, CString::FromUtf8(folder));
  if (!plant.Load()) return 1;
  CSearchResultsDlg dialog;
  dialog.SetPlant(&plant);
  CString sortItem;
  BOOL ascending = TRUE;
  dialog.SetSortState(&sortItem, &ascending);

  const Query queries[] = {
      {"narrow: Customer = m*gmbh, City = z?rich*", {{u"Customer", u"m*gmbh"}, {u"City", u"z?rich*"}},
       "'^([^;]*;){13}m[^;]*gmbh;([^;]*;){3}z(.|..)rich[^;]*(;|$)'"},
      {"broad:  Customer = a*", {{u"Customer", u"a*"}}, "'^([^;]*;){13}a[^;]*(;|$)'"},
  };
  for (const Query& query : queries) {
    plant.ClearQuery();
    plant.SetDocumentPattern(u"*");
    for (const auto& [name, value] : query.pairs) plant.AddQueryPair(name, value);
    plant.SetBatchSelection(0, u"All");
    int searched = 0, hits = 0;
    plant.Search(searched, hits);  // warms the file cache
    std::vector<double> alone, shown, grep;
    long long grepHits = -1;
    std::string output;
    for (int run = 0; run < runs; ++run) {
      auto start = std::chrono::steady_clock::now();
      plant.Search(searched, hits);
      alone.push_back(Seconds(start));

      if (dialog.GetSafeHwnd()) dialog.ClearList();
      start = std::chrono::steady_clock::now();
      plant.Search(searched, hits);
      if (!dialog.ShowResults(nullptr)) {
        std::fprintf(stderr, "qv_results_bench: the results dialog cannot be shown\n");
        return 1;
      }
      dialog.UpdateWindow();
      QApplication::processEvents();
      shown.push_back(Seconds(start));

      grep.push_back(Run("LC_ALL=C grep -ciE " + std::string(query.grep) + files + " | awk -F: '{n += $NF} END {print n}'", output));
      grepHits = std::atoll(output.c_str());
    }
    const double searchMedian = Median(alone), shownMedian = Median(shown);
    std::printf("%s: %d hits in %d batches, %d rows listed (grep counts %lld)\n", query.title, hits, searched,
                dialog.GetList().GetItemCount(), grepHits);
    std::printf("  search alone:          %8.1f ms\n", searchMedian * 1e3);
    std::printf("  search, results shown: %8.1f ms\n", shownMedian * 1e3);
    std::printf("  grep, the same fields: %8.1f ms  whole process\n", Median(grep) * 1e3);
    std::printf("  shown / search alone:  %8.2f  (target: 2 or less)\n", shownMedian / searchMedian);
  }
  return 0;
}
