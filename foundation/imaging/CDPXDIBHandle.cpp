#include "foundation/imaging/CDPXDIBHandle.h"

#include "foundation/imaging/CDPXBMPImageIO.h"
#include "foundation/imaging/CDPXJPGImageIO.h"
#include "foundation/imaging/DIBBytes.h"
#include "platform/core/CFile.h"
#include "platform/core/globalmem.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/gdi.h"

#include <climits>
#include <cstring>

IMPLEMENT_DYNAMIC(CDPXDIBHandle, CObject)

namespace {

// Every size of a DIB must fit the 32-bit fields of the headers and the stream's count.
constexpr long long kMaxDIBSize = INT_MAX;

int PaletteBytes(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1: return 8;
    case 8: return 1024;
    case 24: return 0;
    default: return -1;
  }
}

}  // namespace

int GetDIBStride(int width, int bitsPerPixel) {
  if (width <= 0 || PaletteBytes(bitsPerPixel) < 0) return -1;
  const long long stride = (static_cast<long long>(width) * bitsPerPixel + 31) / 32 * 4;
  return stride > INT_MAX ? -1 : static_cast<int>(stride);
}

BOOL IsValidDIBHeader(const BITMAPINFOHEADER* header) {
  if (!header || header->biSize != dibbytes::kInfoHeaderSize || header->biHeight == 0 || header->biPlanes != 1 ||
      header->biCompression != BI_RGB || header->biXPelsPerMeter < 0 || header->biYPelsPerMeter < 0 ||
      header->biClrImportant != 0) {
    return FALSE;
  }
  const int stride = GetDIBStride(header->biWidth, header->biBitCount);
  if (stride < 0) return FALSE;
  const DWORD fullPalette = header->biBitCount == 24 ? 0 : DWORD(1) << header->biBitCount;
  if (header->biClrUsed != 0 && header->biClrUsed != fullPalette) return FALSE;
  const long long rows = header->biHeight < 0 ? -static_cast<long long>(header->biHeight) : header->biHeight;
  const long long image = static_cast<long long>(stride) * rows;
  if (header->biSizeImage != 0 && header->biSizeImage < image) return FALSE;
  return image + dibbytes::kInfoHeaderSize + PaletteBytes(header->biBitCount) <= kMaxDIBSize;
}

HGLOBAL ReadAnyDIB(CFile* file) {
  if (!file) return nullptr;
  ULONGLONG start = 0;
  try {
    start = file->GetPosition();
  } catch (CException* e) {
    e->Delete();
    return nullptr;
  }
  CDPXBMPImageIO bmp;
  CDPXJPGImageIO jpeg;
  CDPXImageIO prefixed;
  CDPXImageIO* readers[] = {&bmp, &jpeg, &prefixed};
  for (CDPXImageIO* reader : readers) {
    try {
      file->Seek(static_cast<LONGLONG>(start), CFile::begin);
    } catch (CException* e) {
      e->Delete();
      return nullptr;
    }
    HGLOBAL dib = nullptr;
    if (reader->Read(file, 0, &dib)) return dib;
  }
  return nullptr;
}

CDPXDIBHandle::~CDPXDIBHandle() { Free(); }

int CDPXDIBHandle::GetPaletteSize() const { return PaletteBytes(m_bitsPerPixel); }

DWORD CDPXDIBHandle::GetImageSize() const {
  const int stride = GetBytesPerLine();
  return stride < 0 ? 0 : DWORD(stride) * DWORD(m_height);
}

DWORD CDPXDIBHandle::GetDIBSize() const {
  const int palette = GetPaletteSize();
  return palette < 0 ? 0 : dibbytes::kInfoHeaderSize + DWORD(palette) + GetImageSize();
}

void CDPXDIBHandle::Free() {
  if (m_hDIB) {
    if (m_pLocked) GlobalUnlock(m_hDIB);
    GlobalFree(m_hDIB);
  }
  m_width = m_height = m_bitsPerPixel = 0;
  m_hDIB = nullptr;
  m_pLocked = nullptr;
}

