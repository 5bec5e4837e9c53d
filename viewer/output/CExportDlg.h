#pragma once
// CExportDlg: the save dialog of the index export: XML or CSV by the file type chosen, and a check
// box below the dialog's items for a heading record. The caller sets the title, the check box's
// text and the heading flag before DoModal, and reads the choice with GetExportChoice after IDOK.
//
// The file name gets the extension of the chosen type unless it ends in it already (in any
// letter case); when that makes a name of a file that exists, the user is asked before it is
// replaced.

#include "platform/ui/afx/CButton.h"
#include "platform/ui/afx/CFileDialog.h"

class CExportDlg : public CFileDialog {
  DECLARE_DYNAMIC(CExportDlg)
public:
  enum { kFormatCSV = 1, kFormatXML = 2 };
  enum { IDC_INCLUDE_HEADINGS = 1001 };

  // The type list is XML (index 1), then CSV (index 2); the flags get the panel, sizing and the
  // create prompt added.
  CExportDlg(BOOL openFileDialog, LPCWSTR fileName, DWORD flags, CWnd* parent = nullptr);

  // Empty texts give the defaults "Export Index Data" and "Include column headings with exported data".
  CString m_strTitle;
  CString m_strCheckTitle;
  BOOL m_bIncludeHeadings { TRUE };

  // FALSE when the chosen type is neither XML nor CSV; otherwise the path, kFormatXML or kFormatCSV
  // and the heading flag.
  BOOL GetExportChoice(CString& path, int& format, BOOL& includeHeadings) const;

protected:
  BOOL OnInitDialog() override;
  BOOL OnFileNameOK() override;
  void OnSize(UINT type, int cx, int cy);
  void OnIncludeHeadingsClicked();
  DECLARE_MESSAGE_MAP()

private:
  // The check box goes under the file-type label, its left edge on the label's.
  void PlaceCheckBox();

  CButton m_check;
  CString m_strPath;
};
