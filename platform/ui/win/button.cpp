// The BUTTON class: push buttons (the default one drawn as such), check boxes, radio buttons,
// group boxes and owner-drawn buttons. Check boxes and radio buttons only change by themselves
// in their automatic styles; an automatic radio button clears the others of its group.

#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/WindowHost.h"
#include "platform/ui/win/windc.h"

#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"

#include <QCheckBox>
#include <QKeySequence>
#include <QPushButton>
#include <QRadioButton>

#include <map>

namespace qvui {

namespace {

DWORD TypeOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & BS_TYPEMASK; }
bool IsPush(DWORD type) { return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_USERBUTTON; }
bool IsCheck(DWORD type) { return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE; }
bool IsRadio(DWORD type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

// The automatic radio buttons of the button's group: from the item with WS_GROUP before it to
// the next one.
void ClearGroup(HWND button) {
  HWND parent = GetParent(button);
  if (!parent) return;
  for (HWND item = GetNextDlgGroupItem(parent, button, FALSE); item && item != button;
       item = GetNextDlgGroupItem(parent, item, FALSE)) {
    if (TypeOf(item) == BS_AUTORADIOBUTTON) SendMessageW(item, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

// Check boxes and radio buttons whose state the window decides, not Qt.
template <class Base> class StateButton : public Base {
public:
  StateButton(HWND hwnd, QWidget* parent) : Base(parent), m_hwnd(hwnd) {}

protected:
  void nextCheckState() override {
    DWORD type = TypeOf(m_hwnd);
    QuietChange quiet(m_hwnd);
    if (type == BS_AUTOCHECKBOX) {
      this->setChecked(!this->isChecked());
    } else if (type == BS_AUTO3STATE) {
      auto* box = dynamic_cast<QCheckBox*>(static_cast<Base*>(this));
      Qt::CheckState s = box->checkState();
      box->setCheckState(s == Qt::Unchecked ? Qt::Checked : s == Qt::Checked ? Qt::PartiallyChecked : Qt::Unchecked);
    } else if (type == BS_AUTORADIOBUTTON) {
      ClearGroup(m_hwnd);
      this->setChecked(true);
    }
  }

private:
  HWND m_hwnd {};
};

// The text with its underlined mnemonic. The dialog manager answers the mnemonic (focus, then a
// click), so the widget keeps no shortcut of its own that would click without moving the focus.
void SetButtonText(QAbstractButton* button, const QString& text) {
  button->setText(text);
  button->setShortcut(QKeySequence());
}

QWidget* MakeButton(HWND hwnd, QWidget* host) {
  WindowRecord* rec = Find(hwnd);
  DWORD type = rec->style & BS_TYPEMASK;
  QString text = MnemonicText(rec->text.GetString(), false);
  QAbstractButton* button = nullptr;
  if (IsCheck(type)) {
    auto* box = new StateButton<QCheckBox>(hwnd, host);
    box->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
    button = box;
  } else if (IsRadio(type)) {
    auto* radio = new StateButton<QRadioButton>(hwnd, host);
    radio->setAutoExclusive(false);
    button = radio;
  } else if (IsPush(type)) {
    auto* push = new QPushButton(host);
    push->setAutoDefault(false);
    push->setDefault(type == BS_DEFPUSHBUTTON);
    button = push;
  } else {
    return new ClientArea(hwnd, host);  // group boxes and owner-drawn buttons paint themselves
  }
  SetButtonText(button, text);
  button->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(button, &QAbstractButton::clicked, [hwnd] { NotifyParent(hwnd, BN_CLICKED); });
  AdoptControlWidget(hwnd, button);
  return button;
}

void PaintGroupBox(HWND hwnd) {
  PAINTSTRUCT ps {};
  CDC* dc = CDC::FromHandle(BeginPaint(hwnd, &ps));
  WindowRecord* rec = Find(hwnd);
  CRect client;
  GetClientRect(hwnd, &client);
  HGDIOBJ oldFont = rec->font ? SelectObject(*dc, rec->font) : SelectObject(*dc, GetStockObject(DEFAULT_GUI_FONT));
  CString text = rec->text;
  CRect measure(0, 0, client.Width(), client.Height());
  dc->DrawText(text, &measure, DT_CALCRECT | DT_SINGLELINE);
  int half = measure.Height() / 2;
  CRect frame(client.left, client.top + half, client.right, client.bottom);
  dc->Draw3dRect(&frame, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
  frame.DeflateRect(1, 1);
  dc->Draw3dRect(&frame, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
  if (!text.IsEmpty()) {
    CRect label(8, 0, std::min<LONG>(8 + measure.Width() + 4, client.right), measure.Height());
    dc->FillSolidRect(&label, GetSysColor(COLOR_BTNFACE));
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    label.left += 2;
    dc->DrawText(text, &label, DT_SINGLELINE | DT_LEFT | DT_TOP);
  }
  SelectObject(*dc, oldFont);
  EndPaint(hwnd, &ps);
}

// State of an owner-drawn button: pressed while the mouse is down inside it.
struct OwnerDrawState {
  bool pressed {};
  bool tracking {};
};
std::map<HWND, OwnerDrawState>& OwnerDraw() {
  static std::map<HWND, OwnerDrawState> states;
  return states;
}

void PaintOwnerDrawn(HWND hwnd, UINT action) {
  PAINTSTRUCT ps {};
  HDC dc = BeginPaint(hwnd, &ps);
  WindowRecord* rec = Find(hwnd);
  DRAWITEMSTRUCT dis {};
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = static_cast<UINT>(rec->id);
  dis.itemAction = action;
  dis.hwndItem = hwnd;
  dis.hDC = dc;
  GetClientRect(hwnd, &dis.rcItem);
  if (OwnerDraw()[hwnd].pressed) dis.itemState |= ODS_SELECTED;
  if (GetFocus() == hwnd) dis.itemState |= ODS_FOCUS;
  if (!IsWindowEnabled(hwnd)) dis.itemState |= ODS_DISABLED;
  if (rec->parent) SendMessageW(rec->parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
  EndPaint(hwnd, &ps);
}

LRESULT OwnerDrawInput(HWND hwnd, UINT message, LPARAM lParam) {
  OwnerDrawState& s = OwnerDraw()[hwnd];
  POINT p {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  RECT r {};
  GetClientRect(hwnd, &r);
  bool inside = p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
  switch (message) {
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    s.tracking = s.pressed = true;
    SetCapture(hwnd);
    SetFocus(hwnd);
    InvalidateRect(hwnd, nullptr, FALSE);
    break;
  case WM_MOUSEMOVE:
    if (s.tracking && s.pressed != inside) {
      s.pressed = inside;
      InvalidateRect(hwnd, nullptr, FALSE);
    }
    break;
  case WM_LBUTTONUP:
    if (s.tracking) {
      s.tracking = s.pressed = false;
      ReleaseCapture();
      InvalidateRect(hwnd, nullptr, FALSE);
      if (inside) NotifyParent(hwnd, BN_CLICKED);
    }
    break;
  default: break;
  }
  return 0;
}

UINT DialogCode(HWND hwnd) {
  DWORD type = TypeOf(hwnd);
  if (type == BS_GROUPBOX) return DLGC_STATIC;
  if (IsRadio(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
  if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
  if (IsPush(type) || type == BS_OWNERDRAW) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
  return DLGC_BUTTON;
}

LRESULT ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* button = ControlOf<QAbstractButton>(hwnd);
  DWORD type = TypeOf(hwnd);
  switch (message) {
  case BM_GETCHECK:
    if (auto* box = qobject_cast<QCheckBox*>(button)) {
      Qt::CheckState s = box->checkState();
      return s == Qt::Checked ? BST_CHECKED : s == Qt::PartiallyChecked ? BST_INDETERMINATE : BST_UNCHECKED;
    }
    return button && button->isCheckable() && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
  case BM_SETCHECK: {
    QuietChange quiet(hwnd);
    if (auto* box = qobject_cast<QCheckBox*>(button)) {
      box->setCheckState(wParam == BST_CHECKED ? Qt::Checked
                         : wParam == BST_INDETERMINATE && box->isTristate() ? Qt::PartiallyChecked
                                                                             : Qt::Unchecked);
    } else if (auto* radio = qobject_cast<QRadioButton*>(button)) {
      radio->setChecked(wParam == BST_CHECKED);
    }
    return 0;
  }
  case BM_GETSTATE: {
    LRESULT state = SendMessageW(hwnd, BM_GETCHECK, 0, 0);
    if ((button && button->isDown()) || OwnerDraw()[hwnd].pressed) state |= BST_PUSHED;
    if (GetFocus() == hwnd) state |= BST_FOCUS;
    return state;
  }
  case BM_SETSTATE:
    if (button) button->setDown(wParam != 0);
    return 0;
  case BM_SETSTYLE: {
    WindowRecord* rec = Find(hwnd);
    DWORD newType = static_cast<DWORD>(wParam) & BS_TYPEMASK;
    // Only the two push-button looks can change in place.
    if (rec && IsPush(type) && IsPush(newType)) {
      rec->style = (rec->style & ~BS_TYPEMASK) | newType;
      if (auto* push = qobject_cast<QPushButton*>(button)) push->setDefault(newType == BS_DEFPUSHBUTTON);
    }
    if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
  }
  case BM_CLICK:
    if (!IsWindowEnabled(hwnd)) return 0;
    if (button) button->click();
    else if (type == BS_OWNERDRAW) NotifyParent(hwnd, BN_CLICKED);
    return 0;
  case WM_SETTEXT:
    DefWindowProcW(hwnd, message, wParam, lParam);
    if (button) SetButtonText(button, MnemonicText(reinterpret_cast<LPCWSTR>(lParam), false));
    else InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
  case WM_GETDLGCODE: return DialogCode(hwnd);
  case WM_PAINT:
    if (type == BS_GROUPBOX) PaintGroupBox(hwnd);
    else if (type == BS_OWNERDRAW) PaintOwnerDrawn(hwnd, ODA_DRAWENTIRE);
    else return DefControlProc(hwnd, message, wParam, lParam);
    return 0;
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    if (type == BS_OWNERDRAW) InvalidateRect(hwnd, nullptr, FALSE);
    if (GetWindowLongW(hwnd, GWL_STYLE) & BS_NOTIFY) NotifyParent(hwnd, message == WM_SETFOCUS ? BN_SETFOCUS : BN_KILLFOCUS);
    return 0;
  case WM_ENABLE:
    if (!button) InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
  case WM_NCHITTEST:
    // A group box is only a frame: the mouse reaches what lies beneath it.
    if (type == BS_GROUPBOX) return HTTRANSPARENT;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  case WM_NCDESTROY:
    OwnerDraw().erase(hwnd);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
  case WM_MOUSEMOVE:
  case WM_LBUTTONUP:
    if (type == BS_OWNERDRAW) return OwnerDrawInput(hwnd, message, lParam);
    return DefControlProc(hwnd, message, wParam, lParam);
  default: return DefControlProc(hwnd, message, wParam, lParam, DialogCode(hwnd));
  }
}

}  // namespace

void RegisterButtonClass() {
  RegisterControl({WC_BUTTONW, ButtonProc, MakeButton, COLOR_BTNFACE});
}

}  // namespace qvui
