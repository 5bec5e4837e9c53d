#pragma once
// A frame's dock-state block (CQVBarState's record) in memory, for the tests and the fuzz target.

#include "framework/bars/CQVBarState.h"
#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"

#include <cstddef>
#include <vector>

inline std::vector<BYTE> StoreDockStateBlock(CFrameWnd& frame) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  CQVBarState::Store(frame, ar);
  ar.Close();
  std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
  file.SeekToBegin();
  file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
  return bytes;
}

inline BOOL LoadDockStateBlock(CFrameWnd& frame, const BYTE* data, size_t size) {
  CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
  CArchive ar(&file, CArchive::load);
  return CQVBarState::Load(frame, ar);
}
