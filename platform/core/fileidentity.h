#pragma once
// Whether two paths name one file or folder on disk.

#include "platform/core/wintypes.h"

// TRUE when both paths exist and lead (after the resolution of paths.h and through symbolic
// links) to the same file or folder: the same device and the same inode. Spellings do not
// matter, so "/a", "/a/" and "/x/../a" are the same folder, while "/a" and "/A" are two folders
// when both exist.
BOOL IsSameFileW(LPCWSTR a, LPCWSTR b);
