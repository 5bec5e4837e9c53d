#pragma once
// Internal to the drawing layer: fonts and text. Fonts need a QGuiApplication (Qt's font
// database); without one every function here reports failure and draws nothing.

#include "platform/gdi/GdiObjects.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gdi {

bool FontsAvailable();

bool FontMetrics(FontData& font, TEXTMETRICW& metrics);
// Width of a run of text in pixels (no kerning, so widths of parts add up), or -1 without fonts.
int TextWidth(FontData& font, std::u16string_view text);

struct TextRun {
  std::u16string text;
  int mnemonic { -1 };  // index of the character to underline, or -1
};

// Draws one run with its cell's top-left corner at `topLeft` (surface pixels), turned by the
// font's escapement; `background` fills the cell first. Returns the bounds of what changed.
QRect DrawTextRun(QImage& image, const QRegion& clip, FontData& font, bool monochrome, QPoint topLeft,
                  const TextRun& run, uint32_t colour, std::optional<uint32_t> background);

// Lines of DrawText for a format and a rectangle width: prefixes ('&') resolved unless
// DT_NOPREFIX, split at line breaks unless DT_SINGLELINE, wrapped at blanks with DT_WORDBREAK,
// shortened with "..." under DT_END_ELLIPSIS.
std::vector<TextRun> LayoutText(FontData& font, std::u16string_view text, UINT format, int width);

}  // namespace gdi
