// Text: fonts, metrics, TextOut and DrawText. These tests run with a QGuiApplication.

#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class Text : public ::testing::Test {
protected:
  void SetUp() override { EnsureGuiApplication(); }

  // A crisp font, so that every pixel is either the text colour or untouched.
  static void MakeFont(CFont& font, int height, LPCWSTR face = u"Arial", int escapement = 0, int weight = FW_NORMAL) {
    ASSERT_TRUE(font.CreateFont(height, 0, escapement, 0, weight, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY,
                                VARIABLE_PITCH | FF_SWISS, face));
  }
};

// The bounds of the pixels that differ from `background`.
QRect Ink(const QImage& image, QRgb background) {
  QRect ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != background) ink |= QRect(x, y, 1, 1);
  return ink;
}

}  // namespace

TEST_F(Text, TextOutDrawsInsideItsCell) {
  CFont font;
  MakeFont(font, -16);
  for (int mode : {TRANSPARENT, OPAQUE}) {
    TestCanvas canvas(120, 40, RGB(255, 255, 255));
    CDC& dc = canvas.DC();
    dc.SelectObject(&font);
    dc.SetTextColor(RGB(255, 0, 0));
    dc.SetBkColor(RGB(255, 255, 0));
    dc.SetBkMode(mode);
    ASSERT_TRUE(dc.TextOut(7, 9, CString(u"Hallo Welt")));
    const CSize extent = dc.GetTextExtent(CString(u"Hallo Welt"));
    const QRect cell(7, 9, extent.cx, extent.cy);
    const QImage image = canvas.Image();
    const QRect ink = Ink(image, qRgb(255, 255, 255));
    EXPECT_TRUE(cell.contains(ink)) << "mode " << mode << ": ink " << ink.x() << "," << ink.y() << " " << ink.width()
                                    << "x" << ink.height() << " outside the cell";
    int text = 0, background = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb c = image.pixel(x, y);
        if (c == qRgb(255, 0, 0)) ++text;
        if (c == qRgb(255, 255, 0)) ++background;
      }
    EXPECT_GT(text, 40) << "mode " << mode;
    if (mode == OPAQUE) {
      EXPECT_EQ(ink, cell);
      EXPECT_EQ(text + background, cell.width() * cell.height());
    } else {
      EXPECT_EQ(background, 0);
    }
    if (mode == OPAQUE) SaveArtifact(image, "textout-opaque.png");
  }
}

TEST_F(Text, MetricsAndExtents) {
  CFont font;
  MakeFont(font, -20);
  TestCanvas canvas(10, 10);
  CDC& dc = canvas.DC();
  dc.SelectObject(&font);
  TEXTMETRIC tm{};
  ASSERT_TRUE(dc.GetTextMetrics(&tm));
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 20);  // a negative height is the character height
  EXPECT_GT(tm.tmAveCharWidth, 4);
  EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
  EXPECT_EQ(tm.tmWeight, FW_NORMAL);
  EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);  // set for variable pitch
  EXPECT_EQ(dc.GetTextExtent(CString(u"")), CSize(0, tm.tmHeight));
  const CSize a = dc.GetTextExtent(CString(u"AV"));
  const CSize b = dc.GetTextExtent(CString(u"To"));
  EXPECT_EQ(dc.GetTextExtent(CString(u"AVTo")).cx, a.cx + b.cx);  // widths add up (no kerning)

  // A positive height is the cell height.
  CFont cell;
  MakeFont(cell, 24);
  dc.SelectObject(&cell);
  dc.GetTextMetrics(&tm);
  EXPECT_NEAR(tm.tmHeight, 24, 1);

  // Stand-in faces keep the widths of the faces they replace: fixed pitch stays fixed.
  CFont mono;
  MakeFont(mono, -14, u"Courier New");
  dc.SelectObject(&mono);
  EXPECT_EQ(dc.GetTextExtent(CString(u"iiii")).cx, dc.GetTextExtent(CString(u"MMMM")).cx);
  dc.GetTextMetrics(&tm);
  EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);
}

