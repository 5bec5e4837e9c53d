#include "foundation/imaging/CQVJpgDataParser.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

// Position of each row-order index in the zigzag sequence.
constexpr BYTE kZigzagPosition[64] = {
    0,  1,  5,  6,  14, 15, 27, 28, 2,  4,  7,  13, 16, 26, 29, 42, 3,  8,  12, 17, 25, 30,
    41, 43, 9,  11, 18, 24, 31, 40, 44, 53, 10, 19, 23, 32, 39, 45, 52, 54, 20, 22, 33, 38,
    46, 51, 55, 60, 21, 34, 37, 47, 50, 56, 59, 61, 35, 36, 48, 49, 57, 58, 62, 63};

constexpr BYTE kSOI = 0xD8, kEOI = 0xD9, kSOS = 0xDA, kDQT = 0xDB, kDHT = 0xC4, kTEM = 0x01;

bool IsRestart(BYTE marker) { return marker >= 0xD0 && marker <= 0xD7; }
// Baseline, extended and progressive Huffman frames carry the sample precision and component count.
bool IsFrameHeader(BYTE marker) { return marker >= 0xC0 && marker <= 0xC2; }

void Put(BYTE*& out, DWORD& size, std::initializer_list<BYTE> bytes) {
  for (BYTE b : bytes) out[size++] = b;
}

}  // namespace

void CQVJpgDataParser::SetJpgDataPointer(void* data, DWORD size) {
  m_data = static_cast<const BYTE*>(data);
  m_size = size;
  m_parsed = FALSE;
}

BOOL CQVJpgDataParser::EnsureParsed() {
  if (m_parsed) return TRUE;
  WORD found = 0;
  int bitsPerPixel = 0;
  return ParseJpegStream(found, bitsPerPixel);
}

// Walks the marker segments from the first SOI. Every read is checked against the end of the
// data; entropy-coded data after SOS is skipped up to the next marker that is neither a stuffed
// zero nor a restart, so progressive streams with tables between their scans are read whole.
BOOL CQVJpgDataParser::ParseJpegStream(WORD& found, int& bitsPerPixel) {
  found = 0;
  bitsPerPixel = 0;
  if (!m_data || m_size == 0 || m_size == 0xFFFFFFFF) return FALSE;
  const BYTE* const end = m_data + m_size;
  const BYTE* p = m_data;
  while (p + 1 < end && !(p[0] == 0xFF && p[1] == kSOI)) ++p;
  if (p + 1 >= end) return FALSE;

  for (QuantSlot& slot : m_quant) slot = QuantSlot();
  for (HuffSlot& slot : m_huff) slot = HuffSlot();
  m_bitsPerPixel = 0;

  p += 2;
  while (p + 1 < end) {
    if (p[0] != 0xFF) {
      ++p;
      continue;
    }
    const BYTE marker = p[1];
    if (marker == 0xFF) {  // fill byte before a marker
      ++p;
      continue;
    }
    if (marker == 0x00 || IsRestart(marker) || marker == kSOI || marker == kTEM) {
      p += 2;
      continue;
    }
    if (marker == kEOI) break;
    if (p + 4 > end) break;
    const DWORD length = (DWORD(p[2]) << 8) | p[3];
    if (length < 2 || length > static_cast<DWORD>(end - p - 2)) break;  // a segment cut short
    const BYTE* segment = p + 4;
    const DWORD bodyLength = length - 2;
    if (IsFrameHeader(marker) && bodyLength >= 6) {
      m_bitsPerPixel = segment[0] * segment[5];
    } else if (marker == kDHT) {
      ReadHuffmanSegment(segment, bodyLength);
    } else if (marker == kDQT) {
      ReadQuantSegment(segment, bodyLength);
    }
    p += 2 + length;
    if (marker == kSOS) {
      while (p + 1 < end && !(p[0] == 0xFF && p[1] != 0x00 && !IsRestart(p[1]))) ++p;
    }
  }

  for (const QuantSlot& slot : m_quant)
    if (slot.present) found |= 1;
  for (const HuffSlot& slot : m_huff)
    if (slot.present) found |= 2;
  bitsPerPixel = m_bitsPerPixel;
  m_parsed = TRUE;
  return TRUE;
}

