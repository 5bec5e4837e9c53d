#include "batchstore/jobs/CQVJDECommonItem.h"

#include "batchstore/QVNameRule.h"
#include "foundation/util/CDPXStdioFile.h"
#include "foundation/util/DPXReplaceFile.h"

IMPLEMENT_DYNCREATE(CQVJDECommonItem, CObject)
IMPLEMENT_DYNCREATE(CQVJDECommonItemList, CQVJDECommonItem)

BOOL QVJDEIsOneLine(const CString& value) { return value.FindOneOf(u"\r\n") < 0; }

BOOL QVJDEAppendKey(CString& text, LPCWSTR key, const CString& value) {
  if (!QVJDEIsOneLine(value)) return FALSE;
  text += key;
  text += u" = ";
  text += value;
  text += u"\r\n";
  return TRUE;
}

BOOL QVJDEWriteScript(LPCWSTR path, const CString& text) {
  const std::string bytes = std::string(CDPXStdioFile::ByteOrderMark(CDPXStdioFile::encodingUtf8)) +
                            CDPXStdioFile::EncodeText(text.View(), CDPXStdioFile::encodingUtf8);
  return DPXReplaceFile(path, bytes.data(), bytes.size());
}

BOOL CQVJDECommonItem::ToScript(CString&) { return FALSE; }
BOOL CQVJDECommonItem::FromScript(CDPXScriptFile&) { return FALSE; }

BOOL CQVJDECommonItem::CheckName(LPCWSTR name) { return QVCheckName(name); }

BOOL CQVJDECommonItem::NormalizeName(CString& name) {
  name.Trim();
  return CheckName(name);
}

void CQVJDECommonItem::SetName(LPCWSTR name) {
  m_strName = name ? name : u"";
  m_strName.Trim();
}

BOOL CQVJDECommonItem::CompareName(LPCWSTR name) const {
  CString other(name ? name : u"");
  return m_strName.CompareNoCase(other.Trim()) == 0;
}

void CQVJDECommonItem::SetDescription(LPCWSTR text) {
  m_strDescription = text ? text : u"";
  m_strDescription.Trim();
}

BOOL CQVJDECommonItem::NameToScript(CString& text) const {
  return QVJDEAppendKey(text, u"Name", m_strName) && QVJDEAppendKey(text, u"Description", m_strDescription);
}

BOOL CQVJDECommonItem::NameFromScript(CDPXScriptFile& file) {
  CString name, description;
  if (!file.GetString(u"Name", name) || !NormalizeName(name)) return FALSE;
  file.GetString(u"Description", description);
  SetName(name);
  SetDescription(description);
  return TRUE;
}

CQVJDECommonItem* CQVJDECommonItemList::Get(int index) const {
  if (index < 0 || index >= m_items.GetCount()) return nullptr;
  return static_cast<CQVJDECommonItem*>(m_items.GetAtIndex(index));
}

int CQVJDECommonItemList::Find(LPCWSTR name) const {
  for (int i = 0; i < m_items.GetCount(); ++i)
    if (Get(i)->CompareName(name)) return i;
  return -1;
}

CQVJDECommonItem* CQVJDECommonItemList::Add(int& index) {
  index = -1;
  if (!m_pElementClass) return nullptr;
  CObject* item = m_items.AddNewTail(m_pElementClass, index);
  return static_cast<CQVJDECommonItem*>(item);
}

void CQVJDECommonItemList::Delete(int index) {
  if (index >= 0 && index < m_items.GetCount()) m_items.RemoveIndex(index);
}

BOOL CQVJDECommonItemList::CanMove(int index, int delta) const {
  const int count = m_items.GetCount();
  if (index < 0 || index >= count || delta == 0) return FALSE;
  return (delta < 0 && index > 0) || (delta > 0 && index < count - 1);
}

int CQVJDECommonItemList::Move(int index, int delta) {
  const int count = m_items.GetCount();
  if (index < 0 || index >= count) return -1;
  if (delta == 0) return index;
  const long long wanted = static_cast<long long>(index) + delta;
  const int target = static_cast<int>(wanted < 0 ? 0 : wanted > count - 1 ? count - 1 : wanted);
  if (target == index) return index;
  POSITION pos = m_items.FindIndex(index);
  CObject* item = m_items.SetOwnership(pos, FALSE);
  m_items.RemoveAt(pos);
  POSITION placed = target == count - 1 ? m_items.AddTail(item) : m_items.InsertBefore(m_items.FindIndex(target), item);
  if (!placed) {
    delete item;
    return -1;
  }
  m_items.SetOwnership(placed, TRUE);
  return target;
}

BOOL CQVJDECommonItemList::List_Script(CString& text, LPCWSTR word) {
  text.Empty();
  CString heading(word ? word : u"");
  if (heading.Trim().IsEmpty()) return FALSE;
  for (int i = 0; i < m_items.GetCount(); ++i) {
    CString item;
    if (!Get(i)->ToScript(item)) {
      text.Empty();
      return FALSE;
    }
    text.AppendFormat(u"[%s #%d]\r\n", heading.GetString(), i + 1);
    text += item;
    text += u"\r\n";
  }
  return TRUE;
}

BOOL CQVJDECommonItemList::Script_List(CDPXScriptFile& file, LPCWSTR word) {
  DeleteAll();
  CString heading(word ? word : u"");
  if (heading.Trim().IsEmpty() || !m_pElementClass) return FALSE;
  CDPXScriptItemList sections;
  if (!file.GetSections(sections)) return FALSE;
  // The headers are read before any item is made: reading an item does not change the file's lines.
  for (POSITION pos = sections.GetHeadPosition(); pos;) {
    auto* header = static_cast<CDPXScriptItem*>(sections.GetNext(pos));
    CString name;
    if (!header->GetSection(name)) continue;
    CString trimmed(name);
    trimmed.Trim();
    if (trimmed.Left(heading.GetLength()).CompareNoCase(heading) != 0) continue;
    file.SetCurrentSection(name);
    int index = -1;
    CQVJDECommonItem* item = Add(index);
    if (!item) {
      DeleteAll();
      return FALSE;
    }
    if (!item->FromScript(file)) Delete(index);
  }
  return TRUE;
}
