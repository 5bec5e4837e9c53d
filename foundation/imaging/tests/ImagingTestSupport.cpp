#include "foundation/imaging/tests/ImagingTestSupport.h"

#include "foundation/imaging/CQVBitmapHandle.h"

#include <cstdio>

namespace qvtest {

std::string Output(const std::string& command) {
  std::string text;
  FILE* pipe = ::popen(("(" + command + ") 2>&1").c_str(), "r");
  if (!pipe) return text;
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) text.append(buffer, n);
  ::pclose(pipe);
  return text;
}

bool ReferencePage(const std::string& tiffPath, int page, Picture& picture, const TempDir& dir) {
  const std::string out = dir.Path("reference.tif");
  return Shell("tiff2rgba -c none " + Quote(tiffPath) + " " + Quote(out)) && ReadRgbaTiff(out, page, picture);
}

bool TiffinfoClean(const std::string& path, std::string* report) {
  const std::string text = Output("tiffinfo -D " + Quote(path) + " >/dev/null; echo status=$?");
  if (report) *report = text;
  return text.find("status=0") != std::string::npos && text.find("Warning") == std::string::npos &&
         text.find("Error") == std::string::npos && text.find("error") == std::string::npos;
}

bool HandleOf(const Picture& picture, int bitsPerPixel, CQVBitmapHandle& handle, int perspective) {
  handle.Free();
  return BitmapOf(picture, bitsPerPixel, handle.StoreRecordToChange(), perspective);
}

Picture PictureOf(const CQVBitmapHandle& handle) { return imaging::test::PictureOf(handle.StoreRecord()); }

}  // namespace qvtest
