#pragma once
// Where file names cross into the operating system.
//
// A path of the system is UTF-16 and may use '\' or '/' as its separator (paths that come from
// data were often written on Windows); the native path is UTF-8 bytes with '/'. A name on disk
// that is not valid UTF-8 still converts both ways: each byte outside valid UTF-8 stands as one
// of the code units U+DC80-U+DCFF, so every name read from a folder opens again.
//
// Resolution makes the disk behave as one that ignores case but keeps it: each component of the
// path is taken by its exact name when that exists, otherwise by an entry of its folder whose
// name equals it without regard to case (the first such entry in byte order, should there be
// several). From the first component that matches nothing, the rest of the path stays as given,
// so a path that is being created keeps the spelling of its new components. Every file function
// of the platform resolves its paths this way.

#include "platform/core/CString.h"

#include <string>
#include <string_view>

// The native byte path of a path, without looking at the disk (null gives an empty path).
std::string PathToNative(LPCWSTR path);
// The path of a native byte path; PathToNative of the result gives the same bytes.
CString PathFromNative(std::string_view native);

// The native path of an existing file or folder (or of one to create), found as described above.
std::string ResolvePath(LPCWSTR path);
std::string ResolveNativePath(std::string_view native);
