#include "platform/ui/afx/CFrameWnd.h"

#include "platform/ui/afx/CDocument.h"
#include "platform/ui/afx/CMenu.h"
#include "platform/ui/afx/CView.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/bars/CControlBar.h"
#include "platform/ui/bars/CDockBar.h"
#include "platform/ui/bars/CDockContext.h"
#include "platform/ui/bars/CDockState.h"
#include "platform/ui/bars/CMiniFrameWnd.h"
#include "platform/ui/internal/WindowTable.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_WM_ACTIVATE()
  ON_WM_INITMENUPOPUP()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, &CFrameWnd::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

CFrameWnd::CFrameWnd() : m_pFloatingFrameClass(RUNTIME_CLASS(CMiniDockFrameWnd)) {}

BOOL CFrameWnd::Create(LPCWSTR className, LPCWSTR title, DWORD style, const RECT& rect, CWnd* parent, LPCWSTR,
                       DWORD exStyle, CCreateContext* context) {
  m_strTitle = title;
  bool placeByDesktop = CRect(rect) == rectDefault;
  int x = placeByDesktop ? CW_USEDEFAULT : rect.left;
  int y = placeByDesktop ? CW_USEDEFAULT : rect.top;
  int cx = placeByDesktop ? CW_USEDEFAULT : rect.right - rect.left;
  int cy = placeByDesktop ? CW_USEDEFAULT : rect.bottom - rect.top;
  return CreateEx(exStyle, className, title, style, x, y, cx, cy, parent ? parent->GetSafeHwnd() : nullptr, nullptr,
                  context);
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
  m_nIDHelp = resourceId;
  if (!Create(nullptr, m_strTitle, style, rectDefault, parent, nullptr, 0, context)) return FALSE;
  if (!context) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
  return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AFX_WNDFRAMEORVIEW;
  return TRUE;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
  if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && m_hAccelTable)
    return ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, msg);
  return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CView* view = GetActiveView(); view && view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

int CFrameWnd::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  if (!OnCreateClient(cs, static_cast<CCreateContext*>(cs->lpCreateParams))) return -1;
  RecalcLayout();
  return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* context) {
  if (context && context->m_pNewViewClass) return CreateView(context, AFX_IDW_PANE_FIRST) != nullptr;
  return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
  CObject* object = context->m_pNewViewClass->CreateObject();
  auto* view = dynamic_cast<CWnd*>(object);
  if (!view) {
    delete object;
    return nullptr;
  }
  // A view that fails to be made has deleted itself with its window.
  if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, id, context))
    return nullptr;
  return view;
}

namespace {

// An empty dock bar has no thickness; a drag this close to its edge still reaches it.
constexpr int kEmptyDockReach = 4;

bool IsFrameDockBarId(UINT id) { return id >= AFX_IDW_DOCKBAR_TOP && id <= AFX_IDW_DOCKBAR_FLOAT; }

BOOL TellFloatingFrame(HWND hwnd, LPARAM owner) {
  if (::GetWindow(hwnd, GW_OWNER) == reinterpret_cast<HWND>(owner)) ::SendMessageW(hwnd, WM_FLOATSTATUS, FS_SYNCACTIVE, 0);
  return TRUE;
}

}  // namespace

void CFrameWnd::RecalcLayout(BOOL) {
  if (m_bInRecalcLayout) return;
  m_bInRecalcLayout = TRUE;
  m_bLayoutPending = FALSE;
  AFX_SIZEPARENTPARAMS layout {::BeginDeferWindowPos(8), {}, {0, 0}, TRUE};
  GetClientRect(&layout.rect);
  auto give = [&](HWND child) {
    if (child && FromHandlePermanent(child)) ::SendMessageW(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
  };
  give(::GetDlgItem(m_hWnd, AFX_IDW_STATUS_BAR));
  HWND view = nullptr;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
    if (id == AFX_IDW_PANE_FIRST) view = child;
    else if (id != AFX_IDW_STATUS_BAR && !IsFrameDockBarId(id)) give(child);
  }
  for (const DockBarSide& side : kDockBarSides) give(::GetDlgItem(m_hWnd, static_cast<int>(side.id)));
  if (view) {
    CRect rest(layout.rect);
    rest.NormalizeRect();
    layout.hDWP = ::DeferWindowPos(static_cast<HDWP>(layout.hDWP), view, nullptr, rest.left, rest.top,
                                   std::max(0, rest.Width()), std::max(0, rest.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (layout.hDWP) ::EndDeferWindowPos(static_cast<HDWP>(layout.hDWP));
  m_bInRecalcLayout = FALSE;
}

void CFrameWnd::DelayRecalcLayout(BOOL) { m_bLayoutPending = TRUE; }

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
  if (m_bLayoutPending) RecalcLayout();
  return 0;
}

void CFrameWnd::ActivateFrame(int cmdShow) {
  if (cmdShow == -1) cmdShow = !IsWindowVisible() ? SW_SHOWNORMAL : IsIconic() ? SW_RESTORE : SW_SHOW;
  if (cmdShow != SW_HIDE && !IsIconic()) BringWindowToTop();
  ShowWindow(cmdShow);
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL makeVisible) {
  CView* view = nullptr;
  if (!GetActiveView()) {
    CWnd* pane = GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE);
    if (pane && pane->IsKindOf(RUNTIME_CLASS(CView))) {
      view = static_cast<CView*>(pane);
      SetActiveView(view, FALSE);
    }
  }
  if (!makeVisible) return;
  SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
  int cmdShow = -1;
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    cmdShow = app->m_nCmdShow;
    app->m_nCmdShow = -1;  // the program's show command applies to its first frame only
  }
  ActivateFrame(cmdShow);
  if (view) view->OnActivateView(TRUE, view, view);
}

