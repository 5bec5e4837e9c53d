#include "framework/dialogs/CQVIconWnd.h"

#include "foundation/util/CDPXVWXform.h"
#include "platform/ui/win/windc.h"

#include <cstdint>

IMPLEMENT_DYNAMIC(CQVIconWnd, CWnd)

BEGIN_MESSAGE_MAP(CQVIconWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CQVIconWnd::AutoLoad(UINT id, CWnd* parent, BOOL create, CRect rect) {
  if (GetSafeHwnd()) return FALSE;
  if (!parent || !parent->GetSafeHwnd()) return FALSE;
  const BOOL made = create ? Create(nullptr, nullptr, WS_CHILD, rect, parent, id) : SubclassDlgItem(id, parent);
  if (!made) return FALSE;
  EnableWindow(TRUE);
  return TRUE;
}

void CQVIconWnd::SetPaintMode(int mode) { m_nPaintMode = mode >= 0 && mode <= 4 ? mode : 0; }

void CQVIconWnd::LoadByKey(LPCWSTR key, CQVBitmapHandle& bitmap) {
  bitmap.Free();
  if (key) LoadBitmapW(key, bitmap);
}

void CQVIconWnd::SetIcon(LPCWSTR key) { LoadByKey(key, m_icon); }
void CQVIconWnd::SetMask(LPCWSTR key) { LoadByKey(key, m_mask); }

void CQVIconWnd::SetIcon(CQVBitmapHandle& icon) {
  if (&icon == &m_icon) return;
  m_icon.Free();
  if (!icon.IsEmpty()) m_icon.Create(icon);
}

void CQVIconWnd::SetMask(CQVBitmapHandle& mask) {
  if (&mask == &m_mask) return;
  m_mask.Free();
  if (!mask.IsEmpty()) m_mask.Create(mask);
}

void CQVIconWnd::SetIconMask(LPCWSTR iconKey, LPCWSTR maskKey) {
  SetIcon(iconKey);
  SetMask(maskKey);
}

void CQVIconWnd::SetIconMask(CQVBitmapHandle& icon, CQVBitmapHandle& mask) {
  SetIcon(icon);
  SetMask(mask);
}

void CQVIconWnd::Repaint(CDC* dc) {
  if (!GetSafeHwnd()) return;
  if (dc) {
    __Repaint(dc);
    return;
  }
  CDC* own = GetDC();
  if (!own) return;
  __Repaint(own);
  ReleaseDC(own);
}

CRect CQVIconWnd::TargetRect(int clientWidth, int clientHeight) const {
  int width = m_icon.GetWidth();
  int height = m_icon.GetHeight();
  if (m_nPaintMode == 3 || m_nPaintMode == 4) {
    CDPXVWXform fit;
    fit.SetViewSize(clientWidth, clientHeight);
    fit.SetWorldSize(width, height);
    int scale = CDPXVWXform::kUnitScale;
    fit.GetFitZoom(scale);
    width = static_cast<int>(int64_t(width) * scale / CDPXVWXform::kUnitScale);
    height = static_cast<int>(int64_t(height) * scale / CDPXVWXform::kUnitScale);
  }
  switch (m_nPaintMode) {
  case 1:
  case 3: return CRect(0, 0, width, height);
  case 2:
  case 4: {
    const int left = (clientWidth - width) / 2;
    const int top = (clientHeight - height) / 2;
    return CRect(left, top, left + width, top + height);
  }
  default: return CRect(0, 0, clientWidth, clientHeight);
  }
}

void CQVIconWnd::__Repaint(CDC* dc) {
  if (m_icon.GetWidth() <= 0 || m_icon.GetHeight() <= 0) return;
  CRect client;
  GetClientRect(&client);
  if (client.IsRectEmpty()) return;
  const CRect target = TargetRect(client.Width(), client.Height());
  if (m_mask.GetWidth() == m_icon.GetWidth() && m_mask.GetHeight() == m_icon.GetHeight()) {
    m_mask.Paint(dc, target, SRCAND);
    m_icon.Paint(dc, target, SRCPAINT);
  } else {
    m_icon.Paint(dc, target, SRCCOPY);
  }
}

void CQVIconWnd::OnPaint() {
  CPaintDC dc(this);
  Repaint(&dc);
}
