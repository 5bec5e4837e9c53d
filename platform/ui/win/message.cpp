// Messages: sending, the thread message queues, posting from any thread, message retrieval,
// translation of key messages into characters, dispatch, and the idle moment of the UI thread.

#include "platform/ui/internal/WindowTable.h"

#include "platform/core/sysinfo.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <future>
#include <map>
#include <mutex>

#include <unistd.h>

namespace qvui {

namespace {

struct SentCall {
  std::promise<LRESULT> result;
};

struct QueueItem {
  MSG msg {};
  QString text;                      // characters typed with a key-down, for TranslateMessage
  std::shared_ptr<SentCall> sent;    // a SendMessageW from another thread
};

const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class Waker;

struct ThreadQueue {
  std::mutex lock;
  std::condition_variable arrived;
  std::deque<QueueItem> items;
  bool quit {};
  int quitCode {};
  Waker* waker {};  // the UI thread's only
};

std::mutex& QueuesLock() {
  static std::mutex lock;
  return lock;
}

std::map<DWORD, std::shared_ptr<ThreadQueue>>& Queues() {
  static std::map<DWORD, std::shared_ptr<ThreadQueue>> queues;
  return queues;
}

// State of the UI thread's pump.
int g_waitDepth = 0;          // GetMessageW/PeekMessageW callers gathering input
MessageFilter g_filter = nullptr;
IdleHandler g_idle = nullptr;
bool g_idlePending = true;
LONG g_idleCount = 0;
bool g_inIdle = false;
MSG g_lastKey {};
QString g_lastKeyText;
DWORD g_lastPos = 0;
LONG g_lastTime = 0;
POINT g_lastMousePos {-1, -1};

void ProcessQueue();
void OnAboutToBlock();

class Waker : public QObject {
public:
  bool event(QEvent* e) override {
    if (e->type() != kWakeEvent) return QObject::event(e);
    ProcessQueue();
    return true;
  }
};

std::shared_ptr<ThreadQueue> QueueOf(DWORD thread) {
  std::lock_guard<std::mutex> guard(QueuesLock());
  auto it = Queues().find(thread);
  return it == Queues().end() ? nullptr : it->second;
}

std::atomic<DWORD> g_uiThread {0};

std::shared_ptr<ThreadQueue> CurrentQueue() {
  DWORD self = GetCurrentThreadId();
  std::lock_guard<std::mutex> guard(QueuesLock());
  auto& q = Queues()[self];
  if (!q) {
    q = std::make_shared<ThreadQueue>();
    if (IsUiThread()) {
      g_uiThread = self;
      q->waker = new Waker;
      QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                       q->waker, &OnAboutToBlock);
      QObject::connect(qApp, &QObject::destroyed, [] {
        std::lock_guard<std::mutex> g(QueuesLock());
        Queues().erase(GetCurrentThreadId());
        g_uiThread = 0;
      });
    }
  }
  return q;
}

std::shared_ptr<ThreadQueue> UiQueue() {
  if (IsUiThread()) return CurrentQueue();
  DWORD ui = g_uiThread;
  return ui ? QueueOf(ui) : nullptr;
}

void Wake(ThreadQueue& q) {
  if (q.waker) QCoreApplication::postEvent(q.waker, new QEvent(kWakeEvent));
  q.arrived.notify_all();
}

bool Push(ThreadQueue& q, QueueItem item, bool front = false) {
  {
    std::lock_guard<std::mutex> guard(q.lock);
    if (front) q.items.push_front(std::move(item));
    else q.items.push_back(std::move(item));
  }
  Wake(q);
  return true;
}

bool Matches(const MSG& m, HWND hwnd, UINT lo, UINT hi) {
  if (hwnd && m.hwnd != hwnd && !IsChild(hwnd, m.hwnd)) return false;
  if (lo == 0 && hi == 0) return true;
  return m.message >= lo && m.message <= hi;
}

LRESULT Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* rec = Find(hwnd);
  if (!rec || rec->remote) return 0;
  return CallWindowProcW(rec->proc, hwnd, message, wParam, lParam);
}

void NoteActivity(const MSG& m) {
  if (m.message == WM_PAINT) return;
  if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
    if (m.pt.x == g_lastMousePos.x && m.pt.y == g_lastMousePos.y) return;
    g_lastMousePos = m.pt;
  }
  g_idlePending = true;
  g_idleCount = 0;
}

