#pragma once
// CFormView: a view whose window is a dialog template's, inside its frame. It gets WM_INITDIALOG
// when it is made and the dialog manager's keys while it has the focus; OnInitialUpdate puts the
// members into the controls (UpdateData(FALSE)).

#include "platform/ui/afx/CView.h"
#include "platform/ui/win/winctrl.h"

class CFormView : public CView {
  DECLARE_DYNAMIC(CFormView)
public:
  BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
              void* context = nullptr) override;
  void OnInitialUpdate() override;
  void OnDraw(CDC*) override {}
  BOOL PreTranslateMessage(MSG* msg) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  LPCWSTR m_lpszTemplateName {};

protected:
  explicit CFormView(UINT templateId);
  explicit CFormView(LPCWSTR templateName);

private:
  CString m_templateName;
};
