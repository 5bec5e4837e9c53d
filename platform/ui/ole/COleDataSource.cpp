#include "platform/ui/ole/COleDataSource.h"

#include "platform/ui/afx/CWnd.h"
#include "platform/ui/internal/WindowTable.h"
#include "platform/ui/ole/COleDataObject.h"
#include "platform/ui/ole/COleDropTarget.h"

#include <QCursor>
#include <QGuiApplication>

#include <utility>

IMPLEMENT_DYNAMIC(COleDataSource, CCmdTarget)

namespace {

constexpr UINT_PTR kStepTimer = 1;
constexpr UINT kStepInterval = 50;  // ms between the questions to a target the mouse rests on
constexpr LONG kStartDelay = 200;   // ms a held button takes to start a drag without a move

bool g_dragging = false;

// The key state as the input so far has left it.
DWORD CurrentKeys() {
  const std::pair<int, DWORD> bits[] = {{VK_LBUTTON, MK_LBUTTON}, {VK_RBUTTON, MK_RBUTTON}, {VK_MBUTTON, MK_MBUTTON},
                                        {VK_SHIFT, MK_SHIFT},     {VK_CONTROL, MK_CONTROL}, {VK_MENU, MK_ALT}};
  DWORD keys = 0;
  for (auto [key, bit] : bits)
    if (GetKeyState(key) < 0) keys |= bit;
  return keys;
}

// A target that offers several effects gets a move, else a copy, else a link.
DROPEFFECT OneEffect(DROPEFFECT effects) {
  for (DROPEFFECT e : {DROPEFFECT_MOVE, DROPEFFECT_COPY, DROPEFFECT_LINK})
    if (effects & e) return e;
  return DROPEFFECT_NONE;
}

QCursor DragCursor(DROPEFFECT effect) {
  switch (OneEffect(effect)) {
  case DROPEFFECT_MOVE: return QCursor(Qt::DragMoveCursor);
  case DROPEFFECT_COPY: return QCursor(Qt::DragCopyCursor);
  case DROPEFFECT_LINK: return QCursor(Qt::DragLinkCursor);
  default: return QCursor(Qt::ForbiddenCursor);
  }
}

// The drag's modal loop. A hidden window of its own holds the mouse capture, so every mouse
// message comes to the loop wherever the cursor is; keys come to the focus window and are taken
// from the queue as well. Other messages are dispatched as usual.
class DragLoop {
public:
  DragLoop(COleDataSource* source, DROPEFFECT allowed) : m_allowed(allowed) {
    m_data.Attach(source);
    GetCursorPos(&m_pos);
    m_keys = CurrentKeys();
    m_tracker = CreateWindowExW(0, AFX_WND, u"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  }
  ~DragLoop() {
    if (m_cursorShown) QGuiApplication::restoreOverrideCursor();
    if (!IsWindow(m_tracker)) return;
    KillTimer(m_tracker, kStepTimer);
    if (GetCapture() == m_tracker) ReleaseCapture();
    DestroyWindow(m_tracker);
  }
  DragLoop(const DragLoop&) = delete;
  DragLoop& operator=(const DragLoop&) = delete;

  DROPEFFECT Run(LPCRECT startRect) {
    if (!m_tracker) return DROPEFFECT_NONE;
    SetCapture(m_tracker);
    SetTimer(m_tracker, kStepTimer, kStepInterval, nullptr);
    if (!WaitForStart(startRect)) return DROPEFFECT_NONE;
    QGuiApplication::setOverrideCursor(DragCursor(DROPEFFECT_NONE));
    m_cursorShown = true;
    Step();
    for (;;) {
      // The target, or its window, that went away ends the drag.
      if (!Alive(m_current)) return DROPEFFECT_NONE;
      Input input = Next();
      if (!Alive(m_current)) return DROPEFFECT_NONE;
      switch (input) {
      case Input::Moved:
      case Input::Tick:
      case Input::KeysChanged: Step(); break;
      case Input::Released:
        if (m_pos.x != m_stepped.x || m_pos.y != m_stepped.y) Step();
        return Alive(m_current) ? Drop() : DROPEFFECT_NONE;
      case Input::Cancelled: return Cancel();
      case Input::Other: break;
      }
    }
  }

private:
  enum class Input { Other, Moved, Released, Cancelled, Tick, KeysChanged };

  // The window a target talks about and its registration.
  struct Hovered {
    HWND hwnd {};
    qvui::DropRegistration registration;
  };

  static bool Alive(const Hovered& over) {
    return !over.registration.target || qvui::DropTargetOf(over.hwnd).serial == over.registration.serial;
  }

  // The deepest window under the point whose nearest registered ancestor (or itself) takes drops.
  static Hovered TargetAt(POINT screen) {
    for (HWND hwnd = WindowFromPoint(screen); hwnd;) {
      if (qvui::DropRegistration r = qvui::DropTargetOf(hwnd); r.target) return Hovered {hwnd, r};
      qvui::WindowRecord* rec = qvui::Find(hwnd);
      hwnd = rec ? rec->parent : nullptr;
    }
    return Hovered {};
  }

  bool WaitForStart(LPCRECT startRect) {
    CRect start = startRect ? CRect(*startRect) : CRect(m_pos.x, m_pos.y, m_pos.x + 1, m_pos.y + 1);
    LONG began = qvui::MessageTime();
    for (;;) {
      switch (Next()) {
      case Input::Moved:
        if (!start.PtInRect(m_pos)) return true;
        break;
      case Input::Tick:
        if (qvui::MessageTime() - began >= kStartDelay) return true;
        break;
      case Input::Released:
      case Input::Cancelled: return false;
      default: break;
      }
    }
  }

  Input Next() {
    MSG msg {};
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the program's own loop
      return Input::Cancelled;
    }
    Input input = Interpret(msg);
    return GetCapture() == m_tracker ? input : Input::Cancelled;
  }

  Input Interpret(const MSG& msg) {
    if (msg.message == WM_TIMER && msg.hwnd == m_tracker) return Input::Tick;
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
      switch (msg.message) {
      case WM_MOUSEMOVE:
        Follow(msg);
        // A move without the button means its release happened where this program did not see it.
        return (m_keys & MK_LBUTTON) ? Input::Moved : Input::Released;
      case WM_LBUTTONUP: Follow(msg); return Input::Released;
      case WM_RBUTTONDOWN: return Input::Cancelled;
      default: return Input::Other;
      }
    }
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN || msg.message == WM_KEYUP ||
        msg.message == WM_SYSKEYUP) {
      bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
      switch (msg.wParam) {
      case VK_ESCAPE: return down ? Input::Cancelled : Input::Other;
      case VK_SHIFT: return SetKey(MK_SHIFT, down);
      case VK_CONTROL: return SetKey(MK_CONTROL, down);
      case VK_MENU: return SetKey(MK_ALT, down);
      default: return Input::Other;
      }
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return Input::Other;
  }

