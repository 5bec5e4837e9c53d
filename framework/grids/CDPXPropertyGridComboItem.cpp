#include "framework/grids/CDPXPropertyGridComboItem.h"

#include "framework/grids/CDPXPropertyGrid.h"
#include "framework/grids/CDPXPropertyGridRow.h"
#include "platform/gdi/CFont.h"
#include "platform/ui/win/winuser.h"

namespace {
// The edit field of an editable combo box is its child with this ID.
constexpr int kComboEditId = 1001;
// Drops the list down once the box has taken its place on the screen.
constexpr UINT kDropListMessage = WM_APP + 1;
bool CtrlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }
}  // namespace

// ---- The edit field ------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDPXPropertyGridComboEdit, CEdit)

BEGIN_MESSAGE_MAP(CDPXPropertyGridComboEdit, CEdit)
  ON_WM_KILLFOCUS()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_SYSCHAR()
  ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

BOOL CDPXPropertyGridComboEdit::PreTranslateMessage(MSG* msg) {
  // A dialog around the grid must not take these keys as its own.
  if (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) {
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return TRUE;
  }
  if (msg->message == WM_SYSCHAR) return TRUE;
  return CEdit::PreTranslateMessage(msg);
}

void CDPXPropertyGridComboEdit::OnKillFocus(CWnd* next) {
  CEdit::OnKillFocus(next);
  CDPXPropertyGridComboItem* combo = m_combo;
  // The focus going back to the box itself is no end of the edit.
  if (next == combo || !combo->IsEditing()) return;
  GetWindowText(combo->m_value.text);
  combo->ClearEndGuard();
  combo->StopEdit();
}

void CDPXPropertyGridComboEdit::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (CDPXPropertyGridComboItem::IsLeaveKey(key)) {
    m_combo->SendMessage(WM_KEYDOWN, key, 0);
    return;
  }
  CEdit::OnKeyDown(key, repeat, flags);
}

void CDPXPropertyGridComboEdit::OnKeyUp(UINT key, UINT repeat, UINT flags) {
  if (key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE) {
    m_combo->SendMessage(WM_KEYUP, key, 0);
    return;
  }
  CEdit::OnKeyUp(key, repeat, flags);
}

UINT CDPXPropertyGridComboEdit::OnGetDlgCode() { return CEdit::OnGetDlgCode() | DLGC_WANTALLKEYS; }

// ---- The list cell -------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CDPXPropertyGridComboItem, CComboBox)

BEGIN_MESSAGE_MAP(CDPXPropertyGridComboItem, CComboBox)
  ON_WM_KILLFOCUS()
  ON_WM_KEYDOWN()
  ON_WM_KEYUP()
  ON_WM_SYSCHAR()
  ON_WM_GETDLGCODE()
  ON_CONTROL_REFLECT(CBN_SELENDOK, &CDPXPropertyGridComboItem::OnSelEndOk)
  ON_WM_DESTROY()
  ON_MESSAGE(kDropListMessage, &CDPXPropertyGridComboItem::OnDropList)
END_MESSAGE_MAP()

CDPXPropertyGridComboItem::~CDPXPropertyGridComboItem() { DestroyEditor(); }

BOOL CDPXPropertyGridComboItem::Create(DWORD styles) {
  if (!GetGrid()) return FALSE;
  DestroyEditor();
  if (!CComboBox::Create(m_comboStyle | styles, GetCellRect(), EditorParent(), static_cast<UINT>(GetID())))
    return FALSE;
  if (CFont* font = EditorFont()) SetFont(font, FALSE);
  ShowWindow(SW_HIDE);
  return TRUE;
}

BOOL CDPXPropertyGridComboItem::IsEditable() const {
  return GetSafeHwnd() && (GetStyle() & 0x3) != CBS_DROPDOWNLIST;
}

void CDPXPropertyGridComboItem::DestroyEditor() {
  if (GetSafeHwnd()) DestroyWindow();
}

void CDPXPropertyGridComboItem::OnDestroy() {
  DetachEdit();
  CComboBox::OnDestroy();
}

void CDPXPropertyGridComboItem::DetachEdit() {
  if (m_edit.GetSafeHwnd()) m_edit.UnsubclassWindow();
}

void CDPXPropertyGridComboItem::Paint(CDC* dc, const RECT& rect) { PaintText(dc, rect, m_value.text, TRUE); }

