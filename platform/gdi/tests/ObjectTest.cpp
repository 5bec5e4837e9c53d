// GDI objects, their handles and wrappers, stock objects, palettes and system colours.

#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Objects, DescriptionsComeBackThroughGetObject) {
  CPen pen(PS_DASH, 3, RGB(1, 2, 3));
  LOGPEN logPen{};
  EXPECT_EQ(pen.GetLogPen(&logPen), int(sizeof(LOGPEN)));
  EXPECT_EQ(logPen.lopnStyle, UINT(PS_DASH));
  EXPECT_EQ(logPen.lopnWidth.x, 3);
  EXPECT_EQ(logPen.lopnColor, RGB(1, 2, 3));

  CBrush hatch(HS_DIAGCROSS, RGB(4, 5, 6));
  LOGBRUSH logBrush{};
  EXPECT_EQ(hatch.GetLogBrush(&logBrush), int(sizeof(LOGBRUSH)));
  EXPECT_EQ(logBrush.lbStyle, UINT(BS_HATCHED));
  EXPECT_EQ(logBrush.lbHatch, ULONG_PTR(HS_DIAGCROSS));

  CFont font;
  ASSERT_TRUE(font.CreateFont(-13, 0, 900, 0, FW_BOLD, 1, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, u"Arial"));
  LOGFONTW logFont{};
  EXPECT_EQ(font.GetLogFont(&logFont), int(sizeof(LOGFONTW)));
  EXPECT_EQ(logFont.lfHeight, -13);
  EXPECT_EQ(logFont.lfEscapement, 900);
  EXPECT_EQ(logFont.lfWeight, FW_BOLD);
  EXPECT_EQ(std::u16string(logFont.lfFaceName), u"Arial");

  CBitmap bitmap;
  bitmap.CreateBitmap(10, 3, 1, 32, nullptr);
  BITMAP described{};
  EXPECT_EQ(bitmap.GetBitmap(&described), int(sizeof(BITMAP)));
  EXPECT_EQ(described.bmWidth, 10);
  EXPECT_EQ(described.bmHeight, 3);
  EXPECT_EQ(described.bmWidthBytes, 40);
  EXPECT_EQ(described.bmPlanes, 1);
  EXPECT_EQ(described.bmBitsPixel, 32);
  EXPECT_EQ(described.bmBits, nullptr);
  // A buffer too small for the record gives nothing; a null buffer gives the size needed.
  EXPECT_EQ(bitmap.GetObject(sizeof(BITMAP) - 1, &described), 0);
  EXPECT_EQ(bitmap.GetObject(0, nullptr), int(sizeof(BITMAP)));

  // Refused creations leave the wrapper empty.
  EXPECT_FALSE(CPen().CreatePen(42, 1, 0));
  EXPECT_FALSE(CBrush().CreateHatchBrush(17, 0));
  EXPECT_FALSE(CBitmap().CreateBitmap(4, 4, 1, 8, nullptr));
  EXPECT_FALSE(CBitmap().CreateBitmap(0, 4, 1, 32, nullptr));
  EXPECT_EQ(GetObjectType(nullptr), 0u);
}

TEST(Objects, PointFontsFollowTheDeviceResolution) {
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(80, u"Arial"));
  LOGFONTW logFont{};
  font.GetLogFont(&logFont);
  EXPECT_EQ(logFont.lfHeight, -11);  // 8 points at 96 dpi
  CFont caption;
  caption.CreatePointFont(85, u"Arial");
  caption.GetLogFont(&logFont);
  EXPECT_EQ(logFont.lfHeight, -11);
}

TEST(Objects, WrappersOwnTheirHandles) {
  HGDIOBJ handle;
  {
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    handle = pen.m_hObject;
    EXPECT_EQ(GetObjectType(handle), DWORD(OBJ_PEN));
    EXPECT_EQ(CGdiObject::FromHandle(handle), &pen);
  }
  EXPECT_EQ(GetObjectType(handle), 0u);  // the destructor deleted it

  // A detached handle outlives its wrapper; another wrapper can adopt it.
  CBrush* kept = new CBrush(RGB(1, 1, 1));
  HBRUSH brush = static_cast<HBRUSH>(kept->Detach());
  delete kept;
  EXPECT_EQ(GetObjectType(brush), DWORD(OBJ_BRUSH));
  CBrush adopted;
  EXPECT_TRUE(adopted.Attach(brush));
  EXPECT_FALSE(adopted.Attach(brush));  // already holds one

  // An unknown handle gets a temporary wrapper of the right class, which does not delete it.
  const HPEN raw = CreatePen(PS_SOLID, 2, RGB(9, 9, 9));
  CGdiObject* temporary = CGdiObject::FromHandle(raw);
  ASSERT_NE(temporary, nullptr);
  EXPECT_TRUE(temporary->IsKindOf(RUNTIME_CLASS(CPen)));
  EXPECT_EQ(CGdiObject::FromHandle(raw), temporary);
  CGdiObject::DeleteTempMap();
  EXPECT_EQ(GetObjectType(raw), DWORD(OBJ_PEN));
  EXPECT_TRUE(DeleteObject(raw));
  EXPECT_FALSE(DeleteObject(raw));
}

