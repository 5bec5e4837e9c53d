// The tool bar control (ToolbarWindow32), painted with the drawing layer: flat buttons with
// pictures (the disabled list, or a greyed picture, for disabled buttons), texts below the
// pictures or beside them (TBSTYLE_LIST), separators, check and drop-down buttons.
//
// Rows break only after buttons with TBSTATE_WRAP; the control never wraps by itself. Every row
// is as tall as the buttons. A separator that wraps takes no room in its row: below the row it
// opens a gap as tall as the separator is wide, with a divider drawn across the bar.

#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/ImageListData.h"
#include "platform/ui/internal/WindowHost.h"

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
  std::vector<QRect> rects;      // kept by PlaceButtons
  QSize buttonSize {24, 22};     // as set (TB_SETBUTTONSIZE): the least size of a button
  QSize bitmapSize {16, 15};
  HIMAGELIST images {}, hot {}, disabled {};
  HFONT font {};                 // WM_SETFONT; null: the default GUI font
  DWORD exStyle {};
  int maxTextRows {1};
  int pressed {-1};
  int hotIndex {-1};
  bool onArrow {};
  bool redraw {true};            // WM_SETREDRAW
};

std::map<HWND, ToolState>& States() {
  static std::map<HWND, ToolState> states;
  return states;
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }

// Asks for the control to be painted again, unless redrawing is off.
void Refresh(HWND hwnd) {
  auto it = States().find(hwnd);
  if (it == States().end() || it->second.redraw) InvalidateRect(hwnd, nullptr, TRUE);
}

HGDIOBJ FontOf(const ToolState& s) { return s.font ? static_cast<HGDIOBJ>(s.font) : GetStockObject(DEFAULT_GUI_FONT); }

bool ShowsText(HWND hwnd, const ToolState& s, const TBBUTTON& b) {
  if (s.maxTextRows <= 0) return false;
  if ((StyleOf(hwnd) & TBSTYLE_LIST) && (s.exStyle & TBSTYLE_EX_MIXEDBUTTONS)) return b.fsStyle & BTNS_SHOWTEXT;
  return true;
}

int TextWidth(HWND hwnd, const ToolState& s, const QString& text) {
  if (text.isEmpty()) return 0;
  HDC dc = GetDC(hwnd);
  CDC& cdc = *CDC::FromHandle(dc);
  HGDIOBJ old = SelectObject(dc, FontOf(s));
  std::u16string t = text.toStdU16String();
  int width = cdc.GetTextExtent(t.c_str(), static_cast<int>(t.size())).cx;
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return width;
}

int TextHeight(HWND hwnd, const ToolState& s) {
  HDC dc = GetDC(hwnd);
  CDC& cdc = *CDC::FromHandle(dc);
  HGDIOBJ old = SelectObject(dc, FontOf(s));
  TEXTMETRICW tm {};
  cdc.GetTextMetrics(&tm);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return tm.tmHeight;
}

bool HasArrow(const ToolState& s, const TBBUTTON& b) {
  return (b.fsStyle & BTNS_DROPDOWN) && ((s.exStyle & TBSTYLE_EX_DRAWDDARROWS) || (b.fsStyle & BTNS_WHOLEDROPDOWN));
}

bool IsSeparator(const TBBUTTON& b) { return b.fsStyle & BTNS_SEP; }
int SeparatorWidth(const TBBUTTON& b) { return b.iBitmap > 0 ? b.iBitmap : kSeparator; }
bool HasLabel(HWND hwnd, const ToolState& s, size_t i) {
  return !IsSeparator(s.buttons[i]) && ShowsText(hwnd, s, s.buttons[i]) && !s.texts[i].isEmpty();
}

// Where the buttons go; rects[i] is empty for a hidden button.
struct Placement {
  std::vector<QRect> rects;
  QSize size;    // what the buttons take
  QSize button;  // the size of a button without a size of its own (TB_GETBUTTONSIZE)
};

