#include "platform/ui/tests/UiTestSupport.h"

#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/internal/WindowHost.h"
#include "platform/ui/internal/WindowTable.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    // Application window classes claim their names in the user's runtime folder: use a fresh one.
    m_runtime = new QTemporaryDir;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
    static int argc = 1;
    static char name[] = "platform_ui_tests";
    static char* argv[] = {name, nullptr};
    m_app = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete m_app;
    delete m_runtime;
  }

private:
  QApplication* m_app {};
  QTemporaryDir* m_runtime {};
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

namespace {

// Lets the loop wait for events as a running program's loop does, so its idle moment comes too.
void RunLoopFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeoutMs) return false;
    RunLoopFor(5);
  }
  return true;
}

void Pump(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) RunLoopFor(5);
}

HWND MakeParentWindow(LPCWSTR className, WNDPROC proc) {
  WNDCLASSW wc {0, proc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, className};
  WNDCLASSW known {};
  if (!GetClassInfoW(nullptr, className, &known) && !RegisterClassW(&wc)) return nullptr;
  return CreateWindowExW(0, className, u"parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                         nullptr);
}

CFrameWnd* MakeFrameWithView(CWnd& view, LPCWSTR title, const CRect& rect, bool forPicture) {
  auto* frame = new CFrameWnd;
  if (!frame->Create(nullptr, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, rect)) return nullptr;  // deleted with its window
  LPCWSTR viewClass = forPicture ? AfxRegisterWndClass(0, nullptr, GetSysColorBrush(COLOR_WINDOW)) : nullptr;
  DWORD style = WS_CHILD | WS_VISIBLE | (forPicture ? WS_BORDER : 0);
  if (!view.Create(viewClass, nullptr, style, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST)) {
    frame->DestroyWindow();
    return nullptr;
  }
  return frame;
}

QWidget* HostOf(HWND hwnd) {
  qvui::WindowRecord* rec = qvui::Find(hwnd);
  return rec ? static_cast<QWidget*>(rec->host.data()) : nullptr;
}

QWidget* ClientOf(HWND hwnd) {
  qvui::WindowRecord* rec = qvui::Find(hwnd);
  return rec ? rec->clientWidget.data() : nullptr;
}

void SendViewMouse(HWND control, QEvent::Type type, POINT screen, Qt::MouseButton button, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers) {
  QWidget* viewport = static_cast<QAbstractScrollArea*>(ClientOf(control))->viewport();
  QPointF global(screen.x, screen.y);
  QMouseEvent e(type, viewport->mapFromGlobal(global), global, button, buttons, modifiers);
  QCoreApplication::sendEvent(viewport, &e);
}

void CancelDragWhenDue(QTimer& watchdog, int ms) {
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    ADD_FAILURE() << "the drag was still running when the time was up";
    if (HWND capture = GetCapture()) PostMessageW(capture, WM_KEYDOWN, VK_ESCAPE, 0);
  });
  watchdog.start(ms);
}

std::string MessageName(UINT message) {
  static const std::map<UINT, const char*> names = {
      {WM_CREATE, "WM_CREATE"}, {WM_DESTROY, "WM_DESTROY"}, {WM_MOVE, "WM_MOVE"}, {WM_SIZE, "WM_SIZE"},
      {WM_ACTIVATE, "WM_ACTIVATE"}, {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"}, {WM_SETTEXT, "WM_SETTEXT"}, {WM_PAINT, "WM_PAINT"}, {WM_CLOSE, "WM_CLOSE"},
      {WM_ERASEBKGND, "WM_ERASEBKGND"}, {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"}, {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_NCCREATE, "WM_NCCREATE"}, {WM_NCDESTROY, "WM_NCDESTROY"}, {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_NCHITTEST, "WM_NCHITTEST"}, {WM_NCPAINT, "WM_NCPAINT"}, {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
      {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"}, {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"}, {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"}, {WM_CHAR, "WM_CHAR"}, {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"}, {WM_COMMAND, "WM_COMMAND"},
      {WM_TIMER, "WM_TIMER"}, {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
      {WM_LBUTTONUP, "WM_LBUTTONUP"}, {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"}, {WM_RBUTTONUP, "WM_RBUTTONUP"},
      {WM_SETCURSOR, "WM_SETCURSOR"}, {WM_MOUSEACTIVATE, "WM_MOUSEACTIVATE"},
      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"}, {WM_CONTEXTMENU, "WM_CONTEXTMENU"}, {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
  };
  auto it = names.find(message);
  if (it != names.end()) return it->second;
  std::ostringstream s;
  s << "0x" << std::hex << message;
  return s.str();
}

std::string Describe(const std::vector<Logged>& log) {
  std::ostringstream s;
  for (const Logged& l : log) s << MessageName(l.message) << "(" << l.hwnd << ") ";
  return s.str();
}

void PrintTo(const CRect& rect, std::ostream* out) {
  *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}
void PrintTo(const CPoint& point, std::ostream* out) { *out << "(" << point.x << ", " << point.y << ")"; }
void PrintTo(const CSize& size, std::ostream* out) { *out << size.cx << " x " << size.cy; }

PreTranslatingLoop::PreTranslatingLoop() : before_(qvui::GetMessageFilter()) {
  qvui::SetMessageFilter([](MSG* msg) { return CWnd::WalkPreTranslateTree(nullptr, msg); });
}

PreTranslatingLoop::~PreTranslatingLoop() { qvui::SetMessageFilter(before_); }
