// The DIB readers over a file: BMP files, length-prefixed DIBs and whatever ReadAnyDIB takes, from
// the file's start and with a bound on the length. Every DIB read must be whole and valid.

#include "foundation/imaging/CDPXBMPImageIO.h"
#include "foundation/imaging/CDPXDIBHandle.h"
#include "foundation/imaging/CDPXJPGImageIO.h"
#include "foundation/util/CDPXFile.h"
#include "platform/core/globalmem.h"
#include "tools/fuzz/FuzzSupport.h"

namespace {

void CheckWhole(HGLOBAL dib, const char* what) {
  CDPXDIBHandle image;
  fuzz::Check(image.Attach(dib), what);
}

void ReadWith(CDPXImageIO& reader, const CString& path, DWORD length) {
  CDPXFile file;
  fuzz::Check(file.Open(path, CFile::modeRead), "the input file cannot be opened");
  int width = 0, height = 0, bitsPerPixel = 0;
  if (reader.ReadInfo(&file, length, width, height, bitsPerPixel))
    fuzz::Check(width > 0 && height != 0, "header reading gave an impossible size");
  file.SeekToBegin();
  HGLOBAL dib = nullptr;
  if (reader.Read(&file, length, &dib)) CheckWhole(dib, "a reader gave a DIB that is not whole");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CString path = fuzz::WriteFile("input.dib", data, size);
  CDPXBMPImageIO bmp;
  CDPXImageIO prefixed;
  for (DWORD length : {DWORD(0), static_cast<DWORD>(size / 2)}) {
    ReadWith(bmp, path, length);
    ReadWith(prefixed, path, length);
  }

  // ReadAnyDIB tries the JPEG codec too: a stream that promises a picture too large is left out.
  CDPXJPGImageIO jpeg;
  int width = 0, height = 0, bitsPerPixel = 0;
  if (jpeg.ReadInfo(path, width, height, bitsPerPixel) && !fuzz::PictureFits(width, height)) return 0;
  CDPXFile file;
  fuzz::Check(file.Open(path, CFile::modeRead), "the input file cannot be opened");
  CDPXDIBHandle image;
  if (image.Read(&file)) {
    fuzz::Check(image.GetBits() != nullptr && image.GetDIBSize() > 0, "a DIB read without bits");
    image.Unlock();
  }
  return 0;
}
