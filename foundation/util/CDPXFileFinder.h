#pragma once
// The base of a folder search that runs on a thread of its own and reports what it meets to
// overridable hooks: OnBeginSearch once, OnCheckFolder for each sub-folder before it is entered,
// OnCheckFile with the full path of each matching file, then OnStopSearch and OnEndSearch. Other
// threads can ask whether a search runs, wait while it does (bounded), and ask it to stop.
//
// Files of a folder come before its sub-folders, each in name order; links to folders are not
// followed. A hook that answers FALSE ends the search as a stop request does.

#include "foundation/util/CDPXThread.h"
#include "platform/core/CString.h"

class CDPXFileFinder : public CObject {
  DECLARE_DYNAMIC(CDPXFileFinder)
public:
  CDPXFileFinder() = default;
  // Stops a running search and waits until its thread has ended.
  ~CDPXFileFinder() override;

  // Searches `folder` for files matching `pattern` ("*.*" when empty), with its sub-folders when
  // asked. The search counts as busy from this call on. FALSE while another search runs.
  BOOL StartSearch(LPCWSTR folder, LPCWSTR pattern, BOOL subFolders);
  BOOL IsBusy();
  // Polls every 100 ms for up to the time-out; TRUE once no search runs, FALSE when one still does.
  BOOL WaitWhileBusy();
  // Asks a running search to stop; with `wait` the result of WaitWhileBusy.
  BOOL RequestStop(BOOL wait);

protected:
  // FALSE ends the search before it looks at any file.
  virtual BOOL OnBeginSearch() { return TRUE; }
  // Whether a sub-folder is searched.
  virtual BOOL OnCheckFolder(LPCWSTR path) { return TRUE; }
  // FALSE ends the search.
  virtual BOOL OnCheckFile(LPCWSTR path) { return TRUE; }
  // After the walk; `stopped` tells whether a stop request or a hook cut it short.
  virtual void OnStopSearch(BOOL stopped) {}
  virtual void OnEndSearch() {}

  // Seconds that WaitWhileBusy waits.
  int m_nTimeOut { 100 };

private:
  class CSearchThread : public CDPXThread {
  public:
    explicit CSearchThread(CDPXFileFinder& finder) : m_finder(finder) { m_nStopWait = -1; }

  protected:
    void OnProcess() override { m_finder.RunSearch(); }

  private:
    CDPXFileFinder& m_finder;
  };

  void RunSearch();
  // FALSE when the search must end.
  BOOL SearchFolder(const CString& folder, const CString& pattern, BOOL subFolders);
  BOOL IsStopRequested();
  void SetBusy(BOOL busy);

  CCriticalSection m_csSettings;
  CString m_strFolder;
  CString m_strPattern;
  BOOL m_bSubFolders { FALSE };
  CCriticalSection m_csState;
  BOOL m_bBusy { FALSE };
  BOOL m_bStop { FALSE };
  CSearchThread m_thread { *this };
};
