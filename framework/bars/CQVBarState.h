#pragma once
// CQVBarState: a frame's dock-state block with the remembered sizes of its sizing bars. The block
// is the frame's CDockState record followed by the bars' record (every field little-endian):
//   DWORD 0x42535651 ("QVSB"), WORD version 1, DWORD number of bars (at most 4096); per sizing
//   bar: UINT its control ID, then its six size integers (CQVControlBar::Serialized).
// Every sizing bar with an ID is stored, and sizes go back to the bar with the same ID: bars added,
// removed or reordered since do not take each other's sizes, and IDs the frame no longer has are
// passed over.

#include "platform/core/wintypes.h"
#include "platform/ui/bars/CDockState.h"

#include <array>
#include <vector>

class CArchive;
class CFrameWnd;

class CQVBarState {
public:
  static void Store(CFrameWnd& frame, CArchive& ar);
  // Read, then Apply.
  static BOOL Load(CFrameWnd& frame, CArchive& ar);

  // Reads the whole block and changes no window: a block cut short, of another kind or with a
  // count past its limit answers FALSE and leaves this state empty.
  BOOL Read(CArchive& ar);
  // The bars take their sizes, then the frame its docking layout.
  void Apply(CFrameWnd& frame);
  // The docking layout read, for a caller that checks it before applying it.
  const CDockState& GetDockState() const { return m_state; }

private:
  static constexpr UINT kRecordBytes = 6 * 4;
  struct Record {
    UINT id {};
    std::array<BYTE, kRecordBytes> sizes {};
  };

  CDockState m_state;
  std::vector<Record> m_records;
};
