#pragma once
// Files and folders, and whole folder trees. The tree walkers never go through a symbolic link:
// a link inside a tree is deleted as a link, not copied, and not searched, so that nothing outside
// the tree is touched and a link that leads back into the tree cannot make them loop.

#include "platform/core/CString.h"

// TRUE when the path (or pattern) finds an entry that is a file.
BOOL DPXFileExists(LPCWSTR path);
// TRUE when the path (or pattern, without a trailing separator) finds a folder.
BOOL DPXFolderExists(LPCWSTR path);
// Looks for a file of that name (without regard to case), first among the folder's own files,
// then in each sub-folder in turn, depth first. `out` is its full path.
BOOL DPXFindFileInTree(LPCWSTR folder, LPCWSTR name, CString& out);
// Deletes every file of the folder and its sub-folders, then the folders. A folder that is itself
// a symbolic link loses only the link. Nothing is reported: a file that cannot be deleted leaves
// its folders in place.
void DPXDeleteFolderTree(LPCWSTR folder);
// Copies the files and sub-folders of `source` into `target` (made when missing), overwriting
// files there. TRUE at once, copying nothing, when both name the same folder on disk; FALSE for a
// target inside the source. Stops at the first failure, leaving what was copied.
BOOL DPXCopyFolderTree(LPCWSTR source, LPCWSTR target);
