// Input: Qt's mouse and keyboard events turned into window messages, the focus, the mouse
// capture, the key state, cursors, activation and timers.

#include "platform/ui/internal/WindowHost.h"
#include "platform/ui/internal/WindowTable.h"

#include "platform/gdi/ModuleImages.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QVariant>
#include <QTimer>
#include <QWheelEvent>

#include <array>
#include <map>

namespace qvui {

namespace {

HWND g_focus = nullptr;
bool g_settingFocus = false;
HWND g_capture = nullptr;
std::array<BYTE, 256> g_keys {};
HCURSOR g_cursor = nullptr;
QPointer<QWidget> g_cursorWidget;
// The window that asked to hear when the pointer leaves its client area (TrackMouseEvent).
HWND g_leaveWatch = nullptr;

// The pointer is now over the client area of `under` (null: of no window here). The watched
// window, when another, gets WM_MOUSELEAVE once and is no longer watched.
void PointerOver(HWND under) {
  if (!g_leaveWatch || under == g_leaveWatch) return;
  HWND left = g_leaveWatch;
  g_leaveWatch = nullptr;
  if (IsWindow(left)) PostMessageW(left, WM_MOUSELEAVE, 0, 0);
}

// The window whose client area is under the pointer, or null.
HWND ClientUnderPointer() {
  POINT p {};
  GetCursorPos(&p);
  HWND under = WindowFromPoint(p);
  if (!under || SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)) != HTCLIENT) return nullptr;
  return under;
}

// The cursors of modules: their pictures with the hot spot, one handle each, by the picture.
struct ModuleCursors {
  std::map<HCURSOR, ModuleImage> pictures;
  std::map<qint64, HCURSOR> loaded;
  std::uintptr_t next {0x30000};
};
ModuleCursors& Cursors() {
  static ModuleCursors cursors;
  return cursors;
}

bool EnabledChain(HWND hwnd) {
  for (WindowRecord* rec = Find(hwnd); rec; rec = rec->parent ? Find(rec->parent) : nullptr)
    if (rec->style & WS_DISABLED) return false;
  return true;
}

