// Window geometry: the frame and client rectangles, positions, sizes, stacking, visibility,
// minimised and maximised states, enabling, and the widgets that carry them.

#include "platform/ui/internal/WindowHost.h"
#include "platform/ui/internal/WindowTable.h"

#include "platform/gdi/gdi.h"

#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QVariant>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

namespace qvui {

namespace {

// Internal WINDOWPOS flags, as the window manager of the original platform adds them: the client
// area kept its size or its place, so WM_WINDOWPOSCHANGED sends no WM_SIZE or WM_MOVE.
constexpr UINT kNoClientSize = 0x0800;
constexpr UINT kNoClientMove = 0x1000;

bool HasManagerCaption(DWORD style, bool topLevel) { return topLevel && (style & WS_CAPTION) == WS_CAPTION; }

struct Insets {
  int left {}, top {}, right {}, bottom {};
};

Insets FrameInsets(DWORD style, DWORD exStyle, bool topLevel, int menuHeight) {
  Insets in;
  auto all = [&in](int n) {
    in.left += n;
    in.top += n;
    in.right += n;
    in.bottom += n;
  };
  if (!HasManagerCaption(style, topLevel)) {
    if (style & WS_THICKFRAME) all(GetSystemMetrics(SM_CXFRAME));
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) all(GetSystemMetrics(SM_CXDLGFRAME));
    else if (style & WS_BORDER) all(GetSystemMetrics(SM_CXBORDER));
    if (!topLevel && (style & WS_CAPTION) == WS_CAPTION)
      in.top += GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
  }
  in.top += menuHeight;
  if (exStyle & WS_EX_CLIENTEDGE) all(GetSystemMetrics(SM_CXEDGE));
  if (exStyle & WS_EX_STATICEDGE) all(GetSystemMetrics(SM_CXBORDER));
  if (style & WS_VSCROLL) in.right += GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL) in.bottom += GetSystemMetrics(SM_CYHSCROLL);
  return in;
}

int StandardMenuBarHeight() {
  static int height = [] {
    QMenuBar bar;
    bar.setNativeMenuBar(false);
    bar.addMenu(QStringLiteral("&File"));
    return bar.sizeHint().height();
  }();
  return height;
}

