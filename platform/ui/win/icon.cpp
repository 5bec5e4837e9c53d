// Icons: pictures with transparency. The desktop's icons are the style's standard pictures; the
// program's are kept as images with an alpha channel, drawn into device contexts as a mask and a
// colour picture (where alpha is below one half the icon is transparent).

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/ModuleImages.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/internal/WindowTable.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

#include <map>
#include <mutex>

namespace qvui {

namespace {

constexpr std::uintptr_t kFirstDesktopIcon = 32512;
constexpr std::uintptr_t kLastDesktopIcon = 32517;

struct IconTable {
  std::mutex lock;
  std::map<HICON, QImage> images;
  std::map<qint64, HICON> loaded;  // a module's icons by their picture: one handle, never destroyed
  std::uintptr_t next {0x20000};
};

IconTable& Icons() {
  static IconTable table;
  return table;
}

std::uintptr_t IdOf(HICON icon) { return reinterpret_cast<std::uintptr_t>(icon); }

QImage DesktopIcon(std::uintptr_t id) {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (!app) return QImage();
  static const QStyle::StandardPixmap pictures[] = {QStyle::SP_DesktopIcon,         QStyle::SP_MessageBoxCritical,
                                                    QStyle::SP_MessageBoxQuestion,  QStyle::SP_MessageBoxWarning,
                                                    QStyle::SP_MessageBoxInformation, QStyle::SP_DesktopIcon};
  int size = GetSystemMetrics(SM_CXICON);
  return QApplication::style()
      ->standardIcon(pictures[id - kFirstDesktopIcon])
      .pixmap(size, size)
      .toImage()
      .convertToFormat(QImage::Format_ARGB32)
      .scaled(size, size);
}

}  // namespace

QImage ImageOfIcon(HICON icon) {
  std::uintptr_t id = IdOf(icon);
  if (id >= kFirstDesktopIcon && id <= kLastDesktopIcon) return DesktopIcon(id);
  IconTable& t = Icons();
  std::lock_guard<std::mutex> guard(t.lock);
  auto it = t.images.find(icon);
  return it == t.images.end() ? QImage() : it->second;
}

HICON IconOfImage(const QImage& image) {
  if (image.isNull()) return nullptr;
  IconTable& t = Icons();
  std::lock_guard<std::mutex> guard(t.lock);
  auto icon = reinterpret_cast<HICON>(t.next++);
  t.images[icon] = image.convertToFormat(QImage::Format_ARGB32);
  return icon;
}

}  // namespace qvui

using namespace qvui;

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
  if (instance) {
    QImage image = FindModuleImage(instance, ModuleImageKind::Icon, name).image;
    if (image.isNull()) return nullptr;
    IconTable& t = Icons();
    {
      std::lock_guard<std::mutex> guard(t.lock);
      auto it = t.loaded.find(image.cacheKey());
      if (it != t.loaded.end()) return it->second;
    }
    HICON icon = IconOfImage(image);
    std::lock_guard<std::mutex> guard(t.lock);
    t.loaded[image.cacheKey()] = icon;
    return icon;
  }
  if (!IS_INTRESOURCE(name)) return nullptr;
  std::uintptr_t id = reinterpret_cast<std::uintptr_t>(name);
  return id >= kFirstDesktopIcon && id <= kLastDesktopIcon ? reinterpret_cast<HICON>(id) : nullptr;
}

HICON CreateIconIndirect(PICONINFO info) {
  if (!info) return nullptr;
  QImage colour = ImageOfBitmap(info->hbmColor);
  if (colour.isNull()) return nullptr;
  QImage mask = ImageOfBitmap(info->hbmMask);
  QImage image = colour.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      bool transparent = x < mask.width() && y < mask.height() && qGray(mask.pixel(x, y)) >= 128;
      line[x] = transparent ? qRgba(0, 0, 0, 0) : (line[x] | 0xFF000000u);
    }
  }
  return IconOfImage(image);
}

BOOL DestroyIcon(HICON icon) {
  std::uintptr_t id = IdOf(icon);
  if (id >= kFirstDesktopIcon && id <= kLastDesktopIcon) return TRUE;
  IconTable& t = Icons();
  std::lock_guard<std::mutex> guard(t.lock);
  for (const auto& [picture, shared] : t.loaded)
    if (shared == icon) return TRUE;
  return t.images.erase(icon) ? TRUE : FALSE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH flickerFree, UINT flags) {
  QImage image = ImageOfIcon(icon);
  if (image.isNull() || !(flags & DI_NORMAL)) return FALSE;
  if (cx <= 0) cx = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(SM_CXICON) : image.width();
  if (cy <= 0) cy = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(SM_CYICON) : image.height();
  if (image.size() != QSize(cx, cy)) image = image.scaled(cx, cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  // The mask is white where the icon is transparent; the picture is black there.
  QImage mask(cx, cy, QImage::Format_RGB32), picture(cx, cy, QImage::Format_RGB32);
  for (int row = 0; row < cy; ++row)
    for (int col = 0; col < cx; ++col) {
      QRgb p = image.pixel(col, row);
      bool transparent = qAlpha(p) < 128;
      mask.setPixel(col, row, transparent ? 0xFFFFFFFFu : 0xFF000000u);
      picture.setPixel(col, row, transparent ? 0xFF000000u : (p | 0xFF000000u));
    }
  CDC* target = CDC::FromHandle(dc);
  if (!target) return FALSE;
  if (flickerFree) {
    CRect area(x, y, x + cx, y + cy);
    target->FillRect(&area, CBrush::FromHandle(flickerFree));
  }
  HBITMAP maskBitmap = BitmapOfImage(mask), pictureBitmap = BitmapOfImage(picture);
  HDC memory = CreateCompatibleDC(dc);
  BOOL done = memory && maskBitmap && pictureBitmap;
  if (done) {
    HGDIOBJ old = SelectObject(memory, maskBitmap);
    if ((flags & DI_NORMAL) == DI_MASK) {
      done = BitBlt(dc, x, y, cx, cy, memory, 0, 0, SRCCOPY);
    } else if ((flags & DI_NORMAL) == DI_IMAGE) {
      SelectObject(memory, pictureBitmap);
      done = BitBlt(dc, x, y, cx, cy, memory, 0, 0, SRCCOPY);
    } else {
      done = BitBlt(dc, x, y, cx, cy, memory, 0, 0, SRCAND);
      SelectObject(memory, pictureBitmap);
      done = done && BitBlt(dc, x, y, cx, cy, memory, 0, 0, SRCINVERT);
    }
    SelectObject(memory, old);
  }
  if (memory) DeleteDC(memory);
  if (maskBitmap) DeleteObject(maskBitmap);
  if (pictureBitmap) DeleteObject(pictureBitmap);
  return done;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
  return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}
