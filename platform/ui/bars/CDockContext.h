#pragma once
// CDockContext: dragging a dockable control bar to another side or into a floating frame, and
// resizing a floating bar by its frame's border. Every bar made dockable has one
// (CControlBar::EnableDocking).
//
// A drag or resize runs its own message loop with the mouse captured by the bar until the left
// button comes up (the bar docks, floats or takes its new size), or Escape, the right button or
// the loss of the capture cancels it (the bar stays where it was). While dragging, Ctrl keeps the
// bar floating and Shift flips its orientation (only when it may dock on both kinds of side). A
// quit message that arrives meanwhile is posted again and cancels. The outline of where the bar
// would go is drawn on the desktop: over a side, the bar's docked rectangle with a thin border;
// elsewhere its floating frame with a thick halftone border.
//
// The four drag rectangles (screen coordinates) follow the cursor: the bar docked horizontally,
// docked vertically, and its floating frame laid out horizontally and vertically.

#include "platform/core/CRect.h"
#include "platform/ui/win/winuser.h"

class CControlBar;
class CDC;
class CDockBar;
class CFrameWnd;

class CDockContext {
public:
  explicit CDockContext(CControlBar* bar);
  virtual ~CDockContext();

  // Drags the bar from the screen point pt.
  virtual void StartDrag(CPoint pt);
  // Resizes the floating bar from its frame's border (hit: HTLEFT, HTRIGHT, HTTOP, HTBOTTOM).
  virtual void StartResize(int hit, CPoint pt);
  // Docks a floating bar where it was docked last (when it may dock at all), floats a docked one
  // where it floated last.
  virtual void ToggleDocking();

  CPoint m_ptLast;           // the cursor at the last step
  CRect m_rectLast;          // the outline shown
  CSize m_sizeLast;          // its border
  BOOL m_bDitherLast {};     // drawn with the halftone brush
  CRect m_rectDragHorz;
  CRect m_rectDragVert;
  CRect m_rectFrameDragHorz;
  CRect m_rectFrameDragVert;  // while resizing: (0, 0, the width and height the frame adds)

  CControlBar* m_pBar {};
  CFrameWnd* m_pDockSite {};
  DWORD m_dwDockStyle {};      // the sides the bar may dock on, read when the loop starts
  DWORD m_dwOverDockStyle {};  // the side under the drag (CBRS_ALIGN_*), 0 for floating
  DWORD m_dwStyle {};          // the bar's alignment (CBRS_ALIGN_*) when the loop started
  BOOL m_bFlip {};             // Shift: the other orientation
  BOOL m_bForceFrame {};       // Ctrl: floating whatever lies under the drag
  CDC* m_pDC {};               // the desktop's DC the outline is drawn on
  BOOL m_bDragging {};         // a drag (not a resize)
  int m_nHitTest {};           // the border a resize runs from

  // Where the bar was docked last (the dock bar's ID and the bar's rectangle in the dock bar's
  // client coordinates) and how and where it floated last (style and frame position).
  UINT m_uMRUDockID {};
  CRect m_rectMRUDockPos;
  DWORD m_dwMRUFloatStyle {};
  CPoint m_ptMRUFloatPos {-1, -1};
  BOOL m_bMRUFloatPosSet {};  // m_ptMRUFloatPos holds a real place (any place may be negative)

protected:
  // Paints what waits, reads the bar's alignment and dock style, clears the outline and gets the
  // desktop's DC with its updates locked.
  void InitLoop();
  // Removes the outline, gives up the capture, the lock and the DC.
  void CancelLoop();
  // The loop; TRUE when the left button ended it.
  BOOL Track();
  void Move(CPoint pt);
  void Stretch(CPoint pt);
  void EndDrag();
  void EndResize();
  // Ctrl or Shift pressed or released while dragging.
  void OnKey(int key, BOOL down);
  // The side the drag would dock on by the plain rule: the dock site's answer for the drag
  // rectangle of the bar's orientation (the other one with Shift) among the sides of that
  // orientation; without Shift and without an answer, a side on which both drag rectangles agree
  // (top/bottom first, then left/right).
  DWORD CanDock();
  // The side under the drag after the cursor moved (not with Ctrl held); the plain rule unless a
  // derived context decides otherwise.
  virtual DWORD CanDockWhileMoving() { return CanDock(); }
  // The frame's dock bar of a side (CBRS_ALIGN_*), or null.
  CDockBar* GetDockBar(DWORD overDockStyle);
  // Draws the outline for the current state, or removes it.
  virtual void DrawFocusRect(BOOL removeRect = FALSE);

private:
  // Track's loop with the mouse captured by the bar's window.
  BOOL RunLoop(HWND bar, const bool& alive);

  BOOL m_bLockedUpdates {};  // InitLoop took the desktop's update lock
  // While Track runs: the loop's flag, cleared by the destructor when a message the loop hands on
  // takes the bar (and this context) away.
  bool* m_pLoopAlive {};
};
