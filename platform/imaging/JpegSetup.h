#pragma once
// What every JPEG codec of the system sets up on a libjpeg object the same way.
//
// Fatal errors: libjpeg's error exit must not return, so it jumps back to the setjmp of the small
// function that started the sequence of libjpeg calls. The frames between that setjmp and the jump
// hold nothing that needs a destructor. Warnings (a truncated stream, for one) are no reason to
// fail and are not printed.
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

// After the header is read: grey output for one component, blue-green-red for three, decoded at
// 1/scale (2, 4 or 8; anything else is full size). False for other pictures (CMYK), which the
// system does not hold.
bool ChooseJpegOutput(jpeg_decompress_struct& info, int scale);

}  // namespace imaging
