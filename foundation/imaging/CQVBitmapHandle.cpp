#include "foundation/imaging/CQVBitmapHandle.h"

#include "foundation/util/CDPXBuffer.h"
#include "foundation/util/CDPXVWXform.h"
#include "platform/gdi/gdi.h"
#include "platform/imaging/Bitmap.h"
#include "platform/imaging/Dib.h"
#include "platform/imaging/File.h"
#include "platform/imaging/Paint.h"
#include "platform/imaging/Color.h"
#include "platform/imaging/Scale.h"
#include "platform/imaging/Transform.h"
#include "platform/sdk/CQVException.h"
#include "platform/ui/win/winuser.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

IMPLEMENT_DYNCREATE(CQVBitmapHandle, CObject)

namespace {

// A rectangle with left <= right and top <= bottom.
CRect Normalized(const CRect& rect) {
  CRect normal = rect;
  normal.NormalizeRect();
  return normal;
}

// The part of a rectangle inside a bitmap of that size; empty when they do not meet.
CRect InsideBitmap(const CRect& rect, int width, int height) {
  const CRect bounds(0, 0, width, height);
  const CRect normal = Normalized(rect);
  CRect inside;
  inside.IntersectRect(&normal, &bounds);
  return inside;
}

}  // namespace

// The value mappings. Numbers that no table names fall to the default of each.

int CQVBitmapHandle::_order_pub_store(UINT order) {
  switch (order) {
    case 0: return imaging::kOrderRgb;
    case 2: return imaging::kOrderGray;
    case 3: return imaging::kOrderRgbOrGray;
    case 4: return imaging::kOrderBgrOrGray;
    default: return imaging::kOrderBgr;
  }
}

UINT CQVBitmapHandle::_order_store_pub(int order) { return UINT(_order_pub_store(UINT(order))); }

int CQVBitmapHandle::_perspective_pub_store(UINT perspective) {
  return perspective == 1 ? imaging::kBottomLeft : imaging::kTopLeft;
}

UINT CQVBitmapHandle::_perspective_store_pub(int perspective) { return perspective == imaging::kBottomLeft ? 1 : 0; }

UINT CQVBitmapHandle::_resize_pub_store(UINT flags) {
  switch (flags) {
    case 1: return imaging::kResizeResample;
    case 2: return imaging::kResizeBicubic;
    default: return imaging::kResizeNormal;
  }
}

UINT CQVBitmapHandle::_resize_store_pub(UINT flags) {
  switch (flags) {
    case imaging::kResizeResample: return 1;
    case imaging::kResizeBicubic: return 2;
    default: return 0;
  }
}

UINT CQVBitmapHandle::_rotate_pub_store(UINT flags) {
  switch (flags) {
    case 1: return imaging::kRotateResample;
    case 2: return imaging::kRotateBicubic;
    case 3: return imaging::kRotateKeepSize;
    default: return imaging::kRotateResize;
  }
}

UINT CQVBitmapHandle::_rotate_store_pub(UINT flags) {
  switch (flags) {
    case imaging::kRotateKeepSize: return 3;
    case imaging::kRotateResample: return 1;
    case imaging::kRotateBicubic: return 2;
    default: return 0;
  }
}

int CQVBitmapHandle::_dibhead_pub_store(UINT kind) { return kind == 1 || kind == 2 ? int(kind) : imaging::kDibInfoHeader; }

UINT CQVBitmapHandle::_dibhead_store_pub(int kind) { return UINT(_dibhead_pub_store(UINT(kind))); }

int CQVBitmapHandle::_format_pub_store(UINT format) {
  switch (format) {
    case 2: return imaging::kFormatJpeg;
    case 3: return imaging::kFormatFaxG4;
    default: return imaging::kFormatBmp;
  }
}

UINT CQVBitmapHandle::_format_store_pub(int format) {
  switch (format) {
    case imaging::kFormatBmp: return 1;
    case imaging::kFormatJpeg: return 2;
    case imaging::kFormatFaxG4: return 3;
    default: return 0;
  }
}

