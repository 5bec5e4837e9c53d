#pragma once
// A drawn page: an 8-bit grey canvas with large block text (a built-in 5x7 font) and lines of
// bars that look like print, written as a one-page TIFF in Group 4 or JPEG compression.

#include <cstdint>
#include <string>
#include <vector>

class Random;

class PageImage {
public:
  PageImage(int width, int height);

  void FillRect(int x, int y, int width, int height, uint8_t grey);
  // UTF-8 text in upper-case block letters, `scale` pixels per font dot; Latin letters with marks
  // show as their plain letter, characters the font lacks as '?'.
  void DrawText(int x, int y, int scale, const std::string& text);
  // Rows of dark bars of random lengths between the margins, from `top` down to `bottom`.
  void DrawPrintLines(int top, int bottom, Random& random);

  // Bilevel Group 4 TIFF (dark pixels black). Both writers answer false when the file cannot be
  // written.
  bool WriteGroup4(const std::string& path, int dpi) const;
  // JPEG-compressed TIFF, grey or (with `colour`) RGB with a tinted background.
  bool WriteJpeg(const std::string& path, int dpi, bool colour) const;

  static int TextWidth(const std::string& text, int scale);

private:
  int m_width;
  int m_height;
  std::vector<uint8_t> m_pixels;
};
