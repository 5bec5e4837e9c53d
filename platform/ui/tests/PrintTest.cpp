// Printing: printer device contexts that write a PDF file, checked by rendering it with pdftoppm,
// and the printer list of the spooler functions.

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/internal/PrinterList.h"
#include "platform/ui/shell/commdlg.h"
#include "platform/ui/shell/printdlg.h"
#include "platform/ui/shell/winspool.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

namespace {

constexpr int kDpi = 150;

DEVMODEW A4Portrait(int dpi) {
  DEVMODEW dm {};
  dm.dmSize = sizeof dm;
  dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PRINTQUALITY | DM_YRESOLUTION;
  dm.dmOrientation = DMORIENT_PORTRAIT;
  dm.dmPaperSize = DMPAPER_A4;
  dm.dmPrintQuality = dm.dmYResolution = static_cast<short>(dpi);
  return dm;
}

// Renders page `page` of the PDF at the resolution with pdftoppm; a null image when it fails.
QImage Render(const QString& pdf, int page, int dpi) {
  QString base = pdf + QStringLiteral("-page");
  QProcess run;
  run.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                                         QString::number(page), QStringLiteral("-l"), QString::number(page),
                                         QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, base});
  if (!run.waitForFinished(30000) || run.exitCode() != 0) return QImage();
  return QImage(base + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

int PageCount(const QString& pdf) {
  QProcess run;
  run.start(QStringLiteral("pdfinfo"), {pdf});
  if (!run.waitForFinished(30000)) return -1;
  for (const QString& line : QString::fromUtf8(run.readAllStandardOutput()).split(QLatin1Char('\n')))
    if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
  return -1;
}

bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 80; }
bool Light(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) > 200; }

// Dark pixels in a rectangle of the image.
int DarkIn(const QImage& image, QRect r) {
  int n = 0;
  r = r.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += Dark(image, x, y);
  return n;
}

