#pragma once
// Index fields of a job: how a value is entered, checked, pre-filled and shown, and the list of
// fields that the files "batch.indexfields" and "doc.<type>.indexfields" hold.

#include "batchstore/jobs/CQVJDECommonItem.h"
#include "foundation/util/CDPXStringList.h"

class CQVJDEDefaultValueTags;

// One character substitution of a field: `from` typed becomes `to`.
class __CQVJDEIndexFieldSubstitutionItem : public CObject {
  DECLARE_DYNCREATE(__CQVJDEIndexFieldSubstitutionItem)
public:
  WCHAR m_cFrom { 0 };
  WCHAR m_cTo { 0 };
};

class CQVJDEIndexFieldItem : public CQVJDECommonItem {
  DECLARE_DYNCREATE(CQVJDEIndexFieldItem)
public:
  enum { typeUnknown = 0, typeText = 1, typeTextEx = 2, typeTime = 3, typeList = 4, typeAPI = 5 };

  BOOL ToScript(CString& text) override;
  BOOL FromScript(CDPXScriptFile& file) override;

  int GetType() const { return m_nType; }
  void SetType(int type) { m_nType = type; }
  BOOL IsHidden() const { return m_bHidden; }
  void SetHidden(BOOL hidden) { m_bHidden = hidden; }
  BOOL IsReadOnly() const { return m_bReadOnly; }
  void SetReadOnly(BOOL readOnly) { m_bReadOnly = readOnly; }

  // The capture region on the page; -1 in each corner when none is defined.
  void SetRegion(int x0, int y0, int x1, int y1);
  void SetRegionEmpty();
  BOOL IsRegionDefined() const { return m_bRegionDefined; }
  BOOL GetRegion(int& x0, int& y0, int& x1, int& y1) const;
  BOOL IsRegionOnFront() const { return m_bRegionOnFront; }
  void SetRegionSide(BOOL front) { m_bRegionOnFront = front; }

  // The pick list: texts kept as given and compared case-sensitively.
  int GetListItemCount() const { return m_listItems.GetCount(); }
  BOOL GetListItem(int index, CString& text) const { return m_listItems.GetAtIndex(index, text); }
  int FindListItem(LPCWSTR text);
  // TRUE when the text is there already or was appended.
  BOOL AddListItem(LPCWSTR text);
  void DeleteListItem(int index) { m_listItems.RemoveIndex(index); }
  void DeleteListItem(LPCWSTR text);
  void DeleteAllListItems() { m_listItems.RemoveAll(); }

  // Stored and returned trimmed.
  void SetInputMask(LPCWSTR mask) { Store(m_strInputMask, mask); }
  void GetInputMask(CString& mask) const { mask = m_strInputMask; }
  void SetSampleInput(LPCWSTR text) { Store(m_strSampleInput, text); }
  void GetSampleInput(CString& text) const { text = m_strSampleInput; }
  void SetDefaultValueExp(LPCWSTR expression) { Store(m_strDefaultValueExp, expression); }
  void GetDefaultValueExp(CString& expression) const { expression = m_strDefaultValueExp; }
  void SetOutputMask(LPCWSTR mask) { Store(m_strOutputMask, mask); }
  void GetOutputMask(CString& mask) const { mask = m_strOutputMask; }

  // The largest input length the input mask admits; -1 without a limit or for a faulty mask.
  int GetMaxTextLength() const;
  // 0 or the code of the check: a type outside 1..5 gives 2, TextEx takes everything, the others
  // take what the input mask admits (anything when there is no mask), and a List field only one of
  // its items. The date and time parts are those the mask read, -1 where absent.
  int ValidateInput(LPCWSTR text, int& year, int& month, int& day, int& hour, int& minute, int& second);
  int ValidateInput(LPCWSTR text);
  // The default value expression evaluated leniently.
  int GetDefaultValue(const CQVJDEDefaultValueTags& tags, CString& value, int& accuracy) const;
  // The output mask applied leniently.
  int FormatOutput(LPCWSTR value, int year, int month, int day, int hour, int minute, int second, CString& out) const;

  int GetSubstitutionItemCount() const { return m_substitutions.GetCount(); }
  BOOL GetSubstitutionItem(int index, WCHAR& from, WCHAR& to) const;
  int FindSubstitionItem(WCHAR from) const;
  // Replaces a pair with the same from-character; always TRUE.
  BOOL AddSubstitutionItem(WCHAR from, WCHAR to);
  void DeleteSubstitutionItem(int index);
  void DeleteSubstitutionItem(WCHAR from) { DeleteSubstitutionItem(FindSubstitionItem(from)); }
  void DeleteAllSubstitutionItems() { m_substitutions.RemoveAll(); }

private:
  static void Store(CString& field, LPCWSTR text);
  void ClearLists();

  int m_nType { typeUnknown };
  BOOL m_bHidden { FALSE };
  BOOL m_bReadOnly { FALSE };
  BOOL m_bRegionDefined { FALSE };
  int m_nRegionX0 { -1 };
  int m_nRegionY0 { -1 };
  int m_nRegionX1 { -1 };
  int m_nRegionY1 { -1 };
  BOOL m_bRegionOnFront { TRUE };
  CDPXStringList m_listItems;
  CString m_strInputMask;
  CString m_strSampleInput;
  CString m_strDefaultValueExp;
  CString m_strOutputMask;
  CDPXObList m_substitutions;
};

class CQVJDEIndexFieldItemList : public CQVJDECommonItemList {
  DECLARE_DYNCREATE(CQVJDEIndexFieldItemList)
public:
  CQVJDEIndexFieldItemList() : CQVJDECommonItemList(RUNTIME_CLASS(CQVJDEIndexFieldItem)) {}

  BOOL ToScript(CString& text) override { return List_Script(text, u"Field"); }
  BOOL FromScript(CDPXScriptFile& file) override { return Script_List(file, u"Field"); }
  CQVJDEIndexFieldItem* GetField(int index) const { return static_cast<CQVJDEIndexFieldItem*>(Get(index)); }

  // The file is replaced as a whole: a failed save leaves the one that was there.
  BOOL Save(LPCWSTR path);
  // A file that does not load leaves the list empty.
  BOOL Load(LPCWSTR path);
};
