// PDF of A4 Group 4 pages, as a user meets it: whole processes, each given the same pages.
//
//   pdf_output [RUNS]
//
// Our writer runs as a process of its own (this program started again with --write), loading each
// stored page file and adding it to the PDF; tiff2pdf is given the same pages as one multi-page
// file (tiffcp makes it, timed apart, so that the time of making its input can be counted too);
// img2pdf takes the page files. Each is timed for 200 and 800 pages, the median of RUNS (7)
// processes, ours and tiff2pdf in turn; the cost per page and the fixed cost of a process follow
// from the two. A process
// that only loads the kernel library (--start) shows what of the fixed cost is loading. Last, our
// writer in one process with every page changed after loading (one pixel set to the colour it
// has), so that each is decoded and coded again.
//
// The viewer's own path is timed too, inside this process as inside the running viewer: open a
// published batch holding one document of the 200 pages, find the document and save it as PDF
// through the save task on its worker thread, as the viewer's "Save as PDF" does; the median of RUNS
// is set against tiff2pdf on the same 200 pages.

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/CQVPDFWriter.h"
#include "foundation/imaging/CQVTiffFile.h"
#include "platform/core/CString.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/output/CIBSImageSource.h"
#include "viewer/output/CSaveAsPDFTask.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kFew = 200;
constexpr int kMany = 800;

double Seconds(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Writes the PDF of the page files through our writer; false on failure.
bool WritePdf(const std::string& pdf, char** files, int count, bool change) {
  CQVPDFWriter writer(CString::FromUtf8(pdf).GetString());
  for (int i = 0; i < count; ++i) {
    CQVBitmapHandle bitmap;
    if (!CQVBDEImageFormat::LoadImage(CString::FromUtf8(files[i]).GetString(), bitmap, 1)) return false;
    COLORREF colour = 0;
    if (change && !(bitmap.GetPixelColor(0, 0, colour) && bitmap.SetPixelColor(0, 0, colour))) return false;
    if (!writer._AddImage(bitmap)) return false;
  }
  return writer.Finish() != FALSE;
}

// Saves the first document of the published batches below `root` as PDF through the viewer's
// save task; false on failure.
bool SaveDocument(const std::string& pdf, const std::string& root) {
  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openFolder, CString::FromUtf8(root).GetString());
  if (!plant.Load()) return false;
  plant.SetDocumentPattern(u"*");
  plant.ClearQuery();
  plant.SetBatchSelection(0, u"");
  int searched = 0, hits = 0;
  plant.Search(searched, hits);
  if (hits < 1) return false;
  CIBSDocumentImages images(plant.GetResult(0));
  CIBSImageListTasks task(&images);
  SaveAsPDFOption options;
  options.strPath = CString::FromUtf8(pdf);
  task.SetOptions(options);
  return task.Start() && task.WaitForExit() && task.Succeeded();
}

// A folder of published batches with one batch of one document whose pages are the files.
void PublishDocument(const std::filesystem::path& root, const std::vector<std::string>& pages) {
  const std::filesystem::path batch = root / "batch" / "DOC_CD";
  std::filesystem::create_directories(batch / "Database");
  std::filesystem::create_directories(batch / "DATA/1/00");
  std::ofstream(batch / "Database/indexhdr.dat", std::ios::binary)
      << "\"PUBLISHED INDEX\"\r\n\"Bench\"\r\n2008-02-20\r\nVOL001\r\nPUBLISHER\r\n1\r\n\"Customer\"\r\n";
  std::ofstream(batch / "Database/index.dat", std::ios::binary)
      << "001;1;00001001;B;D;0;0;0;0;0;0;" << pages.size() << ";0;ACME\r\n";
  for (size_t i = 0; i < pages.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "00001%03zu.TIF", i + 1);
    std::filesystem::create_hard_link(pages[i], batch / "DATA/1/00" / name);
  }
}

// Median seconds of each command as a whole process, the commands run in turn so that all meet
// the same load of the machine; negative for one that fails.
std::vector<double> TimeInTurns(const std::vector<std::string>& commands, int runs) {
  std::vector<std::vector<double>> times(commands.size());
  for (int run = 0; run < runs; ++run) {
    for (size_t i = 0; i < commands.size(); ++i) {
      const auto start = std::chrono::steady_clock::now();
      const bool ok = std::system((commands[i] + " >/dev/null 2>&1").c_str()) == 0;
      times[i].push_back(ok ? Seconds(start) : -1);
    }
  }
  std::vector<double> medians;
  for (const std::vector<double>& t : times) medians.push_back(*std::min_element(t.begin(), t.end()) < 0 ? -1 : Median(t));
  return medians;
}

double TimeCommand(const std::string& command, int runs) { return TimeInTurns({command}, runs)[0]; }

struct Line {
  const char* name;
  double few;
  double many;
};

