#pragma once
// Drawing helpers that need a window or a device context: a bitmap blit, and the rubber band a
// user drags with the mouse to select a rectangle.

#include "platform/core/CRect.h"
#include "platform/core/wintypes.h"

class CBitmap;
class CBrush;
class CDC;
class CPen;
class CWnd;

// Blits the whole bitmap to (x, y) of the DC with the raster operation. FALSE for a null DC, a
// bitmap without a handle or of no size.
BOOL DPXDrawBitmap(CDC* dc, CBitmap* bitmap, int x, int y, DWORD rop);

// Tracks a rectangle from the anchor (client coordinates) while the left button is held, drawn
// in XOR with the pen and brush; the mouse is captured meanwhile. TRUE with the normalised
// rectangle when the button is released; FALSE when the right button cancels, the window goes,
// the capture is taken away or the program is asked to quit (that request is passed on).
BOOL DPXTrackRubberBand(CWnd* wnd, CDC* dc, int anchorX, int anchorY, CPen* pen, CBrush* brush, CRect& out);
