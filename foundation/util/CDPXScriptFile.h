#pragma once
// CDPXScriptFile: a script (profile) file held as its parsed lines in file order. Typed reads
// find a key by section and key; edits change lines in place, so that saving writes the file back
// with its comments, free text and order, and only the edited lines changed.
//
// Section names and keys compare without regard to case. Names and keys a caller gives are
// trimmed first; those in the file are used as written, so a header "[ S ]" is never found as "S".
// The section arguments are a pair: with `useCurrentSection` TRUE the current section is taken,
// otherwise `section` (null: the section with the empty name).
//
// The file is read in any of the text encodings (by its byte-order mark; a file without one as
// UTF-8 when it is valid UTF-8, else as Windows-1252) and saved as UTF-8 with a byte-order mark,
// lines ending in CR LF. Saving replaces the file as a whole, so a failed save leaves the file that
// was there. With auto-save (on by default) every edit saves the file to its path at once.
//
// Edits that would not read back as written are refused: keys, values, section names and lines
// holding a line break, keys that would not parse as keys (holding '=' or a quote, or starting with
// '[' or ';'), and lines that would be written back empty.

#include "foundation/util/CDPXScriptItem.h"

class CDPXScriptFile : public CObject {
  DECLARE_DYNCREATE(CDPXScriptFile)
public:
  // Stores the path, then loads the file. On failure the path stays stored and the lines empty,
  // so that the first edit of a file that is missing creates it.
  BOOL Open(LPCWSTR path);
  // Loads the file at `path` (null: the stored path) without changing the stored path.
  BOOL Load(LPCWSTR path = nullptr);
  // Saves to `path` (null: the stored path) without changing the stored path. Blank lines are
  // removed first as the settings of RemoveBlankLines say, for good.
  BOOL Save(LPCWSTR path = nullptr);
  CString GetPath() const { return m_strPath; }

  void SetAutoSave(BOOL autoSave) { m_bAutoSave = autoSave; }
  BOOL GetAutoSave() const { return m_bAutoSave; }

  // The queries fill `list` with a view of the file's lines (valid while the lines are unchanged):
  // one header per section name (its first one), the key lines of a section, the key lines of a
  // section with one key, and the free text lines of a section, each in file order.
  BOOL GetSections(CDPXScriptItemList& list);
  BOOL GetKeys(LPCWSTR section, CDPXScriptItemList& list);
  BOOL GetKeyItems(LPCWSTR section, LPCWSTR key, CDPXScriptItemList& list);
  BOOL GetLines(LPCWSTR section, CDPXScriptItemList& list);

  void SetCurrentSection(LPCWSTR section);
  CString GetCurrentSection() const { return m_strCurrentSection; }

  // Removes blank lines (never comments) from the lines: all of them, or those at the start and
  // those at the end. Saving does this first, by default at the start and the end.
  void RemoveBlankLines(BOOL all, BOOL leading, BOOL trailing);

  // The value of the first key line of the key in the section. FALSE, with the value emptied, when
  // there is none; a blank key answers FALSE and leaves the value alone.
  BOOL GetString(LPCWSTR key, CString& value, BOOL useCurrentSection = TRUE, LPCWSTR section = nullptr);
  // The value read as a decimal number (leading blanks and a sign allowed, text after the number
  // ignored); 0 and FALSE when missing or not a number. GetUInt gives 0 for a negative number.
  BOOL GetInt(LPCWSTR key, int& value, BOOL useCurrentSection = TRUE, LPCWSTR section = nullptr);
  BOOL GetUInt(LPCWSTR key, int& value, BOOL useCurrentSection = TRUE, LPCWSTR section = nullptr);
  // TRUE whenever the key exists. The value is TRUE for the numbers 1 and -1 and the words TRUE,
  // YES, T and Y (any case); FALSE for every other number or text.
  BOOL GetBool(LPCWSTR key, BOOL& value, BOOL useCurrentSection = TRUE, LPCWSTR section = nullptr);

  // Rewrites the first key line of the key in the section as "key = value", else adds the line
  // after the section's last header or key line, else appends the section with the line at the
  // end. FALSE for a refused key or value, or when the auto-save fails.
  BOOL SetString(LPCWSTR key, LPCWSTR value, BOOL useCurrentSection = TRUE, LPCWSTR section = nullptr);
  BOOL SetInt(LPCWSTR key, int value, BOOL useCurrentSection = TRUE, LPCWSTR section = nullptr);
  // A negative value is written as 0.
  BOOL SetUInt(LPCWSTR key, int value, BOOL useCurrentSection = TRUE, LPCWSTR section = nullptr);
  // Writes 1 for any non-zero value, else 0.
  BOOL SetBool(LPCWSTR key, BOOL value, BOOL useCurrentSection = TRUE, LPCWSTR section = nullptr);
  // Adds a line, parsed like a line of the file, after the section's last header, key or free text
  // line; a missing section is appended with the line at the end.
  BOOL AddLine(LPCWSTR text, BOOL useCurrentSection = TRUE, LPCWSTR section = nullptr);
  // Removes the section's headers, key lines and free text; blank lines and comments stay. Saves
  // (when auto-save is on) also when nothing was removed; FALSE when that save fails.
  BOOL DeleteSection(BOOL useCurrentSection = TRUE, LPCWSTR section = nullptr);

private:
  CString SectionOf(BOOL useCurrentSection, LPCWSTR section) const;
  CDPXScriptItem* ItemAt(POSITION pos) const;
  // The first key line of the key in the section, or null.
  CDPXScriptItem* FindEntry(const CString& section, const CString& key) const;
  // Puts the line after the section's last header or key line (or free text line, when it counts),
  // or, when the section has no header or key line, appends a header and the line at the end.
  BOOL InsertIntoSection(const CString& section, const CString& line, BOOL countFreeText);
  BOOL AutoSave();

  CString m_strPath;
  BOOL m_bAutoSave { TRUE };
  BOOL m_bRemoveAllBlankLines { FALSE };
  BOOL m_bRemoveLeadingBlankLines { TRUE };
  BOOL m_bRemoveTrailingBlankLines { TRUE };
  CDPXScriptItemList m_items;
  CString m_strCurrentSection;
  // Set when a load failed while a file was there: auto-save holds back from replacing a file it
  // could not read until a load or save succeeds.
  BOOL m_bHoldAutoSave { FALSE };
};
