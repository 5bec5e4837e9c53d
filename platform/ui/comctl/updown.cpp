// The up-down control (msctls_updown32): two arrow buttons that step a position within a range
// (100 down to 0 at first, so that the upper arrow counts down until a range is set), show it in
// the buddy window and report each step to the parent as a scroll message.

#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/internal/ControlWidget.h"

#include <QBoxLayout>
#include <QToolButton>

#include <map>
#include <optional>

namespace qvui {

namespace {

struct UpDownState {
  int lower {100};
  int upper {0};
  int pos {0};
  HWND buddy {};
};

std::map<HWND, UpDownState>& States() {
  static std::map<HWND, UpDownState> states;
  return states;
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }

int Clamp(const UpDownState& s, int pos) { return std::clamp(pos, std::min(s.lower, s.upper), std::max(s.lower, s.upper)); }

void ShowInBuddy(HWND hwnd, const UpDownState& s) {
  if (s.buddy && IsWindow(s.buddy) && (StyleOf(hwnd) & UDS_SETBUDDYINT))
    SetWindowTextW(s.buddy, FromQt(QString::number(s.pos)).GetString());
}

// The position the buddy shows, when it is a number within the range.
std::optional<int> BuddyNumber(HWND hwnd, const UpDownState& s) {
  if (!s.buddy || !IsWindow(s.buddy) || !(StyleOf(hwnd) & UDS_SETBUDDYINT)) return s.pos;
  WCHAR text[64] {};
  GetWindowTextW(s.buddy, text, 64);
  bool ok = false;
  int value = ToQt(text).trimmed().remove(QLatin1Char(',')).toInt(&ok);
  if (!ok || value != Clamp(s, value)) return std::nullopt;
  return value;
}

// The upper (or right) arrow steps toward the upper end of the range, the other away from it.
void Step(HWND hwnd, bool up) {
  UpDownState& s = States()[hwnd];
  if (std::optional<int> shown = BuddyNumber(hwnd, s)) s.pos = *shown;
  int direction = (s.upper >= s.lower) == up ? 1 : -1;
  int next = s.pos + direction;
  if (next != Clamp(s, next)) {
    if (!(StyleOf(hwnd) & UDS_WRAP)) return;
    next = direction > 0 ? std::min(s.lower, s.upper) : std::max(s.lower, s.upper);
  }
  s.pos = next;
  ShowInBuddy(hwnd, s);
  if (HWND parent = GetParent(hwnd))
    SendMessageW(parent, (StyleOf(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL,
                 MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(next)), reinterpret_cast<LPARAM>(hwnd));
}

// Puts the arrows inside the end of the buddy that the style names; the buddy gives up their width.
void AlignToBuddy(HWND hwnd, HWND buddy) {
  DWORD style = StyleOf(hwnd);
  if (!(style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)) || !GetParent(buddy)) return;
  RECT own {}, b {};
  GetWindowRect(hwnd, &own);
  GetWindowRect(buddy, &b);
  POINT at {b.left, b.top};
  ScreenToClient(GetParent(buddy), &at);
  int width = own.right - own.left, height = b.bottom - b.top, buddyWidth = b.right - b.left;
  if (style & UDS_ALIGNRIGHT) {
    SetWindowPos(buddy, nullptr, 0, 0, buddyWidth - width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(hwnd, nullptr, at.x + buddyWidth - width, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SetWindowPos(buddy, nullptr, at.x + width, at.y, buddyWidth - width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(hwnd, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

HWND SetBuddy(HWND hwnd, HWND buddy) {
  UpDownState& s = States()[hwnd];
  HWND old = s.buddy;
  s.buddy = buddy && IsWindow(buddy) ? buddy : nullptr;
  if (s.buddy) AlignToBuddy(hwnd, s.buddy);
  return old;
}

QWidget* MakeUpDown(HWND hwnd, QWidget* host) {
  States()[hwnd] = UpDownState {};
  auto* arrows = new QWidget(host);
  bool horizontal = Find(hwnd)->style & UDS_HORZ;
  auto* layout = new QBoxLayout(horizontal ? QBoxLayout::RightToLeft : QBoxLayout::TopToBottom, arrows);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (bool up : {true, false}) {
    auto* button = new QToolButton(arrows);
    button->setArrowType(horizontal ? (up ? Qt::RightArrow : Qt::LeftArrow) : (up ? Qt::UpArrow : Qt::DownArrow));
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    QObject::connect(button, &QToolButton::clicked, [hwnd, up] {
      if (IsWindow(hwnd)) Step(hwnd, up);
    });
    layout->addWidget(button);
  }
  arrows->setFocusPolicy(Qt::NoFocus);
  AdoptControlWidget(hwnd, arrows);
  return arrows;
}

LRESULT UpDownProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!States().count(hwnd)) return DefControlProc(hwnd, message, wParam, lParam);
  UpDownState& s = States()[hwnd];
  switch (message) {
  case WM_CREATE:
    if (StyleOf(hwnd) & UDS_AUTOBUDDY) SetBuddy(hwnd, GetWindow(hwnd, GW_HWNDPREV));
    return 0;
  case UDM_SETRANGE:
  case UDM_SETRANGE32:
    s.lower = message == UDM_SETRANGE ? static_cast<short>(HIWORD(lParam)) : static_cast<int>(wParam);
    s.upper = message == UDM_SETRANGE ? static_cast<short>(LOWORD(lParam)) : static_cast<int>(lParam);
    s.pos = Clamp(s, s.pos);
    return 0;
  case UDM_GETRANGE: return MAKELRESULT(static_cast<WORD>(s.upper), static_cast<WORD>(s.lower));
  case UDM_GETRANGE32:
    if (auto* lower = reinterpret_cast<int*>(wParam)) *lower = s.lower;
    if (auto* upper = reinterpret_cast<int*>(lParam)) *upper = s.upper;
    return 0;
  case UDM_SETPOS:
  case UDM_SETPOS32: {
    int old = s.pos;
    s.pos = Clamp(s, message == UDM_SETPOS ? static_cast<short>(LOWORD(lParam)) : static_cast<int>(lParam));
    ShowInBuddy(hwnd, s);
    return old;
  }
  case UDM_GETPOS:
  case UDM_GETPOS32: {
    std::optional<int> shown = BuddyNumber(hwnd, s);
    if (shown) s.pos = *shown;
    if (message == UDM_GETPOS) return MAKELRESULT(static_cast<WORD>(s.pos), shown ? 0 : 1);
    if (auto* error = reinterpret_cast<BOOL*>(lParam)) *error = shown ? FALSE : TRUE;
    return s.pos;
  }
  case UDM_SETBUDDY: return reinterpret_cast<LRESULT>(SetBuddy(hwnd, reinterpret_cast<HWND>(wParam)));
  case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(s.buddy);
  case WM_NCDESTROY:
    States().erase(hwnd);
    return DefControlProc(hwnd, message, wParam, lParam);
  default: return DefControlProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void RegisterUpDownClass() {
  RegisterControl({UPDOWN_CLASSW, UpDownProc, MakeUpDown, COLOR_BTNFACE, IDC_ARROW, CS_PARENTDC});
}

}  // namespace qvui
