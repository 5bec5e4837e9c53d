#pragma once
// CQVMiniDockFrameWnd: the floating frame of sizing bars (CQVControlBar). While it holds one, the
// frame's size is the bar's floating size: sizing the frame changes it, and the frame cannot be
// made smaller than the bar's least floating size. On its first move or resize with a sizing bar
// in it the frame gives up the platform's four-way border (which resizes through the bar's dock
// context) for ordinary window resizing. Frames holding other bars behave as the platform's.

#include "platform/ui/bars/CMiniFrameWnd.h"

class CQVControlBar;

class CQVMiniDockFrameWnd : public CMiniDockFrameWnd {
  DECLARE_DYNCREATE(CQVMiniDockFrameWnd)
public:
  CQVMiniDockFrameWnd() = default;

  // The first bar in the frame's dock bar when it is a sizing bar, else null.
  CQVControlBar* GetSizingControlBar() const;

protected:
  void OnSize(UINT type, int cx, int cy);
  void OnGetMinMaxInfo(MINMAXINFO* info);
  void OnWindowPosChanging(WINDOWPOS* pos);
  void OnNcLButtonDown(UINT hit, CPoint point);

  DECLARE_MESSAGE_MAP()
};
