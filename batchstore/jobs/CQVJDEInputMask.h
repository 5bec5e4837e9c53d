#pragma once
// Internal to the job definitions: parsed input masks. Callers use CQVJDEHelper.
//
// A mask is a row of elements, each taking a fixed or (only the last) a variable number of
// characters of the input; there is no backtracking. A date/time element holds a sub-mask of
// letter runs (yyyy, MM, dd ...) and quoted literals.

#include "foundation/util/CDPXObList.h"
#include "platform/core/CString.h"

class __CQVJDEInputMaskTimeItem : public CObject {
  DECLARE_DYNCREATE(__CQVJDEInputMaskTimeItem)
public:
  enum {
    kindYear4 = 1, kindYear2, kindMonth, kindDay, kindDayOfYear, kindHour24, kindHour12, kindMinute, kindSecond,
    kindMarkerTT, kindMarkerT, kindMarkertt, kindMarkert, kindLiteral
  };
  int GetWidth() const;

  int m_nKind { kindLiteral };
  CString m_strText;
};

class __CQVJDEInputMaskTimeItemList : public CDPXObList {
  DECLARE_DYNCREATE(__CQVJDEInputMaskTimeItemList)
public:
  // 0 or a code; the list is empty after an error.
  static int Parse(LPCWSTR mask, __CQVJDEInputMaskTimeItemList& list);
  static int Validate(const __CQVJDEInputMaskTimeItemList& list, const CString& text, int& year, int& month, int& day,
                      int& hour, int& minute, int& second);
  int GetWidth() const;
  __CQVJDEInputMaskTimeItem* Item(int index) const {
    return static_cast<__CQVJDEInputMaskTimeItem*>(GetAtIndex(index));
  }
};

class __CQVJDEInputMaskItem : public CObject {
  DECLARE_DYNCREATE(__CQVJDEInputMaskItem)
public:
  enum { kindRun = 1, kindInteger = 2, kindNumber = 3, kindTime = 4, kindLiteral = 5 };
  enum { boundNone = 0, boundInclusive = 1, boundExclusive = 2 };

  // The element's width, or -1 when it takes a variable number of characters.
  int GetFixedWidth() const;
  // The largest number of characters the element takes; -1 without a limit.
  long long GetMaxWidth() const;
  int Validate(const CString& text, int& year, int& month, int& day, int& hour, int& minute, int& second) const;

  int m_nKind { kindLiteral };
  int m_nClass { 0 };
  int m_nMinLength { 0 };
  int m_nMaxLength { 0 };
  int m_nLowerKind { boundNone };
  int m_nUpperKind { boundNone };
  double m_dLower { 0 };
  double m_dUpper { 0 };
  __CQVJDEInputMaskTimeItemList m_time;
  CString m_strText;
};

class __CQVJDEInputMaskItemList : public CDPXObList {
  DECLARE_DYNCREATE(__CQVJDEInputMaskItemList)
public:
  // 0 or a code; the list is empty after an error.
  static int Parse(LPCWSTR mask, __CQVJDEInputMaskItemList& list);
  // 0 or a code; the six parts are -1 unless a date/time element read them.
  static int Validate(const __CQVJDEInputMaskItemList& list, const CString& text, int& year, int& month, int& day,
                      int& hour, int& minute, int& second);
  // The sum of the elements' largest widths; -1 when one has no limit or the mask does not parse.
  static int GetMaxTextLength(LPCWSTR mask);
  __CQVJDEInputMaskItem* Item(int index) const { return static_cast<__CQVJDEInputMaskItem*>(GetAtIndex(index)); }
};
