#include "foundation/util/CDPXVWXform.h"

#include "platform/gdi/CRgn.h"

#include <algorithm>
#include <climits>
#include <cstdint>

IMPLEMENT_DYNAMIC(CDPXVWXform, CObject)

namespace {

int Clamp(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX)); }

// A scale of 0 (which ZoomToFit may store) divides as 1.
int64_t Divisor(int scale) { return scale == 0 ? 1 : scale; }

}  // namespace

int CDPXVWXform::ToWorld(int v, int scale) const { return Clamp(int64_t(v) * kUnitScale / Divisor(scale)); }

int CDPXVWXform::ToView(int w, int scale) const { return Clamp(int64_t(w) * scale / kUnitScale); }

void CDPXVWXform::SetZoom(int sx, int sy) {
  m_scaleX = std::max(sx, 1);
  m_scaleY = std::max(sy, 1);
}

void CDPXVWXform::GetZoom(int& sx, int& sy) const {
  sx = m_scaleX;
  sy = m_scaleY;
}

void CDPXVWXform::SetOrigin(int x, int y) {
  m_originX = x;
  m_originY = y;
}

void CDPXVWXform::GetOrigin(int& x, int& y) const {
  x = m_originX;
  y = m_originY;
}

void CDPXVWXform::SetViewSize(int w, int h) {
  m_viewWidth = std::max(w, 0);
  m_viewHeight = std::max(h, 0);
}

void CDPXVWXform::SetWorldSize(int w, int h) {
  m_worldWidth = std::max(w, 0);
  m_worldHeight = std::max(h, 0);
}

void CDPXVWXform::GetWorldSize(int& w, int& h) const {
  w = m_worldWidth;
  h = m_worldHeight;
}

void CDPXVWXform::ViewToWorld(int vx, int vy, POINT& out) const {
  out.x = Clamp(int64_t(ToWorld(vx, m_scaleX)) + m_originX);
  out.y = Clamp(int64_t(ToWorld(vy, m_scaleY)) + m_originY);
}

void CDPXVWXform::ViewToWorld(int l, int t, int r, int b, RECT& out) const {
  POINT topLeft, bottomRight;
  ViewToWorld(l, t, topLeft);
  ViewToWorld(r, b, bottomRight);
  out = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void CDPXVWXform::WorldToView(int l, int t, int r, int b, RECT& out) const {
  const auto x = [this](int w) { return Clamp((int64_t(w) - m_originX) * m_scaleX / kUnitScale); };
  const auto y = [this](int w) { return Clamp((int64_t(w) - m_originY) * m_scaleY / kUnitScale); };
  out = {x(l), y(t), x(r), y(b)};
}

void CDPXVWXform::ViewToWorldX(int v, int& out) const { out = ToWorld(v, m_scaleX); }

void CDPXVWXform::ViewToWorldY(int v, int& out) const { out = ToWorld(v, m_scaleY); }

void CDPXVWXform::GetFitZoom(int& out) const {
  const auto fit = [](int view, int world) {
    return world == 0 ? kUnitScale : Clamp(int64_t(view) * kUnitScale / world);
  };
  out = std::min(fit(m_viewWidth, m_worldWidth), fit(m_viewHeight, m_worldHeight));
}

BOOL CDPXVWXform::FitsView(BOOL& fitsX, BOOL& fitsY) const {
  fitsX = m_viewWidth >= ToView(m_worldWidth, m_scaleX);
  fitsY = m_viewHeight >= ToView(m_worldHeight, m_scaleY);
  return fitsX && fitsY;
}

void CDPXVWXform::Center(BOOL x, BOOL y) {
  if (x) m_originX = Clamp((int64_t(m_worldWidth) - ToWorld(m_viewWidth, m_scaleX)) / 2);
  if (y) m_originY = Clamp((int64_t(m_worldHeight) - ToWorld(m_viewHeight, m_scaleY)) / 2);
}

BOOL CDPXVWXform::AdjustOrigin() {
  const int oldX = m_originX;
  const int oldY = m_originY;
  BOOL fitsX = FALSE, fitsY = FALSE;
  FitsView(fitsX, fitsY);
  const auto keepInside = [](int& origin, int extent, int world) {
    if (origin < 0) origin = 0;
    if (int64_t(origin) + extent > world) origin = Clamp(int64_t(world) - extent);
  };
  if (fitsX)
    Center(TRUE, FALSE);
  else
    keepInside(m_originX, ToWorld(m_viewWidth, m_scaleX), m_worldWidth);
  if (fitsY)
    Center(FALSE, TRUE);
  else
    keepInside(m_originY, ToWorld(m_viewHeight, m_scaleY), m_worldHeight);
  return m_originX != oldX || m_originY != oldY;
}

BOOL CDPXVWXform::ZoomToFit() {
  int fit = 0;
  GetFitZoom(fit);
  m_scaleX = m_scaleY = fit;  // 0 stays 0 here, for a view with no extent
  return AdjustOrigin();
}

void CDPXVWXform::Copy(const CDPXVWXform& other) {
  m_scaleX = other.m_scaleX;
  m_scaleY = other.m_scaleY;
  m_originX = other.m_originX;
  m_originY = other.m_originY;
  m_viewWidth = other.m_viewWidth;
  m_viewHeight = other.m_viewHeight;
  m_worldWidth = other.m_worldWidth;
  m_worldHeight = other.m_worldHeight;
}

void CDPXVWXform::GetViewRect(RECT& out) const { out = {0, 0, m_viewWidth, m_viewHeight}; }

void CDPXVWXform::GetViewWorldRect(RECT& out) const { ViewToWorld(0, 0, m_viewWidth, m_viewHeight, out); }

void CDPXVWXform::GetVisibleWorldRect(RECT& out) const {
  RECT view;
  GetViewWorldRect(view);
  const RECT visible = {std::max<LONG>(view.left, 0), std::max<LONG>(view.top, 0),
                        std::min<LONG>(view.right, m_worldWidth), std::min<LONG>(view.bottom, m_worldHeight)};
  out = (visible.left < visible.right && visible.top < visible.bottom) ? visible : RECT{0, 0, 0, 0};
}

BOOL CDPXVWXform::GetBackgroundRgn(CRgn& region) const {
  region.DeleteObject();
  CRgn view;
  if (!region.CreateRectRgn(0, 0, 0, 0) || !view.CreateRectRgn(0, 0, m_viewWidth, m_viewHeight)) {
    region.DeleteObject();
    return FALSE;
  }
  RECT visible;
  GetVisibleWorldRect(visible);
  int result = ERROR;
  if (visible.left == visible.right || visible.top == visible.bottom) {
    result = region.CopyRgn(&view);
  } else {
    RECT image;
    WorldToView(visible.left, visible.top, visible.right, visible.bottom, image);
    CRgn covered;
    // The view minus the image: rounding can make the image a pixel larger than the view, which
    // an exclusive-or would turn into slivers of background outside the image.
    if (covered.CreateRectRgnIndirect(&image)) result = region.CombineRgn(&view, &covered, RGN_DIFF);
  }
  if (result == ERROR) {
    region.DeleteObject();
    return FALSE;
  }
  return TRUE;
}
