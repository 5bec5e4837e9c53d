// The progress dialog with its task: work on the worker thread that ends and closes the dialog,
// a stop that ends the work at the next step without leaving part of the output, a failing task
// that says why, the confirmation of a stop, a worker that reports faster than the dialog paints,
// a close that waits for the worker without blocking the window, and the dialog polling callbacks
// (a dialog with nothing to wait for, percentages out of range, Enter and Esc, unbinding a task).

#include "framework/views/CQVSPRDialog.h"
#include "framework/views/CQVSPRTask.h"

#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/winctrl.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace {

constexpr int kStop = 1041;
constexpr int kClose = 1042;
constexpr int kProgressDescription = 1038;
constexpr int kProgressBar = 1040;

// A dialog that notes on which thread, and how often, it updates its controls.
class TestDialog : public CQVSPRDialog {
public:
  void OnUpdateProgress() override {
    ++updates;
    if (std::this_thread::get_id() != uiThread) ++offThread;
    CQVSPRDialog::OnUpdateProgress();
  }
  bool ItemShown(int id) { return GetDlgItem(id) && GetDlgItem(id)->IsWindowVisible(); }
  CString ItemText(int id) {
    CString text;
    GetDlgItemText(id, text);
    return text;
  }
  int Bar() { return static_cast<int>(SendDlgItemMessage(kProgressBar, PBM_GETPOS)); }
  void Click(int id) { SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

  std::thread::id uiThread { std::this_thread::get_id() };
  int updates { 0 };
  int offThread { 0 };
};

// Writes `pages` pages to `output`, a step each, through a file beside it that becomes the output
// only when every page is written. A stop ends the work at the next step and takes the partial
// file away; a page that cannot be read ends it with a message.
class PageWriter : public CQVSPRTaskEx {
public:
  PageWriter(std::filesystem::path output, int pages, int badPage = -1)
      : CQVSPRTaskEx(2), m_output(std::move(output)), m_pages(pages), m_badPage(badPage) {}
  BOOL GetCompleteMessage(CString& text) override {
    if (m_error.IsEmpty()) return FALSE;
    text = m_error;
    return TRUE;
  }
  BOOL GetStopConfirmMessage(CString& text) override {
    if (m_confirm.IsEmpty()) return FALSE;
    text = m_confirm;
    return TRUE;
  }

  std::atomic<int> written { 0 };
  std::atomic<bool> inStep { false };  // the worker is in the middle of a page
  std::atomic<int> stepMs { 20 };
  CString m_confirm;

protected:
  void OnProcess() override {
    const std::filesystem::path partial = m_output.string() + ".part";
    L1_SetTotal(m_pages, FALSE);
    L1_SetCompleted(0, TRUE);
    {
      std::ofstream out(partial, std::ios::binary);
      for (int page = 1; page <= m_pages; ++page) {
        if (IsStopRequested()) break;
        if (page == m_badPage) {
          m_error.Format(u"Page %d cannot be read: the file is damaged.", page);
          break;
        }
        inStep = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(stepMs.load()));
        inStep = false;
        out << "page " << page << "\n";
        ++written;
        L1_SetCompleted(page, TRUE);
      }
    }
    std::error_code ignored;
    if (written == m_pages) std::filesystem::rename(partial, m_output, ignored);
    else std::filesystem::remove(partial, ignored);
    SetCompleted(TRUE);
  }

private:
  std::filesystem::path m_output;
  int m_pages;
  int m_badPage;
  CString m_error;
};

class ProgressDialog : public ::testing::Test {
protected:
  void SetUp() override { output = std::filesystem::path(folder.path().toStdString()) / "out.txt"; }
  // Runs DoTask; `script` runs in the dialog's loop once it shows. A dialog still open after 10 s
  // fails the test and is closed.
  BOOL Run(TestDialog& dialog, CQVSPRTask& task, const std::function<void()>& script = {}) {
    if (script) QTimer::singleShot(0, script);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
      ADD_FAILURE() << "the dialog was still open";
      if (dialog.GetSafeHwnd()) dialog.EndDialog(-99);
    });
    guard.start(10000);
    return dialog.DoTask(task);
  }
  int Lines() {
    std::ifstream in(output);
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
  }
  bool Leftovers() { return std::filesystem::exists(output.string() + ".part"); }

  QTemporaryDir folder;
  std::filesystem::path output;
};

