// Painting: each window keeps what was drawn into it in a surface of its own, so drawing outside a
// paint message stays; the update region collects what must be drawn again, WM_NCPAINT and
// WM_PAINT draw it, and the widget copies the surface to the screen.

#include "platform/ui/WindowHost.h"
#include "platform/ui/WindowTable.h"
#include "platform/ui/syscolor.h"

#include <QPaintEvent>
#include <QPainter>

namespace qvui {

namespace {

HWND g_painting = nullptr;  // the window whose widget is copying its surface to the screen

QColor ColorOfSys(int index) {
  static const QRgb table[] = {
      qRgb(212, 208, 200), qRgb(58, 110, 165),  qRgb(10, 36, 106),   qRgb(128, 128, 128), qRgb(212, 208, 200),
      qRgb(255, 255, 255), qRgb(0, 0, 0),       qRgb(0, 0, 0),       qRgb(0, 0, 0),       qRgb(255, 255, 255),
      qRgb(212, 208, 200), qRgb(212, 208, 200), qRgb(128, 128, 128), qRgb(10, 36, 106),   qRgb(255, 255, 255),
      qRgb(212, 208, 200), qRgb(128, 128, 128), qRgb(128, 128, 128), qRgb(0, 0, 0),       qRgb(212, 208, 200),
      qRgb(255, 255, 255), qRgb(64, 64, 64),    qRgb(212, 208, 200), qRgb(0, 0, 0),       qRgb(255, 255, 225),
      qRgb(181, 181, 181), qRgb(0, 0, 128),     qRgb(166, 202, 240), qRgb(192, 192, 192),
  };
  if (index < 0 || index >= static_cast<int>(std::size(table))) return QColor(0, 0, 0);
  return QColor(table[index]);
}

}  // namespace

QColor SysColor(int index) { return ColorOfSys(index); }

QRect ClientInSurface(const WindowRecord& rec) { return rec.client.translated(-rec.frame.left(), -rec.frame.top()); }

void ResizeSurface(WindowRecord& rec, bool redrawAll) {
  QSize size = IsTopLevel(rec) ? rec.window.marginsRemoved(rec.frame).size() : rec.window.size();
  size = size.expandedTo(QSize(0, 0));
  QImage old = rec.surface;
  QRect oldClient = rec.paintedClient;
  if (size.isEmpty()) {
    rec.surface = QImage();
  } else if (old.size() != size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(ColorOfSys(COLOR_WINDOW));
    if (!old.isNull() && !redrawAll) {
      QPainter p(&image);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.drawImage(0, 0, old);
    }
    rec.surface = image;
  }
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
  WindowRecord* rec = Find(hwnd);
  if (!rec) return;
  if (rec->eraseInvalid) {
    rec->eraseInvalid = false;
    SendMessageW(hwnd, WM_ERASEBKGND, 0, 0);
    rec = Find(hwnd);
    if (!rec) return;
  }
  QRect bounds = rec->invalid.boundingRect().translated(ClientInSurface(*rec).topLeft());
  rec->invalid = QRegion();
  FlushToScreen(*rec, bounds);
}

BOOL EraseBackground(WindowRecord& rec, const QRegion& clientRegion) {
  auto brush = reinterpret_cast<std::uintptr_t>(rec.windowClass->background);
  if (!brush || brush > 32 || rec.surface.isNull()) return FALSE;
  QRect client = ClientInSurface(rec);
  QPainter p(&rec.surface);
  p.setClipRect(client);
  QRegion r = clientRegion.translated(client.topLeft());
  for (const QRect& part : r) p.fillRect(part, ColorOfSys(static_cast<int>(brush) - 1));
  FlushToScreen(rec, r.boundingRect());
  return TRUE;
}

void WindowHost::paintEvent(QPaintEvent* e) {
  HWND saved = g_painting;
  g_painting = m_hwnd;
  PaintNow(m_hwnd);
  g_painting = saved;
  WindowRecord* rec = Find(m_hwnd);
  if (!rec || rec->surface.isNull()) return;
  QPainter p(this);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(e->rect(), rec->surface, e->rect());
}

}  // namespace qvui

using namespace qvui;

BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase) {
  if (!hwnd) {
    for (HWND h : TopLevelWindows()) InvalidateRect(h, nullptr, erase);
    return TRUE;
  }
  WindowRecord* rec = Get(hwnd);
  if (!rec || rec->remote) return FALSE;
  QRect all(QPoint(), rec->client.size());
  QRect r = rect ? QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)) : all;
  Invalidate(*rec, QRegion(r), erase);
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, LPCRECT rect) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return FALSE;
  if (!rect) {
    rec->invalid = QRegion();
    rec->eraseInvalid = false;
  } else {
    rec->invalid -= QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1));
  }
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  if (!Get(hwnd)) return FALSE;
  PaintNow(hwnd);
  return TRUE;
}

BOOL RedrawWindow(HWND hwnd, LPCRECT rect, HRGN, UINT flags) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return FALSE;
  QRect all(QPoint(), rec->client.size());
  QRect r = rect ? QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1)) : all;
  if (flags & RDW_INVALIDATE) Invalidate(*rec, QRegion(r), flags & RDW_ERASE);
  if (flags & RDW_FRAME) InvalidateFrame(*rec);
  if (flags & RDW_VALIDATE) rec->invalid -= r;
  if (flags & RDW_ALLCHILDREN) {
    std::vector<HWND> children = rec->children;
    for (HWND child : children) RedrawWindow(child, nullptr, nullptr, flags & ~RDW_UPDATENOW);
  }
  if (flags & RDW_ERASENOW) {
    rec = Find(hwnd);
    if (rec && rec->eraseInvalid) {
      rec->eraseInvalid = false;
      SendMessageW(hwnd, WM_ERASEBKGND, 0, 0);
    }
  }
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
  if (erase && rec->eraseInvalid && !b.isEmpty()) {
    rec->eraseInvalid = false;
    SendMessageW(hwnd, WM_ERASEBKGND, 0, 0);
  }
  return !b.isEmpty();
}
