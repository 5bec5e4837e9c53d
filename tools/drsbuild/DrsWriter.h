#pragma once
// Lays out a language file: the 32-byte typed-file header, then the body, in which every offset
// counts from the end of the header. The body holds the offset of the first language, then each
// language record followed by the records of its items, each chain linked by "next" offsets that
// end with 0.

#include "tools/drsbuild/LanguageCatalog.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace drsbuild {

class DrsWriter {
public:
  // The whole file. Throws SourceError when there is no language or the file would pass 4 GiB.
  static std::vector<std::uint8_t> Build(const LanguageCatalog& catalog);
  // Writes beside the target and renames over it, so that a failed build never leaves half a file.
  static void Save(const std::vector<std::uint8_t>& bytes, const std::filesystem::path& target);
};

}  // namespace drsbuild