int KeyFromQt(const QKeyEvent* e) {
  int key = e->key();
  bool keypad = e->modifiers() & Qt::KeypadModifier;
  if (keypad) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return VK_NUMPAD0 + (key - Qt::Key_0);
    switch (key) {
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    case Qt::Key_Period:
    case Qt::Key_Comma: return VK_DECIMAL;
    case Qt::Key_Slash: return VK_DIVIDE;
    default: break;
    }
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
  static const std::map<int, int> table = {
      {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Tab, VK_TAB}, {Qt::Key_Backtab, VK_TAB},
      {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN},
      {Qt::Key_Insert, VK_INSERT}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Pause, VK_PAUSE},
      {Qt::Key_Print, VK_SNAPSHOT}, {Qt::Key_Clear, VK_CLEAR}, {Qt::Key_Home, VK_HOME},
      {Qt::Key_End, VK_END}, {Qt::Key_Left, VK_LEFT}, {Qt::Key_Up, VK_UP}, {Qt::Key_Right, VK_RIGHT},
      {Qt::Key_Down, VK_DOWN}, {Qt::Key_PageUp, VK_PRIOR}, {Qt::Key_PageDown, VK_NEXT},
      {Qt::Key_Shift, VK_SHIFT}, {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},
      {Qt::Key_Meta, VK_LWIN}, {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_NumLock, VK_NUMLOCK},
      {Qt::Key_ScrollLock, VK_SCROLL}, {Qt::Key_Menu, VK_APPS}, {Qt::Key_Space, VK_SPACE},
      {Qt::Key_Help, VK_HELP},
      // Punctuation as on a US keyboard; shifted symbols name the key that types them.
      {Qt::Key_Semicolon, VK_OEM_1}, {Qt::Key_Colon, VK_OEM_1}, {Qt::Key_Equal, VK_OEM_PLUS},
      {Qt::Key_Plus, VK_OEM_PLUS}, {Qt::Key_Comma, VK_OEM_COMMA}, {Qt::Key_Less, VK_OEM_COMMA},
      {Qt::Key_Minus, VK_OEM_MINUS}, {Qt::Key_Underscore, VK_OEM_MINUS}, {Qt::Key_Period, VK_OEM_PERIOD},
      {Qt::Key_Greater, VK_OEM_PERIOD}, {Qt::Key_Slash, VK_OEM_2}, {Qt::Key_Question, VK_OEM_2},
      {Qt::Key_QuoteLeft, VK_OEM_3}, {Qt::Key_AsciiTilde, VK_OEM_3}, {Qt::Key_BracketLeft, VK_OEM_4},
      {Qt::Key_BraceLeft, VK_OEM_4}, {Qt::Key_Backslash, VK_OEM_5}, {Qt::Key_Bar, VK_OEM_5},
      {Qt::Key_BracketRight, VK_OEM_6}, {Qt::Key_BraceRight, VK_OEM_6}, {Qt::Key_Apostrophe, VK_OEM_7},
      {Qt::Key_QuoteDbl, VK_OEM_7}, {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'},
      {Qt::Key_Dollar, '4'}, {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
      {Qt::Key_ParenLeft, '9'}, {Qt::Key_ParenRight, '0'}, {Qt::Key_Asterisk, '8'},
  };
  auto it = table.find(key);
  return it == table.end() ? 0 : it->second;
}

void SetModifierState(Qt::KeyboardModifiers m) {
  UpdateKeyState(VK_SHIFT, m & Qt::ShiftModifier);
  UpdateKeyState(VK_CONTROL, m & Qt::ControlModifier);
  UpdateKeyState(VK_MENU, m & Qt::AltModifier);
}

WPARAM MouseKeys(Qt::MouseButtons b, Qt::KeyboardModifiers m) {
  WPARAM keys = 0;
  if (b & Qt::LeftButton) keys |= MK_LBUTTON;
  if (b & Qt::RightButton) keys |= MK_RBUTTON;
  if (b & Qt::MiddleButton) keys |= MK_MBUTTON;
  if (m & Qt::ShiftModifier) keys |= MK_SHIFT;
  if (m & Qt::ControlModifier) keys |= MK_CONTROL;
  return keys;
}

UINT ButtonMessage(QEvent::Type type, Qt::MouseButton button, bool doubleClicks) {
  int base;  // offset of the button's DOWN message from WM_LBUTTONDOWN
  switch (button) {
  case Qt::LeftButton: base = 0; break;
  case Qt::RightButton: base = 3; break;
  case Qt::MiddleButton: base = 6; break;
  default: return 0;
  }
  switch (type) {
  case QEvent::MouseButtonPress: return WM_LBUTTONDOWN + base;
  case QEvent::MouseButtonRelease: return WM_LBUTTONUP + base;
  case QEvent::MouseButtonDblClick: return (doubleClicks ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) + base;
  default: return 0;
  }
}

bool TranslateMouse(HWND hwnd, QMouseEvent* e) {
  QPoint screen = e->globalPosition().toPoint();
  SetButtonState(e->buttons(), e->modifiers());
  SetModifierState(e->modifiers());
  HWND target = hwnd;
  bool captured = g_capture && IsWindow(g_capture);
  if (captured) {
    target = g_capture;
  } else if (e->type() == QEvent::MouseButtonRelease || (e->type() == QEvent::MouseMove && e->buttons())) {
    // Qt keeps sending to the pressed widget; without a capture the window under the cursor gets it.
    if (HWND under = WindowFromPoint(POINT {screen.x(), screen.y()})) target = under;
  }
  if (!captured && !EnabledChain(target)) return true;

  LRESULT hit = HTCLIENT;
  if (!captured) {
    for (;;) {
      hit = SendMessageW(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x(), screen.y()));
      HWND parent = GetParent(target);
      if (hit != HTTRANSPARENT || !parent || !(GetWindowLongW(target, GWL_STYLE) & WS_CHILD)) break;
      target = parent;
    }
    if (!IsWindow(target)) return true;
  }
  WindowRecord* rec = Find(target);
  if (!rec) return true;

  UINT message;
  if (e->type() == QEvent::MouseMove) {
    message = WM_MOUSEMOVE;
  } else {
    message = ButtonMessage(e->type(), e->button(), rec->windowClass->style & CS_DBLCLKS);
    if (!message) return true;
  }
  bool client = captured || hit == HTCLIENT;
  if (!client) message += WM_NCMOUSEMOVE - WM_MOUSEMOVE;

  if (QWidget* widget = OuterWidget(*rec)) g_cursorWidget = widget;
  PointerOver(captured ? ClientUnderPointer() : client ? target : nullptr);
  if (!captured) {
    SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, message));
    if (!IsWindow(target)) return true;
  }
  if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
    HWND root = GetAncestor(target, GA_ROOT);
    if (root && root != GetActiveWindow()) {
      LRESULT answer = SendMessageW(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(root), MAKELPARAM(hit, message));
      if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) SetForegroundWindow(root);
      if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT || !IsWindow(target)) return true;
    }
  }

  MSG msg {target, message, 0, 0, static_cast<DWORD>(MessageTime()), POINT {screen.x(), screen.y()}};
  if (client) {
    POINT p {screen.x(), screen.y()};
    ScreenToClient(target, &p);
    msg.wParam = MouseKeys(e->buttons(), e->modifiers());
    msg.lParam = MAKELPARAM(p.x, p.y);
  } else {
    msg.wParam = static_cast<WPARAM>(hit);
    msg.lParam = MAKELPARAM(screen.x(), screen.y());
  }
  QueueInput(msg);
  return true;
}

