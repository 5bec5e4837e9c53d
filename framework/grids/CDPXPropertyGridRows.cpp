// The grid's operations on its row tree: inserting (with the header and placeholder rows of styles
// 0x40 and 0x80), deleting, sorting, moving, expanding, the display list and row navigation.

#include "framework/grids/CDPXPropertyGrid.h"

#include "framework/grids/CDPXPropertyGridDescBox.h"
#include "framework/grids/CDPXPropertyGridItem.h"
#include "framework/grids/CDPXPropertyGridPane.h"
#include "platform/ui/win/winuser.h"

#include <algorithm>

// ---- Links ---------------------------------------------------------------------------------------

CDPXPropertyGridRow* CDPXPropertyGrid::LastChild(const CDPXPropertyGridRow* parent) {
  CDPXPropertyGridRow* last = parent->m_firstChild;
  while (last && last->m_nextSibling) last = last->m_nextSibling;
  return last;
}

CDPXPropertyGridRow* CDPXPropertyGrid::PreviousSibling(const CDPXPropertyGridRow* row) {
  if (!row->m_parent) return nullptr;
  CDPXPropertyGridRow* previous = nullptr;
  for (CDPXPropertyGridRow* at = row->m_parent->m_firstChild; at && at != row; at = at->m_nextSibling) previous = at;
  return previous;
}

void CDPXPropertyGrid::LinkAfter(CDPXPropertyGridRow* parent, CDPXPropertyGridRow* after, CDPXPropertyGridRow* row) {
  row->m_parent = parent;
  if (!after) {
    row->m_nextSibling = parent->m_firstChild;
    parent->m_firstChild = row;
  } else {
    row->m_nextSibling = after->m_nextSibling;
    after->m_nextSibling = row;
  }
}

void CDPXPropertyGrid::Unlink(CDPXPropertyGridRow* row) {
  CDPXPropertyGridRow* parent = row->m_parent;
  if (!parent) return;
  if (parent->m_firstChild == row) {
    parent->m_firstChild = row->m_nextSibling;
  } else if (CDPXPropertyGridRow* previous = PreviousSibling(row)) {
    previous->m_nextSibling = row->m_nextSibling;
  }
  row->m_nextSibling = nullptr;
  row->m_parent = nullptr;
}

void CDPXPropertyGrid::TakeNumber(CDPXPropertyGridRow* row, BOOL dataRow) {
  row->m_grid = this;
  row->m_number = m_rowCounter;
  m_rowCounter += dataRow ? m_rowNumberStep : 1;
}

// ---- Inserting -----------------------------------------------------------------------------------

std::unique_ptr<CDPXPropertyGridRow> CDPXPropertyGrid::MakeHeaderRow(CDPXPropertyGridRow* parent) {
  auto header = std::make_unique<CDPXPropertyGridRow>();
  header->m_type = CDPXPropertyGridRow::kHeader;
  header->m_icon = LoadIconW(nullptr, IDI_ASTERISK);
  TakeNumber(header.get(), FALSE);
  header->m_parent = parent;
  return header;
}

BOOL CDPXPropertyGrid::FillFromFactories(CDPXPropertyGridRow* row) {
  for (CDPXPropertyGridCellFactory factory : m_factories) {
    if (!factory || !factory(row)) return FALSE;
  }
  // A factory that reported success without adding its cell would leave the row short of a column.
  return row->GetItemCount() == GetColumnCount();
}

std::unique_ptr<CDPXPropertyGridRow> CDPXPropertyGrid::MakePlaceholderRow(CDPXPropertyGridRow* parent) {
  auto placeholder = std::make_unique<CDPXPropertyGridRow>();
  TakeNumber(placeholder.get(), TRUE);
  placeholder->m_type = CDPXPropertyGridRow::kPlaceholder;
  placeholder->m_parent = parent;
  if (!FillFromFactories(placeholder.get())) return nullptr;
  return placeholder;
}

