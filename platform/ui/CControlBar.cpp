#include "platform/ui/CControlBar.h"

#include "platform/gdi/CDC.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/WindowTable.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

namespace {

constexpr int kBorder = 2;     // one CBRS_BORDER_* edge
constexpr int kGrip = 3;       // the gripper's raised line
constexpr int kGripSpace = 2;  // around it
constexpr int kGripperBand = kGripSpace + kGrip + kGripSpace;

}  // namespace

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_SIZEPARENT, &CControlBar::OnSizeParent)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, &CControlBar::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::~CControlBar() {
  if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
}

BOOL CControlBar::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AFX_WNDCONTROLBAR;
  return TRUE;
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
  if (m_pDockSite) {
    m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
  }
  CWnd::OnDestroy();
}

CSize CControlBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  return CSize(stretch && horz ? 32767 : 0, stretch && !horz ? 32767 : 0);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL horz) const {
  if (m_dwStyle & CBRS_BORDER_LEFT) rect.left += kBorder;
  if (m_dwStyle & CBRS_BORDER_TOP) rect.top += kBorder;
  if (m_dwStyle & CBRS_BORDER_RIGHT) rect.right -= kBorder;
  if (m_dwStyle & CBRS_BORDER_BOTTOM) rect.bottom -= kBorder;
  const bool gripper = (m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) == CBRS_GRIPPER;
  if (horz) {
    rect.left += m_cxLeftBorder + (gripper ? kGripperBand : 0);
    rect.top += m_cyTopBorder;
    rect.right -= m_cxRightBorder;
    rect.bottom -= m_cyBottomBorder;
  } else {
    rect.left += m_cyTopBorder;
    rect.top += m_cxLeftBorder + (gripper ? kGripperBand : 0);
    rect.right -= m_cyBottomBorder;
    rect.bottom -= m_cxRightBorder;
  }
}

void CControlBar::DrawBorders(CDC* dc, CRect& rect) {
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
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
  if ((m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) != CBRS_GRIPPER) return;
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  // A raised grip, kGrip pixels thick, kGripSpace from the start and from both ends.
  if (m_dwStyle & CBRS_ORIENT_HORZ)
    dc->Draw3dRect(rect.left + m_cxLeftBorder + kGripSpace, rect.top + m_cyTopBorder + kGripSpace, kGrip,
                   rect.Height() - m_cyTopBorder - m_cyBottomBorder - 2 * kGripSpace, light, shadow);
  else
    dc->Draw3dRect(rect.left + m_cyTopBorder + kGripSpace, rect.top + m_cxLeftBorder + kGripSpace,
                   rect.Width() - m_cyTopBorder - m_cyBottomBorder - 2 * kGripSpace, kGrip, light, shadow);
}

CSize CControlBar::CalcDynamicLayout(int, DWORD mode) {
  return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
  auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  DWORD align = m_dwStyle & CBRS_ALIGN_ANY;
  if (!layout || !IsVisible() || !align) return 0;
  CRect area(layout->rect);
  bool horz = align & CBRS_ORIENT_HORZ;
  CSize size = CalcDynamicLayout(-1, (layout->bStretch ? LM_STRETCH : 0) | (horz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK));
  size.cx = std::max(0, std::min<int>(size.cx, area.Width()));
  size.cy = std::max(0, std::min<int>(size.cy, area.Height()));
  CRect place(area.TopLeft(), size);
  if (horz) {
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
  MoveWindow(&place, TRUE);
  return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if (!IsVisible()) return 0;
  CWnd* owner = GetOwner();
  CFrameWnd* target = owner && owner->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(owner) : m_pDockSite;
  if (target) OnUpdateCmdUI(target, static_cast<BOOL>(wParam));
  return 0;
}