int CQVBitmapHandle::_fax_pub_store(UINT format) {
  switch (format) {
    case 1: return imaging::kFormatFaxG3_1D;
    case 2: return imaging::kFormatFaxG3_1DNoEol;
    case 3: return imaging::kFormatFaxG3_2D;
    default: return imaging::kFormatFaxG4;
  }
}

UINT CQVBitmapHandle::_fax_store_pub(int format) {
  switch (format) {
    case imaging::kFormatFaxG3_1D: return 1;
    case imaging::kFormatFaxG3_1DNoEol: return 2;
    case imaging::kFormatFaxG3_2D: return 3;
    case imaging::kFormatFaxG4: return 4;
    default: return 0;
  }
}

CQVBitmapHandle::CQVBitmapHandle() : m_bitmap(std::make_unique<imaging::Bitmap>()) {}

CQVBitmapHandle::~CQVBitmapHandle() { Free(); }

void CQVBitmapHandle::Free() {
  DeleteDC();
  imaging::Reset(*m_bitmap);
  m_faxG4.clear();
  m_decodePending = FALSE;
}

imaging::Bitmap& CQVBitmapHandle::Pixels() const {
  if (m_decodePending) {
    m_decodePending = FALSE;
    imaging::Bitmap& record = *m_bitmap;
    // Data that the page's own bit order does not decode is damaged: it must not stand for pixels
    // read some other way.
    imaging::Bitmap decoded;
    if (imaging::LoadFaxRaw(m_faxG4.data(), m_faxG4.size(), decoded, record.width, record.height, record.xResolution,
                            record.yResolution, imaging::kFormatFaxG4, false)) {
      imaging::TakeOver(record, decoded);
    } else {
      imaging::Reset(record);
      m_faxG4.clear();
    }
  }
  return *m_bitmap;
}

imaging::Bitmap& CQVBitmapHandle::PixelsToChange() {
  imaging::Bitmap& record = Pixels();
  m_faxG4.clear();
  return record;
}

BOOL CQVBitmapHandle::Create(int width, int height, int bitsPerPixel, UINT order, RGBQUAD* palette, UINT perspective) {
  Free();
  return imaging::Create(*m_bitmap, width, height, bitsPerPixel, _order_pub_store(order), palette,
                         _perspective_pub_store(perspective));
}

// The copies are made beside the handle and moved in, so that a handle may copy itself.

BOOL CQVBitmapHandle::Create(CQVBitmapHandle& source) {
  imaging::Bitmap copy;
  const bool made = imaging::Duplicate(copy, source.Pixels());
  Free();
  if (made) imaging::TakeOver(*m_bitmap, copy);
  return made;
}

BOOL CQVBitmapHandle::Create(CQVBitmapHandle& source, CRect rect) {
  imaging::Bitmap part;
  const imaging::Bitmap& from = source.Pixels();
  RECT stored = InsideBitmap(rect, from.width, from.height);
  const bool made = from.IsAllocated() && !IsRectEmpty(&stored) && imaging::RectToBitmap(from, imaging::kTopLeft, stored) &&
                    imaging::CopyRect(part, from, stored.left, stored.top, stored.right - stored.left, stored.bottom - stored.top);
  Free();
  if (made) imaging::TakeOver(*m_bitmap, part);
  return made;
}

BOOL CQVBitmapHandle::Create(CQVBitmapHandle& source, int width, int height, UINT resizeFlags) {
  imaging::Bitmap resampled;
  const bool made = imaging::CreateResampled(resampled, source.Pixels(), width, height, _resize_pub_store(resizeFlags));
  Free();
  if (made) imaging::TakeOver(*m_bitmap, resampled);
  return made;
}

BOOL CQVBitmapHandle::Attach(CQVBitmapHandle& other) {
  if (&other == this) return TRUE;
  Free();
  other.DeleteDC();
  imaging::TakeOver(*m_bitmap, *other.m_bitmap);
  m_faxG4.swap(other.m_faxG4);
  m_decodePending = other.m_decodePending;
  other.m_decodePending = FALSE;
  m_dwPaintMode = other.m_dwPaintMode;
  return TRUE;
}

BOOL CQVBitmapHandle::ChangeFromDIB(HGLOBAL dib) {
  Free();
  return imaging::ChangeFromDIB(*m_bitmap, dib);
}

