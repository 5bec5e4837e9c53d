#include "platform/core/CArchive.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <string>

IMPLEMENT_DYNAMIC(CArchiveException, CException)

namespace {

constexpr UINT kLeastBuffer = 16;
// Units of a string taken in at a time.
constexpr UINT kStringChunk = 1024;

LPCWSTR CauseText(int cause) {
  switch (cause) {
    case CArchiveException::readOnly: return u"stored into an archive that loads";
    case CArchiveException::endOfFile: return u"unexpected end of the archive";
    case CArchiveException::writeOnly: return u"loaded from an archive that stores";
    case CArchiveException::badIndex: return u"a count out of range";
    case CArchiveException::badClass: return u"an unexpected class";
    case CArchiveException::badSchema: return u"an unknown version of the data";
    default: return u"archive error";
  }
}

}  // namespace

BOOL CArchiveException::GetErrorMessage(LPWSTR message, UINT maxLength, UINT* helpContext) const {
  if (helpContext) *helpContext = 0;
  if (!message || maxLength == 0) return FALSE;
  CString text = m_strFileName.IsEmpty() ? CString(CauseText(m_cause)) : m_strFileName + u": " + CauseText(m_cause);
  const UINT n = std::min<UINT>(static_cast<UINT>(text.GetLength()), maxLength - 1);
  std::copy_n(text.GetString(), n, message);
  message[n] = 0;
  return TRUE;
}

void AfxThrowArchiveException(int cause, LPCWSTR fileName) { throw new CArchiveException(cause, fileName); }

CArchive::CArchive(CFile* file, UINT mode, int bufSize, void* buf) : m_pFile(file), m_nMode(mode) {
  if (buf && bufSize >= static_cast<int>(kLeastBuffer)) {
    m_buffer = static_cast<BYTE*>(buf);
    m_capacity = static_cast<UINT>(bufSize);
  } else {
    m_ownBuffer.resize(std::max<UINT>(kLeastBuffer, bufSize > 0 ? static_cast<UINT>(bufSize) : 0));
    m_buffer = m_ownBuffer.data();
    m_capacity = static_cast<UINT>(m_ownBuffer.size());
  }
}

CArchive::~CArchive() {
  if (!m_pFile) return;
  if (m_nMode & bNoFlushOnDelete) {
    Abort();
    return;
  }
  try {
    Close();
  } catch (CException* e) {
    e->Delete();
    m_pFile = nullptr;
  }
}

void CArchive::Flush() {
  if (!m_pFile) return;
  if (IsLoading()) {
    if (m_end > m_begin) m_pFile->Seek(-static_cast<LONGLONG>(m_end - m_begin), CFile::current);
    m_begin = m_end = 0;
  } else if (m_end) {
    const UINT n = m_end;
    m_end = 0;
    m_pFile->Write(m_buffer, n);
  }
}

void CArchive::Close() {
  Flush();
  m_pFile = nullptr;
}

void CArchive::Abort() {
  m_pFile = nullptr;
  m_begin = m_end = 0;
}

UINT CArchive::Read(void* buffer, UINT count) {
  CheckLoading();
  auto* out = static_cast<BYTE*>(buffer);
  UINT done = 0;
  while (done < count) {
    if (m_begin == m_end) {
      // Large reads go straight to the file; small ones through the buffer.
      if (count - done >= m_capacity) {
        const UINT n = m_pFile->Read(out + done, count - done);
        done += n;
        break;
      }
      m_begin = 0;
      m_end = m_pFile->Read(m_buffer, m_capacity);
      if (m_end == 0) break;
    }
    const UINT n = std::min(count - done, m_end - m_begin);
    std::memcpy(out + done, m_buffer + m_begin, n);
    m_begin += n;
    done += n;
  }
  return done;
}

void CArchive::Write(const void* buffer, UINT count) {
  CheckStoring();
  if (count > m_capacity - m_end) {
    Flush();
    if (count >= m_capacity) {
      m_pFile->Write(buffer, count);
      return;
    }
  }
  std::memcpy(m_buffer + m_end, buffer, count);
  m_end += count;
}

void CArchive::ReadExact(void* buffer, UINT count) {
  if (Read(buffer, count) != count) Throw(CArchiveException::endOfFile);
}

void CArchive::CheckStoring() const {
  if (!m_pFile) Throw(CArchiveException::genericException);
  if (IsLoading()) Throw(CArchiveException::readOnly);
}

void CArchive::CheckLoading() const {
  if (!m_pFile) Throw(CArchiveException::genericException);
  if (IsStoring()) Throw(CArchiveException::writeOnly);
}

void CArchive::Throw(int cause) const {
  AfxThrowArchiveException(cause, m_pFile ? m_pFile->GetFilePath().GetString() : nullptr);
}

void CArchive::Store(ULONGLONG value, int bytes) {
  BYTE data[8];
  for (int i = 0; i < bytes; ++i) data[i] = static_cast<BYTE>(value >> (8 * i));
  Write(data, static_cast<UINT>(bytes));
}

ULONGLONG CArchive::Load(int bytes) {
  BYTE data[8];
  ReadExact(data, static_cast<UINT>(bytes));
  ULONGLONG value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | data[i];
  return value;
}

