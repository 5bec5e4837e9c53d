// The status bar control (msctls_statusbar32), painted with the drawing layer: parts with sunken
// borders (or none, or raised), texts aligned by tabs ("\t" centres, "\t\t" right-aligns), icons,
// owner-drawn parts (WM_DRAWITEM to the parent with the part's data), tips and a size grip.

#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/WindowHost.h"

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"

#include <QHelpEvent>
#include <QToolTip>

#include <map>
#include <vector>

namespace qvui {

namespace {

struct Part {
  int right {-1};
  CString text;
  UINT type {};
  LPARAM data {};
  HICON icon {};
  CString tip;
};

struct StatusState {
  std::vector<Part> parts {Part {}};
  int minHeight {};
  COLORREF background {CLR_DEFAULT};
};

std::map<HWND, StatusState>& States() {
  static std::map<HWND, StatusState> states;
  return states;
}

constexpr int kGap = 2;  // between parts

RECT PartRect(HWND hwnd, const StatusState& s, int index) {
  RECT client {};
  GetClientRect(hwnd, &client);
  int left = index == 0 ? 0 : s.parts[static_cast<size_t>(index - 1)].right + kGap;
  int right = s.parts[static_cast<size_t>(index)].right;
  if (right < 0 || right > client.right) right = client.right;
  bool grip = GetWindowLongW(hwnd, GWL_STYLE) & SBARS_SIZEGRIP;
  if (grip && index == static_cast<int>(s.parts.size()) - 1) right = std::max(left, right - GetSystemMetrics(SM_CXVSCROLL));
  return RECT {left, 2, std::max(left, right), client.bottom};
}

void Paint(HWND hwnd) {
  PAINTSTRUCT ps {};
  HDC hdc = BeginPaint(hwnd, &ps);
  CDC& dc = *CDC::FromHandle(hdc);
  StatusState& s = States()[hwnd];
  WindowRecord* rec = Find(hwnd);
  CRect client;
  GetClientRect(hwnd, &client);
  COLORREF face = s.background == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : s.background;
  dc.FillSolidRect(&client, face);
  HGDIOBJ oldFont = SelectObject(hdc, rec && rec->font ? static_cast<HGDIOBJ>(rec->font) : GetStockObject(DEFAULT_GUI_FONT));
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
  for (size_t i = 0; i < s.parts.size(); ++i) {
    const Part& part = s.parts[i];
    CRect r = PartRect(hwnd, s, static_cast<int>(i));
    if (!(part.type & SBT_NOBORDERS)) {
      bool raised = part.type & SBT_POPOUT;
      dc.Draw3dRect(&r, GetSysColor(raised ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW),
                    GetSysColor(raised ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT));
    }
    CRect inside = r;
    inside.DeflateRect(2, 1);
    if (part.type & SBT_OWNERDRAW) {
      DRAWITEMSTRUCT dis {0, static_cast<UINT>(GetDlgCtrlID(hwnd)), static_cast<UINT>(i), ODA_DRAWENTIRE, 0, hwnd, hdc, inside,
                          static_cast<ULONG_PTR>(part.data)};
      if (HWND parent = GetParent(hwnd)) SendMessageW(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
      continue;
    }
    if (part.icon) {
      int size = GetSystemMetrics(SM_CXSMICON);
      DrawIconEx(hdc, inside.left, inside.top + (inside.Height() - size) / 2, part.icon, size, size, 0, nullptr, DI_NORMAL);
      inside.left += size + 2;
    }
    // "left\tcentre\tright": the text up to the first tab goes left, then centred, then right.
    std::u16string text = part.text.Str();
    UINT aligns[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    size_t start = 0;
    for (int piece = 0; piece < 3 && start <= text.size(); ++piece) {
      size_t tab = text.find(u'\t', start);
      std::u16string run = text.substr(start, tab == std::u16string::npos ? std::u16string::npos : tab - start);
      CRect box = inside;
      if (!run.empty())
        dc.DrawText(run.c_str(), static_cast<int>(run.size()), &box,
                    aligns[piece] | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
      if (tab == std::u16string::npos) break;
      start = tab + 1;
    }
  }
  if (GetWindowLongW(hwnd, GWL_STYLE) & SBARS_SIZEGRIP) {
    int size = GetSystemMetrics(SM_CXVSCROLL);
    CRect grip(client.right - size, client.bottom - size, client.right, client.bottom);
    dc.DrawFrameControl(&grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
  SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

int PreferredHeight(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  HDC hdc = GetDC(hwnd);
  CDC& dc = *CDC::FromHandle(hdc);
  HGDIOBJ old = SelectObject(hdc, rec && rec->font ? static_cast<HGDIOBJ>(rec->font) : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW tm {};
  dc.GetTextMetrics(&tm);
  SelectObject(hdc, old);
  ReleaseDC(hwnd, hdc);
  return std::max<int>(tm.tmHeight + 8, States()[hwnd].minHeight);
}

// Shows the tip of the part under the mouse: its own, or its text when the text does not fit.
class TipFilter : public QObject {
public:
  explicit TipFilter(HWND hwnd) : m_hwnd(hwnd) {}

protected:
  bool eventFilter(QObject* object, QEvent* e) override {
    if (e->type() != QEvent::ToolTip || !(GetWindowLongW(m_hwnd, GWL_STYLE) & SBT_TOOLTIPS)) return false;
    auto* help = static_cast<QHelpEvent*>(e);
    StatusState& s = States()[m_hwnd];
    for (size_t i = 0; i < s.parts.size(); ++i) {
      RECT r = PartRect(m_hwnd, s, static_cast<int>(i));
      if (help->pos().x() < r.left || help->pos().x() >= r.right) continue;
      QString tip = ToQt(s.parts[i].tip);
      if (tip.isEmpty()) tip = ToQt(s.parts[i].text).replace(QLatin1Char('\t'), QLatin1Char(' ')).trimmed();
      if (!tip.isEmpty()) QToolTip::showText(help->globalPos(), tip, qobject_cast<QWidget*>(object));
      return true;
    }
    QToolTip::hideText();
    return true;
  }

private:
  HWND m_hwnd {};
};

QWidget* MakeStatus(HWND hwnd, QWidget* host) {
  States()[hwnd] = StatusState {};
  auto* area = new ClientArea(hwnd, host);
  area->installEventFilter(new TipFilter(hwnd));
  return area;
}

LRESULT StatusProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  StatusState& s = States()[hwnd];
  auto count = static_cast<int>(s.parts.size());
  int part = static_cast<int>(wParam & 0xFF);
  switch (message) {
  case WM_CREATE: {
    DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
    if (!(style & CCS_NORESIZE)) SetWindowPos(hwnd, nullptr, 0, 0, 0, PreferredHeight(hwnd), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
  }
  case WM_SIZE: {
    // Without CCS_NOPARENTALIGN the bar keeps to its parent's bottom edge, as wide as the parent.
    DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
    HWND parent = GetParent(hwnd);
    if (parent && !(style & (CCS_NOPARENTALIGN | CCS_NORESIZE))) {
      RECT pr {};
      GetClientRect(parent, &pr);
      int h = PreferredHeight(hwnd);
      RECT now {};
      GetWindowRect(hwnd, &now);
      if (now.right - now.left != pr.right || now.bottom - now.top != h)
        SetWindowPos(hwnd, nullptr, 0, pr.bottom - h, pr.right, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
  }
  case WM_PAINT: Paint(hwnd); return 0;
  case WM_ERASEBKGND: return TRUE;
  case WM_NCHITTEST:
    if (GetWindowLongW(hwnd, GWL_STYLE) & SBARS_SIZEGRIP) {
      POINT p {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd, &p);
      RECT c {};
      GetClientRect(hwnd, &c);
      if (p.x >= c.right - GetSystemMetrics(SM_CXVSCROLL) && GetAncestor(hwnd, GA_ROOT) != hwnd) return HTBOTTOMRIGHT;
    }
    return HTCLIENT;
  case SB_SETPARTS: {
    auto* rights = reinterpret_cast<const int*>(lParam);
    if (!rights || wParam < 1 || wParam > 256) return FALSE;
    s.parts.resize(wParam);
    for (size_t i = 0; i < wParam; ++i) s.parts[i].right = rights[i];
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
  }
  case SB_GETPARTS: {
    auto* rights = reinterpret_cast<int*>(lParam);
    for (int i = 0; rights && i < std::min(count, static_cast<int>(wParam)); ++i) rights[i] = s.parts[static_cast<size_t>(i)].right;
    return count;
  }
  case SB_GETBORDERS: {
    if (auto* borders = reinterpret_cast<int*>(lParam)) {
      borders[0] = 0;
      borders[1] = 2;
      borders[2] = kGap;
    }
    return TRUE;
  }
  case SB_SETMINHEIGHT: s.minHeight = static_cast<int>(wParam); return 0;
  case SB_SIMPLE:
  case SB_ISSIMPLE: return FALSE;
  case SB_GETRECT: {
    auto* r = reinterpret_cast<RECT*>(lParam);
    if (!r || part >= count) return FALSE;
    *r = PartRect(hwnd, s, part);
    return TRUE;
  }
  case SB_SETTEXTW: {
    if (part >= count) return FALSE;
    Part& p = s.parts[static_cast<size_t>(part)];
    p.type = static_cast<UINT>(wParam) & 0xFF00;
    if (p.type & SBT_OWNERDRAW) p.data = lParam;
    else p.text = reinterpret_cast<LPCWSTR>(lParam);
    RECT r = PartRect(hwnd, s, part);
    InvalidateRect(hwnd, &r, TRUE);
    return TRUE;
  }
  case SB_GETTEXTLENGTHW:
  case SB_GETTEXTW: {
    if (part >= count) return 0;
    const Part& p = s.parts[static_cast<size_t>(part)];
    // An owner-drawn part has no text: its data stands in for it, its length is 0.
    if (p.type & SBT_OWNERDRAW) return message == SB_GETTEXTW ? p.data : MAKELRESULT(0, p.type);
    if (message == SB_GETTEXTW && lParam) {
      std::copy_n(p.text.GetString(), p.text.GetLength() + 1, reinterpret_cast<LPWSTR>(lParam));
    }
    return MAKELRESULT(p.text.GetLength(), p.type);
  }
  case SB_SETICON: {
    if (part >= count) return FALSE;
    s.parts[static_cast<size_t>(part)].icon = reinterpret_cast<HICON>(lParam);
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
  }
  case SB_SETTIPTEXTW:
    if (part < count) s.parts[static_cast<size_t>(part)].tip = reinterpret_cast<LPCWSTR>(lParam);
    return 0;
  case SB_GETTIPTEXTW: {
    if (part >= count || !lParam) return 0;
    int room = HIWORD(wParam);
    return CopyOut(ToQt(s.parts[static_cast<size_t>(part)].tip), reinterpret_cast<LPWSTR>(lParam), room);
  }
  case SB_SETBKCOLOR: {
    COLORREF old = s.background;
    s.background = static_cast<COLORREF>(lParam);
    InvalidateRect(hwnd, nullptr, TRUE);
    return static_cast<LRESULT>(old);
  }
  case WM_SETTEXT:
    DefWindowProcW(hwnd, message, wParam, lParam);
    return SendMessageW(hwnd, SB_SETTEXTW, 0, lParam);
  case WM_NCDESTROY:
    States().erase(hwnd);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void RegisterStatusBarClass() {
  RegisterControl({STATUSCLASSNAMEW, StatusProc, MakeStatus, COLOR_BTNFACE, IDC_ARROW, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW});
}

}  // namespace qvui
