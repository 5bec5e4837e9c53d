#include "viewer/print/CPrintJob.h"

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/language/CQVRCM.h"
#include "foundation/util/CDPXVWXform.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/win/winctrl.h"
#include "platform/ui/win/winuser.h"

std::atomic<int> g_bPrintCancel { 0 };
CCriticalSection g_printLock;

namespace {
bool Cancelled() { return g_bPrintCancel.load() != 0; }
}  // namespace

CPrintJob::CPrintJob() { g_bPrintCancel = 0; }

CPrintJob::~CPrintJob() {
  m_pPathContext = nullptr;
  m_pProgressContext = nullptr;
}

BOOL CPrintJob::CreatePrinterDC(LPCWSTR printer, LPCWSTR port, LPCWSTR title, const DEVMODEW* devMode, HDC& dc) {
  if (!devMode || m_nRows <= 0 || m_nColumns <= 0) return FALSE;
  const long long cells = static_cast<long long>(m_nRows) * m_nColumns;
  const long long sheets = m_nImageCount > 0 ? (m_nImageCount + cells - 1) / cells : 0;
  m_nSheetCount = static_cast<int>(sheets);
  if (m_nFirstSheet <= 0 || m_nSheetCount <= 0 || m_nSheetCount < m_nFirstSheet || m_nFirstImage <= 0 ||
      !m_pPathContext || !m_pfnGetImagePath)
    return FALSE;
  if (!dc) {
    dc = ::CreateDCW(u"WINSPOOL", printer, port, devMode);
    if (!dc) return FALSE;
  }
  m_strTitle = title ? title : u"";
  return TRUE;
}

void CPrintJob::Report(HWND dialog, LPCWSTR key, UINT type, LPCWSTR filePath) {
  CString text;
  CQVRCM::LoadText(key, text);
  if (filePath) text.Replace(u"<%filepath%>", filePath);
  if (dialog && ::IsWindow(dialog))
    ::SendMessageW(dialog, WM_QV_PRINTJOB_MESSAGE, type, reinterpret_cast<LPARAM>(&text));
  else
    ::MessageBoxW(nullptr, text.GetString(), nullptr, type);
}

BOOL CPrintJob::Run(HDC hdc, LPCWSTR docName, int firstSheet, int lastSheet, int imageCount, int firstImage,
                    int rows, int columns, HWND dialog) {
  CDC* dc = CDC::FromHandle(hdc);
  DOCINFOW info { sizeof(DOCINFOW), docName, m_strOutput.IsEmpty() ? nullptr : m_strOutput.GetString(), nullptr, 0 };
  const CRect printable(0, 0, dc->GetDeviceCaps(HORZRES), dc->GetDeviceCaps(VERTRES));
  bool completed = false;
  BOOL ok = TRUE;
  if (dc->StartDoc(&info) <= 0) {
    Report(dialog, u"MSG_ERR_PRINT_WRONGSETUP", MB_OK | MB_ICONERROR);
    ok = FALSE;
  } else {
    const int oldMap = dc->SetMapMode(MM_TEXT);
    const int oldBk = dc->SetBkMode(TRANSPARENT);
    dc->SetStretchBltMode(COLORONCOLOR);
    int printed = 0;
    bool stopped = false;
    for (int sheet = firstSheet; sheet <= lastSheet && !stopped; ++sheet) {
      if (Cancelled()) {
        stopped = true;
        break;
      }
      BOOL pageStarted = FALSE;
      switch (PrintSheet(dc, sheet, printable, imageCount, firstImage, rows, columns, dialog, pageStarted)) {
      case SheetResult::Printed:
        if (dc->EndPage() <= 0) {
          ok = FALSE;
          stopped = true;
          break;
        }
        ++printed;
        if (m_pProgressContext && m_pfnProgress && !Cancelled()) m_pfnProgress(m_pProgressContext, sheet);
        break;
      case SheetResult::Empty:
        break;
      case SheetResult::Cancelled:
        stopped = true;
        break;
      case SheetResult::PrinterFailed:
        ok = FALSE;
        stopped = true;
        break;
      }
    }
    dc->SetMapMode(oldMap);
    dc->SetBkMode(oldBk);
    // Only a whole job reaches the printer: a cancel, a failure or a job without any printed
    // sheet gives it nothing.
    if (!stopped && printed > 0) {
      completed = dc->EndDoc() > 0;
      ok = completed;
    } else {
      dc->AbortDoc();
    }
    if (!ok) Report(dialog, u"MSG_ERR_PRINT_WRONGSETUP", MB_OK | MB_ICONERROR);
  }
  ::DeleteDC(hdc);
  if (dialog) ::PostMessageW(dialog, WM_QV_PRINTJOB_DONE, completed ? 1 : 0, 0);
  return ok;
}