void Pump(QueueItem& item) {
  if (item.sent) {
    item.sent->result.set_value(Deliver(item.msg.hwnd, item.msg.message, item.msg.wParam, item.msg.lParam));
    return;
  }
  MSG m = item.msg;
  g_lastPos = static_cast<DWORD>(MAKELONG(m.pt.x, m.pt.y));
  g_lastTime = static_cast<LONG>(m.time);
  g_lastKey = m;
  g_lastKeyText = item.text;
  NoteActivity(m);
  if (g_filter && g_filter(&m)) return;
  TranslateMessage(&m);
  DispatchMessageW(&m);
}

void ProcessQueue() {
  auto q = CurrentQueue();
  for (;;) {
    QueueItem item;
    {
      std::lock_guard<std::mutex> guard(q->lock);
      if (g_waitDepth > 0) {
        // A GetMessageW caller takes the posted messages; messages sent from other threads are
        // answered at once, as the original platform answers them inside its message retrieval.
        auto it = std::find_if(q->items.begin(), q->items.end(), [](const QueueItem& i) { return bool(i.sent); });
        if (it == q->items.end()) return;
        item = std::move(*it);
        q->items.erase(it);
      } else if (q->quit) {
        q->quit = false;
        QCoreApplication::exit(q->quitCode);
        return;
      } else {
        if (q->items.empty()) return;
        item = std::move(q->items.front());
        q->items.pop_front();
      }
    }
    Pump(item);
  }
}

void OnAboutToBlock() {
  if (!g_idle || g_inIdle || g_waitDepth > 0 || !g_idlePending) return;
  auto q = CurrentQueue();
  {
    std::lock_guard<std::mutex> guard(q->lock);
    if (!q->items.empty()) return;
  }
  g_inIdle = true;
  BOOL more = g_idle(g_idleCount++);
  g_inIdle = false;
  if (more) Wake(*q);  // another idle step after a look at the queue, as an idle loop does
  else g_idlePending = false;
}

bool Retrieve(LPMSG msg, HWND hwnd, UINT lo, UINT hi, bool remove, bool wait) {
  auto q = CurrentQueue();
  bool ui = IsUiThread();
  for (;;) {
    {
      std::unique_lock<std::mutex> guard(q->lock);
      for (auto it = q->items.begin(); it != q->items.end(); ++it) {
        if (it->sent || !Matches(it->msg, hwnd, lo, hi)) continue;
        *msg = it->msg;
        if (remove) {
          g_lastKey = it->msg;
          g_lastKeyText = it->text;
          q->items.erase(it);
        }
        g_lastPos = static_cast<DWORD>(MAKELONG(msg->pt.x, msg->pt.y));
        g_lastTime = static_cast<LONG>(msg->time);
        return true;
      }
      if (q->quit) {
        *msg = MSG {nullptr, WM_QUIT, static_cast<WPARAM>(q->quitCode), 0, 0, {}};
        if (remove) q->quit = false;
        return true;
      }
      if (!ui) {
        if (!wait) return false;
        q->arrived.wait(guard);
        continue;
      }
    }
    if (hwnd && !IsWindow(hwnd)) return false;  // the window died while its messages were awaited
    ++g_waitDepth;
    QCoreApplication::sendPostedEvents();
    if (wait) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    else QCoreApplication::processEvents(QEventLoop::AllEvents);
    ProcessQueue();  // messages sent from other threads meanwhile (the waiter takes the rest)
    --g_waitDepth;
    if (!wait) {
      std::lock_guard<std::mutex> guard(q->lock);
      bool any = q->quit || std::any_of(q->items.begin(), q->items.end(), [&](const QueueItem& i) {
                   return !i.sent && Matches(i.msg, hwnd, lo, hi);
                 });
      if (!any) return false;
    }
  }
}

}  // namespace

void QueueInput(const MSG& msg, const QString& text) {
  auto q = CurrentQueue();
  {
    std::lock_guard<std::mutex> guard(q->lock);
    q->items.push_back(QueueItem {msg, text, nullptr});
  }
  if (g_waitDepth == 0) ProcessQueue();
}

