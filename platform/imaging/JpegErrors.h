#pragma once
// How the system's JPEG code takes libjpeg's fatal errors: libjpeg's error exit must not return,
// so it jumps back to the setjmp of the small function that started the sequence of libjpeg calls.
// The frames between that setjmp and the jump hold nothing that needs a destructor. Warnings (a
// truncated stream, for one) are no reason to fail and are not printed.
//
//   JpegErrors errors;
//   InstallJpegErrors(reinterpret_cast<j_common_ptr>(&info), errors);
//   if (setjmp(errors.jump)) return false;

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace imaging {

struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void InstallJpegErrors(j_common_ptr info, JpegErrors& errors);

}  // namespace imaging
