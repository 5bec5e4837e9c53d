#include "platform/gdi/GdiObjects.h"

#include "platform/gdi/DeviceContext.h"

#include <cstdlib>
#include <cstring>

namespace gdi {

namespace {

// A DIB section: the caller writes the DIB bits directly, drawing goes through an RGB32 copy that
// is brought up to date before every call and written back after it.
class DibSectionSurface : public CDCSurface {
public:
  explicit DibSectionSurface(const DibFormat& format)
      : m_format(format), m_bits(static_cast<BYTE*>(std::calloc(format.ImageBytes() ? format.ImageBytes() : 1, 1))) {}
  ~DibSectionSurface() override { std::free(m_bits); }

  bool Valid() const { return m_bits != nullptr; }
  void* Bits() const { return m_bits; }

  QImage* BeginAccess() override {
    if (m_image.isNull()) m_image = QImage(m_format.width, m_format.height, QImage::Format_RGB32);
    if (m_image.isNull()) return nullptr;
    for (int y = 0; y < m_format.height; ++y)
      DecodeDibRow(m_format, m_bits + m_format.RowOffset(y), 0, m_format.width,
                   reinterpret_cast<uint32_t*>(m_image.scanLine(y)));
    return &m_image;
  }

  void EndAccess(const QRect& changed) override {
    const QRect rows = changed.intersected(m_image.rect());
    if (rows.isEmpty()) return;
    DibRowEncoder encoder(m_format);
    for (int y = rows.top(); y <= rows.bottom(); ++y)
      encoder.Encode(reinterpret_cast<const uint32_t*>(m_image.constScanLine(y)), m_format.width,
                     m_bits + m_format.RowOffset(y));
  }

  QSize GetSize() const override { return QSize(m_format.width, m_format.height); }

private:
  DibFormat m_format;
  BYTE* m_bits;
  QImage m_image;
};

// The 8x8 tiles of the hatch styles: black marks the hatch lines.
QImage HatchTile(int style) {
  QImage tile(8, 8, QImage::Format_RGB32);
  tile.fill(kWhite);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      bool line = false;
      switch (style) {
        case HS_HORIZONTAL: line = y == 4; break;
        case HS_VERTICAL: line = x == 4; break;
        case HS_FDIAGONAL: line = x == y; break;
        case HS_BDIAGONAL: line = x + y == 7; break;
        case HS_CROSS: line = x == 4 || y == 4; break;
        case HS_DIAGCROSS: line = x == y || x + y == 7; break;
      }
      if (line) tile.setPixel(x, y, kBlack);
    }
  }
  return tile;
}

LOGFONTW StockFont(LONG height, LONG weight, BYTE pitchAndFamily, const char16_t* face) {
  LOGFONTW font{};
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfPitchAndFamily = pitchAndFamily;
  for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) font.lfFaceName[i] = face[i];
  return font;
}

std::shared_ptr<ObjectData> StockBrush(COLORREF colour, UINT style = BS_SOLID) {
  return NewBrush(LOGBRUSH{style, colour, 0});
}

std::shared_ptr<ObjectData> StockPen(UINT style, COLORREF colour) {
  return std::make_shared<PenData>(LOGPEN{style, POINT{1, 0}, colour});
}

}  // namespace

HandleTable& HandleTable::Get() {
  static HandleTable* table = new HandleTable;  // lives as long as the process: handles outlive statics
  return *table;
}

HGDIOBJ HandleTable::Add(std::shared_ptr<ObjectData> object) {
  if (!object) return nullptr;
  std::lock_guard guard(m_lock);
  const uintptr_t id = (m_next += 4);
  object->handle = reinterpret_cast<HGDIOBJ>(id);
  m_objects.emplace(id, std::move(object));
  return reinterpret_cast<HGDIOBJ>(id);
}

std::shared_ptr<ObjectData> HandleTable::Find(HGDIOBJ handle) const {
  std::lock_guard guard(m_lock);
  auto found = m_objects.find(reinterpret_cast<uintptr_t>(handle));
  return found == m_objects.end() ? nullptr : found->second;
}

BOOL HandleTable::Delete(HGDIOBJ handle) {
  std::lock_guard guard(m_lock);
  auto found = m_objects.find(reinterpret_cast<uintptr_t>(handle));
  if (found == m_objects.end()) return FALSE;
  if (found->second->stock) return TRUE;
  if (found->second->type == OBJ_BITMAP && static_cast<BitmapData&>(*found->second).selectedInto) return FALSE;
  m_objects.erase(found);
  return TRUE;
}

HDC HandleTable::AddDC(std::shared_ptr<DeviceContext> dc) {
  if (!dc) return nullptr;
  std::lock_guard guard(m_lock);
  const uintptr_t id = (m_next += 4);
  dc->handle = reinterpret_cast<HDC>(id);
  m_dcs.emplace(id, std::move(dc));
  return reinterpret_cast<HDC>(id);
}

std::shared_ptr<DeviceContext> HandleTable::FindDC(HDC handle) const {
  std::lock_guard guard(m_lock);
  auto found = m_dcs.find(reinterpret_cast<uintptr_t>(handle));
  return found == m_dcs.end() ? nullptr : found->second;
}

std::shared_ptr<DeviceContext> HandleTable::RemoveDC(HDC handle) {
  std::lock_guard guard(m_lock);
  auto found = m_dcs.find(reinterpret_cast<uintptr_t>(handle));
  if (found == m_dcs.end()) return nullptr;
  std::shared_ptr<DeviceContext> dc = std::move(found->second);
  m_dcs.erase(found);
  return dc;
}