bool TranslateWheel(HWND hwnd, QWheelEvent* e) {
  QPoint screen = e->globalPosition().toPoint();
  HWND target = GetFocus() ? GetFocus() : hwnd;
  if (g_capture && IsWindow(g_capture)) target = g_capture;
  int delta = e->angleDelta().y();
  if (!delta) return true;
  MSG msg {target, WM_MOUSEWHEEL,
           MAKEWPARAM(MouseKeys(e->buttons(), e->modifiers()), static_cast<WORD>(static_cast<short>(delta))),
           MAKELPARAM(screen.x(), screen.y()), static_cast<DWORD>(MessageTime()), POINT {screen.x(), screen.y()}};
  QueueInput(msg);
  return true;
}

bool TranslateKey(HWND hwnd, QKeyEvent* e) {
  bool press = e->type() == QEvent::KeyPress;
  int vk = KeyFromQt(e);
  Qt::KeyboardModifiers m = e->modifiers();
  SetModifierState(m);
  if (vk) UpdateKeyState(vk, press);
  // A modifier key's own event reports the state before (press) or after (release) it.
  if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) UpdateKeyState(vk, press);
  bool alt = (m & Qt::AltModifier) || vk == VK_MENU;
  bool ctrl = m & Qt::ControlModifier;
  bool sys = (alt && !ctrl) || vk == VK_F10;
  UINT message = press ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  LPARAM lParam = 1;
  if (alt) lParam |= 1 << 29;
  if (e->isAutoRepeat()) lParam |= 1 << 30;
  if (!press) lParam |= static_cast<LPARAM>(0xC0000000u);
  HWND target = (g_focus && IsWindow(g_focus)) ? g_focus : hwnd;
  QString text;
  if (press) {
    if (ctrl && !alt && vk >= 'A' && vk <= 'Z') {
      text = QChar(vk - 'A' + 1);
    } else {
      for (QChar c : e->text())
        if (c.unicode() != 0x7F) text += c;
    }
  }
  POINT pt {};
  GetCursorPos(&pt);
  QueueInput(MSG {target, message, static_cast<WPARAM>(vk), lParam, static_cast<DWORD>(MessageTime()), pt}, text);
  return true;
}

