#pragma once
// The device-independent bitmap records: a palette entry and the 40-byte header of a packed DIB.
// They are the drawing layer's records, so that a bitmap of the store and a device context meet in
// one translation unit. They describe bytes in memory only; files are read and written field by
// field, little-endian.

#include "platform/gdi/gditypes.h"

static_assert(sizeof(BITMAPINFOHEADER) == 40);
