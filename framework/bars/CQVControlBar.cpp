// CQVControlBar: creation, the stored sizes, the non-client area (edges, hit test, painting),
// messages and the layout answers. Row sharing is in CQVControlBarRow.cpp, edge drags in
// CQVControlBarTracking.cpp.

#include "framework/bars/CQVControlBar.h"

#include "framework/bars/CQVDockContext.h"
#include "framework/bars/CQVMiniDockFrameWnd.h"
#include "platform/core/CArchive.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CDockBar.h"
#include "platform/ui/win/windc.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CQVControlBar, CControlBar)

BEGIN_MESSAGE_MAP(CQVControlBar, CControlBar)
  ON_WM_NCCALCSIZE()
  ON_WM_NCHITTEST()
  ON_WM_NCPAINT()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_RBUTTONDOWN()
  ON_WM_CAPTURECHANGED()
  ON_WM_MOUSEACTIVATE()
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_WINDOWPOSCHANGING()
  ON_WM_CLOSE()
END_MESSAGE_MAP()

namespace {

constexpr int kLargest = 32767;  // no remembered size grows beyond this

bool IsDockBarId(UINT id) { return id >= AFX_IDW_DOCKBAR_TOP && id <= AFX_IDW_DOCKBAR_BOTTOM; }

}  // namespace

BOOL CQVControlBar::Create(LPCWSTR title, CWnd* parent, UINT id, DWORD style) {
  m_dwStyle = style & CBRS_ALL;
  return CWnd::Create(nullptr, title, (style & ~CBRS_ALL) | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), parent, id);
}

void CQVControlBar::EnableDocking(DWORD dockStyle) {
  m_dwDockStyle = dockStyle;
  if (!m_pDockContext) m_pDockContext = new CQVDockContext(this);
  if (!m_hWndOwner) SetOwner(GetParent());
  // A frame still on the platform's own floating frame floats sizing bars in ours, which keeps
  // their floating size and lets them be resized like any window; other bars lose nothing by it.
  if (m_pDockSite && m_pDockSite->m_pFloatingFrameClass == RUNTIME_CLASS(CMiniDockFrameWnd))
    m_pDockSite->m_pFloatingFrameClass = RUNTIME_CLASS(CQVMiniDockFrameWnd);
}

void CQVControlBar::Serialized(CArchive& ar) {
  CSize* sizes[] = {&m_szHorz, &m_szVert, &m_szFloat};
  const CSize* minimums[] = {&m_szMinHorz, &m_szMinVert, &m_szMinFloat};
  if (ar.IsStoring()) {
    for (const CSize* s : sizes) ar << static_cast<int>(s->cx) << static_cast<int>(s->cy);
    return;
  }
  int values[6] {};
  for (int& v : values) ar >> v;
  for (int i = 0; i < 3; ++i) {
    sizes[i]->cx = std::clamp<int>(values[2 * i], std::min<int>(minimums[i]->cx, kLargest), kLargest);
    sizes[i]->cy = std::clamp<int>(values[2 * i + 1], std::min<int>(minimums[i]->cy, kLargest), kLargest);
  }
}

BOOL CQVControlBar::IsSideTracking() const {
  return IsHorzDocked() ? (m_htEdge == HTLEFT || m_htEdge == HTRIGHT) : (m_htEdge == HTTOP || m_htEdge == HTBOTTOM);
}

// ---- Non-client area ----------------------------------------------------------------------------

void CQVControlBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params) {
  // A floating frame still on its four-way border becomes an ordinary resizable one.
  if (IsFloating() && m_pDockBar && m_pDockBar->m_bFloating) {
    if (CWnd* frame = m_pDockBar->GetParent(); frame && (frame->GetStyle() & MFS_4THICKFRAME)) {
      frame->ModifyStyle(MFS_4THICKFRAME, 0);
      GetParent()->ModifyStyle(0, WS_CLIPCHILDREN);
    }
  }
  m_dwSCBStyle &= ~SCBS_EDGEALL;
  if (!IsFloating()) {
    const BOOL horz = IsHorzDocked();
    const std::vector<CQVControlBar*> row = RowSizingBars();
    const auto at = std::find(row.begin(), row.end(), this);
    if (at != row.end()) {
      if (at != row.begin()) m_dwSCBStyle |= horz ? SCBS_EDGELEFT : SCBS_EDGETOP;
      if (at + 1 != row.end()) m_dwSCBStyle |= horz ? SCBS_EDGERIGHT : SCBS_EDGEBOTTOM;
    }
  }
  NcCalcClient(&params->rgrc[0], m_nDockBarID);
}

