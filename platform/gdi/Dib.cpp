#include "platform/gdi/Dib.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

namespace gdi {

namespace {

constexpr int kMaxExtent = 1 << 26;  // beyond any real image; keeps all byte arithmetic exact

uint32_t PixelFromQuad(const RGBQUAD& q) { return kOpaque | (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue; }

int Distance(uint32_t a, uint32_t b) {
  const int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
  const int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
  const int db = int(a & 0xFF) - int(b & 0xFF);
  return dr * dr + dg * dg + db * db;
}

}  // namespace

std::optional<DibFormat> DibFormat::From(const BITMAPINFO* info, UINT usage) {
  if (!info || usage != DIB_RGB_COLORS) return std::nullopt;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biCompression != BI_RGB) return std::nullopt;
  if (h.biWidth <= 0 || h.biWidth > kMaxExtent || h.biHeight == 0 || h.biHeight < -kMaxExtent || h.biHeight > kMaxExtent)
    return std::nullopt;
  const int bits = h.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
  DibFormat f;
  f.width = h.biWidth;
  f.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  f.topDown = h.biHeight < 0;
  f.bitCount = bits;
  f.stride = Stride(f.width, bits);
  if (uint64_t(f.stride) * uint64_t(f.height) > uint64_t(INT_MAX)) return std::nullopt;
  if (bits <= 8) {
    const DWORD full = 1u << bits;
    const DWORD entries = (h.biClrUsed == 0 || h.biClrUsed > full) ? full : h.biClrUsed;
    const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + h.biSize);
    f.palette.reserve(entries);
    for (DWORD i = 0; i < entries; ++i) f.palette.push_back(PixelFromQuad(table[i]));
  }
  return f;
}

uint8_t DibFormat::NearestIndex(uint32_t pixel) const {
  int best = 0;
  int bestDistance = INT_MAX;
  for (size_t i = 0; i < palette.size() && bestDistance > 0; ++i) {
    const int d = Distance(pixel, palette[i]);
    if (d < bestDistance) {
      bestDistance = d;
      best = int(i);
    }
  }
  return uint8_t(best);
}