void CDPXPropertyGridComboItem::BeginEdit() {
  if (!GetSafeHwnd()) return;
  MoveEditor();
  ShowWindow(SW_SHOW);
  // The edit field is ours while the edit lasts, so that its keys and its focus reach the cell.
  if (IsEditable() && !m_edit.GetSafeHwnd()) {
    if (CWnd* field = GetDlgItem(kComboEditId)) m_edit.SubclassWindow(field->GetSafeHwnd());
  }
  UpdateEditor();
  SetFocus();
  // A list dropped at once would open where the box was before it moved.
  if (GetCount() > 0) PostMessage(kDropListMessage);
  GetGrid()->Notify(CDPXPropertyGrid::kNotifyEditBegun, GetRow(), this);
}

LRESULT CDPXPropertyGridComboItem::OnDropList(WPARAM, LPARAM) {
  if (IsEditing() && IsWindowVisible()) ShowDropDown(TRUE);
  return 0;
}

void CDPXPropertyGridComboItem::MoveEditor() {
  if (!GetSafeHwnd()) return;
  CRect rect = GetCellRect();
  rect.bottom += m_dropHeight;
  MoveWindow(&rect);
}

void CDPXPropertyGridComboItem::UpdateEditor() {
  if (!GetSafeHwnd()) return;
  MatchText(m_value.text, m_value.freeText);
  if (IsEditable()) SetWindowText(m_value.text);
}

void CDPXPropertyGridComboItem::MatchText(const CString& text, int freeText) {
  const int found = text.IsEmpty() ? CB_ERR : FindStringExact(-1, text);
  if (found != CB_ERR) {
    SetCurSel(found);
    m_value.index = found;
    m_value.freeText = 0;
    GetLBText(found, m_value.text);
    return;
  }
  SetCurSel(-1);
  m_value.index = -1;
  if (IsEditable()) {
    m_value.text = text;
    m_value.freeText = text.IsEmpty() ? 0 : 1;
  } else {
    m_value.text.Empty();
    m_value.freeText = 0;
  }
}

void CDPXPropertyGridComboItem::EndEdit() {
  if (!GetSafeHwnd()) return;
  ShowDropDown(FALSE);
  MatchText(m_value.text, m_value.freeText);
  DetachEdit();
  ShowWindow(SW_HIDE);
}

void CDPXPropertyGridComboItem::SetValue(const void* value) {
  const auto* v = static_cast<const CDPXPropertyGridComboValue*>(value);
  if (!v) return;
  if (!v->freeText) {
    if (GetSafeHwnd() && v->index >= 0 && SetCurSel(v->index) != CB_ERR) {
      m_value.index = v->index;
      m_value.freeText = 0;
      GetLBText(v->index, m_value.text);
    }
    return;
  }
  if (!GetSafeHwnd()) {
    m_value = *v;
    return;
  }
  MatchText(v->text, v->freeText);
}

void CDPXPropertyGridComboItem::ReturnFocus() {
  if (CWnd* pane = EditorParent()) pane->SetFocus();
}

bool CDPXPropertyGridComboItem::IsLeaveKey(UINT key) {
  return CtrlDown() && (key == VK_PRIOR || key == VK_NEXT || key == VK_LEFT || key == VK_RIGHT || key == VK_UP ||
                        key == VK_DOWN);
}

void CDPXPropertyGridComboItem::OnKillFocus(CWnd* next) {
  CComboBox::OnKillFocus(next);
  // The focus moving into the box's own edit field is no end of the edit.
  if (next && (next == &m_edit || next->GetParent() == this)) return;
  if (IsEditing()) StopEdit();
}

void CDPXPropertyGridComboItem::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (IsLeaveKey(key)) {
    ReturnFocus();
    return;
  }
  CComboBox::OnKeyDown(key, repeat, flags);
}

void CDPXPropertyGridComboItem::OnKeyUp(UINT key, UINT repeat, UINT flags) {
  if (key == VK_ESCAPE) {
    // The value stays as it was before the edit.
    ShowDropDown(FALSE);
    if (IsEditable()) SetWindowText(m_value.text);
    else SetCurSel(m_value.index);
    ReturnFocus();
    return;
  }
  if (key == VK_TAB || (key == VK_RETURN && IsEditable())) {
    if (IsEditable()) GetWindowText(m_value.text);
    ReturnFocus();
    return;
  }
  CComboBox::OnKeyUp(key, repeat, flags);
}

UINT CDPXPropertyGridComboItem::OnGetDlgCode() { return CComboBox::OnGetDlgCode() | DLGC_WANTALLKEYS; }

void CDPXPropertyGridComboItem::OnSelEndOk() {
  const int chosen = GetCurSel();
  if (chosen < 0) return;
  GetLBText(chosen, m_value.text);
  m_value.freeText = 0;
  if (!IsEditable()) m_value.index = chosen;
  else if (m_edit.GetSafeHwnd()) m_edit.SetWindowText(m_value.text);
  else SetWindowText(m_value.text);
  ReturnFocus();
}
