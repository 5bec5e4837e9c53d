// Output masks: the first seven bytes are the strict flags and the date and time parts (each
// byte spread over the values around its range, -1 included), then the mask, a line break and the
// value. Whatever the mask, formatting answers a code, and no element makes more text than its
// width or its value allow.

#include "batchstore/jobs/CQVJDEHelper.h"
#include "tools/fuzz/FuzzSupport.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 7) return 0;
  const int flags = data[0];
  const int year = data[1] == 255 ? -1 : 1880 + data[1];
  const int month = data[2] % 15 - 1, day = data[3] % 34 - 1;
  const int hour = data[4] % 26 - 1, minute = data[5] % 62 - 1, second = data[6] % 62 - 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 7), size - 7);
  const size_t split = bytes.find('\n');
  const CString mask = CString::FromUtf8(bytes.substr(0, split));
  const CString value = split == std::string_view::npos ? CString() : CString::FromUtf8(bytes.substr(split + 1));

  const int parsed = CQVJDEHelper::VerifyOutputMask(mask);
  CString out;
  const int code = CQVJDEHelper::FormatOutput(mask, value, year, month, day, hour, minute, second, flags & 1, flags & 2,
                                              flags & 4, out);
  fuzz::Check(parsed == 0 || code == parsed, "formatting does not answer the mask's own fault");
  // Every element prints at most the widest number, its value or a date part.
  const long long bound = (static_cast<long long>(mask.GetLength()) + 1) * (65535 + value.GetLength() + 400);
  fuzz::Check(out.GetLength() <= bound, "an output mask made more text than its elements allow");
  return 0;
}