void CFrameWnd::SetActiveView(CView* view, BOOL notify) {
  CView* old = m_pViewActive;
  if (view == old) return;
  m_pViewActive = view;
  if (notify && old) old->OnActivateView(FALSE, view, old);
  if (notify && view) view->OnActivateView(TRUE, view, old);
}

CDocument* CFrameWnd::GetActiveDocument() { return m_pViewActive ? m_pViewActive->GetDocument() : nullptr; }

void CFrameWnd::SetTitle(LPCWSTR title) {
  m_strTitle = title;
  if (m_hWnd) SetWindowText(m_strTitle);
}

void CFrameWnd::ShowControlBar(CControlBar* bar, BOOL show, BOOL delay) {
  if (!bar || !bar->GetSafeHwnd()) return;
  CFrameWnd* frame = bar->GetDockingFrame();
  if (!frame) frame = this;
  bar->DelayShow(show);
  if (delay) frame->DelayRecalcLayout();
  else frame->RecalcLayout();
}

CControlBar* CFrameWnd::GetControlBar(UINT id) const {
  for (CControlBar* bar : m_listControlBars)
    if (bar->GetSafeHwnd() && static_cast<UINT>(bar->GetDlgCtrlID()) == id) return bar;
  return nullptr;
}

void CFrameWnd::AddControlBar(CControlBar* bar) {
  if (std::find(m_listControlBars.begin(), m_listControlBars.end(), bar) == m_listControlBars.end())
    m_listControlBars.push_back(bar);
}

void CFrameWnd::RemoveControlBar(CControlBar* bar) {
  m_listControlBars.erase(std::remove(m_listControlBars.begin(), m_listControlBars.end(), bar),
                          m_listControlBars.end());
}

void CFrameWnd::EnableDocking(DWORD dockStyle) {
  for (const DockBarSide& side : kDockBarSides) {
    if (!(dockStyle & side.align) || GetControlBar(side.id)) continue;
    auto* dockBar = new CDockBar;
    if (!dockBar->Create(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | side.align, side.id)) {
      delete dockBar;
      continue;
    }
    dockBar->m_bAutoDelete = TRUE;  // from now on it goes with its window
  }
}

void CFrameWnd::DockControlBar(CControlBar* bar, UINT dockBarId, LPCRECT rect) {
  CDockBar* dockBar = nullptr;
  if (dockBarId) {
    CControlBar* found = GetControlBar(dockBarId);
    if (!found || !found->IsDockBar()) return;
    dockBar = static_cast<CDockBar*>(found);
  }
  DockControlBar(bar, dockBar, rect);
}

void CFrameWnd::DockControlBar(CControlBar* bar, CDockBar* dockBar, LPCRECT rect) {
  if (!bar || !bar->GetSafeHwnd()) return;
  for (const DockBarSide& side : kDockBarSides) {
    if (dockBar) break;
    if (!(bar->m_dwDockStyle & side.align)) continue;
    CControlBar* found = GetControlBar(side.id);
    if (found && found->IsDockBar()) dockBar = static_cast<CDockBar*>(found);
  }
  if (!dockBar) return;
  dockBar->DockControlBar(bar, rect);
  RecalcLayout();
  // Remembered as the place a double click docks the bar again.
  UINT id = static_cast<UINT>(dockBar->GetDlgCtrlID());
  if (bar->m_pDockContext && bar->m_pDockBar == dockBar && id >= AFX_IDW_DOCKBAR_TOP && id <= AFX_IDW_DOCKBAR_BOTTOM) {
    CRect place;
    bar->GetWindowRect(&place);
    dockBar->ScreenToClient(&place);
    bar->m_pDockContext->m_uMRUDockID = id;
    bar->m_pDockContext->m_rectMRUDockPos = place;
  }
}

