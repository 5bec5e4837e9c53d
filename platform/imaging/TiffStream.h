#pragma once
// A libtiff handle over bytes in memory (not for callers): reading the caller's bytes in place,
// or writing into a growing buffer. libtiff's messages go to the stream, not to the console: an
// error marks the stream as failed, warnings are dropped.

#include "platform/core/wintypes.h"

#include <tiffio.h>

#include <vector>

namespace imaging {

class TiffStream {
public:
  // For reading; the bytes must outlive the stream.
  TiffStream(const BYTE* data, SIZE_T size) : m_data(data), m_size(size) {}
  // For writing into Bytes().
  TiffStream() : m_writing(true) {}
  ~TiffStream() { Close(); }
  TiffStream(const TiffStream&) = delete;
  TiffStream& operator=(const TiffStream&) = delete;

  TIFF* Open();
  // Closes the handle, which completes a written file.
  void Close();
  bool Failed() const { return m_failed; }
  void ForgetErrors() { m_failed = false; }
  const std::vector<BYTE>& Bytes() const { return m_written; }

private:
  static tmsize_t Read(thandle_t self, void* buffer, tmsize_t size);
  static tmsize_t Write(thandle_t self, void* buffer, tmsize_t size);
  static toff_t Seek(thandle_t self, toff_t offset, int whence);
  static int CloseProc(thandle_t) { return 0; }
  static toff_t Size(thandle_t self);
  static int Map(thandle_t self, void** base, toff_t* size);
  static void Unmap(thandle_t, void*, toff_t) {}
  static int OnError(TIFF*, void* self, const char*, const char*, va_list);
  static int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

  const BYTE* m_data{nullptr};
  SIZE_T m_size{0};
  bool m_writing{false};
  std::vector<BYTE> m_written;
  toff_t m_position{0};
  TIFF* m_tiff{nullptr};
  bool m_failed{false};
};

}  // namespace imaging
