#pragma once
// CScrollBar: a SCROLLBAR control.

#include "platform/ui/afx/CWnd.h"
#include "platform/ui/win/winctrl.h"

class CScrollBar : public CWnd {
  DECLARE_DYNAMIC(CScrollBar)
public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create(WC_SCROLLBARW, nullptr, style, rect, parent, id);
  }
  int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
  int SetScrollPos(int pos, BOOL redraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, pos, redraw); }
  void SetScrollRange(int minPos, int maxPos, BOOL redraw = TRUE) { ::SetScrollRange(m_hWnd, SB_CTL, minPos, maxPos, redraw); }
  BOOL SetScrollInfo(LPSCROLLINFO info, BOOL redraw = TRUE) { return ::SetScrollInfo(m_hWnd, SB_CTL, info, redraw) >= 0; }
  BOOL GetScrollInfo(LPSCROLLINFO info, UINT mask = SIF_ALL) const {
    info->fMask = mask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, info);
  }
};