void CFrameWnd::FloatControlBar(CControlBar* bar, CPoint point, DWORD style) {
  if (!bar || !bar->GetSafeHwnd()) return;
  const DWORD orientation = (style & CBRS_ORIENT_VERT) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
  CMiniDockFrameWnd* frame = nullptr;
  CDockBar* current = bar->m_pDockBar;
  if (current && current->m_bFloating && current->GetDockedCount() == 1 && (current->m_dwStyle & orientation)) {
    frame = dynamic_cast<CMiniDockFrameWnd*>(current->GetParentFrame());
  }
  // The frame sizes a bar that sizes itself, and moves one that does not.
  if (!frame) frame = CreateFloatingFrame(style | (bar->m_dwStyle & CBRS_SIZE_DYNAMIC));
  if (!frame) return;
  frame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  frame->m_wndDockBar.DockControlBar(bar);
  frame->RecalcLayout();
  RecalcLayout();
  if (CDockContext* context = bar->m_pDockContext) {
    context->m_ptMRUFloatPos = point;
    context->m_bMRUFloatPosSet = TRUE;
    context->m_dwMRUFloatStyle = style;
  }
}

CMiniDockFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD style) {
  CObject* made = m_pFloatingFrameClass ? m_pFloatingFrameClass->CreateObject() : nullptr;
  auto* frame = dynamic_cast<CMiniDockFrameWnd*>(made);
  if (!frame) {
    delete made;
    return nullptr;
  }
  // A frame that fails deletes itself with its window.
  return frame->Create(this, style) ? frame : nullptr;
}

DWORD CFrameWnd::CanDock(CRect rect, DWORD dockStyle, CDockBar** dockBarOut) {
  for (const DockBarSide& side : kDockBarSides) {
    if (!(dockStyle & side.align)) continue;
    CControlBar* found = GetControlBar(side.id);
    if (!found || !found->IsDockBar()) continue;
    auto* dockBar = static_cast<CDockBar*>(found);
    CRect reach;
    dockBar->GetWindowRect(&reach);
    if (dockBar->GetDockedVisibleCount() == 0) {
      if (side.align & CBRS_ORIENT_HORZ) reach.InflateRect(0, kEmptyDockReach);
      else reach.InflateRect(kEmptyDockReach, 0);
    }
    CRect common;
    if (common.IntersectRect(&reach, &rect)) {
      if (dockBarOut) *dockBarOut = dockBar;
      return side.align;
    }
  }
  if (dockBarOut) *dockBarOut = nullptr;
  return 0;
}

void CFrameWnd::GetDockState(CDockState& state) const {
  state.Clear();
  for (CControlBar* bar : m_listControlBars) {
    if (!bar->GetSafeHwnd() || !bar->GetDlgCtrlID()) continue;
    if (bar->IsDockBar() && static_cast<CDockBar*>(bar)->GetDockedCount() == 0) continue;
    auto* info = new CControlBarInfo;
    bar->GetBarInfo(info);
    state.m_arrBarInfo.Add(info);
  }
}

