#include "batchstore/jobs/CQVJDEIndexFieldItem.h"

#include "batchstore/jobs/CQVJDEHelper.h"
#include "foundation/util/CQVGEI.h"

IMPLEMENT_DYNCREATE(__CQVJDEIndexFieldSubstitutionItem, CObject)
IMPLEMENT_DYNCREATE(CQVJDEIndexFieldItem, CQVJDECommonItem)
IMPLEMENT_DYNCREATE(CQVJDEIndexFieldItemList, CQVJDECommonItemList)

namespace {

const char16_t* const kTypeNames[] = { u"Unknown", u"Text", u"TextEx", u"Time", u"List", u"API" };

const char16_t* Bool(BOOL value) { return value ? u"True" : u"False"; }

// "from, to" as two numbers; both must read, be non-zero as 16-bit codes and differ.
BOOL ParseSubstitution(const CString& value, WCHAR& from, WCHAR& to) {
  CQVGEI reader;
  reader.SetExpression(value);
  int a = 0, b = 0;
  WCHAR c = reader.Get();
  if (reader.Get_Int(c, a) != 0 || c != u',') return FALSE;
  c = reader.Get();
  if (reader.Get_Int(c, b) != 0) return FALSE;
  from = static_cast<WCHAR>(a);
  to = static_cast<WCHAR>(b);
  return from != 0 && to != 0 && from != to;
}

}  // namespace

void CQVJDEIndexFieldItem::Store(CString& field, LPCWSTR text) {
  field = text ? text : u"";
  field.Trim();
}

void CQVJDEIndexFieldItem::SetRegion(int x0, int y0, int x1, int y1) {
  m_nRegionX0 = x0;
  m_nRegionY0 = y0;
  m_nRegionX1 = x1;
  m_nRegionY1 = y1;
  m_bRegionDefined = TRUE;
}

void CQVJDEIndexFieldItem::SetRegionEmpty() {
  m_bRegionDefined = FALSE;
  m_nRegionX0 = m_nRegionY0 = m_nRegionX1 = m_nRegionY1 = -1;
}

BOOL CQVJDEIndexFieldItem::GetRegion(int& x0, int& y0, int& x1, int& y1) const {
  x0 = m_nRegionX0;
  y0 = m_nRegionY0;
  x1 = m_nRegionX1;
  y1 = m_nRegionY1;
  return m_bRegionDefined;
}

int CQVJDEIndexFieldItem::FindListItem(LPCWSTR text) {
  POSITION pos = m_listItems.Find(text);
  return pos ? m_listItems.GetIndexOf(pos) : -1;
}

BOOL CQVJDEIndexFieldItem::AddListItem(LPCWSTR text) {
  return FindListItem(text) >= 0 || m_listItems.Add(text) != nullptr;
}

void CQVJDEIndexFieldItem::DeleteListItem(LPCWSTR text) {
  if (POSITION pos = m_listItems.Find(text)) m_listItems.RemoveAt(pos);
}

int CQVJDEIndexFieldItem::GetMaxTextLength() const { return CQVJDEHelper::GetMaxTextLength(m_strInputMask); }

int CQVJDEIndexFieldItem::ValidateInput(LPCWSTR text, int& year, int& month, int& day, int& hour, int& minute,
                                        int& second) {
  year = month = day = hour = minute = second = -1;
  if (m_nType < typeText || m_nType > typeAPI) return QVJDE::errInternal;
  if (m_nType == typeTextEx) return 0;
  // A field without an input mask restricts nothing; the mask front alone would refuse every
  // value of it (10001).
  if (!m_strInputMask.IsEmpty())
    if (int code = CQVJDEHelper::ValidateInput(m_strInputMask, text, year, month, day, hour, minute, second))
      return code;
  if (m_nType == typeList && FindListItem(text) < 0) return QVJDE::errNotInList;
  return 0;
}

int CQVJDEIndexFieldItem::ValidateInput(LPCWSTR text) {
  int year, month, day, hour, minute, second;
  return ValidateInput(text, year, month, day, hour, minute, second);
}

int CQVJDEIndexFieldItem::GetDefaultValue(const CQVJDEDefaultValueTags& tags, CString& value, int& accuracy) const {
  return CQVJDEHelper::GetDefaultValue(m_strDefaultValueExp, tags, value, accuracy, FALSE);
}

int CQVJDEIndexFieldItem::FormatOutput(LPCWSTR value, int year, int month, int day, int hour, int minute, int second,
                                       CString& out) const {
  return CQVJDEHelper::FormatOutput(m_strOutputMask, value, year, month, day, hour, minute, second, FALSE, FALSE, FALSE,
                                    out);
}

BOOL CQVJDEIndexFieldItem::GetSubstitutionItem(int index, WCHAR& from, WCHAR& to) const {
  auto* item = static_cast<__CQVJDEIndexFieldSubstitutionItem*>(m_substitutions.GetAtIndex(index));
  if (!item) return FALSE;
  from = item->m_cFrom;
  to = item->m_cTo;
  return TRUE;
}

int CQVJDEIndexFieldItem::FindSubstitionItem(WCHAR from) const {
  for (int i = 0; i < m_substitutions.GetCount(); ++i)
    if (static_cast<__CQVJDEIndexFieldSubstitutionItem*>(m_substitutions.GetAtIndex(i))->m_cFrom == from) return i;
  return -1;
}

BOOL CQVJDEIndexFieldItem::AddSubstitutionItem(WCHAR from, WCHAR to) {
  DeleteSubstitutionItem(from);
  auto* item = static_cast<__CQVJDEIndexFieldSubstitutionItem*>(
    m_substitutions.AddNewTail(RUNTIME_CLASS(__CQVJDEIndexFieldSubstitutionItem)));
  if (!item) return FALSE;
  item->m_cFrom = from;
  item->m_cTo = to;
  return TRUE;
}

