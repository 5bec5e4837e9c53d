#include "foundation/util/DPXUuid.h"

BOOL DPXCreateUuidString(CString& out, BOOL sequential) {
  out.Empty();
  UUID uuid;
  UuidCreateNil(&uuid);
  const RPC_STATUS status = sequential ? UuidCreateSequential(&uuid) : UuidCreate(&uuid);
  if (status != RPC_S_OK && status != RPC_S_UUID_LOCAL_ONLY) return FALSE;
  return DPXUuidToString(uuid, out);
}

BOOL DPXUuidToString(const GUID& uuid, CString& out) {
  out.Empty();
  RPC_WSTR text = nullptr;
  if (UuidToStringW(&uuid, &text) != RPC_S_OK || !text) return FALSE;
  out = text;
  RpcStringFreeW(&text);
  return TRUE;
}

BOOL DPXStringToUuid(LPCWSTR text, GUID& uuid) {
  if (!text) return FALSE;
  CString copy(text);
  if (UuidFromStringW(copy.GetBuffer(), &uuid) != RPC_S_OK) {
    UuidCreateNil(&uuid);
    return FALSE;
  }
  return TRUE;
}
