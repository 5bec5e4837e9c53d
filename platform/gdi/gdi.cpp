#include "platform/gdi/gdi.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/ModuleImages.h"
#include "platform/gdi/RowPicture.h"
#include "platform/gdi/Text.h"

#include <QFontDatabase>

#include <algorithm>
#include <cmath>
#include <cstring>

using gdi::BitmapData;
using gdi::BrushData;
using gdi::DeviceContext;
using gdi::DibFormat;
using gdi::HandleTable;
using gdi::ObjectData;
using gdi::PaletteData;
using gdi::RegionData;

namespace {

std::shared_ptr<DeviceContext> FindDC(HDC dc) { return HandleTable::Get().FindDC(dc); }

std::shared_ptr<BitmapData> FindBitmap(HGDIOBJ handle) { return HandleTable::Get().Find<BitmapData>(handle, OBJ_BITMAP); }
std::shared_ptr<RegionData> FindRegion(HGDIOBJ handle) { return HandleTable::Get().Find<RegionData>(handle, OBJ_REGION); }
std::shared_ptr<PaletteData> FindPalette(HGDIOBJ handle) { return HandleTable::Get().Find<PaletteData>(handle, OBJ_PAL); }

template <class Handle>
Handle Add(std::shared_ptr<ObjectData> object) {
  return static_cast<Handle>(HandleTable::Get().Add(std::move(object)));
}

int RegionKind(const QRegion& region) {
  if (region.isEmpty()) return NULLREGION;
  return region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRect NormalisedRect(int left, int top, int right, int bottom) {
  return QRect(QPoint(std::min(left, right), std::min(top, bottom)),
               QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1));
}

HRGN NewRegion(QRegion region) {
  auto data = std::make_shared<RegionData>();
  data->region = std::move(region);
  return Add<HRGN>(data);
}

// Union of many rectangles, pairwise, so that large sets stay quick.
QRegion UniteAll(std::vector<QRegion> parts) {
  if (parts.empty()) return QRegion();
  while (parts.size() > 1) {
    std::vector<QRegion> next;
    for (size_t i = 0; i < parts.size(); i += 2) next.push_back(i + 1 < parts.size() ? parts[i] | parts[i + 1] : parts[i]);
    parts.swap(next);
  }
  return parts.front();
}

// The BITMAPINFOHEADER that describes a bitmap: its DIB format for DIB sections, its own
// depth (bottom-up) otherwise.
BITMAPINFOHEADER HeaderOf(const BitmapData& bitmap, QSize size) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = size.width();
  h.biHeight = bitmap.dib && bitmap.dib->topDown ? -size.height() : size.height();
  h.biPlanes = 1;
  h.biBitCount = WORD(bitmap.bitsPixel);
  h.biCompression = BI_RGB;
  h.biSizeImage = DWORD(DibFormat::Stride(size.width(), bitmap.bitsPixel)) * DWORD(size.height());
  if (bitmap.dib) h.biClrUsed = DWORD(bitmap.dib->palette.size());
  return h;
}

// Writes a palette into the colour table that follows a header.
void WriteColourTable(BITMAPINFO* info, const std::vector<uint32_t>& palette) {
  auto* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(info) + info->bmiHeader.biSize);
  for (size_t i = 0; i < palette.size(); ++i)
    table[i] = RGBQUAD{BYTE(palette[i]), BYTE(palette[i] >> 8), BYTE(palette[i] >> 16), 0};
}

