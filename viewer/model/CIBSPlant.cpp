#include "viewer/model/CIBSPlant.h"

#include "foundation/util/CDPXScriptFile.h"
#include "foundation/util/DPXPath.h"
#include "foundation/util/DPXText.h"
#include "platform/core/fileapi.h"
#include "viewer/model/CIBSBatch.h"
#include "viewer/model/CIBSBrowserLink.h"
#include "viewer/model/Wildcard.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

IMPLEMENT_DYNCREATE(CIBSPlant, CObject)

namespace {

bool IsFolder(LPCWSTR path) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(LPCWSTR path) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Shows the wait cursor for as long as it lives.
class WaitCursor {
public:
  explicit WaitCursor(CIBSWindowLink* windows) : m_pWindows(windows) {
    if (m_pWindows) m_pWindows->BeginWaitCursor();
  }
  ~WaitCursor() {
    if (m_pWindows) m_pWindows->EndWaitCursor();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

private:
  CIBSWindowLink* m_pWindows;
};

// Runs work(0) ... work(count - 1) on up to as many threads as the processor has; the first
// exception thrown is thrown again once all have ended.
void RunSideBySide(size_t count, const std::function<void(size_t)>& work) {
  const size_t threads = std::min<size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
  if (threads <= 1) {
    for (size_t i = 0; i < count; ++i) work(i);
    return;
  }
  std::atomic<size_t> next { 0 };
  std::exception_ptr failure;
  std::mutex failureLock;
  const auto run = [&] {
    for (size_t i; (i = next++) < count;) {
      try {
        work(i);
      } catch (...) {
        const std::lock_guard<std::mutex> lock(failureLock);
        if (!failure) failure = std::current_exception();
      }
    }
  };
  std::vector<std::thread> pool;
  for (size_t t = 1; t < threads; ++t) pool.emplace_back(run);
  run();
  for (std::thread& thread : pool) thread.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace

CIBSPlant::~CIBSPlant() = default;

BOOL CIBSPlant::SetOpenMode(int mode, LPCWSTR location) {
  m_nOpenMode = mode;
  m_strLocation = location;
  return TRUE;
}

BOOL CIBSPlant::Load() {
  // Documents of the batches are about to go: the browser must not keep showing one.
  if (GetCurrentDocument()) SetCurrentDocument(nullptr);
  Empty();

  BOOL opened = FALSE;
  switch (m_nOpenMode) {
    case openProfile:
      opened = OpenProfile();
      break;
    case openRoot:
      opened = IsValidRoot(m_strLocation) && AddBatch(m_strLocation);
      break;
    case openFolder:
      opened = OpenFolderOfRoots();
      break;
    case openRootList:
      opened = OpenRootList();
      break;
    default:
      break;
  }
  if (!opened) return FALSE;
  for (POSITION pos = m_batches.GetHeadPosition(); pos;) {
    static_cast<CIBSBatch*>(m_batches.GetNext(pos))->ReadIndexHeader();
  }
  m_nState = stateOpened;
  return TRUE;
}

// The location is a profile whose section "Orbel" names the root and both index files.
BOOL CIBSPlant::OpenProfile() {
  CDPXScriptFile profile;
  if (!profile.Open(m_strLocation)) return FALSE;
  CString indexPath;
  CString headerPath;
  CString root;
  if (!profile.GetString(u"Index", indexPath, FALSE, u"Orbel") || !profile.GetString(u"IndexHdr", headerPath, FALSE, u"Orbel") ||
      !profile.GetString(u"Root", root, FALSE, u"Orbel") || !IsFolder(root)) {
    return FALSE;
  }
  // The root may be given as the image folder of the batch. Names on disk keep their letter case:
  // the root is used as written.
  DPXAppendBackslash(root);
  root.Replace(u'\\', u'/');
  const CString images(u"DOC_CD/DATA/");
  if (root.GetLength() >= images.GetLength() && root.Right(images.GetLength()).CompareNoCase(images) == 0) {
    root.Truncate(root.GetLength() - images.GetLength());
  }
  return AddBatch(root, indexPath, headerPath) != nullptr;
}

BOOL CIBSPlant::OpenFolderOfRoots() {
  CString folder = m_strLocation;
  DPXAppendBackslash(folder);
  if (folder.IsEmpty()) return FALSE;
  BOOL added = FALSE;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(folder + u"*", &found);
  if (find == INVALID_HANDLE_VALUE) return FALSE;
  do {
    const CString name(found.cFileName);
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == u"." || name == u"..") continue;
    const CString root = folder + name;
    if (IsValidRoot(root) && AddBatch(root)) added = TRUE;
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return added;
}

BOOL CIBSPlant::OpenRootList() {
  CDPXStringList roots;
  DPXSplitString(m_strLocation, roots, u";");
  BOOL added = FALSE;
  CString root;
  for (POSITION pos = roots.GetHeadPosition(); roots.GetNext(pos, root);) {
    if (IsValidRoot(root) && AddBatch(root)) added = TRUE;
  }
  return added;
}

void CIBSPlant::Close() {
  SetCurrentDocument(nullptr);
  Empty();
  m_nState = stateClosed;
}

void CIBSPlant::Empty() {
  m_batches.RemoveAll();
  m_strDocumentPattern.Empty();
  ClearQuery();
  m_results.clear();
  m_resultRuns.clear();
  m_nCurrent = -1;
}

CIBSBatch* CIBSPlant::AddBatch(LPCWSTR root, LPCWSTR indexPath, LPCWSTR headerPath) {
  CString folder(root);
  DPXAppendBackslash(folder);
  auto* batch = static_cast<CIBSBatch*>(m_batches.AddNewTail(RUNTIME_CLASS(CIBSBatch)));
  if (!batch) return nullptr;
  const CString database = folder + u"DOC_CD/Database/";
  batch->SetPaths(folder, indexPath && *indexPath ? CString(indexPath) : database + u"index.dat",
                  headerPath && *headerPath ? CString(headerPath) : database + u"indexhdr.dat");
  return batch;
}

BOOL CIBSPlant::IsValidRoot(LPCWSTR root) {
  CString folder(root);
  DPXAppendBackslash(folder);
  if (folder.IsEmpty()) return FALSE;
  return IsFolder(folder + u"DOC_CD") && IsFolder(folder + u"DOC_CD/DATA") && IsFolder(folder + u"DOC_CD/Database") &&
         IsFile(folder + u"DOC_CD/Database/index.dat") && IsFile(folder + u"DOC_CD/Database/indexhdr.dat");
}

CIBSBatch* CIBSPlant::GetBatch(int index) const { return static_cast<CIBSBatch*>(m_batches.GetAtIndex(index)); }

// The batch name; where batches are opened by their roots, the root's own name comes first, as in
// "cdrom [Invoices 2008]".
CString CIBSPlant::BaseDisplayName(const CIBSBatch* batch) const {
  CString name;
  batch->GetBatchName(name);
  if (m_nOpenMode != openRoot && m_nOpenMode != openRootList) return name;
  CString root = batch->GetRoot();
  root.TrimRight(u"/\\");
  CString label = root.Mid(std::max(root.ReverseFind(u'/'), root.ReverseFind(u'\\')) + 1);
  if (label.IsEmpty()) label = u"/";
  return label + u" [" + name + u"]";
}

BOOL CIBSPlant::GetBatchDisplayName(const CIBSBatch* batch, CString& name) const {
  name.Empty();
  if (!batch) return FALSE;
  name = BaseDisplayName(batch);
  if (!batch->IsHeaderRead()) return TRUE;
  int earlier = 0;
  for (POSITION pos = m_batches.GetHeadPosition(); pos;) {
    const auto* other = static_cast<const CIBSBatch*>(m_batches.GetNext(pos));
    if (other == batch) break;
    if (other->IsHeaderRead() && BaseDisplayName(other) == name) ++earlier;
  }
  if (earlier > 0) name.AppendFormat(u" (%d)", earlier + 1);
  return TRUE;
}

int CIBSPlant::GetBatchDisplayNames(CDPXStringList& names) const {
  CString name;
  for (POSITION pos = m_batches.GetHeadPosition(); pos;) {
    const auto* batch = static_cast<const CIBSBatch*>(m_batches.GetNext(pos));
    if (batch->IsHeaderRead() && GetBatchDisplayName(batch, name)) names.Add(name);
  }
  return names.GetCount();
}

CIBSBatch* CIBSPlant::FindBatch(LPCWSTR displayName) const {
  CString name;
  for (POSITION pos = m_batches.GetHeadPosition(); pos;) {
    auto* batch = static_cast<CIBSBatch*>(m_batches.GetNext(pos));
    if (batch->IsHeaderRead() && GetBatchDisplayName(batch, name) && name == displayName) return batch;
  }
  return nullptr;
}

int CIBSPlant::GetFieldNames(int selection, LPCWSTR displayName, CDPXStringList& names) const {
  names.RemoveAll();
  if (selection > 0) {
    if (const CIBSBatch* batch = FindBatch(displayName)) batch->GetFieldNames(names);
  } else if (selection == 0) {
    names.SetUnique(TRUE);
    CString name;
    for (POSITION pos = m_batches.GetHeadPosition(); pos;) {
      const auto* batch = static_cast<const CIBSBatch*>(m_batches.GetNext(pos));
      if (!batch->IsHeaderRead()) continue;
      for (POSITION field = batch->GetFirstFieldNamePosition(); batch->GetNextFieldName(field, name);) names.Add(name);
    }
  }
  return names.GetCount();
}

BOOL CIBSPlant::AddQueryPair(LPCWSTR name, LPCWSTR value) {
  if (m_queryNames.Add(name) && m_queryValues.Add(value)) return TRUE;
  ClearQuery();
  return FALSE;
}

void CIBSPlant::ClearQuery() {
  m_queryNames.RemoveAll();
  m_queryValues.RemoveAll();
}

void CIBSPlant::SetBatchSelection(int mode, LPCWSTR displayName) {
  m_nBatchSelection = mode;
  m_strBatchSelection = displayName;
}

void CIBSPlant::Search(int& batchesSearched, int& hits) {
  batchesSearched = 0;
  hits = 0;
  // The indexes are read afresh, so the documents the browser may show are about to go.
  if (GetCurrentDocument()) SetCurrentDocument(nullptr);
  m_nState = stateSearched;
  m_results.clear();
  m_resultRuns.clear();
  m_nCurrent = -1;
  if (m_nBatchSelection < 0) return;
  if (m_nBatchSelection > 0) {
    if (CIBSBatch* batch = FindBatch(m_strBatchSelection)) SearchBatches(batchesSearched, hits, batch);
    return;
  }
  SearchBatches(batchesSearched, hits, nullptr);
}

void CIBSPlant::SearchBatches(int& batchesSearched, int& hits, CIBSBatch* only) {
  batchesSearched = 0;
  hits = 0;
  WaitCursor wait(m_pWindows);
  std::vector<CIBSBatch*> batches;
  for (POSITION pos = m_batches.GetHeadPosition(); pos;) {
    auto* batch = static_cast<CIBSBatch*>(m_batches.GetNext(pos));
    // A batch whose header could not be read takes part in nothing.
    if ((only && batch != only) || !batch->IsHeaderRead() || !BatchHasQueryFields(batch)) continue;
    DropResultsOf(batch);
    batches.push_back(batch);
  }
  // The batches are read and searched side by side, each into a list of its own; the lists then
  // join the results in store order.
  std::vector<CIBSDocumentList> found(batches.size());
  std::vector<int> counts(batches.size());
  RunSideBySide(batches.size(), [&](size_t i) {
    batches[i]->SetIndexRead(batches[i]->ReadIndex());
    counts[i] = batches[i]->Search(m_strDocumentPattern, m_queryNames, m_queryValues, found[i]);
  });
  for (size_t i = 0; i < batches.size(); ++i) {
    if (!found[i].empty()) m_resultRuns.push_back({batches[i], m_results.size(), m_results.size() + found[i].size()});
    m_results.insert(m_results.end(), found[i].begin(), found[i].end());
    hits += counts[i];
  }
  batchesSearched = static_cast<int>(batches.size());
}

// The batch's index is about to be read again, which changes or frees its documents: results
// taken from its last read must not stay behind, nor may the browser keep showing one of them.
void CIBSPlant::DropResultsOf(const CIBSBatch* batch) {
  if (const CIBSDocument* current = GetCurrentDocument(); current && current->GetBatch() == batch) {
    SetCurrentDocument(nullptr);
  }
  const CIBSDocument* current = GetCurrentDocument();
  std::erase_if(m_results, [batch](const CIBSDocument* document) { return document->GetBatch() == batch; });
  std::erase_if(m_resultRuns, [batch](const ResultRun& run) { return run.batch == batch; });
  size_t begin = 0;
  for (ResultRun& run : m_resultRuns) {
    run.end = begin + (run.end - run.begin);
    run.begin = begin;
    begin = run.end;
  }
  m_nCurrent = current ? IndexOfResult(current) : -1;
}

BOOL CIBSPlant::BatchHasQueryFields(const CIBSBatch* batch) const {
  if (!batch) return FALSE;
  CString name;
  CString value;
  POSITION namePos = m_queryNames.GetHeadPosition();
  POSITION valuePos = m_queryValues.GetHeadPosition();
  while (m_queryNames.GetNext(namePos, name) && m_queryValues.GetNext(valuePos, value)) {
    if (batch->FindField(name) < 0 && !IsAllWildcards(value)) return FALSE;
  }
  return TRUE;
}

CIBSDocument* CIBSPlant::GetResult(int index) const {
  if (index < 0 || index >= GetResultCount()) return nullptr;
  return m_results[static_cast<size_t>(index)];
}

// Looked up by its batch's run and its line's place in the index; a scan of all results only if
// that fails.
int CIBSPlant::IndexOfResult(const CIBSDocument* document) const {
  if (!document) return -1;
  for (const ResultRun& run : m_resultRuns) {
    if (run.batch != document->GetBatch()) continue;
    const auto first = m_results.begin() + static_cast<std::ptrdiff_t>(run.begin);
    const auto last = m_results.begin() + static_cast<std::ptrdiff_t>(run.end);
    const auto at = std::lower_bound(first, last, document->GetLineOffset(),
                                     [](const CIBSDocument* d, uint64_t offset) { return d->GetLineOffset() < offset; });
    if (at != last && *at == document) return static_cast<int>(at - m_results.begin());
    break;
  }
  const auto found = std::find(m_results.begin(), m_results.end(), document);
  return found == m_results.end() ? -1 : static_cast<int>(found - m_results.begin());
}

int CIBSPlant::GetResultBatchDisplayNames(CDPXStringList& names) const {
  names.RemoveAll();
  names.SetUnique(TRUE);
  const CIBSBatch* previous = nullptr;
  CString name;
  for (const CIBSDocument* document : m_results) {
    if (document->GetBatch() == previous) continue;  // results come batch by batch
    previous = document->GetBatch();
    if (GetBatchDisplayName(previous, name)) names.Add(name);
  }
  return names.GetCount();
}

// The document is looked for among the results only: an invalid line with the same number, or
// the same number in a batch that was not searched, must not stand in for the result.
int CIBSPlant::FindResult(LPCWSTR displayName, LPCWSTR documentNumber) const {
  const CIBSBatch* previous = nullptr;
  bool batchMatches = false;
  CString name;
  CString number;
  for (size_t index = 0; index < m_results.size(); ++index) {
    const CIBSDocument* document = m_results[index];
    if (document->GetBatch() != previous) {
      previous = document->GetBatch();
      batchMatches = GetBatchDisplayName(previous, name) && name == displayName;
    }
    if (!batchMatches) continue;
    document->GetDocumentNumber(number);
    if (number == documentNumber) return static_cast<int>(index);
  }
  return -1;
}

CIBSDocument* CIBSPlant::CheckFolderOf(int index) {
  CIBSDocument* document = GetResult(index);
  if (!document) return nullptr;
  CString folder;
  if (document->GetImageFolder(folder) && IsFolder(folder)) return document;
  if (m_pWindows) m_pWindows->ErrorMsg(u"MSG_ERR_DOCUMENTFOLDER_UNEXIST", {{u"<%docfolder%>", folder}});
  return nullptr;
}

CIBSDocument* CIBSPlant::CheckDocumentFolder(LPCWSTR displayName, LPCWSTR documentNumber) {
  return CheckFolderOf(FindResult(displayName, documentNumber));
}

BOOL CIBSPlant::IsResultDocument(LPCWSTR displayName, LPCWSTR documentNumber) {
  return CheckDocumentFolder(displayName, documentNumber) != nullptr;
}

BOOL CIBSPlant::GetDocumentFieldValues(const CIBSDocument* document, CDPXStringList& names, CDPXStringList& values) const {
  names.RemoveAll();
  values.RemoveAll();
  if (!document || !document->GetBatch()) return FALSE;
  const int count = document->GetBatch()->GetFieldNames(names);
  CString value;
  for (int field = 0; field < count; ++field) {
    document->GetValue(field, value);
    values.Add(value);
  }
  return names.GetCount() == values.GetCount();
}

BOOL CIBSPlant::OpenDocument(LPCWSTR displayName, LPCWSTR documentNumber) {
  const int found = FindResult(displayName, documentNumber);
  CIBSDocument* document = CheckFolderOf(found);
  const int index = document ? found : -1;
  if (index < 0) {
    if (m_pBrowser) m_pBrowser->Empty(TRUE);
    return FALSE;
  }
  if (!m_pBrowser) return FALSE;
  if (index != m_nCurrent) {
    ShowResult(document, index);
  } else if (m_pBrowser->GetImageCount() < 1) {
    InfoNoImageFiles(document);
  }
  return TRUE;
}

BOOL CIBSPlant::NextDocument() { return MoveTo(m_nCurrent + 1); }

BOOL CIBSPlant::PreviousDocument() { return MoveTo(m_nCurrent - 1); }

// One result on or back; at either end nothing changes.
BOOL CIBSPlant::MoveTo(int index) {
  if (!GetCurrentDocument()) {
    if (m_pBrowser) m_pBrowser->Empty(TRUE);
    return FALSE;
  }
  if (index < 0 || index >= GetResultCount()) return TRUE;
  if (m_pBrowser) m_pBrowser->Empty(TRUE);
  ShowResult(m_results[static_cast<size_t>(index)], index);
  return TRUE;
}

void CIBSPlant::SetCurrentDocument(CIBSDocument* document) { ShowResult(document, document ? IndexOfResult(document) : -1); }

void CIBSPlant::ShowResult(CIBSDocument* document, int index) {
  if (!m_pBrowser) return;
  m_nCurrent = index;
  if (!document || !document->GetBatch()) {
    m_pBrowser->Empty(TRUE);
    return;
  }
  int images = 0;
  {
    WaitCursor wait(m_pWindows);
    images = m_pBrowser->LoadDocument(document);
  }
  m_nState = stateShown;
  if (images < 1) {
    m_pBrowser->Empty(TRUE);
    InfoNoImageFiles(document);
    return;
  }
  m_pBrowser->SetCurrentPos(0);
  if (m_pWindows) m_pWindows->RefreshMainTitle();
}

void CIBSPlant::InfoNoImageFiles(const CIBSDocument* document) {
  if (!m_pWindows || !document) return;
  CString batchName;
  if (document->GetBatch()) document->GetBatch()->GetBatchName(batchName);
  CString number;
  document->GetDocumentNumber(number);
  m_pWindows->InfoMsg(u"MSG_INFO_NOIMAGEFILES", {{u"<%batchname%>", batchName}, {u"<%docnumber%>", number}});
}

CIBSDocument* CIBSPlant::GetCurrentDocument() const { return GetResult(m_nCurrent); }

CIBSBatch* CIBSPlant::GetCurrentBatch() const {
  const CIBSDocument* document = GetCurrentDocument();
  return document ? document->GetBatch() : nullptr;
}

BOOL CIBSPlant::GetCurrentDocumentNumber(CString& number) const {
  number.Empty();
  const CIBSDocument* document = GetCurrentDocument();
  return document && document->GetDocumentNumber(number);
}

BOOL CIBSPlant::GetCurrentBatchDisplayName(CString& name) const {
  name.Empty();
  return GetBatchDisplayName(GetCurrentBatch(), name);
}
