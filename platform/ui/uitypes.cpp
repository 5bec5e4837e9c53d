#include "platform/ui/uitypes.h"

#include <algorithm>

void CRect::NormalizeRect() {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
}

BOOL CRect::IntersectRect(const RECT* pa, const RECT* pb) {
  const RECT& a = *pa;
  const RECT& b = *pb;
  *this = CRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom));
  if (IsRectEmpty()) {
    SetRectEmpty();
    return FALSE;
  }
  return TRUE;
}

BOOL CRect::UnionRect(const RECT* pa, const RECT* pb) {
  const RECT& a = *pa;
  const RECT& b = *pb;
  CRect ra(a), rb(b);
  if (ra.IsRectEmpty()) *this = rb;
  else if (rb.IsRectEmpty()) *this = ra;
  else
    *this = CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                  std::max(a.bottom, b.bottom));
  return !IsRectEmpty();
}
