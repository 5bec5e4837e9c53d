#include "platform/imaging/Paint.h"

#include "platform/gdi/CDCSurface.h"
#include "platform/gdi/gdi.h"
#include "platform/imaging/GreyRows.h"
#include "platform/imaging/Scale.h"
#include "platform/imaging/pixels.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace imaging {

namespace {

// The BITMAPINFO of a bitmap's pixels as they lie in memory (top-left bitmaps are top-down DIBs).
std::vector<BYTE> InfoOf(const Bitmap& b) {
  std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * static_cast<SIZE_T>(std::max(b.colorCount, 1)));
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = b.width;
  header.biHeight = b.perspective == kTopLeft ? -b.height : b.height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(b.bitsPerPixel);
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(b.imageSize);
  header.biClrUsed = static_cast<DWORD>(b.colorCount);
  std::memcpy(info.data(), &header, sizeof header);
  if (b.colorCount > 0) std::memcpy(info.data() + sizeof header, b.palette, sizeof(RGBQUAD) * b.colorCount);
  return info;
}

// Draws pixels in the DC's own way; `source` is in view coordinates of a BGR bitmap.
bool Blit(HDC dc, const Bitmap& b, const RECT& source, const RECT& destination, DWORD rop) {
  const std::vector<BYTE> info = InfoOf(b);
  const int sw = source.right - source.left, sh = source.bottom - source.top;
  // Bottom-up DIBs count their source rows from the bottom.
  const int sy = b.perspective == kTopLeft ? source.top : b.height - source.bottom;
  return StretchDIBits(dc, destination.left, destination.top, destination.right - destination.left,
                       destination.bottom - destination.top, source.left, sy, sw, sh, b.bits,
                       reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, rop) > 0;
}

// The part of a bitmap in view coordinates, as a bitmap of its own.
bool CutOut(const Bitmap& b, const RECT& part, Bitmap& target) {
  RECT stored = part;
  return RectToBitmap(b, kTopLeft, stored) &&
         CopyRect(target, b, stored.left, stored.top, stored.right - stored.left, stored.bottom - stored.top);
}

// The source reduced to the destination's size by the paint flags, or false when it is drawn
// as it is (not reduced, or no flag asks for a reduction of this depth). 1-bit pages reduced to
// grey are drawn row by row instead (Paint).
bool Reduce(const Bitmap& b, const RECT& source, int width, int height, UINT flags, Bitmap& reduced) {
  const int sw = source.right - source.left, sh = source.bottom - source.top;
  if (width >= sw && height >= sh) return false;
  if (b.bitsPerPixel == 1) {
    return (flags & kPaintFavorBlack) && CreateResampled(reduced, b, source, width, height, kResizeFavorBlack);
  }
  return (flags & (kPaintResample | kPaintScaleToGray)) && CreateResampled(reduced, b, source, width, height, kResizeResample);
}

// A device surface over a bitmap of the store: drawing calls see its pixels as an RGB32 image
// and write back the part they changed.
class BitmapSurface : public CDCSurface {
public:
  explicit BitmapSurface(Bitmap& bitmap) : m_bitmap(bitmap) {}

  QImage* BeginAccess() override {
    if (!m_bitmap.IsAllocated()) return nullptr;
    m_image = QImage(m_bitmap.width, m_bitmap.height, QImage::Format_RGB32);
    for (int y = 0; y < m_bitmap.height; ++y) {
      auto* out = reinterpret_cast<QRgb*>(m_image.scanLine(y));
      for (int x = 0; x < m_bitmap.width; ++x) {
        const COLORREF c = ShownColor(m_bitmap, y, x);
        out[x] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
      }
    }
    return &m_image;
  }

  void EndAccess(const QRect& changed) override {
    const QRect area = changed.intersected(QRect(0, 0, m_bitmap.width, m_bitmap.height));
    for (int y = area.top(); y <= area.bottom(); ++y) {
      const auto* in = reinterpret_cast<const QRgb*>(m_image.constScanLine(y));
      for (int x = area.left(); x <= area.right(); ++x) SetPixelColor(m_bitmap, y, x, RGB(qRed(in[x]), qGreen(in[x]), qBlue(in[x])));
    }
  }

  QSize GetSize() const override { return QSize(m_bitmap.width, m_bitmap.height); }
  bool IsMonochrome() const override { return m_bitmap.bitsPerPixel == 1; }

private:
  Bitmap& m_bitmap;
  QImage m_image;
};

}  // namespace

