// One page of about 4,000 unknown tags (tests/data/faults/unknown-tags-4000.tif) read by the
// TIFF layer and the stored-image loader against tiffinfo on the same file, best of five runs
// each, printed as ratios. Every operation should parse the page once, so none should take much
// more than tiffinfo does.

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/CQVTiffFile.h"
#include "platform/core/CString.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

constexpr int kRuns = 5;

// The best time of the runs in seconds; negative when a run fails.
double Best(const std::function<bool()>& run) {
  double best = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!run()) return -1;
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main() {
  const std::string file = std::string(QV_SOURCE_DIR) + "/foundation/imaging/tests/data/faults/unknown-tags-4000.tif";
  const CString path = CString::FromUtf8(file);
  const double peer = Best([&] { return std::system(("tiffinfo '" + file + "' >/dev/null 2>&1").c_str()) == 0; });
  std::printf("tiffinfo                      %7.3f s\n", peer);
  const struct {
    const char* name;
    std::function<bool()> run;
  } operations[] = {
    { "stored image, full size", [&] { CQVBitmapHandle b; return CQVBDEImageFormat::LoadImage(path.GetString(), b, 1) != FALSE; } },
    { "stored image, reduced", [&] { CQVBitmapHandle b; return CQVBDEImageFormat::LoadImage(path.GetString(), b, 2) != FALSE; } },
    { "page decoded", [&] { CQVTiffFile t; t.SetFileForOperation(path); CQVBitmapHandle b; return t.DecodeTif(0, b) != FALSE; } },
    { "page facts", [&] { CQVTiffFile t; t.SetFileForOperation(path); tagTiffImageInfo i; return t.GetTiffImageInfo(i) != FALSE; } },
    { "tag list", [&] {
        CQVTiffFile t;
        t.SetFileForOperation(path);
        DWORD next = 0;
        CArray<tagTiffTagInfo> tags;
        const BOOL ok = t.GetTagList(WORD(0), next, tags);
        CQVTiffFile::FreeTagInfoArray(tags);
        return ok != FALSE;
      } },
  };
  for (const auto& operation : operations) {
    const double ours = Best(operation.run);
    std::printf("%-29s %7.3f s  %5.2f x tiffinfo\n", operation.name, ours, peer > 0 && ours >= 0 ? ours / peer : -1.0);
  }
  return 0;
}
