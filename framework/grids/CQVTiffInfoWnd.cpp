#include "framework/grids/CQVTiffInfoWnd.h"

#include "foundation/imaging/CQVTiffFile.h"
#include "foundation/util/DPXFolderTree.h"
#include "foundation/util/DPXText.h"
#include "framework/grids/CDPXPropertyGridEditItem.h"

#include <cstring>
#include <string>

IMPLEMENT_DYNCREATE(__CQVTiffInfoWndTagListItem, CObject)
IMPLEMENT_DYNAMIC(CQVTiffInfoWnd, CWnd)

namespace {

template <class T>
T Read(const BYTE* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// One value of a numeric type, `at` pointing to its bytes.
CString FormatValue(WORD type, const BYTE* at) {
  CString piece;
  switch (type) {
  case 1:
  case 7: piece.Format(u"%u", static_cast<unsigned>(*at)); break;
  case 6: piece.Format(u"%d", static_cast<int>(static_cast<signed char>(*at))); break;
  case 3: piece.Format(u"%u", static_cast<unsigned>(Read<uint16_t>(at))); break;
  case 8: piece.Format(u"%d", static_cast<int>(Read<int16_t>(at))); break;
  case 4: piece.Format(u"%u", Read<uint32_t>(at)); break;
  case 9: piece.Format(u"%d", Read<int32_t>(at)); break;
  case 5: {
    const uint32_t n = Read<uint32_t>(at), d = Read<uint32_t>(at + 4);
    if (d == 0) piece.Format(u"%u/%u", n, d);
    else piece.Format(u"%f", static_cast<double>(n) / d);
    break;
  }
  case 10: {
    const int32_t n = Read<int32_t>(at), d = Read<int32_t>(at + 4);
    if (d == 0) piece.Format(u"%d/%d", n, d);
    else piece.Format(u"%f", static_cast<double>(n) / d);
    break;
  }
  case 11: piece.Format(u"%f", static_cast<double>(Read<float>(at))); break;
  case 12: piece.Format(u"%f", Read<double>(at)); break;
  default: break;
  }
  return piece;
}

}  // namespace

CQVTiffInfoWnd::~CQVTiffInfoWnd() {
  ResetTagList();
  m_filters.RemoveAll();
}

BOOL CQVTiffInfoWnd::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  if (GetSafeHwnd()) return FALSE;
  CString nameTitle, valueTitle;
  LoadText(u"QVTIFFIW_HEAD_NAME", nameTitle);
  LoadText(u"QVTIFFIW_HEAD_VALUE", valueTitle);
  CDPXPropertyGridColumnSet columns;
  columns.style = kGridStyle;
  columns.columns.push_back({kNameWidth, nameTitle, nullptr});
  columns.columns.push_back({static_cast<int>(rect.right - rect.left) - kNameWidth, valueTitle, nullptr});
  return CDPXPropertyGrid::Create(style, rect, parent, id, columns);
}

// ---- Tags ----------------------------------------------------------------------------------------

BOOL CQVTiffInfoWnd::GetTagInfoText(const tagTiffTagInfo& tag, CString& text) {
  text.Empty();
  if (tag.size <= 0) return FALSE;
  const BYTE* bytes = tag.Bytes();
  if (!bytes) return FALSE;
  const size_t size = static_cast<size_t>(tag.size);
  if (tag.type == 2) {
    const char* chars = reinterpret_cast<const char*>(bytes);
    const std::string ascii(chars, strnlen(chars, size));
    DPXMultiByteToWide(ascii.c_str(), text, 65001);
    return TRUE;
  }
  if (tag.type < 1 || tag.type > 12) return TRUE;
  const size_t width = static_cast<size_t>(CQVTiffFile::GetDataWidth(tag.type));
  // The count says how many values there are; the bytes say how many can be read.
  const size_t count = std::min<size_t>(tag.count, size / width);
  const size_t shown = std::min<size_t>(count, kMaxShownValues);
  for (size_t i = 0; i < shown; ++i) {
    if (i) text += u", ";
    text += FormatValue(tag.type, bytes + i * width);
  }
  if (shown < count) text += u", ...";
  return TRUE;
}

BOOL CQVTiffInfoWnd::BuildTagList(LPCWSTR path) {
  ResetTagList();
  CString file = path ? CString(path) : CString();
  file.Trim();
  if (file.IsEmpty() || !DPXFileExists(file)) return FALSE;
  CQVTiffFile tiff;
  tiff.SetFileForOperation(file);
  tagTiffImageInfo info;
  if (!tiff.IsTiffFile() || !tiff.GetTiffImageInfo(info)) return FALSE;
  if (info.multipage) {
    CString count;
    count.Format(u"%d", static_cast<int>(info.pageCount));
    AddTag(u"PageCountOfMultiPage", count);
    return TRUE;
  }
  DWORD next = 0;
  CArray<tagTiffTagInfo> tags;
  if (!tiff.GetTagList(WORD(0), next, tags)) return FALSE;
  for (int i = 0; i < tags.GetSize(); ++i) {
    CString value;
    if (GetTagInfoText(tags[i], value)) AddTag(CQVTiffFile::GetTagName(tags[i].tag), value);
  }
  CQVTiffFile::FreeTagInfoArray(tags);
  return TRUE;
}

