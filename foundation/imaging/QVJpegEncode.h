#pragma once
// The imaging layer's JPEG encoder: baseline streams with libjpeg's standard tables at a quality,
// or with quantisation tables chosen by the caller, passed per call (no process-wide state).

#include "platform/core/wintypes.h"

#include <vector>

struct QVJpegEncodeParams {
  int quality { 75 };
  // Custom tables in natural (row) order; both or neither. Values are clamped to 1..255.
  const UINT* lumaTable { nullptr };
  const UINT* chromaTable { nullptr };
  int xDpi { 0 };  // written into the JFIF header when both are above 0
  int yDpi { 0 };
  bool rgbOrder { false };  // 3-component rows are R, G, B instead of B, G, R
};

// Supplies the picture's rows from the top: `components` bytes per pixel, grey or B, G, R.
using QVJpegRowSource = const BYTE* (*)(void* context, int row);

// A complete interchange stream (SOI .. EOI) of a 1-component (grey) or 3-component (BGR)
// picture; 3-component pictures are coded as YCbCr with the chroma halved both ways.
BOOL QVJpegEncode(int width, int height, int components, QVJpegRowSource rows, void* context,
                  const QVJpegEncodeParams& params, std::vector<BYTE>& stream);
