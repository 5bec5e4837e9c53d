// Pens, brushes and figures land on exactly the pixels callers expect.

#include "GdiTestSupport.h"

#include <gtest/gtest.h>

TEST(Shapes, RectangleLeavesOutItsRightColumnAndBottomRow) {
  struct Case {
    const char* what;
    int penStyle;
    CRect box;
    const char* picture;
  };
  const Case cases[] = {
      {"pen and brush", PS_SOLID, {1, 1, 6, 5},
       "       \n"
       " ##### \n"
       " #...# \n"
       " #...# \n"
       " ##### \n"
       "       \n"},
      {"null pen fills one pixel less each way", PS_NULL, {1, 1, 6, 5},
       "       \n"
       " ....  \n"
       " ....  \n"
       " ....  \n"
       "       \n"
       "       \n"},
      {"corners given the other way round", PS_SOLID, {6, 5, 1, 1},
       "       \n"
       " ##### \n"
       " #...# \n"
       " #...# \n"
       " ##### \n"
       "       \n"},
      {"two pixels wide has no inside", PS_SOLID, {2, 1, 4, 4},
       "       \n"
       "  ##   \n"
       "  ##   \n"
       "  ##   \n"
       "       \n"
       "       \n"},
  };
  for (const Case& c : cases) {
    TestCanvas canvas(7, 6);
    CPen pen(c.penStyle, 1, RGB(0, 0, 0));
    canvas.DC().SelectObject(&pen);
    canvas.DC().SelectStockObject(WHITE_BRUSH);
    EXPECT_TRUE(canvas.DC().Rectangle(c.box));
    EXPECT_EQ(canvas.Picture(BasicLegend()), c.picture) << c.what;
  }
}

TEST(Shapes, LinesLeaveOutTheirLastPixel) {
  struct Case {
    const char* what;
    CPoint from, to;
    const char* picture;
  };
  const Case cases[] = {
      {"right", {1, 1}, {5, 1}, "      \n #### \n      \n      \n      \n"},
      {"left", {5, 1}, {1, 1}, "      \n  ####\n      \n      \n      \n"},
      {"down", {2, 0}, {2, 4}, "  #   \n  #   \n  #   \n  #   \n      \n"},
      {"diagonal", {0, 0}, {4, 4}, "#     \n #    \n  #   \n   #  \n      \n"},
      {"shallow", {0, 0}, {6, 2}, "##    \n  ### \n     #\n      \n      \n"},
      {"a point draws nothing", {3, 3}, {3, 3}, "      \n      \n      \n      \n      \n"},
  };
  for (const Case& c : cases) {
    TestCanvas canvas(6, 5);
    canvas.DC().MoveTo(c.from);
    EXPECT_TRUE(canvas.DC().LineTo(c.to));
    EXPECT_EQ(canvas.Picture(BasicLegend()), c.picture) << c.what;
    EXPECT_EQ(canvas.DC().GetCurrentPosition(), c.to) << c.what;
  }
}

// A polyline joins its segments without drawing a corner twice, so XOR drawing stays clean.
TEST(Shapes, PolylineAndClosedOutlineUnderXor) {
  TestCanvas canvas(6, 5, RGB(0, 0, 0));
  CDC& dc = canvas.DC();
  CPen pen(PS_SOLID, 0, RGB(255, 255, 255));
  dc.SelectObject(&pen);
  dc.SetROP2(R2_XORPEN);
  const POINT path[] = {{1, 1}, {4, 1}, {4, 3}, {1, 3}};
  EXPECT_TRUE(dc.Polyline(path, 4));
  EXPECT_EQ(canvas.Picture(BasicLegend()),
            "######\n"
            "#....#\n"
            "####.#\n"
            "##...#\n"
            "######\n");
  EXPECT_TRUE(dc.Polyline(path, 4));
  EXPECT_EQ(canvas.Picture(BasicLegend()), "######\n######\n######\n######\n######\n");
}

// The rubber band: the same rectangle drawn twice in an inverting mix mode leaves no trace,
// also with a dotted pen whose gaps are drawn in the background colour. (A black pen under
// R2_XORPEN changes nothing; with a dotted one its white gaps still show.)
TEST(Shapes, InvertingRectanglesEraseThemselves) {
  const int modes[] = {R2_XORPEN, R2_NOTXORPEN, R2_NOT};
  for (int mode : modes) {
    for (int style : {PS_SOLID, PS_DOT}) {
      TestCanvas canvas(40, 30, RGB(40, 90, 200));
      CDC& dc = canvas.DC();
      dc.SetPixel(10, 10, RGB(1, 2, 3));
      const QImage before = canvas.Image();
      CPen pen(style, 0, style == PS_SOLID ? RGB(200, 30, 90) : RGB(0, 0, 0));
      dc.SelectObject(&pen);
      dc.SelectStockObject(NULL_BRUSH);
      dc.SetROP2(mode);
      dc.Rectangle(3, 4, 33, 25);
      EXPECT_NE(canvas.Image(), before) << "mode " << mode << " style " << style << " drew nothing";
      dc.Rectangle(33, 25, 3, 4);
      EXPECT_EQ(canvas.Image(), before) << "mode " << mode << " style " << style;
    }
  }
}

