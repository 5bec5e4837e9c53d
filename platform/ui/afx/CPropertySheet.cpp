#include "platform/ui/afx/CPropertySheet.h"

#include "platform/ui/afx/CTabCtrl.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/internal/DialogManager.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CDialog)

namespace {

// Asks the sheet to put its pages into the tab control's display area once a resize is done
// (a derived sheet may move the tab control in its own WM_SIZE handler first).
constexpr UINT kPlacePages = WM_USER + 200;

constexpr short kMargin = 4;       // dialog units around the tabs
constexpr short kTabHeight = 14;   // dialog units the row of tabs takes
constexpr short kButtonWidth = 50;
constexpr short kButtonHeight = 14;

}  // namespace

BEGIN_MESSAGE_MAP(CPropertySheet, CDialog)
  ON_WM_SIZE()
  ON_MESSAGE(PSM_GETTABCONTROL, &CPropertySheet::OnGetTabControl)
  ON_MESSAGE(kPlacePages, &CPropertySheet::OnPlacePages)
END_MESSAGE_MAP()

// ---- Pages ------------------------------------------------------------------------------------

CPropertyPage::CPropertyPage(UINT templateId, UINT) : CDialog(templateId) {
  m_psp.dwSize = sizeof m_psp;
  m_psp.pszTemplate = MAKEINTRESOURCEW(templateId);
}

CPropertyPage::CPropertyPage(LPCWSTR templateName, UINT) : CDialog(templateName) {
  m_psp.dwSize = sizeof m_psp;
  m_psp.pszTemplate = m_lpszTemplateName;
}

// ---- The sheet --------------------------------------------------------------------------------

CPropertySheet::CPropertySheet(LPCWSTR caption, CWnd* parent, UINT selectPage) : m_caption(caption) {
  m_pParentWnd = parent;
  m_psh.dwSize = sizeof m_psh;
  m_psh.pszCaption = m_caption.GetString();
  m_psh.nStartPage = selectPage;
}

CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* page) {
  if (!page) return;
  page->m_pSheet = this;
  m_pages.push_back(page);
  if (HWND tab = TabHandle()) {
    CString title = page->m_psp.dwFlags & PSP_USETITLE ? CString(page->m_psp.pszTitle) : CString();
    if (!(page->m_psp.dwFlags & PSP_USETITLE))
      if (const DialogTemplate* t = FindDialogTemplate(nullptr, page->m_psp.pszTemplate)) title = t->caption;
    TCITEMW item {TCIF_TEXT, 0, 0, const_cast<LPWSTR>(title.GetString()), 0, -1, 0};
    ::SendMessageW(tab, TCM_INSERTITEMW, m_pages.size() - 1, reinterpret_cast<LPARAM>(&item));
    if (m_active < 0) ShowPage(0);
  }
}

void CPropertySheet::RemovePage(int index) {
  if (index < 0 || index >= GetPageCount()) return;
  CPropertyPage* page = m_pages[static_cast<size_t>(index)];
  if (page->GetSafeHwnd()) page->DestroyWindow();
  m_pages.erase(m_pages.begin() + index);
  if (HWND tab = TabHandle()) ::SendMessageW(tab, TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
  if (m_active == index) {
    m_active = -1;
    if (!m_pages.empty()) ShowPage(std::min(index, GetPageCount() - 1));
  } else if (m_active > index) {
    --m_active;
  }
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
  return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
  for (size_t i = 0; i < m_pages.size(); ++i)
    if (m_pages[i] == page) return static_cast<int>(i);
  return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(m_active); }

HWND CPropertySheet::TabHandle() const { return m_hWnd ? ::GetDlgItem(m_hWnd, AFX_IDC_TAB_CONTROL) : nullptr; }

CTabCtrl* CPropertySheet::GetTabControl() const {
  return static_cast<CTabCtrl*>(FromHandle(TabHandle()));
}

void CPropertySheet::SetTitle(LPCWSTR title) {
  m_caption = title;
  m_psh.pszCaption = m_caption.GetString();
  if (m_hWnd) SetWindowText(title);
}

void CPropertySheet::BuildTemplate(DWORD style, DWORD exStyle, bool buttons) {
  short cx = 100, cy = 50;
  for (CPropertyPage* page : m_pages)
    if (const DialogTemplate* t = FindDialogTemplate(nullptr, page->m_psp.pszTemplate)) {
      cx = std::max(cx, t->cx);
      cy = std::max(cy, t->cy);
    }
  auto t = std::make_unique<DialogTemplate>();
  t->style = style | DS_SETFONT;
  t->exStyle = exStyle | WS_EX_CONTROLPARENT;
  t->caption = m_caption;
  t->pointSize = 8;
  t->faceName = u"MS Shell Dlg";
  short tabCx = static_cast<short>(cx + 4), tabCy = static_cast<short>(cy + kTabHeight + 4);
  DWORD tabStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP;
  if (buttons) {
    t->cx = static_cast<short>(tabCx + 2 * kMargin);
    t->cy = static_cast<short>(tabCy + 3 * kMargin + kButtonHeight);
    t->items.push_back({WC_TABCONTROLW, AFX_IDC_TAB_CONTROL, u"", tabStyle, 0, kMargin, kMargin, tabCx, tabCy});
    short y = static_cast<short>(kMargin * 2 + tabCy);
    short x = static_cast<short>(t->cx - kMargin - 2 * kButtonWidth - kMargin);
    t->items.push_back({WC_BUTTONW, IDOK, u"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, x, y,
                        kButtonWidth, kButtonHeight});
    t->items.push_back({WC_BUTTONW, IDCANCEL, u"Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0,
                        static_cast<short>(x + kButtonWidth + kMargin), y, kButtonWidth, kButtonHeight});
  } else {
    t->cx = tabCx;
    t->cy = tabCy;
    t->items.push_back({WC_TABCONTROLW, AFX_IDC_TAB_CONTROL, u"", tabStyle, 0, 0, 0, tabCx, tabCy});
  }
  m_template = std::move(t);
}

INT_PTR CPropertySheet::DoModal() {
  if (m_hWnd) return -1;
  BuildTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, true);
  InitModalIndirect(m_template.get());
  m_active = -1;
  return CDialog::DoModal();
}

