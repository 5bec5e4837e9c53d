#include "platform/gdi/CFont.h"

#include "platform/gdi/CDC.h"

IMPLEMENT_DYNAMIC(CFont, CGdiObject)

CFont* CFont::FromHandle(HFONT handle) { return static_cast<CFont*>(CGdiObject::FromHandle(handle)); }

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                       BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                       BYTE pitchAndFamily, LPCWSTR face) {
  LOGFONTW font{height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                outPrecision, clipPrecision, quality, pitchAndFamily, {}};
  for (int i = 0; face && face[i] && i < LF_FACESIZE - 1; ++i) font.lfFaceName[i] = face[i];
  return CreateFontIndirect(&font);
}

BOOL CFont::CreatePointFont(int pointSize, LPCWSTR face, CDC* dc) {
  LOGFONTW font{};
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfHeight = pointSize;
  for (int i = 0; face && face[i] && i < LF_FACESIZE - 1; ++i) font.lfFaceName[i] = face[i];
  return CreatePointFontIndirect(&font, dc);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTW* font, CDC* dc) {
  if (!font) return FALSE;
  // lfHeight holds tenths of a point; the font wants the character height in pixels.
  const int dpi = dc && dc->GetSafeHdc() ? dc->GetDeviceCaps(LOGPIXELSY) : 96;
  LOGFONTW scaled = *font;
  const int64_t tenths = font->lfHeight < 0 ? -int64_t(font->lfHeight) : font->lfHeight;
  scaled.lfHeight = -LONG((tenths * dpi + 360) / 720);
  return CreateFontIndirect(&scaled);
}
