#include "foundation/util/DPXWindowDraw.h"

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CPen.h"
#include "platform/ui/afx/CWnd.h"

#include <algorithm>

BOOL DPXDrawBitmap(CDC* dc, CBitmap* bitmap, int x, int y, DWORD rop) {
  if (!dc || !bitmap || !bitmap->GetSafeHandle()) return FALSE;
  BITMAP bm {};
  if (bitmap->GetObject(sizeof bm, &bm) != sizeof bm || bm.bmWidth <= 0 || bm.bmHeight <= 0) return FALSE;
  CDC memory;
  if (!memory.CreateCompatibleDC(dc)) return FALSE;
  CBitmap* old = memory.SelectObject(bitmap);
  BOOL ok = dc->BitBlt(x, y, bm.bmWidth, bm.bmHeight, &memory, 0, 0, rop);
  memory.SelectObject(old);
  memory.DeleteDC();
  return ok;
}

BOOL DPXTrackRubberBand(CWnd* wnd, CDC* dc, int anchorX, int anchorY, CPen* pen, CBrush* brush, CRect& out) {
  if (!wnd || !::IsWindow(wnd->GetSafeHwnd()) || !dc) return FALSE;
  HWND hwnd = wnd->GetSafeHwnd();
  CBrush* oldBrush = dc->SelectObject(brush);
  CPen* oldPen = dc->SelectObject(pen);
  int oldMode = dc->SetROP2(R2_XORPEN);
  ::SetCapture(hwnd);
  CRect band(0, 0, 0, 0);
  auto draw = [&] { dc->Rectangle(&band); };
  auto finish = [&](BOOL taken) {
    draw();  // drawn a second time, the band is gone
    if (::GetCapture() == hwnd) ::ReleaseCapture();
    dc->SetROP2(oldMode);
    dc->SelectObject(oldPen);
    dc->SelectObject(oldBrush);
    if (taken) {
      out = band;
      out.NormalizeRect();
    }
    return taken;
  };
  for (;;) {
    MSG msg {};
    BOOL got = ::GetMessageW(&msg, hwnd, 0, 0);
    if (got == -1 || !::IsWindow(hwnd)) {
      // The window went away under the band: nothing left to draw or release.
      return FALSE;
    }
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return finish(FALSE);
    }
    switch (msg.message) {
    case WM_MOUSEMOVE: {
      draw();
      int x = GET_X_LPARAM(msg.lParam), y = GET_Y_LPARAM(msg.lParam);
      band = CRect(std::min(x, anchorX), std::min(y, anchorY), std::max(x, anchorX), std::max(y, anchorY));
      draw();
      break;
    }
    case WM_LBUTTONUP: return finish(TRUE);
    case WM_RBUTTONDOWN: return finish(FALSE);
    default:
      if (::GetCapture() != hwnd) return finish(FALSE);  // another window took the mouse
      break;
    }
  }
}
