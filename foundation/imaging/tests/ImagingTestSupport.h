#pragma once
// Helpers of the imaging layer's tests, beside the bitmap store's own (platform/imaging/tests).

#include "platform/imaging/tests/support.h"

#include <string>

class CQVBitmapHandle;

namespace qvtest {

using namespace imaging::test;

// Runs a shell command and gives what it wrote to standard output and standard error.
std::string Output(const std::string& command);
// What libtiff's own RGBA reader shows of a page (through tiff2rgba).
bool ReferencePage(const std::string& tiffPath, int page, Picture& picture, const TempDir& dir);
// tiffinfo -D on a file: true when it reads every page without an error or warning.
bool TiffinfoClean(const std::string& path, std::string* report = nullptr);
// A bitmap handle showing a picture as BitmapOf makes it, and what a handle shows.
bool HandleOf(const Picture& picture, int bitsPerPixel, CQVBitmapHandle& handle, int perspective = imaging::kTopLeft);
Picture PictureOf(const CQVBitmapHandle& handle);

}  // namespace qvtest
