#include "framework/views/CQVMagnifier.h"

#include "foundation/util/DPXWindowDraw.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDCSurface.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <algorithm>

IMPLEMENT_DYNAMIC(CQVMagnifier, CQVDialog)

BEGIN_MESSAGE_MAP(CQVMagnifier, CQVDialog)
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_ACTIVATE()
  ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

// On the empty pop-up template; OnInitDialog gives it the screen.
CQVMagnifier::CQVMagnifier(CWnd* parent) : CQVDialog(parent) {
  SetLayout(FALSE);
  SetTranslate(FALSE);
  SetTopmost(TRUE);
  SetCloseOnDeactivate(TRUE);
  SetAutoDelete(FALSE);
}

CQVMagnifier::~CQVMagnifier() { CleanUpVBuffer(); }

CRect CQVMagnifier::LensRect(CPoint cursor, const CRect& bounds, CSize lens, const CRect& screen) {
  CPoint centre = cursor;
  centre.x = std::max<int>(centre.x, bounds.left);
  centre.y = std::max<int>(centre.y, bounds.top);
  centre.x = std::min<int>(centre.x, bounds.right);
  centre.y = std::min<int>(centre.y, bounds.bottom);
  const int halfWidth = lens.cx / 2;
  const int halfHeight = lens.cy / 2;
  centre.x = std::min<int>(centre.x, screen.right - halfWidth);
  centre.y = std::min<int>(centre.y, screen.bottom - halfHeight);
  const int left = std::max<int>(centre.x - halfWidth, screen.left);
  const int top = std::max<int>(centre.y - halfHeight, screen.top);
  return CRect(left, top, left + lens.cx, top + lens.cy);
}

CPoint CQVMagnifier::LensOrigin(CDPXVWXform& transform, CPoint startOrigin, CPoint start, CPoint cursor) {
  int dx, dy;
  transform.ViewToWorldX(2 * (start.x - cursor.x), dx);
  transform.ViewToWorldY(2 * (start.y - cursor.y), dy);
  transform.SetOrigin(startOrigin.x - dx, startOrigin.y - dy);
  transform.AdjustOrigin();
  CPoint origin;
  transform.GetOrigin(origin.x, origin.y);
  return origin;
}

void CQVMagnifier::View(CWnd* parent, CQVBitmapHandle* image, CPoint screenPoint, CPoint imagePoint, CRect bounds,
                        int lensWidth, int lensHeight, int zoom) {
  if (!parent) return;
  CQVMagnifier lens(parent);
  if (!image || image->GetWidth() <= 0 || image->GetHeight() <= 0) return;
  // Painting reads the image in view coordinates, so its perspective can stay the caller's.
  lens.m_vw.SetWorldSize(image->GetWidth(), image->GetHeight());
  if (imagePoint.x < 0 || imagePoint.x >= image->GetWidth() || imagePoint.y < 0 || imagePoint.y >= image->GetHeight())
    return;
  if (bounds.IsRectEmpty() || lensWidth <= 0 || lensHeight <= 0 || zoom <= 0) return;
  lens.m_pImage = image;
  lens.m_ptStart = screenPoint;
  lens.m_ptImage = imagePoint;
  lens.m_rcBounds = bounds;
  lens.m_nLensWidth = lensWidth;
  lens.m_nLensHeight = lensHeight;
  lens.m_nZoom = zoom;
  lens.m_vw.SetViewSize(lensWidth, lensHeight);
  lens.m_vw.SetZoom(zoom);
  int halfWidth, halfHeight;
  lens.m_vw.ViewToWorldX(lensWidth / 2, halfWidth);
  lens.m_vw.ViewToWorldY(lensHeight / 2, halfHeight);
  lens.m_ptStartOrigin = CPoint(imagePoint.x - halfWidth, imagePoint.y - halfHeight);
  lens.m_vw.SetOrigin(lens.m_ptStartOrigin.x, lens.m_ptStartOrigin.y);
  if (!lens.InitializeVBuffer()) return;
  lens.ShowModal();
  lens.CleanUpVBuffer();
  ::SetCursorPos(screenPoint.x, screenPoint.y);
}

