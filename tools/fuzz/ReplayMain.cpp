// Replays inputs through a fuzz target once, as a test of the normal build: each argument is a
// file or a folder whose files (sorted by name, not recursive) are read. A missing argument fails
// the run, so that a seed set that went away is noticed.

#include "tools/fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The input is held in a block of exactly its size, so that a read past its end is a read past
// the block.
void Run(const std::vector<uint8_t>& input) {
  static const uint8_t kNone = 0;
  LLVMFuzzerTestOneInput(input.empty() ? &kNone : input.data(), input.size());
}

bool Replay(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  Run(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int replayed = 0;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    std::vector<fs::path> files;
    if (fs::is_directory(argv[i], error)) {
      for (const auto& entry : fs::directory_iterator(argv[i], error))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
    } else if (fs::is_regular_file(argv[i], error)) {
      files.push_back(argv[i]);
    } else {
      std::fprintf(stderr, "no such seed file or folder: %s\n", argv[i]);
      return 1;
    }
    for (const fs::path& file : files) {
      if (!Replay(file)) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return 1;
      }
      ++replayed;
    }
  }
  // The empty input too: every parser meets it.
  Run({});
  std::printf("replayed %d inputs\n", replayed);
  return 0;
}
