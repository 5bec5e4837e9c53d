#pragma once
// CPrintHitlist prints the search results' list (a report-view list control) as a plain text
// table: on every page a title, the page number and the column headings over a rule, then one
// line per row, each column as wide as its longest text. The user picks the printer in the
// system's print dialog.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <vector>

class CDC;
class CListCtrl;

class CPrintHitlist : public CObject {
public:
  // Gathers the columns and widths, then prints through the print dialog; nothing for a list
  // without rows or columns.
  void Print(CListCtrl* list);
  // The same without a dialog, on a printer DC the caller made (and deletes): Print's gathering
  // and PrintOnDC. FALSE when nothing was printed.
  BOOL PrintTo(CDC* dc, CListCtrl* list);

  BOOL PrintWithDialog(CListCtrl* list);
  BOOL PrintOnDC(CDC* dc, CListCtrl* list);
  BOOL PrintList(CDC* dc, CListCtrl* list);
  void PrintPageHeader(CDC* dc, int pageIndex);

  // A file the printer writes instead of printing (the PDF printer needs one); empty: the printer.
  CString m_strOutput;

private:
  // Columns, headings and widths of the list; FALSE when it has no rows or no columns.
  BOOL Gather(CListCtrl* list);

  int m_nColumnCount { 0 };
  int m_nRowCount { 0 };
  int m_nCurrentRow { 0 };
  CString m_strTitle;
  std::vector<int> m_widths;
  std::vector<int> m_positions;
  std::vector<CString> m_headings;
  // Metrics of the font on the printer: average character width, character height, line height.
  int m_nAverage { 1 };
  int m_nCharHeight { 1 };
  int m_nLine { 1 };
};
