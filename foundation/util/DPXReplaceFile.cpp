#include "foundation/util/DPXReplaceFile.h"

#include "platform/core/CAtomicFile.h"

#include <algorithm>

BOOL DPXReplaceFile(LPCWSTR path, const void* bytes, size_t size) {
  if (!path || (size && !bytes)) return FALSE;
  CAtomicFile file;
  if (!file.Open(path)) return FALSE;
  try {
    for (size_t done = 0; done < size;) {
      const UINT part = static_cast<UINT>(std::min<size_t>(size - done, 0x40000000));
      file.Write(static_cast<const BYTE*>(bytes) + done, part);
      done += part;
    }
  } catch (CException* e) {
    e->Delete();
    file.Abort();
    return FALSE;
  }
  return file.Commit();
}