// Places the buttons in rows that break after the buttons whose entry in `wraps` is set (by
// default, those with TBSTATE_WRAP).
Placement Layout(HWND hwnd, const ToolState& s, const std::vector<bool>* wraps = nullptr) {
  const bool list = StyleOf(hwnd) & TBSTYLE_LIST;
  const size_t count = s.buttons.size();
  // Labels below the pictures make every button taller, and buttons that do not size themselves
  // as wide as the widest label.
  QSize button = s.buttonSize;
  bool labelsBelow = false;
  for (size_t i = 0; i < count; ++i) {
    if ((s.buttons[i].fsState & TBSTATE_HIDDEN) || list || !HasLabel(hwnd, s, i)) continue;
    labelsBelow = true;
    if (!(s.buttons[i].fsStyle & BTNS_AUTOSIZE)) button.setWidth(std::max(button.width(), TextWidth(hwnd, s, s.texts[i]) + 8));
  }
  if (labelsBelow) button.setHeight(std::max(button.height(), s.bitmapSize.height() + TextHeight(hwnd, s) + 8));

  Placement out;
  out.button = button;
  out.rects.assign(count, QRect());
  int x = 0, y = 0, width = 0;
  bool rowOpen = false;
  for (size_t i = 0; i < count; ++i) {
    const TBBUTTON& b = s.buttons[i];
    if (b.fsState & TBSTATE_HIDDEN) continue;
    const bool wrap = wraps ? (*wraps)[i] : (b.fsState & TBSTATE_WRAP) != 0;
    int w = button.width();
    if (IsSeparator(b)) {
      w = SeparatorWidth(b);
    } else {
      const bool label = HasLabel(hwnd, s, i);
      if (label && list) w = s.bitmapSize.width() + TextWidth(hwnd, s, s.texts[i]) + 14;
      else if (b.fsStyle & BTNS_AUTOSIZE) w = std::max(s.bitmapSize.width() + 7, label ? TextWidth(hwnd, s, s.texts[i]) + 8 : 0);
      if (HasArrow(s, b) && !(b.fsStyle & BTNS_WHOLEDROPDOWN)) w += kArrowWidth;
    }
    rowOpen = true;
    if (IsSeparator(b) && wrap) {
      out.rects[i] = QRect(x, y + button.height(), w, w);
    } else {
      out.rects[i] = QRect(x, y, w, button.height());
      x += w;
      width = std::max(width, x);
    }
    if (wrap) {
      y += button.height() + (IsSeparator(b) ? w : 0);
      x = 0;
      rowOpen = false;
    }
  }
  out.size = QSize(width, rowOpen ? y + button.height() : y);
  return out;
}

