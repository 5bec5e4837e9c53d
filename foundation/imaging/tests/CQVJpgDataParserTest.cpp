#include "foundation/imaging/CQVJpgDataParser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <csetjmp>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <jpeglib.h>

namespace fs = std::filesystem;

namespace {

// Exposes the parse for the tests.
class Parser : public CQVJpgDataParser {
public:
  using CQVJpgDataParser::ParseJpegStream;
};

std::vector<BYTE> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

// A JPEG made by cjpeg from a small gradient, with the given options.
std::vector<BYTE> MakeJpeg(bool colour, const std::string& options) {
  // Each test runs in a process of its own, side by side with the others.
  const fs::path dir = fs::temp_directory_path() / ("jpgparser-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path source = dir / (colour ? "in.ppm" : "in.pgm");
  {
    std::ofstream out(source, std::ios::binary);
    out << (colour ? "P6" : "P5") << "\n64 48\n255\n";
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x)
        for (int c = 0; c < (colour ? 3 : 1); ++c) out.put(static_cast<char>((x * 4 + y * 3 + c * 50) & 0xFF));
  }
  const fs::path target = dir / "out.jpg";
  const std::string command = "cjpeg " + options + " -outfile " + target.string() + " " + source.string();
  if (std::system(command.c_str()) != 0) return {};
  return ReadAll(target);
}

struct ErrorManager {
  jpeg_error_mgr base;
  jmp_buf jump;
};

// TRUE when libjpeg accepts the bytes as a table-only stream and learns every table from it.
bool LibjpegReadsTables(const std::vector<BYTE>& tables, int quantTables, int huffmanTables) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = [](j_common_ptr c) { longjmp(reinterpret_cast<ErrorManager*>(c->err)->jump, 1); };
  jpeg_create_decompress(&info);
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_mem_src(&info, tables.data(), static_cast<unsigned long>(tables.size()));
  const bool tablesOnly = jpeg_read_header(&info, FALSE) == JPEG_HEADER_TABLES_ONLY;
  int quant = 0, huffman = 0;
  for (auto* q : info.quant_tbl_ptrs) quant += q != nullptr;
  for (int i = 0; i < NUM_HUFF_TBLS; ++i) huffman += (info.dc_huff_tbl_ptrs[i] != nullptr) + (info.ac_huff_tbl_ptrs[i] != nullptr);
  jpeg_destroy_decompress(&info);
  return tablesOnly && quant == quantTables && huffman == huffmanTables;
}

}  // namespace

TEST(CQVJpgDataParser, TableStreamsOfRealJpegs) {
  struct Case {
    const char* what;
    bool colour;
    std::string options;
    DWORD expectedSize;  // 0: not fixed (optimised tables are as long as they need)
    int bitsPerPixel, quantTables, huffmanTables;
  };
  const Case cases[] = {
      {"colour, standard tables", true, "", 574, 24, 2, 4},
      {"grey, standard tables", false, "-grayscale", 289, 8, 1, 2},
      {"colour, optimised tables", true, "-optimize", 0, 24, 2, 4},
      {"grey, optimised tables", false, "-grayscale -optimize", 0, 8, 1, 2},
      {"restart markers in the scan", true, "-restart 1", 574, 24, 2, 4},
      {"progressive: tables between scans", true, "-progressive", 0, 24, 2, 4},
  };
  for (const Case& c : cases) {
    std::vector<BYTE> jpeg = MakeJpeg(c.colour, c.options);
    ASSERT_FALSE(jpeg.empty()) << c.what << ": cjpeg failed";
    Parser parser;
    parser.SetJpgDataPointer(jpeg.data(), static_cast<DWORD>(jpeg.size()));
    WORD found = 0;
    int bpp = 0;
    ASSERT_TRUE(parser.ParseJpegStream(found, bpp)) << c.what;
    EXPECT_EQ(found, 3) << c.what;
    EXPECT_EQ(bpp, c.bitsPerPixel) << c.what;

    std::vector<BYTE> tables(2000);
    DWORD size = 0;
    ASSERT_TRUE(parser.GetJpegTables(tables.data(), size)) << c.what;
    if (c.expectedSize) {
      EXPECT_EQ(size, c.expectedSize) << c.what;
    }
    EXPECT_LE(size, 574u) << c.what;
    tables.resize(size);
    EXPECT_TRUE(LibjpegReadsTables(tables, c.quantTables, c.huffmanTables)) << c.what;
  }
}

