#pragma once
// CDPXEditWithButton: an edit with a small button showing three dots at its right (or left) end.
// The button lives in the edit's frame: the client area, and with it the text, gives up a strip
// for it. A completed click on the button, or Ctrl with the keypad's decimal key, calls
// OnClickButton. A click counts only when the left button went down and came up on the button.
//
// With the flat style the control shows a flat border while it neither has the focus nor the
// mouse over it, and the normal frame otherwise. To notice the mouse leaving, the control holds
// the mouse capture while the mouse is over it; it gives the capture back when the mouse leaves,
// when it takes the focus and when another window takes the capture.

#include "platform/ui/afx/CEdit.h"

class CDPXEditWithButton : public CEdit {
  DECLARE_DYNAMIC(CDPXEditWithButton)
public:
  // Button style bits.
  static constexpr DWORD kFlat = 0x01;        // flat look while inactive
  static constexpr DWORD kButtonLeft = 0x02;  // button at the left end (else at the right end)
  // Button states as drawn.
  static constexpr DWORD kStateNormal = 0x01;
  static constexpr DWORD kStatePressed = 0x02;
  static constexpr DWORD kStateDisabled = 0x04;
  static constexpr DWORD kStateFlat = 0x08;  // set while the flat look is shown

  CDPXEditWithButton() = default;

  using CEdit::Create;
  virtual BOOL Create(DWORD buttonStyle, DWORD exStyle, LPCWSTR windowName, DWORD style, const RECT& rect,
                      CWnd* parent, UINT id);
  // Called on a completed click of the button, and on Ctrl with the keypad's decimal key.
  virtual void OnClickButton() {}

  BOOL SetButtonStyle(DWORD style);
  // The state last drawn (kState*).
  DWORD GetButtonState() const { return m_buttonState; }
  // Switches the flat look on or off; only with the flat style. While the control has the focus
  // the look stays off.
  void SetFlatLook(BOOL on);

protected:
  void DrawButton(DWORD state);
  // Three dots centred in a button of the given size, in the colour.
  static void DrawDots(CDC& dc, int width, int height, COLORREF colour);

  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
  LRESULT OnNcHitTest(CPoint point);
  void OnNcPaint();
  void OnMove(int x, int y);
  void OnNcLButtonDown(UINT hit, CPoint point);
  void OnNcLButtonDblClk(UINT hit, CPoint point);
  void OnNcMouseMove(UINT hit, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnCaptureChanged(CWnd* wnd);
  void OnSetFocus(CWnd* old);
  void OnKillFocus(CWnd* next);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnEnable(BOOL enable);
  LRESULT OnSetReadOnly(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

private:
  // A point on the screen in the window's own coordinates (those of the button rectangle).
  CPoint ToWindow(CPoint screen) const;
  BOOL OnButton(CPoint screen) const;
  void PressButton();
  // Shows the flat look (bit set) or the normal frame, whatever the focus.
  void ShowFlatLook(BOOL on);
  void RecalcFrame();
  BOOL HasFocus() const { return CWnd::GetFocus() == this; }

  DWORD m_buttonStyle {0};
  DWORD m_buttonState {kStateNormal};
  int m_buttonWidth {-1};
  RECT m_buttonRect {};
  int m_pressed {0};
};
