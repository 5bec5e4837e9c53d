// The thumbnail grid over 1,000 stored A4 300-dpi Group 4 pages: the time to paint the first
// screenful, to page through to the end, and to drag the thumb to the end, against vipsthumbnail
// making the same thumbnails. The grid decodes only the pages its cells show (those of a
// screenful side by side) and keeps their thumbnails; pages that are scrolled past are never read.
//
//   thumbnail_grid [pages]   (default 1000; runs on the offscreen display unless one is set)

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "framework/views/CQVImageListWnd.h"
#include "platform/core/codepage.h"
#include "platform/gdi/CBrush.h"
#include "platform/imaging/Scale.h"
#include "platform/ui/win/winctrl.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kCellWidth = 150;
constexpr int kCellHeight = 200;
constexpr int kMargin = 6;

using Clock = std::chrono::steady_clock;
double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The grid of the viewer's page browser, reduced to what the measurement needs: a thumbnail per
// page, made when its cell first shows it.
class PageGrid : public CQVImageListWnd {
public:
  explicit PageGrid(std::vector<std::string> pages) : m_pages(std::move(pages)), m_thumbnails(m_pages.size()) {
    m_nHScrollMode = 0;
    m_nVScrollMode = 1;
    m_bOffscreen = TRUE;
  }
  int GetImageCount() override { return static_cast<int>(m_pages.size()); }
  CQVBitmapHandle* GetImage(int index) override {
    return index >= 0 && index < GetImageCount() ? m_thumbnails[index].get() : nullptr;
  }
  int decoded() const { return m_decoded; }

protected:
  // Before a layout or a scroll paints, the pages of the cells now shown are decoded side by side.
  void OnLayoutChange() override {
    CQVImageListWnd::OnLayoutChange();
    std::vector<int> missing;
    for (int cell = 0; cell < GetItemCount(); ++cell) {
      int index;
      if (ItemToIndex(cell, index) && !m_thumbnails[index]) missing.push_back(index);
    }
    std::atomic<size_t> next {0};
    auto work = [&] {
      for (size_t i; (i = next++) < missing.size();) m_thumbnails[missing[i]] = MakeThumbnail(m_pages[missing[i]]);
    };
    std::vector<std::thread> workers;
    const size_t count = std::min<size_t>(missing.size(), std::max(1u, std::thread::hardware_concurrency()));
    for (size_t i = 1; i < count; ++i) workers.emplace_back(work);
    work();
    for (std::thread& t : workers) t.join();
    m_decoded += static_cast<int>(missing.size());
  }
  void OnPaintBackground(CDC* dc) override {
    CBrush grey(RGB(128, 128, 128));
    PaintBackground_Frame(dc, &grey);
  }
  void OnPaintItem(CDC* dc, int cell, int) override {
    CRect rect;
    int index = -1;
    if (!GetItemRect(cell, rect)) return;
    CBrush grey(RGB(128, 128, 128));
    dc->FillRect(&rect, &grey);
    rect.DeflateRect(kMargin, kMargin);
    CBrush white(RGB(255, 255, 255));
    PaintImage(dc, ItemToIndex(cell, index) ? GetImage(index) : nullptr, rect, nullptr, &white);
  }

private:
  static std::unique_ptr<CQVBitmapHandle> MakeThumbnail(const std::string& path) {
    CQVBitmapHandle page;
    auto thumbnail = std::make_unique<CQVBitmapHandle>();
    if (!CQVBDEImageFormat::LoadImage(Utf8ToWide(path).c_str(), page, 1)) return thumbnail;
    const int boxWidth = kCellWidth - 2 * kMargin, boxHeight = kCellHeight - 2 * kMargin;
    const double scale = std::min(double(boxWidth) / page.GetWidth(), double(boxHeight) / page.GetHeight());
    const int width = std::max(1, int(page.GetWidth() * scale)), height = std::max(1, int(page.GetHeight() * scale));
    const RECT all {0, 0, page.GetWidth(), page.GetHeight()};
    if (!imaging::ScaleToGray(page.StoreRecord(), all, thumbnail->StoreRecordToChange(), width, height)) thumbnail->Free();
    return thumbnail;
  }

