// Text files: reads every line in the encoding the file's mark gives, then writes the lines in
// that encoding and checks that they read back the same wherever the encoding can hold them.

#include "foundation/util/CDPXStdioFile.h"
#include "tools/fuzz/FuzzSupport.h"

#include <vector>

namespace {

bool ReadLines(const CString& path, int& encoding, std::vector<CString>& lines) {
  CDPXStdioFile file;
  if (!file.OpenText(path, CFile::modeRead)) return false;
  encoding = file.GetEncoding();
  CString line;
  while (file.ReadString(line)) lines.push_back(line);
  fuzz::Check(line.IsEmpty(), "the text is not emptied at the end of the file");
  return !file.ReadFailed();
}

// A line reads back as written unless it ends in CR (taken for part of the line ending), holds a
// NUL (ending a written text) or, in the 8-bit encodings, a surrogate that pairs with nothing. In
// ANSI a line that starts with U+FEFF is left out too: written first, it would read as a mark.
bool RoundTrips(const CString& line, int encoding) {
  const std::u16string_view units = line.View();
  if (!units.empty() && units.back() == u'\r') return false;
  if (encoding == CDPXStdioFile::encodingAnsi && !units.empty() && units.front() == 0xFEFF) return false;
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    if (unit == 0) return false;
    if (encoding == CDPXStdioFile::encodingUtf16LE || encoding == CDPXStdioFile::encodingUtf16BE) continue;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int encoding = 0;
  std::vector<CString> lines;
  if (!ReadLines(fuzz::WriteFile("input.txt", data, size), encoding, lines)) return 0;
  CString whole;
  fuzz::Check(DPXReadTextFile(fuzz::PathOf("input.txt"), whole), "a readable text file could not be read whole");

  std::vector<CString> kept;
  for (const CString& line : lines)
    if (RoundTrips(line, encoding)) kept.push_back(line);
  const CString copy = fuzz::PathOf("copy.txt");
  {
    CDPXStdioFile file;
    fuzz::Check(file.CreateText(copy, encoding, CFile::modeCreate | CFile::modeWrite), "a text file could not be made");
    for (const CString& line : kept) {
      fuzz::Check(file.WriteString(line) && file.WriteString(u"\n"), "a line could not be written");
    }
  }
  int encodingAgain = -1;
  std::vector<CString> linesAgain;
  fuzz::Check(ReadLines(copy, encodingAgain, linesAgain), "a written text file could not be read");
  fuzz::Check(encodingAgain == encoding || (encoding == CDPXStdioFile::encodingAnsi && kept.empty()),
              "a written text file reads in another encoding");
  fuzz::Check(linesAgain == kept, "written lines do not read back as written");
  return 0;
}
