#pragma once
// CQVBitmapHandle: the one image in memory of the whole system, over a bitmap of the bitmap store
// (platform/imaging) and a device context that draws into it.
//
// Its own vocabulary, mapped to the store's values:
//   perspective  0 top-left (rows top first in memory), 1 bottom-left (rows bottom first)
//   colour order 0 RGB, 1 BGR (the default), 2 grey, 3 RGB or grey, 4 BGR or grey
//   resize flags 0 nearest pixel, 1 resampling, 2 bicubic
//   rotate flags 0 the canvas grows, 1 resampling, 2 bicubic (both keep the size), 3 keep the size
//   file format  1 BMP, 2 JPEG, 3 Group 4 TIFF
//   fax format   1 Group 3 1-D with EOLs, 2 Group 3 1-D without, 3 Group 3 2-D, 4 Group 4
//   paint modes  1-11, switches of painting: 3 keeps dark pixels of reduced 1-bit pages, 4 averages
//                reduced pictures of other depths, 11 reduces 1-bit pages to grey; with none
//                switched on, painting works as with 3 and 4
//
// Coordinates of pixel and row access count rows from the top of the picture; Trim takes stored
// coordinates (see the perspective). Operations named Change... give the pixels away and leave the
// handle empty; those named Convert... copy them. Every operation reports failure by its result
// and leaves a handle it could not fill empty; none throws.
//
// A page made from Group 4 data (LoadFaxG4Page) keeps that data for as long as its pixels stay as
// they were: every operation that may change them goes through one place that forgets it, and
// SaveMemory_FaxG4 meanwhile hands the data out instead of coding the page again. Such a page may
// also leave its decoding to the first use of its pixels.

#include "platform/core/CObject.h"
#include "platform/core/CRect.h"
#include "platform/gdi/CDC.h"

#include <memory>
#include <vector>

class CDPXBuffer;
namespace imaging {
struct Bitmap;
}

class CQVBitmapHandle : public CObject {
  DECLARE_DYNCREATE(CQVBitmapHandle)
public:
  CQVBitmapHandle();
  ~CQVBitmapHandle() override;

  // Life cycle and copying.
  void Free();
  // A zero-filled bitmap; without a palette 1 bit is black and white, 4 and 8 bits a grey ramp.
  BOOL Create(int width, int height, int bitsPerPixel, UINT order = 1, RGBQUAD* palette = nullptr,
              UINT perspective = 0);
  BOOL Create(CQVBitmapHandle& source);
  // The part of the source inside `rect` (view coordinates, cut to the source).
  BOOL Create(CQVBitmapHandle& source, CRect rect);
  // A resampled copy with the source's depth, palette, perspective, order and resolution.
  BOOL Create(CQVBitmapHandle& source, int width, int height, UINT resizeFlags);
  // Takes the other's bitmap and paint modes over and leaves the other empty.
  BOOL Attach(CQVBitmapHandle& other);
  BOOL Detach(CQVBitmapHandle& target) { return target.Attach(*this); }

  // Packed DIBs: ChangeFromDIB takes the block over (on failure it stays the caller's); the DIBs
  // given out are bottom-up with a 40-byte header (header kind 0).
  BOOL ChangeFromDIB(HGLOBAL dib);
  HGLOBAL ChangeToDIB(UINT headerKind);
  HGLOBAL ConvertToDIB(UINT headerKind);
  // Device-dependent bitmaps for a DC (the display's when `dc` is null).
  BOOL ChangeToDDB(CBitmap& bitmap, CDC* dc);
  BOOL ConvertToDDB(CBitmap& bitmap, CDC* dc);

  // Files and memory images: TIFF (first page), JPEG, PNG and BMP, told by their content.
  // bitsPerPixel 0 keeps the depth as stored.
  BOOL Load(LPCWSTR path, int bitsPerPixel = 0, UINT order = 1);
  BOOL LoadMemory(BYTE* buffer, int size, int bitsPerPixel = 0, UINT order = 1);
  // Raw fax data without a header, as a 1-bit bitmap of the given size and resolution.
  BOOL LoadMemory_FaxRaw(BYTE* buffer, int size, int width, int height, int xDpi, int yDpi, UINT faxFormat);
  // A 1-bit page (white, black) from the raw Group 4 data of the whole page: K -1, rows not
  // byte-aligned, the first pixel of a byte in its most significant bit, set bits black. The data
  // is kept as the page's own (see above). With deferDecoding the pixels are decoded when first
  // used; data that then proves damaged empties the handle and fails that use.
  BOOL LoadFaxG4Page(std::vector<BYTE> data, int width, int height, int xDpi, int yDpi, BOOL deferDecoding);
  // quality: for JPEG a factor from 2 (best) to 255 (smallest); bitsPerPixel 0 keeps the depth.
  BOOL Save(LPCWSTR path, UINT format, int quality, int bitsPerPixel);
  // A JPEG file image of an 8- or 24-bit bitmap, and the raw Group 4 data of a 1-bit one (in the
  // form LoadFaxG4Page takes), in a new movable block that the caller owns.
  BOOL SaveMemory_Jpg(HGLOBAL* block, DWORD* size);
  BOOL SaveMemory_FaxG4(HGLOBAL* block, DWORD* size);
  // TRUE while the pixels are those of the Group 4 data they were made from.
  BOOL HasFaxG4Source() const { return !m_faxG4.empty(); }
  // Hands that data over without a copy and empties the bitmap; FALSE, with nothing changed,
  // where there is none.
  BOOL TakeFaxG4Source(std::vector<BYTE>& data);