TEST_F(ProgressDialog, RunsTheTaskToItsEndAndClosesByItself) {
  TestDialog dialog;
  PageWriter task(output, 5);
  task.stepMs = 200;  // long enough for the window to show a page under way on a loaded machine
  CString seen;
  const BOOL ran = Run(dialog, task, [&] {
    PumpUntil([&] {
      seen = dialog.ItemText(kProgressDescription);
      return seen.Find(u" of 5") > 0 || task.IsFinished();
    });
  });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(task.IsFinished());
  EXPECT_EQ(Lines(), 5);
  EXPECT_FALSE(Leftovers());
  EXPECT_TRUE(seen.Find(u" of 5") > 0) << "the dialog showed the task's progress";
  EXPECT_GT(dialog.updates, 0);
  EXPECT_EQ(dialog.offThread, 0) << "every update ran on the dialog's thread";
  EXPECT_EQ(task.GetDialog(), nullptr) << "the closed dialog let the task go";
}

TEST_F(ProgressDialog, AStopEndsTheWorkAtTheNextStepWithoutPartialOutput) {
  TestDialog dialog;
  PageWriter task(output, 50);
  int writtenAtStop = -1;
  Run(dialog, task, [&] {
    PumpUntil([&] { return task.written >= 3; });
    writtenAtStop = task.written;
    dialog.Click(kStop);
  });
  EXPECT_TRUE(task.IsFinished());
  EXPECT_LE(task.written, writtenAtStop + 1) << "at most the step under way";
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_FALSE(Leftovers());
}

