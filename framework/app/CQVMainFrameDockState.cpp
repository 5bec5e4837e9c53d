// CQVMainFrame: the docking layout of its bars with the sizes of its sizing bars, as a movable
// memory block (the record is CQVBarState's).
//
// A block is read whole and checked before anything moves: one cut short, of another kind, or
// naming a bar this frame does not have (a layout from another version of the program, say)
// changes neither the layout nor a bar's size.

#include "framework/app/CQVMainFrame.h"

#include "foundation/util/CDPXBuffer.h"
#include "framework/bars/CQVBarState.h"
#include "platform/core/CArchive.h"
#include "platform/core/CException.h"
#include "platform/core/CSharedFile.h"
#include "platform/core/globalmem.h"

BOOL CQVMainFrame::GetDockState(HGLOBAL& block) {
  block = nullptr;
  CSharedFile file(GMEM_MOVEABLE | GMEM_ZEROINIT, 128);
  try {
    CArchive ar(&file, CArchive::store, 128);
    CQVBarState::Store(*this, ar);
    ar.Close();
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
  block = file.Detach();
  return block != nullptr;
}

BOOL CQVMainFrame::GetDockState(CDPXGMemBuffer& buffer) {
  buffer.Free();
  HGLOBAL block = nullptr;
  if (!GetDockState(block)) return FALSE;
  if (!buffer.Attach(block)) {
    GlobalFree(block);
    return FALSE;
  }
  return TRUE;
}

BOOL CQVMainFrame::SetDockState(HGLOBAL block) {
  if (!block || GlobalSize(block) == 0) return FALSE;
  CQVBarState state;
  CSharedFile file;
  file.SetHandle(block, FALSE);
  BOOL read = FALSE;
  try {
    CArchive ar(&file, CArchive::load, 4096);
    read = state.Read(ar);
    ar.Close();
  } catch (CException* e) {
    e->Delete();
    read = FALSE;
  }
  file.Detach();
  if (!read || !VerifyBarState(state.GetDockState())) return FALSE;
  state.Apply(*this);
  return TRUE;
}

BOOL CQVMainFrame::SetDockState(CDPXGMemBuffer& buffer) {
  const HGLOBAL block = buffer.Detach();
  const BOOL applied = SetDockState(block);
  if (block) buffer.Attach(block);
  return applied;
}

BOOL CQVMainFrame::VerifyBarState(const CDockState& state) {
  for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
    const CControlBarInfo& info = *state.m_arrBarInfo[i];
    for (INT_PTR k = 0; k < info.m_arrBarID.GetSize(); ++k) {
      // Above the low word an ID marks a bar that was hidden in its row; the bar is the low word.
      const UINT id = info.m_arrBarID[k] & 0xFFFF;
      if (id && !GetControlBar(id)) return FALSE;
    }
    if (!info.m_bFloating && !GetControlBar(info.m_nBarID)) return FALSE;
  }
  return TRUE;
}

BOOL CQVMainFrame::LoadDockStateFile(LPCWSTR path) {
  CDPXGMemBuffer buffer;
  return DPXReadFileToBuffer(path, buffer) && SetDockState(buffer);
}

BOOL CQVMainFrame::SaveDockStateFile(LPCWSTR path) {
  CDPXGMemBuffer buffer;
  return GetDockState(buffer) && DPXWriteBufferToFile(buffer, path);
}
