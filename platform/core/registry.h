#pragma once
// A small registry kept in files, with the Win32 calls the system makes.
//
// Each root key is one text file in the suite's configuration folder: $QV_REGISTRY_DIR when set
// (tests), else $XDG_CONFIG_HOME/qv, else ~/.config/qv; the files are HKEY_CLASSES_ROOT.reg,
// HKEY_CURRENT_USER.reg and HKEY_LOCAL_MACHINE.reg. A change is written at once by replacing the
// file (CAtomicFile), and a file changed by another process is read again at the next call.
//
// Key and value names are found without regard to case and keep the case they were made with;
// subkeys are listed in name order, values in the order they were made. Access masks are
// accepted and not checked. Every function answers ERROR_SUCCESS or a Win32 error code.
//
// The file lists each key as a line "[path\to\key]" followed by its values, one a line:
//   @="default value"            "name"="text"       "name"=expand:"%HOME%/x"
//   "name"=dword:0000002a        "name"=hex:01,02,ff "name"=hex(7):...  (any other type)
// Strings are UTF-8 between quotes, with \\, \" and \uXXXX for other characters that need it;
// a text's bytes are kept exactly, terminator included or not.

#include "platform/core/wintypes.h"

using REGSAM = DWORD;
using PHKEY = HKEY*;
using LSTATUS = LONG;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u)))

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F

#define REG_OPTION_NON_VOLATILE 0x00000000
#define REG_CREATED_NEW_KEY 0x00000001
#define REG_OPENED_EXISTING_KEY 0x00000002

// A null or empty subkey opens the key itself again.
LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
// Opens the subkey, making it and any missing keys on its way.
LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
                        LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LSTATUS RegCloseKey(HKEY key);
// A null or empty name is the key's default value. Without `data` only the type and the size are
// answered; a buffer too small gives ERROR_MORE_DATA with the size needed in *dataSize.
LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize);
LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LSTATUS RegDeleteValueW(HKEY key, LPCWSTR valueName);
// Deletes a subkey that has no subkeys of its own, with its values.
LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey);
// `nameLength` holds the buffer's size in units and receives the name's length without the
// terminator. ERROR_NO_MORE_ITEMS past the last entry.
LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved, LPWSTR keyClass,
                      LPDWORD classLength, PFILETIME lastWriteTime);
LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR valueName, LPDWORD valueNameLength, LPDWORD reserved,
                      LPDWORD type, LPBYTE data, LPDWORD dataSize);
