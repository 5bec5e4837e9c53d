// PDF of 200 A4 Group 4 pages: our writer (stored images loaded and added page by page) against
// tiff2pdf (one multi-page TIFF) and img2pdf (the page files), printed as ratios. Our writer runs
// twice: with the pages as they were read, and with every page changed after loading (one pixel
// set to the colour it has), so that each is decoded and coded again.

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/CQVPDFWriter.h"
#include "foundation/imaging/CQVTiffFile.h"
#include "platform/core/CString.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kPages = 200;

double Seconds(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds to write the PDF of the stored images through our writer; negative on failure.
double TimeWriter(const std::vector<std::string>& files, const std::string& pdf, bool change) {
  const auto start = std::chrono::steady_clock::now();
  CQVPDFWriter writer(CString::FromUtf8(pdf).GetString());
  for (const std::string& file : files) {
    CQVBitmapHandle bitmap;
    if (!CQVBDEImageFormat::LoadImage(CString::FromUtf8(file).GetString(), bitmap, 1)) return -1;
    COLORREF colour = 0;
    if (change && !(bitmap.GetPixelColor(0, 0, colour) && bitmap.SetPixelColor(0, 0, colour))) return -1;
    if (!writer._AddImage(bitmap)) return -1;
  }
  if (!writer.Finish()) return -1;
  return Seconds(start);
}

double TimeCommand(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) return -1;
  return Seconds(start);
}

}  // namespace

int main() {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("qv-pdf-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string source = std::string(QV_TESTDATA_DIR) + "/tiff/G4.TIF";  // 2464 x 3248, 300 dpi

  // The pages as the system stores them, and as one multi-page file for tiff2pdf.
  CQVBitmapHandle page;
  CQVTiffFile tiff;
  tiff.SetFileForOperation(CString::FromUtf8(source));
  if (!tiff.DecodeTif(0, page)) return 1;
  std::vector<std::string> files;
  std::string list;
  for (int i = 0; i < kPages; ++i) {
    files.push_back((dir / ("page" + std::to_string(i) + ".tif")).string());
    if (!CQVBDEImageFormat::CreateImage(CString::FromUtf8(files.back()).GetString(), page)) return 1;
    list += " " + files.back();
  }
  const std::string multi = (dir / "all.tif").string();
  if (std::system(("tiffcp" + list + " " + multi).c_str()) != 0) return 1;

  const double ours = TimeWriter(files, (dir / "ours.pdf").string(), false);
  const double changed = TimeWriter(files, (dir / "changed.pdf").string(), true);
  if (ours < 0 || changed < 0) return 1;
  const double tiff2pdf = TimeCommand("tiff2pdf -o " + (dir / "tiff2pdf.pdf").string() + " " + multi);
  const double img2pdf = TimeCommand("img2pdf -o " + (dir / "img2pdf.pdf").string() + list);

  std::printf("PDF of %d A4 Group 4 pages\n", kPages);
  std::printf("  CQVPDFWriter  %8.3f s   pages as read\n", ours);
  std::printf("  CQVPDFWriter  %8.3f s   pages changed after loading\n", changed);
  if (tiff2pdf > 0) std::printf("  tiff2pdf      %8.3f s   ours / tiff2pdf = %.2f\n", tiff2pdf, ours / tiff2pdf);
  if (img2pdf > 0) std::printf("  img2pdf       %8.3f s   ours / img2pdf  = %.2f\n", img2pdf, ours / img2pdf);
  std::filesystem::remove_all(dir);
  return 0;
}
