#include "platform/ui/bars/CControlBar.h"

#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CDockBar.h"
#include "platform/ui/bars/CDockContext.h"
#include "platform/ui/bars/CDockState.h"
#include "platform/ui/internal/WindowTable.h"
#include "platform/ui/win/windc.h"
#include "platform/gdi/gdi.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_NCCALCSIZE()
  ON_WM_NCHITTEST()
  ON_WM_NCPAINT()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_MESSAGE(WM_SETTEXT, &CControlBar::OnSetText)
  ON_MESSAGE(WM_SIZEPARENT, &CControlBar::OnSizeParent)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, &CControlBar::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

namespace {

constexpr int kBorder = 2;     // one CBRS_BORDER_* edge: an etched line
constexpr int kGrip = 3;       // the gripper's raised line
constexpr int kGripSpace = 2;  // around it
constexpr int kGripperBand = kGripSpace + kGrip + kGripSpace;

BOOL IsHorizontal(DWORD style) { return (style & CBRS_ORIENT_HORZ) != 0; }

bool HasGripper(DWORD style) { return (style & (CBRS_GRIPPER | CBRS_FLOATING)) == CBRS_GRIPPER; }

}  // namespace

CControlBar::~CControlBar() {
  if (m_pDockBar) m_pDockBar->DetachControlBar(this);
  if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
  delete m_pDockContext;
}

BOOL CControlBar::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AFX_WNDCONTROLBAR;
  return TRUE;
}

void CControlBar::SetBorders(int left, int top, int right, int bottom) {
  m_cxLeftBorder = left;
  m_cyTopBorder = top;
  m_cxRightBorder = right;
  m_cyBottomBorder = bottom;
}

void CControlBar::EnableDocking(DWORD dockStyle) {
  m_dwDockStyle = dockStyle;
  if (!m_pDockContext) m_pDockContext = new CDockContext(this);
  if (!m_hWndOwner) SetOwner(GetParent());
}

BOOL CControlBar::IsFloating() const {
  if (IsDockBar()) return static_cast<const CDockBar*>(this)->m_bFloating;
  return (m_dwStyle & CBRS_FLOATING) != 0;
}

BOOL CControlBar::IsVisible() const {
  if (m_nStateFlags & delayHide) return FALSE;
  return (m_nStateFlags & delayShow) || (GetStyle() & WS_VISIBLE);
}

void CControlBar::DelayShow(BOOL show) {
  m_nStateFlags &= ~(delayHide | delayShow);
  bool visible = GetStyle() & WS_VISIBLE;
  if (show && !visible) m_nStateFlags |= delayShow;
  else if (!show && visible) m_nStateFlags |= delayHide;
}

CFrameWnd* CControlBar::GetDockingFrame() const {
  CFrameWnd* frame = GetParentFrame();
  return frame ? frame : m_pDockSite;
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* layout) {
  DWORD style = GetStyle();
  UINT change = 0;
  if (m_nStateFlags & delayHide) {
    if (style & WS_VISIBLE) change = SWP_HIDEWINDOW;
    style &= ~WS_VISIBLE;
  } else if (m_nStateFlags & delayShow) {
    if (!(style & WS_VISIBLE)) change = SWP_SHOWWINDOW;
    style |= WS_VISIBLE;
  }
  if (!layout || !layout->hDWP) return style;  // only measuring
  m_nStateFlags &= ~(delayHide | delayShow);
  if (change) {
    layout->hDWP = ::DeferWindowPos(static_cast<HDWP>(layout->hDWP), m_hWnd, nullptr, 0, 0, 0, 0,
                                    change | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return style;
}

CSize CControlBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  CRect inside(0, 0, 0, 0);
  CalcInsideRect(inside, horz);
  CSize size(-inside.Width(), -inside.Height());
  if (stretch && horz) size.cx = 32767;
  if (stretch && !horz) size.cy = 32767;
  return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD mode) {
  return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL horz) const {
  if (m_dwStyle & CBRS_BORDER_LEFT) rect.left += kBorder;
  if (m_dwStyle & CBRS_BORDER_TOP) rect.top += kBorder;
  if (m_dwStyle & CBRS_BORDER_RIGHT) rect.right -= kBorder;
  if (m_dwStyle & CBRS_BORDER_BOTTOM) rect.bottom -= kBorder;
  const int gripper = HasGripper(m_dwStyle) ? kGripperBand : 0;
  if (horz) {
    rect.left += m_cxLeftBorder + gripper;
    rect.top += m_cyTopBorder;
    rect.right -= m_cxRightBorder;
    rect.bottom -= m_cyBottomBorder;
  } else {
    rect.left += m_cyTopBorder;
    rect.top += m_cxLeftBorder + gripper;
    rect.right -= m_cyBottomBorder;
    rect.bottom -= m_cxRightBorder;
  }
}

void CControlBar::DrawBorders(CDC* dc, CRect& rect) {
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  // Each border is an etched line: shadow outside, light inside on the top and left, and the
  // other way round on the bottom and right.
  if (m_dwStyle & CBRS_BORDER_TOP) {
    dc->FillSolidRect(rect.left, rect.top, rect.Width(), 1, shadow);
    dc->FillSolidRect(rect.left, rect.top + 1, rect.Width(), 1, light);
    rect.top += kBorder;
  }
  if (m_dwStyle & CBRS_BORDER_BOTTOM) {
    dc->FillSolidRect(rect.left, rect.bottom - 2, rect.Width(), 1, shadow);
    dc->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, light);
    rect.bottom -= kBorder;
  }
  if (m_dwStyle & CBRS_BORDER_LEFT) {
    dc->FillSolidRect(rect.left, rect.top, 1, rect.Height(), shadow);
    dc->FillSolidRect(rect.left + 1, rect.top, 1, rect.Height(), light);
    rect.left += kBorder;
  }
  if (m_dwStyle & CBRS_BORDER_RIGHT) {
    dc->FillSolidRect(rect.right - 2, rect.top, 1, rect.Height(), shadow);
    dc->FillSolidRect(rect.right - 1, rect.top, 1, rect.Height(), light);
    rect.right -= kBorder;
  }
}