// Copies DIB scan lines [start, start + lines) (counted as the DIB counts them) into or out of
// a bitmap's pixels. Returns the number of lines inside the bitmap.
int TransferScanLines(const DibFormat& format, BYTE* bits, UINT start, UINT lines, QImage& image, bool toImage,
                      bool monochrome) {
  gdi::DibRowEncoder encoder(format);
  std::vector<uint32_t> row(size_t(format.width), gdi::kBlack);
  const int columns = std::min(format.width, image.width());
  int done = 0;
  for (UINT i = 0; i < lines; ++i) {
    const int64_t scan = int64_t(start) + i;
    if (scan >= format.height) break;
    const int y = int(format.topDown ? scan : format.height - 1 - scan);  // row from the top
    if (y < 0 || y >= image.height()) continue;
    BYTE* line = bits + size_t(i) * size_t(format.stride);
    auto* pixels = reinterpret_cast<uint32_t*>(image.scanLine(y));
    if (toImage) {
      gdi::DecodeDibRow(format, line, 0, columns, row.data());
      for (int x = 0; x < columns; ++x) pixels[x] = monochrome ? gdi::NearestMono(row[size_t(x)]) : row[size_t(x)];
    } else {
      std::copy(pixels, pixels + columns, row.begin());
      encoder.Encode(row.data(), format.width, line);
    }
    ++done;
  }
  return done;
}

}  // namespace

HDC CreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* settings) {
  std::shared_ptr<CDCSurface> surface = gdi::OpenDevice(driver, device, port, settings);
  if (!surface) return nullptr;
  return HandleTable::Get().AddDC(std::make_shared<DeviceContext>(std::move(surface), QPoint(), std::nullopt));
}

HDC CreateCompatibleDC(HDC dc) {
  std::shared_ptr<CDCSurface> reference;
  if (dc) {
    const std::shared_ptr<DeviceContext> existing = FindDC(dc);
    if (!existing) return nullptr;
    reference = existing->Device();
  } else {
    reference = gdi::OpenDevice(u"DISPLAY", nullptr, nullptr, nullptr);
  }
  return HandleTable::Get().AddDC(std::make_shared<DeviceContext>(std::move(reference)));
}

BOOL DeleteDC(HDC dc) { return HandleTable::Get().RemoveDC(dc) ? TRUE : FALSE; }

int SaveDC(HDC dc) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  return d ? d->Save() : 0;
}

BOOL RestoreDC(HDC dc, int level) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  return d ? d->Restore(level) : FALSE;
}

int GetDeviceCaps(HDC dc, int index) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  return d ? d->GetDeviceCaps(index) : 0;
}

DWORD SetLayout(HDC dc, DWORD layout) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  if (!d) return GDI_ERROR;
  const DWORD previous = d->layout;
  d->layout = layout;
  return previous;
}

DWORD GetLayout(HDC dc) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  return d ? d->layout : GDI_ERROR;
}

DWORD GetObjectType(HGDIOBJ object) {
  if (const std::shared_ptr<ObjectData> data = HandleTable::Get().Find(object)) return data->type;
  if (const std::shared_ptr<DeviceContext> dc = FindDC(static_cast<HDC>(object))) return dc->IsMemory() ? OBJ_MEMDC : OBJ_DC;
  return 0;
}

HGDIOBJ GetStockObject(int index) {
  const std::shared_ptr<ObjectData> object = HandleTable::Get().Stock(index);
  return object ? object->handle : nullptr;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  const std::shared_ptr<ObjectData> data = HandleTable::Get().Find(object);
  if (!d || !data) return nullptr;
  if (data->type == OBJ_REGION) {
    const QRegion region = static_cast<RegionData&>(*data).region;
    return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(d->SelectClip(&region)));
  }
  return d->Select(data);
}

HGDIOBJ GetCurrentObject(HDC dc, UINT objectType) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  return d ? d->Current(objectType) : nullptr;
}

