#pragma once
// The list of the search results: one row per hit document, its batch's display name, its number
// and its values of the query's fields. It is the framework's sortable list: a click on a column
// header sorts by that column ascending, a second click descending, and numbers and dates sort
// as such. The rows' texts are given to the list when it shows them, not stored in it.

#include "framework/dialogs/CQVListCtrl.h"

#include <memory>
#include <vector>

class CDPXStringList;

class CResultRow : public CObject {
  DECLARE_DYNAMIC(CResultRow)
public:
  CResultRow(const CString& batchName, const CString& documentNumber, std::vector<CString> values)
      : m_strBatchName(batchName), m_strDocumentNumber(documentNumber), m_values(std::move(values)) {}
  ~CResultRow() override = default;

  const CString& GetBatchName() const { return m_strBatchName; }
  const CString& GetDocumentNumber() const { return m_strDocumentNumber; }
  // Column 0 the batch, 1 the number, from 2 on the values; empty for a column the row lacks.
  const CString& GetText(int column) const;

private:
  CString m_strBatchName;
  CString m_strDocumentNumber;
  std::vector<CString> m_values;
};

class CResultListCtrl : public CQVListCtrl {
  DECLARE_DYNAMIC(CResultListCtrl)
public:
  enum { kColumnWidth = 100 };

  CResultListCtrl() = default;
  ~CResultListCtrl() override;

  // Declares the batch and number columns; with a window, puts them in it as well.
  BOOL SetFixedColumns(LPCWSTR batchTitle, LPCWSTR numberTitle);
  // Appends one column per name after the fixed two.
  BOOL AddFieldColumns(const CDPXStringList& names);
  // Removes every row and every column after the first two.
  void Clear();
  // Appends the row; the list owns it from here on. -1 when it cannot be added.
  int AddRow(std::unique_ptr<CResultRow> row);
  CResultRow* GetRow(int item) const;

  // Sorts by the column, ascending or descending; FALSE for a column the list lacks.
  BOOL SortByColumn(int column, BOOL ascending);
  // The sorted column (-1: none) and its direction.
  int GetSortColumn(BOOL& ascending) const;
  // Switches between one and many selected rows.
  void SetMultiSelect(BOOL multi);

protected:
  CString GetSortText(int item, int column) const override;
  BOOL OnColumnClick(UINT id, NMHDR* nmhdr, LRESULT* result);
  void OnGetDispInfo(NMHDR* nmhdr, LRESULT* result);
  void OnDeleteAllItems(NMHDR* nmhdr, LRESULT* result);
  DECLARE_MESSAGE_MAP()

private:
  std::vector<std::unique_ptr<CResultRow>> m_rows;
};
