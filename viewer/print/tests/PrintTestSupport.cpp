#include "viewer/print/tests/PrintTestSupport.h"

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
