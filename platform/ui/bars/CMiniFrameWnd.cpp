#include "platform/ui/bars/CMiniFrameWnd.h"

#include "platform/gdi/CPen.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/bars/CDockContext.h"
#include "platform/ui/internal/WindowTable.h"
#include "platform/ui/win/windc.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
  ON_WM_NCCALCSIZE()
  ON_WM_NCHITTEST()
  ON_WM_NCPAINT()
  ON_WM_NCACTIVATE()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_GETMINMAXINFO()
  ON_MESSAGE(WM_SETTEXT, &CMiniFrameWnd::OnSetText)
  ON_MESSAGE(WM_FLOATSTATUS, &CMiniFrameWnd::OnFloatStatus)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CMiniFrameWnd)
  ON_WM_CLOSE()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_NCLBUTTONDBLCLK()
END_MESSAGE_MAP()

namespace {

constexpr char16_t kMiniFrameClass[] = u"AfxMiniFrame";
constexpr int kButtonMargin = 2;  // between the close button and the caption's edges

LPCWSTR MiniFrameClass() {
  static const bool registered = [] {
    qvui::RegisterBuiltinClasses();
    auto face = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
    qvui::RegisterBuiltinClass(WNDCLASSW {CS_DBLCLKS, ::DefWindowProcW, 0, 0, nullptr, nullptr,
                                          ::LoadCursorW(nullptr, IDC_ARROW), face, nullptr, kMiniFrameClass});
    if (auto cls = qvui::FindClass(kMiniFrameClass)) cls->ownFrame = true;
    return true;
  }();
  return registered ? kMiniFrameClass : nullptr;
}

bool HasCaption(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION; }

bool IsThick(DWORD style) { return style & (WS_THICKFRAME | MFS_THICKFRAME | MFS_4THICKFRAME | MFS_MOVEFRAME); }

int BorderOf(DWORD style) {
  if (IsThick(style)) return ::GetSystemMetrics(SM_CXFRAME);
  if (style & WS_DLGFRAME) return ::GetSystemMetrics(SM_CXDLGFRAME);
  if (style & WS_BORDER) return ::GetSystemMetrics(SM_CXBORDER);
  return 0;
}

int CaptionOf(DWORD style) { return HasCaption(style) ? ::GetSystemMetrics(SM_CYSMCAPTION) : 0; }

CPoint ScreenPoint(const MSG& msg) {
  CPoint pt(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
  ::ClientToScreen(msg.hwnd, &pt);
  return pt;
}

}  // namespace

// ---- CMiniFrameWnd ------------------------------------------------------------------------------

BOOL CMiniFrameWnd::Create(LPCWSTR className, LPCWSTR title, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CreateEx(0, className, title, style, rect, parent, id);
}

BOOL CMiniFrameWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, const RECT& rect,
                             CWnd* parent, UINT) {
  return CFrameWnd::Create(className, title, style, rect, parent, nullptr, exStyle);
}

BOOL CMiniFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = MiniFrameClass();
  // A small palette of its owner: no entry of its own on the desktop's task bar.
  cs.dwExStyle |= WS_EX_TOOLWINDOW;
  if (cs.style & (MFS_THICKFRAME | MFS_4THICKFRAME)) cs.style |= WS_THICKFRAME;
  return TRUE;
}

void CMiniFrameWnd::CalcBorders(LPRECT clientRect, DWORD style, DWORD) {
  const int border = BorderOf(style);
  ::InflateRect(clientRect, border, border);
  clientRect->top -= CaptionOf(style);
}

void CMiniFrameWnd::CalcWindowRect(LPRECT clientRect, UINT) { CalcBorders(clientRect, GetStyle(), GetExStyle()); }

CRect CMiniFrameWnd::GetCaptionRect() const {
  const DWORD style = GetStyle();
  if (!HasCaption(style)) return CRect();
  CRect window;
  GetWindowRect(&window);
  const int border = BorderOf(style);
  return CRect(border, border, window.Width() - border, border + CaptionOf(style));
}

