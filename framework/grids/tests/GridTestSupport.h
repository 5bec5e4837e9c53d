#pragma once
// What the grid tests share: a window that records the grid's notifications (and can answer them),
// a cell without an editor window, a grid fixture and a short way to describe the display list.

#include "framework/grids/CDPXPropertyGrid.h"
#include "framework/grids/CDPXPropertyGridItem.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// One notification as heard.
struct Heard {
  int code;
  CDPXPropertyGridRow* row;
  CDPXPropertyGridItem* cell;
  bool operator==(const Heard&) const = default;
};

class NotifyRecorder : public CWnd {
public:
  std::vector<Heard> heard;
  // What the recorder answers per code; 0 for the others.
  std::map<int, LRESULT> answers;
  std::vector<int> Codes() const;
  void Clear() { heard.clear(); }

protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

// A cell that keeps a text and no editor window.
class TextCell : public CDPXPropertyGridItem {
public:
  explicit TextCell(LPCWSTR text = u"") : CDPXPropertyGridItem(kTypeEdit), text(text) {}
  void GetText(CString& out) override { out = text; }
  void BeginEdit() override { ++begun; }
  void EndEdit() override { ++ended; }
  CString text;
  int begun {};
  int ended {};
};

// A data row with one TextCell per text.
CDPXPropertyGridRow* MakeRow(CDPXPropertyGrid& grid, CDPXPropertyGridRow* parent, std::vector<const char16_t*> texts);
// The display list as "G:caption", "H", "P", "D:text of cell 0", joined by spaces.
std::string Shown(CDPXPropertyGrid& grid);
std::string Describe(const CDPXPropertyGridRow* row);

// A grid in a shown popup window that records its notifications.
class GridFixture {
public:
  ~GridFixture();
  // Creates the parent and the grid (style 0x02 is added), `columns` columns 100 wide.
  bool Make(DWORD style, int columns = 2, CDPXPropertyGridCellFactory factory = nullptr, CRect rect = CRect(0, 0, 380, 280));
  NotifyRecorder parent;
  std::unique_ptr<CDPXPropertyGrid> grid;
};
