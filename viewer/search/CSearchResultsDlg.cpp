#include "viewer/search/CSearchResultsDlg.h"

#include "foundation/util/DPXText.h"
#include "framework/dialogs/DecimalText.h"
#include "platform/ui/afx/CHeaderCtrl.h"
#include "platform/ui/afx/CMenu.h"
#include "platform/ui/afx/MessageMap.h"
#include "platform/ui/win/windc.h"
#include "viewer/model/CIBSBatch.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/model/CIBSWindowLink.h"
#include "viewer/model/CMainSettings.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CSearchResultsDlg, CQVDialog)

BEGIN_MESSAGE_MAP(CSearchResultsDlg, CQVDialog)
  ON_NOTIFY(NM_DBLCLK, CSearchResultsDlg::IDC_LIST, &CSearchResultsDlg::OnDblClick)
  ON_NOTIFY(NM_RCLICK, CSearchResultsDlg::IDC_LIST, &CSearchResultsDlg::OnRightClick)
  ON_NOTIFY(HDN_ENDTRACKW, 0, &CSearchResultsDlg::OnHeaderEndTrack)
  ON_NOTIFY(HDN_ITEMCLICKW, 0, &CSearchResultsDlg::OnHeaderItemClick)
  ON_WM_INITMENUPOPUP()
  ON_WM_SYSCOMMAND()
  ON_WM_DESTROY()
  ON_MESSAGE(CSearchResultsDlg::WM_OUTPUT_REQUEST, &CSearchResultsDlg::OnOutputRequest)
  ON_MESSAGE(CSearchResultsDlg::WM_SAVE_WIDTHS, &CSearchResultsDlg::OnSaveWidths)
  ON_WM_SIZE()
  ON_WM_MOVE()
  ON_WM_PAINT()
END_MESSAGE_MAP()

namespace {

// The output commands of the menu, in request order.
constexpr UINT kFirstOutputCommand = 6001;
constexpr UINT kLastOutputCommand = 6005;

}  // namespace

CSearchResultsDlg::CSearchResultsDlg() : CQVDialog(u"IDD_SEARCH_RESULTS", nullptr) {
  // A window of its own beside the main frame: it stays when the user works elsewhere.
  SetCloseOnDeactivate(FALSE);
}

void CSearchResultsDlg::ApplySettings(CMainSettings& settings) {
  SetWidthList(&settings.m_strWidthList, settings.m_general.nSaveResults);
  SetRectangle(&settings.m_screenLayout.rcResultsDialog);
  SetSortState(&settings.m_strSortItem, &settings.m_bSortAsc);
  SetOpenSingleResult(settings.m_general.nLanchView);
  SetMultiSelect(settings.m_general.nAllowMultiSelect);
}

void CSearchResultsDlg::SetMultiSelect(BOOL multi) {
  m_bMultiSelect = multi;
  m_list.SetMultiSelect(multi);
}

BOOL CSearchResultsDlg::ShowResults(CWnd* parent) {
  if (!m_pPlant) return FALSE;
  if (!GetSafeHwnd()) {
    if (!Create(u"IDD_SEARCH_RESULTS", parent) || !GetSafeHwnd()) return FALSE;
  } else {
    ClearList();
    if (!Fill()) return FALSE;
  }
  ShowWindow(IsIconic() ? SW_RESTORE : SW_SHOW);
  return TRUE;
}

BOOL CSearchResultsDlg::IsShown() const { return GetSafeHwnd() && IsWindowVisible(); }

void CSearchResultsDlg::ClearList() { m_list.Clear(); }

BOOL CSearchResultsDlg::OnInitIDMap() {
  BeginIDMap(u"DLG_SRH_RESULTS");
  DlgItem(IDC_LIST, u"DLG_SRH_RESULTS_LIST", FALSE);
  EndIDMap();
  return TRUE;
}

