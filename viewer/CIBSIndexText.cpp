#include "viewer/CIBSIndexText.h"

#include "platform/core/CFile.h"
#include "platform/core/codepage.h"

#include <algorithm>
#include <cstring>

namespace {

// Strict UTF-8 (no overlong forms, no surrogates, nothing beyond U+10FFFF), with a quick pass
// over runs of ASCII.
bool IsValidUtf8(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    if (i + 16 <= n) {
      uint64_t words[2];
      std::memcpy(words, s + i, 16);
      if (((words[0] | words[1]) & 0x8080808080808080ull) == 0) {
        i += 16;
        continue;
      }
    }
    const unsigned char lead = s[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (i + length > n || s[i + 1] < low || s[i + 1] > high) return false;
    for (size_t k = 2; k < length; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    const auto a = static_cast<unsigned char>(bytes[2 * i]);
    const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  }
  return units;
}

}  // namespace

BOOL CIBSIndexText::Read(LPCWSTR path) {
  m_text.clear();
  m_nStart = 0;
  m_bHasNul = false;
  CFile file;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
  try {
    // The length is only a first guess: the file is read to its end, however long it turns out.
    constexpr size_t kChunk = 1 << 20;
    const ULONGLONG length = file.GetLength();
    if (length < (1ull << 40)) m_text.reserve(static_cast<size_t>(length) + kChunk);
    for (;;) {
      const size_t size = m_text.size();
      m_text.resize(size + kChunk);
      const UINT got = file.Read(m_text.data() + size, static_cast<UINT>(kChunk));
      m_text.resize(size + got);
      if (got == 0) break;
    }
  } catch (CException* e) {
    e->Delete();
    Clear();
    return FALSE;
  }
  Decode();
  return TRUE;
}

void CIBSIndexText::Decode() {
  const std::string_view view(m_text);
  if (view.starts_with("\xEF\xBB\xBF")) {
    if (IsValidUtf8(view.substr(3))) {
      m_nStart = 3;
    } else {
      m_text = WideToUtf8(Utf8ToWide(view.substr(3)));
    }
  } else if (view.starts_with("\xFF\xFE") || view.starts_with("\xFE\xFF")) {
    m_text = WideToUtf8(Utf16Units(view.substr(2), view[0] == '\xFE'));
  } else if (!IsValidUtf8(view)) {
    // Without a mark, a line that is valid UTF-8 is taken as UTF-8 (plain ASCII among it); any
    // other line was written in the ANSI code page.
    std::string text;
    text.reserve(view.size() + view.size() / 4);
    for (size_t pos = 0; pos < view.size();) {
      const size_t lf = std::min(view.find('\n', pos), view.size());
      const std::string_view line = view.substr(pos, lf - pos);
      text += IsValidUtf8(line) ? std::string(line) : WideToUtf8(AnsiToWide(line));
      if (lf < view.size()) text.push_back('\n');
      pos = lf + 1;
    }
    m_text = std::move(text);
  }
  m_bHasNul = GetText().find('\0') != std::string_view::npos;
}

void CIBSIndexText::Clear() {
  m_text.clear();
  m_text.shrink_to_fit();
  m_nStart = 0;
  m_bHasNul = false;
}

bool CIBSIndexText::NextLine(size_t& pos, std::string_view& line) const {
  const std::string_view text = GetText();
  if (pos >= text.size()) return false;
  const char* start = text.data() + pos;
  const size_t rest = text.size() - pos;
  const void* lf = std::memchr(start, '\n', rest);
  size_t length = lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) : rest;
  pos += lf ? length + 1 : length;
  if (length > 0 && start[length - 1] == '\r') --length;
  if (m_bHasNul) {
    if (const void* nul = std::memchr(start, '\0', length)) length = static_cast<size_t>(static_cast<const char*>(nul) - start);
  }
  line = std::string_view(start, length);
  return true;
}

size_t CIBSIndexText::AppendLine(std::string_view line) {
  const size_t offset = GetText().size();
  m_text.append(line);
  m_text.push_back('\n');
  m_bHasNul = m_bHasNul || line.find('\0') != std::string_view::npos;
  return offset;
}
