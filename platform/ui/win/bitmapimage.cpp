// Pictures between the drawing layer's bitmaps and Qt images: menu icons, the clipboard.

#include "platform/gdi/gdi.h"
#include "platform/ui/internal/WindowTable.h"

#include "platform/core/globalmem.h"

#include <QIcon>
#include <QPixmap>

#include <cstring>
#include <vector>

namespace qvui {

QImage ImageOfBitmap(HBITMAP bitmap) {
  BITMAP bm {};
  if (!bitmap || GetObjectW(bitmap, sizeof bm, &bm) != sizeof bm || bm.bmWidth <= 0 || bm.bmHeight <= 0)
    return QImage();
  QImage image(bm.bmWidth, bm.bmHeight, QImage::Format_RGB32);
  BITMAPINFO info {};
  info.bmiHeader = BITMAPINFOHEADER {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  int lines = GetDIBits(nullptr, bitmap, 0, static_cast<UINT>(bm.bmHeight), image.bits(), &info, DIB_RGB_COLORS);
  if (lines != bm.bmHeight) return QImage();
  // A DIB leaves the fourth byte 0; Qt takes it as the alpha of what it draws.
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) line[x] |= 0xFF000000u;
  }
  return image;
}

HBITMAP BitmapOfImage(const QImage& source) {
  if (source.isNull()) return nullptr;
  QImage image = source.convertToFormat(QImage::Format_RGB32);
  return CreateBitmap(image.width(), image.height(), 1, 32, image.constBits());
}

QImage ImageOfPackedDib(const BYTE* data, SIZE_T size) {
  if (!data || size < sizeof(BITMAPINFOHEADER)) return QImage();
  BITMAPINFOHEADER h;
  std::memcpy(&h, data, sizeof h);
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > size || h.biCompression != BI_RGB || h.biPlanes != 1)
    return QImage();
  const LONG maxSide = 32767;
  LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  if (h.biWidth <= 0 || h.biWidth > maxSide || height <= 0 || height > maxSide) return QImage();
  if (h.biBitCount != 1 && h.biBitCount != 4 && h.biBitCount != 8 && h.biBitCount != 24 && h.biBitCount != 32)
    return QImage();
  SIZE_T colours = h.biBitCount <= 8 ? (h.biClrUsed ? h.biClrUsed : (SIZE_T(1) << h.biBitCount)) : 0;
  if (colours > 256) return QImage();
  SIZE_T stride = ((SIZE_T(h.biWidth) * h.biBitCount + 31) / 32) * 4;
  SIZE_T bitsOffset = h.biSize + colours * 4;
  if (bitsOffset > size || stride * SIZE_T(height) > size - bitsOffset) return QImage();
  // The DIB is copied into a record of its own, so that the header the drawing layer reads is
  // the standard one whatever size the block's header had.
  std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + colours * 4);
  BITMAPINFOHEADER standard = h;
  standard.biSize = sizeof(BITMAPINFOHEADER);
  std::memcpy(info.data(), &standard, sizeof standard);
  std::memcpy(info.data() + sizeof standard, data + h.biSize, colours * 4);
  auto surface = std::make_shared<CImageSurface>(h.biWidth, height);
  HDC dc = CreateDCForSurface(surface);
  int lines = SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(h.biWidth), static_cast<DWORD>(height), 0, 0, 0,
                                static_cast<UINT>(height), data + bitsOffset,
                                reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
  DeleteDC(dc);
  return lines == height ? surface->Image() : QImage();
}

HGLOBAL PackedDibOfImage(const QImage& source) {
  if (source.isNull()) return nullptr;
  QImage image = source.convertToFormat(QImage::Format_RGB32);
  int w = image.width(), h = image.height();
  SIZE_T stride = ((SIZE_T(w) * 24 + 31) / 32) * 4;
  SIZE_T size = sizeof(BITMAPINFOHEADER) + stride * SIZE_T(h);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* bytes = static_cast<BYTE*>(GlobalLock(block));
  if (!bytes) {
    GlobalFree(block);
    return nullptr;
  }
  BITMAPINFOHEADER header {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, static_cast<DWORD>(stride * SIZE_T(h)),
                           3780, 3780, 0, 0};
  std::memcpy(bytes, &header, sizeof header);
  for (int y = 0; y < h; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(h - 1 - y));  // bottom-up rows
    BYTE* out = bytes + sizeof header + stride * SIZE_T(y);
    for (int x = 0; x < w; ++x) {
      out[3 * x] = static_cast<BYTE>(qBlue(line[x]));
      out[3 * x + 1] = static_cast<BYTE>(qGreen(line[x]));
      out[3 * x + 2] = static_cast<BYTE>(qRed(line[x]));
    }
  }
  GlobalUnlock(block);
  return block;
}

QIcon MenuIcon(HBITMAP unchecked, HBITMAP checked) {
  QIcon icon;
  QImage off = ImageOfBitmap(unchecked);
  QImage on = ImageOfBitmap(checked);
  if (!off.isNull()) icon.addPixmap(QPixmap::fromImage(off), QIcon::Normal, QIcon::Off);
  if (!on.isNull()) icon.addPixmap(QPixmap::fromImage(on), QIcon::Normal, QIcon::On);
  return icon;
}

}  // namespace qvui
