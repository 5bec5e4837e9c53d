#include "tools/drsbuild/SourceImage.h"

#include "tools/drsbuild/ByteWriter.h"
#include "tools/drsbuild/SourceError.h"

#include <png.h>

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>

namespace drsbuild {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// One colour channel described by a bit mask, widened to 8 bits.
class Channel {
public:
  explicit Channel(std::uint32_t mask) : m_mask(mask) {
    if (!mask) return;
    while (!((mask >> m_shift) & 1u)) ++m_shift;
    while (m_bits < 32 - m_shift && ((mask >> (m_shift + m_bits)) & 1u)) ++m_bits;
  }
  std::uint8_t Value(std::uint32_t pixel) const {
    if (!m_bits) return 0;
    const std::uint64_t max = (std::uint64_t { 1 } << m_bits) - 1;
    const std::uint64_t v = (pixel & m_mask) >> m_shift;
    return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
  }

private:
  std::uint32_t m_mask { 0 };
  int m_shift { 0 };
  int m_bits { 0 };
};

std::uint8_t Blend(std::uint8_t colour, std::uint8_t matte, std::uint8_t alpha) {
  return static_cast<std::uint8_t>((colour * alpha + matte * (255 - alpha) + 127) / 255);
}

void CheckDimensions(std::int64_t width, std::int64_t height, const std::string& name) {
  if (width < 1 || height < 1 || width > SourceImage::kMaxDimension || height > SourceImage::kMaxDimension)
    throw SourceError(name + ": an image of " + std::to_string(width) + " x " + std::to_string(height) +
                      " pixels is not accepted (1 to " + std::to_string(SourceImage::kMaxDimension) + ")");
}

}  // namespace

std::size_t SourceImage::Stride(int width, int bitsPerPixel) {
  return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32) * 4;
}

std::vector<std::uint8_t> ReadSourceFile(const std::filesystem::path& file) {
  // A folder or a device opens like a file but fails or never ends when read.
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    throw SourceError(file.string() + ": is not a file");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw SourceError(file.string() + ": cannot be read");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

SourceImage SourceImage::Load(const std::filesystem::path& file, std::optional<Rgb> matte) {
  std::vector<std::uint8_t> bytes = ReadSourceFile(file);
  static constexpr std::array<std::uint8_t, 8> kPngMark = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bytes.size() >= kPngMark.size() && std::equal(kPngMark.begin(), kPngMark.end(), bytes.begin()))
    return FromPng(file, matte);
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    if (matte) throw SourceError(file.string() + ": a matte colour applies to PNG images only");
    return FromBmp(bytes, file.string());
  }
  throw SourceError(file.string() + ": neither a BMP nor a PNG file");
}

SourceImage SourceImage::FromBmp(const std::vector<std::uint8_t>& b, const std::string& name) {
  if (b.size() < kFileHeaderSize + kInfoHeaderSize || b[0] != 'B' || b[1] != 'M')
    throw SourceError(name + ": not a BMP file");
  const std::uint32_t pixelOffset = U32(&b[10]);
  const std::uint32_t headerSize = U32(&b[14]);
  if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124)
    throw SourceError(name + ": BMP header of " + std::to_string(headerSize) + " bytes is not supported");
  if (kFileHeaderSize + headerSize > b.size()) throw SourceError(name + ": BMP header is cut short");

  const std::int64_t width = static_cast<std::int32_t>(U32(&b[18]));
  const std::int64_t storedHeight = static_cast<std::int32_t>(U32(&b[22]));
  const bool topDown = storedHeight < 0;
  const std::int64_t height = topDown ? -storedHeight : storedHeight;
  const int bits = U16(&b[28]);
  const std::uint32_t compression = U32(&b[30]);
  const std::uint32_t coloursUsed = U32(&b[46]);
  CheckDimensions(width, height, name);
  if (U16(&b[26]) != 1) throw SourceError(name + ": BMP with more than one plane");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    throw SourceError(name + ": BMP depth of " + std::to_string(bits) + " bits is not supported");
  if (compression != kBiRgb && !(compression == kBiBitfields && (bits == 16 || bits == 32)))
    throw SourceError(name + ": compressed BMP files are not supported; store it uncompressed");

  // Colour masks of 16- and 32-bit pixels: in the header from 52 bytes on, else right after it.
  std::uint32_t masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
  if (bits == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  std::size_t tableAt = kFileHeaderSize + headerSize;
  if (compression == kBiBitfields) {
    const std::size_t maskAt = headerSize == 40 ? tableAt : kFileHeaderSize + 40;
    if (maskAt + 12 > b.size()) throw SourceError(name + ": BMP colour masks are cut short");
    for (int i = 0; i < 3; ++i) masks[i] = U32(&b[maskAt + 4 * i]);
    if (headerSize == 40) tableAt += 12;
  }

  SourceImage image;
  image.m_width = static_cast<int>(width);
  image.m_height = static_cast<int>(height);
  image.m_bitsPerPixel = bits == 1 ? 1 : bits <= 8 ? 8 : 24;
  if (bits <= 8) {
    const std::uint32_t capacity = 1u << bits;
    const std::uint32_t entries = coloursUsed ? coloursUsed : capacity;
    if (entries > capacity) throw SourceError(name + ": BMP palette larger than its depth allows");
    if (tableAt + 4 * static_cast<std::size_t>(entries) > b.size()) throw SourceError(name + ": BMP palette is cut short");
    image.m_palette.assign(bits == 1 ? 8 : 1024, 0);
    for (std::uint32_t i = 0; i < entries; ++i) {
      std::memcpy(&image.m_palette[4 * i], &b[tableAt + 4 * i], 3);
    }
  }

  const std::size_t sourceStride = Stride(image.m_width, bits);
  if (pixelOffset > b.size() || sourceStride * static_cast<std::size_t>(height) > b.size() - pixelOffset)
    throw SourceError(name + ": BMP pixel rows are cut short");

  const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
  const std::size_t stride = Stride(image.m_width, image.m_bitsPerPixel);
  image.m_rows.assign(stride * static_cast<std::size_t>(height), 0);
  for (std::int64_t row = 0; row < height; ++row) {
    const std::uint8_t* in = &b[pixelOffset + sourceStride * static_cast<std::size_t>(topDown ? height - 1 - row : row)];
    std::uint8_t* out = &image.m_rows[stride * static_cast<std::size_t>(row)];
    for (int x = 0; x < image.m_width; ++x) {
      switch (bits) {
      case 1:
        break;  // copied whole below
      case 4:
        out[x] = static_cast<std::uint8_t>((x & 1) ? in[x / 2] & 0x0F : in[x / 2] >> 4);
        break;
      case 8:
        out[x] = in[x];
        break;
      case 24:
        std::memcpy(out + 3 * x, in + 3 * x, 3);
        break;
      default: {
        const std::uint32_t pixel = bits == 16 ? U16(in + 2 * x) : U32(in + 4 * x);
        out[3 * x] = blue.Value(pixel);
        out[3 * x + 1] = green.Value(pixel);
        out[3 * x + 2] = red.Value(pixel);
      }
      }
    }
    if (bits == 1) std::memcpy(out, in, stride);
  }
  return image;
}

