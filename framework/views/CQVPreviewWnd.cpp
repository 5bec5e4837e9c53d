#include "framework/views/CQVPreviewWnd.h"

#include "foundation/util/DPXWindowDraw.h"
#include "framework/views/CQVMagnifier.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"
#include "platform/ui/win/windc.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CQVPreviewWnd, CWnd)

BEGIN_MESSAGE_MAP(CQVPreviewWnd, CWnd)
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

CQVPreviewWnd::~CQVPreviewWnd() { *m_alive = false; }

BOOL CQVPreviewWnd::AutoLoad(UINT id, CWnd* parent, BOOL create, CRect rect) {
  if (GetSafeHwnd() || !parent || !parent->GetSafeHwnd()) return FALSE;
  const BOOL made = create ? Create(nullptr, nullptr, WS_CHILD, rect, parent, id) : SubclassDlgItem(id, parent);
  if (!made || !GetSafeHwnd()) return FALSE;
  EnableWindow(TRUE);
  CRect client;
  GetClientRect(&client);
  m_vw.SetViewSize(client.Width(), client.Height());
  return TRUE;
}

// ---- The image ---------------------------------------------------------------------------------

void CQVPreviewWnd::SetImage(CQVBitmapHandle& image, BOOL repaint) {
  m_pImage = nullptr;
  m_image.Free();
  m_vw.SetWorldSize(0, 0);
  if (&image != &m_image && !image.IsEmpty() && m_image.Create(image)) m_vw.SetWorldSize(m_image.GetWidth(), m_image.GetHeight());
  if (repaint) Repaint(nullptr);
}

void CQVPreviewWnd::SetImage(CQVBitmapHandle* image, BOOL repaint) {
  m_image.Free();
  m_pImage = image;
  if (image) m_vw.SetWorldSize(image->GetWidth(), image->GetHeight());
  else m_vw.SetWorldSize(0, 0);
  if (repaint) Repaint(nullptr);
}

CQVBitmapHandle* CQVPreviewWnd::GetImage() {
  if (m_pImage) return m_pImage;
  return m_image.IsEmpty() ? nullptr : &m_image;
}

// ---- Zoom --------------------------------------------------------------------------------------

void CQVPreviewWnd::SetZoomBounded(long long scale, BOOL repaint) {
  int fit = CDPXVWXform::kUnitScale;
  m_vw.GetFitZoom(fit);
  scale = std::clamp<long long>(scale, fit, std::max(fit, kMaxZoom));
  m_vw.SetZoom(static_cast<int>(scale));
  if (repaint) Repaint(nullptr);
}

void CQVPreviewWnd::ZoomIn(int step, BOOL repaint) {
  int sx, sy;
  m_vw.GetZoom(sx, sy);
  SetZoomBounded(static_cast<long long>(sx) + step, repaint);
}

void CQVPreviewWnd::ZoomOut(int step, BOOL repaint) {
  int sx, sy;
  m_vw.GetZoom(sx, sy);
  SetZoomBounded(static_cast<long long>(sx) - step, repaint);
}

void CQVPreviewWnd::ZoomActual(BOOL repaint) {
  m_vw.SetZoom(CDPXVWXform::kUnitScale);
  if (repaint) Repaint(nullptr);
}

void CQVPreviewWnd::ZoomFit(BOOL repaint) {
  m_vw.ZoomToFit();
  if (repaint) Repaint(nullptr);
}

void CQVPreviewWnd::SetBackgroundColor(COLORREF colour, BOOL repaint) {
  m_crBackground = colour;
  if (repaint) Repaint(nullptr);
}

// ---- Painting ----------------------------------------------------------------------------------

void CQVPreviewWnd::Repaint(CDC* dc) {
  if (!GetSafeHwnd()) return;
  CDC* own = nullptr;
  if (!dc) dc = own = GetDC();
  if (!dc) return;
  CQVBitmapHandle* image = GetImage();
  if (image) {
    m_vw.AdjustOrigin();
    CRgn background;
    CBrush brush(m_crBackground);
    if (m_vw.GetBackgroundRgn(background)) dc->FillRgn(&background, &brush);
    RECT visible, shown;
    m_vw.GetVisibleWorldRect(visible);
    if (visible.right > visible.left && visible.bottom > visible.top) {
      m_vw.WorldToView(visible.left, visible.top, visible.right, visible.bottom, shown);
      image->Paint(dc, CRect(visible), CRect(shown), SRCCOPY);
    }
  } else {
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, m_crBackground);
  }
  if (own) ReleaseDC(own);
}

void CQVPreviewWnd::OnPaint() {
  CPaintDC dc(this);
  Repaint(&dc);
}

void CQVPreviewWnd::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  CRect client;
  GetClientRect(&client);
  m_vw.SetViewSize(client.Width(), client.Height());
  Repaint(nullptr);
}

