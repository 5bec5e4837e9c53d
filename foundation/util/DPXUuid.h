#pragma once
// UUIDs as text: 36 lower-case characters without braces.

#include "platform/core/CString.h"
#include "platform/core/rpcuuid.h"

// A new UUID, random or (with `sequential`) time-based.
BOOL DPXCreateUuidString(CString& out, BOOL sequential);
BOOL DPXUuidToString(const GUID& uuid, CString& out);
// FALSE for a text that is no UUID, and then the UUID is the nil UUID; a null text leaves it.
BOOL DPXStringToUuid(LPCWSTR text, GUID& uuid);