Qt::WindowFlags TopLevelFlags(const WindowRecord& rec) {
  // A modal frame makes a dialog for the desktop, which then offers no minimising.
  Qt::WindowFlags flags = (rec.exStyle & WS_EX_TOOLWINDOW)       ? Qt::Tool
                          : (rec.exStyle & WS_EX_DLGMODALFRAME) ? Qt::Dialog
                                                                 : Qt::Window;
  if (HasDesktopCaption(rec)) {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (rec.style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (rec.style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (rec.style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
  } else {
    flags |= Qt::FramelessWindowHint;
  }
  if (rec.exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

QPoint ClientPosInParent(const WindowRecord& rec) {
  return rec.window.topLeft() + rec.client.topLeft() - QPoint(rec.frame.left(), rec.frame.top());
}

void Restack(WindowRecord& rec, HWND after);

// A window over a borrowed widget takes its rectangle (in the parent's client area) and its
// visibility from the widget.
void FollowWidget(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  QWidget* widget = rec ? rec->clientWidget.data() : nullptr;
  WindowRecord* parent = rec ? Find(rec->parent) : nullptr;
  if (!widget || !parent || !parent->clientWidget) return;
  QWidget* area = parent->clientWidget;
  QPoint at = area->isAncestorOf(widget) ? widget->mapTo(area, QPoint()) : area->mapFromGlobal(widget->mapToGlobal(QPoint()));
  rec->window = QRect(at, widget->size());
  rec->client = QRect(QPoint(), widget->size());
  rec->style = widget->isHidden() ? rec->style & ~WS_VISIBLE : rec->style | WS_VISIBLE;
}

class WidgetFollower : public QObject {
public:
  WidgetFollower(HWND hwnd, QWidget* widget) : QObject(widget), m_hwnd(hwnd) { widget->installEventFilter(this); }

protected:
  bool eventFilter(QObject*, QEvent* e) override {
    switch (e->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ShowToParent:
    case QEvent::HideToParent: FollowWidget(m_hwnd); break;
    default: break;
    }
    return false;
  }

private:
  HWND m_hwnd {};
};

}  // namespace

bool HasDesktopCaption(const WindowRecord& rec) {
  return HasManagerCaption(rec.style, IsTopLevel(rec)) && !rec.windowClass->ownFrame;
}

int MenuBarHeight(const WindowRecord& rec) { return rec.menu && IsTopLevel(rec) ? StandardMenuBarHeight() : 0; }

QRect DefaultClientRect(const WindowRecord& rec, QRect r) {
  bool top = IsTopLevel(rec);
  if (top) r = r.marginsRemoved(rec.frame);
  Insets in = FrameInsets(rec.style, rec.exStyle, top, MenuBarHeight(rec));
  int left = r.left() + in.left, topEdge = r.top() + in.top;
  int right = std::max(left, r.left() + r.width() - in.right);
  int bottom = std::max(topEdge, r.top() + r.height() - in.bottom);
  return QRect(left, topEdge, right - left, bottom - topEdge);
}

QPoint WindowOrigin(const WindowRecord& rec) {
  if (!rec.parent) return rec.window.topLeft();
  const WindowRecord* parent = Find(rec.parent);
  return (parent ? ClientOrigin(*parent) : QPoint()) + rec.window.topLeft();
}

QPoint ClientOrigin(const WindowRecord& rec) { return WindowOrigin(rec) + rec.client.topLeft(); }

void CreateWidgets(WindowRecord& rec) {
  QWidget* parentWidget = nullptr;
  Qt::WindowFlags flags;
  if (rec.parent) {
    parentWidget = Find(rec.parent)->clientWidget;
  } else {
    flags = TopLevelFlags(rec);
    if (WindowRecord* owner = rec.owner ? Find(rec.owner) : nullptr) parentWidget = owner->host;
  }
  rec.host = new WindowHost(rec.handle, parentWidget, flags);
  if (rec.windowClass->makeControl) {
    rec.clientWidget = rec.windowClass->makeControl(rec.handle, rec.host);
    rec.host->setFocusProxy(rec.clientWidget);
  } else {
    rec.clientWidget = new ClientArea(rec.handle, rec.host);
  }
  if (rec.parent) rec.host->lower();
  // A child shows only when its window is shown: Qt would otherwise show it with its parent.
  if (rec.parent) rec.host->hide();
  if (rec.parent && (rec.style & WS_DISABLED)) rec.host->setEnabled(false);
  if (!rec.parent) rec.host->setWindowTitle(QString::fromStdU16String(rec.text.Str()));
  ApplyGeometry(rec);
  ResizeSurface(rec, true);
}

void BorrowWidget(WindowRecord& rec, QWidget* widget) {
  rec.borrowed = true;
  rec.clientWidget = widget;
  widget->setProperty(kWindowProperty, QVariant::fromValue(reinterpret_cast<quintptr>(rec.handle)));
  new WidgetFollower(rec.handle, widget);
  FollowWidget(rec.handle);
  ResizeSurface(rec, true);
}

void ReleaseBorrowedWidget(WindowRecord& rec) {
  QWidget* widget = rec.clientWidget;
  if (!widget) return;
  widget->setProperty(kWindowProperty, QVariant());
  // Not findChild: without its own meta-object a follower looks like any other child to it.
  for (QObject* child : widget->children()) {
    if (auto* follower = dynamic_cast<WidgetFollower*>(child)) {
      delete follower;
      break;
    }
  }
}

QWidget* OuterWidget(const WindowRecord& rec) { return rec.borrowed ? rec.clientWidget.data() : rec.host.data(); }

void ApplyGeometry(WindowRecord& rec) {
  if (!rec.host) return;
  QRect outer = IsTopLevel(rec) ? rec.window.marginsRemoved(rec.frame) : rec.window;
  if (IsTopLevel(rec) && (rec.iconic || rec.zoomed)) {
    // The desktop owns the geometry of a minimised or maximised window.
  } else if (IsTopLevel(rec)) {
    // Placed by its frame, as the desktop's window manager draws it: the size hints then ask for
    // north-west gravity, and the manager keeps the frame (title bar included) where asked.
    // Moving and sizing report back to the record (SyncFromDesktop): take the targets first.
    const QPoint at = rec.window.topLeft();
    QWidget* host = rec.host;
    if (host->frameGeometry().topLeft() != at) {
      host->move(at);
      // Moved while shown but not framed yet, the window's client area went where its frame was
      // to go: the frame is put there once the manager has drawn it (SyncFromDesktop).
      if (host->isVisible() && HasDesktopCaption(rec) && host->frameGeometry() == host->geometry()) rec.frameTarget = at;
    }
    // Without a sizing border the size is fixed: the manager offers neither resizing nor maximising.
    if (!(rec.style & WS_THICKFRAME)) {
      if (host->minimumSize() != outer.size() || host->maximumSize() != outer.size()) host->setFixedSize(outer.size());
    } else if (host->size() != outer.size()) {
      host->resize(outer.size());
    }
  } else if (rec.host->geometry() != outer) {
    rec.host->setGeometry(outer);
  }
  QPoint clientPos = rec.client.topLeft() - QPoint(rec.frame.left(), rec.frame.top());
  if (rec.clientWidget) rec.clientWidget->setGeometry(QRect(clientPos, rec.client.size()));
  PlaceScrollBars(rec);
  if (rec.menuBar) {
    int h = MenuBarHeight(rec);
    rec.menuBar->setGeometry(clientPos.x(), clientPos.y() - h, rec.client.width(), h);
  }
}

bool RecalcFrame(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  if (!rec) return false;
  NCCALCSIZE_PARAMS params {};
  QRect w = rec->window;
  params.rgrc[0] = RECT {w.left(), w.top(), w.left() + w.width(), w.top() + w.height()};
  params.rgrc[1] = params.rgrc[0];
  params.rgrc[2] = params.rgrc[0];
  SendMessageW(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
  rec = Find(hwnd);
  if (!rec) return false;
  const RECT& c = params.rgrc[0];
  int left = std::clamp<int>(c.left - w.left(), 0, w.width());
  int top = std::clamp<int>(c.top - w.top(), 0, w.height());
  int right = std::clamp<int>(c.right - w.left(), left, w.width());
  int bottom = std::clamp<int>(c.bottom - w.top(), top, w.height());
  rec->client = QRect(left, top, right - left, bottom - top);
  ApplyGeometry(*rec);
  return true;
}

namespace {

// The desktop's frames as last seen, by whether the window has a sizing border.
QMargins g_seenFrame[2];

}  // namespace

QMargins ExpectedDesktopFrame(const WindowRecord& rec) {
  if (!IsTopLevel(rec) || !HasDesktopCaption(rec) || !rec.frame.isNull()) return rec.frame;
  const bool sizing = rec.style & WS_THICKFRAME;
  return g_seenFrame[sizing].isNull() ? g_seenFrame[!sizing] : g_seenFrame[sizing];
}

void SyncFromDesktop(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  if (!rec || !rec->host || !IsTopLevel(*rec) || rec->destroying) return;
  WindowHost* host = rec->host;
  bool iconic = host->isMinimized();
  bool zoomed = (host->windowState() & Qt::WindowMaximized) && !iconic;
  QMargins frame = rec->frame;
  if (host->isVisible()) {
    QRect g = host->geometry(), f = host->frameGeometry();
    frame = QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
    if (HasDesktopCaption(*rec) && !frame.isNull() && !iconic && !zoomed) g_seenFrame[bool(rec->style & WS_THICKFRAME)] = frame;
  }
  if (rec->frameTarget && !frame.isNull()) {
    const QPoint target = *rec->frameTarget;
    rec->frameTarget.reset();
    // The move reports back here when the desktop has carried it out; until then the record
    // follows the window as it is.
    if (!iconic && !zoomed && host->frameGeometry().topLeft() != target) host->move(target);
  }
  QRect window = host->geometry().marginsAdded(frame);
  bool stateChanged = iconic != rec->iconic || zoomed != rec->zoomed;
  if (!stateChanged && window == rec->window && frame == rec->frame) return;

  QPoint oldClientPos = ClientPosInParent(*rec);
  QSize oldClientSize = rec->client.size();
  bool sized = window.size() != rec->window.size() || frame != rec->frame;
  rec->iconic = iconic;
  rec->zoomed = zoomed;
  rec->frame = frame;
  rec->window = window;
  if (!iconic && !zoomed) rec->normalRect = window;
  if (sized) {
    if (!RecalcFrame(hwnd)) return;
    rec = Find(hwnd);
    ResizeSurface(*rec, true);
    InvalidateFrame(*rec);
  }
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (!stateChanged && rec->client.size() == oldClientSize) flags |= kNoClientSize;
  if (ClientPosInParent(*rec) == oldClientPos) flags |= kNoClientMove;
  WINDOWPOS wp {hwnd, nullptr, window.x(), window.y(), window.width(), window.height(), flags};
  SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
}

// The default answer to WM_WINDOWPOSCHANGED: WM_MOVE and WM_SIZE for a client area that moved or
// changed its size.
LRESULT DefWindowPosChanged(HWND hwnd, const WINDOWPOS* wp) {
  WindowRecord* rec = Find(hwnd);
  if (!rec || !wp) return 0;
  if (!(wp->flags & kNoClientMove)) {
    QPoint p = ClientPosInParent(*rec);
    SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(p.x(), p.y()));
    rec = Find(hwnd);
    if (!rec) return 0;
  }
  if (!(wp->flags & kNoClientSize)) {
    WPARAM kind = rec->iconic ? SIZE_MINIMIZED : rec->zoomed ? SIZE_MAXIMIZED : SIZE_RESTORED;
    QSize s = rec->iconic ? QSize(0, 0) : rec->client.size();
    SendMessageW(hwnd, WM_SIZE, kind, MAKELPARAM(s.width(), s.height()));
  }
  return 0;
}

namespace {

void Restack(WindowRecord& rec, HWND after) {
  if (after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    bool topmost = after == HWND_TOPMOST;
    if (IsTopLevel(rec) && bool(rec.exStyle & WS_EX_TOPMOST) != topmost) {
      rec.exStyle = topmost ? (rec.exStyle | WS_EX_TOPMOST) : (rec.exStyle & ~WS_EX_TOPMOST);
      if (rec.host) {
        // Changing the flags of a shown window hides it; show it again.
        bool visible = rec.host->isVisible();
        rec.host->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
        if (visible) rec.host->show();
      }
    }
    after = HWND_TOP;
  }
  std::vector<HWND>* siblings = nullptr;
  if (rec.parent) siblings = &Find(rec.parent)->children;
  if (siblings) {
    auto& s = *siblings;
    s.erase(std::remove(s.begin(), s.end(), rec.handle), s.end());
    if (after == HWND_TOP) {
      s.insert(s.begin(), rec.handle);
    } else if (after == HWND_BOTTOM) {
      s.push_back(rec.handle);
    } else {
      auto it = std::find(s.begin(), s.end(), after);
      s.insert(it == s.end() ? s.end() : it + 1, rec.handle);
    }
  }
  if (!rec.host) return;
  if (after == HWND_TOP) {
    rec.host->raise();
  } else if (after == HWND_BOTTOM) {
    rec.host->lower();
  } else if (WindowRecord* a = Find(after); a && a->host && a->parent == rec.parent) {
    rec.host->stackUnder(a->host);
  }
}

}  // namespace

}  // namespace qvui

using namespace qvui;

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || rec->remote || !IsUiThread()) return FALSE;
  QRect old = rec->window;
  WINDOWPOS wp {hwnd, insertAfter, x, y, cx, cy, flags & ~(kNoClientSize | kNoClientMove)};
  if (flags & SWP_NOMOVE) {
    wp.x = old.x();
    wp.y = old.y();
  }
  if (flags & SWP_NOSIZE) {
    wp.cx = old.width();
    wp.cy = old.height();
  }
  if (!(flags & SWP_NOSENDCHANGING)) {
    SendMessageW(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    rec = Find(hwnd);
    if (!rec) return FALSE;
  }
  flags = wp.flags;
  QRect now(wp.x, wp.y, std::max(wp.cx, 0), std::max(wp.cy, 0));
  if (flags & SWP_NOMOVE) now.moveTo(old.topLeft());
  if (flags & SWP_NOSIZE) now.setSize(old.size());
  bool sized = now.size() != old.size();
  QPoint oldClientPos = ClientPosInParent(*rec);
  QSize oldClientSize = rec->client.size();

  rec->window = now;
  if (IsTopLevel(*rec) && !rec->iconic && !rec->zoomed) rec->normalRect = now;
  if (sized || (flags & SWP_FRAMECHANGED)) {
    if (!RecalcFrame(hwnd)) return FALSE;
    rec = Find(hwnd);
    UINT classStyle = rec->windowClass->style;
    bool redrawAll = (flags & SWP_FRAMECHANGED) ||
                     ((classStyle & CS_HREDRAW) && now.width() != old.width()) ||
                     ((classStyle & CS_VREDRAW) && now.height() != old.height());
    ResizeSurface(*rec, redrawAll);
    InvalidateFrame(*rec);
  } else {
    ApplyGeometry(*rec);
  }
  if (!(flags & SWP_NOZORDER)) Restack(*rec, wp.hwndInsertAfter);

  bool visible = rec->style & WS_VISIBLE;
  if ((flags & SWP_SHOWWINDOW) && !visible) {
    rec->style |= WS_VISIBLE;
    Invalidate(*rec, QRegion(QRect(QPoint(), rec->client.size())), true);
    InvalidateFrame(*rec);
    if (rec->host) {
      if (!IsTopLevel(*rec)) rec->host->show();
      else if (rec->iconic) rec->host->showMinimized();
      else if (rec->zoomed) rec->host->showMaximized();
      else rec->host->show();
    } else if (QWidget* widget = OuterWidget(*rec)) {
      widget->show();
    }
  } else if ((flags & SWP_HIDEWINDOW) && visible) {
    rec->style &= ~WS_VISIBLE;
    if (QWidget* widget = OuterWidget(*rec)) widget->hide();
  }
  rec = Find(hwnd);
  if (!rec) return TRUE;
  if (IsTopLevel(*rec) && (rec->style & WS_VISIBLE) && (flags & SWP_SHOWWINDOW)) {
    if (rec->host && !(flags & SWP_NOACTIVATE)) {
      rec->host->raise();
      rec->host->activateWindow();
    }
    if (!visible) OnTopLevelShown(hwnd);
    rec = Find(hwnd);
    if (!rec) return TRUE;
  }

  wp.flags = flags;
  if (rec->client.size() == oldClientSize) wp.flags |= kNoClientSize;
  if (ClientPosInParent(*rec) == oldClientPos) wp.flags |= kNoClientMove;
  wp.x = rec->window.x();
  wp.y = rec->window.y();
  wp.cx = rec->window.width();
  wp.cy = rec->window.height();
  SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || !rect) return FALSE;
  QPoint o = WindowOrigin(*rec);
  *rect = RECT {o.x(), o.y(), o.x() + rec->window.width(), o.y() + rec->window.height()};
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || !rect) return FALSE;
  *rect = RECT {0, 0, rec->client.width(), rec->client.height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || !point) return FALSE;
  QPoint o = ClientOrigin(*rec);
  point->x += o.x();
  point->y += o.y();
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || !point) return FALSE;
  QPoint o = ClientOrigin(*rec);
  point->x -= o.x();
  point->y -= o.y();
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  QPoint a, b;
  if (from && from != GetDesktopWindow()) {
    WindowRecord* rec = Get(from);
    if (!rec) return 0;
    a = ClientOrigin(*rec);
  }
  if (to && to != GetDesktopWindow()) {
    WindowRecord* rec = Get(to);
    if (!rec) return 0;
    b = ClientOrigin(*rec);
  }
  QPoint d = a - b;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += d.x();
    points[i].y += d.y();
  }
  return MAKELONG(static_cast<WORD>(d.x()), static_cast<WORD>(d.y()));
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, LPCRECT rect, LPCRECT clip) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return FALSE;
  if (!rect) {
    std::vector<HWND> children = rec->children;
    for (HWND child : children) {
      RECT r {};
      if (!GetWindowRect(child, &r)) continue;
      POINT p {r.left, r.top};
      ScreenToClient(hwnd, &p);
      SetWindowPos(child, nullptr, p.x + dx, p.y + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  RECT area {};
  GetClientRect(hwnd, &area);
  if (rect) area = *rect;
  if (clip) {
    area.left = std::max(area.left, clip->left);
    area.top = std::max(area.top, clip->top);
    area.right = std::min(area.right, clip->right);
    area.bottom = std::min(area.bottom, clip->bottom);
  }
  if (area.left < area.right && area.top < area.bottom) InvalidateRect(hwnd, &area, TRUE);
  return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) return FALSE;
  bool topLevel = !(style & WS_CHILD);
  Insets in = FrameInsets(style, exStyle, topLevel, menu && topLevel ? StandardMenuBarHeight() : 0);
  rect->left -= in.left;
  rect->top -= in.top;
  rect->right += in.right;
  rect->bottom += in.bottom;
  return TRUE;
}

BOOL ShowWindow(HWND hwnd, int command) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return FALSE;
  if (rec->remote) return RemoteShow(*rec, command);
  if (!IsUiThread()) return FALSE;
  bool was = rec->style & WS_VISIBLE;
  bool show = command != SW_HIDE;
  if (show != was) {
    SendMessageW(hwnd, WM_SHOWWINDOW, show, 0);
    rec = Find(hwnd);
    if (!rec) return was;
  }
  if (IsTopLevel(*rec) && rec->host) {
    Qt::WindowStates state = rec->host->windowState();
    switch (command) {
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE: state |= Qt::WindowMinimized; break;
    case SW_MAXIMIZE: state = (state & ~Qt::WindowMinimized) | Qt::WindowMaximized; break;
    case SW_RESTORE:
      if (state & Qt::WindowMinimized) state &= ~Qt::WindowMinimized;
      else state &= ~Qt::WindowMaximized;
      break;
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT: state &= ~(Qt::WindowMinimized | Qt::WindowMaximized); break;
    default: break;
    }
    if (state != rec->host->windowState()) {
      if (!(state & (Qt::WindowMinimized | Qt::WindowMaximized)))
        rec->host->setGeometry(rec->normalRect.marginsRemoved(rec->frame));
      rec->host->setWindowState(state);
      SyncFromDesktop(hwnd);
      rec = Find(hwnd);
      if (!rec) return was;
    }
  }
  bool noActivate = command == SW_SHOWNA || command == SW_SHOWNOACTIVATE || command == SW_SHOWMINNOACTIVE ||
                    command == SW_HIDE || command == SW_MINIMIZE;
  UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) |
               (noActivate ? SWP_NOACTIVATE : 0);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, flags);
  return was;
}

