#include "framework/grids/CDPXPropertyGridItem.h"

#include "framework/grids/CDPXPropertyGrid.h"
#include "framework/grids/CDPXPropertyGridPane.h"
#include "framework/grids/GridPainting.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/gdi.h"

CDPXPropertyGridItem::CDPXPropertyGridItem(int type)
    : m_type(type), m_bkColor(GetSysColor(COLOR_WINDOW)), m_textColor(GetSysColor(COLOR_BTNTEXT)) {}

CDPXPropertyGridItem::~CDPXPropertyGridItem() {
  if (m_grid) m_grid->ReleaseCellId(m_id);
}

void CDPXPropertyGridItem::Attach(CDPXPropertyGrid* grid, CDPXPropertyGridRow* row, int id) {
  m_grid = grid;
  m_row = row;
  m_id = id;
}

void CDPXPropertyGridItem::StartEdit() {
  m_flags |= kEditing;
  m_editing = 1;
  m_endGuard = 0;
  BeginEdit();
}

void CDPXPropertyGridItem::StopEdit() {
  m_editing = 0;
  m_flags &= ~kEditing;
  if (m_endGuard) return;
  m_endGuard = 1;
  EndEdit();
  if (!m_grid) return;
  m_grid->OnCellEditEnded(m_row);
  m_grid->Notify(CDPXPropertyGrid::kNotifyEditEnded, m_row, this);
}

void CDPXPropertyGridItem::AbandonEdit() {
  m_editing = 0;
  m_flags &= ~kEditing;
  m_endGuard = 1;
}

CWnd* CDPXPropertyGridItem::EditorParent() const { return m_grid ? m_grid->GetPane() : nullptr; }

CFont* CDPXPropertyGridItem::EditorFont() { return CDPXPropertyGrid::GetGridFont(FALSE); }

void CDPXPropertyGridItem::PaintText(CDC* dc, const RECT& rect, const CString& text, BOOL grayWhenReadOnly,
                                     BOOL multiLine) {
  m_rect = rect;
  const BOOL selected = m_row && m_row->IsSelected();
  const BOOL bold = (selected && IsCurrent()) || IsBold();
  const BOOL disabled = m_grid && !m_grid->IsWindowEnabled();
  COLORREF colour = m_textColor;
  if (selected) colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
  else if (disabled || (grayWhenReadOnly && IsReadOnly())) colour = GetSysColor(COLOR_GRAYTEXT);
  dc->SetBkColor(m_bkColor);
  if (!multiLine) {
    grid_painting::Text(dc, text, CRect(rect), bold, colour);
    return;
  }
  CFont* font = CDPXPropertyGrid::GetGridFont(bold);
  CFont* old = font ? dc->SelectObject(font) : nullptr;
  dc->SetBkMode(TRANSPARENT);
  dc->SetTextColor(colour);
  CRect at(rect);
  dc->DrawText(text, &at, DT_LEFT | DT_TOP | DT_NOPREFIX);
  if (old) dc->SelectObject(old);
}
