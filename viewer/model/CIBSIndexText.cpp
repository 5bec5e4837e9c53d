#include "viewer/model/CIBSIndexText.h"

#include "platform/core/CFile.h"
#include "platform/core/codepage.h"

#include <sys/mman.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

uint64_t Load8(const unsigned char* at) {
  uint64_t word;
  std::memcpy(&word, at, 8);
  return word;
}

// The high bit of every byte of `word` that is zero.
uint64_t ZeroBytes(uint64_t word) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// Checks that the text is strict UTF-8 (no overlong forms, no surrogates, nothing beyond U+10FFFF)
// and, in the same pass, notes where lines start and whether a NUL occurs: what a search reads
// is read from memory once. Runs of ASCII go eight bytes at a time. Without `starts` it only
// checks.
bool ScanUtf8(std::string_view text, std::vector<uint64_t>* starts, bool* hasNul) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  constexpr uint64_t kLineFeeds = 0x0A0A0A0A0A0A0A0Aull;
  uint64_t nul = 0;
  size_t i = 0;
  while (i < n) {
    if (i + 8 <= n) {
      const uint64_t word = Load8(s + i);
      if ((word & 0x8080808080808080ull) == 0) {
        nul |= ZeroBytes(word);
        if (starts) {
          for (uint64_t lf = ZeroBytes(word ^ kLineFeeds); lf; lf &= lf - 1) {
            starts->push_back(i + static_cast<size_t>(std::countr_zero(lf)) / 8 + 1);
          }
        }
        i += 8;
        continue;
      }
    }
    const unsigned char lead = s[i];
    if (lead < 0x80) {
      nul |= lead == 0 ? 1 : 0;
      if (starts && lead == '\n') starts->push_back(i + 1);
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
  if (hasNul) *hasNul = nul != 0;
  return true;
}

bool IsValidUtf8(std::string_view text) { return ScanUtf8(text, nullptr, nullptr); }

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
  m_lineStarts.clear();
  m_nSize = 0;
  m_nStart = 0;
  m_bHasNul = false;
  CFile file;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
  try {
    // The length is only a first guess: the file is read to its end, however long it turns out.
    constexpr size_t kChunk = 64 * 1024;
    const ULONGLONG length = file.GetLength();
    if (length < (1ull << 40) && length + kChunk > m_nCapacity) Reserve(static_cast<size_t>(length) + kChunk);
    for (;;) {
      if (m_nCapacity - m_nSize < kChunk) Reserve(m_nCapacity + m_nCapacity / 2 + kChunk);
      const size_t room = std::min<size_t>(m_nCapacity - m_nSize, 1u << 30);
      const UINT got = file.Read(m_pText.get() + m_nSize, static_cast<UINT>(room));
      if (got == 0) break;
      m_nSize += got;
    }
  } catch (CException* e) {
    e->Delete();
    Clear();
    return FALSE;
  }
  Decode();
  return TRUE;
}

// A large text lies in memory the system may map in huge pages: a search's passes over a hundred
// megabytes then cost a few page faults and TLB misses instead of tens of thousands.
void CIBSIndexText::Reserve(size_t capacity) {
  if (capacity <= m_nCapacity) return;
  constexpr size_t kHugePage = 2 << 20;
  const bool large = capacity >= 2 * kHugePage;
  if (large) capacity = (capacity + kHugePage - 1) / kHugePage * kHugePage;
  void* memory = large ? std::aligned_alloc(kHugePage, capacity) : std::malloc(capacity);
  if (!memory) throw std::bad_alloc();
  if (large) ::madvise(memory, capacity, MADV_HUGEPAGE);
  TextMemory text(static_cast<char*>(memory));
  if (m_nSize > 0) std::memcpy(text.get(), m_pText.get(), m_nSize);
  m_pText = std::move(text);
  m_nCapacity = capacity;
}

void CIBSIndexText::Assign(std::string_view text) {
  if (text.size() > m_nCapacity) {
    m_nSize = 0;
    Reserve(text.size());
  }
  std::memcpy(m_pText.get(), text.data(), text.size());
  m_nSize = text.size();
}

void CIBSIndexText::Decode() {
  const std::string_view view(m_pText.get(), m_nSize);
  m_lineStarts.assign(1, 0);
  bool scanned = false;  // lines and NUL characters noted
  if (view.starts_with("\xEF\xBB\xBF")) {
    if (ScanUtf8(view.substr(3), &m_lineStarts, &m_bHasNul)) {
      m_nStart = 3;
      scanned = true;
    } else {
      Assign(WideToUtf8(Utf8ToWide(view.substr(3))));
    }
  } else if (view.starts_with("\xFF\xFE") || view.starts_with("\xFE\xFF")) {
    Assign(WideToUtf8(Utf16Units(view.substr(2), view[0] == '\xFE')));
  } else if (ScanUtf8(view, &m_lineStarts, &m_bHasNul)) {
    scanned = true;
  } else {
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
    Assign(text);
  }
  const std::string_view text = GetText();
  if (!scanned) {
    m_lineStarts.assign(1, 0);
    m_bHasNul = text.find('\0') != std::string_view::npos;
    for (size_t pos = 0; const void* lf = std::memchr(text.data() + pos, '\n', text.size() - pos);) {
      pos = static_cast<size_t>(static_cast<const char*>(lf) - text.data()) + 1;
      m_lineStarts.push_back(pos);
    }
  }
  // After the last line, where a line would start after it.
  if (text.empty()) m_lineStarts.clear();
  if (!text.empty() && m_lineStarts.back() != text.size()) m_lineStarts.push_back(text.size() + 1);
  if (m_lineStarts.capacity() > m_lineStarts.size() + m_lineStarts.size() / 4) m_lineStarts.shrink_to_fit();
}

void CIBSIndexText::Clear() {
  m_lineStarts.clear();
  m_lineStarts.shrink_to_fit();
  m_pText.reset();
  m_nSize = 0;
  m_nCapacity = 0;
  m_nStart = 0;
  m_bHasNul = false;
}

bool CIBSIndexText::NextLine(size_t& pos, std::string_view& line) const {
  const std::string_view text = GetText();
  if (pos >= text.size()) return false;
  const void* lf = std::memchr(text.data() + pos, '\n', text.size() - pos);
  const size_t length = lf ? static_cast<size_t>(static_cast<const char*>(lf) - text.data()) - pos : text.size() - pos;
  line = LineAt(pos, length);
  pos += lf ? length + 1 : length;
  return true;
}

std::string_view CIBSIndexText::LineAt(size_t pos, size_t length) const {
  const char* start = GetText().data() + pos;
  if (length > 0 && start[length - 1] == '\r') --length;
  if (m_bHasNul) {
    if (const void* nul = std::memchr(start, '\0', length)) length = static_cast<size_t>(static_cast<const char*>(nul) - start);
  }
  return {start, length};
}

size_t CIBSIndexText::AppendLine(std::string_view line) {
  const size_t offset = GetText().size();
  if (m_nSize + line.size() + 1 > m_nCapacity) Reserve(m_nSize + line.size() + 1 + m_nCapacity / 2);
  std::memcpy(m_pText.get() + m_nSize, line.data(), line.size());
  m_nSize += line.size();
  m_pText[m_nSize++] = '\n';
  m_bHasNul = m_bHasNul || line.find('\0') != std::string_view::npos;
  return offset;
}
