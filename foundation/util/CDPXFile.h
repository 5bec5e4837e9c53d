#pragma once
// The utility library's binary file: exact reads and writes, and the two counted forms of the
// system's binary formats, all little-endian:
//   counted string: 32-bit byte count, then that many bytes of UTF-16LE text, no terminator;
//   counted block:  32-bit byte count, then that many bytes; a count of 0 is no block at all.
// Members ending in OrThrow raise CDPXException (or pass a CFileException of a failed write on);
// all others answer FALSE instead.

#include "platform/core/CFile.h"

class CDPXFile : public CFile {
  DECLARE_DYNAMIC(CDPXFile)
public:
  CDPXFile() = default;
  ~CDPXFile() override;

  // Closes an open file first. A failed open with modeCreate removes a file only when this call
  // created it.
  BOOL Open(LPCWSTR path, UINT flags);
  BOOL Create(LPCWSTR path, UINT flags);
  // Never raises: a failed close aborts the file instead.
  void Close() override;

  BOOL IsOpen() const { return m_isOpen; }
  const CString& GetOpenPath() const { return m_openPath; }
  UINT GetOpenFlags() const { return m_openFlags; }

  BOOL ReadExact(void* buffer, UINT count);
  BOOL WriteExact(const void* buffer, UINT count);
  BOOL ReadDWord(DWORD& value);
  BOOL ReadByte(BYTE& value);

  void WriteOrThrow(const void* buffer, UINT count);
  void WriteByteOrThrow(BYTE value);
  void ReadQWordOrThrow(ULONGLONG& value);
  void ReadCountedStringOrThrow(CString& text);
  BOOL ReadCountedString(CString& text);
  void ReadGlobalOrThrow(HGLOBAL& block);
  void WriteGlobalOrThrow(HGLOBAL block);
  BOOL ReadGlobal(HGLOBAL& block);
  BOOL WriteGlobal(HGLOBAL block);

private:
  // Reads the 32-bit count of a counted form and checks that the file still holds that many bytes.
  DWORD ReadCountOrThrow();

  BOOL m_isOpen { FALSE };
  CString m_openPath;
  UINT m_openFlags { 0 };
};