TEST(Printing, APrintedPageLandsInThePdfAtItsPlaceAndSize) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QString pdf = dir.filePath(QStringLiteral("page.pdf"));
  DEVMODEW dm = A4Portrait(kDpi);
  CDC dc;
  ASSERT_TRUE(dc.CreateDC(u"WINSPOOL", PDF_PRINTER_NAME, nullptr, &dm));
  EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), kDpi);
  EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSY), kDpi);
  int paperW = dc.GetDeviceCaps(PHYSICALWIDTH), paperH = dc.GetDeviceCaps(PHYSICALHEIGHT);
  EXPECT_NEAR(paperW, 210 * kDpi / 25.4, 2) << "A4 is 210 mm wide";
  EXPECT_NEAR(paperH, 297 * kDpi / 25.4, 2);
  int offX = dc.GetDeviceCaps(PHYSICALOFFSETX), offY = dc.GetDeviceCaps(PHYSICALOFFSETY);
  EXPECT_LE(dc.GetDeviceCaps(HORZRES) + offX, paperW);
  EXPECT_GT(dc.GetDeviceCaps(HORZRES), paperW * 3 / 4);

  std::u16string output = pdf.toStdU16String();
  DOCINFOW info {sizeof info, u"Test page", output.c_str(), nullptr, 0};
  ASSERT_GT(dc.StartDoc(&info), 0);
  ASSERT_GT(dc.StartPage(), 0);
  // An inch from the printable area's corner: a text; a 3-pixel line 6 inches long at 2 inches;
  // a 1-bit checkerboard of 8x8 squares blown up to 2 inches at 3 inches.
  CFont font;
  font.CreateFont(-kDpi / 3, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Arial");
  CFont* oldFont = dc.SelectObject(&font);
  dc.SetBkMode(TRANSPARENT);
  dc.TextOut(kDpi, kDpi, CString(u"Printed page"));
  dc.SelectObject(oldFont);
  CPen pen(PS_SOLID, 3, RGB(0, 0, 0));
  CPen* oldPen = dc.SelectObject(&pen);
  dc.MoveTo(kDpi, 2 * kDpi);
  dc.LineTo(7 * kDpi, 2 * kDpi);
  dc.SelectObject(oldPen);
  BYTE bits[64 * 8];  // 64 x 64, 1 bit per pixel, rows of 8 bytes
  for (int y = 0; y < 64; ++y)
    for (int b = 0; b < 8; ++b) bits[y * 8 + b] = ((y / 8 + b) % 2) ? 0xFF : 0x00;
  CBitmap checker;
  ASSERT_TRUE(checker.CreateBitmap(64, 64, 1, 1, bits));
  CDC memory;
  memory.CreateCompatibleDC(&dc);
  CBitmap* oldBitmap = memory.SelectObject(&checker);
  dc.StretchBlt(kDpi, 3 * kDpi, 2 * kDpi, 2 * kDpi, &memory, 0, 0, 64, 64, SRCCOPY);
  memory.SelectObject(oldBitmap);
  ASSERT_GT(dc.EndPage(), 0);
  ASSERT_GT(dc.StartPage(), 0);
  dc.Rectangle(kDpi, kDpi, 2 * kDpi, 2 * kDpi);
  ASSERT_GT(dc.EndPage(), 0);
  ASSERT_GT(dc.EndDoc(), 0);
  dc.DeleteDC();

  ASSERT_TRUE(QFile::exists(pdf));
  EXPECT_EQ(PageCount(pdf), 2);
  QImage page = Render(pdf, 1, kDpi);
  ASSERT_FALSE(page.isNull()) << "pdftoppm could not render the file";
  QDir().mkpath(QStringLiteral(QV_TEST_ARTIFACT_DIR));
  page.save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/printed_page.png"));
  EXPECT_NEAR(page.width(), paperW, 2);
  EXPECT_NEAR(page.height(), paperH, 2);

  // Printable-area coordinates on the rendered paper.
  auto at = [&](int x, int y) { return QPoint(offX + x, offY + y); };
  // The line: dark along it, light just above and below.
  for (int x : {kDpi + 10, 4 * kDpi, 7 * kDpi - 10}) {
    QPoint p = at(x, 2 * kDpi);
    EXPECT_TRUE(Dark(page, p.x(), p.y())) << "line at x " << x;
    EXPECT_TRUE(Light(page, p.x(), p.y() - 5));
    EXPECT_TRUE(Light(page, p.x(), p.y() + 5));
  }
  EXPECT_TRUE(Light(page, at(7 * kDpi + 10, 2 * kDpi).x(), at(0, 2 * kDpi).y())) << "the line ends at 7 inches";
  // The checkerboard: each square is a quarter inch; sample the middle of each.
  int square = 2 * kDpi / 8;
  for (int row = 0; row < 8; ++row)
    for (int col = 0; col < 8; ++col) {
      QPoint p = at(kDpi + col * square + square / 2, 3 * kDpi + row * square + square / 2);
      bool black = ((row + col) % 2) == 0;  // a 0 bit is black (the text colour)
      EXPECT_EQ(Dark(page, p.x(), p.y()), black) << "square " << row << "," << col;
    }
  EXPECT_TRUE(Light(page, at(kDpi - 10, 4 * kDpi).x(), at(kDpi - 10, 4 * kDpi).y())) << "nothing left of the image";
  EXPECT_TRUE(Light(page, at(3 * kDpi + 10, 4 * kDpi).x(), at(0, 4 * kDpi).y())) << "nothing right of the image";
  // The text: ink in the box below its top-left corner, none above it or far right of it.
  QPoint text = at(kDpi, kDpi);
  EXPECT_GT(DarkIn(page, QRect(text, QSize(2 * kDpi, kDpi / 3))), 200);
  EXPECT_EQ(DarkIn(page, QRect(text - QPoint(0, kDpi / 4), QSize(2 * kDpi, kDpi / 5))), 0);
  EXPECT_EQ(DarkIn(page, QRect(at(4 * kDpi, kDpi), QSize(kDpi, kDpi / 3))), 0);
}

