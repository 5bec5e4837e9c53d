#pragma once
// CFont: a font described by a LOGFONT. Faces of the original desktop that Debian lacks are drawn
// with stand-ins of the same widths (Arial, MS Sans Serif, Tahoma -> Liberation Sans; Times New
// Roman -> Liberation Serif; Courier New -> Liberation Mono). Creating a font needs no
// QGuiApplication; drawing and measuring text with it does.

#include "platform/gdi/CGdiObject.h"

class CDC;

class CFont : public CGdiObject {
  DECLARE_DYNAMIC(CFont)
public:
  CFont() = default;

  static CFont* FromHandle(HFONT handle);

  BOOL CreateFontIndirect(const LOGFONTW* font) { return Attach(::CreateFontIndirectW(font)); }
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                  BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                  BYTE pitchAndFamily, LPCWSTR face);
  // A size in tenths of a point, turned into pixels at the vertical resolution of `dc` (of the
  // screen, 96 dpi, without one).
  BOOL CreatePointFont(int pointSize, LPCWSTR face, CDC* dc = nullptr);
  BOOL CreatePointFontIndirect(const LOGFONTW* font, CDC* dc = nullptr);
  int GetLogFont(LOGFONTW* font) const { return GetObject(sizeof(LOGFONTW), font); }
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};
