#include "foundation/util/CDPXFile.h"

#include "foundation/util/CDPXException.h"
#include "platform/core/fileapi.h"
#include "platform/core/globalmem.h"

#include <vector>

IMPLEMENT_DYNAMIC(CDPXFile, CFile)

namespace {

DWORD LittleEndianDWord(const BYTE (&bytes)[4]) {
  return DWORD(bytes[0]) | (DWORD(bytes[1]) << 8) | (DWORD(bytes[2]) << 16) | (DWORD(bytes[3]) << 24);
}

}  // namespace

CDPXFile::~CDPXFile() { Close(); }

BOOL CDPXFile::Open(LPCWSTR path, UINT flags) {
  Close();
  if (!path) return FALSE;
  const bool creates = (flags & modeCreate) != 0;
  const bool existed = creates && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
  if (!CFile::Open(path, flags)) {
    Close();
    if (creates && !existed) DeleteFileW(path);
    return FALSE;
  }
  m_isOpen = TRUE;
  m_openPath = path;
  m_openFlags = flags;
  return TRUE;
}

BOOL CDPXFile::Create(LPCWSTR path, UINT flags) { return Open(path, flags | modeCreate); }

void CDPXFile::Close() {
  if (m_hFile != hFileNull) {
    try {
      CFile::Close();
    } catch (CException* e) {
      e->Delete();
      CFile::Abort();
    }
  }
  m_isOpen = FALSE;
  m_openPath.Empty();
  m_openFlags = 0;
}

BOOL CDPXFile::ReadExact(void* buffer, UINT count) {
  if (!m_isOpen || !buffer || count == 0) return FALSE;
  try {
    return Read(buffer, count) == count;
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}

BOOL CDPXFile::WriteExact(const void* buffer, UINT count) {
  if (!m_isOpen || !buffer || count == 0) return FALSE;
  try {
    Write(buffer, count);
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}

BOOL CDPXFile::ReadDWord(DWORD& value) {
  BYTE bytes[4];
  if (!ReadExact(bytes, 4)) return FALSE;
  value = LittleEndianDWord(bytes);
  return TRUE;
}

BOOL CDPXFile::ReadByte(BYTE& value) { return ReadExact(&value, 1); }

void CDPXFile::WriteOrThrow(const void* buffer, UINT count) {
  if (!m_isOpen || !buffer || count == 0) DPXThrowException();
  Write(buffer, count);
}

void CDPXFile::WriteByteOrThrow(BYTE value) {
  if (!m_isOpen) DPXThrowException();
  Write(&value, 1);
}

void CDPXFile::ReadQWordOrThrow(ULONGLONG& value) {
  BYTE bytes[8];
  if (!ReadExact(bytes, 8)) DPXThrowException();
  value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | bytes[i];
}

DWORD CDPXFile::ReadCountOrThrow() {
  DWORD count = 0;
  if (!ReadDWord(count)) DPXThrowException();
  // A damaged count must not make us allocate more than the file can still deliver.
  const ULONGLONG position = GetPosition();
  const ULONGLONG length = GetLength();
  if (count > 0 && (position > length || count > length - position)) DPXThrowException();
  return count;
}

void CDPXFile::ReadCountedStringOrThrow(CString& text) {
  text.Empty();
  if (!m_isOpen) DPXThrowException();
  const DWORD count = ReadCountOrThrow();
  if (count == 0) return;
  // Units for the bytes, one more for an odd byte, and a zero unit behind them.
  std::vector<WCHAR> units(count / 2 + 2, 0);
  std::vector<BYTE> bytes(count);
  if (!ReadExact(bytes.data(), count)) DPXThrowException();
  for (DWORD i = 0; i < count; ++i)
    units[i / 2] = static_cast<WCHAR>(units[i / 2] | (WCHAR(bytes[i]) << (8 * (i % 2))));
  text = units.data();  // a zero unit inside the text ends it
}

BOOL CDPXFile::ReadCountedString(CString& text) {
  try {
    ReadCountedStringOrThrow(text);
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    text.Empty();
    return FALSE;
  }
}

void CDPXFile::ReadGlobalOrThrow(HGLOBAL& block) {
  block = nullptr;
  if (!m_isOpen) DPXThrowException();
  const DWORD count = ReadCountOrThrow();
  if (count == 0) return;
  HGLOBAL made = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, count);
  if (!made) DPXThrowException();
  void* bytes = GlobalLock(made);
  const BOOL read = bytes && ReadExact(bytes, count);
  if (bytes) GlobalUnlock(made);
  if (!read) {
    GlobalFree(made);
    DPXThrowException();
  }
  block = made;
}

void CDPXFile::WriteGlobalOrThrow(HGLOBAL block) {
  if (!m_isOpen) DPXThrowException();
  const SIZE_T size = block ? GlobalSize(block) : 0;
  if (block && (size == 0 || size > 0xFFFFFFFFu)) DPXThrowException();
  const DWORD count = static_cast<DWORD>(size);
  const BYTE countBytes[4] = {BYTE(count), BYTE(count >> 8), BYTE(count >> 16), BYTE(count >> 24)};
  WriteOrThrow(countBytes, 4);
  if (!block) return;
  const void* bytes = GlobalLock(block);
  if (!bytes) DPXThrowException();
  try {
    WriteOrThrow(bytes, count);
  } catch (...) {
    GlobalUnlock(block);
    throw;
  }
  GlobalUnlock(block);
}

BOOL CDPXFile::ReadGlobal(HGLOBAL& block) {
  try {
    ReadGlobalOrThrow(block);
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    block = nullptr;
    return FALSE;
  }
}

BOOL CDPXFile::WriteGlobal(HGLOBAL block) {
  try {
    WriteGlobalOrThrow(block);
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
}
