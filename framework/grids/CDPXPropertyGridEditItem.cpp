#include "framework/grids/CDPXPropertyGridEditItem.h"

#include "framework/grids/CDPXPropertyGrid.h"
#include "framework/grids/CDPXPropertyGridRow.h"
#include "platform/gdi/CFont.h"
#include "platform/ui/win/winuser.h"

IMPLEMENT_DYNAMIC(CDPXPropertyGridEditItem, CEdit)

BEGIN_MESSAGE_MAP(CDPXPropertyGridEditItem, CEdit)
  ON_WM_KEYDOWN()
  ON_WM_KILLFOCUS()
  ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

BOOL CDPXPropertyGridEditItem::Create(int flags, DWORD styles) {
  m_createFlags = flags;
  if (flags & kReadOnlyText) CDPXPropertyGridItem::SetReadOnly(TRUE);
  if (!GetGrid() || GetSafeHwnd()) return FALSE;
  DWORD style = WS_CHILD | ES_AUTOHSCROLL | styles;
  if (flags & kMultiLine) {
    style |= ES_MULTILINE | WS_VSCROLL;
    GetRow()->SetHeight(CDPXPropertyGrid::kMultiLineRowHeight);
  }
  if (flags & kPassword) style |= ES_PASSWORD;
  if (flags & kDigits) style |= ES_NUMBER;
  if (!CEdit::Create(style, GetCellRect(), EditorParent(), static_cast<UINT>(GetID()))) return FALSE;
  if (CFont* font = EditorFont()) SetFont(font, FALSE);
  SetSel(0, -1);
  ShowWindow(SW_HIDE);
  return TRUE;
}

void CDPXPropertyGridEditItem::Paint(CDC* dc, const RECT& rect) {
  const CString shown = (m_createFlags & kPassword) ? CString(WCHAR(u'*'), m_text.GetLength()) : m_text;
  PaintText(dc, rect, shown, FALSE, (m_createFlags & kMultiLine) != 0);
}

void CDPXPropertyGridEditItem::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  // Enter ends the edit; Ctrl+Enter starts a new line in a multi-line cell.
  if (key == VK_RETURN) {
    if (!(GetKeyState(VK_CONTROL) & 0x8000)) {
      StopEdit();
      if (CWnd* pane = EditorParent()) pane->SetFocus();
    } else if (m_createFlags & kMultiLine) {
      ReplaceSel(u"\r\n", TRUE);
    }
    return;
  }
  CEdit::OnKeyDown(key, repeat, flags);
}

void CDPXPropertyGridEditItem::OnKillFocus(CWnd* next) {
  CEdit::OnKillFocus(next);
  if (IsEditing()) StopEdit();
}

UINT CDPXPropertyGridEditItem::OnGetDlgCode() { return CEdit::OnGetDlgCode() | DLGC_WANTALLKEYS; }
