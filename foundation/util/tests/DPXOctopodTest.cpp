#include "foundation/util/CDPXVWXform.h"
#include "foundation/util/DPXOctopod.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"

#include <gtest/gtest.h>

#include <vector>

TEST(DPXOctopod, HandlesInTheirFixedOrder) {
  CDPXVWXform xf;
  xf.SetZoom(20000);  // twofold, so the world rectangle 10..20 is view 20..40
  RECT handles[8];
  ASSERT_TRUE(DPXCalcOctopodRects(xf, 20, 10, 10, 20, 2, handles, 1, 0));  // given right to left
  const POINT centres[8] = {{21, 20}, {31, 20}, {41, 20}, {21, 30}, {41, 30}, {21, 40}, {31, 40}, {41, 40}};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(handles[i].left, centres[i].x - 2) << i;
    EXPECT_EQ(handles[i].top, centres[i].y - 2) << i;
    EXPECT_EQ(handles[i].right, centres[i].x + 2) << i;
  }
  EXPECT_FALSE(DPXCalcOctopodRects(xf, 10, 10, 20, 20, 0, handles, 0, 0));

  struct Hit {
    POINT point;
    int expected;
  };
  // Tiny rectangle: the handles overlap, and a point in both answers the lower index.
  const Hit hits[] = {{{20, 20}, 0}, {{30, 20}, 1}, {{40, 40}, 7}, {{30, 30}, -1}, {{17, 17}, 0}, {{16, 16}, -1}};
  for (const Hit& h : hits) EXPECT_EQ(DPXHitTestOctopod(xf, 10, 10, 20, 20, 3, h.point, 0, 0), h.expected);
  EXPECT_EQ(DPXHitTestOctopod(xf, 10, 10, 11, 10, 3, POINT{21, 20}, 0, 0), 0);
  EXPECT_EQ(DPXHitTestOctopod(xf, 10, 10, 20, 20, 0, POINT{20, 20}, 0, 0), -1);
}

TEST(DPXOctopod, DrawsWithTheGivenToolsAndRestoresTheDCs) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(60, 60, 1, 32, nullptr));
  CBitmap* oldBitmap = dc.SelectObject(&bitmap);
  dc.FillSolidRect(0, 0, 60, 60, RGB(255, 255, 255));
  CPen red(PS_SOLID, 1, RGB(255, 0, 0));
  CBrush blue(RGB(0, 0, 255));
  CGdiObject* penBefore = dc.GetCurrentPen();
  CDPXVWXform xf;
  DPXDrawOctopodFrame(xf, 10, 10, 50, 50, &dc, &red, nullptr, 0, 0);
  DPXDrawOctopodHandles(xf, 10, 10, 50, 50, 2, &dc, &red, &blue, 0, 0);
  EXPECT_EQ(dc.GetCurrentPen()->m_hObject, penBefore->m_hObject);
  EXPECT_EQ(dc.GetPixel(20, 10), RGB(255, 0, 0));      // frame, top edge between two handles
  EXPECT_EQ(dc.GetPixel(30, 10 - 2), RGB(255, 0, 0));  // top handle's outline
  EXPECT_EQ(dc.GetPixel(30, 10), RGB(0, 0, 255));      // top handle's inside, drawn over the frame
  EXPECT_EQ(dc.GetPixel(10, 10), RGB(0, 0, 255));      // top-left handle's inside
  EXPECT_EQ(dc.GetPixel(30, 30), RGB(255, 255, 255));  // the frame is not filled by default
  DPXDrawOctopodFrame(xf, 10, 10, 10, 50, &dc, &red, nullptr, 0, 0);  // empty: nothing, no crash
  DPXDrawOctopodHandles(xf, 10, 10, 50, 50, 2, nullptr, &red, &blue, 0, 0);
  dc.SelectObject(oldBitmap);
}

TEST(CDPXVWXform, BackgroundRegion) {
  struct Case {
    const char* what;
    int worldW, worldH, originX, originY;
    std::vector<POINT> inside, outside;
  };
  const Case cases[] = {
      {"image covers the view", 1000, 1000, 0, 0, {}, {{0, 0}, {399, 299}}},
      {"no visible image", 100, 100, 900, 900, {{0, 0}, {399, 299}}, {{400, 0}}},
      {"centred small image", 100, 100, -150, -100, {{0, 0}, {399, 299}}, {{150, 100}, {249, 199}}},
  };
  for (const Case& c : cases) {
    CDPXVWXform xf;
    xf.SetViewSize(400, 300);
    xf.SetWorldSize(c.worldW, c.worldH);
    xf.SetOrigin(c.originX, c.originY);
    CRgn region;
    region.CreateRectRgn(1, 1, 2, 2);  // an old handle, replaced
    ASSERT_TRUE(xf.GetBackgroundRgn(region)) << c.what;
    for (const POINT& p : c.inside) EXPECT_TRUE(region.PtInRegion(p)) << c.what << " " << p.x << "," << p.y;
    for (const POINT& p : c.outside) EXPECT_FALSE(region.PtInRegion(p)) << c.what << " " << p.x << "," << p.y;
  }
}
