#include "viewer/print/CPrintDlg.h"

#include "platform/core/globalmem.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CPen.h"
#include "platform/ui/afx/CDataExchange.h"
#include "platform/ui/shell/winspool.h"
#include "platform/ui/win/windc.h"

#include <iterator>

IMPLEMENT_DYNAMIC(CPrintDlg, CQVDialog)

namespace {
enum : int {
  kPrinterLabel = 1022,
  kPrinterCombo = 1023,
  kOrientationGroup = 1024,
  kPortrait = 1025,
  kLandscape = 1026,
  kPreview = 1027,
  kLayoutLabel = 1028,
  kLayoutCombo = 1029,
  kRangeGroup = 1030,
  kAllImages = 1031,
  kFromTo = 1032,
  kFromEdit = 1033,
  kToLabel = 1034,
  kCurrent = 1035,
  kToEdit = 1037,
  kCopiesLabel = 1038,
  kCopiesEdit = 1039,
  kCopiesSpin = 1040,
  kFromLabel = 1211,
  kProperties = 1221,
};

enum : int { kRangeAll = 1, kRangeFromTo = 2, kRangeCurrent = 3 };

struct Layout {
  int perSheet;
  int portraitRows, portraitColumns;
};
// Landscape turns the portrait grid: rows and columns swap.
constexpr Layout kLayouts[] = {{1, 1, 1}, {2, 2, 1}, {4, 2, 2}, {8, 4, 2}, {9, 3, 3}, {32, 8, 4}};

constexpr int kMaxCopies = 100;
}  // namespace

BEGIN_MESSAGE_MAP(CPrintDlg, CQVDialog)
  ON_CBN_SELCHANGE(kLayoutCombo, &CPrintDlg::OnLayoutChange)
  ON_CBN_SELCHANGE(kPrinterCombo, &CPrintDlg::OnPrinterChange)
  ON_BN_CLICKED(kPortrait, &CPrintDlg::OnPortrait)
  ON_BN_CLICKED(kLandscape, &CPrintDlg::OnLandscape)
  ON_BN_CLICKED(kAllImages, &CPrintDlg::OnAllImages)
  ON_BN_CLICKED(kFromTo, &CPrintDlg::OnFromTo)
  ON_BN_CLICKED(kCurrent, &CPrintDlg::OnCurrentScreen)
  ON_BN_CLICKED(kProperties, &CPrintDlg::OnProperties)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CPrintDlg::CPrintDlg(CWnd* parent) : CQVDialog(u"IDD_PRINT_DIALOG", parent) { SetCloseOnDeactivate(FALSE); }

CPrintDlg::~CPrintDlg() { FreeDevMode(); }

void CPrintDlg::SetOptions(const PrintSetting& options) {
  FreeDevMode();
  m_setting = options;
  m_setting.hDevMode = nullptr;
}

BOOL CPrintDlg::LayoutOf(int imagesPerSheet, BOOL portrait, int& rows, int& columns) {
  for (const Layout& l : kLayouts)
    if (l.perSheet == imagesPerSheet) {
      rows = portrait ? l.portraitRows : l.portraitColumns;
      columns = portrait ? l.portraitColumns : l.portraitRows;
      return TRUE;
    }
  return FALSE;
}

void CPrintDlg::FreeDevMode() {
  if (m_setting.hDevMode && !(GlobalFlags(m_setting.hDevMode) & GMEM_INVALID_HANDLE)) GlobalFree(m_setting.hDevMode);
  m_setting.hDevMode = nullptr;
}

void CPrintDlg::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Control(dx, kPrinterCombo, m_printers);
  DDX_Control(dx, kLayoutCombo, m_layouts);
  DDX_Control(dx, kCopiesSpin, m_spin);
  DDX_Control(dx, kCopiesEdit, m_copies);
  DDX_Control(dx, kFromEdit, m_from);
  DDX_Control(dx, kToEdit, m_to);
}

