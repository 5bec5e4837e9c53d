// Dialogs: windows made from templates, the dialog procedure's defaults, modal loops, and the
// dialog manager's keys (Tab, the arrows within groups, Enter, Escape).

#include "platform/ui/internal/DialogManager.h"

#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/WindowHost.h"

#include <QEventLoop>

#include <functional>
#include <map>

namespace qvui {

namespace {

// Dialog units: a quarter and an eighth of the fixed base units.
constexpr int kBaseX = 6;
constexpr int kBaseY = 13;

int Scale(int value, int base, int divisor) {
  long long v = static_cast<long long>(value) * base;
  return static_cast<int>(v >= 0 ? (v + divisor / 2) / divisor : -((-v + divisor / 2) / divisor));
}

struct DialogState {
  DLGPROC proc {};
  INT_PTR result {};
  bool ended {};
  QEventLoop* loop {};
  HWND focus {};  // the control that had the focus when the dialog was last left
  HFONT font {};  // made from the template; the dialog owns it
  int defId {};
};

std::map<HWND, DialogState>& States() {
  static std::map<HWND, DialogState> states;
  return states;
}

DialogState* StateOf(HWND dialog) {
  auto it = States().find(dialog);
  return it == States().end() ? nullptr : &it->second;
}

std::vector<HWND>& ModalStack() {
  static std::vector<HWND> stack;
  return stack;
}

DialogFilter g_dialogFilter = nullptr;  // the innermost modal loop's
MessageFilter g_outerFilter = nullptr;  // the filter before the outermost modal loop

BOOL ModalFilter(MSG* msg) {
  HWND dialog = ModalStack().empty() ? nullptr : ModalStack().back();
  if (dialog && IsWindow(dialog) && (msg->hwnd == dialog || IsChild(dialog, msg->hwnd)))
    return g_dialogFilter ? g_dialogFilter(dialog, msg) : IsDialogMessageW(dialog, msg);
  return g_outerFilter ? g_outerFilter(msg) : FALSE;
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }
// A control the keys can reach: shown and enabled by its own style (the dialog itself may not be
// shown yet).
bool Usable(HWND hwnd) { return (StyleOf(hwnd) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE; }

// The controls Tab visits, in order: children of the dialog and, inside children that are control
// parents (property pages, nested dialogs), their children.
void TabStops(HWND parent, std::vector<HWND>& out) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!Usable(child)) continue;
    if (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) TabStops(child, out);
    else if (StyleOf(child) & WS_TABSTOP) out.push_back(child);
  }
}

