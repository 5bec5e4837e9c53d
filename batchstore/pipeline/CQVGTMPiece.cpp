#include "batchstore/pipeline/CQVGTMPiece.h"

#include <new>

IMPLEMENT_DYNCREATE(CQVGTMPiece, CObject)
IMPLEMENT_DYNAMIC(CQVGTMPieceList, CObject)
IMPLEMENT_DYNAMIC(CQVGTMQueue, CObject)

CQVGTMPieceList::~CQVGTMPieceList() { RemoveAll(); }

uint64_t CQVGTMPieceList::Add(CQVGTMPiece* piece, uint64_t mask) {
  std::unique_ptr<CQVGTMPiece> owned(piece);
  if (!piece || mask == 0) return 0;
  CSingleLock lock(&m_lock, TRUE);
  try {
    // Keys are never given out twice, so a stale key cannot reach a newer piece.
    const uint64_t key = ++m_nLastKey;
    m_nodes.emplace(key, Node { std::move(owned), mask });
    return key;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

CQVGTMPiece* CQVGTMPieceList::Get(uint64_t key) {
  CSingleLock lock(&m_lock, TRUE);
  const auto found = m_nodes.find(key);
  return found == m_nodes.end() ? nullptr : found->second.piece.get();
}

void CQVGTMPieceList::Flag(uint64_t key, uint64_t mask) {
  std::unique_ptr<CQVGTMPiece> released;
  {
    CSingleLock lock(&m_lock, TRUE);
    const auto found = m_nodes.find(key);
    if (found == m_nodes.end()) return;
    found->second.mask &= ~mask;
    if (found->second.mask != 0) return;
    released = std::move(found->second.piece);
    m_nodes.erase(found);
  }
  // The piece's own destructor runs outside the lock.
}

int CQVGTMPieceList::GetCount() {
  CSingleLock lock(&m_lock, TRUE);
  return static_cast<int>(m_nodes.size());
}

void CQVGTMPieceList::RemoveAll() {
  CSingleLock lock(&m_lock, TRUE);
  m_nodes.clear();
}

void CQVGTMQueue::PushTask(uint64_t key, CQVGTMPieceList* list) {
  CSingleLock lock(&m_lock, TRUE);
  try {
    m_tasks.push_back(Task { key, list });
  } catch (const std::bad_alloc&) {
    // Dropped, as a queue that cannot grow drops what it is given.
  }
}

BOOL CQVGTMQueue::PopTask(uint64_t& key, CQVGTMPieceList*& list) {
  CSingleLock lock(&m_lock, TRUE);
  if (m_tasks.empty()) return FALSE;
  key = m_tasks.front().key;
  list = m_tasks.front().list;
  m_tasks.pop_front();
  return TRUE;
}

int CQVGTMQueue::GetCount() {
  CSingleLock lock(&m_lock, TRUE);
  return static_cast<int>(m_tasks.size());
}

void CQVGTMQueue::RemoveAll() {
  CSingleLock lock(&m_lock, TRUE);
  m_tasks.clear();
}