void CQVControlBar::NcCalcClient(LPRECT rect, UINT dockSide) {
  CRect client(rect);
  if (dockSide == AFX_IDW_DOCKBAR_FLOAT) client.DeflateRect(3, 5, 3, 3);
  else client.DeflateRect(5, 5, 5, 5);
  switch (dockSide) {
  case AFX_IDW_DOCKBAR_TOP: m_dwSCBStyle |= SCBS_EDGEBOTTOM; break;
  case AFX_IDW_DOCKBAR_LEFT: m_dwSCBStyle |= SCBS_EDGERIGHT; break;
  case AFX_IDW_DOCKBAR_RIGHT: m_dwSCBStyle |= SCBS_EDGELEFT; break;
  case AFX_IDW_DOCKBAR_BOTTOM: m_dwSCBStyle |= SCBS_EDGETOP; break;
  default: break;
  }
  if (m_dwSCBStyle & SCBS_SHOWEDGES) {
    if (m_dwSCBStyle & SCBS_EDGELEFT) client.left += m_cxEdge;
    if (m_dwSCBStyle & SCBS_EDGETOP) client.top += m_cxEdge;
    if (m_dwSCBStyle & SCBS_EDGERIGHT) client.right -= m_cxEdge;
    if (m_dwSCBStyle & SCBS_EDGEBOTTOM) client.bottom -= m_cxEdge;
  }
  client.right = std::max(client.left, client.right);
  client.bottom = std::max(client.top, client.bottom);
  *rect = client;
}

CRect CQVControlBar::EdgeRect(UINT hit) const {
  DWORD bit = 0;
  switch (hit) {
  case HTLEFT: bit = SCBS_EDGELEFT; break;
  case HTRIGHT: bit = SCBS_EDGERIGHT; break;
  case HTTOP: bit = SCBS_EDGETOP; break;
  case HTBOTTOM: bit = SCBS_EDGEBOTTOM; break;
  default: return CRect();
  }
  if (!(m_dwSCBStyle & bit)) return CRect();
  CRect window;
  GetWindowRect(&window);
  window.OffsetRect(-window.left, -window.top);
  if (m_dwSCBStyle & SCBS_SHOWEDGES) window.DeflateRect(1, 1);
  CRect edge = window;
  switch (hit) {
  case HTLEFT: edge.right = edge.left + m_cxEdge; break;
  case HTRIGHT: edge.left = edge.right - m_cxEdge; break;
  case HTTOP: edge.bottom = edge.top + m_cxEdge; break;
  default: edge.top = edge.bottom - m_cxEdge; break;
  }
  // Edges that run along the row stop short of the corners unless the row runs their way.
  if ((hit == HTTOP || hit == HTBOTTOM) && !IsHorzDocked()) edge.DeflateRect(m_cxEdge, 0);
  if ((hit == HTLEFT || hit == HTRIGHT) && !IsVertDocked()) edge.DeflateRect(0, m_cxEdge);
  return edge;
}

LRESULT CQVControlBar::OnNcHitTest(CPoint point) {
  CRect window;
  GetWindowRect(&window);
  if (IsFloating()) return HTCLIENT;
  const CPoint at(point.x - window.left, point.y - window.top);
  for (UINT hit : {UINT(HTLEFT), UINT(HTTOP), UINT(HTRIGHT), UINT(HTBOTTOM)})
    if (EdgeRect(hit).PtInRect(at)) return hit;
  return HTCLIENT;
}

void CQVControlBar::OnNcPaint() {
  CRect window;
  GetWindowRect(&window);
  window.OffsetRect(-window.left, -window.top);
  CWindowDC windowDc(this);
  CDC dc;
  CBitmap bitmap;
  if (!dc.CreateCompatibleDC(&windowDc) || !bitmap.CreateCompatibleBitmap(&windowDc, window.Width(), window.Height()))
    return;
  CBitmap* old = dc.SelectObject(&bitmap);
  CRect inside = window;
  DrawBorders(&dc, inside);
  dc.FillSolidRect(&inside, ::GetSysColor(COLOR_BTNFACE));
  if (m_dwSCBStyle & SCBS_SHOWEDGES) {
    for (UINT hit : {UINT(HTLEFT), UINT(HTTOP), UINT(HTRIGHT), UINT(HTBOTTOM)}) {
      const CRect edge = EdgeRect(hit);
      if (!edge.IsRectEmpty()) dc.Draw3dRect(&edge, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    }
  }
  const CRect client = ClientRectInWindow(this);
  NcPaintGripper(&dc, client);
  windowDc.ExcludeClipRect(&client);
  windowDc.BitBlt(0, 0, window.Width(), window.Height(), &dc, 0, 0, SRCCOPY);
  dc.SelectObject(old);
}

// ---- Messages -----------------------------------------------------------------------------------

void CQVControlBar::OnNcLButtonDown(UINT hit, CPoint point) {
  if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT && !IsFloating() && !m_bTracking) {
    StartTracking(hit, point);
    return;
  }
  CControlBar::OnNcLButtonDown(hit, point);
}

void CQVControlBar::OnMouseMove(UINT flags, CPoint point) {
  if (m_bTracking) {
    CPoint screen = point;
    ClientToScreen(&screen);
    OnTrackUpdateSize(screen);
  }
  CControlBar::OnMouseMove(flags, point);
}

void CQVControlBar::OnLButtonUp(UINT flags, CPoint point) {
  if (m_bTracking) StopTracking();
  CControlBar::OnLButtonUp(flags, point);
}

void CQVControlBar::OnRButtonDown(UINT flags, CPoint point) {
  if (m_bTracking) StopTracking();
  CControlBar::OnRButtonDown(flags, point);
}

