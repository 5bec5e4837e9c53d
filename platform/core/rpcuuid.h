#pragma once
// UUIDs with the RPC run-time's functions, made by libuuid. A GUID keeps the Windows layout
// (a 32-bit, two 16-bit and eight single bytes); its text form is the lower-case
// "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" with Data1 to Data3 written as numbers, as Windows
// writes it, so texts stored by either system name the same UUID.

#include "platform/core/wintypes.h"

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};
using UUID = GUID;
using RPC_STATUS = LONG;
using RPC_WSTR = WCHAR*;

#define RPC_S_OK 0L
#define RPC_S_OUT_OF_MEMORY 14L
#define RPC_S_INVALID_STRING_UUID 1705L
#define RPC_S_UUID_LOCAL_ONLY 1824L

// A random (version 4) UUID.
RPC_STATUS UuidCreate(UUID* uuid);
// A time-based (version 1) UUID; RPC_S_UUID_LOCAL_ONLY when its uniqueness could not be
// guaranteed across processes, and the UUID is still usable.
RPC_STATUS UuidCreateSequential(UUID* uuid);
RPC_STATUS UuidCreateNil(UUID* uuid);
// The text is freed with RpcStringFreeW.
RPC_STATUS UuidToStringW(const UUID* uuid, RPC_WSTR* text);
// Exactly 36 characters with the hyphens in place and hexadecimal digits of either case; no
// braces. A null text gives the nil UUID.
RPC_STATUS UuidFromStringW(RPC_WSTR text, UUID* uuid);
RPC_STATUS RpcStringFreeW(RPC_WSTR* text);