void SendActivate(HWND hwnd, bool active) {
  SendMessageW(hwnd, WM_NCACTIVATE, active, 0);
  if (!IsWindow(hwnd)) return;
  SendMessageW(hwnd, WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
}

// WM_ACTIVATEAPP follows the application's activation. Switching between two of its own windows
// may pass through "inactive" for a moment on some desktops, so deactivation waits a little.
bool g_appActive = false;
QTimer* g_deactivateTimer = nullptr;

void SendActivateApp(bool active) {
  if (g_appActive == active) return;
  g_appActive = active;
  for (HWND h : TopLevelWindows()) {
    WindowRecord* rec = Find(h);
    if (rec && !rec->remote) SendMessageW(h, WM_ACTIVATEAPP, active, 0);
  }
}

void WatchApplication() {
  static bool watching = false;
  if (watching || !qApp) return;
  watching = true;
  g_deactivateTimer = new QTimer(qApp);
  g_deactivateTimer->setSingleShot(true);
  g_deactivateTimer->setInterval(100);
  QObject::connect(g_deactivateTimer, &QTimer::timeout, [] {
    if (QGuiApplication::applicationState() != Qt::ApplicationActive) SendActivateApp(false);
  });
  QObject::connect(qApp, &QGuiApplication::applicationStateChanged, [](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) {
      g_deactivateTimer->stop();
      SendActivateApp(true);
    } else {
      g_deactivateTimer->start();
    }
  });
}

// ---- Timers -------------------------------------------------------------------------------------

struct TimerEntry {
  HWND hwnd {};
  UINT_PTR id {};
  TIMERPROC proc {};
};

class TimerHost : public QObject {
public:
  std::map<int, TimerEntry> entries;

protected:
  void timerEvent(QTimerEvent* e) override {
    auto it = entries.find(e->timerId());
    if (it == entries.end()) return;
    TimerEntry t = it->second;
    POINT pt {};
    GetCursorPos(&pt);
    QueueInput(MSG {t.hwnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc),
                    static_cast<DWORD>(MessageTime()), pt});
  }
};

TimerHost& Timers() {
  static TimerHost* host = new TimerHost;
  return *host;
}

std::map<UINT_PTR, int>& ThreadTimers() {
  static std::map<UINT_PTR, int> timers;
  return timers;
}

}  // namespace

// ---- Widgets ------------------------------------------------------------------------------------

WindowHost::WindowHost(HWND hwnd, QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags), m_hwnd(hwnd) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  WatchApplication();
}

bool WindowHost::event(QEvent* e) {
  if (TranslateInput(m_hwnd, e)) return true;
  switch (e->type()) {
  case QEvent::FocusIn: FocusFromWidget(m_hwnd); return true;
  case QEvent::FocusOut:
    if (static_cast<QFocusEvent*>(e)->reason() == Qt::ActiveWindowFocusReason && g_focus == m_hwnd) {
      g_focus = nullptr;
      SendMessageW(m_hwnd, WM_KILLFOCUS, 0, 0);
    }
    return true;
  case QEvent::Close:
    e->ignore();
    if (IsWindow(m_hwnd)) SendMessageW(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  case QEvent::WindowActivate:
  case QEvent::WindowDeactivate:
    if (isWindow() && IsWindow(m_hwnd)) SendActivate(m_hwnd, e->type() == QEvent::WindowActivate);
    return true;
  case QEvent::WindowStateChange:
    // The desktop's own minimise button cannot minimise a window made without a minimise box:
    // such a window (a fixed dialog) comes straight back instead of vanishing.
    if (WindowRecord* rec = Find(m_hwnd); rec && isWindow() && isMinimized() && !rec->iconic && !(rec->style & WS_MINIMIZEBOX)) {
      setWindowState(windowState() & ~Qt::WindowMinimized);
      return true;
    }
    [[fallthrough]];
  case QEvent::Move:
  case QEvent::Resize:
    if (isWindow()) SyncFromDesktop(m_hwnd);
    return QWidget::event(e);
  case QEvent::ContextMenu: return true;
  default: return QWidget::event(e);
  }
}

ClientArea::ClientArea(HWND hwnd, QWidget* parent) : QWidget(parent), m_hwnd(hwnd) {
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

bool ClientArea::event(QEvent* e) {
  if (TranslateInput(m_hwnd, e)) return true;
  return e->type() == QEvent::ContextMenu || QWidget::event(e);
}

bool IsInputEvent(QEvent::Type type) {
  switch (type) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
  case QEvent::MouseMove:
  case QEvent::Wheel:
  case QEvent::KeyPress:
  case QEvent::KeyRelease: return true;
  default: return false;
  }
}

bool TranslateInput(HWND hwnd, QEvent* e) {
  if (e->type() == QEvent::Leave) PointerLeftWidget();
  if (!IsInputEvent(e->type())) return false;
  // Taken here, so Qt does not hand the event on to the parent widget as well.
  e->accept();
  if (!IsWindow(hwnd) || IsReplayingInput()) return true;
  if (auto* key = dynamic_cast<QKeyEvent*>(e)) return TranslateKey(hwnd, key);
  if (auto* wheel = dynamic_cast<QWheelEvent*>(e)) return TranslateWheel(hwnd, wheel);
  return TranslateMouse(hwnd, static_cast<QMouseEvent*>(e));
}

HWND WindowOfWidget(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    if (auto host = dynamic_cast<const WindowHost*>(w)) return host->Handle();
    if (QVariant borrowed = w->property(kWindowProperty); borrowed.isValid())
      return reinterpret_cast<HWND>(borrowed.value<quintptr>());
  }
  return nullptr;
}

