#pragma once
// The print dialog: a printer, its settings, the range and the copies (PrintDlgW, CPrintDialog).
// The chosen printer comes back as a DEVMODEW and a DEVNAMES in movable global memory that the
// caller owns, and with PD_RETURNDC as a printer DC.

#include "platform/ui/afx/CDialog.h"
#include "platform/ui/shell/winspool.h"

struct DEVNAMES {
  WORD wDriverOffset;  // units from the start of the record
  WORD wDeviceOffset;
  WORD wOutputOffset;
  WORD wDefault;
};
#define DN_DEFAULTPRN 0x0001

using LPPRINTHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct PRINTDLGW {
  DWORD lStructSize;
  HWND hwndOwner;
  HGLOBAL hDevMode;
  HGLOBAL hDevNames;
  HDC hDC;
  DWORD Flags;
  WORD nFromPage;
  WORD nToPage;
  WORD nMinPage;
  WORD nMaxPage;
  WORD nCopies;
  HINSTANCE hInstance;
  LPARAM lCustData;
  LPPRINTHOOKPROC lpfnPrintHook;
  LPPRINTHOOKPROC lpfnSetupHook;
  LPCWSTR lpPrintTemplateName;
  LPCWSTR lpSetupTemplateName;
  HGLOBAL hPrintTemplate;
  HGLOBAL hSetupTemplate;
};
using LPPRINTDLGW = PRINTDLGW*;
using PRINTDLG = PRINTDLGW;

#define PD_ALLPAGES 0x00000000
#define PD_SELECTION 0x00000001
#define PD_PAGENUMS 0x00000002
#define PD_NOSELECTION 0x00000004
#define PD_NOPAGENUMS 0x00000008
#define PD_COLLATE 0x00000010
#define PD_PRINTTOFILE 0x00000020
#define PD_PRINTSETUP 0x00000040
#define PD_NOWARNING 0x00000080
#define PD_RETURNDC 0x00000100
#define PD_RETURNIC 0x00000200
#define PD_RETURNDEFAULT 0x00000400
#define PD_SHOWHELP 0x00000800
#define PD_USEDEVMODECOPIES 0x00040000
#define PD_USEDEVMODECOPIESANDCOLLATE 0x00040000
#define PD_HIDEPRINTTOFILE 0x00100000
#define PD_NONETWORKBUTTON 0x00200000

#define PDERR_NODEFAULTPRN 0x1008
#define PDERR_PRINTERNOTFOUND 0x100B

// TRUE when the user chose (or, with PD_RETURNDEFAULT, there is a default printer); FALSE when
// cancelled or when there is no printer (CommDlgExtendedError: PDERR_NODEFAULTPRN).
BOOL PrintDlgW(LPPRINTDLGW pd);

class CPrintDialog : public CDialog {
  DECLARE_DYNAMIC(CPrintDialog)
public:
  explicit CPrintDialog(BOOL printSetupOnly,
                        DWORD flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                      PD_NOSELECTION,
                        CWnd* parent = nullptr);
  ~CPrintDialog() override;

  INT_PTR DoModal() override;
  // The default printer's settings without asking.
  BOOL GetDefaults();
  HDC GetPrinterDC() const { return m_pd.hDC; }
  HDC CreatePrinterDC();
  CString GetDeviceName() const;
  CString GetDriverName() const;
  CString GetPortName() const;
  LPDEVMODEW GetDevMode() const;
  int GetCopies() const;
  BOOL PrintAll() const { return !(m_pd.Flags & (PD_SELECTION | PD_PAGENUMS)); }
  BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
  BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
  int GetFromPage() const { return m_pd.nFromPage; }
  int GetToPage() const { return m_pd.nToPage; }

  PRINTDLGW m_pd {};

private:
  void Release();
};