HGLOBAL CQVBitmapHandle::ChangeToDIB(UINT headerKind) {
  HGLOBAL dib = imaging::ChangeToDIB(PixelsToChange(), _dibhead_pub_store(headerKind));
  // The DC must not outlive the pixels it draws into.
  if (dib) DeleteDC();
  return dib;
}

HGLOBAL CQVBitmapHandle::ConvertToDIB(UINT headerKind) {
  return imaging::ConvertToDIB(Pixels(), _dibhead_pub_store(headerKind));
}

BOOL CQVBitmapHandle::MakeDDB(CBitmap& bitmap, CDC* dc, BOOL giveAway) {
  bitmap.DeleteObject();
  HDC display = nullptr;
  try {
    HDC target = dc ? dc->GetSafeHdc() : nullptr;
    if (!target) target = display = ::CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr);
    if (!target || IsEmpty()) CQVException::Throw();
    HBITMAP made = imaging::MakeDDB(target, Pixels());
    if (!made) CQVException::Throw();
    if (!bitmap.Attach(made)) {
      DeleteObject(made);
      CQVException::Throw();
    }
  } catch (CException* e) {
    e->Delete();
    bitmap.DeleteObject();
    if (display) ::DeleteDC(display);
    return FALSE;
  }
  if (display) ::DeleteDC(display);
  if (giveAway) Free();
  return TRUE;
}

BOOL CQVBitmapHandle::ChangeToDDB(CBitmap& bitmap, CDC* dc) { return MakeDDB(bitmap, dc, TRUE); }

BOOL CQVBitmapHandle::ConvertToDDB(CBitmap& bitmap, CDC* dc) { return MakeDDB(bitmap, dc, FALSE); }

BOOL CQVBitmapHandle::Load(LPCWSTR path, int bitsPerPixel, UINT order) {
  Free();
  imaging::LoadOptions options;
  options.bitsPerPixel = bitsPerPixel;
  options.order = _order_pub_store(order);
  return imaging::Load(path, *m_bitmap, options);
}

BOOL CQVBitmapHandle::LoadMemory(BYTE* buffer, int size, int bitsPerPixel, UINT order) {
  Free();
  if (!buffer || size <= 0) return FALSE;
  imaging::LoadOptions options;
  options.bitsPerPixel = bitsPerPixel;
  options.order = _order_pub_store(order);
  return imaging::LoadMemory(buffer, SIZE_T(size), *m_bitmap, options);
}

BOOL CQVBitmapHandle::LoadMemory_FaxRaw(BYTE* buffer, int size, int width, int height, int xDpi, int yDpi, UINT faxFormat) {
  Free();
  if (!buffer || size <= 0) return FALSE;
  return imaging::LoadFaxRaw(buffer, SIZE_T(size), *m_bitmap, width, height, xDpi, yDpi, _fax_pub_store(faxFormat));
}

BOOL CQVBitmapHandle::LoadFaxG4Page(std::vector<BYTE> data, int width, int height, int xDpi, int yDpi,
                                    BOOL deferDecoding) {
  Free();
  if (data.empty() || width <= 0 || height <= 0) return FALSE;
  // The record the decoder makes: white is entry 0, as in a page whose set bits are black.
  RGBQUAD palette[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
  if (!imaging::Create(*m_bitmap, width, height, 1, imaging::kOrderBgr, palette, imaging::kTopLeft)) return FALSE;
  m_bitmap->xResolution = xDpi;
  m_bitmap->yResolution = yDpi;
  m_faxG4 = std::move(data);
  m_decodePending = TRUE;
  return deferDecoding || Pixels().IsAllocated();
}

BOOL CQVBitmapHandle::Save(LPCWSTR path, UINT format, int quality, int bitsPerPixel) {
  return imaging::Save(path, Pixels(), _format_pub_store(format), bitsPerPixel, quality);
}

BOOL CQVBitmapHandle::SaveMemory(int format, HGLOBAL* block, DWORD* size) {
  return imaging::SaveMemory(Pixels(), format, 0, 5, block, size);
}

BOOL CQVBitmapHandle::SaveMemory_Jpg(HGLOBAL* block, DWORD* size) {
  const int bits = GetBitsPerPixel();
  return (bits == 8 || bits == 24) && SaveMemory(imaging::kFormatJpeg, block, size);
}

BOOL CQVBitmapHandle::SaveMemory_FaxG4(HGLOBAL* block, DWORD* size) {
  if (GetBitsPerPixel() != 1) return FALSE;
  if (m_faxG4.empty() || m_faxG4.size() > 0xFFFFFFFFu) return SaveMemory(imaging::kFormatFaxG4, block, size);
  // The pixels are still those of the data they came from, which is in the form asked for.
  if (!block || !size) return FALSE;
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, m_faxG4.size());
  BYTE* bytes = copy ? static_cast<BYTE*>(GlobalLock(copy)) : nullptr;
  if (!bytes) {
    if (copy) GlobalFree(copy);
    return FALSE;
  }
  std::memcpy(bytes, m_faxG4.data(), m_faxG4.size());
  GlobalUnlock(copy);
  *block = copy;
  *size = DWORD(m_faxG4.size());
  return TRUE;
}

