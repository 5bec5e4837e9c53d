// The print job on the PDF printer: where each image lands on the rendered sheet and how large,
// which images are asked for, what missing images, a cancel and a failing printer leave behind,
// one job at a time, and the progress dialog that runs the job on its thread.

#include "foundation/language/CQVRCM.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/winctrl.h"
#include "viewer/print/CPrintItDlg.h"
#include "viewer/print/CPrintJob.h"
#include "viewer/print/tests/PrintTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace {

std::string Narrow(const CString& text) { return text.ToUtf8(); }

using PrintJob = PrintJobFixture;

TEST(PrintJobRecord, SheetCountAndTheChecksBeforeAnyDc) {
  struct Case {
    const char* what;
    int count, first, rows, columns;
    bool context, devMode;
    int sheets;  // -1: refused
  } cases[] = {
      {"5 images 2 x 2", 5, 1, 2, 2, true, true, 2},
      {"4 images 1 x 1", 4, 1, 1, 1, true, true, 4},
      {"8 images 2 x 4", 8, 3, 2, 4, true, true, 1},
      {"33 images 8 x 4", 33, 1, 8, 4, true, true, 2},
      {"no images", 0, 1, 1, 1, true, true, -1},
      {"no rows", 4, 1, 0, 1, true, true, -1},
      {"no columns", 4, 1, 1, -1, true, true, -1},
      {"no first image", 4, 0, 1, 1, true, true, -1},
      {"no path context", 4, 1, 1, 1, false, true, -1},
      {"no printer settings", 4, 1, 1, 1, true, false, -1},
  };
  PageFiles files;
  for (const Case& c : cases) {
    CPrintJob job;
    job.m_nImageCount = c.count;
    job.m_nFirstImage = c.first;
    job.m_nRows = c.rows;
    job.m_nColumns = c.columns;
    job.m_pPathContext = c.context ? &files : nullptr;
    job.m_pfnGetImagePath = &PageFiles::Path;
    const DEVMODEW dm = TestSettings();
    HDC dc = nullptr;
    const BOOL made = job.CreatePrinterDC(PDF_PRINTER_NAME, u"", u"t", c.devMode ? &dm : nullptr, dc);
    EXPECT_EQ(made != FALSE, c.sheets > 0) << c.what;
    EXPECT_EQ(dc != nullptr, c.sheets > 0) << c.what;
    if (c.sheets > 0) {
      EXPECT_EQ(job.m_nSheetCount, c.sheets) << c.what;
    }
    if (dc) DeleteDC(dc);
  }
  CPrintJob job;
  job.m_nImageCount = 1;
  job.m_nFirstImage = 1;
  job.m_pPathContext = &files;
  job.m_pfnGetImagePath = &PageFiles::Path;
  const DEVMODEW dm = TestSettings();
  HDC dc = nullptr;
  EXPECT_FALSE(job.CreatePrinterDC(u"No such printer", u"", u"t", &dm, dc)) << "a printer that is not there";
}

TEST_F(PrintJob, EachImageLandsInItsCellFittedCentredAndFramed) {
  struct Case {
    const char* what;
    int count, rows, columns, first;
  } cases[] = {
      {"1-up", 2, 1, 1, 1},
      {"4-up, five images from image 7", 5, 2, 2, 7},
      {"8-up", 3, 4, 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MakePages(c.count, c.first);
    CPrintJob job;
    QPoint offset;
    const QString pdf = Pdf(c.what);
    HDC dc = Prepare(job, c.count, c.rows, c.columns, PDF_PRINTER_NAME, pdf, &offset);
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(RunAll(job, dc));
    EXPECT_TRUE(Boxes().empty());
    std::vector<int> numbers;
    for (int k = 0; k < c.count; ++k) numbers.push_back(c.first + k);
    EXPECT_EQ(files.asked, numbers) << "each image once, in order, by its own number";
    ExpectLayout(pdf, c.count, c.rows, c.columns, offset, QStringLiteral("print_%1-up.png").arg(c.rows * c.columns));
  }
}

TEST_F(PrintJob, AMissingImageIsNamedAndOnlyItsCellStaysEmpty) {
  MakePages(4);
  files.paths[1] = CString(u"  /no/such/page.tif ");
  CPrintJob job;
  QPoint offset;
  const QString pdf = Pdf("missing.pdf");
  HDC dc = Prepare(job, 4, 2, 2, PDF_PRINTER_NAME, pdf, &offset);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(RunAll(job, dc));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Narrow(Boxes()[0]).find("/no/such/page.tif could not be read"), std::string::npos) << Narrow(Boxes()[0]);
  ASSERT_EQ(PdfPageCount(pdf), 1);
  const QImage page = RenderPage(pdf, 1);
  const int w = printable.Width() / 2, h = printable.Height() / 2;
  EXPECT_TRUE(DarkBox(page, QRect(offset.x() + w + 1, offset.y() + 1, w - 2, h - 2)).isEmpty()) << "no image, no frame";
  for (QPoint cell : {QPoint(0, 0), QPoint(0, 1), QPoint(1, 1)})
    EXPECT_FALSE(DarkBox(page, QRect(offset.x() + w * cell.x(), offset.y() + h * cell.y(), w, h)).isEmpty());
}

