#pragma once
// Images for bitmap and button items. The language file stores each image as a BMP file in one of
// the forms the reader accepts: 1 bit with two palette colours, 8 bits with 256 palette colours,
// or 24 bits, uncompressed, rows bottom-up, the pixel rows directly after the palette.
//
// Inputs are BMP files (1, 4, 8, 16, 24 or 32 bits, uncompressed or with bit-field masks, either
// row order) and PNG files (any colour type). 1-bit and palette BMPs keep their depth (4 bits
// widen to 8); everything else becomes 24 bits. Transparency has no place in the stored form: a
// PNG with translucent pixels must be given a matte colour, over which it is blended.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace drsbuild {

struct Rgb {
  std::uint8_t red { 0 };
  std::uint8_t green { 0 };
  std::uint8_t blue { 0 };
};

// The bytes of a file a source names, or of a source. Throws SourceError.
std::vector<std::uint8_t> ReadSourceFile(const std::filesystem::path& file);

class SourceImage {
public:
  // Reads a BMP or PNG file (told apart by its first bytes). Throws SourceError.
  static SourceImage Load(const std::filesystem::path& file, std::optional<Rgb> matte);
  static SourceImage FromBmp(const std::vector<std::uint8_t>& bytes, const std::string& name);
  static SourceImage FromPng(const std::filesystem::path& file, std::optional<Rgb> matte);

  // The image as a complete BMP file in the stored form.
  std::vector<std::uint8_t> EncodeBmp() const;

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  int BitsPerPixel() const { return m_bitsPerPixel; }

  // Row stride in bytes of a stored row: padded to a multiple of four.
  static std::size_t Stride(int width, int bitsPerPixel);
  // Largest width or height accepted; larger images have no place in a language file.
  static constexpr int kMaxDimension = 16384;

private:
  int m_width { 0 };
  int m_height { 0 };
  int m_bitsPerPixel { 24 };
  std::vector<std::uint8_t> m_palette;  // blue, green, red, 0 per entry
  std::vector<std::uint8_t> m_rows;     // bottom-up, each row Stride() bytes
};

}  // namespace drsbuild
