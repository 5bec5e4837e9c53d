// The batch store's folder tree: paths, batches, lists of IDs read from the disk, creating and
// deleting single entries, document types, info files and index data. Renumbering is in
// CQVBDEFSRenumber.cpp, image content in CQVBDEFSImages.cpp.
#include "batchstore/CQVBDEFS.h"

#include "batchstore/CQVBDEDisk.h"
#include "batchstore/CQVBDEIndexFormat.h"
#include "batchstore/CQVBDEIndexItem.h"
#include "batchstore/CQVBDEInfoFormat.h"
#include "batchstore/CQVBDEJournal.h"
#include "batchstore/QVNameRule.h"
#include "foundation/util/CDPXStringList.h"
#include "foundation/util/CQVGPMLock.h"
#include "foundation/util/DPXFolderTree.h"
#include "foundation/util/DPXPath.h"
#include "platform/core/CFileFind.h"
#include "platform/core/paths.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

IMPLEMENT_DYNCREATE(CQVBDEFS, CObject)

namespace {

// How long a call waits for another process to finish its work on the same batch.
constexpr DWORD kBatchLockTimeout = 60000;

BOOL FillList(const std::vector<ULONG>& ids, CQVBDEIDList& list) {
  if (!list.SetSize(static_cast<int>(ids.size()))) return FALSE;
  for (size_t i = 0; i < ids.size(); ++i) list.SetAt(static_cast<int>(i), ids[i]);
  return TRUE;
}


std::string NativeFolder(LPCWSTR path) {
  std::string native = ResolvePath(path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  return native;
}

// The IDs of a parent folder's ID-named sub-folders or images; FALSE for a blank parent or a
// folder that cannot be read.
BOOL ReadIDs(LPCWSTR parent, bool images, std::vector<ULONG>& ids) {
  ids.clear();
  CString folder(parent ? parent : u"");
  DPXAppendBackslash(folder);
  if (folder.IsEmpty()) return FALSE;
  std::string native = NativeFolder(folder);
  return images ? __CQVBDEDisk::ListImageIDs(native, ids) : __CQVBDEDisk::ListFolderIDs(native, ids);
}

// low 100000000 and high 0 when nothing is found, also when the folder cannot be read; FALSE only
// for a blank parent.
BOOL ReadRange(LPCWSTR parent, bool images, ULONG& low, ULONG& high) {
  if (CString(parent ? parent : u"").Trim().IsEmpty()) return FALSE;
  std::vector<ULONG> ids;
  ReadIDs(parent, images, ids);
  low = ids.empty() ? 100000000 : ids.front();
  high = ids.empty() ? 0 : ids.back();
  return TRUE;
}

}  // namespace

// ---- paths ---------------------------------------------------------------------------------------

BOOL CQVBDEFS::GetDir(CString& out, ULONG document, ULONG page, ULONG image) {
  out.Empty();
  CString root, batch;
  if (!m_helper.GetJobRootDir(root) || !m_helper.GetActiveBatch(batch)) return FALSE;
  DPXAppendBackslash(root);
  batch.Trim();
  if (root.IsEmpty() || !IsValidBatchName(batch)) return FALSE;
  out = root + batch;
  if (CString id; CQVBDEHelper::ID(document, id)) {
    out += u"/" + id;
    if (CQVBDEHelper::ID(page, id)) {
      out += u"/" + id;
      if (CQVBDEHelper::ID(image, id)) out += u"/" + id;
    }
  }
  return TRUE;
}

BOOL CQVBDEFS::GetBatchDir(CString& out) { return GetDir(out); }

BOOL CQVBDEFS::GetBatchInfoFilePath(CString& out) {
  if (!GetDir(out)) return FALSE;
  out += u"/batch.info";
  return TRUE;
}

BOOL CQVBDEFS::GetBatchIndexFilePath(CString& out, int n) {
  out.Empty();
  if (n < 0 || !GetDir(out)) return FALSE;
  out.AppendFormat(u"/batch.%d.index", n);
  return TRUE;
}

BOOL CQVBDEFS::GetDocDir(CString& out, ULONG document) {
  out.Empty();
  return CQVBDEHelper::IsValidID(document) && GetDir(out, document);
}

BOOL CQVBDEFS::GetDocumentInfoFilePath(CString& out, ULONG document) {
  if (!GetDocDir(out, document)) return FALSE;
  out += u"/document.info";
  return TRUE;
}

BOOL CQVBDEFS::GetDocumentIndexFilePath(CString& out, ULONG document, int n) {
  out.Empty();
  if (n < 0 || !GetDocDir(out, document)) return FALSE;
  out.AppendFormat(u"/document.%d.index", n);
  return TRUE;
}

BOOL CQVBDEFS::GetPageDir(CString& out, ULONG document, ULONG page) {
  out.Empty();
  return CQVBDEHelper::IsValidID(document) && CQVBDEHelper::IsValidID(page) && GetDir(out, document, page);
}

BOOL CQVBDEFS::GetImageDir(CString& out, ULONG document, ULONG page, ULONG image) {
  out.Empty();
  return CQVBDEHelper::IsValidID(document) && CQVBDEHelper::IsValidID(page) && CQVBDEHelper::IsValidID(image) &&
         GetDir(out, document, page, image);
}

#define QV_IMAGE_PATH(Name, extension)                                                   \
  BOOL CQVBDEFS::Name(CString& out, ULONG document, ULONG page, ULONG image) {           \
    if (!GetImageDir(out, document, page, image)) return FALSE;                          \
    out += extension;                                                                    \
    return TRUE;                                                                         \
  }
QV_IMAGE_PATH(GetImageFilePath, u".tif")
QV_IMAGE_PATH(GetPreviewImageFilePath, u".preview")
QV_IMAGE_PATH(GetThumbImageFilePath, u".thumb")
QV_IMAGE_PATH(GetImageInfoFilePath, u".info")
QV_IMAGE_PATH(GetImageRemarksFilePath, u".remarks")
QV_IMAGE_PATH(GetImageVoiceRemarksFilePath, u".voiceremarks")
#undef QV_IMAGE_PATH

BOOL CQVBDEFS::MakeDir(CString& out, LPCWSTR parent, LPCWSTR name) {
  out = parent ? parent : u"";
  DPXAppendBackslash(out);
  CString trimmed(name ? name : u"");
  trimmed.Trim();
  if (out.IsEmpty() || trimmed.IsEmpty()) return FALSE;
  out += trimmed;
  return TRUE;
}

BOOL CQVBDEFS::MakeDir(CString& out, LPCWSTR parent, ULONG id) {
  CString name;
  return CQVBDEHelper::ID(id, name) && MakeDir(out, parent, name);
}

// ---- the batch's lock and intent record ----------------------------------------------------------

BOOL CQVBDEFS::NativeBatchDir(std::string& out) {
  CString dir;
  if (!GetBatchDir(dir)) return FALSE;
  out = NativeFolder(dir);
  return __CQVBDEDisk::IsFolder(out);
}

BOOL CQVBDEFS::WithBatch(const std::function<BOOL(const std::string&, CQVBDEJournal&)>& work) {
  std::string batch;
  if (!NativeBatchDir(batch)) return FALSE;
  CQVGPMLock lock;
  if (!lock.SetLockFile(PathFromNative(batch + ".lck")) || !lock.Lock(kBatchLockTimeout)) return FALSE;
  CQVBDEJournal journal(batch);
  if (!journal.Recover()) return FALSE;
  return work(batch, journal);
}

// ---- batches ---------------------------------------------------------------------------------------

BOOL CQVBDEFS::IsValidBatchName(LPCWSTR name) { return QVCheckName(name); }

BOOL CQVBDEFS::GetBatchList(CDPXStringList& names) {
  names.RemoveAll();
  names.SetSortOrder(0, FALSE);
  CString root;
  if (!m_helper.GetJobRootDir(root)) return FALSE;
  DPXAppendBackslash(root);
  if (root.IsEmpty()) return FALSE;
  CFileFind find;
  for (BOOL more = find.FindFile(root + u"*.*"); more;) {
    more = find.FindNextFile();
    if (find.IsDots() || !find.IsDirectory()) continue;
    CString name = find.GetFileName();
    if (name.Find(u'.') >= 0 || name.Trim().IsEmpty()) continue;
    if (!names.Add(name)) return FALSE;
  }
  return TRUE;
}

BOOL CQVBDEFS::CreateBatch(LPCWSTR name) {
  CQVBDEFS store;
  CString root, dir;
  m_helper.GetJobRootDir(root);
  store.GetHelper().SetJobRootDir(root);
  store.GetHelper().SetActiveBatch(name);
  return store.GetBatchDir(dir) && ::mkdir(ResolvePath(dir).c_str(), 0777) == 0;
}

BOOL CQVBDEFS::DeleteBatch(LPCWSTR name) {
  CQVBDEFS store;
  CString root;
  m_helper.GetJobRootDir(root);
  store.GetHelper().SetJobRootDir(root);
  store.GetHelper().SetActiveBatch(name);
  std::string batch;
  if (!store.NativeBatchDir(batch)) {
    CString dir;
    return store.GetBatchDir(dir) && !DPXFolderExists(dir);
  }
  return store.WithBatch([](const std::string& folder, CQVBDEJournal&) {
    // Out of sight at once, then deleted: a batch is never left half there under its name.
    std::string doomed = folder + ".deleted-" + std::to_string(::getpid());
    if (!__CQVBDEDisk::RenameNoReplace(folder, doomed)) return FALSE;
    DPXDeleteFolderTree(PathFromNative(doomed));
    return !__CQVBDEDisk::Exists(folder) ? TRUE : FALSE;
  });
}

BOOL CQVBDEFS::RenameBatch(LPCWSTR oldName, LPCWSTR newName) {
  CString from(oldName ? oldName : u""), to(newName ? newName : u"");
  from.Trim();
  to.Trim();
  if (!IsValidBatchName(from) || !IsValidBatchName(to)) return FALSE;
  if (from.CompareNoCase(to) == 0) return TRUE;
  CQVBDEFS source, target;
  CString root, targetDir;
  m_helper.GetJobRootDir(root);
  source.GetHelper().SetJobRootDir(root);
  source.GetHelper().SetActiveBatch(from);
  target.GetHelper().SetJobRootDir(root);
  target.GetHelper().SetActiveBatch(to);
  if (!target.GetBatchDir(targetDir)) return FALSE;
  std::string targetNative = ResolvePath(targetDir);
  return source.WithBatch([&](const std::string& folder, CQVBDEJournal&) {
    return __CQVBDEDisk::RenameNoReplace(folder, targetNative);
  });
}

// ---- lists and ranges ----------------------------------------------------------------------------

BOOL CQVBDEFS::GetListFromFolders(LPCWSTR parent, CQVBDEIDList& list) {
  std::vector<ULONG> ids;
  list.SetSize(0);
  return ReadIDs(parent, false, ids) && FillList(ids, list);
}

BOOL CQVBDEFS::GetListFromImages(LPCWSTR parent, CQVBDEIDList& list) {
  std::vector<ULONG> ids;
  list.SetSize(0);
  return ReadIDs(parent, true, ids) && FillList(ids, list);
}

BOOL CQVBDEFS::GetRangeFromFolders(LPCWSTR parent, ULONG& low, ULONG& high) { return ReadRange(parent, false, low, high); }

BOOL CQVBDEFS::GetRangeFromImages(LPCWSTR parent, ULONG& low, ULONG& high) { return ReadRange(parent, true, low, high); }

BOOL CQVBDEFS::GetDocumentList(CQVBDEIDList& list) {
  CString dir;
  return GetBatchDir(dir) && WithBatch([&](const std::string&, CQVBDEJournal&) -> BOOL { return GetListFromFolders(dir, list); });
}

BOOL CQVBDEFS::GetDocumentRange(ULONG& low, ULONG& high) {
  CString dir;
  return GetBatchDir(dir) && WithBatch([&](const std::string&, CQVBDEJournal&) -> BOOL { return GetRangeFromFolders(dir, low, high); });
}

BOOL CQVBDEFS::GetPageList(ULONG document, CQVBDEIDList& list) {
  CString dir;
  return GetDocDir(dir, document) && WithBatch([&](const std::string&, CQVBDEJournal&) -> BOOL { return GetListFromFolders(dir, list); });
}

BOOL CQVBDEFS::GetPageRange(ULONG document, ULONG& low, ULONG& high) {
  CString dir;
  return GetDocDir(dir, document) &&
         WithBatch([&](const std::string&, CQVBDEJournal&) -> BOOL { return GetRangeFromFolders(dir, low, high); });
}

BOOL CQVBDEFS::GetImageList(ULONG document, ULONG page, CQVBDEIDList& list) {
  CString dir;
  return GetPageDir(dir, document, page) &&
         WithBatch([&](const std::string&, CQVBDEJournal&) -> BOOL { return GetListFromImages(dir, list); });
}

BOOL CQVBDEFS::GetImageRange(ULONG document, ULONG page, ULONG& low, ULONG& high) {
  CString dir;
  return GetPageDir(dir, document, page) &&
         WithBatch([&](const std::string&, CQVBDEJournal&) -> BOOL { return GetRangeFromImages(dir, low, high); });
}

// ---- single entries --------------------------------------------------------------------------------

BOOL CQVBDEFS::CreateDocument(ULONG document) {
  if (!CQVBDEHelper::IsValidID(document)) return FALSE;
  return WithBatch([&](const std::string& batch, CQVBDEJournal&) -> BOOL {
    return ::mkdir(__CQVBDEDisk::Join(batch, __CQVBDEDisk::Name(document)).c_str(), 0777) == 0;
  });
}

BOOL CQVBDEFS::CreatePage(ULONG document, ULONG page) {
  if (!CQVBDEHelper::IsValidID(document) || !CQVBDEHelper::IsValidID(page)) return FALSE;
  return WithBatch([&](const std::string& batch, CQVBDEJournal&) -> BOOL {
    std::string doc = batch + "/" + __CQVBDEDisk::Name(document);
    return __CQVBDEDisk::IsFolder(doc) && ::mkdir((doc + "/" + __CQVBDEDisk::Name(page)).c_str(), 0777) == 0;
  });
}

BOOL CQVBDEFS::CreateImage(ULONG document, ULONG page, ULONG image) {
  if (!CQVBDEHelper::IsValidID(document) || !CQVBDEHelper::IsValidID(page) || !CQVBDEHelper::IsValidID(image)) return FALSE;
  return WithBatch([&](const std::string& batch, CQVBDEJournal& journal) -> BOOL {
    std::string pageDir = batch + "/" + __CQVBDEDisk::Name(document) + "/" + __CQVBDEDisk::Name(page);
    std::string relativeStem = __CQVBDEDisk::Name(document) + "/" + __CQVBDEDisk::Name(page) + "/" + __CQVBDEDisk::Name(image);
    std::vector<ULONG> present;
    if (!__CQVBDEDisk::IsFolder(pageDir) || !__CQVBDEDisk::ListImageIDs(pageDir, present)) return FALSE;
    if (std::binary_search(present.begin(), present.end(), image)) return FALSE;
    // Files left of an image without its ".tif" (a preview, remarks) do not belong to the new one.
    std::vector<std::string> leftovers;
    __CQVBDEDisk::ListEntryFiles(batch + "/" + relativeStem, leftovers);
    std::vector<CQVBDEJournal::Step> steps;
    if (!leftovers.empty()) {
      std::string trash;
      if (!journal.TrashPlace(trash)) return FALSE;
      steps.push_back({ CQVBDEJournal::stepMoveImage, relativeStem, trash });
    }
    steps.push_back({ CQVBDEJournal::stepMakeImage, "", relativeStem });
    return journal.Run(steps);
  });
}

BOOL CQVBDEFS::DeleteDocument(ULONG document) {
  if (!CQVBDEHelper::IsValidID(document)) return FALSE;
  return WithBatch([&](const std::string& batch, CQVBDEJournal& journal) -> BOOL {
    std::string name = __CQVBDEDisk::Name(document), trash;
    if (!__CQVBDEDisk::Exists(batch + "/" + name)) return TRUE;
    return journal.TrashPlace(trash) && journal.Run({ { CQVBDEJournal::stepMoveFolder, name, trash } });
  });
}

BOOL CQVBDEFS::DeletePage(ULONG document, ULONG page) {
  if (!CQVBDEHelper::IsValidID(document) || !CQVBDEHelper::IsValidID(page)) return FALSE;
  return WithBatch([&](const std::string& batch, CQVBDEJournal& journal) -> BOOL {
    std::string name = __CQVBDEDisk::Name(document) + "/" + __CQVBDEDisk::Name(page), trash;
    if (!__CQVBDEDisk::Exists(batch + "/" + name)) return TRUE;
    return journal.TrashPlace(trash) && journal.Run({ { CQVBDEJournal::stepMoveFolder, name, trash } });
  });
}

BOOL CQVBDEFS::DeleteImage(ULONG document, ULONG page, ULONG image) {
  if (!CQVBDEHelper::IsValidID(document) || !CQVBDEHelper::IsValidID(page) || !CQVBDEHelper::IsValidID(image)) return FALSE;
  return WithBatch([&](const std::string& batch, CQVBDEJournal& journal) -> BOOL {
    std::string stem = __CQVBDEDisk::Name(document) + "/" + __CQVBDEDisk::Name(page) + "/" + __CQVBDEDisk::Name(image), trash;
    std::vector<std::string> files;
    if (!__CQVBDEDisk::ListEntryFiles(batch + "/" + stem, files)) return FALSE;
    if (files.empty()) return TRUE;
    return journal.TrashPlace(trash) && journal.Run({ { CQVBDEJournal::stepMoveImage, stem, trash } });
  });
}

// ---- document types and info files -------------------------------------------------------------------

BOOL CQVBDEFS::GetDocumentType(CString& type, ULONG document) {
  type.Empty();
  CQVBDEDocumentInfoFormat format;
  return ConnectDocumentInfoFile(format, document) && format.GetDocumentType(type);
}

BOOL CQVBDEFS::SetDocumentType(LPCWSTR type, ULONG document) {
  CQVBDEDocumentInfoFormat format;
  return ConnectDocumentInfoFile(format, document) &&
         WithBatch([&](const std::string&, CQVBDEJournal&) { return format.SetDocumentType(type); });
}

BOOL CQVBDEFS::ConnectBatchInfoFile(CQVBDEBatchInfoFormat& format) {
  CString path;
  if (!GetBatchInfoFilePath(path)) return FALSE;
  format.Open(path);
  return TRUE;
}

BOOL CQVBDEFS::ConnectDocumentInfoFile(CQVBDEDocumentInfoFormat& format, ULONG document) {
  CString path;
  if (!GetDocumentInfoFilePath(path, document)) return FALSE;
  format.Open(path);
  return TRUE;
}

BOOL CQVBDEFS::ConnectImageInfoFile(CQVBDEImageInfoFormat& format, ULONG document, ULONG page, ULONG image) {
  CString path;
  if (!GetImageInfoFilePath(path, document, page, image)) return FALSE;
  format.Open(path);
  return TRUE;
}

// ---- index data --------------------------------------------------------------------------------------

BOOL CQVBDEFS::SaveIndexData(LPCWSTR path, CQVBDEIndexItemList& list) {
  CString file(path ? path : u"");
  return !file.Trim().IsEmpty() && CQVBDEIndexFormat::Save(file, list);
}

BOOL CQVBDEFS::LoadIndexData(LPCWSTR path, CQVBDEIndexItemList& list) {
  list.DeleteAllIndexValues();
  CString file(path ? path : u"");
  if (file.Trim().IsEmpty()) return FALSE;
  if (CQVBDEIndexFormat::Load(file, list)) return TRUE;
  list.DeleteAllIndexValues();
  return FALSE;
}

BOOL CQVBDEFS::SaveBatchIndexData(CQVBDEIndexItemList& list, int n) {
  CString path;
  return GetBatchIndexFilePath(path, n) && WithBatch([&](const std::string&, CQVBDEJournal&) { return SaveIndexData(path, list); });
}

BOOL CQVBDEFS::LoadBatchIndexData(CQVBDEIndexItemList& list, int n) {
  CString path;
  if (!GetBatchIndexFilePath(path, n)) {
    list.DeleteAllIndexValues();
    return FALSE;
  }
  return LoadIndexData(path, list);
}

BOOL CQVBDEFS::SaveDocumentIndexData(CQVBDEIndexItemList& list, ULONG document, int n) {
  CString path;
  return GetDocumentIndexFilePath(path, document, n) &&
         WithBatch([&](const std::string&, CQVBDEJournal&) { return SaveIndexData(path, list); });
}

BOOL CQVBDEFS::LoadDocumentIndexData(CQVBDEIndexItemList& list, ULONG document, int n) {
  CString path;
  if (!GetDocumentIndexFilePath(path, document, n)) {
    list.DeleteAllIndexValues();
    return FALSE;
  }
  return LoadIndexData(path, list);
}
