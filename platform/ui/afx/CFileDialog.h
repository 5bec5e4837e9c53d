#pragma once
// CFileDialog: the file dialog with the program's own panel. The object is the panel (a child
// dialog made from m_ofn.lpTemplateName with OFN_ENABLETEMPLATE, else an empty one), so GetParent()
// is the file dialog itself and a derived class handles its panel's messages (OnInitDialog,
// WM_SIZE, its controls' commands). OnFileNameOK checks the chosen name before the dialog ends.

#include "platform/ui/afx/CDialog.h"
#include "platform/ui/shell/commdlg.h"

namespace qvui {
class FileDialogFrame;
}

class CFileDialog : public CDialog {
  DECLARE_DYNAMIC(CFileDialog)
public:
  // The filter is "Text|pattern;pattern|Text|pattern||".
  explicit CFileDialog(BOOL openFileDialog, LPCWSTR defaultExtension = nullptr, LPCWSTR fileName = nullptr,
                       DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR filter = nullptr,
                       CWnd* parent = nullptr);

  INT_PTR DoModal() override;
  CString GetPathName() const;
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  CString GetFolderPath() const;
  // Items of the file dialog around the panel.
  void SetControlText(int id, LPCWSTR text);
  void HideControl(int id);

  OPENFILENAMEW m_ofn {};
  BOOL m_bOpenFileDialog {};

protected:
  // TRUE refuses the name (the dialog stays); m_ofn holds it already.
  virtual BOOL OnFileNameOK() { return FALSE; }
  // The panel does not end the dialog itself, nor handle the dialog keys: the file dialog does.
  void OnOK() override {}
  void OnCancel() override {}
  BOOL PreTranslateMessage(MSG*) override { return FALSE; }

private:
  friend class qvui::FileDialogFrame;
  CString m_filter;
  CString m_defaultExtension;
  WCHAR m_fileName[MAX_PATH * 4] {};
  WCHAR m_fileTitle[MAX_PATH] {};
};
