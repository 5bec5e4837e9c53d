#pragma once
// CDPXPropertyGridRow: one row of the index-field grid. Top-level rows are groups; below them sit
// data rows with one cell per column, a header row showing the column titles and the placeholder
// row for new entries (grid styles 0x40 and 0x80).
//
// The owner creates a row with `new` and hands it to CDPXPropertyGrid::InsertRow; from then on the
// grid owns it, with its children and cells, and deletes it in DeleteRow and DeleteAllRows.

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/wintypes.h"

#include <memory>
#include <vector>

class CDC;
class CDPXPropertyGrid;
class CDPXPropertyGridItem;

class CDPXPropertyGridRow {
public:
  // Row types.
  static constexpr int kData = 0;
  static constexpr int kGroup = 1;
  static constexpr int kHeader = 3;
  static constexpr int kPlaceholder = 4;
  // Flag bits.
  static constexpr DWORD kSelected = 0x01;
  static constexpr DWORD kExpanded = 0x02;

  CDPXPropertyGridRow();
  virtual ~CDPXPropertyGridRow();
  CDPXPropertyGridRow(const CDPXPropertyGridRow&) = delete;
  CDPXPropertyGridRow& operator=(const CDPXPropertyGridRow&) = delete;

  // The caption, shown for group rows and in the description box, and the description beneath it.
  void SetText(LPCWSTR text) { m_caption = text; }
  CString GetText() const { return m_caption; }
  void SetDescription(LPCWSTR text) { m_description = text; }
  CString GetDescription() const { return m_description; }
  // The colour of a group row's caption.
  void SetTextColor(COLORREF colour) { m_captionColor = colour; }
  COLORREF GetTextColor() const { return m_captionColor; }
  COLORREF GetGroupColor() const { return m_groupColor; }
  void SetGroupColor(COLORREF colour) { m_groupColor = colour; }

  int GetType() const { return m_type; }
  void SetType(int type) { m_type = type; }
  BOOL IsExpanded() const { return (m_flags & kExpanded) != 0; }
  void SetExpanded(BOOL expanded) { m_flags = expanded ? (m_flags | kExpanded) : (m_flags & ~kExpanded); }
  BOOL IsSelected() const { return (m_flags & kSelected) != 0; }
  void SetSelected(BOOL selected) { m_flags = selected ? (m_flags | kSelected) : (m_flags & ~kSelected); }
  // Stored for the owner; the grid does not draw it.
  void SetIcon(HICON icon) { m_icon = icon; }
  HICON GetIcon() const { return m_icon; }

  CDPXPropertyGrid* GetGrid() const { return m_grid; }
  CDPXPropertyGridRow* GetParent() const { return m_parent; }
  CDPXPropertyGridRow* GetFirstChild() const { return m_firstChild; }
  CDPXPropertyGridRow* GetNextSibling() const { return m_nextSibling; }
  BOOL IsTopLevel() const;
  int GetNumber() const { return m_number; }
  int GetHeight() const { return m_height; }
  void SetHeight(int height);
  // The height of the row and of its displayed descendants.
  int GetTotalHeight() const;

  // Cells. AddItem takes the cell when the row has room (fewer cells than the grid has columns) and
  // gives it its grid, row and ID; it returns the cell, or null when the row refused it (the cell
  // then still belongs to the caller).
  CDPXPropertyGridItem* AddItem(CDPXPropertyGridItem* cell);
  int GetItemCount() const { return static_cast<int>(m_cells.size()); }
  CDPXPropertyGridItem* GetItem(int n) const;
  // The text of cell n; empty when there is none.
  void GetCellText(int n, CString& text) const;
  int GetCurrentCell() const { return m_currentCell; }
  // Opens the editor of cell n and makes it current; null outside the cells or for a read-only cell.
  CDPXPropertyGridItem* BeginEditCell(int n);
  // Moves the current-cell mark to the next (previous) cell; at the end it stays.
  void NextCell();
  void PrevCell();

  // Geometry of the last paint: the row's rectangle in pane coordinates, its position and +/- box in
  // content coordinates.
  const CRect& GetRect() const { return m_rect; }
  CPoint GetPosition() const { return m_position; }
  const CRect& GetExpandBox() const { return m_expandBox; }

  // Paints this row (not its children) at content position y; returns its height.
  int Paint(CDC* dc, const RECT& client, int x, int y);

private:
  friend class CDPXPropertyGrid;
  void MoveCurrentMark(int step);
  void PaintBackground(CDC* dc, int x, int top, int right, int iconWidth, const CRect& client);
  void PaintExpandBox(CDC* dc, int y, int top);
  void PaintCaption(CDC* dc, const CRect& text);
  void PaintHeader(CDC* dc, int top, int right, const CRect& text, int iconWidth);
  void PaintGridLines(CDC* dc, int top, int right, int iconWidth);
  void PaintCells(CDC* dc, int top, int right, const CRect& text, int iconWidth);

  CDPXPropertyGrid* m_grid {};
  CString m_caption;
  CString m_description;
  int m_number {0};
  CRect m_rect {};
  CPoint m_position {};
  int m_height {18};
  HICON m_icon {};
  int m_type {kData};
  int m_currentCell {0};
  CDPXPropertyGridRow* m_parent {};
  CDPXPropertyGridRow* m_nextSibling {};
  CDPXPropertyGridRow* m_firstChild {};
  std::vector<std::unique_ptr<CDPXPropertyGridItem>> m_cells;
  CRect m_expandBox {};
  DWORD m_flags {0};
  COLORREF m_captionColor {0};
  COLORREF m_groupColor {0};
  COLORREF m_headerColor {0};
  COLORREF m_headerTextColor {0};
};
