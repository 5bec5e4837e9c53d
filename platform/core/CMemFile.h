#pragma once
// CMemFile: a CFile over a block of memory that grows as it is written.
//
// - A file made with grow bytes owns its block: it allocates it on the first write, enlarges it
//   in steps of the grow bytes and frees it when closed or destroyed.
// - Attach puts a caller's buffer under the file. With grow bytes 0 the file is fixed: its
//   length is the buffer's size and a write past the end throws CFileException (diskFull). With
//   grow bytes the file starts empty and writes into the buffer; when it must grow it moves to
//   a block of its own (the caller's buffer is left where it is, never freed nor reallocated).
// - Detach hands the block to the caller (a block the file allocated is freed with free()) and
//   leaves the file empty.
// - Seeking past the end is allowed; a write there fills the gap with zero bytes, as SetLength
//   does when it lengthens the file. Reading at or past the end answers 0 bytes.
// - A block that cannot be allocated throws CMemoryException; a seek before the start throws
//   CFileException (badSeek).
//
// Derived files over other kinds of memory replace Alloc, Realloc and Free.

#include "platform/core/CFile.h"

class CMemFile : public CFile {
  DECLARE_DYNAMIC(CMemFile)
public:
  explicit CMemFile(UINT growBytes = 1024);
  CMemFile(BYTE* buffer, UINT size, UINT growBytes = 0);
  ~CMemFile() override;

  // Puts the buffer under the file (the file must be empty: a block it holds is freed first).
  void Attach(BYTE* buffer, UINT size, UINT growBytes = 0);
  // The block, now the caller's; null when there is none. The file is empty afterwards.
  BYTE* Detach();

  // Memory files are not opened by name: always FALSE (CFileException::genericException).
  BOOL Open(LPCWSTR path, UINT openFlags, CFileException* error = nullptr) override;
  // Frees a block the file owns and empties the file.
  void Close() override;
  void Abort() override;

  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  ULONGLONG Seek(LONGLONG offset, UINT from) override;
  ULONGLONG GetPosition() const override { return m_nPosition; }
  ULONGLONG GetLength() const override { return m_nFileSize; }
  void SetLength(ULONGLONG length) override;
  // Nothing to write back.
  void Flush() override {}

protected:
  // The memory of the block; Alloc and Realloc answer null when there is not enough.
  virtual BYTE* Alloc(SIZE_T bytes);
  virtual BYTE* Realloc(BYTE* block, SIZE_T bytes);
  virtual void Free(BYTE* block);
  // Makes the block hold at least `length` bytes (rounded up to the grow step).
  virtual void GrowFile(SIZE_T length);

  UINT m_nGrowBytes { 1024 };
  SIZE_T m_nPosition { 0 };
  SIZE_T m_nBufferSize { 0 };
  SIZE_T m_nFileSize { 0 };
  BYTE* m_lpBuffer { nullptr };
  BOOL m_bAutoDelete { TRUE };  // the block is the file's own (Alloc'd), freed by Close
};