TEST(Shapes, DottedPenDrawsRunsOfThreeAndItsGapsInTheBackground) {
  TestCanvas canvas(14, 2);
  CDC& dc = canvas.DC();
  CPen dots(PS_DOT, 0, RGB(0, 0, 0));
  dc.SelectObject(&dots);
  dc.SetBkColor(RGB(255, 255, 255));
  dc.SetBkMode(OPAQUE);
  dc.MoveTo(0, 0);
  dc.LineTo(14, 0);
  dc.SetBkMode(TRANSPARENT);
  dc.MoveTo(0, 1);
  dc.LineTo(14, 1);
  EXPECT_EQ(canvas.Picture(BasicLegend()),
            "###...###...##\n"
            "###   ###   ##\n");
}

TEST(Shapes, WidePensAndInsideFrame) {
  TestCanvas canvas(20, 20);
  CDC& dc = canvas.DC();
  CPen wide(PS_SOLID, 5, RGB(0, 0, 0));
  dc.SelectObject(&wide);
  dc.MoveTo(2, 10);
  dc.LineTo(17, 10);
  // A 5-pixel line covers rows 8 to 12 along its middle.
  const std::string column = canvas.Picture(BasicLegend(), CRect(9, 6, 10, 15));
  EXPECT_EQ(column, " \n \n#\n#\n#\n#\n#\n \n \n");

  TestCanvas framed(20, 20);
  CPen inside(PS_INSIDEFRAME, 3, RGB(0, 0, 0));
  framed.DC().SelectObject(&inside);
  framed.DC().SelectStockObject(WHITE_BRUSH);
  framed.DC().Rectangle(4, 4, 16, 16);
  // Nothing outside the box; the border is three pixels thick inside it.
  const std::string picture = framed.Picture(BasicLegend());
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const char c = picture[size_t(y) * 21 + x];
      const bool inBox = x >= 4 && x < 16 && y >= 4 && y < 16;
      if (!inBox) {
        EXPECT_EQ(c, ' ') << x << "," << y << "\n" << picture;
      }
    }
  EXPECT_EQ(framed.Picture(BasicLegend(), CRect(4, 10, 16, 11)), "###......###\n") << picture;
}

TEST(Shapes, EllipseStaysInsideItsBox) {
  TestCanvas canvas(24, 16);
  CDC& dc = canvas.DC();
  dc.SelectStockObject(BLACK_PEN);
  dc.SelectStockObject(WHITE_BRUSH);
  EXPECT_TRUE(dc.Ellipse(2, 3, 22, 13));
  const std::string picture = canvas.Picture(BasicLegend());
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 24; ++x) {
      const bool inBox = x >= 2 && x < 22 && y >= 3 && y < 13;
      if (!inBox) {
        EXPECT_EQ(picture[size_t(y) * 25 + x], ' ') << x << "," << y << "\n" << picture;
      }
    }
  // The outline touches all four sides of the box; the middle is filled.
  EXPECT_NE(canvas.Picture(BasicLegend(), CRect(2, 3, 22, 4)).find('#'), std::string::npos) << picture;
  EXPECT_NE(canvas.Picture(BasicLegend(), CRect(2, 12, 22, 13)).find('#'), std::string::npos) << picture;
  EXPECT_NE(canvas.Picture(BasicLegend(), CRect(2, 3, 3, 13)).find('#'), std::string::npos) << picture;
  EXPECT_NE(canvas.Picture(BasicLegend(), CRect(21, 3, 22, 13)).find('#'), std::string::npos) << picture;
  EXPECT_EQ(dc.GetPixel(12, 8), RGB(255, 255, 255));
  // The corners of the box stay clear.
  EXPECT_EQ(dc.GetPixel(2, 3), RGB(128, 128, 128));
  EXPECT_EQ(dc.GetPixel(21, 12), RGB(128, 128, 128));
}

TEST(Shapes, PolygonFillModes) {
  // A five-pointed star drawn in one stroke: its middle is inside for WINDING only.
  const POINT star[] = {{20, 2}, {32, 38}, {2, 16}, {38, 16}, {8, 38}};
  for (int mode : {ALTERNATE, WINDING}) {
    TestCanvas canvas(40, 40);
    CDC& dc = canvas.DC();
    dc.SelectStockObject(NULL_PEN);
    dc.SelectStockObject(BLACK_BRUSH);
    dc.SetPolyFillMode(mode);
    EXPECT_TRUE(dc.Polygon(star, 5));
    EXPECT_EQ(dc.GetPixel(20, 22), mode == WINDING ? RGB(0, 0, 0) : RGB(128, 128, 128)) << "mode " << mode;
    EXPECT_EQ(dc.GetPixel(20, 8), RGB(0, 0, 0)) << "a point of the star, mode " << mode;
  }
  // A filled square polygon without a pen covers exactly its left/top-inclusive pixels.
  TestCanvas square(6, 6);
  const POINT corners[] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}};
  square.DC().SelectStockObject(NULL_PEN);
  square.DC().SelectStockObject(BLACK_BRUSH);
  square.DC().Polygon(corners, 4);
  EXPECT_EQ(square.Picture(BasicLegend()), "      \n ###  \n ###  \n ###  \n      \n      \n");
}

