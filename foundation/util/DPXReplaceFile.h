#pragma once
// Writes a file that holds data by replacing it as a whole: a new file beside it takes the bytes
// and is renamed over it only when everything was written, so that a failure at any step leaves
// the file that was there.

#include "platform/core/wintypes.h"

BOOL DPXReplaceFile(LPCWSTR path, const void* bytes, size_t size);