BOOL IsWindowVisible(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  while (rec) {
    if (!(rec->style & WS_VISIBLE)) return FALSE;
    if (!rec->parent) return TRUE;
    rec = Find(rec->parent);
  }
  return FALSE;
}

BOOL IsIconic(HWND hwnd) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return FALSE;
  if (rec->remote) return RemoteIsIconic(*rec);
  return rec->iconic;
}

BOOL IsZoomed(HWND hwnd) {
  WindowRecord* rec = Get(hwnd);
  return rec && rec->zoomed;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return FALSE;
  bool wasDisabled = rec->style & WS_DISABLED;
  if (bool(enable) == !wasDisabled) return wasDisabled;
  if (!enable) {
    SendMessageW(hwnd, WM_CANCELMODE, 0, 0);
    if (GetFocus() == hwnd || IsChild(hwnd, GetFocus())) SetFocus(nullptr);
    if (GetCapture() == hwnd) ReleaseCapture();
    rec = Find(hwnd);
    if (!rec) return wasDisabled;
  }
  rec->style = enable ? (rec->style & ~WS_DISABLED) : (rec->style | WS_DISABLED);
  if (rec->host && IsTopLevel(*rec)) {
    // Qt would disable the windows this one owns along with it (their widgets are its children):
    // only its own inside goes; the layer keeps input from a disabled window itself.
    for (QObject* child : rec->host->children())
      if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow()) w->setEnabled(enable);
  } else if (rec->host) {
    rec->host->setEnabled(enable);
  }
  SendMessageW(hwnd, WM_ENABLE, enable, 0);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  WindowRecord* rec = Get(hwnd);
  return rec && !(rec->style & WS_DISABLED);
}

