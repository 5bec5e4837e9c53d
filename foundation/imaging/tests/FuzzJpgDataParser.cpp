// The JPEG marker parser: reads the tables of a stream, writes the table-only stream into a block
// of exactly the size its header promises, and checks that the luminance table reads back from
// what it wrote.

#include "foundation/imaging/CQVJpgDataParser.h"
#include "tools/fuzz/FuzzSupport.h"

#include <algorithm>
#include <vector>

namespace {

constexpr DWORD kTablesRoom = 574;

// Table `index` as the parser hands it out; every entry stays ~0 while the stream lacks it.
std::vector<UINT> Table(CQVJpgDataParser& parser, int index, BOOL naturalOrder) {
  std::vector<UINT> table(64, ~0u);
  fuzz::Check(parser.GetQtTable(table.data(), index, naturalOrder), "a parsed stream gave no table");
  return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<BYTE> stream(data, data + size);
  CQVJpgDataParser parser;
  parser.SetJpgDataPointer(stream.data(), static_cast<DWORD>(stream.size()));
  std::vector<BYTE> tables(kTablesRoom);
  DWORD length = 0;
  if (!parser.GetJpegTables(tables.data(), length)) return 0;
  fuzz::Check(length >= 4 && length <= kTablesRoom, "the table-only stream has an impossible size");
  for (int index = 0; index < 4; ++index) {
    const std::vector<UINT> zigzag = Table(parser, index, FALSE), natural = Table(parser, index, TRUE);
    fuzz::Check(std::is_permutation(zigzag.begin(), zigzag.end(), natural.begin()), "row order lost entries of a table");
  }

  tables.resize(length);
  CQVJpgDataParser again;
  again.SetJpgDataPointer(tables.data(), length);
  std::vector<BYTE> tablesAgain(kTablesRoom);
  DWORD lengthAgain = 0;
  fuzz::Check(again.GetJpegTables(tablesAgain.data(), lengthAgain), "the table-only stream does not parse");
  fuzz::Check(Table(again, 0, FALSE) == Table(parser, 0, FALSE), "the luminance table did not survive");
  return 0;
}
