#include "platform/gdi/DeviceContext.h"

#include "platform/gdi/Text.h"
#include "platform/gdi/gdi.h"

#include <QPainter>

#include <algorithm>
#include <functional>

namespace gdi {

// A figure in surface pixels: an area for the brush and an outline for the pen.
struct Figure {
  std::optional<QRect> fillRect;
  std::optional<QPainterPath> fillPath;
  std::vector<QPoint> corners;  // thin pens go from corner to corner pixel by pixel
  QPainterPath outline;         // through pixel centres; wide pens (and thin ones without corners)
  bool closed { true };
};

namespace {

// On and off runs of styled thin pens, in pixels.
std::vector<bool> DashPattern(int style) {
  std::vector<int> runs;
  switch (style) {
    case PS_DASH: runs = {18, 6}; break;
    case PS_DOT: runs = {3, 3}; break;
    case PS_DASHDOT: runs = {9, 6, 3, 6}; break;
    case PS_DASHDOTDOT: runs = {9, 3, 3, 3, 3, 3}; break;
    default: return {};
  }
  std::vector<bool> pattern;
  for (size_t i = 0; i < runs.size(); ++i) pattern.insert(pattern.end(), size_t(runs[i]), i % 2 == 0);
  return pattern;
}

// The pixels of a thin line from a to b, b itself excluded. `step` counts pixels along the
// pen's style and carries on across the segments of one figure.
void RasterLine(Mask& mask, QPoint a, QPoint b, const std::vector<bool>& dashes, int64_t& step) {
  const int64_t dx = int64_t(b.x()) - a.x();
  const int64_t dy = int64_t(b.y()) - a.y();
  const int64_t adx = dx < 0 ? -dx : dx;
  const int64_t ady = dy < 0 ? -dy : dy;
  const int64_t n = std::max(adx, ady);
  if (n == 0) return;
  const int sx = dx < 0 ? -1 : 1;
  const int sy = dy < 0 ? -1 : 1;
  const bool xMajor = adx >= ady;
  const int64_t minor = xMajor ? ady : adx;
  // Only the steps whose major coordinate falls inside the mask.
  const QRect& r = mask.Bounds();
  const int64_t start = xMajor ? a.x() : a.y();
  const int direction = xMajor ? sx : sy;
  const int64_t low = xMajor ? r.left() : r.top();
  const int64_t high = xMajor ? r.right() : r.bottom();
  int64_t first = 0, last = n - 1;
  if (direction > 0) {
    first = std::max(first, low - start);
    last = std::min(last, high - start);
  } else {
    first = std::max(first, start - high);
    last = std::min(last, start - low);
  }
  for (int64_t i = first; i <= last; ++i) {
    // The minor coordinate rounded half away from the start.
    const int64_t m = int64_t((static_cast<unsigned __int128>(i) * minor * 2 + n) / (unsigned __int128)(2 * n));
    const int x = int(xMajor ? a.x() + sx * i : a.x() + sx * m);
    const int y = int(xMajor ? a.y() + sy * m : a.y() + sy * i);
    const bool on = dashes.empty() || dashes[size_t((step + i) % int64_t(dashes.size()))];
    mask.Set(x, y, on ? 1 : 2);
  }
  step += n;
}

// The shape drawn by `paint` as coverage of `bounds` (surface pixels), without anti-aliasing.
QImage Coverage(const QRect& bounds, const std::function<void(QPainter&)>& paint) {
  QImage image(bounds.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.translate(-bounds.topLeft());
  paint(painter);
  return image;
}

QRect Bounds(const std::vector<QPoint>& points) {
  QRect r;
  for (const QPoint& p : points) r |= QRect(p, QSize(1, 1));
  return r;
}

QRect Normalised(int left, int top, int right, int bottom) {
  return QRect(QPoint(std::min(left, right), std::min(top, bottom)), QPoint(std::max(left, right) - 1, std::max(top, bottom) - 1));
}

int RegionKind(const QRegion& region) {
  if (region.isEmpty()) return NULLREGION;
  return region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// The one-pixel border of a rectangle.
QRegion FrameOf(const QRect& area) { return QRegion(area) - QRegion(area.adjusted(1, 1, -1, -1)); }

QImage CheckerTile() {
  QImage tile(8, 8, QImage::Format_RGB32);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) tile.setPixel(x, y, ((x + y) & 1) ? kWhite : kBlack);
  return tile;
}

}  // namespace

// One call's hold on the pixels: BeginAccess when made, EndAccess with what changed at the end.
class DeviceContext::Canvas {
public:
  explicit Canvas(const DeviceContext& dc) : m_surface(dc.Surface()) {
    if (!m_surface) return;
    m_image = m_surface->BeginAccess();
    if (!m_image) return;
    if (m_image->format() != QImage::Format_RGB32) {
      m_surface->EndAccess(QRect());
      m_image = nullptr;
      return;
    }
    m_monochrome = m_surface->IsMonochrome();
    m_clip = dc.VisibleInSurface(*m_image);
    if (dc.m_state.clip) m_clip &= dc.m_state.clip->translated(dc.m_origin);
    m_offset = dc.SurfaceOffset();
  }
  ~Canvas() {
    if (m_image) m_surface->EndAccess(m_changed & m_image->rect());
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  explicit operator bool() const { return m_image != nullptr; }
  QImage& Image() { return *m_image; }
  const QRegion& Clip() const { return m_clip; }
  bool Mono() const { return m_monochrome; }
  QPoint At(int x, int y) const { return QPoint(x, y) + m_offset; }
  void Changed(const QRect& rect) { m_changed |= rect; }

private:
  CDCSurface* m_surface;
  QImage* m_image { nullptr };
  QRegion m_clip;
  QPoint m_offset;
  bool m_monochrome { false };
  QRect m_changed;
};

DeviceContext::DeviceContext(std::shared_ptr<CDCSurface> device, QPoint origin, std::optional<QRegion> visible)
    : m_device(std::move(device)), m_origin(origin), m_visible(std::move(visible)) {
  HandleTable& table = HandleTable::Get();
  m_state.pen = std::static_pointer_cast<PenData>(table.Stock(BLACK_PEN));
  m_state.brush = std::static_pointer_cast<BrushData>(table.Stock(WHITE_BRUSH));
  m_state.font = std::static_pointer_cast<FontData>(table.Stock(SYSTEM_FONT));
  m_state.palette = std::static_pointer_cast<PaletteData>(table.Stock(DEFAULT_PALETTE));
}

DeviceContext::DeviceContext(std::shared_ptr<CDCSurface> reference) : DeviceContext(std::move(reference), QPoint(), std::nullopt) {
  m_memory = true;
  m_state.bitmap = HandleTable::Get().DefaultBitmap();
}

DeviceContext::~DeviceContext() {
  if (m_state.bitmap) HandleTable::Get().ReleaseBitmap(*m_state.bitmap, handle);
  if (m_outline)
    if (CDragOutlinePresenter* presenter = DragOutlinePresenter()) presenter->Forget(handle);
}

CDCSurface* DeviceContext::Surface() const {
  if (m_memory) return m_state.bitmap ? m_state.bitmap->surface.get() : nullptr;
  return m_device.get();
}

bool DeviceContext::IsMonochrome() const {
  const CDCSurface* surface = Surface();
  return surface && surface->IsMonochrome();
}

int DeviceContext::GetDeviceCaps(int index) const { return m_device ? m_device->GetDeviceCaps(index) : 0; }

int DeviceContext::Save() {
  m_saved.push_back(m_state);
  return int(m_saved.size());
}

BOOL DeviceContext::Restore(int level) {
  const int count = int(m_saved.size());
  if (level < 0) level = count + 1 + level;
  if (level < 1 || level > count) return FALSE;
  DCState restored = m_saved[size_t(level) - 1];
  m_saved.resize(size_t(level) - 1);
  if (m_memory && restored.bitmap != m_state.bitmap) {
    HandleTable& table = HandleTable::Get();
    if (m_state.bitmap) table.ReleaseBitmap(*m_state.bitmap, handle);
    if (restored.bitmap && !table.SelectBitmap(*restored.bitmap, handle)) restored.bitmap = table.DefaultBitmap();
  }
  m_state = std::move(restored);
  return TRUE;
}

HGDIOBJ DeviceContext::Select(const std::shared_ptr<ObjectData>& object) {
  if (!object) return nullptr;
  auto swap = [](auto& slot, const std::shared_ptr<ObjectData>& next) {
    HGDIOBJ previous = slot ? slot->handle : nullptr;
    slot = std::static_pointer_cast<typename std::decay_t<decltype(slot)>::element_type>(next);
    return previous;
  };
  switch (object->type) {
    case OBJ_PEN: return swap(m_state.pen, object);
    case OBJ_BRUSH: return swap(m_state.brush, object);
    case OBJ_FONT: return swap(m_state.font, object);
    case OBJ_PAL: return swap(m_state.palette, object);
    case OBJ_BITMAP: {
      if (!m_memory) return nullptr;
      HandleTable& table = HandleTable::Get();
      auto& bitmap = static_cast<BitmapData&>(*object);
      if (!table.SelectBitmap(bitmap, handle)) return nullptr;
      if (m_state.bitmap && m_state.bitmap.get() != &bitmap) table.ReleaseBitmap(*m_state.bitmap, handle);
      return swap(m_state.bitmap, object);
    }
    default: return nullptr;
  }
}

HGDIOBJ DeviceContext::Current(DWORD objectType) const {
  const ObjectData* object = nullptr;
  switch (objectType) {
    case OBJ_PEN: object = m_state.pen.get(); break;
    case OBJ_BRUSH: object = m_state.brush.get(); break;
    case OBJ_FONT: object = m_state.font.get(); break;
    case OBJ_PAL: object = m_state.palette.get(); break;
    case OBJ_BITMAP: object = m_state.bitmap.get(); break;
  }
  return object ? object->handle : nullptr;
}

QPoint DeviceContext::ToDevice(POINT logical) const {
  return QPoint(logical.x - m_state.windowOrg.x + m_state.viewportOrg.x, logical.y - m_state.windowOrg.y + m_state.viewportOrg.y);
}

POINT DeviceContext::ToLogical(QPoint device) const {
  return POINT{device.x() - m_state.viewportOrg.x + m_state.windowOrg.x, device.y() - m_state.viewportOrg.y + m_state.windowOrg.y};
}

QPoint DeviceContext::SurfaceOffset() const { return m_origin + ToDevice(POINT{0, 0}); }

QRect DeviceContext::ToSurface(const RECT& logical) const {
  return Normalised(logical.left, logical.top, logical.right, logical.bottom).translated(SurfaceOffset());
}

QRegion DeviceContext::VisibleInSurface(const QImage& image) const {
  QRegion visible = m_visible ? m_visible->translated(m_origin) : QRegion(image.rect());
  return visible & image.rect();
}

QRect DeviceContext::DeviceArea() const {
  const CDCSurface* surface = Surface();
  const QRect whole = surface ? QRect(-m_origin, surface->GetSize()) : QRect();
  return m_visible ? (m_visible->boundingRect() & whole) : whole;
}

QRegion DeviceContext::ClipDevice() const {
  const CDCSurface* surface = Surface();
  QRegion area = surface ? QRegion(QRect(-m_origin, surface->GetSize())) : QRegion();
  if (m_visible) area &= *m_visible;
  if (m_state.clip) area &= *m_state.clip;
  return area;
}

int DeviceContext::ClipKind() const { return RegionKind(ClipDevice()); }

int DeviceContext::SelectClip(const QRegion* region) {
  if (region) {
    m_state.clip = *region;
  } else {
    m_state.clip.reset();
  }
  return ClipKind();
}

int DeviceContext::IntersectClip(const RECT& logical) {
  const QPoint a = ToDevice(POINT{logical.left, logical.top});
  const QPoint b = ToDevice(POINT{logical.right, logical.bottom});
  const QRegion rect(Normalised(a.x(), a.y(), b.x(), b.y()));
  m_state.clip = m_state.clip ? (*m_state.clip & rect) : rect;
  return ClipKind();
}

int DeviceContext::ExcludeClip(const RECT& logical) {
  const QPoint a = ToDevice(POINT{logical.left, logical.top});
  const QPoint b = ToDevice(POINT{logical.right, logical.bottom});
  const QRegion rect(Normalised(a.x(), a.y(), b.x(), b.y()));
  m_state.clip = (m_state.clip ? *m_state.clip : QRegion(DeviceArea())) - rect;
  return ClipKind();
}

int DeviceContext::GetClipBox(RECT& logical) const {
  const QRegion clip = ClipDevice();
  if (clip.isEmpty()) {
    logical = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  const QRect box = clip.boundingRect();
  const POINT a = ToLogical(box.topLeft());
  const POINT b = ToLogical(box.bottomRight() + QPoint(1, 1));
  logical = RECT{a.x, a.y, b.x, b.y};
  return RegionKind(clip);
}

QPoint DeviceContext::BrushOrigin() const { return m_origin; }

Pattern DeviceContext::PenPattern(bool monochrome) const {
  Pattern p = Pattern::Solid(PixelFromColour(m_state.pen->logPen.lopnColor));
  if (monochrome) p.MakeMonochrome();
  return p;
}

Pattern DeviceContext::BackgroundPattern(bool monochrome) const {
  Pattern p = Pattern::Solid(PixelFromColour(m_state.bkColour));
  if (monochrome) p.MakeMonochrome();
  return p;
}

std::optional<Pattern> DeviceContext::BrushPattern(const BrushData* brush, bool shape, bool monochrome) const {
  return BrushPattern(brush, shape, monochrome, BrushOrigin());
}

std::optional<Pattern> DeviceContext::BrushPattern(const BrushData* brush, bool shape, bool monochrome,
                                                   QPoint origin) const {
  if (!brush) return std::nullopt;
  Pattern p;
  switch (brush->kind) {
    case BrushData::Kind::Null:
      return std::nullopt;
    case BrushData::Kind::Solid:
      p = Pattern::Solid(PixelFromColour(brush->logBrush.lbColor));
      break;
    case BrushData::Kind::Hatch:
      p = Pattern::TwoColour(brush->tile, PixelFromColour(brush->logBrush.lbColor), PixelFromColour(m_state.bkColour),
                             shape && m_state.bkMode == TRANSPARENT, origin);
      break;
    case BrushData::Kind::MonoPattern:
      p = Pattern::TwoColour(brush->tile, PixelFromColour(m_state.textColour), PixelFromColour(m_state.bkColour), false,
                             origin);
      break;
    case BrushData::Kind::ColourPattern:
      p = Pattern::Tile(brush->tile, origin);
      break;
  }
  if (monochrome) p.MakeMonochrome();
  return p;
}

BOOL DeviceContext::DrawFigure(const Figure& figure) {
  Canvas canvas(*this);
  if (!canvas) return FALSE;
  const bool mono = canvas.Mono();
  const uint8_t rop = MixTable(m_state.mixMode);
  const QRect clipBounds = canvas.Clip().boundingRect();
  if (std::optional<Pattern> brush = BrushPattern(m_state.brush.get(), true, mono)) {
    if (figure.fillRect) {
      canvas.Changed(FillArea(canvas.Image(), canvas.Clip(), *figure.fillRect, *brush, rop));
    } else if (figure.fillPath) {
      const QRect bounds = figure.fillPath->boundingRect().toAlignedRect().adjusted(-1, -1, 1, 1) & clipBounds;
      if (!bounds.isEmpty()) {
        Mask mask(bounds);
        mask.SetFromCoverage(Coverage(bounds, [&](QPainter& p) { p.fillPath(*figure.fillPath, Qt::white); }), 3);
        const Pattern* patterns[4] = {nullptr, nullptr, nullptr, &*brush};
        canvas.Changed(FillMask(canvas.Image(), canvas.Clip(), mask, patterns, rop));
      }
    }
  }

  const LOGPEN& pen = m_state.pen->logPen;
  const int style = int(pen.lopnStyle & PS_STYLE_MASK);
  if (style == PS_NULL) return TRUE;
  const bool thin = pen.lopnWidth.x <= 1;
  const int width = std::max<int>(1, pen.lopnWidth.x);
  const QRect shape = Bounds(figure.corners) | figure.outline.boundingRect().toAlignedRect();
  const QRect bounds = shape.adjusted(-width - 1, -width - 1, width + 1, width + 1) & clipBounds;
  if (bounds.isEmpty()) return TRUE;
  Mask mask(bounds);
  const bool styled = thin && style >= PS_DASH && style <= PS_DASHDOTDOT;
  if (thin && !figure.corners.empty()) {
    const std::vector<bool> dashes = styled ? DashPattern(style) : std::vector<bool>();
    int64_t step = 0;
    const size_t n = figure.corners.size();
    for (size_t i = 0; i + 1 < n; ++i) RasterLine(mask, figure.corners[i], figure.corners[i + 1], dashes, step);
    if (figure.closed && n > 1) RasterLine(mask, figure.corners[n - 1], figure.corners[0], dashes, step);
  } else {
    QPen qpen(Qt::white);
    if (thin) {
      qpen.setWidth(0);
    } else {
      qpen.setWidth(width);
      qpen.setCapStyle(Qt::RoundCap);
      qpen.setJoinStyle(Qt::RoundJoin);
    }
    mask.SetFromCoverage(Coverage(bounds, [&](QPainter& p) { p.strokePath(figure.outline, qpen); }), 1);
  }
  const Pattern penPattern = PenPattern(mono);
  const Pattern gapPattern = BackgroundPattern(mono);
  const bool gaps = styled && m_state.bkMode == OPAQUE;
  const Pattern* patterns[4] = {nullptr, &penPattern, gaps ? &gapPattern : nullptr, nullptr};
  canvas.Changed(FillMask(canvas.Image(), canvas.Clip(), mask, patterns, rop));
  return TRUE;
}

BOOL DeviceContext::MoveTo(int x, int y, POINT* previous) {
  if (previous) *previous = m_state.position;
  m_state.position = POINT{x, y};
  return TRUE;
}

BOOL DeviceContext::LineTo(int x, int y) {
  const POINT from = m_state.position;
  m_state.position = POINT{x, y};
  const POINT points[2] = {from, POINT{x, y}};
  return Polyline(points, 2);
}

BOOL DeviceContext::Polyline(const POINT* points, int count) {
  if (!points || count < 2) return FALSE;
  const QPoint offset = SurfaceOffset();
  Figure figure;
  figure.closed = false;
  for (int i = 0; i < count; ++i) {
    const QPoint p = QPoint(points[i].x, points[i].y) + offset;
    figure.corners.push_back(p);
    const QPointF centre = QPointF(p) + QPointF(0.5, 0.5);
    if (i == 0) {
      figure.outline.moveTo(centre);
    } else {
      figure.outline.lineTo(centre);
    }
  }
  return DrawFigure(figure);
}

BOOL DeviceContext::Polygon(const POINT* points, int count) {
  if (!points || count < 2) return FALSE;
  const QPoint offset = SurfaceOffset();
  Figure figure;
  QPolygonF area;
  for (int i = 0; i < count; ++i) {
    const QPoint p = QPoint(points[i].x, points[i].y) + offset;
    figure.corners.push_back(p);
    area << QPointF(p);
    const QPointF centre = QPointF(p) + QPointF(0.5, 0.5);
    if (i == 0) {
      figure.outline.moveTo(centre);
    } else {
      figure.outline.lineTo(centre);
    }
  }
  figure.outline.closeSubpath();
  QPainterPath fill;
  fill.setFillRule(m_state.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
  fill.addPolygon(area);
  fill.closeSubpath();
  figure.fillPath = fill;
  return DrawFigure(figure);
}

BOOL DeviceContext::Rectangle(int left, int top, int right, int bottom) {
  const QRect box = ToSurface(RECT{left, top, right, bottom});
  if (box.isEmpty()) return TRUE;
  const LOGPEN& pen = m_state.pen->logPen;
  const int style = int(pen.lopnStyle & PS_STYLE_MASK);
  Figure figure;
  // The right column and bottom row of the box stay outside; a pen draws its border, the brush
  // what lies inside that border.
  if (style == PS_NULL) {
    figure.fillRect = box.adjusted(0, 0, -1, -1);
  } else {
    figure.fillRect = box.adjusted(1, 1, -1, -1);
  }
  figure.corners = {box.topLeft(), box.topRight(), box.bottomRight(), box.bottomLeft()};
  const int width = std::max<int>(1, pen.lopnWidth.x);
  QRectF centres = QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5);
  if (style == PS_INSIDEFRAME && width > 1) {
    const qreal inset = (width - 1) / 2.0;
    centres.adjust(inset, inset, -inset, -inset);
  }
  if (width > 1) figure.corners.clear();
  figure.outline.addRect(centres);
  return DrawFigure(figure);
}

BOOL DeviceContext::Ellipse(int left, int top, int right, int bottom) {
  const QRect box = ToSurface(RECT{left, top, right, bottom});
  if (box.isEmpty()) return TRUE;
  const LOGPEN& pen = m_state.pen->logPen;
  const int width = std::max<int>(1, pen.lopnWidth.x);
  Figure figure;
  QRectF centres = QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath fill;
  fill.addEllipse(centres);
  figure.fillPath = fill;
  if ((pen.lopnStyle & PS_STYLE_MASK) == PS_INSIDEFRAME && width > 1) {
    const qreal inset = (width - 1) / 2.0;
    centres.adjust(inset, inset, -inset, -inset);
  }
  figure.outline.addEllipse(centres);
  return DrawFigure(figure);
}

BOOL DeviceContext::PaintArea(const QRegion& area, const BrushData* brush) {
  Canvas canvas(*this);
  if (!canvas) return FALSE;
  const std::optional<Pattern> pattern = BrushPattern(brush, false, canvas.Mono());
  if (pattern) canvas.Changed(FillArea(canvas.Image(), canvas.Clip(), area, *pattern, kPatCopy));
  return TRUE;
}

BOOL DeviceContext::FillRect(const RECT& rect, const std::shared_ptr<BrushData>& brush) {
  return PaintArea(ToSurface(rect), brush.get());
}

BOOL DeviceContext::FrameRect(const RECT& rect, const std::shared_ptr<BrushData>& brush) {
  return PaintArea(FrameOf(ToSurface(rect)), brush.get());
}

BOOL DeviceContext::FillRegion(const QRegion& logical, const std::shared_ptr<BrushData>& brush) {
  return PaintArea(logical.translated(SurfaceOffset()), brush.get());
}

BOOL DeviceContext::InvertRect(const RECT& rect) {
  Canvas canvas(*this);
  if (!canvas) return FALSE;
  canvas.Changed(FillArea(canvas.Image(), canvas.Clip(), ToSurface(rect), Pattern(), RopTable(DSTINVERT)));
  return TRUE;
}

BOOL DeviceContext::FillSolid(const RECT& rect, COLORREF colour) {
  m_state.bkColour = colour;  // the fill colour stays the background colour afterwards
  Canvas canvas(*this);
  if (!canvas) return FALSE;
  Pattern pattern = Pattern::Solid(PixelFromColour(colour));
  if (canvas.Mono()) pattern.MakeMonochrome();
  canvas.Changed(FillArea(canvas.Image(), canvas.Clip(), ToSurface(rect), pattern, kPatCopy));
  return TRUE;
}

BOOL DeviceContext::DrawFocusRect(const RECT& rect) {
  Canvas canvas(*this);
  if (!canvas) return FALSE;
  // Every other pixel of a one-pixel frame is inverted, so drawing it again removes it.
  static const QImage checker = CheckerTile();
  const Pattern pattern = Pattern::TwoColour(checker, kBlack, kWhite, false, BrushOrigin());
  canvas.Changed(FillArea(canvas.Image(), canvas.Clip(), FrameOf(ToSurface(rect)), pattern, RopTable(PATINVERT)));
  return TRUE;
}

void DeviceContext::DragOutline(const RECT* rect, SIZE size, const BrushData* brush) {
  CDragOutlinePresenter* presenter = DragOutlinePresenter();
  const std::optional<QPoint> screen = m_memory || !m_device ? std::nullopt : m_device->ScreenPosition();
  if (!presenter || !screen) return;
  // Surface pixels from here on.
  QRegion frame;
  if (rect && (size.cx > 0 || size.cy > 0)) {
    const QRect outer = ToSurface(*rect);
    const int cx = std::max<int>(0, size.cx);
    const int cy = std::max<int>(0, size.cy);
    frame = QRegion(outer).subtracted(QRegion(outer.adjusted(cx, cy, -cx, -cy)));
    if (m_visible) frame &= m_visible->translated(m_origin);
    if (m_state.clip) frame &= m_state.clip->translated(m_origin);
  }
  // The tile lies as it would on the surface, so a moving outline keeps its checker in place.
  const QRect bounds = frame.boundingRect();
  const std::optional<Pattern> pattern =
      frame.isEmpty() ? std::nullopt : BrushPattern(brush, false, false, BrushOrigin() - bounds.topLeft());
  if (!pattern) {
    if (m_outline) presenter->Hide(handle);
    return;
  }
  const QRegion shape = frame.translated(-bounds.topLeft());
  QImage picture(bounds.size(), QImage::Format_RGB32);
  picture.fill(kBlack);
  FillArea(picture, shape, shape, *pattern, kPatCopy);
  presenter->Show(handle, bounds.translated(*screen), shape, picture);
  m_outline = true;
}

BOOL DeviceContext::DrawEdge(RECT& rect, UINT edge, UINT flags) {
  Canvas canvas(*this);
  if (!canvas) return FALSE;
  QRect area = ToSurface(rect);
  auto solid = [&](int index) {
    Pattern p = Pattern::Solid(PixelFromColour(GetSysColor(index)));
    if (canvas.Mono()) p.MakeMonochrome();
    return p;
  };
  // Each layer is one pixel: the top-left colour owns the top row and the left column up to the
  // far corner, the bottom-right colour the bottom row and the right column in full.
  auto layer = [&](int topLeft, int bottomRight) {
    if (area.isEmpty()) return;
    const Pattern light = solid(topLeft);
    const Pattern dark = solid(bottomRight);
    const QRect& a = area;
    if (flags & BF_TOP) canvas.Changed(FillArea(canvas.Image(), canvas.Clip(), QRect(a.left(), a.top(), a.width() - 1, 1), light, kPatCopy));
    if (flags & BF_LEFT) canvas.Changed(FillArea(canvas.Image(), canvas.Clip(), QRect(a.left(), a.top(), 1, a.height() - 1), light, kPatCopy));
    if (flags & BF_BOTTOM) canvas.Changed(FillArea(canvas.Image(), canvas.Clip(), QRect(a.left(), a.bottom(), a.width(), 1), dark, kPatCopy));
    if (flags & BF_RIGHT) canvas.Changed(FillArea(canvas.Image(), canvas.Clip(), QRect(a.right(), a.top(), 1, a.height()), dark, kPatCopy));
    area.adjust((flags & BF_LEFT) ? 1 : 0, (flags & BF_TOP) ? 1 : 0, (flags & BF_RIGHT) ? -1 : 0, (flags & BF_BOTTOM) ? -1 : 0);
  };
  if (edge & BDR_RAISEDOUTER) {
    layer(COLOR_3DLIGHT, COLOR_3DDKSHADOW);
  } else if (edge & BDR_SUNKENOUTER) {
    layer(COLOR_3DSHADOW, COLOR_3DHILIGHT);
  }
  if (edge & BDR_RAISEDINNER) {
    layer(COLOR_3DHILIGHT, COLOR_3DSHADOW);
  } else if (edge & BDR_SUNKENINNER) {
    layer(COLOR_3DDKSHADOW, COLOR_3DLIGHT);
  }
  if ((flags & BF_MIDDLE) && !area.isEmpty()) canvas.Changed(FillArea(canvas.Image(), canvas.Clip(), area, solid(COLOR_3DFACE), kPatCopy));
  if (flags & BF_ADJUST) {
    const QRect logical = area.translated(-SurfaceOffset());
    rect = RECT{logical.left(), logical.top(), logical.left() + logical.width(), logical.top() + logical.height()};
  }
  return TRUE;
}

BOOL DeviceContext::DrawSizeGrip(const RECT& rect) {
  Canvas canvas(*this);
  if (!canvas) return FALSE;
  const QRect area = ToSurface(rect);
  if (area.isEmpty()) return TRUE;
  Pattern face = Pattern::Solid(PixelFromColour(GetSysColor(COLOR_3DFACE)));
  Pattern light = Pattern::Solid(PixelFromColour(GetSysColor(COLOR_3DHILIGHT)));
  Pattern shadow = Pattern::Solid(PixelFromColour(GetSysColor(COLOR_3DSHADOW)));
  if (canvas.Mono()) {
    face.MakeMonochrome();
    light.MakeMonochrome();
    shadow.MakeMonochrome();
  }
  canvas.Changed(FillArea(canvas.Image(), canvas.Clip(), area, face, kPatCopy));
  // Diagonal ridges in the bottom-right square: a light line, then two shadow lines, every four pixels.
  const int size = std::min(area.width(), area.height());
  const QPoint corner = area.bottomRight();
  Mask mask(QRect(corner.x() - size + 1, corner.y() - size + 1, size, size));
  for (int d = 0; d < size; ++d) {
    const int kind = d % 4;
    if (kind == 3 || d < 2) continue;
    for (int i = 0; i <= d && i < size; ++i) mask.Set(corner.x() - d + i, corner.y() - i, kind == 0 ? 1 : 2);
  }
  const Pattern* patterns[4] = {nullptr, &light, &shadow, nullptr};
  canvas.Changed(FillMask(canvas.Image(), canvas.Clip(), mask, patterns, kPatCopy));
  return TRUE;
}

COLORREF DeviceContext::GetPixel(int x, int y) const {
  Canvas canvas(*this);
  if (!canvas) return CLR_INVALID;
  const QPoint p = canvas.At(x, y);
  if (!canvas.Clip().contains(p)) return CLR_INVALID;
  return ColourFromPixel(reinterpret_cast<const uint32_t*>(canvas.Image().constScanLine(p.y()))[p.x()]);
}

COLORREF DeviceContext::SetPixel(int x, int y, COLORREF colour) {
  Canvas canvas(*this);
  if (!canvas) return CLR_INVALID;
  const QPoint p = canvas.At(x, y);
  if (!canvas.Clip().contains(p)) return CLR_INVALID;
  uint32_t pixel = PixelFromColour(colour);
  if (canvas.Mono()) pixel = NearestMono(pixel);
  reinterpret_cast<uint32_t*>(canvas.Image().scanLine(p.y()))[p.x()] = pixel;
  canvas.Changed(QRect(p, QSize(1, 1)));
  return ColourFromPixel(pixel);
}

BlitRequest DeviceContext::Request(int x, int y, int width, int height, const QRect& source, int sw, int sh,
                                   DWORD rop) const {
  BlitRequest request;
  request.destination = ToSurface(RECT{x, y, x + width, y + height});
  request.source = source;
  request.mirrorX = (width < 0) != (sw < 0);
  request.mirrorY = (height < 0) != (sh < 0);
  request.stretchMode = m_state.stretchMode;
  request.rop = RopTable(rop);
  return request;
}

BOOL DeviceContext::BlitInto(Canvas& canvas, const BlitRequest& request, const PixelSource* source) {
  const std::optional<Pattern> pattern = BrushPattern(m_state.brush.get(), false, canvas.Mono());
  if (RopUsesPattern(request.rop) && !pattern) return TRUE;  // the null brush paints nothing
  canvas.Changed(Blit(canvas.Image(), canvas.Clip(), request, source, pattern ? &*pattern : nullptr, canvas.Mono()));
  return TRUE;
}

BOOL DeviceContext::PatBlt(int x, int y, int width, int height, DWORD rop) {
  if (RopUsesSource(RopTable(rop))) return FALSE;
  Canvas canvas(*this);
  if (!canvas) return FALSE;
  return BlitInto(canvas, Request(x, y, width, height, QRect(), 1, 1, rop), nullptr);
}

BOOL DeviceContext::StretchBlt(int x, int y, int width, int height, DeviceContext* source, int sx, int sy, int sw,
                               int sh, DWORD rop) {
  if (!RopUsesSource(RopTable(rop))) return PatBlt(x, y, width, height, rop);
  if (!source || width == 0 || height == 0 || sw == 0 || sh == 0) return FALSE;
  CDCSurface* sourceSurface = source->Surface();
  if (!sourceSurface) return FALSE;
  Canvas canvas(*this);
  if (!canvas) return FALSE;
  BlitRequest request = Request(x, y, width, height, source->ToSurface(RECT{sx, sy, sx + sw, sy + sh}), sw, sh, rop);

  // Colour and monochrome meet through the text and background colours.
  ImageSource::Mapping mapping = ImageSource::Mapping::None;
  uint32_t fore = kBlack, back = kWhite;
  if (sourceSurface->IsMonochrome() && !canvas.Mono()) {
    mapping = ImageSource::Mapping::MonoToColour;
    fore = PixelFromColour(m_state.textColour);
    back = PixelFromColour(m_state.bkColour);
  } else if (!sourceSurface->IsMonochrome() && canvas.Mono()) {
    mapping = ImageSource::Mapping::ColourToMono;
    back = PixelFromColour(source->m_state.bkColour);
  }

  if (sourceSurface == Surface()) {
    // Within one image: read from a copy, so that overlapping parts move as a whole.
    const QRect part = request.source & canvas.Image().rect();
    if (part.isEmpty()) return TRUE;
    const ImageSource pixels(canvas.Image().copy(part), mapping, fore, back);
    request.source.translate(-part.topLeft());
    return BlitInto(canvas, request, &pixels);
  }
  const QImage* image = sourceSurface->BeginAccess();
  if (!image) return FALSE;
  // Shares the source's data: the blit only reads it.
  const ImageSource pixels(image->format() == QImage::Format_RGB32 ? *image : image->convertToFormat(QImage::Format_RGB32),
                           mapping, fore, back);
  const BOOL done = BlitInto(canvas, request, &pixels);
  sourceSurface->EndAccess(QRect());
  return done;
}

BOOL DeviceContext::BlitDib(int x, int y, int width, int height, const DibFormat& format, const void* bits, int sx,
                            int sy, int sw, int sh, DWORD rop) {
  if (!bits) return FALSE;
  return BlitSource(x, y, width, height, DibSource(format, bits), sx, sy, sw, sh, rop);
}

BOOL DeviceContext::BlitSource(int x, int y, int width, int height, const PixelSource& source, int sx, int sy, int sw,
                               int sh, DWORD rop) {
  if (width == 0 || height == 0 || sw == 0 || sh == 0) return FALSE;
  Canvas canvas(*this);
  if (!canvas) return FALSE;
  return BlitInto(canvas, Request(x, y, width, height, Normalised(sx, sy, sx + sw, sy + sh), sw, sh, rop), &source);
}

BOOL DeviceContext::TextOut(int x, int y, std::u16string_view text) { return ExtTextOut(x, y, 0, nullptr, text); }

BOOL DeviceContext::ExtTextOut(int x, int y, UINT options, const RECT* rect, std::u16string_view text) {
  if (!text.empty() && !FontsAvailable()) return FALSE;
  Canvas canvas(*this);
  if (!canvas) return FALSE;
  const bool mono = canvas.Mono();
  auto pixel = [mono](COLORREF colour) { return mono ? NearestMono(PixelFromColour(colour)) : PixelFromColour(colour); };
  QRegion clip = canvas.Clip();
  if (rect) {
    const QRect area = ToSurface(*rect);
    if (options & ETO_OPAQUE) canvas.Changed(FillArea(canvas.Image(), clip, area, Pattern::Solid(pixel(m_state.bkColour)), kPatCopy));
    if (options & ETO_CLIPPED) clip &= area;
  }
  if (text.empty()) return TRUE;
  std::optional<uint32_t> background;
  if (m_state.bkMode == OPAQUE) background = pixel(m_state.bkColour);
  canvas.Changed(DrawTextRun(canvas.Image(), clip, *m_state.font, mono, canvas.At(x, y), TextRun{std::u16string(text)},
                             pixel(m_state.textColour), background));
  return TRUE;
}

int DeviceContext::DrawText(std::u16string_view text, RECT& rect, UINT format) {
  TEXTMETRICW metrics;
  if (!FontMetrics(*m_state.font, metrics)) return 0;
  const int lineHeight = metrics.tmHeight;
  const int width = rect.right - rect.left;
  const std::vector<TextRun> lines = LayoutText(*m_state.font, text, format, width);
  const int total = lineHeight * int(lines.size());
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const TextRun& line : lines) widest = std::max(widest, TextWidth(*m_state.font, line.text));
    rect.right = rect.left + widest;
    rect.bottom = rect.top + total;
    return total;
  }
  int top = rect.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) {
      top = rect.top + (rect.bottom - rect.top - lineHeight) / 2;
    } else if (format & DT_BOTTOM) {
      top = rect.bottom - lineHeight;
    }
  }
  Canvas canvas(*this);
  if (!canvas) return 0;
  const bool mono = canvas.Mono();
  auto pixel = [mono](COLORREF colour) { return mono ? NearestMono(PixelFromColour(colour)) : PixelFromColour(colour); };
  QRegion clip = canvas.Clip();
  if (!(format & DT_NOCLIP)) clip &= ToSurface(rect);
  std::optional<uint32_t> background;
  if (m_state.bkMode == OPAQUE) background = pixel(m_state.bkColour);
  int y = top;
  for (const TextRun& line : lines) {
    const int lineWidth = TextWidth(*m_state.font, line.text);
    int x = rect.left;
    if (format & DT_CENTER) {
      x = rect.left + (width - lineWidth) / 2;
    } else if (format & DT_RIGHT) {
      x = rect.right - lineWidth;
    }
    canvas.Changed(DrawTextRun(canvas.Image(), clip, *m_state.font, mono, canvas.At(x, y), line, pixel(m_state.textColour), background));
    y += lineHeight;
  }
  return (top - rect.top) + total;
}

bool DeviceContext::TextExtent(std::u16string_view text, SIZE& size) {
  TEXTMETRICW metrics;
  if (!FontMetrics(*m_state.font, metrics)) return false;
  size = SIZE{TextWidth(*m_state.font, text), metrics.tmHeight};
  return true;
}

bool DeviceContext::TextMetrics(TEXTMETRICW& metrics) { return FontMetrics(*m_state.font, metrics); }

}  // namespace gdi
