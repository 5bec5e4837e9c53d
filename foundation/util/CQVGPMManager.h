#pragma once
// The ID store: named entries under one root folder, each a file or a folder (one kind per
// store). It checks names, lists, creates and deletes entries, and opens them for editing through
// a temporary working copy that is copied back on closing. Writers of one entry exclude each other
// across processes through the entry's lock file ("<entry>.lck", beside it).
//
// An entry is never lost: closing puts the edited copy in place of the entry as a whole (a file
// is replaced by rename; a folder is built beside the entry and swapped in), and a copy back that
// fails leaves the entry as it was. Names are found on disk without regard to case, and an
// entry's lock file is named after its spelling on disk, so "Layout1" and "layout1" share one
// lock.

#include "foundation/util/CDPXStringList.h"
#include "foundation/util/CQVGPMIO.h"

class CQVGPMManager : public CObject {
  DECLARE_DYNAMIC(CQVGPMManager)
public:
  enum { kindFile = 1, kindFolder = 2 };

  // Any kind other than kindFile and kindFolder makes every operation fail.
  explicit CQVGPMManager(int kind);

  void SetRootDir(LPCWSTR path) { m_strRoot = path; }
  void GetRootDir(CString& path) const { path = m_strRoot; }

  virtual BOOL IDExist(LPCWSTR name);
  virtual int MaximumLength();
  // A name, trimmed, of 1 to MaximumLength characters without any of \/:.()[]{}*?%&+-<>, '|',
  // '"' or a control character.
  virtual BOOL CheckID(LPCWSTR name);
  // Trims the name in place, then CheckID.
  virtual BOOL NormalizeID(CString& name);
  // The IDs under the root, in the order of the folder listing: entries of this store's kind whose
  // names are IDs with the store's extension (so never a lock file), each passed by OnFindID.
  virtual BOOL FindIDs(CDPXStringList& list, BOOL includeEmpty);
  // Whether a found entry is listed: always with includeEmpty, otherwise when it is not empty.
  virtual BOOL OnFindID(LPCWSTR title, LPCWSTR path, BOOL includeEmpty);

  // Makes an empty entry; FALSE when the name is taken (in any case) or another writer holds it.
  BOOL Create(LPCWSTR name);
  // TRUE when the entry is gone afterwards; FALSE for an invalid name or a lock held elsewhere.
  BOOL Delete(LPCWSTR name);
  BOOL DeleteAll();

  // Copies the entry into a new working copy for `io`, locking it unless readOnly, and runs the
  // record's OnOpen. A missing folder entry gives an empty working folder; a missing file fails.
  BOOL Open(LPCWSTR name, CQVGPMIO* io, BOOL readOnly);
  // Runs the record's OnClose, copies the working copy back (unless it was opened read-only),
  // deletes it and releases the lock. The record's own ID is used when the name is null or
  // invalid; a valid name of another ID fails and leaves the record open.
  BOOL Close(LPCWSTR name, CQVGPMIO* io);
  // As Close, without copying back.
  BOOL Discard(LPCWSTR name, CQVGPMIO* io);

  // Lists the non-empty IDs, sorted; the count.
  int IDList_Refresh();
  int IDList_GetCount() const { return m_list.GetCount(); }
  BOOL IDList_Get(int index, CString& name) const;

  // Removes a working copy, file or folder.
  static void DeleteWorkingPath(LPCWSTR path);

protected:
  // A new, empty temporary file; FALSE and an empty path on failure.
  static BOOL CreateWorkingPath(CString& path);
  // The entry's path: root + name (+ "." + extension), with the spelling on disk where an entry
  // of that name exists in another case. FALSE for an invalid name.
  BOOL GetFullPath(LPCWSTR name, CString& path);
  BOOL IsEmpty(LPCWSTR path);
  BOOL CopyToWorkingPath(LPCWSTR name, LPCWSTR workingPath);
  BOOL CopyFromWorkingPath(LPCWSTR name, LPCWSTR workingPath);

  virtual BOOL __IDExist_File(LPCWSTR name);
  virtual BOOL __IDExist_Folder(LPCWSTR name);
  virtual BOOL __FindIDs_File(CDPXStringList& list, BOOL includeEmpty);
  virtual BOOL __FindIDs_Folder(CDPXStringList& list, BOOL includeEmpty);
  virtual BOOL __Create_File(LPCWSTR name);
  virtual BOOL __Create_Folder(LPCWSTR name);
  virtual BOOL __Delete_File(LPCWSTR name);
  virtual BOOL __Delete_Folder(LPCWSTR name);
  virtual BOOL __Open_File(LPCWSTR name, CQVGPMIO* io, BOOL readOnly);
  virtual BOOL __Open_Folder(LPCWSTR name, CQVGPMIO* io, BOOL readOnly);
  virtual BOOL __Close_File(LPCWSTR name, CQVGPMIO* io);
  virtual BOOL __Close_Folder(LPCWSTR name, CQVGPMIO* io);
  virtual BOOL __Discard_File(LPCWSTR name, CQVGPMIO* io);
  virtual BOOL __Discard_Folder(LPCWSTR name, CQVGPMIO* io);

  BOOL __Open_xxxx(LPCWSTR name, CQVGPMIO* io, BOOL readOnly);
  BOOL __Close_xxxx(LPCWSTR name, CQVGPMIO* io, BOOL discard);

  // Set by derived classes; without a dot.
  CString m_strExtension;

private:
  BOOL IsKnownKind() const { return m_nKind == kindFile || m_nKind == kindFolder; }
  BOOL FindEntries(CDPXStringList& list, BOOL includeEmpty, BOOL folders);
  BOOL CreateEntry(LPCWSTR name, BOOL folder);
  BOOL DeleteEntry(LPCWSTR name, BOOL folder);
  // The trimmed extension with its dot, or empty.
  CString DottedExtension() const;
  BOOL CopyFromWorkingFile(LPCWSTR entry, LPCWSTR workingPath);
  BOOL CopyFromWorkingFolder(LPCWSTR entry, LPCWSTR workingPath);

  int m_nKind;
  CString m_strRoot;
  CDPXStringList m_list;
};
