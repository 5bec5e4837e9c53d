#pragma once
// CSharedFile: a memory file whose block is movable global memory (globalmem.h), so that what
// was written can be handed on as an HGLOBAL, and a block received as one can be read as a file.
//
// - A file that allocates its block owns it until Detach hands it over; Detach trims the block
//   to the file's length, so GlobalSize of the block is exactly what was written.
// - SetHandle reads and writes a caller's block, whose whole size is the file's length. The
//   block stays the caller's: the file never frees it, and Detach merely lets it go. When the
//   file must grow past it (allowGrow), it moves to a block of its own and Detach hands over
//   that one; without allowGrow a write past the end throws CFileException (diskFull).

#include "platform/core/CMemFile.h"
#include "platform/core/globalmem.h"

class CSharedFile : public CMemFile {
  DECLARE_DYNAMIC(CSharedFile)
public:
  // Blocks are allocated with `allocFlags` and grow in steps of `growBytes`.
  explicit CSharedFile(UINT allocFlags = GMEM_DDESHARE | GMEM_MOVEABLE, UINT growBytes = 4096);
  ~CSharedFile() override;

  // The block, now the caller's; null when there is none. The file is empty afterwards.
  HGLOBAL Detach();
  // Puts a caller's block under the file (a block the file owned is freed first).
  void SetHandle(HGLOBAL block, BOOL allowGrow = TRUE);

  // Free a block the file owns, let go of a caller's, and empty the file.
  void Close() override;
  void Abort() override;

protected:
  BYTE* Alloc(SIZE_T bytes) override;
  BYTE* Realloc(BYTE* block, SIZE_T bytes) override;
  void Free(BYTE* block) override;
  void GrowFile(SIZE_T length) override;

private:
  UINT m_nAllocFlags;
  UINT m_nGrowStep;          // the grow bytes to use again after a fixed SetHandle
  HGLOBAL m_hGlobalMemory { nullptr };
};
