#include "platform/ui/CToolBar.h"

#include "platform/ui/CFrameWnd.h"
#include "platform/ui/CImageList.h"
#include "platform/ui/ControlWidget.h"

#include <memory>

IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

namespace {

// The state the update handlers give a button.
class CToolCmdUI : public CCmdUI {
public:
  void Enable(BOOL on) override {
    m_bEnableChanged = TRUE;
    auto* bar = static_cast<CToolBar*>(m_pOther);
    UINT style = bar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~TBBS_DISABLED;
    bar->SetButtonStyle(static_cast<int>(m_nIndex), on ? style : style | TBBS_DISABLED);
  }
  void SetCheck(int check) override {
    auto* bar = static_cast<CToolBar*>(m_pOther);
    UINT style = bar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
    if (check == 1) style |= TBBS_CHECKED;
    else if (check == 2) style |= TBBS_INDETERMINATE;
    bar->SetButtonStyle(static_cast<int>(m_nIndex), style | TBBS_CHECKBOX);
  }
  void SetText(LPCWSTR) override {}
};

HIMAGELIST SwapList(CWnd* ctrl, UINT message, CImageList* list) {
  return reinterpret_cast<HIMAGELIST>(ctrl->SendMessage(message, 0, reinterpret_cast<LPARAM>(list ? list->GetSafeHandle() : nullptr)));
}

}  // namespace

HIMAGELIST CToolBarCtrl::SetImageList(CImageList* list) { return SwapList(this, TB_SETIMAGELIST, list); }
HIMAGELIST CToolBarCtrl::SetHotImageList(CImageList* list) { return SwapList(this, TB_SETHOTIMAGELIST, list); }
HIMAGELIST CToolBarCtrl::SetDisabledImageList(CImageList* list) { return SwapList(this, TB_SETDISABLEDIMAGELIST, list); }

CToolBar::CToolBar() = default;
CToolBar::~CToolBar() = default;

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id) { return CreateEx(parent, TBSTYLE_FLAT, style, CRect(0, 0, 0, 0), id); }

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, CRect, UINT id) {
  m_dwStyle = style & CBRS_ALL;
  DWORD windowStyle = (style & ~CBRS_ALL) | ctrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
  if (m_dwStyle & CBRS_TOOLTIPS) windowStyle |= TBSTYLE_TOOLTIPS;
  return CWnd::CreateEx(0, TOOLBARCLASSNAMEW, nullptr, windowStyle | WS_CHILD, CRect(0, 0, 0, 0), parent, id);
}

BOOL CToolBar::SetButtons(const UINT* ids, int count) {
  if (count < 0 || (count > 0 && !ids)) return FALSE;
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  while (ctrl.GetButtonCount()) ctrl.DeleteButton(0);
  int image = 0;
  for (int i = 0; i < count; ++i) {
    TBBUTTON b {};
    b.idCommand = static_cast<int>(ids[i]);
    b.iString = -1;
    if (ids[i] == 0) {
      b.fsStyle = TBSTYLE_SEP;
      b.iBitmap = 8;
    } else {
      b.fsState = TBSTATE_ENABLED;
      b.iBitmap = image++;
    }
    ctrl.InsertButton(i, &b);
  }
  return TRUE;
}

void CToolBar::SetSizes(SIZE button, SIZE image) {
  m_sizeImage = CSize(image);
  GetToolBarCtrl().SetBitmapSize(CSize(image));
  GetToolBarCtrl().SetButtonSize(CSize(button));
}

BOOL CToolBar::SetBitmap(HBITMAP bitmap) {
  auto list = std::make_unique<CImageList>();
  if (!bitmap || !list->Create(m_sizeImage.cx, m_sizeImage.cy, ILC_COLOR24 | ILC_MASK, 0, 4)) return FALSE;
  // The grey of buttons shows through: it is the pictures' background.
  if (ImageList_AddMasked(list->GetSafeHandle(), bitmap, RGB(192, 192, 192)) < 0) return FALSE;
  GetToolBarCtrl().SetImageList(list.get());
  m_pImages = std::move(list);
  return TRUE;
}

