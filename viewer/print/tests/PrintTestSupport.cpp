#include "viewer/print/tests/PrintTestSupport.h"

#include "foundation/language/CQVRCM.h"
#include "platform/gdi/gdi.h"

#include <QDir>
#include <QProcess>

DEVMODEW TestSettings(short orientation) {
  DEVMODEW dm {};
  dm.dmSize = sizeof dm;
  dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PRINTQUALITY | DM_YRESOLUTION | DM_COPIES;
  dm.dmOrientation = orientation;
  dm.dmPaperSize = DMPAPER_A4;
  dm.dmPrintQuality = dm.dmYResolution = kTestDpi;
  dm.dmCopies = 1;
  return dm;
}

CString PageFiles::Path(void* context, int number) {
  auto* files = static_cast<PageFiles*>(context);
  std::lock_guard<std::mutex> guard(files->lock);
  files->asked.push_back(number);
  const int index = number - files->first;
  if (index < 0 || index >= static_cast<int>(files->paths.size())) return CString();
  return files->paths[static_cast<size_t>(index)];
}

CString WriteBlackPage(const QString& folder, const QString& name, int width, int height) {
  QImage image(width, height, QImage::Format_Mono);
  image.setColor(0, qRgb(255, 255, 255));
  image.setColor(1, qRgb(0, 0, 0));
  image.fill(1);
  const QString path = QDir(folder).filePath(name);
  image.save(path, "PNG");
  return CString(reinterpret_cast<LPCWSTR>(path.utf16()));
}

QImage RenderPage(const QString& pdf, int page) {
  const QString base = pdf + QStringLiteral("-%1").arg(page);
  QProcess run;
  run.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(kTestDpi), QStringLiteral("-f"), QString::number(page),
             QStringLiteral("-l"), QString::number(page), QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf,
             base});
  if (!run.waitForFinished(60000) || run.exitCode() != 0) return QImage();
  return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

int PdfPageCount(const QString& pdf) {
  QProcess run;
  run.start(QStringLiteral("pdfinfo"), {pdf});
  if (!run.waitForFinished(60000) || run.exitCode() != 0) return -1;
  for (const QString& line : QString::fromUtf8(run.readAllStandardOutput()).split(QLatin1Char('\n')))
    if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
  return -1;
}

QRect DarkBox(const QImage& page, const QRect& area) {
  QRect box;
  const QRect r = area.intersected(page.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (qGray(page.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
  return box;
}

namespace {
std::vector<CString> g_boxes;
std::mutex g_boxLock;

int RecordBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
  std::lock_guard<std::mutex> guard(g_boxLock);
  g_boxes.emplace_back(text ? text : u"");
  return IDOK;
}

void ExpectNear(const QRect& got, const QRect& want, const std::string& what) {
  const int slack = 2;
  EXPECT_NEAR(got.left(), want.left(), slack) << what;
  EXPECT_NEAR(got.top(), want.top(), slack) << what;
  EXPECT_NEAR(got.right(), want.right(), slack) << what;
  EXPECT_NEAR(got.bottom(), want.bottom(), slack) << what;
}
}  // namespace

void PrintJobFixture::SetUp() {
  CQVRCM::RegisterRCM(nullptr, u"ViewerPrintTest.drs", TRUE);
  ASSERT_TRUE(CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE));
  ASSERT_TRUE(dir.isValid());
  ClearBoxes();
  before = SetMessageBoxHandler(&RecordBox);
}

void PrintJobFixture::TearDown() { SetMessageBoxHandler(before); }

std::vector<CString> PrintJobFixture::Boxes() {
  std::lock_guard<std::mutex> guard(g_boxLock);
  return g_boxes;
}

void PrintJobFixture::ClearBoxes() {
  std::lock_guard<std::mutex> guard(g_boxLock);
  g_boxes.clear();
}

void PrintJobFixture::MakePages(int n, int first) {
  files.first = first;
  files.paths.clear();
  files.asked.clear();
  for (int k = 0; k < n; ++k)
    files.paths.push_back(WriteBlackPage(dir.path(), QStringLiteral("page%1.png").arg(k), 120 + 40 * k, 300));
}

HDC PrintJobFixture::Prepare(CPrintJob& job, int count, int rows, int columns, LPCWSTR printer, const QString& output,
                             QPoint* offset) {
  job.m_nImageCount = count;
  job.m_nFirstImage = files.first;
  job.m_nRows = rows;
  job.m_nColumns = columns;
  job.m_pPathContext = &files;
  job.m_pfnGetImagePath = &PageFiles::Path;
  job.m_strOutput = CString(reinterpret_cast<LPCWSTR>(output.utf16()));
  const DEVMODEW dm = TestSettings();
  HDC dc = nullptr;
  if (!job.CreatePrinterDC(printer, u"", u"Test job", &dm, dc)) return nullptr;
  if (offset) *offset = QPoint(GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY));
  printable = CRect(0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES));
  return dc;
}

BOOL PrintJobFixture::RunAll(CPrintJob& job, HDC dc) {
  return job.Run(dc, job.m_strTitle, 1, job.m_nSheetCount, job.m_nImageCount, job.m_nFirstImage, job.m_nRows,
                 job.m_nColumns, nullptr);
}

void PrintJobFixture::ExpectLayout(const QString& pdf, int count, int rows, int columns, QPoint offset,
                                   const QString& artifact) {
  const int cells = rows * columns, sheets = (count + cells - 1) / cells;
  ASSERT_EQ(PdfPageCount(pdf), sheets);
  const int w = printable.Width() / columns, h = printable.Height() / rows, m = kTestDpi / 10, half = m / 2;
  for (int sheet = 1; sheet <= sheets; ++sheet) {
    const QImage page = RenderPage(pdf, sheet);
    ASSERT_FALSE(page.isNull());
    if (sheet == 1 && !artifact.isEmpty()) {
      QDir().mkpath(QStringLiteral(QV_TEST_ARTIFACT_DIR));
      page.save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/") + artifact);
    }
    for (int cell = 0; cell < cells; ++cell) {
      const int index = (sheet - 1) * cells + cell;
      const QRect area(offset.x() + w * (cell % columns), offset.y() + h * (cell / columns), w, h);
      const std::string where = "sheet " + std::to_string(sheet) + " cell " + std::to_string(cell);
      if (index >= count) {
        EXPECT_TRUE(DarkBox(page, area.adjusted(1, 1, -1, -1)).isEmpty()) << where << " stays blank, unframed";
        continue;
      }
      const QRect box = area.adjusted(m, m, -m, -m);
      const int iw0 = 120 + 40 * index, ih0 = 300;
      const double scale = std::min(double(box.width()) / iw0, double(box.height()) / ih0);
      const int iw = int(iw0 * scale), ih = int(ih0 * scale);
      const QRect image(box.left() + (box.width() - iw) / 2, box.top() + (box.height() - ih) / 2, iw, ih);
      ExpectNear(DarkBox(page, box.adjusted(1, 1, -1, -1)), image, where);
      ExpectNear(DarkBox(page, area.adjusted(1, 1, -1, -1)), area.adjusted(half, half, -half, -half), where + " frame");
    }
  }
}