void CQVJDEIndexFieldItem::DeleteSubstitutionItem(int index) {
  if (index >= 0 && index < m_substitutions.GetCount()) m_substitutions.RemoveIndex(index);
}

void CQVJDEIndexFieldItem::ClearLists() {
  m_listItems.RemoveAll();
  m_substitutions.RemoveAll();
}

BOOL CQVJDEIndexFieldItem::ToScript(CString& text) {
  text.Empty();
  CString out;
  if (!NameToScript(out)) return FALSE;
  const int type = m_nType >= typeText && m_nType <= typeAPI ? m_nType : typeUnknown;
  out.AppendFormat(u"Type = %s\r\nHidden = %s\r\nReadOnly = %s\r\n", kTypeNames[type], Bool(m_bHidden), Bool(m_bReadOnly));
  if (m_bRegionDefined) {
    out.AppendFormat(u"RegionDefined = True\r\nRegionX0 = %d\r\nRegionY0 = %d\r\nRegionX1 = %d\r\nRegionY1 = %d\r\n"
                     u"RegionOnFront = %s\r\n",
                     m_nRegionX0, m_nRegionY0, m_nRegionX1, m_nRegionY1, Bool(m_bRegionOnFront));
  } else {
    out += u"RegionDefined = False\r\n";
  }
  out.AppendFormat(u"TextList = %s\r\n", Bool(m_listItems.GetCount() > 0));
  for (POSITION pos = m_listItems.GetHeadPosition(); pos;) {
    CString item;
    m_listItems.GetNext(pos, item);
    if (!QVJDEAppendKey(out, u"ListItem", item)) return FALSE;
  }
  if (!QVJDEAppendKey(out, u"InputMask", m_strInputMask) || !QVJDEAppendKey(out, u"SampleInput", m_strSampleInput) ||
      !QVJDEAppendKey(out, u"DefaultValueExp", m_strDefaultValueExp) ||
      !QVJDEAppendKey(out, u"OutputMask", m_strOutputMask))
    return FALSE;
  out.AppendFormat(u"Substitution = %s\r\n", Bool(m_substitutions.GetCount() > 0));
  for (int i = 0; i < m_substitutions.GetCount(); ++i) {
    WCHAR from = 0, to = 0;
    GetSubstitutionItem(i, from, to);
    out.AppendFormat(u"SubstitutionItem = %d, %d\r\n", static_cast<int>(from), static_cast<int>(to));
  }
  text = out;
  return TRUE;
}

BOOL CQVJDEIndexFieldItem::FromScript(CDPXScriptFile& file) {
  ClearLists();
  const CString section = file.GetCurrentSection();
  CString typeName;
  BOOL flag = FALSE;
  if (section.IsEmpty() || !NameFromScript(file) || !file.GetString(u"Type", typeName)) {
    ClearLists();
    return FALSE;
  }
  typeName.Trim();
  int type = typeUnknown;
  for (int i = typeText; i <= typeAPI; ++i)
    if (typeName.CompareNoCase(kTypeNames[i]) == 0) type = i;
  if (type == typeUnknown) return FALSE;
  m_nType = type;
  m_bHidden = file.GetBool(u"Hidden", flag) && flag;
  m_bReadOnly = file.GetBool(u"ReadOnly", flag) && flag;

  SetRegionEmpty();
  m_bRegionOnFront = TRUE;
  if (file.GetBool(u"RegionDefined", flag) && flag) {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    file.GetUInt(u"RegionX0", x0);
    file.GetUInt(u"RegionY0", y0);
    file.GetUInt(u"RegionX1", x1);
    file.GetUInt(u"RegionY1", y1);
    SetRegion(x0, y0, x1, y1);
    m_bRegionOnFront = file.GetBool(u"RegionOnFront", flag) && flag;
  }

  if (file.GetBool(u"TextList", flag) && flag) {
    CDPXScriptItemList lines;
    file.GetKeyItems(section, u"ListItem", lines);
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
      CString value;
      static_cast<CDPXScriptItem*>(lines.GetNext(pos))->GetValue(value);
      if (!AddListItem(value)) {
        ClearLists();
        return FALSE;
      }
    }
  }

  CString text;
  file.GetString(u"InputMask", text);
  SetInputMask(text);
  file.GetString(u"SampleInput", text);
  SetSampleInput(text);
  file.GetString(u"DefaultValueExp", text);
  SetDefaultValueExp(text);
  file.GetString(u"OutputMask", text);
  SetOutputMask(text);

  if (file.GetBool(u"Substitution", flag) && flag) {
    CDPXScriptItemList lines;
    file.GetKeyItems(section, u"SubstitutionItem", lines);
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
      CString value;
      static_cast<CDPXScriptItem*>(lines.GetNext(pos))->GetValue(value);
      WCHAR from = 0, to = 0;
      if (ParseSubstitution(value, from, to)) AddSubstitutionItem(from, to);
    }
  }
  return TRUE;
}

BOOL CQVJDEIndexFieldItemList::Save(LPCWSTR path) {
  CString target(path ? path : u"");
  CString text;
  return !target.Trim().IsEmpty() && ToScript(text) && QVJDEWriteScript(target, text);
}

BOOL CQVJDEIndexFieldItemList::Load(LPCWSTR path) {
  CString source(path ? path : u"");
  DeleteAll();
  if (source.Trim().IsEmpty()) return FALSE;
  CDPXScriptFile file;
  if (!file.Open(source) || !FromScript(file)) {
    DeleteAll();
    return FALSE;
  }
  return TRUE;
}
