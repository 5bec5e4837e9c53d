#pragma once
// Reading and writing packed DIBs (CDPXDIBHandle.h) in files. The base class reads and writes
// the length-prefixed form: a 32-bit byte count n, then n bytes of packed DIB. Derived classes
// put other formats behind the same operations by overriding the three On... operations.
//
// A `length` of 0 lets an operation read as far as it needs; otherwise it reads no more than
// `length` bytes from the file's position. Every operation answers FALSE (and a null DIB) on
// failure; blocks passed in stay the caller's.

#include "platform/core/CObject.h"

class CFile;

class CDPXImageIO : public CObject {
  DECLARE_DYNAMIC(CDPXImageIO)
public:
  CDPXImageIO() = default;

  virtual BOOL ReadInfo(LPCWSTR path, int& width, int& height, int& bitsPerPixel);
  virtual BOOL ReadInfo(CFile* file, DWORD length, int& width, int& height, int& bitsPerPixel);
  virtual BOOL Read(LPCWSTR path, HGLOBAL* dib);
  virtual BOOL Read(CFile* file, DWORD length, HGLOBAL* dib);
  // A file written by path replaces the one that was there only when it is complete.
  virtual BOOL Write(LPCWSTR path, HGLOBAL dib);
  virtual BOOL Write(CFile* file, DWORD& written, HGLOBAL dib);

protected:
  // The height is reported as stored: negative for rows that lie top-down.
  virtual BOOL OnReadInfo(CFile* file, DWORD length, int& width, int& height, int& bitsPerPixel);
  virtual BOOL OnRead(CFile* file, DWORD length, HGLOBAL* dib);
  // Writes the block as it is, without checking it.
  virtual BOOL OnWrite(CFile* file, DWORD& written, HGLOBAL dib);

  // Reads exactly `count` bytes; FALSE when the file ends first or fails.
  static BOOL ReadExact(CFile* file, void* buffer, UINT count);
  // What is left of the file from its position, bounded by a read's length (0: no bound).
  // Readers check counts from the data against it before they allocate anything. Throws
  // CFileException* when the file cannot tell.
  static ULONGLONG BytesLeft(CFile* file, DWORD length);
  // Reads `count` bytes into a new block that must hold a valid packed DIB; null otherwise.
  static HGLOBAL ReadPackedDIB(CFile* file, DWORD count);
};