BOOL DeleteObject(HGDIOBJ object) { return HandleTable::Get().Delete(object); }

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
  const std::shared_ptr<ObjectData> data = HandleTable::Get().Find(object);
  if (!data) return 0;
  auto give = [&](const auto& record) {
    const int needed = int(sizeof(record));
    if (!buffer) return needed;
    if (size < needed) return 0;
    std::memcpy(buffer, &record, sizeof(record));
    return needed;
  };
  switch (data->type) {
    case OBJ_PEN: return give(static_cast<gdi::PenData&>(*data).logPen);
    case OBJ_BRUSH: return give(static_cast<BrushData&>(*data).logBrush);
    case OBJ_FONT: return give(static_cast<gdi::FontData&>(*data).logFont);
    case OBJ_PAL: return give(WORD(static_cast<PaletteData&>(*data).entries.size()));
    case OBJ_BITMAP: {
      const auto& bitmap = static_cast<BitmapData&>(*data);
      const QSize s = bitmap.surface->GetSize();
      DIBSECTION section{};
      section.dsBm.bmWidth = s.width();
      section.dsBm.bmHeight = s.height();
      section.dsBm.bmWidthBytes = bitmap.dib ? bitmap.dib->stride : gdi::DdbStride(s.width(), bitmap.bitsPixel);
      section.dsBm.bmPlanes = 1;
      section.dsBm.bmBitsPixel = WORD(bitmap.bitsPixel);
      section.dsBm.bmBits = bitmap.dibBits;
      if (bitmap.dib && (!buffer || size >= int(sizeof(DIBSECTION)))) {
        section.dsBmih = HeaderOf(bitmap, s);
        return give(section);
      }
      return give(section.dsBm);
    }
    default: return 0;
  }
}

HPEN CreatePen(int style, int width, COLORREF colour) {
  const LOGPEN pen{UINT(style), POINT{width, 0}, colour};
  return CreatePenIndirect(&pen);
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  if (!pen || (pen->lopnStyle & PS_STYLE_MASK) > PS_INSIDEFRAME) return nullptr;
  LOGPEN copy = *pen;
  copy.lopnWidth = POINT{std::max<LONG>(0, pen->lopnWidth.x), 0};
  return Add<HPEN>(std::make_shared<gdi::PenData>(copy));
}

HBRUSH CreateSolidBrush(COLORREF colour) {
  const LOGBRUSH brush{BS_SOLID, colour, 0};
  return CreateBrushIndirect(&brush);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF colour) {
  const LOGBRUSH brush{BS_HATCHED, colour, ULONG_PTR(hatch)};
  return CreateBrushIndirect(&brush);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  const LOGBRUSH brush{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bitmap)};
  return CreateBrushIndirect(&brush);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush) return nullptr;
  std::shared_ptr<BrushData> data = gdi::NewBrush(*brush);
  return data ? Add<HBRUSH>(data) : nullptr;
}

HFONT CreateFontIndirectW(const LOGFONTW* font) {
  if (!font) return nullptr;
  return Add<HFONT>(std::make_shared<gdi::FontData>(*font));
}

int GetTextCharsetInfo(HDC dc, FONTSIGNATURE* signature, DWORD) {
  if (signature) *signature = FONTSIGNATURE {};
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  if (!d) return DEFAULT_CHARSET;
  const int charset = d->State().font ? d->State().font->logFont.lfCharSet : ANSI_CHARSET;
  return charset == DEFAULT_CHARSET ? ANSI_CHARSET : charset;
}

int GetTextCharset(HDC dc) { return GetTextCharsetInfo(dc, nullptr, 0); }

int EnumFontFamiliesExW(HDC, const LOGFONTW* font, FONTENUMPROCW proc, LPARAM param, DWORD) {
  if (!font || !proc || !gdi::FontsAvailable()) return 0;
  std::u16string wanted;
  for (int i = 0; i < LF_FACESIZE && font->lfFaceName[i]; ++i) wanted.push_back(font->lfFaceName[i]);
  const QString family = QString::fromStdU16String(wanted);
  struct Entry {
    QString family;
    QString style;
  };
  std::vector<Entry> entries;
  for (const QString& f : QFontDatabase::families()) {
    if (family.isEmpty()) entries.push_back({f, QString()});
    else if (f.compare(family, Qt::CaseInsensitive) == 0)
      for (const QString& style : QFontDatabase::styles(f)) entries.push_back({f, style});
  }
  int answer = 1;
  for (const Entry& e : entries) {
    LOGFONTW lf {};
    lf.lfHeight = -12;
    lf.lfWeight = e.style.isEmpty() ? FW_NORMAL : std::clamp(QFontDatabase::weight(e.family, e.style), 100, 900);
    lf.lfItalic = !e.style.isEmpty() && QFontDatabase::italic(e.family, e.style);
    lf.lfCharSet = ANSI_CHARSET;
    lf.lfPitchAndFamily = QFontDatabase::isFixedPitch(e.family) ? FIXED_PITCH : VARIABLE_PITCH;
    const std::u16string name = e.family.left(LF_FACESIZE - 1).toStdU16String();
    std::copy(name.begin(), name.end(), lf.lfFaceName);
    gdi::FontData made(lf);
    TEXTMETRICW metrics {};
    gdi::FontMetrics(made, metrics);
    answer = proc(&lf, &metrics, TRUETYPE_FONTTYPE, param);
    if (!answer) break;
  }
  return answer;
}

