// Painting: each window keeps what was drawn into it in a surface of its own, so drawing outside a
// paint message stays; the update region collects what must be drawn again, WM_NCPAINT and
// WM_PAINT draw it, and the widget copies the surface to the screen.

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/internal/WindowHost.h"
#include "platform/ui/internal/WindowTable.h"

#include <QPaintEvent>
#include <QPainter>

#include <vector>

namespace qvui {

namespace {

HWND g_painting = nullptr;  // the window whose widget is copying its surface to the screen
HWND g_locked = nullptr;    // the window whose updates are locked (LockWindowUpdate)

QRect FromRect(LPCRECT r) { return QRect(QPoint(r->left, r->top), QPoint(r->right - 1, r->bottom - 1)); }

}  // namespace

void WindowSurface::EndAccess(const QRect& changed) {
  if (changed.isEmpty()) return;
  if (WindowRecord* rec = Find(m_hwnd)) FlushToScreen(*rec, changed);
}

std::optional<QPoint> WindowSurface::ScreenPosition() const {
  const WindowRecord* rec = Find(m_hwnd);
  if (!rec) return std::nullopt;
  return WindowOrigin(*rec) + QPoint(rec->frame.left(), rec->frame.top());
}

QColor SysColor(int index) {
  COLORREF c = GetSysColor(index);
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QRect ClientInSurface(const WindowRecord& rec) { return rec.client.translated(-rec.frame.left(), -rec.frame.top()); }

QRegion RegionOf(HRGN region) {
  QRegion out;
  DWORD size = GetRegionData(region, 0, nullptr);
  if (!size) return out;
  std::vector<BYTE> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (GetRegionData(region, size, data) != size) return out;
  const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) out += FromRect(&rects[i]);
  return out;
}

void ResizeSurface(WindowRecord& rec, bool redrawAll) {
  QSize size = IsTopLevel(rec) ? rec.window.marginsRemoved(rec.frame).size() : rec.window.size();
  size = size.expandedTo(QSize(1, 1));
  QImage image(size, QImage::Format_RGB32);
  image.fill(SysColor(COLOR_WINDOW));
  QRect oldClient = rec.paintedClient;
  if (rec.surface && !redrawAll) {
    QPainter p(&image);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, rec.surface->Image());
  }
  if (!rec.surface) rec.surface = std::make_shared<WindowSurface>(rec.handle, image);
  else if (rec.surface->Image().size() != size) rec.surface->SetImage(image);
  rec.paintedClient = rec.client;
  QRect client(QPoint(), rec.client.size());
  if (redrawAll || oldClient.topLeft() != rec.client.topLeft()) {
    Invalidate(rec, QRegion(client), true);
  } else {
    Invalidate(rec, QRegion(client).subtracted(QRegion(QRect(QPoint(), oldClient.size()))), true);
  }
}

void FlushToScreen(WindowRecord& rec, const QRect& surfaceRect) {
  if (!rec.host || rec.handle == g_painting || surfaceRect.isEmpty()) return;
  rec.host->update(surfaceRect);
}

void Invalidate(WindowRecord& rec, const QRegion& clientRegion, bool erase) {
  QRegion r = clientRegion.intersected(QRect(QPoint(), rec.client.size()));
  if (r.isEmpty()) return;
  rec.invalid += r;
  rec.eraseInvalid = rec.eraseInvalid || erase;
  if (rec.host && rec.handle != g_painting) rec.host->update(r.translated(ClientInSurface(rec).topLeft()));
}

void InvalidateFrame(WindowRecord& rec) {
  rec.frameInvalid = true;
  if (rec.host && rec.handle != g_painting) rec.host->update();
}

HDC SurfaceDC(WindowRecord& rec, bool window, const QRegion* visible) {
  if (!rec.surface) return nullptr;
  QPoint origin = window ? QPoint(-rec.frame.left(), -rec.frame.top()) : ClientInSurface(rec).topLeft();
  QRegion area = window ? QRegion(QRect(QPoint(), rec.window.size())) : QRegion(QRect(QPoint(), rec.client.size()));
  if (visible) area &= *visible;
  return CreateDCForSurface(rec.surface, origin, area);
}

void EraseNow(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  if (!rec || !rec->eraseInvalid) return;
  rec->eraseInvalid = false;
  QRegion area = rec->invalid;
  HDC dc = SurfaceDC(*rec, false, &area);
  SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  DeleteDC(dc);
}

void PaintNow(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  if (!rec || rec->paintDepth > 0 || rec->destroying || !IsWindowVisible(hwnd)) return;
  if (rec->frameInvalid) {
    rec->frameInvalid = false;
    SendMessageW(hwnd, WM_NCPAINT, 1, 0);
    rec = Find(hwnd);
    if (!rec) return;
  }
  if (rec->invalid.isEmpty()) return;
  SendMessageW(hwnd, WM_PAINT, 0, 0);
  // A handler that neither painted nor let the default validate would be asked again and again.
  rec = Find(hwnd);
  if (rec && rec->paintDepth == 0 && !rec->invalid.isEmpty()) {
    rec->invalid = QRegion();
    rec->eraseInvalid = false;
  }
}

void ValidatePaint(HWND hwnd) {
  PAINTSTRUCT ps;
  if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
}

BOOL EraseBackground(WindowRecord& rec, HDC dc) {
  auto value = reinterpret_cast<std::uintptr_t>(rec.windowClass->background);
  if (!value || !dc) return FALSE;
  // A class background of COLOR_x + 1 stands for that system colour.
  HBRUSH brush = value <= 31 ? GetSysColorBrush(static_cast<int>(value) - 1) : rec.windowClass->background;
  CRect client(0, 0, rec.client.width(), rec.client.height());
  CDC::FromHandle(dc)->FillRect(&client, CBrush::FromHandle(brush));
  return TRUE;
}