  std::vector<std::string> m_pages;
  std::vector<std::unique_ptr<CQVBitmapHandle>> m_thumbnails;
  int m_decoded { 0 };
};

double RunVips(const std::vector<std::string>& pages, const std::string& folder) {
  std::string command = "vipsthumbnail -s " + std::to_string(kCellWidth - 2 * kMargin) + "x" +
                        std::to_string(kCellHeight - 2 * kMargin) + " -o " + folder + "/%s-vips.png";
  for (const std::string& page : pages) command += " " + page;
  const auto start = Clock::now();
  const int result = std::system(command.c_str());
  return result == 0 ? Milliseconds(Clock::now() - start) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  QTemporaryDir runtime;
  qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  QApplication app(argc, argv);

  // The stored pages: one written by the kernel from the shared A4 scan, and copies of it, each
  // its own file as in a batch.
  QTemporaryDir work;
  const std::string folder = work.path().toStdString();
  CQVBitmapHandle scan;
  const std::string source = std::string(QV_TESTDATA_DIR) + "/tiff/G4.TIF";  // 2464 x 3248, 300 dpi
  const std::string first = folder + "/page0000.tif";
  if (!scan.Load(Utf8ToWide(source).c_str()) || !CQVBDEImageFormat::CreateImage(Utf8ToWide(first).c_str(), scan)) {
    std::fprintf(stderr, "cannot store %s\n", source.c_str());
    return 1;
  }
  std::vector<std::string> pages {first};
  for (int i = 1; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/page%04d.tif", i);
    pages.push_back(folder + name);
    std::filesystem::copy_file(first, pages.back());
  }

  PageGrid grid(pages);
  if (!grid.CreateEx(0, WS_POPUP | WS_VISIBLE, CRect(0, 0, 1200, 1000), nullptr, 0)) return 1;
  app.processEvents();

  auto start = Clock::now();
  grid.SetFPSMode(kCellWidth, kCellHeight);
  const double firstScreen = Milliseconds(Clock::now() - start);
  const int screenful = grid.decoded();
  const std::vector<std::string> shown(pages.begin(), pages.begin() + screenful);

  // Dragging the thumb to the end shows the last screenful only.
  start = Clock::now();
  grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, count - 1), 0);
  grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, count - 1), 0);
  const double thumbToEnd = Milliseconds(Clock::now() - start);
  const int afterThumb = grid.decoded();

  // Paging from the top to the end shows every page once.
  grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
  start = Clock::now();
  int position = -1, pagesDown = 0;
  for (;;) {
    grid.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    ++pagesDown;
    int now = 0;
    grid.GetCurrentPos(now);
    if (now == position) break;
    position = now;
  }
  const double pageToEnd = Milliseconds(Clock::now() - start);
  grid.DestroyWindow();

  std::printf("thumbnail grid of %d stored A4 300-dpi Group 4 pages, cells %d x %d, %u threads\n", count, kCellWidth,
              kCellHeight, std::max(1u, std::thread::hardware_concurrency()));
  std::printf("  first screenful (%d pages): %8.1f ms\n", screenful, firstScreen);
  std::printf("  thumb dragged to the end:   %8.1f ms (%d more pages read)\n", thumbToEnd, afterThumb - screenful);
  std::printf("  paged to the end (%d steps): %7.1f ms (%d pages read in all)\n", pagesDown, pageToEnd, grid.decoded());
  if (std::system("command -v vipsthumbnail >/dev/null 2>&1") != 0) {
    std::printf("vipsthumbnail is not installed (scripts/install-deps.sh installs it)\n");
    return 0;
  }
  const double vipsScreen = RunVips(shown, folder);
  const double vipsAll = RunVips(pages, folder);
  if (vipsScreen < 0 || vipsAll < 0) {
    std::printf("vipsthumbnail failed\n");
    return 0;
  }
  std::printf("vipsthumbnail, the first screenful's pages: %8.1f ms; the grid is %.1f times as fast\n", vipsScreen,
              vipsScreen / firstScreen);
  std::printf("vipsthumbnail, all %d pages:            %8.1f ms; paging through the grid is %.1f times as fast\n",
              count, vipsAll, vipsAll / (firstScreen + pageToEnd));
  return 0;
}
