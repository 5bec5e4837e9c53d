// Image lists: their pictures as Qt images with an alpha channel for the masked-out pixels.

#include "platform/ui/internal/ImageListData.h"

#include "platform/gdi/gdi.h"
#include "platform/ui/internal/WindowTable.h"

#include <QPainter>

#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace qvui {

namespace {

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

std::map<HIMAGELIST, std::unique_ptr<ImageListData>>& Lists() {
  static std::map<HIMAGELIST, std::unique_ptr<ImageListData>> lists;
  return lists;
}

ImageListData* FindImageList(HIMAGELIST list) {
  auto it = Lists().find(list);
  return it == Lists().end() ? nullptr : it->second.get();
}

// Cuts a bitmap strip into images; `transparent` says which pixels to clear.
int AddStrip(ImageListData& list, const QImage& strip, const std::function<bool(int x, int y)>& transparent) {
  if (strip.isNull() || strip.width() < list.cx || strip.height() < list.cy) return -1;
  int first = static_cast<int>(list.images.size());
  for (int left = 0; left + list.cx <= strip.width(); left += list.cx) {
    QImage image = strip.copy(left, 0, list.cx, list.cy).convertToFormat(QImage::Format_ARGB32);
    if (list.masked)
      for (int y = 0; y < list.cy; ++y)
        for (int x = 0; x < list.cx; ++x)
          if (transparent(left + x, y)) image.setPixel(x, y, 0);
    list.images.push_back(image);
  }
  return first;
}

}  // namespace

QPixmap ImageListPixmap(HIMAGELIST list, int index) {
  std::lock_guard<std::mutex> guard(Lock());
  ImageListData* data = FindImageList(list);
  if (!data || index < 0 || index >= static_cast<int>(data->images.size())) return QPixmap();
  return QPixmap::fromImage(data->images[static_cast<size_t>(index)]);
}

QSize ImageListSize(HIMAGELIST list) {
  std::lock_guard<std::mutex> guard(Lock());
  ImageListData* data = FindImageList(list);
  return data ? QSize(data->cx, data->cy) : QSize();
}

}  // namespace qvui

using namespace qvui;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int) {
  if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096) return nullptr;
  static std::uintptr_t next = 0x1000;
  std::lock_guard<std::mutex> guard(Lock());
  auto handle = reinterpret_cast<HIMAGELIST>(next += 4);
  auto data = std::make_unique<ImageListData>();
  data->cx = cx;
  data->cy = cy;
  data->masked = flags & ILC_MASK;
  Lists()[handle] = std::move(data);
  return handle;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
  std::lock_guard<std::mutex> guard(Lock());
  return Lists().erase(list) ? TRUE : FALSE;
}

int ImageList_GetImageCount(HIMAGELIST list) {
  std::lock_guard<std::mutex> guard(Lock());
  ImageListData* data = FindImageList(list);
  return data ? static_cast<int>(data->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
  QSize size = ImageListSize(list);
  if (size.isEmpty()) return FALSE;
  if (cx) *cx = size.width();
  if (cy) *cy = size.height();
  return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  QImage strip = ImageOfBitmap(image);
  QImage maskImage = mask ? ImageOfBitmap(mask) : QImage();
  std::lock_guard<std::mutex> guard(Lock());
  ImageListData* data = FindImageList(list);
  if (!data) return -1;
  return AddStrip(*data, strip, [&maskImage](int x, int y) {
    return !maskImage.isNull() && x < maskImage.width() && y < maskImage.height() && qGray(maskImage.pixel(x, y)) > 127;
  });
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask) {
  QImage strip = ImageOfBitmap(image);
  QRgb key = qRgb(GetRValue(mask), GetGValue(mask), GetBValue(mask));
  std::lock_guard<std::mutex> guard(Lock());
  ImageListData* data = FindImageList(list);
  if (!data) return -1;
  return AddStrip(*data, strip, [&strip, key](int x, int y) { return (strip.pixel(x, y) & 0xFFFFFF) == (key & 0xFFFFFF); });
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
  std::lock_guard<std::mutex> guard(Lock());
  ImageListData* data = FindImageList(list);
  if (!data) return FALSE;
  if (index == -1) {
    data->images.clear();
    return TRUE;
  }
  if (index < 0 || index >= static_cast<int>(data->images.size())) return FALSE;
  data->images.erase(data->images.begin() + index);
  return TRUE;
}

BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask) {
  HIMAGELIST scratch = nullptr;
  {
    std::lock_guard<std::mutex> guard(Lock());
    ImageListData* data = FindImageList(list);
    if (!data || index < 0 || index >= static_cast<int>(data->images.size())) return FALSE;
  }
  QSize size = ImageListSize(list);
  scratch = ImageList_Create(size.width(), size.height(), ILC_MASK, 1, 0);
  if (ImageList_Add(scratch, image, mask) < 0) {
    ImageList_Destroy(scratch);
    return FALSE;
  }
  std::lock_guard<std::mutex> guard(Lock());
  FindImageList(list)->images[static_cast<size_t>(index)] = FindImageList(scratch)->images.front();
  Lists().erase(scratch);
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour) {
  std::lock_guard<std::mutex> guard(Lock());
  ImageListData* data = FindImageList(list);
  if (!data) return CLR_NONE;
  COLORREF old = data->background;
  data->background = colour;
  return old;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  QPixmap pixmap = ImageListPixmap(list, index);
  if (pixmap.isNull() || !dc) return FALSE;
  QImage image = pixmap.toImage();
  COLORREF background = CLR_NONE;
  {
    std::lock_guard<std::mutex> guard(Lock());
    if (ImageListData* data = FindImageList(list)) background = data->background;
  }
  // The picture on its mask: the mask keeps the destination where the picture is transparent.
  QImage mask(image.size(), QImage::Format_RGB32);
  QImage picture(image.size(), QImage::Format_RGB32);
  for (int py = 0; py < image.height(); ++py)
    for (int px = 0; px < image.width(); ++px) {
      QRgb p = image.pixel(px, py);
      bool clear = qAlpha(p) < 128 && ((style & ILD_TRANSPARENT) || background == CLR_NONE);
      mask.setPixel(px, py, clear ? 0xFFFFFFFF : 0xFF000000);
      if (!clear && qAlpha(p) < 128) p = qRgb(GetRValue(background), GetGValue(background), GetBValue(background));
      picture.setPixel(px, py, clear ? 0xFF000000 : (p | 0xFF000000));
    }
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP maskBitmap = BitmapOfImage(mask);
  HBITMAP pictureBitmap = BitmapOfImage(picture);
  HGDIOBJ old = SelectObject(memory, maskBitmap);
  BitBlt(dc, x, y, image.width(), image.height(), memory, 0, 0, SRCAND);
  SelectObject(memory, pictureBitmap);
  BitBlt(dc, x, y, image.width(), image.height(), memory, 0, 0, SRCPAINT);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(maskBitmap);
  DeleteObject(pictureBitmap);
  return TRUE;
}
