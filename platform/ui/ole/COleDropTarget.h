#pragma once
// COleDropTarget: a window's answer to data dragged over it. Register puts the target on a
// window; from then on a drag inside this program that moves over the window (or over a child
// window without a target of its own) calls the handlers below. Points are in the window's client
// coordinates; the key state holds MK_ bits of the mouse buttons and of Shift, Ctrl and Alt.
//
// A target leaves its window when it is revoked, when the window is destroyed, or when the target
// itself is destroyed.

#include "platform/core/CRect.h"
#include "platform/ui/afx/CCmdTarget.h"
#include "platform/ui/ole/COleDataObject.h"

class COleDropTarget : public CCmdTarget {
  DECLARE_DYNAMIC(COleDropTarget)
public:
  COleDropTarget() = default;
  ~COleDropTarget() override;
  COleDropTarget(const COleDropTarget&) = delete;
  COleDropTarget& operator=(const COleDropTarget&) = delete;

  // FALSE for a null or window-less CWnd, a window that has a target already, or a target that is
  // registered already.
  BOOL Register(CWnd* wnd);
  void Revoke();

  // The drag came over the window; the answer is the effect a drop would have here.
  virtual DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
  // The drag moved over the window, a key changed, or the mouse rests (asked about every 50 ms).
  virtual DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
  // Asked before OnDragOver: an answer with DROPEFFECT_SCROLL means the window scrolls itself
  // and stands for OnDragOver's answer. No window scrolls by default.
  virtual DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point);
  // The drag left the window, was cancelled, or was released where no drop was possible.
  virtual void OnDragLeave(CWnd* wnd);
  // The drop with the effect the last answer offered; FALSE means nothing was dropped.
  virtual BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point);
  // Asked first at a drop, with the offered effect and the effects the source allows; an answer
  // other than (DROPEFFECT)-1 is the outcome and OnDrop is not called.
  virtual DROPEFFECT OnDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT dropDefault, DROPEFFECT dropList,
                              CPoint point);

private:
  HWND m_hWnd {};
};