TEST_F(ProgressDialog, AFailingTaskSaysWhyAndWaitsForClose) {
  TestDialog dialog;
  PageWriter task(output, 6, 3);
  CString shown;
  bool stopShown = true, closeShown = false;
  const BOOL ran = Run(dialog, task, [&] {
    PumpUntil([&] { return task.IsFinished() && dialog.ItemShown(kClose); });
    Pump(150);  // still open: it waits for the user
    shown = dialog.ItemText(kProgressDescription);
    stopShown = dialog.ItemShown(kStop);
    closeShown = dialog.ItemShown(kClose);
    dialog.Click(kClose);
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(shown, CString(u"Page 3 cannot be read: the file is damaged."));
  EXPECT_FALSE(stopShown);
  EXPECT_TRUE(closeShown);
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_FALSE(Leftovers());
}

int g_answer = IDNO;
int g_boxes = 0;
CString g_boxText;
int Answer(HWND, LPCWSTR text, LPCWSTR, UINT) {
  ++g_boxes;
  g_boxText = text;
  return g_answer;
}

TEST_F(ProgressDialog, AStopThatIsNotConfirmedLetsTheWorkGoOn) {
  const MessageBoxHandler old = SetMessageBoxHandler(&Answer);
  for (const int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer == IDNO ? "No" : "Yes");
    g_answer = answer;
    g_boxes = 0;
    TestDialog dialog;
    PageWriter task(output, 8);
    task.m_confirm = u"Stop writing the pages?";
    Run(dialog, task, [&] {
      PumpUntil([&] { return task.written >= 1; });
      dialog.Click(kStop);
    });
    EXPECT_EQ(g_boxes, 1);
    EXPECT_EQ(g_boxText, CString(u"Stop writing the pages?"));
    EXPECT_EQ(task.written == 8, answer == IDNO);
    EXPECT_EQ(std::filesystem::exists(output), answer == IDNO);
    std::filesystem::remove(output);
  }
  SetMessageBoxHandler(old);
}

TEST_F(ProgressDialog, AFloodOfReportsNeitherFloodsNorBlocksTheWindow) {
  // 20,000 reports while the window is held busy, then, once the window has shown them, reports
  // until it has answered its own timer five more times: whatever the machine's load, the
  // held-back reports come to the window as one update, and the window keeps answering while
  // reports keep coming.
  constexpr int kFlood = 20000;
  std::atomic<bool> windowHeld { false };
  std::atomic<bool> floodSent { false };
  std::atomic<bool> floodSeen { false };
  std::atomic<int> ticks { 0 };
  class Flood : public CQVSPRTask {
  public:
    Flood(std::atomic<bool>& held, std::atomic<bool>& sent, std::atomic<bool>& seen, std::atomic<int>& ticks)
        : m_held(held), m_sent(sent), m_seen(seen), m_ticks(ticks) {}
    std::atomic<int> reports { 0 };
    std::atomic<int> ticksSeen { -1 };

  protected:
    void OnProcess() override {
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
      while (!m_held && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
      for (int i = 0; i < kFlood; ++i) SetProgress(u"busy", ++reports % 100, FALSE);
      m_sent = true;
      while (!m_seen && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
      const int start = m_ticks;
      while (m_ticks < start + 5 && std::chrono::steady_clock::now() < deadline && !IsStopRequested())
        SetProgress(u"busy", ++reports % 100, FALSE);
      ticksSeen = m_ticks - start;
      SetProgress(u"done", 100, TRUE);
    }

  private:
    std::atomic<bool>& m_held;
    std::atomic<bool>& m_sent;
    std::atomic<bool>& m_seen;
    std::atomic<int>& m_ticks;
  } task(windowHeld, floodSent, floodSeen, ticks);
  TestDialog dialog;
  int updatesBeforeFlood = -1, updatesAfterFlood = -1;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
  Run(dialog, task, [&] {
    // The window is held busy on its own thread until the worker has sent the whole flood.
    updatesBeforeFlood = dialog.updates;
    windowHeld = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
    while (!floodSent && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    PumpUntil([&] { return dialog.updates > updatesBeforeFlood; }, 5000);
    Pump(20);
    updatesAfterFlood = dialog.updates;
    floodSeen = true;
    ticker.start(10);
  });
  ticker.stop();
  EXPECT_EQ(dialog.offThread, 0);
  EXPECT_TRUE(floodSent);
  EXPECT_GE(task.reports, kFlood);
  EXPECT_LE(updatesAfterFlood - updatesBeforeFlood, 2) << "reports are merged while an update is waiting";
  EXPECT_GE(task.ticksSeen, 5) << "the window's own timers kept running under the flood";
}

TEST_F(ProgressDialog, ClosingWaitsForTheWorkerWhileTheWindowKeepsAnswering) {
  TestDialog dialog;
  PageWriter task(output, 3);
  task.stepMs = 1000;
  int ticks = 0;  // timer ticks the window answered while the worker was still at work
  bool closeEnabled = true;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    if (!task.IsFinished()) ++ticks;
  });
  Run(dialog, task, [&] {
    // Closes while the worker is in the middle of its second page.
    PumpUntil([&] { return task.written >= 1 && task.inStep; }, 5000);
    dialog.Click(kClose);
    closeEnabled = dialog.GetDlgItem(kClose)->IsWindowEnabled();
    ticker.start(10);
  });
  ticker.stop();
  EXPECT_TRUE(task.IsFinished()) << "DoTask returned after the worker ended";
  EXPECT_FALSE(closeEnabled);
  EXPECT_GE(ticks, 1) << "the window kept answering while the worker finished its step";
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_FALSE(Leftovers());
}

TEST_F(ProgressDialog, SaysSoWhenTheTaskCannotStart) {
  TestDialog dialog;
  PageWriter task(output, 2);
  ASSERT_TRUE(task.Start());  // a task runs once at a time
  EXPECT_FALSE(Run(dialog, task));
  task.RequestStop(TRUE);
}

int g_percent = 0;
int g_done = 0;
void Progress(LPARAM user, CString& text, int& percent, int& done) {
  text.Format(u"report %d", static_cast<int>(user));
  percent = g_percent;
  done = g_done;
}

TEST(ProgressDialogPolling, ADialogWithNothingToWaitForClosesAtOnce) {
  TestDialog dialog;
  QElapsedTimer clock;
  clock.start();
  QTimer::singleShot(5000, [&] {
    if (dialog.GetSafeHwnd()) dialog.EndDialog(-99);
  });
  EXPECT_EQ(dialog.ShowModal(), IDCANCEL);
  EXPECT_LT(clock.elapsed(), 2000);
}

TEST(ProgressDialogPolling, ShowsPercentagesOutOfRangeAtTheNearestEnd) {
  TestDialog dialog;
  dialog.SetCB_GetProgress(&Progress, 7);
  g_done = 0;
  struct Case {
    int percent, bar;
  } cases[] = {{40, 40}, {150, 100}, {-3, 0}, {100, 100}};
  std::vector<int> bars;
  CString text;
  QTimer::singleShot(0, [&] {
    for (const Case& c : cases) {
      g_percent = c.percent;
      Pump(250);  // two polls
      bars.push_back(dialog.Bar());
    }
    text = dialog.ItemText(kProgressDescription);
    // Enter and Esc do nothing; the close box neither.
    dialog.SendMessage(WM_COMMAND, IDOK, 0);
    dialog.SendMessage(WM_COMMAND, IDCANCEL, 0);
    dialog.SendMessage(WM_CLOSE);
    Pump(30);
    EXPECT_TRUE(dialog.IsWindowVisible()) << "Enter and Esc are locked";
    g_done = 1;
  });
  QTimer::singleShot(8000, [&] {
    if (dialog.GetSafeHwnd()) dialog.EndDialog(-99);
  });
  EXPECT_EQ(dialog.ShowModal(), IDCANCEL);
  ASSERT_EQ(bars.size(), 4u);
  for (size_t i = 0; i < bars.size(); ++i) EXPECT_EQ(bars[i], cases[i].bar) << cases[i].percent;
  EXPECT_EQ(text, CString(u"report 7"));
}

TEST(ProgressDialogPolling, ACallbackSetAfterTheTaskLetsTheTaskGo) {
  TestDialog dialog;
  PageWriter task(std::filesystem::temp_directory_path() / "qv-unused.txt", 2);
  ASSERT_TRUE(dialog.SetTask(&task));
  EXPECT_EQ(task.GetDialog(), &dialog);
  dialog.SetCB_Stop(nullptr, 0);
  EXPECT_EQ(task.GetDialog(), nullptr) << "the task no longer wakes the dialog";
  g_done = 1;
  dialog.SetCB_GetProgress(&Progress, 1);
  QTimer::singleShot(5000, [&] {
    if (dialog.GetSafeHwnd()) dialog.EndDialog(-99);
  });
  EXPECT_EQ(dialog.ShowModal(), IDCANCEL);
  EXPECT_EQ(task.written, 0) << "nor is it started";
  EXPECT_TRUE(task.IsFinished());
}

}  // namespace

namespace {

// The dialog with a task under way, on X: icon, texts, bar and Stop in their places.
TEST(ProgressDialogOnX11, ShowsTheTaskUnderWay) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "needs an X display";
  QTemporaryDir folder;
  PageWriter task(std::filesystem::path(folder.path().toStdString()) / "out.txt", 40);
  TestDialog dialog;
  dialog.SetTaskDescription(u"Writing 40 pages");
  QImage shot;
  CRect whole;
  QTimer::singleShot(0, [&] {
    PumpUntil([&] { return task.written >= 10; }, 5000);
    Pump(100);
    dialog.GetWindowRect(&whole);
    shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(kStop, BN_CLICKED), 0);
  });
  EXPECT_TRUE(dialog.DoTask(task));
  ASSERT_FALSE(whole.IsRectEmpty());
  QDir().mkpath(QStringLiteral(QV_TEST_ARTIFACT_DIR));
  whole.InflateRect(10, 10);
  shot.copy(whole.left, whole.top, whole.Width(), whole.Height()).save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/progress_dialog_x11.png"));
}

}  // namespace
