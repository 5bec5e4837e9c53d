// Print jobs through a real print queue: the private print server of scripts/cups-queue.sh, whose
// queue writes each job it receives to a file. The test run starts the server and points
// CUPS_SERVER and QV_PRINT_QUEUE_OUT at it; without them (or without the queue) the tests skip.

#include "foundation/language/CQVRCM.h"
#include "platform/core/globalmem.h"
#include "platform/ui/shell/winspool.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "viewer/print/CPrintDlg.h"
#include "viewer/print/CPrintItDlg.h"
#include "viewer/print/tests/PrintTestSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace {

constexpr char16_t kQueue[] = u"QV_TEST_PRINTER";

class PrintQueue : public PrintJobFixture {
protected:
  void SetUp() override {
    PrintJobFixture::SetUp();
    out = qEnvironmentVariable("QV_PRINT_QUEUE_OUT");
    const QString server = qEnvironmentVariable("CUPS_SERVER");
    if (out.isEmpty() || !QFile::exists(server)) GTEST_SKIP() << "no print server of the test run";
    DWORD needed = 0, count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    bool found = false;
    if (EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count))
      for (DWORD i = 0; i < count; ++i)
        found |= std::u16string(reinterpret_cast<PRINTER_INFO_2W*>(buffer.data())[i].pPrinterName) == kQueue;
    if (!found) GTEST_SKIP() << "the queue of the test run is not there";
    for (const QString& name : QDir(out).entryList({QStringLiteral("job-*.pdf")}, QDir::Files))
      QFile::remove(QDir(out).filePath(name));
  }

  // Jobs the server has not finished yet.
  static int PendingJobs() {
    QProcess run;
    run.start(QStringLiteral("lpstat"), {QStringLiteral("-o")});
    if (!run.waitForFinished(10000)) return -1;
    return static_cast<int>(run.readAllStandardOutput().count('\n'));
  }

  // The files the queue wrote, once the server has nothing left to do.
  QStringList Printed() const {
    QElapsedTimer clock;
    clock.start();
    while (PendingJobs() != 0 && clock.elapsed() < 30000) QThread::msleep(100);
    return QDir(out).entryList({QStringLiteral("job-*.pdf")}, QDir::Files, QDir::Name);
  }

  QString out;
};

TEST_F(PrintQueue, A4UpJobReachesTheQueueWhole) {
  MakePages(5);
  CPrintJob job;
  QPoint offset;
  HDC dc = Prepare(job, 5, 2, 2, reinterpret_cast<LPCWSTR>(kQueue), QString(), &offset);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(RunAll(job, dc));
  EXPECT_TRUE(Boxes().empty());
  const QStringList printed = Printed();
  ASSERT_EQ(printed.size(), 1);
  ExpectLayout(QDir(out).filePath(printed[0]), 5, 2, 2, offset, QStringLiteral("print_queue_4-up.png"));
}

TEST_F(PrintQueue, ACancelledJobNeverReachesTheQueue) {
  MakePages(4);
  CPrintJob job;
  HDC dc = Prepare(job, 4, 1, 1, reinterpret_cast<LPCWSTR>(kQueue), QString());
  ASSERT_NE(dc, nullptr);
  job.m_pProgressContext = &files;
  job.m_pfnProgress = [](void*, int sheet) {
    if (sheet == 2) g_bPrintCancel = 1;
  };
  EXPECT_TRUE(RunAll(job, dc));
  EXPECT_TRUE(Printed().isEmpty()) << "two of four sheets went to the printer";
}

TEST_F(PrintQueue, AJobTheServerRefusesIsReportedNotLost) {
  ASSERT_EQ(QProcess::execute(QStringLiteral("cupsreject"), {QString::fromUtf16(kQueue)}), 0);
  MakePages(2);
  CPrintJob job;
  HDC dc = Prepare(job, 2, 1, 1, reinterpret_cast<LPCWSTR>(kQueue), QString());
  ASSERT_NE(dc, nullptr);
  const BOOL printed = RunAll(job, dc);
  QProcess::execute(QStringLiteral("cupsaccept"), {QString::fromUtf16(kQueue)});
  EXPECT_FALSE(printed);
  ASSERT_EQ(Boxes().size(), 1u) << "the user is told";
  EXPECT_EQ(Boxes()[0].ToUtf8(), "Printing could not start. Check the printer's set-up.");
  EXPECT_TRUE(Printed().isEmpty());
}