BOOL CDPXDIBHandle::Create(int width, int height, int bitsPerPixel) {
  Free();
  BITMAPINFOHEADER header {};
  header.biSize = dibbytes::kInfoHeaderSize;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = WORD(bitsPerPixel);
  header.biCompression = BI_RGB;
  if (height < 1 || bitsPerPixel < 0 || bitsPerPixel > 24 || !IsValidDIBHeader(&header)) return FALSE;
  m_width = width;
  m_height = height;
  m_bitsPerPixel = bitsPerPixel;
  header.biSizeImage = GetImageSize();
  header.biClrUsed = bitsPerPixel == 1 ? 2 : bitsPerPixel == 8 ? 256 : 0;
  m_hDIB = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, GetDIBSize());
  BYTE* bytes = m_hDIB ? static_cast<BYTE*>(GlobalLock(m_hDIB)) : nullptr;
  if (!bytes) {
    Free();
    return FALSE;
  }
  std::memcpy(bytes, &header, sizeof header);
  RGBQUAD* palette = reinterpret_cast<RGBQUAD*>(bytes + dibbytes::kInfoHeaderSize);
  if (bitsPerPixel == 1) {
    palette[1] = RGBQUAD {255, 255, 255, 0};
  } else if (bitsPerPixel == 8) {
    for (int i = 0; i < 256; ++i) palette[i] = RGBQUAD {BYTE(i), BYTE(i), BYTE(i), 0};
  }
  GlobalUnlock(m_hDIB);
  return TRUE;
}

BOOL CDPXDIBHandle::Attach(HGLOBAL dib) {
  Free();
  const SIZE_T size = dib ? GlobalSize(dib) : 0;
  if (size <= dibbytes::kInfoHeaderSize) return FALSE;
  const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(dib));
  if (!bytes) return FALSE;
  const BITMAPINFOHEADER header = dibbytes::InfoHeader(bytes);
  GlobalUnlock(dib);
  if (!IsValidDIBHeader(&header)) return FALSE;
  m_width = header.biWidth;
  m_height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  m_bitsPerPixel = header.biBitCount;
  if (size < GetDIBSize()) {
    m_width = m_height = m_bitsPerPixel = 0;
    return FALSE;
  }
  m_hDIB = dib;
  return TRUE;
}

HGLOBAL CDPXDIBHandle::Detach() {
  HGLOBAL dib = m_hDIB;
  if (m_pLocked) GlobalUnlock(m_hDIB);
  m_hDIB = nullptr;
  Free();
  return dib;
}

BITMAPINFOHEADER* CDPXDIBHandle::Lock() {
  if (!m_pLocked && m_hDIB) m_pLocked = static_cast<LPBYTE>(GlobalLock(m_hDIB));
  return reinterpret_cast<BITMAPINFOHEADER*>(m_pLocked);
}

void CDPXDIBHandle::Unlock() {
  if (m_pLocked) GlobalUnlock(m_hDIB);
  m_pLocked = nullptr;
}

LPBYTE CDPXDIBHandle::GetBits() {
  const int palette = GetPaletteSize();
  if (!Lock() || palette < 0) return nullptr;
  return m_pLocked + dibbytes::kInfoHeaderSize + palette;
}

BOOL CDPXDIBHandle::CreateDDB(CBitmap& bitmap, HDC dc) {
  bitmap.DeleteObject();
  const bool lockedHere = m_pLocked == nullptr;
  LPBYTE bits = GetBits();
  HDC display = nullptr;
  HBITMAP made = nullptr;
  if (bits) {
    if (!dc) dc = display = CreateDCW(u"Display", nullptr, nullptr, nullptr);
    const BITMAPINFOHEADER* header = reinterpret_cast<const BITMAPINFOHEADER*>(m_pLocked);
    if (dc) made = CreateDIBitmap(dc, header, CBM_INIT, bits, reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
  }
  if (display) DeleteDC(display);
  if (lockedHere) Unlock();
  if (!made) return FALSE;
  if (!bitmap.Attach(made)) {
    DeleteObject(made);
    return FALSE;
  }
  return TRUE;
}

BOOL CDPXDIBHandle::Read(CFile* file) {
  Free();
  HGLOBAL dib = ReadAnyDIB(file);
  if (!dib) return FALSE;
  if (!Attach(dib)) {
    GlobalFree(dib);
    return FALSE;
  }
  return TRUE;
}
