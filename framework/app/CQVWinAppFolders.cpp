// The application's folders, profiles and language set-up.

#include "foundation/language/CDPXDRSReader.h"
#include "foundation/language/CQVRCM.h"
#include "foundation/util/CDPXScriptFile.h"
#include "foundation/util/DPXFolderTree.h"
#include "foundation/util/DPXPath.h"
#include "framework/app/CQVWinApp.h"
#include "platform/core/fileapi.h"
#include "platform/core/module.h"

#include <iterator>

namespace {

LPCWSTR const kWorkstationFolders[] = {u"", u"Sys/", u"Page Setup/"};
LPCWSTR const kWorkgroupFolders[] = {u"", u"Sys", u"Help", u"Users", u"Jobs", u"Page Setup"};

void MakeFolder(const CString& path) { CreateDirectoryW(path, nullptr); }

}  // namespace

void CQVWinApp::GetAppRootName(CString& name) { name.Empty(); }

void CQVWinApp::_GetAppDir(CString& path) { DPXGetModuleFolder(nullptr, path); }

BOOL CQVWinApp::GetAppDir(CString& path) {
  path.Empty();
  CQVWinApp* app = GetApp();
  if (!app) return FALSE;
  app->_GetAppDir(path);
  return !path.IsEmpty();
}

BOOL CQVWinApp::ResolveRedirectedFolder(LPCWSTR parent, LPCWSTR name, CString& result) {
  result.Empty();
  CString folder(parent ? parent : u"");
  folder.Trim();
  if (folder.IsEmpty()) return FALSE;
  DPXAppendBackslash(folder);
  CString leaf(name ? name : u"");
  leaf.Trim();
  if (leaf.IsEmpty()) return FALSE;
  const CString redirection = folder + leaf + u".redir";
  if (!DPXFileExists(redirection)) {
    result = folder + leaf + u"/";
    return TRUE;
  }
  CDPXScriptFile script;
  CString target;
  if (!script.Open(redirection) || !script.GetString(u"Path", target, FALSE, u"REDIR")) return FALSE;
  target.Trim();
  if (target.IsEmpty()) return FALSE;
  // A relative path is taken from the folder the redirection file lies in, not from wherever the
  // program was started.
  if (target[0] != u'/') target = folder + target;
  DPXAppendBackslash(target);
  result = target;
  return TRUE;
}

BOOL CQVWinApp::GetWorkstationDir(CString& path, int type, BOOL create) {
  path.Empty();
  if (type < 0 || type >= static_cast<int>(std::size(kWorkstationFolders))) return FALSE;
  CString base;
  if (!GetAppDir(base)) return FALSE;
  base += u"Workstation/";
  path = base + kWorkstationFolders[type];
  if (create) {
    MakeFolder(base);
    MakeFolder(path);
  }
  return TRUE;
}

BOOL CQVWinApp::GetWorkgroupDir(CString& path, int type, BOOL create) {
  path.Empty();
  if (type < 0 || type >= static_cast<int>(std::size(kWorkgroupFolders))) return FALSE;
  CString app;
  CString base;
  if (!GetAppDir(app) || !ResolveRedirectedFolder(app, u"Workgroup", base)) return FALSE;
  CString result = base;
  if (type > 0 && !ResolveRedirectedFolder(base, kWorkgroupFolders[type], result)) return FALSE;
  if (create) {
    MakeFolder(base);
    MakeFolder(result);
  }
  path = result;
  return TRUE;
}

BOOL CQVWinApp::FindFileInAppDir(LPCWSTR name, LPCWSTR extension, CString& path) {
  path.Empty();
  CQVWinApp* app = GetApp();
  return app ? app->_FindFileInAppDir(name, extension, path) : FALSE;
}

BOOL CQVWinApp::_FindFileInAppDir(LPCWSTR name, LPCWSTR extension, CString& path) {
  path.Empty();
  CString file;
  if (name) file = name;
  else GetAppRootName(file);
  if (extension) file += CString(u".") + extension;
  CString app;
  CString workstation;
  CString sys;
  if (!GetAppDir(app) || !GetWorkstationDir(workstation, 0, FALSE) || !GetWorkstationDir(sys, 1, FALSE))
    return FALSE;
  for (const CString& folder : {app, workstation}) {
    if (DPXFileExists(folder + file)) {
      path = folder + file;
      return TRUE;
    }
  }
  for (const CString& tree : {sys, app + u"BIN/", app + u"SYS/", app + u"DAT/"}) {
    if (DPXFindFileInTree(tree, file, path)) return TRUE;
  }
  path.Empty();
  return FALSE;
}

BOOL CQVWinApp::GetAppProfileFilename(CString& path) {
  if (FindFileInAppDir(nullptr, u"dps", path)) return TRUE;
  CQVWinApp* app = GetApp();
  if (!app) return FALSE;
  CString root;
  app->GetAppRootName(root);
  if (root.IsEmpty() || !GetWorkstationDir(path, 1, TRUE)) return FALSE;
  path += root + u".dps";
  return TRUE;
}

BOOL CQVWinApp::GetWorkstationProfileFilename(CString& path) {
  if (!GetWorkstationDir(path, 1, TRUE)) return FALSE;
  path += u"WORKSTATION.dps";
  return TRUE;
}

BOOL CQVWinApp::GetWorkgroupProfileFilename(CString& path) {
  if (!GetWorkgroupDir(path, 1, TRUE)) return FALSE;
  path += u"WORKGROUP.dps";
  return TRUE;
}

BOOL CQVWinApp::LoadURL(LPCWSTR key, CString& url, HINSTANCE module) {
  if (!CQVRCM::LoadText(key, url, module)) return FALSE;
  CString help;
  if (GetWorkgroupDir(help, 2, TRUE)) url.Replace(u"help://", help);
  return TRUE;
}

BOOL CQVWinApp::InitResourceManager(LPCWSTR languageFile, LPCWSTR language) {
  CString file(languageFile ? languageFile : u"");
  file.Trim();
  if (file.IsEmpty()) {
    GetAppRootName(file);
    if (file.IsEmpty()) return FALSE;
    file += u".drs";
  }
  if (!CQVRCM::g_RCM.Add(GetModuleHandleW(nullptr), file, TRUE)) return FALSE;
  CString name(language ? language : u"");
  name.Trim();
  if (name.IsEmpty()) CDPXDRSReader::GetUserDefaultLanguage(name);
  CQVRCM::SetCurrentLanguage(name, GetModuleHandleW(nullptr), FALSE);
  return TRUE;
}
