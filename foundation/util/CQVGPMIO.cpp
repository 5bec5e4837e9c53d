#include "foundation/util/CQVGPMIO.h"

#include "foundation/util/CQVGPMManager.h"

CQVGPMIO::~CQVGPMIO() {
  if (!m_strWorkingPath.IsEmpty()) CQVGPMManager::DeleteWorkingPath(m_strWorkingPath);
}

BOOL CQVGPMIO::IsOpen(BOOL& readOnly) const {
  readOnly = m_nState == stateReadOnly;
  return IsOpen();
}

BOOL CQVGPMIO::Open(BOOL readOnly) {
  if (m_nState != stateClosed) return FALSE;
  if (!OnOpen(m_strWorkingPath, readOnly)) return FALSE;
  m_nState = readOnly ? stateReadOnly : stateWritable;
  return TRUE;
}

void CQVGPMIO::Close(BOOL discard) {
  if (m_nState != stateClosed) OnClose(m_strWorkingPath, m_nState == stateReadOnly, discard);
  m_nState = stateClosed;
}