BOOL CSearchResultsDlg::OnInitControls() {
  CString batch, number;
  LoadText(u"TXT_DLG_SRH_RESULTS_BATCHNAME", batch);
  LoadText(u"TXT_DLG_SRH_RESULTS_DOCNUMBER", number);
  if (!m_list.SetFixedColumns(batch, number)) return FALSE;
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS |
                      (m_bMultiSelect ? 0 : LVS_SINGLESEL);
  return m_list.Create(style, LVS_EX_FULLROWSELECT, CRect(0, 0, 10, 10), this, IDC_LIST);
}

BOOL CSearchResultsDlg::OnInitSettings() {
  if (!m_pPlant || !Fill()) return FALSE;
  if (m_pMenu) SetMenu(m_pMenu);
  if (m_pRectangle && !::IsRectEmpty(m_pRectangle)) {
    MoveWindow(m_pRectangle);
  } else {
    CenterWindow();
  }
  PlaceList();
  return TRUE;
}

void CSearchResultsDlg::RefreshTexts() {
  if (!GetSafeHwnd()) return;
  TranslateDlgTitle();
  CString batch, number;
  LoadText(u"TXT_DLG_SRH_RESULTS_BATCHNAME", batch);
  LoadText(u"TXT_DLG_SRH_RESULTS_DOCNUMBER", number);
  for (int column = 0; column < 2; ++column) {
    CQVListColumnInfo* info = m_list.GetColumnInfo(column);
    if (!info) continue;
    info->m_strTitle = column == 0 ? batch : number;
    LVCOLUMNW description {LVCF_TEXT, 0, 0, const_cast<LPWSTR>(info->m_strTitle.GetString()), 0, 0};
    m_list.SetColumn(column, &description);
  }
}

BOOL CSearchResultsDlg::Fill() {
  if (!m_pPlant || !m_list.GetSafeHwnd()) return FALSE;
  m_queryNames.RemoveAll();
  CString name;
  for (POSITION pos = m_pPlant->GetFirstQueryNamePosition(); m_pPlant->GetNextQueryName(pos, name);) m_queryNames.Add(name);
  if (!m_list.AddFieldColumns(m_queryNames)) return FALSE;
  for (int column = 0; column < 2; ++column) m_list.SetColumnWidth(column, CResultListCtrl::kColumnWidth);
  ApplyWidths();

  // A list out of sight takes its rows faster, and one that does not redraw takes them in one piece.
  // Its own style says whether it is to be shown: while the dialog is still hidden,
  // IsWindowVisible answers FALSE for the list as well.
  const BOOL listShown = (m_list.GetStyle() & WS_VISIBLE) != 0;
  m_list.ShowWindow(SW_HIDE);
  m_list.SendMessage(WM_SETREDRAW, FALSE);
  // Results come batch by batch: the display name and the places of the query's fields are
  // looked up once per batch.
  const CIBSBatch* batch = nullptr;
  CString batchName, number;
  std::vector<int> fields;
  for (int i = 0; i < m_pPlant->GetResultCount(); ++i) {
    const CIBSDocument* document = m_pPlant->GetResult(i);
    if (!document || !document->GetBatch()) continue;
    if (document->GetBatch() != batch) {
      batch = document->GetBatch();
      m_pPlant->GetBatchDisplayName(batch, batchName);
      fields.clear();
      for (POSITION pos = m_queryNames.GetHeadPosition(); m_queryNames.GetNext(pos, name);) fields.push_back(batch->FindField(name));
    }
    document->GetDocumentNumber(number);
    std::vector<CString> values(fields.size());
    for (size_t field = 0; field < fields.size(); ++field) document->GetValue(fields[field], values[field]);
    if (m_list.AddRow(std::make_unique<CResultRow>(batchName, number, std::move(values))) < 0) {
      m_list.SendMessage(WM_SETREDRAW, TRUE);
      if (listShown) m_list.ShowWindow(SW_SHOW);
      return FALSE;
    }
  }
  m_list.SendMessage(WM_SETREDRAW, TRUE);
  ApplySort();
  if (listShown) m_list.ShowWindow(SW_SHOW);
  if (m_list.GetItemCount() == 1 && m_bOpenSingleResult) {
    m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_list.SetSelectionMark(0);
    PostMessage(WM_OUTPUT_REQUEST, 0, requestView);
  }
  return TRUE;
}

