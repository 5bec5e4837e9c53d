#pragma once
// The disc drive of the search mode "one CD drive". A drive here is the mount point of an optical
// disc: a file system of type iso9660 or udf in the system's table of mounts.

#include "platform/core/CString.h"

#include <vector>

class CIBSWindowLink;

// The mount point of the first mounted optical disc, with a trailing separator. Without one the
// error box "MSG_ERR_NOCDROMDRIVE" tells the user and the answer is FALSE. `mountTable` names
// the table to read (the process's own when null).
BOOL FindCdRomDrive(CString& root, CIBSWindowLink* windows, LPCWSTR mountTable = nullptr);

// A drive of the machine: the mount point of a file system on a device (or of a network share),
// with a trailing separator; pseudo file systems and images of packages are no drives.
struct MountedDrive {
  CString root;
  bool optical { false };  // an optical disc (iso9660 or udf)
};
// The drives in the order of the table of mounts (the process's own when `mountTable` is null),
// each mount point once; none when the table cannot be read.
std::vector<MountedDrive> MountedDrives(LPCWSTR mountTable = nullptr);

// TRUE when a disc can be read at the root: the folder can be listed and holds something (the
// mount point of an empty drive is an empty folder). Otherwise the user is asked to insert one,
// again and again, until a disc is readable (TRUE) or the user cancels (FALSE).
BOOL CheckDiscInDrive(LPCWSTR root, CIBSWindowLink* windows);