TEST(CQVJpgDataParser, QuantisationTables) {
  std::vector<BYTE> grey = MakeJpeg(false, "-grayscale -quality 50");
  ASSERT_FALSE(grey.empty());
  // Junk before the start of the stream is passed over.
  grey.insert(grey.begin(), {0x12, 0xFF, 0x00, 0x34});
  CQVJpgDataParser parser;
  parser.SetJpgDataPointer(grey.data(), static_cast<DWORD>(grey.size()));
  UINT zigzag[64], natural[64];
  ASSERT_TRUE(parser.GetQtTable(zigzag, 0, FALSE));
  ASSERT_TRUE(parser.GetQtTable(natural, 0, TRUE));
  // Quality 50 gives the example luminance table of the JPEG standard.
  EXPECT_EQ(natural[0], 16u);
  EXPECT_EQ(natural[1], 11u);   // row 0, column 1
  EXPECT_EQ(natural[8], 12u);   // row 1, column 0
  EXPECT_EQ(natural[63], 99u);
  EXPECT_EQ(zigzag[2], natural[8]);  // zigzag position 2 is row 1, column 0

  UINT untouched[64];
  std::fill(untouched, untouched + 64, 7u);
  EXPECT_TRUE(parser.GetQtTable(untouched, 1, TRUE));  // a grey stream has no table 1
  EXPECT_EQ(untouched[0], 7u);
  EXPECT_FALSE(parser.GetQtTable(untouched, 4, TRUE));
  EXPECT_FALSE(parser.GetQtTable(nullptr, 0, TRUE));
}

TEST(CQVJpgDataParser, DamagedStreams) {
  auto header = [](std::initializer_list<BYTE> tail) {
    std::vector<BYTE> bytes = {0xFF, 0xD8};
    bytes.insert(bytes.end(), tail);
    return bytes;
  };
  std::vector<BYTE> dhtDc0(16 + 1, 0);
  dhtDc0[1] = 1;  // one code of length 1
  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
    BOOL parses;
    WORD found;
  };
  std::vector<BYTE> validThenBadId = {0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x2A, 0x00};
  validThenBadId.insert(validThenBadId.end(), dhtDc0.begin() + 1, dhtDc0.end());  // counts
  validThenBadId.push_back(0x05);                                                 // the value
  validThenBadId.push_back(0x02);  // a table id of 2 ends the segment's reading
  validThenBadId.insert(validThenBadId.end(), 20, 0x00);
  validThenBadId.resize(4 + 0x2A);
  // A 16-bit table (1 + 128 bytes) and then an 8-bit one (1 + 64 bytes) in one segment.
  std::vector<BYTE> wideThenNarrow = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 2 + 129 + 65, 0x10};
  wideThenNarrow.insert(wideThenNarrow.end(), 128, 0x01);
  wideThenNarrow.push_back(0x01);
  wideThenNarrow.insert(wideThenNarrow.end(), 64, 0x02);
  const Case cases[] = {
      {"no start of image", {0x00, 0x01, 0xFF}, FALSE, 0},
      {"a segment longer than the data", header({0xFF, 0xDB, 0xFF, 0xFF, 0x00}), TRUE, 0},
      {"a table cut short", header({0xFF, 0xDB, 0x00, 0x43, 0x00, 1, 2, 3}), TRUE, 0},
      {"16-bit tables are passed over", wideThenNarrow, TRUE, 1},
      {"a Huffman id of 2 keeps the tables before it", validThenBadId, TRUE, 2},
  };
  for (const Case& c : cases) {
    std::vector<BYTE> bytes = c.bytes;
    Parser parser;
    parser.SetJpgDataPointer(bytes.data(), static_cast<DWORD>(bytes.size()));
    WORD found = 0xFFFF;
    int bpp = -1;
    EXPECT_EQ(parser.ParseJpegStream(found, bpp), c.parses) << c.what;
    EXPECT_EQ(found, c.found) << c.what;
  }
}

TEST(CQVJpgDataParser, ZigzagToNatural) {
  UINT table[64];
  for (UINT i = 0; i < 64; ++i) table[i] = i;  // entry = its zigzag position
  ASSERT_TRUE(CQVJpgDataParser::Zigzag2NaturalOrder(table));
  const UINT expectedStart[] = {0, 1, 5, 6, 14, 15, 27, 28, 2, 4, 7, 13};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(table[i], expectedStart[i]) << i;
  EXPECT_EQ(table[63], 63u);
  EXPECT_FALSE(CQVJpgDataParser::Zigzag2NaturalOrder(nullptr));
}
