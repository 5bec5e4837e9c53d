#include "platform/gdi/CDC.h"

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/WrapperMap.h"

#include <memory>

IMPLEMENT_DYNCREATE(CDC, CObject)

namespace {

void Forget(CDC& wrapper) { wrapper.m_hDC = wrapper.m_hAttribDC = nullptr; }

using Wrappers = gdi::WrapperMap<HDC, CDC, &Forget>;

std::shared_ptr<gdi::DeviceContext> Find(HDC dc) { return gdi::HandleTable::Get().FindDC(dc); }

std::shared_ptr<gdi::BrushData> BrushOf(const CBrush* brush) {
  return brush ? gdi::HandleTable::Get().Find<gdi::BrushData>(brush->m_hObject, OBJ_BRUSH) : nullptr;
}

// Runs `call` on the DC's record, or gives `failed` for a missing DC.
template <class Result, class Call>
Result With(HDC dc, Result failed, Call call) {
  const std::shared_ptr<gdi::DeviceContext> d = Find(dc);
  return d ? call(*d) : failed;
}

RECT Rect(int x, int y, int cx, int cy) { return RECT{x, y, x + cx, y + cy}; }

}  // namespace

CDC::~CDC() {
  if (m_hDC) ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC handle) {
  if (!handle) return nullptr;
  return Wrappers::Get().Find(handle, [handle] {
    auto wrapper = std::make_unique<CDC>();
    wrapper->m_hDC = wrapper->m_hAttribDC = handle;
    return wrapper;
  });
}

void CDC::DeleteTempMap() { Wrappers::ClearTemporaries(); }

BOOL CDC::Attach(HDC handle) {
  if (!handle || m_hDC) return FALSE;
  m_hDC = m_hAttribDC = handle;
  Wrappers::Get().Attach(handle, this);
  return TRUE;
}

HDC CDC::Detach() {
  HDC handle = m_hDC;
  if (!handle) return nullptr;
  m_hDC = m_hAttribDC = nullptr;
  Wrappers::Get().Detach(handle, this);
  return handle;
}

BOOL CDC::CreateDC(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* settings) {
  return Attach(::CreateDCW(driver, device, port, settings));
}

BOOL CDC::CreateCompatibleDC(CDC* dc) { return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr)); }

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  return ::DeleteDC(Detach());
}

void CDC::DrawDragRect(LPCRECT rect, SIZE size, LPCRECT, SIZE, CBrush* brush, CBrush*) {
  const std::shared_ptr<gdi::BrushData> fill = BrushOf(brush ? brush : GetHalftoneBrush());
  With(m_hDC, 0, [&](gdi::DeviceContext& d) {
    d.DragOutline(rect, size, fill.get());
    return 0;
  });
}

CBrush* CDC::GetHalftoneBrush() {
  static CBrush* const brush = [] {
    // Rows of a monochrome bitmap are padded to 16 bits; the first byte holds the 8 pixels.
    const WORD rows[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    CBitmap pattern;
    pattern.CreateBitmap(8, 8, 1, 1, rows);
    auto* made = new CBrush;  // lives as long as the process, as callers keep the pointer
    made->CreatePatternBrush(&pattern);
    return made;
  }();
  return brush;
}

CPen* CDC::SelectObject(CPen* pen) {
  return pen ? CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, pen->m_hObject))) : nullptr;
}

CBrush* CDC::SelectObject(CBrush* brush) {
  return brush ? CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, brush->m_hObject))) : nullptr;
}

CFont* CDC::SelectObject(CFont* font) {
  return font ? CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, font->m_hObject))) : nullptr;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  return bitmap ? CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap->m_hObject))) : nullptr;
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
  return object ? CGdiObject::FromHandle(::SelectObject(m_hDC, object->m_hObject)) : nullptr;
}

int CDC::SelectObject(CRgn* region) { return SelectClipRgn(region); }

CGdiObject* CDC::SelectStockObject(int index) {
  HGDIOBJ stock = ::GetStockObject(index);
  return stock ? CGdiObject::FromHandle(::SelectObject(m_hDC, stock)) : nullptr;
}

CPalette* CDC::SelectPalette(CPalette* palette, BOOL background) {
  return palette ? CPalette::FromHandle(::SelectPalette(m_hDC, *palette, background)) : nullptr;
}

CPen* CDC::GetCurrentPen() const { return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN))); }
CBrush* CDC::GetCurrentBrush() const {
  return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
}
CFont* CDC::GetCurrentFont() const { return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT))); }
CBitmap* CDC::GetCurrentBitmap() const {
  return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}