int EnumFontFamiliesW(HDC dc, LPCWSTR family, FONTENUMPROCW proc, LPARAM param) {
  LOGFONTW font {};
  font.lfCharSet = DEFAULT_CHARSET;
  for (int i = 0; family && family[i] && i < LF_FACESIZE - 1; ++i) font.lfFaceName[i] = family[i];
  return EnumFontFamiliesExW(dc, &font, proc, param, 0);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1) return nullptr;
  std::shared_ptr<BitmapData> bitmap = gdi::NewDeviceBitmap(width, height, int(bitsPerPixel));
  if (!bitmap) return nullptr;
  if (bits) {
    QImage* image = bitmap->surface->BeginAccess();
    gdi::DdbBitsToImage(static_cast<const BYTE*>(bits), size_t(gdi::DdbStride(width, int(bitsPerPixel))) * height,
                        int(bitsPerPixel), *image);
    bitmap->surface->EndAccess(image->rect());
  }
  return Add<HBITMAP>(bitmap);
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
  QImage image = FindModuleImage(instance, ModuleImageKind::Bitmap, name).image;
  if (image.isNull()) return nullptr;
  image = image.convertToFormat(QImage::Format_RGB32);
  return CreateBitmap(image.width(), image.height(), 1, 32, image.constBits());
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  if (!d) return nullptr;
  if (width == 0 || height == 0) return static_cast<HBITMAP>(HandleTable::Get().DefaultBitmap()->handle);
  std::shared_ptr<BitmapData> bitmap = gdi::NewDeviceBitmap(width, height, d->IsMonochrome() ? 1 : 32);
  return bitmap ? Add<HBITMAP>(bitmap) : nullptr;
}

LONG GetBitmapBits(HBITMAP handle, LONG size, LPVOID bits) {
  const std::shared_ptr<BitmapData> bitmap = FindBitmap(handle);
  if (!bitmap || size < 0) return 0;
  if (bitmap->dib) {
    const LONG total = LONG(bitmap->dib->ImageBytes());
    if (!bits) return total;
    const LONG n = std::min(size, total);
    std::memcpy(bits, bitmap->dibBits, size_t(n));
    return n;
  }
  const QSize s = bitmap->surface->GetSize();
  const LONG total = LONG(gdi::DdbStride(s.width(), bitmap->bitsPixel)) * s.height();
  if (!bits) return total;
  const QImage* image = bitmap->surface->BeginAccess();
  if (!image) return 0;
  const LONG n = std::min(size, total);
  gdi::ImageToDdbBits(*image, bitmap->bitsPixel, static_cast<BYTE*>(bits), size_t(n));
  bitmap->surface->EndAccess(QRect());
  return n;
}

LONG SetBitmapBits(HBITMAP handle, DWORD size, const void* bits) {
  const std::shared_ptr<BitmapData> bitmap = FindBitmap(handle);
  if (!bitmap || !bits) return 0;
  if (bitmap->dib) {
    const size_t n = std::min<size_t>(size, bitmap->dib->ImageBytes());
    std::memcpy(bitmap->dibBits, bits, n);
    return LONG(n);
  }
  QImage* image = bitmap->surface->BeginAccess();
  if (!image) return 0;
  const size_t total = size_t(gdi::DdbStride(image->width(), bitmap->bitsPixel)) * size_t(image->height());
  const size_t n = std::min<size_t>(size, total);
  gdi::DdbBitsToImage(static_cast<const BYTE*>(bits), n, bitmap->bitsPixel, *image);
  bitmap->surface->EndAccess(image->rect());
  return LONG(n);
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage) {
  if (!header || header->biWidth <= 0 || header->biHeight == 0) return nullptr;
  const std::shared_ptr<DeviceContext> d = dc ? FindDC(dc) : nullptr;
  if (dc && !d) return nullptr;
  const bool mono = d && d->IsMonochrome();
  const int height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
  std::shared_ptr<BitmapData> bitmap = gdi::NewDeviceBitmap(header->biWidth, height, mono ? 1 : 32);
  if (!bitmap) return nullptr;
  if ((init & CBM_INIT) && bits) {
    const std::optional<DibFormat> format = DibFormat::From(info, usage);
    if (!format) return nullptr;
    QImage* image = bitmap->surface->BeginAccess();
    TransferScanLines(*format, static_cast<BYTE*>(const_cast<void*>(bits)), 0, UINT(format->height), *image, true, mono);
    bitmap->surface->EndAccess(image->rect());
  }
  return Add<HBITMAP>(bitmap);
}

