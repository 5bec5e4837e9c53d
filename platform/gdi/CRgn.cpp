#include "platform/gdi/CRgn.h"

IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

CRgn* CRgn::FromHandle(HRGN handle) { return static_cast<CRgn*>(CGdiObject::FromHandle(handle)); }

BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT rect) {
  return rect ? CreateEllipticRgn(rect->left, rect->top, rect->right, rect->bottom) : FALSE;
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
  return ::CombineRgn(*this, a ? static_cast<HRGN>(*a) : nullptr, b ? static_cast<HRGN>(*b) : nullptr, mode);
}

BOOL CRgn::EqualRgn(const CRgn* other) const { return other ? ::EqualRgn(*this, *other) : FALSE; }
