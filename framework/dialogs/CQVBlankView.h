#pragma once
// CQVBlankView: the empty view an application's document template uses when the program names
// none; it fills itself with its back colour. CQVChildFrame: the framework's frame window, which
// does not repaint everything when it is resized.

#include "platform/core/wintypes.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CView.h"

class CQVBlankView : public CView {
  DECLARE_DYNCREATE(CQVBlankView)
public:
  CQVBlankView();
  // The colour of views made afterwards (RGB(64, 64, 64) at first); views made before keep theirs.
  static void SetDefaultBackColor(COLORREF color) { s_defaultBackColor = color; }
  COLORREF GetBackColor() const { return m_backColor; }

  void OnDraw(CDC* dc) override;

private:
  static inline COLORREF s_defaultBackColor { RGB(64, 64, 64) };
  COLORREF m_backColor;
};

class CQVChildFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CQVChildFrame)
public:
  CQVChildFrame() = default;

protected:
  int OnCreate(LPCREATESTRUCT cs);
  DECLARE_MESSAGE_MAP()
};
