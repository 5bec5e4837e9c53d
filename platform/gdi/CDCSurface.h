#pragma once
// What a device context draws on. A surface owns (or lends) the pixels of one device: a bitmap,
// a window's retained image, a printer page. Device contexts are made on a surface with
// CreateDCForSurface; the window and printing layers plug their devices in that way:
//
//   window  GetDC/BeginPaint -> CreateDCForSurface(window surface, client origin, visible part)
//           ReleaseDC/EndPaint -> DeleteDC; the surface's EndAccess schedules the repaint
//   printer RegisterDCDriver(u"WINSPOOL", factory); the factory returns a page surface that
//           answers the document calls and sends each finished page to the printer
//
// Pixels are a QImage of Format_RGB32. Every drawing call brackets its work with BeginAccess and
// EndAccess on the thread that draws; a surface is used by one thread at a time.

#include "platform/gdi/gditypes.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QSize>

#include <functional>
#include <memory>
#include <optional>

class CDCSurface {
public:
  virtual ~CDCSurface() = default;

  // The pixels to read and write, or null for a device without pixels (drawing then fails).
  // A surface that keeps its pixels elsewhere brings the image up to date here.
  virtual QImage* BeginAccess() = 0;
  // Ends a call; `changed` is the part of the image it wrote (empty when it only read).
  virtual void EndAccess(const QRect& changed) {}
  // The size of the device in pixels, known without BeginAccess.
  virtual QSize GetSize() const = 0;
  // A monochrome surface holds black and white only: colours drawn on it become the nearer of
  // the two, and blits between it and colour surfaces follow the text and background colours.
  virtual bool IsMonochrome() const { return false; }
  // GetDeviceCaps answers. The default describes a 32-bit raster display of GetSize() at 96 dpi.
  virtual int GetDeviceCaps(int index) const;
  // Where image pixel (0, 0) lies on the screen, for a surface shown there (the screen itself,
  // windows); none for surfaces off the screen (bitmaps, printer pages). Drag outlines
  // (CDC::DrawDragRect) are shown only over surfaces that have a place on the screen.
  virtual std::optional<QPoint> ScreenPosition() const { return std::nullopt; }

  // Document and page control, for printer surfaces; others refuse with SP_ERROR.
  virtual int StartDoc(const DOCINFOW* info) { return SP_ERROR; }
  virtual int StartPage() { return SP_ERROR; }
  virtual int EndPage() { return SP_ERROR; }
  virtual int EndDoc() { return SP_ERROR; }
  virtual int AbortDoc() { return SP_ERROR; }
};

// A surface over an image it owns: the bitmaps of the drawing layer, and a base for retained
// window images (override EndAccess to schedule the repaint, GetDeviceCaps to describe the screen).
class CImageSurface : public CDCSurface {
public:
  // A black image of the size; a monochrome one holds black and white only.
  CImageSurface(int width, int height, bool monochrome = false);
  explicit CImageSurface(QImage image, bool monochrome = false);

  QImage* BeginAccess() override { return m_image.isNull() ? nullptr : &m_image; }
  QSize GetSize() const override { return m_image.size(); }
  bool IsMonochrome() const override { return m_monochrome; }

  const QImage& Image() const { return m_image; }
  // Replaces the pixels, for instance when a window is resized; the image is converted to
  // Format_RGB32 (and to black and white on a monochrome surface).
  void SetImage(QImage image);

private:
  QImage m_image;
  bool m_monochrome { false };
};

// A device context drawing on `surface`. Device point (0, 0) is image pixel `origin`; drawing is
// limited to `visible` (device coordinates; the whole image when absent), before any clipping the
// caller selects. The DC keeps the surface alive until DeleteDC. Null when surface is null.
HDC CreateDCForSurface(std::shared_ptr<CDCSurface> surface, QPoint origin = QPoint(0, 0),
                       std::optional<QRegion> visible = std::nullopt);

// The surface of a named device for CreateDCW ("DISPLAY" is built in: a device without pixels
// that reports the screen). A later registration under the same name (compared without case)
// replaces the earlier one; an empty function removes it.
using DCDriverFactory =
    std::function<std::shared_ptr<CDCSurface>(LPCWSTR device, LPCWSTR port, const DEVMODEW* settings)>;
void RegisterDCDriver(LPCWSTR driver, DCDriverFactory factory);

// Shows the drag outlines of CDC::DrawDragRect. The drawing layer works out each outline (where
// it lies on the screen, its shape and its pixels); the window layer installs the presenter that
// puts it on the screen. Calls come on the UI thread, one outline per DC.
class CDragOutlinePresenter {
public:
  virtual ~CDragOutlinePresenter() = default;
  // Shows the outline of `dc`, or moves and reshapes it: `picture` covers `screenRect` and is
  // seen where `shape` (relative to the rectangle's top-left) lies.
  virtual void Show(HDC dc, const QRect& screenRect, const QRegion& shape, const QImage& picture) = 0;
  virtual void Hide(HDC dc) = 0;
  // The DC is being deleted: its outline goes for good.
  virtual void Forget(HDC dc) = 0;
};
// Installs the presenter (null: outlines are not shown). It must outlive its installation.
void SetDragOutlinePresenter(CDragOutlinePresenter* presenter);

// The font of a GDI font handle as Qt draws it (with the same stand-ins for missing faces), for
// widgets that show text in it; Qt's default font for a handle that is not a font.
QFont QtFontOf(HFONT font);
