// Scroll bars: the SCROLLBAR control and the bars of windows with WS_HSCROLL/WS_VSCROLL, which
// sit in the non-client room the frame leaves for them. Each action of Qt's slider becomes
// WM_HSCROLL/WM_VSCROLL with its SB_* code, and only the program moves the thumb (SetScrollInfo,
// SetScrollPos), except that a dragged thumb follows the mouse until it is let go.

#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/WindowHost.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QMouseEvent>
#include <QScrollBar>

#include <map>

namespace qvui {

namespace {

struct BarState {
  SCROLLINFO info {sizeof(SCROLLINFO), 0, 0, 100, 0, 0, 0};
  QPointer<QScrollBar> widget;
  bool disabled {};
};

struct WindowBars {
  BarState horz;
  BarState vert;
};

std::map<HWND, WindowBars>& Bars() {
  static std::map<HWND, WindowBars> bars;
  return bars;
}

bool IsControl(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  return rec && rec->windowClass->name.CompareNoCase(WC_SCROLLBARW) == 0;
}

int MaxPos(const SCROLLINFO& i) { return std::max(i.nMin, i.nMax - std::max(static_cast<int>(i.nPage), 1) + 1); }

// Who hears of the bar's actions, with which message and which lParam.
struct Listener {
  HWND to {};
  UINT message {};
  LPARAM control {};
};

Listener ListenerOf(HWND hwnd, int bar) {
  if (bar == SB_CTL) {
    bool vertical = GetWindowLongW(hwnd, GWL_STYLE) & SBS_VERT;
    return {GetParent(hwnd), static_cast<UINT>(vertical ? WM_VSCROLL : WM_HSCROLL), reinterpret_cast<LPARAM>(hwnd)};
  }
  return {hwnd, static_cast<UINT>(bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL), 0};
}

BarState* StateOf(HWND hwnd, int bar, bool make) {
  auto it = Bars().find(hwnd);
  if (it == Bars().end()) {
    if (!make || !IsWindow(hwnd)) return nullptr;
    it = Bars().emplace(hwnd, WindowBars {}).first;
  }
  return bar == SB_VERT || (bar == SB_CTL && (GetWindowLongW(hwnd, GWL_STYLE) & SBS_VERT)) ? &it->second.vert
                                                                                         : &it->second.horz;
}

void Apply(BarState& s) {
  QScrollBar* w = s.widget;
  if (!w) return;
  const SCROLLINFO& i = s.info;
  QSignalBlocker block(w);
  w->setRange(i.nMin, MaxPos(i));
  w->setPageStep(std::max(static_cast<int>(i.nPage), 1));
  w->setSingleStep(1);
  w->setSliderPosition(i.nPos);
  w->setValue(i.nPos);
  w->setEnabled(!s.disabled && i.nMax > i.nMin && static_cast<int>(i.nPage) <= i.nMax - i.nMin);
}

void Send(HWND hwnd, int bar, int code, int pos) {
  Listener l = ListenerOf(hwnd, bar);
  if (l.to) SendMessageW(l.to, l.message, MAKEWPARAM(code, static_cast<WORD>(pos)), l.control);
}

// Turns the slider's actions into messages and puts the slider back where the program has it.
// While the thumb is dragged it follows the mouse; when it is let go it stays only where the
// program has moved it by then.
class BarWatcher : public QObject {
public:
  BarWatcher(HWND hwnd, int bar, QScrollBar* widget) : QObject(widget), m_hwnd(hwnd), m_bar(bar) {
    widget->installEventFilter(this);
    connect(widget, &QAbstractSlider::actionTriggered, this, [this, widget](int action) {
      BarState* s = StateOf(m_hwnd, m_bar, false);
      if (!s) return;
      if (action == QAbstractSlider::SliderMove && widget->isSliderDown()) {
        s->info.nTrackPos = widget->sliderPosition();
        m_dragged = true;
        Send(m_hwnd, m_bar, SB_THUMBTRACK, s->info.nTrackPos);
        return;
      }
      int code = -1;
      switch (action) {
      case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
      case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
      case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
      case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
      case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
      case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
      default: break;
      }
      widget->setSliderPosition(s->info.nPos);
      if (code >= 0) Send(m_hwnd, m_bar, code, s->info.nPos);
    });
  }

protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
      if (BarState* s = StateOf(m_hwnd, m_bar, false); s && m_dragged) Send(m_hwnd, m_bar, SB_THUMBPOSITION, s->info.nTrackPos);
      m_dragged = false;
      if (IsWindow(m_hwnd)) Send(m_hwnd, m_bar, SB_ENDSCROLL, 0);
      // The thumb goes where the program has it (Apply blocks the slider's signals).
      if (BarState* s = StateOf(m_hwnd, m_bar, false)) Apply(*s);
    }
    return false;
  }

private:
  HWND m_hwnd {};
  int m_bar {};
  bool m_dragged {};
};