void CControlBar::DrawGripper(CDC* dc, const CRect& rect) {
  if (!HasGripper(m_dwStyle)) return;
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
  // A raised grip, kGrip pixels thick, kGripSpace from the start and from both ends.
  if (IsHorizontal(m_dwStyle))
    dc->Draw3dRect(rect.left + m_cxLeftBorder + kGripSpace, rect.top + m_cyTopBorder + kGripSpace, kGrip,
                   rect.Height() - m_cyTopBorder - m_cyBottomBorder - 2 * kGripSpace, light, shadow);
  else
    dc->Draw3dRect(rect.left + m_cyTopBorder + kGripSpace, rect.top + m_cxLeftBorder + kGripSpace,
                   rect.Width() - m_cyTopBorder - m_cyBottomBorder - 2 * kGripSpace, kGrip, light, shadow);
}

void CControlBar::EraseNonClient() {
  CRect inside;
  GetWindowRect(&inside);
  inside.OffsetRect(-inside.left, -inside.top);
  CWindowDC dc(this);
  dc.ExcludeClipRect(ClientRectInWindow(this));
  DrawBorders(&dc, inside);
  dc.FillSolidRect(&inside, ::GetSysColor(COLOR_BTNFACE));
  DrawGripper(&dc, inside);
}

int CControlBar::ItemFromPoint(CPoint point) const {
  CRect client;
  GetClientRect(&client);
  if (!client.PtInRect(point)) return -1;
  WCHAR name[64] {};
  ::GetClassNameW(m_hWnd, name, 64);
  return CString(name).CompareNoCase(AFX_WNDCONTROLBAR) == 0 ? -1 : 0;
}

int CControlBar::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  CWnd* parent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
  if (parent && parent->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
    m_pDockSite = static_cast<CFrameWnd*>(parent);
    m_pDockSite->AddControlBar(this);
  }
  return 0;
}

void CControlBar::OnDestroy() {
  if (m_pDockBar) {
    m_pDockBar->DetachControlBar(this);
    m_pDockBar = nullptr;
  }
  if (m_pDockSite) {
    m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
  }
  CWnd::OnDestroy();
}

void CControlBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params) {
  CRect inside(params->rgrc[0]);
  CalcInsideRect(inside, IsHorizontal(m_dwStyle));
  inside.right = std::max(inside.left, inside.right);
  inside.bottom = std::max(inside.top, inside.bottom);
  params->rgrc[0] = inside;
}

LRESULT CControlBar::OnNcHitTest(CPoint point) {
  // Borders and gripper count as the bar itself: a press there drags a dockable bar.
  CRect window;
  GetWindowRect(&window);
  return window.PtInRect(point) ? HTCLIENT : HTNOWHERE;
}

void CControlBar::OnNcPaint() { EraseNonClient(); }

void CControlBar::OnLButtonDown(UINT flags, CPoint point) {
  if (m_pDockBar && m_pDockContext && ItemFromPoint(point) < 0) {
    ClientToScreen(&point);
    m_pDockContext->StartDrag(point);
    return;
  }
  CWnd::OnLButtonDown(flags, point);
}

void CControlBar::OnLButtonDblClk(UINT flags, CPoint point) {
  if (m_pDockBar && m_pDockContext && ItemFromPoint(point) < 0) {
    m_pDockContext->ToggleDocking();
    return;
  }
  CWnd::OnLButtonDblClk(flags, point);
}