// ---- The print set-up dialog ----------------------------------------------------------------------

void SetText(HWND dialog, int id, LPCWSTR text) { SetDlgItemTextW(dialog, id, text); }

// A click on a radio button of the group first..last.
void Click(HWND dialog, int first, int last, int id) {
  CheckRadioButton(dialog, first, last, id);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Choose(HWND dialog, int combo, int index) {
  SendDlgItemMessageW(dialog, combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, combo)));
}

TEST_F(PrintQueue, TheSetUpChecksRangeAndCopiesAndHandsOnSettingsForThePrinter) {
  struct Try {
    LPCWSTR from;
    LPCWSTR to;
    LPCWSTR copies;
    const char* message;  // none: accepted
  } tries[] = {
      {u"3", u"2", u"1", "The last image of the range comes before the first."},
      {u"1", u"1001", u"1", "The last image of the range lies beyond the document's images."},
      {u"0", u"5", u"1", "The first image of the range must be 1 or more."},
      {u"2", u"5", u"0", "The number of copies lies between 1 and 100."},
      {u"2", u"5", u"101", "The number of copies lies between 1 and 100."},
      {u"2", u"1000", u"3", nullptr},
  };
  CPrintDlg dialog;
  dialog.SetImageCount(1000);
  PrintSetting saved;
  saved.nNumPerSheet = 4;
  saved.nPrintRange = 3;
  dialog.SetOptions(saved);
  std::vector<std::string> seen;
  std::string printer;
  const INT_PTR result = RunModal(dialog, [&](CDialog& d) {
    HWND h = d.GetSafeHwnd();
    WCHAR name[64] {};
    GetDlgItemTextW(h, 1023, name, 64);
    printer = CString(name).ToUtf8();
    Choose(h, 1029, 3);  // 8 images per sheet
    Click(h, 1025, 1026, 1026);  // landscape
    Click(h, 1031, 1035, 1032);  // from-to
    for (const Try& t : tries) {
      SetText(h, 1033, t.from);
      SetText(h, 1037, t.to);
      SetText(h, 1039, t.copies);
      ClearBoxes();
      SendMessageW(h, WM_COMMAND, IDOK, 0);
      const auto boxes = Boxes();
      seen.push_back(boxes.empty() ? std::string() : boxes[0].ToUtf8());
      if (!IsWindow(h)) break;
    }
  });
  EXPECT_EQ(printer, "QV_TEST_PRINTER") << "the default printer is chosen";
  ASSERT_EQ(seen.size(), std::size(tries));
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], tries[i].message ? tries[i].message : "") << i;
  ASSERT_EQ(result, IDOK);
  const PrintSetting& options = dialog.GetOptions();
  EXPECT_EQ(options.strPrinterName.ToUtf8(), "QV_TEST_PRINTER");
  EXPECT_EQ(options.nNumPerSheet, 8);
  EXPECT_EQ(options.nOrientation, 2);
  EXPECT_EQ(options.nRowNumber, 2) << "8 per landscape sheet: 2 rows of 4";
  EXPECT_EQ(options.nColNumber, 4);
  EXPECT_EQ(options.nPrintRange, 2);
  EXPECT_EQ(options.nPageFrom, 2);
  EXPECT_EQ(options.nPageTo, 1000);
  EXPECT_EQ(options.nNumOfCopies, 3);
  ASSERT_NE(options.hDevMode, nullptr);
  auto* dm = static_cast<DEVMODEW*>(GlobalLock(options.hDevMode));
  ASSERT_NE(dm, nullptr);
  EXPECT_EQ(dm->dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(dm->dmCopies, 3);

  // The settings drive the job: its sheets come out landscape.
  MakePages(2);
  CPrintItDlg progress;
  CPrintJob& job = progress.GetJob();
  job.m_nImageCount = 2;
  job.m_nFirstImage = 1;
  job.m_nRows = options.nRowNumber;
  job.m_nColumns = options.nColNumber;
  job.m_pPathContext = &files;
  job.m_pfnGetImagePath = &PageFiles::Path;
  ASSERT_TRUE(progress.SetPrinter(options.strPrinterName, options.strPortName, u"Batch-00000001", dm));
  GlobalUnlock(options.hDevMode);
  EXPECT_EQ(progress.ShowModal(), IDOK);
  const QStringList printed = Printed();
  ASSERT_EQ(printed.size(), 1);
  const QImage sheet = RenderPage(QDir(out).filePath(printed[0]), 1);
  EXPECT_GT(sheet.width(), sheet.height());
}

