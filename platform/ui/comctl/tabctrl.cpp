// The tab control (SysTabControl32): QTabBar's tabs over a framed display area. The pages shown in
// that area are windows of their own, placed by whoever owns the control (TCM_ADJUSTRECT).

#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/internal/ControlWidget.h"

#include <QMouseEvent>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace qvui {

namespace {

LRESULT Notify(HWND hwnd, UINT code) {
  if (QuietChange::IsQuiet(hwnd)) return 0;
  HWND parent = GetParent(hwnd);
  if (!parent) return 0;
  NMHDR hdr {hwnd, static_cast<UINT_PTR>(GetDlgCtrlID(hwnd)), code};
  return SendMessageW(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
}

// A tab bar that asks the owner before it changes the tab.
class TabBar : public QTabBar {
public:
  TabBar(HWND hwnd, QWidget* parent) : QTabBar(parent), m_hwnd(hwnd) {}

protected:
  void mousePressEvent(QMouseEvent* e) override {
    int at = tabAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton && at >= 0 && at != currentIndex() && Notify(m_hwnd, TCN_SELCHANGING)) return;
    QTabBar::mousePressEvent(e);
  }

private:
  HWND m_hwnd {};
};

class TabPane : public QWidget {
public:
  TabPane(HWND hwnd, QWidget* parent) : QWidget(parent), m_bar(new TabBar(hwnd, this)) {
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    m_bar->setFocusPolicy(Qt::StrongFocus);
    // The control's focus is the bar's: it draws the focus cue and takes the arrow keys.
    setFocusProxy(m_bar);
    QObject::connect(m_bar, &QTabBar::currentChanged, [hwnd] { Notify(hwnd, TCN_SELCHANGE); });
  }
  QTabBar* Bar() const { return m_bar; }
  int BarHeight() const { return m_bar->count() ? m_bar->sizeHint().height() : m_bar->fontMetrics().height() + 10; }
  // The area for the pages, in the control's coordinates.
  QRect Display() const { return rect().adjusted(2, BarHeight() + 1, -2, -2); }

protected:
  void resizeEvent(QResizeEvent*) override { m_bar->setGeometry(0, 0, width(), BarHeight()); }
  void paintEvent(QPaintEvent*) override {
    QStylePainter p(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(0, BarHeight() - 1, 0, 0);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = m_bar->sizeHint();
    p.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
  }

private:
  TabBar* m_bar {};
};

QWidget* MakeTabControl(HWND hwnd, QWidget* host) {
  auto* pane = new TabPane(hwnd, host);
  AdoptControlWidget(hwnd, pane);
  return pane;
}

LRESULT TabProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* pane = ControlOf<TabPane>(hwnd);
  if (!pane) return DefControlProc(hwnd, message, wParam, lParam);
  QTabBar* bar = pane->Bar();
  auto index = static_cast<int>(wParam);
  switch (message) {
  case TCM_INSERTITEMW: {
    auto* item = reinterpret_cast<const TCITEMW*>(lParam);
    if (!item || index < 0) return -1;
    QuietChange quiet(hwnd);
    int at = bar->insertTab(std::min(index, bar->count()), (item->mask & TCIF_TEXT) ? MnemonicText(item->pszText, false) : QString());
    if (item->mask & TCIF_PARAM) bar->setTabData(at, QVariant::fromValue<qlonglong>(item->lParam));
    pane->update();
    return at;
  }
  case TCM_SETITEMW:
  case TCM_GETITEMW: {
    auto* item = reinterpret_cast<TCITEMW*>(lParam);
    if (!item || index < 0 || index >= bar->count()) return FALSE;
    if (message == TCM_SETITEMW) {
      if (item->mask & TCIF_TEXT) bar->setTabText(index, MnemonicText(item->pszText, false));
      if (item->mask & TCIF_PARAM) bar->setTabData(index, QVariant::fromValue<qlonglong>(item->lParam));
    } else {
      if ((item->mask & TCIF_TEXT) && item->pszText) CopyOut(bar->tabText(index), item->pszText, item->cchTextMax);
      if (item->mask & TCIF_PARAM) item->lParam = static_cast<LPARAM>(bar->tabData(index).toLongLong());
    }
    return TRUE;
  }
  case TCM_DELETEITEM: {
    if (index < 0 || index >= bar->count()) return FALSE;
    QuietChange quiet(hwnd);
    bar->removeTab(index);
    return TRUE;
  }
  case TCM_DELETEALLITEMS: {
    QuietChange quiet(hwnd);
    while (bar->count()) bar->removeTab(0);
    return TRUE;
  }
  case TCM_GETITEMCOUNT: return bar->count();
  case TCM_GETCURSEL: return bar->currentIndex();
  case TCM_SETCURSEL: {
    if (index < 0 || index >= bar->count()) return -1;
    int old = bar->currentIndex();
    QuietChange quiet(hwnd);
    bar->setCurrentIndex(index);
    return old;
  }
  case TCM_GETITEMRECT: {
    auto* r = reinterpret_cast<RECT*>(lParam);
    if (!r || index < 0 || index >= bar->count()) return FALSE;
    QRect t = bar->tabRect(index);
    *r = RECT {t.left(), t.top(), t.left() + t.width(), t.top() + t.height()};
    return TRUE;
  }
  case TCM_ADJUSTRECT: {
    // FALSE: the display area inside a window rectangle; TRUE: the window rectangle around one.
    auto* r = reinterpret_cast<RECT*>(lParam);
    if (!r) return 0;
    int top = pane->BarHeight() + 1;
    if (wParam) *r = RECT {r->left - 2, r->top - top, r->right + 2, r->bottom + 2};
    else *r = RECT {r->left + 2, r->top + top, r->right - 2, r->bottom - 2};
    return 0;
  }
  case WM_GETDLGCODE: return DLGC_WANTARROWS;
  default: return DefControlProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void RegisterTabControlClass() {
  RegisterControl({WC_TABCONTROLW, TabProc, MakeTabControl, COLOR_BTNFACE});
}

}  // namespace qvui
