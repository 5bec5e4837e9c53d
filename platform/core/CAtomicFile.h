#pragma once
// CAtomicFile: writes a file that holds data by replacing it as a whole.
//
// Open creates a new, empty temporary file in the target's folder; the caller writes it through
// the CFile members. Commit writes it through to the disk and renames it over the target, so
// that readers see either the old file or the complete new one and a failure at any step (a
// write, the flush, the close, the rename) leaves the old file as it was. Without Commit, Abort
// or the destructor delete the temporary file and nothing else.
//
//   CAtomicFile file;
//   if (!file.Open(path)) return FALSE;
//   try { file.Write(data, size); } catch (CException* e) { e->Delete(); return FALSE; }
//   return file.Commit();
//
// The new file keeps the permissions of the file it replaces (a new target gets 0666 less the
// umask); a read-only target is refused. A symbolic link at the target is replaced by the file,
// not followed. The temporary file is named ".<target name>.<8 hex digits>.tmp" and locked while
// it is open, so that the temporary files of writers that were killed are told from those still
// being written, and each replacement of a target deletes the ones its killed writers left.
//
// Writers that need a path rather than the open file (libraries that open files themselves) write
// to TemporaryPath() while the replacement is open and commit as usual.

#include "platform/core/CFile.h"

#include <string>

class CAtomicFile : public CFile {
  DECLARE_DYNAMIC(CAtomicFile)
public:
  CAtomicFile() = default;
  ~CAtomicFile() override;

  // Starts a replacement of `target`. The flags are ignored: the temporary file is always new,
  // empty and open for reading and writing. GetFilePath answers the target's path.
  BOOL Open(LPCWSTR target, UINT openFlags = modeReadWrite, CFileException* error = nullptr) override;
  // Puts the written file in place of the target. Refuses after a failed Write. On failure the
  // temporary file is deleted, the target is untouched and `error` tells why.
  BOOL Commit(CFileException* error = nullptr);
  // Commit, throwing its failure, so that code written for a CFile replaces its file whole.
  void Close() override;
  // Deletes the temporary file; the target is untouched. Never throws.
  void Abort() override;
  void Write(const void* buffer, UINT count) override;
  // The temporary file's native path while a replacement is open; empty otherwise.
  const std::string& TemporaryPath() const { return m_tempPath; }

private:
  BOOL Fail(int failure, CFileException* error);

  std::string m_tempPath;
  std::string m_targetPath;
  int m_writeFailure { 0 };
  int m_lockFile { -1 };  // holds the temporary file's lock
};
