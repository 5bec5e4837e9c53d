#pragma once
// COleDataSource: the data being dragged, and the drag itself. DoDragDrop runs a modal loop in
// this program: it takes the mouse, follows the cursor over the windows that have a drop target
// registered (a child window without one belongs to its nearest registered ancestor), tells them
// Enter, Over and Leave, shows the effect the target offers with the cursor, and ends with a drop
// when the left button is released over a target that offered an effect.
//
// The drag starts once the cursor leaves the start rectangle (screen coordinates; by default the
// pixel the cursor is on) or the button has been held for 200 ms; a release before that ends it
// without a drag. Escape, the right button, or losing the mouse to another window cancels it.
// While the mouse rests over a target, the target is asked OnDragOver every 50 ms, so that a
// target can scroll itself step by step. When the target's window is destroyed, or the target
// revoked, during the drag, the drag ends.

#include "platform/ui/afx/CCmdTarget.h"
#include "platform/ui/ole/DropEffect.h"

class COleDataSource : public CCmdTarget {
  DECLARE_DYNAMIC(COleDataSource)
public:
  // The effect of the drop, limited to the allowed effects; DROPEFFECT_NONE when nothing was
  // dropped, the drag was cancelled, or another drag is running. The drop source of the original
  // interface has no counterpart here: the layer gives the feedback itself.
  DROPEFFECT DoDragDrop(DROPEFFECT allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                        LPCRECT startDragRect = nullptr, void* dropSource = nullptr);
};
