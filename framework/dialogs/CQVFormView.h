#pragma once
// CQVFormView: the base of the framework's form views. When its template's window is made
// (WM_INITDIALOG) it puts the members into the controls, then runs OnInitControls, OnInitIDMap,
// OnInitLayout and OnInitSettings, stopping at the first FALSE; tool tips come on only when all
// four agree. A form view's title is never translated.
//
// CQVCtrlView: a form view that holds one control filling it. A derived view returns its control
// object from GetCtrl; without one the view cannot be made.

#include "framework/dialogs/CQVDialogHelper.h"
#include "platform/ui/afx/CFormView.h"

class CQVFormView : public CFormView, public CQVDialogHelper {
  DECLARE_DYNCREATE(CQVFormView)
public:
  // On the kernel's empty form template, without layout and translation.
  CQVFormView();
  explicit CQVFormView(UINT templateId);
  explicit CQVFormView(LPCWSTR templateName);

  void SetLayout(BOOL on) { m_bLayout = on; }
  void SetTranslate(BOOL on) { m_bTranslate = on; }
  void SetToolTips(BOOL on) { m_bToolTips = on; }
  void SetEraseBackground(BOOL on) { m_bEraseBackground = on; }

protected:
  void CommonConstructor();

  virtual BOOL OnInitControls() { return TRUE; }
  virtual BOOL OnInitIDMap() { return TRUE; }
  virtual BOOL OnInitLayout();
  virtual BOOL OnInitSettings() { return TRUE; }

  LRESULT OnInitDialog(WPARAM, LPARAM);
  BOOL OnToolTipNotify(UINT id, NMHDR* nmhdr, LRESULT* result);
  BOOL OnEraseBkgnd(CDC* dc);
  DECLARE_MESSAGE_MAP()

  UINT m_nTemplateID { 0 };
  CString m_strTemplateName;
  BOOL m_bLayout { TRUE };
  BOOL m_bTranslate { TRUE };
  BOOL m_bToolTips { TRUE };
  BOOL m_bEraseBackground { TRUE };
};

class CQVCtrlView : public CQVFormView {
  DECLARE_DYNAMIC(CQVCtrlView)
public:
  CQVCtrlView() = default;

protected:
  // The control the view holds; null in the base, so a derived view must say.
  virtual CWnd* GetCtrl() { return nullptr; }
  // Makes the control as a child of ID 1000 over the client area; FALSE for a null control or one
  // that has a window already.
  virtual BOOL OnCreateCtrl(CWnd* ctrl);
  // Moves the control over the client area.
  virtual BOOL OnSizeCtrl(CWnd* ctrl, int cx, int cy);

  int OnCreate(LPCREATESTRUCT cs);
  void OnSize(UINT type, int cx, int cy);
  DECLARE_MESSAGE_MAP()
};