void CArchive::WriteCount(DWORD_PTR count) {
  if (count < 0xFFFF) {
    Store(count, 2);
    return;
  }
  Store(0xFFFF, 2);
  if (count < 0xFFFFFFFFu) {
    Store(count, 4);
    return;
  }
  Store(0xFFFFFFFFu, 4);
  Store(count, 8);
}

DWORD_PTR CArchive::ReadCount() {
  ULONGLONG count = Load(2);
  if (count == 0xFFFF) {
    count = Load(4);
    if (count == 0xFFFFFFFFu) count = Load(8);
  }
  if (count > std::numeric_limits<DWORD_PTR>::max()) Throw(CArchiveException::badIndex);
  return static_cast<DWORD_PTR>(count);
}

CArchive& CArchive::operator<<(BYTE value) { Store(value, 1); return *this; }
CArchive& CArchive::operator<<(WORD value) { Store(value, 2); return *this; }
CArchive& CArchive::operator<<(SHORT value) { Store(static_cast<WORD>(value), 2); return *this; }
CArchive& CArchive::operator<<(int value) { Store(static_cast<DWORD>(value), 4); return *this; }
CArchive& CArchive::operator<<(UINT value) { Store(value, 4); return *this; }
CArchive& CArchive::operator<<(LONGLONG value) { Store(static_cast<ULONGLONG>(value), 8); return *this; }
CArchive& CArchive::operator<<(ULONGLONG value) { Store(value, 8); return *this; }
CArchive& CArchive::operator<<(float value) { Store(std::bit_cast<DWORD>(value), 4); return *this; }
CArchive& CArchive::operator<<(double value) { Store(std::bit_cast<ULONGLONG>(value), 8); return *this; }

CArchive& CArchive::operator<<(const CString& value) {
  const auto length = static_cast<DWORD>(value.GetLength());
  Store(length, 4);
  LPCWSTR text = value.GetString();
  BYTE chunk[512];
  for (DWORD i = 0; i < length;) {
    UINT n = 0;
    for (; i < length && n < sizeof(chunk); ++i, n += 2) {
      chunk[n] = static_cast<BYTE>(text[i]);
      chunk[n + 1] = static_cast<BYTE>(text[i] >> 8);
    }
    Write(chunk, n);
  }
  return *this;
}

CArchive& CArchive::operator<<(const POINT& value) { return *this << int(value.x) << int(value.y); }
CArchive& CArchive::operator<<(const SIZE& value) { return *this << int(value.cx) << int(value.cy); }
CArchive& CArchive::operator<<(const RECT& value) {
  return *this << int(value.left) << int(value.top) << int(value.right) << int(value.bottom);
}

CArchive& CArchive::operator>>(BYTE& value) { value = static_cast<BYTE>(Load(1)); return *this; }
CArchive& CArchive::operator>>(WORD& value) { value = static_cast<WORD>(Load(2)); return *this; }
CArchive& CArchive::operator>>(SHORT& value) { value = static_cast<SHORT>(Load(2)); return *this; }
CArchive& CArchive::operator>>(int& value) { value = static_cast<int>(static_cast<DWORD>(Load(4))); return *this; }
CArchive& CArchive::operator>>(UINT& value) { value = static_cast<UINT>(Load(4)); return *this; }
CArchive& CArchive::operator>>(LONGLONG& value) { value = static_cast<LONGLONG>(Load(8)); return *this; }
CArchive& CArchive::operator>>(ULONGLONG& value) { value = Load(8); return *this; }
CArchive& CArchive::operator>>(float& value) { value = std::bit_cast<float>(static_cast<DWORD>(Load(4))); return *this; }
CArchive& CArchive::operator>>(double& value) { value = std::bit_cast<double>(Load(8)); return *this; }

CArchive& CArchive::operator>>(CString& value) {
  const auto length = static_cast<DWORD>(Load(4));
  if (length > static_cast<DWORD>(std::numeric_limits<int>::max())) Throw(CArchiveException::badIndex);
  // The text grows with what arrives, never by what the count claims.
  std::u16string text;
  BYTE chunk[2 * kStringChunk];
  while (text.size() < length) {
    const UINT n = static_cast<UINT>(std::min<size_t>(length - text.size(), kStringChunk));
    ReadExact(chunk, 2 * n);
    for (UINT i = 0; i < n; ++i) text.push_back(static_cast<char16_t>(chunk[2 * i] | (chunk[2 * i + 1] << 8)));
  }
  value = CString(std::move(text));
  return *this;
}

CArchive& CArchive::operator>>(POINT& value) {
  int x, y;
  *this >> x >> y;
  value = POINT{x, y};
  return *this;
}

CArchive& CArchive::operator>>(SIZE& value) {
  int cx, cy;
  *this >> cx >> cy;
  value = SIZE{cx, cy};
  return *this;
}

CArchive& CArchive::operator>>(RECT& value) {
  int left, top, right, bottom;
  *this >> left >> top >> right >> bottom;
  value = RECT{left, top, right, bottom};
  return *this;
}
