#pragma once
// CDPXPropertyGrid: the index-field grid, a child window that shows a tree of rows in columns:
// group rows at the top level and below each group data rows whose cells are edited in place.
// It owns the row pane (control ID 33333, scrolling, painting and input), the description box
// (0xFFFF, 50 pixels along the bottom, with style 0x01) and, through its rows, the cells.
//
// Everything runs on the UI thread. The grid needs the QApplication for its fonts: Create fails
// without it.

#include "framework/grids/CDPXPropertyGridRow.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/win/winuser.h"

#include <memory>
#include <vector>

class CFont;
class CDPXPropertyGridItem;
class CDPXPropertyGridPane;
class CDPXPropertyGridDescBox;

// Adds the cell of its column to a new placeholder row (CDPXPropertyGridRow::AddItem); non-zero on
// success.
using CDPXPropertyGridCellFactory = BOOL (*)(CDPXPropertyGridRow* row);

struct CDPXPropertyGridColumn {
  int width {100};
  CString title;
  CDPXPropertyGridCellFactory factory {};
};

// What Create takes: the grid style and at least two columns.
struct CDPXPropertyGridColumnSet {
  DWORD style {0};
  std::vector<CDPXPropertyGridColumn> columns;
};

// The record of the grid's WM_NOTIFY.
struct NMPROPERTYGRID {
  NMHDR hdr;
  CDPXPropertyGridRow* row;
  CDPXPropertyGridItem* cell;
};

class CDPXPropertyGrid : public CWnd {
  DECLARE_DYNAMIC(CDPXPropertyGrid)
public:
  // Style bits.
  static constexpr DWORD kDescriptionBox = 0x01;
  static constexpr DWORD kNotifications = 0x02;
  static constexpr DWORD kFaceMargin = 0x08;
  static constexpr DWORD kGroupBand = 0x10;
  static constexpr DWORD kIconColumn = 0x20;
  static constexpr DWORD kHeaderRows = 0x40;
  static constexpr DWORD kEditableList = 0x80;
  // Notification codes.
  static constexpr int kNotifyClick = -2;
  static constexpr int kNotifyDoubleClick = -3;
  static constexpr int kNotifyInserted = -1201;
  static constexpr int kNotifyDelete = -1202;
  static constexpr int kNotifyAllDeleted = -1203;
  static constexpr int kNotifyCurrentRow = -1205;
  static constexpr int kNotifyExpand = -1206;
  static constexpr int kNotifyDividerDrag = -1207;
  static constexpr int kNotifyCellClick = -1208;
  static constexpr int kNotifyCurrentCell = -1211;
  static constexpr int kNotifyEditEnded = -1212;
  static constexpr int kNotifyEditBegun = -1213;
  // Child IDs and geometry.
  static constexpr UINT kPaneId = 33333;
  static constexpr UINT kDescBoxId = 0xFFFF;
  static constexpr int kLeftMargin = 16;
  static constexpr int kIconWidth = 18;
  static constexpr int kRowHeight = 18;
  static constexpr int kMultiLineRowHeight = 75;
  static constexpr int kDescBoxHeight = 50;
  static constexpr int kScrollLine = 18;

  CDPXPropertyGrid();
  ~CDPXPropertyGrid() override;

