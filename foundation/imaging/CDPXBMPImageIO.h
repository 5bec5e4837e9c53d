#pragma once
// BMP files: the 14-byte file header ("BM", file size, two reserved words, offset of the rows)
// directly followed by a packed DIB whose rows follow its palette.

#include "foundation/imaging/CDPXImageIO.h"

class CDPXBMPImageIO : public CDPXImageIO {
  DECLARE_DYNAMIC(CDPXBMPImageIO)
public:
  CDPXBMPImageIO() = default;

protected:
  // The height is reported as a number of rows, whichever way they lie.
  BOOL OnReadInfo(CFile* file, DWORD length, int& width, int& height, int& bitsPerPixel) override;
  BOOL OnRead(CFile* file, DWORD length, HGLOBAL* dib) override;
  // The DIB must be valid; it stays the caller's.
  BOOL OnWrite(CFile* file, DWORD& written, HGLOBAL dib) override;
};
