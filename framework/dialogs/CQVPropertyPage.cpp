#include "framework/dialogs/CQVPropertyPage.h"

#include "platform/ui/afx/MessageMap.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CQVPropertyPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CQVPropertyPage, CPropertyPage)
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, &CQVPropertyPage::OnToolTipNotify)
END_MESSAGE_MAP()

CQVPropertyPage::CQVPropertyPage(UINT templateId)
    : CPropertyPage(templateId), CQVDialogHelper(this), m_nTemplateID(templateId) {
  CommonConstructor();
}

CQVPropertyPage::CQVPropertyPage(LPCWSTR templateName)
    : CPropertyPage(templateName), CQVDialogHelper(this), m_strTemplateName(templateName ? templateName : u"") {
  CommonConstructor();
}

void CQVPropertyPage::CommonConstructor() {
  m_bLayout = TRUE;
  m_bTranslate = TRUE;
  m_bAutoDelete = FALSE;
  m_bToolTips = TRUE;
}

BOOL CQVPropertyPage::OnAddPage(CPropertySheet*) {
  if (!OnInitIDMap()) return FALSE;
  if (m_bTranslate) {
    TranslateDlgTitleText(m_strCaption);
    if (m_strCaption.IsEmpty()) {
      m_psp.dwFlags &= ~static_cast<DWORD>(PSP_USETITLE);
      m_psp.pszTitle = nullptr;
    } else {
      m_psp.dwFlags |= PSP_USETITLE;
      m_psp.pszTitle = m_strCaption.GetString();
    }
  }
  return TRUE;
}

BOOL CQVPropertyPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  if (!OnInitControls() || !OnInitLayout() || !OnInitSettings()) return FALSE;
  EnableToolTips(m_bToolTips);
  return TRUE;
}

BOOL CQVPropertyPage::OnInitLayout() { return InitLayout(m_bLayout, m_bTranslate); }

void CQVPropertyPage::PostNcDestroy() {
  CPropertyPage::PostNcDestroy();
  if (m_bAutoDelete) delete this;
}

BOOL CQVPropertyPage::OnToolTipNotify(UINT id, NMHDR* nmhdr, LRESULT* result) {
  return _OnToolTipNotify(id, nmhdr, result);
}

// ---- The sheet --------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CQVPropertySheet, CPropertySheet)

BEGIN_MESSAGE_MAP(CQVPropertySheet, CPropertySheet)
  ON_WM_SIZE()
END_MESSAGE_MAP()

CQVPropertySheet::CQVPropertySheet(CWnd* parent, UINT selectPage) : CPropertySheet(u"", parent, selectPage) {}

void CQVPropertySheet::AddPage(CPropertyPage* page) {
  if (!page) return;
  if (auto* own = dynamic_cast<CQVPropertyPage*>(page); own && !own->OnAddPage(this)) return;
  CPropertySheet::AddPage(page);
}

BOOL CQVPropertySheet::CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent) {
  if (!CPropertySheet::Create(parent, style, exStyle)) return FALSE;
  CRect place(std::min(rect.left, rect.right), std::min(rect.top, rect.bottom), std::max(rect.left, rect.right),
              std::max(rect.top, rect.bottom));
  MoveWindow(&place, TRUE);
  return TRUE;
}

void CQVPropertySheet::OnSize(UINT type, int cx, int cy) {
  CPropertySheet::OnSize(type, cx, cy);
  if (m_bKeepTabControl) return;
  HWND tab = reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL));
  if (tab) ::MoveWindow(tab, 0, 0, cx, cy, TRUE);
}