BOOL CPrintDlg::OnInitIDMap() {
  BeginIDMap(u"DLG_PRINT");
  DlgItem(kPrinterLabel, u"DLG_PRINT_PRINTNAME", TRUE);
  DlgItem(kPrinterCombo, u"DLG_PRINT_NAMECOMBO", FALSE);
  DlgItem(kProperties, u"DLG_PRINT_PROPERTY", TRUE);
  DlgItem(kOrientationGroup, u"DLG_PRINT_ORIENTATIONSTATIC", TRUE);
  DlgItem(kPortrait, u"DLG_PRINT_PORTRAITRADIO", TRUE);
  DlgItem(kLandscape, u"DLG_PRINT_LANDSCAPERADIO", TRUE);
  DlgItem(kLayoutLabel, u"DLG_PRINT_IMAGESPSHEETSTATIC", TRUE);
  DlgItem(kLayoutCombo, u"DLG_PRINT_IMAGESPSHEETCOMBO", FALSE);
  DlgItem(kRangeGroup, u"DLG_PRINT_PRINTRANGESTATIC", TRUE);
  DlgItem(kAllImages, u"DLG_PRINT_ALLIMAGESRADIO", TRUE);
  DlgItem(kFromTo, u"DLG_PRINT_FROMRADIO", TRUE);
  DlgItem(kFromLabel, u"DLG_PRINT_FROMSTATIC", TRUE);
  DlgItem(kFromEdit, u"DLG_PRINT_FROMEDIT", FALSE);
  DlgItem(kToLabel, u"DLG_PRINT_TOSTATIC", TRUE);
  DlgItem(kToEdit, u"DLG_PRINT_TOEDIT", FALSE);
  DlgItem(kCurrent, u"DLG_PRINT_CURRENTRADIO", TRUE);
  DlgItem(kPreview, u"DLG_PRINT_ICONSTATIC", FALSE);
  DlgItem(kCopiesLabel, u"DLG_PRINT_COPIESSTATIC", TRUE);
  DlgItem(kCopiesEdit, u"DLG_PRINT_COPIESEDIT", FALSE);
  DlgItem(kCopiesSpin, u"DLG_PRINT_COPIESSCROLLBAR", FALSE);
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CPrintDlg::OnInitSettings() {
  InvalidateRect(&m_rcPreview);
  FillControls();
  LoadValues();
  return TRUE;
}

BOOL CPrintDlg::OnInitDialog() {
  CQVDialog::OnInitDialog();
  if (m_bNoPrinter) {
    InfoMsg(u"MSG_DLG_PRINT_NOPRINTER");
    EndDialog(IDCANCEL);
    return FALSE;
  }
  return TRUE;
}

BOOL CPrintDlg::EnumPrinters() {
  m_printerNames.clear();
  m_portNames.clear();
  m_driverNames.clear();
  DWORD needed = 0, count = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed + 4);
  if (!EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buffer.data(),
                     static_cast<DWORD>(buffer.size()), &needed, &count))
    return FALSE;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    m_printerNames.emplace_back(info[i].pPrinterName ? info[i].pPrinterName : u"");
    m_portNames.emplace_back(info[i].pPortName ? info[i].pPortName : u"");
    m_driverNames.emplace_back(info[i].pDriverName ? info[i].pDriverName : u"");
  }
  m_bNoPrinter = count == 0;
  return TRUE;
}

CString CPrintDlg::GetDefaultPrinterName() {
  WCHAR name[512] {};
  DWORD size = static_cast<DWORD>(std::size(name));
  return GetDefaultPrinterW(name, &size) ? CString(name) : CString();
}

