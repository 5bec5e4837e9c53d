#include "viewer/mail/CNewEmailDlg.h"

#include "framework/dialogs/CQVFolderBrowser.h"
#include "platform/ui/afx/CDataExchange.h"
#include "viewer/mail/CFormula.h"
#include "viewer/mail/CFormulaSetupDlg.h"
#include "viewer/mail/MailClients.h"

IMPLEMENT_DYNAMIC(CNewEmailDlg, CQVDialog)

namespace {

enum : int {
  kClientStatic = 1234,
  kClientCombo = 1235,
  kRangeGroup = 1251,
  kAllImages = 1253,
  kImages = 1254,
  kFromStatic = 1255,
  kImagesFrom = 1256,
  kToStatic = 1257,
  kImagesTo = 1258,
  kCurrentScreen = 1259,
  kBodyGroup = 1260,
  kBodySetup = 1252,
  kIndexData = 1262,
  kCombine = 1263,
  kLog = 1264,
  kLogFolder = 1265,
  kBrowse = 1266,
};

// The record's six formulas with their edits and the setup buttons beside them.
struct FormulaItem {
  int edit;
  int button;
  CString EmailSetting::*text;
};
constexpr FormulaItem kFormulas[] = {
    {1237, 1238, &EmailSetting::strMailTitle}, {1240, 1241, &EmailSetting::strMailTo},
    {1243, 1244, &EmailSetting::strMailCc},    {1246, 1247, &EmailSetting::strMailBcc},
    {1249, 1250, &EmailSetting::strAttachName}, {1261, 1252, &EmailSetting::strMailBody},
};

}  // namespace

BEGIN_MESSAGE_MAP(CNewEmailDlg, CQVDialog)
  ON_BN_CLICKED(1238, &CNewEmailDlg::OnSetupSubject)
  ON_BN_CLICKED(1241, &CNewEmailDlg::OnSetupTo)
  ON_BN_CLICKED(1244, &CNewEmailDlg::OnSetupCc)
  ON_BN_CLICKED(1247, &CNewEmailDlg::OnSetupBcc)
  ON_BN_CLICKED(1250, &CNewEmailDlg::OnSetupAttachName)
  ON_BN_CLICKED(kBodySetup, &CNewEmailDlg::OnSetupBody)
  ON_BN_CLICKED(kIndexData, &CNewEmailDlg::OnIndexDataClicked)
  ON_EN_CHANGE(1261, &CNewEmailDlg::OnBodyChanged)
  ON_BN_CLICKED(kAllImages, &CNewEmailDlg::OnRangeClicked)
  ON_BN_CLICKED(kImages, &CNewEmailDlg::OnRangeClicked)
  ON_BN_CLICKED(kCurrentScreen, &CNewEmailDlg::OnRangeClicked)
  ON_BN_CLICKED(kLog, &CNewEmailDlg::OnLogClicked)
  ON_BN_CLICKED(kBrowse, &CNewEmailDlg::OnBrowse)
END_MESSAGE_MAP()

CNewEmailDlg::CNewEmailDlg(CWnd* parent) : CQVDialog(u"IDD_NEWEMAIL_DLG", parent) {}

CString CNewEmailDlg::IndexDataItem() {
  CString item;
  item.Format(u"%s%s%s", u"<", CFormula::kIndexDataItem, u">");
  return item;
}

CString CNewEmailDlg::ItemText(int id) const {
  CString text;
  GetDlgItemText(id, text);
  return text;
}

BOOL CNewEmailDlg::EditFormula(CString& formula, const std::vector<CString>& extraItems) {
  CFormulaSetupDlg dialog(this);
  dialog.SetLabels(m_labels);
  dialog.SetExtraItems(extraItems);
  return dialog.Edit(formula);
}

BOOL CNewEmailDlg::BrowseFolder(CString& folder) {
  CQVFolderBrowser browser(this);
  browser.SetDefault(folder);
  return browser.Browse(folder) && !folder.IsEmpty();
}

