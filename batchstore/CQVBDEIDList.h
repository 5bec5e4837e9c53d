#pragma once
// CQVBDEIDList: a growable array of batch-store IDs with the sort and the two position
// calculations that dense renumbering is built on. Every public operation holds the list's lock
// for its whole run, so one list may be shared between threads.
//
// The capacity is always a whole number of blocks of 100 IDs; slots the list grows into read 0.

#include "platform/core/CObject.h"
#include "platform/core/sync.h"

#include <memory>

class CQVBDEIDList : public CObject {
  DECLARE_DYNCREATE(CQVBDEIDList)
public:
  // n <= 0 empties the list and frees its array. FALSE only when memory runs out, the list then
  // keeping what it held.
  BOOL SetSize(int n);
  int GetSize();
  int GetCapacity();
  // Appends the ID: no order and no duplicate check.
  BOOL Add(ULONG id);
  // Both need 0 <= index < size.
  BOOL SetAt(int index, ULONG id);
  BOOL GetAt(int index, ULONG& id);
  // Opens `count` zero slots at an index inside the list (it cannot append).
  BOOL InsertAt(int index, int count);
  BOOL RemoveAt(int index, int count);
  // Ascending, without duplicates and without zeros.
  BOOL Sort();
  // -2 for the ID 0, -1 when absent, else the index of the first equal entry.
  int FindID(ULONG id);
  // For a sorted list: first..last is the unbroken run of consecutive IDs that begins at `id`,
  // the run that must shift up by one to free it; 0..0 when the ID is free. FALSE for 0.
  BOOL CalcForInsertID(ULONG id, ULONG& first, ULONG& last);
  // For a sorted list: where the source and the target stand, and the temporary ID (the highest
  // plus 1) that a move onto a taken target parks the source under; 0 when the target is free.
  BOOL CalcForMove(ULONG id, ULONG targetId, int& index, int& targetIndex, ULONG& tempId);

protected:
  BOOL _SetSize(int n);
  int _FindID(ULONG id) const;

private:
  CCriticalSection m_cs;
  std::unique_ptr<ULONG[]> m_items;
  int m_nCapacity { 0 };
  int m_nSize { 0 };
};
