#include "framework/dialogs/CDPXEditWithButton.h"

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CPen.h"
#include "platform/ui/win/windc.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDPXEditWithButton, CEdit)

BEGIN_MESSAGE_MAP(CDPXEditWithButton, CEdit)
  ON_WM_NCCALCSIZE()
  ON_WM_NCHITTEST()
  ON_WM_NCPAINT()
  ON_WM_MOVE()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_NCLBUTTONDBLCLK()
  ON_WM_NCMOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_CAPTURECHANGED()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_KEYDOWN()
  ON_WM_ENABLE()
  ON_MESSAGE(EM_SETREADONLY, &CDPXEditWithButton::OnSetReadOnly)
END_MESSAGE_MAP()

BOOL CDPXEditWithButton::Create(DWORD buttonStyle, DWORD exStyle, LPCWSTR windowName, DWORD style, const RECT& rect,
                                CWnd* parent, UINT id) {
  SetButtonStyle(buttonStyle);
  if (!CreateEx(exStyle, u"Edit", windowName, style, rect, parent, id)) return FALSE;
  SetButtonStyle(buttonStyle);
  if (CFont* font = parent ? parent->GetFont() : nullptr) SetFont(font, FALSE);
  SetFlatLook(TRUE);
  return TRUE;
}

BOOL CDPXEditWithButton::SetButtonStyle(DWORD style) {
  BOOL flatChanged = ((m_buttonStyle ^ style) & kFlat) != 0;
  // Switching the look off needs the flat style still in place; switching it on, the new one.
  if (flatChanged && !(style & kFlat)) SetFlatLook(FALSE);
  m_buttonStyle = style;
  if (flatChanged && (style & kFlat)) SetFlatLook(TRUE);
  else if (!flatChanged && (style & kFlat)) SetFlatLook(FALSE);
  RecalcFrame();
  return TRUE;
}

void CDPXEditWithButton::SetFlatLook(BOOL on) { ShowFlatLook(on && !HasFocus()); }

