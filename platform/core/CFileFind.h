#pragma once
// CFileFind: the entries of one folder that match a pattern, as FindFirstFileW finds them
// (fileapi.h: case-insensitive wildcards, sorted by name, "." and ".." included).
//
//   CFileFind find;
//   BOOL more = find.FindFile(folder + u"/*.*");
//   while (more) {
//     more = find.FindNextFile();
//     if (find.IsDots() || find.IsSymbolicLink()) continue;
//     ...
//   }
//
// FindNextFile moves to the next entry and answers whether one follows it, so it is called once
// before the first entry is read.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/fileapi.h"

#include <vector>

class CFileFind : public CObject {
  DECLARE_DYNAMIC(CFileFind)
public:
  CFileFind() = default;

  // A null pattern is "*.*" in the current folder. FALSE when nothing matches.
  BOOL FindFile(LPCWSTR pattern = nullptr, DWORD flags = 0);
  BOOL FindNextFile();
  void Close();

  CString GetFilePath() const;
  CString GetFileName() const;
  // The name without its extension.
  CString GetFileTitle() const;
  // The searched folder, absolute and ending with '/'.
  CString GetRoot() const { return m_root; }
  ULONGLONG GetLength() const;
  BOOL IsDots() const;
  BOOL IsDirectory() const { return HasAttribute(FILE_ATTRIBUTE_DIRECTORY); }
  BOOL IsReadOnly() const { return HasAttribute(FILE_ATTRIBUTE_READONLY); }
  BOOL IsHidden() const { return HasAttribute(FILE_ATTRIBUTE_HIDDEN); }
  // A symbolic link; IsDirectory tells whether it leads to a folder. Walkers do not descend.
  BOOL IsSymbolicLink() const { return HasAttribute(FILE_ATTRIBUTE_REPARSE_POINT); }

private:
  const WIN32_FIND_DATAW* Current() const;
  BOOL HasAttribute(DWORD attribute) const;

  CString m_root;
  std::vector<WIN32_FIND_DATAW> m_entries;
  size_t m_next { 0 };  // one past the current entry; 0 before FindNextFile
};
