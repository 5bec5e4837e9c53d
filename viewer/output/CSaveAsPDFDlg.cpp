#include "viewer/output/CSaveAsPDFDlg.h"

#include "foundation/language/CQVRCM.h"
#include "platform/ui/afx/CDataExchange.h"
#include "viewer/output/OutputFileName.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CSaveAsPDFDlg, CFileDialog)

BEGIN_MESSAGE_MAP(CSaveAsPDFDlg, CFileDialog)
  ON_WM_SIZE()
  ON_COMMAND_RANGE(CSaveAsPDFDlg::IDC_ALLIMAGES, CSaveAsPDFDlg::IDC_CURRENT, &CSaveAsPDFDlg::OnRangeClicked)
END_MESSAGE_MAP()

namespace {

struct PanelItem {
  int id;
  LPCWSTR key;
};
constexpr PanelItem kPanelItems[] = {
    {CSaveAsPDFDlg::IDC_SAVERANGE, u"TXT_DLG_SAVEASPDF_SAVERANGE"},
    {CSaveAsPDFDlg::IDC_ALLIMAGES, u"TXT_DLG_SAVEASPDF_ALLIMAGESRADIO"},
    {CSaveAsPDFDlg::IDC_IMAGES, u"TXT_DLG_SAVEASPDF_IMAGESRADIO"},
    {CSaveAsPDFDlg::IDC_FROMSTATIC, u"TXT_DLG_SAVEASPDF_FROMSTATIC"},
    {CSaveAsPDFDlg::IDC_FROM, nullptr},
    {CSaveAsPDFDlg::IDC_TOSTATIC, u"TXT_DLG_SAVEASPDF_TOSTATIC"},
    {CSaveAsPDFDlg::IDC_TO, nullptr},
    {CSaveAsPDFDlg::IDC_CURRENT, u"TXT_DLG_SAVEASPDF_CURRENTRADIO"},
};

}  // namespace

CSaveAsPDFDlg::CSaveAsPDFDlg(BOOL openFileDialog, LPCWSTR defaultExtension, LPCWSTR fileName, DWORD flags, CWnd* parent)
    : CFileDialog(openFileDialog, defaultExtension, fileName,
                  flags | OFN_ENABLESIZING | OFN_ALLOWMULTISELECT | OFN_ENABLETEMPLATE, u"PDF File (*.pdf)|*.pdf||",
                  parent) {
  m_ofn.lpTemplateName = u"IDD_SAVEASPDF_DLG";
}

void CSaveAsPDFDlg::DoDataExchange(CDataExchange* dx) {
  CFileDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_FROM, m_from);
  DDX_Control(dx, IDC_TO, m_to);
}

BOOL CSaveAsPDFDlg::OnInitDialog() {
  CFileDialog::OnInitDialog();
  if (m_nRangeLocked) m_options.nSaveRange = kAllImages;
  CString text;
  if (CWnd* frame = GetParent(); frame && CQVRCM::LoadText(u"DLG_SXSSAVEASPDF", text)) frame->SetWindowText(text);
  for (const PanelItem& item : kPanelItems) {
    CWnd* control = GetDlgItem(item.id);
    if (!control) return FALSE;
    if (item.key && CQVRCM::LoadText(item.key, text)) control->SetWindowText(text);
    control->EnableWindow(!m_nRangeLocked);
  }
  ApplyRange(m_options.nSaveRange);
  Layout();
  return TRUE;
}

void CSaveAsPDFDlg::ApplyRange(int saveRange) {
  if (saveRange < kAllImages || saveRange > kCurrentScreen) return;
  CheckRadioButton(IDC_ALLIMAGES, IDC_CURRENT, saveRange == kAllImages ? IDC_ALLIMAGES : saveRange == kFromTo ? IDC_IMAGES : IDC_CURRENT);
  m_from.SendMessage(EM_SETREADONLY, saveRange != kFromTo);
  m_to.SendMessage(EM_SETREADONLY, saveRange != kFromTo);
  if (saveRange != kFromTo) return;
  if (m_options.nImageFrom > 0) SetDlgItemInt(IDC_FROM, static_cast<UINT>(m_options.nImageFrom));
  if (m_options.nImageTo > 0) SetDlgItemInt(IDC_TO, static_cast<UINT>(m_options.nImageTo));
}

void CSaveAsPDFDlg::OnRangeClicked(UINT id) {
  ApplyRange(id == IDC_ALLIMAGES ? kAllImages : id == IDC_IMAGES ? kFromTo : kCurrentScreen);
}

