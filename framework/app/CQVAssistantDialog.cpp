#include "framework/app/CQVAssistantDialog.h"

#include "foundation/language/CQVRCM.h"
#include "foundation/language/KernelEntry.h"
#include "framework/app/CQVWinApp.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CRgn.h"
#include "platform/ui/afx/MessageMap.h"

IMPLEMENT_DYNAMIC(CQVAssistantDialog, CQVDialog)

BEGIN_MESSAGE_MAP(CQVAssistantDialog, CQVDialog)
  ON_WM_DESTROY()
  ON_WM_ERASEBKGND()
  ON_MESSAGE(CQVAssistantDialog::WM_UPDATEHELP, &CQVAssistantDialog::OnUpdateHelp)
  ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

namespace {
constexpr int kPane = 1020;  // marks where the HTML pane goes
}  // namespace

CQVAssistantDialog::CQVAssistantDialog() : CQVDialog(u"QVKERNEL_IDD_ASSISTANT", nullptr) {
  SetRCMModule(QVKernelInstance());
  SetTopmost(TRUE);
  SetDragByMouse(TRUE);
  SetCloseOnDeactivate(FALSE);
  SetToolTips(FALSE);
}

void CQVAssistantDialog::ShowAssistant(int x, int y) {
  m_nRequestX = x;
  m_nRequestY = y;
  m_bComplete = FALSE;
  ShowModeless(CWnd::GetDesktopWindow());
  // A window whose settings failed is half made: it goes, and leaves its place unremembered.
  if (GetSafeHwnd() && !m_bComplete) DestroyWindow();
}

BOOL CQVAssistantDialog::GetAssistantPosition(int& x, int& y) {
  if (!GetSafeHwnd()) {
    x = m_nLastX;
    y = m_nLastY;
    return FALSE;
  }
  CRect rect;
  GetWindowRect(&rect);
  rect.NormalizeRect();
  x = rect.left;
  y = rect.top;
  return TRUE;
}

void CQVAssistantDialog::ShowHelp(LPCWSTR address) {
  CString trimmed(address ? address : u"");
  trimmed.Trim();
  {
    CSingleLock lock(&m_lock, TRUE);
    if (trimmed.CompareNoCase(m_strHelpAddress) == 0) return;
    m_strHelpAddress = trimmed;
  }
  Update();
}

void CQVAssistantDialog::ShowHelpID(LPCWSTR key) {
  CString address;
  CQVWinApp::LoadURL(key, address, GetRCMModule());
  ShowHelp(address);
}

void CQVAssistantDialog::Update() {
  // A post to a window that is gone fails, so a handle that went stale meanwhile is harmless.
  if (HWND hwnd = m_hShown.load()) ::PostMessageW(hwnd, WM_UPDATEHELP, 0, 0);
}

CString CQVAssistantDialog::GetHelpAddress() {
  CSingleLock lock(&m_lock, TRUE);
  return m_strHelpAddress;
}

BOOL CQVAssistantDialog::OnInitIDMap() {
  BeginIDMap(u"DLG_ASSISTANT");
  DlgItem(kPane, u"DLG_ASD_INFO", FALSE);
  EndIDMap();
  return TRUE;
}

BOOL CQVAssistantDialog::OnInitSettings() {
  CRect pane;
  if (!GetDlgItemTemplate(kPane, pane, FALSE)) return FALSE;
  ShowDlgItem(kPane, FALSE);
  if (!m_wndHtml.Create(WS_CHILD | WS_VISIBLE, pane, this)) return FALSE;
  if (!m_strOutlineKey.IsEmpty() && !MakeOutline(pane)) return FALSE;
  if (!m_strBackgroundKey.IsEmpty() && !CQVRCM::LoadBitmapW(m_strBackgroundKey, m_background, GetRCMModule()))
    return FALSE;
  ModifyStyleEx(0, WS_EX_TOOLWINDOW);

  CRect rect;
  GetWindowRect(&rect);
  if (m_nRequestX != kNoPosition && m_nRequestY != kNoPosition) rect.OffsetRect(m_nRequestX - rect.left, m_nRequestY - rect.top);
  else if (m_nLastX != kNoPosition && m_nLastY != kNoPosition) rect.OffsetRect(m_nLastX - rect.left, m_nLastY - rect.top);
  else {
    CenterWindow();
    GetWindowRect(&rect);
  }
  MoveWindow(&rect);
  m_bComplete = TRUE;
  m_hShown = m_hWnd;
  Update();
  return TRUE;
}

BOOL CQVAssistantDialog::MakeOutline(const CRect& pane) {
  CQVBitmapHandle outline;
  if (!CQVRCM::LoadBitmapW(m_strOutlineKey, outline, GetRCMModule()) || !outline.SetPerspective(0)) return FALSE;
  CRgn mask, paneRegion, shape;
  if (!outline.CreateRgnFromMask(mask) || !paneRegion.CreateRectRgnIndirect(&pane) || !shape.CreateRectRgn(0, 0, 0, 0) ||
      shape.CombineRgn(&mask, &paneRegion, RGN_OR) == ERROR)
    return FALSE;
  return SetWindowRgn(static_cast<HRGN>(shape.Detach()), TRUE) != 0;
}

void CQVAssistantDialog::OnDestroy() {
  if (m_bComplete) {
    CRect rect;
    GetWindowRect(&rect);
    rect.NormalizeRect();
    m_nLastX = rect.left;
    m_nLastY = rect.top;
  }
  m_bComplete = FALSE;
  m_hShown = nullptr;
  m_background.Free();
  CQVDialog::OnDestroy();
}

BOOL CQVAssistantDialog::OnEraseBkgnd(CDC* dc) {
  if (dc && !m_background.IsEmpty() && m_background.GetWidth() > 0 && m_background.GetHeight() > 0) {
    m_background.Paint(dc, CRect(0, 0, m_background.GetWidth(), m_background.GetHeight()), SRCCOPY);
    return TRUE;
  }
  return CQVDialog::OnEraseBkgnd(dc);
}

LRESULT CQVAssistantDialog::OnUpdateHelp(WPARAM, LPARAM) {
  const CString address = GetHelpAddress();
  if (m_wndHtml.GetSafeHwnd()) m_wndHtml.Navigate(address);
  return 0;
}
