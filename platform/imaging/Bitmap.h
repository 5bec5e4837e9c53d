#pragma once
// The bitmap store: the images in memory of the whole system.
//
// A bitmap is one movable global block laid out as a packed DIB: a 40-byte header, the palette,
// then the rows, each padded to four bytes. Handing a bitmap over as a DIB, or taking a DIB over,
// moves that block instead of copying pixels.
//
// Rows lie in memory in one of two view perspectives: top-left (row 0 of memory is the top of
// the picture) or bottom-left (row 0 of memory is the bottom, as in a bottom-up DIB). Two kinds of
// coordinates follow from that:
//   - stored coordinates count rows as they lie in memory: Trim, CopyRect;
//   - view coordinates count rows from the top of the picture: pixel and row access.
// PointToBitmap and RectToBitmap convert view coordinates of a perspective to stored ones.
//
// Depths are 1, 4 and 8 bits with a palette of RGBQUAD entries, and 24 and 32 bits, whose bytes
// follow the colour order (BGR or RGB; 32 bits carry an unused fourth byte). Resolutions are dots
// per inch; 0 means unknown. Every operation reports failure by its result and leaves a bitmap it
// could not make empty; none throws.

#include "platform/core/wintypes.h"
#include "platform/imaging/dibformat.h"

namespace imaging {

// The flags word of a record.
constexpr UINT kAllocated = 0x0001;
// Set for bitmaps whose bits cannot be addressed directly; this store keeps every bitmap in
// memory, so it never sets it, but readers of the record honour it.
constexpr UINT kNotAddressable = 0x4000;

enum Perspective : int { kTopLeft = 1, kBottomLeft = 4 };

// Colour orders. Bytes of 24- and 32-bit pixels are R, G, B for the RGB orders and B, G, R for all
// others. When loading, kOrderGray asks for 8-bit grey, and the "or grey" orders keep a grey
// picture 8-bit grey where a colour depth was asked for.
enum ColorOrder : int {
  kOrderRgb = 0,
  kOrderBgr = 1,
  kOrderGray = 2,
  kOrderRgbOrGray = 3,
  kOrderBgrOrGray = 4,
};

// Resampling kinds (Resample, CreateResampled).
enum ResizeFlags : UINT {
  kResizeNormal = 0,      // nearest pixel
  kResizeFavorBlack = 1,  // 1 bit: a pixel is dark when any pixel it covers is dark (thin lines stay)
  kResizeResample = 2,    // linear interpolation, area averaging when reducing
  kResizeBicubic = 4,     // cubic interpolation
};

// Rotation flags (Rotate); kRotateResample and kRotateBicubic interpolate at 8-bit grey, 24 and
// 32 bits, other depths take the nearest pixel.
enum RotateFlags : UINT {
  kRotateKeepSize = 0,
  kRotateResize = 1,  // the canvas grows to hold the whole turned picture
  kRotateResample = 2,
  kRotateBicubic = 4,
};

// Colours read from palette bitmaps carry this bit and the palette index in the low byte.
constexpr COLORREF kPaletteIndexFlag = 0x01000000;
// A pixel that cannot be read.
constexpr COLORREF kInvalidColor = 0x80000000;

struct Bitmap {
  UINT flags{0};
  BYTE* bits{nullptr};  // row 0 of memory
  int width{0};
  int height{0};
  int bitsPerPixel{0};
  int bytesPerLine{0};
  int colorCount{0};
  RGBQUAD* palette{nullptr};
  int perspective{kTopLeft};
  int order{kOrderBgr};
  SIZE_T imageSize{0};
  int xResolution{0};
  int yResolution{0};
  HGLOBAL storage{nullptr};  // the packed DIB holding header, palette and bits
  int lockCount{0};

  Bitmap() = default;
  ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  bool IsAllocated() const { return (flags & kAllocated) != 0; }
};

// Bytes of one row: width x depth bits, padded to four bytes; -1 for a bad width or depth.
int StrideFor(int width, int bitsPerPixel);

// Empties the record (freeing any storage) and describes a bitmap of that size and depth without
// storage; AllocateStorage then gives it its storage. Depth 0 leaves the record plainly empty.
bool Reset(Bitmap& bitmap, int width = 0, int height = 0, int bitsPerPixel = 0);
// Zero-filled storage for a record that Reset described, with the default palette.
bool AllocateStorage(Bitmap& bitmap);
void FreeStorage(Bitmap& bitmap);

// A new zero-filled bitmap. A palette holds 2^depth entries; without one, 1 bit gets black and
// white, 4 and 8 bits a grey ramp.
bool Create(Bitmap& bitmap, int width, int height, int bitsPerPixel, int order = kOrderBgr,
            const RGBQUAD* palette = nullptr, int perspective = kTopLeft);
bool Duplicate(Bitmap& target, const Bitmap& source);
// A copy of a rectangle of the source in stored coordinates, with its depth, palette, perspective,
// order and resolution. The rectangle must lie inside the source.
bool CopyRect(Bitmap& target, const Bitmap& source, int left, int top, int width, int height);
// Copies the source's palette entries into the target's (as many as both hold).
bool CopyPalette(Bitmap& target, const Bitmap& source);
// Moves the source's bitmap into the target; the source is left empty.
void TakeOver(Bitmap& target, Bitmap& source);

// The bits for direct access, held until the matching Unlock (the storage never moves here).
BYTE* Lock(Bitmap& bitmap);
void Unlock(Bitmap& bitmap);

bool GetPalette(const Bitmap& bitmap, int first, int count, RGBQUAD* entries);
bool SetPalette(Bitmap& bitmap, int first, int count, const RGBQUAD* entries);
// TRUE for a palette that is the plain grey ramp of its depth (1 bit: black, white).
bool IsNormalGrayScale(const Bitmap& bitmap);

// The colour at a view position: 0x00BBGGRR, or kPaletteIndexFlag | index for palette bitmaps;
// kInvalidColor outside the bitmap.
COLORREF GetPixelColor(const Bitmap& bitmap, int row, int column);
// Sets a view position to a colour (a palette bitmap takes the nearest entry) or, with
// kPaletteIndexFlag, to a palette index.
bool SetPixelColor(Bitmap& bitmap, int row, int column, COLORREF color);
// Copies up to bytes-per-line bytes of a view row out of or into the caller's buffer; the count
// moved, 0 on failure.
int GetRow(const Bitmap& bitmap, int row, BYTE* buffer, int size);
int PutRow(Bitmap& bitmap, int row, const BYTE* buffer, int size);
// Paints every pixel with a colour (as SetPixelColor takes it).
bool Fill(Bitmap& bitmap, COLORREF color);

// Changes the perspective; the rows are reordered so that the picture stays as it was.
bool SetPerspective(Bitmap& bitmap, int perspective);
// Between view coordinates of a perspective and stored coordinates; rectangles are half-open.
bool PointToBitmap(const Bitmap& bitmap, int perspective, int& x, int& y);
bool PointFromBitmap(const Bitmap& bitmap, int perspective, int& x, int& y);
bool RectToBitmap(const Bitmap& bitmap, int perspective, RECT& rect);
bool RectFromBitmap(const Bitmap& bitmap, int perspective, RECT& rect);

}  // namespace imaging