// A print job as a program's print thread runs it: the DC is made on the UI thread and the thread
// prints every sheet and deletes the DC, telling the UI of its progress.
struct SheetJob {
  HDC dc {};
  std::u16string output;
  std::atomic<int> sheetsDone {0};
  std::atomic<bool> finished {false};
  bool ok {};
};

UINT PrintSheets(LPVOID parameter) {
  auto* job = static_cast<SheetJob*>(parameter);
  CDC* dc = CDC::FromHandle(job->dc);
  DOCINFOW info {sizeof info, u"Sheets", job->output.c_str(), nullptr, 0};
  job->ok = dc->StartDoc(&info) > 0;
  int oldMode = dc->SetMapMode(MM_TEXT);
  int oldBk = dc->SetBkMode(TRANSPARENT);
  dc->SetStretchBltMode(COLORONCOLOR);
  // A 2 by 2 grey DIB, blown up to an inch at the top-left of the printable area on each sheet.
  BYTE bits[16] = {};  // two rows of two pixels, each row padded to 8 bytes
  std::fill_n(bits, 6, 0x80);
  std::fill_n(bits + 8, 6, 0x80);
  BITMAPINFO picture {};
  picture.bmiHeader = BITMAPINFOHEADER {sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  for (int sheet = 1; sheet <= 2 && job->ok; ++sheet) {
    job->ok = dc->StartPage() > 0;
    int dpi = dc->GetDeviceCaps(LOGPIXELSX);
    StretchDIBits(job->dc, 0, 0, dpi, dpi, 0, 0, 2, 2, bits, &picture, DIB_RGB_COLORS, SRCCOPY);
    dc->MoveTo(dpi * 2, dpi * 2);
    dc->LineTo(dpi * 3, dpi * 2);
    job->ok = job->ok && dc->EndPage() > 0;
    ++job->sheetsDone;
  }
  dc->SetMapMode(oldMode);
  dc->SetBkMode(oldBk);
  job->ok = job->ok && dc->EndDoc() > 0;
  DeleteDC(job->dc);
  job->finished = true;
  return job->ok ? 0 : 1;
}

TEST(Printing, AThreadOfItsOwnPrintsTheSheetsOfADcMadeOnTheUiThread) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QString pdf = dir.filePath(QStringLiteral("sheets.pdf"));
  DEVMODEW dm = A4Portrait(kDpi);
  SheetJob job;
  job.output = pdf.toStdU16String();
  job.dc = CreateDCW(u"WINSPOOL", PDF_PRINTER_NAME, nullptr, &dm);
  ASSERT_NE(job.dc, nullptr);
  int offX = GetDeviceCaps(job.dc, PHYSICALOFFSETX), offY = GetDeviceCaps(job.dc, PHYSICALOFFSETY);
  ASSERT_NE(AfxBeginThread(&PrintSheets, &job), nullptr);
  ASSERT_TRUE(PumpUntil([&job] { return job.finished.load(); }, 30000));
  EXPECT_TRUE(job.ok);
  EXPECT_EQ(job.sheetsDone.load(), 2);
  EXPECT_EQ(PageCount(pdf), 2);
  QImage sheet = Render(pdf, 2, kDpi);
  ASSERT_FALSE(sheet.isNull());
  QRgb grey = sheet.pixel(offX + kDpi / 2, offY + kDpi / 2);
  EXPECT_NEAR(qGray(grey), 0x80, 8) << "the picture fills its inch";
  EXPECT_TRUE(Light(sheet, offX + kDpi + 10, offY + kDpi / 2)) << "and no more";
  EXPECT_TRUE(Dark(sheet, offX + kDpi * 5 / 2, offY + 2 * kDpi)) << "the line drawn on the thread";
}

