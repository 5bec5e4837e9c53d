// Regions, clipping and the coordinate origins.

#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// The pixels of a region inside `area` as text ('#' inside).
std::string PictureOf(const CRgn& region, const CRect& area) {
  std::string text;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) text.push_back(region.PtInRegion(x, y) ? '#' : '.');
    text.push_back('\n');
  }
  return text;
}

// A region made the way window outlines are: one rectangle per run of set pixels in each row.
bool RegionFromMask(CRgn& region, const std::vector<std::string>& mask) {
  std::vector<RECT> runs;
  RECT bounds{0, 0, 0, 0};
  for (size_t y = 0; y < mask.size(); ++y) {
    const std::string& row = mask[y];
    for (size_t x = 0; x < row.size();) {
      if (row[x] != '#') {
        ++x;
        continue;
      }
      size_t end = x;
      while (end < row.size() && row[end] == '#') ++end;
      runs.push_back(RECT{LONG(x), LONG(y), LONG(end), LONG(y + 1)});
      UnionRect(&bounds, &bounds, &runs.back());
      x = end;
    }
  }
  std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  RGNDATAHEADER header{sizeof(RGNDATAHEADER), RDH_RECTANGLES, DWORD(runs.size()), DWORD(runs.size() * sizeof(RECT)), bounds};
  std::memcpy(data.data(), &header, sizeof header);
  if (!runs.empty()) std::memcpy(data.data() + sizeof header, runs.data(), runs.size() * sizeof(RECT));
  return region.CreateFromData(nullptr, int(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
}

}  // namespace

TEST(Regions, CombineModes) {
  struct Case {
    int mode;
    int kind;
    const char* picture;
  };
  const Case cases[] = {
      {RGN_AND, SIMPLEREGION, "......\n......\n..#...\n......\n......\n"},
      {RGN_OR, COMPLEXREGION, "###...\n###...\n#####.\n..###.\n..###.\n"},
      {RGN_XOR, COMPLEXREGION, "###...\n###...\n##.##.\n..###.\n..###.\n"},
      {RGN_DIFF, COMPLEXREGION, "###...\n###...\n##....\n......\n......\n"},
      {RGN_COPY, SIMPLEREGION, "###...\n###...\n###...\n......\n......\n"},
  };
  CRgn a, b;
  a.CreateRectRgn(0, 0, 3, 3);
  b.CreateRectRgn(2, 2, 5, 5);
  for (const Case& c : cases) {
    CRgn result;
    result.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(result.CombineRgn(&a, &b, c.mode), c.kind) << "mode " << c.mode;
    EXPECT_EQ(PictureOf(result, CRect(0, 0, 6, 5)), c.picture) << "mode " << c.mode;
  }
  CRgn empty;
  empty.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(empty.CombineRgn(&a, &a, RGN_DIFF), NULLREGION);
  CRgn never;  // no region object: combining into it fails
  EXPECT_EQ(never.CombineRgn(&a, &b, RGN_OR), ERROR);
  EXPECT_EQ(empty.CombineRgn(&a, nullptr, RGN_OR), ERROR);
}

TEST(Regions, QueriesAndMoves) {
  CRgn r;
  ASSERT_TRUE(r.CreateRectRgn(10, 20, 30, 40));
  EXPECT_TRUE(r.PtInRegion(10, 20));
  EXPECT_FALSE(r.PtInRegion(30, 20));  // right and bottom edges are outside
  EXPECT_FALSE(r.PtInRegion(10, 40));
  const CRect touching(30, 20, 40, 40);
  EXPECT_FALSE(r.RectInRegion(&touching));
  const CRect overlapping(29, 39, 40, 50);
  EXPECT_TRUE(r.RectInRegion(&overlapping));
  CRect box;
  EXPECT_EQ(r.GetRgnBox(&box), SIMPLEREGION);
  EXPECT_EQ(box, CRect(10, 20, 30, 40));
  EXPECT_EQ(r.OffsetRgn(-10, 5), SIMPLEREGION);
  r.GetRgnBox(&box);
  EXPECT_EQ(box, CRect(0, 25, 20, 45));
  r.SetRectRgn(5, 5, 5, 9);
  EXPECT_EQ(r.GetRgnBox(&box), NULLREGION);
  EXPECT_EQ(box, CRect(0, 0, 0, 0));

  // Equal sets of pixels compare equal whatever way they were built.
  CRgn left, right, whole, joined;
  left.CreateRectRgn(0, 0, 5, 5);
  right.CreateRectRgn(5, 0, 10, 5);
  whole.CreateRectRgn(0, 0, 10, 5);
  joined.CreateRectRgn(0, 0, 0, 0);
  joined.CombineRgn(&right, &left, RGN_OR);
  EXPECT_TRUE(joined.EqualRgn(&whole));
  EXPECT_FALSE(left.EqualRgn(&whole));
}

TEST(Regions, PolygonsAndEllipses) {
  // A rectangle given as a polygon is the same region as the rectangle.
  const POINT corners[] = {{2, 1}, {7, 1}, {7, 4}, {2, 4}};
  CRgn polygon, rect;
  ASSERT_TRUE(polygon.CreatePolygonRgn(corners, 4, ALTERNATE));
  rect.CreateRectRgn(2, 1, 7, 4);
  EXPECT_TRUE(polygon.EqualRgn(&rect)) << PictureOf(polygon, CRect(0, 0, 9, 6));
  EXPECT_FALSE(CRgn().CreatePolygonRgn(corners, 1, ALTERNATE));

  CRgn ellipse;
  ASSERT_TRUE(ellipse.CreateEllipticRgn(0, 0, 20, 10));
  CRect box;
  ellipse.GetRgnBox(&box);
  EXPECT_GE(box.left, 0);
  EXPECT_LE(box.right, 20);
  EXPECT_LE(box.bottom, 10);
  EXPECT_TRUE(ellipse.PtInRegion(10, 5));
  EXPECT_FALSE(ellipse.PtInRegion(0, 0));
  EXPECT_FALSE(ellipse.PtInRegion(19, 9));
  // Symmetric about both axes.
  EXPECT_EQ(PictureOf(ellipse, CRect(0, 0, 10, 5)).size(), 55u);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) EXPECT_EQ(ellipse.PtInRegion(x, y), ellipse.PtInRegion(19 - x, 9 - y)) << x << "," << y;
}

