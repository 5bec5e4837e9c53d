#pragma once
// CAboutDialog: the viewer's about box: the background picture of the language files over the
// whole window (white without one), the version, the notices of the libraries it is built on and
// three legal lines, all texts of the language files.
//
// The version text is the text of "TXT_DLG_SXSABOUT_PRODUCTVERSIONTXT" with its "%s" replaced by
// the version number; any other "%" in a translation is shown as it stands.

#include "foundation/imaging/CQVBitmapHandle.h"
#include "framework/dialogs/CQVDialog.h"

class CAboutDialog : public CQVDialog {
  DECLARE_DYNAMIC(CAboutDialog)
public:
  enum {
    IDC_LOGO = 1212,
    IDC_PRODUCTNAME = 1213,
    IDC_ISLOGO = 1214,
    IDC_VERSION = 1215,
    IDC_MAKERLOGO = 1217,
    IDC_COPYRIGHT = 1218,
    IDC_RIGHTSRESERVED = 1219,
    IDC_TRADEMARK = 1220,
    IDC_NOTICE1 = 1222,
    IDC_NOTICE2 = 1223,
    IDC_NOTICE3 = 1224,
    IDC_NOTICE4 = 1225,
  };

  explicit CAboutDialog(CWnd* parent = nullptr);

  // Makes, fills and shows the about box modally.
  static void ShowAboutBox(CWnd* parent);
  // Fills the texts and pictures from the language files (ShowAboutBox does).
  void Load();
  // The version text of a format: its first "%s" replaced by the version number.
  static CString FormatVersion(const CString& format, const CString& version);

  CString m_strVersion { u"Version x.x.xxxxxxxx" };
  CString m_strCopyright;
  CString m_strRightsReserved;
  CString m_strTrademark;
  CQVBitmapHandle m_background;

protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;
  BOOL GetToolTipText(UINT id, CString& text) override;

  BOOL OnEraseBkgnd(CDC* dc);
  void OnPaint();
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind);
  DECLARE_MESSAGE_MAP()

private:
  CQVBitmapHandle m_logo;
  CQVBitmapHandle m_productName;
  CQVBitmapHandle m_isLogo;
  CQVBitmapHandle m_makerLogo;
};
