#include "framework/grids/CDPXPropertyGridDescBox.h"

#include "framework/grids/CDPXPropertyGrid.h"
#include "framework/grids/GridPainting.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/win/windc.h"

IMPLEMENT_DYNAMIC(CDPXPropertyGridDescBox, CWnd)

BEGIN_MESSAGE_MAP(CDPXPropertyGridDescBox, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CDPXPropertyGridDescBox::Create(CWnd* parent, BOOL visible) {
  LPCWSTR cls = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW));
  return CreateEx(0, cls, u"", WS_CHILD | (visible ? WS_VISIBLE : 0), CRect(0, 0, 0, 0), parent,
                  CDPXPropertyGrid::kDescBoxId);
}

void CDPXPropertyGridDescBox::OnPaint() {
  grid_painting::BufferedPaint paint(this);
  if (!paint.Ready()) return;
  CDC& memory = paint.DC();
  const CRect& client = paint.Client();
  memory.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
  CRect edge = client;
  memory.DrawEdge(&edge, BDR_SUNKENOUTER, BF_RECT);
  CRect inner = client;
  inner.DeflateRect(4, 4);
  memory.SetTextColor(GetSysColor(m_grid->IsWindowEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  memory.SetBkMode(TRANSPARENT);
  CString caption, description;
  if (CDPXPropertyGridRow* row = m_grid->GetCurrentRow()) {
    caption = row->GetText();
    description = row->GetDescription();
  }
  CFont* old = nullptr;
  if (CFont* bold = CDPXPropertyGrid::GetGridFont(TRUE)) old = memory.SelectObject(bold);
  CRect captionRect = inner;
  memory.DrawText(caption.IsEmpty() ? CString(u" ") : caption, &captionRect, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
  captionRect.right = inner.right;
  memory.DrawText(caption, &captionRect, DT_SINGLELINE | DT_NOPREFIX);
  if (CFont* normal = CDPXPropertyGrid::GetGridFont(FALSE)) memory.SelectObject(normal);
  CRect descriptionRect(inner.left, captionRect.bottom, inner.right, inner.bottom);
  memory.DrawText(description, &descriptionRect, DT_WORDBREAK | DT_NOPREFIX);
  if (old) memory.SelectObject(old);
}