TEST(Shapes, RectangleFillsAndFrames) {
  TestCanvas canvas(8, 6);
  CDC& dc = canvas.DC();
  CBrush red(RGB(255, 0, 0));
  CBrush blue(RGB(0, 0, 255));
  dc.FillRect(CRect(1, 1, 7, 5), &red);
  dc.FrameRect(CRect(0, 0, 8, 6), &blue);
  dc.InvertRect(CRect(3, 2, 5, 4));
  EXPECT_EQ(canvas.Picture(BasicLegend()),
            "bbbbbbbb\n"
            "brrrrrrb\n"
            "brrccrrb\n"
            "brrccrrb\n"
            "brrrrrrb\n"
            "bbbbbbbb\n");
  // FillSolidRect leaves its colour as the background colour.
  dc.FillSolidRect(2, 2, 2, 1, RGB(0, 255, 0));
  EXPECT_EQ(dc.GetBkColor(), RGB(0, 255, 0));
  EXPECT_EQ(canvas.Picture(BasicLegend(), CRect(0, 2, 8, 3)), "brggcrrb\n");
}

TEST(Shapes, Draw3dRectEdgeAndFocusRect) {
  TestCanvas canvas(6, 5);
  CDC& dc = canvas.DC();
  dc.Draw3dRect(0, 0, 6, 5, RGB(255, 255, 255), RGB(0, 0, 0));
  EXPECT_EQ(canvas.Picture(BasicLegend()),
            ".....#\n"
            ".    #\n"
            ".    #\n"
            ".    #\n"
            "######\n");

  // A sunken outer edge: shadow at top and left, highlight at bottom and right.
  TestCanvas edge(5, 4, RGB(1, 2, 3));
  CRect r(0, 0, 5, 4);
  EXPECT_TRUE(edge.DC().DrawEdge(&r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST));
  EXPECT_EQ(r, CRect(1, 1, 4, 3));
  const std::map<COLORREF, char> legend = {{GetSysColor(COLOR_BTNSHADOW), 's'}, {GetSysColor(COLOR_BTNHIGHLIGHT), 'h'}};
  EXPECT_EQ(edge.Picture(legend), "ssssh\ns???h\ns???h\nhhhhh\n");

  // A raised edge has two layers: light/dark shadow outside, highlight/shadow inside.
  TestCanvas raised(5, 5, RGB(1, 1, 1));
  CRect all(0, 0, 5, 5);
  raised.DC().DrawEdge(&all, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  const std::map<COLORREF, char> colours = {{GetSysColor(COLOR_3DLIGHT), 'l'},
                                            {GetSysColor(COLOR_3DDKSHADOW), 'd'},
                                            {GetSysColor(COLOR_BTNHIGHLIGHT), 'h'},
                                            {GetSysColor(COLOR_BTNSHADOW), 's'}};
  EXPECT_EQ(raised.Picture(colours), "lllld\nlhhsd\nlhlsd\nlsssd\nddddd\n");

  // The focus rectangle inverts every other pixel of its frame; a second call takes it away.
  TestCanvas focus(6, 4, RGB(0, 0, 0));
  const QImage before = focus.Image();
  focus.DC().DrawFocusRect(CRect(0, 0, 6, 4));
  EXPECT_EQ(focus.Picture(BasicLegend()), "#.#.#.\n.#####\n#####.\n.#.#.#\n");
  focus.DC().DrawFocusRect(CRect(0, 0, 6, 4));
  EXPECT_EQ(focus.Image(), before);
}

TEST(Shapes, PixelsAndTheirColours) {
  TestCanvas canvas(3, 3);
  CDC& dc = canvas.DC();
  EXPECT_EQ(dc.SetPixel(1, 1, RGB(10, 20, 30)), RGB(10, 20, 30));
  EXPECT_EQ(dc.GetPixel(1, 1), RGB(10, 20, 30));
  EXPECT_EQ(dc.GetPixel(3, 1), CLR_INVALID);
  EXPECT_EQ(dc.SetPixel(-1, 0, RGB(1, 1, 1)), CLR_INVALID);
  EXPECT_TRUE(dc.SetPixelV(0, 0, RGB(5, 5, 5)));
  // SetPixel ignores the mix mode.
  dc.SetROP2(R2_XORPEN);
  dc.SetPixel(2, 2, RGB(255, 0, 0));
  EXPECT_EQ(dc.GetPixel(2, 2), RGB(255, 0, 0));
}
