#pragma once
// Fixtures of the drawing tests: a bitmap in a memory DC, pictures of pixels as text (one
// character per pixel, so that a failing test shows what was drawn), and PNG artefacts.

#include "platform/gdi/CDC.h"

#include <QImage>

#include <map>
#include <string>

// A bitmap (colour unless `monochrome`) selected into a memory DC, filled with `background`.
class TestCanvas {
public:
  TestCanvas(int width, int height, COLORREF background = RGB(128, 128, 128), bool monochrome = false);
  ~TestCanvas();

  CDC& DC() { return m_dc; }
  CBitmap& Bitmap() { return m_bitmap; }
  // The pixels as 32-bit colour, read back through GetDIBits.
  QImage Image();
  // The pixels of `area` as text: one row per line, each pixel the character its colour has in
  // `legend` ('?' for colours not in it).
  std::string Picture(const std::map<COLORREF, char>& legend, const CRect& area);
  std::string Picture(const std::map<COLORREF, char>& legend);

private:
  int m_width;
  int m_height;
  CDC m_dc;
  CBitmap m_bitmap;
  CBitmap* m_previous { nullptr };
};

// The same as TestCanvas::Picture for any image.
std::string PictureOf(const QImage& image, const std::map<COLORREF, char>& legend, const QRect& area);

// A QGuiApplication for the tests that draw text (on the offscreen platform unless one is set).
void EnsureGuiApplication();
bool HasGuiApplication();

// Writes an image below QV_TEST_ARTIFACT_DIR/gdi for people to look at.
void SaveArtifact(const QImage& image, const std::string& name);

// Black, white and a few plain colours for legends.
inline const std::map<COLORREF, char>& BasicLegend() {
  static const std::map<COLORREF, char> legend = {
      {RGB(0, 0, 0), '#'},     {RGB(255, 255, 255), '.'}, {RGB(128, 128, 128), ' '}, {RGB(255, 0, 0), 'r'},
      {RGB(0, 255, 0), 'g'},   {RGB(0, 0, 255), 'b'},     {RGB(255, 255, 0), 'y'},   {RGB(0, 255, 255), 'c'},
      {RGB(255, 0, 255), 'm'}, {RGB(127, 127, 127), '-'},
  };
  return legend;
}
