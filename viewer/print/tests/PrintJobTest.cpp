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

std::vector<CString> g_boxes;
std::mutex g_boxLock;

int RecordBox(HWND, LPCWSTR text, LPCWSTR, UINT) {
  std::lock_guard<std::mutex> guard(g_boxLock);
  g_boxes.emplace_back(text ? text : u"");
  return IDOK;
}

std::string Narrow(const CString& text) { return text.ToUtf8(); }

class PrintJob : public ::testing::Test {
protected:
  void SetUp() override {
    CQVRCM::RegisterRCM(nullptr, u"ViewerPrintTest.drs", TRUE);
    ASSERT_TRUE(CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE));
    ASSERT_TRUE(dir.isValid());
    g_boxes.clear();
    before = SetMessageBoxHandler(&RecordBox);
  }
  void TearDown() override { SetMessageBoxHandler(before); }

  QString Pdf(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

  // Image k of n: all black, 300 high and 120 + 40 k wide, so that each lands with a size of its own.
  void MakePages(int n, int first = 1) {
    files.first = first;
    for (int k = 0; k < n; ++k)
      files.paths.push_back(WriteBlackPage(dir.path(), QStringLiteral("page%1.png").arg(k), 120 + 40 * k, 300));
  }

  // Fills the job for the pages and the PDF file, and makes its DC; the printable area's place on
  // the paper comes back in `offset`.
  HDC Prepare(CPrintJob& job, int count, int rows, int columns, const QString& pdf, QPoint* offset = nullptr) {
    job.m_nImageCount = count;
    job.m_nFirstImage = files.first;
    job.m_nRows = rows;
    job.m_nColumns = columns;
    job.m_pPathContext = &files;
    job.m_pfnGetImagePath = &PageFiles::Path;
    job.m_strOutput = CString(reinterpret_cast<LPCWSTR>(pdf.utf16()));
    const DEVMODEW dm = TestSettings();
    HDC dc = nullptr;
    if (!job.CreatePrinterDC(PDF_PRINTER_NAME, u"FILE:", u"Test job", &dm, dc)) return nullptr;
    if (offset) *offset = QPoint(GetDeviceCaps(dc, PHYSICALOFFSETX), GetDeviceCaps(dc, PHYSICALOFFSETY));
    printable = CRect(0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES));
    return dc;
  }

  BOOL RunAll(CPrintJob& job, HDC dc) {
    return job.Run(dc, job.m_strTitle, 1, job.m_nSheetCount, job.m_nImageCount, job.m_nFirstImage, job.m_nRows,
                   job.m_nColumns, nullptr);
  }

  // Where image `index` (0-based in the job) should land, by the layout rule: the cell less a
  // tenth of an inch on each side, the image fitted into it with its aspect and centred.
  QRect Expected(int index, int rows, int columns, int width, int height) const {
    const int cells = rows * columns, at = index % cells, r = at / columns, c = at % columns;
    const int w = printable.Width() / columns, h = printable.Height() / rows, m = kTestDpi / 10;
    const QRect box(w * c + m, h * r + m, w - 2 * m, h - 2 * m);
    const double scale = std::min(double(box.width()) / width, double(box.height()) / height);
    const int iw = int(width * scale), ih = int(height * scale);
    return QRect(box.left() + (box.width() - iw) / 2, box.top() + (box.height() - ih) / 2, iw, ih);
  }

  QTemporaryDir dir;
  PageFiles files;
  CRect printable;
  MessageBoxHandler before {};
};

