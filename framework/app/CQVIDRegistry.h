#pragma once
// CQVIDRegistry: the symbolic names of the application's command IDs. A name is the stem of the
// command's text keys (menu text and icons, item texts, tool tips) and what hot-key scripts call
// the command. The application object owns one, made from a run-time class the application
// chooses, and registers every command at start-up.
//
// Entries keep their registration order and every lookup takes the first match. An ID is
// registered at most once; several IDs may share a name. Names are kept as given and found
// without regard to case.

#include "foundation/util/CDPXObList.h"
#include "platform/core/CString.h"

// One command ID and its name.
class __CQVIDRegistryItem : public CObject {
  DECLARE_DYNCREATE(__CQVIDRegistryItem)
public:
  UINT m_nID { 0 };
  CString m_strName;
};

class CQVIDRegistry : public CObject {
  DECLARE_DYNCREATE(CQVIDRegistry)
public:
  // FALSE when the ID is 0, the name is null or the ID is registered already (its first name
  // stays); otherwise the pair is added after the others.
  BOOL Register(UINT id, LPCWSTR name);
  // Nothing when the ID is not registered.
  void Unregister(UINT id);
  // The ID of the first command with the name, any case; 0 and FALSE when there is none.
  BOOL Find(LPCWSTR name, UINT& id) const;
  // The name of the ID; empty and FALSE when the ID is not registered.
  BOOL Find(UINT id, CString& name) const;

protected:
  // The position of the first entry with the name (any case) or the ID, or null.
  POSITION FindItem(LPCWSTR name) const;
  POSITION FindItem(UINT id) const;

private:
  CDPXObList m_items;
};
