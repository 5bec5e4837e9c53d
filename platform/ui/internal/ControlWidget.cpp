// What the standard controls share: input from their Qt widgets turned into window messages and
// handed back, focus, fonts, notifications to the parent, and quiet programmatic changes.

#include "platform/ui/internal/ControlWidget.h"

#include "platform/gdi/CDCSurface.h"
#include "platform/ui/internal/WindowHost.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <map>
#include <memory>
#include <set>

namespace qvui {

namespace {

// The Qt event being turned into messages right now, so that the control that gets the message
// can hand that very event on to the widget that received it.
struct NativeInput {
  QObject* receiver {};
  QEvent* event {};
  bool forwarded {};
};
NativeInput* g_native = nullptr;
bool g_replaying = false;
std::set<HWND> g_quiet;

class InputFilter : public QObject {
protected:
  bool eventFilter(QObject* object, QEvent* e) override {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || g_replaying) return false;
    if (e->type() == QEvent::FocusIn) {
      // Only the user moves the focus this way (a click, a shortcut); Qt's own moves, when a
      // widget is disabled or a window comes back, are left to the window layer.
      Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
      if (reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason)
        if (HWND hwnd = WindowOfWidget(widget)) FocusFromWidget(hwnd);
      return false;
    }
    if (e->type() == QEvent::Leave) PointerLeftWidget();
    if (!IsInputEvent(e->type())) return false;
    HWND hwnd = WindowOfWidget(widget);
    if (!hwnd || !IsWindow(hwnd)) return false;
    NativeInput native {object, e, false};
    NativeInput* outer = g_native;
    g_native = &native;
    TranslateInput(hwnd, e);
    g_native = outer;
    // The widget always sees a release, so a button pressed inside never stays pressed when the
    // release went to another window.
    return !(e->type() == QEvent::MouseButtonRelease && !native.forwarded);
  }
};

InputFilter& Filter() {
  static InputFilter* filter = new InputFilter;
  return *filter;
}

bool Matches(QEvent::Type type, UINT message) {
  switch (type) {
  case QEvent::KeyPress: return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  case QEvent::KeyRelease: return message == WM_KEYUP || message == WM_SYSKEYUP;
  case QEvent::MouseMove: return message == WM_MOUSEMOVE;
  case QEvent::Wheel: return message == WM_MOUSEWHEEL;
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonDblClick:
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
  case QEvent::MouseButtonRelease:
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
  default: return false;
  }
}

Qt::KeyboardModifiers KeyModifiers() {
  Qt::KeyboardModifiers m;
  if (GetKeyState(VK_SHIFT) < 0) m |= Qt::ShiftModifier;
  if (GetKeyState(VK_CONTROL) < 0) m |= Qt::ControlModifier;
  if (GetKeyState(VK_MENU) < 0) m |= Qt::AltModifier;
  return m;
}

int QtKeyOf(UINT vk, bool shift) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return static_cast<int>(vk);
  if (vk >= VK_F1 && vk <= VK_F24) return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return Qt::Key_0 + static_cast<int>(vk - VK_NUMPAD0);
  static const std::map<UINT, int> table = {
      {VK_BACK, Qt::Key_Backspace}, {VK_RETURN, Qt::Key_Return}, {VK_ESCAPE, Qt::Key_Escape},
      {VK_SPACE, Qt::Key_Space},    {VK_PRIOR, Qt::Key_PageUp},  {VK_NEXT, Qt::Key_PageDown},
      {VK_END, Qt::Key_End},        {VK_HOME, Qt::Key_Home},     {VK_LEFT, Qt::Key_Left},
      {VK_UP, Qt::Key_Up},          {VK_RIGHT, Qt::Key_Right},   {VK_DOWN, Qt::Key_Down},
      {VK_INSERT, Qt::Key_Insert},  {VK_DELETE, Qt::Key_Delete}, {VK_SHIFT, Qt::Key_Shift},
      {VK_CONTROL, Qt::Key_Control}, {VK_MENU, Qt::Key_Alt},     {VK_APPS, Qt::Key_Menu},
  };
  if (vk == VK_TAB) return shift ? Qt::Key_Backtab : Qt::Key_Tab;
  auto it = table.find(vk);
  return it == table.end() ? Qt::Key_unknown : it->second;
}

// The widget that holds Qt's focus for the control's widget: a widget whose owner keeps the focus
// for it (a combo box for its edit field) takes its keys through that owner.
QWidget* FocusOwner(QWidget* root) {
  QWidget* proxy = root->focusProxy();
  return proxy && proxy->isAncestorOf(root) ? proxy : root;
}

// The widget inside the control that takes keys: the one that had Qt's focus last.
QWidget* KeyTarget(QWidget* root) {
  QWidget* focus = root->focusWidget();
  return focus && (focus == root || root->isAncestorOf(focus)) ? focus : FocusOwner(root);
}