// "WidthList" holds a width per column, each followed by ";"; it is used only when it has as many
// widths as the list has columns.
void CSearchResultsDlg::ApplyWidths() {
  if (!m_bSaveWidths || !m_pWidthList) return;
  CString list = *m_pWidthList;
  list.TrimRight(u";");
  CDPXStringList pieces;
  if (!list.IsEmpty()) DPXSplitString(list, pieces, u";");
  if (pieces.GetCount() != m_list.GetColumnInfoCount()) return;
  CString piece;
  int column = 0;
  for (POSITION pos = pieces.GetHeadPosition(); pieces.GetNext(pos, piece); ++column) {
    const char16_t* text = piece.GetString();
    int width = 0;
    if (qvdialogs::ReadDecimal(text, width)) m_list.SetColumnWidth(column, width);
  }
}

void CSearchResultsDlg::ApplySort() {
  int column = 0;
  BOOL ascending = TRUE;
  if (m_pSortItem && m_pSortAscending && !m_pSortItem->IsEmpty()) {
    ascending = *m_pSortAscending;
    if (*m_pSortItem == kBatchNameHeader) {
      column = 0;
    } else if (*m_pSortItem == kDocumentHeader) {
      column = 1;
    } else {
      column = -1;
      for (int i = 0; i < m_list.GetColumnInfoCount() && column < 0; ++i) {
        if (m_list.GetColumnInfo(i)->m_strTitle == *m_pSortItem) column = i;
      }
      if (column < 0) {
        column = 0;
        ascending = TRUE;
      }
    }
  }
  m_list.SortByColumn(column, ascending);
}

void CSearchResultsDlg::SaveSortState() {
  if (!m_pSortItem || !m_pSortAscending) return;
  BOOL ascending = TRUE;
  const int column = m_list.GetSortColumn(ascending);
  if (column < 0) return;
  *m_pSortAscending = ascending;
  if (column == 0) *m_pSortItem = kBatchNameHeader;
  else if (column == 1) *m_pSortItem = kDocumentHeader;
  else if (const CQVListColumnInfo* info = m_list.GetColumnInfo(column)) *m_pSortItem = info->m_strTitle;
  else m_pSortItem->Empty();
}

void CSearchResultsDlg::OnHeaderItemClick(NMHDR*, LRESULT* result) {
  *result = 0;
  SaveSortState();
}

void CSearchResultsDlg::OnHeaderEndTrack(NMHDR*, LRESULT* result) {
  *result = 0;
  // The header gives its new width only once the resize is over.
  PostMessage(WM_SAVE_WIDTHS);
}

LRESULT CSearchResultsDlg::OnSaveWidths(WPARAM, LPARAM) {
  if (!m_bSaveWidths || !m_pWidthList) return 0;
  CString list;
  for (int column = 0; column < m_list.GetColumnInfoCount(); ++column) list.AppendFormat(u"%d;", m_list.GetColumnWidth(column));
  *m_pWidthList = list;
  return 0;
}

std::vector<const CResultRow*> CSearchResultsDlg::GetSelectedRows() const {
  std::vector<const CResultRow*> rows;
  if (!m_list.GetSafeHwnd()) return rows;
  for (int item = m_list.GetNextItem(-1, LVNI_SELECTED); item >= 0; item = m_list.GetNextItem(item, LVNI_SELECTED)) {
    if (const CResultRow* row = m_list.GetRow(item)) rows.push_back(row);
  }
  return rows;
}

