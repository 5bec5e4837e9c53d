#include "foundation/util/CDPXObList.h"

#include <new>

IMPLEMENT_DYNCREATE(CDPXObList, CObject)

CDPXObList::~CDPXObList() { RemoveAll(); }

int CDPXObList::Compare(CObject*, CObject*) { return 0; }

CDPXObList::Node* CDPXObList::NodeOf(POSITION pos) const {
  auto* node = reinterpret_cast<Node*>(pos);
  return (node && m_nodes.count(node)) ? node : nullptr;
}

POSITION CDPXObList::GetHeadPosition() const { return PositionOf(m_pHead); }
POSITION CDPXObList::GetTailPosition() const { return PositionOf(m_pTail); }
CObject* CDPXObList::GetHead() const { return m_pHead ? m_pHead->object : nullptr; }

CObject* CDPXObList::GetNext(POSITION& pos) const {
  Node* node = NodeOf(pos);
  if (!node) return nullptr;
  pos = PositionOf(node->next);
  return node->object;
}

CObject* CDPXObList::GetPrev(POSITION& pos) const {
  Node* node = NodeOf(pos);
  if (!node) return nullptr;
  pos = PositionOf(node->prev);
  return node->object;
}

CObject* CDPXObList::GetAt(POSITION pos) const {
  Node* node = NodeOf(pos);
  return node ? node->object : nullptr;
}

CObject* CDPXObList::GetAtIndex(int index) const { return GetAt(FindIndex(index)); }

POSITION CDPXObList::FindIndex(int index) const {
  if (index < 0 || index >= m_nCount) return nullptr;
  Node* node = m_pHead;
  while (index-- > 0) node = node->next;
  return PositionOf(node);
}

int CDPXObList::GetIndexOf(POSITION pos) const {
  Node* target = NodeOf(pos);
  if (!target) return -1;
  int index = 0;
  for (Node* node = m_pHead; node != target; node = node->next) ++index;
  return index;
}

CObject* CDPXObList::SetOwnership(POSITION pos, BOOL owned) {
  Node* node = NodeOf(pos);
  if (!node) return nullptr;
  node->owned = owned;
  return node->object;
}

// ---- linking -----------------------------------------------------------------------------------

void CDPXObList::Link(Node* node, Node* before) {
  node->next = before;
  node->prev = before ? before->prev : m_pTail;
  (node->prev ? node->prev->next : m_pHead) = node;
  (before ? before->prev : m_pTail) = node;
  ++m_nCount;
}

void CDPXObList::Unlink(Node* node) {
  (node->prev ? node->prev->next : m_pHead) = node->next;
  (node->next ? node->next->prev : m_pTail) = node->prev;
  node->prev = node->next = nullptr;
  --m_nCount;
}

CDPXObList::Node* CDPXObList::SortedPlace(CObject* object, int order) {
  Node* node = m_pHead;
  if (order == 1)
    while (node && Compare(object, node->object) > 0) node = node->next;
  else
    while (node && Compare(object, node->object) < 0) node = node->next;
  return node;
}

CDPXObList::Node* CDPXObList::Insert(CObject* object, BOOL owned, Node* before) {
  auto* node = new (std::nothrow) Node{object, owned, nullptr, nullptr};
  if (!node) return nullptr;
  try {
    m_nodes.insert(node);
  } catch (const std::bad_alloc&) {
    delete node;
    return nullptr;
  }
  Link(node, m_nSortOrder ? SortedPlace(object, m_nSortOrder) : before);
  return node;
}

POSITION CDPXObList::AddHead(CObject* object) { return PositionOf(Insert(object, FALSE, m_pHead)); }
POSITION CDPXObList::AddTail(CObject* object) { return PositionOf(Insert(object, FALSE, nullptr)); }

POSITION CDPXObList::InsertBefore(POSITION pos, CObject* object) {
  Node* node = NodeOf(pos);
  return PositionOf(Insert(object, FALSE, node ? node : m_pHead));
}

POSITION CDPXObList::InsertAfter(POSITION pos, CObject* object) {
  Node* node = NodeOf(pos);
  return PositionOf(Insert(object, FALSE, node ? node->next : nullptr));
}

// ---- created entries ---------------------------------------------------------------------------

CObject* CDPXObList::InsertNew(CRuntimeClass* cls, Node* before, Node*& made) {
  made = nullptr;
  CObject* object = cls ? cls->CreateObject() : nullptr;
  if (!object) return nullptr;
  made = Insert(object, TRUE, before);
  if (!made) {
    delete object;
    return nullptr;
  }
  return object;
}

CObject* CDPXObList::AddNewHead(CRuntimeClass* cls) {
  Node* made;
  return InsertNew(cls, m_pHead, made);
}

