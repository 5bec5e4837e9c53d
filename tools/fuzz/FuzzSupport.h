#pragma once
// What the fuzz targets share: the entry point every target defines, a temporary folder of the
// process for parsers that want files, and checks that stop the run when a parser breaks a
// promise of its header.
//
// The same target sources build two ways (cmake/QvFuzzing.cmake): with ReplayMain.cpp they read
// their seed files once as a test of the normal build; with libFuzzer they are fuzzed.

#include "platform/core/CString.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

// A folder of this process, made at the first call and removed when the process ends.
const std::string& Folder();
// Writes the bytes to `name` in the folder (replacing what was there) and answers its path. The
// same name is used again for every input, so a run leaves no files behind.
CString WriteFile(std::string_view name, const uint8_t* data, size_t size);
CString WriteFile(std::string_view name, std::string_view bytes);
// The path of `name` in the folder, without touching the disk.
CString PathOf(std::string_view name);

// Image decoders allocate the whole picture their header promises and fill what the data lacks
// (a stream cut short still gives its picture), so a few bytes can ask for gigabytes by design.
// Targets decode only pictures up to this many pixels, as image libraries' own fuzzers do, so that
// memory and time go into finding faults.
constexpr long long kMaxPixels = 1LL << 25;
inline bool PictureFits(long long width, long long height) {
  return width >= 0 && height >= 0 && (width == 0 || height <= kMaxPixels / width);
}

// Stops the process with the message when `condition` is false: a broken promise is a fault just
// as a crash is, and both builds must notice it.
void Check(bool condition, const char* what);

}  // namespace fuzz
