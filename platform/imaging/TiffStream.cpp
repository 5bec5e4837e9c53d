#include "platform/imaging/TiffStream.h"

#include <cstdio>
#include <cstring>

namespace imaging {

namespace {
// No single allocation of libtiff's may exceed this (hostile files announce huge strips).
constexpr tmsize_t kMaxSingleAllocation = tmsize_t{1} << 30;
}  // namespace

TIFF* TiffStream::Open() {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) return nullptr;
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxSingleAllocation);
  TIFFOpenOptionsSetErrorHandlerExtR(options, &TiffStream::OnError, this);
  TIFFOpenOptionsSetWarningHandlerExtR(options, &TiffStream::OnWarning, this);
  m_tiff = TIFFClientOpenExt("memory", m_writing ? "w" : "r", this, &TiffStream::Read, &TiffStream::Write,
                             &TiffStream::Seek, &TiffStream::CloseProc, &TiffStream::Size, &TiffStream::Map,
                             &TiffStream::Unmap, options);
  TIFFOpenOptionsFree(options);
  return m_tiff;
}

void TiffStream::Close() {
  if (m_tiff) TIFFClose(m_tiff);
  m_tiff = nullptr;
}

tmsize_t TiffStream::Read(thandle_t self, void* buffer, tmsize_t size) {
  auto* s = static_cast<TiffStream*>(self);
  const SIZE_T available = s->m_writing ? s->m_written.size() : s->m_size;
  const BYTE* data = s->m_writing ? s->m_written.data() : s->m_data;
  if (size <= 0 || s->m_position >= available) return 0;
  const SIZE_T count = std::min<SIZE_T>(static_cast<SIZE_T>(size), available - s->m_position);
  std::memcpy(buffer, data + s->m_position, count);
  s->m_position += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t TiffStream::Write(thandle_t self, void* buffer, tmsize_t size) {
  auto* s = static_cast<TiffStream*>(self);
  if (!s->m_writing || size < 0) return -1;
  const SIZE_T end = s->m_position + static_cast<SIZE_T>(size);
  if (end > s->m_written.size()) s->m_written.resize(end);
  std::memcpy(s->m_written.data() + s->m_position, buffer, static_cast<SIZE_T>(size));
  s->m_position = end;
  return size;
}

toff_t TiffStream::Seek(thandle_t self, toff_t offset, int whence) {
  auto* s = static_cast<TiffStream*>(self);
  toff_t base = 0;
  if (whence == SEEK_CUR) base = s->m_position;
  if (whence == SEEK_END) base = Size(self);
  s->m_position = base + offset;
  return s->m_position;
}

toff_t TiffStream::Size(thandle_t self) {
  auto* s = static_cast<TiffStream*>(self);
  return s->m_writing ? s->m_written.size() : s->m_size;
}

int TiffStream::Map(thandle_t self, void** base, toff_t* size) {
  auto* s = static_cast<TiffStream*>(self);
  if (s->m_writing) return 0;
  *base = const_cast<BYTE*>(s->m_data);
  *size = s->m_size;
  return 1;
}

int TiffStream::OnError(TIFF*, void* self, const char*, const char*, va_list) {
  static_cast<TiffStream*>(self)->m_failed = true;
  return 1;
}

}  // namespace imaging
