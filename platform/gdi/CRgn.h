#pragma once
// CRgn: a region of whole pixels. Combining needs a region already made:
//
//   CRgn result; result.CreateRectRgn(0, 0, 0, 0); result.CombineRgn(&a, &b, RGN_XOR);

#include "platform/gdi/CGdiObject.h"

class CRgn : public CGdiObject {
  DECLARE_DYNAMIC(CRgn)
public:
  CRgn() = default;

  static CRgn* FromHandle(HRGN handle);

  BOOL CreateRectRgn(int left, int top, int right, int bottom) { return Attach(::CreateRectRgn(left, top, right, bottom)); }
  BOOL CreateRectRgnIndirect(LPCRECT rect) { return Attach(::CreateRectRgnIndirect(rect)); }
  BOOL CreateEllipticRgn(int left, int top, int right, int bottom) {
    return Attach(::CreateEllipticRgn(left, top, right, bottom));
  }
  BOOL CreateEllipticRgnIndirect(LPCRECT rect);
  BOOL CreatePolygonRgn(const POINT* points, int count, int fillMode) {
    return Attach(::CreatePolygonRgn(points, count, fillMode));
  }
  BOOL CreateFromData(const XFORM* transform, int size, const RGNDATA* data) {
    return Attach(::ExtCreateRegion(transform, DWORD(size), data));
  }

  int CombineRgn(const CRgn* a, const CRgn* b, int mode);
  int CopyRgn(const CRgn* source) { return CombineRgn(source, nullptr, RGN_COPY); }
  BOOL EqualRgn(const CRgn* other) const;
  int OffsetRgn(int dx, int dy) { return ::OffsetRgn(*this, dx, dy); }
  int OffsetRgn(POINT delta) { return ::OffsetRgn(*this, delta.x, delta.y); }
  int GetRgnBox(LPRECT box) const { return ::GetRgnBox(*this, box); }
  BOOL PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
  BOOL PtInRegion(POINT point) const { return ::PtInRegion(*this, point.x, point.y); }
  BOOL RectInRegion(LPCRECT rect) const { return ::RectInRegion(*this, rect); }
  void SetRectRgn(int left, int top, int right, int bottom) { ::SetRectRgn(*this, left, top, right, bottom); }
  int GetRegionData(LPRGNDATA data, int size) const { return int(::GetRegionData(*this, DWORD(size), data)); }
  operator HRGN() const { return static_cast<HRGN>(m_hObject); }
};
