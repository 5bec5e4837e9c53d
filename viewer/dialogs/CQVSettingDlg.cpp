#include "viewer/dialogs/CQVSettingDlg.h"

#include "platform/ui/afx/CDataExchange.h"
#include "viewer/dialogs/CQVFolderDlg.h"
#include "viewer/model/CdRomDrive.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CQVSettingDlg, CQVDialog)

BEGIN_MESSAGE_MAP(CQVSettingDlg, CQVDialog)
  ON_BN_CLICKED(CQVSettingDlg::IDC_ALLDRIVES, &CQVSettingDlg::OnAllDrivesClicked)
  ON_BN_CLICKED(CQVSettingDlg::IDC_PATH, &CQVSettingDlg::OnPathClicked)
  ON_BN_CLICKED(CQVSettingDlg::IDC_DRIVE, &CQVSettingDlg::OnDriveClicked)
  ON_BN_CLICKED(CQVSettingDlg::IDC_BROWSE, &CQVSettingDlg::OnBrowse)
END_MESSAGE_MAP()

namespace {

struct Switch {
  int id;
  int QVSettings::*field;
};
constexpr Switch kSwitches[] = {
    {CQVSettingDlg::IDC_SAVERESULTS, &QVSettings::nSaveResults},
    {CQVSettingDlg::IDC_MULTISELECT, &QVSettings::nAllowMultiSelect},
    {CQVSettingDlg::IDC_LARGEICON, &QVSettings::nLargeIcon},
    {CQVSettingDlg::IDC_REMEMBERSEARCH, &QVSettings::nRemberSearch},
    {CQVSettingDlg::IDC_LAUNCHVIEW, &QVSettings::nLanchView},
    {CQVSettingDlg::IDC_PAGECOUNT, &QVSettings::nDisplayPageCount},
};

}  // namespace

CQVSettingDlg::CQVSettingDlg(CWnd* parent) : CQVDialog(u"IDD_QVSETTING_DIALOG", parent) {}

void CQVSettingDlg::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_PATHEDIT, m_path);
  DDX_Control(dx, IDC_DRIVES, m_drives);
}

