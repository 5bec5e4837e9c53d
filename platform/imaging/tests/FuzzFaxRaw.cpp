// Raw fax data: the first byte picks the kind of data, the next two words give the page's width
// and height (each 1 to 4096), the rest is the data. A decoded page has exactly that size.

#include "platform/imaging/File.h"
#include "tools/fuzz/FuzzSupport.h"

using namespace imaging;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  const int formats[] = {kFormatFaxG3_1D, kFormatFaxG3_2D, kFormatFaxG4, kFormatFaxG3_1DNoEol};
  const int format = formats[data[0] % 4];
  const int width = 1 + ((data[1] | data[2] << 8) & 0x0FFF);
  const int height = 1 + ((data[3] | data[4] << 8) & 0x0FFF);
  Bitmap bitmap;
  if (!LoadFaxRaw(data + 5, size - 5, bitmap, width, height, 200, 100, format)) {
    fuzz::Check(!bitmap.IsAllocated(), "a failed decode left a bitmap");
    return 0;
  }
  fuzz::Check(bitmap.width == width && bitmap.height == height && bitmap.bitsPerPixel == 1,
              "a fax page decoded to another size or depth");
  fuzz::Check(bitmap.xResolution == 200 && bitmap.yResolution == 100, "a fax page lost its resolution");
  return 0;
}
