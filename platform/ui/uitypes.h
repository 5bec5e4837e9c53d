#pragma once
// CPoint, CSize and CRect: the geometry helpers window and drawing code is written with.

#include "platform/core/wintypes.h"

class CSize : public SIZE {
public:
  CSize() : SIZE {0, 0} {}
  CSize(int x, int y) : SIZE {x, y} {}
  CSize(SIZE s) : SIZE(s) {}
  bool operator==(const SIZE& o) const { return cx == o.cx && cy == o.cy; }
  bool operator!=(const SIZE& o) const { return !(*this == o); }
};

class CPoint : public POINT {
public:
  CPoint() : POINT {0, 0} {}
  CPoint(int x0, int y0) : POINT {x0, y0} {}
  CPoint(POINT p) : POINT(p) {}
  void Offset(int dx, int dy) {
    x += dx;
    y += dy;
  }
  bool operator==(const POINT& o) const { return x == o.x && y == o.y; }
  bool operator!=(const POINT& o) const { return !(*this == o); }
  CPoint operator+(const POINT& o) const { return CPoint(x + o.x, y + o.y); }
  CSize operator-(const POINT& o) const { return CSize(x - o.x, y - o.y); }
  CPoint operator-() const { return CPoint(-x, -y); }
};

class CRect : public RECT {
public:
  CRect() : RECT {0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT {l, t, r, b} {}
  CRect(const RECT& r) : RECT(r) {}
  CRect(POINT topLeft, SIZE size) : RECT {topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
  CRect(POINT topLeft, POINT bottomRight) : RECT {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
  BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  // Left and top edges are inside, right and bottom edges outside.
  BOOL PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  void SetRect(int l, int t, int r, int b) { *this = CRect(l, t, r, b); }
  void SetRectEmpty() { *this = CRect(); }
  void OffsetRect(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
  void InflateRect(int dx, int dy) {
    left -= dx;
    right += dx;
    top -= dy;
    bottom += dy;
  }
  void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
  void NormalizeRect();
  BOOL IntersectRect(const RECT* a, const RECT* b);
  BOOL UnionRect(const RECT* a, const RECT* b);
  bool operator==(const RECT& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const RECT& o) const { return !(*this == o); }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }
};