BOOL CQVBitmapHandle::TakeFaxG4Source(std::vector<BYTE>& data) {
  if (GetBitsPerPixel() != 1 || m_faxG4.empty()) return FALSE;
  data = std::move(m_faxG4);
  Free();
  return TRUE;
}

CDC* CQVBitmapHandle::CreateDCW() {
  DeleteDC();
  HDC dc = imaging::OpenDC(PixelsToChange());
  if (!dc) return nullptr;
  if (!m_dc.Attach(dc)) {
    ::DeleteDC(dc);
    return nullptr;
  }
  return &m_dc;
}

CDC* CQVBitmapHandle::GetDC() { return m_dc.GetSafeHdc() ? &m_dc : nullptr; }

BOOL CQVBitmapHandle::DeleteDC() {
  HDC dc = m_dc.Detach();
  return dc && ::DeleteDC(dc);
}

BOOL CQVBitmapHandle::EnablePaintMode(int mode, BOOL enable) {
  if (mode < 1 || mode > 11) return FALSE;
  const DWORD bit = DWORD(1) << (mode - 1);
  m_dwPaintMode = enable ? (m_dwPaintMode | bit) : (m_dwPaintMode & ~bit);
  return TRUE;
}

BOOL CQVBitmapHandle::IsPaintModeEnabled(int mode) const {
  return mode >= 1 && mode <= 11 && (m_dwPaintMode & (DWORD(1) << (mode - 1))) != 0;
}

BOOL CQVBitmapHandle::Paint(CDC* dc, CRect source, CRect destination, DWORD rop) {
  HDC target = dc ? dc->GetSafeHdc() : nullptr;
  if (!target) return FALSE;
  // The modes are this handle's alone and hold for this one call.
  const UINT flags = m_dwPaintMode ? UINT(m_dwPaintMode) : imaging::kPaintDefault;
  const imaging::Bitmap& pixels = Pixels();
  HPALETTE palette = imaging::MakePalette(target, pixels);
  HPALETTE previous = palette ? SelectPalette(target, palette, FALSE) : nullptr;
  if (palette) RealizePalette(target);
  const bool painted = imaging::Paint(target, pixels, source, destination, flags, rop);
  if (palette) {
    SelectPalette(target, previous, FALSE);
    DeleteObject(palette);
  }
  return painted;
}

BOOL CQVBitmapHandle::Paint(CDC* dc, CRect destination, DWORD rop) {
  return Paint(dc, CRect(0, 0, GetWidth(), GetHeight()), destination, rop);
}

BOOL CQVBitmapHandle::PaintInFrameCenter(CDC* dc, CRect frame, DWORD rop) {
  const int width = GetWidth(), height = GetHeight();
  const CRect normal = Normalized(frame);
  if (width <= 0 || height <= 0 || normal.Width() <= 0 || normal.Height() <= 0) return FALSE;
  CDPXVWXform fit;
  fit.SetWorldSize(width, height);
  fit.SetViewSize(normal.Width(), normal.Height());
  int zoom = CDPXVWXform::kUnitScale;
  fit.GetFitZoom(zoom);
  const int shownWidth = int(static_cast<long long>(width) * zoom / CDPXVWXform::kUnitScale);
  const int shownHeight = int(static_cast<long long>(height) * zoom / CDPXVWXform::kUnitScale);
  const int left = normal.left + (normal.Width() - shownWidth) / 2;
  const int top = normal.top + (normal.Height() - shownHeight) / 2;
  return Paint(dc, CRect(0, 0, width, height), CRect(left, top, left + shownWidth, top + shownHeight), rop);
}

