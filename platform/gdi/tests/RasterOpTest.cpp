// Raster operations and mix modes, bit by bit on the colour bytes.

#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Colour bytes chosen so that every combination of bits meets: 00, FF, 0F/F0, AA/55, and mixed.
const COLORREF kValues[] = {RGB(0x00, 0xFF, 0x0F), RGB(0xF0, 0xAA, 0x55), RGB(0x3C, 0x96, 0xC3), RGB(0xFF, 0x00, 0x81)};

COLORREF Bitwise(COLORREF a, COLORREF b, COLORREF c, const std::function<DWORD(DWORD, DWORD, DWORD)>& f) {
  return f(a, b, c) & 0x00FFFFFF;
}

std::string Hex(COLORREF c) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", unsigned(c));
  return text;
}

}  // namespace

// Every pattern/source/destination triple through BitBlt, against the operation's formula.
TEST(RasterOps, TernaryOperationsOnEveryBitCombination) {
  struct Rop {
    const char* name;
    DWORD code;
    std::function<DWORD(DWORD, DWORD, DWORD)> formula;  // (pattern, source, destination)
  };
  const Rop rops[] = {
      {"SRCCOPY", SRCCOPY, [](DWORD, DWORD s, DWORD) { return s; }},
      {"SRCPAINT", SRCPAINT, [](DWORD, DWORD s, DWORD d) { return s | d; }},
      {"SRCAND", SRCAND, [](DWORD, DWORD s, DWORD d) { return s & d; }},
      {"SRCINVERT", SRCINVERT, [](DWORD, DWORD s, DWORD d) { return s ^ d; }},
      {"SRCERASE", SRCERASE, [](DWORD, DWORD s, DWORD d) { return s & ~d; }},
      {"NOTSRCCOPY", NOTSRCCOPY, [](DWORD, DWORD s, DWORD) { return ~s; }},
      {"NOTSRCERASE", NOTSRCERASE, [](DWORD, DWORD s, DWORD d) { return ~(s | d); }},
      {"MERGECOPY", MERGECOPY, [](DWORD p, DWORD s, DWORD) { return p & s; }},
      {"MERGEPAINT", MERGEPAINT, [](DWORD, DWORD s, DWORD d) { return ~s | d; }},
      {"PATCOPY", PATCOPY, [](DWORD p, DWORD, DWORD) { return p; }},
      {"PATPAINT", PATPAINT, [](DWORD p, DWORD s, DWORD d) { return p | ~s | d; }},
      {"PATINVERT", PATINVERT, [](DWORD p, DWORD, DWORD d) { return p ^ d; }},
      {"DSTINVERT", DSTINVERT, [](DWORD, DWORD, DWORD d) { return ~d; }},
      {"BLACKNESS", BLACKNESS, [](DWORD, DWORD, DWORD) { return 0u; }},
      {"WHITENESS", WHITENESS, [](DWORD, DWORD, DWORD) { return ~0u; }},
      // Operations without a name, through the general truth table.
      {"PSDPxax", 0x00B8074A, [](DWORD p, DWORD s, DWORD d) { return ((p ^ d) & s) ^ p; }},
      {"DSPDxax", 0x00E20746, [](DWORD p, DWORD s, DWORD d) { return ((p ^ d) & s) ^ d; }},
      {"DPSoon", 0x00010289, [](DWORD p, DWORD s, DWORD d) { return ~(d | p | s); }},
  };
  TestCanvas source(1, 1);
  TestCanvas target(1, 1);
  for (const Rop& rop : rops) {
    for (COLORREF p : kValues) {
      for (COLORREF s : kValues) {
        for (COLORREF d : kValues) {
          source.DC().SetPixel(0, 0, s);
          target.DC().SetPixel(0, 0, d);
          CBrush brush(p);
          CBrush* old = target.DC().SelectObject(&brush);
          ASSERT_TRUE(target.DC().BitBlt(0, 0, 1, 1, &source.DC(), 0, 0, rop.code)) << rop.name;
          target.DC().SelectObject(old);
          const COLORREF expected = Bitwise(p, s, d, rop.formula);
          EXPECT_EQ(Hex(target.DC().GetPixel(0, 0)), Hex(expected))
              << rop.name << " P=" << Hex(p) << " S=" << Hex(s) << " D=" << Hex(d);
        }
      }
    }
  }
}

