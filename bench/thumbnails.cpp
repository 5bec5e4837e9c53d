// Thumbnails of A4 300-dpi Group 4 pages: decode each page and reduce it to fit 100 x 100 with
// scale to grey, as the viewer's thumbnail list does. Prints milliseconds per page and, when
// vipsthumbnail is installed, the same for it and the ratio.
//
//   thumbnails [page.tif ...]   (default: the test data's A4 pages, 100 pages in all)

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

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> sources;
  for (int i = 1; i < argc; ++i) sources.emplace_back(argv[i]);
  if (sources.empty()) {
    sources = {std::string(QV_TESTDATA_DIR) + "/tiff/G4.TIF", std::string(QV_TESTDATA_DIR) + "/tiff/CCITT-bounds.tif"};
  }
  // Every page its own file, as in a folder of scans.
  char folder[] = "/tmp/qv-thumbnails-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  std::vector<std::string> pages;
  for (int i = 0; i < kPages; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/page%03d.tif", i);
    pages.push_back(folder + std::string(name));
    std::filesystem::copy_file(sources[i % sources.size()], pages.back());
  }

  long long checksum = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& page : pages) {
    imaging::Bitmap bitmap, thumbnail;
    if (!imaging::Load(Utf8ToWide(page).c_str(), bitmap)) {
      std::fprintf(stderr, "cannot load %s\n", page.c_str());
      return 1;
    }
    int w, h;
    Fit(bitmap.width, bitmap.height, w, h);
    const RECT all{0, 0, bitmap.width, bitmap.height};
    if (bitmap.bitsPerPixel == 1 ? !imaging::ScaleToGray(bitmap, all, thumbnail, w, h)
                                 : !imaging::CreateResampled(thumbnail, bitmap, w, h, imaging::kResizeResample)) {
      std::fprintf(stderr, "cannot scale %s\n", page.c_str());
      return 1;
    }
    checksum += thumbnail.bits[0];
  }
  const double ours = Milliseconds(std::chrono::steady_clock::now() - start) / kPages;
  std::printf("bitmap store: %.2f ms/page (%d pages, checksum %lld)\n", ours, kPages, checksum);

  if (std::system("command -v vipsthumbnail >/dev/null 2>&1") == 0) {
    std::string command = "vipsthumbnail -s " + std::to_string(kBox) + "x" + std::to_string(kBox) + " -o " + folder + "/%s-thumb.png";
    for (const std::string& page : pages) command += " " + page;
    const auto vipsStart = std::chrono::steady_clock::now();
    const int result = std::system(command.c_str());
    const double vips = Milliseconds(std::chrono::steady_clock::now() - vipsStart) / kPages;
    if (result == 0) std::printf("vipsthumbnail: %.2f ms/page; the store is %.1f times as fast\n", vips, vips / ours);
  } else {
    std::printf("vipsthumbnail is not installed (scripts/install-deps.sh installs it)\n");
  }
  std::filesystem::remove_all(folder);
  return 0;
}
