#pragma once
// The JPEG codec: JPEG streams to and from packed DIBs (CDPXDIBHandle.h) of 8 bits (grey) and
// 24 bits (colour), in files and in memory, over libjpeg. Decoding can reduce the picture to 1/2,
// 1/4 or 1/8 of its size (rounded up) while it decodes. Encoding honours the custom quantisation
// tables (JpegQuantTables.h).
//
// A fatal error of libjpeg (damaged or cut data, missing tables, output that does not fit) ends
// the operation with FALSE; warnings do not: a stream that ends early decodes as far as it goes,
// with an end marker put in for the rest.

#include "foundation/imaging/CDPXImageIO.h"

class CDPXBuffer;
class CDPXGMemBuffer;

// A byte stream over an open file or a block of memory (neither owned), which moves at most
// `limit` bytes in all. libjpeg reads and writes through it.
class __CIJGIOStream : public CObject {
  DECLARE_DYNAMIC(__CIJGIOStream)
public:
  enum Mode { modeNone = 0, modeFile = 1, modeMemory = 2 };

  __CIJGIOStream() = default;

  // FALSE (and a stream that moves nothing) for a limit below 1 or a file that is not open.
  BOOL OpenFile(int limit, CFile* file);
  // FALSE (and a stream that moves nothing) for a limit below 1 or no memory.
  BOOL OpenMemory(int limit, BYTE* memory);
  // Each moves min(count, limit - position) bytes and answers how many it moved; a file that
  // fails counts as 0 bytes.
  UINT Read(BYTE* buffer, UINT count);
  UINT Write(const BYTE* buffer, UINT count);
  int GetPosition() const { return m_position; }

private:
  void Reset();
  UINT Room(UINT count) const;

  int m_mode { modeNone };
  int m_limit { 0 };
  int m_position { 0 };
  CFile* m_file { nullptr };
  BYTE* m_memory { nullptr };
};

class CDPXJPGImageIO : public CDPXImageIO {
  DECLARE_DYNAMIC(CDPXJPGImageIO)
public:
  // A stream limit that stands for none: the largest 32-bit signed value.
  static constexpr int kNoLimit = 0x7FFFFFFF;

  CDPXJPGImageIO() = default;

  // Decoding scale 1/1, 1/2, 1/4 or 1/8; any other value gives 1/1.
  void SetScaleDenom(int denominator);
  int GetScaleDenom() const { return m_scaleDenom; }

  // The same as the file operations, on the bytes of a buffer (which must not be empty).
  BOOL ReadInfoMemory(CDPXBuffer& buffer, int& width, int& height, int& bitsPerPixel);
  BOOL ReadMemory(CDPXBuffer& buffer, HGLOBAL* dib);
  // Encodes into a new block of the buffer of max(DIB size, 10000) bytes, then shrinks it to the
  // stream. A stream that does not fit fails and leaves the buffer empty.
  BOOL WriteMemory(CDPXGMemBuffer& buffer, HGLOBAL dib);

protected:
  // Width and height at full size; 8 bits for one component, 24 for three, others fail.
  BOOL OnReadInfo(CFile* file, DWORD length, int& width, int& height, int& bitsPerPixel) override;
  // A bottom-up DIB at the decoding scale, grey-ramp palette at 8 bits, blue-green-red at 24 bits.
  BOOL OnRead(CFile* file, DWORD length, HGLOBAL* dib) override;
  // Writes a valid 8-bit (grey) or 24-bit DIB, top row first, at the object's quality with
  // baseline tables; `written` is the stream's size. The DIB stays the caller's.
  BOOL OnWrite(CFile* file, DWORD& written, HGLOBAL dib) override;

private:
  BOOL ReadInfoFrom(__CIJGIOStream& stream, int& width, int& height, int& bitsPerPixel);
  BOOL ReadFrom(__CIJGIOStream& stream, HGLOBAL* dib);
  BOOL WriteTo(__CIJGIOStream& stream, HGLOBAL dib);

  int m_scaleDenom { 1 };
  int m_quality { 75 };
};