SourceImage SourceImage::FromPng(const std::filesystem::path& file, std::optional<Rgb> matte) {
  const std::string name = file.string();
  png_image png {};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, name.c_str()))
    throw SourceError(name + ": not a readable PNG file (" + png.message + ")");
  if (png.width < 1 || png.height < 1 || png.width > kMaxDimension || png.height > kMaxDimension) {
    png_image_free(&png);
    CheckDimensions(png.width, png.height, name);
  }
  png.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr)) {
    const std::string why = png.message;
    png_image_free(&png);
    throw SourceError(name + ": PNG cannot be decoded (" + why + ")");
  }

  SourceImage image;
  image.m_width = static_cast<int>(png.width);
  image.m_height = static_cast<int>(png.height);
  image.m_bitsPerPixel = 24;
  const std::size_t stride = Stride(image.m_width, 24);
  image.m_rows.assign(stride * png.height, 0);
  for (std::size_t row = 0; row < png.height; ++row) {
    const std::uint8_t* in = &rgba[4 * png.width * (png.height - 1 - row)];  // PNG rows run top-down
    std::uint8_t* out = &image.m_rows[stride * row];
    for (std::size_t x = 0; x < png.width; ++x, in += 4, out += 3) {
      const std::uint8_t alpha = in[3];
      if (alpha != 255 && !matte)
        throw SourceError(name + ": has transparent pixels; give it a matte colour (matte=#rrggbb)");
      const Rgb m = matte.value_or(Rgb {});
      out[0] = Blend(in[2], m.blue, alpha);
      out[1] = Blend(in[1], m.green, alpha);
      out[2] = Blend(in[0], m.red, alpha);
    }
  }
  return image;
}

std::vector<std::uint8_t> SourceImage::EncodeBmp() const {
  const std::uint32_t rowBytes = static_cast<std::uint32_t>(m_rows.size());
  const std::uint32_t paletteBytes = static_cast<std::uint32_t>(m_palette.size());
  const std::uint32_t pixelOffset = static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize) + paletteBytes;
  ByteWriter out;
  out.Bytes("BM", 2);
  out.U32(pixelOffset + rowBytes);
  out.U32(0);
  out.U32(pixelOffset);
  out.U32(kInfoHeaderSize);
  out.U32(static_cast<std::uint32_t>(m_width));
  out.U32(static_cast<std::uint32_t>(m_height));  // positive: rows bottom-up
  out.U16(1);
  out.U16(static_cast<std::uint16_t>(m_bitsPerPixel));
  out.U32(kBiRgb);
  out.U32(rowBytes);
  out.U32(0);
  out.U32(0);
  out.U32(0);
  out.U32(0);
  out.Bytes(m_palette.data(), m_palette.size());
  out.Bytes(m_rows.data(), m_rows.size());
  return out.Take();
}

}  // namespace drsbuild
