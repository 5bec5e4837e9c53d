#pragma once
// CArchive: a buffered stream of values stored into, or loaded from, a CFile.
//
// Layout of the values (the system's own; every field little-endian, no padding):
// - BYTE 1 byte; WORD and SHORT 2; int (LONG, BOOL), UINT (DWORD) and float 4; LONGLONG,
//   ULONGLONG and double 8. float and double are their IEEE 754 bits.
// - POINT and SIZE: two LONGs (x, y / cx, cy); RECT: four LONGs (left, top, right, bottom).
// - CString: a DWORD count of UTF-16 code units, then the units (2 bytes each). Units are
//   stored as they are, so surrogate pairs (and lone surrogates) come back unchanged.
// - Counts (WriteCount): a WORD below 0xFFFF; else 0xFFFF and a DWORD below 0xFFFFFFFF; else
//   0xFFFF, 0xFFFFFFFF and a ULONGLONG.
//
// Loading never trusts what it reads: a value cut short by the end of the file throws
// CArchiveException (endOfFile), and a string is read piece by piece as its bytes arrive, so a
// damaged count cannot make the archive allocate more than the file holds. Storing into a
// loading archive throws readOnly, loading from a storing one writeOnly. Errors of the file pass
// through as they are (CFileException).
//
// Close writes out what is buffered (storing) or puts back what was read ahead (loading) and
// lets go of the file; the file stays open. An archive destroyed without Close does the same
// and swallows any error; call Close to learn of them.

#include "platform/core/CException.h"
#include "platform/core/CFile.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"

#include <vector>

class CArchiveException : public CException {
  DECLARE_DYNAMIC(CArchiveException)
public:
  enum { none, genericException, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };

  explicit CArchiveException(int cause = none, LPCWSTR fileName = nullptr) : m_cause(cause), m_strFileName(fileName) {}
  BOOL GetErrorMessage(LPWSTR message, UINT maxLength, UINT* helpContext = nullptr) const override;

  int m_cause;
  CString m_strFileName;
};

[[noreturn]] void AfxThrowArchiveException(int cause, LPCWSTR fileName = nullptr);

class CArchive {
public:
  enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2 };

  // bufSize: bytes read ahead or gathered before a write (at least 16); buf: the caller's
  // buffer of that size to use, or null for one of the archive's own.
  CArchive(CFile* file, UINT mode, int bufSize = 4096, void* buf = nullptr);
  ~CArchive();

  BOOL IsLoading() const { return (m_nMode & load) != 0; }
  BOOL IsStoring() const { return (m_nMode & load) == 0; }
  CFile* GetFile() const { return m_pFile; }

  // Raw bytes. Read answers how many it got (fewer only at the end of the file).
  UINT Read(void* buffer, UINT count);
  void Write(const void* buffer, UINT count);
  // Storing: writes the buffer to the file. Loading: seeks the file back over what was read
  // ahead, so that the file's position is the archive's.
  void Flush();
  void Close();
  // Close without writing or reporting anything.
  void Abort();

  void WriteCount(DWORD_PTR count);
  DWORD_PTR ReadCount();

  CArchive& operator<<(BYTE value);
  CArchive& operator<<(WORD value);
  CArchive& operator<<(SHORT value);
  CArchive& operator<<(int value);  // also LONG and BOOL
  CArchive& operator<<(UINT value);  // also DWORD
  CArchive& operator<<(LONGLONG value);
  CArchive& operator<<(ULONGLONG value);
  CArchive& operator<<(float value);
  CArchive& operator<<(double value);
  CArchive& operator<<(const CString& value);
  CArchive& operator<<(const POINT& value);
  CArchive& operator<<(const SIZE& value);
  CArchive& operator<<(const RECT& value);

  CArchive& operator>>(BYTE& value);
  CArchive& operator>>(WORD& value);
  CArchive& operator>>(SHORT& value);
  CArchive& operator>>(int& value);
  CArchive& operator>>(UINT& value);
  CArchive& operator>>(LONGLONG& value);
  CArchive& operator>>(ULONGLONG& value);
  CArchive& operator>>(float& value);
  CArchive& operator>>(double& value);
  CArchive& operator>>(CString& value);
  CArchive& operator>>(POINT& value);
  CArchive& operator>>(SIZE& value);
  CArchive& operator>>(RECT& value);

private:
  // Fixed-width unsigned values, little-endian.
  void Store(ULONGLONG value, int bytes);
  ULONGLONG Load(int bytes);
  // Reads exactly `count` bytes or throws endOfFile.
  void ReadExact(void* buffer, UINT count);
  void CheckStoring() const;
  void CheckLoading() const;
  [[noreturn]] void Throw(int cause) const;

  CFile* m_pFile { nullptr };
  UINT m_nMode { store };
  std::vector<BYTE> m_ownBuffer;
  BYTE* m_buffer { nullptr };
  UINT m_capacity { 0 };
  UINT m_begin { 0 };  // loading: next byte to hand out
  UINT m_end { 0 };    // loading: end of what was read ahead; storing: bytes gathered
};
