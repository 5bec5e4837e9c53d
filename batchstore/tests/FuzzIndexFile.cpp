// Index files of the batch store: whatever loads must save, and what was saved must load back as
// the same items.

#include "batchstore/CQVBDEIndexFormat.h"
#include "batchstore/CQVBDEIndexItem.h"
#include "tools/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CQVBDEIndexItemList list;
  if (!CQVBDEIndexFormat::Load(fuzz::WriteFile("input.index", data, size), list)) return 0;
  CString saved = fuzz::WriteFile("saved.index", nullptr, 0);
  if (!CQVBDEIndexFormat::Save(saved, list)) return 0;  // a name with a line break is refused
  CQVBDEIndexItemList again;
  fuzz::Check(CQVBDEIndexFormat::Load(saved, again), "a saved index file does not load");
  fuzz::Check(again.GetCount() == list.GetCount(), "a saved index file loads another number of items");
  for (int i = 0; i < list.GetCount() && i < again.GetCount(); ++i) {
    const CQVBDEIndexItem* a = list.GetItem(i);
    const CQVBDEIndexItem* b = again.GetItem(i);
    fuzz::Check(a->m_strName == b->m_strName && a->m_nSource == b->m_nSource && a->m_nAccuracy == b->m_nAccuracy,
                "an item's name, source or accuracy changed on saving");
    fuzz::Check(a->m_strValue == b->m_strValue, "an item's value changed on saving");
  }
  return 0;
}