// Through Qt's delivery (scroll areas take their viewports' events through filters); an event the
// widget ignores travels up to the window's own widgets, which swallow it while it is handed back.
bool Send(QObject* target, QEvent* e) {
  bool outer = g_replaying;
  g_replaying = true;
  e->setAccepted(true);
  QCoreApplication::sendEvent(target, e);
  g_replaying = outer;
  return e->isAccepted();
}

// Hands an input message to the control's widget. Answers whether the widget took it.
bool ForwardInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* rec = Find(hwnd);
  QWidget* root = rec ? rec->clientWidget.data() : nullptr;
  if (!root) return false;
  if (message == WM_CHAR || message == WM_SYSCHAR) {
    // Characters come apart from their keys (a subclassed control may eat them); only printable
    // ones insert anything, the keys themselves were handed on with WM_KEYDOWN.
    QChar ch(static_cast<char16_t>(wParam));
    if (message == WM_SYSCHAR || !ch.isPrint()) return false;
    QKeyEvent e(QEvent::KeyPress, 0, KeyModifiers(), QString(ch));
    return Send(KeyTarget(root), &e);
  }
  if (g_native && !g_native->forwarded && Matches(g_native->event->type(), message)) {
    auto* receiver = qobject_cast<QWidget*>(g_native->receiver);
    if (receiver && (receiver == root || root->isAncestorOf(receiver) || receiver == FocusOwner(root))) {
      g_native->forwarded = true;
      if (auto* key = dynamic_cast<QKeyEvent*>(g_native->event)) {
        QKeyEvent e(key->type(), key->key(), key->modifiers(), key->nativeScanCode(), key->nativeVirtualKey(),
                    key->nativeModifiers(), QString(), key->isAutoRepeat(), key->count());
        return Send(receiver, &e);
      }
      std::unique_ptr<QEvent> copy(g_native->event->clone());
      return Send(receiver, copy.get());
    }
  }
  switch (message) {
  case WM_KEYDOWN:
  case WM_KEYUP:
  case WM_SYSKEYDOWN:
  case WM_SYSKEYUP: {
    bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    Qt::KeyboardModifiers m = KeyModifiers();
    QKeyEvent e(down ? QEvent::KeyPress : QEvent::KeyRelease, QtKeyOf(static_cast<UINT>(wParam), m & Qt::ShiftModifier),
                m, QString(), (lParam & (1 << 30)) && down);
    return Send(KeyTarget(root), &e);
  }
  case WM_MOUSEMOVE:
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_LBUTTONDBLCLK:
  case WM_RBUTTONDOWN:
  case WM_RBUTTONUP:
  case WM_RBUTTONDBLCLK:
  case WM_MBUTTONDOWN:
  case WM_MBUTTONUP:
  case WM_MBUTTONDBLCLK: {
    QPoint pos(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    QWidget* target = root->childAt(pos);
    if (!target) target = root;
    QPoint local = target->mapFrom(root, pos);
    Qt::MouseButtons buttons;
    if (wParam & MK_LBUTTON) buttons |= Qt::LeftButton;
    if (wParam & MK_RBUTTON) buttons |= Qt::RightButton;
    if (wParam & MK_MBUTTON) buttons |= Qt::MiddleButton;
    Qt::MouseButton button = Qt::NoButton;
    QEvent::Type type = QEvent::MouseMove;
    if (message != WM_MOUSEMOVE) {
      UINT offset = (message - WM_LBUTTONDOWN) % 3;  // down, up, double click
      UINT which = (message - WM_LBUTTONDOWN) / 3;
      button = which == 0 ? Qt::LeftButton : which == 1 ? Qt::RightButton : Qt::MiddleButton;
      type = offset == 0 ? QEvent::MouseButtonPress : offset == 1 ? QEvent::MouseButtonRelease
                                                                  : QEvent::MouseButtonDblClick;
    }
    QMouseEvent e(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, buttons, KeyModifiers());
    return Send(target, &e);
  }
  default: return false;
  }
}

}  // namespace

bool IsReplayingInput() { return g_replaying; }

void AdoptControlWidget(HWND, QWidget* widget) {
  QList<QWidget*> all = widget->findChildren<QWidget*>();
  all.prepend(widget);
  for (QWidget* w : all) {
    w->installEventFilter(&Filter());
    w->setMouseTracking(true);
  }
}