BOOL CQVSettingDlg::OnInitIDMap() {
  BeginIDMap(u"DLG_SET");
  DlgItem(IDC_GENERAL, u"DLG_SET_GENERALSTATIC", TRUE);
  DlgItem(IDC_SAVERESULTS, u"DLG_SET_SAVESEARCHCHECK", TRUE);
  DlgItem(IDC_MULTISELECT, u"DLG_SET_MULTIPLECHECK", TRUE);
  DlgItem(IDC_LARGEICON, u"DLG_SET_LARGEICONCHECK", TRUE);
  DlgItem(IDC_REMEMBERSEARCH, u"DLG_SET_REMBERSECHECK", TRUE);
  DlgItem(IDC_LAUNCHVIEW, u"DLG_SET_AUTOLAUNCHVIEWCHECK", TRUE);
  DlgItem(IDC_PAGECOUNT, u"DLG_SET_DISPLAYCOUNTCHECK", TRUE);
  DlgItem(IDC_LOCATION, u"DLG_SET_SEARCHLOCATIONSTATIC", TRUE);
  DlgItem(IDC_DRIVE, u"DLG_SET_DRIVERRADIO", TRUE);
  // A list's text is its selection: translating it would take that away.
  DlgItem(IDC_DRIVES, u"DLG_SET_DRIVERCOMBO", FALSE);
  DlgItem(IDC_PATH, u"DLG_SET_PATHRADIO", TRUE);
  DlgItem(IDC_PATHEDIT, u"DLG_SET_SETPATHEDIT", FALSE);
  DlgItem(IDC_BROWSE, u"DLG_SET_BROWBUTTON", TRUE);
  DlgItem(IDC_ALLDRIVES, u"DLG_SET_ALLDRIVERRADIO", TRUE);
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CQVSettingDlg::OnInitControls() {
  for (const Switch& s : kSwitches) CheckDlgButton(s.id, m_settings.*s.field ? BST_CHECKED : BST_UNCHECKED);

  std::vector<MountedDrive> drives = MountedDrives(m_strMountTable.IsEmpty() ? nullptr : m_strMountTable.GetString());
  std::sort(drives.begin(), drives.end(), [](const MountedDrive& a, const MountedDrive& b) { return a.root.Compare(b.root) < 0; });
  m_settings.strAllDrives.Empty();
  m_drives.ResetContent();
  for (const MountedDrive& drive : drives) {
    m_settings.strAllDrives += drive.root + u";";
    m_drives.AddString(drive.root);
  }
  int selected = -1;
  if (!m_settings.strDriver.IsEmpty()) {
    selected = m_drives.FindStringExact(-1, m_settings.strDriver);
    // The list ignores case; the saved drive must match exactly.
    if (selected >= 0) {
      CString text;
      m_drives.GetLBText(selected, text);
      if (text != m_settings.strDriver) selected = -1;
    }
  } else {
    const auto optical = std::find_if(drives.begin(), drives.end(), [](const MountedDrive& d) { return d.optical; });
    if (optical != drives.end()) {
      selected = m_drives.FindStringExact(-1, optical->root);
      m_settings.strDriver = optical->root;
    }
  }
  if (selected < 0 && !drives.empty()) {
    selected = m_drives.FindStringExact(-1, drives.back().root);
    m_settings.strDriver = drives.back().root;
  }
  m_drives.SetCurSel(selected);
  if (!m_settings.strPath.IsEmpty()) m_path.SetWindowText(m_settings.strPath);

  switch (m_settings.nSearchMode) {
  case kModePath: SetState(kModePath); break;
  case kModeAllDrives: SetState(kModeAllDrives); break;
  default:
    m_drives.SetCurSel(m_drives.FindString(-1, m_settings.strDriver));
    SetState(kModeDrive);
    break;
  }
  return TRUE;
}

void CQVSettingDlg::SetState(int mode) {
  m_drives.EnableWindow(mode == kModeDrive);
  ShowDlgItem(IDC_BROWSE, mode == kModePath);
  m_path.SendMessage(EM_SETREADONLY, TRUE);
  CheckRadioButton(IDC_DRIVE, IDC_ALLDRIVES, mode == kModeDrive ? IDC_DRIVE : mode == kModePath ? IDC_PATH : IDC_ALLDRIVES);
}

int CQVSettingDlg::CheckedMode() const {
  switch (GetCheckedRadioButton(IDC_DRIVE, IDC_ALLDRIVES)) {
  case IDC_DRIVE: return kModeDrive;
  case IDC_PATH: return kModePath;
  case IDC_ALLDRIVES: return kModeAllDrives;
  default: return 0;
  }
}

void CQVSettingDlg::OnBrowse() {
  CString path;
  m_path.GetWindowText(path);
  CQVFolderDlg picker;
  if (picker.Browse(this, path) && !path.IsEmpty()) m_path.SetWindowText(path);
}

void CQVSettingDlg::OnOK() {
  if (GetOKLock()) return;
  for (const Switch& s : kSwitches) m_settings.*s.field = IsDlgButtonChecked(s.id) == BST_CHECKED ? 1 : 0;
  switch (CheckedMode()) {
  case kModeDrive:
    m_settings.nSearchMode = kModeDrive;
    if (m_drives.GetCurSel() >= 0) m_drives.GetLBText(m_drives.GetCurSel(), m_settings.strDriver);
    break;
  case kModePath:
    m_settings.nSearchMode = kModePath;
    m_path.GetWindowText(m_settings.strPath);
    break;
  case kModeAllDrives: m_settings.nSearchMode = kModeAllDrives; break;
  default: break;
  }
  CQVDialog::OnOK();
}
