#include "batchstore/pipeline/CQVGTMOperator.h"

#include "platform/core/CException.h"
#include "platform/core/sysinfo.h"

IMPLEMENT_DYNAMIC(CQVGTMOperator, CDPXThread)
IMPLEMENT_DYNAMIC(CQVGTMForwarder, CQVGTMOperator)
IMPLEMENT_DYNAMIC(CQVGTMReorderer, CQVGTMOperator)

CQVGTMOperator::~CQVGTMOperator() { StopAndWait(); }

void CQVGTMOperator::StopAndWait() {
  RequestStop(TRUE);
  // A worker that overran the stop wait still runs on this object: wait for it.
  while (!WaitForExit()) {
  }
}

void CQVGTMOperator::SetTaskPieceList(CQVGTMPieceList* list) {
  CSingleLock lock(&m_csList, TRUE);
  m_pTaskPieceList = list;
}

void CQVGTMOperator::SetInTaskQueue(CQVGTMQueue* queue) {
  CSingleLock lock(&m_csIn, TRUE);
  m_pInTaskQueue = queue;
}

void CQVGTMOperator::SetOutTaskQueue(int index, CQVGTMQueue* queue) {
  if (index < 0 || index >= g_nOutTaskQueueCount) return;
  CSingleLock lock(&m_csOut, TRUE);
  m_pOutTaskQueues[index] = queue;
}

void CQVGTMOperator::CopyOutTaskQueues(CQVGTMQueue** outs) {
  CSingleLock lock(&m_csOut, TRUE);
  for (int i = 0; i < g_nOutTaskQueueCount; ++i) outs[i] = m_pOutTaskQueues[i];
}

void CQVGTMOperator::OnProcess() {
  CQVGTMPieceList* list = nullptr;
  CQVGTMQueue* in = nullptr;
  CQVGTMQueue* outs[g_nOutTaskQueueCount] {};
  {
    CSingleLock lock(&m_csList, TRUE);
    list = m_pTaskPieceList;
  }
  {
    CSingleLock lock(&m_csIn, TRUE);
    in = m_pInTaskQueue;
  }
  CopyOutTaskQueues(outs);
  if (in) OnProcessTasks(in, list, outs);
  else OnProcessTasks(list, outs);
}

void CQVGTMOperator::OnProcessTasks(CQVGTMPieceList*, CQVGTMQueue**) {}

void CQVGTMOperator::OnProcessTasks(CQVGTMQueue* in, CQVGTMPieceList* list, CQVGTMQueue** outs) {
  do {
    uint64_t key = 0;
    CQVGTMPieceList* taskList = nullptr;
    if (!in->PopTask(key, taskList)) {
      Sleep(1);
      continue;
    }
    CQVGTMPieceList* target = taskList ? taskList : list;
    if (!target) continue;
    // An exception must not leave the worker: it would end the process with every page in it.
    try {
      OnProcessTask(key, target, outs);
    } catch (CException* error) {
      error->Delete();
      ++m_nFailedTasks;
      OnTaskFailed(key, target);
    } catch (...) {
      ++m_nFailedTasks;
      OnTaskFailed(key, target);
    }
  } while (!IsStopRequested());
}

void CQVGTMOperator::OnProcessTask(uint64_t, CQVGTMPieceList*, CQVGTMQueue**) {}

void CQVGTMOperator::OnTaskFailed(uint64_t, CQVGTMPieceList*) {}

void CQVGTMOperator::ForwardTask(CQVGTMQueue** outs, uint64_t key, CQVGTMPieceList* list) {
  if (!outs) return;
  for (int i = 0; i < g_nOutTaskQueueCount; ++i)
    if (outs[i]) outs[i]->PushTask(key, list);
}

void CQVGTMForwarder::OnProcessTask(uint64_t key, CQVGTMPieceList* list, CQVGTMQueue** outs) {
  ForwardTask(outs, key, list);
}

CQVGTMReorderer::~CQVGTMReorderer() {
  // The worker uses the buffer, which goes before the base's destructor runs.
  StopAndWait();
}

int CQVGTMReorderer::GetTaskCountInBuffer() {
  CSingleLock lock(&m_csBuffer, TRUE);
  return static_cast<int>(m_buffer.size());
}

void CQVGTMReorderer::FlushBuffer() {
  CQVGTMQueue* outs[g_nOutTaskQueueCount] {};
  CopyOutTaskQueues(outs);
  CSingleLock lock(&m_csBuffer, TRUE);
  for (const auto& [sequence, held] : m_buffer) ForwardTask(outs, held.key, held.list);
  m_buffer.clear();
}

void CQVGTMReorderer::ResetBuffer() {
  CSingleLock lock(&m_csBuffer, TRUE);
  m_buffer.clear();
  m_nDesired = 0;
}

void CQVGTMReorderer::OnProcessTask(uint64_t key, CQVGTMPieceList* list, CQVGTMQueue** outs) {
  CQVGTMPiece* piece = list->Get(key);
  if (!piece) return;
  const uint64_t sequence = piece->m_nSequence;
  CSingleLock lock(&m_csBuffer, TRUE);
  if (sequence > m_nDesired) {
    try {
      // After any held task of the same number.
      m_buffer.emplace_hint(m_buffer.upper_bound(sequence), sequence, Held { key, list });
    } catch (const std::bad_alloc&) {
      for (const auto& [number, held] : m_buffer) ForwardTask(outs, held.key, held.list);
      m_buffer.clear();
      ForwardTask(outs, key, list);
    }
    return;
  }
  ForwardTask(outs, key, list);
  if (sequence == m_nDesired) ++m_nDesired;
  while (!m_buffer.empty() && m_buffer.begin()->first <= m_nDesired) {
    const auto head = m_buffer.begin();
    ForwardTask(outs, head->second.key, head->second.list);
    if (head->first == m_nDesired) ++m_nDesired;
    m_buffer.erase(head);
  }
}
