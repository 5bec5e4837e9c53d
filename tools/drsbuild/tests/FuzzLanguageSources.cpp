// The language-file builder's sources: a language source and the one file it may name, built into
// a language file. The input is the source's text, then a NUL byte and the bytes of the file `p`
// beside it (an image for bitmaps and buttons, or a data file). Mistakes are refused with a
// SourceError; anything else that escapes is a fault.

#include "tools/drsbuild/DrsWriter.h"
#include "tools/drsbuild/LanguageCatalog.h"
#include "tools/drsbuild/SourceError.h"
#include "tools/fuzz/FuzzSupport.h"

#include <algorithm>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = std::min(input.find('\0'), input.size());
  const std::string_view source = input.substr(0, split);
  // Names stay inside the target's folder: a source may name any file of the machine.
  if (source.find('/') != std::string_view::npos) return 0;
  fuzz::WriteFile("source.lang", source);
  fuzz::WriteFile("p", split < input.size() ? input.substr(split + 1) : std::string_view());
  try {
    drsbuild::LanguageCatalog catalog;
    catalog.AddSource(fuzz::Folder() + "/source.lang");
    const std::vector<std::uint8_t> file = drsbuild::DrsWriter::Build(catalog);
    fuzz::Check(file.size() > 32, "a language file holds more than its header");
  } catch (const drsbuild::SourceError&) {
  }
  return 0;
}
