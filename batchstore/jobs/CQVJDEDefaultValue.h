#pragma once
// Internal to the job definitions: parsed default-value expressions. Callers use CQVJDEHelper.
//
// An expression is a row of alternatives separated by "or"; an alternative is a row of quoted
// literals and tag references (_Name_, optionally followed by {output mask}). The first
// alternative that gives a text that is not blank wins.

#include "batchstore/jobs/CQVJDEDefaultValueTags.h"

class __CQVJDEDefaultValueItem : public CObject {
  DECLARE_DYNCREATE(__CQVJDEDefaultValueItem)
public:
  enum { kindTag = 1, kindLiteral = 2 };
  int m_nKind { kindLiteral };
  CString m_strText;  // the tag's name or the literal
  CString m_strMask;  // the output mask written after a tag
};

class __CQVJDEDefaultValueItemList : public CDPXObList {
  DECLARE_DYNCREATE(__CQVJDEDefaultValueItemList)
public:
  __CQVJDEDefaultValueItem* Item(int index) const {
    return static_cast<__CQVJDEDefaultValueItem*>(GetAtIndex(index));
  }
};

class __CQVJDEDefaultValueOptionList : public CDPXObList {
  DECLARE_DYNCREATE(__CQVJDEDefaultValueOptionList)
public:
  // 0 or a code; the list is empty after an error.
  static int Parse(LPCWSTR expression, __CQVJDEDefaultValueOptionList& list);
  // 0, or 30102 when a tag reference names no tag.
  static int CheckTags(const __CQVJDEDefaultValueOptionList& list, const CQVJDEDefaultValueTags& tags);
  // Always 0; no alternative that qualifies gives an empty value and accuracy 0.
  static int Evaluate(const __CQVJDEDefaultValueOptionList& list, const CQVJDEDefaultValueTags& tags, CString& value,
                      int& accuracy, BOOL strict);
  __CQVJDEDefaultValueItemList* Option(int index) const {
    return static_cast<__CQVJDEDefaultValueItemList*>(GetAtIndex(index));
  }
};