int CToolBar::GetCount() const { return GetToolBarCtrl().GetButtonCount(); }

UINT CToolBar::GetItemID(int index) const {
  TBBUTTON b {};
  return GetToolBarCtrl().GetButton(index, &b) && !(b.fsStyle & TBSTYLE_SEP) ? static_cast<UINT>(b.idCommand) : 0;
}

int CToolBar::CommandToIndex(UINT id) const { return GetToolBarCtrl().CommandToIndex(id); }

void CToolBar::GetItemRect(int index, LPRECT rect) const {
  if (!rect) return;
  *rect = RECT {};
  GetToolBarCtrl().GetItemRect(index, rect);
}

UINT CToolBar::GetButtonStyle(int index) const {
  TBBUTTON b {};
  if (!GetToolBarCtrl().GetButton(index, &b)) return 0;
  // The enabled state is kept the other way round: a set bit means disabled.
  return MAKELONG(b.fsStyle, (b.fsState ^ TBSTATE_ENABLED));
}

void CToolBar::SetButtonStyle(int index, UINT style) {
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  TBBUTTON b {};
  if (!ctrl.GetButton(index, &b)) return;
  BYTE state = static_cast<BYTE>(HIWORD(style) ^ TBSTATE_ENABLED);
  BYTE kind = static_cast<BYTE>(LOWORD(style));
  if (b.fsState == state && b.fsStyle == kind) return;
  QString text = qvui::ToolBarText(m_hWnd, index);
  b.fsState = state;
  b.fsStyle = kind;
  ctrl.DeleteButton(index);
  ctrl.InsertButton(index, &b);
  qvui::SetToolBarText(m_hWnd, index, text);
}

void CToolBar::GetButtonInfo(int index, UINT& id, UINT& style, int& image) const {
  TBBUTTON b {};
  if (!GetToolBarCtrl().GetButton(index, &b)) return;
  id = static_cast<UINT>(b.idCommand);
  style = GetButtonStyle(index);
  image = b.iBitmap;
}

void CToolBar::SetButtonInfo(int index, UINT id, UINT style, int image) {
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  TBBUTTON b {};
  if (!ctrl.GetButton(index, &b)) return;
  QString text = qvui::ToolBarText(m_hWnd, index);
  b.idCommand = static_cast<int>(id);
  b.fsStyle = static_cast<BYTE>(LOWORD(style));
  b.fsState = static_cast<BYTE>(HIWORD(style) ^ TBSTATE_ENABLED);
  b.iBitmap = image;
  ctrl.DeleteButton(index);
  ctrl.InsertButton(index, &b);
  qvui::SetToolBarText(m_hWnd, index, text);
}

BOOL CToolBar::SetButtonText(int index, LPCWSTR text) {
  if (index < 0 || index >= GetCount()) return FALSE;
  qvui::SetToolBarText(m_hWnd, index, qvui::ToQt(text));
  return TRUE;
}

CString CToolBar::GetButtonText(int index) const { return qvui::FromQt(qvui::ToolBarText(m_hWnd, index)); }

CSize CToolBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  QSize size = qvui::ToolBarLayout(m_hWnd);
  CSize result(size.width() + 4, size.height() + 4);
  if (stretch) {
    CSize full = CControlBar::CalcFixedLayout(stretch, horz);
    if (horz) result.cx = full.cx;
    else result.cy = full.cy;
  }
  return result;
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
  CToolCmdUI state;
  state.m_pOther = this;
  state.m_nIndexMax = static_cast<UINT>(GetCount());
  for (int i = 0; i < GetCount(); ++i) {
    TBBUTTON b {};
    if (!GetToolBarCtrl().GetButton(i, &b) || (b.fsStyle & TBSTYLE_SEP)) continue;
    state.m_nID = static_cast<UINT>(b.idCommand);
    state.m_nIndex = static_cast<UINT>(i);
    state.DoUpdate(target, disableIfNoHandler);
  }
}
