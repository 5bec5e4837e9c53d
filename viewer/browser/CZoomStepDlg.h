#pragma once
// Chooses a step from a row of radio buttons: the zoom step (15 to 40 %, by 5) and the
// magnification ratio (100 to 300 %, by 50). The button of the value given is checked at first,
// else the first one.

#include "framework/dialogs/CQVDialog.h"

class CRadioStepDlg : public CQVDialog {
  DECLARE_DYNAMIC(CRadioStepDlg)
public:
  // TRUE, and the value chosen, after OK; FALSE after Cancel.
  BOOL Run(int& value);

protected:
  // Buttons firstButton.. of the values first, first + step, ...; the text map `mapName`.
  CRadioStepDlg(LPCWSTR templateName, LPCWSTR mapName, LPCWSTR keyPrefix, int firstButton, int buttons, int first,
                int step, CWnd* parent);
  // The value the dialog opens with.
  virtual int StartValue(int given) const { return given; }

  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;
  void OnOK() override;

  int m_nValue { 0 };

private:
  CString m_strMapName;
  CString m_strKeyPrefix;
  int m_nFirstButton;
  int m_nButtons;
  int m_nFirst;
  int m_nStep;
};

class CZoomStepDlg : public CRadioStepDlg {
  DECLARE_DYNAMIC(CZoomStepDlg)
public:
  explicit CZoomStepDlg(CWnd* parent = nullptr);

protected:
  // A step of 0 or less opens as 10, which no button offers.
  int StartValue(int given) const override { return given > 0 ? given : 10; }
};

class CMagRatioSetupDlg : public CRadioStepDlg {
  DECLARE_DYNAMIC(CMagRatioSetupDlg)
public:
  explicit CMagRatioSetupDlg(CWnd* parent = nullptr);
};
