#pragma once
// Shared pieces of the window layer's tests: a QApplication for the whole run (offscreen under
// CTest), a message recorder, and helpers to let the event loop run.

#include "platform/core/CRect.h"
#include "platform/ui/win/winuser.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Runs the event loop until the condition holds or the time is up; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 2000);
// Runs the event loop for a while.
void Pump(int ms = 50);
// A shown top-level window, 400 x 300 at the screen's corner, of a class of the test's own
// (registered on first use), to hold the controls under test.
HWND MakeParentWindow(LPCWSTR className, WNDPROC proc);
// A shown frame (it deletes itself with its window) at `rect` whose view is `view`; a view drawn
// for a picture has a border and the window colour. Null when either window cannot be made.
class CFrameWnd;
class CWnd;
CFrameWnd* MakeFrameWithView(CWnd& view, LPCWSTR title, const CRect& rect, bool forPicture = false);
// The Qt widgets of a window (the whole window, and its client area).
QWidget* HostOf(HWND hwnd);
QWidget* ClientOf(HWND hwnd);
// Sends Qt's mouse event to the item view of a tree or list control, the way the desktop delivers
// it (the point in screen coordinates).
void SendViewMouse(HWND control, QEvent::Type type, POINT screen, Qt::MouseButton button, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Starts the timer so that a drag still running when the time is up fails the test and is
// cancelled, and the test does not hang.
void CancelDragWhenDue(QTimer& watchdog, int ms);

// While it lives, messages pumped from the queue go through the windows' PreTranslateMessage,
// from the target up to its top-level window, as the program's message loop hands them on.
class PreTranslatingLoop {
 public:
  PreTranslatingLoop();
  ~PreTranslatingLoop();
  PreTranslatingLoop(const PreTranslatingLoop&) = delete;
  PreTranslatingLoop& operator=(const PreTranslatingLoop&) = delete;

 private:
  BOOL (*before_)(MSG*);
};

// One recorded message, and a readable name for messages in failure output.
struct Logged {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::string MessageName(UINT message);
std::string Describe(const std::vector<Logged>& log);

// Rectangles, points and sizes in failure output as numbers. Every test of the module sees these
// through this header, so that the printers the tests share are the same everywhere.
void PrintTo(const CRect& rect, std::ostream* out);
void PrintTo(const CPoint& point, std::ostream* out);
void PrintTo(const CSize& size, std::ostream* out);
