// Messages: sending, posting (from any thread, to windows that die), retrieval with GetMessageW,
// private messages, timers and the idle moment.

#include "platform/core/module.h"
#include "platform/core/sysinfo.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/winctrl.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

constexpr UINT WM_PRIVATE = WM_USER + 1;

struct Received {
  std::vector<Logged> messages;
  std::vector<DWORD> threads;
};
Received g_received;

LRESULT RecordProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PRIVATE || message == WM_TIMER || message == WM_APP) {
    g_received.messages.push_back({hwnd, message, wParam, lParam});
    g_received.threads.push_back(GetCurrentThreadId());
    return static_cast<LRESULT>(wParam * 2);
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeRecorder() {
  static bool registered = false;
  if (!registered) {
    registered = true;
    WNDCLASSW wc {0, RecordProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, u"Recorder"};
    RegisterClassW(&wc);
  }
  return CreateWindowExW(0, u"Recorder", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

class Messages : public ::testing::Test {
protected:
  void SetUp() override { g_received = Received(); }
};

TEST_F(Messages, SendCallsTheProcedureAtOnceAndReturnsItsAnswer) {
  HWND hwnd = MakeRecorder();
  EXPECT_EQ(SendMessageW(hwnd, WM_PRIVATE, 21, 0), 42);
  ASSERT_EQ(g_received.messages.size(), 1u);
  DestroyWindow(hwnd);
}

TEST_F(Messages, PostedMessagesArriveLaterInOrder) {
  HWND hwnd = MakeRecorder();
  for (WPARAM i = 1; i <= 3; ++i) ASSERT_TRUE(PostMessageW(hwnd, WM_PRIVATE, i, 0));
  EXPECT_TRUE(g_received.messages.empty());
  ASSERT_TRUE(PumpUntil([] { return g_received.messages.size() == 3; }));
  for (WPARAM i = 0; i < 3; ++i) EXPECT_EQ(g_received.messages[i].wParam, i + 1);
  DestroyWindow(hwnd);
}

TEST_F(Messages, PostingToADestroyedWindowFailsAndPendingMessagesAreDropped) {
  HWND hwnd = MakeRecorder();
  ASSERT_TRUE(PostMessageW(hwnd, WM_PRIVATE, 1, 0));
  DestroyWindow(hwnd);
  SetLastError(0);
  EXPECT_FALSE(PostMessageW(hwnd, WM_PRIVATE, 2, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  Pump(100);
  EXPECT_TRUE(g_received.messages.empty());
}

TEST_F(Messages, WorkerThreadsPostAndSendToTheUiThread) {
  HWND hwnd = MakeRecorder();
  DWORD ui = GetCurrentThreadId();
  std::atomic<LRESULT> sent {0};
  std::atomic<bool> done {false};
  std::thread worker([&] {
    for (WPARAM i = 1; i <= 100; ++i) PostMessageW(hwnd, WM_PRIVATE, i, 0);
    sent = SendMessageW(hwnd, WM_APP, 50, 0);
    done = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return done.load(); }, 5000));
  worker.join();
  EXPECT_EQ(sent.load(), 100);
  Pump(20);
  ASSERT_EQ(g_received.messages.size(), 101u);
  for (DWORD t : g_received.threads) EXPECT_EQ(t, ui);
  // Posts keep their order; the send comes after them (it waits its turn in the queue).
  for (WPARAM i = 0; i < 100; ++i) EXPECT_EQ(g_received.messages[i].wParam, i + 1);
  DestroyWindow(hwnd);
}

TEST_F(Messages, WorkerPostingWhileTheWindowDiesNeverReachesIt) {
  HWND hwnd = MakeRecorder();
  std::atomic<bool> stop {false};
  std::atomic<int> refused {0};
  std::thread worker([&] {
    while (!stop) {
      if (!PostMessageW(hwnd, WM_PRIVATE, 1, 0)) ++refused;
    }
  });
  Pump(20);
  DestroyWindow(hwnd);
  size_t before = g_received.messages.size();
  // However busy the machine, the worker's posts to the dead window are refused in the end.
  PumpUntil([&] { return refused.load() > 0; }, 10000);
  stop = true;
  worker.join();
  Pump(20);
  EXPECT_GT(refused.load(), 0);
  for (size_t i = before; i < g_received.messages.size(); ++i) EXPECT_NE(g_received.messages[i].hwnd, hwnd);
}

TEST_F(Messages, GetMessageTakesOnlyTheWindowsMessagesAndLeavesTheRest) {
  HWND a = MakeRecorder();
  HWND b = MakeRecorder();
  PostMessageW(b, WM_PRIVATE, 7, 0);
  PostMessageW(a, WM_PRIVATE, 8, 0);
  MSG msg {};
  ASSERT_EQ(GetMessageW(&msg, a, 0, 0), TRUE);
  EXPECT_EQ(msg.hwnd, a);
  EXPECT_EQ(msg.wParam, 8u);
  EXPECT_TRUE(g_received.messages.empty());  // b's message waits, undispatched
  ASSERT_TRUE(PumpUntil([] { return g_received.messages.size() == 1; }));
  EXPECT_EQ(g_received.messages[0].hwnd, b);
  EXPECT_EQ(GetMessageW(&msg, reinterpret_cast<HWND>(0x12345678), 0, 0), -1);
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST_F(Messages, PeekMessageDoesNotWaitAndCanLeaveTheMessage) {
  HWND hwnd = MakeRecorder();
  MSG msg {};
  EXPECT_FALSE(PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE));
  PostMessageW(hwnd, WM_PRIVATE, 3, 0);
  ASSERT_TRUE(PeekMessageW(&msg, hwnd, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessageW(&msg, hwnd, WM_PRIVATE, WM_PRIVATE, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_FALSE(PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE));
  DestroyWindow(hwnd);
}

TEST_F(Messages, WorkerThreadsHaveQueuesOfTheirOwn) {
  std::atomic<DWORD> workerId {0};
  std::atomic<WPARAM> got {0};
  std::thread worker([&] {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue
    workerId = GetCurrentThreadId();
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
      if (msg.message == WM_APP) got = msg.wParam;
  });
  ASSERT_TRUE(PumpUntil([&] { return workerId.load() != 0; }));
  EXPECT_TRUE(PostThreadMessageW(workerId, WM_APP, 9, 0));
  EXPECT_TRUE(PostThreadMessageW(workerId, WM_QUIT, 0, 0));
  worker.join();
  EXPECT_EQ(got.load(), 9u);
  EXPECT_FALSE(PostThreadMessageW(0x7FFFFFF0, WM_APP, 0, 0));
}

TEST_F(Messages, RegisteredMessagesAreStablePerName) {
  UINT a = RegisterWindowMessageW(u"QV_PRIVATE_A");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(RegisterWindowMessageW(u"qv_private_a"), a);
  EXPECT_NE(RegisterWindowMessageW(u"QV_PRIVATE_B"), a);
}

TEST_F(Messages, TimersTickUntilKilledAndDieWithTheirWindow) {
  HWND hwnd = MakeRecorder();
  ASSERT_EQ(SetTimer(hwnd, 5, 10, nullptr), 5u);
  ASSERT_TRUE(PumpUntil([] { return g_received.messages.size() >= 2; }));
  EXPECT_EQ(g_received.messages[0].message, static_cast<UINT>(WM_TIMER));
  EXPECT_EQ(g_received.messages[0].wParam, 5u);
  EXPECT_TRUE(KillTimer(hwnd, 5));
  EXPECT_FALSE(KillTimer(hwnd, 5));
  Pump(30);
  size_t count = g_received.messages.size();
  Pump(60);
  EXPECT_EQ(g_received.messages.size(), count);
  SetTimer(hwnd, 6, 10, nullptr);
  DestroyWindow(hwnd);
  Pump(60);
  EXPECT_EQ(g_received.messages.size(), count);
}

// ---- The idle moment --------------------------------------------------------------------------------

class IdleApp : public CWinApp {
public:
  BOOL OnIdle(LONG count) override {
    counts.push_back(count);
    return CWinApp::OnIdle(count);
  }
  std::vector<LONG> counts;
};

TEST_F(Messages, IdleRunsAfterMessagesWithRisingCountsAndThenRests) {
  IdleApp app;
  HWND hwnd = MakeRecorder();
  PostMessageW(hwnd, WM_PRIVATE, 1, 0);
  ASSERT_TRUE(PumpUntil([&] { return app.counts.size() >= 2; }));
  Pump(100);
  ASSERT_GE(app.counts.size(), 2u);
  EXPECT_EQ(app.counts[0], 0);
  EXPECT_EQ(app.counts[1], 1);
  // Nothing happened since: the idle handler is not called again and again.
  size_t settled = app.counts.size();
  Pump(150);
  EXPECT_EQ(app.counts.size(), settled);
  // A new message starts the counting again.
  PostMessageW(hwnd, WM_PRIVATE, 2, 0);
  ASSERT_TRUE(PumpUntil([&] { return app.counts.size() >= settled + 2; }));
  EXPECT_EQ(app.counts[settled], 0);
  DestroyWindow(hwnd);
}

TEST(ModuleState, TheProgramIsTheInstanceAndTheResourceModuleUnlessSet) {
  CWinApp app;
  EXPECT_EQ(AfxGetInstanceHandle(), GetModuleHandleW(nullptr));
  EXPECT_EQ(AfxGetResourceHandle(), AfxGetInstanceHandle());
  HINSTANCE other = reinterpret_cast<HINSTANCE>(0x1234);
  AfxSetResourceHandle(other);
  EXPECT_EQ(AfxGetResourceHandle(), other);
  AfxSetResourceHandle(nullptr);
}

TEST_F(Messages, QuitEndsTheLoopWithItsCode) {
  QTimer::singleShot(10, [] { PostQuitMessage(3); });
  EXPECT_EQ(QCoreApplication::exec(), 3);
}

TEST_F(Messages, AWorkerThreadsMessageBoxIsShownByTheUiThreadWhileTheWorkerWaits) {
  static DWORD shownOn = 0;
  static std::u16string shownText;
  MessageBoxHandler before = SetMessageBoxHandler([](HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    shownOn = GetCurrentThreadId();
    shownText = std::u16string(text) + u"|" + (caption ? caption : u"(none)");
    return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
  });
  std::atomic<int> answer {-1};
  std::thread worker([&] { answer = MessageBoxW(nullptr, u"Printer gone", nullptr, MB_YESNO | MB_ICONERROR); });
  ASSERT_TRUE(PumpUntil([&] { return answer.load() != -1; }, 5000));
  worker.join();
  SetMessageBoxHandler(before);
  EXPECT_EQ(answer.load(), IDNO);
  EXPECT_EQ(shownOn, GetCurrentThreadId()) << "the box belongs to the UI thread";
  EXPECT_EQ(shownText, u"Printer gone|(none)") << "a missing caption stays missing";
}

UINT CountTo(LPVOID target) {
  for (int i = 0; i < 1000; ++i) ++*static_cast<std::atomic<int>*>(target);
  return 7;
}

TEST(WorkerThreads, AfxBeginThreadRunsTheRoutineOnAThreadOfItsOwn) {
  std::atomic<int> counted {0};
  CWinThread* suspended = AfxBeginThread(&CountTo, &counted, THREAD_PRIORITY_BELOW_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(suspended, nullptr);
  suspended->m_bAutoDelete = FALSE;
  Sleep(50);
  EXPECT_EQ(counted.load(), 0) << "a suspended thread waits";
  EXPECT_EQ(suspended->ResumeThread(), 1u);
  EXPECT_EQ(WaitForSingleObject(suspended->m_hThread, 5000), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(suspended->m_hThread, &code));
  EXPECT_EQ(code, 7u) << "the routine's answer is the exit code";
  EXPECT_EQ(counted.load(), 1000);
  EXPECT_NE(suspended->m_nThreadID, GetCurrentThreadId());
  delete suspended;

  // A thread left to delete itself runs just the same.
  counted = 0;
  ASSERT_NE(AfxBeginThread(&CountTo, &counted), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return counted.load() == 1000; }));
}

}  // namespace
