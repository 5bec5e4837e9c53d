#pragma once
// CObList: a list of object pointers in the order they were added. The list does not own the
// objects: removing an entry, or the list itself, leaves the object alone. Positions that the
// list did not hand out, or that name removed entries, are treated as no position.

#include "platform/core/CObject.h"
#include "platform/core/position.h"

class CObList : public CObject {
  DECLARE_DYNAMIC(CObList)
public:
  // The block size tunes allocation on the desktop platform; nodes are allocated one by one here.
  explicit CObList(INT_PTR blockSize = 10);

  INT_PTR GetCount() const { return static_cast<INT_PTR>(m_list.Count()); }
  INT_PTR GetSize() const { return GetCount(); }
  BOOL IsEmpty() const { return m_list.Count() == 0; }

  POSITION AddHead(CObject* object) { return m_list.AddHead(object); }
  POSITION AddTail(CObject* object) { return m_list.AddTail(object); }
  POSITION GetHeadPosition() const { return m_list.Head(); }
  // The object at `pos`; `pos` moves to the next entry (null after the last). Null, and `pos`
  // null, when `pos` names no entry.
  CObject* GetNext(POSITION& pos) const;
  // The object at `pos`, or null when `pos` names no entry.
  CObject* GetAt(POSITION pos) const;
  void RemoveAt(POSITION pos) { m_list.Remove(pos); }
  // The first entry holding `object` after `startAfter` (null: from the head), or null; null as
  // well when `startAfter` names no entry.
  POSITION Find(CObject* object, POSITION startAfter = nullptr) const;
  void RemoveAll() { m_list.Clear(); }

private:
  qvcore::PositionList<CObject*> m_list;
};
