#pragma once
// Path arithmetic on wide paths. Both '/' and '\' separate folders (a '\' comes from data written
// on Windows); a folder path made here ends with '/'. There are no drive letters.

#include "platform/core/CString.h"

// Splits a path into drive (always empty), folder with its trailing separator, file title and
// extension with its dot (from the last dot of the name). Each piece is trimmed of white space.
void DPXSplitPath(LPCWSTR path, CString& drive, CString& folder, CString& title, CString& extension);
// Trims the path and, unless it is empty or already ends with a separator, appends '/'.
void DPXAppendBackslash(CString& path);
// The folder of a path with its trailing separator; empty when the path has no folder part.
void DPXGetFolderOfPath(LPCWSTR path, CString& out);
// The file name (title and extension) of a path, trimmed.
void DPXGetFileNameOfPath(LPCWSTR path, CString& out);
// The folder that holds the last element of `folder`, with a trailing separator: "/a/b" and
// "/a/b/" give "/a/". Empty for the root and for a name without any separator.
void DPXGetParentFolder(LPCWSTR folder, CString& out);

// The system's temporary folder with a trailing separator; empty on failure.
void DPXGetTempPath(CString& out);
// The full path of a module's file (null: the program); empty on failure.
void DPXGetModuleFilePath(HMODULE module, CString& out);
// The folder of a module's file with a trailing separator; empty on failure.
void DPXGetModuleFolder(HMODULE module, CString& out);
