#pragma once
// A selection rectangle with eight square handles over a view transform, for the region tools of
// the image windows. Handles are numbered the same everywhere: 0 top-left, 1 top, 2 top-right,
// 3 left, 4 right, 5 bottom-left, 6 bottom, 7 bottom-right. The rectangle is given in world
// coordinates; dx, dy shift the drawing in view pixels; half is a handle's half size in pixels.

#include "platform/core/wintypes.h"

class CDC;
class CPen;
class CBrush;
class CDPXVWXform;

// FALSE when half is 0 or less.
BOOL DPXCalcOctopodRects(const CDPXVWXform& xform, int l, int t, int r, int b, int half, RECT out[8], int dx,
                         int dy);
void DPXDrawOctopodFrame(const CDPXVWXform& xform, int l, int t, int r, int b, CDC* dc, CPen* pen, CBrush* brush,
                         int dx, int dy);
void DPXDrawOctopodHandles(const CDPXVWXform& xform, int l, int t, int r, int b, int half, CDC* dc, CPen* pen,
                           CBrush* brush, int dx, int dy);
// The first handle (in the order above) that contains the point, or -1.
int DPXHitTestOctopod(const CDPXVWXform& xform, int l, int t, int r, int b, int half, POINT pt, int dx, int dy);