void ExpectNear(const QRect& got, const QRect& want, const std::string& what) {
  const int slack = 2;
  EXPECT_NEAR(got.left(), want.left(), slack) << what;
  EXPECT_NEAR(got.top(), want.top(), slack) << what;
  EXPECT_NEAR(got.right(), want.right(), slack) << what;
  EXPECT_NEAR(got.bottom(), want.bottom(), slack) << what;
}

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
    files.paths.clear();
    files.asked.clear();
    MakePages(c.count, c.first);
    CPrintJob job;
    QPoint offset;
    const QString pdf = Pdf(c.what);
    HDC dc = Prepare(job, c.count, c.rows, c.columns, pdf, &offset);
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(RunAll(job, dc));
    EXPECT_TRUE(g_boxes.empty());
    std::vector<int> numbers;
    for (int k = 0; k < c.count; ++k) numbers.push_back(c.first + k);
    EXPECT_EQ(files.asked, numbers) << "each image once, in order, by its own number";
    const int cells = c.rows * c.columns, sheets = (c.count + cells - 1) / cells;
    ASSERT_EQ(PdfPageCount(pdf), sheets);
    for (int sheet = 1; sheet <= sheets; ++sheet) {
      const QImage page = RenderPage(pdf, sheet);
      ASSERT_FALSE(page.isNull());
      if (sheet == 1) page.save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/print_%1.png").arg(cells));
      for (int cell = 0; cell < cells; ++cell) {
        const int index = (sheet - 1) * cells + cell;
        const int w = printable.Width() / c.columns, h = printable.Height() / c.rows;
        const QRect area(offset.x() + w * (cell % c.columns), offset.y() + h * (cell / c.columns), w, h);
        const QRect inner = area.adjusted(kTestDpi / 10, kTestDpi / 10, -kTestDpi / 10, -kTestDpi / 10);
        const std::string where = "sheet " + std::to_string(sheet) + " cell " + std::to_string(cell);
        if (index >= c.count) {
          EXPECT_TRUE(DarkBox(page, area.adjusted(1, 1, -1, -1)).isEmpty()) << where << " stays blank, unframed";
          continue;
        }
        ExpectNear(DarkBox(page, inner.adjusted(1, 1, -1, -1)),
                   Expected(index, c.rows, c.columns, 120 + 40 * index, 300).translated(offset), where);
        // The frame lies half way between the cell's edge and the image's box.
        const int half = kTestDpi / 20;
        ExpectNear(DarkBox(page, area.adjusted(1, 1, -1, -1)), area.adjusted(half, half, -half, -half), where + " frame");
      }
    }
  }
}

TEST_F(PrintJob, AMissingImageIsNamedAndOnlyItsCellStaysEmpty) {
  MakePages(4);
  files.paths[1] = CString(u"  /no/such/page.tif ");
  CPrintJob job;
  QPoint offset;
  const QString pdf = Pdf("missing.pdf");
  HDC dc = Prepare(job, 4, 2, 2, pdf, &offset);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(RunAll(job, dc));
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_NE(Narrow(g_boxes[0]).find("/no/such/page.tif could not be read"), std::string::npos) << Narrow(g_boxes[0]);
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
  HDC dc = Prepare(job, 3, 1, 1, pdf);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(RunAll(job, dc));
  EXPECT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(PdfPageCount(pdf), 2) << "the sheets already printed are not thrown away";

  g_boxes.clear();
  files.paths.assign(3, CString(u"/no/such/file"));
  CPrintJob none;
  const QString nothing = Pdf("all-missing.pdf");
  dc = Prepare(none, 3, 1, 1, nothing);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(RunAll(none, dc));
  EXPECT_EQ(g_boxes.size(), 3u) << "one message per image";
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
    HDC dc = Prepare(job, 4, 1, 2, pdf);
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
    EXPECT_TRUE(g_boxes.empty());
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
  HDC dc = Prepare(job, 1, 1, 1, pdf);
  ASSERT_NE(dc, nullptr);
  EXPECT_FALSE(RunAll(job, dc));
  ASSERT_EQ(g_boxes.size(), 1u);
  EXPECT_EQ(Narrow(g_boxes[0]), "Printing could not start. Check the printer's set-up.");
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
  HDC dcA = Prepare(a, 2, 1, 1, pdfA);
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
  HDC dcB = Prepare(b, 2, 1, 1, pdfB);
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
