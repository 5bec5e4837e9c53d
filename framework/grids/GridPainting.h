#pragma once
// Internal to framework/grids: drawing helpers the grid's rows, cells and boxes share.

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gditypes.h"
#include "platform/ui/win/windc.h"

class CWnd;

namespace grid_painting {

// The text shortened with "..." so that it fits `width` with `margin` to spare; keeps at least one
// character and at most 255 before the "...". An empty or fitting text comes back unchanged.
CString FitText(CDC* dc, const CString& text, int width, int margin = 1);
// The text fitted to the rectangle and drawn on one line, vertically centred, transparent, in the
// grid's normal or bold font.
void Text(CDC* dc, const CString& text, const CRect& rect, BOOL bold, COLORREF colour);
// A 1-pixel line from (x0, y0) to (x1, y1), the end point excluded.
void Line(CDC* dc, int x0, int y0, int x1, int y1, COLORREF colour);
// A 1-pixel frame just inside the rectangle.
void Frame(CDC* dc, const CRect& rect, COLORREF colour);

// A paint of a window's client area into a memory bitmap that reaches the screen in one copy when
// the object goes; nothing is drawn for an empty client area (Ready() is false).
class BufferedPaint {
public:
  explicit BufferedPaint(CWnd* wnd);
  ~BufferedPaint();
  bool Ready() const { return m_ready; }
  CDC& DC() { return m_memory; }
  const CRect& Client() const { return m_client; }

private:
  CPaintDC m_paint;
  CRect m_client;
  CDC m_memory;
  CBitmap m_bitmap;
  CBitmap* m_old {};
  bool m_ready {false};
};

}  // namespace grid_painting
