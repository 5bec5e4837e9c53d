#include "viewer/browser/tests/BrowserFixture.h"

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/language/CQVRCM.h"
#include "platform/ui/win/winctrl.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {
RecordedBoxes* g_boxes = nullptr;
int RecordBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
  if (g_boxes) g_boxes->texts.push_back(CString(text ? text : u""));
  return IDOK;
}
}  // namespace

void UseViewerLanguage() {
  CQVRCM::RegisterRCM(nullptr, QV_LANGUAGE_FILE, TRUE);
  CQVRCM::SetCurrentLanguage(u"en-us");
}

RecordedBoxes::RecordedBoxes() {
  g_boxes = this;
  SetMessageBoxHandler(&RecordBox);
}

RecordedBoxes::~RecordedBoxes() {
  SetMessageBoxHandler(nullptr);
  g_boxes = nullptr;
}

void MakeMarkedPage(CQVBitmapHandle& page, int width, int height, int number) {
  RGBQUAD palette[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
  ASSERT_TRUE(page.Create(width, height, 1, 1, palette, 0));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4 * number && x < width; ++x) page.SetPixelColor(x, y, RGB(0, 0, 0));
}

void WriteMarkedPage(const fs::path& path, int width, int height, int number) {
  CQVBitmapHandle page;
  MakeMarkedPage(page, width, height, number);
  ASSERT_TRUE(CQVBDEImageFormat::CreateImage(CString(path.u16string().c_str()), page)) << path;
}

OneDocument::OneDocument(int pages, int width, int height, std::vector<std::pair<std::string, std::string>> extra) {
  BatchFiles files;
  files.header = Header("Pages", {"Customer"});
  files.index = "001;1;00012345;B;D;0;0;0;0;0;0;3;0;ACME\r\n";
  files.folders = {"5/34"};
  files.Write(folder.Path() / "batch");
  for (int page = 1; page <= pages; ++page) {
    char name[32];
    std::snprintf(name, sizeof name, "00012%03d.TIF", page);
    WriteMarkedPage(ImageFolder() / name, width, height, page);
  }
  for (const auto& [name, bytes] : extra) WriteBytes(ImageFolder() / name, bytes);
  plant.SetOpenMode(CIBSPlant::openRoot, folder.Wide("batch"));
  if (!plant.Load()) {
    ADD_FAILURE() << "the batch does not open";
    return;
  }
  int searched = 0, hits = 0;
  plant.SetDocumentPattern(u"*");
  plant.Search(searched, hits);
  document = plant.GetResult(0);
  EXPECT_NE(document, nullptr);
}

fs::path OneDocument::ImageFolder() const { return folder.Path() / "batch/DOC_CD/DATA/5/34"; }
