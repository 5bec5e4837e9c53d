#pragma once
// Packed DIBs: a 40-byte BITMAPINFOHEADER, the palette and the pixel rows in one movable global
// memory block, at 1, 8 or 24 bits per pixel, uncompressed:
//
//   header | palette (2 entries at 1 bit, 256 at 8 bits, none at 24) | rows, each padded to 4 bytes
//
// Rows lie bottom-up for a positive height and top-down for a negative one. CDPXDIBHandle owns one
// such block and hands it on without copying it.

#include "platform/core/CObject.h"
#include "platform/gdi/gditypes.h"

class CBitmap;
class CFile;

// Bytes of one row: width x depth bits rounded up to 32 bits; -1 for a width below 1, a depth
// other than 1, 8 or 24, or a row that does not fit an int.
int GetDIBStride(int width, int bitsPerPixel);
// TRUE for the headers this system reads and writes: size 40, a positive width, a height that is
// not 0, one plane, 1, 8 or 24 bits, BI_RGB, an image size of 0 or at least stride x rows,
// resolutions of 0 or more, 0 colours used or the full palette of the depth (none at 24 bits), 0
// important colours, and a whole DIB that fits in 2 GB. Null is invalid.
BOOL IsValidDIBHeader(const BITMAPINFOHEADER* header);
// A packed DIB read from the file's position: a BMP file, a JPEG stream or a length-prefixed DIB,
// tried in that order from the same position. Null when none of them reads.
HGLOBAL ReadAnyDIB(CFile* file);

class CDPXDIBHandle : public CObject {
  DECLARE_DYNAMIC(CDPXDIBHandle)
public:
  CDPXDIBHandle() = default;
  ~CDPXDIBHandle() override;

  // A new zero-filled bottom-up DIB; 1 bit gets black and white, 8 bits a grey ramp. FALSE (and
  // an empty handle) for a size below 1 x 1, another depth, or no memory.
  BOOL Create(int width, int height, int bitsPerPixel);
  // Takes the block over when its header is valid and it holds the whole DIB; otherwise the block
  // stays the caller's (unlocked) and the handle is empty.
  BOOL Attach(HGLOBAL dib);
  // Hands the block, unlocked, to the caller and leaves the handle empty.
  HGLOBAL Detach();
  void Free();

  // The header; the block stays locked until Unlock (later calls give the same pointer).
  BITMAPINFOHEADER* Lock();
  void Unlock();
  // The first stored row (locks the block when needed); null when there is none.
  LPBYTE GetBits();

  int GetWidth() const { return m_width; }
  // Always the number of rows, whichever way they lie.
  int GetHeight() const { return m_height; }
  int GetBitsPerPixel() const { return m_bitsPerPixel; }
  BOOL IsEmpty() const { return m_hDIB == nullptr; }
  int GetBytesPerLine() const { return GetDIBStride(m_width, m_bitsPerPixel); }
  // 8 at 1 bit, 1024 at 8 bits, 0 at 24 bits, -1 for anything else.
  int GetPaletteSize() const;
  DWORD GetImageSize() const;
  DWORD GetDIBSize() const;

  // A device-dependent bitmap of the DIB for `dc`, or for the display when `dc` is null.
  BOOL CreateDDB(CBitmap& bitmap, HDC dc);
  // Empties the handle and reads ReadAnyDIB's block from the file.
  BOOL Read(CFile* file);

private:
  int m_width { 0 };
  int m_height { 0 };
  int m_bitsPerPixel { 0 };
  HGLOBAL m_hDIB { nullptr };
  LPBYTE m_pLocked { nullptr };
};
