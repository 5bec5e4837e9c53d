#pragma once
// Carries one movable global-memory block across the plug-in configuration interface and owns it
// while it holds it.

#include "platform/core/wintypes.h"

class QVACI_DATA {
public:
  QVACI_DATA() = default;
  ~QVACI_DATA();

  // Takes ownership of `block`, freeing a different block held before. FALSE for a null block.
  BOOL Attach(HGLOBAL block);
  // Hands the block over to the caller; the carrier is empty afterwards.
  HGLOBAL Detach();
  void Free();
  HGLOBAL GetBlock() const { return m_block; }

private:
  QVACI_DATA(const QVACI_DATA&) = delete;
  QVACI_DATA& operator=(const QVACI_DATA&) = delete;

  HGLOBAL m_block { nullptr };
};
