#pragma once
// CDockBar: the strip along one side of a frame (or the inside of a floating frame) that holds
// docked control bars in rows.
//
// m_arrBars lists the rows: each row's bars in order along it, rows separated by nullptr; the
// first slot is always nullptr and so is the last. A dock bar along the top or bottom edge is
// horizontal (rows run left to right and are stacked downwards), along the left or right edge
// vertical (rows run top to bottom and stack rightwards).
//
// Layout: each visible bar is asked for its docked size (CalcDynamicLayout(-1, LM_HORZ |
// LM_HORZDOCK) or (-1, LM_VERTDOCK) for a CBRS_SIZE_DYNAMIC bar, CalcFixedLayout otherwise; a
// floating dock bar asks a dynamic bar for (-1, LM_MRUWIDTH, with LM_HORZ when horizontal)). Along
// a row the first bar starts 2 pixels before the dock bar's start and each next bar overlaps the
// one before by 2 pixels, so bars share their border lines; a bar placed further along (by
// docking it at a point) keeps its place while the row has room, and a row that runs past the end
// pushes its bars back towards the start. Rows lie one after another, the first at 0, in the top
// dock bar at -2 (its bars' top margins tuck under the edge). A floating dock bar starts at -2 in
// both directions and ends 2 pixels before its bars do: the floating frame's border replaces the
// bars' own. Hidden bars take no room.

#include "platform/core/CArray.h"
#include "platform/ui/bars/CControlBar.h"

// The four dock bars of a frame (CFrameWnd::EnableDocking): their sides and IDs, in the order the
// frame's layout carves them and docking tries them.
struct DockBarSide {
  DWORD align;
  UINT id;
};
inline constexpr DockBarSide kDockBarSides[] = {
    {CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP},
    {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM},
    {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT},
    {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT},
};

class CDockBar : public CControlBar {
  DECLARE_DYNAMIC(CDockBar)
public:
  explicit CDockBar(BOOL floating = FALSE);
  ~CDockBar() override;
  // style: the side (CBRS_ALIGN_*) and the window styles.
  BOOL Create(CWnd* parent, DWORD style, UINT id);

  int GetDockedCount() const;
  int GetDockedVisibleCount() const;
  // The slot of the bar in m_arrBars, or -1; the slot `exclude` does not count.
  int FindBar(CControlBar* bar, int exclude = -1) const;
  // Docks the bar here (taking it from the dock bar it was in). With a rectangle (screen
  // coordinates) it goes into the row under the rectangle's centre, before the first bar whose
  // centre lies further along than its own, and starts where the rectangle does; a centre before
  // the first row or after the last makes a new row there. Without one it starts a new last row.
  void DockControlBar(CControlBar* bar, LPCRECT rect = nullptr);
  // Docks the bar at the end of the last row, or in a new last row, placed at pos (client
  // coordinates) along the row.
  void AppendControlBar(CControlBar* bar, BOOL newRow, CPoint pos);
  // Takes the bar out of its row. A floating dock bar left without bars destroys its frame (and
  // with it this object); one left without visible bars hides it.
  BOOL RemoveControlBar(CControlBar* bar);
  // Takes the bar out of its row and nothing else (a bar being destroyed).
  void DetachControlBar(CControlBar* bar);

  BOOL IsDockBar() const override { return TRUE; }
  // Places the bars (unless m_bLayoutQuery is set) and answers the dock bar's size: stretched,
  // the length available (m_rectLayout, or the parent's client area) along the side.
  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
  void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
  // Adds the rows (bar IDs, 0 between rows) and, for a floating dock bar, its frame's place.
  void GetBarInfo(CControlBarInfo* info) override;

  CArray<CControlBar*, CControlBar*> m_arrBars;
  BOOL m_bFloating {};
  BOOL m_bLayoutQuery {};    // measure only: no bar is moved, shown or hidden
  BOOL m_bAutoDelete {};     // the object goes with its window
  CRect m_rectLayout;        // the room the frame's last layout offered

protected:
  void PostNcDestroy() override;
  void OnDestroy();
  LRESULT OnSizeParent(WPARAM, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

private:
  struct Slot {
    int index {};
    bool newRow {};
  };
  // Where a bar docked at this rectangle (client coordinates) goes.
  Slot SlotFor(const CRect& rect) const;
  void Adopt(CControlBar* bar, Slot slot, CPoint pos, CDockBar* old);
  // Lets go of every bar (they no longer name this dock bar) and leaves the rows empty.
  void ReleaseBars();
  CSize Measure(CControlBar* bar, BOOL horz) const;
};
