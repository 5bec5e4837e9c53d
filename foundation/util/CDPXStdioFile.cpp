#include "foundation/util/CDPXStdioFile.h"

#include "foundation/util/DPXReplaceFile.h"
#include "platform/core/codepage.h"
#include "platform/core/fileapi.h"

#include <cstring>

namespace {

// Lines are read in chunks; what follows the line ending is given back with a seek, so that the
// file position always stands at the start of the next line.
constexpr UINT kChunk = 4096;

bool IsValidUtf8(const std::string& bytes) {
  return bytes.empty() ||
         MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

}  // namespace

std::string_view CDPXStdioFile::ByteOrderMark(int encoding) {
  switch (encoding) {
    case encodingUtf8: return "\xEF\xBB\xBF";
    case encodingUtf16LE: return "\xFF\xFE";
    case encodingUtf16BE: return "\xFE\xFF";
    default: return {};
  }
}

std::string CDPXStdioFile::EncodeText(std::u16string_view text, int encoding) {
  if (encoding != encodingUtf16LE && encoding != encodingUtf16BE) return WideToUtf8(text);
  std::string bytes;
  bytes.reserve(text.size() * 2);
  const bool bigEndian = encoding == encodingUtf16BE;
  for (char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes.push_back(bigEndian ? high : low);
    bytes.push_back(bigEndian ? low : high);
  }
  return bytes;
}

BOOL CDPXStdioFile::CreateText(LPCWSTR path, int encoding, UINT flags) {
  m_nEncoding = (encoding >= encodingUtf8 && encoding <= encodingUtf16BE) ? encoding : encodingAnsi;
  m_bReadFailed = FALSE;
  if (!Create(path, flags)) return FALSE;
  const std::string_view mark = ByteOrderMark(m_nEncoding);
  if (!mark.empty() && !WriteExact(mark.data(), static_cast<UINT>(mark.size()))) {
    Close();
    DeleteFileW(path);
    return FALSE;
  }
  return TRUE;
}

BOOL CDPXStdioFile::OpenText(LPCWSTR path, UINT flags) {
  m_bReadFailed = FALSE;
  if (!Open(path, flags)) return FALSE;
  try {
    BYTE mark[3] = {0, 0, 0};
    Read(mark, 3);
    ULONGLONG start = 0;
    if (mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) {
      m_nEncoding = encodingUtf8;
      start = 3;
    } else if (mark[0] == 0xFF && mark[1] == 0xFE) {
      m_nEncoding = encodingUtf16LE;
      start = 2;
    } else if (mark[0] == 0xFE && mark[1] == 0xFF) {
      m_nEncoding = encodingUtf16BE;
      start = 2;
    } else {
      m_nEncoding = encodingAnsi;
    }
    Seek(static_cast<LONGLONG>(start), begin);
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    Close();
    return FALSE;
  }
}

BOOL CDPXStdioFile::ReadLineBytes(std::string& line) {
  line.clear();
  char chunk[kChunk];
  bool any = false;
  for (UINT got; (got = Read(chunk, kChunk)) > 0;) {
    any = true;
    const auto* end = static_cast<const char*>(std::memchr(chunk, '\n', got));
    if (end) {
      const UINT used = static_cast<UINT>(end - chunk) + 1;
      line.append(chunk, used - 1);
      if (used < got) Seek(-static_cast<LONGLONG>(got - used), current);
      break;
    }
    line.append(chunk, got);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

BOOL CDPXStdioFile::ReadLineWords(std::u16string& line) {
  line.clear();
  BYTE chunk[kChunk];
  const bool bigEndian = m_nEncoding == encodingUtf16BE;
  bool any = false;
  for (UINT got; (got = Read(chunk, kChunk)) > 0;) {
    any = true;
    UINT at = 0;
    for (; at + 1 < got; at += 2) {
      const char16_t unit = bigEndian ? static_cast<char16_t>((chunk[at] << 8) | chunk[at + 1])
                                      : static_cast<char16_t>(chunk[at] | (chunk[at + 1] << 8));
      if (unit == u'\n') break;
      line.push_back(unit);
    }
    if (at + 1 < got) {
      const UINT used = at + 2;
      if (used < got) Seek(-static_cast<LONGLONG>(got - used), current);
      break;
    }
    // A short read ends the file; half a unit left over is not text.
    if (at < got) line.push_back(u'\uFFFD');
  }
  if (!line.empty() && line.back() == u'\r') line.pop_back();
  return any;
}

BOOL CDPXStdioFile::ReadString(CString& text) {
  text.Empty();
  m_bReadFailed = FALSE;
  if (!IsOpen()) return FALSE;
  try {
    if (m_nEncoding == encodingUtf16LE || m_nEncoding == encodingUtf16BE) {
      std::u16string units;
      if (!ReadLineWords(units)) return FALSE;
      text = CString(std::move(units));
      return TRUE;
    }
    std::string bytes;
    if (!ReadLineBytes(bytes)) return FALSE;
    const bool utf8 = m_nEncoding == encodingUtf8 || IsValidUtf8(bytes);
    text = CString(utf8 ? Utf8ToWide(bytes) : AnsiToWide(bytes));
    return TRUE;
  } catch (CException* e) {
    e->Delete();
    text.Empty();
    m_bReadFailed = TRUE;
    return FALSE;
  }
}

BOOL CDPXStdioFile::WriteString(LPCWSTR text) {
  const std::string bytes = EncodeText(text ? std::u16string_view(text) : u"\r\n", m_nEncoding);
  if (bytes.empty()) return IsOpen();
  return WriteExact(bytes.data(), static_cast<UINT>(bytes.size()));
}

BOOL DPXReadTextFile(LPCWSTR path, CString& text) {
  text.Empty();
  CDPXStdioFile file;
  if (!file.OpenText(path, CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
  CString line;
  for (bool first = true; file.ReadString(line); first = false) {
    if (!first) text += u"\r\n";
    text += line;
  }
  const BOOL ok = !file.ReadFailed();
  file.Close();
  if (!ok) text.Empty();
  return ok;
}

BOOL DPXWriteTextFile(LPCWSTR text, LPCWSTR path, int encoding) {
  CString content(text);
  content.Replace(u"\r\n", u"\n");
  if (encoding < CDPXStdioFile::encodingUtf8 || encoding > CDPXStdioFile::encodingUtf16BE) encoding = CDPXStdioFile::encodingAnsi;
  const std::string bytes =
      std::string(CDPXStdioFile::ByteOrderMark(encoding)) + CDPXStdioFile::EncodeText(content.View(), encoding);
  return DPXReplaceFile(path, bytes.data(), bytes.size());
}
