#include "foundation/imaging/CDPXBMPImageIO.h"

#include "foundation/imaging/CDPXDIBHandle.h"
#include "foundation/imaging/DIBBytes.h"
#include "foundation/util/CDPXException.h"
#include "platform/core/CFile.h"

IMPLEMENT_DYNAMIC(CDPXBMPImageIO, CDPXImageIO)

using namespace dibbytes;

BOOL CDPXBMPImageIO::OnReadInfo(CFile* file, DWORD length, int& width, int& height, int& bitsPerPixel) {
  if (!file || (length != 0 && length < kFileHeaderSize + kInfoHeaderSize)) return FALSE;
  BYTE bytes[kFileHeaderSize + kInfoHeaderSize];
  if (!ReadExact(file, bytes, sizeof bytes) || Get16(bytes) != kBmpSignature) return FALSE;
  const BITMAPINFOHEADER header = InfoHeader(bytes + kFileHeaderSize);
  if (!IsValidDIBHeader(&header)) return FALSE;
  width = header.biWidth;
  height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  bitsPerPixel = header.biBitCount;
  return TRUE;
}

BOOL CDPXBMPImageIO::OnRead(CFile* file, DWORD length, HGLOBAL* dib) {
  if (!dib) return FALSE;
  *dib = nullptr;
  if (!file) return FALSE;
  try {
    const ULONGLONG left = BytesLeft(file, length);
    BYTE bytes[kFileHeaderSize];
    if (left < kFileHeaderSize || !ReadExact(file, bytes, kFileHeaderSize)) DPXThrowException();
    const DWORD fileSize = Get32(bytes + 2);
    // The file size from the header must not make us allocate more than the file still holds.
    if (Get16(bytes) != kBmpSignature || fileSize <= kFileHeaderSize || fileSize > left) DPXThrowException();
    *dib = ReadPackedDIB(file, fileSize - kFileHeaderSize);
  } catch (CException* e) {
    e->Delete();
  }
  return *dib != nullptr;
}

BOOL CDPXBMPImageIO::OnWrite(CFile* file, DWORD& written, HGLOBAL dib) {
  written = 0;
  CDPXDIBHandle handle;
  if (!file || !handle.Attach(dib)) return FALSE;
  BOOL done = FALSE;
  const BYTE* bytes = reinterpret_cast<const BYTE*>(handle.Lock());
  if (bytes) {
    const DWORD size = handle.GetDIBSize();
    BYTE header[kFileHeaderSize] {};
    Put16(header, kBmpSignature);
    Put32(header + 2, size + kFileHeaderSize);
    Put32(header + 10, DWORD(handle.GetPaletteSize()) + kFileHeaderSize + kInfoHeaderSize);
    try {
      file->Write(header, kFileHeaderSize);
      file->Write(bytes, size);
      written = size + kFileHeaderSize;
      done = TRUE;
    } catch (CException* e) {
      e->Delete();
    }
  }
  handle.Detach();
  return done;
}