CRect CMiniFrameWnd::GetCloseButtonRect() const {
  if (!(GetStyle() & WS_SYSMENU)) return CRect();
  const CRect caption = GetCaptionRect();
  const int side = caption.Height() - 2 * kButtonMargin;
  if (side <= 0) return CRect();
  return CRect(caption.right - kButtonMargin - side, caption.top + kButtonMargin, caption.right - kButtonMargin,
               caption.top + kButtonMargin + side);
}

BOOL CMiniFrameWnd::IsCaptionActive() const {
  HWND active = ::GetActiveWindow();
  if (!active) return FALSE;
  if (active == m_hWnd) return TRUE;
  return (GetStyle() & MFS_SYNCACTIVE) && ::GetAncestor(active, GA_ROOTOWNER) == ::GetAncestor(m_hWnd, GA_ROOTOWNER);
}

void CMiniFrameWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params) {
  const DWORD style = GetStyle();
  RECT& r = params->rgrc[0];
  const int border = BorderOf(style);
  r.left += border;
  r.right = std::max(r.left, r.right - border);
  r.top += border + CaptionOf(style);
  r.bottom = std::max(r.top, r.bottom - border);
}

LRESULT CMiniFrameWnd::OnNcHitTest(CPoint point) {
  CRect window;
  GetWindowRect(&window);
  if (!window.PtInRect(point)) return HTNOWHERE;
  const CPoint at(point.x - window.left, point.y - window.top);
  CRect client;
  GetClientRect(&client);
  ClientToScreen(&client);
  if (client.PtInRect(point)) return HTCLIENT;
  if (GetCloseButtonRect().PtInRect(at)) return HTCLOSE;
  if (GetCaptionRect().PtInRect(at)) return HTCAPTION;
  const DWORD style = GetStyle();
  if (style & MFS_MOVEFRAME) return HTCAPTION;
  if (!IsThick(style)) return HTBORDER;
  const int border = BorderOf(style);
  const int w = window.Width(), h = window.Height();
  const bool left = at.x < border, right = at.x >= w - border, top = at.y < border, bottom = at.y >= h - border;
  if (style & MFS_4THICKFRAME) {
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
    return left ? HTLEFT : HTRIGHT;
  }
  // Corners reach along the edges as far as a caption is high.
  const int corner = std::max(border, ::GetSystemMetrics(SM_CYSMCAPTION));
  const bool nearTop = at.y < corner, nearBottom = at.y >= h - corner;
  const bool nearLeft = at.x < corner, nearRight = at.x >= w - corner;
  if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
  if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
  if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
  if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
  if (top) return HTTOP;
  if (bottom) return HTBOTTOM;
  return left ? HTLEFT : HTRIGHT;
}

