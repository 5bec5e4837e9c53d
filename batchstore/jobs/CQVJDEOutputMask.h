#pragma once
// Internal to the job definitions: parsed output masks. Callers use CQVJDEHelper.
//
// An output mask is a row of elements whose pieces are appended in order: literals, character
// ranges of the value, the value read as a number and printed with width, decimals, grouping,
// sign and percent, and date and time parts printed from separately given parts. Numbers are
// printed with "." and "," whatever the process locale says.

#include "foundation/util/CDPXObList.h"
#include "platform/core/CString.h"

class __CQVJDEOutputMaskItem : public CObject {
  DECLARE_DYNCREATE(__CQVJDEOutputMaskItem)
public:
  enum { kindRange = 1, kindNumber = 2, kindTime = 3, kindLiteral = 4 };
  // The widest number element, so that no mask makes a text of gigabytes.
  enum { maxWidth = 65535 };

  int m_nKind { kindLiteral };
  int m_nStart { 0 };
  int m_nEnd { 0 };
  int m_nStyle { 0 };
  int m_nWidth { 0 };
  int m_nDecimals { -1 };
  WCHAR m_cFill { u' ' };
  int m_nTimeId { 0 };
  CString m_strText;
};

class __CQVJDEOutputMaskItemList : public CDPXObList {
  DECLARE_DYNCREATE(__CQVJDEOutputMaskItemList)
public:
  // 0 or a code; the list is empty after an error.
  static int Parse(LPCWSTR mask, __CQVJDEOutputMaskItemList& list);
  // Appends the elements' pieces to `out`; the first code ends the call.
  static int Format(const __CQVJDEOutputMaskItemList& list, const CString& value, int year, int month, int day,
                    int hour, int minute, int second, BOOL strictRange, BOOL strictNumber, BOOL strictDate,
                    CString& out);
  __CQVJDEOutputMaskItem* Item(int index) const { return static_cast<__CQVJDEOutputMaskItem*>(GetAtIndex(index)); }
};