// The snapshot is of the screen that holds the caller's window (the one under the bounds), so
// that a window on a second screen is magnified over its own desktop.
BOOL CQVMagnifier::InitializeVBuffer() {
  CleanUpVBuffer();
  QScreen* screen = QGuiApplication::screenAt(QPoint(m_rcBounds.CenterPoint().x, m_rcBounds.CenterPoint().y));
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return FALSE;
  const QRect geometry = screen->geometry();
  QImage shot = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
  if (geometry.isEmpty() || shot.size() != geometry.size()) return FALSE;
  const int width = geometry.width();
  const int height = geometry.height();

  CDC display, memory, source;
  BOOL ok = display.CreateDC(u"DISPLAY", nullptr, nullptr, nullptr) && memory.CreateCompatibleDC(&display) &&
            source.Attach(CreateDCForSurface(std::make_shared<CImageSurface>(std::move(shot)))) &&
            m_bmpScreen.CreateCompatibleBitmap(&display, width, height) &&
            m_bmpWork.CreateCompatibleBitmap(&display, width, height);
  if (ok) {
    CBitmap* old = memory.SelectObject(&m_bmpScreen);
    ok = memory.BitBlt(0, 0, width, height, &source, 0, 0, SRCCOPY);
    memory.SelectObject(old);
  }
  if (!ok) {
    CleanUpVBuffer();
    return FALSE;
  }
  m_rcScreen = CRect(geometry.left(), geometry.top(), geometry.left() + width, geometry.top() + height);
  return TRUE;
}

void CQVMagnifier::CleanUpVBuffer() {
  m_bmpWork.DeleteObject();
  m_bmpScreen.DeleteObject();
  m_rcScreen.SetRectEmpty();
}

BOOL CQVMagnifier::OnInitDialog() {
  if (!CQVDialog::OnInitDialog() || m_rcScreen.IsRectEmpty()) return FALSE;
  SetWindowPos(&wndTopMost, m_rcScreen.left, m_rcScreen.top, m_rcScreen.Width(), m_rcScreen.Height(), SWP_SHOWWINDOW);
  // The lens shows at once where the button is held: a pointer that stays still sends no move.
  PaintLens(m_ptStart);
  SetCapture();
  ::SetCursor(nullptr);
  return TRUE;
}

void CQVMagnifier::OnMouseMove(UINT flags, CPoint point) {
  // A move without the button: it went up before the lens held the mouse, so the release never
  // reached it. The lens ends as on the release rather than stay frozen over the screen.
  if (!(flags & MK_LBUTTON)) {
    OnLButtonUp(flags, point);
    return;
  }
  if (GetCapture() != this) SetCapture();
  ::SetCursor(nullptr);
  ClientToScreen(&point);
  PaintLens(point);
}

void CQVMagnifier::PaintLens(CPoint cursor) {
  if (!m_pImage || m_rcScreen.IsRectEmpty()) return;
  LensOrigin(m_vw, m_ptStartOrigin, m_ptStart, cursor);
  CRect lens = LensRect(cursor, m_rcBounds, CSize(m_nLensWidth, m_nLensHeight), m_rcScreen);
  lens.OffsetRect(-m_rcScreen.left, -m_rcScreen.top);  // to the window's client coordinates

  CDC* window = GetDC();
  if (!window) return;
  CDC memory;
  if (memory.CreateCompatibleDC(window)) {
    CBitmap* old = memory.SelectObject(&m_bmpWork);
    DPXDrawBitmap(&memory, &m_bmpScreen, 0, 0, SRCCOPY);
    CRgn background;
    CBrush black(RGB(0, 0, 0));
    if (m_vw.GetBackgroundRgn(background)) {
      background.OffsetRgn(lens.left, lens.top);
      memory.FillRgn(&background, &black);
    }
    RECT visible, shown;
    m_vw.GetVisibleWorldRect(visible);
    if (visible.right > visible.left && visible.bottom > visible.top) {
      m_vw.WorldToView(visible.left, visible.top, visible.right, visible.bottom, shown);
      CRect target(shown);
      target.OffsetRect(lens.left, lens.top);
      m_pImage->Paint(&memory, CRect(visible), target, SRCCOPY);
    }
    CPen frame(PS_SOLID, 2, RGB(0, 0, 0));
    CPen* oldPen = memory.SelectObject(&frame);
    memory.MoveTo(lens.left, lens.top);
    memory.LineTo(lens.left, lens.bottom);
    memory.LineTo(lens.right, lens.bottom);
    memory.LineTo(lens.right, lens.top);
    memory.LineTo(lens.left, lens.top);
    memory.SelectObject(oldPen);
    memory.SelectObject(old);
    memory.DeleteDC();
    DPXDrawBitmap(window, &m_bmpWork, 0, 0, SRCCOPY);
  }
  ReleaseDC(window);
}

void CQVMagnifier::OnLButtonUp(UINT, CPoint) {
  if (GetCapture() == this) ReleaseCapture();
  OnCancel();
}

void CQVMagnifier::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  if (state == WA_INACTIVE && m_bCloseOnDeactivate) PostMessage(WM_CLOSE);
  else CQVDialog::OnActivate(state, other, minimized);
}
