// The print dialog: the printers of the desktop, the settings of the chosen one, the range and the
// number of copies.

#include "platform/ui/shell/printdlg.h"

#include "platform/core/globalmem.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/PrinterList.h"
#include "platform/ui/internal/UiModule.h"
#include "platform/ui/shell/commdlg.h"

#include <cstring>

namespace qvui {

namespace {

enum : int {
  IDC_PRINT_NAME = 1139,
  IDC_PRINT_PROPERTIES = 1025,
  IDC_PRINT_WHERE = 1093,
  IDC_PRINT_ALL = 1056,
  IDC_PRINT_SELECTION = 1057,
  IDC_PRINT_PAGES = 1058,
  IDC_PRINT_FROM = 1152,
  IDC_PRINT_TO = 1153,
  IDC_PRINT_COPIES = 1154,
  IDC_PRINT_COLLATE = 1041,
};

HGLOBAL DevModeHandle(const DEVMODEW& dm) {
  HGLOBAL block = GlobalAlloc(GHND, sizeof(DEVMODEW));
  if (auto* p = static_cast<DEVMODEW*>(GlobalLock(block))) {
    *p = dm;
    GlobalUnlock(block);
  }
  return block;
}

HGLOBAL DevNamesHandle(const PrinterEntry& printer) {
  QString texts[] = {printer.driver, printer.name, printer.port};
  size_t units = sizeof(DEVNAMES) / sizeof(WCHAR);
  for (const QString& t : texts) units += static_cast<size_t>(t.size()) + 1;
  HGLOBAL block = GlobalAlloc(GHND, units * sizeof(WCHAR));
  auto* names = static_cast<DEVNAMES*>(GlobalLock(block));
  if (!names) return block;
  auto* base = reinterpret_cast<WCHAR*>(names);
  WORD at = sizeof(DEVNAMES) / sizeof(WCHAR);
  WORD* offsets[] = {&names->wDriverOffset, &names->wDeviceOffset, &names->wOutputOffset};
  for (int i = 0; i < 3; ++i) {
    *offsets[i] = at;
    std::memcpy(base + at, texts[i].utf16(), (static_cast<size_t>(texts[i].size()) + 1) * sizeof(WCHAR));
    at = static_cast<WORD>(at + texts[i].size() + 1);
  }
  names->wDefault = printer.isDefault ? DN_DEFAULTPRN : 0;
  GlobalUnlock(block);
  return block;
}

// The printer a record names (by its DEVNAMES, else its DEVMODEW), or the default one.
QString PrinterOf(const PRINTDLGW& pd) {
  QString name;
  if (auto* names = static_cast<DEVNAMES*>(pd.hDevNames ? GlobalLock(pd.hDevNames) : nullptr)) {
    name = QString::fromUtf16(reinterpret_cast<const char16_t*>(names) + names->wDeviceOffset);
    GlobalUnlock(pd.hDevNames);
  } else if (auto* dm = static_cast<DEVMODEW*>(pd.hDevMode ? GlobalLock(pd.hDevMode) : nullptr)) {
    name = QString::fromUtf16(dm->dmDeviceName);
    GlobalUnlock(pd.hDevMode);
  }
  return FindPrinter(name) ? name : DefaultPrinterName();
}

// Hands the choice to the record: new global blocks in place of the caller's, and the DC.
void Deliver(PRINTDLGW& pd, const PrinterEntry& printer, DEVMODEW dm) {
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  pd.hDevMode = DevModeHandle(dm);
  pd.hDevNames = DevNamesHandle(printer);
  if (pd.Flags & (PD_RETURNDC | PD_RETURNIC)) {
    std::u16string device = printer.name.toStdU16String();
    pd.hDC = CreateDCW(u"WINSPOOL", device.c_str(), nullptr, &dm);
  }
}

class PrintDialogWindow : public CDialog {
public:
  explicit PrintDialogWindow(PRINTDLGW& pd) : m_pd(pd) {}

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    m_printers = Printers();
    QString current = PrinterOf(m_pd);
    int selected = 0;
    for (size_t i = 0; i < m_printers.size(); ++i) {
      SendDlgItemMessage(IDC_PRINT_NAME, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_printers[i].name.utf16()));
      if (m_printers[i].name == current) selected = static_cast<int>(i);
    }
    SendDlgItemMessage(IDC_PRINT_NAME, CB_SETCURSEL, static_cast<WPARAM>(selected));
    DEVMODEW* input = static_cast<DEVMODEW*>(m_pd.hDevMode ? GlobalLock(m_pd.hDevMode) : nullptr);
    ChoosePrinter(selected, input);
    if (input) GlobalUnlock(m_pd.hDevMode);
    if (m_pd.Flags & PD_NOSELECTION) GetDlgItem(IDC_PRINT_SELECTION)->EnableWindow(FALSE);
    bool pages = !(m_pd.Flags & PD_NOPAGENUMS);
    for (int id : {IDC_PRINT_PAGES, IDC_PRINT_FROM, IDC_PRINT_TO}) GetDlgItem(id)->EnableWindow(pages);
    CheckRadioButton(IDC_PRINT_ALL, IDC_PRINT_PAGES,
                     (m_pd.Flags & PD_PAGENUMS) && pages                           ? IDC_PRINT_PAGES
                     : (m_pd.Flags & PD_SELECTION) && !(m_pd.Flags & PD_NOSELECTION) ? IDC_PRINT_SELECTION
                                                                                     : IDC_PRINT_ALL);
    if (pages) {
      SetDlgItemInt(IDC_PRINT_FROM, m_pd.nFromPage, FALSE);
      SetDlgItemInt(IDC_PRINT_TO, m_pd.nToPage, FALSE);
    }
    int copies = (m_pd.Flags & PD_USEDEVMODECOPIES) ? m_settings.dmCopies : std::max<int>(m_pd.nCopies, 1);
    SetDlgItemInt(IDC_PRINT_COPIES, static_cast<UINT>(copies), FALSE);
    CheckDlgButton(IDC_PRINT_COLLATE, (m_pd.Flags & PD_COLLATE) || m_settings.dmCollate == DMCOLLATE_TRUE);
    return TRUE;
  }