BOOL CQVBitmapHandle::Print(CDC* dc, CRect rect) {
  HDC target = dc ? dc->GetSafeHdc() : nullptr;
  if (!target) return FALSE;
  const CRect normal = Normalized(rect);
  return imaging::Print(target, Pixels(), normal.left, normal.top, normal.Width(), normal.Height());
}

BOOL CQVBitmapHandle::CopyToClipboard(HWND owner, UINT format) {
  HANDLE data = nullptr;
  if (format == CF_DIB) {
    data = ConvertToDIB(0);
  } else {
    CBitmap bitmap;
    if (ConvertToDDB(bitmap, nullptr)) data = bitmap.Detach();
  }
  if (!data) return FALSE;
  // Once handed over, the data belongs to the clipboard.
  const bool copied = OpenClipboard(owner) && EmptyClipboard() && SetClipboardData(format, data);
  if (!copied) {
    if (format == CF_DIB) {
      GlobalFree(data);
    } else {
      DeleteObject(data);
    }
  }
  CloseClipboard();
  return copied;
}

BOOL CQVBitmapHandle::CopyToClipboardAsDIB(HWND owner) { return CopyToClipboard(owner, CF_DIB); }

BOOL CQVBitmapHandle::CopyToClipboardAsDDB(HWND owner) { return CopyToClipboard(owner, CF_BITMAP); }

BOOL CQVBitmapHandle::IsEmpty() const { return !m_bitmap->IsAllocated(); }
int CQVBitmapHandle::GetWidth() const { return IsEmpty() ? 0 : std::abs(m_bitmap->width); }
int CQVBitmapHandle::GetHeight() const { return IsEmpty() ? 0 : std::abs(m_bitmap->height); }
int CQVBitmapHandle::GetBitsPerPixel() const { return IsEmpty() ? 0 : m_bitmap->bitsPerPixel; }
int CQVBitmapHandle::GetBytesPerLine() const { return IsEmpty() ? 0 : m_bitmap->bytesPerLine; }
DWORD CQVBitmapHandle::GetImageSize() const { return IsEmpty() ? 0 : DWORD(m_bitmap->imageSize); }
int CQVBitmapHandle::GetColorNums() const { return IsEmpty() ? 0 : m_bitmap->colorCount; }
int CQVBitmapHandle::GetXDPI() const { return m_bitmap->xResolution; }
int CQVBitmapHandle::GetYDPI() const { return m_bitmap->yResolution; }
void CQVBitmapHandle::SetXDPI(int dpi) { m_bitmap->xResolution = dpi; }
void CQVBitmapHandle::SetYDPI(int dpi) { m_bitmap->yResolution = dpi; }
UINT CQVBitmapHandle::GetOrder() const { return IsEmpty() ? 1 : _order_store_pub(m_bitmap->order); }
UINT CQVBitmapHandle::GetPerspective() const { return IsEmpty() ? 0 : _perspective_store_pub(m_bitmap->perspective); }

BOOL CQVBitmapHandle::SetPerspective(UINT perspective) {
  return imaging::SetPerspective(PixelsToChange(), _perspective_pub_store(perspective));
}

BOOL CQVBitmapHandle::IsNormalGrayScale() const { return imaging::IsNormalGrayScale(Pixels()); }

BOOL CQVBitmapHandle::GetPalette(int first, int count, RGBQUAD* entries) const {
  return imaging::GetPalette(Pixels(), first, count, entries);
}

BOOL CQVBitmapHandle::SetPalette(int first, int count, RGBQUAD* entries) {
  return imaging::SetPalette(PixelsToChange(), first, count, entries);
}

BOOL CQVBitmapHandle::PointFromBitmap(int& x, int& y, UINT perspective) const {
  return imaging::PointFromBitmap(*m_bitmap, _perspective_pub_store(perspective), x, y);
}

