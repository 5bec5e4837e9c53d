#pragma once
// Plane geometry in integer pixels: CPoint, CSize and CRect over the Win32 records, and the Win32
// rectangle functions they stand on.
//
// A rectangle holds the pixels left <= x < right and top <= y < bottom: right and bottom are
// outside. It is empty when it holds no pixel (right <= left or bottom <= top).

#include "platform/core/wintypes.h"

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT rect);
BOOL CopyRect(LPRECT target, const RECT* source);
BOOL IsRectEmpty(const RECT* rect);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL OffsetRect(LPRECT rect, int dx, int dy);
BOOL InflateRect(LPRECT rect, int dx, int dy);
// The common part of a and b; when they do not meet, target becomes (0, 0, 0, 0) and FALSE.
BOOL IntersectRect(LPRECT target, const RECT* a, const RECT* b);
// The smallest rectangle holding both; empty ones are ignored; both empty gives (0, 0, 0, 0), FALSE.
BOOL UnionRect(LPRECT target, const RECT* a, const RECT* b);

class CSize : public SIZE {
public:
  CSize() : SIZE{0, 0} {}
  CSize(int x, int y) : SIZE{x, y} {}
  CSize(SIZE size) : SIZE(size) {}

  bool operator==(SIZE other) const { return cx == other.cx && cy == other.cy; }
  bool operator!=(SIZE other) const { return !(*this == other); }
  void operator+=(SIZE other) { cx += other.cx; cy += other.cy; }
  void operator-=(SIZE other) { cx -= other.cx; cy -= other.cy; }
  CSize operator+(SIZE other) const { return CSize(cx + other.cx, cy + other.cy); }
  CSize operator-(SIZE other) const { return CSize(cx - other.cx, cy - other.cy); }
  CSize operator-() const { return CSize(-cx, -cy); }
};

class CPoint : public POINT {
public:
  CPoint() : POINT{0, 0} {}
  CPoint(int x, int y) : POINT{x, y} {}
  CPoint(POINT point) : POINT(point) {}
  explicit CPoint(SIZE size) : POINT{size.cx, size.cy} {}

  void Offset(int dx, int dy) { x += dx; y += dy; }
  void Offset(POINT delta) { Offset(delta.x, delta.y); }
  void Offset(SIZE delta) { Offset(delta.cx, delta.cy); }

  bool operator==(POINT other) const { return x == other.x && y == other.y; }
  bool operator!=(POINT other) const { return !(*this == other); }
  void operator+=(SIZE delta) { Offset(delta); }
  void operator-=(SIZE delta) { Offset(-delta.cx, -delta.cy); }
  void operator+=(POINT delta) { Offset(delta); }
  void operator-=(POINT delta) { Offset(-delta.x, -delta.y); }
  CPoint operator+(SIZE delta) const { return CPoint(x + delta.cx, y + delta.cy); }
  CPoint operator-(SIZE delta) const { return CPoint(x - delta.cx, y - delta.cy); }
  CPoint operator+(POINT delta) const { return CPoint(x + delta.x, y + delta.y); }
  // The difference of two points is a size, as in the MFC classes.
  CSize operator-(POINT other) const { return CSize(x - other.x, y - other.y); }
  CPoint operator-() const { return CPoint(-x, -y); }
};

class CRect : public RECT {
public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  CRect(const RECT& rect) : RECT(rect) {}
  CRect(const RECT* rect) : RECT(*rect) {}
  CRect(POINT topLeft, SIZE size) : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
  CRect(POINT topLeft, POINT bottomRight) : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }

  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  BOOL PtInRect(POINT point) const { return ::PtInRect(this, point); }
  BOOL EqualRect(const RECT* other) const { return ::EqualRect(this, other); }

  void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
  void SetRectEmpty() { ::SetRectEmpty(this); }
  void CopyRect(const RECT* source) { ::CopyRect(this, source); }
  void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
  void InflateRect(SIZE size) { ::InflateRect(this, size.cx, size.cy); }
  void InflateRect(int l, int t, int r, int b);
  void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
  void DeflateRect(SIZE size) { ::InflateRect(this, -size.cx, -size.cy); }
  void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
  void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
  void OffsetRect(POINT delta) { ::OffsetRect(this, delta.x, delta.y); }
  void OffsetRect(SIZE delta) { ::OffsetRect(this, delta.cx, delta.cy); }
  // Swaps left and right, top and bottom, where they are the wrong way round.
  void NormalizeRect();
  BOOL IntersectRect(const RECT* a, const RECT* b) { return ::IntersectRect(this, a, b); }
  BOOL UnionRect(const RECT* a, const RECT* b) { return ::UnionRect(this, a, b); }

  bool operator==(const RECT& other) const { return ::EqualRect(this, &other) != FALSE; }
  // Two CRects match this one exactly, so that C++20 finds no ambiguity with the reversed form.
  bool operator==(const CRect& other) const { return ::EqualRect(this, &other) != FALSE; }
  bool operator!=(const RECT& other) const { return !(*this == other); }
  void operator+=(POINT delta) { OffsetRect(delta); }
  void operator-=(POINT delta) { OffsetRect(-delta.x, -delta.y); }
  void operator&=(const RECT& other) { ::IntersectRect(this, this, &other); }
  void operator|=(const RECT& other) { ::UnionRect(this, this, &other); }
  CRect operator+(POINT delta) const { CRect r(*this); r += delta; return r; }
  CRect operator-(POINT delta) const { CRect r(*this); r -= delta; return r; }
  CRect operator&(const RECT& other) const { CRect r; ::IntersectRect(&r, this, &other); return r; }
  CRect operator|(const RECT& other) const { CRect r; ::UnionRect(&r, this, &other); return r; }
};
