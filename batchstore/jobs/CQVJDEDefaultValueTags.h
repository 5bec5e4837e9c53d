#pragma once
// The tags a capturing program offers to default-value expressions: each a name, a text and/or a
// date and time, and how certain it is (0 to 10000, 10000 = certain). Names are trimmed, not empty
// and unique without regard to case; date and time parts are -1 when not given.

#include "foundation/util/CDPXObList.h"
#include "platform/core/CString.h"

class __CQVJDEDefaultValueTag : public CObject {
  DECLARE_DYNCREATE(__CQVJDEDefaultValueTag)
public:
  CString m_strName;
  int m_nAccuracy { 0 };
  CString m_strValue;
  int m_nYear { -1 };
  int m_nMonth { -1 };
  int m_nDay { -1 };
  int m_nHour { -1 };
  int m_nMinute { -1 };
  int m_nSecond { -1 };
};

class CQVJDEDefaultValueTags : public CObject {
  DECLARE_DYNCREATE(CQVJDEDefaultValueTags)
public:
  // Replaces a tag of the same name, the new one going to the end. FALSE for an empty name.
  BOOL SetTag(LPCWSTR name, LPCWSTR value, int year, int month, int day, int hour, int minute, int second, int accuracy);
  BOOL SetTag(LPCWSTR name, LPCWSTR value, int accuracy) { return SetTag(name, value, -1, -1, -1, -1, -1, -1, accuracy); }
  BOOL SetTag(LPCWSTR name, int year, int month, int day, int hour, int minute, int second, int accuracy) {
    return SetTag(name, u"", year, month, day, hour, minute, second, accuracy);
  }
  BOOL GetTag(LPCWSTR name, CString& value, int& year, int& month, int& day, int& hour, int& minute, int& second,
              int& accuracy) const;
  BOOL GetTag(int index, CString& name, CString& value, int& year, int& month, int& day, int& hour, int& minute,
              int& second, int& accuracy) const;
  POSITION FindTag(LPCWSTR name) const;
  // The tag of that name, or null.
  const __CQVJDEDefaultValueTag* Find(LPCWSTR name) const;
  void DeleteTag(LPCWSTR name);
  int GetTagCount() const { return m_tags.GetCount(); }
  void DeleteAllTags() { m_tags.RemoveAll(); }

private:
  CDPXObList m_tags;
};
