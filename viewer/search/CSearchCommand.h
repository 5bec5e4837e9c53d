#pragma once
// The search command: where the published batches are, opening them in the store, the query the
// user states, the search and the hand-over of its hits. The main document owns the store and the
// results dialog and supplies the windows (CSearchCommandWindows); its handler of the search command
// is one call of Run, and the search pending from a "-M:" start one call of RunPending.

#include "platform/core/CString.h"

#include <utility>
#include <vector>

class CIBSPlant;
class CIBSWindowLink;
class CMainSettings;

// What the new-search dialog starts from and hands back: the last values typed (the document number
// under "__DOCUMENT__"), the batch chosen last and whether all batches were.
struct CSearchLastValues {
  std::vector<std::pair<CString, CString>> values;
  CString strBatchName;
  BOOL bAllBatches { FALSE };
};

// What the command asks of the windows around it.
class CSearchCommandWindows {
public:
  virtual ~CSearchCommandWindows() = default;
  // The store was closed while it showed a document: the views and the main title follow.
  virtual void OnStoreClosed() = 0;
  // Empties the results list when its dialog shows, before the store changes under it.
  virtual void ClearResults() = 0;
  // Lets the user state the query over the store (the new-search dialog opens the batches) and
  // puts it into the store. TRUE on OK; `last` goes in as the dialog starts and comes back as it
  // ended. `switchMode`: the program was started with "-M:".
  virtual BOOL AskQuery(CIBSPlant& plant, CSearchLastValues& last, BOOL switchMode) = 0;
  // Shows the store's results in the results dialog, set up by the settings.
  virtual void ShowResults(CIBSPlant& plant) = 0;
};

class CSearchCommand {
public:
  enum Outcome {
    searched,   // the query ran and its hits were handed on
    cancelled,  // the user cancelled the query (the store stays open) or the disc box
    noDrive,    // no optical disc is mounted (the user was told)
    noFolder,   // the folder of batches does not exist (the user was told)
  };

  // `windowLink` shows the message boxes (none in tests that need no boxes).
  CSearchCommand(CIBSPlant& plant, CMainSettings& settings, CSearchCommandWindows& windows, CIBSWindowLink* windowLink)
      : m_plant(plant), m_settings(settings), m_windows(windows), m_pWindowLink(windowLink) {}

  // The "-M:" switch: the location is then the profile it names, whatever "SearchMode" says.
  void SetSwitch(BOOL on, LPCWSTR location) {
    m_bSwitch = on;
    m_strSwitchLocation = location ? location : u"";
  }
  BOOL IsSwitchOn() const { return m_bSwitch; }
  // The table of mounts looked at for a disc (the process's own when none is given).
  void SetMountTable(LPCWSTR path) { m_strMountTable = path ? path : u""; }

  // Where the batches are by the settings and the switch: the open mode of the store and its
  // location. "SearchMode" 1 is one disc ("Driver"), 2 a folder of batches ("Path"), 3 a list of
  // roots ("AllDrives"); any other mode finds nothing.
  void PickLocation(int& openMode, CString& location) const;

  // The whole command.
  Outcome Run();
  // The search of a "-M:" start, once the main window shows; nothing without the switch.
  BOOL RunPending();

  // Of the last search that ran.
  int GetBatchesSearched() const { return m_nBatchesSearched; }
  int GetHits() const { return m_nHits; }

private:
  // Checks the location of the open mode; FALSE (the user was told) when no batch can be there.
  Outcome CheckLocation(int openMode, CString& location);

  CIBSPlant& m_plant;
  CMainSettings& m_settings;
  CSearchCommandWindows& m_windows;
  CIBSWindowLink* m_pWindowLink;
  BOOL m_bSwitch { FALSE };
  CString m_strSwitchLocation;
  CString m_strMountTable;
  int m_nBatchesSearched { 0 };
  int m_nHits { 0 };
};
