#include "batchstore/users/CQVFeatureManager.h"

#include "batchstore/jobs/CQVJDECommonItem.h"
#include "batchstore/users/CQVGroupManager.h"

IMPLEMENT_DYNCREATE(CQVFeatureItem, CObject)
IMPLEMENT_DYNCREATE(CQVFeatureManager, CObject)

CQVFeatureItem::CQVFeatureItem() {
  m_users.SetAllowEmpty(FALSE);
  m_groups.SetAllowEmpty(FALSE);
}

BOOL CQVFeatureItem::AddTo(CDPXStringList& list, LPCWSTR name) {
  const CString text(name ? name : u"");
  if (!QVJDEIsOneLine(text) || list.Find(text)) return FALSE;
  return list.Add(text) != nullptr;
}

void CQVFeatureItem::RemoveFrom(CDPXStringList& list, LPCWSTR name) {
  if (POSITION pos = list.Find(name)) list.RemoveAt(pos);
}

void CQVFeatureItem::Copy(const CDPXStringList& from, CDPXStringList& to) {
  to.RemoveAll();
  for (POSITION pos = from.GetHeadPosition(); pos;) {
    CString text;
    from.GetNext(pos, text);
    to.Add(text);
  }
}

BOOL CQVFeatureItem::HasUser(LPCWSTR user) const {
  CString wanted(user ? user : u"");
  wanted.Trim();
  for (POSITION pos = m_users.GetHeadPosition(); pos;) {
    CString listed;
    m_users.GetNext(pos, listed);
    if (listed.Trim().CompareNoCase(wanted) == 0) return TRUE;
  }
  return FALSE;
}

BOOL CQVFeatureItem::InUserWithinGoups(LPCWSTR user, CQVGroupManager* groups) {
  if (!groups) return FALSE;
  for (POSITION pos = m_groups.GetHeadPosition(); pos;) {
    CString group;
    m_groups.GetNext(pos, group);
    if (groups->FindUserInGroup(user, group)) return TRUE;
  }
  return FALSE;
}

BOOL CQVFeatureItem::ToScript(CString& text) {
  text.Empty();
  if (m_strFeatureName.IsEmpty() || !QVJDEIsOneLine(m_strFeatureName) || m_strFeatureName.Find(u']') >= 0) return FALSE;
  CString out = u"[" + m_strFeatureName + u"]\r\n";
  for (POSITION pos = m_users.GetHeadPosition(); pos;) {
    CString name;
    m_users.GetNext(pos, name);
    if (!QVJDEAppendKey(out, u"User", name)) return FALSE;
  }
  for (POSITION pos = m_groups.GetHeadPosition(); pos;) {
    CString name;
    m_groups.GetNext(pos, name);
    if (!QVJDEAppendKey(out, u"Group", name)) return FALSE;
  }
  text = out;
  return TRUE;
}

BOOL CQVFeatureItem::FromScript(CDPXScriptFile& file) {
  if (m_strFeatureName.IsEmpty()) return FALSE;
  m_users.RemoveAll();
  m_groups.RemoveAll();
  for (int list = 0; list < 2; ++list) {
    CDPXScriptItemList lines;
    if (!file.GetKeyItems(m_strFeatureName, list == 0 ? u"User" : u"Group", lines)) return FALSE;
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
      CString value;
      static_cast<CDPXScriptItem*>(lines.GetNext(pos))->GetValue(value);
      (list == 0 ? m_users : m_groups).Add(value);
    }
  }
  return TRUE;
}

BOOL CQVFeatureManager::GetFeatureFilename(CString& path) {
  path.Empty();
  return FALSE;
}

CQVFeatureItem* CQVFeatureManager::Get(int index) const {
  return index >= 0 && index < GetCount() ? m_items[static_cast<size_t>(index)].get() : nullptr;
}

int CQVFeatureManager::Find(LPCWSTR name) const {
  const CString wanted(name ? name : u"");
  for (int i = 0; i < GetCount(); ++i) {
    CString listed;
    m_items[static_cast<size_t>(i)]->GetFeatureName(listed);
    if (listed == wanted) return i;
  }
  return -1;
}

CQVFeatureItem* CQVFeatureManager::Add(int& index) {
  m_items.push_back(std::make_unique<CQVFeatureItem>());
  index = GetCount() - 1;
  return m_items.back().get();
}

void CQVFeatureManager::Delete(int index) {
  if (index >= 0 && index < GetCount()) m_items.erase(m_items.begin() + index);
}

BOOL CQVFeatureManager::Load() {
  DeleteAll();
  CString path;
  CDPXScriptFile file;
  if (!GetFeatureFilename(path) || !file.Open(path)) return FALSE;
  CDPXScriptItemList sections;
  if (!file.GetSections(sections)) return FALSE;
  for (POSITION pos = sections.GetHeadPosition(); pos;) {
    CString name;
    if (!static_cast<CDPXScriptItem*>(sections.GetNext(pos))->GetSection(name) || name.IsEmpty()) continue;
    int index = -1;
    CQVFeatureItem* item = Add(index);
    item->SetFeatureName(name);
    if (!item->FromScript(file)) {
      Delete(index);
      return FALSE;
    }
  }
  m_bLoaded = TRUE;
  return TRUE;
}

BOOL CQVFeatureManager::Save() {
  CString path, text;
  if (!GetFeatureFilename(path)) return FALSE;
  for (const auto& item : m_items) {
    CString section;
    if (!item->ToScript(section)) return FALSE;
    text += section + u"\r\n";
  }
  return QVJDEWriteScript(path, text);
}

BOOL CQVFeatureManager::IsUserHasFeature(LPCWSTR user, LPCWSTR feature) {
  if (!m_bLoaded) Load();
  CQVFeatureItem* item = Get(feature);
  if (!item) return FALSE;
  return item->HasUser(user) || item->InUserWithinGoups(user, m_pGroupManager);
}
