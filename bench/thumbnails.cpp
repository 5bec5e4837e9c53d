// Thumbnails of A4 300-dpi Group 4 pages: decode each page and reduce it to fit 100 x 100 with
// scale to grey, as the viewer's thumbnail list does. Both sides run as whole processes over the
// same 100 page files: this program started again with --make, and vipsthumbnail when it is
// installed. Prints the medians of RUNS (7) runs per page and the ratio.
//
//   thumbnails [RUNS [page.tif ...]]   (default pages: the shared collection's A4 pages)

#include "platform/core/codepage.h"
#include "platform/imaging/File.h"
#include "platform/imaging/Scale.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kPages = 100;
constexpr int kBox = 100;

double Milliseconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The thumbnail size that fits the box and keeps the aspect ratio.
void Fit(int width, int height, int& w, int& h) {
  if (width >= height) {
    w = kBox;
    h = std::max(1, static_cast<int>(static_cast<long long>(height) * kBox / width));
  } else {
    h = kBox;
    w = std::max(1, static_cast<int>(static_cast<long long>(width) * kBox / height));
  }
}


// Makes the thumbnails of the pages; answers the sum of their first bytes, or -1.
long long MakeThumbnails(char** pages, int count) {
  long long checksum = 0;
  for (int i = 0; i < count; ++i) {
    imaging::Bitmap bitmap, thumbnail;
    if (!imaging::Load(Utf8ToWide(pages[i]).c_str(), bitmap)) {
      std::fprintf(stderr, "cannot load %s\n", pages[i]);
      return -1;
    }
    int w, h;
    Fit(bitmap.width, bitmap.height, w, h);
    const RECT all{0, 0, bitmap.width, bitmap.height};
    if (bitmap.bitsPerPixel == 1 ? !imaging::ScaleToGray(bitmap, all, thumbnail, w, h)
                                 : !imaging::CreateResampled(thumbnail, bitmap, w, h, imaging::kResizeResample)) {
      std::fprintf(stderr, "cannot scale %s\n", pages[i]);
      return -1;
    }
    checksum += thumbnail.bits[0];
  }
  return checksum;
}

// Median milliseconds of the command as a whole process; negative when it fails.
double TimeCommand(const std::string& command, int runs) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system((command + " >/dev/null").c_str()) != 0) return -1;
    times.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "--make") return MakeThumbnails(argv + 2, argc - 2) < 0 ? 1 : 0;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  std::vector<std::string> sources;
  for (int i = 2; i < argc; ++i) sources.emplace_back(argv[i]);
  if (sources.empty()) {
    sources = {std::string(QV_TESTDATA_DIR) + "/tiff/G4.TIF", std::string(QV_TESTDATA_DIR) + "/tiff/CCITT-bounds.tif"};
  }
  // Every page its own file, as in a folder of scans.
  char folder[] = "/tmp/qv-thumbnails-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  std::string pages;
  for (int i = 0; i < kPages; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/page%03d.tif", i);
    std::filesystem::copy_file(sources[i % sources.size()], folder + std::string(name));
    pages += std::string(" ") + folder + name;
  }

  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const double ours = TimeCommand(self + " --make" + pages, runs) / kPages;
  if (ours < 0) return 1;
  std::printf("bitmap store:  %6.2f ms/page, whole process over %d pages, median of %d\n", ours, kPages, runs);
  if (std::system("command -v vipsthumbnail >/dev/null 2>&1") == 0) {
    const std::string command = "vipsthumbnail -s " + std::to_string(kBox) + "x" + std::to_string(kBox) + " -o " + folder +
                                "/%s-thumb.png" + pages;
    const double vips = TimeCommand(command, runs) / kPages;
    if (vips > 0) std::printf("vipsthumbnail: %6.2f ms/page; the store is %.1f times as fast (target: 10 or more)\n", vips, vips / ours);
  } else {
    std::printf("vipsthumbnail is not installed (scripts/install-deps.sh installs it)\n");
  }
  std::filesystem::remove_all(folder);
  return 0;
}
