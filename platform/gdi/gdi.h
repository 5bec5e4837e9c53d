#pragma once
// The drawing interface on handles: device contexts, GDI objects, regions, palettes, DIBs and
// blits, as the Win32 functions of the same names. The MFC classes (CDC, CPen, CBrush, CFont,
// CBitmap, CRgn, CPalette) stand on these.
//
// Everything here works on any thread and without a QGuiApplication, except text (CDC's text
// calls), which needs one for its fonts and fails without it. A program that runs one creates it
// before it draws on other threads. Handle tables are shared by all threads; one device context,
// bitmap or region is used by one thread at a time.

#include "platform/gdi/gditypes.h"

// Device contexts.
// "DISPLAY" (without case) gives a DC on the screen device; other names go to the drivers
// registered with RegisterDCDriver (CDCSurface.h). Null when there is no such device.
HDC CreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* settings);
// A memory DC holding a 1x1 monochrome bitmap, with the capabilities of `dc` (of the screen for null).
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);
// level > 0: the state SaveDC returned that level for; level < 0: counted back from the last.
BOOL RestoreDC(HDC dc, int level);
int GetDeviceCaps(HDC dc, int index);
DWORD GetObjectType(HGDIOBJ object);  // OBJ_*, OBJ_DC / OBJ_MEMDC for device contexts, 0 if none
// The layout of a DC (LAYOUT_RTL, LAYOUT_BITMAPORIENTATIONPRESERVED). Right-to-left drawing is
// not supported: the value is kept and answered, drawing always runs left to right. SetLayout
// answers the previous layout; both give GDI_ERROR for a missing DC.
DWORD SetLayout(HDC dc, DWORD layout);
DWORD GetLayout(HDC dc);

// Objects.
HGDIOBJ GetStockObject(int index);
// The previous object of the same kind; for a region the clip region kind. Null on failure
// (a bitmap can be selected into one memory DC at a time, and into no other kind of DC).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT objectType);
// Stock objects stay; a bitmap selected into a DC is not deleted (FALSE).
BOOL DeleteObject(HGDIOBJ object);
// Copies the description (LOGPEN, LOGBRUSH, LOGFONTW, BITMAP or DIBSECTION, the entry count
// of a palette as a WORD) and returns its size; with a null buffer only the size. 0 on failure.
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);
inline int GetObject(HGDIOBJ object, int size, LPVOID buffer) { return GetObjectW(object, size, buffer); }

HPEN CreatePen(int style, int width, COLORREF colour);
HPEN CreatePenIndirect(const LOGPEN* pen);
HBRUSH CreateSolidBrush(COLORREF colour);
HBRUSH CreateHatchBrush(int hatch, COLORREF colour);
// Copies the bitmap: a monochrome one paints its black pixels in the text colour and its white
// ones in the background colour of the DC it is used in.
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HFONT CreateFontIndirectW(const LOGFONTW* font);

// The character set of the font selected into the DC (a font that names none answers
// ANSI_CHARSET); DEFAULT_CHARSET for a handle that is no DC. The signature is left zeroed.
int GetTextCharsetInfo(HDC dc, FONTSIGNATURE* signature, DWORD flags);
int GetTextCharset(HDC dc);
// The installed font families, one call each (with `family` null), or the styles of the family
// named (compared without case), as a description and the metrics of the font it makes at its
// default size. The callback answers 0 to stop; the result is its last answer, 1 when it was
// never called, 0 without a QGuiApplication. EnumFontFamiliesExW reads the family from
// lfFaceName (empty: every family); every family has the ANSI character set.
using FONTENUMPROCW = int (*)(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD fontType, LPARAM param);
int EnumFontFamiliesW(HDC dc, LPCWSTR family, FONTENUMPROCW proc, LPARAM param);
int EnumFontFamiliesExW(HDC dc, const LOGFONTW* font, FONTENUMPROCW proc, LPARAM param, DWORD flags);

// Device-dependent bitmaps: 1 bit (monochrome) or 32 bits per pixel; bits as GetBitmapBits.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// A bitmap of the module's resources (ModuleImages.h), 32 bits per pixel; null when the module
// has none of that name or ID.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
// Monochrome when the DC draws on a monochrome bitmap; a 0 size gives the 1x1 monochrome bitmap.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits);
LONG SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits);

// Device-independent bitmaps (1, 4, 8, 24, 32 bits per pixel, BI_RGB, DIB_RGB_COLORS). Scan
// lines and source rectangles of bottom-up DIBs count from the bottom row, as on Win32.
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);
// With null bits fills in the header (and 0 bits per pixel become the bitmap's) and returns
// non-zero; otherwise copies `lines` scan lines from `start` in the format of `info` (writing its
// colour table for palette depths) and returns the number copied.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
// A bitmap whose bits the caller reads and writes at *bits (valid until the bitmap is deleted).
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
int StretchDIBits(HDC dc, int x, int y, int width, int height, int sx, int sy, int sw, int sh, const void* bits,
                  const BITMAPINFO* info, UINT usage, DWORD rop);
// `bits` holds `lines` scan lines from scan line `start`; returns the number of lines drawn.
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int sx, int sy, UINT start, UINT lines,
                      const void* bits, const BITMAPINFO* info, UINT usage);

// Blits (logical coordinates of both DCs).
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop);
BOOL StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh, DWORD rop);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);

// Regions. Results are region kinds (NULLREGION, SIMPLEREGION, COMPLEXREGION) or ERROR.
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
// From rectangles: an RGNDATA of `size` bytes (header and nCount RECTs); transforms unsupported.
HRGN ExtCreateRegion(const XFORM* transform, DWORD size, const RGNDATA* data);
int CombineRgn(HRGN target, HRGN a, HRGN b, int mode);
BOOL EqualRgn(HRGN a, HRGN b);
int OffsetRgn(HRGN region, int dx, int dy);
int GetRgnBox(HRGN region, LPRECT box);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
// The RGNDATA of a region, as ExtCreateRegion takes it; the size needed when buffer is null.
DWORD GetRegionData(HRGN region, DWORD size, LPRGNDATA buffer);
// Clipping with a region in device coordinates (null removes the clip region).
int SelectClipRgn(HDC dc, HRGN region);

// Palettes. Drawing is in true colour: palettes are kept, realising maps nothing.
HPALETTE CreatePalette(const LOGPALETTE* palette);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background);
UINT RealizePalette(HDC dc);

// Document and page control of printer DCs (SP_ERROR elsewhere).
int StartDocW(HDC dc, const DOCINFOW* info);
int StartPage(HDC dc);
int EndPage(HDC dc);
int EndDoc(HDC dc);
int AbortDoc(HDC dc);

// The classic desktop colours (COLOR_*), fixed; black for an unknown index. The brushes are
// stock objects.
COLORREF GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
