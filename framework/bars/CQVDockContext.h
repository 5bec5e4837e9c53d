#pragma once
// CQVDockContext: the drag of a sizing bar (CQVControlBar::EnableDocking gives every sizing bar
// one). It drags, floats and resizes as the platform's dock context does, but decides differently
// where a moved bar docks, and outlines the bar as it will sit in the row:
// - a bar dragged so that less than a third of it lies over the frame floats;
// - a side dock bar under the cursor wins over the top or bottom one (and the other way round for
//   an upright bar), and so does any side when the bar's own kind of dock bar is not under the
//   cursor, unless that dock bar is still empty;
// - over a dock bar the outline spans the dock bar, or, once the bar is mostly inside it, is the
//   bar itself, shortened by the bar's least length when it would share the row with another
//   sizing bar, and kept within the dock bar.

#include "platform/ui/bars/CDockContext.h"

class CQVDockContext : public CDockContext {
public:
  explicit CQVDockContext(CControlBar* bar) : CDockContext(bar) {}

protected:
  DWORD CanDockWhileMoving() override;
  void DrawFocusRect(BOOL removeRect = FALSE) override;

private:
  // The dock bar under the cursor is the bar's own, and holds no other sizing bar.
  bool IsOnlySizingBarIn(CDockBar* dockBar) const;
  // The outline over a dock bar of the side (CBRS_ALIGN_*).
  CRect DockedOutline(CDockBar* dockBar, DWORD side);
};
