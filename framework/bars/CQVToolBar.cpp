// CQVToolBar: creation, labels and tips from the language files, button kinds, hosted controls and
// messages. The layout is in CQVToolBarLayout.cpp.

#include "framework/bars/CQVToolBar.h"

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVWinApp.h"
#include "platform/core/module.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CButton.h"
#include "platform/ui/afx/CComboBox.h"
#include "platform/ui/afx/CEdit.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CImageList.h"
#include "platform/ui/afx/CStatic.h"
#include "platform/ui/shell/shlobj.h"
#include "platform/ui/win/windc.h"

#include <algorithm>
#include <memory>
#include <string>

IMPLEMENT_DYNAMIC(CQVToolBar, CToolBar)

BEGIN_MESSAGE_MAP(CQVToolBar, CToolBar)
  ON_WM_CREATE()
  ON_WM_WINDOWPOSCHANGING()
  ON_WM_PAINT()
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, &CQVToolBar::OnToolTipNotify)
  ON_NOTIFY_REFLECT_EX(TBN_DROPDOWN, &CQVToolBar::OnDropDownReflect)
END_MESSAGE_MAP()

namespace {

// The version the controls report, or 4.0 when they cannot say.
int ReadComCtlVersion() {
  constexpr int kOldest = 0x40000;
  HMODULE module = ::GetModuleHandleW(u"comctl32.dll");
  auto get = module ? reinterpret_cast<DLLGETVERSIONPROC>(::GetProcAddress(module, "DllGetVersion")) : nullptr;
  if (!get) return kOldest;
  DLLVERSIONINFO info {};
  info.cbSize = sizeof info;
  if (FAILED(get(&info))) return kOldest;
  return static_cast<int>(info.dwMajorVersion << 16 | info.dwMinorVersion);
}

}  // namespace

CQVToolBar::~CQVToolBar() {
  for (POSITION pos = m_listControls.GetHeadPosition(); pos;) {
    CWnd* control = static_cast<CWnd*>(m_listControls.GetNext(pos));
    if (control->GetSafeHwnd()) control->DestroyWindow();
    delete control;
  }
}

BOOL CQVToolBar::Create(CWnd* parent, UINT id) {
  if (!CreateEx(parent, m_dwCtrlStyle, m_dwBarStyle, CRect(0, 0, 0, 0), id)) return FALSE;
  return OnUpdate();
}

int CQVToolBar::OnCreate(LPCREATESTRUCT cs) {
  if (CControlBar::OnCreate(cs) == -1) return -1;
  if (s_nComCtlVersion == -1) s_nComCtlVersion = ReadComCtlVersion();
  return 0;
}

BOOL CQVToolBar::LoadCommandText(LPCWSTR prefix, UINT id, CString& text) {
  text.Empty();
  CString name;
  if (!CQVWinApp::FindID(id, name) || name.IsEmpty()) return FALSE;
  return CQVRCM::LoadText(CString(prefix) + name, text, GetRCMModule());
}

// ---- Buttons ------------------------------------------------------------------------------------

BOOL CQVToolBar::SetImageList(CImageList* normal, CImageList* hot, CImageList* disabled) {
  if (!normal) return FALSE;
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  ctrl.SetImageList(normal);
  int cx = 0, cy = 0;
  if (ImageList_GetIconSize(normal->GetSafeHandle(), &cx, &cy)) {
    m_nImageWidth = cx;
    m_nImageHeight = cy;
  }
  SetSizes(CSize(m_nImageWidth + 7, m_nImageHeight + 6), CSize(m_nImageWidth, m_nImageHeight));
  if (hot) ctrl.SetHotImageList(hot);
  if (disabled) ctrl.SetDisabledImageList(disabled);
  return TRUE;
}

void CQVToolBar::ShowIconText(int mode) {
  m_nTextMode = mode;
  LoadToolBarText();
}