void CPrintDlg::FillControls() {
  m_printers.ResetContent();
  if (EnumPrinters()) {
    for (const CString& name : m_printerNames) m_printers.AddString(name);
    // The default printer by its whole name, else by the start of it (a name cut short); else
    // the first printer, so that OK always has one.
    const CString def = GetDefaultPrinterName();
    int found = def.IsEmpty() ? CB_ERR : m_printers.FindStringExact(-1, def);
    if (found == CB_ERR && !def.IsEmpty()) found = m_printers.FindString(0, def);
    if (found == CB_ERR && !m_printerNames.empty()) found = 0;
    if (found != CB_ERR) {
      m_printers.SetCurSel(found);
      OnPrinterChange();
    }
  }
  m_layouts.ResetContent();
  for (const Layout& l : kLayouts) {
    CString text;
    text.Format(u"%d", l.perSheet);
    m_layouts.SetItemData(m_layouts.AddString(text), static_cast<DWORD_PTR>(l.perSheet));
  }
  if (m_setting.nOrientation != 1 && m_setting.nOrientation != 2) m_setting.nOrientation = 1;
  int selected = CB_ERR;
  for (int i = 0; i < m_layouts.GetCount(); ++i)
    if (static_cast<int>(m_layouts.GetItemData(i)) == m_setting.nNumPerSheet) selected = i;
  if (selected == CB_ERR) {
    // An unknown number from the settings file: one image per sheet.
    m_setting.nNumPerSheet = 1;
    selected = 0;
  }
  m_layouts.SetCurSel(selected);
  SetLayoutPreview(m_setting.nNumPerSheet, m_setting.nOrientation == 1);
  if (CWnd* preview = GetDlgItem(kPreview)) {
    preview->GetWindowRect(&m_rcPreview);
    ScreenToClient(&m_rcPreview);
    preview->ShowWindow(SW_HIDE);
  }
}

void CPrintDlg::LoadValues() {
  CheckDlgButton(kPortrait, m_setting.nOrientation == 1);
  CheckDlgButton(kLandscape, m_setting.nOrientation == 2);
  if (m_setting.nCurrentScreenUnavailable) {
    SetRangeState(kRangeAll);
    EnableDlgItem(kCurrent, FALSE);
    EnableDlgItem(kFromTo, FALSE);
  } else {
    if (m_setting.nPrintRange == kRangeFromTo) {
      if (m_setting.nPageFrom > 0) SetDlgItemInt(kFromEdit, static_cast<UINT>(m_setting.nPageFrom));
      if (m_setting.nPageTo > 0) SetDlgItemInt(kToEdit, static_cast<UINT>(m_setting.nPageTo));
    }
    SetRangeState(m_setting.nPrintRange == kRangeFromTo ? kRangeFromTo
                  : m_setting.nPrintRange == kRangeAll  ? kRangeAll
                                                        : kRangeCurrent);
  }
  m_spin.SetRange32(1, kMaxCopies);
  m_spin.SetBuddy(&m_copies);
  const int copies = m_setting.nNumOfCopies > 0 ? m_setting.nNumOfCopies : 1;
  m_spin.SetPos(copies);
  SetDlgItemInt(kCopiesEdit, static_cast<UINT>(copies));
}

void CPrintDlg::SetRangeState(int range) {
  CheckDlgButton(kAllImages, range == kRangeAll);
  CheckDlgButton(kFromTo, range == kRangeFromTo);
  CheckDlgButton(kCurrent, range == kRangeCurrent);
  m_from.SetReadOnly(range != kRangeFromTo);
  m_to.SetReadOnly(range != kRangeFromTo);
}

BOOL CPrintDlg::SaveValues() {
  UpdateData(TRUE);
  m_setting.nOrientation = IsDlgButtonChecked(kPortrait) ? 1 : 2;
  if (IsDlgButtonChecked(kAllImages)) {
    m_setting.nPrintRange = kRangeAll;
  } else if (IsDlgButtonChecked(kCurrent)) {
    m_setting.nPrintRange = kRangeCurrent;
  } else {
    m_setting.nPrintRange = kRangeFromTo;
    BOOL ok = FALSE;
    const int from = static_cast<int>(GetDlgItemInt(kFromEdit, &ok, TRUE));
    if (!ok || from <= 0) {
      InfoMsg(u"MSG_DLG_RANGE_INVALIDFROM");
      GotoDlgCtrl(&m_from);
      return FALSE;
    }
    const int to = static_cast<int>(GetDlgItemInt(kToEdit, &ok, TRUE));
    if (!ok || to < from) {
      InfoMsg(u"MSG_DLG_RANGE_FROMTO");
      GotoDlgCtrl(&m_to);
      return FALSE;
    }
    if (to > m_nMaxImage) {
      InfoMsg(u"MSG_DLG_RANGE_INVALIDTO");
      GotoDlgCtrl(&m_to);
      return FALSE;
    }
    m_setting.nPageFrom = from;
    m_setting.nPageTo = to;
  }
  BOOL ok = FALSE;
  const int copies = static_cast<int>(GetDlgItemInt(kCopiesEdit, &ok, TRUE));
  if (!ok || copies < 1 || copies > kMaxCopies) {
    InfoMsg(u"MSG_DLG_PRINT_NUMBEROFCOPY");
    GotoDlgCtrl(&m_copies);
    return FALSE;
  }
  m_setting.nNumOfCopies = copies;
  return TRUE;
}

