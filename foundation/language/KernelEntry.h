#pragma once
// The kernel library's plain exports.

#include "platform/core/wintypes.h"

// The kernel's version, packed by the SDK (CQVCommon::MakeVersion) from 0.1 build 2005080301;
// 0 when it cannot be packed.
extern "C" DWORD QVKERNEL_GETVERSION();

// The kernel library's own module, whose language file "QVKERNEL.drs" its classes look their
// texts up in first; null before the library has joined the program.
HINSTANCE QVKernelInstance();
