#pragma once
// CQVSCLManager: the shared store of screen layouts, one folder per layout under a root folder
// that the caller sets (SetRootDir), built on the ID store: "<root>/<ID>/profile" holds the
// layout's keys (CQVSCLItem) and "<root>/<ID>/dockstate" its dock state; "<root>/<ID>.lck" is the
// lock file while a writer has the layout open. Several workstations may share one root.

#include "foundation/util/CQVGPMManager.h"

class CQVSCLManager : public CQVGPMManager {
  DECLARE_DYNAMIC(CQVSCLManager)
public:
  CQVSCLManager();

  // The display name of the layout at `index` of the cached ID list (CQVSCLItem::Get_DisplayName,
  // read from a read-only copy); FALSE out of range, when it cannot be opened or the name is empty.
  BOOL IDList_GetDisplayName(int index, CString& name);

  // Deletes the layout only while it is empty, as Create made it, checked and deleted under its
  // lock: a writer that saved into it in the meantime keeps what it saved. TRUE when it was
  // deleted.
  BOOL DeleteIfEmpty(LPCWSTR id);
};