void CQVControlBar::OnCaptureChanged(CWnd* wnd) {
  if (m_bTracking && (!wnd || wnd->GetSafeHwnd() != m_hWnd)) StopTracking();
  if (IsFloating() && wnd && wnd->GetSafeHwnd() != m_hWnd) wnd->BringWindowToTop();
  CControlBar::OnCaptureChanged(wnd);
}

int CQVControlBar::OnMouseActivate(CWnd* topParent, UINT hit, UINT message) {
  if (IsFloating() && hit >= HTLEFT && hit <= HTBOTTOMRIGHT) return MA_NOACTIVATE;
  const int result = CControlBar::OnMouseActivate(topParent, hit, message);
  if (topParent) topParent->SetForegroundWindow();
  return result;
}

void CQVControlBar::OnPaint() { ValidateRect(nullptr); }

void CQVControlBar::OnSize(UINT type, int cx, int cy) {
  CControlBar::OnSize(type, cx, cy);
  if (!(m_dwSCBStyle & SCBS_SIZECHILD)) return;
  if (CWnd* child = GetWindow(GW_CHILD)) child->MoveWindow(0, 0, cx, cy);
}

void CQVControlBar::OnWindowPosChanging(WINDOWPOS* pos) {
  pos->flags |= SWP_FRAMECHANGED;
  CControlBar::OnWindowPosChanging(pos);
  CWnd* parent = GetParent();
  m_nDockBarID = parent ? static_cast<UINT>(parent->GetDlgCtrlID()) : 0;
  if (!IsDockBarId(m_nDockBarID) && m_nDockBarID != AFX_IDW_DOCKBAR_FLOAT) m_nDockBarID = 0;
  if (!IsFloating() && (pos->flags & SWP_SHOWWINDOW)) m_bKeepSize = TRUE;
}

// ---- Layout -------------------------------------------------------------------------------------

CSize CQVControlBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  if (stretch) return horz ? CSize(kLargest, m_szHorz.cy) : CSize(m_szVert.cx, kLargest);
  // Shows and hides that wait for this layout are applied by the dock bar before it measures a
  // bar, and IsVisible counts those still waiting: the row is seen as it will be.
  if (m_pDockBar && !IsFloating()) {
    CRect room = m_pDockBar->m_rectLayout;
    if (room.IsRectEmpty() && m_pDockSite) m_pDockSite->GetClientRect(&room);
    // The row's bars overlap by 2 pixels and reach 2 past either end of the dock bar.
    const int total = (horz ? room.Width() : room.Height()) + 2;
    const std::vector<CQVControlBar*> row = RowSizingBars();
    if (m_bParentSizing && IsVisible() && !row.empty() && row.front() == this) {
      if (NegotiateSpace(total, horz)) AlignControlBars();
    }
  }
  m_bParentSizing = FALSE;
  const CSize size = horz ? m_szHorz : m_szVert;
  const CSize least = horz ? m_szMinHorz : m_szMinVert;
  return CSize(std::max(size.cx, least.cx), std::max(size.cy, least.cy));
}

CSize CQVControlBar::CalcDynamicLayout(int length, DWORD mode) {
  if (mode & (LM_HORZDOCK | LM_VERTDOCK)) {
    if (length == -1) m_bParentSizing = TRUE;
    return CControlBar::CalcDynamicLayout(length, mode);
  }
  if (mode & (LM_MRUWIDTH | LM_COMMIT)) return m_szFloat;
  const int hit = m_pDockContext ? m_pDockContext->m_nHitTest : 0;
  const bool cornerResize = IsFloating() && m_pDockContext && !m_pDockContext->m_bDragging &&
                            (hit == HTTOPLEFT || hit == HTTOPRIGHT || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT);
  if (cornerResize) {
    CRect bar, frame;
    GetWindowRect(&bar);
    GetParentFrame()->GetWindowRect(&frame);
    CPoint cursor;
    ::GetCursorPos(&cursor);
    CRect& dragged = m_pDockContext->m_rectFrameDragHorz;
    if (hit == HTTOPLEFT || hit == HTBOTTOMLEFT) {
      m_szFloat.cx = bar.Width() - (cursor.x - frame.left);
      dragged.left = std::min<int>(cursor.x, frame.left + bar.Width() - m_szMinFloat.cx);
    }
    if (hit == HTTOPLEFT || hit == HTTOPRIGHT) {
      m_szFloat.cy = bar.Height() - (cursor.y - frame.top);
      dragged.top = std::min<int>(cursor.y, frame.top + bar.Height() - m_szMinFloat.cy);
    }
    if (hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT) m_szFloat.cx = bar.Width() + (cursor.x - frame.right);
    if (hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT) m_szFloat.cy = bar.Height() + (cursor.y - frame.bottom);
  } else if (mode & LM_LENGTHY) {
    m_szFloat.cy = length;
  } else {
    m_szFloat.cx = length;
  }
  m_szFloat.cx = std::max(m_szFloat.cx, m_szMinFloat.cx);
  m_szFloat.cy = std::max(m_szFloat.cy, m_szMinFloat.cy);
  return m_szFloat;
}
