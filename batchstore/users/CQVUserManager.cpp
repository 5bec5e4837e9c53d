#include "batchstore/users/CQVUserManager.h"

#include "batchstore/QVNameRule.h"
#include "batchstore/users/CQVGroupManager.h"
#include "batchstore/users/QVPassword.h"
#include "foundation/util/CDPXScriptFile.h"
#include "foundation/util/DPXFolderTree.h"
#include "foundation/util/DPXPath.h"
#include "platform/core/CFileFind.h"
#include "platform/core/fileapi.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CQVUserManager, CObject)

BOOL CQVUserManager::CheckName(LPCWSTR name) {
  return QVCheckName(name) && CString(name).FindOneOf(u"=;") < 0;
}

BOOL CQVUserManager::NormalizeName(CString& name) {
  name.Trim();
  return CheckName(name);
}

void CQVUserManager::SetUsersPath(LPCWSTR path) {
  m_strUsersPath = path ? path : u"";
  m_strUsersPath.Trim();
  BuildUsersList();
}

void CQVUserManager::Sort() {
  std::stable_sort(m_users.begin(), m_users.end(),
                   [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
}

void CQVUserManager::ResetUsersList() { m_users.clear(); }

BOOL CQVUserManager::BuildUsersList() {
  ResetUsersList();
  CString root(m_strUsersPath);
  DPXAppendBackslash(root);
  if (root.IsEmpty()) return FALSE;
  CFileFind find;
  for (BOOL more = find.FindFile(root + u"*.*"); more;) {
    more = find.FindNextFile();
    if (find.IsDots() || !find.IsDirectory()) continue;
    CString name = find.GetFileName();
    CString profile;
    // A folder without a profile is no user; it used to empty the whole list.
    if (!NormalizeName(name) || !DPXFindFileInTree(root + find.GetFileName(), u"user.info", profile)) continue;
    m_users.push_back(name);
  }
  Sort();
  return TRUE;
}

BOOL CQVUserManager::GetUserName(int index, CString& name) const {
  if (index < 0 || index >= GetUserCount()) return FALSE;
  name = m_users[static_cast<size_t>(index)];
  name.Trim();
  return TRUE;
}

int CQVUserManager::FindUser(LPCWSTR name) const {
  CString wanted(name ? name : u"");
  if (!NormalizeName(wanted)) return -1;
  for (int i = 0; i < GetUserCount(); ++i) {
    CString listed;
    GetUserName(i, listed);
    if (CheckName(listed) && listed.CompareNoCase(wanted) == 0) return i;
  }
  return -1;
}

int CQVUserManager::AddUser(LPCWSTR name, BOOL sort) {
  CString user(name ? name : u"");
  if (!NormalizeName(user)) return -1;
  // Adding a user who is there already used to delete the user's folder and groups first.
  const int existing = FindUser(user);
  if (existing >= 0) return existing;
  m_users.push_back(user);
  if (sort) Sort();
  return FindUser(user);
}

void CQVUserManager::DeleteUser(int index) {
  CString name, folder;
  if (!GetUserName(index, name)) return;
  if (GetUserWorkingPath(index, folder)) DPXDeleteFolderTree(folder);
  m_users.erase(m_users.begin() + index);
  RemoveUserFromGroups(name);
}

void CQVUserManager::DeleteAllUser() {
  for (int i = 0; i < GetUserCount(); ++i) {
    CString folder;
    if (GetUserWorkingPath(i, folder)) RemoveDirectoryW(folder);
  }
  ResetUsersList();
  RemoveAllUserFromGroups();
}

BOOL CQVUserManager::GetUserWorkingPath(int index, CString& path) {
  CString name;
  path = m_strUsersPath;
  DPXAppendBackslash(path);
  if (path.IsEmpty() || !GetUserName(index, name) || !CheckName(name)) return FALSE;
  path += name;
  DPXAppendBackslash(path);
  return TRUE;
}

BOOL CQVUserManager::GetUserProfilename(int index, CString& path) {
  if (!GetUserWorkingPath(index, path)) return FALSE;
  path += u"user.info";
  return TRUE;
}

BOOL CQVUserManager::GetUserInfo(int index, LPCWSTR key, CString& value) {
  CString path;
  CDPXScriptFile file;
  if (!GetUserProfilename(index, path) || !file.Open(path)) return FALSE;
  return file.GetString(key, value, FALSE, u"User");
}

BOOL CQVUserManager::SetUserInfo(int index, LPCWSTR key, LPCWSTR value) {
  CString folder, path;
  if (!GetUserWorkingPath(index, folder) || !GetUserProfilename(index, path)) return FALSE;
  folder.TrimRight(u"/\\");
  if (!DPXFolderExists(folder) && !CreateDirectoryW(folder, nullptr)) return FALSE;
  CDPXScriptFile file;
  // A missing profile starts empty; one that is there but cannot be read is not overwritten.
  if (!file.Open(path) && DPXFileExists(path)) return FALSE;
  return file.SetString(key, value, FALSE, u"User");
}

BOOL CQVUserManager::ChangePassword(int index, LPCWSTR password) {
  CString stored;
  return GetUserCount() > index && index >= 0 && QVHashPassword(password, stored) &&
         SetUserInfo(index, u"Password", stored);
}

BOOL CQVUserManager::CheckUserPassword(int index, LPCWSTR password) {
  CString name, stored;
  return GetUserName(index, name) && GetPassword(index, stored) && QVCheckPassword(name, password, stored);
}

void CQVUserManager::RemoveUserFromGroups(LPCWSTR name) {
  if (m_pGroupManager) m_pGroupManager->RemoveUserFromAllGroups(name);
}

void CQVUserManager::RemoveAllUserFromGroups() {
  if (m_pGroupManager) m_pGroupManager->RemoveAllUsers();
}
