#pragma once
// CPropertyPage and CPropertySheet: pages made from dialog templates on the tabs of a sheet. A
// page's window is made the first time its tab is shown (its OnInitDialog runs then); leaving a
// page asks OnKillActive, which checks its data and may keep the page. The sheet is modal
// (DoModal: OK and Cancel below the tabs) or modeless (Create: the tabs alone, also as a child
// window). The dialog manager's keys work for the sheet as a whole.

#include "platform/ui/afx/CDialog.h"
#include "platform/ui/comctl/commctrl.h"

#include <memory>
#include <vector>

class CPropertySheet;
class CTabCtrl;

// The ID of a sheet's tab control.
#define AFX_IDC_TAB_CONTROL 0x3020

class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)
public:
  explicit CPropertyPage(UINT templateId, UINT captionId = 0);
  explicit CPropertyPage(LPCWSTR templateName, UINT captionId = 0);

  // The page becomes the shown one (TRUE) / is left: FALSE keeps it shown.
  virtual BOOL OnSetActive() { return TRUE; }
  virtual BOOL OnKillActive() { return UpdateData(TRUE); }
  // The sheet ends with OK: each page that was made takes its data.
  void OnOK() override {}
  void OnCancel() override {}
  // The page does not handle the dialog keys itself: its sheet does.
  BOOL PreTranslateMessage(MSG*) override { return FALSE; }

  CPropertySheet* GetSheet() const { return m_pSheet; }

  PROPSHEETPAGEW m_psp {};

private:
  friend class CPropertySheet;
  CPropertySheet* m_pSheet {};
};

class CPropertySheet : public CDialog {
  DECLARE_DYNAMIC(CPropertySheet)
public:
  explicit CPropertySheet(LPCWSTR caption = nullptr, CWnd* parent = nullptr, UINT selectPage = 0);
  ~CPropertySheet() override;

  // The pages stay the caller's.
  void AddPage(CPropertyPage* page);
  void RemovePage(int index);
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int index) const;
  int GetPageIndex(const CPropertyPage* page) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const { return m_active; }
  BOOL SetActivePage(int index);
  BOOL SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }
  CTabCtrl* GetTabControl() const;
  void SetTitle(LPCWSTR title);

  INT_PTR DoModal() override;
  // Modeless; style -1 gives a pop-up with a caption. With WS_CHILD the sheet lives inside parent.
  virtual BOOL Create(CWnd* parent = nullptr, DWORD style = static_cast<DWORD>(-1), DWORD exStyle = 0);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  BOOL PreTranslateMessage(MSG* msg) override;

  PROPSHEETHEADERW m_psh {};

protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnSize(UINT type, int cx, int cy);
  LRESULT OnGetTabControl(WPARAM, LPARAM);
  LRESULT OnPlacePages(WPARAM, LPARAM);

  DECLARE_MESSAGE_MAP()

private:
  // The sheet's own template: the tab control sized for the largest page, and for a modal sheet
  // OK and Cancel.
  void BuildTemplate(DWORD style, DWORD exStyle, bool buttons);
  bool ShowPage(int index);
  void PlacePage(CPropertyPage* page);
  HWND TabHandle() const;

  std::vector<CPropertyPage*> m_pages;
  std::unique_ptr<DialogTemplate> m_template;
  CString m_caption;
  int m_active {-1};
};