TEST_F(Text, DrawTextPlacesAndMeasures) {
  CFont font;
  MakeFont(font, -14);
  TestCanvas canvas(200, 60, RGB(255, 255, 255));
  CDC& dc = canvas.DC();
  dc.SelectObject(&font);
  dc.SetBkMode(TRANSPARENT);
  TEXTMETRIC tm{};
  dc.GetTextMetrics(&tm);
  const CString word(u"Index");
  const CSize extent = dc.GetTextExtent(word);

  CRect measure(10, 10, 10, 10);
  EXPECT_EQ(dc.DrawText(word, &measure, DT_SINGLELINE | DT_CALCRECT), tm.tmHeight);
  EXPECT_EQ(measure, CRect(10, 10, 10 + extent.cx, 10 + tm.tmHeight));

  struct Case {
    UINT format;
    int left;  // where the text cell starts in (20, 5, 180, 55)
    int top;
  };
  const Case cases[] = {
      {DT_SINGLELINE, 20, 5},
      {DT_SINGLELINE | DT_CENTER | DT_VCENTER, 20 + (160 - extent.cx) / 2, 5 + (50 - tm.tmHeight) / 2},
      {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, 180 - extent.cx, 55 - tm.tmHeight},
  };
  for (const Case& c : cases) {
    dc.FillSolidRect(0, 0, 200, 60, RGB(255, 255, 255));
    CRect r(20, 5, 180, 55);
    const int height = dc.DrawText(word, &r, c.format);
    EXPECT_EQ(height, c.top - 5 + tm.tmHeight) << c.format;
    const QRect ink = Ink(canvas.Image(), qRgb(255, 255, 255));
    EXPECT_TRUE(QRect(c.left, c.top, extent.cx, tm.tmHeight).contains(ink)) << "format " << c.format;
  }

  // Word wrapping gives several lines; a single line would be one line high.
  CRect narrow(0, 0, extent.cx * 2, 0);
  const int lines = dc.DrawText(CString(u"Index Index Index Index"), &narrow, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_GE(lines, 2 * tm.tmHeight);
  EXPECT_EQ(lines % tm.tmHeight, 0);
  EXPECT_LE(narrow.Width(), extent.cx * 2);
  CRect breaks(0, 0, 500, 0);
  EXPECT_EQ(dc.DrawText(CString(u"a\r\nb\nc"), &breaks, DT_CALCRECT), 3 * tm.tmHeight);
  EXPECT_EQ(dc.DrawText(CString(u"a\r\nb\nc"), &breaks, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);

  // A long text with an end ellipsis stays inside its rectangle; without, it is clipped.
  for (UINT format : {UINT(DT_SINGLELINE | DT_END_ELLIPSIS), UINT(DT_SINGLELINE)}) {
    dc.FillSolidRect(0, 0, 200, 60, RGB(255, 255, 255));
    CRect small(10, 10, 60, 40);
    dc.DrawText(CString(u"A rather long caption text"), &small, format);
    const QRect ink = Ink(canvas.Image(), qRgb(255, 255, 255));
    EXPECT_LT(ink.right(), 60) << format;
    EXPECT_GE(ink.left(), 10) << format;
  }
  dc.FillSolidRect(0, 0, 200, 60, RGB(255, 255, 255));
  CRect unclipped(10, 10, 60, 40);
  dc.DrawText(CString(u"A rather long caption text"), &unclipped, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(Ink(canvas.Image(), qRgb(255, 255, 255)).right(), 60);
  SaveArtifact(canvas.Image(), "drawtext.png");
}

TEST_F(Text, PrefixesUnderlineTheirCharacter) {
  CFont font;
  MakeFont(font, -16);
  auto draw = [&](const CString& text, UINT format) {
    TestCanvas canvas(100, 30, RGB(255, 255, 255));
    canvas.DC().SelectObject(&font);
    CRect r(2, 2, 98, 28);
    canvas.DC().DrawText(text, &r, format);
    return canvas.Image();
  };
  const QImage plain = draw(CString(u"File"), DT_SINGLELINE);
  const QImage prefixed = draw(CString(u"&File"), DT_SINGLELINE);
  const QImage literal = draw(CString(u"&File"), DT_SINGLELINE | DT_NOPREFIX);
  const QImage doubled = draw(CString(u"&&File"), DT_SINGLELINE);
  EXPECT_NE(prefixed, plain);  // the F is underlined
  EXPECT_LE(Ink(prefixed, qRgb(255, 255, 255)).left(), Ink(plain, qRgb(255, 255, 255)).left());
  EXPECT_GT(Ink(prefixed, qRgb(255, 255, 255)).bottom(), Ink(plain, qRgb(255, 255, 255)).bottom() - 1);
  EXPECT_GT(Ink(literal, qRgb(255, 255, 255)).width(), Ink(plain, qRgb(255, 255, 255)).width());  // an '&' in front
  EXPECT_EQ(doubled, literal);
}

TEST_F(Text, EscapementTurnsTheText) {
  CFont font;
  MakeFont(font, -14, u"Arial", 900);
  TestCanvas canvas(60, 120, RGB(255, 255, 255));
  canvas.DC().SelectObject(&font);
  canvas.DC().SetBkMode(TRANSPARENT);
  ASSERT_TRUE(canvas.DC().TextOut(20, 110, CString(u"Caption")));
  const QRect ink = Ink(canvas.Image(), qRgb(255, 255, 255));
  EXPECT_GT(ink.height(), 2 * ink.width());
  EXPECT_LE(ink.bottom(), 110);  // it reads upwards from the point
  SaveArtifact(canvas.Image(), "text-escapement.png");
}

TEST_F(Text, MonochromeTextIsBlackOrWhite) {
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(120, u"Times New Roman"));  // anti-aliased where colour allows
  TestCanvas mono(80, 24, RGB(255, 255, 255), true);
  mono.DC().SelectObject(&font);
  mono.DC().SetTextColor(RGB(30, 30, 30));
  ASSERT_TRUE(mono.DC().TextOut(2, 2, CString(u"Mono")));
  const std::string picture = mono.Picture(BasicLegend());
  EXPECT_EQ(picture.find('?'), std::string::npos) << picture;
  EXPECT_NE(picture.find('#'), std::string::npos) << picture;
}

// The pieces together, for people to look at: a status-bar-like strip, a rubber band, a region
// overlay and a reduced page.
TEST_F(Text, SampleScene) {
  TestCanvas canvas(240, 120, GetSysColor(COLOR_BTNFACE));
  CDC& dc = canvas.DC();
  CRect pane(4, 96, 236, 116);
  dc.DrawEdge(&pane, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  CFont font;
  font.CreatePointFont(80, u"MS Sans Serif");
  dc.SelectObject(&font);
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(CString(u"Page 1 of 3 - zoom 50%"), &pane, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  dc.FillSolidRect(10, 10, 100, 80, RGB(255, 255, 255));
  CPen dots(PS_DOT, 0, RGB(0, 0, 0));
  dc.SelectObject(&dots);
  dc.SelectStockObject(NULL_BRUSH);
  dc.SetROP2(R2_XORPEN);
  dc.SetBkMode(OPAQUE);  // the black dots change nothing under XOR; the white gaps invert
  dc.Rectangle(20, 20, 90, 70);
  EXPECT_EQ(dc.GetPixel(20, 20), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetPixel(23, 20), RGB(0, 0, 0));
  dc.SetROP2(R2_COPYPEN);
  const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  CBitmap checker;
  checker.CreateBitmap(8, 8, 1, 1, rows);
  CBrush pattern(&checker);
  CPen frame(PS_SOLID, 1, RGB(0, 128, 0));
  dc.SelectObject(&frame);
  dc.SelectObject(&pattern);
  dc.SetTextColor(RGB(0, 0, 0));
  dc.SetBkColor(RGB(150, 225, 100));
  dc.SetROP2(R2_MASKPEN);
  dc.Rectangle(130, 10, 230, 60);
  dc.SetROP2(R2_COPYPEN);
  EXPECT_EQ(dc.GetPixel(132, 12), RGB(0, 0, 0));  // a 0 bit of the pattern
  EXPECT_EQ(dc.GetPixel(131, 12), GetSysColor(COLOR_BTNFACE) & RGB(150, 225, 100));
  EXPECT_EQ(dc.GetPixel(130, 10), GetSysColor(COLOR_BTNFACE) & RGB(0, 128, 0));
  SaveArtifact(canvas.Image(), "scene.png");
}

namespace {

struct Enumerated {
  std::vector<std::u16string> faces;
  std::vector<LONG> weights;
  int stopAfter = -1;
};

int Collect(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM param) {
  auto* e = reinterpret_cast<Enumerated*>(param);
  EXPECT_EQ(type, static_cast<DWORD>(TRUETYPE_FONTTYPE));
  EXPECT_GT(metrics->tmHeight, 0) << "the metrics of the font the description makes";
  e->faces.emplace_back(font->lfFaceName);
  e->weights.push_back(font->lfWeight);
  return static_cast<int>(e->faces.size()) == e->stopAfter ? 0 : 1;
}

}  // namespace

TEST_F(Text, FontFamiliesAreEnumeratedOnceEachOrByTheirStyles) {
  Enumerated all;
  EXPECT_EQ(EnumFontFamiliesW(nullptr, nullptr, &Collect, reinterpret_cast<LPARAM>(&all)), 1);
  ASSERT_FALSE(all.faces.empty());
  EXPECT_EQ(std::count(all.faces.begin(), all.faces.end(), u"Liberation Sans"), 1) << "each family once";

  Enumerated styles;
  EXPECT_EQ(EnumFontFamiliesW(nullptr, u"liberation sans", &Collect, reinterpret_cast<LPARAM>(&styles)), 1);
  ASSERT_GE(styles.faces.size(), 2u) << "a family named is enumerated by its styles";
  EXPECT_EQ(std::count(styles.faces.begin(), styles.faces.end(), u"Liberation Sans"), static_cast<long>(styles.faces.size()));
  EXPECT_NE(std::find(styles.weights.begin(), styles.weights.end(), FW_BOLD), styles.weights.end());

  Enumerated stopped;
  stopped.stopAfter = 2;
  EXPECT_EQ(EnumFontFamiliesW(nullptr, nullptr, &Collect, reinterpret_cast<LPARAM>(&stopped)), 0);
  EXPECT_EQ(stopped.faces.size(), 2u) << "the callback's 0 stops the enumeration";

  Enumerated none;
  EXPECT_EQ(EnumFontFamiliesW(nullptr, u"No Such Family", &Collect, reinterpret_cast<LPARAM>(&none)), 1);
  EXPECT_TRUE(none.faces.empty());
  LOGFONTW wanted {};
  wanted.lfCharSet = DEFAULT_CHARSET;
  EXPECT_EQ(EnumFontFamiliesExW(nullptr, &wanted, nullptr, 0, 0), 0) << "no callback";
}

TEST_F(Text, TheCharacterSetIsTheSelectedFontsWithTheDefaultReadAsAnsi) {
  struct Case {
    BYTE charset;
    int expected;
  };
  const Case cases[] = {{DEFAULT_CHARSET, ANSI_CHARSET}, {ANSI_CHARSET, ANSI_CHARSET}, {SYMBOL_CHARSET, SYMBOL_CHARSET}};
  for (const Case& c : cases) {
    TestCanvas canvas(10, 10, RGB(255, 255, 255));
    CFont font;
    ASSERT_TRUE(font.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, c.charset, 0, 0, 0, 0, u"Arial"));
    canvas.DC().SelectObject(&font);
    FONTSIGNATURE signature {{1, 1, 1, 1}, {1, 1}};
    EXPECT_EQ(GetTextCharsetInfo(canvas.DC().GetSafeHdc(), &signature, 0), c.expected) << int(c.charset);
    EXPECT_EQ(signature.fsCsb[0], 0u);
    EXPECT_EQ(GetTextCharset(canvas.DC().GetSafeHdc()), c.expected);
  }
  EXPECT_EQ(GetTextCharset(nullptr), DEFAULT_CHARSET) << "not a DC";
}
