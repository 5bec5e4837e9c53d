#include "platform/core/rpcuuid.h"

#include <uuid/uuid.h>

#include <new>

namespace {

// libuuid's bytes hold Data1 to Data3 big-endian, as in the text form.
UUID FromBytes(const uuid_t bytes) {
  UUID uuid;
  uuid.Data1 = (DWORD(bytes[0]) << 24) | (DWORD(bytes[1]) << 16) | (DWORD(bytes[2]) << 8) | bytes[3];
  uuid.Data2 = static_cast<WORD>((bytes[4] << 8) | bytes[5]);
  uuid.Data3 = static_cast<WORD>((bytes[6] << 8) | bytes[7]);
  for (int i = 0; i < 8; ++i) uuid.Data4[i] = bytes[8 + i];
  return uuid;
}

void ToBytes(const UUID& uuid, uuid_t bytes) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(uuid.Data1 >> (24 - 8 * i));
  bytes[4] = static_cast<BYTE>(uuid.Data2 >> 8);
  bytes[5] = static_cast<BYTE>(uuid.Data2);
  bytes[6] = static_cast<BYTE>(uuid.Data3 >> 8);
  bytes[7] = static_cast<BYTE>(uuid.Data3);
  for (int i = 0; i < 8; ++i) bytes[8 + i] = uuid.Data4[i];
}

bool IsHexDigit(WCHAR ch) { return (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'f') || (ch >= u'A' && ch <= u'F'); }

}  // namespace

RPC_STATUS UuidCreate(UUID* uuid) {
  uuid_t bytes;
  uuid_generate_random(bytes);
  *uuid = FromBytes(bytes);
  return RPC_S_OK;
}

RPC_STATUS UuidCreateSequential(UUID* uuid) {
  uuid_t bytes;
  const int safe = uuid_generate_time_safe(bytes);
  *uuid = FromBytes(bytes);
  return safe == 0 ? RPC_S_OK : RPC_S_UUID_LOCAL_ONLY;
}

RPC_STATUS UuidCreateNil(UUID* uuid) {
  *uuid = UUID {};
  return RPC_S_OK;
}

RPC_STATUS UuidToStringW(const UUID* uuid, RPC_WSTR* text) {
  uuid_t bytes;
  ToBytes(*uuid, bytes);
  char narrow[37];
  uuid_unparse_lower(bytes, narrow);
  auto* wide = new (std::nothrow) WCHAR[37];
  if (!wide) return RPC_S_OUT_OF_MEMORY;
  for (int i = 0; i < 37; ++i) wide[i] = static_cast<WCHAR>(narrow[i]);
  *text = wide;
  return RPC_S_OK;
}

RPC_STATUS UuidFromStringW(RPC_WSTR text, UUID* uuid) {
  if (!text) return UuidCreateNil(uuid);
  char narrow[37];
  for (int i = 0; i < 36; ++i) {
    const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
    if (hyphen ? text[i] != u'-' : !IsHexDigit(text[i])) return RPC_S_INVALID_STRING_UUID;
    narrow[i] = static_cast<char>(text[i]);
  }
  if (text[36] != 0) return RPC_S_INVALID_STRING_UUID;
  narrow[36] = 0;
  uuid_t bytes;
  if (uuid_parse(narrow, bytes) != 0) return RPC_S_INVALID_STRING_UUID;
  *uuid = FromBytes(bytes);
  return RPC_S_OK;
}

RPC_STATUS RpcStringFreeW(RPC_WSTR* text) {
  if (text) {
    delete[] *text;
    *text = nullptr;
  }
  return RPC_S_OK;
}
