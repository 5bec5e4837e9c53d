#pragma once
// CQVDialog: the base of the framework's dialogs. OnInitDialog runs four hooks in this order:
// OnInitControls, OnInitIDMap, OnInitLayout (layout script, translation, topmost), OnInitSettings;
// the first that answers FALSE ends the sequence (the dialog still opens, without tool tips).
//
// Defaults: layout, translation, tool tips and close-on-deactivate on; topmost, auto-delete,
// dragging and both locks off. Derived classes change them in their constructors. A modeless
// dialog with close-on-deactivate closes when another window is activated, but not when its own
// message box or a modal dialog over it takes the activation.

#include "framework/dialogs/CQVDialogHelper.h"
#include "platform/ui/afx/CDialog.h"

class CQVDialog : public CDialog, public CQVDialogHelper {
  DECLARE_DYNAMIC(CQVDialog)
public:
  CQVDialog();
  // On the kernel's empty pop-up template.
  explicit CQVDialog(CWnd* parent);
  CQVDialog(UINT templateId, CWnd* parent);
  CQVDialog(LPCWSTR templateName, CWnd* parent);

  // IDCANCEL at once, showing nothing, when the dialog has a window already.
  int ShowModal();
  // A run through DoModal is modal as well: the close box cancels it, deactivation leaves it.
  INT_PTR DoModal() override;
  // Nothing while the dialog runs modally; an existing window is destroyed first.
  void ShowModeless(CWnd* parent);
  void HideModeless();
  BOOL IsModalRunning() const { return m_bModal; }

  BOOL OnInitDialog() override;
  // Nothing while the OK lock (Enter) or the Cancel lock (Escape) is set.
  void OnOK() override;
  void OnCancel() override;

  void SetLayout(BOOL on) { m_bLayout = on; }
  void SetTranslate(BOOL on) { m_bTranslate = on; }
  void SetTopmost(BOOL on) { m_bTopmost = on; }
  void SetCloseOnDeactivate(BOOL on) { m_bCloseOnDeactivate = on; }
  // The object deletes itself after its window: it must live on the heap.
  void SetAutoDelete(BOOL on) { m_bAutoDelete = on; }
  void SetToolTips(BOOL on) { m_bToolTips = on; }
  void SetDragByMouse(BOOL on) { m_bDrag = on; }
  void SetOKLock(BOOL on) { m_bLockOK = on; }
  void SetCancelLock(BOOL on) { m_bLockCancel = on; }
  BOOL GetOKLock() const { return m_bLockOK; }
  BOOL GetCancelLock() const { return m_bLockCancel; }

protected:
  void CommonConstructor();

  virtual BOOL OnInitControls() { return TRUE; }
  virtual BOOL OnInitIDMap() { return TRUE; }
  virtual BOOL OnInitLayout();
  virtual BOOL OnInitSettings() { return TRUE; }
  virtual BOOL CanDragByMouse(UINT, CPoint) { return TRUE; }

  void PostNcDestroy() override;

  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  void OnClose();
  BOOL OnToolTipNotify(UINT id, NMHDR* nmhdr, LRESULT* result);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  DECLARE_MESSAGE_MAP()

  UINT m_nTemplateID { 0 };
  CString m_strTemplateName;
  BOOL m_bModal { FALSE };
  BOOL m_bLayout { TRUE };
  BOOL m_bTranslate { TRUE };
  BOOL m_bTopmost { FALSE };
  BOOL m_bCloseOnDeactivate { TRUE };
  BOOL m_bAutoDelete { FALSE };
  BOOL m_bToolTips { TRUE };
  BOOL m_bDrag { FALSE };
  BOOL m_bLockOK { FALSE };
  BOOL m_bLockCancel { FALSE };
  BOOL m_bDragging { FALSE };
  POINT m_ptDragStart {};
  RECT m_rcDragStart {};
};