BOOL BringWindowToTop(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL SetForegroundWindow(HWND hwnd) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return FALSE;
  if (rec->remote) return RemoteForeground(*rec);
  HWND root = GetAncestor(hwnd, GA_ROOT);
  WindowRecord* top = Find(root);
  if (!top || !top->host) return FALSE;
  top->host->raise();
  top->host->activateWindow();
  return TRUE;
}

HWND GetActiveWindow() { return QApplication::activeWindow() ? WindowOfWidget(QApplication::activeWindow()) : nullptr; }
HWND GetForegroundWindow() { return GetActiveWindow(); }

HWND SetActiveWindow(HWND hwnd) {
  HWND old = GetActiveWindow();
  SetForegroundWindow(hwnd);
  return old;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || !placement) return FALSE;
  QRect n = IsTopLevel(*rec) ? rec->normalRect : rec->window;
  placement->flags = 0;
  if (rec->iconic && rec->host && (rec->host->windowState() & Qt::WindowMaximized))
    placement->flags = WPF_RESTORETOMAXIMIZED;
  placement->showCmd = rec->iconic ? SW_SHOWMINIMIZED : rec->zoomed ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  if (!(rec->style & WS_VISIBLE)) placement->showCmd = SW_HIDE;
  placement->ptMinPosition = POINT {-1, -1};
  placement->ptMaxPosition = POINT {-1, -1};
  placement->rcNormalPosition = RECT {n.left(), n.top(), n.left() + n.width(), n.top() + n.height()};
  return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || !placement) return FALSE;
  const RECT& r = placement->rcNormalPosition;
  if (IsTopLevel(*rec) && (rec->iconic || rec->zoomed)) ShowWindow(hwnd, SW_SHOWNORMAL);
  if (!SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    SWP_NOZORDER | SWP_NOACTIVATE))
    return FALSE;
  if (placement->showCmd != SW_HIDE || IsWindowVisible(hwnd)) ShowWindow(hwnd, static_cast<int>(placement->showCmd));
  return TRUE;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) {
  WindowRecord* rec = Get(parent);
  if (!rec) return nullptr;
  if (point.x < 0 || point.y < 0 || point.x >= rec->client.width() || point.y >= rec->client.height()) return nullptr;
  for (HWND child : rec->children) {
    WindowRecord* c = Find(child);
    if (c && c->window.contains(QPoint(point.x, point.y))) return child;
  }
  return parent;
}

