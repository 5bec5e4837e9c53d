#pragma once
// Index data of a batch or document: for each index field of its job a value, where the value came
// from and how certain it is. CQVBDEIndexItemList keeps the items in insertion order; names are
// found without regard to case, the first item of a name winning.

#include "foundation/util/CDPXObList.h"
#include "platform/core/CString.h"

class CQVBDEIndexItem : public CObject {
  DECLARE_DYNCREATE(CQVBDEIndexItem)
public:
  enum { sourceManual = 0, sourceSystem = 1, sourceOCR = 2, sourceBarcode = 3 };
  enum { accuracyCertain = 10000 };

  // Empties the value, source Manual, accuracy certain; the name stays.
  void ResetIndexValue();

  CString m_strName;
  CString m_strValue;  // lines separated by CR LF
  int m_nSource { sourceManual };
  int m_nAccuracy { accuracyCertain };  // 0 to 10000
};

class CQVBDEIndexItemList : public CObject {
  DECLARE_DYNCREATE(CQVBDEIndexItemList)
public:
  int GetCount() const { return m_items.GetCount(); }
  // Null out of range.
  CQVBDEIndexItem* GetItem(int index) const;
  CQVBDEIndexItem* GetItem(LPCWSTR name) const;
  // The index of the first item of that name, -1 when none.
  int FindItem(LPCWSTR name) const;
  // Updates the first item of that name (its stored name stays as written) or appends one. FALSE
  // only when an item cannot be made.
  BOOL SetIndex(LPCWSTR name, LPCWSTR value, int source, int accuracy);
  BOOL GetIndex(LPCWSTR name, CString& value, int& source, int& accuracy) const;
  BOOL GetIndex(int index, CString& name, CString& value, int& source, int& accuracy) const;
  void DeleteAllIndexValues() { m_items.RemoveAll(); }
  void DeleteIndexValue(LPCWSTR name);

private:
  CDPXObList m_items;
};
