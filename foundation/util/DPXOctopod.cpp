#include "foundation/util/DPXOctopod.h"

#include "foundation/util/CDPXVWXform.h"
#include "platform/gdi/CDC.h"

#include <utility>

namespace {

RECT MappedNormalised(const CDPXVWXform& xform, int l, int t, int r, int b) {
  RECT view;
  xform.WorldToView(l, t, r, b, view);
  if (view.left > view.right) std::swap(view.left, view.right);
  if (view.top > view.bottom) std::swap(view.top, view.bottom);
  return view;
}

// Selects the pen and brush for the drawing and puts the DC's own back afterwards.
class SelectedTools {
public:
  SelectedTools(CDC* dc, CPen* pen, CBrush* brush)
      : m_dc(dc), m_oldPen(pen ? dc->SelectObject(pen) : nullptr), m_oldBrush(brush ? dc->SelectObject(brush) : nullptr) {}
  ~SelectedTools() {
    if (m_oldPen) m_dc->SelectObject(m_oldPen);
    if (m_oldBrush) m_dc->SelectObject(m_oldBrush);
  }

private:
  CDC* m_dc;
  CPen* m_oldPen;
  CBrush* m_oldBrush;
};

}  // namespace

BOOL DPXCalcOctopodRects(const CDPXVWXform& xform, int l, int t, int r, int b, int half, RECT out[8], int dx,
                         int dy) {
  if (half <= 0 || !out) return FALSE;
  const RECT v = MappedNormalised(xform, l, t, r, b);
  const LONG mx = (v.left + v.right) / 2;
  const LONG my = (v.top + v.bottom) / 2;
  const POINT points[8] = {{v.left, v.top},  {mx, v.top},        {v.right, v.top}, {v.left, my},
                           {v.right, my},    {v.left, v.bottom}, {mx, v.bottom},   {v.right, v.bottom}};
  for (int i = 0; i < 8; ++i) {
    const LONG x = points[i].x + dx;
    const LONG y = points[i].y + dy;
    out[i] = {x - half, y - half, x + half, y + half};
  }
  return TRUE;
}

void DPXDrawOctopodFrame(const CDPXVWXform& xform, int l, int t, int r, int b, CDC* dc, CPen* pen, CBrush* brush,
                         int dx, int dy) {
  if (!dc) return;
  const RECT v = MappedNormalised(xform, l, t, r, b);
  if (v.left == v.right || v.top == v.bottom) return;
  SelectedTools tools(dc, pen, brush);
  dc->Rectangle(v.left + dx, v.top + dy, v.right + dx, v.bottom + dy);
}

void DPXDrawOctopodHandles(const CDPXVWXform& xform, int l, int t, int r, int b, int half, CDC* dc, CPen* pen,
                           CBrush* brush, int dx, int dy) {
  RECT handles[8];
  if (!dc || !DPXCalcOctopodRects(xform, l, t, r, b, half, handles, dx, dy)) return;
  SelectedTools tools(dc, pen, brush);
  for (const RECT& handle : handles) dc->Rectangle(&handle);
}

int DPXHitTestOctopod(const CDPXVWXform& xform, int l, int t, int r, int b, int half, POINT pt, int dx, int dy) {
  RECT handles[8];
  if (!DPXCalcOctopodRects(xform, l, t, r, b, half, handles, dx, dy)) return -1;
  for (int i = 0; i < 8; ++i) {
    const RECT& h = handles[i];
    if (pt.x >= h.left && pt.x < h.right && pt.y >= h.top && pt.y < h.bottom) return i;
  }
  return -1;
}
