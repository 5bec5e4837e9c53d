#pragma once
// Internal to platform/ui: included only by its own files (a test of the build checks this).
// Inside the window layer: the Qt widgets of a window. The host is the window rectangle (less
// the desktop's frame of a top-level window) and shows the window's retained surface; the client
// widget inside it marks the client area and holds the child windows. Both turn Qt's input into
// window messages.

#include "platform/ui/win/winuser.h"

#include <QEvent>
#include <QWidget>

namespace qvui {

class WindowHost : public QWidget {
public:
  WindowHost(HWND hwnd, QWidget* parent, Qt::WindowFlags flags);
  HWND Handle() const { return m_hwnd; }

protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

private:
  HWND m_hwnd {};
};

class ClientArea : public QWidget {
public:
  ClientArea(HWND hwnd, QWidget* parent);
  HWND Handle() const { return m_hwnd; }

protected:
  bool event(QEvent* e) override;

private:
  HWND m_hwnd {};
};

// The property that names the window of a borrowed widget (see BorrowWidget): input to the widget
// and the widgets inside it is that window's.
inline constexpr char kWindowProperty[] = "qvuiWindow";

// Whether Qt's event is one of the mouse and key events windows take as messages.
bool IsInputEvent(QEvent::Type type);
// Translates a Qt mouse or key event that reached a window's widget into messages; false for
// other events.
bool TranslateInput(HWND hwnd, QEvent* e);
// The window whose widgets contain `widget` (walking up the Qt parents), or null.
HWND WindowOfWidget(const QWidget* widget);

}  // namespace qvui
