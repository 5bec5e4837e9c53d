#include "foundation/imaging/CDPXJPGImageIO.h"

#include "foundation/imaging/CDPXDIBHandle.h"
#include "foundation/imaging/JpegQuantTables.h"
#include "foundation/util/CDPXBuffer.h"
#include "platform/core/CFile.h"
#include "platform/imaging/JpegSetup.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

IMPLEMENT_DYNAMIC(__CIJGIOStream, CObject)
IMPLEMENT_DYNAMIC(CDPXJPGImageIO, CDPXImageIO)

// libjpeg is C: a fatal error leaves it through longjmp back to the setjmp of the function that
// started the sequence of calls. Each such function below is small and holds nothing with a
// destructor, nor does any frame that libjpeg calls back into; the objects of the operation live
// in the caller, above the setjmp.

namespace {

constexpr UINT kStreamBufferSize = 4096;
// Enough for the whole-image buffers of progressive pages far beyond A3 at 600 dpi; a header
// that claims more fails instead of exhausting memory.
constexpr long kMaxDecoderMemory = 1L << 30;

using imaging::JpegErrors;

UINT jpeg_stream_read(__CIJGIOStream* stream, BYTE* buffer, UINT count) { return stream->Read(buffer, count); }
UINT jpeg_stream_write(__CIJGIOStream* stream, const BYTE* buffer, UINT count) { return stream->Write(buffer, count); }

struct StreamSource {
  jpeg_source_mgr pub;
  __CIJGIOStream* stream;
  JOCTET* buffer;
  boolean startOfFile;
};

void init_stream_source(j_decompress_ptr info) { reinterpret_cast<StreamSource*>(info->src)->startOfFile = TRUE; }

boolean fill_stream_buffer(j_decompress_ptr info) {
  StreamSource* source = reinterpret_cast<StreamSource*>(info->src);
  UINT count = jpeg_stream_read(source->stream, source->buffer, kStreamBufferSize);
  if (count == 0) {
    if (source->startOfFile) ERREXIT(info, JERR_INPUT_EMPTY);
    // A stream cut short: the decoder ends it here and fills the missing rows itself.
    WARNMS(info, JWRN_JPEG_EOF);
    source->buffer[0] = 0xFF;
    source->buffer[1] = JPEG_EOI;
    count = 2;
  }
  source->pub.next_input_byte = source->buffer;
  source->pub.bytes_in_buffer = count;
  source->startOfFile = FALSE;
  return TRUE;
}

void skip_stream_data(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* source = info->src;
  while (count > static_cast<long>(source->bytes_in_buffer)) {
    count -= static_cast<long>(source->bytes_in_buffer);
    source->fill_input_buffer(info);
  }
  source->next_input_byte += count;
  source->bytes_in_buffer -= static_cast<size_t>(count);
}

void term_stream_source(j_decompress_ptr) {}

void jpeg_stream_src(j_decompress_ptr info, __CIJGIOStream* stream) {
  if (!info->src) {
    auto* source = static_cast<StreamSource*>(
        info->mem->alloc_small(reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, sizeof(StreamSource)));
    source->buffer = static_cast<JOCTET*>(
        info->mem->alloc_small(reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, kStreamBufferSize));
    info->src = &source->pub;
  }
  StreamSource* source = reinterpret_cast<StreamSource*>(info->src);
  source->pub.init_source = init_stream_source;
  source->pub.fill_input_buffer = fill_stream_buffer;
  source->pub.skip_input_data = skip_stream_data;
  source->pub.resync_to_restart = jpeg_resync_to_restart;
  source->pub.term_source = term_stream_source;
  source->pub.bytes_in_buffer = 0;
  source->pub.next_input_byte = nullptr;
  source->stream = stream;
}

struct StreamDestination {
  jpeg_destination_mgr pub;
  __CIJGIOStream* stream;
  JOCTET* buffer;
};

void init_stream_destination(j_compress_ptr info) {
  StreamDestination* destination = reinterpret_cast<StreamDestination*>(info->dest);
  destination->buffer = static_cast<JOCTET*>(
      info->mem->alloc_small(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE, kStreamBufferSize));
  destination->pub.next_output_byte = destination->buffer;
  destination->pub.free_in_buffer = kStreamBufferSize;
}

boolean empty_stream_buffer(j_compress_ptr info) {
  StreamDestination* destination = reinterpret_cast<StreamDestination*>(info->dest);
  if (jpeg_stream_write(destination->stream, destination->buffer, kStreamBufferSize) != kStreamBufferSize) {
    ERREXIT(info, JERR_FILE_WRITE);
  }
  destination->pub.next_output_byte = destination->buffer;
  destination->pub.free_in_buffer = kStreamBufferSize;
  return TRUE;
}

void term_stream_destination(j_compress_ptr info) {
  StreamDestination* destination = reinterpret_cast<StreamDestination*>(info->dest);
  const UINT count = kStreamBufferSize - static_cast<UINT>(destination->pub.free_in_buffer);
  if (count > 0 && jpeg_stream_write(destination->stream, destination->buffer, count) != count) {
    ERREXIT(info, JERR_FILE_WRITE);
  }
}

void jpeg_stream_dest(j_compress_ptr info, __CIJGIOStream* stream) {
  if (!info->dest) {
    info->dest = static_cast<jpeg_destination_mgr*>(
        info->mem->alloc_small(reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, sizeof(StreamDestination)));
  }
  StreamDestination* destination = reinterpret_cast<StreamDestination*>(info->dest);
  destination->pub.init_destination = init_stream_destination;
  destination->pub.empty_output_buffer = empty_stream_buffer;
  destination->pub.term_destination = term_stream_destination;
  destination->stream = stream;
}

// Creates the decompressor on the stream, reads the header and sets the output up: grey for one
// component, blue-green-red for three, at 1/denominator. With `start` decompression starts (for
// progressive streams that reads the whole image); without it only the output size is worked out.
bool StartDecompress(jpeg_decompress_struct& info, JpegErrors& errors, __CIJGIOStream& stream, int denominator,
                     bool start) {
  imaging::InstallJpegErrors(reinterpret_cast<j_common_ptr>(&info), errors);
  if (setjmp(errors.jump)) return false;
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_stream_src(&info, &stream);
  jpeg_read_header(&info, TRUE);
  if (!imaging::ChooseJpegOutput(info, denominator)) return false;
  if (start) {
    jpeg_start_decompress(&info);
  } else {
    jpeg_calc_output_dimensions(&info);
  }
  return true;
}

// Image row y goes to the stored row height-1-y of a bottom-up DIB.
bool ReadRows(jpeg_decompress_struct& info, JpegErrors& errors, BYTE* bits, int stride) {
  if (setjmp(errors.jump)) return false;
  const JDIMENSION height = info.output_height;
  while (info.output_scanline < height) {
    JSAMPROW row = bits + static_cast<size_t>(height - 1 - info.output_scanline) * static_cast<size_t>(stride);
    if (jpeg_read_scanlines(&info, &row, 1) != 1) return false;
  }
  return true;
}

// What the encoder takes from a DIB.
struct EncodeSource {
  const BYTE* bits;
  int stride;
  int width;
  int height;
  int bitsPerPixel;
  bool topDown;
  int xDpi;
  int yDpi;
  int quality;
};

bool Compress(jpeg_compress_struct& info, JpegErrors& errors, __CIJGIOStream& stream, const EncodeSource& source) {
  imaging::InstallJpegErrors(reinterpret_cast<j_common_ptr>(&info), errors);
  if (setjmp(errors.jump)) return false;
  jpeg_create_compress(&info);
  jpeg_stream_dest(&info, &stream);
  info.image_width = static_cast<JDIMENSION>(source.width);
  info.image_height = static_cast<JDIMENSION>(source.height);
  info.input_components = source.bitsPerPixel == 8 ? 1 : 3;
  info.in_color_space = source.bitsPerPixel == 8 ? JCS_GRAYSCALE : JCS_EXT_BGR;
  jpeg_set_defaults(&info);
  JpegSetQuality(&info, source.quality, TRUE);
  if (source.xDpi > 0 && source.yDpi > 0) {
    info.density_unit = 1;
    info.X_density = static_cast<UINT16>(source.xDpi);
    info.Y_density = static_cast<UINT16>(source.yDpi);
  }
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    const int stored = source.topDown ? y : source.height - 1 - y;
    JSAMPROW row = const_cast<BYTE*>(source.bits) + static_cast<size_t>(stored) * static_cast<size_t>(source.stride);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

// Dots per inch from a DIB's pixels per metre, when it fits the JFIF density (0 otherwise).
int DensityFromPelsPerMeter(LONG pelsPerMeter) {
  if (pelsPerMeter <= 0) return 0;
  const long long dpi = (static_cast<long long>(pelsPerMeter) * 254 + 5000) / 10000;
  return dpi > 0 && dpi <= 65535 ? static_cast<int>(dpi) : 0;
}

int StreamLimit(ULONGLONG length) {
  return length == 0 || length > ULONGLONG(CDPXJPGImageIO::kNoLimit) ? CDPXJPGImageIO::kNoLimit : static_cast<int>(length);
}

}  // namespace

void __CIJGIOStream::Reset() {
  m_mode = modeNone;
  m_limit = m_position = 0;
  m_file = nullptr;
  m_memory = nullptr;
}

BOOL __CIJGIOStream::OpenFile(int limit, CFile* file) {
  Reset();
  if (limit <= 0 || !file || file->m_hFile == CFile::hFileNull) return FALSE;
  m_mode = modeFile;
  m_limit = limit;
  m_file = file;
  return TRUE;
}

BOOL __CIJGIOStream::OpenMemory(int limit, BYTE* memory) {
  Reset();
  if (limit <= 0 || !memory) return FALSE;
  m_mode = modeMemory;
  m_limit = limit;
  m_memory = memory;
  return TRUE;
}

UINT __CIJGIOStream::Room(UINT count) const {
  return m_position >= m_limit ? 0 : std::min(count, static_cast<UINT>(m_limit - m_position));
}

UINT __CIJGIOStream::Read(BYTE* buffer, UINT count) {
  const UINT wanted = buffer ? Room(count) : 0;
  UINT moved = 0;
  if (wanted == 0) return 0;
  if (m_mode == modeFile && m_file) {
    try {
      moved = m_file->Read(buffer, wanted);
    } catch (CException* e) {
      e->Delete();
    }
  } else if (m_mode == modeMemory && m_memory) {
    std::memcpy(buffer, m_memory + m_position, wanted);
    moved = wanted;
  }
  m_position += static_cast<int>(moved);
  return moved;
}

UINT __CIJGIOStream::Write(const BYTE* buffer, UINT count) {
  const UINT wanted = buffer ? Room(count) : 0;
  UINT moved = 0;
  if (wanted == 0) return 0;
  if (m_mode == modeFile && m_file) {
    try {
      m_file->Write(buffer, wanted);
      moved = wanted;
    } catch (CException* e) {
      e->Delete();
    }
  } else if (m_mode == modeMemory && m_memory) {
    std::memcpy(m_memory + m_position, buffer, wanted);
    moved = wanted;
  }
  m_position += static_cast<int>(moved);
  return moved;
}

void CDPXJPGImageIO::SetScaleDenom(int denominator) {
  m_scaleDenom = (denominator == 2 || denominator == 4 || denominator == 8) ? denominator : 1;
}

BOOL CDPXJPGImageIO::ReadInfoFrom(__CIJGIOStream& stream, int& width, int& height, int& bitsPerPixel) {
  jpeg_decompress_struct info {};
  JpegErrors errors {};
  const bool read = StartDecompress(info, errors, stream, 1, false) && info.output_width > 0 && info.output_height > 0;
  if (read) {
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    bitsPerPixel = info.num_components == 1 ? 8 : 24;
  }
  jpeg_destroy_decompress(&info);
  return read;
}

BOOL CDPXJPGImageIO::ReadFrom(__CIJGIOStream& stream, HGLOBAL* dib) {
  *dib = nullptr;
  jpeg_decompress_struct info {};
  JpegErrors errors {};
  if (StartDecompress(info, errors, stream, m_scaleDenom, true)) {
    CDPXDIBHandle image;
    if (image.Create(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                     info.output_components == 1 ? 8 : 24) &&
        ReadRows(info, errors, image.GetBits(), image.GetBytesPerLine())) {
      *dib = image.Detach();
    }
  }
  jpeg_destroy_decompress(&info);
  return *dib != nullptr;
}

BOOL CDPXJPGImageIO::WriteTo(__CIJGIOStream& stream, HGLOBAL dib) {
  CDPXDIBHandle image;
  if (!image.Attach(dib)) return FALSE;
  const BITMAPINFOHEADER* header = image.Lock();
  const BYTE* bits = image.GetBits();
  bool written = false;
  if (header && bits && (image.GetBitsPerPixel() == 8 || image.GetBitsPerPixel() == 24)) {
    const EncodeSource source {bits, image.GetBytesPerLine(), image.GetWidth(), image.GetHeight(), image.GetBitsPerPixel(),
                               header->biHeight < 0, DensityFromPelsPerMeter(header->biXPelsPerMeter),
                               DensityFromPelsPerMeter(header->biYPelsPerMeter), m_quality};
    jpeg_compress_struct info {};
    JpegErrors errors {};
    written = Compress(info, errors, stream, source);
    jpeg_destroy_compress(&info);
  }
  image.Detach();
  return written;
}

BOOL CDPXJPGImageIO::OnReadInfo(CFile* file, DWORD length, int& width, int& height, int& bitsPerPixel) {
  __CIJGIOStream stream;
  return stream.OpenFile(StreamLimit(length), file) && ReadInfoFrom(stream, width, height, bitsPerPixel);
}

BOOL CDPXJPGImageIO::OnRead(CFile* file, DWORD length, HGLOBAL* dib) {
  if (!dib) return FALSE;
  *dib = nullptr;
  __CIJGIOStream stream;
  return stream.OpenFile(StreamLimit(length), file) && ReadFrom(stream, dib);
}

BOOL CDPXJPGImageIO::OnWrite(CFile* file, DWORD& written, HGLOBAL dib) {
  written = 0;
  __CIJGIOStream stream;
  if (!stream.OpenFile(kNoLimit, file) || !WriteTo(stream, dib)) return FALSE;
  written = static_cast<DWORD>(stream.GetPosition());
  return TRUE;
}

BOOL CDPXJPGImageIO::ReadInfoMemory(CDPXBuffer& buffer, int& width, int& height, int& bitsPerPixel) {
  __CIJGIOStream stream;
  return stream.OpenMemory(StreamLimit(buffer.GetSize()), buffer.Lock()) && ReadInfoFrom(stream, width, height, bitsPerPixel);
}

BOOL CDPXJPGImageIO::ReadMemory(CDPXBuffer& buffer, HGLOBAL* dib) {
  if (!dib) return FALSE;
  *dib = nullptr;
  __CIJGIOStream stream;
  return stream.OpenMemory(StreamLimit(buffer.GetSize()), buffer.Lock()) && ReadFrom(stream, dib);
}

BOOL CDPXJPGImageIO::WriteMemory(CDPXGMemBuffer& buffer, HGLOBAL dib) {
  DWORD dibSize = 0;
  {
    CDPXDIBHandle image;
    if (!image.Attach(dib)) return FALSE;
    dibSize = image.GetDIBSize();
    image.Detach();
  }
  __CIJGIOStream stream;
  LPBYTE memory = buffer.AllocAndLock(std::max<DWORD>(dibSize, 10000));
  const BOOL written = memory && stream.OpenMemory(StreamLimit(buffer.GetSize()), memory) && WriteTo(stream, dib);
  buffer.Unlock();
  if (!written || !buffer.ReAlloc(static_cast<DWORD>(stream.GetPosition()))) {
    buffer.Free();
    return FALSE;
  }
  return TRUE;
}
