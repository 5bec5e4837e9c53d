#include "framework/grids/tests/GridTestSupport.h"

#include "platform/ui/tests/UiTestSupport.h"

std::vector<int> NotifyRecorder::Codes() const {
  std::vector<int> codes;
  for (const Heard& h : heard) codes.push_back(h.code);
  return codes;
}

BOOL NotifyRecorder::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* record = reinterpret_cast<const NMPROPERTYGRID*>(lParam);
  const int code = static_cast<int>(record->hdr.code);
  heard.push_back({code, record->row, record->cell});
  auto answer = answers.find(code);
  *result = answer == answers.end() ? 0 : answer->second;
  return TRUE;
}

CDPXPropertyGridRow* MakeRow(CDPXPropertyGrid& grid, CDPXPropertyGridRow* parent, std::vector<const char16_t*> texts) {
  auto* row = new CDPXPropertyGridRow;
  if (!grid.InsertRow(row, parent)) {
    delete row;
    return nullptr;
  }
  for (const char16_t* text : texts) {
    auto* cell = new TextCell(text);
    if (!row->AddItem(cell)) delete cell;
  }
  return row;
}

std::string Describe(const CDPXPropertyGridRow* row) {
  if (!row) return "none";
  CString text;
  switch (row->GetType()) {
  case CDPXPropertyGridRow::kGroup: return "G:" + row->GetText().ToUtf8();
  case CDPXPropertyGridRow::kHeader: return "H";
  case CDPXPropertyGridRow::kPlaceholder: row->GetCellText(0, text); return text.IsEmpty() ? "P" : "P:" + text.ToUtf8();
  default: row->GetCellText(0, text); return "D:" + text.ToUtf8();
  }
}

std::string Shown(CDPXPropertyGrid& grid) {
  std::string out;
  for (const CDPXPropertyGridRow* row : grid.GetDisplayedRows()) out += (out.empty() ? "" : " ") + Describe(row);
  return out;
}

GridFixture::~GridFixture() {
  grid.reset();
  if (parent.GetSafeHwnd()) parent.DestroyWindow();
}

bool GridFixture::Make(DWORD style, int columns, CDPXPropertyGridCellFactory factory, CRect rect) {
  if (!parent.CreateEx(0, u"AfxWnd", u"grid", WS_POPUP | WS_VISIBLE, CRect(40, 40, 440, 340), nullptr, 0)) return false;
  CDPXPropertyGridColumnSet set;
  set.style = style | CDPXPropertyGrid::kNotifications;
  for (int i = 0; i < columns; ++i) set.columns.push_back({100, CString(i == 0 ? u"Name" : u"Value"), factory});
  grid = std::make_unique<CDPXPropertyGrid>();
  if (!grid->Create(WS_CHILD | WS_VISIBLE, rect, &parent, 5, set)) return false;
  grid->SetNotifyWindow(&parent);
  Pump(10);
  return true;
}
