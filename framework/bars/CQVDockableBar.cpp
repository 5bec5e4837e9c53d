#include "framework/bars/CQVDockableBar.h"

#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CWinApp.h"

#include <algorithm>
#include <string>

IMPLEMENT_DYNAMIC(CQVDockableBar, CQVControlBar)

BEGIN_MESSAGE_MAP(CQVDockableBar, CQVControlBar)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_NCHITTEST()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_NCLBUTTONUP()
  ON_WM_LBUTTONUP()
  ON_WM_CAPTURECHANGED()
  ON_MESSAGE(WM_SETTEXT, &CQVDockableBar::OnSetText)
END_MESSAGE_MAP()

namespace {

bool AlongTopOrBottom(UINT side) { return side == AFX_IDW_DOCKBAR_TOP || side == AFX_IDW_DOCKBAR_BOTTOM; }

}  // namespace

BOOL CQVDockableBar::Create(CWnd* parent, CRuntimeClass* viewClass, CCreateContext* context, LPCWSTR title, DWORD style,
                            UINT id, CRuntimeClass* frameClass) {
  m_pInnerClass = frameClass ? frameClass : RUNTIME_CLASS(CFrameWnd);
  if (context) {
    m_context = *context;
  } else {
    m_context = CCreateContext {};
    m_context.m_pCurrentFrame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
  }
  m_context.m_pNewViewClass = viewClass;
  return CQVControlBar::Create(title, parent, id, style);
}

int CQVDockableBar::OnCreate(LPCREATESTRUCT cs) {
  if (CQVControlBar::OnCreate(cs) == -1) return -1;
  CObject* made = m_pInnerClass ? m_pInnerClass->CreateObject() : nullptr;
  auto* inner = dynamic_cast<CFrameWnd*>(made);
  if (!inner) {
    delete made;
    return -1;
  }
  // A frame that fails deletes itself with its window.
  if (!inner->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), this, nullptr, 0,
                     &m_context))
    return -1;
  m_pInnerWnd = inner;
  return 0;
}

void CQVDockableBar::OnSize(UINT type, int cx, int cy) {
  CQVControlBar::OnSize(type, cx, cy);
  if (m_pInnerWnd && m_pInnerWnd->GetSafeHwnd()) m_pInnerWnd->MoveWindow(0, 0, cx, cy);
}

void CQVDockableBar::NcCalcClient(LPRECT rect, UINT dockSide) {
  const CPoint window(rect->left, rect->top);
  CQVControlBar::NcCalcClient(rect, dockSide);
  if (!HasGripper()) return;
  if (AlongTopOrBottom(dockSide)) {
    rect->left += m_cxCaption;
    m_ptBtn = CPoint(rect->left - 14, rect->top);
  } else {
    rect->top += m_cxCaption;
    m_ptBtn = CPoint(rect->right - 15, rect->top - 14);
  }
  m_ptBtn -= window;
}

void CQVDockableBar::NcPaintGripper(CDC* dc, CRect client) {
  if (!HasGripper()) return;
  const bool across = AlongTopOrBottom(m_nDockBarID);
  const CRect strip = across ? CRect(client.left - 20, m_ptBtn.y, client.left, client.bottom - 1)
                             : CRect(client.left, client.top - 20, m_ptBtn.x + 14, client.top + 6);
  dc->FillSolidRect(&strip, ::GetSysColor(m_bHasFocus ? COLOR_ACTIVECAPTION : COLOR_BTNFACE));

  LOGFONTW lf {};
  lf.lfHeight = -::MulDiv(85 * 96 / dc->GetDeviceCaps(LOGPIXELSY), dc->GetDeviceCaps(LOGPIXELSY), 720);
  lf.lfEscapement = across ? 900 : 0;
  lf.lfWeight = FW_NORMAL;
  const CString face = m_strCaptionFont.IsEmpty() ? CString(u"Arial") : m_strCaptionFont;
  const int length = std::min(face.GetLength(), LF_FACESIZE - 1);
  std::char_traits<WCHAR>::copy(lf.lfFaceName, static_cast<LPCWSTR>(face), static_cast<size_t>(length));
  CFont font;
  if (font.CreateFontIndirect(&lf)) {
    CString title;
    GetWindowText(title);
    const int saved = dc->SaveDC();
    CFont* old = dc->SelectObject(&font);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(m_bHasFocus ? ::GetSysColor(COLOR_CAPTIONTEXT) : RGB(0, 0, 0));
    dc->IntersectClipRect(&strip);
    dc->TextOut(strip.left + 3, across ? strip.bottom - 5 : strip.top + 3, title);
    dc->SelectObject(old);
    dc->RestoreDC(saved);
  }

  // The close button: raised, sunk while pressed, lit while the mouse is over it.
  CRect button(across ? m_ptBtn + CSize(-2, 3) : m_ptBtn + CSize(-3, -2), CSize(kButtonSize, kButtonSize));
  dc->FillSolidRect(&button, ::GetSysColor(m_bBtnHot && !m_bBtnPushed ? COLOR_BTNHIGHLIGHT : COLOR_BTNFACE));
  dc->Draw3dRect(&button, ::GetSysColor(m_bBtnPushed ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT),
                 ::GetSysColor(m_bBtnPushed ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW));
  CRect cross = button;
  cross.DeflateRect(3, 3);
  if (m_bBtnPushed) cross.OffsetRect(1, 1);
  CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNTEXT));
  CPen* oldPen = dc->SelectObject(&pen);
  dc->MoveTo(cross.left, cross.top);
  dc->LineTo(cross.right, cross.bottom);
  dc->MoveTo(cross.right - 1, cross.top);
  dc->LineTo(cross.left - 1, cross.bottom);
  dc->SelectObject(oldPen);
}