  void OnOK() override {
    BOOL ok = FALSE;
    UINT copies = GetDlgItemInt(IDC_PRINT_COPIES, &ok, FALSE);
    if (!ok || copies < 1 || copies > 9999) {
      ::MessageBoxW(m_hWnd, u"The number of copies must be between 1 and 9999.", u"Print", MB_OK | MB_ICONEXCLAMATION);
      GotoDlgCtrl(GetDlgItem(IDC_PRINT_COPIES));
      return;
    }
    DWORD range = PD_ALLPAGES;
    if (IsDlgButtonChecked(IDC_PRINT_PAGES)) {
      BOOL fromOk = FALSE, toOk = FALSE;
      UINT from = GetDlgItemInt(IDC_PRINT_FROM, &fromOk, FALSE), to = GetDlgItemInt(IDC_PRINT_TO, &toOk, FALSE);
      bool bounded = m_pd.nMaxPage >= m_pd.nMinPage && m_pd.nMaxPage > 0;
      if (!fromOk || !toOk || from > to || (bounded && (from < m_pd.nMinPage || to > m_pd.nMaxPage))) {
        CString text;
        text.Format(u"The pages must be between %u and %u.", m_pd.nMinPage, m_pd.nMaxPage);
        ::MessageBoxW(m_hWnd, text.GetString(), u"Print", MB_OK | MB_ICONEXCLAMATION);
        GotoDlgCtrl(GetDlgItem(fromOk ? IDC_PRINT_TO : IDC_PRINT_FROM));
        return;
      }
      m_pd.nFromPage = static_cast<WORD>(from);
      m_pd.nToPage = static_cast<WORD>(to);
      range = PD_PAGENUMS;
    } else if (IsDlgButtonChecked(IDC_PRINT_SELECTION)) {
      range = PD_SELECTION;
    }
    bool collate = IsDlgButtonChecked(IDC_PRINT_COLLATE);
    m_pd.Flags = (m_pd.Flags & ~(PD_SELECTION | PD_PAGENUMS | PD_COLLATE)) | range | (collate ? PD_COLLATE : 0);
    m_settings.dmCopies = static_cast<short>(copies);
    m_settings.dmCollate = collate ? DMCOLLATE_TRUE : DMCOLLATE_FALSE;
    m_pd.nCopies = static_cast<WORD>((m_pd.Flags & PD_USEDEVMODECOPIES) ? 1 : copies);
    Deliver(m_pd, m_printers[static_cast<size_t>(m_chosen)], m_settings);
    EndDialog(IDOK);
  }

protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    int id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == IDC_PRINT_NAME && code == CBN_SELCHANGE) {
      ChoosePrinter(static_cast<int>(SendDlgItemMessage(IDC_PRINT_NAME, CB_GETCURSEL)), nullptr);
      return TRUE;
    }
    if (id == IDC_PRINT_PROPERTIES && code == BN_CLICKED) {
      std::u16string name = m_printers[static_cast<size_t>(m_chosen)].name.toStdU16String();
      DEVMODEW changed {};
      if (DocumentPropertiesW(m_hWnd, nullptr, name.data(), &changed, &m_settings,
                              DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER) == IDOK)
        m_settings = changed;
      return TRUE;
    }
    if ((id == IDC_PRINT_FROM || id == IDC_PRINT_TO) && code == EN_CHANGE && ::GetFocus() == reinterpret_cast<HWND>(lParam)) {
      CheckRadioButton(IDC_PRINT_ALL, IDC_PRINT_PAGES, IDC_PRINT_PAGES);
      return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
  }