BOOL CPrintDlg::ReadSelection() {
  const int printer = m_printers.GetCurSel();
  if (printer < 0 || printer >= static_cast<int>(m_printerNames.size())) return FALSE;
  m_setting.strPrinterName = m_printerNames[static_cast<size_t>(printer)];
  m_setting.strPortName = m_portNames[static_cast<size_t>(printer)];
  m_setting.strDriverName = m_driverNames[static_cast<size_t>(printer)];
  const int layout = m_layouts.GetCurSel();
  if (layout < 0) return FALSE;
  m_setting.nNumPerSheet = static_cast<int>(m_layouts.GetItemData(layout));
  return TRUE;
}

void CPrintDlg::PutChoices(DEVMODEW& dm) const {
  dm.dmOrientation = m_setting.nOrientation == 2 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  dm.dmCopies = static_cast<short>(m_setting.nNumOfCopies);
  dm.dmFields |= DM_ORIENTATION | DM_COPIES;
}

BOOL CPrintDlg::BuildDevMode() {
  if (m_setting.hDevMode) {
    auto* dm = static_cast<DEVMODEW*>(GlobalLock(m_setting.hDevMode));
    if (dm) {
      PutChoices(*dm);
      GlobalUnlock(m_setting.hDevMode);
      return TRUE;
    }
  } else {
    HANDLE printer = nullptr;
    std::u16string name(m_setting.strPrinterName.GetString());
    if (OpenPrinterW(name.data(), &printer, nullptr)) {
      const LONG size = DocumentPropertiesW(nullptr, printer, name.data(), nullptr, nullptr, 0);
      if (size > 0) m_setting.hDevMode = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size));
      auto* dm = static_cast<DEVMODEW*>(m_setting.hDevMode ? GlobalLock(m_setting.hDevMode) : nullptr);
      const bool built = dm && DocumentPropertiesW(nullptr, printer, name.data(), dm, nullptr, DM_OUT_BUFFER) == IDOK;
      if (built) PutChoices(*dm);
      if (dm) GlobalUnlock(m_setting.hDevMode);
      ClosePrinter(printer);
      if (built) return TRUE;
    }
  }
  FreeDevMode();
  InfoMsg(u"MSG_ERR_PRINT_WRONGSETUP");
  return FALSE;
}

void CPrintDlg::OnOK() { OnPrintOK(); }

void CPrintDlg::OnPrintOK() {
  if (ReadSelection() && SaveValues() && BuildDevMode()) {
    LayoutOf(m_setting.nNumPerSheet, m_setting.nOrientation == 1, m_setting.nRowNumber, m_setting.nColNumber);
    CQVDialog::OnOK();
  }
}

void CPrintDlg::OnPrinterChange() {
  const int selection = m_printers.GetCurSel();
  if (selection == -1 && m_nLastSelection != -1) return;
  m_nLastSelection = selection;
  // A settings block belongs to the printer it was made for.
  FreeDevMode();
}

void CPrintDlg::SetLayoutPreview(int imagesPerSheet, BOOL portrait) {
  m_nPreviewPerSheet = imagesPerSheet;
  m_bPreviewPortrait = portrait;
  LayoutOf(imagesPerSheet, portrait, m_setting.nRowNumber, m_setting.nColNumber);
}

void CPrintDlg::OnLayoutChange() {
  InvalidateRect(&m_rcPreview);
  const int layout = m_layouts.GetCurSel();
  if (layout >= 0) SetLayoutPreview(static_cast<int>(m_layouts.GetItemData(layout)), !IsDlgButtonChecked(kLandscape));
  InvalidateRect(&m_rcPreview, TRUE);
}

void CPrintDlg::OnPortrait() { OnLayoutChange(); }
void CPrintDlg::OnLandscape() { OnLayoutChange(); }
void CPrintDlg::OnAllImages() { SetRangeState(kRangeAll); }
void CPrintDlg::OnFromTo() { SetRangeState(kRangeFromTo); }
void CPrintDlg::OnCurrentScreen() { SetRangeState(kRangeCurrent); }

