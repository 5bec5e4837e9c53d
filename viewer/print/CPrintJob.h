#pragma once
// CPrintJob: a run of page images printed N-up, rows x columns of cells per sheet, on a printer
// DC. The caller fills the record (images, layout, where the paths come from), CreatePrinterDC
// makes the DC for the chosen printer, and Run prints every sheet on the print thread.
//
// A sheet's cells are filled row by row. Each cell keeps a tenth of an inch clear on every side;
// the image is fitted into what is left, its aspect kept, centred, and framed half way between
// the cell's edge and the image. A cell whose image cannot be read stays empty (a message names
// the file); a sheet without any image is skipped, not printed blank.
//
// The job is all or nothing: a cancel (g_bPrintCancel) or a failure of the printer at any point
// aborts the document, so that the printer (or the file it writes) never gets part of a job.
//
// g_printLock keeps print jobs one at a time: the print thread holds it while Run prints.

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/sync.h"
#include "platform/ui/shell/winspool.h"

#include <atomic>

class CDC;

// The path of the image with that 1-based number, or an empty text when there is none.
using GetImagePathProc = CString (*)(void* context, int number);
// Told after each finished sheet with its number.
using ProgressProc = void (*)(void* context, int sheet);

// 0 = go on, 1 = cancel requested; written by the user-interface thread, read by the print thread.
extern std::atomic<int> g_bPrintCancel;
extern CCriticalSection g_printLock;

// Window message the job sends to its dialog to show a message box on the dialog's thread:
// wParam the box's MB_ type, lParam a const CString* text.
#define WM_QV_PRINTJOB_MESSAGE (WM_APP + 0x140)
// Posted to the dialog when Run ends: wParam 1 when every sheet was printed, else 0.
#define WM_QV_PRINTJOB_DONE (WM_APP + 0x141)

// Where one cell of a sheet lies, in device pixels.
struct PrintCell {
  CRect cell;   // the cell's share of the printable area
  CRect box;    // the cell less the margins: the image is fitted into it
  CRect frame;  // the frame drawn round a printed image
};

class CPrintJob {
public:
  // Clears g_bPrintCancel.
  CPrintJob();
  ~CPrintJob();
  CPrintJob(const CPrintJob&) = default;
  CPrintJob& operator=(const CPrintJob&) = default;

  // What a sheet came to.
  enum class SheetResult { Printed, Empty, Cancelled, PrinterFailed };

  // Checks the record, computes the sheet count and, when `dc` is still null, makes the printer
  // DC. FALSE, with nothing made, for a null DEVMODE, a layout without cells, nothing to print, no
  // path context or function, or a printer that cannot be opened.
  BOOL CreatePrinterDC(LPCWSTR printer, LPCWSTR port, LPCWSTR title, const DEVMODEW* devMode, HDC& dc);

  // Prints sheets firstSheet..lastSheet and always deletes the DC; with a dialog window, failures
  // are shown over it and WM_QV_PRINTJOB_DONE is posted to it at the end. TRUE unless the printer
  // failed (a cancel is no failure).
  BOOL Run(HDC dc, LPCWSTR docName, int firstSheet, int lastSheet, int imageCount, int firstImage, int rows,
           int columns, HWND dialog);

  // Places and prints the images of one sheet; starts the printer's page before its first image.
  SheetResult PrintSheet(CDC* dc, int sheet, const CRect& printable, int imageCount, int firstImage, int rows,
                         int columns, HWND dialog, BOOL& pageStarted);

  // The cell at row r, column c of a rows x columns sheet on the printable area, with margins of
  // mx, my device pixels.
  static PrintCell CellAt(const CRect& printable, int rows, int columns, int r, int c, int mx, int my);
  // The largest rectangle of the image's aspect inside the box, centred in it.
  static CRect FitImage(const CRect& box, int imageWidth, int imageHeight);
  static void DrawCellFrame(CDC* dc, const CRect& frame);

  int m_nImageCount { 0 };
  int m_nCurrentImage { 0 };
  int m_nFirstImage { 0 };
  int m_nRows { 1 };
  int m_nColumns { 1 };
  int m_nSheetCount { 0 };
  int m_nFirstSheet { 1 };
  void* m_pPathContext { nullptr };
  GetImagePathProc m_pfnGetImagePath { nullptr };
  void* m_pProgressContext { nullptr };
  ProgressProc m_pfnProgress { nullptr };
  CString m_strTitle;
  // A file the printer writes instead of printing (the PDF printer needs one); empty: the printer.
  CString m_strOutput;

private:
  // A message box of the job: over the dialog, on the dialog's thread.
  static void Report(HWND dialog, LPCWSTR key, UINT type, LPCWSTR filePath = nullptr);
};