TEST(Regions, FromMaskRowRuns) {
  const std::vector<std::string> mask = {
      "..##..",
      ".####.",
      "##..##",
      "......",
      "#....#",
  };
  CRgn region;
  ASSERT_TRUE(RegionFromMask(region, mask));
  std::string expected;
  for (const std::string& row : mask) {
    for (char c : row) expected.push_back(c == '#' ? '#' : '.');
    expected.push_back('\n');
  }
  EXPECT_EQ(PictureOf(region, CRect(0, 0, 6, 5)), expected);

  // The outline joined with a rectangle, as a window region is built.
  CRgn pane, outline;
  pane.CreateRectRgn(2, 2, 4, 4);
  outline.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(outline.CombineRgn(&region, &pane, RGN_OR), COMPLEXREGION);
  EXPECT_TRUE(outline.PtInRegion(3, 3));

  // The data read back builds the same region.
  const int size = region.GetRegionData(nullptr, 0);
  std::vector<BYTE> data(static_cast<size_t>(size), 0);
  EXPECT_EQ(region.GetRegionData(reinterpret_cast<RGNDATA*>(data.data()), size), size);
  EXPECT_EQ(region.GetRegionData(reinterpret_cast<RGNDATA*>(data.data()), size - 1), 0);
  CRgn copy;
  ASSERT_TRUE(copy.CreateFromData(nullptr, size, reinterpret_cast<const RGNDATA*>(data.data())));
  EXPECT_TRUE(copy.EqualRgn(&region));

  // An all-black mask gives an empty region; a count beyond the data is refused.
  CRgn none;
  ASSERT_TRUE(RegionFromMask(none, {"....", "...."}));
  CRect box;
  EXPECT_EQ(none.GetRgnBox(&box), NULLREGION);
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->nCount += 1;
  EXPECT_FALSE(CRgn().CreateFromData(nullptr, size, reinterpret_cast<const RGNDATA*>(data.data())));
  header->nCount = 0xFFFFFFFFu;
  EXPECT_FALSE(CRgn().CreateFromData(nullptr, size, reinterpret_cast<const RGNDATA*>(data.data())));
  EXPECT_FALSE(CRgn().CreateFromData(nullptr, 8, reinterpret_cast<const RGNDATA*>(data.data())));
}

TEST(Clipping, RectanglesAndRegionsLimitDrawing) {
  TestCanvas canvas(8, 4);
  CDC& dc = canvas.DC();
  CRect box;
  EXPECT_EQ(dc.GetClipBox(&box), SIMPLEREGION);
  EXPECT_EQ(box, CRect(0, 0, 8, 4));

  EXPECT_EQ(dc.IntersectClipRect(1, 0, 7, 4), SIMPLEREGION);
  EXPECT_EQ(dc.ExcludeClipRect(3, 1, 5, 3), COMPLEXREGION);
  dc.FillSolidRect(0, 0, 8, 4, RGB(0, 0, 0));
  EXPECT_EQ(canvas.Picture(BasicLegend()),
            " ###### \n"
            " ##  ## \n"
            " ##  ## \n"
            " ###### \n");
  EXPECT_EQ(dc.GetClipBox(&box), COMPLEXREGION);
  EXPECT_EQ(box, CRect(1, 0, 7, 4));

  // A clip region replaces the rectangles; null removes clipping.
  CRgn region;
  region.CreateRectRgn(0, 0, 2, 2);
  EXPECT_EQ(dc.SelectClipRgn(&region), SIMPLEREGION);
  dc.FillSolidRect(0, 0, 8, 4, RGB(255, 255, 255));
  EXPECT_EQ(canvas.Picture(BasicLegend(), CRect(0, 0, 3, 2)), "..#\n..#\n");
  EXPECT_EQ(dc.SelectClipRgn(nullptr), SIMPLEREGION);
  EXPECT_EQ(dc.IntersectClipRect(9, 9, 12, 12), NULLREGION);
  EXPECT_EQ(dc.GetClipBox(&box), NULLREGION);
  EXPECT_EQ(dc.SetPixel(0, 0, RGB(1, 1, 1)), CLR_INVALID);
}

