#pragma once
// The user accounts of the capture suite: one folder per user under the users folder, holding the
// profile "user.info" ([User] Password, Description, Language, Unit). The list is built from the
// folders and kept sorted by name without regard to case; the profiles are read and written on
// every call, each save replacing the file as a whole.
//
// User names follow the name rule of jobs and batches, and may hold neither "=" nor ";", which
// would not read back as a member line of a group file.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <vector>

class CQVGroupManager;

class CQVUserManager : public CObject {
  DECLARE_DYNCREATE(CQVUserManager)
public:
  // The users path with a separator, the name and a separator; FALSE for a bad index or name or
  // an empty users path.
  virtual BOOL GetUserWorkingPath(int index, CString& path);
  // The working path and "user.info".
  virtual BOOL GetUserProfilename(int index, CString& path);

  static BOOL CheckName(LPCWSTR name);
  static BOOL NormalizeName(CString& name);

  // Stores the trimmed path and builds the list from its folders.
  void SetUsersPath(LPCWSTR path);
  void GetUsersPath(CString& path) const { path = m_strUsersPath; }
  // The group manager that deleted users leave; the manager does not own it.
  void SetGroupManager(CQVGroupManager* manager) { m_pGroupManager = manager; }

  int GetUserCount() const { return static_cast<int>(m_users.size()); }
  BOOL GetUserName(int index, CString& name) const;
  BOOL GetUserNameW(int index, CString& name) const { return GetUserName(index, name); }
  int FindUser(LPCWSTR name) const;
  // The user's index. A user of that name already there keeps its folder, profile and groups: its
  // index is answered. -1 for an invalid name. The folder is made by the first profile write.
  int AddUser(LPCWSTR name, BOOL sort);
  // Deletes the user's folder with everything in it, and the user's group memberships.
  void DeleteUser(int index);
  // Drops the list, removing only the users' folders that are empty, and empties every group.
  void DeleteAllUser();

  BOOL GetPassword(int index, CString& stored) { return GetUserInfo(index, u"Password", stored); }
  BOOL GetDescription(int index, CString& text) { return GetUserInfo(index, u"Description", text); }
  BOOL SetDescription(int index, LPCWSTR text) { return SetUserInfo(index, u"Description", text); }
  BOOL GetLanguage(int index, CString& text) { return GetUserInfo(index, u"Language", text); }
  BOOL SetLanguage(int index, LPCWSTR text) { return SetUserInfo(index, u"Language", text); }
  BOOL GetUnit(int index, CString& text) { return GetUserInfo(index, u"Unit", text); }
  BOOL SetUnit(int index, LPCWSTR text) { return SetUserInfo(index, u"Unit", text); }

  // Stores the empty password.
  BOOL ResetPassword(int index) { return ChangePassword(index, u""); }
  BOOL ChangePassword(int index, LPCWSTR password);
  // FALSE for an unknown user or a profile without a password.
  BOOL CheckUserPassword(int index, LPCWSTR password);

protected:
  // Every folder of the users path with a valid name and a "user.info" in it or below it is a
  // user; folders without one are left out.
  BOOL BuildUsersList();
  void ResetUsersList();
  BOOL GetUserInfo(int index, LPCWSTR key, CString& value);
  // Makes the user's folder when it is missing. FALSE for a value with a line break.
  BOOL SetUserInfo(int index, LPCWSTR key, LPCWSTR value);
  void RemoveUserFromGroups(LPCWSTR name);
  void RemoveAllUserFromGroups();

private:
  void Sort();

  CString m_strUsersPath;
  std::vector<CString> m_users;
  CQVGroupManager* m_pGroupManager { nullptr };
};
