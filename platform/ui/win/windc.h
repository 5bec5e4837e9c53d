#pragma once
// Device contexts of windows: CPaintDC for a paint message (BeginPaint/EndPaint), CClientDC for
// the client area at any time, CWindowDC for the whole window rectangle (the non-client area too).

#include "platform/core/CRect.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/win/winuser.h"

class CWnd;

class CPaintDC : public CDC {
  DECLARE_DYNAMIC(CPaintDC)
public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;

  PAINTSTRUCT m_ps {};

protected:
  HWND m_hWnd {};
};

class CClientDC : public CDC {
  DECLARE_DYNAMIC(CClientDC)
public:
  explicit CClientDC(CWnd* wnd);
  ~CClientDC() override;

protected:
  HWND m_hWnd {};
};

// The window's client area in the coordinates of a CWindowDC (the window rectangle's top-left
// corner at 0, 0).
CRect ClientRectInWindow(const CWnd* wnd);

class CWindowDC : public CDC {
  DECLARE_DYNAMIC(CWindowDC)
public:
  explicit CWindowDC(CWnd* wnd);
  ~CWindowDC() override;

protected:
  HWND m_hWnd {};
};
