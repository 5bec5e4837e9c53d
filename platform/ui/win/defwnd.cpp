// The default window procedure and the layer's own window classes.

#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/WindowHost.h"
#include "platform/ui/internal/WindowTable.h"
#include "platform/gdi/gdi.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QWindow>

#include <algorithm>

namespace qvui {

namespace {

LRESULT DefaultHitTest(WindowRecord& rec, POINT screen) {
  QPoint w = QPoint(screen.x, screen.y) - WindowOrigin(rec);
  if (!QRect(QPoint(), rec.window.size()).contains(w)) return HTNOWHERE;
  if (rec.shaped && !rec.shape.contains(w)) return HTNOWHERE;
  if (rec.client.contains(w)) return HTCLIENT;
  QRect inner = rec.client;
  if ((rec.style & WS_VSCROLL) && w.x() >= inner.right() + 1 && w.y() >= inner.top() && w.y() <= inner.bottom())
    return HTVSCROLL;
  if ((rec.style & WS_HSCROLL) && w.y() >= inner.bottom() + 1 && w.x() >= inner.left() && w.x() <= inner.right())
    return HTHSCROLL;
  if (IsTopLevel(rec) && rec.menu && w.y() < inner.top() && w.y() >= inner.top() - MenuBarHeight(rec)) return HTMENU;
  if (HasDesktopCaption(rec)) return HTNOWHERE;
  if (rec.style & WS_THICKFRAME) {
    int f = GetSystemMetrics(SM_CXFRAME);
    int W = rec.window.width(), H = rec.window.height();
    bool left = w.x() < f, right = w.x() >= W - f, top = w.y() < f, bottom = w.y() >= H - f;
    if (top && left) return HTTOPLEFT;
    if (top && right) return HTTOPRIGHT;
    if (bottom && left) return HTBOTTOMLEFT;
    if (bottom && right) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
  }
  if ((rec.style & WS_CAPTION) == WS_CAPTION && w.y() < inner.top()) return HTCAPTION;
  return HTBORDER;
}

void DefaultNcPaint(WindowRecord& rec) {
  if (!rec.surface) return;
  QImage* image = rec.surface->BeginAccess();
  QPainter p(image);
  QRect all(QPoint(), image->size());
  QRect client = rec.client.translated(-rec.frame.left(), -rec.frame.top());
  QRegion nc = QRegion(all).subtracted(QRegion(client));
  if (nc.isEmpty()) {
    p.end();
    rec.surface->EndAccess(QRect());
    return;
  }
  p.setClipRegion(nc);
  p.fillRect(all, SysColor(COLOR_BTNFACE));
  QRect r = all.adjusted(0, 0, -1, -1);
  if (!HasDesktopCaption(rec)) {
    if (rec.style & (WS_THICKFRAME | WS_DLGFRAME) || (rec.exStyle & WS_EX_DLGMODALFRAME)) {
      p.setPen(SysColor(COLOR_3DLIGHT));
      p.drawLine(r.topLeft(), r.topRight());
      p.drawLine(r.topLeft(), r.bottomLeft());
      p.setPen(SysColor(COLOR_3DDKSHADOW));
      p.drawLine(r.bottomLeft(), r.bottomRight());
      p.drawLine(r.topRight(), r.bottomRight());
    } else if (rec.style & WS_BORDER) {
      p.setPen(SysColor(COLOR_WINDOWFRAME));
      p.drawRect(r);
    }
    if (!IsTopLevel(rec) && (rec.style & WS_CAPTION) == WS_CAPTION) {
      int b = rec.style & WS_THICKFRAME ? GetSystemMetrics(SM_CXFRAME) : GetSystemMetrics(SM_CXDLGFRAME);
      QRect caption(b, b, all.width() - 2 * b, client.top() - b);
      p.fillRect(caption, SysColor(COLOR_ACTIVECAPTION));
      p.setPen(SysColor(COLOR_CAPTIONTEXT));
      p.drawText(caption.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft,
                 QString::fromStdU16String(rec.text.Str()));
    }
  }
  if (rec.exStyle & WS_EX_CLIENTEDGE) {
    QRect e = client.adjusted(-2, -2, 1, 1);
    if (rec.style & WS_VSCROLL) e.setRight(e.right() + GetSystemMetrics(SM_CXVSCROLL));
    if (rec.style & WS_HSCROLL) e.setBottom(e.bottom() + GetSystemMetrics(SM_CYHSCROLL));
    p.setPen(SysColor(COLOR_BTNSHADOW));
    p.drawLine(e.topLeft(), e.topRight());
    p.drawLine(e.topLeft(), e.bottomLeft());
    p.setPen(SysColor(COLOR_BTNHIGHLIGHT));
    p.drawLine(e.bottomLeft(), e.bottomRight());
    p.drawLine(e.topRight(), e.bottomRight());
    QRect i = e.adjusted(1, 1, -1, -1);
    p.setPen(SysColor(COLOR_3DDKSHADOW));
    p.drawLine(i.topLeft(), i.topRight());
    p.drawLine(i.topLeft(), i.bottomLeft());
    p.setPen(SysColor(COLOR_3DLIGHT));
    p.drawLine(i.bottomLeft(), i.bottomRight());
    p.drawLine(i.topRight(), i.bottomRight());
  }
  p.end();
  rec.surface->EndAccess(all);
}

LRESULT DefaultSetCursor(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  WindowRecord* rec = Find(hwnd);
  if (!rec) return FALSE;
  if ((rec->style & WS_CHILD) && rec->parent) {
    if (SendMessageW(rec->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
    rec = Find(hwnd);
    if (!rec) return FALSE;
  }
  short hit = static_cast<short>(LOWORD(lParam));
  HCURSOR cursor = LoadCursorW(nullptr, IDC_ARROW);
  switch (hit) {
  case HTCLIENT:
    if (!rec->windowClass->cursor) return FALSE;
    cursor = rec->windowClass->cursor;
    break;
  case HTLEFT:
  case HTRIGHT: cursor = LoadCursorW(nullptr, IDC_SIZEWE); break;
  case HTTOP:
  case HTBOTTOM: cursor = LoadCursorW(nullptr, IDC_SIZENS); break;
  case HTTOPLEFT:
  case HTBOTTOMRIGHT: cursor = LoadCursorW(nullptr, IDC_SIZENWSE); break;
  case HTTOPRIGHT:
  case HTBOTTOMLEFT: cursor = LoadCursorW(nullptr, IDC_SIZENESW); break;
  default: break;
  }
  SetCursor(cursor);
  return hit == HTCLIENT ? TRUE : FALSE;
}

Qt::Edges EdgesOf(WPARAM hit) {
  switch (hit) {
  case HTLEFT: return Qt::LeftEdge;
  case HTRIGHT: return Qt::RightEdge;
  case HTTOP: return Qt::TopEdge;
  case HTBOTTOM: return Qt::BottomEdge;
  case HTTOPLEFT: return Qt::TopEdge | Qt::LeftEdge;
  case HTTOPRIGHT: return Qt::TopEdge | Qt::RightEdge;
  case HTBOTTOMLEFT: return Qt::BottomEdge | Qt::LeftEdge;
  case HTBOTTOMRIGHT: return Qt::BottomEdge | Qt::RightEdge;
  default: return {};
  }
}

// Moves (HTCAPTION) or sizes (a border code) a top-level window whose frame the desktop does not
// draw, following the mouse until the left button comes up; Escape or the right button put the
// window back. Sizes stay within the window's WM_GETMINMAXINFO tracking limits.
void TrackFrame(HWND hwnd, UINT hit, POINT start) {
  RECT from {};
  if (!GetWindowRect(hwnd, &from)) return;
  MINMAXINFO limits {};
  limits.ptMinTrackSize = POINT {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  limits.ptMaxTrackSize = POINT {0x7FFF, 0x7FFF};
  SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  const Qt::Edges edges = EdgesOf(hit);
  auto follow = [&](POINT at) {
    const int dx = at.x - start.x, dy = at.y - start.y;
    RECT r = from;
    if (!edges) {
      r = RECT {from.left + dx, from.top + dy, from.right + dx, from.bottom + dy};
    } else {
      auto clampLength = [](LONG length, LONG least, LONG most) { return std::clamp<LONG>(length, least, std::max(least, most)); };
      if (edges & Qt::LeftEdge) r.left = r.right - clampLength(from.right - from.left - dx, limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x);
      if (edges & Qt::RightEdge) r.right = r.left + clampLength(from.right - from.left + dx, limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x);
      if (edges & Qt::TopEdge) r.top = r.bottom - clampLength(from.bottom - from.top - dy, limits.ptMinTrackSize.y, limits.ptMaxTrackSize.y);
      if (edges & Qt::BottomEdge) r.bottom = r.top + clampLength(from.bottom - from.top + dy, limits.ptMinTrackSize.y, limits.ptMaxTrackSize.y);
    }
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  SetCapture(hwnd);
  while (GetCapture() == hwnd) {
    MSG msg {};
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    POINT at {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
      ClientToScreen(msg.hwnd, &at);
      follow(at);
      if (msg.message == WM_LBUTTONUP) break;
    } else if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_RBUTTONDOWN) {
      follow(start);
      break;
    } else {
      DispatchMessageW(&msg);
    }
  }
  if (GetCapture() == hwnd) ReleaseCapture();
}

}  // namespace

void RegisterBuiltinClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  EnsureMessageQueue();
  HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  auto brush = [](int color) { return reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(color + 1)); };
  RegisterBuiltinClass(WNDCLASSW {CS_DBLCLKS, DefWindowProcW, 0, 0, nullptr, nullptr, arrow, nullptr, nullptr, AFX_WND});
  RegisterBuiltinClass(WNDCLASSW {CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, DefWindowProcW, 0, 0, nullptr, nullptr, arrow,
                                  brush(COLOR_WINDOW), nullptr, AFX_WNDFRAMEORVIEW});
  RegisterBuiltinClass(WNDCLASSW {CS_DBLCLKS, DefWindowProcW, 0, 0, nullptr, nullptr, arrow, brush(COLOR_BTNFACE),
                                  nullptr, AFX_WNDCONTROLBAR});
  RegisterBuiltinClass(WNDCLASSW {CS_DBLCLKS | CS_SAVEBITS, DefDlgProcW, 0, 0, nullptr, nullptr, arrow,
                                  brush(COLOR_BTNFACE), nullptr, WC_DIALOG});
  RegisterControlClasses();
}

}  // namespace qvui

using namespace qvui;

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* rec = Find(hwnd);
  if (!rec) return 0;
  switch (message) {
  case WM_NCCREATE: return TRUE;
  case WM_NCCALCSIZE: {
    RECT* r = reinterpret_cast<RECT*>(lParam);
    if (!r) return 0;
    QRect window(r->left, r->top, r->right - r->left, r->bottom - r->top);
    QRect client = DefaultClientRect(*rec, QRect(QPoint(), window.size())).translated(window.topLeft());
    *r = RECT {client.left(), client.top(), client.left() + client.width(), client.top() + client.height()};
    return 0;
  }
  case WM_NCHITTEST: return DefaultHitTest(*rec, POINT {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  case WM_NCPAINT: DefaultNcPaint(*rec); return 0;
  case WM_NCACTIVATE: return TRUE;
  case WM_PAINT: ValidatePaint(hwnd); return 0;
  case WM_ERASEBKGND: return EraseBackground(*rec, reinterpret_cast<HDC>(wParam));
  case WM_SETTEXT:
    rec->text = reinterpret_cast<LPCWSTR>(lParam);
    if (rec->host && IsTopLevel(*rec)) rec->host->setWindowTitle(QString::fromStdU16String(rec->text.Str()));
    if ((rec->style & WS_CAPTION) == WS_CAPTION && !IsTopLevel(*rec)) InvalidateFrame(*rec);
    return TRUE;
  case WM_GETTEXT: {
    LPWSTR out = reinterpret_cast<LPWSTR>(lParam);
    if (!out || wParam == 0) return 0;
    int n = std::min<int>(rec->text.GetLength(), static_cast<int>(wParam) - 1);
    std::copy_n(rec->text.GetString(), n, out);
    out[n] = 0;
    return n;
  }
  case WM_GETTEXTLENGTH: return rec->text.GetLength();
  case WM_SETFONT:
    rec->font = reinterpret_cast<HFONT>(wParam);
    if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
  case WM_GETFONT: return reinterpret_cast<LRESULT>(rec->font);
  case WM_SETICON: {
    if (wParam != ICON_SMALL && wParam != ICON_BIG) return 0;
    HICON old = rec->icons[wParam];
    rec->icons[wParam] = reinterpret_cast<HICON>(lParam);
    // The desktop shows the big icon, or the small one when there is no big one.
    if (rec->host && IsTopLevel(*rec)) {
      QImage image = ImageOfIcon(rec->icons[ICON_BIG] ? rec->icons[ICON_BIG] : rec->icons[ICON_SMALL]);
      rec->host->setWindowIcon(image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
    }
    return reinterpret_cast<LRESULT>(old);
  }
  case WM_GETICON: return wParam == ICON_SMALL || wParam == ICON_BIG ? reinterpret_cast<LRESULT>(rec->icons[wParam]) : 0;
  case WM_CLOSE: DestroyWindow(hwnd); return 0;
  case WM_SYSCOMMAND:
    switch (wParam & 0xFFF0) {
    case SC_CLOSE: SendMessageW(hwnd, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
    case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
    case SC_KEYMENU:
      // Alt and a letter reach the bar's mnemonics directly; a key menu without a letter (F10)
      // enters menu mode on the bar of the top-level window.
      if (lParam == 0)
        if (WindowRecord* top = Find(GetAncestor(hwnd, GA_ROOT))) EnterMenuMode(*top);
      break;
    default: break;
    }
    return 0;
  case WM_WINDOWPOSCHANGED: return DefWindowPosChanged(hwnd, reinterpret_cast<const WINDOWPOS*>(lParam));
  case WM_GETMINMAXINFO: {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (info) {
      info->ptMaxSize = POINT {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
      info->ptMinTrackSize = POINT {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
      info->ptMaxTrackSize = POINT {0x7FFF, 0x7FFF};
    }
    return 0;
  }
  case WM_SETCURSOR: return DefaultSetCursor(hwnd, wParam, lParam);
  case WM_MOUSEACTIVATE:
    if ((rec->style & WS_CHILD) && rec->parent) {
      if (LRESULT r = SendMessageW(rec->parent, WM_MOUSEACTIVATE, wParam, lParam)) return r;
    }
    return MA_ACTIVATE;
  case WM_RBUTTONUP: {
    POINT p {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd, &p);
    SendMessageW(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(p.x, p.y));
    return 0;
  }
  case WM_CONTEXTMENU:
  case WM_MOUSEWHEEL:
    if ((rec->style & WS_CHILD) && rec->parent) return SendMessageW(rec->parent, message, wParam, lParam);
    return 0;
  case WM_NCLBUTTONDOWN:
    if (!IsTopLevel(*rec) || (wParam != HTCAPTION && !EdgesOf(wParam))) return 0;
    if (!HasDesktopCaption(*rec)) {
      TrackFrame(hwnd, static_cast<UINT>(wParam), POINT {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    } else if (rec->host && rec->host->windowHandle()) {
      if (wParam == HTCAPTION) rec->host->windowHandle()->startSystemMove();
      else rec->host->windowHandle()->startSystemResize(EdgesOf(wParam));
    }
    return 0;
  case WM_ACTIVATE:
    if (LOWORD(wParam) != WA_INACTIVE && !rec->iconic) {
      HWND focus = GetFocus();
      if (focus != hwnd && !IsChild(hwnd, focus)) SetFocus(hwnd);
    }
    return 0;
  case WM_SYSKEYDOWN:
    if (wParam == VK_F4 && (lParam & (1 << 29))) SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
  case WM_SYSKEYUP:
    // F10 (with Shift too) asks for the keyboard's way into the menu.
    if (wParam == VK_F10) SendMessageW(hwnd, WM_SYSCOMMAND, SC_KEYMENU, 0);
    return 0;
  case WM_CANCELMODE:
    if (GetCapture() == hwnd) ReleaseCapture();
    return 0;
  default: return 0;
  }
}
