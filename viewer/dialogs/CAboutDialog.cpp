#include "viewer/dialogs/CAboutDialog.h"

#include "foundation/language/CQVRCM.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/win/windc.h"
#include "platform/ui/afx/CDataExchange.h"
#include "platform/ui/afx/CWinApp.h"

IMPLEMENT_DYNAMIC(CAboutDialog, CQVDialog)

BEGIN_MESSAGE_MAP(CAboutDialog, CQVDialog)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

namespace {
constexpr LPCWSTR kVersionNumber = u"1.0.20080220";

CString TrimmedText(LPCWSTR key) {
  CString text;
  CQVRCM::LoadText(key, text);
  return text.TrimRight();
}
}  // namespace

CAboutDialog::CAboutDialog(CWnd* parent) : CQVDialog(u"IDD_ABOUTSXS_DLG", parent) {}

void CAboutDialog::ShowAboutBox(CWnd* parent) {
  CAboutDialog dialog(parent);
  dialog.Load();
  dialog.ShowModal();
}

CString CAboutDialog::FormatVersion(const CString& format, const CString& version) {
  CString text = format;
  const int at = text.Find(u"%s");
  if (at >= 0) {
    text.Delete(at, 2);
    text.Insert(at, version);
  }
  return text;
}

void CAboutDialog::Load() {
  CQVRCM::LoadBitmapW(u"BMP_DLG_ABOUT_BKBMP", m_background);
  CQVRCM::LoadBitmapW(u"BMP_DLG_SXSABOUT_LOGOBMP", m_logo);
  CQVRCM::LoadBitmapW(u"BMP_DLG_SXSABOUT_PRODUCTNAMEBMP", m_productName);
  CQVRCM::LoadBitmapW(u"BMP_DLG_SXSABOUT_ISLOGOBMP", m_isLogo);
  CQVRCM::LoadBitmapW(u"BMP_DLG_SXSABOUT_QUELMLOGOBMP", m_makerLogo);
  CString format;
  if (CQVRCM::LoadText(u"TXT_DLG_SXSABOUT_PRODUCTVERSIONTXT", format)) m_strVersion = FormatVersion(format, kVersionNumber).TrimRight();
  m_strCopyright = TrimmedText(u"TXT_DLG_SXSABOUT_COPYRIGHTTXT");
  m_strRightsReserved = TrimmedText(u"TXT_DLG_SXSABOUT_RIGHTSRESERVEDTXT");
  m_strTrademark = TrimmedText(u"TXT_DLG_SXSABOUT_TMTXT");
}

BOOL CAboutDialog::OnInitIDMap() {
  BeginIDMap(u"DLG_SXSABOUT");
  DlgItem(IDC_LOGO, u"DLG_SXSABOUT_LOGOBMP", FALSE);
  DlgItem(IDC_PRODUCTNAME, u"DLG_SXSABOUT_PRODUCTNAMEBMP", FALSE);
  DlgItem(IDC_VERSION, u"DLG_SXSABOUT_PRODUCTVERSIONTXT", TRUE);
  DlgItem(IDC_ISLOGO, u"DLG_SXSABOUT_ISLOGOBMP", FALSE);
  DlgItem(IDC_NOTICE1, u"DLG_SXSABOUT_LEADTOOLSNOTICE_LINE1", TRUE);
  DlgItem(IDC_NOTICE2, u"DLG_SXSABOUT_LEADTOOLSNOTICE_LINE2", TRUE);
  DlgItem(IDC_NOTICE4, u"DLG_SXSABOUT_LEADTOOLSNOTICE_LINE4", TRUE);
  DlgItem(IDC_MAKERLOGO, u"DLG_SXSABOUT_QUELMLOGOBMP", FALSE);
  DlgItem(IDC_COPYRIGHT, u"DLG_SXSABOUT_COPYRIGHTTXT", TRUE);
  DlgItem(IDC_RIGHTSRESERVED, u"DLG_SXSABOUT_RIGHTSRESERVEDTXT", TRUE);
  DlgItem(IDC_TRADEMARK, u"DLG_SXSABOUT_TMTXT", TRUE);
  DlgItem(IDOK, u"DLG_OK", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CAboutDialog::OnInitSettings() {
  CenterWindow();
  for (int id : {IDC_LOGO, IDC_PRODUCTNAME, IDC_ISLOGO, IDC_MAKERLOGO}) ShowDlgItem(id, FALSE);
  if (HICON icon = ::LoadIconW(AfxGetInstanceHandle(), u"IDI_ORBELMAIN"))
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  UpdateData(FALSE);
  return TRUE;
}

void CAboutDialog::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Text(dx, IDC_VERSION, m_strVersion);
  DDX_Text(dx, IDC_COPYRIGHT, m_strCopyright);
  DDX_Text(dx, IDC_RIGHTSRESERVED, m_strRightsReserved);
  DDX_Text(dx, IDC_TRADEMARK, m_strTrademark);
}

BOOL CAboutDialog::GetToolTipText(UINT id, CString& text) {
  if (id == IDOK) return FALSE;
  return CQVDialog::GetToolTipText(id, text);
}

BOOL CAboutDialog::OnEraseBkgnd(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  dc->FillSolidRect(&client, RGB(255, 255, 255));
  return TRUE;
}

void CAboutDialog::OnPaint() {
  CPaintDC dc(this);
  if (m_background.IsEmpty()) return;
  CRect client;
  GetClientRect(&client);
  m_background.Paint(&dc, client, SRCCOPY);
}

HBRUSH CAboutDialog::OnCtlColor(CDC* dc, CWnd* wnd, UINT kind) {
  if (kind != CTLCOLOR_STATIC) return CQVDialog::OnCtlColor(dc, wnd, kind);
  dc->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}