// Lays the buttons out and keeps their rectangles; answers the size they take.
QSize PlaceButtons(HWND hwnd, ToolState& s) {
  Placement p = Layout(hwnd, s);
  s.rects = std::move(p.rects);
  return p.size;
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
  ToolState& s = States()[hwnd];
  if (!s.redraw) {
    EndPaint(hwnd, &ps);
    return;
  }
  CDC& dc = *CDC::FromHandle(hdc);
  PlaceButtons(hwnd, s);
  CRect client;
  GetClientRect(hwnd, &client);
  dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
  HGDIOBJ oldFont = SelectObject(hdc, FontOf(s));
  dc.SetBkMode(TRANSPARENT);
  bool list = StyleOf(hwnd) & TBSTYLE_LIST;
  for (size_t i = 0; i < s.buttons.size(); ++i) {
    const TBBUTTON& b = s.buttons[i];
    if (b.fsState & TBSTATE_HIDDEN) continue;
    QRect q = s.rects[i];
    CRect r(q.left(), q.top(), q.left() + q.width(), q.top() + q.height());
    if (IsSeparator(b)) {
      if (b.fsState & TBSTATE_WRAP) {
        int mid = r.top + r.Height() / 2 - 1;
        dc.Draw3dRect(client.left + 2, mid, client.Width() - 4, 2, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
      } else {
        int mid = r.left + r.Width() / 2 - 1;
        dc.Draw3dRect(mid, r.top + 2, 2, r.Height() - 4, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
      }
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
    bool text = HasLabel(hwnd, s, i);
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
  TBBUTTON kept = b;
  const QString label = (b.fsStyle & BTNS_SEP) ? QString() : LabelOf(s, b.iString);
  // A label given by pointer is copied into the pool: the caller's text need not outlive the call,
  // and the button as TB_GETBUTTON answers it can be inserted again.
  if (!(b.fsStyle & BTNS_SEP) && b.iString >= static_cast<INT_PTR>(s.strings.size()) &&
      !IS_INTRESOURCE(reinterpret_cast<LPCWSTR>(b.iString))) {
    kept.iString = static_cast<INT_PTR>(s.strings.size());
    s.strings.push_back(label);
  }
  s.buttons.insert(s.buttons.begin() + at, kept);
  s.texts.insert(s.texts.begin() + at, label);
  Refresh(hwnd);
  return true;
}

// The first button, separator or not, with the command.
int IndexOf(const ToolState& s, int command) {
  for (size_t i = 0; i < s.buttons.size(); ++i)
    if (s.buttons[i].idCommand == command) return static_cast<int>(i);
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
  Refresh(hwnd);
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
      Refresh(hwnd);
      Notify(hwnd, &nm.hdr, TBN_DROPDOWN, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)));
      if (States().count(hwnd)) {
        States()[hwnd].pressed = -1;
        Refresh(hwnd);
      }
      return 0;
    }
    s.pressed = hit;
    s.onArrow = false;
    SetCapture(hwnd);
    Refresh(hwnd);
    return 0;
  }
  case WM_MOUSEMOVE: {
    int hot = usable ? hit : -1;
    if (hot != s.hotIndex) {
      s.hotIndex = hot;
      Refresh(hwnd);
      // The highlight goes when the pointer leaves the bar, however it leaves.
      TRACKMOUSEEVENT track {sizeof track, TME_LEAVE | (hot < 0 ? TME_CANCEL : 0), hwnd, 0};
      TrackMouseEvent(&track);
    }
    return 0;
  }
  case WM_LBUTTONUP: {
    int pressed = s.pressed;
    s.pressed = -1;
    if (GetCapture() == hwnd) ReleaseCapture();
    Refresh(hwnd);
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
    if (hit < 0 || IsSeparator(s.buttons[static_cast<size_t>(hit)])) {
      QToolTip::hideText();
      return true;
    }
    // Asked of the tool bar itself first, as of a tip's owner; what it leaves goes to its parent.
    NMTTDISPINFOW info {};
    info.hdr = NMHDR {m_hwnd, static_cast<UINT_PTR>(s.buttons[static_cast<size_t>(hit)].idCommand), TTN_NEEDTEXTW};
    SendMessageW(m_hwnd, WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID(m_hwnd)), reinterpret_cast<LPARAM>(&info.hdr));
    QString text = info.lpszText && !IS_INTRESOURCE(info.lpszText) ? ToQt(info.lpszText) : QString::fromUtf16(info.szText);
    // Unanswered: a label the bar does not show on the button is its tip.
    const TBBUTTON& b = s.buttons[static_cast<size_t>(hit)];
    if (text.isEmpty() && !ShowsText(m_hwnd, s, b)) {
      std::u16string label = s.texts[static_cast<size_t>(hit)].toStdU16String();
      text = PlainText(label.c_str(), b.fsStyle & BTNS_NOPREFIX);
    }
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
      Refresh(hwnd);
    }
    return TRUE;
  };
  auto hasState = [&](BYTE flag) -> LRESULT {
    return byCommand < 0 ? -1 : (s.buttons[static_cast<size_t>(byCommand)].fsState & flag) != 0;
  };
  switch (message) {
  case WM_PAINT: Paint(hwnd); return 0;
  case WM_ERASEBKGND: return TRUE;
  case WM_SETREDRAW:
    s.redraw = wParam != 0;
    Refresh(hwnd);
    return 0;
  case WM_SETFONT:
    s.font = reinterpret_cast<HFONT>(wParam);
    if (LOWORD(lParam)) Refresh(hwnd);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  case WM_GETFONT: return reinterpret_cast<LRESULT>(FontOf(s));
  case WM_NOTIFY: {
    // The tips' questions that the tool bar's own window left unanswered.
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    HWND parent = GetParent(hwnd);
    if (!hdr || hdr->hwndFrom != hwnd || hdr->code != TTN_NEEDTEXTW || !parent) return 0;
    return SendMessageW(parent, WM_NOTIFY, wParam, lParam);
  }
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
  case WM_LBUTTONUP:
  case WM_MOUSEMOVE: return Mouse(hwnd, s, message, lParam);
  case WM_MOUSELEAVE:
    if (s.hotIndex >= 0) {
      s.hotIndex = -1;
      Refresh(hwnd);
    }
    return 0;
  case TB_GETHOTITEM: return s.hotIndex;
  case WM_CAPTURECHANGED:
    if (s.pressed >= 0 && !s.onArrow) {
      s.pressed = -1;
      Refresh(hwnd);
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
    Refresh(hwnd);
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
    PlaceButtons(hwnd, s);
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
    Refresh(hwnd);
    return TRUE;
  case TB_GETBUTTONSIZE: {
    QSize button = Layout(hwnd, s).button;
    return MAKELRESULT(button.width(), button.height());
  }
  case TB_SETBITMAPSIZE:
    s.bitmapSize = QSize(std::max<int>(LOWORD(lParam), 1), std::max<int>(HIWORD(lParam), 1));
    return TRUE;
  case TB_AUTOSIZE: {
    QSize size = PlaceButtons(hwnd, s);
    Refresh(hwnd);
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
    Refresh(hwnd);
    return reinterpret_cast<LRESULT>(old);
  }
  case TB_GETIMAGELIST: return reinterpret_cast<LRESULT>(s.images);
  case TB_ADDSTRINGW: {
    // Texts each ending in a null, up to an empty one; a list that starts with an empty text adds
    // that one.
    auto text = reinterpret_cast<LPCWSTR>(lParam);
    if (!text || IS_INTRESOURCE(text)) return -1;
    int first = static_cast<int>(s.strings.size());
    for (LPCWSTR p = text;;) {
      QString one = ToQt(p);
      s.strings.push_back(one);
      p += one.size() + 1;
      if (one.isEmpty() || !*p) break;
    }
    return first;
  }
  case TB_SETMAXTEXTROWS:
    s.maxTextRows = static_cast<int>(wParam);
    Refresh(hwnd);
    return TRUE;
  case TB_GETTEXTROWS: return s.maxTextRows;
  case TB_SETEXTENDEDSTYLE: {
    DWORD old = s.exStyle;
    s.exStyle = static_cast<DWORD>(lParam);
    Refresh(hwnd);
    return old;
  }
  case TB_GETEXTENDEDSTYLE: return s.exStyle;
  case TB_SETSTYLE:
    SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(lParam));
    Refresh(hwnd);
    return 0;
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
    Refresh(hwnd);
    return TRUE;
  case WM_NCDESTROY:
    States().erase(hwnd);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

QSize ToolBarLayout(HWND toolbar, const std::vector<bool>& wraps) {
  auto it = States().find(toolbar);
  if (it == States().end() || wraps.size() != it->second.buttons.size()) return QSize();
  return Layout(toolbar, it->second, &wraps).size;
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
