#pragma once
// The transform between a zoomed, scrolled view (a window's client area, in pixels) and a world
// (an image, in image pixels). Scales are in ten-thousandths: 10000 shows one world pixel per view
// pixel, 20000 enlarges twofold. The origin is the world point at the view's top-left corner; it
// is negative when a world smaller than the view is centred in it.
//
// Products of coordinates and scales are computed in 64 bits and the results clamped to int, so
// that large scans at high zoom do not overflow; where nothing overflows the results are those
// of plain int arithmetic, division truncating toward zero.

#include "platform/core/CObject.h"

class CRgn;

class CDPXVWXform : public CObject {
  DECLARE_DYNAMIC(CDPXVWXform)
public:
  static constexpr int kUnitScale = 10000;

  CDPXVWXform() = default;

  // Values of 0 or less become 1.
  void SetZoom(int sx, int sy);
  void SetZoom(int s) { SetZoom(s, s); }
  void GetZoom(int& sx, int& sy) const;
  void SetOrigin(int x, int y);
  void GetOrigin(int& x, int& y) const;
  // Negative extents become 0.
  void SetViewSize(int w, int h);
  void SetWorldSize(int w, int h);
  void GetWorldSize(int& w, int& h) const;

  void ViewToWorld(int vx, int vy, POINT& out) const;
  void ViewToWorld(int l, int t, int r, int b, RECT& out) const;
  void WorldToView(int l, int t, int r, int b, RECT& out) const;
  // Lengths, without the origin.
  void ViewToWorldX(int v, int& out) const;
  void ViewToWorldY(int v, int& out) const;

  // The larger scale at which the whole world fits the view (10000 on an axis with no world).
  void GetFitZoom(int& out) const;
  BOOL FitsView(BOOL& fitsX, BOOL& fitsY) const;
  void Center(BOOL x, BOOL y);
  // Centres an axis that fits and keeps the view inside the world on one that does not; TRUE when
  // the origin moved.
  BOOL AdjustOrigin();
  BOOL ZoomToFit();
  void Copy(const CDPXVWXform& other);

  void GetViewRect(RECT& out) const;
  void GetViewWorldRect(RECT& out) const;
  // The part of the world inside the view; all 0 when they do not meet.
  void GetVisibleWorldRect(RECT& out) const;
  // The part of the view that the image does not cover, for painting the background. The region's
  // old handle is deleted; on failure the region is left without one.
  BOOL GetBackgroundRgn(CRgn& region) const;

private:
  int ToWorld(int v, int scale) const;
  int ToView(int w, int scale) const;

  int m_scaleX { kUnitScale };
  int m_scaleY { kUnitScale };
  int m_originX { 0 };
  int m_originY { 0 };
  int m_viewWidth { 0 };
  int m_viewHeight { 0 };
  int m_worldWidth { 0 };
  int m_worldHeight { 0 };
};
