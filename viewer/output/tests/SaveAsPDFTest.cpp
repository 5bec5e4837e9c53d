// Saving the images of a document as PDF through the progress tasks: which images go in, what the
// pages look like when rendered, and what a stop or a failure leaves behind.

#include "foundation/util/CDPXStringList.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/model/tests/BatchFixture.h"
#include "viewer/output/CIBSImageSource.h"
#include "viewer/output/CSPRDialog.h"
#include "viewer/output/CSaveAsPDFTask.h"
#include "viewer/output/tests/OutputTestSupport.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The document's pages: three Group 4 pages of different sizes, so that a page's size in the PDF
// tells which image it is.
const char* const kPages[] = {"CCITT_1.TIF", "bitonal.tif", "G4.TIF"};
const char* const kPageSizes[] = {"622.08 x 855.36", "615.6 x 255.24", "591.36 x 779.52"};
const int kPageDpi[] = {200, 200, 300};

// A grey picture as pdftoppm and ImageMagick write it (binary PGM).
struct Grey {
  int width { 0 };
  int height { 0 };
  std::string pixels;
};

// The next word of a PNM header, past comments.
std::string HeaderWord(std::istream& in) {
  std::string word;
  while (in >> word && word[0] == '#') std::getline(in, word);
  return word;
}

bool ReadPgm(const fs::path& path, Grey& grey) {
  std::ifstream in(path, std::ios::binary);
  if (HeaderWord(in) != "P5") return false;
  grey.width = std::atoi(HeaderWord(in).c_str());
  grey.height = std::atoi(HeaderWord(in).c_str());
  if (HeaderWord(in) != "255" || grey.width <= 0 || grey.height <= 0) return false;
  in.get();
  grey.pixels.assign(static_cast<size_t>(grey.width) * static_cast<size_t>(grey.height), '\0');
  return static_cast<bool>(in.read(grey.pixels.data(), static_cast<std::streamsize>(grey.pixels.size())));
}

// Wraps a source to fail at, or ask the task to stop before, one image.
class Interrupting : public CIBSImageSource {
public:
  Interrupting(CIBSImageSource& inner, int at, std::function<BOOL()> onReach) : m_inner(inner), m_at(at), m_onReach(std::move(onReach)) {}
  int GetImageCount() override { return m_inner.GetImageCount(); }
  BOOL LoadImageInto(int index, CQVBitmapHandle& bitmap) override {
    if (index == m_at && !m_onReach()) return FALSE;
    return m_inner.LoadImageInto(index, bitmap);
  }

private:
  CIBSImageSource& m_inner;
  int m_at;
  std::function<BOOL()> m_onReach;
};

// A source with a page on screen, as the document browser is.
class Browser : public CIBSImageSource {
public:
  Browser(CIBSImageSource& inner, int firstVisible, int cells) : m_inner(inner), m_first(firstVisible), m_cells(cells) {}
  int GetImageCount() override { return m_inner.GetImageCount(); }
  BOOL LoadImageInto(int index, CQVBitmapHandle& bitmap) override { return m_inner.LoadImageInto(index, bitmap); }
  int GetFirstVisibleIndex() override { return m_first; }
  int GetCellCount() override { return m_cells; }

private:
  CIBSImageSource& m_inner;
  int m_first;
  int m_cells;
};

class SaveAsPDF : public ::testing::Test {
protected:
  void SetUp() override {
    UseViewerTexts();
    BatchFiles batch;
    batch.header = Header("Invoices", {"Customer"});
    batch.index = "001;1;00012001;B;D;0;0;0;0;0;0;3;0;ACME\r\n";
    batch.folders = {"1/00"};
    batch.Write(m_folder.Path() / "batches/A");
    for (int i = 0; i < 3; ++i)
      fs::copy_file(fs::path(QV_TESTDATA_DIR) / "tiff" / kPages[i],
                    m_folder.Path() / "batches/A/DOC_CD/DATA/1/00" / ("00012" + std::string("00") + std::to_string(i + 1) + ".TIF"));
    ASSERT_EQ(SearchAllDocuments(m_plant, m_folder.Wide("batches")), 1);
    m_images = std::make_unique<CIBSDocumentImages>(m_plant.GetResult(0));
    ASSERT_EQ(m_images->GetImageCount(), 3);
  }

