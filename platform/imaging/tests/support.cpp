#include "platform/imaging/tests/support.h"

#include "platform/core/codepage.h"

#include <sys/resource.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace imaging::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qv-imaging-XXXXXX").string();
  if (mkdtemp(pattern.data())) m_path = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
}

bool Shell(const std::string& command) { return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0; }

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::u16string Wide(const std::string& path) { return Utf8ToWide(path); }

AddressSpaceLimit::AddressSpaceLimit(unsigned long long bytes) {
  struct rlimit limit {};
  ::getrlimit(RLIMIT_AS, &limit);
  m_old = limit.rlim_cur;
  std::ifstream statm("/proc/self/statm");
  rlim_t pages = 0;
  statm >> pages;
  limit.rlim_cur = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + bytes;
  ::setrlimit(RLIMIT_AS, &limit);
}

AddressSpaceLimit::~AddressSpaceLimit() {
  struct rlimit limit {};
  ::getrlimit(RLIMIT_AS, &limit);
  limit.rlim_cur = m_old;
  ::setrlimit(RLIMIT_AS, &limit);
}

std::string TestFile(const std::string& name) { return std::string(QV_TESTDATA_DIR) + "/tiff/" + name; }

std::string ArtifactPath(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(QV_TEST_ARTIFACT_DIR) / "imaging";
  std::filesystem::create_directories(folder);
  return (folder / name).string();
}

namespace {

// The next header number of a PNM file, skipping white space and comments.
bool Number(std::istream& in, int& value) {
  for (;;) {
    const int c = in.peek();
    if (c == '#') {
      std::string comment;
      std::getline(in, comment);
    } else if (std::isspace(c)) {
      in.get();
    } else {
      break;
    }
  }
  return static_cast<bool>(in >> value);
}

}  // namespace

std::vector<BYTE> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

bool ReadPnm(const std::string& path, Picture& picture) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxValue = 1;
  if (!(in >> magic) || !Number(in, picture.width) || !Number(in, picture.height)) return false;
  if (magic != "P4" && (!Number(in, maxValue) || maxValue != 255)) return false;
  in.get();
  picture.rgb.assign(static_cast<size_t>(picture.width) * picture.height * 3, 0);
  for (int y = 0; y < picture.height; ++y) {
    if (magic == "P4") {
      std::vector<char> row((picture.width + 7) / 8);
      in.read(row.data(), static_cast<std::streamsize>(row.size()));
      for (int x = 0; x < picture.width; ++x) {
        const BYTE level = ((row[x / 8] >> (7 - x % 8)) & 1) ? 0 : 255;
        std::fill_n(picture.At(x, y), 3, level);
      }
    } else if (magic == "P5") {
      std::vector<char> row(picture.width);
      in.read(row.data(), static_cast<std::streamsize>(row.size()));
      for (int x = 0; x < picture.width; ++x) std::fill_n(picture.At(x, y), 3, static_cast<BYTE>(row[x]));
    } else if (magic == "P6") {
      in.read(reinterpret_cast<char*>(picture.At(0, y)), static_cast<std::streamsize>(picture.width) * 3);
    } else {
      return false;
    }
  }
  return static_cast<bool>(in);
}

bool WritePnm(const std::string& path, const Picture& picture) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << picture.width << " " << picture.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(picture.rgb.data()), static_cast<std::streamsize>(picture.rgb.size()));
  return static_cast<bool>(out);
}

bool ReadRgbaTiff(const std::string& path, int page, Picture& picture) {
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  if (!tif) return false;
  uint32_t width = 0, height = 0;
  uint16_t samples = 0, bits = 0;
  bool ok = TIFFSetDirectory(tif, static_cast<tdir_t>(page)) && TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) &&
            TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height) && TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &samples) &&
            TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bits) && samples == 4 && bits == 8;
  if (ok) {
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
    std::vector<BYTE> line(static_cast<size_t>(TIFFScanlineSize(tif)));
    for (uint32_t y = 0; ok && y < height; ++y) {
      ok = TIFFReadScanline(tif, line.data(), y, 0) >= 0;
      for (uint32_t x = 0; x < width; ++x) {
        const BYTE* p = line.data() + 4 * x;
        for (int c = 0; c < 3; ++c) picture.At(static_cast<int>(x), static_cast<int>(y))[c] = static_cast<BYTE>(std::min(255, p[c] + 255 - p[3]));
      }
    }
  }
  TIFFClose(tif);
  return ok;
}

Picture PictureOf(const Bitmap& bitmap) {
  Picture picture(bitmap.width, bitmap.height);
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) {
      COLORREF color = GetPixelColor(bitmap, y, x);
      if (color & kPaletteIndexFlag) {
        const RGBQUAD q = bitmap.palette[color & 0xFF];
        color = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
      }
      BYTE* p = picture.At(x, y);
      p[0] = GetRValue(color);
      p[1] = GetGValue(color);
      p[2] = GetBValue(color);
    }
  }
  return picture;
}

int MaxDifference(const Picture& a, const Picture& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  int most = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) most = std::max(most, std::abs(a.rgb[i] - b.rgb[i]));
  return most;
}

double MeanDifference(const Picture& a, const Picture& b) {
  if (a.width != b.width || a.height != b.height || a.rgb.empty()) return -1;
  double sum = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(a.rgb[i] - b.rgb[i]);
  return sum / static_cast<double>(a.rgb.size());
}

Picture Pattern(int width, int height) {
  Picture p(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      BYTE* px = p.At(x, y);
      if (x == 0 || y == 0 || x == width - 1 || y == height - 1 || x == y) {
        px[0] = px[1] = px[2] = 0;
      } else if (y < height / 3) {
        px[0] = static_cast<BYTE>(x * 255 / width);
        px[1] = static_cast<BYTE>(y * 255 / height);
        px[2] = static_cast<BYTE>(255 - x * 255 / width);
      } else if (y < 2 * height / 3) {
        px[0] = px[1] = px[2] = static_cast<BYTE>(x * 255 / width);
      } else {
        px[0] = static_cast<BYTE>((x / 8 + y / 8) % 2 ? 230 : 20);
        px[1] = 128;
        px[2] = static_cast<BYTE>(y * 255 / height);
      }
    }
  }
  return p;
}

bool BitmapOf(const Picture& picture, int bitsPerPixel, Bitmap& bitmap, int perspective) {
  if (!Create(bitmap, picture.width, picture.height, bitsPerPixel, kOrderBgr, nullptr, perspective)) return false;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const BYTE* p = picture.At(x, y);
      const int level = (306 * p[0] + 601 * p[1] + 117 * p[2]) >> 10;
      COLORREF color = RGB(p[0], p[1], p[2]);
      if (bitsPerPixel == 8) color = kPaletteIndexFlag | static_cast<COLORREF>(level);
      if (bitsPerPixel == 1) color = kPaletteIndexFlag | (level >= 128 ? 1u : 0u);
      if (bitsPerPixel == 4) color = kPaletteIndexFlag | static_cast<COLORREF>(level / 17);
      if (!SetPixelColor(bitmap, y, x, color)) return false;
    }
  }
  return true;
}

}  // namespace imaging::test
