#pragma once
// CQVSCLManager: the shared store of screen layouts, one folder per layout under a root folder
// that the caller sets (SetRootDir), built on the ID store: "<root>/<ID>/profile" holds the
// layout's keys (CQVSCLItem) and "<root>/<ID>/dockstate" its dock state; "<root>/<ID>.lck" is the
// lock file while a writer has the layout open. Several workstations may share one root.
//
// Readers take no lock, so a layout must never be seen half made or half gone: a deleted layout
// is first moved out of its place as a whole, and a read-only copy that a writer's swap or a
// deletion overtook while it was being made is made again.

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

protected:
  BOOL __Delete_Folder(LPCWSTR name) override;
  BOOL __Open_Folder(LPCWSTR name, CQVGPMIO* io, BOOL readOnly) override;

private:
  // Moves the folder out of the store (under a name that is no ID) and deletes it there.
  BOOL DeleteOutOfPlace(const CString& path);
};