  // Runs the task on its worker to the end.
  static void Run(CSaveAsPDFTask& task, const SaveAsPDFOption& options) {
    task.SetOptions(options);
    ASSERT_TRUE(task.Start());
    ASSERT_TRUE(task.WaitForExit());
    int percent = 0, done = 0;
    CString text;
    task.GetProgress(text, percent, done);
    EXPECT_TRUE(done) << "every run ends by reporting done";
  }

  static SaveAsPDFOption Options(const CString& path, int range = 1, int from = -1, int to = -1) {
    SaveAsPDFOption options;
    options.strPath = u"  " + path + u"\t";
    options.nSaveRange = range;
    options.nImageFrom = from;
    options.nImageTo = to;
    return options;
  }

  // The sizes of the PDF's pages in points, as pdfinfo gives them.
  static std::vector<std::string> PageSizes(const fs::path& pdf) {
    std::string output;
    RunCommand("pdfinfo -f 1 -l 99 '" + pdf.string() + "'", output);
    std::vector<std::string> sizes;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
      size_t at = line.find("size:");
      if (line.rfind("Page ", 0) != 0 || at == std::string::npos) continue;
      at = line.find_first_not_of(' ', at + 5);
      sizes.push_back(line.substr(at, line.find(" pts") - at));
    }
    return sizes;
  }

  size_t FilesIn(const fs::path& folder) const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }

  TempFolder m_folder;
  CIBSPlant m_plant;
  std::unique_ptr<CIBSDocumentImages> m_images;
};

}  // namespace