TEST(Clipping, OriginsMoveLogicalCoordinates) {
  TestCanvas canvas(6, 4);
  CDC& dc = canvas.DC();
  EXPECT_EQ(dc.SetMapMode(MM_TEXT), MM_TEXT);
  EXPECT_EQ(dc.SetMapMode(2), 0);
  EXPECT_EQ(dc.SetViewportOrg(2, 1), CPoint(0, 0));
  EXPECT_EQ(dc.SetWindowOrg(1, 0), CPoint(0, 0));
  // Logical (1, 0) is device (2, 1).
  dc.SetPixel(1, 0, RGB(255, 0, 0));
  EXPECT_EQ(canvas.Picture(BasicLegend(), CRect(0, 0, 4, 2)), "    \n  r \n");
  CPoint p(1, 0);
  dc.LPtoDP(&p);
  EXPECT_EQ(p, CPoint(2, 1));
  dc.DPtoLP(&p);
  EXPECT_EQ(p, CPoint(1, 0));
  EXPECT_EQ(dc.OffsetViewportOrg(1, 1), CPoint(2, 1));
  EXPECT_EQ(dc.GetViewportOrg(), CPoint(3, 2));
  // Clip rectangles are logical; the clip box comes back logical.
  dc.IntersectClipRect(0, 0, 2, 1);
  CRect box;
  dc.GetClipBox(&box);
  EXPECT_EQ(box, CRect(0, 0, 2, 1));
  dc.FillSolidRect(-5, -5, 20, 20, RGB(0, 0, 0));
  EXPECT_EQ(canvas.Picture(BasicLegend()), "      \n  r   \n  ##  \n      \n");
  // Clip regions are in device coordinates, whatever the origins.
  CRgn device;
  device.CreateRectRgn(0, 3, 1, 4);
  dc.SelectClipRgn(&device);
  dc.FillSolidRect(-5, -5, 20, 20, RGB(0, 0, 255));
  EXPECT_EQ(dc.GetPixel(-2, 1), RGB(0, 0, 255));  // device (0, 3)
  EXPECT_EQ(canvas.Picture(BasicLegend(), CRect(0, 3, 6, 4)), "b     \n");
  // FillRgn takes logical coordinates.
  dc.SelectClipRgn(nullptr);
  CRgn logical;
  logical.CreateRectRgn(0, 0, 1, 1);
  CBrush green(RGB(0, 255, 0));
  EXPECT_TRUE(dc.FillRgn(&logical, &green));
  EXPECT_EQ(canvas.Picture(BasicLegend(), CRect(1, 2, 4, 3)), " g#\n");  // device (2, 2)
}

TEST(Clipping, SaveAndRestoreTheState) {
  TestCanvas canvas(4, 1);
  CDC& dc = canvas.DC();
  CPen red(PS_SOLID, 1, RGB(255, 0, 0));
  dc.SetTextColor(RGB(1, 1, 1));
  const int level = dc.SaveDC();
  EXPECT_EQ(level, 1);
  dc.SelectObject(&red);
  dc.SetTextColor(RGB(2, 2, 2));
  dc.SetROP2(R2_XORPEN);
  dc.IntersectClipRect(0, 0, 1, 1);
  dc.SetViewportOrg(1, 0);
  EXPECT_EQ(dc.SaveDC(), 2);
  dc.SetTextColor(RGB(3, 3, 3));
  EXPECT_TRUE(dc.RestoreDC(-1));
  EXPECT_EQ(dc.GetTextColor(), RGB(2, 2, 2));
  EXPECT_TRUE(dc.RestoreDC(level));
  EXPECT_EQ(dc.GetTextColor(), RGB(1, 1, 1));
  EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
  EXPECT_EQ(dc.GetViewportOrg(), CPoint(0, 0));
  CRect box;
  dc.GetClipBox(&box);
  EXPECT_EQ(box, CRect(0, 0, 4, 1));
  LOGPEN pen{};
  dc.GetCurrentPen()->GetLogPen(&pen);
  EXPECT_EQ(pen.lopnColor, RGB(0, 0, 0));
  EXPECT_FALSE(dc.RestoreDC(1));  // nothing saved any more
  EXPECT_FALSE(dc.RestoreDC(-1));
}
