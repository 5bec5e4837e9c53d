#include "platform/core/CMemFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

IMPLEMENT_DYNAMIC(CMemFile, CFile)

CMemFile::CMemFile(UINT growBytes) : m_nGrowBytes(growBytes) {}

CMemFile::CMemFile(BYTE* buffer, UINT size, UINT growBytes) { Attach(buffer, size, growBytes); }

CMemFile::~CMemFile() { CMemFile::Abort(); }

void CMemFile::Attach(BYTE* buffer, UINT size, UINT growBytes) {
  CMemFile::Abort();
  m_lpBuffer = buffer;
  m_nBufferSize = buffer ? size : 0;
  m_nFileSize = growBytes == 0 ? m_nBufferSize : 0;
  m_nGrowBytes = growBytes;
  m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach() {
  BYTE* block = m_lpBuffer;
  m_lpBuffer = nullptr;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  m_bAutoDelete = TRUE;
  return block;
}

BOOL CMemFile::Open(LPCWSTR path, UINT, CFileException* error) {
  if (error) {
    error->m_cause = CFileException::genericException;
    error->m_lOsError = -1;
    error->m_strFileName = path;
  }
  return FALSE;
}

void CMemFile::Close() { CMemFile::Abort(); }

void CMemFile::Abort() {
  if (m_lpBuffer && m_bAutoDelete) Free(m_lpBuffer);
  m_lpBuffer = nullptr;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  m_bAutoDelete = TRUE;
}

UINT CMemFile::Read(void* buffer, UINT count) {
  if (m_nPosition >= m_nFileSize || count == 0) return 0;
  const SIZE_T n = std::min<SIZE_T>(count, m_nFileSize - m_nPosition);
  std::memcpy(buffer, m_lpBuffer + m_nPosition, n);
  m_nPosition += n;
  return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buffer, UINT count) {
  if (count == 0) return;
  if (count > std::numeric_limits<SIZE_T>::max() - m_nPosition) AfxThrowMemoryException();
  const SIZE_T end = m_nPosition + count;
  if (end > m_nBufferSize) GrowFile(end);
  // A write past the end leaves no stale bytes between the old end and the new data.
  if (m_nPosition > m_nFileSize) std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
  std::memcpy(m_lpBuffer + m_nPosition, buffer, count);
  m_nPosition = end;
  if (end > m_nFileSize) m_nFileSize = end;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from) {
  LONGLONG base = 0;
  switch (from) {
    case begin: base = 0; break;
    case current: base = static_cast<LONGLONG>(m_nPosition); break;
    case end: base = static_cast<LONGLONG>(m_nFileSize); break;
    default: AfxThrowFileException(CFileException::badSeek, EINVAL);
  }
  if (offset < -base || (offset > 0 && offset > std::numeric_limits<LONGLONG>::max() - base))
    AfxThrowFileException(CFileException::badSeek, EINVAL);
  m_nPosition = static_cast<SIZE_T>(base + offset);
  return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG length) {
  if (length > std::numeric_limits<SIZE_T>::max()) AfxThrowMemoryException();
  const auto n = static_cast<SIZE_T>(length);
  if (n > m_nBufferSize) GrowFile(n);
  if (n > m_nFileSize) std::memset(m_lpBuffer + m_nFileSize, 0, n - m_nFileSize);
  m_nFileSize = n;
  if (m_nPosition > n) m_nPosition = n;
}

BYTE* CMemFile::Alloc(SIZE_T bytes) { return static_cast<BYTE*>(std::malloc(bytes)); }

BYTE* CMemFile::Realloc(BYTE* block, SIZE_T bytes) { return static_cast<BYTE*>(std::realloc(block, bytes)); }

void CMemFile::Free(BYTE* block) { std::free(block); }

void CMemFile::GrowFile(SIZE_T length) {
  if (length <= m_nBufferSize) return;
  if (m_nGrowBytes == 0) AfxThrowFileException(CFileException::diskFull, ENOSPC);
  const SIZE_T steps = length / m_nGrowBytes + (length % m_nGrowBytes ? 1 : 0);
  if (steps > std::numeric_limits<SIZE_T>::max() / m_nGrowBytes) AfxThrowMemoryException();
  const SIZE_T size = steps * m_nGrowBytes;
  BYTE* block = nullptr;
  if (m_bAutoDelete) {
    block = m_lpBuffer ? Realloc(m_lpBuffer, size) : Alloc(size);
  } else if ((block = Alloc(size)) && m_nFileSize) {
    // The caller's buffer stays the caller's: the file moves to a block of its own.
    std::memcpy(block, m_lpBuffer, m_nFileSize);
  }
  if (!block) AfxThrowMemoryException();
  m_lpBuffer = block;
  m_nBufferSize = size;
  m_bAutoDelete = TRUE;
}