BOOL CQVBitmapHandle::PointToBitmap(int& x, int& y, UINT perspective) const {
  return imaging::PointToBitmap(*m_bitmap, _perspective_pub_store(perspective), x, y);
}

BOOL CQVBitmapHandle::RectFromBitmap(CRect& rect, UINT perspective) const {
  return imaging::RectFromBitmap(*m_bitmap, _perspective_pub_store(perspective), rect);
}

BOOL CQVBitmapHandle::RectToBitmap(CRect& rect, UINT perspective) const {
  return imaging::RectToBitmap(*m_bitmap, _perspective_pub_store(perspective), rect);
}

BOOL CQVBitmapHandle::Resize(int width, int height, UINT resizeFlags) {
  return imaging::Resize(PixelsToChange(), width, height, _resize_pub_store(resizeFlags));
}

BOOL CQVBitmapHandle::Trim(int left, int top, UINT width, UINT height) {
  if (width > UINT(INT_MAX) || height > UINT(INT_MAX)) return FALSE;
  return imaging::Trim(PixelsToChange(), left, top, int(width), int(height));
}

BOOL CQVBitmapHandle::Crop(CRect rect) {
  // A rectangle given with its corners swapped is the same rectangle, not an empty one.
  RECT stored = InsideBitmap(rect, GetWidth(), GetHeight());
  if (IsRectEmpty(&stored)) {
    Free();
    return TRUE;
  }
  if (!imaging::RectToBitmap(*m_bitmap, imaging::kTopLeft, stored)) return FALSE;
  return Trim(stored.left, stored.top, UINT(stored.right - stored.left), UINT(stored.bottom - stored.top));
}

BOOL CQVBitmapHandle::Flip() { return imaging::Flip(PixelsToChange()); }
BOOL CQVBitmapHandle::Reverse() { return imaging::Reverse(PixelsToChange()); }

BOOL CQVBitmapHandle::Rotate(int angle, UINT rotateFlags, COLORREF fill) {
  return imaging::Rotate(PixelsToChange(), angle, _rotate_pub_store(rotateFlags), fill);
}

BOOL CQVBitmapHandle::GrayScale() { return imaging::GrayScale(PixelsToChange()); }
BOOL CQVBitmapHandle::BinaryBitmap() { return imaging::ChangeBitsPerPixel(PixelsToChange(), 1); }

BOOL CQVBitmapHandle::SpecialFilter(int divisor, int bias, int size, int* matrix) {
  return matrix && imaging::SpecialFilter(PixelsToChange(), divisor, bias, size, matrix);
}

BOOL CQVBitmapHandle::GetPixelColor(int x, int y, COLORREF& colour) const {
  colour = imaging::GetPixelColor(Pixels(), y, x);
  return colour != imaging::kInvalidColor;
}

BOOL CQVBitmapHandle::SetPixelColor(int x, int y, COLORREF colour) {
  return imaging::SetPixelColor(PixelsToChange(), y, x, colour);
}

// Whoever holds the bits may write them.
BYTE* CQVBitmapHandle::Access() {
  imaging::Bitmap& pixels = PixelsToChange();
  if (pixels.flags & imaging::kNotAddressable) return nullptr;
  return imaging::Lock(pixels);
}

BYTE* CQVBitmapHandle::GetPtr() {
  imaging::Bitmap& pixels = PixelsToChange();
  if (!pixels.IsAllocated() || (pixels.flags & imaging::kNotAddressable)) return nullptr;
  return pixels.bits ? pixels.bits : Access();
}

void CQVBitmapHandle::Release() { imaging::Unlock(*m_bitmap); }

BOOL CQVBitmapHandle::AccessRowData(CDPXBuffer& row) {
  try {
    if (IsEmpty() || !row.Alloc(DWORD(GetBytesPerLine()))) CQVException::Throw();
    if (!imaging::Lock(Pixels())) CQVException::Throw();
  } catch (CException* e) {
    e->Delete();
    row.Free();
    return FALSE;
  }
  return TRUE;
}

