#pragma once
// CQVMagnifier: an enlarged piece of an image in a rectangular lens that follows the mouse while
// the left button is held. It runs as a modal, borderless window over the whole screen that holds
// the caller's window, showing a snapshot of that screen taken at the start with the lens drawn on
// top, so that the desktop looks unchanged. The lens shows at once where the button was pressed.
// Releasing the button (or a move that finds it up), or any loss of activation, ends it; the
// cursor is then put back where the button was pressed.
//
// The image is only read: its pixels and its perspective stay as they were. UI thread only.

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/util/CDPXVWXform.h"
#include "framework/dialogs/CQVDialog.h"
#include "platform/gdi/CBitmap.h"

class CQVMagnifier : public CQVDialog {
  DECLARE_DYNAMIC(CQVMagnifier)
public:
  explicit CQVMagnifier(CWnd* parent);
  ~CQVMagnifier() override;

  // Runs the lens once and returns when it ends. `screenPoint` is where the button went down,
  // `imagePoint` the image pixel under it, `bounds` (screen coordinates) where the lens centre may
  // go; sizes in screen pixels, zoom in ten-thousandths. Shows nothing when the parent or the
  // image is missing, the image point lies outside the image, the bounds are empty, a size or
  // the zoom is not positive, or the screen cannot be taken.
  static void View(CWnd* parent, CQVBitmapHandle* image, CPoint screenPoint, CPoint imagePoint, CRect bounds,
                   int lensWidth, int lensHeight, int zoom);

  // Where the lens stands for the cursor (all in screen coordinates): its centre is the cursor
  // kept inside the bounds, pulled back so that the lens does not pass the screen's right or
  // bottom edge; its corner does not pass the screen's left or top edge.
  static CRect LensRect(CPoint cursor, const CRect& bounds, CSize lens, const CRect& screen);
  // The image point at the lens's top-left corner: the enlarged image moves twice the cursor's
  // way from the start, in image units of the transform's scale, kept in view by AdjustOrigin.
  static CPoint LensOrigin(CDPXVWXform& transform, CPoint startOrigin, CPoint start, CPoint cursor);

protected:
  BOOL InitializeVBuffer();
  void CleanUpVBuffer();
  // The lens for the cursor, drawn over the snapshot, onto the window.
  void PaintLens(CPoint cursor);

  BOOL OnInitDialog() override;
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  DECLARE_MESSAGE_MAP()

  CQVBitmapHandle* m_pImage { nullptr };
  CPoint m_ptStart { 0, 0 };
  CPoint m_ptImage { 0, 0 };
  CRect m_rcBounds { 0, 0, 0, 0 };
  int m_nLensWidth { 420 };
  int m_nLensHeight { 330 };
  int m_nZoom { 20000 };
  CPoint m_ptStartOrigin { 0, 0 };
  CDPXVWXform m_vw;
  // The screen the snapshot shows, in screen coordinates; empty until it is taken.
  CRect m_rcScreen { 0, 0, 0, 0 };
  CBitmap m_bmpWork;
  CBitmap m_bmpScreen;
};
