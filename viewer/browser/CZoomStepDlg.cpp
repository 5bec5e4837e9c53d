#include "viewer/browser/CZoomStepDlg.h"

IMPLEMENT_DYNAMIC(CRadioStepDlg, CQVDialog)
IMPLEMENT_DYNAMIC(CZoomStepDlg, CRadioStepDlg)
IMPLEMENT_DYNAMIC(CMagRatioSetupDlg, CRadioStepDlg)

CRadioStepDlg::CRadioStepDlg(LPCWSTR templateName, LPCWSTR mapName, LPCWSTR keyPrefix, int firstButton, int buttons,
                             int first, int step, CWnd* parent)
    : CQVDialog(templateName, parent), m_strMapName(mapName), m_strKeyPrefix(keyPrefix), m_nFirstButton(firstButton),
      m_nButtons(buttons), m_nFirst(first), m_nStep(step) {}

BOOL CRadioStepDlg::Run(int& value) {
  m_nValue = StartValue(value);
  if (DoModal() != IDOK) return FALSE;
  value = m_nValue;
  return TRUE;
}

BOOL CRadioStepDlg::OnInitIDMap() {
  BeginIDMap(m_strMapName);
  for (int i = 0; i < m_nButtons; ++i) {
    CString key;
    key.Format(u"%s%d", m_strKeyPrefix.GetString(), m_nFirst + m_nStep * i);
    DlgItem(m_nFirstButton + i, key, FALSE);
  }
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CRadioStepDlg::OnInitSettings() {
  int checked = 0;
  for (int i = 0; i < m_nButtons; ++i)
    if (m_nFirst + m_nStep * i == m_nValue) checked = i;
  for (int i = 0; i < m_nButtons; ++i) CheckDlgButton(m_nFirstButton + i, i == checked ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void CRadioStepDlg::OnOK() {
  for (int i = 0; i < m_nButtons; ++i) {
    if (IsDlgButtonChecked(m_nFirstButton + i) == BST_CHECKED) {
      m_nValue = m_nFirst + m_nStep * i;
      break;
    }
  }
  CQVDialog::OnOK();
}

CZoomStepDlg::CZoomStepDlg(CWnd* parent)
    : CRadioStepDlg(u"IDD_ZOOMSTEP_DLG", u"DLG_ZOOMSTEP", u"DLG_ZOOMSTEP_RATIO", 1200, 6, 15, 5, parent) {}

CMagRatioSetupDlg::CMagRatioSetupDlg(CWnd* parent)
    : CRadioStepDlg(u"IDD_MAGNIFICATIONRATIOSETUP_DLG", u"DLG_MAGRATIOSETUP", u"DLG_MAGRATIOSETUP_RATIO", 1206, 5, 100,
                    50, parent) {}
