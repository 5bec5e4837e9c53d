#pragma once
// Win32 file and folder functions over POSIX. Every path is resolved as paths.h describes, so
// names are found without regard to case; every failure sets GetLastError to the Win32 code.
//
// Differences from Windows that callers may meet:
// - Attributes come from the file's mode and name: FILE_ATTRIBUTE_READONLY when nobody may write
//   it, FILE_ATTRIBUTE_HIDDEN for names beginning with '.', FILE_ATTRIBUTE_DIRECTORY, and
//   FILE_ATTRIBUTE_NORMAL when none of these holds. A symbolic link has
//   FILE_ATTRIBUTE_REPARSE_POINT (with FILE_ATTRIBUTE_DIRECTORY when it leads to a folder), so
//   tree walkers can leave it alone instead of following it; RemoveDirectoryW and DeleteFileW
//   remove the link itself.
// - A read-only file can be deleted or replaced when its folder allows it.
// - Wildcards '*' and '?' match without regard to case; "*.*" matches every name. Listings are
//   sorted by name (without regard to case), with "." and ".." first.

#include "platform/core/wintypes.h"

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_COPY_ALLOWED 0x00000002

struct WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  WCHAR cFileName[MAX_PATH];
  WCHAR cAlternateFileName[14];
};
using LPWIN32_FIND_DATAW = WIN32_FIND_DATAW*;

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectoryW(LPCWSTR path);
BOOL DeleteFileW(LPCWSTR path);
// Copies the bytes, the permissions and the modification time. The target is replaced as a
// whole, so a copy that fails leaves whatever was there before.
BOOL CopyFileW(LPCWSTR source, LPCWSTR target, BOOL failIfExists);
// MoveFileExW(source, target, MOVEFILE_COPY_ALLOWED).
BOOL MoveFileW(LPCWSTR source, LPCWSTR target);
// Renames a file or folder. An existing target file is replaced only with
// MOVEFILE_REPLACE_EXISTING; a folder is never replaced. Between file systems a file is copied
// and then deleted when MOVEFILE_COPY_ALLOWED is given; a folder cannot move there.
BOOL MoveFileExW(LPCWSTR source, LPCWSTR target, DWORD flags);

DWORD GetFileAttributesW(LPCWSTR path);
// Only FILE_ATTRIBUTE_READONLY takes effect: set, it removes every write permission; clear, it
// gives the owner write permission back.
BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes);

// The functions that answer text follow Win32's rule: when the text and its terminator fit into
// `size` units they are copied and the length without the terminator is answered; otherwise the
// buffer is left alone and the size needed, terminator included, is answered. 0 is a failure.

// $TMPDIR when set, else "/tmp/"; always ending with '/'.
DWORD GetTempPathW(DWORD size, LPWSTR buffer);
// With `unique` 0, creates a new empty file (mode 0600) named folder + up to three characters of
// the prefix + eight hexadecimal digits + ".tmp" and answers its number; otherwise only forms the
// name from `unique` (four hexadecimal digits at least). `name` holds MAX_PATH units.
UINT GetTempFileNameW(LPCWSTR folder, LPCWSTR prefix, UINT unique, LPWSTR name);
DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer);
// The absolute form of a path, with '.' and '..' worked out and '/' separators, without looking
// at the disk. `filePart`, when given, points at the last component within the buffer.
DWORD GetFullPathNameW(LPCWSTR path, DWORD size, LPWSTR buffer, LPWSTR* filePart);

// A search answers the entries of one folder that match the pattern's last component. The
// handle is INVALID_HANDLE_VALUE when nothing matches (ERROR_FILE_NOT_FOUND) or the folder is
// missing (ERROR_PATH_NOT_FOUND).
HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data);
BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW data);
BOOL FindClose(HANDLE find);
