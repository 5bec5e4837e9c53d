#pragma once
// CQVBarState: a frame's dock-state block with the remembered sizes of its sizing bars. The block
// is the frame's CDockState record followed by the bars' record (every field little-endian):
//   DWORD 0x42535651 ("QVSB"), WORD version 1, DWORD number of bars (at most 4096); per sizing
//   bar: UINT its control ID, then its six size integers (CQVControlBar::Serialized).
// Every sizing bar with an ID is stored, and sizes go back to the bar with the same ID: bars added,
// removed or reordered since do not take each other's sizes, and IDs the frame no longer has are
// passed over.

#include "platform/core/wintypes.h"

class CArchive;
class CFrameWnd;

class CQVBarState {
public:
  static void Store(CFrameWnd& frame, CArchive& ar);
  // Reads the whole block before it changes anything: a block cut short, of another kind or with
  // a count past its limit answers FALSE and leaves bars and layout as they are. Otherwise the bars
  // take their sizes, then the frame its docking layout.
  static BOOL Load(CFrameWnd& frame, CArchive& ar);
};
