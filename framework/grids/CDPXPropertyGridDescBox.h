#pragma once
// CDPXPropertyGridDescBox: the box along the bottom of a grid with style 0x01 that shows the
// current row's caption in bold and its description beneath, word-wrapped.

#include "platform/ui/afx/CWnd.h"

class CDPXPropertyGrid;

class CDPXPropertyGridDescBox : public CWnd {
  DECLARE_DYNAMIC(CDPXPropertyGridDescBox)
public:
  explicit CDPXPropertyGridDescBox(CDPXPropertyGrid* grid) : m_grid(grid) {}
  BOOL Create(CWnd* parent, BOOL visible);

protected:
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc) { return TRUE; }
  DECLARE_MESSAGE_MAP()

private:
  CDPXPropertyGrid* m_grid {};
};
