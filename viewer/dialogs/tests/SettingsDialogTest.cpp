// The settings dialog: what it shows of the options, what it writes back, the drives it offers,
// settings that make no sense, and the folder picker behind Browse.

#include "foundation/language/CQVRCM.h"
#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/shell/shlobj.h"
#include "viewer/dialogs/CQVFolderDlg.h"
#include "viewer/dialogs/CQVSettingDlg.h"
#include "viewer/model/tests/BatchFixture.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Dlg = CQVSettingDlg;

// A desk machine: a disk, a second disk, a disc and a share; the disc is not the last drive.
const char* const kMounts =
    "proc /proc proc rw 0 0\n/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 /srv/data xfs rw 0 0\n"
    "/dev/sr0 /media/cd iso9660 ro 0 0\nserver:/pub /net/pub nfs4 rw 0 0\n";
const char* const kNoDisc = "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 /srv/data xfs rw 0 0\n";

void UseViewerTexts() {
  CQVRCM::RegisterRCM(nullptr, u"ViewerDialogsTest.drs", TRUE);
  ASSERT_TRUE(CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE));
}

class SettingsDialog : public ::testing::Test {
protected:
  void SetUp() override { UseViewerTexts(); }

  // Runs the dialog on the mount table; `script` runs inside it and ends it.
  INT_PTR Run(Dlg& dialog, const char* mounts, const std::function<void(Dlg&)>& script) {
    WriteBytes(m_folder.Path() / "mounts", mounts);
    dialog.m_strMountTable = m_folder.Wide("mounts");
    return RunModal(dialog, [&](CDialog&) { script(dialog); });
  }

  static void Press(Dlg& dialog, int id) { dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

  static CString Selected(Dlg& dialog) {
    CString text;
    dialog.GetDlgItemText(Dlg::IDC_DRIVES, text);
    return text;
  }

  TempFolder m_folder;
};

}  // namespace

