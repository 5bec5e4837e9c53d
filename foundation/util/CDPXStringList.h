#pragma once
// CDPXStringList: a list of texts that normalises every text on the way in (trimming, then case
// folding), may refuse empty texts and duplicates, and may keep itself sorted by plain code-unit
// comparison. Texts are compared case-sensitively after normalising.

#include "foundation/util/CDPXObList.h"
#include "platform/core/CString.h"

// One entry of a string list.
class __CDPXStringObject : public CObject {
  DECLARE_DYNCREATE(__CDPXStringObject)
public:
  CString m_strText;
};

class CDPXStringList : public CDPXObList {
  DECLARE_DYNCREATE(CDPXStringList)
public:
  enum { caseKeep = 0, caseLower = 1, caseUpper = 2 };
  enum { trimNone = 0, trimLeft = 1, trimRight = 2, trimBoth = 3 };

  // Plain comparison of the two entries' texts; an entry that is not a string counts as empty.
  int Compare(CObject* a, CObject* b) override;

  using CDPXObList::Find;
  using CDPXObList::GetAtIndex;
  using CDPXObList::GetNext;

  // Appends the normalised text (at its sorted place in a sorted list) as an owned entry. Null when
  // the text may not be stored or, in a unique list, is already there.
  POSITION Add(LPCWSTR text);
  // The first entry equal to the normalised text; null also when the text may not be stored.
  POSITION Find(LPCWSTR text);
  // The same from `start` (null or not ours: the head); `start` moves past the entry found.
  POSITION FindPosition(LPCWSTR text, POSITION& start);
  BOOL GetNext(POSITION& pos, CString& text) const;
  BOOL GetAtIndex(int index, CString& text) const;

  // Applies the trim mode, then the case mode. TRUE when the result may be stored.
  BOOL Normalize(LPCWSTR text, CString& normalized) const;

  // Each setter brings the present entries in line when `reapply` is TRUE.
  void SetCaseMode(int mode, BOOL reapply = FALSE);
  void SetTrimMode(int mode, BOOL reapply = FALSE);
  // Only the value 1 switches unique on.
  void SetUnique(BOOL unique, BOOL reapply = FALSE);
  // Any non-zero value allows empty texts.
  void SetAllowEmpty(BOOL allowEmpty, BOOL reapply = FALSE);
  // Normalises the present entries and drops those that may not be stored and, in a unique list,
  // later duplicates; a sorted list is sorted again.
  void Reapply();

private:
  static const CString* TextOf(CObject* object);

  int m_nCaseMode { caseKeep };
  int m_nTrimMode { trimNone };
  BOOL m_bUnique { FALSE };
  BOOL m_bAllowEmpty { TRUE };
};