// ---- State --------------------------------------------------------------------------------------

void UpdateKeyState(int virtualKey, bool down) {
  BYTE& k = g_keys[static_cast<BYTE>(virtualKey)];
  if (down && !(k & 0x80)) k ^= 0x01;
  k = down ? (k | 0x80) : (k & ~0x80);
}

void SetButtonState(Qt::MouseButtons buttons, Qt::KeyboardModifiers) {
  UpdateKeyState(VK_LBUTTON, buttons & Qt::LeftButton);
  UpdateKeyState(VK_RBUTTON, buttons & Qt::RightButton);
  UpdateKeyState(VK_MBUTTON, buttons & Qt::MiddleButton);
}

void FocusFromWidget(HWND hwnd) {
  if (!g_settingFocus && g_focus != hwnd && IsWindow(hwnd)) {
    g_settingFocus = true;
    SetFocus(hwnd);
    g_settingFocus = false;
  }
}

void PointerLeftWidget() {
  if (g_leaveWatch) PointerOver(ClientUnderPointer());
}

void OnWindowDestroyed(HWND hwnd) {
  if (g_leaveWatch == hwnd) g_leaveWatch = nullptr;
  if (g_focus == hwnd || IsChild(hwnd, g_focus)) {
    WindowRecord* rec = Find(hwnd);
    HWND parent = rec && rec->parent ? rec->parent : nullptr;
    SetFocus(parent);
  }
  if (g_capture == hwnd || IsChild(hwnd, g_capture)) ReleaseCapture();
}

QCursor CursorFor(HCURSOR cursor) {
  switch (reinterpret_cast<std::uintptr_t>(cursor)) {
  case 0: return QCursor(Qt::BlankCursor);
  case 32513: return QCursor(Qt::IBeamCursor);
  case 32514: return QCursor(Qt::WaitCursor);
  case 32515: return QCursor(Qt::CrossCursor);
  case 32642: return QCursor(Qt::SizeFDiagCursor);
  case 32643: return QCursor(Qt::SizeBDiagCursor);
  case 32644: return QCursor(Qt::SizeHorCursor);
  case 32645: return QCursor(Qt::SizeVerCursor);
  case 32646: return QCursor(Qt::SizeAllCursor);
  case 32648: return QCursor(Qt::ForbiddenCursor);
  case 32649: return QCursor(Qt::PointingHandCursor);
  default: {
    auto it = Cursors().pictures.find(cursor);
    if (it == Cursors().pictures.end()) return QCursor(Qt::ArrowCursor);
    return QCursor(QPixmap::fromImage(it->second.image), it->second.hotSpot.x(), it->second.hotSpot.y());
  }
  }
}

void KillAllTimers(WindowRecord& rec) {
  for (auto& [id, qtId] : rec.timers) {
    Timers().killTimer(qtId);
    Timers().entries.erase(qtId);
  }
  rec.timers.clear();
}

}  // namespace qvui

using namespace qvui;