PrintCell CPrintJob::CellAt(const CRect& printable, int rows, int columns, int r, int c, int mx, int my) {
  const int w = printable.Width() / columns;
  const int h = printable.Height() / rows;
  PrintCell cell;
  cell.cell = CRect(printable.left + w * c, printable.top + h * r, printable.left + w * c + w,
                    printable.top + h * r + h);
  cell.box = CRect(cell.cell.left + mx, cell.cell.top + my, cell.cell.right - mx, cell.cell.bottom - my);
  cell.frame = CRect(cell.box.left - mx / 2, cell.box.top - my / 2, cell.box.right + mx / 2, cell.box.bottom + my / 2);
  return cell;
}

CRect CPrintJob::FitImage(const CRect& box, int imageWidth, int imageHeight) {
  CDPXVWXform xform;
  xform.SetViewSize(box.Width(), box.Height());
  xform.SetWorldSize(imageWidth, imageHeight);
  xform.SetZoom(CDPXVWXform::kUnitScale);
  xform.Center(TRUE, TRUE);
  xform.ZoomToFit();
  RECT visible, view;
  xform.GetVisibleWorldRect(visible);
  xform.WorldToView(visible.left, visible.top, visible.right, visible.bottom, view);
  CRect placed(view);
  placed.OffsetRect(box.left, box.top);
  return placed;
}

void CPrintJob::DrawCellFrame(CDC* dc, const CRect& frame) {
  dc->MoveTo(frame.left, frame.top);
  dc->LineTo(frame.right, frame.top);
  dc->LineTo(frame.right, frame.bottom);
  dc->LineTo(frame.left, frame.bottom);
  dc->LineTo(frame.left, frame.top);
}

CPrintJob::SheetResult CPrintJob::PrintSheet(CDC* dc, int sheet, const CRect& printable, int imageCount,
                                             int firstImage, int rows, int columns, HWND dialog,
                                             BOOL& pageStarted) {
  // A tenth of an inch in device pixels.
  const int mx = dc->GetDeviceCaps(LOGPIXELSX) / 10;
  const int my = dc->GetDeviceCaps(LOGPIXELSY) / 10;
  bool any = false;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const long long index = (static_cast<long long>(sheet - 1) * rows + r) * columns + c;
      if (index >= imageCount) return any ? SheetResult::Printed : SheetResult::Empty;
      const int number = firstImage + static_cast<int>(index);
      m_nCurrentImage = number;
      if (Cancelled()) return SheetResult::Cancelled;
      CString path = m_pfnGetImagePath(m_pPathContext, number);
      path.Trim();
      CQVBitmapHandle image;
      if (path.IsEmpty() || !image.Load(path, 0, 4)) {
        Report(dialog, u"MSG_PRINT_ERR_OPENFILEERROR", MB_OK | MB_ICONINFORMATION, path);
        continue;
      }
      if (!pageStarted) {
        if (dc->StartPage() <= 0) return SheetResult::PrinterFailed;
        pageStarted = TRUE;
      }
      const PrintCell cell = CellAt(printable, rows, columns, r, c, mx, my);
      image.Print(dc, FitImage(cell.box, image.GetWidth(), image.GetHeight()));
      if (Cancelled()) return SheetResult::Cancelled;
      DrawCellFrame(dc, cell.frame);
      any = true;
    }
  }
  return any ? SheetResult::Printed : SheetResult::Empty;
}
