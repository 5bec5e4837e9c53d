#include "foundation/util/CDPXVWXform.h"

#include <gtest/gtest.h>

namespace {

void ExpectRect(const RECT& r, LONG l, LONG t, LONG rr, LONG b, const char* what) {
  EXPECT_EQ(r.left, l) << what;
  EXPECT_EQ(r.top, t) << what;
  EXPECT_EQ(r.right, rr) << what;
  EXPECT_EQ(r.bottom, b) << what;
}

}  // namespace

TEST(CDPXVWXform, ConvertsBothWays) {
  CDPXVWXform xf;
  POINT p;
  xf.ViewToWorld(7, 9, p);
  EXPECT_EQ(p.x, 7);
  EXPECT_EQ(p.y, 9);

  xf.SetZoom(5000);
  xf.SetOrigin(100, 50);
  xf.ViewToWorld(10, 10, p);
  EXPECT_EQ(p.x, 120);
  EXPECT_EQ(p.y, 70);
  RECT r;
  xf.WorldToView(120, 70, 140, 90, r);
  ExpectRect(r, 10, 10, 20, 20, "half size");
  int length = 0;
  xf.ViewToWorldX(3, length);
  EXPECT_EQ(length, 6);

  xf.SetOrigin(0, 0);
  xf.WorldToView(-7, 0, 7, 0, r);  // truncation toward zero, as integer division does
  EXPECT_EQ(r.left, -3);
  EXPECT_EQ(r.right, 3);
}

TEST(CDPXVWXform, SettersClampTheirValues) {
  CDPXVWXform xf;
  xf.SetZoom(0);
  int sx, sy;
  xf.GetZoom(sx, sy);
  EXPECT_EQ(sx, 1);
  EXPECT_EQ(sy, 1);
  xf.SetZoom(-3, 20000);
  xf.GetZoom(sx, sy);
  EXPECT_EQ(sx, 1);
  EXPECT_EQ(sy, 20000);
  xf.SetViewSize(-5, 20);
  RECT view;
  xf.GetViewRect(view);
  ExpectRect(view, 0, 0, 0, 20, "view size");
}

TEST(CDPXVWXform, FitAndAdjust) {
  struct Case {
    const char* what;
    int viewW, viewH, worldW, worldH, scale, originX, originY;
    BOOL moved;
    int expectX, expectY;
  };
  const Case cases[] = {
      {"small world is centred", 400, 300, 100, 100, 10000, 0, 0, TRUE, -150, -100},
      {"scrolled past the end is pulled back", 400, 300, 1000, 1000, 10000, 900, 0, TRUE, 600, 0},
      {"negative origin on an axis that does not fit", 400, 300, 1000, 1000, 10000, -40, -10, TRUE, 0, 0},
      {"inside already", 400, 300, 1000, 1000, 10000, 200, 300, FALSE, 200, 300},
      {"one axis fits, the other scrolls", 400, 300, 200, 1000, 10000, 0, 800, TRUE, -100, 700},
  };
  for (const Case& c : cases) {
    CDPXVWXform xf;
    xf.SetViewSize(c.viewW, c.viewH);
    xf.SetWorldSize(c.worldW, c.worldH);
    xf.SetZoom(c.scale);
    xf.SetOrigin(c.originX, c.originY);
    EXPECT_EQ(xf.AdjustOrigin(), c.moved) << c.what;
    int x, y;
    xf.GetOrigin(x, y);
    EXPECT_EQ(x, c.expectX) << c.what;
    EXPECT_EQ(y, c.expectY) << c.what;
  }

  CDPXVWXform xf;
  xf.SetViewSize(400, 300);
  xf.SetWorldSize(800, 1200);
  int fit = 0;
  xf.GetFitZoom(fit);
  EXPECT_EQ(fit, 2500);
  xf.SetWorldSize(0, 0);
  xf.GetFitZoom(fit);
  EXPECT_EQ(fit, 10000);

  // A view with no extent makes ZoomToFit store 0, which then divides as 1.
  xf.SetViewSize(0, 0);
  xf.SetWorldSize(100, 100);
  xf.ZoomToFit();
  int sx, sy;
  xf.GetZoom(sx, sy);
  EXPECT_EQ(sx, 0);
  POINT p;
  xf.ViewToWorld(1, 1, p);
  EXPECT_EQ(p.x, 10000 + 50);
}

TEST(CDPXVWXform, LargeScansAtHighZoomDoNotOverflow) {
  // A 14,000 pixel wide scan at 16x: 32-bit products would wrap around.
  CDPXVWXform xf;
  xf.SetZoom(160000);
  xf.SetViewSize(1000, 800);
  xf.SetWorldSize(14000, 20000);
  RECT r;
  xf.WorldToView(0, 0, 14000, 20000, r);
  ExpectRect(r, 0, 0, 224000, 320000, "whole image at 16x");
  BOOL fitsX, fitsY;
  EXPECT_FALSE(xf.FitsView(fitsX, fitsY));
  xf.SetOrigin(13990, 19990);
  EXPECT_TRUE(xf.AdjustOrigin());
  int x, y;
  xf.GetOrigin(x, y);
  EXPECT_EQ(x, 14000 - 1000 * 10000 / 160000);
  EXPECT_EQ(y, 20000 - 800 * 10000 / 160000);
}

TEST(CDPXVWXform, VisibleWorld) {
  CDPXVWXform xf;
  xf.SetViewSize(400, 300);
  xf.SetWorldSize(100, 100);
  xf.AdjustOrigin();
  RECT r;
  xf.GetVisibleWorldRect(r);
  ExpectRect(r, 0, 0, 100, 100, "whole small world");
  xf.SetOrigin(500, 500);
  xf.GetVisibleWorldRect(r);
  ExpectRect(r, 0, 0, 0, 0, "scrolled away");
  CDPXVWXform copy;
  copy.Copy(xf);
  int x, y;
  copy.GetOrigin(x, y);
  EXPECT_EQ(x, 500);
}