TEST(Objects, SelectingGivesBackThePreviousObject) {
  TestCanvas canvas(2, 2);
  CDC& dc = canvas.DC();
  CPen first(PS_SOLID, 1, RGB(1, 0, 0));
  CPen second(PS_SOLID, 1, RGB(2, 0, 0));
  CPen* original = dc.SelectObject(&first);
  ASSERT_NE(original, nullptr);
  EXPECT_EQ(original->m_hObject, GetStockObject(BLACK_PEN));
  EXPECT_EQ(dc.SelectObject(&second), &first);
  EXPECT_EQ(dc.GetCurrentPen(), &second);
  CGdiObject* previous = dc.SelectStockObject(NULL_BRUSH);
  ASSERT_NE(previous, nullptr);
  EXPECT_EQ(previous->m_hObject, GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(dc.SelectObject(original), &second);
  // Stock objects cannot be deleted.
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), DWORD(OBJ_PEN));
  EXPECT_EQ(GetStockObject(9), nullptr);
  EXPECT_EQ(GetStockObject(DEFAULT_GUI_FONT), GetStockObject(DEFAULT_GUI_FONT));
  // A pen selected into a DC and deleted keeps drawing until it is replaced.
  CPen* red = new CPen(PS_SOLID, 1, RGB(255, 0, 0));
  dc.SelectObject(red);
  delete red;
  dc.MoveTo(0, 0);
  dc.LineTo(2, 0);
  EXPECT_EQ(dc.GetPixel(1, 0), RGB(255, 0, 0));
}

TEST(Objects, PalettesKeepTheirEntries) {
  std::vector<BYTE> storage(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
  auto* logPalette = reinterpret_cast<LOGPALETTE*>(storage.data());
  logPalette->palVersion = 0x300;
  logPalette->palNumEntries = 3;
  const PALETTEENTRY entries[3] = {{255, 0, 0, 0}, {0, 255, 0, 0}, {0, 0, 255, 0}};
  std::memcpy(logPalette->palPalEntry, entries, sizeof entries);
  CPalette palette;
  ASSERT_TRUE(palette.CreatePalette(logPalette));
  EXPECT_EQ(palette.GetEntryCount(), 3);
  PALETTEENTRY back[3] = {};
  EXPECT_EQ(palette.GetPaletteEntries(1, 5, back), 2u);
  EXPECT_EQ(back[0].peGreen, 255);
  EXPECT_EQ(back[1].peBlue, 255);
  EXPECT_EQ(palette.SetPaletteEntries(2, 1, entries), 1u);
  palette.GetPaletteEntries(2, 1, back);
  EXPECT_EQ(back[0].peRed, 255);
  WORD count = 0;
  EXPECT_EQ(palette.GetObject(sizeof count, &count), int(sizeof count));
  EXPECT_EQ(count, 3);

  // Selecting and realising a palette changes no pixel.
  TestCanvas canvas(1, 1, RGB(10, 20, 30));
  CPalette* old = canvas.DC().SelectPalette(&palette, FALSE);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->m_hObject, GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(canvas.DC().RealizePalette(), 0u);
  EXPECT_EQ(canvas.DC().GetPixel(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(canvas.DC().SelectPalette(old, FALSE), &palette);
}

TEST(Objects, SystemColoursAreTheClassicDesktop) {
  struct Case {
    int index;
    COLORREF colour;
  };
  const Case cases[] = {
      {COLOR_BTNFACE, RGB(212, 208, 200)},  {COLOR_BTNSHADOW, RGB(128, 128, 128)},
      {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)}, {COLOR_3DDKSHADOW, RGB(64, 64, 64)},
      {COLOR_WINDOW, RGB(255, 255, 255)},   {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
      {COLOR_HIGHLIGHT, RGB(10, 36, 106)},  {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)},
      {COLOR_ACTIVECAPTION, RGB(10, 36, 106)}, {COLOR_INACTIVECAPTION, RGB(128, 128, 128)},
      {COLOR_GRAYTEXT, RGB(128, 128, 128)}, {COLOR_INFOBK, RGB(255, 255, 225)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetSysColor(c.index), c.colour) << c.index;
    LOGBRUSH brush{};
    ASSERT_EQ(GetObject(GetSysColorBrush(c.index), sizeof brush, &brush), int(sizeof brush)) << c.index;
    EXPECT_EQ(brush.lbColor, c.colour) << c.index;
  }
  // The brushes are shared and stay when deleted.
  EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), GetSysColorBrush(COLOR_BTNFACE));
  {
    CBrush face;
    face.CreateSysColorBrush(COLOR_BTNFACE);
  }
  EXPECT_EQ(GetObjectType(GetSysColorBrush(COLOR_BTNFACE)), DWORD(OBJ_BRUSH));
  EXPECT_EQ(GetSysColorBrush(99), nullptr);
}