bool Paint(HDC dc, const Bitmap& bitmap, const RECT& source, const RECT& destination, UINT flags, DWORD rop) {
  if (!dc || !bitmap.IsAllocated()) return false;
  const int sw = source.right - source.left, sh = source.bottom - source.top;
  if (sw <= 0 || sh <= 0) return false;
  // Cut the source to the bitmap and the destination in proportion.
  const RECT cut{std::max<LONG>(source.left, 0), std::max<LONG>(source.top, 0), std::min<LONG>(source.right, bitmap.width),
                 std::min<LONG>(source.bottom, bitmap.height)};
  if (cut.right <= cut.left || cut.bottom <= cut.top) return false;
  const long long dw = destination.right - destination.left, dh = destination.bottom - destination.top;
  const RECT target{static_cast<LONG>(destination.left + (cut.left - source.left) * dw / sw),
                    static_cast<LONG>(destination.top + (cut.top - source.top) * dh / sh),
                    static_cast<LONG>(destination.left + (cut.right - source.left) * dw / sw),
                    static_cast<LONG>(destination.top + (cut.bottom - source.top) * dh / sh)};
  const int width = std::abs(static_cast<int>(target.right - target.left)), height = std::abs(static_cast<int>(target.bottom - target.top));
  if (width == 0 || height == 0) return true;

  if (bitmap.bitsPerPixel == 1 && (flags & kPaintScaleToGray) && (width < cut.right - cut.left || height < cut.bottom - cut.top)) {
    // Made as the drawing layer copies it: no grey bitmap in between. Mirrored destinations keep
    // their direction.
    const GreyRows greys(bitmap, cut, width, height);
    if (greys.IsValid()) {
      return gdi::DrawRowPicture(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, greys, rop);
    }
  }
  Bitmap reduced;
  if (Reduce(bitmap, cut, width, height, flags, reduced)) {
    // Mirrored destinations keep their direction: the reduced picture is drawn 1:1 into them.
    if (reduced.bitsPerPixel >= 24 && IsRgbOrder(reduced.order)) SwapRedBlue(reduced);
    return Blit(dc, reduced, RECT{0, 0, reduced.width, reduced.height}, target, rop);
  }
  if (bitmap.bitsPerPixel >= 24 && IsRgbOrder(bitmap.order)) {
    // The drawing layer takes colour DIBs as B, G, R.
    Bitmap copy;
    if (!CutOut(bitmap, cut, copy)) return false;
    SwapRedBlue(copy);
    return Blit(dc, copy, RECT{0, 0, copy.width, copy.height}, target, rop);
  }
  return Blit(dc, bitmap, cut, target, rop);
}

bool Print(HDC dc, const Bitmap& bitmap, int x, int y, int width, int height) {
  return Paint(dc, bitmap, RECT{0, 0, bitmap.width, bitmap.height}, RECT{x, y, x + width, y + height}, kPaintDefault, SRCCOPY);
}

HPALETTE MakePalette(HDC dc, const Bitmap& bitmap) {
  if (!bitmap.IsAllocated() || bitmap.colorCount == 0) return nullptr;
  std::vector<BYTE> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<SIZE_T>(bitmap.colorCount));
  auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(bitmap.colorCount);
  for (int i = 0; i < bitmap.colorCount; ++i) {
    const RGBQUAD& q = bitmap.palette[i];
    palette->palPalEntry[i] = PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
  }
  return CreatePalette(palette);
}

HBITMAP MakeDDB(HDC dc, const Bitmap& bitmap) {
  if (!dc || !bitmap.IsAllocated()) return nullptr;
  Bitmap copy;
  const Bitmap* b = &bitmap;
  if (bitmap.bitsPerPixel >= 24 && IsRgbOrder(bitmap.order)) {
    if (!Duplicate(copy, bitmap)) return nullptr;
    SwapRedBlue(copy);
    b = &copy;
  }
  const std::vector<BYTE> info = InfoOf(*b);
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(info.data());
  return CreateDIBitmap(dc, header, CBM_INIT, b->bits, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
}

HDC OpenDC(Bitmap& bitmap) {
  if (!bitmap.IsAllocated()) return nullptr;
  return CreateDCForSurface(std::make_shared<BitmapSurface>(bitmap));
}

}  // namespace imaging
