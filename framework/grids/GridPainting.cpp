#include "framework/grids/GridPainting.h"

#include "framework/grids/CDPXPropertyGrid.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/gdi.h"

#include <algorithm>

namespace grid_painting {

CString FitText(CDC* dc, const CString& text, int width, int margin) {
  if (text.IsEmpty() || dc->GetTextExtent(text).cx + margin <= width) return text;
  static const CString kEllipsis(u"...");
  const int ellipsis = dc->GetTextExtent(kEllipsis).cx;
  CString kept = text.Left(std::min(text.GetLength(), 255));
  while (kept.GetLength() > 1 && dc->GetTextExtent(kept).cx + ellipsis + margin > width)
    kept.Truncate(kept.GetLength() - 1);
  kept += kEllipsis;
  return kept;
}

void Text(CDC* dc, const CString& text, const CRect& rect, BOOL bold, COLORREF colour) {
  CFont* font = CDPXPropertyGrid::GetGridFont(bold);
  CFont* old = font ? dc->SelectObject(font) : nullptr;
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(colour);
  CRect at = rect;
  dc->DrawText(FitText(dc, text, rect.Width()), &at, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (old) dc->SelectObject(old);
}

void Line(CDC* dc, int x0, int y0, int x1, int y1, COLORREF colour) {
  CPen pen(PS_SOLID, 1, colour);
  CPen* old = dc->SelectObject(&pen);
  dc->MoveTo(x0, y0);
  dc->LineTo(x1, y1);
  dc->SelectObject(old);
}

void Frame(CDC* dc, const CRect& rect, COLORREF colour) {
  CBrush brush(colour);
  dc->FrameRect(rect, &brush);
}

BufferedPaint::BufferedPaint(CWnd* wnd) : m_paint(wnd) {
  wnd->GetClientRect(&m_client);
  if (m_client.IsRectEmpty()) return;
  m_memory.CreateCompatibleDC(&m_paint);
  m_bitmap.CreateCompatibleBitmap(&m_paint, m_client.Width(), m_client.Height());
  m_old = m_memory.SelectObject(&m_bitmap);
  m_ready = true;
}

BufferedPaint::~BufferedPaint() {
  if (!m_ready) return;
  m_paint.BitBlt(0, 0, m_client.Width(), m_client.Height(), &m_memory, 0, 0, SRCCOPY);
  m_memory.SelectObject(m_old);
}

}  // namespace grid_painting
