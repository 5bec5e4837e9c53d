#pragma once
// CDPXPropertyGridPane: the grid's scrolling row pane (control ID 33333). It paints the displayed
// rows into a memory bitmap, and takes the mouse, the keyboard, the scroll bar and the wheel for
// the grid: it selects rows, expands and collapses them, opens cell editors, drags column
// dividers, moves, sorts and deletes rows. Buttons and keys do nothing while the grid is disabled.
//
// The editor windows of the cells are children of the pane.

#include "platform/ui/afx/CWnd.h"

class CDPXPropertyGrid;
class CDPXPropertyGridRow;

class CDPXPropertyGridPane : public CWnd {
  DECLARE_DYNAMIC(CDPXPropertyGridPane)
public:
  // Hit codes.
  static constexpr int kHitChildren = 2024;
  static constexpr int kHitHeader = 2025;
  static constexpr int kHitDivider = 2026;
  static constexpr int kHitBox = 2027;
  static constexpr int kHitCells = 2028;
  static constexpr int kHitNothing = 2029;
  // How close to a divider a point counts as on it, and how close dividers may come.
  static constexpr int kDividerTolerance = 5;
  static constexpr int kDividerGap = 25;

  explicit CDPXPropertyGridPane(CDPXPropertyGrid* grid) : m_grid(grid) {}

  BOOL Create(CWnd* parent);
  // The hit code of a point in client coordinates; `row` gets the row under it (or null) and
  // `divider` the index of the divider hit.
  int HitTest(CPoint point, CDPXPropertyGridRow** row = nullptr, int* divider = nullptr);
  CDPXPropertyGridRow* RowFromPoint(CPoint point);
  // The column under x: every x left of the first divider is column 0, and each column reaches up
  // to its divider; -1 without dividers.
  int GetColumnAt(int x) const;
  // Vertical scroll range 0 .. content height, page = client height + 1; the position is kept
  // inside the range.
  void UpdateScrollRange();
  // Scrolls to the position, clamped to [min, max(min, max - page)].
  void ScrollTo(int position);
  BOOL IsDragging() const { return m_dragging != 0; }
  int GetDragX() const { return m_dragX; }

protected:
  BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT message);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  UINT OnGetDlgCode();
  void OnSize(UINT type, int cx, int cy);
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc) { return TRUE; }
  void OnCaptureChanged(CWnd* wnd);
  DECLARE_MESSAGE_MAP()

private:
  // Expands or collapses a row with children unless the owner vetoes; then the current-row check.
  void ToggleExpanded(CDPXPropertyGridRow* row, BOOL expanded);
  // The current row is dropped (no selection, -1205) when it is no longer displayed.
  void CheckCurrentRow();
  void EndDrag(int x);
  void PaintRows(CDC* dc, const CRect& client);
  void PaintDragBar(CDC* dc, const CRect& client);

  CDPXPropertyGrid* m_grid {};
  HCURSOR m_sizeCursor {};
  HCURSOR m_handCursor {};
  int m_dragX {-1};
  int m_dragDivider {-1};
  int m_dragging {0};
  bool m_inSize {false};
};
