#pragma once
// CPrintDlg: the viewer's print set-up. The user picks one of the installed printers, the
// orientation, how many images go on one sheet (with a picture of the layout), the range of
// images and the number of copies; Properties opens the printer's own settings. OK checks the
// range and the copies and leaves the record with printer settings (a DEVMODEW block) made for
// the chosen printer, orientation and copies, ready for CPrintItDlg::SetPrinter.
//
// The settings block belongs to the dialog: it is freed with the dialog, so a caller prints
// between OK and the dialog's end. Without any printer the dialog only says so and cancels.

#include "framework/dialogs/CQVDialog.h"
#include "platform/ui/afx/CComboBox.h"
#include "platform/ui/afx/CEdit.h"
#include "platform/ui/afx/CSpinButtonCtrl.h"
#include "viewer/model/CMainSettings.h"

#include <vector>

class CPrintDlg : public CQVDialog {
  DECLARE_DYNAMIC(CPrintDlg)
public:
  explicit CPrintDlg(CWnd* parent = nullptr);
  ~CPrintDlg() override;

  // The highest image number a from-to range may name (1000 until set).
  void SetImageCount(int count) { m_nMaxImage = count; }
  // A copy of the caller's options, without their settings block: every dialog builds its own.
  void SetOptions(const PrintSetting& options);
  const PrintSetting& GetOptions() const { return m_setting; }
  PrintSetting& GetOptions() { return m_setting; }

  // Rows and columns of a layout of that many images per sheet (1, 2, 4, 8, 9 or 32); FALSE for
  // any other number.
  static BOOL LayoutOf(int imagesPerSheet, BOOL portrait, int& rows, int& columns);

protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;
  void OnOK() override;

  void OnPrintOK();
  void OnLayoutChange();
  void OnPortrait();
  void OnLandscape();
  void OnAllImages();
  void OnFromTo();
  void OnCurrentScreen();
  void OnProperties();
  void OnPrinterChange();
  void OnPaint();
  DECLARE_MESSAGE_MAP()

  BOOL EnumPrinters();
  CString GetDefaultPrinterName();
  void FillControls();
  void LoadValues();
  BOOL SaveValues();
  BOOL ReadSelection();
  BOOL BuildDevMode();
  void SetLayoutPreview(int imagesPerSheet, BOOL portrait);
  void SetRangeState(int range);
  void FreeDevMode();
  // Orientation and copies of the dialog into a settings block.
  void PutChoices(DEVMODEW& dm) const;

  PrintSetting m_setting;
  CComboBox m_printers;
  CComboBox m_layouts;
  CSpinButtonCtrl m_spin;
  CEdit m_copies;
  CEdit m_from;
  CEdit m_to;
  std::vector<CString> m_printerNames;
  std::vector<CString> m_portNames;
  std::vector<CString> m_driverNames;
  BOOL m_bNoPrinter { FALSE };
  int m_nLastSelection { -1 };
  int m_nMaxImage { 1000 };
  int m_nPreviewPerSheet { 1 };
  BOOL m_bPreviewPortrait { TRUE };
  CRect m_rcPreview;
};
