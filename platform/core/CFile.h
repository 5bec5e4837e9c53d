#pragma once
// CFile: a binary file over a POSIX file descriptor, with the MFC file's flags, exceptions and
// members.
//
// - Paths are resolved as described in paths.h, so an existing file is found whatever the case
//   of its name.
// - Share modes are accepted and ignored: POSIX has no share modes. Where exclusion matters the
//   system uses lock files with OFD locks on m_hFile, and files that hold data are replaced
//   through CAtomicFile instead of being rewritten in place, so readers never see half a file.
// - New files get mode 0666 less the umask. Descriptors are never inherited by child processes
//   (O_CLOEXEC), with or without modeNoInherit.
// - Opening a folder fails (access denied), as it does on Windows.
// - Read, Write, Seek, SetLength, Flush and Close report failures by throwing CFileException*,
//   whose m_lOsError is the errno value; Open answers FALSE and fills the optional exception.

#include "platform/core/CException.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <ctime>

struct CFileStatus {
  time_t m_mtime { 0 };    // last modification, seconds since 1970 (UTC)
  ULONGLONG m_size { 0 };  // bytes; 0 for a folder
  BYTE m_attribute { 0 };  // CFile::Attribute bits
  CString m_szFullName;    // absolute path
};

class CFile : public CObject {
  DECLARE_DYNAMIC(CFile)
public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };
  enum Attribute : BYTE { normal = 0x00, readOnly = 0x01, hidden = 0x02, system = 0x04, volume = 0x08, directory = 0x10, archive = 0x20 };
  enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };
  static constexpr int hFileNull = -1;

  CFile() = default;
  // Opens the file or throws CFileException*.
  CFile(LPCWSTR path, UINT openFlags);
  // Closes an open file without reporting errors; call Close to learn of them.
  ~CFile() override;

  virtual BOOL Open(LPCWSTR path, UINT openFlags, CFileException* error = nullptr);
  // Closes the file; a failure of the system's close (data that could not be written back) is
  // thrown. The file is closed either way.
  virtual void Close();
  // Closes the file and ignores every error; never throws.
  virtual void Abort();

  // Reads until `count` bytes or the end of the file; answers the bytes read.
  virtual UINT Read(void* buffer, UINT count);
  // Writes all `count` bytes or throws.
  virtual void Write(const void* buffer, UINT count);
  virtual ULONGLONG Seek(LONGLONG offset, UINT from);
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  virtual ULONGLONG GetPosition() const;
  virtual ULONGLONG GetLength() const;
  virtual void SetLength(ULONGLONG length);
  // Writes the file's data through to the disk (fsync).
  virtual void Flush();

  // The absolute path of the open file, with the case of the name on disk.
  CString GetFilePath() const { return m_strFileName; }
  // The name with its extension, and without it.
  CString GetFileName() const;
  CString GetFileTitle() const;

  BOOL GetStatus(CFileStatus& status) const;
  static BOOL GetStatus(LPCWSTR path, CFileStatus& status);
  // Both throw CFileException* on failure. Rename does not replace an existing file.
  static void Remove(LPCWSTR path);
  static void Rename(LPCWSTR oldPath, LPCWSTR newPath);

  int m_hFile { hFileNull };

protected:
  // Throws the exception that stands for errno value `error` on this file.
  [[noreturn]] void ThrowErrno(int error) const;

  CString m_strFileName;
};