HWND WindowFromPoint(POINT point) {
  QPoint p(point.x, point.y);
  HWND hwnd = nullptr;
  if (QWidget* top = QApplication::topLevelAt(p)) hwnd = WindowOfWidget(top);
  if (!hwnd) {
    for (HWND h : TopLevelWindows()) {
      WindowRecord* rec = Find(h);
      if (rec && !rec->remote && (rec->style & WS_VISIBLE) && rec->window.contains(p)) {
        hwnd = h;
        break;
      }
    }
  }
  for (WindowRecord* rec = Find(hwnd); rec;) {
    QPoint local = p - ClientOrigin(*rec);
    HWND next = nullptr;
    for (HWND child : rec->children) {
      WindowRecord* c = Find(child);
      if (c && (c->style & WS_VISIBLE) && c->window.contains(local)) {
        next = child;
        break;
      }
    }
    if (!next) break;
    hwnd = next;
    rec = Find(next);
  }
  return hwnd;
}

int GetSystemMetrics(int index) {
  QRect screen(0, 0, 1024, 768);
  if (qApp)
    if (QScreen* s = QGuiApplication::primaryScreen()) screen = s->geometry();
  switch (index) {
  case SM_CXSCREEN: return screen.width();
  case SM_CYSCREEN: return screen.height();
  case SM_CXVSCROLL:
  case SM_CYHSCROLL:
  case SM_CYVSCROLL:
  case SM_CXHSCROLL: return 17;
  case SM_CYCAPTION: return 19;
  case SM_CYSMCAPTION: return 17;
  // Buttons of a small caption fill its height less the line below it.
  case SM_CXSMSIZE:
  case SM_CYSMSIZE: return 16;
  case SM_CXBORDER:
  case SM_CYBORDER: return 1;
  case SM_CXDLGFRAME:
  case SM_CYDLGFRAME: return 3;
  case SM_CXFRAME:
  case SM_CYFRAME: return 4;
  case SM_CXEDGE:
  case SM_CYEDGE: return 2;
  case SM_CYMENU: return qApp ? StandardMenuBarHeight() : 19;
  case SM_CXICON:
  case SM_CYICON:
  case SM_CXCURSOR:
  case SM_CYCURSOR: return 32;
  case SM_CXSMICON:
  case SM_CYSMICON: return 16;
  case SM_CXMENUCHECK:
  case SM_CYMENUCHECK: return 13;
  case SM_CXMIN: return 112;
  case SM_CYMIN: return 27;
  case SM_CXMINTRACK: return 112;
  case SM_CYMINTRACK: return 27;
  case SM_CXDOUBLECLK:
  case SM_CYDOUBLECLK:
  case SM_CXDRAG:
  case SM_CYDRAG: return 4;
  default: return 0;
  }
}

