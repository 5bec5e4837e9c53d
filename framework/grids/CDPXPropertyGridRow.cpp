// The grid's rows: cells, the current-cell mark, and painting one row. Rows are painted by the
// pane in display order (CDPXPropertyGridPane.cpp); a row paints itself only, never its children.

#include "framework/grids/CDPXPropertyGridRow.h"

#include "framework/grids/CDPXPropertyGrid.h"
#include "framework/grids/CDPXPropertyGridItem.h"
#include "framework/grids/GridPainting.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/gdi.h"

#include <algorithm>

CDPXPropertyGridRow::CDPXPropertyGridRow()
    : m_captionColor(GetSysColor(COLOR_BTNTEXT)),
      m_groupColor(GetSysColor(COLOR_BTNFACE)),
      m_headerColor(GetSysColor(COLOR_ACTIVECAPTION)),
      m_headerTextColor(GetSysColor(COLOR_GRAYTEXT)) {}

CDPXPropertyGridRow::~CDPXPropertyGridRow() = default;

BOOL CDPXPropertyGridRow::IsTopLevel() const {
  return m_grid && m_parent == m_grid->GetRootRow();
}

void CDPXPropertyGridRow::SetHeight(int height) {
  m_height = height;
  if (m_grid) m_grid->LayoutChanged();
}

int CDPXPropertyGridRow::GetTotalHeight() const {
  int height = m_height;
  if (!IsExpanded()) return height;
  for (const CDPXPropertyGridRow* child = m_firstChild; child; child = child->m_nextSibling)
    height += child->GetTotalHeight();
  return height;
}

CDPXPropertyGridItem* CDPXPropertyGridRow::AddItem(CDPXPropertyGridItem* cell) {
  if (!cell || !m_grid || GetItemCount() >= m_grid->GetColumnCount()) return nullptr;
  cell->Attach(m_grid, this, m_grid->AllocateCellId());
  m_cells.emplace_back(cell);
  return cell;
}

CDPXPropertyGridItem* CDPXPropertyGridRow::GetItem(int n) const {
  return n >= 0 && n < GetItemCount() ? m_cells[static_cast<size_t>(n)].get() : nullptr;
}

void CDPXPropertyGridRow::GetCellText(int n, CString& text) const {
  text.Empty();
  if (CDPXPropertyGridItem* cell = GetItem(n)) cell->GetText(text);
}

CDPXPropertyGridItem* CDPXPropertyGridRow::BeginEditCell(int n) {
  CDPXPropertyGridItem* cell = GetItem(n);
  if (!cell || cell->IsReadOnly()) return nullptr;
  cell->StartEdit();
  m_currentCell = n;
  return cell;
}

void CDPXPropertyGridRow::NextCell() { MoveCurrentMark(+1); }
void CDPXPropertyGridRow::PrevCell() { MoveCurrentMark(-1); }

void CDPXPropertyGridRow::MoveCurrentMark(int step) {
  if (m_cells.empty()) return;
  if (CDPXPropertyGridItem* old = GetItem(m_currentCell)) old->SetCurrent(FALSE);
  if (m_grid) m_grid->Notify(CDPXPropertyGrid::kNotifyCurrentCell, this, nullptr);
  const int next = std::clamp(m_currentCell + step, 0, GetItemCount() - 1);
  m_currentCell = next;
  CDPXPropertyGridItem* cell = GetItem(next);
  cell->SetCurrent(TRUE);
  if (m_grid) m_grid->Notify(CDPXPropertyGrid::kNotifyCurrentCell, this, cell);
}

// ---- Painting ------------------------------------------------------------------------------------

int CDPXPropertyGridRow::Paint(CDC* dc, const RECT& client, int x, int y) {
  const int top = y - m_grid->GetScrollPosition();
  const int right = client.right;
  const int icon = (m_grid->GetGridStyle() & CDPXPropertyGrid::kIconColumn) ? CDPXPropertyGrid::kIconWidth : 0;
  m_position = CPoint(x, y);
  m_rect.SetRect(CDPXPropertyGrid::kLeftMargin, top, right, top + m_height - 1);
  const CRect text(x + CDPXPropertyGrid::kLeftMargin + (m_type == kGroup ? 0 : icon), top, right, top + m_height);

  PaintBackground(dc, x, top, right, icon, CRect(client));
  PaintExpandBox(dc, y, top);
  if (m_type == kGroup) PaintCaption(dc, text);
  if (m_type == kHeader) PaintHeader(dc, top, right, text, icon);
  if (!IsTopLevel()) PaintGridLines(dc, top, right, icon);
  // The dotted line under the row.
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  for (int px = CDPXPropertyGrid::kLeftMargin; px < CDPXPropertyGrid::kLeftMargin + right - 15; px += 2)
    dc->SetPixel(px, top + m_height - 1, shadow);
  if (m_type == kData || m_type == kPlaceholder) PaintCells(dc, top, right, text, icon);
  return m_height;
}

