#pragma once
// CQVPreviewWnd: a child window that shows one image through a view transform (world = image
// pixels, view = client area) and lets the left mouse button act on it by the current tool:
//   0 magnify the spot under the cursor in a lens (CQVMagnifier) while the button is held
//   1 pan the image by dragging
//   2 drag a rubber band to select a region of the image (SelectRegion_OnAfterSelectRegion)
//   any other value: the left button does nothing.
//
// The window shows a copy of an image (SetImage by reference) or an image the caller keeps
// (SetImage by pointer; it must outlive its use here). Nothing here changes the image shown.
// Zooming never goes below the scale at which the whole image fits, nor above kMaxZoom (or the
// fit scale, when that is larger).
//
// Operations with a `repaint` argument paint the window afterwards when it is TRUE. UI thread only.

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/util/CDPXVWXform.h"
#include "platform/ui/afx/CWnd.h"

#include <memory>

class CQVPreviewWnd : public CWnd {
  DECLARE_DYNAMIC(CQVPreviewWnd)
public:
  // The largest scale zooming reaches: a hundred screen pixels per image pixel.
  static constexpr int kMaxZoom = 100 * CDPXVWXform::kUnitScale;

  CQVPreviewWnd() = default;
  ~CQVPreviewWnd() override;

  // Creates a child window at `rect` (create) or takes over the parent's dialog item `id`.
  // FALSE when the object has a window already or none results.
  BOOL AutoLoad(UINT id, CWnd* parent, BOOL create = FALSE, CRect rect = CRect(0, 0, 0, 0));

  // A copy of `image`; the caller's image is not kept.
  void SetImage(CQVBitmapHandle& image, BOOL repaint = TRUE);
  // The caller's image (null for none), shown until another SetImage.
  void SetImage(CQVBitmapHandle* image, BOOL repaint = TRUE);
  // The image shown, or null.
  CQVBitmapHandle* GetImage();

  void ZoomIn(int step, BOOL repaint = TRUE);
  void ZoomOut(int step, BOOL repaint = TRUE);
  void ZoomActual(BOOL repaint = TRUE);
  void ZoomFit(BOOL repaint = TRUE);
  void SetBackgroundColor(COLORREF colour, BOOL repaint = TRUE);
  void Refresh() { Repaint(nullptr); }
  void SetCurrentTool(int tool) { m_nTool = tool; }
  int GetCurrentTool() const { return m_nTool; }

  // Paints the window into `dc`, or into a DC of the window when it is null.
  virtual void Repaint(CDC* dc);
  // A region was selected with tool 2: `region` in image pixels, normalised.
  virtual void SelectRegion_OnAfterSelectRegion(UINT, CPoint, CRect) {}

protected:
  // The image pixel under a client point; FALSE outside the image or without one.
  BOOL HitTest(CPoint point, CPoint& imagePoint);
  void Magnify(CPoint point);
  BOOL Scroll_Start(CPoint point);
  void Scroll_Move(CPoint point);
  void Scroll_End(CPoint point);
  // Tracks the band from `point`; FALSE when it was cancelled (right button, the capture taken
  // away, the window gone).
  BOOL SelectRegion_Select(CPoint point, CRect& region);

  void OnSize(UINT type, int cx, int cy);
  void OnPaint();
  BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnCaptureChanged(CWnd* wnd);
  DECLARE_MESSAGE_MAP()

  CQVBitmapHandle m_image;
  CQVBitmapHandle* m_pImage { nullptr };
  CDPXVWXform m_vw;
  COLORREF m_crBackground { RGB(225, 225, 225) };
  int m_nTool { 0 };
  int m_nTracking { 0 };
  int m_nLensWidth { 400 };
  int m_nLensHeight { 300 };
  BOOL m_bFixedLensZoom { TRUE };
  int m_nLensZoom { CDPXVWXform::kUnitScale };
  CDPXVWXform m_vwScrollStart;
  CPoint m_ptScrollStart { 0, 0 };
  COLORREF m_crSelection { RGB(0, 0, 0) };

private:
  void SetZoomBounded(long long scale, BOOL repaint);
  // False once the object is gone: a band tracked in a nested message loop outlives it then.
  std::shared_ptr<bool> m_alive { std::make_shared<bool>(true) };
};
