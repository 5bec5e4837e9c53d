#pragma once
// The window layer's spooler: printers, their settings (DEVMODEW) and printer device contexts.
//
// CreateDCW(u"WINSPOOL", printer, port, settings) gives a DC on a printer: StartDoc, StartPage,
// EndPage, EndDoc and AbortDoc make the job, GetDeviceCaps answers the page's size and resolution
// (HORZRES, VERTRES, LOGPIXELSX/Y, PHYSICALWIDTH/HEIGHT, PHYSICALOFFSETX/Y). Pages are drawn
// in memory and handed to the printer when they end. DOCINFOW::lpszOutput sends the job to a PDF
// file instead. The printer named PDF_PRINTER_NAME is always there (though not listed): it only
// writes PDF files, so a job on it needs lpszOutput.

#include "platform/gdi/gditypes.h"

#define PDF_PRINTER_NAME u"PDF"

#define ERROR_INVALID_PRINTER_NAME 1801L

#define CCHDEVICENAME 32
#define CCHFORMNAME 32

#define DM_ORIENTATION 0x00000001L
#define DM_PAPERSIZE 0x00000002L
#define DM_PAPERLENGTH 0x00000004L
#define DM_PAPERWIDTH 0x00000008L
#define DM_SCALE 0x00000010L
#define DM_COPIES 0x00000100L
#define DM_DEFAULTSOURCE 0x00000200L
#define DM_PRINTQUALITY 0x00000400L
#define DM_COLOR 0x00000800L
#define DM_DUPLEX 0x00001000L
#define DM_YRESOLUTION 0x00002000L
#define DM_COLLATE 0x00008000L

#define DMORIENT_PORTRAIT 1
#define DMORIENT_LANDSCAPE 2
#define DMPAPER_LETTER 1
#define DMPAPER_LEGAL 5
#define DMPAPER_A3 8
#define DMPAPER_A4 9
#define DMPAPER_A5 11
#define DMCOLOR_MONOCHROME 1
#define DMCOLOR_COLOR 2
#define DMDUP_SIMPLEX 1
#define DMDUP_VERTICAL 2
#define DMDUP_HORIZONTAL 3
#define DMCOLLATE_FALSE 0
#define DMCOLLATE_TRUE 1

// DocumentPropertiesW modes.
#define DM_UPDATE 1
#define DM_COPY 2
#define DM_PROMPT 4
#define DM_MODIFY 8
#define DM_IN_BUFFER DM_MODIFY
#define DM_IN_PROMPT DM_PROMPT
#define DM_OUT_BUFFER DM_COPY

struct DEVMODEW {
  WCHAR dmDeviceName[CCHDEVICENAME];
  WORD dmSpecVersion;
  WORD dmDriverVersion;
  WORD dmSize;
  WORD dmDriverExtra;
  DWORD dmFields;
  short dmOrientation;
  short dmPaperSize;
  short dmPaperLength;  // tenths of a millimetre
  short dmPaperWidth;
  short dmScale;
  short dmCopies;
  short dmDefaultSource;
  short dmPrintQuality;  // dots per inch when positive
  short dmColor;
  short dmDuplex;
  short dmYResolution;
  short dmTTOption;
  short dmCollate;
  WCHAR dmFormName[CCHFORMNAME];
  WORD dmLogPixels;
  DWORD dmBitsPerPel;
  DWORD dmPelsWidth;
  DWORD dmPelsHeight;
  DWORD dmDisplayFlags;
  DWORD dmDisplayFrequency;
};
using DEVMODE = DEVMODEW;
using LPDEVMODEW = DEVMODEW*;
using PDEVMODEW = DEVMODEW*;

#define PRINTER_ENUM_DEFAULT 0x00000001
#define PRINTER_ENUM_LOCAL 0x00000002
#define PRINTER_ENUM_CONNECTIONS 0x00000004

#define PRINTER_ATTRIBUTE_DEFAULT 0x00000004
#define PRINTER_ATTRIBUTE_NETWORK 0x00000010
#define PRINTER_ATTRIBUTE_LOCAL 0x00000040

struct PRINTER_INFO_1W {
  DWORD Flags;
  LPWSTR pDescription;
  LPWSTR pName;
  LPWSTR pComment;
};

struct PRINTER_INFO_2W {
  LPWSTR pServerName;
  LPWSTR pPrinterName;
  LPWSTR pShareName;
  LPWSTR pPortName;
  LPWSTR pDriverName;
  LPWSTR pComment;
  LPWSTR pLocation;
  LPDEVMODEW pDevMode;
  LPWSTR pSepFile;
  LPWSTR pPrintProcessor;
  LPWSTR pDatatype;
  LPWSTR pParameters;
  void* pSecurityDescriptor;
  DWORD Attributes;
  DWORD Priority;
  DWORD DefaultPriority;
  DWORD StartTime;
  DWORD UntilTime;
  DWORD Status;
  DWORD cJobs;
  DWORD AveragePPM;
};
using PPRINTER_INFO_2W = PRINTER_INFO_2W*;

struct PRINTER_INFO_4W {
  LPWSTR pPrinterName;
  LPWSTR pServerName;
  DWORD Attributes;
};

struct PRINTER_DEFAULTSW {
  LPWSTR pDatatype;
  LPDEVMODEW pDevMode;
  DWORD DesiredAccess;
};

// The printers of the desktop (levels 1, 2 and 4). The records and their texts go into `buffer`;
// with too small a buffer FALSE, ERROR_INSUFFICIENT_BUFFER and the size needed in *needed.
BOOL EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                   LPDWORD returned);
// The default printer's name; FALSE (ERROR_FILE_NOT_FOUND) when there is none.
BOOL GetDefaultPrinterW(LPWSTR buffer, LPDWORD size);
BOOL OpenPrinterW(LPWSTR name, HANDLE* printer, PRINTER_DEFAULTSW* defaults);
BOOL ClosePrinter(HANDLE printer);
// mode 0: the size of the printer's DEVMODEW. DM_OUT_BUFFER fills `output` with the printer's
// settings, changed by `input` under DM_IN_BUFFER; DM_IN_PROMPT lets the user change them first
// (IDCANCEL when the user cancels). IDOK on success, a negative number on failure.
LONG DocumentPropertiesW(HWND owner, HANDLE printer, LPWSTR deviceName, PDEVMODEW output, PDEVMODEW input, DWORD mode);