void CFrameWnd::SetDockState(const CDockState& state) {
  const auto& records = state.m_arrBarInfo;
  // Slots name bars by ID; the high word of an ID is no part of it.
  auto barOf = [this](UINT id) -> CControlBar* {
    CControlBar* bar = id ? GetControlBar(id & 0xFFFF) : nullptr;
    return bar && !bar->IsDockBar() ? bar : nullptr;
  };
  auto recordOf = [&records](const CControlBar* bar) -> const CControlBarInfo* {
    for (INT_PTR i = 0; i < records.GetSize(); ++i)
      if (!records[i]->m_bDockBar && records[i]->m_nBarID == static_cast<UINT>(bar->GetDlgCtrlID())) return records[i];
    return nullptr;
  };
  for (INT_PTR i = 0; i < records.GetSize(); ++i) records[i]->m_pBar = records[i]->m_bDockBar ? nullptr : barOf(records[i]->m_nBarID);

  std::vector<HWND> floatingFrames;
  for (INT_PTR i = 0; i < records.GetSize(); ++i) {
    const CControlBarInfo& info = *records[i];
    if (!info.m_bDockBar) continue;
    std::vector<CControlBar*> bars;
    for (INT_PTR k = 0; k < info.m_arrBarID.GetSize(); ++k)
      if (CControlBar* bar = barOf(info.m_arrBarID[k])) bars.push_back(bar);
    if (bars.empty()) continue;
    CDockBar* dockBar = nullptr;
    if (info.m_bFloating) {
      DWORD style = (info.m_bHorz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT) | (bars.front()->m_dwStyle & CBRS_SIZE_DYNAMIC);
      if (bars.size() > 1) style |= CBRS_FLOAT_MULTI;
      CMiniDockFrameWnd* frame = CreateFloatingFrame(style);
      if (!frame) continue;
      frame->SetWindowPos(nullptr, info.m_pointPos.x, info.m_pointPos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      floatingFrames.push_back(frame->GetSafeHwnd());
      dockBar = &frame->m_wndDockBar;
    } else {
      CControlBar* found = GetControlBar(info.m_nBarID);
      if (!found || !found->IsDockBar() || static_cast<CDockBar*>(found)->m_bFloating) continue;
      dockBar = static_cast<CDockBar*>(found);
    }
    BOOL newRow = TRUE;
    for (INT_PTR k = 0; k < info.m_arrBarID.GetSize(); ++k) {
      CControlBar* bar = barOf(info.m_arrBarID[k]);
      if (!info.m_arrBarID[k]) newRow = TRUE;
      if (!bar) continue;
      const CControlBarInfo* own = recordOf(bar);
      dockBar->AppendControlBar(bar, newRow, own ? own->m_pointPos : CPoint(-2, -2));
      newRow = FALSE;
    }
  }
  for (INT_PTR i = 0; i < records.GetSize(); ++i)
    if (CControlBarInfo* info = records[i]; info->m_pBar) info->m_pBar->SetBarInfo(info, this);
  RecalcLayout();
  for (HWND hwnd : floatingFrames) {
    // A later record may have taken a frame's bars (and with them the frame) away.
    auto* frame = ::IsWindow(hwnd) ? dynamic_cast<CMiniDockFrameWnd*>(FromHandlePermanent(hwnd)) : nullptr;
    if (frame) frame->RecalcLayout();
  }
  for (INT_PTR i = 0; i < records.GetSize(); ++i) records[i]->m_pBar = nullptr;
}

void CFrameWnd::OnClose() {
  CDocument* doc = GetActiveDocument();
  if (doc && !doc->CanCloseFrame(this)) return;
  HWND self = m_hWnd;
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    if (!doc && !app->SaveAllModified()) return;
    // Closing the documents destroys their frames, this one among them.
    app->CloseAllDocuments(FALSE);
    if (!::IsWindow(self)) return;
  } else if (doc && doc->m_bAutoDelete && doc->GetViewCount() == 1) {
    doc->OnCloseDocument();
    return;
  }
  DestroyWindow();
}

void CFrameWnd::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  if (type != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  CWnd::OnActivate(state, other, minimized);
  // Floating frames that follow this frame's activation draw their captions again.
  ::EnumWindows(&TellFloatingFrame, reinterpret_cast<LPARAM>(m_hWnd));
}

void CFrameWnd::OnSetFocus(CWnd* old) {
  if (m_pViewActive && m_pViewActive->GetSafeHwnd()) m_pViewActive->SetFocus();
  else CWnd::OnSetFocus(old);
}

void CFrameWnd::OnInitMenuPopup(CMenu* popup, UINT, BOOL sysMenu) {
  if (sysMenu || !popup) return;
  CCmdUI state;
  state.m_pMenu = popup;
  state.m_nIndexMax = popup->GetMenuItemCount();
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = popup->GetMenuItemID(static_cast<int>(state.m_nIndex));
    if (state.m_nID == 0) continue;  // a separator
    if (state.m_nID == static_cast<UINT>(-1)) {
      // A pop-up item takes the state of its sub-menu's first command, and is never disabled.
      state.m_pSubMenu = popup->GetSubMenu(static_cast<int>(state.m_nIndex));
      if (!state.m_pSubMenu) continue;
      state.m_nID = state.m_pSubMenu->GetMenuItemID(0);
      if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1)) continue;
      state.DoUpdate(this, FALSE);
    } else {
      state.m_pSubMenu = nullptr;
      state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
    }
    state.m_nIndexMax = popup->GetMenuItemCount();  // a handler may have added or removed items
  }
}
