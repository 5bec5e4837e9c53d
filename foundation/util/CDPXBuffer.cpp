#include "foundation/util/CDPXBuffer.h"

#include "foundation/util/CDPXFile.h"
#include "foundation/util/DPXReplaceFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

IMPLEMENT_DYNAMIC(CDPXBuffer, CObject)
IMPLEMENT_DYNAMIC(CDPXMemBuffer, CDPXBuffer)
IMPLEMENT_DYNAMIC(CDPXGMemBuffer, CDPXBuffer)

LPBYTE CDPXBuffer::GetPtr(DWORD offset) {
  if (offset >= GetSize()) return nullptr;
  LPBYTE block = Lock();
  return block ? block + offset : nullptr;
}

LPBYTE CDPXBuffer::AllocAndLock(DWORD size) { return Alloc(size) ? Lock() : nullptr; }

LPBYTE CDPXBuffer::GrowAndLock(DWORD n) {
  if (n > std::numeric_limits<DWORD>::max() - GetSize()) return nullptr;
  return ReAlloc(GetSize() + n) ? Lock() : nullptr;
}

// ---- heap block --------------------------------------------------------------------------------

CDPXMemBuffer::~CDPXMemBuffer() { Free(); }

BOOL CDPXMemBuffer::Alloc(DWORD size) {
  Free();
  if (size == 0) return FALSE;
  m_pLock = static_cast<LPBYTE>(std::calloc(size, 1));
  if (!m_pLock) return FALSE;
  m_dwSize = size;
  return TRUE;
}

BOOL CDPXMemBuffer::ReAlloc(DWORD size) {
  if (!m_pLock) return Alloc(size);
  if (size == 0) return FALSE;
  auto* block = static_cast<LPBYTE>(std::calloc(size, 1));
  if (!block) return FALSE;
  std::memcpy(block, m_pLock, std::min(size, m_dwSize));
  std::free(m_pLock);
  m_pLock = block;
  m_dwSize = size;
  return TRUE;
}

void CDPXMemBuffer::Free() {
  std::free(m_pLock);
  m_pLock = nullptr;
  m_dwSize = 0;
}

BOOL CDPXMemBuffer::Attach(LPVOID block, DWORD size) {
  if ((block == nullptr) != (size == 0)) return FALSE;
  if (block == m_pLock) return size == m_dwSize;
  Free();
  m_pLock = static_cast<LPBYTE>(block);
  m_dwSize = size;
  return TRUE;
}

LPVOID CDPXMemBuffer::Detach() {
  LPVOID block = m_pLock;
  m_pLock = nullptr;
  m_dwSize = 0;
  return block;
}

// ---- global block ------------------------------------------------------------------------------

CDPXGMemBuffer::~CDPXGMemBuffer() { Free(); }

BOOL CDPXGMemBuffer::Alloc(DWORD size) {
  Free();
  if (size == 0) return FALSE;
  m_hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (!m_hGlobal) return FALSE;
  m_dwSize = size;
  return TRUE;
}

BOOL CDPXGMemBuffer::ReAlloc(DWORD size) {
  if (!m_hGlobal) return Alloc(size);
  if (size == 0) return FALSE;
  Unlock();
  if (!GlobalReAlloc(m_hGlobal, size, GMEM_MOVEABLE | GMEM_ZEROINIT)) return FALSE;
  m_dwSize = size;
  return TRUE;
}

void CDPXGMemBuffer::Free() {
  Unlock();
  if (m_hGlobal) GlobalFree(m_hGlobal);
  m_hGlobal = nullptr;
  m_dwSize = 0;
}

LPBYTE CDPXGMemBuffer::Lock() {
  if (!m_pLock && m_hGlobal) m_pLock = static_cast<LPBYTE>(GlobalLock(m_hGlobal));
  return m_pLock;
}

void CDPXGMemBuffer::Unlock() {
  if (m_pLock) GlobalUnlock(m_hGlobal);
  m_pLock = nullptr;
}

BOOL CDPXGMemBuffer::Attach(HGLOBAL block) {
  if (block && block == m_hGlobal) return TRUE;
  const SIZE_T size = block ? GlobalSize(block) : 0;
  if (block && (size == 0 || size > std::numeric_limits<DWORD>::max())) return FALSE;
  Free();
  m_hGlobal = block;
  m_dwSize = static_cast<DWORD>(size);
  return TRUE;
}

HGLOBAL CDPXGMemBuffer::Detach() {
  Unlock();
  HGLOBAL block = m_hGlobal;
  m_hGlobal = nullptr;
  m_dwSize = 0;
  return block;
}

void CDPXGMemBuffer::MoveFrom(CDPXGMemBuffer& other) {
  if (&other == this) return;
  Free();
  m_hGlobal = other.m_hGlobal;
  m_dwSize = other.m_dwSize;
  m_pLock = other.m_pLock;
  other.m_hGlobal = nullptr;
  other.m_dwSize = 0;
  other.m_pLock = nullptr;
}

BOOL CDPXGMemBuffer::Copy(const CDPXGMemBuffer& other) {
  if (&other == this) return TRUE;
  if (!other.m_hGlobal) {
    Free();
    return TRUE;
  }
  // The duplicate is made before the old block goes, so that a failure leaves this buffer as it was.
  HGLOBAL copy = DPXCopyGlobal(other.m_hGlobal);
  if (!copy) return FALSE;
  Free();
  m_hGlobal = copy;
  m_dwSize = static_cast<DWORD>(GlobalSize(copy));
  return TRUE;
}

HGLOBAL DPXCopyGlobal(HGLOBAL block) {
  if (!block) return nullptr;
  const SIZE_T size = GlobalSize(block);
  if (size == 0) return nullptr;
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (!copy) return nullptr;
  const void* source = GlobalLock(block);
  void* target = GlobalLock(copy);
  if (source && target) std::memcpy(target, source, size);
  if (source) GlobalUnlock(block);
  if (target) GlobalUnlock(copy);
  if (!source || !target) {
    GlobalFree(copy);
    return nullptr;
  }
  return copy;
}

BOOL DPXReadFileToBuffer(LPCWSTR path, CDPXBuffer& buffer) {
  buffer.Free();
  CDPXFile file;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) return FALSE;
  BOOL ok = FALSE;
  try {
    const ULONGLONG length = file.SeekToEnd();
    if (length == 0) {
      ok = TRUE;
    } else if (length <= std::numeric_limits<DWORD>::max()) {
      const DWORD size = static_cast<DWORD>(length);
      LPBYTE bytes = buffer.AllocAndLock(size);
      file.SeekToBegin();
      ok = bytes && file.ReadExact(bytes, size);
    }
  } catch (CException* e) {
    e->Delete();
  }
  file.Close();
  if (!ok) buffer.Free();
  return ok;
}

BOOL DPXWriteBufferToFile(CDPXBuffer& buffer, LPCWSTR path) {
  const DWORD size = buffer.GetSize();
  const LPBYTE bytes = size ? buffer.Lock() : nullptr;
  if (size && !bytes) return FALSE;
  return DPXReplaceFile(path, bytes, size);
}
