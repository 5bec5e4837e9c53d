// The STATIC class: text (left, centred or right, wrapped unless SS_LEFTNOWORDWRAP or
// SS_SIMPLE), etched lines and frames, filled rectangles, bitmaps and owner-drawn statics. A
// static paints itself with the drawing layer, so a window that subclasses it and paints draws
// alone; its parent chooses the colours with WM_CTLCOLORSTATIC, and a hollow brush (NULL_BRUSH)
// lets what the parent drew under the static show through.

#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/WindowHost.h"

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"

#include <map>

namespace qvui {

namespace {

std::map<HWND, HANDLE>& Images() {
  static std::map<HWND, HANDLE> images;
  return images;
}

QWidget* MakeStatic(HWND hwnd, QWidget* host) { return new ClientArea(hwnd, host); }

void PaintText(HWND hwnd, CDC& dc, const CRect& client, DWORD style) {
  WindowRecord* rec = Find(hwnd);
  HGDIOBJ font = rec->font ? static_cast<HGDIOBJ>(rec->font) : GetStockObject(DEFAULT_GUI_FONT);
  HGDIOBJ old = SelectObject(dc, font);
  UINT format = DT_TOP;
  switch (style & SS_TYPEMASK) {
  case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
  case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
  case SS_SIMPLE:
  case SS_LEFTNOWORDWRAP: format |= DT_LEFT | DT_SINGLELINE; break;
  default: format |= DT_LEFT | DT_WORDBREAK; break;
  }
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_CENTERIMAGE) format = (format & ~(DT_TOP | DT_WORDBREAK)) | DT_VCENTER | DT_SINGLELINE;
  if (style & SS_ENDELLIPSIS) format |= DT_END_ELLIPSIS;
  if (!IsWindowEnabled(hwnd)) dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
  CRect r = client;
  dc.DrawText(rec->text, &r, format);
  SelectObject(dc, old);
}

void Paint(HWND hwnd) {
  PAINTSTRUCT ps {};
  HDC hdc = BeginPaint(hwnd, &ps);
  CDC& dc = *CDC::FromHandle(hdc);
  WindowRecord* rec = Find(hwnd);
  DWORD style = rec->style;
  CRect client;
  GetClientRect(hwnd, &client);
  DWORD type = style & SS_TYPEMASK;
  if (type == SS_OWNERDRAW) {
    DRAWITEMSTRUCT dis {ODT_STATIC, static_cast<UINT>(rec->id), 0, ODA_DRAWENTIRE, 0, hwnd, hdc, client, 0};
    if (!IsWindowEnabled(hwnd)) dis.itemState |= ODS_DISABLED;
    if (rec->parent) SendMessageW(rec->parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    EndPaint(hwnd, &ps);
    return;
  }
  // The parent chooses the colours and the background brush; the text goes on transparently.
  dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
  dc.SetBkColor(GetSysColor(COLOR_BTNFACE));
  HBRUSH brush = rec->parent ? reinterpret_cast<HBRUSH>(SendMessageW(rec->parent, WM_CTLCOLORSTATIC,
                                                                      reinterpret_cast<WPARAM>(hdc),
                                                                      reinterpret_cast<LPARAM>(hwnd)))
                             : nullptr;
  rec = Find(hwnd);
  if (!rec) return;
  LOGBRUSH kind {};
  if (brush && GetObjectW(brush, sizeof kind, &kind) && kind.lbStyle == BS_NULL && rec->parent) {
    POINT at {0, 0};
    MapWindowPoints(hwnd, rec->parent, &at, 1);
    HDC parentDC = GetDC(rec->parent);
    ::BitBlt(hdc, 0, 0, client.Width(), client.Height(), parentDC, at.x, at.y, SRCCOPY);
    ReleaseDC(rec->parent, parentDC);
  } else {
    dc.FillRect(&client, CBrush::FromHandle(brush ? brush : GetSysColorBrush(COLOR_BTNFACE)));
  }
  dc.SetBkMode(TRANSPARENT);
  switch (type) {
  case SS_ETCHEDHORZ:
    dc.Draw3dRect(client.left, client.top, client.Width(), 2, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    break;
  case SS_ETCHEDVERT:
    dc.Draw3dRect(client.left, client.top, 2, client.Height(), GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    break;
  case SS_ETCHEDFRAME: {
    CRect r = client;
    dc.DrawEdge(&r, EDGE_ETCHED, BF_RECT);
    break;
  }
  case SS_BLACKRECT: dc.FillSolidRect(&client, GetSysColor(COLOR_WINDOWFRAME)); break;
  case SS_GRAYRECT: dc.FillSolidRect(&client, GetSysColor(COLOR_BTNSHADOW)); break;
  case SS_WHITERECT: dc.FillSolidRect(&client, GetSysColor(COLOR_WINDOW)); break;
  case SS_BLACKFRAME: dc.Draw3dRect(&client, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME)); break;
  case SS_GRAYFRAME: dc.Draw3dRect(&client, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW)); break;
  case SS_WHITEFRAME: dc.Draw3dRect(&client, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOW)); break;
  case SS_BITMAP: {
    auto it = Images().find(hwnd);
    BITMAP bm {};
    if (it != Images().end() && GetObjectW(it->second, sizeof bm, &bm)) {
      HDC memory = CreateCompatibleDC(hdc);
      HGDIOBJ old = SelectObject(memory, it->second);
      int x = (style & SS_CENTERIMAGE) ? (client.Width() - bm.bmWidth) / 2 : 0;
      int y = (style & SS_CENTERIMAGE) ? (client.Height() - bm.bmHeight) / 2 : 0;
      ::BitBlt(hdc, x, y, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteDC(memory);
    }
    break;
  }
  case SS_ICON: break;  // icons are drawn by the windows that own them
  default: PaintText(hwnd, dc, client, style); break;
  }
  EndPaint(hwnd, &ps);
}

LRESULT StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_PAINT: Paint(hwnd); return 0;
  case WM_ERASEBKGND: return TRUE;  // the paint fills the background with the parent's brush
  case WM_SETTEXT:
    DefWindowProcW(hwnd, message, wParam, lParam);
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
  case WM_SETFONT:
    DefWindowProcW(hwnd, message, wParam, lParam);
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
  case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
  case STM_SETIMAGE: {
    if (wParam != IMAGE_BITMAP) return 0;
    HANDLE& slot = Images()[hwnd];
    HANDLE old = slot;
    slot = reinterpret_cast<HANDLE>(lParam);
    InvalidateRect(hwnd, nullptr, TRUE);
    return reinterpret_cast<LRESULT>(old);
  }
  case STM_GETIMAGE: {
    auto it = Images().find(hwnd);
    return wParam == IMAGE_BITMAP && it != Images().end() ? reinterpret_cast<LRESULT>(it->second) : 0;
  }
  case WM_NCHITTEST:
    // Statics let the mouse through to their parent unless they notify.
    if (!(GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY)) return HTTRANSPARENT;
    return HTCLIENT;
  case WM_LBUTTONDOWN: NotifyParent(hwnd, STN_CLICKED); return 0;
  case WM_LBUTTONDBLCLK: NotifyParent(hwnd, STN_DBLCLK); return 0;
  case WM_GETDLGCODE: return DLGC_STATIC;
  case WM_NCDESTROY:
    Images().erase(hwnd);
    return DefWindowProcW(hwnd, message, wParam, lParam);
  default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void RegisterStaticClass() {
  RegisterControl({WC_STATICW, StaticProc, MakeStatic, -1});
}

}  // namespace qvui