private:
  void ChoosePrinter(int index, const DEVMODEW* input) {
    if (index < 0 || index >= static_cast<int>(m_printers.size())) return;
    m_chosen = index;
    const PrinterEntry& p = m_printers[static_cast<size_t>(index)];
    m_settings = SettingsOf(p.name, input);
    SetDlgItemText(IDC_PRINT_WHERE, reinterpret_cast<LPCWSTR>(p.port.utf16()));
  }

  PRINTDLGW& m_pd;
  std::vector<PrinterEntry> m_printers;
  DEVMODEW m_settings {};
  int m_chosen {};
};

}  // namespace

}  // namespace qvui

using namespace qvui;

BOOL PrintDlgW(LPPRINTDLGW pd) {
  SetCommonDialogError(0);
  if (!pd) return FALSE;
  pd->hDC = nullptr;
  QString name = PrinterOf(*pd);
  std::optional<PrinterEntry> printer = FindPrinter(name);
  if (!printer) {
    SetCommonDialogError(PDERR_NODEFAULTPRN);
    if (!(pd->Flags & (PD_RETURNDEFAULT | PD_NOWARNING)))
      ::MessageBoxW(pd->hwndOwner, u"No printers are installed.", u"Print", MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (pd->Flags & PD_RETURNDEFAULT) {
    if (pd->hDevMode || pd->hDevNames) return FALSE;  // the defaults go into empty records only
    Deliver(*pd, *printer, SettingsOf(printer->name, nullptr));
    return TRUE;
  }
  const DialogTemplate* t = UiTemplate(u"QVUI_IDD_PRINT");
  if (!t) return FALSE;
  PrintDialogWindow dialog(*pd);
  dialog.InitModalIndirect(t, CWnd::FromHandle(pd->hwndOwner));
  return dialog.DoModal() == IDOK;
}

IMPLEMENT_DYNAMIC(CPrintDialog, CDialog)

CPrintDialog::CPrintDialog(BOOL printSetupOnly, DWORD flags, CWnd* parent) {
  m_pParentWnd = parent;
  m_pd.lStructSize = sizeof m_pd;
  m_pd.Flags = flags | (printSetupOnly ? PD_PRINTSETUP : PD_RETURNDC);
  m_pd.nCopies = 1;
  m_pd.nFromPage = m_pd.nToPage = 1;
  m_pd.nMinPage = 1;
  m_pd.nMaxPage = 0xFFFF;
}

CPrintDialog::~CPrintDialog() {
  if (m_pd.hDC) DeleteDC(m_pd.hDC);
  Release();
}

void CPrintDialog::Release() {
  if (m_pd.hDevMode) GlobalFree(m_pd.hDevMode);
  if (m_pd.hDevNames) GlobalFree(m_pd.hDevNames);
  m_pd.hDevMode = m_pd.hDevNames = nullptr;
}

INT_PTR CPrintDialog::DoModal() {
  if (m_pd.hDC) {
    DeleteDC(m_pd.hDC);
    m_pd.hDC = nullptr;
  }
  m_pd.hwndOwner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : (AfxGetMainWnd() ? AfxGetMainWnd()->GetSafeHwnd() : nullptr);
  return PrintDlgW(&m_pd) ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults() {
  Release();
  DWORD flags = m_pd.Flags;
  m_pd.Flags = (flags | PD_RETURNDEFAULT) & ~PD_RETURNDC;
  BOOL found = PrintDlgW(&m_pd);
  m_pd.Flags = flags;
  return found;
}

namespace {

CString NameAt(HGLOBAL names, WORD DEVNAMES::*field) {
  auto* n = static_cast<DEVNAMES*>(names ? GlobalLock(names) : nullptr);
  if (!n) return CString();
  CString text(reinterpret_cast<LPCWSTR>(n) + (n->*field));
  GlobalUnlock(names);
  return text;
}

}  // namespace

CString CPrintDialog::GetDeviceName() const { return NameAt(m_pd.hDevNames, &DEVNAMES::wDeviceOffset); }
CString CPrintDialog::GetDriverName() const { return NameAt(m_pd.hDevNames, &DEVNAMES::wDriverOffset); }
CString CPrintDialog::GetPortName() const { return NameAt(m_pd.hDevNames, &DEVNAMES::wOutputOffset); }

LPDEVMODEW CPrintDialog::GetDevMode() const {
  return static_cast<LPDEVMODEW>(m_pd.hDevMode ? GlobalLock(m_pd.hDevMode) : nullptr);
}

int CPrintDialog::GetCopies() const {
  if (!(m_pd.Flags & PD_USEDEVMODECOPIES)) return m_pd.nCopies;
  LPDEVMODEW dm = GetDevMode();
  int copies = dm ? dm->dmCopies : 1;
  if (dm) GlobalUnlock(m_pd.hDevMode);
  return copies;
}

HDC CPrintDialog::CreatePrinterDC() {
  if (m_pd.hDC) DeleteDC(m_pd.hDC);
  LPDEVMODEW dm = GetDevMode();
  CString device = GetDeviceName();
  m_pd.hDC = CreateDCW(u"WINSPOOL", device.GetString(), nullptr, dm);
  if (dm) GlobalUnlock(m_pd.hDevMode);
  return m_pd.hDC;
}
