#pragma once
// Facts read from a JPEG stream's marker segments without decoding it, for the TIFF layer's
// JPEG pages. Every read is checked against the end of the data.

#include "platform/core/wintypes.h"

#include <vector>

struct QVJpegFrame {
  int width { 0 };
  int height { 0 };
  int precision { 0 };
  int components { 0 };
  int photometric { 0 };  // TIFF photometric: 6 YCbCr (ids 1, 2, 3), 2 RGB (ids 'R', 'G', 'B'), 1 grey
  int hSampling { 1 };    // of the first component
  int vSampling { 1 };
};

// Moves to the first SOI; FALSE when there is none before the last two bytes.
BOOL QVSkipToJpegStart(const BYTE*& data, DWORD& size);
// The density of a JFIF header directly behind SOI, in dots per inch: units 1 as they stand,
// units 2 (per centimetre) x 2.54 + 0.5; anything else, or no JFIF header, 150 x 150.
void QVJfifDensity(const BYTE* stream, DWORD size, int& xDpi, int& yDpi);
// The baseline frame header, found by walking the segments from SOI (so that a thumbnail inside
// an APP segment is never taken for it). FALSE without one, or for 2 or more than 3 components.
BOOL QVFindJpegFrame(const BYTE* stream, DWORD size, QVJpegFrame& frame);
// A strip stream written without tables (no DQT before its first SOS) gets the table segments
// of a table-only stream inserted behind its SOI, so that it decodes on its own.
void QVJoinJpegTables(const BYTE* tables, DWORD tablesSize, std::vector<BYTE>& stream);
