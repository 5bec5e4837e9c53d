#pragma once
// User groups, kept in one script file that the caller names: a section per group, in the order
// of the groups, holding "Description = text" and one line per member. Every change saves the
// file, replacing it as a whole.
//
// Group names follow the user-name rule (CQVUserManager::CheckName); members compare without
// regard to case.

#include "foundation/util/CDPXScriptFile.h"

#include <vector>

class CQVGroupManager : public CObject {
  DECLARE_DYNCREATE(CQVGroupManager)
public:
  // Reads the file; FALSE when there is none yet (the first change makes it).
  BOOL SetFilename(LPCWSTR path);
  void FindGroups(BOOL force);
  int GetGroupCount();
  BOOL GetGroupName(int index, CString& name);

  static BOOL CheckName(LPCWSTR name);
  static BOOL NormalizeName(CString& name);

  int FindGroup(LPCWSTR name);
  // The group's index; a group of that name already there keeps its members and description.
  // -1 for an invalid name or a failed save.
  int AddGroup(LPCWSTR name);
  void DeleteGroup(int index);
  void DeleteGroup(LPCWSTR name);
  void DeleteAllGroups();
  // FALSE for a text with a line break.
  BOOL SetDescription(int index, LPCWSTR text);
  BOOL GetDescription(int index, CString& text);

  BOOL FindUserInGroup(LPCWSTR user, LPCWSTR group);
  // FALSE when the user is a member already or the name is not a valid user name; a missing
  // group is made.
  BOOL AddUserToGroup(LPCWSTR user, LPCWSTR group);
  // The group is written anew at the end of the file without the user.
  void RemoveUserFromGroup(LPCWSTR user, LPCWSTR group);
  void RemoveUserFromAllGroups(LPCWSTR user);
  // Every group keeps its description and loses its members.
  void RemoveAllUsers();

private:
  void Members(const CString& group, std::vector<CString>& members);
  // Writes the group anew at the end of the file with the members, in one save.
  BOOL Rebuild(const CString& group, const std::vector<CString>& members);

  CDPXScriptFile m_file;
  std::vector<CString> m_groups;
};