TEST_F(SaveAsPDF, TheChosenRangeOfImagesBecomesThePages) {
  const struct {
    const char* what;
    int range, from, to;
    int firstVisible, cells;
    std::vector<int> pages;  // from 0
  } cases[] = {
      {"all images", 1, -1, -1, 0, 1, {0, 1, 2}},
      {"from - to", 2, 2, 3, 0, 1, {1, 2}},
      {"a to beyond the images ends at the last", 2, 2, 1000, 0, 1, {1, 2}},
      {"one image", 2, 1, 1, 0, 1, {0}},
      {"the page on screen", 3, -1, -1, 1, 1, {1}},
      {"a page on screen with cells beyond the last image", 3, -1, -1, 1, 8, {1, 2}},
      {"another range value writes all", 7, -1, -1, 0, 1, {0, 1, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Browser browser(*m_images, c.firstVisible, c.cells);
    CDocumentBrowserTasks task(&browser);
    const fs::path pdf = m_folder.Path() / "range.pdf";
    Run(task, Options(CString(pdf.u16string().c_str()), c.range, c.from, c.to));
    EXPECT_TRUE(task.Succeeded());
    std::vector<std::string> expected;
    for (int page : c.pages) expected.push_back(kPageSizes[page]);
    EXPECT_EQ(PageSizes(pdf), expected);
  }

  CIBSImageListTasks listTask(m_images.get());
  const fs::path pdf = m_folder.Path() / "list.pdf";
  Run(listTask, Options(CString(pdf.u16string().c_str()), 2, 2, 2));
  EXPECT_EQ(PageSizes(pdf).size(), 3u) << "a result's image list writes every image, whatever the range";
}

TEST_F(SaveAsPDF, GroupFourPagesRenderAsTheSourcePages) {
  CIBSImageListTasks task(m_images.get());
  const fs::path pdf = m_folder.Path() / "document.pdf";
  Run(task, Options(CString(pdf.u16string().c_str())));
  ASSERT_TRUE(task.Succeeded());
  std::string output;
  EXPECT_EQ(RunCommand("qpdf --check '" + pdf.string() + "'", output), 0) << output;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(kPages[i]);
    const std::string page = std::to_string(i + 1), dpi = std::to_string(kPageDpi[i]);
    const fs::path rendered = m_folder.Path() / ("rendered" + page), source = m_folder.Path() / ("source" + page + ".pgm");
    ASSERT_EQ(RunCommand("pdftoppm -f " + page + " -l " + page + " -r " + dpi + " -aa no -aaVector no -gray -singlefile '" +
                             pdf.string() + "' '" + rendered.string() + "'", output), 0) << output;
    ASSERT_EQ(RunCommand("convert '" + (fs::path(QV_TESTDATA_DIR) / "tiff" / kPages[i]).string() + "' -depth 8 '" + source.string() + "'",
                         output), 0) << output;
    Grey drawn, expected;
    ASSERT_TRUE(ReadPgm(rendered.string() + ".pgm", drawn));
    ASSERT_TRUE(ReadPgm(source, expected));
    // Rounding the page's exact size up may add a blank row or column at the far edges.
    ASSERT_LE(drawn.width - expected.width, 1);
    ASSERT_LE(drawn.height - expected.height, 1);
    ASSERT_GE(drawn.width, expected.width);
    ASSERT_GE(drawn.height, expected.height);
    int differences = 0;
    for (int y = 0; y < expected.height; ++y)
      for (int x = 0; x < expected.width; ++x)
        differences += drawn.pixels[static_cast<size_t>(y) * drawn.width + x] != expected.pixels[static_cast<size_t>(y) * expected.width + x];
    EXPECT_EQ(differences, 0);
  }
}

TEST_F(SaveAsPDF, AStopMidwayLeavesNoFileAndAFailureKeepsTheEarlierOne) {
  const fs::path pdf = m_folder.Path() / "out.pdf";
  CString path(pdf.u16string().c_str());
  CString text;
  {
    CIBSImageListTasks* running = nullptr;
    Interrupting stopping(*m_images, 1, [&running] {
      running->RequestStop(FALSE);
      return TRUE;
    });
    CIBSImageListTasks task(&stopping);
    running = &task;
    Run(task, Options(path));
    EXPECT_FALSE(task.Succeeded());
    EXPECT_FALSE(task.IsFailed()) << "a stop is no failure";
    EXPECT_FALSE(task.GetCompleteMessage(text)) << "the dialog closes by itself";
    EXPECT_FALSE(fs::exists(pdf)) << "no partial file";
    EXPECT_EQ(FilesIn(m_folder.Path()), 1u) << "nothing left beside the batch";
  }
  WriteBytes(pdf, "earlier");
  const struct {
    const char* what;
    CString path;
    std::function<BOOL()> onThird;
  } failures[] = {
      {"the third image cannot be read", path, [] { return FALSE; }},
      {"no path", u"  ", [] { return TRUE; }},
      {"a folder that is not there", m_folder.Wide("missing/out.pdf"), [] { return TRUE; }},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.what);
    Interrupting failing(*m_images, 2, f.onThird);
    CIBSImageListTasks task(&failing);
    Run(task, Options(f.path));
    EXPECT_TRUE(task.IsFailed());
    EXPECT_FALSE(task.Succeeded());
    ASSERT_TRUE(task.GetCompleteMessage(text));
    EXPECT_EQ(text, CString(u"The PDF file could not be made."));
    EXPECT_EQ(ReadBytes(pdf), "earlier");
    EXPECT_EQ(FilesIn(m_folder.Path()), 2u);
  }
}

// The progress dialog runs the task and closes by itself after a success; the task's questions
// are the viewer's texts and its picture the viewer's own.
TEST_F(SaveAsPDF, TheProgressDialogRunsTheTaskAndShowsTheViewersPicture) {
  CIBSImageListTasks task(m_images.get());
  const fs::path pdf = m_folder.Path() / "dialog.pdf";
  task.SetOptions(Options(CString(pdf.u16string().c_str())));
  CSPRDialog dialog;
  dialog.SetTaskDescriptionID(u"TXT_TASK_CREATEPDF");
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&dialog] {
    ADD_FAILURE() << "the dialog was still open";
    dialog.EndDialog(IDCANCEL);
  });
  guard.start(20000);
  ASSERT_TRUE(dialog.DoTask(task));
  EXPECT_TRUE(task.Succeeded());
  EXPECT_EQ(PageSizes(pdf).size(), 3u);
  CQVBitmapHandle icon, mask;
  ASSERT_TRUE(dialog.GetProgressIcon(icon, mask));
  EXPECT_EQ(icon.GetWidth(), 32);
  EXPECT_EQ(mask.GetWidth(), 32);
  CString text;
  ASSERT_TRUE(task.GetStopConfirmMessage(text));
  EXPECT_EQ(text, CString(u"Stop making the PDF file?"));
}