void SetMessageFilter(MessageFilter filter) { g_filter = filter; }
MessageFilter GetMessageFilter() { return g_filter; }

void EnsureMessageQueue() { CurrentQueue(); }

void SetIdleHandler(IdleHandler handler) {
  g_idle = handler;
  if (IsUiThread()) CurrentQueue();
}

void RemovePostedMessages(HWND hwnd) {
  auto q = UiQueue();
  if (!q) return;
  std::lock_guard<std::mutex> guard(q->lock);
  auto& items = q->items;
  items.erase(std::remove_if(items.begin(), items.end(),
                             [hwnd](const QueueItem& i) { return !i.sent && i.msg.hwnd == hwnd; }),
              items.end());
}

LONG MessageTime() {
  static QElapsedTimer clock;
  if (!clock.isValid()) clock.start();
  return static_cast<LONG>(clock.elapsed());
}

}  // namespace qvui

using namespace qvui;

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
  if (!IsWindow(hwnd)) return 0;
  if (processId) *processId = static_cast<DWORD>(::getpid());
  return g_uiThread;
}

LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (IsUiThread()) return Deliver(hwnd, message, wParam, lParam);
  // From another thread the call waits until the UI thread has handled the message.
  auto q = UiQueue();
  if (!q) return 0;
  auto call = std::make_shared<SentCall>();
  std::future<LRESULT> result = call->result.get_future();
  Push(*q, QueueItem {MSG {hwnd, message, wParam, lParam, 0, {}}, QString(), call});
  while (result.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready) {
    if (!UiQueue() || !IsWindow(hwnd)) return 0;
  }
  return result.get();
}

BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!hwnd) return PostThreadMessageW(GetCurrentThreadId(), message, wParam, lParam);
  WindowRecord* rec = Find(hwnd);
  if (!rec || rec->remote) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  auto q = UiQueue();
  if (!q) return FALSE;
  POINT pt {};
  return Push(*q, QueueItem {MSG {hwnd, message, wParam, lParam, static_cast<DWORD>(MessageTime()), pt}, QString(),
                             nullptr});
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  auto q = QueueOf(threadId);
  if (!q) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  return Push(*q, QueueItem {MSG {nullptr, message, wParam, lParam, static_cast<DWORD>(MessageTime()), {}},
                             QString(), nullptr});
}

void PostQuitMessage(int exitCode) {
  auto q = CurrentQueue();
  {
    std::lock_guard<std::mutex> guard(q->lock);
    q->quit = true;
    q->quitCode = exitCode;
  }
  Wake(*q);
}

BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (!msg) return -1;
  if ((hwnd && !IsWindow(hwnd)) || !Retrieve(msg, hwnd, filterMin, filterMax, true, true)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  return msg->message != WM_QUIT;
}

BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  if (!msg) return FALSE;
  return Retrieve(msg, hwnd, filterMin, filterMax, removeFlags & PM_REMOVE, false);
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  if (msg->hwnd != g_lastKey.hwnd || msg->message != g_lastKey.message || msg->wParam != g_lastKey.wParam ||
      msg->time != g_lastKey.time || g_lastKeyText.isEmpty())
    return FALSE;
  auto q = CurrentQueue();
  UINT charMessage = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  // The characters go to the front of the queue, in order, so they are handled next.
  for (qsizetype i = g_lastKeyText.size(); i-- > 0;) {
    MSG c = *msg;
    c.message = charMessage;
    c.wParam = g_lastKeyText.at(i).unicode();
    std::lock_guard<std::mutex> guard(q->lock);
    q->items.push_front(QueueItem {c, QString(), nullptr});
  }
  g_lastKeyText.clear();
  Wake(*q);
  return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
  }
  if (!msg->hwnd) return 0;
  return Deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

DWORD GetMessagePos() { return g_lastPos; }
LONG GetMessageTime() { return g_lastTime; }

UINT RegisterWindowMessageW(LPCWSTR name) {
  static std::mutex lock;
  static std::vector<CString> names;
  if (!name || !*name) return 0;
  std::lock_guard<std::mutex> guard(lock);
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i].CompareNoCase(name) == 0) return static_cast<UINT>(0xC000 + i);
  names.emplace_back(name);
  return static_cast<UINT>(0xC000 + names.size() - 1);
}