HWND SetFocus(HWND hwnd) {
  if (hwnd && (!IsWindow(hwnd) || !IsUiThread())) return nullptr;
  HWND old = (g_focus && IsWindow(g_focus)) ? g_focus : nullptr;
  if (hwnd == old) return old;
  if (old) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  g_focus = (hwnd && IsWindow(hwnd)) ? hwnd : nullptr;
  if (g_focus) {
    WindowRecord* rec = Find(g_focus);
    if (QWidget* widget = OuterWidget(*rec); widget && !g_settingFocus) {
      g_settingFocus = true;
      // Focus cues (the focus rectangle) are always shown, not only after a key moved the focus.
      widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
      widget->setFocus(Qt::OtherFocusReason);
      g_settingFocus = false;
    }
    SendMessageW(g_focus, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  }
  return old;
}

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track) {
  if (!track || track->cbSize != sizeof *track || (track->dwFlags & TME_HOVER)) return FALSE;
  if (!(track->dwFlags & TME_LEAVE)) return TRUE;
  if (track->dwFlags & TME_CANCEL) {
    if (g_leaveWatch == track->hwndTrack) g_leaveWatch = nullptr;
    return TRUE;
  }
  if (!IsWindow(track->hwndTrack) || !IsUiThread()) return FALSE;
  PointerOver(track->hwndTrack);
  g_leaveWatch = track->hwndTrack;
  // Already gone: the message comes at once.
  PointerOver(ClientUnderPointer());
  return TRUE;
}

HWND GetFocus() { return (g_focus && IsWindow(g_focus)) ? g_focus : nullptr; }

HWND SetCapture(HWND hwnd) {
  HWND old = GetCapture();
  if (!IsWindow(hwnd) || !IsUiThread()) return old;
  g_capture = hwnd;
  if (old && old != hwnd) {
    SendMessageW(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    PostMessageW(old, WM_NULL, 0, 0);  // wakes a tracking loop that waits for the old window's messages
  }
  if (WindowRecord* rec = Find(hwnd))
    if (QWidget* widget = OuterWidget(*rec); widget && widget->isVisible()) widget->grabMouse();
  return old;
}

BOOL ReleaseCapture() {
  HWND old = GetCapture();
  g_capture = nullptr;
  if (!old) return TRUE;
  if (WindowRecord* rec = Find(old))
    if (QWidget* widget = OuterWidget(*rec)) widget->releaseMouse();
  SendMessageW(old, WM_CAPTURECHANGED, 0, 0);
  PostMessageW(old, WM_NULL, 0, 0);
  return TRUE;
}

HWND GetCapture() { return (g_capture && IsWindow(g_capture)) ? g_capture : nullptr; }

SHORT GetKeyState(int virtualKey) {
  int vk = virtualKey;
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) vk = VK_SHIFT;
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) vk = VK_CONTROL;
  if (vk == VK_LMENU || vk == VK_RMENU) vk = VK_MENU;
  BYTE k = g_keys[static_cast<BYTE>(vk)];
  return static_cast<SHORT>(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

SHORT GetAsyncKeyState(int virtualKey) {
  if (!qApp) return 0;
  Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
  Qt::MouseButtons b = QGuiApplication::mouseButtons();
  bool down;
  switch (virtualKey) {
  case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: down = m & Qt::ShiftModifier; break;
  case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: down = m & Qt::ControlModifier; break;
  case VK_MENU: case VK_LMENU: case VK_RMENU: down = m & Qt::AltModifier; break;
  case VK_LBUTTON: down = b & Qt::LeftButton; break;
  case VK_RBUTTON: down = b & Qt::RightButton; break;
  case VK_MBUTTON: down = b & Qt::MiddleButton; break;
  default: return static_cast<SHORT>(GetKeyState(virtualKey) & 0x8000);
  }
  return static_cast<SHORT>(down ? 0x8000 : 0);
}

BOOL GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  QPoint p = QCursor::pos();
  *point = POINT {p.x(), p.y()};
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  QCursor::setPos(x, y);
  return TRUE;
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
  if (instance) {
    ModuleImage picture = FindModuleImage(instance, ModuleImageKind::Cursor, name);
    if (picture.image.isNull()) return nullptr;
    ModuleCursors& c = Cursors();
    HCURSOR& cursor = c.loaded[picture.image.cacheKey()];
    if (!cursor) {
      cursor = reinterpret_cast<HCURSOR>(c.next++);
      c.pictures[cursor] = picture;
    }
    return cursor;
  }
  if (!IS_INTRESOURCE(name)) return nullptr;
  std::uintptr_t id = reinterpret_cast<std::uintptr_t>(name);
  if (id < 32512 || id > 32651) return nullptr;
  return reinterpret_cast<HCURSOR>(id);
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = g_cursor;
  g_cursor = cursor;
  if (g_cursorWidget) g_cursorWidget->setCursor(CursorFor(cursor));
  return old;
}

