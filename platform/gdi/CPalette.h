#pragma once
// CPalette: a logical palette. Drawing is in true colour, so a palette only carries its entries;
// selecting and realising it changes no pixel.

#include "platform/gdi/CGdiObject.h"

class CPalette : public CGdiObject {
  DECLARE_DYNAMIC(CPalette)
public:
  CPalette() = default;

  static CPalette* FromHandle(HPALETTE handle);

  BOOL CreatePalette(const LOGPALETTE* palette) { return Attach(::CreatePalette(palette)); }
  int GetEntryCount() const { return int(::GetPaletteEntries(*this, 0, 0, nullptr)); }
  UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* entries) const {
    return ::GetPaletteEntries(*this, start, count, entries);
  }
  UINT SetPaletteEntries(UINT start, UINT count, const PALETTEENTRY* entries) {
    return ::SetPaletteEntries(*this, start, count, entries);
  }
  operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
};
