// From opening a document to its first page painted in the document browser, against the time the
// TIFF layer alone takes to read and decode that page, measured in the same run on the same files.
// A browser of 1000 x 700 pixels shows one page (the first page painted is the only one) and, for
// comparison, another a screenful of 4 x 2. Medians over the documents of the set, by the kind of
// their first page (width and bits per pixel: the sets mix Group 4 pages with grey and colour
// JPEG ones); the ratio of each line is the one that counts (target: 3 or less).
//
//   page_display [SET_FOLDER [ROUNDS]]   a folder of published batches; by default the large generated
//                                        set when it exists, else the small one. Each document is
//                                        measured ROUNDS times (5 unless given; more for a profiler).

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "platform/ui/win/winctrl.h"
#include "viewer/browser/CDocumentBrowser.h"
#include "viewer/model/CIBSDocument.h"
#include "viewer/model/CIBSPlant.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

namespace {

constexpr int kDocuments = 40;
constexpr int kRounds = 5;

double Milliseconds(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The kind of a page: its width and bits per pixel.
using Kind = std::pair<int, int>;

// Reads and decodes the page the way the TIFF layer hands it out, pixels included; `kind` takes
// the page's kind.
double DecodeTime(const CString& path, Kind& kind) {
  const auto start = std::chrono::steady_clock::now();
  CQVBitmapHandle page;
  if (!CQVBDEImageFormat::LoadImage(path, page, 1) || !page.SetPerspective(0) || page.GetWidth() < 1) {
    std::fprintf(stderr, "cannot decode %s\n", path.ToUtf8().c_str());
    std::exit(1);
  }
  const double time = Milliseconds(start);
  kind = {page.GetWidth(), page.GetBitsPerPixel()};
  return time;
}

// The measures of the documents whose first page is of one kind.
struct Measures {
  std::vector<double> decode, onePage, screenful;
};

// The browser the documents are shown in, one after another as a user opens results; the store
// loads the page list and the browser paints the screen before the call returns.
class Shown {
public:
  Shown(CIBSPlant& plant, CWnd& parent, int columns, int rows) : m_plant(plant) {
    if (!m_browser.CreateEx(0, WS_CHILD | WS_VISIBLE, CRect(0, 0, 1000, 700), &parent, 1000)) std::exit(1);
    m_browser.SetFPCMode(columns, rows);
    m_browser.SetStore(&plant);
  }
  ~Shown() { m_browser.DestroyWindow(); }
  double Open(CIBSDocument* document) {
    m_plant.SetBrowser(&m_browser);
    const auto start = std::chrono::steady_clock::now();
    m_plant.SetCurrentDocument(document);
    const double time = Milliseconds(start);
    m_plant.SetBrowser(nullptr);
    return time;
  }

private:
  CIBSPlant& m_plant;
  CDocumentBrowser m_browser;
};

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  std::filesystem::path set = argc > 1 ? argv[1] : QV_SAMPLES_DIR "/large";
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : kRounds;
  if (argc < 2 && !std::filesystem::exists(set / "manifest.txt")) set = QV_SAMPLES_DIR "/small";
  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openFolder, CString::FromUtf8(set.string()));
  if (!plant.Load()) {
    std::fprintf(stderr, "no batches in %s\n", set.string().c_str());
    return 1;
  }
  int searched = 0, hits = 0;
  plant.SetDocumentPattern(u"*");
  plant.Search(searched, hits);
  CWnd parent;
  if (!parent.CreateEx(0, u"AfxWnd", u"pages", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1000, 700), nullptr, 0)) return 1;

  std::map<Kind, Measures> byKind;  // by the first page's kind
  int documents = 0;
  Shown one(plant, parent, 1, 1);
  Shown eight(plant, parent, 4, 2);
  // The documents with pages (in the large set only the first of each batch have any).
  for (int i = 0; i < plant.GetResultCount() && documents < kDocuments; ++i) {
    CIBSDocument* document = plant.GetResult(i);
    CDPXStringList paths;
    if (!document->CollectImageFiles(paths) || paths.GetCount() == 0) continue;
    CString first;
    POSITION pos = paths.GetHeadPosition();
    paths.GetNext(pos, first);
    // Each measure reads files the one before has brought into the page cache.
    Kind kind;
    DecodeTime(first, kind);
    Measures& measures = byKind[kind];
    for (int round = 0; round < rounds; ++round) {
      measures.decode.push_back(DecodeTime(first, kind));
      measures.onePage.push_back(one.Open(document));
      measures.screenful.push_back(eight.Open(document));
    }
    ++documents;
  }
  if (documents == 0) {
    std::fprintf(stderr, "no document with pages in %s\n", set.string().c_str());
    return 1;
  }
  std::printf("set %s, %d documents, %d rounds each; medians in ms by the first page's kind\n", set.string().c_str(),
              documents, rounds);
  std::printf("first page    measures  TIFF layer decodes  browser: first page  browser: 4 x 2  ratio first page / decode\n");
  for (const auto& [kind, m] : byKind)
    std::printf("%5d, %2d bit  %8zu  %18.2f  %19.2f  %14.2f  %6.2f (target 3 or less)\n", kind.first, kind.second, m.decode.size(),
                Median(m.decode), Median(m.onePage), Median(m.screenful), Median(m.onePage) / Median(m.decode));
  parent.DestroyWindow();
  return 0;
}
