#pragma once
// CButton: a BUTTON control (push button, check box, radio button, group box, owner-drawn).

#include "platform/ui/afx/CWnd.h"
#include "platform/ui/win/winctrl.h"

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)
public:
  BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create(WC_BUTTONW, text, style, rect, parent, id);
  }
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
  UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
  void SetState(BOOL highlight) { SendMessage(BM_SETSTATE, static_cast<WPARAM>(highlight)); }
  UINT GetButtonStyle() const { return static_cast<UINT>(GetStyle()) & 0xFFFF; }
  void SetButtonStyle(UINT style, BOOL redraw = TRUE) { SendMessage(BM_SETSTYLE, style, redraw); }
  void Click() { SendMessage(BM_CLICK); }

  // Owner-drawn buttons draw here (WM_DRAWITEM reflected from the parent).
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}

protected:
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
