#include "batchstore/users/CQVGroupManager.h"

#include "batchstore/users/CQVUserManager.h"

IMPLEMENT_DYNCREATE(CQVGroupManager, CObject)

BOOL CQVGroupManager::CheckName(LPCWSTR name) { return CQVUserManager::CheckName(name); }

BOOL CQVGroupManager::NormalizeName(CString& name) {
  name.Trim();
  return CheckName(name);
}

BOOL CQVGroupManager::SetFilename(LPCWSTR path) {
  const BOOL opened = m_file.Open(path);
  FindGroups(TRUE);
  return opened;
}

void CQVGroupManager::FindGroups(BOOL force) {
  if (!m_groups.empty() && !force) return;
  m_groups.clear();
  CDPXScriptItemList sections;
  if (!m_file.GetSections(sections)) return;
  for (POSITION pos = sections.GetHeadPosition(); pos;) {
    CString name;
    if (static_cast<CDPXScriptItem*>(sections.GetNext(pos))->GetSection(name) && !name.IsEmpty())
      m_groups.push_back(name);
  }
}

int CQVGroupManager::GetGroupCount() {
  FindGroups(FALSE);
  return static_cast<int>(m_groups.size());
}

BOOL CQVGroupManager::GetGroupName(int index, CString& name) {
  if (index < 0 || index >= GetGroupCount()) return FALSE;
  name = m_groups[static_cast<size_t>(index)];
  name.Trim();
  return TRUE;
}

int CQVGroupManager::FindGroup(LPCWSTR name) {
  CString wanted(name ? name : u"");
  if (!NormalizeName(wanted)) return -1;
  for (int i = 0; i < GetGroupCount(); ++i) {
    CString listed;
    GetGroupName(i, listed);
    if (listed.CompareNoCase(wanted) == 0) return i;
  }
  return -1;
}

int CQVGroupManager::AddGroup(LPCWSTR name) {
  CString group(name ? name : u"");
  if (!NormalizeName(group)) return -1;
  // Adding a group that is there already used to delete it with its members first.
  const int existing = FindGroup(group);
  if (existing >= 0) return existing;
  // The description line makes the section, which a header alone cannot in a script file.
  if (!m_file.SetString(u"Description", u"", FALSE, group)) return -1;
  FindGroups(TRUE);
  return FindGroup(group);
}

void CQVGroupManager::DeleteGroup(int index) {
  CString name;
  if (!GetGroupName(index, name)) return;
  m_file.DeleteSection(FALSE, m_groups[static_cast<size_t>(index)]);
  FindGroups(TRUE);
}

void CQVGroupManager::DeleteGroup(LPCWSTR name) { DeleteGroup(FindGroup(name)); }

void CQVGroupManager::DeleteAllGroups() {
  FindGroups(TRUE);
  m_file.SetAutoSave(FALSE);
  for (const CString& group : m_groups) m_file.DeleteSection(FALSE, group);
  m_file.SetAutoSave(TRUE);
  if (!m_file.Save()) m_file.Load();
  FindGroups(TRUE);
}

BOOL CQVGroupManager::SetDescription(int index, LPCWSTR text) {
  if (index < 0 || index >= GetGroupCount()) return FALSE;
  return m_file.SetString(u"Description", text, FALSE, m_groups[static_cast<size_t>(index)]);
}

BOOL CQVGroupManager::GetDescription(int index, CString& text) {
  if (index < 0 || index >= GetGroupCount()) return FALSE;
  return m_file.GetString(u"Description", text, FALSE, m_groups[static_cast<size_t>(index)]);
}

void CQVGroupManager::Members(const CString& group, std::vector<CString>& members) {
  members.clear();
  CDPXScriptItemList lines;
  if (!m_file.GetLines(group, lines)) return;
  for (POSITION pos = lines.GetHeadPosition(); pos;) {
    CString line;
    static_cast<CDPXScriptItem*>(lines.GetNext(pos))->GetLine(line);
    line.Trim();
    if (!line.IsEmpty()) members.push_back(line);
  }
}

BOOL CQVGroupManager::FindUserInGroup(LPCWSTR user, LPCWSTR group) {
  const int index = FindGroup(group);
  if (index < 0) return FALSE;
  CString wanted(user ? user : u"");
  wanted.Trim();
  std::vector<CString> members;
  Members(m_groups[static_cast<size_t>(index)], members);
  for (const CString& member : members)
    if (member.CompareNoCase(wanted) == 0) return TRUE;
  return FALSE;
}

BOOL CQVGroupManager::AddUserToGroup(LPCWSTR user, LPCWSTR group) {
  CString name(user ? user : u""), section(group ? group : u"");
  if (!CQVUserManager::NormalizeName(name) || !NormalizeName(section) || FindUserInGroup(name, section)) return FALSE;
  const int index = FindGroup(section);
  if (index >= 0) section = m_groups[static_cast<size_t>(index)];
  else if (!m_file.SetString(u"Description", u"", FALSE, section)) return FALSE;
  const BOOL added = m_file.AddLine(name, FALSE, section);
  FindGroups(TRUE);
  return added;
}

BOOL CQVGroupManager::Rebuild(const CString& group, const std::vector<CString>& members) {
  CString description;
  m_file.GetString(u"Description", description, FALSE, group);
  m_file.SetAutoSave(FALSE);
  m_file.DeleteSection(FALSE, group);
  BOOL done = m_file.SetString(u"Description", description, FALSE, group);
  for (const CString& member : members) done = done && m_file.AddLine(member, FALSE, group);
  m_file.SetAutoSave(TRUE);
  // One save for the whole change: a failure leaves the file, and what is read back, as it was.
  if (!done || !m_file.Save()) {
    m_file.Load();
    done = FALSE;
  }
  FindGroups(TRUE);
  return done;
}

void CQVGroupManager::RemoveUserFromGroup(LPCWSTR user, LPCWSTR group) {
  if (!FindUserInGroup(user, group)) return;
  CString wanted(user);
  wanted.Trim();
  const CString section = m_groups[static_cast<size_t>(FindGroup(group))];
  std::vector<CString> members, kept;
  Members(section, members);
  for (const CString& member : members) {
    if (member.CompareNoCase(wanted) == 0) continue;
    BOOL twice = FALSE;
    for (const CString& other : kept) twice = twice || other.CompareNoCase(member) == 0;
    if (!twice) kept.push_back(member);
  }
  Rebuild(section, kept);
}

void CQVGroupManager::RemoveUserFromAllGroups(LPCWSTR user) {
  FindGroups(TRUE);
  const std::vector<CString> groups = m_groups;
  for (const CString& group : groups) RemoveUserFromGroup(user, group);
}

void CQVGroupManager::RemoveAllUsers() {
  FindGroups(TRUE);
  const std::vector<CString> groups = m_groups;
  for (const CString& group : groups) Rebuild(group, {});
}
