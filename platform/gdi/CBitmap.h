#pragma once
// CBitmap: a device-dependent bitmap, monochrome (1 bit per pixel, 1 = white) or colour (32 bits
// per pixel, bytes blue, green, red, unused), or a DIB section made with CreateDIBSection.

#include "platform/gdi/CGdiObject.h"

class CDC;

class CBitmap : public CGdiObject {
  DECLARE_DYNAMIC(CBitmap)
public:
  CBitmap() = default;

  static CBitmap* FromHandle(HBITMAP handle);

  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
  }
  // The bitmap of that ID or name among the resources of the program, else of the first other
  // module that has one.
  BOOL LoadBitmap(UINT id);
  BOOL LoadBitmap(LPCWSTR name);
  // Monochrome when `dc` draws on a monochrome bitmap (a fresh memory DC does), colour otherwise.
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  int GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof(BITMAP), bitmap); }
  DWORD GetBitmapBits(DWORD size, LPVOID bits) const {
    return DWORD(::GetBitmapBits(static_cast<HBITMAP>(m_hObject), LONG(size), bits));
  }
  DWORD SetBitmapBits(DWORD size, const void* bits) {
    return DWORD(::SetBitmapBits(static_cast<HBITMAP>(m_hObject), size, bits));
  }
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};