  // A DC that draws into the bitmap, kept until DeleteDC, Free, a new bitmap or the end.
  CDC* CreateDCW();
  CDC* GetDC();
  BOOL DeleteDC();

  // Painting.
  void ResetPaintMode() { m_dwPaintMode = 0; }
  BOOL EnablePaintMode(int mode, BOOL enable);
  BOOL IsPaintModeEnabled(int mode) const;
  BOOL Paint(CDC* dc, CRect source, CRect destination, DWORD rop = SRCCOPY);
  BOOL Paint(CDC* dc, CRect destination, DWORD rop = SRCCOPY);
  // The whole bitmap as large as fits the frame, centred, with its aspect ratio.
  BOOL PaintInFrameCenter(CDC* dc, CRect frame, DWORD rop = SRCCOPY);
  BOOL Print(CDC* dc, CRect rect);
  BOOL CopyToClipboardAsDIB(HWND owner);
  BOOL CopyToClipboardAsDDB(HWND owner);

  // Properties; 0 for an empty handle, except the order (1).
  BOOL IsEmpty() const;
  int GetWidth() const;
  int GetHeight() const;
  int GetBitsPerPixel() const;
  int GetBytesPerLine() const;
  DWORD GetImageSize() const;
  int GetColorNums() const;
  int GetXDPI() const;
  int GetYDPI() const;
  void SetXDPI(int dpi);
  void SetYDPI(int dpi);
  UINT GetOrder() const;
  UINT GetPerspective() const;
  // Reorders the rows so that the picture stays as it is.
  BOOL SetPerspective(UINT perspective);
  BOOL IsNormalGrayScale() const;
  BOOL GetPalette(int first, int count, RGBQUAD* entries) const;
  BOOL SetPalette(int first, int count, RGBQUAD* entries);

  // Between stored coordinates and view coordinates of a perspective, in place.
  BOOL PointFromBitmap(int& x, int& y, UINT perspective) const;
  BOOL PointToBitmap(int& x, int& y, UINT perspective) const;
  BOOL RectFromBitmap(CRect& rect, UINT perspective) const;
  BOOL RectToBitmap(CRect& rect, UINT perspective) const;

  // Transforms in place.
  BOOL Resize(int width, int height, UINT resizeFlags);
  // Keeps a rectangle in stored coordinates.
  BOOL Trim(int left, int top, UINT width, UINT height);
  // Keeps a rectangle in top-left view coordinates, cut to the bitmap; nothing left empties it.
  BOOL Crop(CRect rect);
  BOOL Flip();
  BOOL Reverse();
  // Hundredths of a degree, clockwise; uncovered areas take the fill colour.
  BOOL Rotate(int angle, UINT rotateFlags, COLORREF fill);
  BOOL GrayScale();
  BOOL BinaryBitmap();
  // A size x size integer kernel: sum / divisor + bias, per channel, on 8-bit grey and colour.
  BOOL SpecialFilter(int divisor, int bias, int size, int* matrix);

  // Pixels: colours 0x00BBGGRR, or 0x01000000 | index for palette bitmaps.
  BOOL GetPixelColor(int x, int y, COLORREF& colour) const;
  BOOL SetPixelColor(int x, int y, COLORREF colour);
  // The stored rows for direct access, held until Release.
  BYTE* Access();
  BYTE* GetPtr();
  void Release();
  // Row copies through a buffer of bytes-per-line bytes that AccessRowData allocates.
  BOOL AccessRowData(CDPXBuffer& row);
  BOOL GetRowData(int row, CDPXBuffer& buffer);
  BOOL PutRowData(int row, CDPXBuffer& buffer);
  void ReleaseRowData(CDPXBuffer& buffer);
  void SetPixelIndex(int x, int y, BYTE index);
  // A region of every pixel that is not black (1, 8 and 24 bits); meant for small masks.
  BOOL CreateRgnFromMask(CRgn& region);

  // The bitmap store's record, for the imaging layer's codecs: to read the pixels, and to change
  // them (which forgets the Group 4 data they came from).
  const imaging::Bitmap& StoreRecord() const { return Pixels(); }
  imaging::Bitmap& StoreRecordToChange() { return PixelsToChange(); }

protected:
  // Own values to the store's and back.
  static int _order_pub_store(UINT order);
  static UINT _order_store_pub(int order);
  static int _perspective_pub_store(UINT perspective);
  static UINT _perspective_store_pub(int perspective);
  static UINT _resize_pub_store(UINT flags);
  static UINT _resize_store_pub(UINT flags);
  static UINT _rotate_pub_store(UINT flags);
  static UINT _rotate_store_pub(UINT flags);
  static int _dibhead_pub_store(UINT kind);
  static UINT _dibhead_store_pub(int kind);
  static int _format_pub_store(UINT format);
  static UINT _format_store_pub(int format);
  static int _fax_pub_store(UINT format);
  static UINT _fax_store_pub(int format);

private:
  // The record with its pixels decoded; emptied when pending data does not decode.
  imaging::Bitmap& Pixels() const;
  // The same for an operation that may change the pixels.
  imaging::Bitmap& PixelsToChange();
  BOOL MakeDDB(CBitmap& bitmap, CDC* dc, BOOL giveAway);
  BOOL SaveMemory(int format, HGLOBAL* block, DWORD* size);
  BOOL CopyToClipboard(HWND owner, UINT format);

  // Size, depth, palette and resolution are always in the record; while decoding is pending its
  // rows are not yet the picture.
  std::unique_ptr<imaging::Bitmap> m_bitmap;
  CDC m_dc;
  DWORD m_dwPaintMode { 0 };
  mutable std::vector<BYTE> m_faxG4;
  mutable BOOL m_decodePending { FALSE };
};
