// The tool bar control (ToolbarWindow32), painted with the drawing layer: flat buttons with
// pictures (the disabled list, or a greyed picture, for disabled buttons), texts below the
// pictures or beside them (TBSTYLE_LIST), separators, check and drop-down buttons.

#include "platform/ui/ControlWidget.h"
#include "platform/ui/ImageListData.h"
#include "platform/ui/WindowHost.h"
#include "platform/ui/commctrl.h"

#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"

#include <QHelpEvent>
#include <QIcon>
#include <QToolTip>

#include <map>
#include <vector>

namespace qvui {

namespace {

constexpr int kArrowWidth = 12;  // the drop-down part of a button with TBSTYLE_EX_DRAWDDARROWS
constexpr int kSeparator = 8;

struct ToolState {
  std::vector<TBBUTTON> buttons;
  std::vector<QString> texts;    // per button: its label
  std::vector<QString> strings;  // the string pool
  std::vector<QRect> rects;      // laid out by Layout
  QSize buttonSize {24, 22};
  QSize bitmapSize {16, 15};
  HIMAGELIST images {}, hot {}, disabled {};
  DWORD exStyle {};
  int maxTextRows {1};
  int pressed {-1};
  int hotIndex {-1};
  bool onArrow {};
};

std::map<HWND, ToolState>& States() {
  static std::map<HWND, ToolState> states;
  return states;
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }

bool ShowsText(HWND hwnd, const ToolState& s, const TBBUTTON& b) {
  if (s.maxTextRows <= 0) return false;
  if ((StyleOf(hwnd) & TBSTYLE_LIST) && (s.exStyle & TBSTYLE_EX_MIXEDBUTTONS)) return b.fsStyle & BTNS_SHOWTEXT;
  return true;
}

int TextWidth(HWND hwnd, const QString& text) {
  if (text.isEmpty()) return 0;
  HDC dc = GetDC(hwnd);
  CDC& cdc = *CDC::FromHandle(dc);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  std::u16string t = text.toStdU16String();
  int width = cdc.GetTextExtent(t.c_str(), static_cast<int>(t.size())).cx;
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return width;
}

int TextHeight(HWND hwnd) {
  HDC dc = GetDC(hwnd);
  CDC& cdc = *CDC::FromHandle(dc);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW tm {};
  cdc.GetTextMetrics(&tm);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return tm.tmHeight;
}

bool HasArrow(const ToolState& s, const TBBUTTON& b) {
  return (b.fsStyle & BTNS_DROPDOWN) && ((s.exStyle & TBSTYLE_EX_DRAWDDARROWS) || (b.fsStyle & BTNS_WHOLEDROPDOWN));
}

// Places the buttons in rows that break after TBSTATE_WRAP; answers the size they take.
QSize Layout(HWND hwnd, ToolState& s) {
  s.rects.assign(s.buttons.size(), QRect());
  bool list = StyleOf(hwnd) & TBSTYLE_LIST;
  int textHeight = s.maxTextRows > 0 ? TextHeight(hwnd) : 0;
  int x = 0, y = 0, rowHeight = 0, width = 0;
  int uniform = s.buttonSize.width();
  for (size_t i = 0; i < s.buttons.size(); ++i)
    if (!(s.buttons[i].fsStyle & BTNS_SEP) && !list && ShowsText(hwnd, s, s.buttons[i]) && !(s.buttons[i].fsStyle & BTNS_AUTOSIZE))
      uniform = std::max(uniform, TextWidth(hwnd, s.texts[i]) + 8);
  for (size_t i = 0; i < s.buttons.size(); ++i) {
    const TBBUTTON& b = s.buttons[i];
    if (b.fsState & TBSTATE_HIDDEN) continue;
    QSize size;
    if (b.fsStyle & BTNS_SEP) {
      size = QSize(b.iBitmap > 0 ? b.iBitmap : kSeparator, s.buttonSize.height());
    } else {
      bool text = ShowsText(hwnd, s, b) && !s.texts[i].isEmpty();
      int w = s.buttonSize.width();
      int h = s.buttonSize.height();
      if (text && list) w = s.bitmapSize.width() + TextWidth(hwnd, s.texts[i]) + 14;
      else if (b.fsStyle & BTNS_AUTOSIZE) w = std::max(s.bitmapSize.width() + 7, text ? TextWidth(hwnd, s.texts[i]) + 8 : 0);
      else w = uniform;
      if (text && !list) h = std::max(h, s.bitmapSize.height() + textHeight + 8);
      if (HasArrow(s, b) && !(b.fsStyle & BTNS_WHOLEDROPDOWN)) w += kArrowWidth;
      size = QSize(w, h);
    }
    s.rects[i] = QRect(QPoint(x, y), size);
    x += size.width();
    rowHeight = std::max(rowHeight, size.height());
    width = std::max(width, x);
    if (b.fsState & TBSTATE_WRAP) {
      x = 0;
      y += rowHeight;
      rowHeight = 0;
    }
  }
  return QSize(width, y + rowHeight);
}

int HitButton(const ToolState& s, QPoint at) {
  for (size_t i = 0; i < s.rects.size(); ++i)
    if (s.rects[i].contains(at) && !(s.buttons[i].fsState & TBSTATE_HIDDEN)) return static_cast<int>(i);
  return -1;
}

void DrawPicture(HDC dc, HIMAGELIST list, int index, QPoint at, bool greyed) {
  if (!list) return;
  if (!greyed) {
    ImageList_Draw(list, index, dc, at.x(), at.y(), ILD_TRANSPARENT);
    return;
  }
  // No picture for the disabled state: the normal one, greyed as the desktop greys icons.
  QPixmap normal = ImageListPixmap(list, index);
  if (normal.isNull()) return;
  QImage grey = QIcon(normal).pixmap(normal.size(), QIcon::Disabled).toImage().convertToFormat(QImage::Format_ARGB32);
  HIMAGELIST scratch = ImageList_Create(grey.width(), grey.height(), ILC_MASK | ILC_COLOR32, 1, 0);
  QImage masked = grey.convertToFormat(QImage::Format_RGB32);
  QImage mask(grey.size(), QImage::Format_RGB32);
  for (int y = 0; y < grey.height(); ++y)
    for (int x = 0; x < grey.width(); ++x) mask.setPixel(x, y, qAlpha(grey.pixel(x, y)) < 128 ? 0xFFFFFFFF : 0xFF000000);
  HBITMAP picture = BitmapOfImage(masked), maskBitmap = BitmapOfImage(mask);
  ImageList_Add(scratch, picture, maskBitmap);
  ImageList_Draw(scratch, 0, dc, at.x(), at.y(), ILD_TRANSPARENT);
  DeleteObject(picture);
  DeleteObject(maskBitmap);
  ImageList_Destroy(scratch);
}

void Paint(HWND hwnd) {
  PAINTSTRUCT ps {};
  HDC hdc = BeginPaint(hwnd, &ps);
  CDC& dc = *CDC::FromHandle(hdc);
  ToolState& s = States()[hwnd];
  Layout(hwnd, s);
  CRect client;
  GetClientRect(hwnd, &client);
  dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
  HGDIOBJ oldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
  dc.SetBkMode(TRANSPARENT);
  bool list = StyleOf(hwnd) & TBSTYLE_LIST;
  for (size_t i = 0; i < s.buttons.size(); ++i) {
    const TBBUTTON& b = s.buttons[i];
    if (b.fsState & TBSTATE_HIDDEN) continue;
    QRect q = s.rects[i];
    CRect r(q.left(), q.top(), q.left() + q.width(), q.top() + q.height());
    if (b.fsStyle & BTNS_SEP) {
      int mid = r.left + r.Width() / 2 - 1;
      dc.Draw3dRect(mid, r.top + 2, 2, r.Height() - 4, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
      continue;
    }
    bool enabled = b.fsState & TBSTATE_ENABLED;
    bool down = (b.fsState & (TBSTATE_PRESSED | TBSTATE_CHECKED)) || (static_cast<int>(i) == s.pressed && !s.onArrow);
    if (b.fsState & TBSTATE_CHECKED) dc.FillSolidRect(&r, GetSysColor(COLOR_3DLIGHT));
    if (down) dc.Draw3dRect(&r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else if (static_cast<int>(i) == s.hotIndex && enabled) dc.Draw3dRect(&r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    CRect face = r;
    if (HasArrow(s, b)) {
      if (!(b.fsStyle & BTNS_WHOLEDROPDOWN)) face.right -= kArrowWidth;
      int ax = (b.fsStyle & BTNS_WHOLEDROPDOWN) ? r.right - kArrowWidth + 2 : face.right + 2;
      int ay = r.top + r.Height() / 2 - 1;
      POINT arrow[] = {{ax, ay}, {ax + 6, ay}, {ax + 3, ay + 3}};
      HGDIOBJ oldBrush = SelectObject(hdc, GetSysColorBrush(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
      HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
      dc.Polygon(arrow, 3);
      SelectObject(hdc, oldPen);
      SelectObject(hdc, oldBrush);
    }
    int offset = down ? 1 : 0;
    bool text = ShowsText(hwnd, s, b) && !s.texts[i].isEmpty();
    QPoint picture = list && text ? QPoint(face.left + 4, face.top + (face.Height() - s.bitmapSize.height()) / 2)
                                  : QPoint(face.left + (face.Width() - s.bitmapSize.width()) / 2, face.top + 3);
    if (!text || list) picture.setY(face.top + (face.Height() - s.bitmapSize.height()) / 2);
    picture += QPoint(offset, offset);
    HIMAGELIST pictures = static_cast<int>(i) == s.hotIndex && s.hot ? s.hot : s.images;
    if (!enabled && s.disabled) DrawPicture(hdc, s.disabled, b.iBitmap, picture, false);
    else DrawPicture(hdc, pictures, b.iBitmap, picture, !enabled);
    if (text) {
      dc.SetTextColor(GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
      CRect t = list ? CRect(picture.x() + s.bitmapSize.width() + 4, face.top, face.right, face.bottom)
                     : CRect(face.left, picture.y() + s.bitmapSize.height() + 1, face.right, face.bottom);
      t.OffsetRect(offset, offset);
      std::u16string label = s.texts[i].toStdU16String();
      dc.DrawText(label.c_str(), static_cast<int>(label.size()), &t,
                  (list ? DT_LEFT | DT_VCENTER : DT_CENTER | DT_TOP) | DT_SINGLELINE | DT_END_ELLIPSIS |
                      ((b.fsStyle & BTNS_NOPREFIX) ? DT_NOPREFIX : 0));
    }
  }
  SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

QString LabelOf(const ToolState& s, INT_PTR string) {
  if (string >= 0 && string < static_cast<INT_PTR>(s.strings.size())) return s.strings[static_cast<size_t>(string)];
  if (string == -1 || IS_INTRESOURCE(reinterpret_cast<LPCWSTR>(string))) return QString();
  return ToQt(reinterpret_cast<LPCWSTR>(string));
}

bool Insert(HWND hwnd, ToolState& s, int at, const TBBUTTON& b) {
  if (at < 0 || at > static_cast<int>(s.buttons.size())) at = static_cast<int>(s.buttons.size());
  s.buttons.insert(s.buttons.begin() + at, b);
  s.texts.insert(s.texts.begin() + at, (b.fsStyle & BTNS_SEP) ? QString() : LabelOf(s, b.iString));
  InvalidateRect(hwnd, nullptr, TRUE);
  return true;
}

int IndexOf(const ToolState& s, int command) {
  for (size_t i = 0; i < s.buttons.size(); ++i)
    if (s.buttons[i].idCommand == command && !(s.buttons[i].fsStyle & BTNS_SEP)) return static_cast<int>(i);
  return -1;
}

LRESULT Notify(HWND hwnd, NMHDR* hdr, UINT code, UINT_PTR id) {
  HWND parent = GetParent(hwnd);
  if (!parent) return 0;
  *hdr = NMHDR {hwnd, id, code};
  return SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID(hwnd)), reinterpret_cast<LPARAM>(hdr));
}

void Click(HWND hwnd, ToolState& s, int index) {
  TBBUTTON& b = s.buttons[static_cast<size_t>(index)];
  if (b.fsStyle & BTNS_CHECK) {
    if ((b.fsStyle & BTNS_GROUP) == BTNS_GROUP && !(b.fsState & TBSTATE_CHECKED)) {
      // A check group: the buttons of the group around this one (to separators) go up.
      for (int i = index - 1; i >= 0 && (s.buttons[static_cast<size_t>(i)].fsStyle & BTNS_CHECKGROUP) == BTNS_CHECKGROUP; --i)
        s.buttons[static_cast<size_t>(i)].fsState &= static_cast<BYTE>(~TBSTATE_CHECKED);
      for (size_t i = static_cast<size_t>(index) + 1; i < s.buttons.size() && (s.buttons[i].fsStyle & BTNS_CHECKGROUP) == BTNS_CHECKGROUP; ++i)
        s.buttons[i].fsState &= static_cast<BYTE>(~TBSTATE_CHECKED);
      b.fsState |= TBSTATE_CHECKED;
    } else if ((b.fsStyle & BTNS_GROUP) != BTNS_GROUP) {
      b.fsState ^= TBSTATE_CHECKED;
    }
  }
  int command = b.idCommand;
  InvalidateRect(hwnd, nullptr, TRUE);
  if (HWND parent = GetParent(hwnd))
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), 0), reinterpret_cast<LPARAM>(hwnd));
}

LRESULT Mouse(HWND hwnd, ToolState& s, UINT message, LPARAM lParam) {
  QPoint at(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  int hit = HitButton(s, at);
  bool usable = hit >= 0 && !(s.buttons[static_cast<size_t>(hit)].fsStyle & BTNS_SEP) &&
                (s.buttons[static_cast<size_t>(hit)].fsState & TBSTATE_ENABLED);
  switch (message) {
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK: {
    if (!usable) return 0;
    const TBBUTTON& b = s.buttons[static_cast<size_t>(hit)];
    QRect r = s.rects[static_cast<size_t>(hit)];
    bool arrow = HasArrow(s, b) && ((b.fsStyle & BTNS_WHOLEDROPDOWN) || at.x() >= r.right() - kArrowWidth);
    if ((b.fsStyle & BTNS_DROPDOWN) && (arrow || !(s.exStyle & TBSTYLE_EX_DRAWDDARROWS))) {
      NMTOOLBARW nm {};
      nm.iItem = b.idCommand;
      nm.tbButton = b;
      nm.rcButton = RECT {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
      s.pressed = hit;
      s.onArrow = true;
      InvalidateRect(hwnd, nullptr, FALSE);
      Notify(hwnd, &nm.hdr, TBN_DROPDOWN, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)));
      if (States().count(hwnd)) {
        States()[hwnd].pressed = -1;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    }
    s.pressed = hit;
    s.onArrow = false;
    SetCapture(hwnd);
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
  }
  case WM_MOUSEMOVE: {
    int hot = usable ? hit : -1;
    if (hot != s.hotIndex) {
      s.hotIndex = hot;
      InvalidateRect(hwnd, nullptr, FALSE);
    }
    return 0;
  }
  case WM_LBUTTONUP: {
    int pressed = s.pressed;
    s.pressed = -1;
    if (GetCapture() == hwnd) ReleaseCapture();
    InvalidateRect(hwnd, nullptr, FALSE);
    if (pressed >= 0 && hit == pressed && usable) Click(hwnd, s, pressed);
    return 0;
  }
  default: return 0;
  }
}

class TipFilter : public QObject {
public:
  explicit TipFilter(HWND hwnd) : m_hwnd(hwnd) {}

protected:
  bool eventFilter(QObject* object, QEvent* e) override {
    if (e->type() != QEvent::ToolTip) return false;
    auto* help = static_cast<QHelpEvent*>(e);
    if (!(StyleOf(m_hwnd) & TBSTYLE_TOOLTIPS) || !States().count(m_hwnd)) return true;
    ToolState& s = States()[m_hwnd];
    int hit = HitButton(s, help->pos());
    if (hit < 0 || (s.buttons[static_cast<size_t>(hit)].fsStyle & BTNS_SEP)) {
      QToolTip::hideText();
      return true;
    }
    NMTTDISPINFOW info {};
    info.uFlags = 0;
    Notify(m_hwnd, &info.hdr, TTN_NEEDTEXTW, static_cast<UINT_PTR>(s.buttons[static_cast<size_t>(hit)].idCommand));
    QString text = info.lpszText && !IS_INTRESOURCE(info.lpszText) ? ToQt(info.lpszText) : QString::fromUtf16(info.szText);
    if (text.isEmpty()) QToolTip::hideText();
    else QToolTip::showText(help->globalPos(), text, qobject_cast<QWidget*>(object));
    return true;
  }

private:
  HWND m_hwnd {};
};

QWidget* MakeToolBar(HWND hwnd, QWidget* host) {
  States()[hwnd] = ToolState {};
  auto* area = new ClientArea(hwnd, host);
  area->installEventFilter(new TipFilter(hwnd));
  return area;
}

LRESULT ToolProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ToolState& s = States()[hwnd];
  auto count = static_cast<int>(s.buttons.size());
  auto index = static_cast<int>(wParam);
  int byCommand = IndexOf(s, static_cast<int>(wParam));
  auto setState = [&](BYTE flag, bool on) {
    if (byCommand < 0) return FALSE;
    BYTE& state = s.buttons[static_cast<size_t>(byCommand)].fsState;
    BYTE now = on ? static_cast<BYTE>(state | flag) : static_cast<BYTE>(state & ~flag);
    if (now != state) {
      state = now;
      InvalidateRect(hwnd, nullptr, TRUE);
    }
    return TRUE;
  };
  auto hasState = [&](BYTE flag) -> LRESULT {
    return byCommand < 0 ? -1 : (s.buttons[static_cast<size_t>(byCommand)].fsState & flag) != 0;
  };
  switch (message) {
  case WM_PAINT: Paint(hwnd); return 0;
  case WM_ERASEBKGND: return TRUE;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
  case WM_LBUTTONUP:
  case WM_MOUSEMOVE: return Mouse(hwnd, s, message, lParam);
  case WM_CAPTURECHANGED:
    if (s.pressed >= 0 && !s.onArrow) {
      s.pressed = -1;
      InvalidateRect(hwnd, nullptr, FALSE);
    }
    return 0;
  case TB_BUTTONSTRUCTSIZE: return 0;
  case TB_ADDBUTTONSW: {
    auto* buttons = reinterpret_cast<LPCTBBUTTON>(lParam);
    if (!buttons || wParam > 4096) return FALSE;
    for (WPARAM i = 0; i < wParam; ++i) Insert(hwnd, s, -1, buttons[i]);
    return TRUE;
  }
  case TB_INSERTBUTTONW: {
    auto* button = reinterpret_cast<LPCTBBUTTON>(lParam);
    return button && Insert(hwnd, s, index, *button);
  }
  case TB_DELETEBUTTON:
    if (index < 0 || index >= count) return FALSE;
    s.buttons.erase(s.buttons.begin() + index);
    s.texts.erase(s.texts.begin() + index);
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
  case TB_GETBUTTON: {
    auto* out = reinterpret_cast<LPTBBUTTON>(lParam);
    if (!out || index < 0 || index >= count) return FALSE;
    *out = s.buttons[static_cast<size_t>(index)];
    return TRUE;
  }
  case TB_BUTTONCOUNT: return count;
  case TB_COMMANDTOINDEX: return byCommand;
  case TB_GETITEMRECT: {
    auto* r = reinterpret_cast<RECT*>(lParam);
    if (!r || index < 0 || index >= count) return FALSE;
    Layout(hwnd, s);
    QRect q = s.rects[static_cast<size_t>(index)];
    if (q.isEmpty()) return FALSE;
    *r = RECT {q.left(), q.top(), q.left() + q.width(), q.top() + q.height()};
    return TRUE;
  }
  case TB_GETRECT: {
    auto* r = reinterpret_cast<RECT*>(lParam);
    if (!r || byCommand < 0) return FALSE;
    return SendMessageW(hwnd, TB_GETITEMRECT, static_cast<WPARAM>(byCommand), lParam);
  }
  case TB_SETBUTTONSIZE:
    s.buttonSize = QSize(std::max<int>(LOWORD(lParam), 1), std::max<int>(HIWORD(lParam), 1));
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
  case TB_GETBUTTONSIZE: return MAKELRESULT(s.buttonSize.width(), s.buttonSize.height());
  case TB_SETBITMAPSIZE:
    s.bitmapSize = QSize(std::max<int>(LOWORD(lParam), 1), std::max<int>(HIWORD(lParam), 1));
    return TRUE;
  case TB_AUTOSIZE: {
    QSize size = Layout(hwnd, s);
    if (!(StyleOf(hwnd) & CCS_NORESIZE)) SetWindowPos(hwnd, nullptr, 0, 0, std::max(size.width(), 1), size.height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
  }
  case TB_SETIMAGELIST:
  case TB_SETHOTIMAGELIST:
  case TB_SETDISABLEDIMAGELIST: {
    HIMAGELIST& slot = message == TB_SETIMAGELIST ? s.images : message == TB_SETHOTIMAGELIST ? s.hot : s.disabled;
    HIMAGELIST old = slot;
    slot = reinterpret_cast<HIMAGELIST>(lParam);
    if (message == TB_SETIMAGELIST && slot) s.bitmapSize = ImageListSize(slot);
    InvalidateRect(hwnd, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
  }
  case TB_GETIMAGELIST: return reinterpret_cast<LRESULT>(s.images);
  case TB_ADDSTRINGW: {
    // One text, or several each ending in a null with a second null after the last.
    auto text = reinterpret_cast<LPCWSTR>(lParam);
    if (!text || IS_INTRESOURCE(text)) return -1;
    int first = static_cast<int>(s.strings.size());
    for (LPCWSTR p = text; *p;) {
      QString one = ToQt(p);
      s.strings.push_back(one);
      p += one.size() + 1;
    }
    return first;
  }
  case TB_SETMAXTEXTROWS:
    s.maxTextRows = static_cast<int>(wParam);
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
  case TB_GETTEXTROWS: return s.maxTextRows;
  case TB_SETEXTENDEDSTYLE: {
    DWORD old = s.exStyle;
    s.exStyle = static_cast<DWORD>(lParam);
    InvalidateRect(hwnd, nullptr, TRUE);
    return old;
  }
  case TB_GETEXTENDEDSTYLE: return s.exStyle;
  case TB_SETSTYLE: SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(lParam)); return 0;
  case TB_GETSTYLE: return StyleOf(hwnd);
  case TB_ENABLEBUTTON: return setState(TBSTATE_ENABLED, LOWORD(lParam) != 0);
  case TB_CHECKBUTTON: return setState(TBSTATE_CHECKED, LOWORD(lParam) != 0);
  case TB_PRESSBUTTON: return setState(TBSTATE_PRESSED, LOWORD(lParam) != 0);
  case TB_HIDEBUTTON: return setState(TBSTATE_HIDDEN, LOWORD(lParam) != 0);
  case TB_ISBUTTONENABLED: return hasState(TBSTATE_ENABLED);
  case TB_ISBUTTONCHECKED: return hasState(TBSTATE_CHECKED);
  case TB_ISBUTTONPRESSED: return hasState(TBSTATE_PRESSED);
  case TB_ISBUTTONHIDDEN: return hasState(TBSTATE_HIDDEN);
  case TB_GETSTATE: return byCommand < 0 ? -1 : s.buttons[static_cast<size_t>(byCommand)].fsState;
  case TB_SETSTATE:
    if (byCommand < 0) return FALSE;
    s.buttons[static_cast<size_t>(byCommand)].fsState = static_cast<BYTE>(LOWORD(lParam));
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
  case WM_NCDESTROY:
    States().erase(hwnd);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

QSize ToolBarLayout(HWND toolbar) {
  auto it = States().find(toolbar);
  return it == States().end() ? QSize() : Layout(toolbar, it->second);
}

void SetToolBarText(HWND toolbar, int index, const QString& text) {
  auto it = States().find(toolbar);
  if (it == States().end() || index < 0 || index >= static_cast<int>(it->second.texts.size())) return;
  it->second.texts[static_cast<size_t>(index)] = text;
  InvalidateRect(toolbar, nullptr, TRUE);
}

QString ToolBarText(HWND toolbar, int index) {
  auto it = States().find(toolbar);
  if (it == States().end() || index < 0 || index >= static_cast<int>(it->second.texts.size())) return QString();
  return it->second.texts[static_cast<size_t>(index)];
}

void RegisterToolBarClass() {
  RegisterControl({TOOLBARCLASSNAMEW, ToolProc, MakeToolBar, COLOR_BTNFACE, IDC_ARROW, CS_DBLCLKS});
}

}  // namespace qvui
