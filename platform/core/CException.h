#pragma once
// The MFC exception family: exceptions are made with new, thrown as pointers and released by the
// catcher with Delete():
//
//   try { ... } catch (CException* e) { e->Delete(); return FALSE; }

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CException : public CObject {
  DECLARE_DYNAMIC(CException)
public:
  explicit CException(BOOL autoDelete = TRUE) : m_bAutoDelete(autoDelete) {}
  // Frees a heap exception; one made with autoDelete FALSE (on the stack) is left alone.
  void Delete();
  // Writes a description into `message` (at most maxLength units with the terminator).
  virtual BOOL GetErrorMessage(LPWSTR message, UINT maxLength, UINT* helpContext = nullptr) const;

  BOOL m_bAutoDelete;
};

class CMemoryException : public CException {
  DECLARE_DYNAMIC(CMemoryException)
};

class CNotSupportedException : public CException {
  DECLARE_DYNAMIC(CNotSupportedException)
};

class CFileException : public CException {
  DECLARE_DYNAMIC(CFileException)
public:
  enum {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  explicit CFileException(int cause = none, LONG osError = -1, LPCWSTR fileName = nullptr)
      : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}
  BOOL GetErrorMessage(LPWSTR message, UINT maxLength, UINT* helpContext = nullptr) const override;
  // The cause that stands for a POSIX errno value.
  static int CauseFromErrno(int errnoValue);

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, LPCWSTR fileName = nullptr);
