#include "platform/sdk/QVACI_DATA.h"

#include "platform/core/globalmem.h"

QVACI_DATA::~QVACI_DATA() { Free(); }

BOOL QVACI_DATA::Attach(HGLOBAL block) {
  if (!block) return FALSE;
  if (block != m_block) {
    Free();
    m_block = block;
  }
  return TRUE;
}

HGLOBAL QVACI_DATA::Detach() {
  HGLOBAL block = m_block;
  m_block = nullptr;
  return block;
}

void QVACI_DATA::Free() {
  if (m_block) GlobalFree(m_block);
  m_block = nullptr;
}
