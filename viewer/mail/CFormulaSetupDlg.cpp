#include "viewer/mail/CFormulaSetupDlg.h"

#include "platform/ui/afx/CDataExchange.h"

IMPLEMENT_DYNAMIC(CFormulaSetupDlg, CQVDialog)

namespace {
enum : int {
  kLabelsStatic = 1267,
  kLabels = 1268,
  kFormulaStatic = 1269,
  kFormula = 1270,
  kAddItem = 1271,
  kDeleteItem = 1272,
  kDeleteFormula = 1273,
};
}  // namespace

BEGIN_MESSAGE_MAP(CFormulaSetupDlg, CQVDialog)
  ON_BN_CLICKED(kAddItem, &CFormulaSetupDlg::OnAddItem)
  ON_LBN_DBLCLK(kLabels, &CFormulaSetupDlg::OnAddItem)
  ON_BN_CLICKED(kDeleteItem, &CFormulaSetupDlg::OnDeleteItem)
  ON_BN_CLICKED(kDeleteFormula, &CFormulaSetupDlg::OnDeleteFormula)
END_MESSAGE_MAP()

BOOL CheckFormulaEdit(CQVDialog& dialog, CEdit& edit, const CFormula& formula) {
  int position = 0;
  CString token;
  if (formula.Check(position, token)) return TRUE;
  dialog.ErrorMsg(token.IsEmpty() ? u"MSG_DLG_EML_ERRORSETUP_TEXT" : u"MSG_DLG_EML_ERRORSETUP_INDEX");
  dialog.GotoDlgCtrl(&edit);
  edit.SetSel(position, position + 1);
  return FALSE;
}

CString WithoutLastItem(const CString& formula) {
  const int last = formula.GetLength() - 1;
  if (last < 0) return formula;
  const WCHAR end = formula[last];
  int open = -1;
  if (end == u'"') open = formula.Left(last).ReverseFind(u'"');
  if (end == u'>') open = formula.Left(last).ReverseFind(u'<');
  // The edit writes a line break as CR LF: both go, or the break would seem to stay.
  if (end == u'\n' && last > 0 && formula[last - 1] == u'\r') open = last - 1;
  return formula.Left(open >= 0 ? open : last);
}

CFormulaSetupDlg::CFormulaSetupDlg(CWnd* parent) : CQVDialog(u"IDD_FORMULASETUP_DLG", parent) {}

BOOL CFormulaSetupDlg::Edit(CString& formula) {
  m_strFormula = formula;
  if (ShowModal() != IDOK) return FALSE;
  formula = m_strFormula;
  return TRUE;
}

BOOL CFormulaSetupDlg::OnInitIDMap() {
  BeginIDMap(u"DLG_FORMULA");
  DlgItem(kLabelsStatic, u"DLG_FORMULA_LABELS_STATIC", TRUE);
  DlgItem(kFormulaStatic, u"DLG_FORMULA_FORMULA_STATIC", TRUE);
  DlgItem(kLabels, u"DLG_FORMULA_LABELS_LIST", FALSE);
  DlgItem(kFormula, u"DLG_FORMULA_FORMULA_EDIT", FALSE);
  DlgItem(kAddItem, u"DLG_FORMULA_ADDITEM_BTN", TRUE);
  DlgItem(kDeleteItem, u"DLG_FORMULA_DELITEM_BTN", TRUE);
  DlgItem(kDeleteFormula, u"DLG_FORMULA_DELFORMULA_BTN", TRUE);
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CFormulaSetupDlg::OnInitSettings() {
  for (const CString& label : m_labels) m_list.AddString(label);
  m_edit.SetWindowText(m_strFormula);
  return TRUE;
}

void CFormulaSetupDlg::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Control(dx, kLabels, m_list);
  DDX_Control(dx, kFormula, m_edit);
}

void CFormulaSetupDlg::OnAddItem() {
  const int selected = m_list.GetCurSel();
  if (selected < 0) return;
  CString name, text;
  m_list.GetText(selected, name);
  m_edit.GetWindowText(text);
  m_edit.SetWindowText(text + u"<" + name + u">");
}

void CFormulaSetupDlg::OnDeleteItem() {
  CString text;
  m_edit.GetWindowText(text);
  m_edit.SetWindowText(WithoutLastItem(text));
}

void CFormulaSetupDlg::OnDeleteFormula() { m_edit.SetWindowText(u""); }

void CFormulaSetupDlg::OnOK() {
  CString text;
  m_edit.GetWindowText(text);
  CFormula formula;
  formula.SetLabels(m_labels);
  formula.SetExtraItems(m_extraItems);
  formula.SetText(text);
  if (!CheckFormulaEdit(*this, m_edit, formula)) return;
  m_strFormula = text;
  CQVDialog::OnOK();
}
