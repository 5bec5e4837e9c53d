#pragma once
// CQVPropertyPage: the base of the framework's property pages, and CQVPropertySheet, the sheet
// that asks them before taking them. A page builds its item map when it is added (OnAddPage),
// which also gives its tab the translated title; OnInitDialog then runs OnInitControls,
// OnInitLayout and OnInitSettings as CQVDialog does.

#include "framework/dialogs/CQVDialogHelper.h"
#include "platform/ui/afx/CPropertySheet.h"

class CQVPropertyPage : public CPropertyPage, public CQVDialogHelper {
  DECLARE_DYNAMIC(CQVPropertyPage)
public:
  explicit CQVPropertyPage(UINT templateId);
  explicit CQVPropertyPage(LPCWSTR templateName);

  // Called by CQVPropertySheet::AddPage before the page is added; FALSE refuses the page.
  virtual BOOL OnAddPage(CPropertySheet* sheet);
  BOOL OnInitDialog() override;

  void SetLayout(BOOL on) { m_bLayout = on; }
  void SetTranslate(BOOL on) { m_bTranslate = on; }
  // The object deletes itself after its window: it must live on the heap.
  void SetAutoDelete(BOOL on) { m_bAutoDelete = on; }
  void SetToolTips(BOOL on) { m_bToolTips = on; }

protected:
  void CommonConstructor();

  virtual BOOL OnInitControls() { return TRUE; }
  virtual BOOL OnInitIDMap() { return TRUE; }
  virtual BOOL OnInitLayout();
  virtual BOOL OnInitSettings() { return TRUE; }

  void PostNcDestroy() override;
  BOOL OnToolTipNotify(UINT id, NMHDR* nmhdr, LRESULT* result);
  DECLARE_MESSAGE_MAP()

  UINT m_nTemplateID { 0 };
  CString m_strTemplateName;
  // The translated title; the page description points at it.
  CString m_strCaption;
  BOOL m_bLayout { TRUE };
  BOOL m_bTranslate { TRUE };
  BOOL m_bAutoDelete { FALSE };
  BOOL m_bToolTips { TRUE };
};

class CQVPropertySheet : public CPropertySheet {
  DECLARE_DYNAMIC(CQVPropertySheet)
public:
  explicit CQVPropertySheet(CWnd* parent = nullptr, UINT selectPage = 0);

  // Ignores null; a CQVPropertyPage is added only when its OnAddPage agrees. The pages stay the
  // caller's.
  void AddPage(CPropertyPage* page);
  // Modeless, then moved onto the rectangle (normalised).
  BOOL CreateEx(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent);

  // While set (the default), resizing leaves the tab control alone; otherwise it fills the client
  // area.
  void SetKeepTabControl(BOOL keep) { m_bKeepTabControl = keep; }

protected:
  void OnSize(UINT type, int cx, int cy);
  DECLARE_MESSAGE_MAP()

private:
  BOOL m_bKeepTabControl { TRUE };
};