BOOL CNewEmailDlg::OnInitIDMap() {
  BeginIDMap(u"DLG_EML");
  DlgItem(kClientStatic, u"DLG_EML_MAILCLIENT_STATIC", TRUE);
  DlgItem(kClientCombo, u"DLG_EML_MAILCLIENT_COMBO", FALSE);
  DlgItem(1236, u"DLG_EML_MAILTITLE_STATIC", TRUE);
  DlgItem(1237, u"DLG_EML_MAILTITLE_EDIT", FALSE);
  DlgItem(1238, u"DLG_EML_MAILTITLE_SETUP", TRUE);
  DlgItem(1239, u"DLG_EML_TO_STATIC", TRUE);
  DlgItem(1240, u"DLG_EML_TO_EDIT", FALSE);
  DlgItem(1241, u"DLG_EML_TO_SETUP", TRUE);
  DlgItem(1242, u"DLG_EML_CC_STATIC", TRUE);
  DlgItem(1243, u"DLG_EML_CC_EDIT", FALSE);
  DlgItem(1244, u"DLG_EML_CC_SETUP", TRUE);
  DlgItem(1245, u"DLG_EML_BCC_STATIC", TRUE);
  DlgItem(1246, u"DLG_EML_BCC_EDIT", FALSE);
  DlgItem(1247, u"DLG_EML_BCC_SETUP", TRUE);
  DlgItem(1248, u"DLG_EML_ATTACH_STATIC", TRUE);
  DlgItem(1249, u"DLG_EML_ATTACH_EDIT", FALSE);
  DlgItem(1250, u"DLG_EML_ATTACH_SETUP", TRUE);
  DlgItem(kRangeGroup, u"DLG_EML_ATTACHRANGE_GROUP", TRUE);
  DlgItem(kAllImages, u"DLG_EML_RANGE_ALLIMAGES", TRUE);
  DlgItem(kImages, u"DLG_EML_RANGE_IMAGES", TRUE);
  DlgItem(kCurrentScreen, u"DLG_EML_RANGE_CURRENTSCREEN", TRUE);
  DlgItem(kFromStatic, u"DLG_EML_RANGE_IMAGESFROM_STATIC", TRUE);
  DlgItem(kImagesFrom, u"DLG_EML_RANGE_IMAGESFROM_EDIT", FALSE);
  DlgItem(kToStatic, u"DLG_EML_RANGE_IMAGESTO_STATIC", TRUE);
  DlgItem(kImagesTo, u"DLG_EML_RANGE_IMAGESTO_EDIT", FALSE);
  DlgItem(kBodyGroup, u"DLG_EML_MAILBODY_GROUP", TRUE);
  DlgItem(kIndexData, u"DLG_EML_INCDOCIDXDATA_CHK", TRUE);
  DlgItem(kBodySetup, u"DLG_EML_MAILBODY_SETUP", TRUE);
  DlgItem(1261, u"DLG_EML_MAILBODY_EDIT", FALSE);
  DlgItem(kCombine, u"DLG_EML_COMBINESINGETIFF_CHK", TRUE);
  DlgItem(kLog, u"DLG_EML_LOGFILE_CHK", TRUE);
  DlgItem(kLogFolder, u"DLG_EML_LOGFILE_EDIT", FALSE);
  DlgItem(kBrowse, u"DLG_EML_LOGFILE_BROWSER", TRUE);
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

void CNewEmailDlg::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Control(dx, kClientCombo, m_clients);
  for (size_t i = 0; i < std::size(kFormulas); ++i) DDX_Control(dx, kFormulas[i].edit, m_edits[i]);
}

