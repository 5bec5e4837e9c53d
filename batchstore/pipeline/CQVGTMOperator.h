#pragma once
// The stages of the task pipeline. A stage is a worker thread that takes tasks from its input
// queue and hands them on to up to ten output queues, each the input of a further stage; with
// several output queues every task reaches each of them, slot 0 first.
//
// A stage is wired (SetTaskPieceList, SetInTaskQueue, SetOutTaskQueue), started with Start and
// stopped with RequestStop; the loop ends at the next pass after the request, and an idle stage
// looks at its queue every 1 ms. Wiring changed while a stage runs takes effect at its next start.
// The stage owns none of the lists and queues it points to; they must outlive it. Destroying a
// stage stops it and waits for its thread first; threads are never killed.
//
// A task whose handling fails (OnProcessTask throws) is counted and handed to OnTaskFailed; the
// stage goes on with the next task, and what it forwarded before stays forwarded.

#include "batchstore/pipeline/CQVGTMPiece.h"
#include "foundation/util/CDPXThread.h"

#include <atomic>
#include <map>

class CQVGTMOperator : public CDPXThread {
  DECLARE_DYNAMIC(CQVGTMOperator)
public:
  static const int g_nOutTaskQueueCount = 10;

  CQVGTMOperator() = default;
  ~CQVGTMOperator() override;

  // The list for tasks that come without one.
  void SetTaskPieceList(CQVGTMPieceList* list);
  void SetInTaskQueue(CQVGTMQueue* queue);
  // An index outside 0..9 is ignored; null empties the slot.
  void SetOutTaskQueue(int index, CQVGTMQueue* queue);
  // How many tasks failed since the stage was made.
  int GetFailedTaskCount() const { return m_nFailedTasks.load(); }

protected:
  void OnProcess() override;
  // A stage without an input queue: a source stage makes its tasks here. Nothing in the base.
  virtual void OnProcessTasks(CQVGTMPieceList* list, CQVGTMQueue** outs);
  virtual void OnProcessTasks(CQVGTMQueue* in, CQVGTMPieceList* list, CQVGTMQueue** outs);
  virtual void OnProcessTask(uint64_t key, CQVGTMPieceList* list, CQVGTMQueue** outs);
  // A task whose OnProcessTask threw. Its piece stays in its list, unreleased by this stage.
  virtual void OnTaskFailed(uint64_t key, CQVGTMPieceList* list);

  // Pushes the task into every slot of the ten that is set, index 0 first.
  void ForwardTask(CQVGTMQueue** outs, uint64_t key, CQVGTMPieceList* list);
  void CopyOutTaskQueues(CQVGTMQueue** outs);
  // For destructors: the worker must be gone before the members it uses.
  void StopAndWait();

private:
  CCriticalSection m_csList;
  CQVGTMPieceList* m_pTaskPieceList { nullptr };
  CCriticalSection m_csIn;
  CQVGTMQueue* m_pInTaskQueue { nullptr };
  CCriticalSection m_csOut;
  CQVGTMQueue* m_pOutTaskQueues[g_nOutTaskQueueCount] {};
  std::atomic<int> m_nFailedTasks { 0 };
};

// Passes every task on unchanged.
class CQVGTMForwarder : public CQVGTMOperator {
  DECLARE_DYNAMIC(CQVGTMForwarder)
protected:
  void OnProcessTask(uint64_t key, CQVGTMPieceList* list, CQVGTMQueue** outs) override;
};

// Passes tasks on in ascending order of their pieces' sequence numbers, from 0 on, holding early
// ones back; a number below the one due passes at once, equal numbers in their order of arrival.
class CQVGTMReorderer : public CQVGTMOperator {
  DECLARE_DYNAMIC(CQVGTMReorderer)
public:
  CQVGTMReorderer() = default;
  ~CQVGTMReorderer() override;

  int GetTaskCountInBuffer();
  // Forwards every held task in order; the number due stays.
  void FlushBuffer();
  // Drops the held tasks without forwarding (their pieces stay in their lists) and makes 0 due.
  void ResetBuffer();

protected:
  void OnProcessTask(uint64_t key, CQVGTMPieceList* list, CQVGTMQueue** outs) override;

private:
  struct Held {
    uint64_t key;
    CQVGTMPieceList* list;
  };

  CCriticalSection m_csBuffer;
  std::multimap<uint64_t, Held> m_buffer;
  uint64_t m_nDesired { 0 };
};
