#pragma once
// CDPXPropertyGridButtonItem: a cell of the index-field grid edited in an edit control with a "..."
// button; a click on the button asks the owner's callback for the cell's new text. Its value
// (GetValue, SetValue) is the text as LPCWSTR.

#include "framework/dialogs/CDPXEditWithButton.h"
#include "framework/grids/GridTextEditor.h"

class CDPXPropertyGridButtonItem;

// The cell's new text, asked for when the button is clicked.
using CDPXPropertyGridButtonCallback = CString (*)(CDPXPropertyGridRow* row, CDPXPropertyGridButtonItem* cell,
                                                   LPARAM user);

class CDPXPropertyGridButtonItem : public GridTextEditor<CDPXEditWithButton> {
  DECLARE_DYNAMIC(CDPXPropertyGridButtonItem)
public:
  CDPXPropertyGridButtonItem() : GridTextEditor(kTypeButton, false) {}

  using CDPXEditWithButton::Create;
  // Makes the hidden editor; FALSE when the cell is in no grid. ES_READONLY among the styles marks
  // the cell read-only (the button still offers a value).
  BOOL Create(DWORD buttonStyle = 0, DWORD styles = 0);
  void SetCallback(CDPXPropertyGridButtonCallback callback, LPARAM user) {
    m_callback = callback;
    m_user = user;
  }

  void Paint(CDC* dc, const RECT& rect) override;
  void OnClickButton() override;

protected:
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnKillFocus(CWnd* next);
  UINT OnGetDlgCode();
  DECLARE_MESSAGE_MAP()

private:
  CDPXPropertyGridButtonCallback m_callback {};
  LPARAM m_user {0};
};
