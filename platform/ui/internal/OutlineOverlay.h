#pragma once
// Internal to platform/ui: included only by its own files (a test of the build checks this).
// Inside the window layer: the windows that show drag outlines (CDC::DrawDragRect). A compositing
// desktop gives no way to draw across other windows by inversion, so an outline is a small
// window of its own: frameless, always on top, letting the mouse through, and shaped (a shape
// mask needs no compositor) to the frame it shows. The drawing layer works out where the frame
// lies and what it looks like; the presenter installed here keeps one such window per DC.

#include "platform/gdi/CDCSurface.h"

#include <QImage>
#include <QWidget>

namespace qvui {

class OutlineOverlay : public QWidget {
public:
  OutlineOverlay();
  // Moves the window over `screenRect`, shows it where `shape` (relative to the rectangle) lies
  // and paints the picture there.
  void Present(const QRect& screenRect, const QRegion& shape, const QImage& picture);

protected:
  void paintEvent(QPaintEvent* e) override;

private:
  QImage m_picture;
};

}  // namespace qvui
