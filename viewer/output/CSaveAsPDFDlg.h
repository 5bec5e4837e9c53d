#pragma once
// CSaveAsPDFDlg: the save dialog of "Save as PDF", with a panel below the dialog's items for the
// range of images: all images, the images from - to, or those on screen. The caller sets the
// options (the settings' SaveAsPDFOption), the highest image number and whether the range is
// locked to all images, runs DoModal and reads the options back after IDOK.
//
// The file is always saved as the chosen name without its extension plus ".pdf"; when that makes
// the name of a file that exists, the user is asked before it is replaced.

#include "framework/dialogs/CQVDialogHelper.h"
#include "platform/ui/afx/CEdit.h"
#include "platform/ui/afx/CFileDialog.h"
#include "viewer/model/CMainSettings.h"

class CSaveAsPDFDlg : public CFileDialog {
  DECLARE_DYNAMIC(CSaveAsPDFDlg)
public:
  enum {
    IDC_SAVERANGE = 1226,
    IDC_ALLIMAGES = 1227,
    IDC_IMAGES = 1228,
    IDC_CURRENT = 1229,
    IDC_FROM = 1230,
    IDC_TO = 1231,
    IDC_FROMSTATIC = 1232,
    IDC_TOSTATIC = 1233,
  };
  enum { kAllImages = 1, kFromTo = 2, kCurrentScreen = 3 };

  // Callers pass FALSE, ".pdf", no name, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT and no parent. The
  // filter is PDF files, and the panel, sizing and multiple selection are added to the flags.
  CSaveAsPDFDlg(BOOL openFileDialog, LPCWSTR defaultExtension, LPCWSTR fileName, DWORD flags, CWnd* parent = nullptr);

  void SetOptions(const SaveAsPDFOption& options) { m_options = options; }
  void GetOptions(SaveAsPDFOption& options) const { options = m_options; }
  // 1000 unless set.
  void SetMaxImage(int maxImage) { m_nMaxImage = maxImage; }
  // Non-zero disables the panel and saves all images.
  void SetRangeLocked(int locked) { m_nRangeLocked = locked; }

protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnFileNameOK() override;
  void OnSize(UINT type, int cx, int cy);
  void OnRangeClicked(UINT id);
  DECLARE_MESSAGE_MAP()

private:
  // Checks the state's radio button and lets the edits be typed in only for from - to.
  void ApplyRange(int saveRange);
  // Lines the panel up with the file-type label and list of the dialog.
  void Layout();
  // The message box for a range that is wrong, with the focus on the edit to correct.
  void RefuseRange(LPCWSTR textKey, CEdit& edit);

  CQVDialogHelper m_helper { this };
  SaveAsPDFOption m_options;
  int m_nMaxImage { 1000 };
  int m_nRangeLocked { 0 };
  CEdit m_from;
  CEdit m_to;
};
