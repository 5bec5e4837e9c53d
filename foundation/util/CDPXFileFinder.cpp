#include "foundation/util/CDPXFileFinder.h"

#include "platform/core/CFileFind.h"
#include "platform/core/sysinfo.h"

IMPLEMENT_DYNAMIC(CDPXFileFinder, CObject)

namespace {
constexpr DWORD kPollInterval = 100;
}  // namespace

CDPXFileFinder::~CDPXFileFinder() {
  RequestStop(TRUE);
  // The search thread calls this object's hooks: it must be gone before the object is.
  m_thread.RequestStop(TRUE);
}

BOOL CDPXFileFinder::StartSearch(LPCWSTR folder, LPCWSTR pattern, BOOL subFolders) {
  CSingleLock settings(&m_csSettings, TRUE);
  if (IsBusy()) return FALSE;
  // The previous search has ended; its thread may still be returning.
  m_thread.WaitForExit();
  m_thread.Close();
  m_strFolder = folder;
  m_strPattern = pattern;
  if (m_strPattern.Trim().IsEmpty()) m_strPattern = u"*.*";
  m_bSubFolders = subFolders;
  {
    CSingleLock state(&m_csState, TRUE);
    m_bBusy = TRUE;
    m_bStop = FALSE;
  }
  if (m_thread.Start()) return TRUE;
  SetBusy(FALSE);
  return FALSE;
}

BOOL CDPXFileFinder::IsBusy() {
  CSingleLock state(&m_csState);
  return state.Lock() ? m_bBusy : FALSE;
}

BOOL CDPXFileFinder::WaitWhileBusy() {
  int rounds = m_nTimeOut * 1000 / static_cast<int>(kPollInterval);
  while (IsBusy()) {
    if (rounds-- <= 0) return FALSE;
    Sleep(kPollInterval);
  }
  return TRUE;
}

BOOL CDPXFileFinder::RequestStop(BOOL wait) {
  {
    CSingleLock state(&m_csState);
    if (!state.Lock()) return FALSE;
    m_bStop = TRUE;
  }
  return wait ? WaitWhileBusy() : TRUE;
}

BOOL CDPXFileFinder::IsStopRequested() {
  CSingleLock state(&m_csState, TRUE);
  return m_bStop;
}

void CDPXFileFinder::SetBusy(BOOL busy) {
  CSingleLock state(&m_csState, TRUE);
  m_bBusy = busy;
}

void CDPXFileFinder::RunSearch() {
  CString folder, pattern;
  BOOL subFolders = FALSE;
  {
    CSingleLock settings(&m_csSettings, TRUE);
    folder = m_strFolder;
    pattern = m_strPattern;
    subFolders = m_bSubFolders;
  }
  const BOOL completed = OnBeginSearch() && SearchFolder(folder, pattern, subFolders);
  OnStopSearch(!completed);
  OnEndSearch();
  SetBusy(FALSE);
}

BOOL CDPXFileFinder::SearchFolder(const CString& folder, const CString& pattern, BOOL subFolders) {
  CString root = folder;
  if (!root.IsEmpty() && root[root.GetLength() - 1] != u'/' && root[root.GetLength() - 1] != u'\\') root += u'/';
  CFileFind find;
  BOOL more = find.FindFile(root + pattern);
  while (more) {
    more = find.FindNextFile();
    if (find.IsDots() || find.IsDirectory()) continue;
    if (IsStopRequested() || !OnCheckFile(find.GetFilePath())) return FALSE;
  }
  if (!subFolders) return TRUE;
  more = find.FindFile(root + u"*.*");
  while (more) {
    more = find.FindNextFile();
    if (find.IsDots() || !find.IsDirectory() || find.IsSymbolicLink()) continue;
    if (IsStopRequested()) return FALSE;
    const CString path = find.GetFilePath();
    if (OnCheckFolder(path) && !SearchFolder(path, pattern, TRUE)) return FALSE;
  }
  return TRUE;
}
