#include "framework/grids/CDPXPropertyGridButtonItem.h"

#include "framework/grids/CDPXPropertyGrid.h"
#include "framework/grids/CDPXPropertyGridRow.h"
#include "platform/gdi/CFont.h"
#include "platform/ui/win/winuser.h"

IMPLEMENT_DYNAMIC(CDPXPropertyGridButtonItem, CDPXEditWithButton)

BEGIN_MESSAGE_MAP(CDPXPropertyGridButtonItem, CDPXEditWithButton)
  ON_WM_KEYDOWN()
  ON_WM_KILLFOCUS()
  ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

BOOL CDPXPropertyGridButtonItem::Create(DWORD buttonStyle, DWORD styles) {
  if (!GetGrid()) return FALSE;
  if (styles & ES_READONLY) CDPXPropertyGridItem::SetReadOnly(TRUE);
  if (!CDPXEditWithButton::Create(buttonStyle, 0, u"", WS_CHILD | ES_AUTOHSCROLL | styles, GetCellRect(),
                                  EditorParent(), static_cast<UINT>(GetID())))
    return FALSE;
  if (CFont* font = EditorFont()) SetFont(font, FALSE);
  return TRUE;
}

void CDPXPropertyGridButtonItem::Paint(CDC* dc, const RECT& rect) { PaintText(dc, rect, m_text, TRUE); }

void CDPXPropertyGridButtonItem::OnClickButton() {
  if (m_callback) m_text = m_callback(GetRow(), this, m_user);
  SetWindowText(m_text);
  ClearEndGuard();
  StopEdit();
  if (CDPXPropertyGrid* grid = GetGrid()) grid->Redraw();
}

void CDPXPropertyGridButtonItem::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (key == VK_RETURN && !(GetKeyState(VK_CONTROL) & 0x8000)) StopEdit();
  CDPXEditWithButton::OnKeyDown(key, repeat, flags);
}

void CDPXPropertyGridButtonItem::OnKillFocus(CWnd* next) {
  if (IsEditing()) StopEdit();
  CDPXEditWithButton::OnKillFocus(next);
}

UINT CDPXPropertyGridButtonItem::OnGetDlgCode() { return CDPXEditWithButton::OnGetDlgCode() | DLGC_WANTALLKEYS; }