CDPXPropertyGridRow* CDPXPropertyGrid::InsertRow(CDPXPropertyGridRow* row, CDPXPropertyGridRow* parent) {
  if (!row) return nullptr;
  if (!parent) parent = &m_root;
  const BOOL headers = (m_style & kHeaderRows) != 0;
  const BOOL editable = (m_style & kEditableList) != 0;
  // Rows made for this insertion; they are linked only when everything could be made.
  std::unique_ptr<CDPXPropertyGridRow> header, placeholder;

  if (parent == &m_root) {
    row->m_type = CDPXPropertyGridRow::kGroup;
    TakeNumber(row, FALSE);
    if (headers) header = MakeHeaderRow(row);
    if (editable && !(placeholder = MakePlaceholderRow(row))) return nullptr;
    LinkAfter(parent, LastChild(parent), row);
    CDPXPropertyGridRow* after = nullptr;
    if (header) LinkAfter(row, nullptr, after = header.release());
    if (placeholder) LinkAfter(row, after, placeholder.release());
  } else if (!parent->m_firstChild) {
    if (headers) header = MakeHeaderRow(parent);
    TakeNumber(row, TRUE);
    if (editable && !(placeholder = MakePlaceholderRow(parent))) return nullptr;
    CDPXPropertyGridRow* after = nullptr;
    if (header) LinkAfter(parent, nullptr, after = header.release());
    LinkAfter(parent, after, row);
    if (placeholder) LinkAfter(parent, row, placeholder.release());
  } else {
    CDPXPropertyGridRow* after = LastChild(parent);
    if (editable && row->m_type != CDPXPropertyGridRow::kPlaceholder) {
      CDPXPropertyGridRow* previous = nullptr;
      for (CDPXPropertyGridRow* at = parent->m_firstChild; at; previous = at, at = at->m_nextSibling) {
        if (at->m_type == CDPXPropertyGridRow::kPlaceholder) {
          after = previous;
          break;
        }
      }
    }
    TakeNumber(row, TRUE);
    LinkAfter(parent, after, row);
  }
  row->m_grid = this;
  LayoutChanged();
  Notify(kNotifyInserted, row, nullptr);
  if (GetSafeHwnd()) {
    RecomputeScrollRange();
    Invalidate();
    UpdateWindow();
  }
  return row;
}

void CDPXPropertyGrid::OnCellEditEnded(CDPXPropertyGridRow* row) {
  if (!(m_style & kEditableList) || m_deleting || !row || row->m_nextSibling) return;
  CDPXPropertyGridItem* first = row->GetItem(0);
  if (!first || !first->IsModified()) return;
  // The edited placeholder becomes a data row only when its successor could be made whole: the
  // list never loses its new-entry row, and no row is left with fewer cells than columns.
  auto placeholder = std::make_unique<CDPXPropertyGridRow>();
  placeholder->m_type = CDPXPropertyGridRow::kPlaceholder;
  placeholder->m_grid = this;
  placeholder->m_parent = row->m_parent;
  if (!FillFromFactories(placeholder.get())) return;
  TakeNumber(placeholder.get(), TRUE);
  LinkAfter(row->m_parent, row, placeholder.release());
  row->m_type = CDPXPropertyGridRow::kData;
  LayoutChanged();
  Redraw();
}

// ---- Deleting ------------------------------------------------------------------------------------

void CDPXPropertyGrid::AbandonEdits(CDPXPropertyGridRow* row) {
  for (CDPXPropertyGridRow* child = row->m_firstChild; child; child = child->m_nextSibling) AbandonEdits(child);
  for (int i = 0; i < row->GetItemCount(); ++i) {
    if (row->GetItem(i)->IsEditing()) row->GetItem(i)->AbandonEdit();
  }
}

void CDPXPropertyGrid::DeleteSubtree(CDPXPropertyGridRow* row) {
  while (CDPXPropertyGridRow* child = row->m_firstChild) {
    DeleteSubtree(child);
    Unlink(child);
    if (m_currentRow == child) m_currentRow = nullptr;
    delete child;
  }
  for (int i = 0; i < row->GetItemCount(); ++i) row->GetItem(i)->DestroyEditor();
  row->m_cells.clear();
}

void CDPXPropertyGrid::DeleteRow(CDPXPropertyGridRow* row) {
  if (!row) row = &m_root;
  // An editor with the focus that goes away ends its edit; that must neither store into nor add
  // rows to the tree being deleted.
  AbandonEdits(row);
  const bool wasDeleting = m_deleting;
  m_deleting = true;
  if (row == &m_root) {
    DeleteSubtree(row);
  } else {
    DeleteSubtree(row);
    Unlink(row);
    if (m_currentRow == row) m_currentRow = nullptr;
    delete row;
  }
  m_deleting = wasDeleting;
  LayoutChanged();
  if (GetSafeHwnd()) Redraw();
}

void CDPXPropertyGrid::DeleteAllRows() {
  DeleteRow(nullptr);
  m_currentRow = nullptr;
  Notify(kNotifyAllDeleted, nullptr, nullptr);
  m_rowCounter = 1;
}

// ---- Order ---------------------------------------------------------------------------------------