bool HandleTable::SelectBitmap(BitmapData& bitmap, HDC dc) {
  std::lock_guard guard(m_lock);
  if (bitmap.stock) return true;  // the default bitmap sits in every memory DC at once
  if (bitmap.selectedInto && bitmap.selectedInto != dc) return false;
  bitmap.selectedInto = dc;
  return true;
}

void HandleTable::ReleaseBitmap(BitmapData& bitmap, HDC dc) {
  std::lock_guard guard(m_lock);
  if (bitmap.selectedInto == dc) bitmap.selectedInto = nullptr;
}

void HandleTable::MakeStockObjects() {
  m_stock.resize(DEFAULT_GUI_FONT + 1);
  m_stock[WHITE_BRUSH] = StockBrush(RGB(255, 255, 255));
  m_stock[LTGRAY_BRUSH] = StockBrush(RGB(192, 192, 192));
  m_stock[GRAY_BRUSH] = StockBrush(RGB(128, 128, 128));
  m_stock[DKGRAY_BRUSH] = StockBrush(RGB(64, 64, 64));
  m_stock[BLACK_BRUSH] = StockBrush(RGB(0, 0, 0));
  m_stock[NULL_BRUSH] = StockBrush(0, BS_NULL);
  m_stock[WHITE_PEN] = StockPen(PS_SOLID, RGB(255, 255, 255));
  m_stock[BLACK_PEN] = StockPen(PS_SOLID, RGB(0, 0, 0));
  m_stock[NULL_PEN] = StockPen(PS_NULL, RGB(0, 0, 0));
  m_stock[OEM_FIXED_FONT] = std::make_shared<FontData>(StockFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, u"Terminal"));
  m_stock[ANSI_FIXED_FONT] = std::make_shared<FontData>(StockFont(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, u"Courier"));
  m_stock[ANSI_VAR_FONT] = std::make_shared<FontData>(StockFont(12, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, u"MS Sans Serif"));
  m_stock[SYSTEM_FONT] = std::make_shared<FontData>(StockFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, u"System"));
  m_stock[DEVICE_DEFAULT_FONT] = std::make_shared<FontData>(StockFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, u"System"));
  m_stock[SYSTEM_FIXED_FONT] = std::make_shared<FontData>(StockFont(15, FW_NORMAL, FIXED_PITCH | FF_MODERN, u"Fixedsys"));
  m_stock[DEFAULT_GUI_FONT] = std::make_shared<FontData>(StockFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, u"MS Shell Dlg"));
  auto palette = std::make_shared<PaletteData>();
  const BYTE system[20][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
                              {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
                              {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
                              {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  for (const auto& c : system) palette->entries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
  m_stock[DEFAULT_PALETTE] = palette;
  m_defaultBitmap = NewDeviceBitmap(1, 1, 1);
  for (auto& object : m_stock) {
    if (!object) continue;
    object->stock = true;
    Add(object);
  }
  m_defaultBitmap->stock = true;
  Add(m_defaultBitmap);
}

std::shared_ptr<ObjectData> HandleTable::Stock(int index) {
  std::call_once(m_stockMade, [this] { MakeStockObjects(); });
  if (index < 0 || index >= int(m_stock.size())) return nullptr;
  return m_stock[index];
}

std::shared_ptr<BitmapData> HandleTable::DefaultBitmap() {
  std::call_once(m_stockMade, [this] { MakeStockObjects(); });
  return m_defaultBitmap;
}

std::shared_ptr<BitmapData> NewDeviceBitmap(int width, int height, int bitsPixel) {
  if (width <= 0 || height <= 0 || (bitsPixel != 1 && bitsPixel != 32)) return nullptr;
  if (int64_t(width) * height > (int64_t(1) << 28)) return nullptr;  // a gigabyte of pixels
  auto surface = std::make_shared<CImageSurface>(width, height, bitsPixel == 1);
  if (surface->Image().isNull()) return nullptr;
  auto bitmap = std::make_shared<BitmapData>();
  bitmap->surface = std::move(surface);
  bitmap->bitsPixel = bitsPixel;
  return bitmap;
}

std::shared_ptr<BitmapData> NewDibSection(const DibFormat& format) {
  auto surface = std::make_shared<DibSectionSurface>(format);
  if (!surface->Valid()) return nullptr;
  auto bitmap = std::make_shared<BitmapData>();
  bitmap->bitsPixel = format.bitCount;
  bitmap->dib = format;
  bitmap->dibBits = surface->Bits();
  bitmap->surface = std::move(surface);
  return bitmap;
}

std::shared_ptr<BrushData> NewBrush(const LOGBRUSH& description) {
  auto brush = std::make_shared<BrushData>(description);
  switch (description.lbStyle) {
    case BS_SOLID:
      brush->kind = BrushData::Kind::Solid;
      break;
    case BS_NULL:
      brush->kind = BrushData::Kind::Null;
      break;
    case BS_HATCHED:
      if (description.lbHatch > HS_DIAGCROSS) return nullptr;
      brush->kind = BrushData::Kind::Hatch;
      brush->tile = HatchTile(int(description.lbHatch));
      break;
    case BS_PATTERN: {
      auto bitmap = HandleTable::Get().Find<BitmapData>(reinterpret_cast<HGDIOBJ>(description.lbHatch), OBJ_BITMAP);
      if (!bitmap) return nullptr;
      const QImage* pixels = bitmap->surface->BeginAccess();
      if (!pixels) return nullptr;
      brush->tile = pixels->copy();
      bitmap->surface->EndAccess(QRect());
      brush->kind = bitmap->surface->IsMonochrome() ? BrushData::Kind::MonoPattern : BrushData::Kind::ColourPattern;
      break;
    }
    default:
      return nullptr;
  }
  return brush;
}

}  // namespace gdi
