#pragma once
// Internal to the drawing layer: the records behind GDI handles and the process-wide tables that
// map handles to them. Records are shared: deleting a handle while a device context still uses
// the object keeps the record alive until the DC lets go of it.

#include "platform/gdi/CDCSurface.h"
#include "platform/gdi/Dib.h"

#include <QFont>

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace gdi {

class DeviceContext;

struct ObjectData {
  explicit ObjectData(DWORD objectType) : type(objectType) {}
  virtual ~ObjectData() = default;
  const DWORD type;  // OBJ_*
  HGDIOBJ handle { nullptr };
  bool stock { false };
};

struct PenData : ObjectData {
  explicit PenData(const LOGPEN& pen) : ObjectData(OBJ_PEN), logPen(pen) {}
  LOGPEN logPen;
};

struct BrushData : ObjectData {
  enum class Kind { Solid, Null, Hatch, MonoPattern, ColourPattern };
  explicit BrushData(const LOGBRUSH& brush) : ObjectData(OBJ_BRUSH), logBrush(brush) {}
  LOGBRUSH logBrush;
  Kind kind { Kind::Solid };
  QImage tile;  // the pattern of hatch and pattern brushes, a copy taken at creation
};

struct FontData : ObjectData {
  explicit FontData(const LOGFONTW& font) : ObjectData(OBJ_FONT), logFont(font) {}
  LOGFONTW logFont;
  // The font as Qt draws it; made on first use (which needs a QGuiApplication).
  QFont QtFont(bool monochrome);

private:
  std::mutex m_lock;
  bool m_made { false };
  QFont m_font;
};

struct BitmapData : ObjectData {
  BitmapData() : ObjectData(OBJ_BITMAP) {}
  std::shared_ptr<CDCSurface> surface;
  int bitsPixel { 32 };
  // DIB sections: the format and the caller-visible bits (owned by the surface).
  std::optional<DibFormat> dib;
  void* dibBits { nullptr };
  // The memory DC the bitmap is selected into (guarded by the table lock).
  HDC selectedInto { nullptr };
};

struct RegionData : ObjectData {
  RegionData() : ObjectData(OBJ_REGION) {}
  QRegion region;
};

struct PaletteData : ObjectData {
  PaletteData() : ObjectData(OBJ_PAL) {}
  std::vector<PALETTEENTRY> entries;
};

// Handles of GDI objects and device contexts. Every call is safe from any thread.
class HandleTable {
public:
  static HandleTable& Get();

  HGDIOBJ Add(std::shared_ptr<ObjectData> object);
  std::shared_ptr<ObjectData> Find(HGDIOBJ handle) const;
  template <class T>
  std::shared_ptr<T> Find(HGDIOBJ handle, DWORD type) const {
    std::shared_ptr<ObjectData> object = Find(handle);
    return object && object->type == type ? std::static_pointer_cast<T>(object) : nullptr;
  }
  // Drops the handle; stock objects and bitmaps selected into a DC are kept (FALSE).
  BOOL Delete(HGDIOBJ handle);

  HDC AddDC(std::shared_ptr<DeviceContext> dc);
  std::shared_ptr<DeviceContext> FindDC(HDC handle) const;
  std::shared_ptr<DeviceContext> RemoveDC(HDC handle);

  // Marks a bitmap as selected into a DC; false when another DC has it.
  bool SelectBitmap(BitmapData& bitmap, HDC dc);
  // Lets go of a bitmap that `dc` holds (no change when another DC holds it).
  void ReleaseBitmap(BitmapData& bitmap, HDC dc);

  // Stock objects, made on first use; null for an unknown index.
  std::shared_ptr<ObjectData> Stock(int index);
  // The 1x1 monochrome bitmap every memory DC starts with.
  std::shared_ptr<BitmapData> DefaultBitmap();

private:
  HandleTable() = default;
  void MakeStockObjects();

  mutable std::mutex m_lock;
  uintptr_t m_next { 0x10000 };
  std::unordered_map<uintptr_t, std::shared_ptr<ObjectData>> m_objects;
  std::unordered_map<uintptr_t, std::shared_ptr<DeviceContext>> m_dcs;
  std::once_flag m_stockMade;
  std::vector<std::shared_ptr<ObjectData>> m_stock;
  std::shared_ptr<BitmapData> m_defaultBitmap;
};

// The presenter of drag outlines (SetDragOutlinePresenter), or null.
CDragOutlinePresenter* DragOutlinePresenter();

// The surface of a device named for CreateDCW (drivers registered with RegisterDCDriver).
std::shared_ptr<CDCSurface> OpenDevice(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* settings);

// New bitmaps: a device-dependent one (1 or 32 bits per pixel, black), or a DIB section.
std::shared_ptr<BitmapData> NewDeviceBitmap(int width, int height, int bitsPixel);
std::shared_ptr<BitmapData> NewDibSection(const DibFormat& format);
// A brush record for a description (the pattern bitmap is copied); null when invalid.
std::shared_ptr<BrushData> NewBrush(const LOGBRUSH& brush);

}  // namespace gdi