void CQVToolBar::LoadToolBarText() {
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  const DWORD exStyle = ctrl.GetExtendedStyle();
  if (m_nTextMode == 1) {
    ModifyStyle(0, TBSTYLE_LIST);
    ctrl.SetExtendedStyle(exStyle | TBSTYLE_EX_MIXEDBUTTONS);
  } else {
    ModifyStyle(TBSTYLE_LIST, 0);
    ctrl.SetExtendedStyle(exStyle & ~TBSTYLE_EX_MIXEDBUTTONS);
  }
  if (m_nTextMode == 1 || m_nTextMode == 2) {
    if (!m_pStringMap) m_pStringMap = new CMapStringToPtr(10);
    for (int i = 0; i < ctrl.GetButtonCount(); ++i) {
      TBBUTTON b {};
      if (!ctrl.GetButton(i, &b) || (b.fsStyle & TBSTYLE_SEP) || b.idCommand == 0) continue;
      const UINT id = static_cast<UINT>(b.idCommand);
      CString label;
      LoadButtonText(id, label);
      // Each distinct label goes into the control's pool once.
      void* cached = nullptr;
      INT_PTR pool = m_pStringMap->Lookup(label, cached) ? reinterpret_cast<INT_PTR>(cached) : -1;
      if (pool == -1) {
        std::u16string texts(static_cast<LPCWSTR>(label));
        texts.push_back(u'\0');
        pool = ctrl.AddStrings(texts.c_str());
        if (pool != -1) m_pStringMap->SetAt(label, reinterpret_cast<void*>(pool));
      }
      if (m_nTextMode == 1) {
        if (pool != -1 && HasButtonText(id)) {
          b.iString = pool;
          b.fsStyle |= BTNS_SHOWTEXT | BTNS_AUTOSIZE;
        } else {
          b.fsStyle = static_cast<BYTE>((b.fsStyle & ~BTNS_SHOWTEXT) | BTNS_AUTOSIZE);
        }
      } else {
        b.iString = pool;
        b.fsStyle = static_cast<BYTE>((b.fsStyle & ~BTNS_SHOWTEXT) | BTNS_AUTOSIZE);
      }
      SetButton(i, b);
    }
  }
  ctrl.SetMaxTextRows(m_nTextMode == 0 ? 0 : 1);
  m_bDelayedButtonLayout = TRUE;
}

void CQVToolBar::SetDropDown(UINT id) {
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  // Only the arrows' bit: the label mode's bits stay.
  ctrl.SetExtendedStyle(ctrl.GetExtendedStyle() | TBSTYLE_EX_DRAWDDARROWS);
  const int index = CommandToIndex(id);
  TBBUTTON b {};
  if (index < 0 || !ctrl.GetButton(index, &b)) return;
  b.fsStyle |= TBSTYLE_DROPDOWN;
  SetButton(index, b);
  m_bDelayedButtonLayout = TRUE;
}

void CQVToolBar::SetCheckButton(UINT id) {
  const int index = CommandToIndex(id);
  TBBUTTON b {};
  if (index < 0 || !GetToolBarCtrl().GetButton(index, &b)) return;
  b.fsStyle |= TBSTYLE_CHECK;
  SetButton(index, b);
}

BOOL CQVToolBar::IsButtonChecked(UINT id) const { return GetToolBarCtrl().IsButtonChecked(static_cast<int>(id)); }

void CQVToolBar::Remeasure() {
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  const int rows = ctrl.GetMaxTextRows();
  SendMessage(WM_SETREDRAW, FALSE);
  ctrl.SetMaxTextRows(rows + 1);
  ctrl.SetMaxTextRows(rows);
  SendMessage(WM_SETREDRAW, TRUE);
}

void CQVToolBar::AutoSize() {
  Remeasure();
  GetToolBarCtrl().AutoSize();
  m_bDelayedButtonLayout = TRUE;
  if (CFrameWnd* frame = GetDockingFrame()) frame->RecalcLayout(TRUE);
  SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
}

void CQVToolBar::SetButton(int index, const TBBUTTON& button) {
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  TBBUTTON now {};
  if (!ctrl.GetButton(index, &now)) return;
  if (now.iBitmap == button.iBitmap && now.idCommand == button.idCommand && now.fsState == button.fsState &&
      now.fsStyle == button.fsStyle && now.dwData == button.dwData && now.iString == button.iString)
    return;
  const bool visible = GetStyle() & WS_VISIBLE;
  if (visible) ModifyStyle(WS_VISIBLE, 0);
  ctrl.DeleteButton(index);
  Remeasure();
  ctrl.InsertButton(index, &button);
  if (visible) ModifyStyle(0, WS_VISIBLE);
  const bool separatorChanged = ((now.fsStyle ^ button.fsStyle) & TBSTYLE_SEP) ||
                                ((button.fsStyle & TBSTYLE_SEP) && now.iBitmap != button.iBitmap);
  if (separatorChanged) {
    Invalidate();
  } else {
    CRect r;
    if (ctrl.GetItemRect(index, &r)) InvalidateRect(&r);
  }
}

// ---- Hosted controls ----------------------------------------------------------------------------