CObject* CDPXObList::AddNewTail(CRuntimeClass* cls) {
  Node* made;
  return InsertNew(cls, nullptr, made);
}

CObject* CDPXObList::AddNewTail(CRuntimeClass* cls, POSITION& newPos) {
  Node* made;
  CObject* object = InsertNew(cls, nullptr, made);
  newPos = PositionOf(made);
  return object;
}

CObject* CDPXObList::AddNewTail(CRuntimeClass* cls, int& newIndex) {
  Node* made;
  CObject* object = InsertNew(cls, nullptr, made);
  newIndex = GetIndexOf(PositionOf(made));
  return object;
}

CObject* CDPXObList::InsertNewBefore(POSITION pos, CRuntimeClass* cls) {
  POSITION made;
  return InsertNewBefore(pos, cls, made);
}

CObject* CDPXObList::InsertNewBefore(POSITION pos, CRuntimeClass* cls, POSITION& newPos) {
  Node* node = NodeOf(pos);
  Node* made;
  CObject* object = InsertNew(cls, node ? node : m_pHead, made);
  newPos = PositionOf(made);
  return object;
}

CObject* CDPXObList::InsertNewAfter(POSITION pos, CRuntimeClass* cls) {
  POSITION made;
  return InsertNewAfter(pos, cls, made);
}

CObject* CDPXObList::InsertNewAfter(POSITION pos, CRuntimeClass* cls, POSITION& newPos) {
  Node* node = NodeOf(pos);
  Node* made;
  CObject* object = InsertNew(cls, node ? node->next : nullptr, made);
  newPos = PositionOf(made);
  return object;
}

CObject* CDPXObList::InsertNewAt(int n, CRuntimeClass* cls, int& newIndex) {
  Node* before = n < 0 ? m_pHead : (n >= m_nCount ? nullptr : NodeOf(FindIndex(n)));
  Node* made;
  CObject* object = InsertNew(cls, before, made);
  newIndex = GetIndexOf(PositionOf(made));
  return object;
}

CObject* CDPXObList::InsertNewAfter(int n, CRuntimeClass* cls, int& newIndex) {
  return InsertNewAt(n < 0 ? n : (n >= m_nCount ? m_nCount : n + 1), cls, newIndex);
}

// ---- removing ----------------------------------------------------------------------------------

void CDPXObList::RemoveAt(POSITION pos) {
  Node* node = NodeOf(pos);
  if (!node) return;
  Unlink(node);
  m_nodes.erase(node);
  // The object goes last: its destructor may still look at the list.
  CObject* object = node->owned ? node->object : nullptr;
  delete node;
  delete object;
}

void CDPXObList::RemoveIndex(int index) { RemoveAt(FindIndex(index)); }

void CDPXObList::RemoveAll() {
  Node* node = m_pHead;
  m_pHead = m_pTail = nullptr;
  m_nCount = 0;
  m_nodes.clear();
  while (node) {
    Node* next = node->next;
    CObject* object = node->owned ? node->object : nullptr;
    delete node;
    delete object;
    node = next;
  }
}

// ---- order and search --------------------------------------------------------------------------

void CDPXObList::Rebuild(const std::function<BOOL(CObject*)>& keep) {
  Node* node = m_pHead;
  m_pHead = m_pTail = nullptr;
  m_nCount = 0;
  while (node) {
    Node* next = node->next;
    if (keep(node->object)) {
      Link(node, m_nSortOrder ? SortedPlace(node->object, m_nSortOrder) : nullptr);
    } else {
      m_nodes.erase(node);
      CObject* object = node->owned ? node->object : nullptr;
      delete node;
      delete object;
    }
    node = next;
  }
}

void CDPXObList::Sort(int order, BOOL store) {
  order = ClampOrder(order);
  if (store) m_nSortOrder = order;
  if (!order) return;
  // Insertion sort over the nodes in their present order: each goes before the first node of the
  // growing sorted chain that it does not follow, so equal entries end up latest first.
  Node* node = m_pHead;
  m_pHead = m_pTail = nullptr;
  m_nCount = 0;
  while (node) {
    Node* next = node->next;
    Link(node, SortedPlace(node->object, order));
    node = next;
  }
}

void CDPXObList::SetSortOrder(int order, BOOL sortNow) {
  m_nSortOrder = ClampOrder(order);
  if (sortNow) Sort(m_nSortOrder, FALSE);
}

POSITION CDPXObList::Find(CObject* key, POSITION& start) {
  Node* node = NodeOf(start);
  for (node = node ? node : m_pHead; node; node = node->next) {
    if (Compare(node->object, key) == 0) {
      start = PositionOf(node->next);
      return PositionOf(node);
    }
  }
  return nullptr;
}

POSITION CDPXObList::Find(CObject* key) {
  POSITION start = nullptr;
  return Find(key, start);
}
