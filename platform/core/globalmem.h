#pragma once
// Movable global memory. A handle names a block whose size is exactly what was asked for; Lock
// gives the address of its bytes, which stays valid until the matching Unlock. Handles are checked
// against the live set, so a stale or foreign handle fails instead of touching memory.

#include "platform/core/wintypes.h"

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GMEM_MODIFY 0x0080
#define GMEM_SHARE 0x2000
#define GMEM_DDESHARE GMEM_SHARE
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#define GMEM_INVALID_HANDLE 0x8000

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// Resizes a block keeping its handle; GMEM_ZEROINIT zeroes what it grows by. Null on failure,
// and then the block is unchanged.
HGLOBAL GlobalReAlloc(HGLOBAL block, SIZE_T bytes, UINT flags);
LPVOID GlobalLock(HGLOBAL block);
// FALSE once the block is no longer locked (as Win32, with NO_ERROR when that is why).
BOOL GlobalUnlock(HGLOBAL block);
SIZE_T GlobalSize(HGLOBAL block);
UINT GlobalFlags(HGLOBAL block);
// Null on success; the handle itself when it was not a live block.
HGLOBAL GlobalFree(HGLOBAL block);

// Local memory: fixed blocks only; the handle is the block's address.
#define LMEM_FIXED 0x0000
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)
// Null (ERROR_NOT_ENOUGH_MEMORY) when there is no room, or (ERROR_INVALID_PARAMETER) for a
// movable block, which this platform does not make.
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
// Null on success.
HLOCAL LocalFree(HLOCAL block);
