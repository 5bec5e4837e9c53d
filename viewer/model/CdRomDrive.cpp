#include "viewer/model/CdRomDrive.h"

#include "platform/core/CFile.h"
#include "platform/core/fileapi.h"
#include "platform/core/paths.h"
#include "viewer/model/CIBSWindowLink.h"

#include <sstream>
#include <string>

namespace {

// A field of the mount table, whose blanks, tabs, newlines and backslashes are written as octal
// escapes ("\040").
std::string Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string digits = field.substr(i + 1, 3);
      if (digits.find_first_not_of("01234567") == std::string::npos) {
        out.push_back(static_cast<char>(std::stoi(digits, nullptr, 8)));
        i += 3;
        continue;
      }
    }
    out.push_back(field[i]);
  }
  return out;
}

bool ReadAll(LPCWSTR path, std::string& bytes) {
  CFile file;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) return false;
  try {
    char chunk[4096];
    while (UINT got = file.Read(chunk, sizeof chunk)) bytes.append(chunk, got);
  } catch (CException* e) {
    e->Delete();
    return false;
  }
  return true;
}

bool HoldsAnything(LPCWSTR root) {
  CString pattern(root);
  if (pattern.IsEmpty()) return false;
  if (pattern[pattern.GetLength() - 1] != u'/' && pattern[pattern.GetLength() - 1] != u'\\') pattern += u'/';
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(pattern + u"*", &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool any = false;
  do {
    const CString name(found.cFileName);
    any = name != u"." && name != u"..";
  } while (!any && FindNextFileW(find, &found));
  FindClose(find);
  return any;
}

}  // namespace

std::vector<MountedDrive> MountedDrives(LPCWSTR mountTable) {
  std::vector<MountedDrive> drives;
  std::string table;
  if (!ReadAll(mountTable ? mountTable : u"/proc/self/mounts", table)) return drives;
  std::istringstream lines(table);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device;
    std::string mountPoint;
    std::string type;
    if (!(fields >> device >> mountPoint >> type)) continue;
    const bool optical = type == "iso9660" || type == "udf";
    const bool network = type == "nfs" || type == "nfs4" || type == "cifs" || type == "smb3";
    if (!optical && !network && (device.rfind("/dev/", 0) != 0 || type == "squashfs")) continue;
    CString root = PathFromNative(Unescape(mountPoint));
    if (root.IsEmpty()) continue;
    if (root[root.GetLength() - 1] != u'/') root += u'/';
    bool known = false;
    for (const MountedDrive& drive : drives) known = known || drive.root == root;
    if (!known) drives.push_back({root, optical});
  }
  return drives;
}

BOOL FindCdRomDrive(CString& root, CIBSWindowLink* windows, LPCWSTR mountTable) {
  root.Empty();
  for (const MountedDrive& drive : MountedDrives(mountTable)) {
    if (!drive.optical) continue;
    root = drive.root;
    return TRUE;
  }
  if (windows) windows->ErrorMsg(u"MSG_ERR_NOCDROMDRIVE", {});
  return FALSE;
}

BOOL CheckDiscInDrive(LPCWSTR root, CIBSWindowLink* windows) {
  while (!HoldsAnything(root)) {
    if (!windows || !windows->OKCancelMsg(u"MSG_LOADCDTODRIVE_RETRY", u"MSG_CAPTION_INSERTCD", {{u"<%cddrive%>", CString(root)}})) {
      return FALSE;
    }
  }
  return TRUE;
}