void CDPXPropertyGrid::SortRows(CDPXPropertyGridRow* row, int column) {
  if (column < 0 || column > static_cast<int>(m_dividers.size())) column = 0;
  SortChildren(row ? row : &m_root, column);
  LayoutChanged();
}

void CDPXPropertyGrid::SortChildren(CDPXPropertyGridRow* parent, int column) {
  std::vector<CDPXPropertyGridRow*> children;
  for (CDPXPropertyGridRow* child = parent->m_firstChild; child; child = child->m_nextSibling) {
    SortChildren(child, column);
    children.push_back(child);
  }
  if (children.size() < 2) return;
  std::vector<CString> texts(children.size());
  for (size_t i = 0; i < children.size(); ++i) children[i]->GetCellText(column, texts[i]);
  std::vector<size_t> order(children.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  // Header rows first and placeholders last whatever their texts; equal texts keep their order.
  auto rank = [&](size_t i) {
    const int type = children[i]->m_type;
    return type == CDPXPropertyGridRow::kHeader ? 0 : type == CDPXPropertyGridRow::kPlaceholder ? 2 : 1;
  };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    if (rank(a) != rank(b)) return rank(a) < rank(b);
    return texts[a].Compare(texts[b]) < 0;
  });
  parent->m_firstChild = children[order[0]];
  for (size_t i = 0; i + 1 < order.size(); ++i) children[order[i]]->m_nextSibling = children[order[i + 1]];
  children[order.back()]->m_nextSibling = nullptr;
}

void CDPXPropertyGrid::MoveRowUp(CDPXPropertyGridRow* row) {
  if (!row || !row->m_parent || row->m_type == CDPXPropertyGridRow::kPlaceholder) return;
  CDPXPropertyGridRow* previous = PreviousSibling(row);
  if (!previous) return;
  if (previous == row->m_parent->m_firstChild && previous->m_type == CDPXPropertyGridRow::kHeader) return;
  Unlink(row);
  CDPXPropertyGridRow* parent = previous->m_parent;
  LinkAfter(parent, PreviousSibling(previous), row);
  LayoutChanged();
  Redraw();
}

void CDPXPropertyGrid::MoveRowDown(CDPXPropertyGridRow* row) {
  if (!row || !row->m_parent || row->m_type == CDPXPropertyGridRow::kPlaceholder) return;
  CDPXPropertyGridRow* next = row->m_nextSibling;
  if (!next || next->m_type == CDPXPropertyGridRow::kPlaceholder) return;
  CDPXPropertyGridRow* parent = row->m_parent;
  Unlink(row);
  LinkAfter(parent, next, row);
  LayoutChanged();
  Redraw();
}

// ---- Expanding and the display list ----------------------------------------------------------------

void CDPXPropertyGrid::SetExpandedAll(CDPXPropertyGridRow* row, BOOL expanded) {
  for (CDPXPropertyGridRow* child = row->m_firstChild; child; child = child->m_nextSibling) {
    child->SetExpanded(expanded);
    SetExpandedAll(child, expanded);
  }
}

void CDPXPropertyGrid::ExpandAll() {
  SetExpandedAll(&m_root, TRUE);
  LayoutChanged();
  Redraw();
}

void CDPXPropertyGrid::CollapseAll() {
  SetExpandedAll(&m_root, FALSE);
  LayoutChanged();
  Redraw();
}

void CDPXPropertyGrid::UpdateLayout() {
  if (!m_layoutDirty) return;
  m_displayed.clear();
  // Content y of the first top-level row is 0; each row records its y for painting and hit tests.
  int y = 0;
  std::vector<CDPXPropertyGridRow*> stack {&m_root};
  while (!stack.empty()) {
    CDPXPropertyGridRow* row = stack.back();
    stack.pop_back();
    if (row != &m_root) {
      row->m_position = CPoint(0, y);
      y += row->m_height;
      m_displayed.push_back(row);
    }
    if (!row->IsExpanded() || !row->m_firstChild) continue;
    // Children go on the stack last first, so that the first comes off next.
    const size_t mark = stack.size();
    for (CDPXPropertyGridRow* child = row->m_firstChild; child; child = child->m_nextSibling) stack.push_back(child);
    std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(mark), stack.end());
  }
  m_layoutDirty = false;
}

const std::vector<CDPXPropertyGridRow*>& CDPXPropertyGrid::GetDisplayedRows() {
  UpdateLayout();
  return m_displayed;
}

