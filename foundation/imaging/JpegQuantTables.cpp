#include "foundation/imaging/JpegQuantTables.h"

#include <cstdio>
#include <cstring>
#include <mutex>

#include <jpeglib.h>

namespace {

struct CustomTables {
  std::mutex lock;
  bool use { false };
  unsigned int chroma[DCTSIZE2] {};
  unsigned int luma[DCTSIZE2] {};
};

CustomTables& TheTables() {
  static CustomTables tables;
  return tables;
}

}  // namespace

void TIFFSetJpegQuantTables(BOOL use, const UINT* chroma, const UINT* luma) {
  CustomTables& tables = TheTables();
  std::lock_guard guard(tables.lock);
  tables.use = use != FALSE;
  if (chroma && luma) {
    std::memcpy(tables.chroma, chroma, sizeof tables.chroma);
    std::memcpy(tables.luma, luma, sizeof tables.luma);
  }
}

void JpegSetLinearQuality(jpeg_compress_struct* info, int scale, BOOL forceBaseline) {
  // A copy taken under the lock, so that a writer on another thread never hands libjpeg half a table.
  unsigned int chroma[DCTSIZE2];
  unsigned int luma[DCTSIZE2];
  bool use = false;
  {
    CustomTables& tables = TheTables();
    std::lock_guard guard(tables.lock);
    use = tables.use;
    std::memcpy(chroma, tables.chroma, sizeof chroma);
    std::memcpy(luma, tables.luma, sizeof luma);
  }
  if (!use) {
    jpeg_set_linear_quality(info, scale, forceBaseline ? TRUE : FALSE);
    return;
  }
  jpeg_add_quant_table(info, 0, luma, 100, forceBaseline ? TRUE : FALSE);
  jpeg_add_quant_table(info, 1, chroma, 100, forceBaseline ? TRUE : FALSE);
}

void JpegSetQuality(jpeg_compress_struct* info, int quality, BOOL forceBaseline) {
  JpegSetLinearQuality(info, jpeg_quality_scaling(quality), forceBaseline);
}
