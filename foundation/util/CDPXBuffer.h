#pragma once
// Owned blocks of bytes with a size and a lock pointer: CDPXMemBuffer over a heap block and
// CDPXGMemBuffer over a movable global memory block, the form in which images and data blocks
// pass between components. A buffer frees its block when it is freed, reallocated or destroyed,
// unless the block was handed out with Detach.

#include "platform/core/CObject.h"
#include "platform/core/globalmem.h"

class CDPXBuffer : public CObject {
  DECLARE_DYNAMIC(CDPXBuffer)
public:
  // A new block of `size` zero bytes in place of the old one (which is freed first); FALSE for 0.
  virtual BOOL Alloc(DWORD size) = 0;
  // Resizes keeping the first bytes and zero-filling growth; an empty buffer allocates. On
  // failure (also for 0) the old block stays.
  virtual BOOL ReAlloc(DWORD size) = 0;
  virtual void Free() = 0;
  virtual DWORD GetSize() const { return m_dwSize; }
  // The address of the byte at `offset`; null past the end or when the block cannot be locked.
  virtual LPBYTE GetPtr(DWORD offset);
  // The block's address, null when empty.
  virtual LPBYTE Lock() = 0;

  LPBYTE AllocAndLock(DWORD size);
  // Grows by n bytes; null on failure or when the size would pass the 32-bit range.
  LPBYTE GrowAndLock(DWORD n);

protected:
  DWORD m_dwSize { 0 };
  LPBYTE m_pLock { nullptr };
};

class CDPXMemBuffer : public CDPXBuffer {
  DECLARE_DYNAMIC(CDPXMemBuffer)
public:
  CDPXMemBuffer() = default;
  ~CDPXMemBuffer() override;

  BOOL Alloc(DWORD size) override;
  BOOL ReAlloc(DWORD size) override;
  void Free() override;
  LPBYTE Lock() override { return m_pLock; }

  // Takes over a block of `size` bytes allocated with malloc (both set, or both empty).
  BOOL Attach(LPVOID block, DWORD size);
  // Hands the block (to be released with free) to the caller and leaves the buffer empty.
  LPVOID Detach();
};

class CDPXGMemBuffer : public CDPXBuffer {
  DECLARE_DYNAMIC(CDPXGMemBuffer)
public:
  CDPXGMemBuffer() = default;
  ~CDPXGMemBuffer() override;

  BOOL Alloc(DWORD size) override;
  BOOL ReAlloc(DWORD size) override;
  void Free() override;
  // Locks the block once and keeps the address until Unlock.
  LPBYTE Lock() override;
  void Unlock();

  // Takes over a block with its size. A block of 0 bytes is refused; null leaves the buffer empty.
  BOOL Attach(HGLOBAL block);
  // Hands the block, unlocked, to the caller and leaves the buffer empty (null when it was).
  HGLOBAL Detach();
  // Takes over the other buffer's block, leaving the other empty.
  void MoveFrom(CDPXGMemBuffer& other);
  // Holds a duplicate of the other buffer's block (an empty other empties this one).
  BOOL Copy(const CDPXGMemBuffer& other);

private:
  HGLOBAL m_hGlobal { nullptr };
};

// A new movable, zero-initialised block with the same bytes; null for null, an empty block or a
// failure.
HGLOBAL DPXCopyGlobal(HGLOBAL block);

// Reads a whole file (shared with every other reader and writer) into the buffer; an empty file
// leaves the buffer empty. A file that does not fit a 32-bit size fails. On failure the buffer is
// empty.
BOOL DPXReadFileToBuffer(LPCWSTR path, CDPXBuffer& buffer);
// Writes the buffer's bytes as the whole file (none for an empty buffer). The file is replaced as
// a whole: on failure the file that was there stays.
BOOL DPXWriteBufferToFile(CDPXBuffer& buffer, LPCWSTR path);
