#pragma once
// CDPXScriptItem: one line of a script (profile) file, parsed. CDPXScriptItemList: the lines of a
// file, or a view of some of them that a query of the file filled.
//
// A line is, after trimming white space at both ends:
//   empty or starting with ';'      a blank line or comment (its text kept as it stands)
//   '[' name ']' ...                a section header; the name runs to the last ']' and is not
//                                   trimmed; whatever follows that ']' is dropped
//   '[' without any ']'             an invalid line, written back as an empty line
//   key '=' value                   a key line, when the '=' is not the first character and the
//                                   key (trimmed) holds no quote character; the value is trimmed
//   anything else                   free text of the section
// Lines before the first header belong to the section with the empty name.

#include "foundation/util/CDPXObList.h"
#include "platform/core/CString.h"

class CDPXScriptItem : public CObject {
  DECLARE_DYNCREATE(CDPXScriptItem)
public:
  enum { typeInvalid = -1, typeText = 0, typeSection = 1, typeEntry = 2, typeLine = 3 };

  int GetType() const;
  // Each answers FALSE for a line of another type.
  BOOL GetText(CString& text) const;
  BOOL GetSection(CString& section) const;
  BOOL GetEntry(CString& key, CString& value, CString& section) const;
  BOOL GetKeyValue(CString& key, CString& value) const;
  BOOL GetKey(CString& key) const;
  BOOL GetValue(CString& value) const;
  BOOL GetLine(CString& text, CString& section) const;
  BOOL GetLine(CString& text) const;

  // The line as it is written back: "[name]", "key = value", or the text.
  void Format(CString& line) const;
  // Parses a line of the file that belongs to `currentSection` (the section a header opens for the
  // lines after it is the header's own name).
  void Parse(LPCWSTR line, LPCWSTR currentSection);

private:
  friend class CDPXScriptFile;

  int m_nType { typeInvalid };
  CString m_strSection;  // a header's name; the section of a key line or free text
  CString m_strKey;
  CString m_strValue;  // a key line's value; the text of a comment or free text
};

class CDPXScriptItemList : public CDPXObList {
  DECLARE_DYNCREATE(CDPXScriptItemList)
public:
  // TRUE for a file's own lines; FALSE for a view that a query filled, whose entries belong to
  // the file and stay valid only while its lines are not changed.
  BOOL OwnsItems() const { return m_bOwnsItems; }

private:
  friend class CDPXScriptFile;

  BOOL m_bOwnsItems { TRUE };
};