int GetDIBits(HDC dc, HBITMAP handle, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage) {
  const std::shared_ptr<BitmapData> bitmap = FindBitmap(handle);
  if (!bitmap || !info || usage != DIB_RGB_COLORS || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  BITMAPINFOHEADER& h = info->bmiHeader;
  const QSize size = bitmap->surface->GetSize();
  if (!bits) {
    if (h.biBitCount == 0) {
      const BITMAPINFOHEADER own = HeaderOf(*bitmap, size);
      const DWORD headerSize = h.biSize;
      h = own;
      h.biSize = headerSize;
      h.biHeight = size.height();
      h.biClrUsed = 0;
      return size.height();
    }
    h.biWidth = size.width();
    h.biHeight = h.biHeight < 0 ? -size.height() : size.height();
    h.biPlanes = 1;
    h.biCompression = BI_RGB;
    h.biSizeImage = DWORD(DibFormat::Stride(size.width(), h.biBitCount)) * DWORD(size.height());
    if (h.biBitCount <= 8) WriteColourTable(info, gdi::DefaultPalette(h.biBitCount));
    return size.height();
  }
  // The colour table is written first: it is the palette of the lines that follow.
  if (h.biBitCount <= 8 && (h.biBitCount == 1 || h.biBitCount == 4 || h.biBitCount == 8)) {
    const bool own = bitmap->dib && bitmap->dib->bitCount == h.biBitCount;
    WriteColourTable(info, own ? bitmap->dib->palette : gdi::DefaultPalette(h.biBitCount));
    h.biClrUsed = 0;
    if (own && bitmap->dib->palette.size() < (size_t(1) << h.biBitCount)) h.biClrUsed = DWORD(bitmap->dib->palette.size());
  }
  const std::optional<DibFormat> format = DibFormat::From(info, usage);
  if (!format) return 0;
  QImage* image = bitmap->surface->BeginAccess();
  if (!image) return 0;
  const int done = TransferScanLines(*format, static_cast<BYTE*>(bits), start, lines, *image, false, false);
  bitmap->surface->EndAccess(QRect());
  return done;
}

int SetDIBits(HDC dc, HBITMAP handle, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  const std::shared_ptr<BitmapData> bitmap = FindBitmap(handle);
  const std::optional<DibFormat> format = DibFormat::From(info, usage);
  if (!bitmap || !format || !bits) return 0;
  QImage* image = bitmap->surface->BeginAccess();
  if (!image) return 0;
  const int done = TransferScanLines(*format, static_cast<BYTE*>(const_cast<void*>(bits)), start, lines, *image, true,
                                     bitmap->surface->IsMonochrome());
  bitmap->surface->EndAccess(image->rect());
  return done;
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
  if (bits) *bits = nullptr;
  const std::optional<DibFormat> format = DibFormat::From(info, usage);
  if (!format || section) return nullptr;
  std::shared_ptr<BitmapData> bitmap = gdi::NewDibSection(*format);
  if (!bitmap) return nullptr;
  if (bits) *bits = bitmap->dibBits;
  return Add<HBITMAP>(bitmap);
}

int StretchDIBits(HDC dc, int x, int y, int width, int height, int sx, int sy, int sw, int sh, const void* bits,
                  const BITMAPINFO* info, UINT usage, DWORD rop) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  const std::optional<DibFormat> format = DibFormat::From(info, usage);
  if (!d || !format || !bits) return 0;
  // Source rows as the picture shows them from the top; a bottom-up DIB counts sy from its bottom.
  int top = sy;
  if (!format->topDown) {
    const int low = std::min(sy, sy + sh);
    const int high = std::max(sy, sy + sh);
    top = format->height - high;
    if (sh < 0) top = format->height - low;
  }
  if (!d->BlitDib(x, y, width, height, *format, bits, sx, top, sw, sh, rop)) return 0;
  return sh < 0 ? -sh : sh;
}