void CDPXEditWithButton::ShowFlatLook(BOOL on) {
  if (!(m_buttonStyle & kFlat)) return;
  if (on) {
    m_buttonState |= kStateFlat;
    if (!GetSafeHwnd()) return;
    if (CWnd* parent = GetParent()) {
      CRect under;
      GetWindowRect(&under);
      parent->ScreenToClient(&under);
      parent->RedrawWindow(&under, nullptr, RDW_INVALIDATE | RDW_ERASE);
    }
  } else {
    m_buttonState &= ~kStateFlat;
    if (!GetSafeHwnd()) return;
  }
  RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

void CDPXEditWithButton::RecalcFrame() {
  if (GetSafeHwnd())
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDPXEditWithButton::OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params) {
  // Both forms pass the window's rectangle in the parent's coordinates first.
  RECT window = params->rgrc[0];
  CEdit::OnNcCalcSize(calcValidRects, params);
  RECT& client = params->rgrc[0];
  int width = m_buttonWidth >= 0 ? m_buttonWidth : (client.bottom - client.top) * 9 / 10;
  // The text keeps whatever the button leaves; the client area never turns inside out.
  width = std::clamp(width, 0, std::max(0, static_cast<int>(client.right - client.left)));
  CRect button;
  if (m_buttonStyle & kButtonLeft) {
    button.SetRect(client.left, client.top, client.left + width, client.bottom);
    client.left += width;
  } else {
    button.SetRect(client.right - width, client.top, client.right, client.bottom);
    client.right -= width;
  }
  button.OffsetRect(-window.left, -window.top);
  button.NormalizeRect();
  m_buttonRect = button;
}

LRESULT CDPXEditWithButton::OnNcHitTest(CPoint point) {
  LRESULT hit = CEdit::OnNcHitTest(point);
  if (hit == HTNOWHERE && OnButton(point)) return HTBORDER;
  return hit;
}

void CDPXEditWithButton::OnMove(int x, int y) {
  CEdit::OnMove(x, y);
  RecalcFrame();
}

void CDPXEditWithButton::OnNcPaint() {
  // The default frame goes first in either look: the flat look keeps its outer line and covers
  // the inner border with the window colour, so that the border reads as a single flat line.
  Default();
  if (m_buttonState & kStateFlat) {
    CRect inner;
    GetClientRect(&inner);
    ClientToScreen(&inner);
    CPoint origin = ToWindow(CPoint(0, 0));
    inner.OffsetRect(origin.x, origin.y);
    inner.UnionRect(&inner, &m_buttonRect);
    inner.InflateRect(1, 1);
    CWindowDC dc(this);
    CBrush window(GetSysColor(COLOR_WINDOW));
    dc.FrameRect(&inner, &window);
  }
  DrawButton(m_buttonState);
}

void CDPXEditWithButton::DrawDots(CDC& dc, int width, int height, COLORREF colour) {
  int q = width / 4;
  int d = width / 10;
  int x0 = width / 2 + 1 - q - (width % 4 == 0 ? 1 : 0);
  int y0 = 1 + height / 2 - width / 20;
  if (d <= 1) {
    for (int i = 0; i < 3; ++i) dc.SetPixel(x0 + i * q, y0, colour);
    return;
  }
  CPen pen(PS_SOLID, 2, colour);
  CBrush brush(colour);
  CPen* oldPen = dc.SelectObject(&pen);
  CBrush* oldBrush = dc.SelectObject(&brush);
  for (int i = 0; i < 3; ++i) dc.Ellipse(x0 + i * q, y0, x0 + i * q + d, y0 + d);
  dc.SelectObject(oldBrush);
  dc.SelectObject(oldPen);
}

void CDPXEditWithButton::DrawButton(DWORD state) {
  CRect button(m_buttonRect);
  if (button.Width() < 3 || button.Height() < 3 || !GetSafeHwnd()) return;
  if (GetStyle() & WS_DISABLED) state = kStateDisabled | (state & kStateFlat);
  int w = button.Width(), h = button.Height();

  CWindowDC window(this);
  CDC memory;
  memory.CreateCompatibleDC(&window);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&window, w, h);
  CBitmap* old = memory.SelectObject(&bitmap);
  CRect all(0, 0, w, h);
  memory.FillSolidRect(&all, GetSysColor(COLOR_BTNFACE));
  if (state & kStatePressed) {
    CBrush shadow(GetSysColor(COLOR_BTNSHADOW));
    memory.FrameRect(&all, &shadow);
    DrawDots(memory, w, h, GetSysColor(COLOR_BTNTEXT));
  } else {
    if (state & kStateFlat) {
      CRect frame(all);
      if (button.left > 0) frame.left -= 1;
      CBrush flat(GetSysColor(COLOR_WINDOW));
      memory.FrameRect(&frame, &flat);
    } else {
      CRect edge(all);
      memory.DrawEdge(&edge, EDGE_RAISED, BF_RECT);
    }
    DrawDots(memory, w, h, GetSysColor((state & kStateDisabled) ? COLOR_BTNSHADOW : COLOR_BTNTEXT));
  }
  window.BitBlt(button.left, button.top, w, h, &memory, 0, 0, SRCCOPY);
  memory.SelectObject(old);
  m_buttonState = state;
}

CPoint CDPXEditWithButton::ToWindow(CPoint screen) const {
  CRect window;
  GetWindowRect(&window);
  return CPoint(screen.x - window.left, screen.y - window.top);
}

BOOL CDPXEditWithButton::OnButton(CPoint screen) const {
  return CRect(m_buttonRect).PtInRect(ToWindow(screen));
}

void CDPXEditWithButton::PressButton() {
  SetFocus();
  SetCapture();
  m_pressed = 1;
  DrawButton(kStatePressed);
}

void CDPXEditWithButton::OnNcLButtonDown(UINT hit, CPoint point) {
  if (OnButton(point) && !(m_buttonState & kStateDisabled)) PressButton();
  else CEdit::OnNcLButtonDown(hit, point);
}

void CDPXEditWithButton::OnNcLButtonDblClk(UINT hit, CPoint point) {
  if (OnButton(point) && !(m_buttonState & kStateDisabled)) PressButton();
  else CEdit::OnNcLButtonDblClk(hit, point);
}

