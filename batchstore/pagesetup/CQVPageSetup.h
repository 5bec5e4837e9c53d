#pragma once
// The page setups of one folder, each kept as two files named by its ID: "<ID>.pagesetup", a
// profile with the record's sections (and a [Title] whose Title is a language-text key), and
// "<ID>.data", the record's data block byte for byte. Files are replaced as a whole when written.
//
// IDs are trimmed, 1 to 50 characters without any of \ / : . ( ) [ ] { } * ? % & + - < >, and
// compared without regard to case.

#include "batchstore/pagesetup/QVPageSetupInfo.h"

#include <vector>

class CQVPageSetup : public CObject {
  DECLARE_DYNCREATE(CQVPageSetup)
public:
  // Stores the trimmed folder and builds the list from its ".pagesetup" files.
  void SetRootDir(LPCWSTR dir);
  CString GetRootDir() const { return m_strRootDir; }

  static BOOL CheckID(LPCWSTR id);
  static BOOL NormalizeID(CString& id);

  int GetPageSetupCount() const { return static_cast<int>(m_ids.size()); }
  int FindPageSetup(LPCWSTR id) const;
  BOOL GetPageSetupID(int index, CString& id) const;
  // The language text that the page setup's title names, or its ID; FALSE only for a bad index.
  BOOL GetPageSetupName(int index, CString& name) const;
  BOOL GetPageSetupInfoFilename(int index, CString& path) const;
  BOOL GetPageSetupDataFilename(int index, CString& path) const;

  // The entry's index; an ID that is listed already keeps its files and answers its index. With
  // `sort` the list is sorted once. -1 for an invalid ID.
  int AddPageSetup(LPCWSTR id, BOOL sort);
  // Deletes the entry and its two files.
  void DeletePageSetup(int index);
  void DeleteAllPageSetups();

  // With `info` the record is read from the profile (its data block kept); with `data` its data
  // block is replaced by the data file's bytes, or null when there is none.
  BOOL GetPageSetupInfo(int index, QVPAGESETUP_INFO& record, BOOL info, BOOL data) const;
  // With `info` the record's keys are written into the profile, other keys and sections staying;
  // with `data` the data file holds the record's block, or is removed when it has none.
  BOOL SetPageSetupInfo(int index, const QVPAGESETUP_INFO& record, BOOL info, BOOL data) const;

protected:
  BOOL BuildPageSetupList();

private:
  BOOL FileName(int index, LPCWSTR extension, CString& path) const;
  void Sort();

  CString m_strRootDir;
  std::vector<CString> m_ids;
};