BOOL CPropertySheet::Create(CWnd* parent, DWORD style, DWORD exStyle) {
  if (m_hWnd) return FALSE;
  if (style == static_cast<DWORD>(-1)) style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
  m_psh.dwFlags |= PSH_MODELESS;
  BuildTemplate(style, exStyle, false);
  m_active = -1;
  return CreateIndirect(m_template.get(), parent);
}

BOOL CPropertySheet::OnInitDialog() {
  HWND tab = TabHandle();
  for (size_t i = 0; i < m_pages.size(); ++i) {
    CPropertyPage* page = m_pages[i];
    CString title;
    if (page->m_psp.dwFlags & PSP_USETITLE) title = page->m_psp.pszTitle;
    else if (const DialogTemplate* t = FindDialogTemplate(nullptr, page->m_psp.pszTemplate)) title = t->caption;
    TCITEMW item {TCIF_TEXT, 0, 0, const_cast<LPWSTR>(title.GetString()), 0, -1, 0};
    ::SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  if (!m_pages.empty()) {
    int start = static_cast<int>(m_psh.nStartPage) < GetPageCount() ? static_cast<int>(m_psh.nStartPage) : 0;
    ShowPage(start);
  }
  return TRUE;
}

bool CPropertySheet::ShowPage(int index) {
  CPropertyPage* page = GetPage(index);
  HWND tab = TabHandle();
  if (!page || !tab) return false;
  CPropertyPage* old = GetActivePage();
  if (!page->GetSafeHwnd()) {
    const DialogTemplate* t = FindDialogTemplate(nullptr, page->m_psp.pszTemplate);
    if (!t) return false;
    qvui::ChildPlacement child {0, 0, nullptr};
    if (!qvui::CreateDialogWindow(*t, AfxGetResourceHandle(), m_hWnd, nullptr, 0, page, &child)) return false;
  }
  if (old && old != page && old->GetSafeHwnd()) old->ShowWindow(SW_HIDE);
  m_active = index;
  ::SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  PlacePage(page);
  page->ShowWindow(SW_SHOW);
  page->OnSetActive();
  return true;
}

void CPropertySheet::PlacePage(CPropertyPage* page) {
  HWND tab = TabHandle();
  if (!page || !page->GetSafeHwnd() || !tab) return;
  CRect r;
  ::GetWindowRect(tab, &r);
  ScreenToClient(&r);
  ::SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  // Above the tab control, in its display area.
  ::SetWindowPos(page->GetSafeHwnd(), HWND_TOP, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE);
}

BOOL CPropertySheet::SetActivePage(int index) {
  if (index < 0 || index >= GetPageCount()) return FALSE;
  if (!m_hWnd) {
    m_psh.nStartPage = static_cast<UINT>(index);
    return TRUE;
  }
  if (index == m_active) return TRUE;
  if (CPropertyPage* old = GetActivePage(); old && old->GetSafeHwnd() && !old->OnKillActive()) return FALSE;
  return ShowPage(index);
}

BOOL CPropertySheet::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto* hdr = reinterpret_cast<NMHDR*>(lParam);
  if (hdr && hdr->hwndFrom && hdr->hwndFrom == TabHandle()) {
    if (hdr->code == TCN_SELCHANGING) {
      // The page that is left checks its data first; FALSE keeps it.
      CPropertyPage* old = GetActivePage();
      BOOL keep = old && old->GetSafeHwnd() && !old->OnKillActive();
      if (result) *result = keep;
      return TRUE;
    }
    if (hdr->code == TCN_SELCHANGE) {
      ShowPage(static_cast<int>(::SendMessageW(TabHandle(), TCM_GETCURSEL, 0, 0)));
      if (result) *result = 0;
      return TRUE;
    }
  }
  return CDialog::OnNotify(wParam, lParam, result);
}

void CPropertySheet::OnOK() {
  CPropertyPage* active = GetActivePage();
  if (active && active->GetSafeHwnd() && !active->OnKillActive()) return;
  for (CPropertyPage* page : m_pages)
    if (page->GetSafeHwnd()) page->OnOK();
  EndDialog(IDOK);
}

void CPropertySheet::OnCancel() {
  for (CPropertyPage* page : m_pages)
    if (page->GetSafeHwnd()) page->OnCancel();
  EndDialog(IDCANCEL);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* msg) {
  // Ctrl+Tab and Ctrl+Shift+Tab turn the pages.
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && ::GetKeyState(VK_CONTROL) < 0 && GetPageCount() > 1) {
    int step = ::GetKeyState(VK_SHIFT) < 0 ? GetPageCount() - 1 : 1;
    SetActivePage((m_active + step) % GetPageCount());
    return TRUE;
  }
  return CDialog::PreTranslateMessage(msg);
}

void CPropertySheet::OnSize(UINT, int, int) {
  Default();
  PostMessage(kPlacePages);
}

LRESULT CPropertySheet::OnPlacePages(WPARAM, LPARAM) {
  PlacePage(GetActivePage());
  return 0;
}

LRESULT CPropertySheet::OnGetTabControl(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(TabHandle()); }