TEST(Printing, DocumentCallsFailOutOfOrderAndAnAbortLeavesNoFile) {
  QTemporaryDir dir;
  QString pdf = dir.filePath(QStringLiteral("aborted.pdf"));
  std::u16string output = pdf.toStdU16String();
  DEVMODEW dm = A4Portrait(72);
  CDC dc;
  ASSERT_TRUE(dc.CreateDC(u"WINSPOOL", PDF_PRINTER_NAME, nullptr, &dm));
  EXPECT_LE(dc.StartPage(), 0) << "no page before the document";
  DOCINFOW noFile {sizeof noFile, u"x", nullptr, nullptr, 0};
  EXPECT_LE(dc.StartDoc(&noFile), 0) << "the PDF printer needs a file to write";
  DOCINFOW info {sizeof info, u"x", output.c_str(), nullptr, 0};
  ASSERT_GT(dc.StartDoc(&info), 0);
  EXPECT_LE(dc.StartDoc(&info), 0) << "one document at a time";
  EXPECT_LE(dc.EndPage(), 0) << "no page was started";
  ASSERT_GT(dc.StartPage(), 0);
  dc.Rectangle(10, 10, 50, 50);
  EXPECT_GT(dc.AbortDoc(), 0);
  EXPECT_FALSE(QFile::exists(pdf));
}

TEST(Printing, UnknownPrintersGiveNoDeviceContext) {
  qvui::SetPrinterList(std::vector<qvui::PrinterEntry> {});
  EXPECT_EQ(CreateDCW(u"WINSPOOL", u"No such printer", nullptr, nullptr), nullptr);
  qvui::SetPrinterList(std::nullopt);
}

TEST(Printers, EnumerationFillsTheCallersBufferAfterTellingItsSize) {
  qvui::SetPrinterList(std::vector<qvui::PrinterEntry> {
      {QStringLiteral("Office"), QStringLiteral("Laser 5"), QStringLiteral("Room 2"), QStringLiteral("shared"), false},
      {QStringLiteral("Desk"), QStringLiteral("Inkjet"), QStringLiteral("USB"), QString(), true},
  });
  DWORD needed = 0, returned = 7;
  EXPECT_FALSE(EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(returned, 0u);
  ASSERT_GT(needed, 2 * sizeof(PRINTER_INFO_2W));
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer.data(), needed, &needed,
                            &returned));
  ASSERT_EQ(returned, 2u);
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
  EXPECT_EQ(std::u16string(info[0].pPrinterName), u"Office");
  EXPECT_EQ(std::u16string(info[0].pDriverName), u"Laser 5");
  EXPECT_EQ(std::u16string(info[0].pPortName), u"Room 2");
  EXPECT_EQ(std::u16string(info[1].pPrinterName), u"Desk");
  EXPECT_TRUE(info[1].Attributes & PRINTER_ATTRIBUTE_DEFAULT);
  ASSERT_NE(info[1].pDevMode, nullptr);
  EXPECT_EQ(std::u16string(info[1].pDevMode->dmDeviceName), u"Desk");
  for (const PRINTER_INFO_2W& i : {info[0], info[1]}) {
    auto* text = reinterpret_cast<const BYTE*>(i.pPrinterName);
    EXPECT_TRUE(text >= buffer.data() && text < buffer.data() + buffer.size()) << "texts live in the caller's buffer";
  }

  WCHAR name[16];
  DWORD size = 2;
  EXPECT_FALSE(GetDefaultPrinterW(name, &size));
  EXPECT_EQ(size, 5u) << "the room the name needs";
  size = 16;
  ASSERT_TRUE(GetDefaultPrinterW(name, &size));
  EXPECT_EQ(std::u16string(name), u"Desk");

  HANDLE printer = nullptr;
  EXPECT_FALSE(OpenPrinterW(const_cast<LPWSTR>(u"Garage"), &printer, nullptr));
  ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(u"Office"), &printer, nullptr));
  EXPECT_EQ(DocumentPropertiesW(nullptr, printer, nullptr, nullptr, nullptr, 0), static_cast<LONG>(sizeof(DEVMODEW)));
  DEVMODEW in = A4Portrait(300), out {};
  in.dmFields |= DM_COPIES;
  in.dmOrientation = DMORIENT_LANDSCAPE;
  in.dmCopies = 3;
  EXPECT_EQ(DocumentPropertiesW(nullptr, printer, nullptr, &out, &in, DM_IN_BUFFER | DM_OUT_BUFFER), IDOK);
  EXPECT_EQ(out.dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(out.dmCopies, 3);
  EXPECT_EQ(std::u16string(out.dmDeviceName), u"Office");
  ClosePrinter(printer);
  qvui::SetPrinterList(std::nullopt);
}