bool CQVDockableBar::OnCloseButton(CPoint screen) const {
  if (!HasGripper()) return false;
  CRect window;
  GetWindowRect(&window);
  return GetBtnRect().PtInRect(CPoint(screen.x - window.left, screen.y - window.top));
}

LRESULT CQVDockableBar::OnNcHitTest(CPoint point) {
  const LRESULT hit = CQVControlBar::OnNcHitTest(point);
  return hit == HTCLIENT && OnCloseButton(point) ? HTCLOSE : hit;
}

void CQVDockableBar::OnNcLButtonDown(UINT hit, CPoint point) {
  if (hit != HTCLOSE) {
    CQVControlBar::OnNcLButtonDown(hit, point);
    return;
  }
  // Held until the button comes up, wherever that is.
  m_bBtnArmed = TRUE;
  m_bBtnPushed = TRUE;
  SetCapture();
  RedrawCaption();
}

void CQVDockableBar::CloseButtonReleased(CPoint screen) {
  const bool close = m_bBtnArmed && OnCloseButton(screen);
  m_bBtnArmed = FALSE;
  m_bBtnPushed = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  RedrawCaption();
  if (close && m_pDockSite) m_pDockSite->ShowControlBar(this, FALSE, FALSE);
}

void CQVDockableBar::OnNcLButtonUp(UINT hit, CPoint point) {
  if (m_bBtnArmed) {
    CloseButtonReleased(point);
    return;
  }
  CQVControlBar::OnNcLButtonUp(hit, point);
}

void CQVDockableBar::OnLButtonUp(UINT flags, CPoint point) {
  if (m_bBtnArmed) {
    ClientToScreen(&point);
    CloseButtonReleased(point);
    return;
  }
  CQVControlBar::OnLButtonUp(flags, point);
}

void CQVDockableBar::OnCaptureChanged(CWnd* wnd) {
  if (m_bBtnArmed && (!wnd || wnd->GetSafeHwnd() != m_hWnd)) {
    m_bBtnArmed = FALSE;
    m_bBtnPushed = FALSE;
    RedrawCaption();
  }
  CQVControlBar::OnCaptureChanged(wnd);
}

LRESULT CQVDockableBar::OnSetText(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CQVControlBar::OnSetText(wParam, lParam);
  RedrawCaption();
  return result;
}

void CQVDockableBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {
  if (!HasGripper()) return;
  CPoint cursor;
  ::GetCursorPos(&cursor);
  const bool over = SendMessage(WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y)) == HTCLOSE;
  const bool down = ::GetKeyState(VK_LBUTTON) < 0;
  bool repaint = false;
  const BOOL pushed = (over && down) || m_bBtnArmed, hot = over && !down;
  if (pushed != m_bBtnPushed || hot != m_bBtnHot) {
    m_bBtnPushed = pushed;
    m_bBtnHot = hot;
    repaint = true;
  }
  if (CWnd* focus = CWnd::GetFocus()) {
    const BOOL inside = focus->GetSafeHwnd() == m_hWnd || IsChild(focus);
    if (inside != m_bHasFocus) {
      m_bHasFocus = inside;
      repaint = true;
    }
  }
  if (repaint) RedrawCaption();
}
