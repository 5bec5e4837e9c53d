#include "foundation/imaging/QVJpegStream.h"

namespace {

constexpr BYTE kSOI = 0xD8, kEOI = 0xD9, kSOS = 0xDA, kDQT = 0xDB, kSOF0 = 0xC0;

// Walks the segments from behind SOI up to SOS; `visit` returns false to stop the walk.
template <typename Visit>
void WalkSegments(const BYTE* stream, DWORD size, Visit visit) {
  DWORD p = 2;
  while (p + 4 <= size) {
    if (stream[p] != 0xFF) return;
    const BYTE marker = stream[p + 1];
    if (marker == 0xFF) {
      ++p;
      continue;
    }
    if (marker == kEOI || marker == kSOI) return;
    const DWORD length = (DWORD(stream[p + 2]) << 8) | stream[p + 3];
    if (length < 2 || length > size - p - 2) return;
    if (!visit(marker, stream + p + 4, length - 2, p) || marker == kSOS) return;
    p += 2 + length;
  }
}

}  // namespace

BOOL QVSkipToJpegStart(const BYTE*& data, DWORD& size) {
  for (DWORD i = 0; i + 2 < size; ++i) {
    if (data[i] == 0xFF && data[i + 1] == kSOI) {
      data += i;
      size -= i;
      return TRUE;
    }
  }
  return FALSE;
}

void QVJfifDensity(const BYTE* stream, DWORD size, int& xDpi, int& yDpi) {
  xDpi = yDpi = 150;
  if (size < 20 || stream[2] != 0xFF || stream[3] != 0xE0 || stream[6] != 'J' || stream[7] != 'F' ||
      stream[8] != 'I' || stream[9] != 'F' || stream[10] != 0) {
    return;
  }
  const int units = stream[13];
  const int x = (stream[14] << 8) | stream[15], y = (stream[16] << 8) | stream[17];
  if (units == 1) {
    xDpi = x;
    yDpi = y;
  } else if (units == 2) {
    xDpi = static_cast<int>(x * 2.54 + 0.5);
    yDpi = static_cast<int>(y * 2.54 + 0.5);
  }
}

BOOL QVFindJpegFrame(const BYTE* stream, DWORD size, QVJpegFrame& frame) {
  frame = QVJpegFrame();
  if (!stream || size < 4 || stream[0] != 0xFF || stream[1] != kSOI) return FALSE;
  BOOL found = FALSE;
  WalkSegments(stream, size, [&](BYTE marker, const BYTE* body, DWORD length, DWORD) {
    if (marker != kSOF0) return true;
    if (length < 6) return false;
    const int components = body[5];
    if ((components != 1 && components != 3) || length < 6u + 3u * components) return false;
    frame.precision = body[0];
    frame.height = (body[1] << 8) | body[2];
    frame.width = (body[3] << 8) | body[4];
    frame.components = components;
    frame.hSampling = body[7] >> 4;
    frame.vSampling = body[7] & 0x0F;
    if (components == 1) {
      frame.photometric = 1;
    } else if (body[6] == 1 && body[9] == 2 && body[12] == 3) {
      frame.photometric = 6;
    } else if (body[6] == 'R' && body[9] == 'G' && body[12] == 'B') {
      frame.photometric = 2;
    } else {
      return false;
    }
    found = frame.width > 0 && frame.height > 0;
    return false;
  });
  return found;
}

void QVJoinJpegTables(const BYTE* tables, DWORD tablesSize, std::vector<BYTE>& stream) {
  if (!tables || tablesSize < 4 || tables[0] != 0xFF || tables[1] != kSOI || stream.size() < 4 ||
      stream[0] != 0xFF || stream[1] != kSOI) {
    return;
  }
  bool hasTables = false;
  WalkSegments(stream.data(), static_cast<DWORD>(stream.size()), [&](BYTE marker, const BYTE*, DWORD, DWORD) {
    hasTables = hasTables || marker == kDQT;
    return !hasTables;
  });
  if (hasTables) return;
  DWORD end = 2;
  WalkSegments(tables, tablesSize, [&](BYTE, const BYTE*, DWORD length, DWORD at) {
    end = at + 4 + length;
    return true;
  });
  stream.insert(stream.begin() + 2, tables + 2, tables + end);
}