namespace gdi {

namespace {

class RowPictureSource : public PixelSource {
public:
  explicit RowPictureSource(const RowPicture& picture) : m_picture(picture) {}
  QSize Size() const override { return QSize(m_picture.Width(), m_picture.Height()); }
  void FetchRow(int y, int x, int count, uint32_t* out) const override { m_picture.Row(y, x, count, out); }

private:
  const RowPicture& m_picture;
};

}  // namespace

BOOL DrawRowPicture(HDC dc, int x, int y, int width, int height, const RowPicture& picture, DWORD rop) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  if (!d || picture.Width() <= 0 || picture.Height() <= 0) return FALSE;
  return d->BlitSource(x, y, width, height, RowPictureSource(picture), 0, 0, picture.Width(), picture.Height(), rop);
}

}  // namespace gdi

int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int sx, int sy, UINT start, UINT lines,
                      const void* bits, const BITMAPINFO* info, UINT usage) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  std::optional<DibFormat> format = DibFormat::From(info, usage);
  if (!d || !format || !bits || lines == 0 || width == 0 || height == 0) return 0;
  // `bits` is a band of `lines` scan lines from scan line `start`; rows of the band from its top.
  const int w = int(std::min<DWORD>(width, INT32_MAX));
  const int h = int(std::min<DWORD>(height, INT32_MAX));
  const int band = int(std::min<UINT>(lines, UINT(format->height)));
  format->height = band;
  const int firstRow = format->topDown ? sy - int(start) : int(start) + band - sy - h;
  if (!d->BlitDib(x, y, w, h, *format, bits, sx, firstRow, w, h, SRCCOPY)) return 0;
  const int64_t from = std::max<int64_t>(sy, start);
  const int64_t to = std::min<int64_t>(int64_t(sy) + h, int64_t(start) + band);
  return int(std::max<int64_t>(0, to - from));
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  return d ? d->PatBlt(x, y, width, height, rop) : FALSE;
}

BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
  return StretchBlt(dc, x, y, width, height, source, sx, sy, width, height, rop);
}

BOOL StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh, DWORD rop) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  if (!d) return FALSE;
  const std::shared_ptr<DeviceContext> s = source ? FindDC(source) : nullptr;
  if (source && !s) return FALSE;
  return d->StretchBlt(x, y, width, height, s.get(), sx, sy, sw, sh, rop);
}

int SetStretchBltMode(HDC dc, int mode) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  if (!d || mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(d->State().stretchMode, mode);
}

