#pragma once
// Helpers that the sources of platform/core share among themselves. Not part of the platform's
// interface: nothing outside platform/core includes this header.

#include "platform/core/CException.h"
#include "platform/core/CString.h"
#include "platform/core/fileapi.h"

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvcore {

// Win32's rule for text answers (see fileapi.h).
DWORD CopyToBuffer(std::u16string_view text, LPWSTR buffer, DWORD size);

// The value of an environment variable, read under the process-wide environment lock.
std::optional<std::string> ReadEnvironment(const char* name);

// The absolute form of a path with '/' separators and '.' and '..' worked out, without looking
// at the disk. A path that ends with a separator keeps it.
std::u16string FullPath(std::u16string_view path);

// A file name without its extension (a leading dot does not start one).
CString TitleOf(const CString& name);

// The Win32 attributes of an entry: `st` is its lstat, `native` its path.
DWORD AttributesOf(const std::string& native, const struct stat& st);
FILETIME FileTimeOf(const struct timespec& time);

// The Win32 error of a failed call on `native` with errno `error`, also set as the last error:
// a missing entry is ERROR_PATH_NOT_FOUND when its folder is missing too.
DWORD SetPathError(int error, const std::string& native);

// Reports a file that could not be opened: the last error for `native`, and `error` (when
// given) with the cause, the errno value and the name the caller knows the file by. FALSE.
BOOL FailToOpen(int failure, const std::string& native, const CString& name, CFileException* error);

// Creates a file that did not exist: folder (ending with '/') + prefix + eight hexadecimal digits
// + suffix, opened for reading and writing with O_CLOEXEC. Answers the descriptor (-1 with errno
// on failure), its path and its number.
int CreateUniqueFile(const std::string& folder, std::string_view prefix, std::string_view suffix, mode_t mode,
                     std::string& path, UINT* number);

// The file operations behind both the Win32 functions and CFile's statics. Each answers 0 or the
// errno value of the failure.
int DeleteNative(const std::string& native);
int MovePath(LPCWSTR source, LPCWSTR target, DWORD flags);

// The entries of a search in their order, and the folder searched (absolute, ending with '/').
// FALSE with the last error set when the folder cannot be read or nothing matches.
BOOL ListMatches(LPCWSTR pattern, CString& root, std::vector<WIN32_FIND_DATAW>& entries);

}  // namespace qvcore