TEST(Printing, LandscapeSettingsTurnThePage) {
  DEVMODEW dm = A4Portrait(100);
  dm.dmOrientation = DMORIENT_LANDSCAPE;
  HDC dc = CreateDCW(u"WINSPOOL", PDF_PRINTER_NAME, nullptr, &dm);
  ASSERT_NE(dc, nullptr);
  EXPECT_GT(GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, PHYSICALHEIGHT));
  DeleteDC(dc);
}

}  // namespace

namespace {


class PrintDialogs : public ::testing::Test {
protected:
  void SetUp() override {
    qvui::SetPrinterList(std::vector<qvui::PrinterEntry> {
        {QStringLiteral("Office"), QStringLiteral("Laser 5"), QStringLiteral("Room 2"), QString(), false},
        {QStringLiteral("Desk"), QStringLiteral("Inkjet"), QStringLiteral("USB"), QString(), true},
    });
    before = SetMessageBoxHandler([](HWND, LPCWSTR, LPCWSTR, UINT) {
      ++s_boxes;
      return IDOK;
    });
    s_boxes = 0;
  }
  void TearDown() override {
    SetMessageBoxHandler(before);
    qvui::SetPrinterList(std::nullopt);
  }
  static inline int s_boxes = 0;
  MessageBoxHandler before {};
};

TEST_F(PrintDialogs, TheDefaultPrinterComesWithoutAsking) {
  CPrintDialog dialog(FALSE);
  ASSERT_TRUE(dialog.GetDefaults());
  EXPECT_EQ(dialog.GetDeviceName(), CString(u"Desk"));
  EXPECT_EQ(dialog.GetDriverName(), CString(u"Inkjet"));
  EXPECT_EQ(dialog.GetPortName(), CString(u"USB"));
  EXPECT_EQ(s_boxes, 0);
}

TEST_F(PrintDialogs, TheUsersPrinterCopiesAndPagesComeBack) {
  CPrintDialog dialog(FALSE, PD_USEDEVMODECOPIESANDCOLLATE | PD_NOSELECTION);
  dialog.m_pd.nMinPage = 1;
  dialog.m_pd.nMaxPage = 10;
  QTimer::singleShot(0, [] {
    HWND d = ShownDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, 1057))) << "no selection to print";
    SendDlgItemMessageW(d, 1139, CB_SETCURSEL, 0, 0);
    SendMessageW(d, WM_COMMAND, MAKEWPARAM(1139, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(d, 1139)));
    SetDlgItemTextW(d, 1154, u"3");
    CheckRadioButton(d, 1056, 1058, 1058);
    SetDlgItemTextW(d, 1152, u"2");
    SetDlgItemTextW(d, 1153, u"12");
    SendMessageW(d, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(s_boxes, 1) << "page 12 is past the last page";
    SetDlgItemTextW(d, 1153, u"5");
    SendMessageW(d, WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.GetDeviceName(), CString(u"Office"));
  EXPECT_EQ(dialog.GetCopies(), 3) << "the copies go into the printer's settings";
  EXPECT_EQ(dialog.m_pd.nCopies, 1);
  EXPECT_TRUE(dialog.PrintRange());
  EXPECT_EQ(dialog.GetFromPage(), 2);
  EXPECT_EQ(dialog.GetToPage(), 5);
  EXPECT_NE(dialog.GetPrinterDC(), nullptr) << "the dialog made a DC for the printer";
}

TEST_F(PrintDialogs, WithoutPrintersThereIsNoDialog) {
  qvui::SetPrinterList(std::vector<qvui::PrinterEntry> {});
  CPrintDialog dialog(FALSE);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(PDERR_NODEFAULTPRN));
  EXPECT_EQ(s_boxes, 1) << "the user is told";
  EXPECT_FALSE(dialog.GetDefaults());
}

}  // namespace