void CDPXEditWithButton::OnLButtonDown(UINT flags, CPoint point) {
  // While the flat look's hover holds the capture, presses on the button arrive as client presses.
  CPoint screen(point);
  ClientToScreen(&screen);
  if ((m_buttonStyle & kFlat) && OnButton(screen) && !(m_buttonState & kStateDisabled)) {
    PressButton();
    return;
  }
  // A press in the text focuses the edit first, as the edit itself does; this also ends the
  // hover's capture, which routed the press here.
  if (!HasFocus()) SetFocus();
  CEdit::OnLButtonDown(flags, point);
}

void CDPXEditWithButton::OnMouseMove(UINT flags, CPoint point) {
  CPoint screen(point);
  ClientToScreen(&screen);
  if (m_pressed) {
    DWORD state = OnButton(screen) ? kStatePressed : kStateNormal;
    if (state != m_buttonState) DrawButton(state);
    return;
  }
  if ((m_buttonStyle & kFlat) && !HasFocus()) {
    CRect window;
    GetWindowRect(&window);
    if (GetCapture() != this) {
      SetCapture();
      SetFlatLook(FALSE);
    } else if (!window.PtInRect(screen)) {
      ReleaseCapture();
      SetFlatLook(TRUE);
      return;
    } else {
      ::SetCursor(LoadCursorW(nullptr, OnButton(screen) ? IDC_ARROW : IDC_IBEAM));
    }
  }
  CEdit::OnMouseMove(flags, point);
}

void CDPXEditWithButton::OnNcMouseMove(UINT hit, CPoint point) {
  if ((m_buttonStyle & kFlat) && !HasFocus() && !m_pressed && GetCapture() != this) {
    SetCapture();
    SetFlatLook(FALSE);
  }
  CEdit::OnNcMouseMove(hit, point);
}

void CDPXEditWithButton::OnLButtonUp(UINT flags, CPoint point) {
  if (!m_pressed) {
    CEdit::OnLButtonUp(flags, point);
    return;
  }
  m_pressed = 0;
  ReleaseCapture();
  if (m_buttonState != kStateNormal) DrawButton(kStateNormal);
  CPoint screen(point);
  ClientToScreen(&screen);
  if (OnButton(screen)) OnClickButton();
}

void CDPXEditWithButton::OnCaptureChanged(CWnd* wnd) {
  // Another window took the capture: a press in progress ends without a click, and the hover
  // that held the capture is over.
  if (m_pressed) {
    m_pressed = 0;
    DrawButton(kStateNormal);
  } else if ((m_buttonStyle & kFlat) && !HasFocus()) {
    SetFlatLook(TRUE);
  }
  CEdit::OnCaptureChanged(wnd);
}

void CDPXEditWithButton::OnSetFocus(CWnd* old) {
  CEdit::OnSetFocus(old);
  // The hover's capture is not needed while the control has the focus, and would keep the
  // mouse from every other window.
  if (!m_pressed && GetCapture() == this) ReleaseCapture();
  SetSel(-1, 0);
  SetFlatLook(FALSE);
}

void CDPXEditWithButton::OnKillFocus(CWnd* next) {
  CEdit::OnKillFocus(next);
  if (m_pressed) {
    m_pressed = 0;
    ReleaseCapture();
    DrawButton(kStateNormal);
  }
  ShowFlatLook(TRUE);
}

void CDPXEditWithButton::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  BOOL ctrl = GetKeyState(VK_CONTROL) < 0;
  if (ctrl && key == VK_DECIMAL) OnClickButton();
  else if (!ctrl && key == VK_RETURN) SetFlatLook(TRUE);
  CEdit::OnKeyDown(key, repeat, flags);
}

void CDPXEditWithButton::OnEnable(BOOL enable) {
  CEdit::OnEnable(enable);
  DrawButton(kStateNormal | (m_buttonState & kStateFlat));
  SetFlatLook(TRUE);
}

LRESULT CDPXEditWithButton::OnSetReadOnly(WPARAM, LPARAM) {
  LRESULT result = Default();
  SetFlatLook(TRUE);
  return result;
}
