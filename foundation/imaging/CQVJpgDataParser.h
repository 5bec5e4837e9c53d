#pragma once
// Reads the table segments (DQT, DHT) and the frame header of a JPEG stream held in memory, without
// decoding image data. It builds the table-only stream that a TIFF page's JPEGTables field holds,
// and hands out quantisation tables so that a re-encoded page keeps them.

#include "platform/core/wintypes.h"

class CQVJpgDataParser {
public:
  // The stream is not owned and must outlive the parser's use of it.
  void SetJpgDataPointer(void* data, DWORD size);
  // Copies quantisation table `index` (0-3) into 64 entries, in stream (zigzag) order or, with
  // naturalOrder, in row order. TRUE with the table untouched when the stream has no such table
  // (a grey stream's table 1, for example).
  BOOL GetQtTable(UINT* table, int index, BOOL naturalOrder);
  // Writes the table-only stream: SOI, the luminance table (and the chrominance table of a colour
  // stream), every Huffman table present, EOI. `out` needs room for 574 bytes at most.
  BOOL GetJpegTables(BYTE* out, DWORD& size);
  static BOOL Zigzag2NaturalOrder(UINT* table);

protected:
  // found: bit 0 = a quantisation table was read, bit 1 = a Huffman table was read.
  BOOL ParseJpegStream(WORD& found, int& bitsPerPixel);
  BOOL AddQuantTable(BYTE*& out, DWORD& size, int index);
  BOOL AddHuffTable(BYTE*& out, DWORD& size);

private:
  struct QuantSlot {
    BOOL present { FALSE };
    BYTE header { 0 };
    BYTE values[64] {};
  };
  // Slots 0 and 1 hold the DC tables 0 and 1, slots 2 and 3 the AC tables 0 and 1.
  struct HuffSlot {
    BOOL present { FALSE };
    BYTE header { 0 };
    BYTE countsAndValues[16 + 162] {};
  };

  BOOL EnsureParsed();
  void ReadHuffmanSegment(const BYTE* segment, DWORD length);
  void ReadQuantSegment(const BYTE* segment, DWORD length);

  const BYTE* m_data { nullptr };
  DWORD m_size { 0xFFFFFFFF };
  BOOL m_parsed { FALSE };
  int m_bitsPerPixel { 0 };
  QuantSlot m_quant[4];
  HuffSlot m_huff[4];
};
