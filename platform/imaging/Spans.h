#pragma once
// Internal to the bitmap store: how the pixels of a reduced or enlarged axis map onto the source's,
// and counting set bits of packed 1-bit rows.

#include "platform/imaging/Bitmap.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace imaging {

// Pixels [first, last) of a source axis that target pixel i covers (at least one).
struct Span {
  int first;
  int last;
};

inline std::vector<Span> Spans(int offset, int sourceSize, int targetSize) {
  std::vector<Span> spans(targetSize);
  for (int i = 0; i < targetSize; ++i) {
    const int first = static_cast<int>(static_cast<long long>(i) * sourceSize / targetSize);
    const int last = static_cast<int>(static_cast<long long>(i + 1) * sourceSize / targetSize);
    spans[i] = {offset + first, offset + std::max(last, first + 1)};
  }
  return spans;
}

// Set bits in [x0, x1) of a packed 1-bit row (most significant bit first). Inlined into its callers
// so that each of their builds counts with the instructions it was built for.
[[gnu::always_inline]] inline int CountOnes(const BYTE* row, int x0, int x1) {
  const int b0 = x0 >> 3, b1 = (x1 - 1) >> 3;
  const BYTE head = static_cast<BYTE>(0xFF >> (x0 & 7));
  const BYTE tail = static_cast<BYTE>(0xFF << (7 - ((x1 - 1) & 7)));
  if (b0 == b1) return std::popcount(static_cast<unsigned>(row[b0] & head & tail));
  int count = std::popcount(static_cast<unsigned>(row[b0] & head)) + std::popcount(static_cast<unsigned>(row[b1] & tail));
  int b = b0 + 1;
  for (; b + 8 <= b1; b += 8) {
    std::uint64_t word;
    std::memcpy(&word, row + b, 8);
    count += std::popcount(word);
  }
  for (; b < b1; ++b) count += std::popcount(static_cast<unsigned>(row[b]));
  return count;
}

}  // namespace imaging
