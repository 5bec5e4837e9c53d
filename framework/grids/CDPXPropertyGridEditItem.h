#pragma once
// CDPXPropertyGridEditItem: a text cell of the index-field grid, edited in an edit control over
// the cell. Its value (GetValue, SetValue) is the text as LPCWSTR.
//
// The owner makes the cell with `new`, hands it to CDPXPropertyGridRow::AddItem, then calls Create.

#include "framework/grids/GridTextEditor.h"
#include "platform/ui/afx/CEdit.h"

class CDPXPropertyGridEditItem : public GridTextEditor<CEdit> {
  DECLARE_DYNAMIC(CDPXPropertyGridEditItem)
public:
  // Create flags.
  static constexpr int kMultiLine = 0x01;  // several lines; the row becomes 75 pixels high
  static constexpr int kPassword = 0x02;   // shown as one "*" per character
  static constexpr int kDigits = 0x04;     // only digits can be typed
  static constexpr int kReadOnlyText = 0x08;

  CDPXPropertyGridEditItem() : GridTextEditor(kTypeEdit, true) {}

  using CEdit::Create;
  // Makes the hidden editor window; FALSE when the cell is in no grid or its window exists. The
  // read-only flag takes effect even then.
  BOOL Create(int flags = 0, DWORD styles = 0);
  void Paint(CDC* dc, const RECT& rect) override;

protected:
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnKillFocus(CWnd* next);
  UINT OnGetDlgCode();
  DECLARE_MESSAGE_MAP()

private:
  int m_createFlags {0};
};
