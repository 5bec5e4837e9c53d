#pragma once
// Internal to the batch store: not part of the kernel's interface.
//
// CQVBDEJournal: the intent record of a batch, which makes every change of the batch's tree
// (inserting, removing, moving, splitting, merging, deleting) all or nothing.
//
// An operation is first planned as a list of steps, each of which changes one entry atomically
// or can tell from the disk whether it is done: a folder renamed, an image's files renamed, an
// empty folder or image made. Deleting is a rename into the batch's trash folder, so that it can
// be undone too. The plan is written to "batch.intent" in the batch folder (beside it first, then
// renamed into place, so that a record is always whole) before the first step, and the number of
// steps done is written into the record after each one. Then:
//   - a step that fails undoes the steps done so far, last first, and the record is removed: the
//     batch is as it was;
//   - a process that dies leaves the record; the next operation on the batch (under the batch's
//     lock) finishes the plan, or finishes undoing it when it died while undoing. The one step
//     that may have run without being counted is recognised from the disk: its source is gone and
//     its target there.
// The trash is emptied once the record is gone, and whenever a batch without a record still has
// one. All paths in a plan are relative to the batch folder.

#include "platform/core/wintypes.h"

#include <string>
#include <vector>

class CQVBDEJournal {
public:
  enum : char { stepMoveFolder = 'F', stepMoveImage = 'I', stepMakeFolder = 'D', stepMakeImage = 'T' };
  struct Step {
    char kind { stepMoveFolder };
    std::string from;  // the entry moved (an image by its path without extension); empty for makes
    std::string to;    // the new place, or the entry made
  };

  // The batch folder as a native path, without a final '/'.
  explicit CQVBDEJournal(std::string batchFolder) : m_folder(std::move(batchFolder)) {}

  // Finishes or undoes what an interrupted operation left, then empties the trash. TRUE when the
  // batch is in order; FALSE when a step could not be redone or undone (the record stays), or a
  // record cannot be read.
  BOOL Recover();
  // Runs the plan as one operation. FALSE when it was undone (or could not be: then the record
  // stays for the next Recover).
  BOOL Run(const std::vector<Step>& steps);
  // A new, unused place in the trash folder for an entry to be deleted (made when missing).
  BOOL TrashPlace(std::string& place);
  // Deletes the trash folder with all it holds.
  void EmptyTrash() const;

  // Test seam, called before each step runs (after == false) and after it ran (after == true,
  // before it is counted): 0 goes on, 1 makes the step fail, 2 stops everything at once and leaves
  // the record as a process that died would.
  using Hook = int (*)(int step, bool after);
  static Hook s_hook;
  static constexpr const char* kRecordName = "batch.intent";
  static constexpr const char* kTrashName = "batch.trash";

private:
  enum class Outcome { done, failed, stopped };
  // Runs the steps from `next` on; each step finds from the disk whether it is done already.
  Outcome RunFrom(const std::vector<Step>& steps, int fd, size_t next);
  BOOL Undo(const std::vector<Step>& steps, int fd, size_t doneCount);
  BOOL Redo(const Step& step) const;
  BOOL Revert(const Step& step) const;
  BOOL WriteProgress(int fd, char direction, size_t count) const;
  BOOL ReadRecord(std::vector<Step>& steps, char& direction, size_t& count) const;
  std::string Native(const std::string& relative) const { return m_folder + "/" + relative; }

  std::string m_folder;
  unsigned m_trashCounter { 0 };
  size_t m_failedAt { 0 };
};
