// Print jobs through a real print queue: the private print server of scripts/cups-queue.sh, whose
// queue writes each job it receives to a file. The test run starts the server and points
// CUPS_SERVER and QV_PRINT_QUEUE_OUT at it; without them (or without the queue) the tests skip.

#include "platform/ui/shell/winspool.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "viewer/print/tests/PrintTestSupport.h"

#include <QDir>
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

}  // namespace
