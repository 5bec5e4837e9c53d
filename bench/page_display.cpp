// From opening a document to its first page painted in the document browser, against the time the
// TIFF layer alone takes to read and decode that page, measured in the same run on the same files.
// A browser of 1000 x 700 pixels shows one page (the first page painted is the only one) and, for
// comparison, another a screenful of 4 x 2. Medians over the documents of the set; the ratio printed last is the one
// that counts (target: 3 or less).
//
//   page_display [SET_FOLDER]    a folder of published batches; by default the large generated set
//                                when it exists, else the small one

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
#include <vector>

namespace {

constexpr int kDocuments = 40;

double Milliseconds(const std::chrono::steady_clock::time_point& start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Reads and decodes the page the way the TIFF layer hands it out, pixels included; `width` takes
// the page's width.
double DecodeTime(const CString& path, int& width) {
  const auto start = std::chrono::steady_clock::now();
  CQVBitmapHandle page;
  if (!CQVBDEImageFormat::LoadImage(path, page, 1) || !page.SetPerspective(0) || page.GetWidth() < 1) {
    std::fprintf(stderr, "cannot decode %s\n", path.ToUtf8().c_str());
    std::exit(1);
  }
  const double time = Milliseconds(start);
  width = page.GetWidth();
  return time;
}

// The measures of the documents whose first page has one size.
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

  std::map<int, Measures> bySize;  // by the first page's width
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
    int width = 0;
    DecodeTime(first, width);
    Measures& measures = bySize[width];
    measures.decode.push_back(DecodeTime(first, width));
    measures.onePage.push_back(one.Open(document));
    measures.screenful.push_back(eight.Open(document));
    ++documents;
  }
  if (documents == 0) {
    std::fprintf(stderr, "no document with pages in %s\n", set.string().c_str());
    return 1;
  }
  std::printf("set %s, %d documents; medians in ms by the first page's width\n", set.string().c_str(), documents);
  std::printf("page width  documents  TIFF layer decodes  browser: first page  browser: 4 x 2  ratio first page / decode\n");
  for (const auto& [width, m] : bySize)
    std::printf("%10d  %9zu  %18.2f  %19.2f  %14.2f  %6.2f (target 3 or less)\n", width, m.decode.size(),
                Median(m.decode), Median(m.onePage), Median(m.screenful), Median(m.onePage) / Median(m.decode));
  parent.DestroyWindow();
  return 0;
}