// The sixteen mix modes, for a pen (a one-pixel line) and for a brush (a rectangle's inside).
TEST(RasterOps, MixModesOfPensAndBrushes) {
  const std::function<DWORD(DWORD, DWORD)> modes[17] = {
      nullptr,
      [](DWORD, DWORD) { return 0u; },                   // R2_BLACK
      [](DWORD p, DWORD d) { return ~(p | d); },         // R2_NOTMERGEPEN
      [](DWORD p, DWORD d) { return ~p & d; },           // R2_MASKNOTPEN
      [](DWORD p, DWORD) { return ~p; },                 // R2_NOTCOPYPEN
      [](DWORD p, DWORD d) { return p & ~d; },           // R2_MASKPENNOT
      [](DWORD, DWORD d) { return ~d; },                 // R2_NOT
      [](DWORD p, DWORD d) { return p ^ d; },            // R2_XORPEN
      [](DWORD p, DWORD d) { return ~(p & d); },         // R2_NOTMASKPEN
      [](DWORD p, DWORD d) { return p & d; },            // R2_MASKPEN
      [](DWORD p, DWORD d) { return ~(p ^ d); },         // R2_NOTXORPEN
      [](DWORD, DWORD d) { return d; },                  // R2_NOP
      [](DWORD p, DWORD d) { return ~p | d; },           // R2_MERGENOTPEN
      [](DWORD p, DWORD) { return p; },                  // R2_COPYPEN
      [](DWORD p, DWORD d) { return p | ~d; },           // R2_MERGEPENNOT
      [](DWORD p, DWORD d) { return p | d; },            // R2_MERGEPEN
      [](DWORD, DWORD) { return ~0u; },                  // R2_WHITE
  };
  TestCanvas canvas(3, 3);
  CDC& dc = canvas.DC();
  for (int mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
    for (COLORREF p : kValues) {
      for (COLORREF d : kValues) {
        const COLORREF expected = modes[mode](p, d) & 0x00FFFFFF;
        // A pen: a line two pixels long draws its first pixel only.
        dc.SetPixel(0, 0, d);
        CPen pen(PS_SOLID, 1, p);
        CPen* oldPen = dc.SelectObject(&pen);
        dc.SetROP2(mode);
        dc.MoveTo(0, 0);
        dc.LineTo(1, 0);
        EXPECT_EQ(Hex(dc.GetPixel(0, 0)), Hex(expected)) << "pen, mode " << mode << " P=" << Hex(p) << " D=" << Hex(d);
        // A brush: the inside of a 3x3 rectangle drawn with a pen is its middle pixel.
        dc.SetROP2(R2_COPYPEN);
        dc.SetPixel(1, 1, d);
        CBrush brush(p);
        CBrush* oldBrush = dc.SelectObject(&brush);
        dc.SelectStockObject(NULL_PEN);
        dc.SetROP2(mode);
        dc.Rectangle(1, 1, 3, 3);  // a null pen fills one pixel less: just (1, 1)
        EXPECT_EQ(Hex(dc.GetPixel(1, 1)), Hex(expected)) << "brush, mode " << mode << " P=" << Hex(p) << " D=" << Hex(d);
        dc.SetROP2(R2_COPYPEN);
        dc.SelectObject(oldBrush);
        dc.SelectObject(oldPen);
      }
    }
  }
}

// PatBlt takes the brush as pattern; operations that need a source are refused.
TEST(RasterOps, PatBltUsesTheBrushAndRefusesSourceOperations) {
  TestCanvas canvas(4, 1, RGB(0x12, 0x34, 0x56));
  CDC& dc = canvas.DC();
  CBrush brush(RGB(0xF0, 0x0F, 0xFF));
  dc.SelectObject(&brush);
  EXPECT_TRUE(dc.PatBlt(0, 0, 1, 1, PATCOPY));
  EXPECT_TRUE(dc.PatBlt(1, 0, 1, 1, PATINVERT));
  EXPECT_TRUE(dc.PatBlt(2, 0, 1, 1, DSTINVERT));
  EXPECT_FALSE(dc.PatBlt(3, 0, 1, 1, SRCCOPY));
  EXPECT_EQ(Hex(dc.GetPixel(0, 0)), Hex(RGB(0xF0, 0x0F, 0xFF)));
  EXPECT_EQ(Hex(dc.GetPixel(1, 0)), Hex(RGB(0xF0 ^ 0x12, 0x0F ^ 0x34, 0xFF ^ 0x56)));
  EXPECT_EQ(Hex(dc.GetPixel(2, 0)), Hex(RGB(0xED, 0xCB, 0xA9)));
  EXPECT_EQ(Hex(dc.GetPixel(3, 0)), Hex(RGB(0x12, 0x34, 0x56)));
  // A negative width reaches to the left of x; the null brush paints nothing.
  EXPECT_TRUE(dc.PatBlt(4, 0, -2, 1, BLACKNESS));
  EXPECT_EQ(canvas.Picture(BasicLegend()).substr(2, 2), "##");
  dc.SelectStockObject(NULL_BRUSH);
  EXPECT_TRUE(dc.PatBlt(0, 0, 4, 1, PATCOPY));
  EXPECT_EQ(Hex(dc.GetPixel(0, 0)), Hex(RGB(0xF0, 0x0F, 0xFF)));
}
