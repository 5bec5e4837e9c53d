#include "platform/ui/CControlBar.h"

#include "platform/ui/CFrameWnd.h"
#include "platform/ui/WindowTable.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

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
  CRect r;
  GetWindowRect(&r);
  if (stretch) return horz ? CSize(32767, r.Height()) : CSize(r.Width(), 32767);
  return r.Size();
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