void CNewEmailDlg::FillMailClients() {
  const std::vector<CString> clients = ListMailClients();
  m_bNoClients = clients.empty();
  if (clients.empty()) {
    CString none;
    LoadText(u"MSG_DLG_EML_NOMAILCLIENTS", none);
    InfoMsg(u"MSG_DLG_EML_NOMAILCLIENTS");
    m_clients.SetCurSel(m_clients.AddString(none));
    return;
  }
  for (const CString& client : clients) m_clients.AddString(client);
  const auto find = [this](const CString& name) {
    for (int i = 0; i < m_clients.GetCount(); ++i) {
      CString listed;
      m_clients.GetLBText(i, listed);
      if (listed.CompareNoCase(name) == 0) return i;
    }
    return -1;
  };
  int selected = find(m_setting.strMailClient);
  if (selected < 0) {
    CString current;
    selected = ReadDefaultMailClient(current) && !current.IsEmpty() ? find(current) : -1;
    if (selected < 0) selected = 0;
    if (!m_setting.strMailClient.IsEmpty()) {
      CString text;
      LoadText(u"MSG_DLG_EML_EMAILCLIENT_UNAVAILABLE", text);
      text.Replace(u"<%mailclient%>", m_setting.strMailClient);
      _ErrorMsg(text);
    }
  }
  m_clients.SetCurSel(selected);
}

