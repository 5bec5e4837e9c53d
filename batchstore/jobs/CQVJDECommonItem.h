#pragma once
// The base of the job definitions: an item with a name and a description, and a list that owns
// items of one run-time class and writes them as numbered script sections ("[Field #1]" ...).
//
// Names are trimmed, 1 to 20 characters, without the characters the name rule refuses, and are
// compared without regard to case. Descriptions are kept trimmed.

#include "foundation/util/CDPXObList.h"
#include "foundation/util/CDPXScriptFile.h"
#include "platform/core/CString.h"

class CQVJDECommonItem : public CObject {
  DECLARE_DYNCREATE(CQVJDECommonItem)
public:
  // The item's text as "key = value" lines, and the item read from the file's current section.
  // Here they do nothing and answer FALSE.
  virtual BOOL ToScript(CString& text);
  virtual BOOL FromScript(CDPXScriptFile& file);

  static BOOL CheckName(LPCWSTR name);
  // Trims the name in place, then checks it.
  static BOOL NormalizeName(CString& name);

  // The name is stored trimmed but not checked.
  void SetName(LPCWSTR name);
  void GetName(CString& name) const { name = m_strName; }
  BOOL CompareName(LPCWSTR name) const;
  void SetDescription(LPCWSTR text);
  void GetDescription(CString& text) const { text = m_strDescription; }

protected:
  // "Name = " and "Description = " lines; FALSE for a value that would not read back as one line.
  BOOL NameToScript(CString& text) const;
  // A required, valid "Name" and an optional "Description" from the current section.
  BOOL NameFromScript(CDPXScriptFile& file);

  CString m_strName;
  CString m_strDescription;
};

class CQVJDECommonItemList : public CQVJDECommonItem {
  DECLARE_DYNCREATE(CQVJDECommonItemList)
public:
  CQVJDECommonItemList() = default;
  explicit CQVJDECommonItemList(CRuntimeClass* elementClass) : m_pElementClass(elementClass) {}

  int GetCount() const { return m_items.GetCount(); }
  CQVJDECommonItem* Get(int index) const;
  CQVJDECommonItem* Get(LPCWSTR name) const { return Get(Find(name)); }
  int Find(LPCWSTR name) const;
  // A new element of the list's class at the end; null (index -1) without an element class.
  CQVJDECommonItem* Add(int& index);
  void Delete(int index);
  void DeleteAll() { m_items.RemoveAll(); }
  BOOL CanMove(int index, int delta) const;
  // The item's new index: -1 for an index out of range; the target is clamped to the list.
  int Move(int index, int delta);

protected:
  // Each item as a "[word #n]" section; FALSE, with the text empty, when an item fails.
  BOOL List_Script(CString& text, LPCWSTR word);
  // Every section whose name begins with the word becomes an item; items that do not read are
  // skipped.
  BOOL Script_List(CDPXScriptFile& file, LPCWSTR word);

private:
  CRuntimeClass* m_pElementClass { nullptr };
  CDPXObList m_items;
};

// A single-line value of a definition file: a line break in it would read back as further keys.
BOOL QVJDEIsOneLine(const CString& value);
// Appends "key = value" and CR LF; FALSE for a value with a line break.
BOOL QVJDEAppendKey(CString& text, LPCWSTR key, const CString& value);
// Writes a definition file (UTF-8 with byte-order mark) by replacing it as a whole.
BOOL QVJDEWriteScript(LPCWSTR path, const CString& text);