void Print(const Line& line, const Line& ours) {
  const double perPage = (line.many - line.few) / (kMany - kFew);
  const double fixed = line.few - kFew * perPage;
  std::printf("  %-22s %8.3f s %8.3f s   %6.3f ms/page   %6.1f ms fixed", line.name, line.few, line.many, perPage * 1e3,
              fixed * 1e3);
  if (&line != &ours) {
    const double oursPerPage = (ours.many - ours.few) / (kMany - kFew);
    std::printf("   ours/this per page %.2f", oursPerPage / perPage);
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && (std::string(argv[1]) == "--write" || std::string(argv[1]) == "--changed")) {
    return WritePdf(argv[2], argv + 3, argc - 3, std::string(argv[1]) == "--changed") ? 0 : 1;
  }
  if (argc == 2 && std::string(argv[1]) == "--start") return 0;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("qv-pdf-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string source = std::string(QV_TESTDATA_DIR) + "/tiff/G4.TIF";  // 2464 x 3248, 300 dpi

  // The pages as the system stores them, and as multi-page files for tiff2pdf.
  CQVBitmapHandle page;
  CQVTiffFile tiff;
  tiff.SetFileForOperation(CString::FromUtf8(source));
  if (!tiff.DecodeTif(0, page)) return 1;
  std::string few, many;
  std::vector<std::string> fewFiles;
  for (int i = 0; i < kMany; ++i) {
    const std::string file = (dir / ("page" + std::to_string(i) + ".tif")).string();
    if (!CQVBDEImageFormat::CreateImage(CString::FromUtf8(file).GetString(), page)) return 1;
    (i < kFew ? few : many) += " " + file;
    if (i < kFew) fewFiles.push_back(file);
  }
  PublishDocument(dir / "published", fewFiles);
  many = few + many;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string out = (dir / "out.pdf").string();
  const std::string fewTiff = (dir / "few.tif").string(), manyTiff = (dir / "many.tif").string();

  const Line tiffcp{"tiffcp (its input)", TimeCommand("tiffcp" + few + " " + fewTiff, runs),
                    TimeCommand("tiffcp" + many + " " + manyTiff, runs)};
  const std::vector<double> t = TimeInTurns({self + " --write " + out + few, self + " --write " + out + many,
                                             "tiff2pdf -o " + out + " " + fewTiff, "tiff2pdf -o " + out + " " + manyTiff,
                                             self + " --start", "/bin/true"},
                                            runs);
  const Line ours{"our writer", t[0], t[1]};
  const Line tiff2pdf{"tiff2pdf", t[2], t[3]};
  const double start = t[4], none = t[5];
  std::vector<double> viewerTimes;
  for (int run = 0; run < runs; ++run) {
    const auto viewerStart = std::chrono::steady_clock::now();
    viewerTimes.push_back(SaveDocument(out, (dir / "published").string()) ? Seconds(viewerStart) : -1);
  }
  const double viewer = *std::min_element(viewerTimes.begin(), viewerTimes.end()) < 0 ? -1 : Median(viewerTimes);
  const Line both{"tiffcp + tiff2pdf", tiffcp.few + tiff2pdf.few, tiffcp.many + tiff2pdf.many};
  const bool haveImg2pdf = std::system("command -v img2pdf >/dev/null 2>&1") == 0;
  const std::vector<double> img = haveImg2pdf ? TimeInTurns({"img2pdf -o " + out + few, "img2pdf -o " + out + many}, std::max(1, runs / 2))
                                              : std::vector<double>{-1, -1};
  const Line img2pdf{"img2pdf", img[0], img[1]};
  const auto changedStart = std::chrono::steady_clock::now();
  const bool changedOk = std::system((self + " --changed " + out + few + " >/dev/null 2>&1").c_str()) == 0;
  const double changed = Seconds(changedStart);
  if (ours.few < 0 || ours.many < 0 || tiff2pdf.few < 0 || tiff2pdf.many < 0 || viewer < 0) {
    std::fprintf(stderr, "pdf_output: a PDF could not be written\n");
    return 1;
  }

  std::printf("PDF of A4 Group 4 pages, whole processes, medians of %d runs\n", runs);
  std::printf("  %-22s %10s %10s   %13s   %13s\n", "", "200 pages", "800 pages", "per page", "fixed");
  Print(ours, ours);
  Print(tiff2pdf, ours);
  Print(both, ours);
  if (img2pdf.few > 0 && img2pdf.many > 0) Print(img2pdf, ours);
  std::printf("  the viewer's save as PDF of a published 200-page document, in the running program: %.3f s,"
              " %.2f x tiff2pdf's 200 pages (target: within 1.5 x)\n", viewer, viewer / tiff2pdf.few);
  std::printf("  a process that loads the kernel library and ends: %.1f ms (/bin/true: %.1f ms)\n", start * 1e3, none * 1e3);
  if (changedOk) std::printf("  our writer, 200 pages changed after loading (decoded and coded again): %.3f s\n", changed);
  std::filesystem::remove_all(dir);
  return 0;
}