void CSaveAsPDFDlg::OnSize(UINT type, int cx, int cy) {
  CFileDialog::OnSize(type, cx, cy);
  Layout();
}

void CSaveAsPDFDlg::Layout() {
  CWnd* frame = GetParent();
  CWnd* label = frame ? frame->GetDlgItem(IDC_FILE_TYPE_LABEL) : nullptr;
  CWnd* types = frame ? frame->GetDlgItem(IDC_FILE_TYPE) : nullptr;
  CRect group;
  if (!label || !types || !m_helper.GetDlgItemTemplate(IDC_SAVERANGE, group, FALSE)) return;
  CRect l, c;
  label->GetWindowRect(&l);
  ScreenToClient(&l);
  types->GetWindowRect(&c);
  ScreenToClient(&c);
  // The panel lies below the dialog's items, so the group keeps its own top, and its left edge
  // stays inside the panel.
  group.left = std::max<LONG>(group.left, l.left - 10);
  group.right = c.right + 10;
  m_helper.MoveDlgItem(IDC_SAVERANGE, group, TRUE);
  m_helper.MoveDlgItem(IDC_ALLIMAGES, group.left + 10, group.top + 20, 1, TRUE);
  m_helper.MoveDlgItem(IDC_IMAGES, group.left + 10, group.top + 50, 1, TRUE);
  CRect images, from, fromStatic, toStatic;
  m_helper.GetDlgItemTemplate(IDC_IMAGES, images, FALSE);
  // Under the file-type list, unless the radio button reaches that far.
  m_helper.MoveDlgItem(IDC_FROMSTATIC, std::max<LONG>(c.left, images.right + 5), images.top + 2, 1, TRUE);
  m_helper.GetDlgItemTemplate(IDC_FROMSTATIC, fromStatic, FALSE);
  m_helper.MoveDlgItem(IDC_FROM, fromStatic.right + 5, fromStatic.top - 2, 1, TRUE);
  m_helper.GetDlgItemTemplate(IDC_FROM, from, FALSE);
  m_helper.MoveDlgItem(IDC_TOSTATIC, from.right + 5, images.top, 1, TRUE);
  m_helper.GetDlgItemTemplate(IDC_TOSTATIC, toStatic, FALSE);
  m_helper.MoveDlgItem(IDC_TO, toStatic.right + 5, from.top, 1, TRUE);
  m_helper.MoveDlgItem(IDC_CURRENT, group.left + 10, group.top + 80, 1, TRUE);
}

void CSaveAsPDFDlg::RefuseRange(LPCWSTR textKey, CEdit& edit) {
  CQVDialogHelper(GetParent()).InfoMsg(textKey);
  edit.SetFocus();
}

BOOL CSaveAsPDFDlg::OnFileNameOK() {
  m_from.ModifyStyle(0, ES_NUMBER);
  m_to.ModifyStyle(0, ES_NUMBER);
  const int checked = GetCheckedRadioButton(IDC_ALLIMAGES, IDC_CURRENT);
  if (checked == IDC_IMAGES) {
    BOOL fromOk = FALSE, toOk = FALSE;
    const int from = static_cast<int>(GetDlgItemInt(IDC_FROM, &fromOk, TRUE));
    if (!fromOk || from <= 0) {
      RefuseRange(u"MSG_DLG_RANGE_INVALIDFROM", m_from);
      return TRUE;
    }
    const int to = static_cast<int>(GetDlgItemInt(IDC_TO, &toOk, TRUE));
    if (!toOk || to < 0 || to > m_nMaxImage) {
      RefuseRange(u"MSG_DLG_RANGE_INVALIDTO", m_to);
      return TRUE;
    }
    if (to < from) {
      RefuseRange(u"MSG_DLG_RANGE_FROMTO", m_to);
      return TRUE;
    }
    m_options.nSaveRange = kFromTo;
    m_options.nImageFrom = from;
    m_options.nImageTo = to;
  } else {
    m_options.nSaveRange = checked == IDC_CURRENT ? kCurrentScreen : kAllImages;
    m_options.nImageFrom = 0;
    m_options.nImageTo = 0;
  }
  const CString chosen = GetPathName();
  const CString path = GetFolderPath() + u"/" + GetFileTitle() + u".pdf";
  if (!ConfirmFinalPath(*this, chosen, path)) return TRUE;
  m_options.strPath = path;
  return FALSE;
}