LRESULT DefControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT dialogCode) {
  switch (message) {
  case WM_GETDLGCODE: return dialogCode;
  case WM_NCCALCSIZE: {
    // The widget draws its own scroll bars inside the client area: the frame keeps no room.
    LRESULT r = DefWindowProcW(hwnd, message, wParam, lParam);
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
    DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
    if (params && (style & WS_VSCROLL)) params->rgrc[0].right += GetSystemMetrics(SM_CXVSCROLL);
    if (params && (style & WS_HSCROLL)) params->rgrc[0].bottom += GetSystemMetrics(SM_CYHSCROLL);
    return r;
  }
  case WM_SETFONT:
    if (WindowRecord* rec = Find(hwnd)) {
      rec->font = reinterpret_cast<HFONT>(wParam);
      if (rec->clientWidget) rec->clientWidget->setFont(QtFontOf(rec->font));
    }
    return 0;
  case WM_MOUSEWHEEL:
    if (ForwardInput(hwnd, message, wParam, lParam)) return 0;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  case WM_KEYDOWN:
  case WM_KEYUP:
  case WM_CHAR:
  case WM_SYSCHAR:
  case WM_SYSKEYUP:
  case WM_MOUSEMOVE:
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_LBUTTONDBLCLK:
  case WM_RBUTTONDOWN:
  case WM_RBUTTONDBLCLK:
  case WM_MBUTTONDOWN:
  case WM_MBUTTONUP:
  case WM_MBUTTONDBLCLK: ForwardInput(hwnd, message, wParam, lParam); return 0;
  case WM_SYSKEYDOWN:
    ForwardInput(hwnd, message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  case WM_RBUTTONUP:
    ForwardInput(hwnd, message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void NotifyParent(HWND hwnd, int code) {
  if (QuietChange::IsQuiet(hwnd)) return;
  WindowRecord* rec = Find(hwnd);
  if (!rec || !rec->parent) return;
  SendMessageW(rec->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(rec->id), static_cast<WORD>(code)),
               reinterpret_cast<LPARAM>(hwnd));
}

QuietChange::QuietChange(HWND hwnd) : m_hwnd(hwnd), m_was(g_quiet.count(hwnd) != 0) { g_quiet.insert(hwnd); }
QuietChange::~QuietChange() {
  if (!m_was) g_quiet.erase(m_hwnd);
}
bool QuietChange::IsQuiet(HWND hwnd) { return g_quiet.count(hwnd) != 0; }

void RegisterControl(const ControlClass& c) {
  HBRUSH background = c.background < 0 ? nullptr : reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(c.background + 1));
  RegisterControlClass(WNDCLASSW {c.style, c.proc, 0, 0, nullptr, nullptr, LoadCursorW(nullptr, c.cursor), background,
                                  nullptr, c.name},
                       c.make);
}

void RegisterControlClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterButtonClass();
  RegisterStaticClass();
  RegisterEditClass();
  RegisterComboBoxClass();
  RegisterListBoxClass();
  RegisterScrollBarClass();
  RegisterProgressClass();
  RegisterUpDownClass();
  RegisterTabControlClass();
  RegisterTreeViewClass();
  RegisterHeaderClass();
  RegisterListViewClass();
  RegisterHtmlPaneClass();
  RegisterStatusBarClass();
  RegisterToolBarClass();
}

QString ToQt(LPCWSTR text) { return text ? QString::fromUtf16(text) : QString(); }
QString ToQt(const CString& text) { return QString::fromStdU16String(text.Str()); }
CString FromQt(const QString& text) { return CString(reinterpret_cast<LPCWSTR>(text.utf16()), static_cast<int>(text.size())); }

QString MnemonicText(LPCWSTR text, bool noPrefix) {
  QString s = ToQt(text);
  if (noPrefix) s.replace(QLatin1Char('&'), QLatin1String("&&"));
  return s;
}

QString PlainText(LPCWSTR text, bool noPrefix) {
  QString s = ToQt(text);
  if (noPrefix) return s;
  QString out;
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == QLatin1Char('&') && i + 1 < s.size()) ++i;
    else if (s[i] == QLatin1Char('&')) continue;
    out += s[i];
  }
  return out;
}

int FindItemText(int count, int after, const QString& text, bool exact, const std::function<QString(int)>& itemText) {
  if (count <= 0) return -1;
  int start = (after < 0 || after >= count) ? 0 : after + 1;
  for (int n = 0; n < count; ++n) {
    int i = (start + n) % count;
    QString item = itemText(i);
    if (exact ? item.compare(text, Qt::CaseInsensitive) == 0 : item.startsWith(text, Qt::CaseInsensitive)) return i;
  }
  return -1;
}

int SortedPosition(int count, const QString& text, const std::function<QString(int)>& itemText) {
  int i = 0;
  while (i < count && itemText(i).compare(text, Qt::CaseInsensitive) <= 0) ++i;
  return i;
}

int CopyOut(const QString& text, LPWSTR out, int count) {
  if (!out || count <= 0) return 0;
  int n = std::min(static_cast<int>(text.size()), count - 1);
  std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, out);
  out[n] = 0;
  return n;
}

}  // namespace qvui
