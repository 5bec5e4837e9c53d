#pragma once
// The IDs an ID list holds, in order, for comparing in tests.

#include "batchstore/CQVBDEIDList.h"

#include <vector>

inline std::vector<ULONG> IdItems(CQVBDEIDList& list) {
  std::vector<ULONG> ids;
  for (int i = 0; i < list.GetSize(); ++i) {
    ULONG id = 0;
    list.GetAt(i, id);
    ids.push_back(id);
  }
  return ids;
}
