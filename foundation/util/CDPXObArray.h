#pragma once
// CDPXObArray: a growable array of object slots, each owned or borrowed. Objects the array makes
// from a run-time class are owned and deleted when their slot is cleared, removed or overwritten.
// Storage grows in steps of whole blocks (10 slots).

#include "platform/core/CObject.h"

class CDPXObArray : public CObject {
  DECLARE_DYNCREATE(CDPXObArray)
public:
  CDPXObArray() = default;
  ~CDPXObArray() override;

  int GetCount() const { return m_nCount; }
  // Object at the index; null outside 0 to count - 1 and for an empty slot.
  CObject* GetAt(int index) const;

  // Sets the count (negative counts as 0). Slots at n and above are cleared, their owned objects
  // deleted; 0 frees the storage. FALSE only when storage cannot be allocated, and then nothing
  // has changed.
  BOOL SetSize(int n);
  // Creates an object and stores it owned at the index, deleting an owned object that was there.
  // An index at or beyond the count needs `grow` (the count becomes index + 1). FALSE, with
  // `created` null, for a negative index, a failed creation or growth.
  BOOL SetAtNew(int index, CRuntimeClass* cls, CObject*& created, BOOL grow);
  // SetAtNew at the end; the new index, or -1.
  int AddNew(CRuntimeClass* cls, CObject*& created);
  // Opens n empty slots before the index (0 <= index < count, n > 0).
  BOOL InsertEmptyAt(int index, int n);
  // Closes n slots from the index (the span must lie inside the array), deleting their owned
  // objects, and moves the later ones down.
  BOOL RemoveAt(int index, int n);

private:
  struct Slot {
    CObject* object { nullptr };
    BOOL owned { FALSE };
  };

  static void Clear(Slot& slot);

  Slot* m_pSlots { nullptr };
  int m_nCapacity { 0 };
  int m_nCount { 0 };
  int m_nGrowBy { 10 };
};