// The control of the dialog that is or holds the window: a child of the dialog or of a control
// parent inside it (the edit field of a combo box stands for its box).
HWND DialogControlOf(HWND dialog, HWND hwnd) {
  for (HWND parent = GetParent(hwnd); parent && parent != dialog && !(GetWindowLongW(parent, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
       parent = GetParent(hwnd))
    hwnd = parent;
  return hwnd;
}

// The dialog whose keys and default button a dialog's controls share: a dialog nested in another
// as a control parent (a panel of fields, a property page) belongs to the dialog around it.
HWND OutermostDialog(HWND dialog) {
  while ((StyleOf(dialog) & WS_CHILD) && (GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) {
    HWND parent = GetParent(dialog);
    if (!parent || !StateOf(parent)) break;
    dialog = parent;
  }
  return dialog;
}

// The default-button look follows the focus: a focused push button is drawn as the default, and
// when the focus leaves the push buttons the dialog's default button is again.
void MoveDefaultLook(HWND dialog, HWND focus) {
  DialogState* state = StateOf(dialog);
  if (!state) return;
  if (!state->defId) {
    LRESULT def = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    state->defId = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : 0;
  }
  bool pushFocused = focus && (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
  HWND look = pushFocused ? focus : GetDlgItem(dialog, state->defId);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    UINT code = static_cast<UINT>(SendMessageW(child, WM_GETDLGCODE, 0, 0));
    if ((code & DLGC_DEFPUSHBUTTON) && child != look) SendMessageW(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    else if ((code & DLGC_UNDEFPUSHBUTTON) && child == look) SendMessageW(child, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  }
}

void FocusControl(HWND control) {
  SetFocus(control);
  if (HWND dialog = GetParent(control)) MoveDefaultLook(OutermostDialog(dialog), control);
  // The text is selected in the window that took the focus: the control or one inside it.
  HWND focus = GetFocus();
  if (focus != control && !IsChild(control, focus)) focus = control;
  if (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(focus, EM_SETSEL, 0, -1);
}

// Tab into a group of radio buttons lands on the checked one, where one is.
HWND CheckedInGroup(HWND control) {
  if (!(SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) return control;
  HWND parent = GetParent(control);
  HWND c = control;
  do {
    if ((SendMessageW(c, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) && SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED) return c;
    c = GetNextDlgGroupItem(parent, c, FALSE);
  } while (c && c != control);
  return control;
}

void PressButton(HWND dialog, int id, HWND button) {
  if (button && !IsWindowEnabled(button)) {
    MessageBeep(0);
    return;
  }
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

int DefaultId(HWND dialog) {
  LRESULT def = SendMessageW(dialog, DM_GETDEFID, 0, 0);
  return HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
}

void Center(HWND dialog, HWND owner) {
  RECT r {}, area {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetWindowRect(dialog, &r);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = area.left + (area.right - area.left - w) / 2, y = area.top + (area.bottom - area.top - h) / 2;
  SetWindowPos(dialog, nullptr, std::max(x, 0), std::max(y, 0), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT MakeFont(const DialogTemplate& t) {
  if (!t.pointSize) return nullptr;
  LOGFONTW lf {};
  lf.lfHeight = -Scale(t.pointSize, 96, 72);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  int n = std::min(t.faceName.GetLength(), LF_FACESIZE - 1);
  std::copy_n(t.faceName.GetString(), n, lf.lfFaceName);
  return CreateFontIndirectW(&lf);
}

}  // namespace

HWND CreateDialogWindow(const DialogTemplate& t, HINSTANCE instance, HWND parent, DLGPROC proc, LPARAM param,
                        CWnd* object, const ChildPlacement* child) {
  RegisterBuiltinClasses();
  DWORD style = t.style & ~WS_VISIBLE;
  DWORD exStyle = t.exStyle;
  if (child) {
    style = ((style & ~(WS_CAPTION | WS_SYSMENU | WS_POPUP | WS_THICKFRAME | DS_MODALFRAME)) | DS_CONTROL | child->style) &
            ~WS_VISIBLE;
  }
  if (style & DS_CONTROL) {
    style = (style & ~(WS_CAPTION | WS_SYSMENU | WS_POPUP)) | WS_CHILD;
    exStyle |= WS_EX_CONTROLPARENT;
  }
  if (style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
  RECT r {t.x, t.y, t.x + t.cx, t.y + t.cy};
  MapDialogRect(nullptr, &r);
  if (child && child->rect) r = *child->rect;
  if (!(style & WS_CHILD) && parent && !(style & DS_ABSALIGN)) {
    // A pop-up's place is counted from its owner's client area.
    POINT origin {0, 0};
    ClientToScreen(parent, &origin);
    OffsetRect(&r, origin.x, origin.y);
  }
  if (!child || !child->rect) AdjustWindowRectEx(&r, style, FALSE, exStyle);
  HMENU id = child ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(child->id)) : nullptr;
  CWnd* before = SetCreatingObject(object);
  HWND dialog = CreateWindowExW(exStyle, WC_DIALOG, t.caption.GetString(), style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, parent, id, instance, reinterpret_cast<LPVOID>(param));
  SetCreatingObject(before);
  if (!dialog) return nullptr;
  DialogState& state = States()[dialog];
  state.proc = proc;
  state.font = MakeFont(t);
  HFONT font = state.font ? state.font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  std::vector<HWND> groupBoxes;
  for (const DialogItemTemplate& item : t.items) {
    RECT ir {item.x, item.y, item.x + item.cx, item.y + item.cy};
    MapDialogRect(dialog, &ir);
    HWND control = CreateWindowExW(item.exStyle, item.className.GetString(), item.text.GetString(),
                                   (item.style | WS_CHILD) & ~WS_POPUP, ir.left, ir.top, ir.right - ir.left,
                                   ir.bottom - ir.top, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(static_cast<WORD>(item.id))), instance,
                                   nullptr);
    if (!control) {
      if (!(t.style & DS_NOFAILCREATE)) {
        DestroyWindow(dialog);
        return nullptr;
      }
      continue;
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (item.className.CompareNoCase(WC_BUTTONW) == 0 && (item.style & BS_TYPEMASK) == BS_GROUPBOX)
      groupBoxes.push_back(control);
  }
  // A group box frames the items inside it: it lies beneath them.
  for (HWND box : groupBoxes)
    if (WindowRecord* rec = Find(box); rec && rec->host) rec->host->lower();

  if (t.style & DS_CENTER) Center(dialog, parent);
  std::vector<HWND> stops;
  TabStops(dialog, stops);
  HWND first = stops.empty() ? nullptr : stops.front();
  LRESULT focusDefault = SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
  if (!IsWindow(dialog)) return nullptr;
  if (focusDefault && first && IsWindow(first)) {
    FocusControl(first);
    if (DialogState* s = StateOf(dialog)) s->focus = first;
  }
  bool visible = (t.style & WS_VISIBLE) || (child && (child->style & WS_VISIBLE));
  if (visible && !(StateOf(dialog) && StateOf(dialog)->ended)) ShowWindow(dialog, SW_SHOWNORMAL);
  return dialog;
}

INT_PTR RunModalLoop(HWND dialog, DialogFilter filter) {
  DialogState* state = StateOf(dialog);
  if (!state) return -1;
  if (!state->ended) {
    ShowWindow(dialog, SW_SHOWNORMAL);
    SetActiveWindow(dialog);
    if (HWND focus = state->focus; focus && IsWindow(focus)) SetFocus(focus);
  }
  state = StateOf(dialog);
  if (state && !state->ended) {
    if (ModalStack().empty()) g_outerFilter = GetMessageFilter();
    DialogFilter outerDialogFilter = g_dialogFilter;
    ModalStack().push_back(dialog);
    g_dialogFilter = filter;
    SetMessageFilter(&ModalFilter);
    QEventLoop loop;
    state->loop = &loop;
    loop.exec(QEventLoop::DialogExec);
    ModalStack().pop_back();
    g_dialogFilter = outerDialogFilter;
    if (ModalStack().empty()) SetMessageFilter(g_outerFilter);
    state = StateOf(dialog);
    if (state) state->loop = nullptr;
  }
  return state ? state->result : -1;
}

HWND ModalOwner(HWND parent) {
  if (!parent || !IsWindow(parent)) return nullptr;
  return GetAncestor(parent, GA_ROOT);
}

}  // namespace qvui

using namespace qvui;

HWND CreateDialogIndirectParamW(HINSTANCE instance, const DialogTemplate* dialogTemplate, HWND parent,
                                DLGPROC dialogProc, LPARAM initParam) {
  return dialogTemplate ? CreateDialogWindow(*dialogTemplate, instance, parent, dialogProc, initParam, nullptr) : nullptr;
}

HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC dialogProc, LPARAM initParam) {
  return CreateDialogIndirectParamW(instance, FindDialogTemplate(instance, templateName), parent, dialogProc, initParam);
}

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, const DialogTemplate* dialogTemplate, HWND parent,
                                DLGPROC dialogProc, LPARAM initParam) {
  if (!dialogTemplate) return -1;
  HWND owner = ModalOwner(parent);
  bool disabled = owner && IsWindowEnabled(owner);
  HWND focus = GetFocus();
  if (disabled) EnableWindow(owner, FALSE);
  HWND dialog = CreateDialogWindow(*dialogTemplate, instance, owner, dialogProc, initParam, nullptr);
  INT_PTR result = dialog ? RunModalLoop(dialog, nullptr) : -1;
  if (disabled) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
    if (focus && IsWindow(focus) && (focus == owner || IsChild(owner, focus))) SetFocus(focus);
  }
  if (dialog) DestroyWindow(dialog);
  return result;
}

INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC dialogProc, LPARAM initParam) {
  return DialogBoxIndirectParamW(instance, FindDialogTemplate(instance, templateName), parent, dialogProc, initParam);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  DialogState* state = StateOf(dialog);
  if (!state) return FALSE;
  state->result = result;
  state->ended = true;
  if (state->loop) state->loop->exit();
  ShowWindow(dialog, SW_HIDE);
  return TRUE;
}

LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogState* state = StateOf(dialog);
  if (state && state->proc) {
    if (INT_PTR handled = state->proc(dialog, message, wParam, lParam)) {
      bool brush = message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
      return brush || message == WM_INITDIALOG ? handled : TRUE;
    }
    state = StateOf(dialog);
  }
  switch (message) {
  case WM_INITDIALOG: return TRUE;
  case WM_CLOSE: {
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (!cancel || IsWindowEnabled(cancel))
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    return 0;
  }
  case WM_ACTIVATE:
    if (!state) break;
    if (LOWORD(wParam) == WA_INACTIVE) {
      HWND focus = GetFocus();
      if (focus && IsChild(dialog, focus)) state->focus = focus;
      return 0;
    }
    [[fallthrough]];
  case WM_SETFOCUS: {
    if (!state) break;
    HWND focus = GetFocus();
    if (focus && IsChild(dialog, focus)) return 0;
    HWND target = state->focus && IsWindow(state->focus) && IsChild(dialog, state->focus) ? state->focus
                                                                                          : GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (target) FocusControl(target);
    return 0;
  }
  case WM_NEXTDLGCTL: {
    HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
    if (target) FocusControl(target);
    return 0;
  }
  case DM_GETDEFID: {
    if (state && state->defId) return MAKELRESULT(state->defId, DC_HASDEFID);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
        return MAKELRESULT(GetDlgCtrlID(child), DC_HASDEFID);
    return 0;
  }
  case DM_SETDEFID: {
    if (!state) return FALSE;
    // The look moves with the default: the old default button becomes a plain push button.
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      UINT code = static_cast<UINT>(SendMessageW(child, WM_GETDLGCODE, 0, 0));
      int id = GetDlgCtrlID(child);
      if ((code & DLGC_DEFPUSHBUTTON) && id != static_cast<int>(wParam))
        SendMessageW(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
      else if ((code & DLGC_UNDEFPUSHBUTTON) && id == static_cast<int>(wParam))
        SendMessageW(child, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
    state->defId = static_cast<int>(wParam);
    return TRUE;
  }
  case WM_NCDESTROY:
    if (state) {
      if (state->loop) state->loop->exit();
      if (state->font) DeleteObject(state->font);
      States().erase(dialog);
    }
    break;
  default: break;
  }
  return DefWindowProcW(dialog, message, wParam, lParam);
}

namespace qvui {
namespace {

// The character a control's text marks with '&' ("&&" is a plain '&'), or 0.
char16_t MnemonicOf(HWND control) {
  WCHAR text[256] {};
  GetWindowTextW(control, text, 256);
  for (int i = 0; text[i] && text[i + 1]; ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] == u'&') {
      ++i;
      continue;
    }
    char16_t c = text[i + 1];
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
  }
  return 0;
}

// Alt and a letter: the control whose text marks that letter, after the focus and around. A label
// hands the focus on to the control after it; a button is pressed.
BOOL Mnemonic(HWND dialog, HWND focus, char16_t key) {
  std::vector<HWND> controls;
  std::function<void(HWND)> collect = [&](HWND parent) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (!Usable(c)) continue;
      if (GetWindowLongW(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) collect(c);
      else controls.push_back(c);
    }
  };
  collect(dialog);
  if (focus && IsChild(dialog, focus)) focus = DialogControlOf(dialog, focus);
  size_t start = 0;
  for (size_t i = 0; i < controls.size(); ++i)
    if (controls[i] == focus) start = i + 1;
  for (size_t n = 0; n < controls.size(); ++n) {
    HWND c = controls[(start + n) % controls.size()];
    UINT code = static_cast<UINT>(SendMessageW(c, WM_GETDLGCODE, 0, 0));
    if ((code & DLGC_STATIC) && (StyleOf(c) & SS_NOPREFIX) && !(code & DLGC_BUTTON)) continue;
    if (MnemonicOf(c) != key) continue;
    if (code & DLGC_STATIC) {
      if (HWND next = GetNextDlgTabItem(dialog, c, FALSE)) FocusControl(next);
    } else if (code & DLGC_BUTTON) {
      FocusControl(c);
      SendMessageW(c, BM_CLICK, 0, 0);
    } else {
      FocusControl(c);
    }
    return TRUE;
  }
  return FALSE;
}

}  // namespace
}  // namespace qvui

BOOL IsDialogMessageW(HWND dialog, LPMSG msg) {
  if (!msg || !dialog || !IsWindow(dialog) || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) return FALSE;
  dialog = OutermostDialog(dialog);
  if (msg->message == WM_SYSKEYDOWN && ((msg->wParam >= 'A' && msg->wParam <= 'Z') || (msg->wParam >= '0' && msg->wParam <= '9')))
    return Mnemonic(dialog, GetFocus(), static_cast<char16_t>(msg->wParam));
  if (msg->message != WM_KEYDOWN) return FALSE;
  HWND focus = msg->hwnd;
  UINT code = static_cast<UINT>(SendMessageW(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)));
  if (code & DLGC_WANTALLKEYS) return FALSE;
  bool shift = GetKeyState(VK_SHIFT) < 0;
  switch (msg->wParam) {
  case VK_TAB: {
    if (code & DLGC_WANTTAB) return FALSE;
    if (GetKeyState(VK_CONTROL) < 0) return FALSE;
    if (HWND next = GetNextDlgTabItem(dialog, focus, shift)) FocusControl(CheckedInGroup(next));
    return TRUE;
  }
  case VK_LEFT:
  case VK_UP:
  case VK_RIGHT:
  case VK_DOWN: {
    if (code & DLGC_WANTARROWS) return FALSE;
    HWND parent = GetParent(focus);
    if (!parent) return FALSE;
    HWND next = GetNextDlgGroupItem(parent, focus, msg->wParam == VK_LEFT || msg->wParam == VK_UP);
    if (next && next != focus) {
      FocusControl(next);
      UINT nextCode = static_cast<UINT>(SendMessageW(next, WM_GETDLGCODE, 0, 0));
      if ((nextCode & DLGC_RADIOBUTTON) && (StyleOf(next) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
        SendMessageW(next, BM_CLICK, 0, 0);
    }
    return TRUE;
  }
  case VK_RETURN: {
    if (GetKeyState(VK_MENU) < 0) return FALSE;
    if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) && IsWindowEnabled(focus)) {
      PressButton(dialog, GetDlgCtrlID(focus), focus);
    } else {
      int id = DefaultId(dialog);
      PressButton(dialog, id, GetDlgItem(dialog, id));
    }
    return TRUE;
  }
  case VK_ESCAPE:
    PressButton(dialog, IDCANCEL, GetDlgItem(dialog, IDCANCEL));
    return TRUE;
  default: return FALSE;
  }
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  if (control && IsChild(dialog, control)) control = DialogControlOf(dialog, control);
  std::vector<HWND> stops;
  TabStops(dialog, stops);
  if (stops.empty()) return nullptr;
  auto it = std::find(stops.begin(), stops.end(), control);
  if (it == stops.end()) {
    // A control that is no tab stop: the next stop after it in the window order.
    if (control && IsChild(dialog, control)) {
      std::vector<HWND> all;
      for (HWND c = GetWindow(GetParent(control), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) all.push_back(c);
      auto at = std::find(all.begin(), all.end(), control);
      if (!previous) {
        for (auto a = at; a != all.end(); ++a)
          if (auto s = std::find(stops.begin(), stops.end(), *a); s != stops.end()) return *s;
      } else {
        for (auto a = std::make_reverse_iterator(at); a != all.rend(); ++a)
          if (auto s = std::find(stops.begin(), stops.end(), *a); s != stops.end()) return *s;
      }
    }
    return previous ? stops.back() : stops.front();
  }
  size_t i = static_cast<size_t>(it - stops.begin());
  return previous ? stops[(i + stops.size() - 1) % stops.size()] : stops[(i + 1) % stops.size()];
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  if (!control || !IsChild(dialog, control)) control = GetWindow(dialog, GW_CHILD);
  if (!control) return nullptr;
  HWND parent = GetParent(control);
  std::vector<HWND> siblings;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) siblings.push_back(c);
  auto at = static_cast<size_t>(std::find(siblings.begin(), siblings.end(), control) - siblings.begin());
  if (at >= siblings.size()) return nullptr;
  size_t first = at;
  while (first > 0 && !(StyleOf(siblings[first]) & WS_GROUP)) --first;
  size_t end = at + 1;
  while (end < siblings.size() && !(StyleOf(siblings[end]) & WS_GROUP)) ++end;
  size_t n = end - first;
  for (size_t step = 1; step < n; ++step) {
    size_t i = previous ? first + (at - first + n - step) % n : first + (at - first + step) % n;
    if (Usable(siblings[i])) return siblings[i];
  }
  return control;
}

LONG GetDialogBaseUnits() { return MAKELONG(kBaseX, kBaseY); }

BOOL MapDialogRect(HWND, LPRECT rect) {
  if (!rect) return FALSE;
  rect->left = Scale(rect->left, kBaseX, 4);
  rect->right = Scale(rect->right, kBaseX, 4);
  rect->top = Scale(rect->top, kBaseY, 8);
  rect->bottom = Scale(rect->bottom, kBaseY, 8);
  return TRUE;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SendMessageW(item, message, wParam, lParam) : 0;
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
  HWND item = GetDlgItem(dialog, id);
  return item && SetWindowTextW(item, text);
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int maxCount) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (text && maxCount > 0) text[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextW(item, text, maxCount));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  CString text;
  if (isSigned) text.Format(u"%d", static_cast<int>(value));
  else text.Format(u"%u", value);
  return SetDlgItemTextW(dialog, id, text.GetString());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* ok, BOOL isSigned) {
  if (ok) *ok = FALSE;
  HWND item = GetDlgItem(dialog, id);
  if (!item) return 0;
  int length = GetWindowTextLengthW(item);
  std::u16string buffer(static_cast<size_t>(length) + 1, u'\0');
  GetWindowTextW(item, buffer.data(), length + 1);
  size_t i = 0, n = static_cast<size_t>(length);
  while (i < n && (buffer[i] == u' ' || buffer[i] == u'\t')) ++i;
  while (n > i && (buffer[n - 1] == u' ' || buffer[n - 1] == u'\t')) --n;
  bool negative = false;
  if (i < n && (buffer[i] == u'-' || buffer[i] == u'+')) {
    if (buffer[i] == u'-') {
      if (!isSigned) return 0;
      negative = true;
    }
    ++i;
  }
  if (i >= n) return 0;
  unsigned long long value = 0;
  for (; i < n; ++i) {
    if (buffer[i] < u'0' || buffer[i] > u'9') return 0;
    value = value * 10 + static_cast<unsigned>(buffer[i] - u'0');
    if (value > 0xFFFFFFFFull) return 0;
  }
  if (isSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
  if (ok) *ok = TRUE;
  return negative ? static_cast<UINT>(-static_cast<long long>(value)) : static_cast<UINT>(value);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) return FALSE;
  SendMessageW(item, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item ? static_cast<UINT>(SendMessageW(item, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId) {
  for (int id = firstId; id <= lastId; ++id)
    if (HWND item = GetDlgItem(dialog, id)) SendMessageW(item, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
  return TRUE;
}