  // FALSE without the fonts, with fewer than two columns, or when a child window cannot be made.
  virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, const CDPXPropertyGridColumnSet& columns);

  // Links a row the caller made with `new` under `parent` (null: the root, which makes it a group)
  // and takes it over. Null for a null row, and when a header or placeholder row cannot be made or a
  // column factory fails (the row then still belongs to the caller).
  CDPXPropertyGridRow* InsertRow(CDPXPropertyGridRow* row, CDPXPropertyGridRow* parent = nullptr);
  // Deletes the row with its subtree and cells (null: every row below the root). Open edits in the
  // subtree end without storing anything.
  void DeleteRow(CDPXPropertyGridRow* row);
  void DeleteAllRows();
  CDPXPropertyGridRow* GetRootRow() { return &m_root; }
  CDPXPropertyGridRow* GetCurrentRow() const { return m_currentRow; }
  // Makes the row current, scrolls it into view and repaints; no notification.
  void SetCurrentRow(CDPXPropertyGridRow* row);
  void EnsureRowVisible(CDPXPropertyGridRow* row);
  void ExpandAll();
  void CollapseAll();
  void SelectFirstRow();
  void SelectLastRow();
  void SelectNextRow();
  void SelectPrevRow();
  void MoveRowUp(CDPXPropertyGridRow* row);
  void MoveRowDown(CDPXPropertyGridRow* row);
  // Orders the children of every row below `row` (null: the root) by the text of the column; header
  // rows stay first, placeholders last, rows with equal texts keep their order.
  void SortRows(CDPXPropertyGridRow* row, int column);
  void Redraw();

  int GetColumnCount() const { return static_cast<int>(m_dividers.size()) + 1; }
  DWORD GetGridStyle() const { return m_style; }
  // x of the right edge of every column but the last, in pane coordinates.
  const std::vector<int>& GetDividers() const { return m_dividers; }
  void SetDivider(int index, int x);
  CString GetColumnTitle(int index) const;
  int GetLeftMargin() const { return m_leftMargin; }
  // Where the first column starts: the left margin, plus the icon column with style 0x20.
  int GetContentLeft() const { return m_leftMargin + ((m_style & kIconColumn) ? kIconWidth : 0); }
  int GetScrollPosition() const { return m_scrollPos; }

  // The receiver of notifications (style 0x02); nobody by default.
  void SetNotifyWindow(CWnd* wnd) { m_notifyWnd = wnd; }
  CWnd* GetNotifyWindow() const { return m_notifyWnd; }
  // Sends WM_NOTIFY to the notify window with the style set; its answer, else 0.
  LRESULT Notify(int code, CDPXPropertyGridRow* row, CDPXPropertyGridItem* cell);

  CDPXPropertyGridPane* GetPane() const { return m_pane.get(); }
  CDPXPropertyGridDescBox* GetDescBox() const { return m_descBox.get(); }
  // The rows in display order: every row below the root whose ancestors are all expanded.
  const std::vector<CDPXPropertyGridRow*>& GetDisplayedRows();
  BOOL IsDisplayed(const CDPXPropertyGridRow* row);
  // Content height of the displayed rows, the root's 18 pixels included.
  int GetContentHeight();

  // The grid's fonts, shared by every grid; null while there is no QApplication.
  static CFont* GetGridFont(BOOL bold = FALSE);

  // Called when an edit ends; with style 0x80 an edited placeholder becomes a data row and a new
  // placeholder follows it.
  virtual void OnCellEditEnded(CDPXPropertyGridRow* row);

  // A control ID for a new cell: unique in this grid, below 0x10000, never a child's ID; 0 once
  // all are taken (the cell's editor then has no ID of its own: editors are reached as objects).
  int AllocateCellId();
  void ReleaseCellId(int id);

protected:
  // Lays the children out for a client area of that size.
  void LayoutChildren(int width, int height);

  int OnCreate(LPCREATESTRUCT cs);
  void OnSize(UINT type, int cx, int cy);
  void OnSizing(UINT edge, LPRECT rect);
  void OnPaint();
  void OnSetFocus(CWnd* old);
  void OnEnable(BOOL enable);
  void OnSysColorChange();
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

private:
  friend class CDPXPropertyGridPane;
  friend class CDPXPropertyGridRow;
  // Makes a header or placeholder row for `parent`; null when a factory failed.
  std::unique_ptr<CDPXPropertyGridRow> MakeHeaderRow(CDPXPropertyGridRow* parent);
  std::unique_ptr<CDPXPropertyGridRow> MakePlaceholderRow(CDPXPropertyGridRow* parent);
  BOOL FillFromFactories(CDPXPropertyGridRow* row);
  void TakeNumber(CDPXPropertyGridRow* row, BOOL dataRow);
  static void LinkAfter(CDPXPropertyGridRow* parent, CDPXPropertyGridRow* after, CDPXPropertyGridRow* row);
  static void Unlink(CDPXPropertyGridRow* row);
  static CDPXPropertyGridRow* LastChild(const CDPXPropertyGridRow* parent);
  static CDPXPropertyGridRow* PreviousSibling(const CDPXPropertyGridRow* row);
  void DeleteSubtree(CDPXPropertyGridRow* row);
  static void AbandonEdits(CDPXPropertyGridRow* row);
  void SortChildren(CDPXPropertyGridRow* parent, int column);
  void SetExpandedAll(CDPXPropertyGridRow* row, BOOL expanded);
  // Makes `row` current and the only selected row, scrolls it into view, tells the owner of a
  // change; null clears the selection.
  void ChangeCurrentRow(CDPXPropertyGridRow* row);
  void ClearSelection();
  void LayoutChanged() { m_layoutDirty = true; }
  void UpdateLayout();
  void RecomputeScrollRange();
  static BOOL MakeFonts();
  static void DropFonts();

  DWORD m_style {0};
  int m_leftMargin {kLeftMargin};
  int m_scrollPos {0};
  int m_rowCounter {1};
  int m_rowNumberStep {0};
  std::unique_ptr<CDPXPropertyGridDescBox> m_descBox;
  CDPXPropertyGridRow m_root;
  CDPXPropertyGridRow* m_currentRow {};
  std::unique_ptr<CDPXPropertyGridPane> m_pane;
  std::vector<int> m_dividers;
  std::vector<CString> m_titles;
  std::vector<CDPXPropertyGridCellFactory> m_factories;
  CWnd* m_notifyWnd {};
  // The display list, with each row's content y, rebuilt when the tree changed.
  std::vector<CDPXPropertyGridRow*> m_displayed;
  bool m_layoutDirty {true};
  bool m_deleting {false};
  int m_nextCellId {1};
  std::vector<int> m_freeCellIds;
};