BOOL CQVTiffInfoWnd::AddTag(LPCWSTR name, LPCWSTR value) {
  CString trimmed(name);
  if (trimmed.Trim().IsEmpty() || FindTag(name)) return FALSE;
  auto* item = static_cast<__CQVTiffInfoWndTagListItem*>(m_tags.AddNewTail(RUNTIME_CLASS(__CQVTiffInfoWndTagListItem)));
  if (!item) return FALSE;
  item->m_strName = name;
  item->m_strValue = value;
  return TRUE;
}

void CQVTiffInfoWnd::DeleteTag(LPCWSTR name) {
  while (POSITION pos = FindTag(name)) m_tags.RemoveAt(pos);
}

POSITION CQVTiffInfoWnd::FindTag(LPCWSTR name) const {
  CString wanted(name);
  wanted.Trim();
  for (POSITION pos = m_tags.GetHeadPosition(); pos;) {
    const POSITION at = pos;
    auto* item = static_cast<__CQVTiffInfoWndTagListItem*>(m_tags.GetNext(pos));
    CString have = item->m_strName;
    if (have.Trim().CompareNoCase(wanted) == 0) return at;
  }
  return nullptr;
}

BOOL CQVTiffInfoWnd::GetTag(int index, CString& name, CString& value) const {
  auto* item = static_cast<__CQVTiffInfoWndTagListItem*>(m_tags.GetAtIndex(index));
  if (!item) return FALSE;
  name = item->m_strName;
  value = item->m_strValue;
  return TRUE;
}

void CQVTiffInfoWnd::TranslateTagName(LPCWSTR name, CString& out) {
  CString trimmed(name);
  trimmed.Trim();
  CString key(u"TAGNAME_");
  key += trimmed;
  key.MakeUpper();
  CString text;
  out = LoadText(key, text) && text.CompareNoCase(key) != 0 ? text : trimmed;
}

// ---- Filters -------------------------------------------------------------------------------------

POSITION CQVTiffInfoWnd::FindFilter(LPCWSTR name) const {
  for (POSITION pos = m_filters.GetHeadPosition(); pos;) {
    const POSITION at = pos;
    CString have;
    m_filters.GetNext(pos, have);
    if (have.CompareNoCase(name) == 0) return at;
  }
  return nullptr;
}

BOOL CQVTiffInfoWnd::AddFilter(LPCWSTR name, BOOL refresh) {
  if (!name) return FALSE;
  if (!FindFilter(name) && !m_filters.Add(name)) return FALSE;
  RefreshIf(refresh);
  return TRUE;
}

void CQVTiffInfoWnd::DeleteFilter(LPCWSTR name, BOOL refresh) {
  if (name) {
    while (POSITION pos = FindFilter(name)) m_filters.RemoveAt(pos);
  }
  RefreshIf(refresh);
}

void CQVTiffInfoWnd::ResetFilter(BOOL refresh) {
  m_filters.RemoveAll();
  RefreshIf(refresh);
}

void CQVTiffInfoWnd::SetFilename(LPCWSTR name, BOOL refresh) {
  m_filename = name ? name : u"";
  BuildTagList(m_filename);
  RefreshIf(refresh);
}

void CQVTiffInfoWnd::RefreshIf(BOOL refresh) {
  if (refresh) Refresh();
}

// ---- The grid ------------------------------------------------------------------------------------

void CQVTiffInfoWnd::Refresh() {
  if (!GetSafeHwnd()) return;
  CollapseAll();
  DeleteAllRows();
  if (!FillRows()) DeleteAllRows();
  ExpandAll();
}

BOOL CQVTiffInfoWnd::FillRows() {
  auto* group = new CDPXPropertyGridRow;
  group->SetTextColor(RGB(0, 0, 0));
  CString caption;
  LoadText(u"QVTIFFIW_HEAD", caption);
  group->SetText(caption);
  if (!InsertRow(group)) {
    delete group;
    return FALSE;
  }
  if (!IsFilterEnabled()) {
    for (POSITION pos = m_tags.GetHeadPosition(); pos;) {
      auto* item = static_cast<__CQVTiffInfoWndTagListItem*>(m_tags.GetNext(pos));
      if (!AddTagRow(group, item->m_strName, item->m_strValue)) return FALSE;
    }
    return TRUE;
  }
  for (POSITION pos = m_filters.GetHeadPosition(); pos;) {
    CString filter;
    m_filters.GetNext(pos, filter);
    POSITION at = FindTag(filter);
    if (!at) continue;
    auto* item = static_cast<__CQVTiffInfoWndTagListItem*>(m_tags.GetAt(at));
    if (!AddTagRow(group, item->m_strName, item->m_strValue)) return FALSE;
  }
  return TRUE;
}

BOOL CQVTiffInfoWnd::AddTagRow(CDPXPropertyGridRow* group, LPCWSTR name, LPCWSTR value) {
  auto* row = new CDPXPropertyGridRow;
  if (!InsertRow(row, group)) {
    delete row;
    return FALSE;
  }
  CString shownName;
  TranslateTagName(name, shownName);
  for (LPCWSTR text : {shownName.GetString(), value}) {
    auto* cell = new CDPXPropertyGridEditItem;
    if (!row->AddItem(cell)) {
      delete cell;
      return FALSE;
    }
    if (!cell->Create()) return FALSE;
    cell->SetTextColor(RGB(0, 0, 0));
    cell->SetText(text);
    cell->CDPXPropertyGridItem::SetReadOnly(TRUE);
  }
  return TRUE;
}
