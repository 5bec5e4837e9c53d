#pragma once
// CDPXObList: a doubly linked list of objects in which every entry records whether the list owns
// its object. Owned objects are deleted when their entry is removed and when the list goes away;
// borrowed ones are left alone. Objects made by the list from a run-time class (the "New"
// operations) are owned, objects handed in are borrowed; SetOwnership switches either way.
//
// A list may keep a sort order (1 ascending, -1 descending, 0 none) that every insertion follows,
// through the overridable Compare; among entries that compare equal the one added last stands
// first. Positions are checked against the list's own nodes before use: a stale position, or one
// of another list, behaves as null.

#include "platform/core/CObject.h"
#include "platform/core/position.h"

#include <functional>
#include <unordered_set>

class CDPXObList : public CObject {
  DECLARE_DYNCREATE(CDPXObList)
public:
  CDPXObList() = default;
  ~CDPXObList() override;

  // The order of two objects in a sorted list: negative, zero or positive. Here every pair is equal.
  virtual int Compare(CObject* a, CObject* b);

  int GetCount() const { return m_nCount; }
  POSITION GetHeadPosition() const;
  POSITION GetTailPosition() const;
  CObject* GetHead() const;
  // The object at the position; the position moves on. Null, position unchanged, when it is not ours.
  CObject* GetNext(POSITION& pos) const;
  CObject* GetPrev(POSITION& pos) const;
  CObject* GetAt(POSITION pos) const;
  CObject* GetAtIndex(int index) const;
  POSITION FindIndex(int index) const;
  // -1 when the position is not a node of this list.
  int GetIndexOf(POSITION pos) const;
  // Returns the object, null for a position that is not ours.
  CObject* SetOwnership(POSITION pos, BOOL owned);

  // Borrowed entries. A position that is not ours means the head (before) or the tail (after); a
  // sorted list puts the entry at its sorted place instead. Null when no node can be allocated.
  POSITION AddHead(CObject* object);
  POSITION AddTail(CObject* object);
  POSITION InsertBefore(POSITION pos, CObject* object);
  POSITION InsertAfter(POSITION pos, CObject* object);

  // Owned entries created from a run-time class, placed as the borrowed forms place them. Null when
  // the class cannot create an object or no node can be allocated.
  CObject* AddNewHead(CRuntimeClass* cls);
  CObject* AddNewTail(CRuntimeClass* cls);
  CObject* AddNewTail(CRuntimeClass* cls, POSITION& newPos);
  CObject* AddNewTail(CRuntimeClass* cls, int& newIndex);
  CObject* InsertNewBefore(POSITION pos, CRuntimeClass* cls);
  CObject* InsertNewBefore(POSITION pos, CRuntimeClass* cls, POSITION& newPos);
  CObject* InsertNewAfter(POSITION pos, CRuntimeClass* cls);
  CObject* InsertNewAfter(POSITION pos, CRuntimeClass* cls, POSITION& newPos);
  // By index: below 0 at the head, at or beyond the count at the tail, otherwise before (after)
  // the n-th entry. newIndex is where the object ended up, -1 on failure.
  CObject* InsertNewAt(int n, CRuntimeClass* cls, int& newIndex);
  CObject* InsertNewAfter(int n, CRuntimeClass* cls, int& newIndex);

  void RemoveAt(POSITION pos);
  void RemoveIndex(int index);
  void RemoveAll();

  // Sorts now by `order` (1 or -1; anything else leaves the order as it is); with `store` the order
  // (or 0) is also kept for later insertions.
  void Sort(int order, BOOL store);
  void SetSortOrder(int order, BOOL sortNow);

  // The first node at or after `start` (null or not ours: the head) whose object compares equal to
  // the key; `start` then moves past it. Null when there is none.
  POSITION Find(CObject* key, POSITION& start);
  POSITION Find(CObject* key);

protected:
  // Takes every entry out and puts back, in their present order, those that `keep` accepts: at the
  // tail, or at their sorted place in a sorted list. The others are dropped (owned objects deleted).
  // `keep` sees the list as rebuilt so far. No node is allocated.
  void Rebuild(const std::function<BOOL(CObject*)>& keep);

private:
  struct Node {
    CObject* object { nullptr };
    BOOL owned { FALSE };
    Node* prev { nullptr };
    Node* next { nullptr };
  };

  Node* NodeOf(POSITION pos) const;
  static POSITION PositionOf(Node* node) { return reinterpret_cast<POSITION>(node); }
  // Makes a node for the object and links it before `before` (null: at the tail), or at its sorted
  // place in a sorted list. Null when memory runs out.
  Node* Insert(CObject* object, BOOL owned, Node* before);
  // Creates an object of the class and inserts it owned as Insert does; `made` is its node. Null
  // (and the object deleted) on failure.
  CObject* InsertNew(CRuntimeClass* cls, Node* before, Node*& made);
  void Link(Node* node, Node* before);
  void Unlink(Node* node);
  // The node before which an object goes in the given order (null: at the tail).
  Node* SortedPlace(CObject* object, int order);
  static int ClampOrder(int order) { return (order == 1 || order == -1) ? order : 0; }

  Node* m_pHead { nullptr };
  Node* m_pTail { nullptr };
  int m_nCount { 0 };
  int m_nSortOrder { 0 };
  std::unordered_set<Node*> m_nodes;
};
