#pragma once
// CBrush: a solid, hatched, pattern (from a bitmap) or null brush.

#include "platform/gdi/CGdiObject.h"

class CBitmap;

class CBrush : public CGdiObject {
  DECLARE_DYNAMIC(CBrush)
public:
  CBrush() = default;
  // A creation that fails leaves the brush empty; callers test the handle.
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
  CBrush(int hatch, COLORREF colour) { CreateHatchBrush(hatch, colour); }
  explicit CBrush(CBitmap* bitmap) { CreatePatternBrush(bitmap); }

  static CBrush* FromHandle(HBRUSH handle);

  BOOL CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
  BOOL CreateHatchBrush(int hatch, COLORREF colour) { return Attach(::CreateHatchBrush(hatch, colour)); }
  // The brush keeps a copy of the bitmap's pixels.
  BOOL CreatePatternBrush(CBitmap* bitmap);
  BOOL CreateBrushIndirect(const LOGBRUSH* brush) { return Attach(::CreateBrushIndirect(brush)); }
  BOOL CreateSysColorBrush(int index);
  int GetLogBrush(LOGBRUSH* brush) const { return GetObject(sizeof(LOGBRUSH), brush); }
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};
