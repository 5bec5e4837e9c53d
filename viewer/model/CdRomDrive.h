#pragma once
// The disc drive of the search mode "one CD drive". A drive here is the mount point of an optical
// disc: a file system of type iso9660 or udf in the system's table of mounts.

#include "platform/core/CString.h"

class CIBSWindowLink;

// The mount point of the first mounted optical disc, with a trailing separator. Without one the
// error box "MSG_ERR_NOCDROMDRIVE" tells the user and the answer is FALSE. `mountTable` names
// the table to read (the process's own when null).
BOOL FindCdRomDrive(CString& root, CIBSWindowLink* windows, LPCWSTR mountTable = nullptr);

// TRUE when a disc can be read at the root: the folder can be listed and holds something (the
// mount point of an empty drive is an empty folder). Otherwise the user is asked to insert one,
// again and again, until a disc is readable (TRUE) or the user cancels (FALSE).
BOOL CheckDiscInDrive(LPCWSTR root, CIBSWindowLink* windows);