BOOL CSearchResultsDlg::IsOutputEnabled(UINT commandId) const {
  if (!m_list.GetSafeHwnd() || commandId < kFirstOutputCommand || commandId > kLastOutputCommand) return FALSE;
  const BOOL marked = m_list.GetSelectionMark() >= 0 && m_list.GetSelectedCount() > 0;
  if (commandId - kFirstOutputCommand <= requestSaveAsPdf) return marked && m_list.GetSelectedCount() == 1;
  return marked;
}

void CSearchResultsDlg::ViewRow(int item) {
  const CResultRow* row = m_list.GetRow(item);
  if (!row || !m_pPlant) return;
  if (m_pHandler) {
    m_pHandler->OpenResult(row->GetBatchName(), row->GetDocumentNumber());
  } else {
    m_pPlant->OpenDocument(row->GetBatchName(), row->GetDocumentNumber());
  }
  ShowWindow(SW_MINIMIZE);
  if (CIBSWindowLink* windows = m_pPlant->GetWindowLink()) windows->RefreshMainTitle();
}

void CSearchResultsDlg::RunRequest(int request) {
  if (!m_list.GetSafeHwnd() || !IsOutputEnabled(kFirstOutputCommand + static_cast<UINT>(request))) return;
  if (request == requestView) {
    ViewRow(m_list.GetNextItem(-1, LVNI_SELECTED));
  } else if (m_pHandler) {
    m_pHandler->RunOutput(request, *this);
  }
}

LRESULT CSearchResultsDlg::OnOutputRequest(WPARAM, LPARAM lParam) {
  RunRequest(static_cast<int>(lParam));
  return 0;
}

BOOL CSearchResultsDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  if (lParam == 0 && id >= kFirstOutputCommand && id <= kLastOutputCommand) {
    RunRequest(static_cast<int>(id - kFirstOutputCommand));
    return TRUE;
  }
  return CQVDialog::OnCommand(wParam, lParam);
}

void CSearchResultsDlg::OnDblClick(NMHDR* nmhdr, LRESULT* result) {
  *result = 0;
  const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(nmhdr);
  ViewRow(activate && activate->iItem >= 0 ? activate->iItem : m_list.GetNextItem(-1, LVNI_SELECTED));
}

void CSearchResultsDlg::SetOutputMenu(CMenu* menu) {
  m_pMenu = menu;
  if (GetSafeHwnd()) SetMenu(menu);
}

void CSearchResultsDlg::UpdateMenuItems(CMenu& popup) const {
  for (UINT position = 0; position < popup.GetMenuItemCount(); ++position) {
    if (CMenu* sub = popup.GetSubMenu(static_cast<int>(position))) {
      UpdateMenuItems(*sub);
      continue;
    }
    const UINT id = popup.GetMenuItemID(static_cast<int>(position));
    if (id >= kFirstOutputCommand && id <= kLastOutputCommand)
      popup.EnableMenuItem(id, MF_BYCOMMAND | (IsOutputEnabled(id) ? MF_ENABLED : MF_GRAYED));
  }
}

void CSearchResultsDlg::OnInitMenuPopup(CMenu* popup, UINT, BOOL sysMenu) {
  if (popup && !sysMenu) UpdateMenuItems(*popup);
}

void CSearchResultsDlg::ShowOutputMenu(CPoint screen) {
  CMenu* popup = m_pMenu ? m_pMenu->GetSubMenu(0) : nullptr;
  if (!popup || m_list.GetSelectedCount() == 0) return;
  popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, this);
}

// The output menu at the pointer, when it is over a row.
void CSearchResultsDlg::OnRightClick(NMHDR*, LRESULT* result) {
  *result = 0;
  CPoint point;
  GetCursorPos(&point);
  CPoint inList = point;
  m_list.ScreenToClient(&inList);
  if (m_list.HitTest(inList) >= 0) ShowOutputMenu(point);
}