COLORREF CDC::SetTextColor(COLORREF colour) {
  return With(m_hDC, CLR_INVALID, [&](gdi::DeviceContext& d) { return std::exchange(d.State().textColour, colour); });
}
COLORREF CDC::GetTextColor() const {
  return With(m_hDC, CLR_INVALID, [](gdi::DeviceContext& d) { return d.State().textColour; });
}
COLORREF CDC::SetBkColor(COLORREF colour) {
  return With(m_hDC, CLR_INVALID, [&](gdi::DeviceContext& d) { return std::exchange(d.State().bkColour, colour); });
}
COLORREF CDC::GetBkColor() const {
  return With(m_hDC, CLR_INVALID, [](gdi::DeviceContext& d) { return d.State().bkColour; });
}

int CDC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return With(m_hDC, 0, [&](gdi::DeviceContext& d) { return std::exchange(d.State().bkMode, mode); });
}
int CDC::GetBkMode() const { return With(m_hDC, 0, [](gdi::DeviceContext& d) { return d.State().bkMode; }); }

int CDC::SetROP2(int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) return 0;
  return With(m_hDC, 0, [&](gdi::DeviceContext& d) { return std::exchange(d.State().mixMode, mode); });
}
int CDC::GetROP2() const { return With(m_hDC, 0, [](gdi::DeviceContext& d) { return d.State().mixMode; }); }

int CDC::SetPolyFillMode(int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return With(m_hDC, 0, [&](gdi::DeviceContext& d) { return std::exchange(d.State().polyFillMode, mode); });
}
int CDC::GetPolyFillMode() const { return With(m_hDC, 0, [](gdi::DeviceContext& d) { return d.State().polyFillMode; }); }

int CDC::SetMapMode(int mode) { return mode == MM_TEXT && Find(m_hDC) ? MM_TEXT : 0; }
int CDC::GetMapMode() const { return Find(m_hDC) ? MM_TEXT : 0; }

CPoint CDC::SetViewportOrg(int x, int y) {
  return With(m_hDC, CPoint(), [&](gdi::DeviceContext& d) { return CPoint(std::exchange(d.State().viewportOrg, POINT{x, y})); });
}
CPoint CDC::OffsetViewportOrg(int dx, int dy) {
  const CPoint previous = GetViewportOrg();
  SetViewportOrg(previous.x + dx, previous.y + dy);
  return previous;
}
CPoint CDC::GetViewportOrg() const {
  return With(m_hDC, CPoint(), [](gdi::DeviceContext& d) { return CPoint(d.State().viewportOrg); });
}
CPoint CDC::SetWindowOrg(int x, int y) {
  return With(m_hDC, CPoint(), [&](gdi::DeviceContext& d) { return CPoint(std::exchange(d.State().windowOrg, POINT{x, y})); });
}
CPoint CDC::OffsetWindowOrg(int dx, int dy) {
  const CPoint previous = GetWindowOrg();
  SetWindowOrg(previous.x + dx, previous.y + dy);
  return previous;
}
CPoint CDC::GetWindowOrg() const {
  return With(m_hDC, CPoint(), [](gdi::DeviceContext& d) { return CPoint(d.State().windowOrg); });
}

void CDC::LPtoDP(LPPOINT points, int count) const {
  const std::shared_ptr<gdi::DeviceContext> d = Find(m_hDC);
  if (!d || !points) return;
  for (int i = 0; i < count; ++i) {
    const QPoint p = d->ToDevice(points[i]);
    points[i] = POINT{p.x(), p.y()};
  }
}

void CDC::DPtoLP(LPPOINT points, int count) const {
  const std::shared_ptr<gdi::DeviceContext> d = Find(m_hDC);
  if (!d || !points) return;
  for (int i = 0; i < count; ++i) points[i] = d->ToLogical(QPoint(points[i].x, points[i].y));
}

int CDC::SelectClipRgn(CRgn* region) { return ::SelectClipRgn(m_hDC, region ? static_cast<HRGN>(*region) : nullptr); }

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
  return With(m_hDC, ERROR, [&](gdi::DeviceContext& d) { return d.IntersectClip(RECT{left, top, right, bottom}); });
}

int CDC::ExcludeClipRect(int left, int top, int right, int bottom) {
  return With(m_hDC, ERROR, [&](gdi::DeviceContext& d) { return d.ExcludeClip(RECT{left, top, right, bottom}); });
}

int CDC::GetClipBox(LPRECT rect) const {
  if (!rect) return ERROR;
  return With(m_hDC, ERROR, [&](gdi::DeviceContext& d) { return d.GetClipBox(*rect); });
}

CPoint CDC::MoveTo(int x, int y) {
  return With(m_hDC, CPoint(), [&](gdi::DeviceContext& d) {
    POINT previous;
    d.MoveTo(x, y, &previous);
    return CPoint(previous);
  });
}

