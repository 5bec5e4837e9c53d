#pragma once
// Index data of a batch or document: for each index field of its job a value, where the value came
// from and how certain it is. CQVBDEIndexItemList keeps the items in insertion order; names are
// found without regard to case, the first item of a name winning. The job's index fields fill,
// trim and check the items.

#include "batchstore/jobs/CQVJDEDefaultValueTags.h"
#include "foundation/util/CDPXObList.h"
#include "platform/core/CString.h"

class CQVJDEIndexFieldItemList;

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

  // Keeps the items that name a field of the job's list (all go without a list), in their order.
  void Normalize(CQVJDEIndexFieldItemList* fields);
  // One item per named field, in field order, with the field's default value, source System and
  // its accuracy; a default that cannot be computed gives an empty value of accuracy 0.
  void InitializeWithDefaultValues(CQVJDEIndexFieldItemList* fields, const CQVJDEDefaultValueTags& tags);
  // Checks each named field's value (empty without an item) against the field. At the first
  // fault `errorCode` is its code and `errorIndex` the field's place in the list, and the answer
  // FALSE; TRUE with `errorCode` 0 otherwise (untouched without fields).
  BOOL Validate(CQVJDEIndexFieldItemList* fields, int& errorCode, int& errorIndex) const;

private:
  CDPXObList m_items;
};