int GetStretchBltMode(HDC dc) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  return d ? d->State().stretchMode : 0;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return NewRegion(QRegion(NormalisedRect(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  // Row by row: the pixels whose centres lie inside the ellipse that fills the box, the same
  // on both sides of either axis.
  const QRect box = NormalisedRect(left, top, right, bottom);
  std::vector<QRegion> rows;
  const double cx = box.left() + box.width() / 2.0;
  const double cy = box.top() + box.height() / 2.0;
  const double a = box.width() / 2.0;
  const double b = box.height() / 2.0;
  for (int y = box.top(); y <= box.bottom() && !box.isEmpty(); ++y) {
    const double dy = (y + 0.5 - cy) / b;
    if (dy * dy >= 1.0) continue;
    const double half = a * std::sqrt(1.0 - dy * dy);
    const int x0 = int(std::ceil(cx - half - 0.5));
    const int x1 = int(std::floor(cx + half - 0.5));
    if (x1 >= x0) rows.emplace_back(QRect(x0, y, x1 - x0 + 1, 1));
  }
  return NewRegion(UniteAll(std::move(rows)));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  if (!points || count < 2 || (fillMode != ALTERNATE && fillMode != WINDING)) return nullptr;
  QPolygon polygon;
  for (int i = 0; i < count; ++i) polygon << QPoint(points[i].x, points[i].y);
  return NewRegion(QRegion(polygon, fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

HRGN ExtCreateRegion(const XFORM* transform, DWORD size, const RGNDATA* data) {
  if (transform || !data || size < sizeof(RGNDATAHEADER)) return nullptr;
  const RGNDATAHEADER& h = data->rdh;
  if (h.dwSize < sizeof(RGNDATAHEADER) || h.dwSize > size || h.iType != RDH_RECTANGLES) return nullptr;
  if (uint64_t(h.nCount) * sizeof(RECT) > uint64_t(size) - h.dwSize) return nullptr;
  const auto* rects = reinterpret_cast<const RECT*>(reinterpret_cast<const BYTE*>(data) + h.dwSize);
  std::vector<QRegion> parts;
  parts.reserve(h.nCount);
  for (DWORD i = 0; i < h.nCount; ++i) {
    RECT r;
    std::memcpy(&r, rects + i, sizeof(RECT));
    const QRect q = NormalisedRect(r.left, r.top, r.right, r.bottom);
    if (!q.isEmpty()) parts.emplace_back(q);
  }
  return NewRegion(UniteAll(std::move(parts)));
}

int CombineRgn(HRGN target, HRGN a, HRGN b, int mode) {
  const std::shared_ptr<RegionData> t = FindRegion(target);
  const std::shared_ptr<RegionData> first = FindRegion(a);
  const std::shared_ptr<RegionData> second = mode == RGN_COPY ? nullptr : FindRegion(b);
  if (!t || !first || (mode != RGN_COPY && !second)) return ERROR;
  switch (mode) {
    case RGN_AND: t->region = first->region & second->region; break;
    case RGN_OR: t->region = first->region | second->region; break;
    case RGN_XOR: t->region = first->region ^ second->region; break;
    case RGN_DIFF: t->region = first->region - second->region; break;
    case RGN_COPY: t->region = first->region; break;
    default: return ERROR;
  }
  return RegionKind(t->region);
}

BOOL EqualRgn(HRGN a, HRGN b) {
  const std::shared_ptr<RegionData> first = FindRegion(a);
  const std::shared_ptr<RegionData> second = FindRegion(b);
  if (!first || !second) return FALSE;
  return (first->region ^ second->region).isEmpty() ? TRUE : FALSE;
}

int OffsetRgn(HRGN region, int dx, int dy) {
  const std::shared_ptr<RegionData> r = FindRegion(region);
  if (!r) return ERROR;
  r->region.translate(dx, dy);
  return RegionKind(r->region);
}

int GetRgnBox(HRGN region, LPRECT box) {
  const std::shared_ptr<RegionData> r = FindRegion(region);
  if (!r || !box) return ERROR;
  const QRect b = r->region.boundingRect();
  *box = r->region.isEmpty() ? RECT{0, 0, 0, 0} : RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
  return RegionKind(r->region);
}

BOOL PtInRegion(HRGN region, int x, int y) {
  const std::shared_ptr<RegionData> r = FindRegion(region);
  return r && r->region.contains(QPoint(x, y)) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN region, const RECT* rect) {
  const std::shared_ptr<RegionData> r = FindRegion(region);
  if (!r || !rect) return FALSE;
  return r->region.intersects(NormalisedRect(rect->left, rect->top, rect->right, rect->bottom)) ? TRUE : FALSE;
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
  const std::shared_ptr<RegionData> r = FindRegion(region);
  if (!r) return FALSE;
  r->region = QRegion(NormalisedRect(left, top, right, bottom));
  return TRUE;
}

DWORD GetRegionData(HRGN region, DWORD size, LPRGNDATA buffer) {
  const std::shared_ptr<RegionData> r = FindRegion(region);
  if (!r) return 0;
  const DWORD count = DWORD(r->region.rectCount());
  const DWORD needed = DWORD(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
  if (!buffer) return needed;
  if (size < needed) return 0;
  const QRect b = r->region.boundingRect();
  buffer->rdh = RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, count, count * DWORD(sizeof(RECT)),
                              r->region.isEmpty() ? RECT{0, 0, 0, 0} : RECT{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()}};
  BYTE* out = reinterpret_cast<BYTE*>(buffer) + sizeof(RGNDATAHEADER);
  for (const QRect& q : r->region) {
    const RECT rect{q.left(), q.top(), q.left() + q.width(), q.top() + q.height()};
    std::memcpy(out, &rect, sizeof(RECT));
    out += sizeof(RECT);
  }
  return size;
}

int SelectClipRgn(HDC dc, HRGN region) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  if (!d) return ERROR;
  if (!region) return d->SelectClip(nullptr);
  const std::shared_ptr<RegionData> r = FindRegion(region);
  if (!r) return ERROR;
  return d->SelectClip(&r->region);
}

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palNumEntries == 0) return nullptr;
  auto data = std::make_shared<PaletteData>();
  data->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return Add<HPALETTE>(data);
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
  const std::shared_ptr<PaletteData> p = FindPalette(palette);
  if (!p) return 0;
  if (!entries) return UINT(p->entries.size());
  if (start >= p->entries.size()) return 0;
  const UINT n = std::min<UINT>(count, UINT(p->entries.size()) - start);
  std::copy_n(p->entries.begin() + start, n, entries);
  return n;
}

UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries) {
  const std::shared_ptr<PaletteData> p = FindPalette(palette);
  if (!p || p->stock || !entries || start >= p->entries.size()) return 0;
  const UINT n = std::min<UINT>(count, UINT(p->entries.size()) - start);
  std::copy_n(entries, n, p->entries.begin() + start);
  return n;
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  const std::shared_ptr<PaletteData> p = FindPalette(palette);
  if (!d || !p) return nullptr;
  return static_cast<HPALETTE>(d->Select(p));
}

UINT RealizePalette(HDC dc) { return FindDC(dc) ? 0 : GDI_ERROR; }

namespace {

template <class Call>
int OnDevice(HDC dc, Call call) {
  const std::shared_ptr<DeviceContext> d = FindDC(dc);
  if (!d || d->IsMemory() || !d->Device()) return SP_ERROR;
  return call(*d->Device());
}

}  // namespace

int StartDocW(HDC dc, const DOCINFOW* info) {
  return OnDevice(dc, [info](CDCSurface& s) { return s.StartDoc(info); });
}
int StartPage(HDC dc) {
  return OnDevice(dc, [](CDCSurface& s) { return s.StartPage(); });
}
int EndPage(HDC dc) {
  return OnDevice(dc, [](CDCSurface& s) { return s.EndPage(); });
}
int EndDoc(HDC dc) {
  return OnDevice(dc, [](CDCSurface& s) { return s.EndDoc(); });
}
int AbortDoc(HDC dc) {
  return OnDevice(dc, [](CDCSurface& s) { return s.AbortDoc(); });
}

namespace {

// The classic desktop scheme.
constexpr COLORREF kSysColours[] = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(181, 181, 181),  // 25, unused
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};
constexpr int kSysColourCount = int(sizeof(kSysColours) / sizeof(kSysColours[0]));

}  // namespace

COLORREF GetSysColor(int index) { return index >= 0 && index < kSysColourCount ? kSysColours[index] : RGB(0, 0, 0); }

HBRUSH GetSysColorBrush(int index) {
  static const std::vector<HBRUSH> brushes = [] {
    std::vector<HBRUSH> made;
    for (COLORREF colour : kSysColours) {
      std::shared_ptr<BrushData> brush = gdi::NewBrush(LOGBRUSH{BS_SOLID, colour, 0});
      brush->stock = true;
      made.push_back(Add<HBRUSH>(brush));
    }
    return made;
  }();
  return index >= 0 && index < kSysColourCount ? brushes[size_t(index)] : nullptr;
}
