#pragma once
// The units of work of the task pipeline and the lists that carry them between its stages.
//
// A piece is kept by a piece list until every consumer has released it: it is added with a mask
// of one bit per consumer and freed by the release that clears the last bit. Queues carry tasks,
// each a task key and the piece list that holds the piece; the payload itself is never copied.
// Task keys are 64-bit handles that the list checks: a key it did not give out, or one of a
// piece already freed, finds nothing. Every public operation locks the object for its whole run,
// so producers, stages and consumers on different threads share lists and queues freely.

#include "platform/core/CObject.h"
#include "platform/core/sync.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>

class CQVGTMPiece : public CObject {
  DECLARE_DYNCREATE(CQVGTMPiece)
public:
  ~CQVGTMPiece() override = default;

  uint64_t m_nSequence { 0 };
};

class CQVGTMPieceList : public CObject {
  DECLARE_DYNAMIC(CQVGTMPieceList)
public:
  CQVGTMPieceList() = default;
  ~CQVGTMPieceList() override;

  // Takes the piece over and answers its task key; 0 (and the piece deleted) when the piece is
  // null or the mask 0.
  uint64_t Add(CQVGTMPiece* piece, uint64_t mask);
  // The piece of the key; null for a key of no piece of this list.
  CQVGTMPiece* Get(uint64_t key);
  // Clears the mask's bits of the piece's release mask; the piece is deleted when none is left.
  void Flag(uint64_t key, uint64_t mask);
  int GetCount();
  void RemoveAll();

private:
  struct Node {
    std::unique_ptr<CQVGTMPiece> piece;
    uint64_t mask { 0 };
  };

  CCriticalSection m_lock;
  std::unordered_map<uint64_t, Node> m_nodes;
  uint64_t m_nLastKey { 0 };
};

class CQVGTMQueue : public CObject {
  DECLARE_DYNAMIC(CQVGTMQueue)
public:
  CQVGTMQueue() = default;
  ~CQVGTMQueue() override = default;

  // The list may be null: the stage that takes the task then uses its own.
  void PushTask(uint64_t key, CQVGTMPieceList* list);
  // FALSE when the queue is empty.
  BOOL PopTask(uint64_t& key, CQVGTMPieceList*& list);
  int GetCount();
  // Drops the tasks; their pieces stay with their lists.
  void RemoveAll();

private:
  struct Task {
    uint64_t key;
    CQVGTMPieceList* list;
  };

  CCriticalSection m_lock;
  std::deque<Task> m_tasks;
};
