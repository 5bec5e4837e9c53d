#include "foundation/imaging/CDPXImageIO.h"

#include "foundation/imaging/CDPXDIBHandle.h"
#include "foundation/imaging/DIBBytes.h"
#include "foundation/util/CDPXBuffer.h"
#include "foundation/util/CDPXException.h"
#include "foundation/util/CDPXFile.h"
#include "platform/core/CAtomicFile.h"

#include <limits>

IMPLEMENT_DYNAMIC(CDPXImageIO, CObject)

BOOL CDPXImageIO::ReadExact(CFile* file, void* buffer, UINT count) {
  try {
    return file->Read(buffer, count) == count;
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}

ULONGLONG CDPXImageIO::BytesLeft(CFile* file, DWORD length) {
  const ULONGLONG position = file->GetPosition();
  const ULONGLONG end = file->GetLength();
  const ULONGLONG left = position < end ? end - position : 0;
  return length != 0 && length < left ? length : left;
}

HGLOBAL CDPXImageIO::ReadPackedDIB(CFile* file, DWORD count) {
  CDPXGMemBuffer buffer;
  LPBYTE bytes = buffer.AllocAndLock(count);
  if (!bytes || !ReadExact(file, bytes, count)) return nullptr;
  HGLOBAL block = buffer.Detach();
  CDPXDIBHandle check;
  if (!check.Attach(block)) {
    GlobalFree(block);
    return nullptr;
  }
  return check.Detach();
}

BOOL CDPXImageIO::ReadInfo(LPCWSTR path, int& width, int& height, int& bitsPerPixel) {
  CDPXFile file;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) return FALSE;
  const BOOL read = OnReadInfo(&file, 0, width, height, bitsPerPixel);
  file.Close();
  return read;
}

BOOL CDPXImageIO::ReadInfo(CFile* file, DWORD length, int& width, int& height, int& bitsPerPixel) {
  return OnReadInfo(file, length, width, height, bitsPerPixel);
}

BOOL CDPXImageIO::Read(LPCWSTR path, HGLOBAL* dib) {
  if (!dib) return FALSE;
  *dib = nullptr;
  CDPXFile file;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) return FALSE;
  const BOOL read = OnRead(&file, 0, dib);
  file.Close();
  if (!read && *dib) {
    GlobalFree(*dib);
    *dib = nullptr;
  }
  return read;
}

BOOL CDPXImageIO::Read(CFile* file, DWORD length, HGLOBAL* dib) { return OnRead(file, length, dib); }

BOOL CDPXImageIO::Write(LPCWSTR path, HGLOBAL dib) {
  CAtomicFile file;
  if (!path || !file.Open(path)) return FALSE;
  DWORD written = 0;
  if (!OnWrite(&file, written, dib)) {
    file.Abort();
    return FALSE;
  }
  return file.Commit();
}

BOOL CDPXImageIO::Write(CFile* file, DWORD& written, HGLOBAL dib) { return OnWrite(file, written, dib); }

BOOL CDPXImageIO::OnReadInfo(CFile* file, DWORD length, int& width, int& height, int& bitsPerPixel) {
  if (!file || (length != 0 && length < 4 + dibbytes::kInfoHeaderSize)) return FALSE;
  BYTE bytes[4 + dibbytes::kInfoHeaderSize];
  if (!ReadExact(file, bytes, sizeof bytes) || dibbytes::Get32(bytes) <= dibbytes::kInfoHeaderSize) return FALSE;
  const BITMAPINFOHEADER header = dibbytes::InfoHeader(bytes + 4);
  if (!IsValidDIBHeader(&header)) return FALSE;
  width = header.biWidth;
  height = header.biHeight;
  bitsPerPixel = header.biBitCount;
  return TRUE;
}

BOOL CDPXImageIO::OnRead(CFile* file, DWORD length, HGLOBAL* dib) {
  if (!dib) return FALSE;
  *dib = nullptr;
  if (!file) return FALSE;
  try {
    const ULONGLONG left = BytesLeft(file, length);
    BYTE count[4];
    if (left < 4 || !ReadExact(file, count, 4)) DPXThrowException();
    const DWORD size = dibbytes::Get32(count);
    // A damaged count must not make us allocate more than the file still holds.
    if (size == 0 || size > left - 4) DPXThrowException();
    *dib = ReadPackedDIB(file, size);
  } catch (CException* e) {
    e->Delete();
  }
  return *dib != nullptr;
}

BOOL CDPXImageIO::OnWrite(CFile* file, DWORD& written, HGLOBAL dib) {
  written = 0;
  const SIZE_T size = dib ? GlobalSize(dib) : 0;
  if (!file || size == 0 || size > std::numeric_limits<DWORD>::max() - 4) return FALSE;
  const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(dib));
  if (!bytes) return FALSE;
  BOOL done = FALSE;
  try {
    BYTE count[4];
    dibbytes::Put32(count, DWORD(size));
    file->Write(count, 4);
    file->Write(bytes, UINT(size));
    written = DWORD(4 + size);
    done = TRUE;
  } catch (CException* e) {
    e->Delete();
  }
  GlobalUnlock(dib);
  return done;
}
