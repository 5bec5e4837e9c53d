#include "framework/dialogs/CQVListCtrl.h"

#include "platform/gdi/gdi.h"
#include "platform/ui/afx/MessageMap.h"

#include <algorithm>
#include <cstdint>
#include <new>

IMPLEMENT_DYNAMIC(CQVListColumnInfo, CObject)
IMPLEMENT_DYNAMIC(CQVListCtrl, CListCtrl)

BEGIN_MESSAGE_MAP(CQVListCtrl, CListCtrl)
  ON_NOTIFY_REFLECT_EX(LVN_COLUMNCLICK, &CQVListCtrl::OnColumnClick)
  ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

namespace {

// Digits at p as a number; moves p past them. -1 when there is none.
int Digits(const char16_t*& p, int most) {
  int value = 0, count = 0;
  for (; count < most && *p >= u'0' && *p <= u'9'; ++p, ++count) value = value * 10 + (*p - u'0');
  return count ? value : -1;
}

// A number: optional sign, digits with at most one decimal point or comma.
bool ParseNumber(const CString& text, double& value) {
  const char16_t* p = text.GetString();
  bool negative = false;
  if (*p == u'+' || *p == u'-') negative = *p++ == u'-';
  double number = 0, scale = 0;
  int digits = 0;
  for (; *p; ++p) {
    if (*p >= u'0' && *p <= u'9') {
      ++digits;
      if (scale) {
        number += (*p - u'0') / scale;
        scale *= 10;
      } else {
        number = number * 10 + (*p - u'0');
      }
    } else if ((*p == u'.' || *p == u',') && !scale) {
      scale = 10;
    } else {
      return false;
    }
  }
  if (!digits) return false;
  value = negative ? -number : number;
  return true;
}

// A date as yyyymmddhhmmss: yyyy-mm-dd, dd.mm.yyyy or mm/dd/yyyy, then optionally a blank or "T"
// and hh:mm or hh:mm:ss.
bool ParseDate(const CString& text, double& value) {
  const char16_t* p = text.GetString();
  const int a = Digits(p, 4);
  if (a < 0 || !*p) return false;
  const char16_t separator = *p++;
  const int b = Digits(p, 2);
  if (b < 0 || *p++ != separator) return false;
  const int c = Digits(p, 4);
  int year = 0, month = 0, day = 0;
  if (separator == u'-') year = a, month = b, day = c;
  else if (separator == u'.') day = a, month = b, year = c;
  else if (separator == u'/') month = a, day = b, year = c;
  else return false;
  if (year < 1000 || month < 1 || month > 12 || day < 1 || day > 31) return false;
  int hour = 0, minute = 0, second = 0;
  if (*p == u' ' || *p == u'T') {
    ++p;
    hour = Digits(p, 2);
    if (hour < 0 || hour > 23 || *p++ != u':') return false;
    minute = Digits(p, 2);
    if (minute < 0 || minute > 59) return false;
    if (*p == u':') {
      ++p;
      second = Digits(p, 2);
      if (second < 0 || second > 59) return false;
    }
  }
  if (*p) return false;
  value = ((((year * 100.0 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100 + second;
  return true;
}

// The 7 x 7 arrows: a triangle outlined in dark grey whose lit side (and, pointing up, base) is
// drawn over in white, on the button face.
void DrawLine(COLORREF (&pixels)[7][7], POINT from, POINT to, COLORREF colour) {
  const int steps = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
  // The share i / steps of a distance, rounded half away from zero.
  auto part = [steps](int distance, int i) {
    const int n = std::abs(distance) * i;
    const int rounded = steps ? (2 * n + steps) / (2 * steps) : 0;
    return distance < 0 ? -rounded : rounded;
  };
  for (int i = 0; i <= steps; ++i) pixels[from.y + part(to.y - from.y, i)][from.x + part(to.x - from.x, i)] = colour;
}

bool MakeArrow(CBitmap& bitmap, bool descending) {
  COLORREF pixels[7][7];
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (auto& row : pixels) std::fill(std::begin(row), std::end(row), face);
  const COLORREF dark = RGB(0x40, 0x40, 0x40), white = RGB(255, 255, 255);
  const POINT tip = descending ? POINT {3, 6} : POINT {3, 0};
  const POINT left = descending ? POINT {0, 0} : POINT {0, 6};
  const POINT right = descending ? POINT {6, 0} : POINT {6, 6};
  DrawLine(pixels, tip, left, dark);
  DrawLine(pixels, left, right, dark);
  DrawLine(pixels, right, tip, dark);
  DrawLine(pixels, right, tip, white);
  if (!descending) DrawLine(pixels, left, right, white);
  uint8_t bits[7 * 7 * 4];
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x) {
      uint8_t* px = bits + (y * 7 + x) * 4;
      px[0] = GetBValue(pixels[y][x]);
      px[1] = GetGValue(pixels[y][x]);
      px[2] = GetRValue(pixels[y][x]);
      px[3] = 0;
    }
  if (bitmap.GetSafeHandle()) bitmap.DeleteObject();
  return bitmap.CreateBitmap(7, 7, 1, 32, bits);
}

}  // namespace

CQVListCtrl::~CQVListCtrl() { ClearColumnInfoList(); }

int CQVListCtrl::AddColumnInfo(LPCWSTR title, UINT format, UINT width, BOOL sortable) {
  try {
    auto column = std::make_unique<CQVListColumnInfo>();
    column->m_strTitle = title ? title : u"";
    column->m_nIndex = static_cast<int>(m_columns.size());
    column->m_nFormat = static_cast<int>(format);
    column->m_nWidth = static_cast<int>(width);
    column->m_nSortState = sortable ? CQVListColumnInfo::stateSortable : CQVListColumnInfo::stateNone;
    m_columns.push_back(std::move(column));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return static_cast<int>(m_columns.size()) - 1;
}

CQVListColumnInfo* CQVListCtrl::GetColumnInfo(int column) {
  return column >= 0 && column < GetColumnInfoCount() ? m_columns[static_cast<size_t>(column)].get() : nullptr;
}

BOOL CQVListCtrl::Create(DWORD style, DWORD exStyle, CRect rect, CWnd* parent, UINT id) {
  if (m_columns.empty()) return FALSE;
  if (!CListCtrl::Create(style, rect, parent, id)) return FALSE;
  SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(exStyle));
  for (const auto& column : m_columns) {
    LVCOLUMNW description {LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM, column->m_nFormat, column->m_nWidth,
                           const_cast<LPWSTR>(column->m_strTitle.GetString()), 0, column->m_nIndex};
    if (InsertColumn(column->m_nIndex, &description) != column->m_nIndex) {
      DestroyWindow();
      return FALSE;
    }
  }
  ShowWindow(SW_SHOW);
  return TRUE;
}

int CQVListCtrl::GetSortColumn(int& state) const {
  for (const auto& column : m_columns)
    if (column->m_nSortState == CQVListColumnInfo::stateAscending ||
        column->m_nSortState == CQVListColumnInfo::stateDescending) {
      state = column->m_nSortState;
      return column->m_nIndex;
    }
  return -1;
}

BOOL CQVListCtrl::SortItems(int column, BOOL toggle) {
  CQVListColumnInfo* info = GetColumnInfo(column);
  if (!info) return FALSE;
  int& state = info->m_nSortState;
  if (state < CQVListColumnInfo::stateSortable || state > CQVListColumnInfo::stateDescending) {
    state = CQVListColumnInfo::stateNone;
    return FALSE;
  }
  if (toggle) state = state == CQVListColumnInfo::stateDescending ? CQVListColumnInfo::stateSortable : state + 1;
  for (const auto& other : m_columns) {
    if (other.get() == info) continue;
    const bool sortable = other->m_nSortState >= CQVListColumnInfo::stateSortable &&
                          other->m_nSortState <= CQVListColumnInfo::stateDescending;
    other->m_nSortState = sortable ? CQVListColumnInfo::stateSortable : CQVListColumnInfo::stateNone;
  }
  UpdateHeader();
  return SortByTexts();
}

BOOL CQVListCtrl::SortItems() {
  UpdateHeader();
  return SortByTexts();
}

BOOL CQVListCtrl::SortItems(PFNLVCOMPARE compare, DWORD_PTR data) {
  if (!compare || !GetSafeHwnd()) return FALSE;
  int state = CQVListColumnInfo::stateSortable;
  m_nSortColumn = GetSortColumn(state);
  m_nSortState = state;
  return CListCtrl::SortItems(compare, data);
}

BOOL CQVListCtrl::SortByTexts() {
  if (!GetSafeHwnd()) return FALSE;
  int state = CQVListColumnInfo::stateSortable;
  const int column = GetSortColumn(state);
  const int count = GetItemCount();
  m_sortKeys.assign(static_cast<size_t>(count), SortKey {});
  bool allNumbers = true, allDates = true;
  for (int i = 0; i < count; ++i) {
    SortKey& key = m_sortKeys[static_cast<size_t>(i)];
    if (column < 0) continue;
    key.text = GetSortText(i, column);
    key.text.Trim();
    if (key.text.IsEmpty()) continue;
    double ignored = 0;
    allNumbers = allNumbers && ParseNumber(key.text, ignored);
    allDates = allDates && ParseDate(key.text, ignored);
  }
  // A column is of numbers or dates only when every text in it is one.
  for (int i = 0; i < count; ++i) {
    SortKey& key = m_sortKeys[static_cast<size_t>(i)];
    if (key.text.IsEmpty()) continue;
    if (allNumbers) {
      ParseNumber(key.text, key.number);
      key.kind = 1;
    } else if (allDates) {
      ParseDate(key.text, key.number);
      key.kind = 2;
    } else {
      key.kind = 3;
      key.folded = key.text;
      key.folded.MakeLower();
    }
  }
  m_nSortColumn = column;
  m_nSortState = state;
  const BOOL sorted = SortItemsEx(&SortProc, reinterpret_cast<DWORD_PTR>(this));
  m_sortKeys.clear();
  return sorted;
}

int CQVListCtrl::SortProc(LPARAM first, LPARAM second, LPARAM list) {
  auto* self = reinterpret_cast<CQVListCtrl*>(list);
  if (!self) return 0;
  const int state = self->m_nSortState;
  const auto& keys = self->m_sortKeys;
  if (state != CQVListColumnInfo::stateAscending && state != CQVListColumnInfo::stateDescending) return 0;
  if (first < 0 || second < 0 || static_cast<size_t>(first) >= keys.size() || static_cast<size_t>(second) >= keys.size())
    return 0;
  const SortKey& a = keys[static_cast<size_t>(first)];
  const SortKey& b = keys[static_cast<size_t>(second)];
  int order = 0;
  if (a.kind != b.kind) order = a.kind < b.kind ? -1 : 1;  // empty texts first
  else if (a.kind == 1 || a.kind == 2) order = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
  else if (a.kind == 3) {
    order = a.folded.Compare(b.folded);
    if (!order) order = a.text.Compare(b.text);
  }
  return state == CQVListColumnInfo::stateDescending ? -order : order;
}

// ---- The header's arrows ----------------------------------------------------------------------

void CQVListCtrl::CreateSortIndicator(BOOL force) {
  if (!force && s_bmpSortAsc.GetSafeHandle() && s_bmpSortDesc.GetSafeHandle()) return;
  if (!MakeArrow(s_bmpSortAsc, false) || !MakeArrow(s_bmpSortDesc, true)) {
    if (s_bmpSortAsc.GetSafeHandle()) s_bmpSortAsc.DeleteObject();
    if (s_bmpSortDesc.GetSafeHandle()) s_bmpSortDesc.DeleteObject();
  }
}

void CQVListCtrl::UpdateHeader() {
  CreateSortIndicator(FALSE);
  CHeaderCtrl* header = GetSafeHwnd() ? GetHeaderCtrl() : nullptr;
  if (!header || !header->GetSafeHwnd()) return;
  const int count = header->GetItemCount();
  for (const auto& column : m_columns) {
    if (column->m_nIndex < 0 || column->m_nIndex >= count) continue;
    HDITEMW item {};
    item.mask = HDI_FORMAT;
    header->GetItem(column->m_nIndex, &item);
    item.mask = HDI_FORMAT | HDI_BITMAP;
    const int state = column->m_nSortState;
    if (state == CQVListColumnInfo::stateAscending || state == CQVListColumnInfo::stateDescending) {
      item.hbm = static_cast<HBITMAP>(SortArrow(state == CQVListColumnInfo::stateDescending).GetSafeHandle());
      item.fmt |= HDF_BITMAP | HDF_BITMAP_ON_RIGHT;
    } else {
      item.hbm = nullptr;
      item.fmt &= ~HDF_BITMAP;
    }
    header->SetItem(column->m_nIndex, &item);
  }
}

BOOL CQVListCtrl::OnColumnClick(UINT, NMHDR* nmhdr, LRESULT*) {
  const auto* click = reinterpret_cast<const NMLISTVIEW*>(nmhdr);
  if (click) SortItems(click->iSubItem, TRUE);
  return FALSE;  // the parent hears of the click as well
}

void CQVListCtrl::OnSysColorChange() {
  Default();
  CreateSortIndicator(TRUE);
  UpdateHeader();
}

// ---- Selected and checked rows ----------------------------------------------------------------

int CQVListCtrl::CountSelectedItem() const {
  int count = 0;
  for (int item = GetNextItem(-1, LVNI_SELECTED); item >= 0; item = GetNextItem(item, LVNI_SELECTED)) ++count;
  return count;
}

int CQVListCtrl::GetSelectedItem(int n) const {
  if (n < 0) return -1;
  for (int item = GetNextItem(-1, LVNI_SELECTED); item >= 0; item = GetNextItem(item, LVNI_SELECTED))
    if (n-- == 0) return item;
  return -1;
}

BOOL CQVListCtrl::IsItemSelected(int item) const {
  if (item < 0 || item >= GetItemCount()) return FALSE;
  return (GetItemState(item, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int CQVListCtrl::CountCheckedItem() const {
  int count = 0;
  for (int item = 0; item < GetItemCount(); ++item) count += GetCheck(item) ? 1 : 0;
  return count;
}

int CQVListCtrl::GetCheckedItem(int n) const {
  if (n < 0) return -1;
  for (int item = 0; item < GetItemCount(); ++item)
    if (GetCheck(item) && n-- == 0) return item;
  return -1;
}

BOOL CQVListCtrl::IsItemChecked(int item) const {
  if (item < 0 || item >= GetItemCount()) return FALSE;
  return GetCheck(item);
}
