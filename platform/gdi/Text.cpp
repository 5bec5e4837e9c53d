#include "platform/gdi/Text.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace gdi {

namespace {

QString ToQString(std::u16string_view text) { return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size())); }

std::u16string FaceName(const LOGFONTW& font) {
  std::u16string face;
  for (int i = 0; i < LF_FACESIZE && font.lfFaceName[i]; ++i) face.push_back(font.lfFaceName[i]);
  return face;
}

bool SameFace(const std::u16string& a, const char16_t* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    auto lower = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return i == a.size() && !b[i];
}

// Faces of the original desktop that Debian lacks, and what stands in for them (the Liberation
// faces have the same widths as the faces they replace).
QString FamilyFor(const LOGFONTW& font) {
  struct Substitute {
    const char16_t* face;
    const char* family;
  };
  static const Substitute substitutes[] = {
      {u"Arial", "Liberation Sans"},          {u"Helvetica", "Liberation Sans"},
      {u"MS Sans Serif", "Liberation Sans"},  {u"Microsoft Sans Serif", "Liberation Sans"},
      {u"MS Shell Dlg", "Liberation Sans"},   {u"MS Shell Dlg 2", "Liberation Sans"},
      {u"Tahoma", "Liberation Sans"},         {u"Segoe UI", "Liberation Sans"},
      {u"System", "Liberation Sans"},         {u"Verdana", "DejaVu Sans"},
      {u"Times New Roman", "Liberation Serif"}, {u"Times", "Liberation Serif"},
      {u"MS Serif", "Liberation Serif"},      {u"Courier New", "Liberation Mono"},
      {u"Courier", "Liberation Mono"},        {u"Lucida Console", "Liberation Mono"},
      {u"Fixedsys", "Liberation Mono"},       {u"Terminal", "Liberation Mono"},
  };
  const std::u16string face = FaceName(font);
  for (const Substitute& s : substitutes)
    if (SameFace(face, s.face)) return QString::fromLatin1(s.family);
  if (!face.empty()) return ToQString(face);
  const int family = font.lfPitchAndFamily & 0xF0;
  if ((font.lfPitchAndFamily & 0x03) == FIXED_PITCH || family == FF_MODERN) return QStringLiteral("Liberation Mono");
  if (family == FF_ROMAN) return QStringLiteral("Liberation Serif");
  return QStringLiteral("Liberation Sans");
}

QFont MakeFont(const LOGFONTW& lf) {
  QFont font(FamilyFor(lf));
  font.setKerning(false);
  font.setWeight(QFont::Weight(std::clamp<LONG>(lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight, 100, 900)));
  font.setItalic(lf.lfItalic != 0);
  font.setUnderline(lf.lfUnderline != 0);
  font.setStrikeOut(lf.lfStrikeOut != 0);
  if (lf.lfQuality == NONANTIALIASED_QUALITY) font.setStyleStrategy(QFont::NoAntialias);
  if (lf.lfHeight < 0) {
    font.setPixelSize(std::max<LONG>(1, -lf.lfHeight));  // the character height: Qt's pixel size
  } else if (lf.lfHeight > 0) {
    // A cell height (ascent + descent): scale the character height until the cell fits.
    font.setPixelSize(lf.lfHeight);
    const QFontMetrics metrics(font);
    const int cell = metrics.ascent() + metrics.descent();
    if (cell > 0 && cell != lf.lfHeight)
      font.setPixelSize(std::max(1, int(std::lround(double(lf.lfHeight) * lf.lfHeight / cell))));
  } else {
    font.setPixelSize(12);
  }
  return font;
}

}  // namespace

bool FontsAvailable() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