HCURSOR GetCursor() { return g_cursor; }

SHORT VkKeyScanW(WCHAR ch) {
  if (ch >= 'a' && ch <= 'z') return static_cast<SHORT>(ch - 'a' + 'A');
  if (ch >= 'A' && ch <= 'Z') return static_cast<SHORT>(0x100 | ch);
  if (ch >= '0' && ch <= '9') return static_cast<SHORT>(ch);
  static const char16_t plain[] = u" \t\r\b;=,-./`[\\]'";
  static const BYTE plainKeys[] = {VK_SPACE, VK_TAB, VK_RETURN, VK_BACK, VK_OEM_1, VK_OEM_PLUS,
                                   VK_OEM_COMMA, VK_OEM_MINUS, VK_OEM_PERIOD, VK_OEM_2, VK_OEM_3,
                                   VK_OEM_4, VK_OEM_5, VK_OEM_6, VK_OEM_7};
  static const char16_t shifted[] = u")!@#$%^&*(:+<_>?~{|}\"";
  static const BYTE shiftedKeys[] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', VK_OEM_1,
                                     VK_OEM_PLUS, VK_OEM_COMMA, VK_OEM_MINUS, VK_OEM_PERIOD, VK_OEM_2,
                                     VK_OEM_3, VK_OEM_4, VK_OEM_5, VK_OEM_6, VK_OEM_7};
  for (size_t i = 0; plain[i]; ++i)
    if (plain[i] == ch) return plainKeys[i];
  for (size_t i = 0; shifted[i]; ++i)
    if (shifted[i] == ch) return static_cast<SHORT>(0x100 | shiftedKeys[i]);
  return -1;
}

SHORT VkKeyScanA(char ch) { return VkKeyScanW(static_cast<WCHAR>(static_cast<unsigned char>(ch))); }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (!IsUiThread()) return 0;
  int interval = static_cast<int>(std::min<UINT>(std::max<UINT>(elapse, 10), 0x7FFFFFFF));
  if (!hwnd) {
    // A thread timer gets an ID of its own; an ID given replaces that timer.
    static UINT_PTR next = 0x7000;
    UINT_PTR tid = (id && ThreadTimers().count(id)) ? id : ++next;
    auto& timers = ThreadTimers();
    if (auto it = timers.find(tid); it != timers.end()) {
      Timers().killTimer(it->second);
      Timers().entries.erase(it->second);
    }
    int qtId = Timers().startTimer(interval);
    timers[tid] = qtId;
    Timers().entries[qtId] = TimerEntry {nullptr, tid, proc};
    return tid;
  }
  WindowRecord* rec = Get(hwnd);
  if (!rec || rec->remote) return 0;
  if (auto it = rec->timers.find(id); it != rec->timers.end()) {
    Timers().killTimer(it->second);
    Timers().entries.erase(it->second);
  }
  int qtId = Timers().startTimer(interval);
  if (!qtId) return 0;
  rec->timers[id] = qtId;
  Timers().entries[qtId] = TimerEntry {hwnd, id, proc};
  return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  std::map<UINT_PTR, int>* timers = &ThreadTimers();
  if (hwnd) {
    WindowRecord* rec = Get(hwnd);
    if (!rec) return FALSE;
    timers = &rec->timers;
  }
  auto it = timers->find(id);
  if (it == timers->end()) return FALSE;
  Timers().killTimer(it->second);
  Timers().entries.erase(it->second);
  timers->erase(it);
  return TRUE;
}
