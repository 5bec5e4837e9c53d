#pragma once
// Internal to framework/grids: what the text cell and the button cell share, both edited in an
// edit control over the cell and both keeping their value as a text (LPCWSTR through GetValue and
// SetValue). The text cell's read-only flag keeps its editor closed; the button cell's does not,
// since its button can still offer a value.

#include "framework/grids/CDPXPropertyGrid.h"
#include "framework/grids/CDPXPropertyGridItem.h"
#include "platform/ui/win/winctrl.h"

template <class EditBase>
class GridTextEditor : public EditBase, public CDPXPropertyGridItem {
public:
  ~GridTextEditor() override { GridTextEditor::DestroyEditor(); }

  void SetText(LPCWSTR text) { m_text = text; }

  void BeginEdit() override {
    if ((m_readOnlyKeepsClosed && IsReadOnly()) || !this->GetSafeHwnd()) return;
    MoveEditor();
    UpdateEditor();
    this->SendMessage(WM_HSCROLL, SB_LEFT);
    this->SetSel(-1, 0);
    this->ShowWindow(SW_SHOW);
    this->SetFocus();
    GetGrid()->Notify(CDPXPropertyGrid::kNotifyEditBegun, GetRow(), this);
  }
  void MoveEditor() override {
    if (this->GetSafeHwnd()) this->MoveWindow(&GetCellRect());
  }
  void UpdateEditor() override {
    if (this->GetSafeHwnd()) this->SetWindowText(m_text);
  }
  // Hides the editor and takes its text; a changed text (case-sensitive) marks the cell modified.
  void EndEdit() override {
    if ((m_readOnlyKeepsClosed && IsReadOnly()) || !this->GetSafeHwnd()) return;
    this->ShowWindow(SW_HIDE);
    CString typed;
    this->GetWindowText(typed);
    if (typed.Compare(m_text) != 0) {
      m_text = typed;
      SetModified(TRUE);
    }
  }
  const void* GetValue() override { return m_text.GetString(); }
  void SetValue(const void* value) override { m_text = static_cast<LPCWSTR>(value); }
  void GetText(CString& text) override { text = m_text; }
  void DestroyEditor() override {
    if (this->GetSafeHwnd()) this->DestroyWindow();
  }

protected:
  GridTextEditor(int type, bool readOnlyKeepsClosed) : CDPXPropertyGridItem(type), m_readOnlyKeepsClosed(readOnlyKeepsClosed) {}

  CString m_text;

private:
  bool m_readOnlyKeepsClosed;
};