  // A mouse message in its window's client coordinates: where the cursor is and what is held.
  void Follow(const MSG& msg) {
    POINT p {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (ClientToScreen(msg.hwnd, &p)) m_pos = p;
    m_keys = static_cast<DWORD>(msg.wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL));
    if (GetKeyState(VK_MENU) < 0) m_keys |= MK_ALT;
  }

  Input SetKey(DWORD bit, bool down) {
    DWORD keys = down ? (m_keys | bit) : (m_keys & ~bit);
    if (keys == m_keys) return Input::Other;
    m_keys = keys;
    return Input::KeysChanged;
  }

  CPoint ClientPoint() const {
    POINT p = m_pos;
    ScreenToClient(m_current.hwnd, &p);
    return CPoint(p);
  }

  CWnd* Window() const { return CWnd::FromHandle(m_current.hwnd); }

  // Asks the target under the cursor: Leave and Enter when it changed, else Over.
  void Step() {
    m_stepped = m_pos;
    Hovered under = TargetAt(m_pos);
    if (under.registration.serial != m_current.registration.serial) {
      if (m_current.registration.target && Alive(m_current)) m_current.registration.target->OnDragLeave(Window());
      m_current = Alive(under) ? under : Hovered {};
      m_effect = m_current.registration.target
                     ? m_current.registration.target->OnDragEnter(Window(), &m_data, m_keys, ClientPoint())
                     : DROPEFFECT_NONE;
    } else if (COleDropTarget* target = m_current.registration.target) {
      m_effect = target->OnDragScroll(Window(), m_keys, ClientPoint());
      if (!(m_effect & DROPEFFECT_SCROLL) && Alive(m_current))
        m_effect = target->OnDragOver(Window(), &m_data, m_keys, ClientPoint());
    }
    m_effect &= m_allowed | DROPEFFECT_SCROLL;
    QGuiApplication::changeOverrideCursor(DragCursor(m_effect));
  }

  DROPEFFECT Drop() {
    COleDropTarget* target = m_current.registration.target;
    if (!target) return DROPEFFECT_NONE;
    CPoint point = ClientPoint();
    DROPEFFECT effect = OneEffect(m_effect);
    if (effect == DROPEFFECT_NONE) {
      target->OnDragLeave(Window());
      return DROPEFFECT_NONE;
    }
    DROPEFFECT chosen = target->OnDropEx(Window(), &m_data, effect, m_allowed, point);
    if (chosen != static_cast<DROPEFFECT>(-1)) return chosen & m_allowed;
    if (!Alive(m_current)) return DROPEFFECT_NONE;
    return target->OnDrop(Window(), &m_data, effect, point) ? effect : DROPEFFECT_NONE;
  }

  DROPEFFECT Cancel() {
    if (m_current.registration.target && Alive(m_current)) m_current.registration.target->OnDragLeave(Window());
    return DROPEFFECT_NONE;
  }

  DROPEFFECT m_allowed {};
  COleDataObject m_data;
  HWND m_tracker {};
  POINT m_pos {};
  POINT m_stepped {};  // where the target was last asked
  DWORD m_keys {};
  Hovered m_current;
  DROPEFFECT m_effect {DROPEFFECT_NONE};
  bool m_cursorShown {};
};

}  // namespace

DROPEFFECT COleDataSource::DoDragDrop(DROPEFFECT allowed, LPCRECT startDragRect, void*) {
  if (g_dragging || !qvui::IsUiThread()) return DROPEFFECT_NONE;
  struct Busy {
    Busy() { g_dragging = true; }
    ~Busy() { g_dragging = false; }
  } busy;
  return DragLoop(this, allowed).Run(startDragRect);
}
