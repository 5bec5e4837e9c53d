#pragma once
// Feature rights: which users and which groups may use each feature of the capture programs,
// kept in "features.info" in the workgroup's Users folder: a section per feature with
// "User = name" and "Group = name" lines. Saving replaces the file as a whole.
//
// Feature names compare exactly; user names without regard to case, as logging on does, so that
// a right granted to "Anna" is anna's.

#include "foundation/util/CDPXStringList.h"
#include "foundation/util/CDPXScriptFile.h"

#include <memory>
#include <vector>

class CQVGroupManager;

class CQVFeatureItem : public CObject {
  DECLARE_DYNCREATE(CQVFeatureItem)
public:
  CQVFeatureItem();

  void GetFeatureName(CString& name) const { name = m_strFeatureName; }
  void SetFeatureName(LPCWSTR name) { m_strFeatureName = name ? name : u""; }
  // FALSE when the name is listed already (exact comparison) or holds a line break.
  BOOL AddUser(LPCWSTR name) { return AddTo(m_users, name); }
  BOOL AddGroup(LPCWSTR name) { return AddTo(m_groups, name); }
  void RemoveUser(LPCWSTR name) { RemoveFrom(m_users, name); }
  void RemoveGroup(LPCWSTR name) { RemoveFrom(m_groups, name); }
  void RemoveAllUsers() { m_users.RemoveAll(); }
  void RemoveAllGroups() { m_groups.RemoveAll(); }
  BOOL FindUser(LPCWSTR name) { return m_users.Find(name) != nullptr; }
  BOOL FindGroup(LPCWSTR name) { return m_groups.Find(name) != nullptr; }
  void GetUsers(CDPXStringList& list) const { Copy(m_users, list); }
  void GetGroups(CDPXStringList& list) const { Copy(m_groups, list); }
  void SetUsers(const CDPXStringList& list) { Copy(list, m_users); }
  void SetGroups(const CDPXStringList& list) { Copy(list, m_groups); }
  // TRUE when the user is a member of one of the listed groups.
  BOOL InUserWithinGoups(LPCWSTR user, CQVGroupManager* groups);
  // TRUE when one of the listed users is the user, without regard to case.
  BOOL HasUser(LPCWSTR user) const;

  // FALSE for an empty feature name, or a name that would not read back as one.
  BOOL ToScript(CString& text);
  BOOL FromScript(CDPXScriptFile& file);

private:
  static BOOL AddTo(CDPXStringList& list, LPCWSTR name);
  static void RemoveFrom(CDPXStringList& list, LPCWSTR name);
  static void Copy(const CDPXStringList& from, CDPXStringList& to);

  CDPXStringList m_users;
  CDPXStringList m_groups;
  CString m_strFeatureName;
};

class CQVFeatureManager : public CObject {
  DECLARE_DYNCREATE(CQVFeatureManager)
public:
  // The workgroup's Users folder and "features.info". The workgroup folder belongs to the
  // application layer; without one this answers FALSE.
  virtual BOOL GetFeatureFilename(CString& path);

  int GetCount() const { return static_cast<int>(m_items.size()); }
  CQVFeatureItem* Get(int index) const;
  CQVFeatureItem* Get(LPCWSTR name) const { return Get(Find(name)); }
  int Find(LPCWSTR name) const;
  CQVFeatureItem* Add(int& index);
  void Delete(int index);
  void DeleteAll() { m_items.clear(); }
  BOOL Load();
  BOOL Save();
  void SetGroupManager(CQVGroupManager* manager) { m_pGroupManager = manager; }
  BOOL IsUserHasFeature(LPCWSTR user, LPCWSTR feature);

private:
  std::vector<std::unique_ptr<CQVFeatureItem>> m_items;
  BOOL m_bLoaded { FALSE };
  CQVGroupManager* m_pGroupManager { nullptr };
};