BOOL CNewEmailDlg::OnInitSettings() {
  if (m_nRangeAvailable == 0) {
    m_setting.nRangeMode = 1;
    for (int id : {kRangeGroup, kAllImages, kImages, kCurrentScreen, kFromStatic, kImagesFrom, kToStatic, kImagesTo})
      EnableDlgItem(id, FALSE);
  }
  FillMailClients();

  m_setting.strMailBody.Replace(u"__CR__", u"\r\n");
  for (size_t i = 0; i < std::size(kFormulas); ++i) m_edits[i].SetWindowText(m_setting.*kFormulas[i].text);
  SetDlgItemText(kLogFolder, m_setting.strLogPath);

  const int radios[] = {kAllImages, kImages, kCurrentScreen};
  if (m_setting.nRangeMode < 1 || m_setting.nRangeMode > 3) return FALSE;
  CheckRadioButton(kAllImages, kCurrentScreen, radios[m_setting.nRangeMode - 1]);
  if (m_setting.nImagesFrom > 0) SetDlgItemInt(kImagesFrom, m_setting.nImagesFrom);
  if (m_setting.nImagesTo > 0) SetDlgItemInt(kImagesTo, m_setting.nImagesTo);
  UpdateRangeEdits();

  CheckDlgButton(kIndexData, m_setting.nIncludeADID ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(kCombine, m_setting.nCombineTIFF ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(kLog, m_setting.nSaveLogFile ? BST_CHECKED : BST_UNCHECKED);
  ShowDlgItem(kBrowse, m_setting.nSaveLogFile != 0);
  return TRUE;
}

void CNewEmailDlg::UpdateRangeEdits() {
  const BOOL editable = IsDlgButtonChecked(kImages) == BST_CHECKED;
  for (int id : {kImagesFrom, kImagesTo})
    if (CWnd* edit = GetDlgItem(id)) edit->SendMessage(EM_SETREADONLY, !editable);
}

void CNewEmailDlg::OnRangeClicked() { UpdateRangeEdits(); }

void CNewEmailDlg::OnLogClicked() { ShowDlgItem(kBrowse, IsDlgButtonChecked(kLog) == BST_CHECKED); }

void CNewEmailDlg::OnBrowse() {
  CString folder = ItemText(kLogFolder);
  if (BrowseFolder(folder) && !folder.IsEmpty()) SetDlgItemText(kLogFolder, folder);
}

void CNewEmailDlg::SetupFormula(int editId) {
  CString text = ItemText(editId);
  if (EditFormula(text, {})) SetDlgItemText(editId, text);
}

void CNewEmailDlg::OnSetupBody() {
  CString text = ItemText(kBodyEdit);
  if (EditFormula(text, {CFormula::kIndexDataItem})) SetDlgItemText(kBodyEdit, text);
  OnBodyChanged();
}

void CNewEmailDlg::OnIndexDataClicked() {
  CString body = ItemText(kBodyEdit);
  if (IsDlgButtonChecked(kIndexData) == BST_CHECKED)
    body += IndexDataItem();
  else
    body.Replace(IndexDataItem(), u"");
  SetDlgItemText(kBodyEdit, body);
}

void CNewEmailDlg::OnBodyChanged() {
  CheckDlgButton(kIndexData, ItemText(kBodyEdit).Find(IndexDataItem()) >= 0 ? BST_CHECKED : BST_UNCHECKED);
}

BOOL CNewEmailDlg::CheckFormula(int editId, BOOL body) {
  CFormula formula;
  formula.SetLabels(m_labels);
  if (body) formula.AddExtraItem(CFormula::kIndexDataItem);
  formula.SetText(ItemText(editId));
  for (size_t i = 0; i < std::size(kFormulas); ++i)
    if (kFormulas[i].edit == editId) return CheckFormulaEdit(*this, m_edits[i], formula);
  return FALSE;
}

void CNewEmailDlg::OnOK() {
  CString client;
  if (m_clients.GetCurSel() >= 0) m_clients.GetLBText(m_clients.GetCurSel(), client);
  CString none;
  LoadText(u"MSG_DLG_EML_NOMAILCLIENTS", none);
  if (m_bNoClients || client.IsEmpty() || client.CompareNoCase(none) == 0) {
    InfoMsg(u"MSG_DLG_EML_NOMAILCLIENTS");
    return;
  }
  m_setting.strMailClient = client;
  for (const FormulaItem& item : kFormulas) m_setting.*item.text = ItemText(item.edit);
  for (const FormulaItem& item : kFormulas)
    if (!CheckFormula(item.edit, item.edit == kBodyEdit)) return;

  if (IsDlgButtonChecked(kImages) == BST_CHECKED) {
    // A blank or unreadable number is refused like one out of range.
    BOOL fromRead = FALSE, toRead = FALSE;
    const int from = static_cast<int>(GetDlgItemInt(kImagesFrom, &fromRead, TRUE));
    const int to = static_cast<int>(GetDlgItemInt(kImagesTo, &toRead, TRUE));
    LPCWSTR refusal = nullptr;
    int focus = kImagesFrom;
    if (!fromRead || from <= 0) refusal = u"MSG_DLG_RANGE_INVALIDFROM";
    else if (!toRead || to < 0 || to > m_nImageCount) refusal = u"MSG_DLG_RANGE_INVALIDTO", focus = kImagesTo;
    else if (to < from) refusal = u"MSG_DLG_RANGE_FROMTO", focus = kImagesTo;
    if (refusal) {
      ErrorMsg(refusal);
      GotoDlgCtrl(GetDlgItem(focus));
      return;
    }
    m_setting.nImagesFrom = from;
    m_setting.nImagesTo = to;
    m_setting.nRangeMode = 2;
  } else {
    m_setting.nImagesFrom = m_setting.nImagesTo = 0;
    m_setting.nRangeMode = IsDlgButtonChecked(kCurrentScreen) == BST_CHECKED ? 3 : 1;
  }

  m_setting.nIncludeADID = IsDlgButtonChecked(kIndexData) == BST_CHECKED;
  m_setting.nCombineTIFF = IsDlgButtonChecked(kCombine) == BST_CHECKED;
  m_setting.nSaveLogFile = IsDlgButtonChecked(kLog) == BST_CHECKED;
  if (m_setting.nSaveLogFile) {
    CString folder = ItemText(kLogFolder);
    if (folder.Trim().IsEmpty()) {
      ErrorMsg(u"MSG_DLG_EML_ERR_NOSAVELOGFILRPATH");
      GotoDlgCtrl(GetDlgItem(kLogFolder));
      return;
    }
    m_setting.strLogPath = folder;
  }
  CQVDialog::OnOK();
}