QFont FontData::QtFont(bool monochrome) {
  std::lock_guard guard(m_lock);
  if (!m_made) {
    m_font = MakeFont(logFont);
    m_made = true;
  }
  QFont font = m_font;
  if (monochrome) font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

bool FontMetrics(FontData& font, TEXTMETRICW& tm) {
  if (!FontsAvailable()) return false;
  const QFont qfont = font.QtFont(false);
  const QFontMetrics m(qfont);
  tm = TEXTMETRICW{};
  tm.tmAscent = m.ascent();
  tm.tmDescent = m.descent();
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - qfont.pixelSize());
  tm.tmExternalLeading = std::max(0, m.leading());
  tm.tmAveCharWidth = m.averageCharWidth();
  tm.tmMaxCharWidth = m.maxWidth();
  tm.tmWeight = font.logFont.lfWeight == FW_DONTCARE ? FW_NORMAL : font.logFont.lfWeight;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFFFC;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = font.logFont.lfItalic;
  tm.tmUnderlined = font.logFont.lfUnderline;
  tm.tmStruckOut = font.logFont.lfStrikeOut;
  const bool fixed = QFontInfo(qfont).fixedPitch();
  tm.tmPitchAndFamily = BYTE((fixed ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE | (font.logFont.lfPitchAndFamily & 0xF0));
  tm.tmCharSet = font.logFont.lfCharSet;
  return true;
}

int TextWidth(FontData& font, std::u16string_view text) {
  if (!FontsAvailable()) return -1;
  return QFontMetrics(font.QtFont(false)).horizontalAdvance(ToQString(text));
}

QRect DrawTextRun(QImage& image, const QRegion& clip, FontData& font, bool monochrome, QPoint topLeft,
                  const TextRun& run, uint32_t colour, std::optional<uint32_t> background) {
  if (!FontsAvailable() || run.text.empty() || clip.isEmpty()) return QRect();
  const QFont qfont = font.QtFont(monochrome);
  const QFontMetrics metrics(qfont);
  const QString text = ToQString(run.text);
  const QRect cell(0, 0, metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent());

  QPainter painter(&image);
  painter.setClipRegion(clip);
  painter.translate(topLeft);
  if (font.logFont.lfEscapement) painter.rotate(-font.logFont.lfEscapement / 10.0);
  if (background) painter.fillRect(cell, QColor::fromRgb(*background));
  painter.setFont(qfont);
  painter.setPen(QColor::fromRgb(colour));
  painter.drawText(QPoint(0, metrics.ascent()), text);
  if (run.mnemonic >= 0 && run.mnemonic < text.size()) {
    const int x = metrics.horizontalAdvance(text.left(run.mnemonic));
    const int w = metrics.horizontalAdvance(text.at(run.mnemonic));
    const int y = metrics.ascent() + std::max(1, metrics.underlinePos());
    painter.fillRect(QRect(x, y, w, std::max(1, metrics.lineWidth())), QColor::fromRgb(colour));
  }
  const QRect changed = painter.transform().mapRect(cell.adjusted(-2, -2, 2, 2));
  painter.end();
  return changed & clip.boundingRect();
}

std::vector<TextRun> LayoutText(FontData& font, std::u16string_view text, UINT format, int width) {
  // Prefixes: "&x" underlines x, "&&" is one ampersand.
  std::u16string plain;
  int mnemonic = -1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!(format & DT_NOPREFIX) && text[i] == u'&') {
      if (i + 1 >= text.size()) break;
      ++i;
      if (text[i] != u'&' && mnemonic < 0) mnemonic = int(plain.size());
    }
    plain.push_back(text[i]);
  }

  // Lines: each with the position of its first character in `plain`.
  std::vector<std::pair<std::u16string, size_t>> lines;
  if (format & DT_SINGLELINE) {
    std::u16string line = plain;
    std::replace_if(line.begin(), line.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; }, u' ');
    lines.emplace_back(line, 0);
  } else {
    size_t start = 0;
    for (size_t i = 0; i <= plain.size(); ++i) {
      if (i < plain.size() && plain[i] != u'\r' && plain[i] != u'\n') continue;
      std::u16string paragraph = plain.substr(start, i - start);
      if (!(format & DT_WORDBREAK)) {
        lines.emplace_back(paragraph, start);
      } else {
        // Greedy wrapping at blanks; a word wider than the rectangle keeps a line of its own.
        size_t lineStart = 0;
        while (true) {
          size_t end = paragraph.size();
          if (TextWidth(font, std::u16string_view(paragraph).substr(lineStart)) > width) {
            size_t fit = std::u16string::npos;
            for (size_t b = paragraph.find(u' ', lineStart); b != std::u16string::npos; b = paragraph.find(u' ', b + 1)) {
              if (TextWidth(font, std::u16string_view(paragraph).substr(lineStart, b - lineStart)) > width) break;
              fit = b;
            }
            if (fit == std::u16string::npos) fit = paragraph.find(u' ', lineStart);
            if (fit != std::u16string::npos) end = fit;
          }
          lines.emplace_back(paragraph.substr(lineStart, end - lineStart), start + lineStart);
          if (end >= paragraph.size()) break;
          lineStart = end;
          while (lineStart < paragraph.size() && paragraph[lineStart] == u' ') ++lineStart;
          if (lineStart >= paragraph.size()) break;
        }
      }
      if (i < plain.size() && plain[i] == u'\r' && i + 1 < plain.size() && plain[i + 1] == u'\n') ++i;
      start = i + 1;
    }
  }

  std::vector<TextRun> runs;
  for (auto& [line, first] : lines) {
    TextRun run{line, -1};
    if (mnemonic >= int(first) && mnemonic < int(first + line.size())) run.mnemonic = mnemonic - int(first);
    if ((format & DT_END_ELLIPSIS) && TextWidth(font, run.text) > width) {
      std::u16string shortened = run.text;
      while (!shortened.empty() && TextWidth(font, shortened + u"...") > width) shortened.pop_back();
      run.text = shortened + u"...";
      if (run.mnemonic >= int(shortened.size())) run.mnemonic = -1;
    }
    runs.push_back(std::move(run));
  }
  return runs;
}

}  // namespace gdi
