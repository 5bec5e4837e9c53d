#pragma once
// The search results: a modeless, resizable dialog listing the hits of the last search, one row
// per document with its batch, its number and its values of the query's fields. A double click or
// Enter opens the row's document; the output commands (e-mail, save as PDF, print the images,
// print the hit list) act on the selected rows. Column widths, the sorted column and the window's
// place are kept in the settings the search command hands over.
//
// The dialog is made once and hidden rather than destroyed; each search empties and fills it again.

#include "framework/dialogs/CQVDialog.h"
#include "foundation/util/CDPXStringList.h"
#include "viewer/search/CResultListCtrl.h"

#include <vector>

class CIBSPlant;
class CMainSettings;
class CSearchResultsDlg;

// What the main document does for the dialog.
class CSearchResultsHandler {
public:
  virtual ~CSearchResultsHandler() = default;
  // Shows the document in the browser.
  virtual void OpenResult(LPCWSTR batchName, LPCWSTR documentNumber) = 0;
  // Output requests 1 to 4 over the dialog's selected rows.
  virtual void RunOutput(int request, CSearchResultsDlg& dialog) = 0;
};

class CSearchResultsDlg : public CQVDialog {
  DECLARE_DYNAMIC(CSearchResultsDlg)
public:
  enum {
    IDC_LIST = 1048,
    WM_OUTPUT_REQUEST = WM_USER + 2,  // lParam: the request
    WM_SAVE_WIDTHS = WM_USER + 16,
  };
  enum Request { requestView = 0, requestEmail, requestSaveAsPdf, requestPrintImages, requestPrintHitList };
  static constexpr LPCWSTR kBatchNameHeader = u"__BATCHNAME_HEADER__";
  static constexpr LPCWSTR kDocumentHeader = u"__DOCUMENT_HEADER__";

  CSearchResultsDlg();

  void SetPlant(CIBSPlant* plant) { m_pPlant = plant; }
  CIBSPlant* GetPlant() const { return m_pPlant; }
  void SetHandler(CSearchResultsHandler* handler) { m_pHandler = handler; }
  // The settings the dialog reads and keeps up to date; none of them is owned.
  void SetWidthList(CString* widthList, BOOL save) {
    m_pWidthList = widthList;
    m_bSaveWidths = save;
  }
  void SetRectangle(RECT* rectangle) { m_pRectangle = rectangle; }
  void SetSortState(CString* sortItem, BOOL* ascending) {
    m_pSortItem = sortItem;
    m_pSortAscending = ascending;
  }
  void SetOpenSingleResult(BOOL open) { m_bOpenSingleResult = open; }
  void SetMultiSelect(BOOL multi);
  // All of the above from the settings, as after a search.
  void ApplySettings(CMainSettings& settings);

  // Shows the store's results: the window is made on the first call, emptied and filled on later
  // ones. FALSE when it cannot be.
  BOOL ShowResults(CWnd* parent);
  void ClearList();
  BOOL IsShown() const;

  CResultListCtrl& GetList() { return m_list; }
  // The selected rows in list order.
  std::vector<const CResultRow*> GetSelectedRows() const;
  // Whether a command of the output menu (6001 to 6005) can run on the selection: the ones for a
  // single document need exactly one selected row, the others a selection.
  BOOL IsOutputEnabled(UINT commandId) const;
  // Runs a request at once, as the menu and the private message do.
  void RunRequest(int request);

  void RefreshTexts();

  // The output menu (a menu bar whose first pop-up holds the output commands), made by the main
  // document: shown as the dialog's menu bar and, on a right click, as a pop-up. Not owned; it
  // must outlive the dialog's window or be taken away first (null).
  void SetOutputMenu(CMenu* menu);
  // Brings the enabling of every command in the pop-up (and its pop-ups) up to date.
  void UpdateMenuItems(CMenu& popup) const;

protected:
  BOOL OnInitIDMap() override;
  BOOL OnInitControls() override;
  BOOL OnInitSettings() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  void OnOK() override;
  void OnCancel() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  void OnDblClick(NMHDR* nmhdr, LRESULT* result);
  void OnRightClick(NMHDR* nmhdr, LRESULT* result);
  void OnInitMenuPopup(CMenu* popup, UINT index, BOOL sysMenu);
  void OnDestroy();
  void OnSysCommand(UINT id, LPARAM lParam);
  void OnHeaderEndTrack(NMHDR* nmhdr, LRESULT* result);
  void OnHeaderItemClick(NMHDR* nmhdr, LRESULT* result);
  LRESULT OnOutputRequest(WPARAM wParam, LPARAM lParam);
  LRESULT OnSaveWidths(WPARAM wParam, LPARAM lParam);
  void OnSize(UINT type, int cx, int cy);
  void OnMove(int x, int y);
  void OnPaint();
  DECLARE_MESSAGE_MAP()

private:
  // Columns, widths, rows and sort of the store's results.
  BOOL Fill();
  void ApplyWidths();
  void ApplySort();
  void SaveSortState();
  void PlaceList();
  void StoreRectangle();
  CRect GripRect() const;
  void ViewRow(int item);
  // The output menu at a point of the screen; nothing without a menu or a selected row.
  void ShowOutputMenu(CPoint screen);
  // The output menu without the mouse (Shift+F10): beside the selected rows in view. FALSE when
  // there is no selection mark.
  BOOL ShowKeyboardMenu();

  CIBSPlant* m_pPlant { nullptr };
  CSearchResultsHandler* m_pHandler { nullptr };
  CResultListCtrl m_list;
  CDPXStringList m_queryNames;
  CString* m_pWidthList { nullptr };
  BOOL m_bSaveWidths { FALSE };
  CString* m_pSortItem { nullptr };
  BOOL* m_pSortAscending { nullptr };
  BOOL m_bOpenSingleResult { FALSE };
  BOOL m_bMultiSelect { FALSE };
  RECT* m_pRectangle { nullptr };
  CMenu* m_pMenu { nullptr };
  BOOL m_bGrip { TRUE };
};
