#pragma once
// Internal to the batch store: not part of the kernel's interface.
//
// __CQVBDEDisk: the file-system work of the batch store on native paths. The store resolves the
// job root folder and the batch name once per call (they may differ in case from the disk);
// below the batch folder every name is one the store made (eight digits, fixed extensions), so
// these helpers use the names as they stand and never scan a folder to resolve one.

#include "platform/core/wintypes.h"

#include <string>
#include <vector>

class __CQVBDEDisk {
public:
  // The IDs of the sub-folders named by an ID text, or of the images (files <ID>.tif, the
  // extension in any case), ascending. FALSE when the folder cannot be read.
  static BOOL ListFolderIDs(const std::string& folder, std::vector<ULONG>& ids);
  static BOOL ListImageIDs(const std::string& folder, std::vector<ULONG>& ids);
  // The IDs of every image entry that has a file or folder in the folder, with or without ".tif".
  static BOOL ListEntryIDs(const std::string& folder, std::vector<ULONG>& ids);
  // The names of the files and folders of an image entry: <stem>.<anything>.
  static BOOL ListEntryFiles(const std::string& stem, std::vector<std::string>& names);
  // Renames without ever replacing an existing target (FALSE, EEXIST).
  static BOOL RenameNoReplace(const std::string& from, const std::string& to);
  static BOOL Exists(const std::string& path);
  static BOOL IsFolder(const std::string& path);
  // The eight digits of an ID.
  static std::string Name(ULONG id);
  static std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
  }
};