std::vector<uint32_t> DefaultPalette(int bitCount) {
  std::vector<uint32_t> palette;
  auto add = [&](int r, int g, int b) { palette.push_back(kOpaque | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b)); };
  if (bitCount == 1) {
    add(0, 0, 0);
    add(255, 255, 255);
  } else if (bitCount == 4) {
    const int standard[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                 {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                 {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                 {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (const auto& c : standard) add(c[0], c[1], c[2]);
  } else if (bitCount == 8) {
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) add(r * 51, g * 51, b * 51);
    for (int i = 0; i < 40; ++i) {
      const int v = i * 255 / 39;
      add(v, v, v);
    }
  }
  return palette;
}

void DecodeDibRow(const DibFormat& f, const BYTE* row, int x, int count, uint32_t* out) {
  auto entry = [&](unsigned index) { return index < f.palette.size() ? f.palette[index] : kBlack; };
  switch (f.bitCount) {
    case 1:
      for (int i = 0; i < count; ++i) {
        const int px = x + i;
        out[i] = entry((row[px >> 3] >> (7 - (px & 7))) & 1);
      }
      break;
    case 4:
      for (int i = 0; i < count; ++i) {
        const int px = x + i;
        const BYTE b = row[px >> 1];
        out[i] = entry((px & 1) ? (b & 0x0F) : (b >> 4));
      }
      break;
    case 8:
      for (int i = 0; i < count; ++i) out[i] = entry(row[x + i]);
      break;
    case 24:
      for (int i = 0; i < count; ++i) {
        const BYTE* p = row + size_t(x + i) * 3;
        out[i] = kOpaque | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
      }
      break;
    case 32:
      if constexpr (std::endian::native == std::endian::little) {
        // B, G, R, unused in memory: the pixel's own layout once the unused byte is made opaque.
        const BYTE* in = row + size_t(x) * 4;
        for (int i = 0; i < count; ++i) {
          uint32_t pixel;
          std::memcpy(&pixel, in + size_t(i) * 4, 4);
          out[i] = pixel | kOpaque;
        }
      } else {
        for (int i = 0; i < count; ++i) {
          const BYTE* p = row + size_t(x + i) * 4;
          out[i] = kOpaque | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
      }
      break;
  }
}

void DibRowEncoder::Encode(const uint32_t* pixels, int count, BYTE* row) {
  auto index = [&](uint32_t pixel) {
    pixel |= kOpaque;
    auto found = m_nearest.find(pixel);
    if (found != m_nearest.end()) return found->second;
    const uint8_t i = m_format.NearestIndex(pixel);
    m_nearest.emplace(pixel, i);
    return i;
  };
  switch (m_format.bitCount) {
    case 1:
      std::memset(row, 0, size_t(count + 7) / 8);
      for (int i = 0; i < count; ++i)
        if (index(pixels[i]) & 1) row[i >> 3] |= BYTE(0x80 >> (i & 7));
      break;
    case 4:
      std::memset(row, 0, size_t(count + 1) / 2);
      for (int i = 0; i < count; ++i) row[i >> 1] |= BYTE((index(pixels[i]) & 0x0F) << ((i & 1) ? 0 : 4));
      break;
    case 8:
      for (int i = 0; i < count; ++i) row[i] = index(pixels[i]);
      break;
    case 24:
      for (int i = 0; i < count; ++i) {
        BYTE* p = row + size_t(i) * 3;
        p[0] = BYTE(pixels[i]);
        p[1] = BYTE(pixels[i] >> 8);
        p[2] = BYTE(pixels[i] >> 16);
      }
      break;
    case 32:
      for (int i = 0; i < count; ++i) {
        BYTE* p = row + size_t(i) * 4;
        p[0] = BYTE(pixels[i]);
        p[1] = BYTE(pixels[i] >> 8);
        p[2] = BYTE(pixels[i] >> 16);
        p[3] = 0;
      }
      break;
  }
}

int DdbStride(int width, int bitsPixel) { return int(((int64_t(width) * bitsPixel + 15) / 16) * 2); }

void ImageToDdbBits(const QImage& image, int bitsPixel, BYTE* bits, size_t size) {
  const size_t stride = size_t(DdbStride(image.width(), bitsPixel));
  std::vector<BYTE> row(stride);
  for (int y = 0; y < image.height() && size_t(y) * stride < size; ++y) {
    const uint32_t* in = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    std::fill(row.begin(), row.end(), BYTE(0));
    for (int x = 0; x < image.width(); ++x) {
      if (bitsPixel == 1) {
        if (in[x] & kColourBits) row[size_t(x) >> 3] |= BYTE(0x80 >> (x & 7));
      } else {
        BYTE* p = &row[size_t(x) * 4];
        p[0] = BYTE(in[x]);
        p[1] = BYTE(in[x] >> 8);
        p[2] = BYTE(in[x] >> 16);
      }
    }
    std::memcpy(bits + size_t(y) * stride, row.data(), std::min(stride, size - size_t(y) * stride));
  }
}

void DdbBitsToImage(const BYTE* bits, size_t size, int bitsPixel, QImage& image) {
  // As many pixels as the bytes reach, row by row.
  const size_t stride = size_t(DdbStride(image.width(), bitsPixel));
  for (int y = 0; y < image.height() && size_t(y) * stride < size; ++y) {
    const BYTE* in = bits + size_t(y) * stride;
    const size_t available = size - size_t(y) * stride;
    uint32_t* out = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (bitsPixel == 1) {
        if (size_t(x >> 3) >= available) break;
        out[x] = ((in[x >> 3] >> (7 - (x & 7))) & 1) ? kWhite : kBlack;
      } else {
        if (size_t(x) * 4 + 3 >= available) break;
        const BYTE* p = in + size_t(x) * 4;
        out[x] = kOpaque | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
      }
    }
  }
}

}  // namespace gdi
