#include "platform/core/CRect.h"

#include <gtest/gtest.h>

#include <ostream>

// Found by argument lookup from gtest's messages (RECT lives in the global namespace).
static std::ostream& operator<<(std::ostream& out, const RECT& r) {
  return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

TEST(CRect, IntersectAndUnion) {
  struct Case {
    const char* what;
    CRect a, b;
    BOOL meets;
    CRect intersection;
    CRect unionRect;
  };
  const Case cases[] = {
      {"overlap", {0, 0, 10, 10}, {5, 5, 15, 15}, TRUE, {5, 5, 10, 10}, {0, 0, 15, 15}},
      {"touching edges share no pixel", {0, 0, 10, 10}, {10, 0, 20, 10}, FALSE, {0, 0, 0, 0}, {0, 0, 20, 10}},
      {"inside", {0, 0, 10, 10}, {2, 3, 4, 5}, TRUE, {2, 3, 4, 5}, {0, 0, 10, 10}},
      {"empty one is ignored by the union", {0, 0, 10, 10}, {50, 50, 50, 60}, FALSE, {0, 0, 0, 0}, {0, 0, 10, 10}},
      {"inverted counts as empty", {10, 10, 0, 0}, {0, 0, 5, 5}, FALSE, {0, 0, 0, 0}, {0, 0, 5, 5}},
  };
  for (const Case& c : cases) {
    CRect i(-1, -1, -1, -1);
    EXPECT_EQ(i.IntersectRect(&c.a, &c.b), c.meets) << c.what;
    EXPECT_EQ(i, c.intersection) << c.what << ": " << static_cast<const RECT&>(i);
    CRect u;
    u.UnionRect(&c.a, &c.b);
    EXPECT_EQ(u, c.unionRect) << c.what << ": " << static_cast<const RECT&>(u);
  }
  CRect empty(1, 1, 1, 1);
  EXPECT_FALSE(empty.UnionRect(&empty, &empty));
  EXPECT_TRUE(empty.IsRectNull());
}

TEST(CRect, PointsOnTheRightAndBottomEdgesAreOutside) {
  const CRect r(10, 20, 30, 40);
  EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
  EXPECT_TRUE(r.PtInRect(CPoint(29, 39)));
  EXPECT_FALSE(r.PtInRect(CPoint(30, 39)));
  EXPECT_FALSE(r.PtInRect(CPoint(29, 40)));
  EXPECT_EQ(r.Width(), 20);
  EXPECT_EQ(r.CenterPoint(), CPoint(20, 30));
}

TEST(CRect, NormalizeInflateOffset) {
  CRect r(30, 40, 10, 20);
  EXPECT_TRUE(r.IsRectEmpty());
  r.NormalizeRect();
  EXPECT_EQ(r, CRect(10, 20, 30, 40));
  r.InflateRect(1, 2);
  EXPECT_EQ(r, CRect(9, 18, 31, 42));
  r.DeflateRect(1, 2, 3, 4);
  EXPECT_EQ(r, CRect(10, 20, 28, 38));
  r.OffsetRect(CPoint(-10, -20));
  EXPECT_EQ(r, CRect(0, 0, 18, 18));
  EXPECT_EQ(CPoint(5, 7) - CPoint(2, 3), CSize(3, 4));
  EXPECT_EQ(r & CRect(10, 10, 40, 40), CRect(10, 10, 18, 18));
  EXPECT_EQ(r | CRect(10, 10, 40, 40), CRect(0, 0, 40, 40));
}

TEST(Arithmetic, MulDivRoundsToTheNearestWithoutOverflowingOnTheWay) {
  struct Case {
    int number, numerator, denominator, expected;
  };
  const Case cases[] = {
      {8, 96, 72, 11},  {8, 300, 72, 33},  {8, 600, 72, 67},   {1, 1, 2, 1},           {-1, 1, 2, -1},
      {5, 1, 4, 1},     {-5, 1, -4, 1},    {3, 1, -2, -2},     {100000, 100000, 1000, 10000000},
      {1, 1, 0, -1},    {0x7FFFFFFF, 2, 1, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
        << c.number << " * " << c.numerator << " / " << c.denominator;
}