void CDPXPropertyGridRow::PaintBackground(CDC* dc, int x, int top, int right, int icon, const CRect& client) {
  const BOOL disabled = !m_grid->IsWindowEnabled();
  if (m_type == kGroup && ((m_grid->GetGridStyle() & CDPXPropertyGrid::kGroupBand) || disabled))
    dc->FillSolidRect(CRect(client.left, top, client.right, top + m_height), m_groupColor);
  if (IsSelected() && icon && (m_type == kData || m_type == kPlaceholder))
    dc->FillSolidRect(CRect(x + 16, top, x + 34, top + 18), GetSysColor(COLOR_HIGHLIGHT));
}

void CDPXPropertyGridRow::PaintExpandBox(CDC* dc, int y, int top) {
  if (!m_firstChild) {
    m_expandBox.SetRectEmpty();
    return;
  }
  m_expandBox.SetRect(4, y + 5, 12, y + 13);
  const CRect box(4, top + 5, 13, top + 14);
  if (!IsTopLevel()) dc->FillSolidRect(box, GetSysColor(COLOR_WINDOW));
  grid_painting::Frame(dc, box, GetSysColor(COLOR_BTNSHADOW));
  grid_painting::Line(dc, 6, top + 9, 11, top + 9, RGB(0, 0, 0));
  if (!IsExpanded()) grid_painting::Line(dc, 8, top + 7, 8, top + 12, RGB(0, 0, 0));
}

void CDPXPropertyGridRow::PaintCaption(CDC* dc, const CRect& text) {
  CString caption = m_caption;
  if (caption.Trim().IsEmpty()) return;
  COLORREF colour = m_captionColor;
  if (IsSelected()) {
    dc->FillSolidRect(CRect(CDPXPropertyGrid::kLeftMargin, text.top, text.right, text.bottom),
                      GetSysColor(COLOR_HIGHLIGHT));
    colour = GetSysColor(COLOR_BTNHIGHLIGHT);
  }
  if (!m_grid->IsWindowEnabled()) colour = GetSysColor(COLOR_GRAYTEXT);
  CRect at = text;
  at.left += 5;
  grid_painting::Text(dc, m_caption, at, TRUE, colour);
}

void CDPXPropertyGridRow::PaintHeader(CDC* dc, int top, int right, const CRect& text, int icon) {
  const BOOL disabled = !m_grid->IsWindowEnabled();
  dc->FillSolidRect(CRect(16, top, 16 + right - 15, top + m_height),
                    disabled ? m_headerColor : GetSysColor(COLOR_BTNFACE));
  const COLORREF colour = disabled ? GetSysColor(COLOR_GRAYTEXT) : m_headerTextColor;
  const int saved = dc->SaveDC();
  dc->IntersectClipRect(text);
  const std::vector<int>& dividers = m_grid->GetDividers();
  int p = 16 + icon;
  for (size_t i = 0; i < dividers.size(); ++i) {
    grid_painting::Text(dc, m_grid->GetColumnTitle(static_cast<int>(i)),
                        CRect(p + 5, top, dividers[i] - 5, top + m_height), TRUE, colour);
    p = dividers[i];
  }
  grid_painting::Text(dc, m_grid->GetColumnTitle(static_cast<int>(dividers.size())),
                      CRect(p + 5, top, right - 5, top + m_height), TRUE, colour);
  dc->RestoreDC(saved);
}

void CDPXPropertyGridRow::PaintGridLines(CDC* dc, int top, int right, int icon) {
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const int bottom = top + m_height;
  if (icon) grid_painting::Line(dc, 34, top, 34, bottom, shadow);
  for (int divider : m_grid->GetDividers()) grid_painting::Line(dc, divider, top, divider, bottom, shadow);
}

void CDPXPropertyGridRow::PaintCells(CDC* dc, int top, int right, const CRect& text, int icon) {
  const int saved = dc->SaveDC();
  dc->IntersectClipRect(text);
  const std::vector<int>& dividers = m_grid->GetDividers();
  const int bottom = top + m_height - 1;
  int p = icon ? 34 : 15;
  // A row may hold fewer cells than there are columns; only the cells it has are painted.
  for (int i = 0; i < GetItemCount(); ++i) {
    const int end = i < static_cast<int>(dividers.size()) ? dividers[static_cast<size_t>(i)] : right;
    CDPXPropertyGridItem* cell = GetItem(i);
    const CRect rect(p + 2, top, end, bottom);
    if (cell->IsEditing()) {
      // The editor covers the cell and follows it when the rows scroll.
      if (!(rect == cell->GetCellRect())) {
        cell->SetCellRect(rect);
        cell->MoveEditor();
      }
    } else {
      dc->FillSolidRect(CRect(p + 1, top, end, bottom), IsSelected() ? GetSysColor(COLOR_HIGHLIGHT) : cell->GetBkColor());
      cell->Paint(dc, rect);
    }
    p = end;
  }
  dc->RestoreDC(saved);
}
