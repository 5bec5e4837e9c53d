// The JPEG codec reading from memory and from a file: the size of the input picks the decoding
// scale, so that each input is decoded once. A decoded picture must be a whole DIB of the size the
// header reading promised, reduced by the scale.

#include "foundation/imaging/CDPXDIBHandle.h"
#include "foundation/imaging/CDPXJPGImageIO.h"
#include "foundation/util/CDPXBuffer.h"
#include "platform/core/globalmem.h"
#include "tools/fuzz/FuzzSupport.h"

#include <cstring>

namespace {

void CheckDecoded(HGLOBAL dib, int width, int height, int bitsPerPixel, int scale) {
  CDPXDIBHandle image;
  fuzz::Check(image.Attach(dib), "a decoded picture is not a whole DIB");
  fuzz::Check(image.GetWidth() == (width + scale - 1) / scale && image.GetHeight() == (height + scale - 1) / scale,
              "a decoded picture has another size than its header said");
  fuzz::Check(image.GetBitsPerPixel() == bitsPerPixel, "a decoded picture has another depth than its header said");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int scales[] = {1, 2, 4, 8};
  const int scale = scales[size % 4];
  CDPXGMemBuffer buffer;
  LPBYTE bytes = buffer.AllocAndLock(static_cast<DWORD>(size));
  fuzz::Check(bytes != nullptr, "no memory for the input");
  std::memcpy(bytes, data, size);

  CDPXJPGImageIO codec;
  codec.SetScaleDenom(scale);
  int width = 0, height = 0, bitsPerPixel = 0;
  const BOOL info = codec.ReadInfoMemory(buffer, width, height, bitsPerPixel);
  if (info && !fuzz::PictureFits(width, height)) return 0;
  HGLOBAL dib = nullptr;
  if (codec.ReadMemory(buffer, &dib)) {
    fuzz::Check(info, "a picture decoded whose header could not be read");
    CheckDecoded(dib, width, height, bitsPerPixel, scale);
  }

  // The file form reads through the same decoder from another stream: it must agree.
  HGLOBAL fromFile = nullptr;
  const BOOL read = codec.Read(fuzz::WriteFile("input.jpg", data, size), &fromFile);
  fuzz::Check(read == (dib != nullptr), "the file and the memory forms disagree");
  if (fromFile) GlobalFree(fromFile);
  return 0;
}
