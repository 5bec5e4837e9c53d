#include "platform/imaging/JpegSetup.h"
#include "platform/imaging/codecs.h"
#include "platform/imaging/pixels.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace imaging {

namespace {

[[noreturn]] void JumpBack(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); }
void Silent(j_common_ptr) {}

}  // namespace

void InstallJpegErrors(j_common_ptr info, JpegErrors& errors) {
  info->err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpBack;
  errors.manager.output_message = Silent;
}

bool ChooseJpegOutput(jpeg_decompress_struct& info, int scale) {
  if (info.num_components == 1) {
    info.out_color_space = JCS_GRAYSCALE;
  } else if (info.num_components == 3) {
    info.out_color_space = JCS_EXT_BGR;
  } else {
    return false;
  }
  info.scale_num = 1;
  info.scale_denom = (scale == 2 || scale == 4 || scale == 8) ? static_cast<unsigned>(scale) : 1;
  return true;
}

namespace {

int DensityToDpi(int unit, int density) {
  switch (unit) {
    case 1: return density;
    case 2: return (density * 254 + 50) / 100;
    default: return 0;
  }
}

// Whether `size` bytes can hold the coded picture at all: every 8 x 8 block of every component
// takes at least two bits in a sequential stream (its DC value and the end of its block) and one
// in a progressive one (its first DC scan). A stream that declares far more is refused before
// the picture is allocated.
bool DataCanFill(const jpeg_decompress_struct& info, SIZE_T size) {
  unsigned long long blocks = 0;
  for (int i = 0; i < info.num_components; ++i) {
    blocks += static_cast<unsigned long long>(info.comp_info[i].width_in_blocks) * info.comp_info[i].height_in_blocks;
  }
  return blocks * (info.progressive_mode ? 1 : 2) / 8 <= size;
}

// Reads the header and sets up the output; false for pictures the store cannot hold (CMYK).
bool PrepareOutput(jpeg_decompress_struct& info, int scale) {
  jpeg_read_header(&info, TRUE);
  if (!ChooseJpegOutput(info, scale)) return false;
  jpeg_calc_output_dimensions(&info);
  return true;
}

}  // namespace

bool IsJpeg(const BYTE* data, SIZE_T size) { return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF; }

bool DecodeJpeg(const BYTE* data, SIZE_T size, int scale, Bitmap& bitmap) {
  Reset(bitmap);
  jpeg_decompress_struct info;
  JpegErrors errors;
  InstallJpegErrors(reinterpret_cast<j_common_ptr>(&info), errors);
  jpeg_create_decompress(&info);
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    Reset(bitmap);
    return false;
  }
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  if (!PrepareOutput(info, scale) || !DataCanFill(info, size) ||
      !Create(bitmap, static_cast<int>(info.output_width), static_cast<int>(info.output_height), info.num_components == 1 ? 8 : 24)) {
    jpeg_destroy_decompress(&info);
    Reset(bitmap);
    return false;
  }
  bitmap.xResolution = DensityToDpi(info.density_unit, info.X_density);
  bitmap.yResolution = DensityToDpi(info.density_unit, info.Y_density);
  jpeg_start_decompress(&info);
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[8];
    const int count = static_cast<int>(std::min<JDIMENSION>(8, info.output_height - info.output_scanline));
    for (int i = 0; i < count; ++i) rows[i] = ViewRow(bitmap, static_cast<int>(info.output_scanline) + i);
    jpeg_read_scanlines(&info, rows, static_cast<JDIMENSION>(count));
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

bool JpegInfo(const BYTE* data, SIZE_T size, FileInfo& info) {
  jpeg_decompress_struct decoder;
  JpegErrors errors;
  InstallJpegErrors(reinterpret_cast<j_common_ptr>(&decoder), errors);
  jpeg_create_decompress(&decoder);
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&decoder);
    return false;
  }
  jpeg_mem_src(&decoder, data, static_cast<unsigned long>(size));
  const bool ok = PrepareOutput(decoder, 1);
  if (ok) {
    info.format = kFormatJpeg;
    info.width = static_cast<int>(decoder.output_width);
    info.height = static_cast<int>(decoder.output_height);
    info.bitsPerPixel = decoder.num_components == 1 ? 8 : 24;
    info.xResolution = DensityToDpi(decoder.density_unit, decoder.X_density);
    info.yResolution = DensityToDpi(decoder.density_unit, decoder.Y_density);
    info.pageCount = 1;
  }
  jpeg_destroy_decompress(&decoder);
  return ok;
}

bool EncodeJpeg(const Bitmap& bitmap, int quality, std::vector<BYTE>& file) {
  if (!bitmap.IsAllocated() || (bitmap.bitsPerPixel != 8 && bitmap.bitsPerPixel != 24 && bitmap.bitsPerPixel != 32)) return false;
  jpeg_compress_struct info;
  JpegErrors errors;
  // libjpeg allocates the output with malloc and grows it; it is ours to free on every path.
  struct Output {
    unsigned char* data;
    unsigned long size;
  } output{nullptr, 0};
  InstallJpegErrors(reinterpret_cast<j_common_ptr>(&info), errors);
  jpeg_create_compress(&info);
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&info);
    std::free(output.data);
    return false;
  }
  jpeg_mem_dest(&info, &output.data, &output.size);
  info.image_width = static_cast<JDIMENSION>(bitmap.width);
  info.image_height = static_cast<JDIMENSION>(bitmap.height);
  const bool rgb = IsRgbOrder(bitmap.order);
  switch (bitmap.bitsPerPixel) {
    case 8: info.input_components = 1, info.in_color_space = JCS_GRAYSCALE; break;
    case 24: info.input_components = 3, info.in_color_space = rgb ? JCS_EXT_RGB : JCS_EXT_BGR; break;
    default: info.input_components = 4, info.in_color_space = rgb ? JCS_EXT_RGBX : JCS_EXT_BGRX;
  }
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (bitmap.xResolution > 0 && bitmap.yResolution > 0 && bitmap.xResolution <= 65535 && bitmap.yResolution <= 65535) {
    info.density_unit = 1;
    info.X_density = static_cast<UINT16>(bitmap.xResolution);
    info.Y_density = static_cast<UINT16>(bitmap.yResolution);
  }
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = ViewRow(bitmap, static_cast<int>(info.next_scanline));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  file.assign(output.data, output.data + output.size);
  std::free(output.data);
  return true;
}

}  // namespace imaging
