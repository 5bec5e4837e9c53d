#include "batchstore/CQVBDEIndexItem.h"

#include "batchstore/jobs/CQVJDEIndexFieldItem.h"

IMPLEMENT_DYNCREATE(CQVBDEIndexItem, CObject)
IMPLEMENT_DYNCREATE(CQVBDEIndexItemList, CObject)

void CQVBDEIndexItem::ResetIndexValue() {
  m_strValue.Empty();
  m_nSource = sourceManual;
  m_nAccuracy = accuracyCertain;
}

CQVBDEIndexItem* CQVBDEIndexItemList::GetItem(int index) const {
  return static_cast<CQVBDEIndexItem*>(m_items.GetAtIndex(index));
}

int CQVBDEIndexItemList::FindItem(LPCWSTR name) const {
  CString wanted(name ? name : u"");
  for (int i = 0; i < m_items.GetCount(); ++i)
    if (GetItem(i)->m_strName.CompareNoCase(wanted) == 0) return i;
  return -1;
}

CQVBDEIndexItem* CQVBDEIndexItemList::GetItem(LPCWSTR name) const { return GetItem(FindItem(name)); }

BOOL CQVBDEIndexItemList::SetIndex(LPCWSTR name, LPCWSTR value, int source, int accuracy) {
  CQVBDEIndexItem* item = GetItem(name);
  if (!item) {
    item = static_cast<CQVBDEIndexItem*>(m_items.AddNewTail(RUNTIME_CLASS(CQVBDEIndexItem)));
    if (!item) return FALSE;
    item->m_strName = name ? name : u"";
  }
  item->m_strValue = value ? value : u"";
  item->m_nSource = source;
  item->m_nAccuracy = accuracy;
  return TRUE;
}

BOOL CQVBDEIndexItemList::GetIndex(LPCWSTR name, CString& value, int& source, int& accuracy) const {
  CString ignored;
  return GetIndex(FindItem(name), ignored, value, source, accuracy);
}

BOOL CQVBDEIndexItemList::GetIndex(int index, CString& name, CString& value, int& source, int& accuracy) const {
  const CQVBDEIndexItem* item = GetItem(index);
  if (!item) return FALSE;
  name = item->m_strName;
  value = item->m_strValue;
  source = item->m_nSource;
  accuracy = item->m_nAccuracy;
  return TRUE;
}

void CQVBDEIndexItemList::DeleteIndexValue(LPCWSTR name) {
  int index = FindItem(name);
  if (index >= 0) m_items.RemoveIndex(index);
}

void CQVBDEIndexItemList::Normalize(CQVJDEIndexFieldItemList* fields) {
  for (int i = m_items.GetCount() - 1; i >= 0; --i)
    if (!fields || fields->Find(GetItem(i)->m_strName) < 0) m_items.RemoveIndex(i);
}

void CQVBDEIndexItemList::InitializeWithDefaultValues(CQVJDEIndexFieldItemList* fields,
                                                      const CQVJDEDefaultValueTags& tags) {
  DeleteAllIndexValues();
  for (int i = 0; fields && i < fields->GetCount(); ++i) {
    const CQVJDEIndexFieldItem* field = fields->GetField(i);
    CString name, value;
    field->GetName(name);
    if (name.IsEmpty()) continue;
    int accuracy = CQVBDEIndexItem::accuracyCertain;
    if (field->GetDefaultValue(tags, value, accuracy) != 0) {
      value.Empty();
      accuracy = 0;
    }
    auto* item = static_cast<CQVBDEIndexItem*>(m_items.AddNewTail(RUNTIME_CLASS(CQVBDEIndexItem)));
    if (!item) return;
    item->m_strName = name;
    item->m_strValue = value;
    item->m_nSource = CQVBDEIndexItem::sourceSystem;
    item->m_nAccuracy = accuracy;
  }
}

BOOL CQVBDEIndexItemList::Validate(CQVJDEIndexFieldItemList* fields, int& errorCode, int& errorIndex) const {
  for (int i = 0; fields && i < fields->GetCount(); ++i) {
    CQVJDEIndexFieldItem* field = fields->GetField(i);
    CString name;
    field->GetName(name);
    if (name.IsEmpty()) continue;
    const CQVBDEIndexItem* item = GetItem(name);
    errorCode = field->ValidateInput(item ? item->m_strValue : CString());
    if (errorCode != 0) {
      errorIndex = i;
      return FALSE;
    }
  }
  return TRUE;
}