BOOL CDPXPropertyGrid::IsDisplayed(const CDPXPropertyGridRow* row) {
  if (!row || row == &m_root) return FALSE;
  for (const CDPXPropertyGridRow* up = row->m_parent; up != &m_root; up = up->m_parent) {
    if (!up || !up->IsExpanded()) return FALSE;
  }
  return TRUE;
}

int CDPXPropertyGrid::GetContentHeight() {
  UpdateLayout();
  const int rows = m_displayed.empty() ? 0 : m_displayed.back()->m_position.y + m_displayed.back()->m_height;
  return m_root.m_height + rows;
}

void CDPXPropertyGrid::RecomputeScrollRange() {
  if (m_pane && m_pane->GetSafeHwnd()) m_pane->UpdateScrollRange();
}

void CDPXPropertyGrid::Redraw() {
  if (!GetSafeHwnd()) return;
  RecomputeScrollRange();
  Invalidate();
  if (m_descBox) m_descBox->Invalidate();
  UpdateWindow();
  // Painting places the cells, and an editor opened next goes where its cell was painted.
  if (m_pane) {
    m_pane->Invalidate();
    m_pane->UpdateWindow();
  }
}

// ---- Current row and navigation ------------------------------------------------------------------

void CDPXPropertyGrid::EnsureRowVisible(CDPXPropertyGridRow* row) {
  if (!row || row == &m_root) return;
  if (!IsDisplayed(row)) {
    for (CDPXPropertyGridRow* up = row->m_parent; up && up != &m_root; up = up->m_parent) up->SetExpanded(TRUE);
    LayoutChanged();
    Redraw();
  }
  UpdateLayout();
  if (!m_pane || !m_pane->GetSafeHwnd()) return;
  CRect client;
  m_pane->GetClientRect(&client);
  const int y = row->m_position.y;
  if (y >= m_scrollPos && y < m_scrollPos + client.Height() - row->m_height) return;
  m_pane->ScrollTo(y < m_scrollPos ? y : y + 2 * row->m_height - client.Height());
}

void CDPXPropertyGrid::SetCurrentRow(CDPXPropertyGridRow* row) {
  m_currentRow = row;
  if (row) EnsureRowVisible(row);
  Redraw();
}

void CDPXPropertyGrid::ClearSelection() {
  UpdateLayout();
  // Only displayed rows can be selected by the user; hidden ones keep no stale mark either.
  std::vector<CDPXPropertyGridRow*> stack {&m_root};
  while (!stack.empty()) {
    CDPXPropertyGridRow* row = stack.back();
    stack.pop_back();
    row->SetSelected(FALSE);
    for (CDPXPropertyGridRow* child = row->m_firstChild; child; child = child->m_nextSibling) stack.push_back(child);
  }
}

void CDPXPropertyGrid::ChangeCurrentRow(CDPXPropertyGridRow* row) {
  const BOOL changed = row != m_currentRow;
  ClearSelection();
  if (row) row->SetSelected(TRUE);
  SetCurrentRow(row);
  if (changed) Notify(kNotifyCurrentRow, row, nullptr);
}

void CDPXPropertyGrid::SelectFirstRow() {
  const auto& rows = GetDisplayedRows();
  if (!rows.empty()) ChangeCurrentRow(rows.front());
}

void CDPXPropertyGrid::SelectLastRow() {
  const auto& rows = GetDisplayedRows();
  if (!rows.empty()) ChangeCurrentRow(rows.back());
}

void CDPXPropertyGrid::SelectNextRow() {
  const auto& rows = GetDisplayedRows();
  if (rows.empty()) return;
  if (!m_currentRow || !IsDisplayed(m_currentRow)) {
    ChangeCurrentRow(rows.front());
    return;
  }
  auto at = std::find(rows.begin(), rows.end(), m_currentRow);
  if (at == rows.end() || ++at == rows.end()) return;
  if ((*at)->m_type == CDPXPropertyGridRow::kHeader && ++at == rows.end()) return;
  ChangeCurrentRow(*at);
}

void CDPXPropertyGrid::SelectPrevRow() {
  const auto& rows = GetDisplayedRows();
  if (rows.empty()) return;
  if (!m_currentRow || !IsDisplayed(m_currentRow)) {
    ChangeCurrentRow(rows.back());
    return;
  }
  auto at = std::find(rows.begin(), rows.end(), m_currentRow);
  if (at == rows.end() || at == rows.begin()) return;
  --at;
  if ((*at)->m_type == CDPXPropertyGridRow::kHeader) {
    if (at == rows.begin()) return;
    --at;
  }
  ChangeCurrentRow(*at);
}