TEST_F(PrintQueue, WithoutACurrentScreenOnlyAllImagesIsOffered) {
  CPrintDlg dialog;
  PrintSetting saved;
  saved.nPrintRange = 3;
  saved.nCurrentScreenUnavailable = 1;
  dialog.SetOptions(saved);
  bool all = false, fromEnabled = true, currentEnabled = true;
  RunModal(dialog, [&](CDialog& d) {
    HWND h = d.GetSafeHwnd();
    all = IsDlgButtonChecked(h, 1031) == BST_CHECKED;
    fromEnabled = IsWindowEnabled(GetDlgItem(h, 1032));
    currentEnabled = IsWindowEnabled(GetDlgItem(h, 1035));
    SendMessageW(h, WM_COMMAND, IDOK, 0);
  });
  EXPECT_TRUE(all);
  EXPECT_FALSE(fromEnabled);
  EXPECT_FALSE(currentEnabled);
  EXPECT_EQ(dialog.GetOptions().nPrintRange, 1);
}

// The dialog as a user sees it, kept with the artefacts (the run under a virtual X display).
TEST_F(PrintQueue, Screenshot) {
  CPrintDlg dialog;
  PrintSetting saved;
  saved.nNumPerSheet = 4;
  saved.nPrintRange = 2;
  saved.nPageFrom = 3;
  saved.nPageTo = 6;
  saved.nNumOfCopies = 2;
  dialog.SetOptions(saved);
  bool saved_ = false;
  RunModal(dialog, [&](CDialog& d) {
    Pump(300);
    QWidget* host = HostOf(d.GetSafeHwnd());
    ASSERT_NE(host, nullptr);
    QPixmap shot;
    if (QGuiApplication::platformName() == QStringLiteral("xcb") && host->screen()) {
      const QRect frame = host->frameGeometry();
      shot = host->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    }
    if (shot.isNull()) shot = host->grab();
    QDir().mkpath(QStringLiteral(QV_TEST_ARTIFACT_DIR));
    saved_ = shot.save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/print_dialog.png"));
    d.EndDialog(IDCANCEL);
  });
  EXPECT_TRUE(saved_);
}

}  // namespace

// Without any printer the set-up only says so (the run points this test at no print server).
TEST(NoPrinter, TheSetUpSaysSoAndCancels) {
  if (qEnvironmentVariable("QV_EXPECT_NO_PRINTER") != QStringLiteral("1")) GTEST_SKIP() << "printers may be there";
  CQVRCM::RegisterRCM(nullptr, u"ViewerPrintTest.drs", TRUE);
  ASSERT_TRUE(CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE));
  static std::vector<std::string> boxes;
  MessageBoxHandler before = SetMessageBoxHandler([](HWND, LPCWSTR text, LPCWSTR, UINT) {
    boxes.push_back(CString(text).ToUtf8());
    return IDOK;
  });
  CPrintDlg dialog;
  bool shown = false;
  const INT_PTR result = RunModal(dialog, [&](CDialog&) { shown = true; }, 2000);
  SetMessageBoxHandler(before);
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(boxes, std::vector<std::string> {"No printer is set up."});
}
