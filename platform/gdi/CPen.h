#pragma once
// CPen: a pen (PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME).
// Widths 0 and 1 draw one-pixel lines, styled ones included; wider pens are solid with round
// ends and joins.

#include "platform/gdi/CGdiObject.h"

class CPen : public CGdiObject {
  DECLARE_DYNAMIC(CPen)
public:
  CPen() = default;
  // A creation that fails leaves the pen empty; callers test the handle.
  CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }

  static CPen* FromHandle(HPEN handle);

  BOOL CreatePen(int style, int width, COLORREF colour) { return Attach(::CreatePen(style, width, colour)); }
  BOOL CreatePenIndirect(const LOGPEN* pen) { return Attach(::CreatePenIndirect(pen)); }
  int GetLogPen(LOGPEN* pen) const { return GetObject(sizeof(LOGPEN), pen); }
  operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};