void CMiniFrameWnd::OnNcPaint() {
  CRect window;
  GetWindowRect(&window);
  window.OffsetRect(-window.left, -window.top);
  CWindowDC dc(this);
  dc.ExcludeClipRect(ClientRectInWindow(this));
  dc.FillSolidRect(&window, ::GetSysColor(COLOR_BTNFACE));
  const DWORD style = GetStyle();
  if (BorderOf(style) >= 2) {
    CRect edge = window;
    dc.Draw3dRect(&edge, ::GetSysColor(COLOR_3DLIGHT), ::GetSysColor(COLOR_3DDKSHADOW));
    edge.DeflateRect(1, 1);
    dc.Draw3dRect(&edge, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
  } else if (BorderOf(style) == 1) {
    dc.Draw3dRect(&window, ::GetSysColor(COLOR_WINDOWFRAME), ::GetSysColor(COLOR_WINDOWFRAME));
  }
  const CRect caption = GetCaptionRect();
  if (caption.IsRectEmpty()) return;
  const BOOL active = IsCaptionActive();
  dc.FillSolidRect(&caption, ::GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
  const CRect close = GetCloseButtonRect();
  CRect text = caption;
  text.left += 4;
  if (!close.IsRectEmpty()) text.right = close.left - kButtonMargin;
  CString title;
  GetWindowText(title);
  CGdiObject* oldFont = dc.SelectStockObject(DEFAULT_GUI_FONT);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(::GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  dc.DrawText(title, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  if (oldFont) dc.SelectObject(oldFont);
  if (close.IsRectEmpty()) return;
  dc.FillSolidRect(&close, ::GetSysColor(COLOR_BTNFACE));
  if (m_bClosePressed) {
    dc.Draw3dRect(&close, ::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
  } else {
    dc.Draw3dRect(&close, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_3DDKSHADOW));
  }
  // The cross, a pixel further down and right while pressed.
  CRect cross = close;
  cross.DeflateRect(4, 4);
  if (m_bClosePressed) cross.OffsetRect(1, 1);
  CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNTEXT));
  CPen* oldPen = dc.SelectObject(&pen);
  for (int shift = 0; shift < 2; ++shift) {
    dc.MoveTo(cross.left + shift, cross.top);
    dc.LineTo(cross.right + shift, cross.bottom);
    dc.MoveTo(cross.right - 1 + shift, cross.top);
    dc.LineTo(cross.left - 1 + shift, cross.bottom);
  }
  dc.SelectObject(oldPen);
}

BOOL CMiniFrameWnd::OnNcActivate(BOOL) {
  RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  return TRUE;
}

LRESULT CMiniFrameWnd::OnFloatStatus(WPARAM, LPARAM) {
  RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  return 0;
}

LRESULT CMiniFrameWnd::OnSetText(WPARAM, LPARAM) {
  LRESULT result = Default();
  RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  return result;
}

void CMiniFrameWnd::OnGetMinMaxInfo(MINMAXINFO* info) {
  CFrameWnd::OnGetMinMaxInfo(info);
  const DWORD style = GetStyle();
  const int border = BorderOf(style);
  const int caption = CaptionOf(style);
  info->ptMinTrackSize = POINT {2 * border + 2 * caption, 2 * border + caption};
}

void CMiniFrameWnd::OnNcLButtonDown(UINT hit, CPoint point) {
  if (hit == HTCLOSE) {
    if (TrackCloseButton()) SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    return;
  }
  CWnd::OnNcLButtonDown(hit, point);
}

BOOL CMiniFrameWnd::TrackCloseButton() {
  auto pressed = [this](BOOL on) {
    if (m_bClosePressed == on) return;
    m_bClosePressed = on;
    RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  };
  pressed(TRUE);
  // Kept apart from this object: a message handed on may destroy the frame (and delete it).
  const HWND self = m_hWnd;
  ::SetCapture(self);
  BOOL released = FALSE;
  while (::GetCapture() == self) {
    MSG msg {};
    if (!::GetMessageW(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      pressed(FALSE);
      break;
    }
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
      CRect window;
      GetWindowRect(&window);
      const CPoint at = ScreenPoint(msg);
      pressed(GetCloseButtonRect().PtInRect(CPoint(at.x - window.left, at.y - window.top)));
      if (msg.message == WM_LBUTTONUP) {
        released = TRUE;
        break;
      }
    } else if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_RBUTTONDOWN) {
      pressed(FALSE);
      break;
    } else {
      ::DispatchMessageW(&msg);
      if (!::IsWindow(self)) return FALSE;
    }
  }
  if (::GetCapture() == self) ::ReleaseCapture();
  const BOOL onButton = released && m_bClosePressed;
  pressed(FALSE);
  return onButton;
}

// ---- CMiniDockFrameWnd --------------------------------------------------------------------------

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(TRUE) {}

BOOL CMiniDockFrameWnd::Create(CWnd* parent, DWORD barStyle) {
  // No layout while the frame and its dock bar come to be.
  m_bInRecalcLayout = TRUE;
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_4THICKFRAME | MFS_SYNCACTIVE | MFS_BLOCKSYSMENU | FWS_SNAPTOBARS;
  if (!(barStyle & CBRS_SIZE_DYNAMIC)) style |= MFS_MOVEFRAME;
  if (!CMiniFrameWnd::CreateEx(0, nullptr, u"", style, rectDefault, parent)) return FALSE;
  DWORD dockStyle = (barStyle & CBRS_ORIENT_VERT) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
  dockStyle |= barStyle & CBRS_FLOAT_MULTI;
  // Made as the parent frame's child, so that it joins that frame's control bars; then moved in.
  if (!m_wndDockBar.Create(parent, WS_CHILD | WS_VISIBLE | dockStyle, AFX_IDW_DOCKBAR_FLOAT)) {
    m_bInRecalcLayout = FALSE;
    DestroyWindow();  // the frame deletes itself with its window
    return FALSE;
  }
  m_wndDockBar.SetParent(this);
  m_bInRecalcLayout = FALSE;
  return TRUE;
}

void CMiniDockFrameWnd::RecalcLayout(BOOL) {
  if (m_bInRecalcLayout || !m_wndDockBar.GetSafeHwnd()) return;
  m_bInRecalcLayout = TRUE;
  m_bLayoutPending = FALSE;
  const BOOL horz = (m_wndDockBar.m_dwStyle & CBRS_ORIENT_HORZ) != 0;
  const CSize size = m_wndDockBar.CalcFixedLayout(FALSE, horz);
  m_wndDockBar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  CRect frame(CPoint(0, 0), size);
  CalcWindowRect(&frame);
  SetWindowPos(nullptr, 0, 0, frame.Width(), frame.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CString title, shown;
  m_wndDockBar.GetWindowText(title);
  GetWindowText(shown);
  if (title != shown) SetWindowText(title);
  const bool anyVisible = m_wndDockBar.GetDockedVisibleCount() > 0;
  const bool visible = GetStyle() & WS_VISIBLE;
  if (anyVisible && !visible) ShowWindow(SW_SHOWNA);
  else if (!anyVisible && visible) ShowWindow(SW_HIDE);
  m_bInRecalcLayout = FALSE;
}

CControlBar* CMiniDockFrameWnd::CaptionBar() const {
  if (m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI) return nullptr;
  for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); ++i)
    if (CControlBar* bar = m_wndDockBar.m_arrBars[i]) return bar->m_pDockContext ? bar : nullptr;
  return nullptr;
}

