#include "platform/core/CSharedFile.h"

IMPLEMENT_DYNAMIC(CSharedFile, CMemFile)

CSharedFile::CSharedFile(UINT allocFlags, UINT growBytes)
    : CMemFile(growBytes), m_nAllocFlags(allocFlags), m_nGrowStep(growBytes) {}

CSharedFile::~CSharedFile() { CSharedFile::Abort(); }

HGLOBAL CSharedFile::Detach() {
  HGLOBAL block = m_hGlobalMemory;
  if (!block) return nullptr;
  const SIZE_T length = m_nFileSize;
  const bool owned = m_bAutoDelete;
  GlobalUnlock(block);
  m_hGlobalMemory = nullptr;
  CMemFile::Detach();
  m_nGrowBytes = m_nGrowStep;
  // Growing rounds the block up; the caller gets exactly what was written.
  if (owned && GlobalSize(block) != length) GlobalReAlloc(block, length, 0);
  return block;
}

void CSharedFile::SetHandle(HGLOBAL block, BOOL allowGrow) {
  CSharedFile::Abort();
  BYTE* bytes = block ? static_cast<BYTE*>(GlobalLock(block)) : nullptr;
  if (!bytes) return;
  m_hGlobalMemory = block;
  m_lpBuffer = bytes;
  m_nBufferSize = m_nFileSize = GlobalSize(block);
  m_nGrowBytes = allowGrow ? (m_nGrowStep ? m_nGrowStep : 1) : 0;
  m_bAutoDelete = FALSE;
}

void CSharedFile::Close() { CSharedFile::Abort(); }

void CSharedFile::Abort() {
  HGLOBAL lent = m_bAutoDelete ? nullptr : m_hGlobalMemory;
  CMemFile::Abort();  // frees a block of the file's own
  if (lent) GlobalUnlock(lent);
  m_hGlobalMemory = nullptr;
  m_nGrowBytes = m_nGrowStep;
}

BYTE* CSharedFile::Alloc(SIZE_T bytes) {
  HGLOBAL block = GlobalAlloc(m_nAllocFlags, bytes);
  if (!block) return nullptr;
  m_hGlobalMemory = block;
  return static_cast<BYTE*>(GlobalLock(block));
}

BYTE* CSharedFile::Realloc(BYTE*, SIZE_T bytes) {
  GlobalUnlock(m_hGlobalMemory);
  const bool grown = GlobalReAlloc(m_hGlobalMemory, bytes, m_nAllocFlags) != nullptr;
  BYTE* data = static_cast<BYTE*>(GlobalLock(m_hGlobalMemory));
  return grown ? data : nullptr;
}

void CSharedFile::Free(BYTE*) {
  GlobalUnlock(m_hGlobalMemory);
  GlobalFree(m_hGlobalMemory);
  m_hGlobalMemory = nullptr;
}

void CSharedFile::GrowFile(SIZE_T length) {
  if (length <= m_nBufferSize || m_bAutoDelete || !m_hGlobalMemory) {
    CMemFile::GrowFile(length);
    return;
  }
  // Moving off a caller's block to one of the file's own: the caller's is copied, then let go.
  HGLOBAL lent = m_hGlobalMemory;
  m_hGlobalMemory = nullptr;
  try {
    CMemFile::GrowFile(length);
  } catch (...) {
    m_hGlobalMemory = lent;
    throw;
  }
  GlobalUnlock(lent);
}
