#include "viewer/print/CPrintHitlist.h"

#include "foundation/language/CQVRCM.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/ui/afx/CHeaderCtrl.h"
#include "platform/ui/afx/CListCtrl.h"
#include "platform/ui/shell/printdlg.h"
#include "platform/ui/win/winctrl.h"

#include <algorithm>

namespace {
constexpr int kHeadingRoom = 512;
// Lines of the page header: the body starts at line 7.
constexpr int kFirstBodyLine = 7;

void ErrorBox(LPCWSTR key) {
  CString text;
  CQVRCM::LoadText(key, text);
  ::MessageBoxW(nullptr, text.GetString(), nullptr, MB_OK | MB_ICONERROR);
}
}  // namespace

BOOL CPrintHitlist::Gather(CListCtrl* list) {
  if (!list || !list->GetSafeHwnd()) return FALSE;
  CHeaderCtrl* header = list->GetHeaderCtrl();
  m_nColumnCount = header ? header->GetItemCount() : 0;
  m_nRowCount = list->GetItemCount();
  if (m_nColumnCount <= 0 || m_nRowCount <= 0) return FALSE;
  m_headings.clear();
  m_widths.clear();
  for (int c = 0; c < m_nColumnCount; ++c) {
    WCHAR text[kHeadingRoom] {};
    LVCOLUMNW column {};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = kHeadingRoom;
    list->GetColumn(c, &column);
    m_headings.emplace_back(text);
    m_widths.push_back(m_headings.back().GetLength());
  }
  for (int r = 0; r < m_nRowCount; ++r)
    for (int c = 0; c < m_nColumnCount; ++c)
      m_widths[static_cast<size_t>(c)] = std::max(m_widths[static_cast<size_t>(c)], list->GetItemText(r, c).GetLength());
  m_strTitle = list->GetItemText(0, 0) + u"-" + list->GetItemText(0, 1);
  return TRUE;
}

void CPrintHitlist::Print(CListCtrl* list) {
  if (Gather(list)) PrintWithDialog(list);
}

BOOL CPrintHitlist::PrintTo(CDC* dc, CListCtrl* list) { return Gather(list) && PrintOnDC(dc, list); }

BOOL CPrintHitlist::PrintWithDialog(CListCtrl* list) {
  CPrintDialog dialog(FALSE, PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE);
  if (dialog.DoModal() != IDOK) return FALSE;
  HDC handle = dialog.CreatePrinterDC();
  if (!handle) return FALSE;
  CDC dc;
  if (!dc.Attach(handle)) return FALSE;
  const BOOL printed = PrintOnDC(&dc, list);
  // The dialog deletes its DC.
  dc.Detach();
  return printed;
}

BOOL CPrintHitlist::PrintOnDC(CDC* dc, CListCtrl* list) {
  if (!dc || !dc->GetSafeHdc() || !list) return FALSE;
  DOCINFOW info { sizeof(DOCINFOW), m_strTitle.GetString(), m_strOutput.IsEmpty() ? nullptr : m_strOutput.GetString(),
                  nullptr, 0 };
  if (dc->StartDoc(&info) <= 0) return FALSE;
  // A failing page abandons the document: the printer gets all of the list or nothing.
  if (dc->StartPage() <= 0 || !PrintList(dc, list) || dc->EndPage() <= 0) {
    dc->AbortDoc();
    ErrorBox(u"MSG_ERR_PRINT_WRONGSETUP");
    return FALSE;
  }
  if (dc->EndDoc() <= 0) {
    ErrorBox(u"MSG_ERR_PRINT_WRONGSETUP");
    return FALSE;
  }
  return TRUE;
}

BOOL CPrintHitlist::PrintList(CDC* dc, CListCtrl* list) {
  CFont font;
  font.CreateFont(-MulDiv(8, dc->GetDeviceCaps(LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                  VARIABLE_PITCH, u"Arial");
  CFont* old = dc->SelectObject(&font);
  TEXTMETRICW metrics {};
  dc->GetTextMetrics(&metrics);
  m_nAverage = std::max<int>(metrics.tmAveCharWidth, 1);
  m_nCharHeight = std::max<int>(metrics.tmHeight, 1);
  m_nLine = std::max<int>(metrics.tmHeight + metrics.tmExternalLeading, 1);
  m_positions.clear();
  int x = 3 * m_nAverage;
  for (int width : m_widths) {
    m_positions.push_back(x);
    x += (width + 5) * m_nAverage;
  }
  const int linesPerPage = dc->GetDeviceCaps(VERTRES) / m_nLine;
  int page = 0;
  PrintPageHeader(dc, page);
  dc->SelectObject(&font);
  int line = kFirstBodyLine;
  BOOL ok = TRUE;
  for (m_nCurrentRow = 0; m_nCurrentRow < m_nRowCount && ok; ++m_nCurrentRow) {
    for (int c = 0; c < m_nColumnCount; ++c) {
      CString text = list->GetItemText(m_nCurrentRow, c);
      text.Trim();
      if (!text.IsEmpty()) dc->TextOut(m_positions[static_cast<size_t>(c)], line * m_nLine, text);
    }
    ++line;
    if (line >= linesPerPage - 4 && m_nCurrentRow + 1 < m_nRowCount) {
      ok = dc->EndPage() > 0 && dc->StartPage() > 0;
      PrintPageHeader(dc, ++page);
      dc->SelectObject(&font);
      line = kFirstBodyLine;
    }
  }
  dc->SelectObject(old);
  return ok;
}

void CPrintHitlist::PrintPageHeader(CDC* dc, int pageIndex) {
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  const int top = 3 * m_nCharHeight;
  dc->TextOut(3 * m_nAverage, top, CString(u"Seek and Show Search Results"));
  CString number;
  number.Format(u"Page %d", pageIndex + 1);
  const int columns = dc->GetDeviceCaps(HORZRES) / m_nAverage;
  dc->TextOut((columns - 15) * m_nAverage, top, number);
  for (size_t c = 0; c < m_headings.size() && c < m_positions.size(); ++c)
    dc->TextOut(m_positions[c], top + 2 * m_nLine, m_headings[c]);
  if (!m_headings.empty()) {
    CPen rule(PS_SOLID, 4, RGB(0, 0, 0));
    CPen* oldPen = dc->SelectObject(&rule);
    dc->MoveTo(3 * m_nAverage, top + 3 * m_nLine);
    dc->LineTo((columns - 5) * m_nAverage, top + 3 * m_nLine);
    dc->SelectObject(oldPen);
  }
  dc->SetBkMode(oldMode);
}
