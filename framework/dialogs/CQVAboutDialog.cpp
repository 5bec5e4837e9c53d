#include "framework/dialogs/CQVAboutDialog.h"

#include "foundation/language/KernelEntry.h"
#include "platform/sdk/CQVException.h"
#include "platform/ui/afx/CDataExchange.h"
#include "platform/ui/afx/MessageMap.h"
#include "platform/ui/win/windc.h"

IMPLEMENT_DYNAMIC(CQVAboutDialog, CQVDialog)

BEGIN_MESSAGE_MAP(CQVAboutDialog, CQVDialog)
  ON_WM_PAINT()
  ON_COMMAND(1007, &CQVAboutDialog::OnCmdClose)
  ON_COMMAND(1009, &CQVAboutDialog::OnCmdSysInfo)
END_MESSAGE_MAP()

namespace {
enum : int {
  kProductName = 1001,
  kVersion = 1002,
  kCopyright = 1003,
  kMoreInfo = 1004,
  kMoreInfoHead = 1005,
  kLogo = 1006,
  kClose = 1007,
  kSysInfo = 1009,
};
}  // namespace

CQVAboutDialog::CQVAboutDialog(CWnd* parent)
    : CQVDialog(u"QVKERNEL_IDD_ABOUT", parent), m_strProductName(u"Product name"),
      m_strVersion(u"Version x.x.xxxxxxxx"), m_strCopyright(u"Copyright notice"), m_strMoreInfoURL(u"about:blank") {
  SetRCMModule(QVKernelInstance());
}

BOOL CQVAboutDialog::OnInitIDMap() {
  BeginIDMap(u"DLG_ABOUT");
  DlgItem(kLogo, u"DLG_ABOUT_LOGO", FALSE);
  DlgItem(kProductName, u"DLG_ABOUT_PRODUCTNAME", FALSE);
  DlgItem(kVersion, u"DLG_ABOUT_PRODUCTVERSION", FALSE);
  DlgItem(kCopyright, u"DLG_ABOUT_COPYRIGHT", FALSE);
  DlgItem(kMoreInfoHead, u"DLG_ABOUT_MOREINFOHEAD", TRUE);
  DlgItem(kMoreInfo, u"DLG_ABOUT_MOREINFO", FALSE);
  DlgItem(kClose, u"DLG_ABOUT_CLOSE", TRUE);
  DlgItem(kSysInfo, u"DLG_ABOUT_SYSINFO", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CQVAboutDialog::OnInitSettings() {
  CenterWindow();
  ShowDlgItem(kLogo, FALSE);
  if (m_bShowMoreInfo) {
    CRect place;
    if (!GetDlgItemTemplate(kMoreInfo, place, FALSE)) return FALSE;
    ShowDlgItem(kMoreInfo, FALSE);
    if (!m_wndHtml.Create(WS_CHILD | WS_VISIBLE, place, this)) return FALSE;
    ShowDlgItem(kMoreInfoHead, TRUE);
    m_wndHtml.Navigate(m_strMoreInfoURL);
  } else {
    ShowDlgItem(kMoreInfoHead, FALSE);
    ShowDlgItem(kMoreInfo, FALSE);
  }
  ShowDlgItem(kSysInfo, m_bShowSysInfo);
  UpdateData(FALSE);
  return TRUE;
}

void CQVAboutDialog::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Text(dx, kProductName, m_strProductName);
  DDX_Text(dx, kVersion, m_strVersion);
  DDX_Text(dx, kCopyright, m_strCopyright);
}

void CQVAboutDialog::OnPaintLogo(CDC* dc, CRect rect) {
  if (!dc) return;
  if (m_logo.IsEmpty()) CQVException::Throw();
  m_logo.Paint(dc, rect, SRCCOPY);
}

void CQVAboutDialog::OnPaint() {
  CPaintDC dc(this);
  try {
    CRect place;
    if (!GetDlgItemTemplate(kLogo, place, FALSE)) CQVException::Throw();
    OnPaintLogo(&dc, place);
  } catch (CException* e) {
    e->Delete();  // no logo: nothing painted
  }
}