TEST_F(SettingsDialog, TheDriveShownAndStoredComesFromTheSavedOneTheDiscOrTheLastDrive) {
  const struct {
    const char* what;
    const char* mounts;
    LPCWSTR saved;
    LPCWSTR chosen;
  } cases[] = {
      {"the saved drive", kMounts, u"/srv/data/", u"/srv/data/"},
      {"no saved drive: the disc", kMounts, u"", u"/media/cd/"},
      {"no disc and no saved drive: the last drive", kNoDisc, u"", u"/srv/data/"},
      {"a saved drive that is gone: the last drive", kMounts, u"/media/usb/", u"/srv/data/"},
      {"the saved drive in another letter case is another drive", kMounts, u"/MEDIA/CD/", u"/srv/data/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Dlg dialog;
    dialog.m_settings.nSearchMode = Dlg::kModeDrive;
    dialog.m_settings.strDriver = c.saved;
    dialog.m_settings.strAllDrives = u"C:\\;";
    CString shown;
    BOOL comboEnabled = FALSE, browseShown = TRUE;
    ASSERT_EQ(Run(dialog, c.mounts,
                  [&](Dlg& d) {
                    shown = Selected(d);
                    comboEnabled = d.GetDlgItem(Dlg::IDC_DRIVES)->IsWindowEnabled();
                    browseShown = d.GetDlgItem(Dlg::IDC_BROWSE)->IsWindowVisible();
                    Press(d, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(shown, CString(c.chosen));
    EXPECT_TRUE(comboEnabled);
    EXPECT_FALSE(browseShown);
    EXPECT_EQ(dialog.m_settings.strDriver, CString(c.chosen));
    EXPECT_EQ(dialog.m_settings.nSearchMode, Dlg::kModeDrive);
  }
}

TEST_F(SettingsDialog, TheSwitchesAndTheLocationGoBackIntoTheOptions) {
  Dlg dialog;
  QVSettings& s = dialog.m_settings;
  s.nSaveResults = 1;
  s.nAllowMultiSelect = 0;
  s.nLargeIcon = 1;
  s.nRemberSearch = 0;
  s.nLanchView = 1;
  s.nDisplayPageCount = 0;
  s.nSearchMode = Dlg::kModePath;
  s.strPath = u"/srv/batches";
  s.strDriver = u"/media/cd/";
  CString pathShown;
  BOOL comboEnabled = TRUE, browseShown = FALSE, pathReadOnly = FALSE;
  ASSERT_EQ(Run(dialog, kMounts,
                [&](Dlg& d) {
                  d.GetDlgItemText(Dlg::IDC_PATHEDIT, pathShown);
                  comboEnabled = d.GetDlgItem(Dlg::IDC_DRIVES)->IsWindowEnabled();
                  browseShown = d.GetDlgItem(Dlg::IDC_BROWSE)->IsWindowVisible();
                  pathReadOnly = (d.GetDlgItem(Dlg::IDC_PATHEDIT)->GetStyle() & ES_READONLY) != 0;
                  for (int id : {Dlg::IDC_SAVERESULTS, Dlg::IDC_MULTISELECT, Dlg::IDC_PAGECOUNT}) ClickControl(d.GetDlgItem(id)->GetSafeHwnd());
                  ClickControl(d.GetDlgItem(Dlg::IDC_ALLDRIVES)->GetSafeHwnd());
                  Press(d, IDOK);
                }),
            IDOK);
  EXPECT_EQ(pathShown, CString(u"/srv/batches"));
  EXPECT_FALSE(comboEnabled);
  EXPECT_TRUE(browseShown);
  EXPECT_TRUE(pathReadOnly);
  EXPECT_EQ((std::vector<int> {s.nSaveResults, s.nAllowMultiSelect, s.nLargeIcon, s.nRemberSearch, s.nLanchView, s.nDisplayPageCount}),
            (std::vector<int> {0, 1, 1, 0, 1, 1}));
  EXPECT_EQ(s.nSearchMode, Dlg::kModeAllDrives);
  EXPECT_EQ(s.strAllDrives, CString(u"/;/media/cd/;/net/pub/;/srv/data/;")) << "every drive, sorted, rebuilt";
  EXPECT_EQ(s.strPath, CString(u"/srv/batches")) << "the all-drives mode keeps the folder";
  EXPECT_EQ(s.strDriver, CString(u"/media/cd/"));
}

TEST_F(SettingsDialog, AnUnknownSearchModeOpensOnTheDriveAndCancelStoresNothing) {
  Dlg dialog;
  dialog.m_settings.nSearchMode = 7;
  dialog.m_settings.strDriver = u"/media/cd/";
  UINT driveChecked = 0;
  CString title, driveLabel;
  ASSERT_EQ(Run(dialog, kMounts,
                [&](Dlg& d) {
                  driveChecked = d.IsDlgButtonChecked(Dlg::IDC_DRIVE);
                  d.GetWindowText(title);
                  d.GetDlgItemText(Dlg::IDC_DRIVE, driveLabel);
                  Press(d, IDOK);
                }),
            IDOK);
  EXPECT_EQ(driveChecked, static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(title, CString(u"Settings")) << "the dialog is translated";
  EXPECT_EQ(driveLabel, CString(u"&Disc drive:"));
  EXPECT_EQ(dialog.m_settings.nSearchMode, Dlg::kModeDrive) << "OK writes a mode that exists";

  Dlg cancelled;
  cancelled.m_settings.nSearchMode = Dlg::kModePath;
  EXPECT_EQ(Run(cancelled, kMounts,
                [](Dlg& d) {
                  ClickControl(d.GetDlgItem(Dlg::IDC_DRIVE)->GetSafeHwnd());
                  Press(d, IDCANCEL);
                }),
            IDCANCEL);
  EXPECT_EQ(cancelled.m_settings.nSearchMode, Dlg::kModePath);
}

// The picker: titled, opening on the current folder, its edit box following the selection; the
// settings dialog takes a chosen folder and keeps its own after a cancel.
TEST_F(SettingsDialog, BrowseChoosesTheFolderAndACancelKeepsTheOldOne) {
  std::filesystem::create_directories(m_folder.Path() / "batches" / "disc1");
  const CString start = m_folder.Wide("batches"), chosen = m_folder.Wide("batches/disc1");
  CString caption, editAtStart, editAfterSelection;
  for (const bool choose : {true, false}) {
    SCOPED_TRACE(choose ? "chosen" : "cancelled");
    Dlg dialog;
    dialog.m_settings.nSearchMode = Dlg::kModePath;
    dialog.m_settings.strPath = start;
    ASSERT_EQ(Run(dialog, kMounts,
                  [&](Dlg& d) {
                    QTimer::singleShot(0, [&] {
                      HWND picker = ShownDialog();
                      ASSERT_NE(picker, nullptr);
                      CWnd::FromHandle(picker)->GetWindowText(caption);
                      CWnd::FromHandle(::GetDlgItem(picker, IDC_BROWSE_EDIT))->GetWindowText(editAtStart);
                      ::SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(chosen.GetString()));
                      CWnd::FromHandle(::GetDlgItem(picker, IDC_BROWSE_EDIT))->GetWindowText(editAfterSelection);
                      ::SendMessageW(picker, WM_COMMAND, MAKEWPARAM(choose ? IDOK : IDCANCEL, BN_CLICKED), 0);
                    });
                    Press(d, Dlg::IDC_BROWSE);
                    Press(d, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(caption, CString(u"Set Folder...."));
    EXPECT_EQ(editAtStart, start) << "the picker opens on the current folder";
    EXPECT_EQ(editAfterSelection, chosen) << "the edit box follows the selection";
    EXPECT_EQ(dialog.m_settings.strPath, choose ? chosen : start);
  }
}

TEST(SettingsDialogOnX11, Screenshot) {
  UseViewerTexts();
  TempFolder folder;
  WriteBytes(folder.Path() / "mounts", kMounts);
  Dlg dialog;
  dialog.m_strMountTable = folder.Wide("mounts");
  dialog.m_settings.nSearchMode = Dlg::kModePath;
  dialog.m_settings.strPath = u"/srv/batches";
  dialog.m_settings.nLargeIcon = 1;
  RunModal(dialog, [](CDialog& d) {
    EXPECT_TRUE(SaveScreenshot(d.GetSafeHwnd(), "viewer-settings-dialog"));
    d.EndDialog(IDCANCEL);
  });
}