TEST_F(PrintJob, SheetsWithoutAnyImageAreLeftOutAndTheOthersKept) {
  MakePages(3);
  files.paths[2] = CString();  // the last sheet's only image
  CPrintJob job;
  const QString pdf = Pdf("last-missing.pdf");
  HDC dc = Prepare(job, 3, 1, 1, PDF_PRINTER_NAME, pdf);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(RunAll(job, dc));
  EXPECT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(PdfPageCount(pdf), 2) << "the sheets already printed are not thrown away";

  ClearBoxes();
  files.paths.assign(3, CString(u"/no/such/file"));
  CPrintJob none;
  const QString nothing = Pdf("all-missing.pdf");
  dc = Prepare(none, 3, 1, 1, PDF_PRINTER_NAME, nothing);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(RunAll(none, dc));
  EXPECT_EQ(Boxes().size(), 3u) << "one message per image";
  EXPECT_FALSE(QFile::exists(nothing)) << "a job without a printed sheet gives the printer nothing";
}

TEST_F(PrintJob, ACancelAnywhereLeavesNoPartOfTheJob) {
  MakePages(4);
  struct Stop {
    const char* what;
    bool inSheet;
  } stops[] = {{"between sheets", false}, {"inside a sheet", true}};
  for (const Stop& s : stops) {
    SCOPED_TRACE(s.what);
    CPrintJob job;
    const QString pdf = Pdf(s.what);
    HDC dc = Prepare(job, 4, 1, 2, PDF_PRINTER_NAME, pdf);
    ASSERT_NE(dc, nullptr);
    static std::atomic<int> sheetsDone;
    sheetsDone = 0;
    if (s.inSheet) {
      // Image 4, the second of sheet 2: asking for it cancels.
      job.m_pfnGetImagePath = [](void* context, int number) {
        if (number == 4) g_bPrintCancel = 1;
        return PageFiles::Path(context, number);
      };
    } else {
      job.m_pProgressContext = &files;
      job.m_pfnProgress = [](void*, int) {
        ++sheetsDone;
        g_bPrintCancel = 1;
      };
    }
    EXPECT_TRUE(RunAll(job, dc)) << "a cancel is no failure";
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(Boxes().empty());
    if (!s.inSheet) {
      EXPECT_EQ(sheetsDone.load(), 1);
    }
    EXPECT_FALSE(CPrintItDlg::IsNotCancelled());
  }
  CPrintJob next;
  EXPECT_TRUE(CPrintItDlg::IsNotCancelled()) << "a new job starts uncancelled";
}

TEST_F(PrintJob, APrinterThatRefusesTheDocumentIsReportedOnce) {
  MakePages(1);
  CPrintJob job;
  const QString pdf = dir.filePath(QStringLiteral("no-folder/out.pdf"));
  HDC dc = Prepare(job, 1, 1, 1, PDF_PRINTER_NAME, pdf);
  ASSERT_NE(dc, nullptr);
  EXPECT_FALSE(RunAll(job, dc));
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Narrow(Boxes()[0]), "Printing could not start. Check the printer's set-up.");
  EXPECT_TRUE(files.asked.empty());
  EXPECT_FALSE(QFile::exists(pdf));
}

