#pragma once
// CDPXPropertyGridItem: one cell of the index-field grid. The three editor classes (text, list and
// button cells) implement it beside their window base; the grid paints a cell's text while its
// editor window is hidden and shows the editor over the cell while the user edits it.
//
// A cell belongs to a row once CDPXPropertyGridRow::AddItem took it; the row deletes it.

#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "platform/core/wintypes.h"

class CDC;
class CFont;
class CWnd;
class CDPXPropertyGrid;
class CDPXPropertyGridRow;

class CDPXPropertyGridItem {
public:
  // Flag bits.
  static constexpr DWORD kReadOnly = 0x01;
  static constexpr DWORD kEditing = 0x02;
  static constexpr DWORD kCurrent = 0x04;
  static constexpr DWORD kModified = 0x08;
  static constexpr DWORD kBold = 0x10;
  // Editor types.
  static constexpr int kTypeEdit = 1;
  static constexpr int kTypeCombo = 2;
  static constexpr int kTypeButton = 3;

  explicit CDPXPropertyGridItem(int type);
  virtual ~CDPXPropertyGridItem();
  CDPXPropertyGridItem(const CDPXPropertyGridItem&) = delete;
  CDPXPropertyGridItem& operator=(const CDPXPropertyGridItem&) = delete;

  // Paints the cell's text into `rect`; the grid has filled the background already.
  virtual void Paint(CDC* dc, const RECT& rect) {}
  virtual void BeginEdit() {}
  virtual void MoveEditor() {}
  virtual void UpdateEditor() {}
  virtual void EndEdit() {}
  // The value as the cell's class defines it (a text, or the list cell's value record).
  virtual const void* GetValue() { return nullptr; }
  virtual void SetValue(const void* value) {}
  virtual void GetText(CString& text) { text.Empty(); }
  virtual void DestroyEditor() {}

  // Opens the editor. Closing it (StopEdit) ends the edit once: a second StopEdit for the same
  // edit, as when the editor loses the focus after Enter, does nothing.
  void StartEdit();
  void StopEdit();
  // Ends an open edit without storing anything and without telling anyone; for rows being deleted.
  void AbandonEdit();

  int GetType() const { return m_type; }
  BOOL IsReadOnly() const { return (m_flags & kReadOnly) != 0; }
  void SetReadOnly(BOOL readOnly) { SetFlag(kReadOnly, readOnly); }
  BOOL IsModified() const { return (m_flags & kModified) != 0; }
  void SetModified(BOOL modified) { SetFlag(kModified, modified); }
  BOOL IsCurrent() const { return (m_flags & kCurrent) != 0; }
  void SetCurrent(BOOL current) { SetFlag(kCurrent, current); }
  BOOL IsBold() const { return (m_flags & kBold) != 0; }
  void SetBold(BOOL bold) { SetFlag(kBold, bold); }
  BOOL IsEditing() const { return m_editing != 0; }
  DWORD GetFlags() const { return m_flags; }
  COLORREF GetBkColor() const { return m_bkColor; }
  COLORREF GetTextColor() const { return m_textColor; }
  void SetTextColor(COLORREF colour) { m_textColor = colour; }

  CDPXPropertyGrid* GetGrid() const { return m_grid; }
  CDPXPropertyGridRow* GetRow() const { return m_row; }
  // The cell's ID, which is also its editor's control ID; 0 until a row took the cell.
  int GetID() const { return m_id; }
  // Where the cell was painted last, in pane coordinates.
  const CRect& GetCellRect() const { return m_rect; }

protected:
  void SetFlag(DWORD flag, BOOL on) { m_flags = on ? (m_flags | flag) : (m_flags & ~flag); }
  // Paints the cell's text as every editor class does: bold for the current cell of a selected row
  // (or with the bold flag), gray when the grid is disabled (and, with `grayWhenReadOnly`, when the
  // cell is read-only), one line vertically centred or, multi-line, from the top left.
  void PaintText(CDC* dc, const RECT& rect, const CString& text, BOOL grayWhenReadOnly, BOOL multiLine = FALSE);
  // The editor's parent, and where the editor goes: the grid's row pane and the cell's rectangle.
  CWnd* EditorParent() const;
  // The grid's font for editors.
  static CFont* EditorFont();
  void SetCellRect(const RECT& rect) { m_rect = rect; }
  // The end guard: set while an edit has ended, so that a late StopEdit does nothing.
  void ClearEndGuard() { m_endGuard = 0; }

private:
  friend class CDPXPropertyGridRow;
  void Attach(CDPXPropertyGrid* grid, CDPXPropertyGridRow* row, int id);

  CDPXPropertyGrid* m_grid {};
  CDPXPropertyGridRow* m_row {};
  int m_id {0};
  CRect m_rect {};
  int m_endGuard {0};
  int m_editing {0};
  DWORD m_flags {0};
  int m_type {0};
  COLORREF m_bkColor {0};
  COLORREF m_textColor {0};
};
