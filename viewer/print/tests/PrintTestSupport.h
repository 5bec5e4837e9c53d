#pragma once
// What the printing tests share: page images of known sizes, a path list the job asks, printer
// settings, and the printed PDF read back (pdftoppm, pdfinfo).

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/ui/shell/winspool.h"

#include <QImage>
#include <QString>

#include <mutex>
#include <vector>

// A4 portrait at a resolution the rendered sheet is read back in, pixel for pixel.
constexpr int kTestDpi = 100;
DEVMODEW TestSettings(short orientation = DMORIENT_PORTRAIT);

// Image files a job prints, with the numbers the job asked for (from any thread).
struct PageFiles {
  std::vector<CString> paths;  // image n at n - first
  int first { 1 };
  std::mutex lock;
  std::vector<int> asked;

  static CString Path(void* context, int number);
};

// Writes a 1-bit image, all black, of that size as a PNG; its path.
CString WriteBlackPage(const QString& folder, const QString& name, int width, int height);

// Page `page` (1-based) of the PDF rendered at kTestDpi; a null image when it cannot be.
QImage RenderPage(const QString& pdf, int page);
// Pages of the PDF; -1 when it cannot be read.
int PdfPageCount(const QString& pdf);
// The bounding box of the dark pixels inside `area` (empty when there are none).
QRect DarkBox(const QImage& page, const QRect& area);
