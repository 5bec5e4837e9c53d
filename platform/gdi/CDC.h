#pragma once
// CDC: a device context. It draws on a surface (CDCSurface.h): the bitmap selected into a memory
// DC, a window's retained image, a printer page. Coordinates are logical; the mapping mode is
// MM_TEXT, so a logical unit is a pixel and only the origins move things.
//
// Pixel rules: Rectangle and Ellipse leave out the right column and bottom row of their box
// (a null pen leaves them unfilled too); LineTo and Polyline leave out their last point; fills
// take left/top and leave right/bottom. Raster operations and mix modes work bit by bit on the
// colours. Monochrome bitmaps blitted into colour take the text colour for black and the
// background colour for white; colour blitted into monochrome gives white where it equals the
// source DC's background colour.
//
// Text (TextOut, ExtTextOut, DrawText, GetTextExtent, GetTextMetrics) needs a QGuiApplication
// and fails (FALSE, 0, an empty size) without one; everything else works on any thread without
// it. A DC is used by one thread at a time. The destructor deletes a DC it holds.

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPalette.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"

class CDC : public CObject {
  DECLARE_DYNCREATE(CDC)
public:
  CDC() = default;
  ~CDC() override;

  // The CDC attached to a handle, or a temporary one of the calling thread (see CGdiObject).
  static CDC* FromHandle(HDC handle);
  static void DeleteTempMap();
  BOOL Attach(HDC handle);
  HDC Detach();
  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }

  BOOL CreateDC(LPCWSTR driver, LPCWSTR device, LPCWSTR port, const DEVMODEW* settings);
  BOOL CreateCompatibleDC(CDC* dc);
  BOOL DeleteDC();
  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int level) { return ::RestoreDC(m_hDC, level); }
  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

  // Each gives the object it replaces (null on failure).
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);
  CGdiObject* SelectObject(CGdiObject* object);
  // A region selects the clip region; the result is its kind.
  int SelectObject(CRgn* region);
  CGdiObject* SelectStockObject(int index);
  CPalette* SelectPalette(CPalette* palette, BOOL background);
  UINT RealizePalette() { return ::RealizePalette(m_hDC); }
  CPen* GetCurrentPen() const;
  CBrush* GetCurrentBrush() const;
  CFont* GetCurrentFont() const;
  CBitmap* GetCurrentBitmap() const;

  // Modes and colours; each setter returns the previous value.
  COLORREF SetTextColor(COLORREF colour);
  COLORREF GetTextColor() const;
  COLORREF SetBkColor(COLORREF colour);
  COLORREF GetBkColor() const;
  int SetBkMode(int mode);
  int GetBkMode() const;
  int SetROP2(int mode);
  int GetROP2() const;
  int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
  int GetStretchBltMode() const { return ::GetStretchBltMode(m_hDC); }
  int SetPolyFillMode(int mode);
  int GetPolyFillMode() const;
  // Right-to-left layouts are not supported: the value is kept and answered, drawing always
  // runs left to right. SetLayout answers the previous layout (GDI_ERROR without a DC).
  DWORD SetLayout(DWORD layout) { return ::SetLayout(m_hDC, layout); }
  DWORD GetLayout() const { return ::GetLayout(m_hDC); }
  // Only MM_TEXT is known; other modes are refused (0).
  int SetMapMode(int mode);
  int GetMapMode() const;

  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
  CPoint OffsetViewportOrg(int dx, int dy);
  CPoint GetViewportOrg() const;
  CPoint SetWindowOrg(int x, int y);
  CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
  CPoint OffsetWindowOrg(int dx, int dy);
  CPoint GetWindowOrg() const;
  void LPtoDP(LPPOINT points, int count = 1) const;
  void LPtoDP(LPRECT rect) const { LPtoDP(reinterpret_cast<LPPOINT>(rect), 2); }
  void DPtoLP(LPPOINT points, int count = 1) const;
  void DPtoLP(LPRECT rect) const { DPtoLP(reinterpret_cast<LPPOINT>(rect), 2); }

  // Clipping; results are region kinds (NULLREGION, SIMPLEREGION, COMPLEXREGION) or ERROR.
  // A clip region is in device coordinates; null removes it.
  int SelectClipRgn(CRgn* region);
  int IntersectClipRect(int left, int top, int right, int bottom);
  int IntersectClipRect(LPCRECT rect) { return IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom); }
  int ExcludeClipRect(int left, int top, int right, int bottom);
  int ExcludeClipRect(LPCRECT rect) { return ExcludeClipRect(rect->left, rect->top, rect->right, rect->bottom); }
  // The smallest rectangle around what can be drawn, in logical coordinates.
  int GetClipBox(LPRECT rect) const;

  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
  CPoint GetCurrentPosition() const;
  BOOL Polyline(const POINT* points, int count);
  BOOL Polygon(const POINT* points, int count);
  BOOL Rectangle(int left, int top, int right, int bottom);
  BOOL Rectangle(LPCRECT rect) { return Rectangle(rect->left, rect->top, rect->right, rect->bottom); }
  BOOL Ellipse(int left, int top, int right, int bottom);
  BOOL Ellipse(LPCRECT rect) { return Ellipse(rect->left, rect->top, rect->right, rect->bottom); }

  void FillRect(LPCRECT rect, CBrush* brush);
  // Fills with the colour, which also becomes the background colour.
  void FillSolidRect(LPCRECT rect, COLORREF colour);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
  void FrameRect(LPCRECT rect, CBrush* brush);
  void InvertRect(LPCRECT rect);
  // Top and left in the first colour, bottom and right (with their corners) in the second.
  void Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
  // A dotted frame drawn by inversion: drawing it again removes it.
  void DrawFocusRect(LPCRECT rect);
  BOOL DrawEdge(LPRECT rect, UINT edge, UINT flags);
  // Only the size grip (DFC_SCROLL, DFCS_SCROLLSIZEGRIP) is drawn; other kinds give FALSE.
  BOOL DrawFrameControl(LPRECT rect, UINT type, UINT state);
  BOOL FillRgn(CRgn* region, CBrush* brush);

  // The outline of a rectangle being dragged. On the screen an outline cannot be drawn by
  // inversion (a compositing desktop keeps every window's pixels to itself), so each DC shows
  // its outline as a window of its own laid over the screen: this call moves or reshapes that
  // outline to the frame of `rect`, size.cx thick at the left and right and size.cy at the top
  // and bottom (the whole rectangle when the frame leaves no inside), filled with the brush (the
  // halftone brush when null; monochrome patterns take the text and background colours). A
  // null or empty rect, or a size of 0, hides it. The last rectangle, size and brush are not
  // needed (the outline knows what it shows) and are accepted for the callers' sake.
  // `rect` is in logical coordinates, limited to what the DC may draw on (its visible area and
  // clip region). Only DCs of windows and of the screen (the desktop window's, GetDC(null),
  // CreateDC "DISPLAY") show outlines, and only on the UI thread; other DCs ignore the call. The
  // outline goes when the DC is deleted.
  void DrawDragRect(LPCRECT rect, SIZE size, LPCRECT rectLast, SIZE sizeLast, CBrush* brush = nullptr,
                    CBrush* brushLast = nullptr);
  // An 8x8 pattern brush of alternate pixels (a checker of the text and background colours). It
  // lives as long as the process.
  static CBrush* GetHalftoneBrush();

  COLORREF GetPixel(int x, int y) const;
  COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }
  // The colour set (the nearest one on a monochrome surface); CLR_INVALID outside the clip.
  COLORREF SetPixel(int x, int y, COLORREF colour);
  COLORREF SetPixel(POINT point, COLORREF colour) { return SetPixel(point.x, point.y, colour); }
  BOOL SetPixelV(int x, int y, COLORREF colour) { return SetPixel(x, y, colour) != CLR_INVALID; }

  BOOL PatBlt(int x, int y, int width, int height, DWORD rop) { return ::PatBlt(m_hDC, x, y, width, height, rop); }
  BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop);
  BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, int sw, int sh, DWORD rop);

  BOOL TextOut(int x, int y, LPCWSTR text, int count);
  BOOL TextOut(int x, int y, const CString& text) { return TextOut(x, y, text.GetString(), text.GetLength()); }
  // ETO_OPAQUE fills `rect` with the background colour, ETO_CLIPPED keeps the text inside it;
  // characters keep their own advances (`widths` is not used).
  BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCWSTR text, UINT count, const int* widths);
  BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, const CString& text, const int* widths) {
    return ExtTextOut(x, y, options, rect, text.GetString(), UINT(text.GetLength()), widths);
  }
  // The height of the text; with DT_CALCRECT the rectangle is made to fit and nothing drawn.
  // A count of -1 takes the text up to its terminator.
  int DrawText(LPCWSTR text, int count, LPRECT rect, UINT format);
  int DrawText(const CString& text, LPRECT rect, UINT format) { return DrawText(text.GetString(), text.GetLength(), rect, format); }
  CSize GetTextExtent(LPCWSTR text, int count) const;
  CSize GetTextExtent(const CString& text) const { return GetTextExtent(text.GetString(), text.GetLength()); }
  CSize GetOutputTextExtent(const CString& text) const { return GetTextExtent(text); }
  BOOL GetTextMetrics(LPTEXTMETRIC metrics) const;

  int StartDoc(LPDOCINFO info) { return ::StartDocW(m_hDC, info); }
  int StartDoc(LPCWSTR documentName);
  int StartPage() { return ::StartPage(m_hDC); }
  int EndPage() { return ::EndPage(m_hDC); }
  int EndDoc() { return ::EndDoc(m_hDC); }
  int AbortDoc() { return ::AbortDoc(m_hDC); }

  HDC m_hDC { nullptr };
  HDC m_hAttribDC { nullptr };
};
