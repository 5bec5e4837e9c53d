#pragma once
// CDPXPropertyGridComboItem: a list cell of the index-field grid, edited in a combo box over the
// cell: a drop-down list (the default), or an editable combo (CBS_DROPDOWN) that also takes texts
// that are not in its list ("free text"). Its value (GetValue, SetValue) is a
// CDPXPropertyGridComboValue.
//
// Esc puts the value back as it was; Tab, Enter (editable combo), choosing an entry, and Ctrl with
// Page Up, Page Down or an arrow hand the focus back to the row pane, which ends the edit.

#include "framework/grids/CDPXPropertyGridItem.h"
#include "platform/ui/afx/CComboBox.h"
#include "platform/ui/afx/CEdit.h"

class CDPXPropertyGridComboItem;

struct CDPXPropertyGridComboValue {
  int index {-1};  // the entry, -1 for none
  CString text;
  int freeText {0};  // 1: the text is not an entry of the list (editable combos only)
};

// The edit field of an editable combo while it is being edited: it keeps the keys from a dialog
// around the grid and ends the edit when it loses the focus.
class CDPXPropertyGridComboEdit : public CEdit {
  DECLARE_DYNAMIC(CDPXPropertyGridComboEdit)
public:
  explicit CDPXPropertyGridComboEdit(CDPXPropertyGridComboItem* combo) : m_combo(combo) {}
  BOOL PreTranslateMessage(MSG* msg) override;

protected:
  void OnKillFocus(CWnd* next);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnKeyUp(UINT key, UINT repeat, UINT flags);
  void OnSysChar(UINT ch, UINT repeat, UINT flags) {}
  UINT OnGetDlgCode();
  DECLARE_MESSAGE_MAP()

private:
  CDPXPropertyGridComboItem* m_combo {};
};

class CDPXPropertyGridComboItem : public CComboBox, public CDPXPropertyGridItem {
  DECLARE_DYNAMIC(CDPXPropertyGridComboItem)
public:
  static constexpr int kDropHeight = 200;

  CDPXPropertyGridComboItem() : CDPXPropertyGridItem(kTypeCombo), m_edit(this) {}
  ~CDPXPropertyGridComboItem() override;

  using CComboBox::Create;
  // Makes the hidden combo box (an existing one is destroyed first); `styles` add to WS_CHILD,
  // WS_VSCROLL, WS_HSCROLL and CBS_AUTOHSCROLL, and choose the kind (CBS_DROPDOWNLIST by default).
  BOOL Create(DWORD styles = CBS_DROPDOWNLIST);
  BOOL IsEditable() const;

  void Paint(CDC* dc, const RECT& rect) override;
  void BeginEdit() override;
  void MoveEditor() override;
  void UpdateEditor() override;
  void EndEdit() override;
  const void* GetValue() override { return &m_value; }
  void SetValue(const void* value) override;
  void GetText(CString& text) override { text = m_value.text; }
  void DestroyEditor() override;

protected:
  friend class CDPXPropertyGridComboEdit;
  void OnKillFocus(CWnd* next);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnKeyUp(UINT key, UINT repeat, UINT flags);
  void OnSysChar(UINT ch, UINT repeat, UINT flags) {}
  UINT OnGetDlgCode();
  void OnSelEndOk();
  void OnDestroy();
  LRESULT OnDropList(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

private:
  // Matches the text against the list: found, the entry is selected and its index kept; not found,
  // an editable combo keeps the text as free text, a drop-down list drops it and shows no entry.
  void MatchText(const CString& text, int freeText);
  void ReturnFocus();
  void DetachEdit();
  // Ctrl with Page Up, Page Down or an arrow.
  static bool IsLeaveKey(UINT key);

  CDPXPropertyGridComboEdit m_edit;
  int m_dropHeight {kDropHeight};
  CDPXPropertyGridComboValue m_value;
  DWORD m_comboStyle {WS_CHILD | WS_VSCROLL | WS_HSCROLL | CBS_AUTOHSCROLL};
};
