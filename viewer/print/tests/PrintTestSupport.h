#pragma once
// What the printing tests share: page images of known sizes, a path list the job asks, printer
// settings, and the printed PDF read back (pdftoppm, pdfinfo).

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/ui/shell/winspool.h"
#include "platform/ui/win/winctrl.h"
#include "viewer/print/CPrintJob.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

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

// A test of print jobs: a folder for the pages and the printed files, the message boxes the job
// shows (recorded, answered OK), and the layout rule to check the printed sheets against.
class PrintJobFixture : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // The texts of the boxes shown so far, from any thread.
  static std::vector<CString> Boxes();
  static void ClearBoxes();

  QString Pdf(const QString& name) const { return dir.filePath(name); }
  // Images 0..n-1 of the job: all black, 300 high and 120 + 40 k wide, so that each lands with a
  // size of its own; the first has the number `first`.
  void MakePages(int n, int first = 1);
  // Fills the job for the pages (count, layout) and the file the printer writes (none: the
  // printer prints) and makes its DC; the printable area's place on the paper comes back in
  // `offset`. Null when the DC cannot be made.
  HDC Prepare(CPrintJob& job, int count, int rows, int columns, LPCWSTR printer, const QString& output,
              QPoint* offset = nullptr);
  BOOL RunAll(CPrintJob& job, HDC dc);
  // Checks every sheet of the printed PDF: each image in its cell, fitted into the cell less a
  // tenth of an inch on each side with its aspect kept, centred, and framed half way between;
  // cells past the last image blank.
  void ExpectLayout(const QString& pdf, int count, int rows, int columns, QPoint offset, const QString& artifact = {});

  QTemporaryDir dir;
  PageFiles files;
  CRect printable;
  MessageBoxHandler before {};
};
