#include "foundation/imaging/QVJpegEncode.h"

#include "platform/imaging/JpegSetup.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace {

using imaging::JpegErrors;

// A growing malloc'ed buffer; failure to grow is reported to libjpeg as a write error.
struct Destination {
  jpeg_destination_mgr base;
  BYTE* buffer;
  size_t capacity;
};

void InitDestination(j_compress_ptr) {}

boolean GrowDestination(j_compress_ptr info) {
  auto* d = reinterpret_cast<Destination*>(info->dest);
  const size_t capacity = d->capacity * 2;
  auto* grown = static_cast<BYTE*>(std::realloc(d->buffer, capacity));
  if (!grown) ERREXIT(info, JERR_FILE_WRITE);
  d->base.next_output_byte = grown + d->capacity;
  d->base.free_in_buffer = capacity - d->capacity;
  d->buffer = grown;
  d->capacity = capacity;
  return TRUE;
}

void TermDestination(j_compress_ptr) {}

// Installs a table of natural-order values; libjpeg keeps its tables in natural order too.
void AddTable(j_compress_ptr info, int slot, const UINT* natural) {
  unsigned int values[64];
  for (int i = 0; i < 64; ++i) values[i] = natural[i] < 1 ? 1 : (natural[i] > 255 ? 255 : natural[i]);
  jpeg_add_quant_table(info, slot, values, 100, TRUE);
}

// The part that libjpeg may leave by longjmp: plain C state only.
bool Compress(jpeg_compress_struct& info, JpegErrors& errors, Destination& dest, int width, int height,
              int components, QVJpegRowSource rows, void* context, const QVJpegEncodeParams& params) {
  if (setjmp(errors.jump)) return false;
  jpeg_create_compress(&info);
  info.dest = &dest.base;
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = components;
  info.in_color_space = components == 3 ? (params.rgbOrder ? JCS_EXT_RGB : JCS_EXT_BGR) : JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, params.quality < 1 ? 1 : (params.quality > 100 ? 100 : params.quality), TRUE);
  if (params.lumaTable && params.chromaTable) {
    AddTable(&info, 0, params.lumaTable);
    AddTable(&info, 1, params.chromaTable);
  }
  if (params.xDpi > 0 && params.yDpi > 0 && params.xDpi <= 65535 && params.yDpi <= 65535) {
    info.density_unit = 1;
    info.X_density = static_cast<UINT16>(params.xDpi);
    info.Y_density = static_cast<UINT16>(params.yDpi);
  }
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rows(context, static_cast<int>(info.next_scanline)));
    if (!row) ERREXIT(&info, JERR_BAD_STATE);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

}  // namespace

BOOL QVJpegEncode(int width, int height, int components, QVJpegRowSource rows, void* context,
                  const QVJpegEncodeParams& params, std::vector<BYTE>& stream) {
  stream.clear();
  if (width <= 0 || height <= 0 || width > 65500 || height > 65500 || (components != 1 && components != 3) || !rows) {
    return FALSE;
  }
  jpeg_compress_struct info {};
  JpegErrors errors {};
  imaging::InstallJpegErrors(reinterpret_cast<j_common_ptr>(&info), errors);
  Destination dest {};
  dest.capacity = 64 * 1024;
  dest.buffer = static_cast<BYTE*>(std::malloc(dest.capacity));
  if (!dest.buffer) return FALSE;
  dest.base.next_output_byte = dest.buffer;
  dest.base.free_in_buffer = dest.capacity;
  dest.base.init_destination = InitDestination;
  dest.base.empty_output_buffer = GrowDestination;
  dest.base.term_destination = TermDestination;

  const bool ok = Compress(info, errors, dest, width, height, components, rows, context, params);
  jpeg_destroy_compress(&info);
  if (ok) {
    const size_t used = dest.capacity - dest.base.free_in_buffer;
    stream.assign(dest.buffer, dest.buffer + used);
  }
  std::free(dest.buffer);
  return ok ? TRUE : FALSE;
}