void CMiniDockFrameWnd::OnClose() {
  // Closing hides the bars; the frame hides itself with the last of them.
  for (INT_PTR i = 0; i < m_wndDockBar.m_arrBars.GetSize(); ++i)
    if (CControlBar* bar = m_wndDockBar.m_arrBars[i]) bar->DelayShow(FALSE);
  RecalcLayout();
}

void CMiniDockFrameWnd::OnNcLButtonDown(UINT hit, CPoint point) {
  if (CControlBar* bar = CaptionBar()) {
    if (hit == HTCAPTION) {
      bar->m_pDockContext->StartDrag(point);
      return;  // the frame may be gone: the bar docked
    }
    if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT && (GetStyle() & MFS_4THICKFRAME) && (bar->m_dwStyle & CBRS_SIZE_DYNAMIC)) {
      bar->m_pDockContext->StartResize(static_cast<int>(hit), point);
      return;
    }
  }
  CMiniFrameWnd::OnNcLButtonDown(hit, point);
}

void CMiniDockFrameWnd::OnNcLButtonDblClk(UINT hit, CPoint point) {
  if (CControlBar* bar = CaptionBar(); bar && hit == HTCAPTION) {
    bar->m_pDockContext->ToggleDocking();
    return;
  }
  CMiniFrameWnd::OnNcLButtonDblClk(hit, point);
}
