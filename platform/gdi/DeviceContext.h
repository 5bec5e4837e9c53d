#pragma once
// Internal to the drawing layer: the record behind an HDC and every drawing operation on it.
// Coordinates are logical (MM_TEXT: device = logical - window origin + viewport origin); a device
// point lies at `origin` in the surface's image. A DC is used by one thread at a time.

#include "platform/gdi/GdiObjects.h"

#include <QPainterPath>

#include <optional>
#include <string_view>
#include <vector>

namespace gdi {

struct Figure;

// What SaveDC keeps.
struct DCState {
  std::shared_ptr<PenData> pen;
  std::shared_ptr<BrushData> brush;
  std::shared_ptr<FontData> font;
  std::shared_ptr<BitmapData> bitmap;  // memory DCs only
  std::shared_ptr<PaletteData> palette;
  COLORREF textColour { RGB(0, 0, 0) };
  COLORREF bkColour { RGB(255, 255, 255) };
  int bkMode { OPAQUE };
  int mixMode { R2_COPYPEN };
  int stretchMode { BLACKONWHITE };
  int polyFillMode { ALTERNATE };
  POINT viewportOrg { 0, 0 };
  POINT windowOrg { 0, 0 };
  POINT position { 0, 0 };
  std::optional<QRegion> clip;  // device coordinates; none = no clipping of the caller's
};

class DeviceContext {
public:
  // A DC on a device surface.
  DeviceContext(std::shared_ptr<CDCSurface> device, QPoint origin, std::optional<QRegion> visible);
  // A memory DC drawing on its selected bitmap; `reference` answers the device capabilities.
  explicit DeviceContext(std::shared_ptr<CDCSurface> reference);
  ~DeviceContext();

  HDC handle { nullptr };
  DWORD layout { 0 };  // kept for GetLayout; drawing always runs left to right
  bool IsMemory() const { return m_memory; }
  const DCState& State() const { return m_state; }
  DCState& State() { return m_state; }
  // The surface drawn on now and whether it holds black and white only.
  CDCSurface* Surface() const;
  bool IsMonochrome() const;
  const std::shared_ptr<CDCSurface>& Device() const { return m_device; }

  int GetDeviceCaps(int index) const;
  int Save();
  BOOL Restore(int level);
  // Selects a pen, brush, font, bitmap or palette; the handle of the previous one, or null.
  HGDIOBJ Select(const std::shared_ptr<ObjectData>& object);
  HGDIOBJ Current(DWORD objectType) const;

  QPoint ToDevice(POINT logical) const;
  POINT ToLogical(QPoint device) const;

  // Clipping (device coordinates for regions, logical for rectangles); results are region kinds.
  int SelectClip(const QRegion* region);
  int IntersectClip(const RECT& logical);
  int ExcludeClip(const RECT& logical);
  int GetClipBox(RECT& logical) const;

  BOOL MoveTo(int x, int y, POINT* previous);
  BOOL LineTo(int x, int y);
  BOOL Polyline(const POINT* points, int count);
  BOOL Polygon(const POINT* points, int count);
  BOOL Rectangle(int left, int top, int right, int bottom);
  BOOL Ellipse(int left, int top, int right, int bottom);
  BOOL FillRect(const RECT& rect, const std::shared_ptr<BrushData>& brush);
  BOOL FrameRect(const RECT& rect, const std::shared_ptr<BrushData>& brush);
  BOOL FillRegion(const QRegion& logical, const std::shared_ptr<BrushData>& brush);
  BOOL InvertRect(const RECT& rect);
  BOOL FillSolid(const RECT& rect, COLORREF colour);
  BOOL DrawFocusRect(const RECT& rect);
  BOOL DrawEdge(RECT& rect, UINT edge, UINT flags);
  BOOL DrawSizeGrip(const RECT& rect);
  COLORREF GetPixel(int x, int y) const;
  COLORREF SetPixel(int x, int y, COLORREF colour);

  BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
  BOOL StretchBlt(int x, int y, int width, int height, DeviceContext* source, int sx, int sy, int sw, int sh,
                  DWORD rop);
  // A DIB as the source; the source rectangle is in rows from the top of the picture.
  BOOL BlitDib(int x, int y, int width, int height, const DibFormat& format, const void* bits, int sx, int sy,
               int sw, int sh, DWORD rop);
  // Any source of rows; the source rectangle is in its pixels.
  BOOL BlitSource(int x, int y, int width, int height, const PixelSource& source, int sx, int sy, int sw, int sh,
                  DWORD rop);

  // Shows this DC's drag outline (the frame of `rect`, `size` thick, filled with the brush)
  // through the installed presenter, or hides it when the frame is empty. Only DCs whose device
  // has a place on the screen show outlines.
  void DragOutline(const RECT* rect, SIZE size, const BrushData* brush);

  BOOL TextOut(int x, int y, std::u16string_view text);
  BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, std::u16string_view text);
  int DrawText(std::u16string_view text, RECT& rect, UINT format);
  bool TextExtent(std::u16string_view text, SIZE& size);
  bool TextMetrics(TEXTMETRICW& metrics);

private:
  class Canvas;
  friend class Canvas;

  QRegion VisibleInSurface(const QImage& image) const;
  QPoint BrushOrigin() const;
  Pattern PenPattern(bool monochrome) const;
  Pattern BackgroundPattern(bool monochrome) const;
  std::optional<Pattern> BrushPattern(const BrushData* brush, bool shape, bool monochrome) const;
  // The same with the tile laid from `origin` (surface pixels) instead of the DC's origin.
  std::optional<Pattern> BrushPattern(const BrushData* brush, bool shape, bool monochrome, QPoint origin) const;
  // Fills a figure with the brush, then draws its outline with the pen (surface pixels).
  BOOL DrawFigure(const Figure& figure);
  // Logical point (0, 0) in surface pixels, and a logical rectangle (normalised) there.
  QPoint SurfaceOffset() const;
  QRect ToSurface(const RECT& logical) const;
  // Fills surface pixels with a brush (nothing for the null brush).
  BOOL PaintArea(const QRegion& area, const BrushData* brush);
  // A blit from logical destination coordinates and a source rectangle in source pixels,
  // mirrored where the signs of the sizes differ, and its run through the current brush.
  BlitRequest Request(int x, int y, int width, int height, const QRect& source, int sw, int sh, DWORD rop) const;
  BOOL BlitInto(Canvas& canvas, const BlitRequest& request, const PixelSource* source);
  QRect DeviceArea() const;
  QRegion ClipDevice() const;
  int ClipKind() const;

  std::shared_ptr<CDCSurface> m_device;  // the device, or the reference device of a memory DC
  QPoint m_origin;
  std::optional<QRegion> m_visible;
  bool m_memory { false };
  DCState m_state;
  std::vector<DCState> m_saved;
  bool m_outline { false };  // the presenter holds an outline of this DC
};

}  // namespace gdi