// ---- Mouse -------------------------------------------------------------------------------------

BOOL CQVPreviewWnd::HitTest(CPoint point, CPoint& imagePoint) {
  CQVBitmapHandle* image = GetImage();
  if (!GetSafeHwnd() || !image || image->GetWidth() <= 0 || image->GetHeight() <= 0) return FALSE;
  POINT world;
  m_vw.ViewToWorld(point.x, point.y, world);
  imagePoint = world;
  return CRect(0, 0, image->GetWidth(), image->GetHeight()).PtInRect(imagePoint);
}

void CQVPreviewWnd::OnLButtonDown(UINT flags, CPoint point) {
  if (m_nTracking != 0) return;
  switch (m_nTool) {
  case 0: Magnify(point); break;
  case 1:
    if (Scroll_Start(point)) m_nTracking = 1;
    break;
  case 2: {
    CRect region;
    if (SelectRegion_Select(point, region)) SelectRegion_OnAfterSelectRegion(flags, point, region);
    break;
  }
  default: break;
  }
}

void CQVPreviewWnd::OnMouseMove(UINT, CPoint point) {
  if (m_nTracking == 1) Scroll_Move(point);
}

void CQVPreviewWnd::OnLButtonUp(UINT, CPoint point) {
  if (m_nTracking != 1) return;
  Scroll_End(point);
}

// A pan whose capture is taken away (another window, a menu) ends there, or every later press
// would be ignored as part of it.
void CQVPreviewWnd::OnCaptureChanged(CWnd* wnd) {
  if (m_nTracking == 1 && wnd != this) m_nTracking = 0;
  CWnd::OnCaptureChanged(wnd);
}

void CQVPreviewWnd::Magnify(CPoint point) {
  CPoint imagePoint;
  CQVBitmapHandle* image = GetImage();
  if (!HitTest(point, imagePoint) || !GetParent() || !image) return;
  CPoint screenPoint = point;
  ClientToScreen(&screenPoint);
  CRect bounds;
  GetClientRect(&bounds);
  ClientToScreen(&bounds);
  if (bounds.IsRectEmpty()) return;
  long long zoom = m_nLensZoom;
  if (!m_bFixedLensZoom) {
    int sx, sy;
    m_vw.GetZoom(sx, sy);
    zoom = std::min<long long>(zoom * sx / CDPXVWXform::kUnitScale, kMaxZoom);
  }
  if (zoom <= 0) return;
  SetCapture();
  CQVMagnifier::View(GetParent(), image, screenPoint, imagePoint, bounds, m_nLensWidth, m_nLensHeight,
                     static_cast<int>(zoom));
  if (GetCapture() == this) ReleaseCapture();
}

BOOL CQVPreviewWnd::Scroll_Start(CPoint point) {
  CPoint imagePoint;
  if (!HitTest(point, imagePoint)) return FALSE;
  m_vwScrollStart.Copy(m_vw);
  m_ptScrollStart = point;
  SetCapture();
  return TRUE;
}

void CQVPreviewWnd::Scroll_Move(CPoint point) {
  int dx, dy, x, y;
  m_vwScrollStart.ViewToWorldX(point.x - m_ptScrollStart.x, dx);
  m_vwScrollStart.ViewToWorldY(point.y - m_ptScrollStart.y, dy);
  m_vwScrollStart.GetOrigin(x, y);
  m_vw.SetOrigin(x - dx, y - dy);
  Repaint(nullptr);
}

void CQVPreviewWnd::Scroll_End(CPoint) {
  m_nTracking = 0;
  if (GetCapture() == this) ReleaseCapture();
}

BOOL CQVPreviewWnd::SelectRegion_Select(CPoint point, CRect& region) {
  // Everything the band needs after its loop is on this stack: the window, and with it this
  // object, may be gone by then.
  const std::shared_ptr<bool> alive = m_alive;
  const HWND hwnd = GetSafeHwnd();
  BOOL selected = FALSE;
  {
    CClientDC dc(this);
    if (!dc.GetSafeHdc()) return FALSE;
    CRect client;
    GetClientRect(&client);
    dc.IntersectClipRect(&client);
    CPen pen(PS_DOT, 0, m_crSelection);
    CBrush hollow;
    hollow.CreateStockObject(NULL_BRUSH);
    CRect band;
    if (DPXTrackRubberBand(this, &dc, point.x, point.y, &pen, &hollow, band) && *alive && ::IsWindow(hwnd)) {
      RECT world;
      m_vw.ViewToWorld(band.left, band.top, band.right, band.bottom, world);
      region = world;
      region.NormalizeRect();
      selected = TRUE;
    }
    if (::IsWindow(hwnd)) dc.SelectClipRgn(nullptr);
  }
  if (!*alive || !::IsWindow(hwnd)) return FALSE;
  Repaint(nullptr);
  return selected;
}
