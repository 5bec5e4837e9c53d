// The clipboard: bitmaps (CF_DIB, CF_BITMAP) through the desktop's clipboard as images.

#include "platform/core/globalmem.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/internal/WindowTable.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <map>

namespace qvui {

namespace {

bool g_open = false;
std::map<UINT, HANDLE> g_handles;  // what the clipboard holds or has handed out, freed on change

void FreeHandles() {
  for (auto& [format, handle] : g_handles) {
    if (format == CF_DIB) GlobalFree(handle);
    else if (format == CF_BITMAP) DeleteObject(handle);
  }
  g_handles.clear();
}

QImage ClipboardImage() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasImage()) return QImage();
  return qvariant_cast<QImage>(data->imageData());
}

}  // namespace

}  // namespace qvui

using namespace qvui;

BOOL OpenClipboard(HWND) {
  if (g_open || !qApp) return FALSE;
  g_open = true;
  return TRUE;
}

BOOL CloseClipboard() {
  if (!g_open) return FALSE;
  g_open = false;
  return TRUE;
}

BOOL EmptyClipboard() {
  if (!g_open) return FALSE;
  FreeHandles();
  QGuiApplication::clipboard()->clear();
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  if (!g_open || !data || (format != CF_DIB && format != CF_BITMAP)) return nullptr;
  QImage image;
  if (format == CF_DIB) {
    auto* bytes = static_cast<const BYTE*>(GlobalLock(data));
    image = ImageOfPackedDib(bytes, GlobalSize(data));
    GlobalUnlock(data);
  } else {
    image = ImageOfBitmap(static_cast<HBITMAP>(data));
  }
  if (image.isNull()) return nullptr;
  FreeHandles();
  g_handles[format] = data;  // the clipboard owns the data from now on
  QGuiApplication::clipboard()->setImage(image);
  return data;
}

HANDLE GetClipboardData(UINT format) {
  if (!g_open || (format != CF_DIB && format != CF_BITMAP)) return nullptr;
  if (auto it = g_handles.find(format); it != g_handles.end()) return it->second;
  QImage image = ClipboardImage();
  if (image.isNull()) return nullptr;
  HANDLE made = format == CF_DIB ? static_cast<HANDLE>(PackedDibOfImage(image)) : static_cast<HANDLE>(BitmapOfImage(image));
  if (made) g_handles[format] = made;
  return made;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  if (format != CF_DIB && format != CF_BITMAP) return FALSE;
  return !ClipboardImage().isNull();
}
