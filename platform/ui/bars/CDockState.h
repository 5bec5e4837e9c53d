#pragma once
// CDockState: the docking layout of a frame's control bars as CFrameWnd::GetDockState takes it
// and SetDockState puts it back, one CControlBarInfo per bar and per dock bar that holds bars.
//
// Its record in an archive is the layer's own (every field little-endian):
//   DWORD 0x4B434F44 ("DOCK"), WORD version 1, DWORD number of records (at most 4096); per record:
//   UINT bar ID; BYTE flags (0x01 visible, 0x02 floating, 0x04 horizontal, 0x08 dock bar,
//   0x10 floating position recorded); POINT position; UINT last dock bar ID; RECT last docked
//   rectangle; DWORD last floating style; POINT last floating position; for a dock bar then a
//   DWORD number of slots (at most 4096) and the slots' bar IDs, 0 between rows.
// Loading throws CArchiveException for a record of another kind or version (badSchema), a count
// beyond its limit (badIndex) or a record cut short (endOfFile); the state is empty afterwards.

#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/core/CRect.h"

class CArchive;
class CControlBar;

class CControlBarInfo {
public:
  void Serialize(CArchive& ar);

  UINT m_nBarID {};
  BOOL m_bVisible {};
  BOOL m_bFloating {};
  BOOL m_bHorz {};
  BOOL m_bDockBar {};
  // A bar: its place in its dock bar (client coordinates). A floating dock bar: its frame's
  // top-left corner on the screen.
  CPoint m_pointPos;
  UINT m_uMRUDockID {};
  CRect m_rectMRUDockPos;
  DWORD m_dwMRUFloatStyle {};
  CPoint m_ptMRUFloatPos;
  BOOL m_bMRUFloatPosSet {};
  // A dock bar's rows: bar IDs in order, 0 before, between and after rows.
  CArray<UINT, UINT> m_arrBarID;
  CControlBar* m_pBar {};  // the bar the record stands for while a state is applied
};

class CDockState : public CObject {
  DECLARE_DYNAMIC(CDockState)
public:
  CDockState() = default;
  CDockState(const CDockState&) = delete;
  CDockState& operator=(const CDockState&) = delete;
  ~CDockState() override;

  void Serialize(CArchive& ar);
  void Clear();

  CArray<CControlBarInfo*, CControlBarInfo*> m_arrBarInfo;  // owned
};
