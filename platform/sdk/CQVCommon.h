#pragma once
// Version numbers of the suite's binaries.

#include "platform/core/wintypes.h"

class CQVCommon {
public:
  // Packs major.minor.build into one 32-bit value, without loss:
  //   bits 28-31 major (0-15), bits 24-27 minor (0-15),
  //   bits 0-23  days since 2000-01-01 * 100 + serial, for a build number written as the date and
  //              a two-digit serial of the build on that day (YYYYMMDDNN, for example 2005080301).
  // FALSE, with `packed` left alone, when a number does not fit that form.
  static BOOL MakeVersion(ULONG major, ULONG minor, ULONG build, ULONG& packed);
};
