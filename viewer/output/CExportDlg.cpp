#include "viewer/output/CExportDlg.h"

#include "viewer/output/OutputFileName.h"

IMPLEMENT_DYNAMIC(CExportDlg, CFileDialog)

BEGIN_MESSAGE_MAP(CExportDlg, CFileDialog)
  ON_WM_SIZE()
  ON_BN_CLICKED(IDC_INCLUDE_HEADINGS, &CExportDlg::OnIncludeHeadingsClicked)
END_MESSAGE_MAP()

CExportDlg::CExportDlg(BOOL openFileDialog, LPCWSTR fileName, DWORD flags, CWnd* parent)
    : CFileDialog(openFileDialog, nullptr, fileName,
                  flags | OFN_ENABLETEMPLATE | OFN_ALLOWMULTISELECT | OFN_CREATEPROMPT | OFN_ENABLESIZING,
                  u"XML file (*.xml)|*.xml;|CSV file (*.csv)|*.csv||", parent) {
  m_ofn.lpTemplateName = u"IDD_INCLUDEINDEX_FILEDLG";
}

BOOL CExportDlg::OnInitDialog() {
  CFileDialog::OnInitDialog();
  m_check.SubclassDlgItem(IDC_INCLUDE_HEADINGS, this);
  m_check.SetCheck(m_bIncludeHeadings ? BST_CHECKED : BST_UNCHECKED);
  if (CWnd* frame = GetParent()) frame->SetWindowText(m_strTitle.IsEmpty() ? u"Export Index Data" : m_strTitle.GetString());
  m_check.SetWindowText(m_strCheckTitle.IsEmpty() ? u"Include column headings with exported data" : m_strCheckTitle.GetString());
  PlaceCheckBox();
  return TRUE;
}

void CExportDlg::OnSize(UINT type, int cx, int cy) {
  CFileDialog::OnSize(type, cx, cy);
  PlaceCheckBox();
}

void CExportDlg::PlaceCheckBox() {
  CWnd* frame = GetParent();
  CWnd* label = frame ? frame->GetDlgItem(IDC_FILE_TYPE_LABEL) : nullptr;
  if (!label || !m_check.GetSafeHwnd()) return;
  CRect labelRect, checkRect;
  label->GetWindowRect(&labelRect);
  ScreenToClient(&labelRect);
  m_check.GetWindowRect(&checkRect);
  ScreenToClient(&checkRect);
  m_check.SetWindowPos(nullptr, labelRect.left, checkRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CExportDlg::OnIncludeHeadingsClicked() { m_bIncludeHeadings = m_check.GetCheck() == BST_CHECKED; }

BOOL CExportDlg::OnFileNameOK() {
  const CString chosen = GetPathName();
  CString path = chosen;
  if (m_ofn.nFilterIndex == 1) path = AppendExtension(chosen, u"xml");
  if (m_ofn.nFilterIndex == 2) path = AppendExtension(chosen, u"csv");
  if (!ConfirmFinalPath(*this, chosen, path)) return TRUE;
  m_strPath = path;
  return FALSE;
}

BOOL CExportDlg::GetExportChoice(CString& path, int& format, BOOL& includeHeadings) const {
  if (m_ofn.nFilterIndex != 1 && m_ofn.nFilterIndex != 2) return FALSE;
  path = m_strPath;
  format = m_ofn.nFilterIndex == 1 ? kFormatXML : kFormatCSV;
  includeHeadings = m_bIncludeHeadings;
  return TRUE;
}