BOOL CDC::LineTo(int x, int y) {
  return With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.LineTo(x, y); });
}

CPoint CDC::GetCurrentPosition() const {
  return With(m_hDC, CPoint(), [](gdi::DeviceContext& d) { return CPoint(d.State().position); });
}

BOOL CDC::Polyline(const POINT* points, int count) {
  return With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.Polyline(points, count); });
}

BOOL CDC::Polygon(const POINT* points, int count) {
  return With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.Polygon(points, count); });
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
  return With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.Rectangle(left, top, right, bottom); });
}

BOOL CDC::Ellipse(int left, int top, int right, int bottom) {
  return With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.Ellipse(left, top, right, bottom); });
}

void CDC::FillRect(LPCRECT rect, CBrush* brush) {
  if (!rect) return;
  With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.FillRect(*rect, BrushOf(brush)); });
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF colour) {
  if (!rect) return;
  With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.FillSolid(*rect, colour); });
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
  const RECT rect = Rect(x, y, cx, cy);
  FillSolidRect(&rect, colour);
}

void CDC::FrameRect(LPCRECT rect, CBrush* brush) {
  if (!rect) return;
  With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.FrameRect(*rect, BrushOf(brush)); });
}

void CDC::InvertRect(LPCRECT rect) {
  if (!rect) return;
  With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.InvertRect(*rect); });
}

void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight) {
  if (rect) Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
  FillSolidRect(x, y, cx - 1, 1, topLeft);
  FillSolidRect(x, y, 1, cy - 1, topLeft);
  FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
  FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

void CDC::DrawFocusRect(LPCRECT rect) {
  if (!rect) return;
  With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.DrawFocusRect(*rect); });
}

BOOL CDC::DrawEdge(LPRECT rect, UINT edge, UINT flags) {
  if (!rect) return FALSE;
  return With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.DrawEdge(*rect, edge, flags); });
}

BOOL CDC::DrawFrameControl(LPRECT rect, UINT type, UINT state) {
  if (!rect || type != DFC_SCROLL || (state & 0xFF) != DFCS_SCROLLSIZEGRIP) return FALSE;
  return With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.DrawSizeGrip(*rect); });
}

BOOL CDC::FillRgn(CRgn* region, CBrush* brush) {
  const std::shared_ptr<gdi::RegionData> r =
      region ? gdi::HandleTable::Get().Find<gdi::RegionData>(region->m_hObject, OBJ_REGION) : nullptr;
  if (!r) return FALSE;
  return With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.FillRegion(r->region, BrushOf(brush)); });
}

COLORREF CDC::GetPixel(int x, int y) const {
  return With(m_hDC, CLR_INVALID, [&](gdi::DeviceContext& d) { return d.GetPixel(x, y); });
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
  return With(m_hDC, CLR_INVALID, [&](gdi::DeviceContext& d) { return d.SetPixel(x, y, colour); });
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop) {
  return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sx, sy, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, int sw, int sh, DWORD rop) {
  return ::StretchBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sx, sy, sw, sh, rop);
}

BOOL CDC::TextOut(int x, int y, LPCWSTR text, int count) {
  if (!text || count < 0) return FALSE;
  return With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.TextOut(x, y, std::u16string_view(text, size_t(count))); });
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCWSTR text, UINT count, const int* widths) {
  const std::u16string_view view = text ? std::u16string_view(text, count) : std::u16string_view();
  return With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.ExtTextOut(x, y, options, rect, view); });
}

int CDC::DrawText(LPCWSTR text, int count, LPRECT rect, UINT format) {
  if (!text || !rect) return 0;
  const std::u16string_view view = count < 0 ? std::u16string_view(text) : std::u16string_view(text, size_t(count));
  return With(m_hDC, 0, [&](gdi::DeviceContext& d) { return d.DrawText(view, *rect, format); });
}

CSize CDC::GetTextExtent(LPCWSTR text, int count) const {
  if (!text || count < 0) return CSize();
  return With(m_hDC, CSize(), [&](gdi::DeviceContext& d) {
    SIZE size{0, 0};
    return d.TextExtent(std::u16string_view(text, size_t(count)), size) ? CSize(size) : CSize();
  });
}

BOOL CDC::GetTextMetrics(LPTEXTMETRIC metrics) const {
  if (!metrics) return FALSE;
  return With(m_hDC, FALSE, [&](gdi::DeviceContext& d) { return d.TextMetrics(*metrics) ? TRUE : FALSE; });
}

int CDC::StartDoc(LPCWSTR documentName) {
  DOCINFOW info{int(sizeof(DOCINFOW)), documentName, nullptr, nullptr, 0};
  return StartDoc(&info);
}