BOOL SystemParametersInfoW(UINT action, UINT, PVOID value, UINT) {
  if (!value) return FALSE;
  switch (action) {
  case SPI_GETNONCLIENTMETRICS: {
    auto* m = static_cast<NONCLIENTMETRICSW*>(value);
    // Callers of older versions leave out the padded border.
    if (m->cbSize != sizeof(NONCLIENTMETRICSW) && m->cbSize != offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth))
      return FALSE;
    // Every part writes in the font of the dialogs; captions in its bold form.
    LOGFONTW font {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    LOGFONTW bold = font;
    bold.lfWeight = FW_BOLD;
    UINT size = m->cbSize;
    NONCLIENTMETRICSW metrics {size, GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CXVSCROLL),
                               GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYCAPTION) - 1,
                               GetSystemMetrics(SM_CYCAPTION) - 1, bold, GetSystemMetrics(SM_CYSMCAPTION) - 1,
                               GetSystemMetrics(SM_CYSMCAPTION) - 1, bold, GetSystemMetrics(SM_CYMENU) - 1,
                               GetSystemMetrics(SM_CYMENU) - 1, font, font, font, 0};
    std::memcpy(m, &metrics, size);
    return TRUE;
  }
  case SPI_GETWHEELSCROLLLINES:
    *static_cast<UINT*>(value) = static_cast<UINT>(qApp ? QApplication::wheelScrollLines() : 3);
    return TRUE;
  default: return FALSE;
  }
}