CWnd* CQVToolBar::InsertControl(CRuntimeClass* cls, LPCWSTR text, CRect& rect, UINT id, DWORD style) {
  if (!cls || !cls->IsDerivedFrom(RUNTIME_CLASS(CWnd))) return nullptr;
  style |= WS_CHILD | WS_VISIBLE;
  // The caller's own class when it can be made from its run-time class (so its handlers run);
  // otherwise the nearest framework class it derives from.
  std::unique_ptr<CObject> made(cls->m_pfnCreateObject ? cls->CreateObject() : nullptr);
  auto make = [&](CRuntimeClass* base, auto fallback) -> CWnd* {
    if (made && made->IsKindOf(base)) return static_cast<CWnd*>(made.release());
    return fallback();
  };
  CWnd* control = nullptr;
  BOOL created = FALSE;
  if (cls->IsDerivedFrom(RUNTIME_CLASS(CComboBox))) {
    auto* box = static_cast<CComboBox*>(make(RUNTIME_CLASS(CComboBox), [] { return new CComboBox; }));
    control = box;
    created = box->Create(style, rect, this, id);
  } else if (cls->IsDerivedFrom(RUNTIME_CLASS(CEdit))) {
    auto* edit = static_cast<CEdit*>(make(RUNTIME_CLASS(CEdit), [] { return new CEdit; }));
    control = edit;
    created = edit->Create(style, rect, this, id);
  } else if (cls->IsDerivedFrom(RUNTIME_CLASS(CButton))) {
    auto* button = static_cast<CButton*>(make(RUNTIME_CLASS(CButton), [] { return new CButton; }));
    control = button;
    created = button->Create(text, style, rect, this, id);
  } else if (cls->IsDerivedFrom(RUNTIME_CLASS(CStatic))) {
    auto* label = static_cast<CStatic*>(make(RUNTIME_CLASS(CStatic), [] { return new CStatic; }));
    control = label;
    created = label->Create(text, style, rect, this, id);
  } else {
    control = make(RUNTIME_CLASS(CWnd), [] { return new CWnd; });
    // Any other window: the class's name is its window class.
    CString className(cls->m_lpszClassName);
    created = control->Create(className.Left(255), text, style, rect, this, id);
  }
  if (!created) {
    delete control;
    return nullptr;
  }
  m_listControls.AddTail(control);
  return InsertControl(control, rect, id);
}

CWnd* CQVToolBar::InsertControl(CWnd* wnd, CRect& rect, UINT id) {
  if (!wnd || !wnd->GetSafeHwnd()) return nullptr;
  const int index = CommandToIndex(id);
  if (index < 0) {
    wnd->ShowWindow(SW_HIDE);
    return wnd;
  }
  SetButtonInfo(index, id, TBBS_SEPARATOR, rect.Width());
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  ctrl.GetItemRect(index, &rect);
  CRect own;
  wnd->GetWindowRect(&own);
  rect.top += std::max(0, (rect.Height() - own.Height()) / 2);
  wnd->SetWindowPos(nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
  wnd->SetFont(GetFont());
  const bool hide = IsVertDocked() && m_bHideChildWndOnVertical;
  wnd->ShowWindow(hide ? SW_HIDE : SW_SHOW);
  ctrl.HideButton(static_cast<int>(id), hide);
  ModifyStyle(0, WS_CLIPCHILDREN);
  return wnd;
}

// ---- Messages -----------------------------------------------------------------------------------

BOOL CQVToolBar::OnToolTipNotify(UINT, NMHDR* hdr, LRESULT* result) {
  *result = 1;
  m_strToolTip.Empty();
  if (!GetToolTipText(static_cast<UINT>(hdr->idFrom), m_strToolTip)) return FALSE;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(hdr);
  info->lpszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(m_strToolTip));
  info->hinst = nullptr;
  return TRUE;
}

BOOL CQVToolBar::OnDropDownReflect(UINT, NMHDR* hdr, LRESULT* result) {
  // A bar docked in a dock bar: the press goes on to the frame, which a bar placed straight in its
  // frame reaches by itself.
  CWnd* owner = GetOwner();
  // The owner reflects the press back here first: it is then the owner's own to handle.
  if (!owner || owner == GetParent() || m_bForwarding) return FALSE;
  m_bForwarding = TRUE;
  *result = owner->SendMessage(WM_NOTIFY, hdr->idFrom, reinterpret_cast<LPARAM>(hdr));
  m_bForwarding = FALSE;
  return TRUE;
}

BOOL CQVToolBar::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CToolBar::OnCommand(wParam, lParam)) return TRUE;
  // What a hosted control says is for the frame.
  CWnd* owner = GetOwner();
  if (!lParam || !owner) return FALSE;
  owner->SendMessage(WM_COMMAND, wParam, lParam);
  return TRUE;
}

void CQVToolBar::OnWindowPosChanging(WINDOWPOS* pos) {
  pos->flags |= SWP_FRAMECHANGED;
  CToolBar::OnWindowPosChanging(pos);
  CWnd* parent = GetParent();
  m_nDockSide = parent ? static_cast<UINT>(parent->GetDlgCtrlID()) : 0;
}

void CQVToolBar::OnPaint() {
  CToolBar::OnPaint();
  // Controls stand on separators: their background is the bar's, drawn before them.
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  for (int i = 0; i < ctrl.GetButtonCount(); ++i) {
    TBBUTTON b {};
    if (!ctrl.GetButton(i, &b) || !(b.fsStyle & TBSTYLE_SEP) || b.idCommand == 0) continue;
    CWnd* child = GetDlgItem(b.idCommand);
    if (!child) continue;
    CRect r;
    ctrl.GetItemRect(i, &r);
    CClientDC dc(this);
    dc.FillSolidRect(&r, ::GetSysColor(COLOR_BTNFACE));
    child->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

void CQVToolBar::DrawGripper(CDC* dc, const CRect& rect) {
  dc->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
  CToolBar::DrawGripper(dc, rect);
}