QWidget* MakeScrollBar(HWND hwnd, QWidget* host) {
  bool vertical = Find(hwnd)->style & SBS_VERT;
  auto* bar = new QScrollBar(vertical ? Qt::Vertical : Qt::Horizontal, host);
  bar->setFocusPolicy(Qt::NoFocus);
  new BarWatcher(hwnd, SB_CTL, bar);
  BarState* s = StateOf(hwnd, SB_CTL, true);
  s->widget = bar;
  Apply(*s);
  AdoptControlWidget(hwnd, bar);
  return bar;
}

LRESULT ScrollBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case SBM_SETPOS: return SetScrollPos(hwnd, SB_CTL, static_cast<int>(wParam), static_cast<BOOL>(lParam));
  case SBM_GETPOS: return GetScrollPos(hwnd, SB_CTL);
  case SBM_SETRANGE:
  case SBM_SETRANGEREDRAW:
    return SetScrollRange(hwnd, SB_CTL, static_cast<int>(wParam), static_cast<int>(lParam), message == SBM_SETRANGEREDRAW);
  case SBM_GETRANGE:
    return GetScrollRange(hwnd, SB_CTL, reinterpret_cast<LPINT>(wParam), reinterpret_cast<LPINT>(lParam));
  case SBM_SETSCROLLINFO:
    return SetScrollInfo(hwnd, SB_CTL, reinterpret_cast<LPCSCROLLINFO>(lParam), static_cast<BOOL>(wParam));
  case SBM_GETSCROLLINFO: return GetScrollInfo(hwnd, SB_CTL, reinterpret_cast<LPSCROLLINFO>(lParam));
  case SBM_ENABLE_ARROWS: return EnableScrollBar(hwnd, SB_CTL, static_cast<UINT>(wParam));
  default: return DefControlProc(hwnd, message, wParam, lParam);
  }
}

// The bar a control's widget scrolls its contents with (a list or tree view, a list box, a
// multi-line edit): the widget's own, or that of the one scrolling view inside it (the rows of a
// list view under their header). A combo box's list scrolls no bar of the box.
QScrollBar* ScrollingBar(HWND hwnd, int bar) {
  WindowRecord* rec = Find(hwnd);
  QWidget* widget = rec && rec->windowClass->makeControl ? rec->clientWidget.data() : nullptr;
  if (!widget || bar == SB_CTL || qobject_cast<QComboBox*>(widget)) return nullptr;
  auto* area = qobject_cast<QAbstractScrollArea*>(widget);
  if (!area) area = widget->findChild<QAbstractScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
  if (!area) return nullptr;
  return bar == SB_VERT ? area->verticalScrollBar() : area->horizontalScrollBar();
}

// A window's own bar widget, made on first use in its host.
QScrollBar* WindowBar(HWND hwnd, int bar) {
  BarState* s = StateOf(hwnd, bar, true);
  WindowRecord* rec = Find(hwnd);
  if (!s || !rec || !rec->host) return nullptr;
  if (!s->widget) {
    auto* w = new QScrollBar(bar == SB_VERT ? Qt::Vertical : Qt::Horizontal, rec->host);
    w->setFocusPolicy(Qt::NoFocus);
    new BarWatcher(hwnd, bar, w);
    s->widget = w;
    Apply(*s);
  }
  return s->widget;
}

// Shows or hides a window's bar through its style, so that the client area changes with it.
void ShowWindowBar(HWND hwnd, int bar, bool show) {
  DWORD flag = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
  DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  if (bool(style & flag) == show) return;
  SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(show ? style | flag : style & ~flag));
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

void PlaceScrollBars(WindowRecord& rec) {
  auto it = Bars().find(rec.handle);
  if (it == Bars().end() || IsControl(rec.handle)) return;
  QPoint client = rec.client.topLeft() - QPoint(rec.frame.left(), rec.frame.top());
  int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  if (QScrollBar* v = it->second.vert.widget) {
    v->setVisible(rec.style & WS_VSCROLL);
    v->setGeometry(client.x() + rec.client.width(), client.y(), cx, rec.client.height());
  }
  if (QScrollBar* h = it->second.horz.widget) {
    h->setVisible(rec.style & WS_HSCROLL);
    h->setGeometry(client.x(), client.y() + rec.client.height(), rec.client.width(), cy);
  }
}

void ForgetScrollBars(HWND hwnd) { Bars().erase(hwnd); }

void RegisterScrollBarClass() {
  RegisterControl({WC_SCROLLBARW, ScrollBarProc, MakeScrollBar, -1});
}

}  // namespace qvui

