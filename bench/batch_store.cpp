// Dense renumbering of the batch store against the shell: inserting a document at the front of a
// batch of 10,000 documents (every document renamed one up), and moving a page from one document
// of 5,000 pages to the front of another of 5,000 (the target's pages shift up, the source's close
// up: 10,000 renames), each against a shell loop that `mv`s the same number of folders one by one.
// Ratios above 1 mean the store is faster.

#include "batchstore/CQVBDEFS.h"
#include "platform/core/paths.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

double Seconds(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string Name(unsigned id) {
  char text[16];
  std::snprintf(text, sizeof text, "%08u", id);
  return text;
}

void MakeFolders(const std::filesystem::path& parent, unsigned count) {
  std::filesystem::create_directories(parent);
  for (unsigned id = 1; id <= count; ++id) std::filesystem::create_directory(parent / Name(id));
}

// Seconds for a shell loop that renames folders count..1 of the parent one up, one `mv` each.
double TimeShellLoop(const std::filesystem::path& parent, unsigned count) {
  const std::filesystem::path script = parent.parent_path() / "rename.sh";
  if (std::FILE* file = std::fopen(script.c_str(), "w")) {
    std::fprintf(file,
                 "cd '%s' || exit 1\n"
                 "for i in $(seq %u -1 1); do\n"
                 "  printf -v a %%08d $i; printf -v b %%08d $((i+1)); mv \"$a\" \"$b\" || exit 1\n"
                 "done\n",
                 parent.c_str(), count);
    std::fclose(file);
  }
  const auto start = std::chrono::steady_clock::now();
  if (std::system(("bash '" + script.string() + "'").c_str()) != 0) return -1;
  return Seconds(start);
}

void Report(const char* what, double store, double shell) {
  if (store < 0 || shell < 0) {
    std::printf("%-52s failed\n", what);
    return;
  }
  std::printf("%-52s store %8.3f s   mv loop %8.3f s   ratio %6.1f\n", what, store, shell, shell / store);
}

}  // namespace

int main() {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("qv-batch-bench-" + std::to_string(::getpid()));
  constexpr unsigned kDocuments = 10000, kPages = 5000;

  CQVBDEFS store;
  store.GetHelper().SetJobRootDir(PathFromNative(dir.string()));
  store.GetHelper().SetActiveBatch(u"B1");

  MakeFolders(dir / "B1", kDocuments);
  auto start = std::chrono::steady_clock::now();
  double insert = store.InsertDocument(1) ? Seconds(start) : -1;
  MakeFolders(dir / "shell", kDocuments);
  Report("insert a document before 10,000", insert, TimeShellLoop(dir / "shell", kDocuments));

  std::filesystem::remove_all(dir);
  MakeFolders(dir / "B1" / Name(1), kPages);
  MakeFolders(dir / "B1" / Name(2), kPages);
  start = std::chrono::steady_clock::now();
  double move = store.MovePageAsFirstPage(1, 1, 2) ? Seconds(start) : -1;
  MakeFolders(dir / "shell", 2 * kPages);
  Report("move a page across documents (10,000 renames)", move, TimeShellLoop(dir / "shell", 2 * kPages));

  std::filesystem::remove_all(dir);
  return 0;
}