BOOL CQVBitmapHandle::GetRowData(int row, CDPXBuffer& buffer) {
  BYTE* bytes = buffer.Lock();
  if (IsEmpty() || !bytes || buffer.GetSize() == 0) return FALSE;
  return imaging::GetRow(Pixels(), row, bytes, int(std::min<DWORD>(buffer.GetSize(), INT_MAX))) > 0;
}

BOOL CQVBitmapHandle::PutRowData(int row, CDPXBuffer& buffer) {
  BYTE* bytes = buffer.Lock();
  if (IsEmpty() || !bytes || buffer.GetSize() == 0) return FALSE;
  return imaging::PutRow(PixelsToChange(), row, bytes, int(std::min<DWORD>(buffer.GetSize(), INT_MAX))) > 0;
}

void CQVBitmapHandle::ReleaseRowData(CDPXBuffer& buffer) {
  imaging::Unlock(*m_bitmap);
  buffer.Free();
}

void CQVBitmapHandle::SetPixelIndex(int x, int y, BYTE index) {
  const int width = GetWidth(), height = GetHeight(), bits = GetBitsPerPixel();
  if (IsEmpty() || GetColorNums() == 0 || width < 1 || height < 1 || x < 0 || x >= width || y < 0 || y >= height ||
      bits == 0) {
    return;
  }
  CDPXMemBuffer row;
  if (!AccessRowData(row)) return;
  if (GetRowData(y, row)) {
    BYTE* bytes = row.Lock();
    switch (bits) {
      case 1: {
        const BYTE mask = BYTE(0x80 >> (x % 8));
        bytes[x / 8] = BYTE((index & 1) ? (bytes[x / 8] | mask) : (bytes[x / 8] & ~mask));
        break;
      }
      case 4:
        bytes[x / 2] = BYTE(x % 2 == 0 ? ((bytes[x / 2] & 0x0F) | ((index & 0x0F) << 4)) : ((bytes[x / 2] & 0xF0) | (index & 0x0F)));
        break;
      case 8: bytes[x] = index; break;
      default: break;
    }
    PutRowData(y, row);
  }
  ReleaseRowData(row);
}

BOOL CQVBitmapHandle::CreateRgnFromMask(CRgn& region) {
  region.DeleteObject();
  const int width = GetWidth(), height = GetHeight(), bits = GetBitsPerPixel();
  try {
    if (IsEmpty() || width < 1 || height < 1 || (bits != 1 && bits != 8 && bits != 24)) CQVException::Throw();
    const imaging::Bitmap& pixels = Pixels();
    std::vector<RECT> runs;
    for (int y = 0; y < height; ++y) {
      int start = -1;
      for (int x = 0; x < width; ++x) {
        COLORREF colour = imaging::GetPixelColor(pixels, y, x);
        if (colour == imaging::kInvalidColor) CQVException::Throw();
        if (bits != 24 && (colour & imaging::kPaletteIndexFlag)) {
          RGBQUAD entry;
          if (!imaging::GetPalette(pixels, int(colour & 0xFF), 1, &entry)) CQVException::Throw();
          colour = RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
        }
        const bool inMask = (colour & 0xFFFFFF) != 0;
        if (inMask && start < 0) start = x;
        if (!inMask && start >= 0) {
          runs.push_back(RECT {start, y, x, y + 1});
          start = -1;
        }
      }
      if (start >= 0) runs.push_back(RECT {start, y, width, y + 1});
    }
    const size_t size = sizeof(RGNDATAHEADER) + sizeof(RECT) * runs.size();
    if (size > size_t(INT_MAX)) CQVException::Throw();
    std::vector<BYTE> data(size);
    RGNDATAHEADER header {};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = DWORD(runs.size());
    header.nRgnSize = DWORD(sizeof(RECT) * runs.size());
    header.rcBound = RECT {0, 0, width, height};
    std::memcpy(data.data(), &header, sizeof header);
    if (!runs.empty()) std::memcpy(data.data() + sizeof header, runs.data(), sizeof(RECT) * runs.size());
    if (!region.CreateFromData(nullptr, int(size), reinterpret_cast<const RGNDATA*>(data.data()))) CQVException::Throw();
  } catch (CException* e) {
    e->Delete();
    region.DeleteObject();
    return FALSE;
  }
  return TRUE;
}