void CQVJpgDataParser::ReadHuffmanSegment(const BYTE* segment, DWORD length) {
  DWORD at = 0;
  while (length - at >= 18) {
    const BYTE header = segment[at];
    const int tableClass = header >> 4;
    const int id = header & 0x0F;
    if (id > 1 || tableClass > 1) return;  // the rest of the segment is not ours to read
    const BYTE* counts = segment + at + 1;
    const DWORD valueCount = std::accumulate(counts, counts + 16, DWORD(0));
    const DWORD limit = tableClass == 0 ? 12 : 162;
    if (valueCount > limit || 17 + valueCount > length - at) return;
    HuffSlot& slot = m_huff[tableClass == 0 ? id : 2 + id];
    slot = HuffSlot();
    slot.present = TRUE;
    slot.header = header;
    std::memcpy(slot.countsAndValues, counts, 16 + valueCount);
    at += 17 + valueCount;
  }
}

void CQVJpgDataParser::ReadQuantSegment(const BYTE* segment, DWORD length) {
  DWORD at = 0;
  while (at < length) {
    const BYTE header = segment[at];
    const int precision = header >> 4;
    const int id = header & 0x0F;
    const DWORD tableSize = precision == 0 ? 64 : 128;
    if (precision > 1 || id > 3 || 1 + tableSize > length - at) return;
    // Tables of 16-bit precision are passed over: the stored pages use 8-bit tables only.
    if (precision == 0) {
      QuantSlot& slot = m_quant[id];
      slot.present = TRUE;
      slot.header = header;
      std::memcpy(slot.values, segment + at + 1, 64);
    }
    at += 1 + tableSize;
  }
}

BOOL CQVJpgDataParser::GetQtTable(UINT* table, int index, BOOL naturalOrder) {
  if (!table || !EnsureParsed()) return FALSE;
  if (index < 0 || index >= 4) return FALSE;
  const QuantSlot& slot = m_quant[index];
  if (!slot.present) return TRUE;
  if (index == 1 && m_bitsPerPixel == 8) return TRUE;  // grey streams have no chrominance table
  std::copy(slot.values, slot.values + 64, table);
  return naturalOrder ? Zigzag2NaturalOrder(table) : TRUE;
}

BOOL CQVJpgDataParser::Zigzag2NaturalOrder(UINT* table) {
  if (!table) return FALSE;
  UINT zigzag[64];
  std::copy(table, table + 64, zigzag);
  for (int i = 0; i < 64; ++i) table[i] = zigzag[kZigzagPosition[i]];
  return TRUE;
}

BOOL CQVJpgDataParser::AddQuantTable(BYTE*& out, DWORD& size, int index) {
  if (!out || index < 0 || index >= 4) return FALSE;
  const QuantSlot& slot = m_quant[index];
  if (!slot.present) return TRUE;
  Put(out, size, {0xFF, kDQT, 0x00, 0x43, slot.header});
  std::memcpy(out + size, slot.values, 64);
  size += 64;
  return TRUE;
}

// Each Huffman segment is exactly as long as its table: a decoder reads tables while bytes remain,
// so filler behind a short (optimised) table would be taken for another table.
BOOL CQVJpgDataParser::AddHuffTable(BYTE*& out, DWORD& size) {
  if (!out) return FALSE;
  for (const HuffSlot& slot : m_huff) {
    if (!slot.present) continue;
    const DWORD valueCount = std::accumulate(slot.countsAndValues, slot.countsAndValues + 16, DWORD(0));
    const DWORD length = 2 + 1 + 16 + valueCount;
    Put(out, size, {0xFF, kDHT, BYTE(length >> 8), BYTE(length), slot.header});
    std::memcpy(out + size, slot.countsAndValues, 16 + valueCount);
    size += 16 + valueCount;
  }
  return TRUE;
}

BOOL CQVJpgDataParser::GetJpegTables(BYTE* out, DWORD& size) {
  if (!out || !EnsureParsed()) return FALSE;
  size = 0;
  Put(out, size, {0xFF, kSOI});
  AddQuantTable(out, size, 0);
  if (m_bitsPerPixel == 24) AddQuantTable(out, size, 1);
  AddHuffTable(out, size);
  Put(out, size, {0xFF, kEOI});
  return TRUE;
}