// Job A holds the print lock while its path function waits; job B, started meanwhile, must not
// reach its images until A has finished.
TEST_F(PrintJob, PrintJobsRunOneAtATime) {
  MakePages(2);
  static std::mutex gate;
  static std::condition_variable opened;
  static bool open;
  static std::atomic<bool> aWaiting, aDone;
  open = false;
  aWaiting = aDone = false;
  CPrintJob a, b;
  const QString pdfA = Pdf("a.pdf"), pdfB = Pdf("b.pdf");
  HDC dcA = Prepare(a, 2, 1, 1, PDF_PRINTER_NAME, pdfA);
  a.m_pfnGetImagePath = [](void* context, int number) {
    aWaiting = true;
    std::unique_lock<std::mutex> hold(gate);
    opened.wait(hold, [] { return open; });
    return PageFiles::Path(context, number);
  };
  a.m_pfnProgress = [](void*, int sheet) { aDone = sheet == 2; };
  a.m_pProgressContext = &a;
  PageFiles filesB;
  filesB.paths = files.paths;
  HDC dcB = Prepare(b, 2, 1, 1, PDF_PRINTER_NAME, pdfB);
  b.m_pPathContext = &filesB;
  static std::atomic<bool> bAskedEarly;
  bAskedEarly = false;
  b.m_pfnGetImagePath = [](void* context, int number) {
    if (!aDone) bAskedEarly = true;
    return PageFiles::Path(context, number);
  };
  PrintThreadArgs argsA {dcA, &a, u"A", 1, 2, 2, 0, 1, 1, 1, nullptr};
  PrintThreadArgs argsB {dcB, &b, u"B", 1, 2, 2, 0, 1, 1, 1, nullptr};
  CWinThread* threadA = AfxBeginThread(&PrintThreadProc, &argsA, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  threadA->m_bAutoDelete = FALSE;
  threadA->ResumeThread();
  ASSERT_TRUE(PumpUntil([] { return aWaiting.load(); }, 10000));
  CWinThread* threadB = AfxBeginThread(&PrintThreadProc, &argsB, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  threadB->m_bAutoDelete = FALSE;
  threadB->ResumeThread();
  Pump(200);
  {
    std::lock_guard<std::mutex> guard(gate);
    open = true;
  }
  opened.notify_all();
  for (CWinThread* t : {threadA, threadB}) {
    EXPECT_EQ(WaitForSingleObject(t->m_hThread, 60000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeThread(t->m_hThread, &code);
    EXPECT_EQ(code, 0u);
    delete t;
  }
  EXPECT_FALSE(bAskedEarly.load()) << "job B printed while job A held the printer";
  EXPECT_EQ(PdfPageCount(pdfA), 2);
  EXPECT_EQ(PdfPageCount(pdfB), 2);
  EXPECT_EQ(PrintThreadProc(nullptr), static_cast<UINT>(-1));
}

// ---- The progress dialog ------------------------------------------------------------------------

// Notes the controls' state when the thread's end reaches the dialog, before it closes.
class WatchedPrintDlg : public CPrintItDlg {
public:
  int rangeHigh {-1};
  int position {-1};
  CString sheetText;
  std::function<void(WatchedPrintDlg&)> onStart;

protected:
  LRESULT OnDone(WPARAM completed, LPARAM lParam) {
    PBRANGE range {};
    m_progress.SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    rangeHigh = range.iHigh;
    position = m_progress.GetPos();
    GetDlgItemText(1042, sheetText);
    return OnJobDone(completed, lParam);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(WatchedPrintDlg, CPrintItDlg)
  ON_MESSAGE(WM_QV_PRINTJOB_DONE, &WatchedPrintDlg::OnDone)
END_MESSAGE_MAP()

TEST_F(PrintJob, TheDialogShowsThePrinterAndEverySheetUntilTheJobEnds) {
  MakePages(4);
  WatchedPrintDlg dialog;
  CPrintJob& job = dialog.GetJob();
  job.m_nImageCount = 4;
  job.m_nFirstImage = 1;
  job.m_pPathContext = &files;
  job.m_pfnGetImagePath = &PageFiles::Path;
  const QString pdf = Pdf("dialog.pdf");
  job.m_strOutput = CString(reinterpret_cast<LPCWSTR>(pdf.utf16()));
  const DEVMODEW dm = TestSettings();
  ASSERT_TRUE(dialog.SetPrinter(PDF_PRINTER_NAME, u"FILE:", u"Batch-00000001", &dm));
  CString printer, port;
  QTimer::singleShot(0, [&] {
    printer = CString();
    HWND d = dialog.GetSafeHwnd();
    WCHAR text[64] {};
    GetDlgItemTextW(d, 1044, text, 64);
    printer = text;
    GetDlgItemTextW(d, 1046, text, 64);
    port = text;
  });
  EXPECT_EQ(dialog.ShowModal(), IDOK);
  EXPECT_EQ(Narrow(printer), "PDF");
  EXPECT_EQ(Narrow(port), "FILE:");
  EXPECT_EQ(dialog.rangeHigh, 4);
  EXPECT_EQ(dialog.position, 4);
  EXPECT_EQ(Narrow(dialog.sheetText), "  4") << "three places, right-aligned";
  EXPECT_EQ(PdfPageCount(pdf), 4);
  EXPECT_TRUE(CPrintItDlg::IsNotCancelled());
}

TEST_F(PrintJob, CancelWaitsForTheThreadAndLeavesNoFile) {
  MakePages(3);
  static std::mutex gate;
  static std::condition_variable opened;
  static bool open;
  static std::atomic<bool> waiting;
  open = false;
  waiting = false;
  auto dialog = std::make_unique<CPrintItDlg>();
  CPrintJob& job = dialog->GetJob();
  job.m_nImageCount = 3;
  job.m_nFirstImage = 1;
  job.m_pPathContext = &files;
  job.m_pfnGetImagePath = [](void* context, int number) {
    if (number == 2) {
      waiting = true;
      std::unique_lock<std::mutex> hold(gate);
      opened.wait(hold, [] { return open; });
    }
    return PageFiles::Path(context, number);
  };
  const QString pdf = Pdf("cancelled.pdf");
  job.m_strOutput = CString(reinterpret_cast<LPCWSTR>(pdf.utf16()));
  const DEVMODEW dm = TestSettings();
  ASSERT_TRUE(dialog->SetPrinter(PDF_PRINTER_NAME, u"FILE:", u"t", &dm));
  bool stillUp = false, cancelDisabled = false;
  CString title;
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(PumpUntil([] { return waiting.load(); }, 10000));
    HWND d = dialog->GetSafeHwnd();
    SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(d, IDCANCEL)));
    Pump(100);
    stillUp = IsWindow(d) && IsWindowVisible(d);
    cancelDisabled = !IsWindowEnabled(GetDlgItem(d, IDCANCEL));
    WCHAR text[64] {};
    GetDlgItemTextW(d, 1041, text, 64);
    title = text;
    {
      std::lock_guard<std::mutex> guard(gate);
      open = true;
    }
    opened.notify_all();
  });
  EXPECT_EQ(dialog->ShowModal(), IDCANCEL);
  EXPECT_TRUE(stillUp) << "the dialog waits for the thread";
  EXPECT_TRUE(cancelDisabled);
  EXPECT_EQ(Narrow(title), "Cancelling...");
  EXPECT_FALSE(CPrintItDlg::IsNotCancelled());
  dialog.reset();  // waits for the thread: nothing of it may outlive the dialog
  EXPECT_FALSE(QFile::exists(pdf));
  EXPECT_TRUE(std::find(files.asked.begin(), files.asked.end(), 3) == files.asked.end()) << "no image after the cancel";
}

TEST_F(PrintJob, AWrongSetUpIsRefusedBeforeTheDialogShows) {
  CPrintItDlg dialog;
  dialog.GetJob().m_nImageCount = 3;
  dialog.GetJob().m_nFirstImage = 1;
  dialog.GetJob().m_pPathContext = &files;
  dialog.GetJob().m_pfnGetImagePath = &PageFiles::Path;
  EXPECT_FALSE(dialog.SetPrinter(PDF_PRINTER_NAME, u"", u"t", nullptr)) << "no printer settings";
  const DEVMODEW dm = TestSettings();
  EXPECT_FALSE(dialog.SetPrinter(u"Nowhere", u"", u"t", &dm));
}

}  // namespace
