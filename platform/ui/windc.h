#pragma once
// Device contexts of windows: CPaintDC for a paint message (BeginPaint/EndPaint), CClientDC for
// the client area at any time, CWindowDC for the whole window rectangle (the non-client area too).

#include "platform/gdi/CDC.h"
#include "platform/ui/winuser.h"

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

class CWindowDC : public CDC {
  DECLARE_DYNAMIC(CWindowDC)
public:
  explicit CWindowDC(CWnd* wnd);
  ~CWindowDC() override;

protected:
  HWND m_hWnd {};
};
