#pragma once
// CQVSettingDlg: the viewer's settings dialog: six switches and where searches look for published
// batches (one drive, a folder of batches, or all drives). It edits its own copy of the general
// options: the caller fills m_settings, runs ShowModal and takes m_settings back after IDOK.
//
// A drive is the mount point of a disc, a device or a network share (see MountedDrives). Loading
// rebuilds the list of all drives ("AllDrives": every drive followed by ";", in sorted order) and
// selects the saved drive, else the first optical disc, else the last drive of the list, which
// then becomes the options' drive. A search mode that is not one of the three opens the dialog on
// the drive.

#include "framework/dialogs/CQVDialog.h"
#include "platform/ui/afx/CComboBox.h"
#include "platform/ui/afx/CEdit.h"
#include "viewer/model/CMainSettings.h"

class CQVSettingDlg : public CQVDialog {
  DECLARE_DYNAMIC(CQVSettingDlg)
public:
  enum {
    IDC_GENERAL = 1055,
    IDC_SAVERESULTS = 1056,
    IDC_MULTISELECT = 1057,
    IDC_LARGEICON = 1059,
    IDC_REMEMBERSEARCH = 1060,
    IDC_LAUNCHVIEW = 1061,
    IDC_PAGECOUNT = 1062,
    IDC_LOCATION = 1063,
    IDC_DRIVE = 1065,
    IDC_PATH = 1066,
    IDC_ALLDRIVES = 1067,
    IDC_BROWSE = 1072,
    IDC_DRIVES = 1073,
    IDC_PATHEDIT = 1074,
  };
  enum { kModeDrive = 1, kModePath = 2, kModeAllDrives = 3 };

  explicit CQVSettingDlg(CWnd* parent = nullptr);

  QVSettings m_settings;
  // The table of mounts the drives are read from; the process's own when empty.
  CString m_strMountTable;

protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitControls() override;
  BOOL OnInitIDMap() override;
  void OnOK() override;

  void OnDriveClicked() { SetState(kModeDrive); }
  void OnPathClicked() { SetState(kModePath); }
  void OnAllDrivesClicked() { SetState(kModeAllDrives); }
  void OnBrowse();
  DECLARE_MESSAGE_MAP()

private:
  void SetState(int mode);
  // The search mode of the checked radio button; 0 when none is.
  int CheckedMode() const;

  CComboBox m_drives;
  CEdit m_path;
};