void WindowHost::paintEvent(QPaintEvent* e) {
  HWND saved = g_painting;
  g_painting = m_hwnd;
  PaintNow(m_hwnd);
  g_painting = saved;
  WindowRecord* rec = Find(m_hwnd);
  if (!rec || !rec->surface) return;
  QPainter p(this);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(e->rect(), rec->surface->Image(), e->rect());
}

}  // namespace qvui

using namespace qvui;

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || !paint) return nullptr;
  *paint = PAINTSTRUCT {};
  ++rec->paintDepth;
  bool erase = rec->eraseInvalid;
  if (erase) {
    EraseNow(hwnd);
    rec = Find(hwnd);
    if (!rec) return nullptr;
  }
  QRegion area = rec->invalid;
  QRect bounds = area.boundingRect();
  paint->rcPaint = RECT {bounds.left(), bounds.top(), bounds.left() + bounds.width(), bounds.top() + bounds.height()};
  paint->fErase = FALSE;
  // BeginPaint validates: what is drawn from here on is what was asked for.
  rec->invalid = QRegion();
  paint->hdc = SurfaceDC(*rec, false, &area);
  return paint->hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
  if (paint && paint->hdc) DeleteDC(paint->hdc);
  if (WindowRecord* rec = Find(hwnd); rec && rec->paintDepth > 0) --rec->paintDepth;
  return TRUE;
}

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
  if (!hwnd || hwnd == GetDesktopWindow()) return CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr);
  WindowRecord* rec = Get(hwnd);
  if (!rec || rec->remote) return nullptr;
  bool window = flags & DCX_WINDOW;
  QRegion visible = window ? QRegion(QRect(QPoint(), rec->window.size())) : QRegion(QRect(QPoint(), rec->client.size()));
  if (clip && (flags & DCX_INTERSECTRGN)) visible &= RegionOf(clip);
  if (clip && (flags & DCX_EXCLUDERGN)) visible -= RegionOf(clip);
  return SurfaceDC(*rec, window, &visible);
}

HDC GetDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_CACHE); }
HDC GetWindowDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_WINDOW | DCX_CACHE); }
int ReleaseDC(HWND, HDC dc) { return DeleteDC(dc) ? 1 : 0; }

BOOL LockWindowUpdate(HWND hwnd) {
  // Handles are never reused, so a lock held by a window that is gone is simply dropped.
  if (g_locked && g_locked != GetDesktopWindow() && !IsLive(g_locked)) g_locked = nullptr;
  if (!hwnd) {
    g_locked = nullptr;
    return TRUE;
  }
  if (hwnd != GetDesktopWindow() && !Get(hwnd)) return FALSE;
  if (g_locked) return FALSE;
  g_locked = hwnd;
  return TRUE;
}

BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase) {
  if (!hwnd) {
    for (HWND h : TopLevelWindows()) InvalidateRect(h, nullptr, erase);
    return TRUE;
  }
  WindowRecord* rec = Get(hwnd);
  if (!rec || rec->remote) return FALSE;
  QRect all(QPoint(), rec->client.size());
  Invalidate(*rec, QRegion(rect ? FromRect(rect) : all), erase);
  return TRUE;
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || rec->remote) return FALSE;
  Invalidate(*rec, region ? RegionOf(region) : QRegion(QRect(QPoint(), rec->client.size())), erase);
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, LPCRECT rect) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return FALSE;
  if (!rect) {
    rec->invalid = QRegion();
    rec->eraseInvalid = false;
  } else {
    rec->invalid -= FromRect(rect);
  }
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  if (!Get(hwnd)) return FALSE;
  PaintNow(hwnd);
  return TRUE;
}

BOOL RedrawWindow(HWND hwnd, LPCRECT rect, HRGN region, UINT flags) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return FALSE;
  QRegion area(QRect(QPoint(), rec->client.size()));
  if (region) area = RegionOf(region);
  else if (rect) area = QRegion(FromRect(rect));
  if (flags & RDW_INVALIDATE) Invalidate(*rec, area, flags & RDW_ERASE);
  if (flags & RDW_FRAME) InvalidateFrame(*rec);
  if (flags & RDW_VALIDATE) rec->invalid -= area;
  if (flags & RDW_ALLCHILDREN) {
    std::vector<HWND> children = rec->children;
    for (HWND child : children) RedrawWindow(child, nullptr, nullptr, flags & ~RDW_UPDATENOW);
  }
  if (flags & RDW_ERASENOW) EraseNow(hwnd);
  if (flags & RDW_UPDATENOW) {
    PaintNow(hwnd);
    if (WindowRecord* again = Find(hwnd); again && (flags & RDW_ALLCHILDREN)) {
      std::vector<HWND> children = again->children;
      for (HWND child : children) RedrawWindow(child, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return FALSE;
  QRect b = rec->invalid.boundingRect();
  if (rect) *rect = RECT {b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
  if (erase && !b.isEmpty()) EraseNow(hwnd);
  return !b.isEmpty();
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || rec->remote) return 0;
  rec->shaped = region != nullptr;
  rec->shape = region ? RegionOf(region) : QRegion();
  if (region) DeleteObject(region);
  if (rec->host) {
    if (rec->shaped) rec->host->setMask(rec->shape.translated(-rec->frame.left(), -rec->frame.top()));
    else rec->host->clearMask();
  }
  if (redraw) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN region) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || !rec->shaped || !region) return ERROR;
  SetRectRgn(region, 0, 0, 0, 0);
  for (const QRect& r : rec->shape) {
    HRGN part = CreateRectRgn(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
    CombineRgn(region, region, part, RGN_OR);
    DeleteObject(part);
  }
  RECT box;
  return GetRgnBox(region, &box);
}
