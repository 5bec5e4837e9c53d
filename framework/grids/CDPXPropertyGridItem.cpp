#include "framework/grids/CDPXPropertyGridItem.h"

#include "framework/grids/CDPXPropertyGrid.h"
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