using namespace qvui;

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL) {
  if (!info || !IsWindow(hwnd) || (bar != SB_CTL) == IsControl(hwnd)) return 0;
  BarState* s = StateOf(hwnd, bar, true);
  SCROLLINFO& i = s->info;
  if (info->fMask & SIF_RANGE) {
    i.nMin = info->nMin;
    i.nMax = std::max(info->nMin, info->nMax);
  }
  if (info->fMask & SIF_PAGE) i.nPage = std::min<UINT>(info->nPage, static_cast<UINT>(i.nMax - i.nMin + 1));
  if (info->fMask & SIF_POS) i.nPos = info->nPos;
  i.nPos = std::clamp(i.nPos, i.nMin, MaxPos(i));
  if (bar != SB_CTL) {
    // A bar with nothing to scroll goes away, unless it is to stay shown disabled.
    bool needed = i.nMax > i.nMin && static_cast<int>(i.nPage) <= i.nMax - i.nMin;
    if (info->fMask & (SIF_RANGE | SIF_PAGE)) {
      if (needed || (info->fMask & SIF_DISABLENOSCROLL)) {
        WindowBar(hwnd, bar);
        ShowWindowBar(hwnd, bar, true);
      } else {
        ShowWindowBar(hwnd, bar, false);
      }
    }
    if (WindowRecord* rec = Find(hwnd)) PlaceScrollBars(*rec);
  }
  Apply(*s);
  return i.nPos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
  if (!info || !IsWindow(hwnd)) return FALSE;
  BarState* s = StateOf(hwnd, bar, false);
  SCROLLINFO i = s ? s->info : SCROLLINFO {sizeof(SCROLLINFO), 0, 0, 0, 0, 0, 0};
  if (QScrollBar* q = ScrollingBar(hwnd, bar)) {
    // Qt's largest position is the platform's maximum less the page, plus one.
    int page = std::max(q->pageStep(), 1);
    i = SCROLLINFO {sizeof(SCROLLINFO), 0, q->minimum(), q->maximum() + page - 1, static_cast<UINT>(page), q->value(),
                    q->sliderPosition()};
  } else if (!s && bar != SB_CTL) {
    DWORD flag = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    if (!(GetWindowLongW(hwnd, GWL_STYLE) & flag)) return FALSE;
    i.nMax = 100;
  }
  if (info->fMask & SIF_RANGE) {
    info->nMin = i.nMin;
    info->nMax = i.nMax;
  }
  if (info->fMask & SIF_PAGE) info->nPage = i.nPage;
  if (info->fMask & SIF_POS) info->nPos = i.nPos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = i.nTrackPos;
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  int old = GetScrollPos(hwnd, bar);
  SCROLLINFO info {sizeof info, SIF_POS, 0, 0, 0, pos, 0};
  SetScrollInfo(hwnd, bar, &info, redraw);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  SCROLLINFO info {sizeof info, SIF_POS, 0, 0, 0, 0, 0};
  return GetScrollInfo(hwnd, bar, &info) ? info.nPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
  SCROLLINFO info {sizeof info, SIF_RANGE, minPos, maxPos, 0, 0, 0};
  return SetScrollInfo(hwnd, bar, &info, redraw) >= 0;
}

BOOL GetScrollRange(HWND hwnd, int bar, LPINT minPos, LPINT maxPos) {
  SCROLLINFO info {sizeof info, SIF_RANGE, 0, 0, 0, 0, 0};
  if (!GetScrollInfo(hwnd, bar, &info)) return FALSE;
  if (minPos) *minPos = info.nMin;
  if (maxPos) *maxPos = info.nMax;
  return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  if (!IsWindow(hwnd)) return FALSE;
  if (bar == SB_CTL) return ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE), TRUE;
  if (bar == SB_HORZ || bar == SB_BOTH) {
    if (show) WindowBar(hwnd, SB_HORZ);
    ShowWindowBar(hwnd, SB_HORZ, show);
  }
  if (bar == SB_VERT || bar == SB_BOTH) {
    if (show) WindowBar(hwnd, SB_VERT);
    ShowWindowBar(hwnd, SB_VERT, show);
  }
  if (WindowRecord* rec = Find(hwnd)) PlaceScrollBars(*rec);
  return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
  if (!IsWindow(hwnd)) return FALSE;
  for (int b : {SB_HORZ, SB_VERT, SB_CTL}) {
    if (!(static_cast<int>(bar) == b || (bar == SB_BOTH && b != SB_CTL))) continue;
    if (BarState* s = StateOf(hwnd, b, true)) {
      s->disabled = arrows == ESB_DISABLE_BOTH;
      Apply(*s);
    }
  }
  return TRUE;
}