LRESULT CControlBar::OnSetText(WPARAM, LPARAM) {
  LRESULT result = Default();
  // A floating bar's title is its frame's caption.
  if (!IsDockBar() && m_pDockBar && m_pDockBar->m_bFloating && m_pDockBar->GetDockedCount() == 1) {
    CString text;
    GetWindowText(text);
    m_pDockBar->SetWindowText(text);
    if (CFrameWnd* frame = m_pDockBar->GetParentFrame()) frame->DelayRecalcLayout();
  }
  return result;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
  auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  if (!layout) return 0;
  DWORD style = RecalcDelayShow(layout);
  DWORD align = m_dwStyle & CBRS_ALIGN_ANY;
  if (!(style & WS_VISIBLE) || !align) return 0;
  bool horz = align & CBRS_ORIENT_HORZ;
  TakeRoom(layout, CalcDynamicLayout(-1, (layout->bStretch ? LM_STRETCH : 0) | (horz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK)));
  return 0;
}

void CControlBar::TakeRoom(AFX_SIZEPARENTPARAMS* layout, CSize size) {
  const DWORD align = m_dwStyle & CBRS_ALIGN_ANY;
  const CRect area(layout->rect);
  size.cx = std::clamp<int>(size.cx, 0, std::max(0, area.Width()));
  size.cy = std::clamp<int>(size.cy, 0, std::max(0, area.Height()));
  CRect place(area.TopLeft(), size);
  if (align & CBRS_ORIENT_HORZ) {
    layout->sizeTotal.cy += size.cy;
    layout->sizeTotal.cx = std::max(layout->sizeTotal.cx, size.cx);
    if (align & CBRS_ALIGN_TOP) {
      layout->rect.top += size.cy;
    } else {
      place.OffsetRect(0, area.Height() - size.cy);
      layout->rect.bottom -= size.cy;
    }
  } else {
    layout->sizeTotal.cx += size.cx;
    layout->sizeTotal.cy = std::max(layout->sizeTotal.cy, size.cy);
    if (align & CBRS_ALIGN_LEFT) {
      layout->rect.left += size.cx;
    } else {
      place.OffsetRect(area.Width() - size.cx, 0);
      layout->rect.right -= size.cx;
    }
  }
  if (layout->hDWP) {
    layout->hDWP = ::DeferWindowPos(static_cast<HDWP>(layout->hDWP), m_hWnd, nullptr, place.left, place.top,
                                    place.Width(), place.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if (!IsVisible()) return 0;
  CWnd* owner = GetOwner();
  CFrameWnd* target = owner && owner->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(owner) : m_pDockSite;
  if (target) OnUpdateCmdUI(target, static_cast<BOOL>(wParam));
  return 0;
}

void CControlBar::GetBarInfo(CControlBarInfo* info) {
  info->m_nBarID = static_cast<UINT>(GetDlgCtrlID());
  info->m_bVisible = IsVisible();
  info->m_bFloating = IsFloating();
  info->m_bHorz = IsHorizontal(m_dwStyle);
  info->m_bDockBar = IsDockBar();
  CRect place;
  GetWindowRect(&place);
  if (CWnd* parent = GetParent()) parent->ScreenToClient(&place);
  info->m_pointPos = place.TopLeft();
  if (m_pDockContext) {
    info->m_uMRUDockID = m_pDockContext->m_uMRUDockID;
    info->m_rectMRUDockPos = m_pDockContext->m_rectMRUDockPos;
    info->m_dwMRUFloatStyle = m_pDockContext->m_dwMRUFloatStyle;
    info->m_ptMRUFloatPos = m_pDockContext->m_ptMRUFloatPos;
    info->m_bMRUFloatPosSet = m_pDockContext->m_bMRUFloatPosSet;
  }
}

void CControlBar::SetBarInfo(CControlBarInfo* info, CFrameWnd*) {
  if (m_pDockContext) {
    m_pDockContext->m_uMRUDockID = info->m_uMRUDockID;
    m_pDockContext->m_rectMRUDockPos = info->m_rectMRUDockPos;
    m_pDockContext->m_dwMRUFloatStyle = info->m_dwMRUFloatStyle;
    m_pDockContext->m_ptMRUFloatPos = info->m_ptMRUFloatPos;
    m_pDockContext->m_bMRUFloatPosSet = info->m_bMRUFloatPosSet;
  }
  m_nStateFlags &= ~(delayHide | delayShow);
  const bool visible = GetStyle() & WS_VISIBLE;
  if (bool(info->m_bVisible) != visible)
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                                          (info->m_bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}