// Midway between the first and the last selected row in view (the selection mark's row when none
// is in view), half across the list.
BOOL CSearchResultsDlg::ShowKeyboardMenu() {
  const int mark = m_list.GetSelectionMark();
  if (mark < 0 || !m_pMenu) return FALSE;
  const int top = m_list.GetTopIndex();
  const int bottom = top + std::max(1, m_list.GetCountPerPage()) - 1;
  int first = -1, last = -1;
  for (int item = m_list.GetNextItem(top - 1, LVNI_SELECTED); item >= 0 && item <= bottom;
       item = m_list.GetNextItem(item, LVNI_SELECTED)) {
    if (first < 0) first = item;
    last = item;
  }
  CRect row;
  if (!m_list.GetItemRect(first < 0 ? mark : (first + last) / 2, &row, LVIR_BOUNDS)) return FALSE;
  CRect client;
  m_list.GetClientRect(&client);
  CPoint point(client.Width() / 2, std::clamp<int>(row.CenterPoint().y, client.top, client.bottom));
  m_list.ClientToScreen(&point);
  ShowOutputMenu(point);
  return TRUE;
}

void CSearchResultsDlg::OnSysCommand(UINT id, LPARAM lParam) {
  if ((id & 0xFFF0) == SC_KEYMENU && GetKeyState(VK_SHIFT) < 0 && ShowKeyboardMenu()) return;
  CQVDialog::OnSysCommand(id, lParam);
}

void CSearchResultsDlg::OnDestroy() {
  // The menu is the main document's: the window must not take it along.
  if (m_pMenu) SetMenu(nullptr);
  CQVDialog::OnDestroy();
}

BOOL CSearchResultsDlg::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_F5) {
    ShowWindow(SW_HIDE);
    return TRUE;
  }
  // Shift+F10 in any of the dialog's windows asks for the output menu.
  if ((msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSKEYUP) && msg->wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0) {
    if (msg->message == WM_SYSKEYUP) SendMessage(WM_SYSCOMMAND, SC_KEYMENU);
    return TRUE;
  }
  return CQVDialog::PreTranslateMessage(msg);
}

void CSearchResultsDlg::OnOK() { RunRequest(requestView); }

// Escape leaves the results open and goes back to the main window.
void CSearchResultsDlg::OnCancel() {
  if (CWnd* parent = GetParent()) parent->SetFocus();
}

// The list fills the window but a strip at the bottom, where the size grip is.
void CSearchResultsDlg::PlaceList() {
  if (!m_list.GetSafeHwnd()) return;
  CRect client;
  GetClientRect(&client);
  client.bottom = std::max(client.top, client.bottom - GetSystemMetrics(SM_CYVSCROLL));
  m_list.MoveWindow(&client);
}

void CSearchResultsDlg::StoreRectangle() {
  if (!m_pRectangle || !IsWindowVisible() || IsIconic()) return;
  CRect window;
  GetWindowRect(&window);
  *m_pRectangle = window;
}

CRect CSearchResultsDlg::GripRect() const {
  CRect client;
  GetClientRect(&client);
  return CRect(client.right - GetSystemMetrics(SM_CXHSCROLL), client.bottom - GetSystemMetrics(SM_CYVSCROLL), client.right,
               client.bottom);
}

void CSearchResultsDlg::OnSize(UINT type, int cx, int cy) {
  CQVDialog::OnSize(type, cx, cy);
  if (type == SIZE_MINIMIZED) return;
  PlaceList();
  if (m_bGrip) InvalidateRect(GripRect());
  StoreRectangle();
}

void CSearchResultsDlg::OnMove(int x, int y) {
  CQVDialog::OnMove(x, y);
  StoreRectangle();
}

void CSearchResultsDlg::OnPaint() {
  CPaintDC dc(this);
  if (!m_bGrip) return;
  CRect grip = GripRect();
  dc.DrawFrameControl(&grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}