void CPrintDlg::OnProperties() {
  if (m_printers.GetCurSel() < 0 || !ReadSelection()) return;
  std::u16string name(m_setting.strPrinterName.GetString());
  HANDLE printer = nullptr;
  bool ok = OpenPrinterW(name.data(), &printer, nullptr);
  DEVMODEW* dm = nullptr;
  if (ok) {
    bool ours = false;
    if (m_setting.hDevMode && (dm = static_cast<DEVMODEW*>(GlobalLock(m_setting.hDevMode))))
      ours = CString(dm->dmDeviceName) == m_setting.strPrinterName.Left(CCHDEVICENAME - 1);
    if (!ours) {
      if (dm) GlobalUnlock(m_setting.hDevMode);
      FreeDevMode();
      const LONG size = DocumentPropertiesW(nullptr, printer, name.data(), nullptr, nullptr, 0);
      if (size > 0) m_setting.hDevMode = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size));
      dm = static_cast<DEVMODEW*>(m_setting.hDevMode ? GlobalLock(m_setting.hDevMode) : nullptr);
      ok = dm && DocumentPropertiesW(nullptr, printer, name.data(), dm, nullptr, DM_OUT_BUFFER) == IDOK;
    }
  }
  if (ok) {
    SaveValues();
    PutChoices(*dm);
    if (DocumentPropertiesW(GetSafeHwnd(), printer, name.data(), dm, dm, DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER) ==
        IDOK) {
      const bool landscape = dm->dmOrientation == DMORIENT_LANDSCAPE;
      CheckDlgButton(kPortrait, !landscape);
      CheckDlgButton(kLandscape, landscape);
      OnLayoutChange();
      if (dm->dmCopies >= 1 && dm->dmCopies <= kMaxCopies) {
        m_spin.SetPos(dm->dmCopies);
        SetDlgItemInt(kCopiesEdit, static_cast<UINT>(dm->dmCopies));
      }
    }
  }
  if (dm) GlobalUnlock(m_setting.hDevMode);
  if (printer) ClosePrinter(printer);
  if (!ok) {
    FreeDevMode();
    InfoMsg(u"MSG_ERR_PRINT_WRONGSETUP");
  }
}

void CPrintDlg::OnPaint() {
  CPaintDC dc(this);
  if (m_rcPreview.IsRectEmpty()) return;
  // A sheet of A4 proportions, as large as the place allows, split into the layout's cells,
  // each holding a page.
  int rows = 1, columns = 1;
  LayoutOf(m_nPreviewPerSheet, m_bPreviewPortrait, rows, columns);
  const int room = std::min(m_rcPreview.Width(), m_rcPreview.Height()) - 4;
  const int longSide = room, shortSide = room * 210 / 297;
  const int w = m_bPreviewPortrait ? shortSide : longSide, h = m_bPreviewPortrait ? longSide : shortSide;
  const CRect sheet(m_rcPreview.left + (m_rcPreview.Width() - w) / 2, m_rcPreview.top + (m_rcPreview.Height() - h) / 2,
                    m_rcPreview.left + (m_rcPreview.Width() - w) / 2 + w, m_rcPreview.top + (m_rcPreview.Height() - h) / 2 + h);
  CBrush white(RGB(255, 255, 255)), grey(RGB(128, 128, 128));
  CPen black(PS_SOLID, 1, RGB(0, 0, 0));
  CPen* oldPen = dc.SelectObject(&black);
  CBrush* oldBrush = dc.SelectObject(&white);
  dc.Rectangle(sheet);
  const int cw = (sheet.Width() - 4) / columns, ch = (sheet.Height() - 4) / rows;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      CRect cell(sheet.left + 2 + c * cw, sheet.top + 2 + r * ch, sheet.left + 2 + (c + 1) * cw,
                 sheet.top + 2 + (r + 1) * ch);
      cell.DeflateRect(std::max(1, cw / 8), std::max(1, ch / 8));
      dc.FillRect(&cell, &grey);
    }
  dc.SelectObject(oldBrush);
  dc.SelectObject(oldPen);
}