// ---- Batches of moves ---------------------------------------------------------------------------

namespace {

struct DeferredMoves {
  std::vector<WINDOWPOS> moves;
};

DeferredMoves* BatchOf(HDWP batch) { return reinterpret_cast<DeferredMoves*>(batch); }

void MergeMove(WINDOWPOS& into, const WINDOWPOS& next) {
  constexpr UINT kShowHide = SWP_SHOWWINDOW | SWP_HIDEWINDOW;
  UINT flags = into.flags;
  if (!(next.flags & SWP_NOMOVE)) {
    into.x = next.x;
    into.y = next.y;
    flags &= ~SWP_NOMOVE;
  }
  if (!(next.flags & SWP_NOSIZE)) {
    into.cx = next.cx;
    into.cy = next.cy;
    flags &= ~SWP_NOSIZE;
  }
  if (!(next.flags & SWP_NOZORDER)) {
    into.hwndInsertAfter = next.hwndInsertAfter;
    flags &= ~SWP_NOZORDER;
  }
  if (next.flags & kShowHide) flags &= ~kShowHide;
  UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
  into.flags = flags | (next.flags & ~keep);
}

}  // namespace

HDWP BeginDeferWindowPos(int count) {
  if (count < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* batch = new DeferredMoves;
  batch->moves.reserve(static_cast<size_t>(count));
  return reinterpret_cast<HDWP>(batch);
}

HDWP DeferWindowPos(HDWP batch, HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  DeferredMoves* moves = BatchOf(batch);
  if (!moves) return nullptr;
  if (!IsWindow(hwnd)) {
    delete moves;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  WINDOWPOS next {hwnd, insertAfter, x, y, cx, cy, flags};
  auto it = std::find_if(moves->moves.begin(), moves->moves.end(), [hwnd](const WINDOWPOS& m) { return m.hwnd == hwnd; });
  if (it == moves->moves.end()) moves->moves.push_back(next);
  else MergeMove(*it, next);
  return batch;
}

BOOL EndDeferWindowPos(HDWP batch) {
  std::unique_ptr<DeferredMoves> moves(BatchOf(batch));
  if (!moves) return FALSE;
  BOOL all = TRUE;
  for (const WINDOWPOS& m : moves->moves) {
    // A window may be gone by now: a handler of an earlier move can destroy it.
    if (!IsWindow(m.hwnd) || !SetWindowPos(m.hwnd, m.hwndInsertAfter, m.x, m.y, m.cx, m.cy, m.flags)) all = FALSE;
  }
  return all;
}
