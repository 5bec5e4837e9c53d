#pragma once
// Helpers of the store's tests: temporary folders, Debian's tools, and pictures as plain RGB.

#include "platform/imaging/Bitmap.h"

#include <string>
#include <vector>

namespace imaging::test {

// A folder of its own for one test, removed with everything in it at the end.
class TempDir {
public:
  TempDir();
  ~TempDir();
  std::string Path(const std::string& name) const { return m_path + "/" + name; }

private:
  std::string m_path;
};

// Runs a shell command; true when it exits with 0.
bool Shell(const std::string& command);
std::string Quote(const std::string& text);
std::u16string Wide(const std::string& path);
std::string TestFile(const std::string& name);  // in the shared test data's tiff folder
std::string ArtifactPath(const std::string& name);

// A picture as R, G, B bytes, rows top-down.
struct Picture {
  Picture() = default;
  Picture(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3) {}

  int width{0};
  int height{0};
  std::vector<BYTE> rgb;

  const BYTE* At(int x, int y) const { return rgb.data() + (static_cast<size_t>(y) * width + x) * 3; }
  BYTE* At(int x, int y) { return rgb.data() + (static_cast<size_t>(y) * width + x) * 3; }
};

// While it lives, the process cannot map more than `bytes` beyond what it has mapped already: an
// allocation past that fails at once instead of taking the machine's memory.
class AddressSpaceLimit {
public:
  explicit AddressSpaceLimit(unsigned long long bytes);
  ~AddressSpaceLimit();
  AddressSpaceLimit(const AddressSpaceLimit&) = delete;
  AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

private:
  unsigned long long m_old { 0 };
};

std::vector<BYTE> ReadAll(const std::string& path);
// Binary PBM (P4), PGM (P5) and PPM (P6) with 8-bit samples.
bool ReadPnm(const std::string& path, Picture& picture);
bool WritePnm(const std::string& path, const Picture& picture);
// A page of an uncompressed RGBA TIFF (as tiff2rgba writes), composed on white.
bool ReadRgbaTiff(const std::string& path, int page, Picture& picture);
// What a bitmap shows, whatever its depth and palette.
Picture PictureOf(const Bitmap& bitmap);
// The largest difference of any channel; -1 when the sizes differ.
int MaxDifference(const Picture& a, const Picture& b);
// The mean difference over all channels; -1 when the sizes differ.
double MeanDifference(const Picture& a, const Picture& b);
// A test picture: colour ramps, a grey ramp band, a black frame and a diagonal line.
Picture Pattern(int width, int height);
// A bitmap that shows a picture: 24 or 32 bits as it is, 8 bits as grey, 1 bit thresholded at half.
bool BitmapOf(const Picture& picture, int bitsPerPixel, Bitmap& bitmap, int perspective = kTopLeft);

}  // namespace imaging::test
