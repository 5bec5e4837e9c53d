#include "platform/ui/bars/CToolBar.h"

#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CImageList.h"
#include "platform/ui/internal/ControlWidget.h"

#include <algorithm>
#include <memory>
#include <string>

IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
  ON_WM_PAINT()
  ON_WM_NCCALCSIZE()
END_MESSAGE_MAP()

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

constexpr int kOneRow = 32767;  // a wrap width no row reaches

bool Hidden(const TBBUTTON& b) { return b.fsState & TBSTATE_HIDDEN; }
// A separator without a command: where a row may break. One with a command holds a control.
bool BreaksRow(const TBBUTTON& b) { return (b.fsStyle & TBSTYLE_SEP) && b.idCommand == 0 && !Hidden(b); }

// The row breaks that keep rows at most `width` wide (a row holds one button at least).
std::vector<bool> WrapAt(const std::vector<TBBUTTON>& buttons, const std::vector<int>& widths, int width) {
  std::vector<bool> wraps(buttons.size(), false);
  int x = 0;
  size_t rowStart = 0;
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (Hidden(buttons[i])) continue;
    if (x > 0 && x + widths[i] > width) {
      // The row ends at its last separator, this one included; the next row starts after it.
      size_t at = i + 1;
      for (size_t j = i + 1; j > rowStart && at > i; --j)
        if (BreaksRow(buttons[j - 1])) at = j - 1;
      if (at <= i) {
        wraps[at] = true;
        rowStart = at + 1;
        x = 0;
        i = at;
        continue;
      }
      // Without a separator the row ends before this button (x > 0: one stands before it).
      size_t last = i - 1;
      while (Hidden(buttons[last])) --last;
      wraps[last] = true;
      rowStart = i;
      x = 0;
    }
    x += widths[i];
  }
  return wraps;
}

HIMAGELIST SwapList(CWnd* ctrl, UINT message, CImageList* list) {
  return reinterpret_cast<HIMAGELIST>(ctrl->SendMessage(message, 0, reinterpret_cast<LPARAM>(list ? list->GetSafeHandle() : nullptr)));
}

}  // namespace

HIMAGELIST CToolBarCtrl::SetImageList(CImageList* list) { return SwapList(this, TB_SETIMAGELIST, list); }
HIMAGELIST CToolBarCtrl::SetHotImageList(CImageList* list) { return SwapList(this, TB_SETHOTIMAGELIST, list); }
HIMAGELIST CToolBarCtrl::SetDisabledImageList(CImageList* list) { return SwapList(this, TB_SETDISABLEDIMAGELIST, list); }

CToolBar::CToolBar() = default;
CToolBar::~CToolBar() { delete m_pStringMap; }

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id) {
  return CreateEx(parent, TBSTYLE_FLAT, style, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), id);
}

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, CRect borders, UINT id) {
  m_dwStyle = style & CBRS_ALL;
  m_cxLeftBorder = borders.left;
  m_cyTopBorder = borders.top;
  m_cxRightBorder = borders.right;
  m_cyBottomBorder = borders.bottom;
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
  m_bDelayedButtonLayout = TRUE;
  return TRUE;
}

void CToolBar::SetSizes(SIZE button, SIZE image) {
  m_sizeImage = CSize(image);
  GetToolBarCtrl().SetBitmapSize(CSize(image));
  GetToolBarCtrl().SetButtonSize(CSize(button));
  m_bDelayedButtonLayout = TRUE;
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

int CToolBar::ItemFromPoint(CPoint point) const {
  for (int i = 0; i < GetCount(); ++i) {
    TBBUTTON b {};
    CRect r;
    if (GetToolBarCtrl().GetButton(i, &b) && !(b.fsStyle & TBSTYLE_SEP) && !(b.fsState & TBSTATE_HIDDEN) &&
        GetToolBarCtrl().GetItemRect(i, &r) && r.PtInRect(point))
      return i;
  }
  return -1;
}

int CToolBar::CommandToIndex(UINT id) const { return GetToolBarCtrl().CommandToIndex(id); }

void CToolBar::GetItemRect(int index, LPRECT rect) const {
  if (!rect) return;
  if (m_bDelayedButtonLayout) const_cast<CToolBar*>(this)->Layout();
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
  TBBUTTON b {};
  if (!GetToolBarCtrl().GetButton(index, &b)) return;
  b.fsState = static_cast<BYTE>(HIWORD(style) ^ TBSTATE_ENABLED);
  b.fsStyle = static_cast<BYTE>(LOWORD(style));
  SetButtonAt(index, b);
}

void CToolBar::GetButtonInfo(int index, UINT& id, UINT& style, int& image) const {
  TBBUTTON b {};
  if (!GetToolBarCtrl().GetButton(index, &b)) return;
  id = static_cast<UINT>(b.idCommand);
  style = GetButtonStyle(index);
  image = b.iBitmap;
}

void CToolBar::SetButtonInfo(int index, UINT id, UINT style, int image) {
  TBBUTTON b {};
  if (!GetToolBarCtrl().GetButton(index, &b)) return;
  b.idCommand = static_cast<int>(id);
  b.fsStyle = static_cast<BYTE>(LOWORD(style));
  b.fsState = static_cast<BYTE>(HIWORD(style) ^ TBSTATE_ENABLED);
  b.iBitmap = image;
  SetButtonAt(index, b);
  m_bDelayedButtonLayout = TRUE;
}

BOOL CToolBar::SetButtonText(int index, LPCWSTR text) {
  TBBUTTON b {};
  if (!text || !GetToolBarCtrl().GetButton(index, &b)) return FALSE;
  if (!m_pStringMap) m_pStringMap = new CMapStringToPtr(10);
  void* cached = nullptr;
  INT_PTR pool = -1;
  if (m_pStringMap->Lookup(text, cached)) {
    pool = reinterpret_cast<INT_PTR>(cached);
  } else {
    std::u16string texts(text);
    texts.push_back(u'\0');  // the pool takes a list of texts, ended by an empty one
    pool = GetToolBarCtrl().AddStrings(texts.c_str());
    if (pool < 0) return FALSE;
    m_pStringMap->SetAt(text, reinterpret_cast<void*>(pool));
  }
  b.iString = pool;
  SetButtonAt(index, b);
  m_bDelayedButtonLayout = TRUE;
  return TRUE;
}

CString CToolBar::GetButtonText(int index) const { return qvui::FromQt(qvui::ToolBarText(m_hWnd, index)); }

CSize CToolBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  return CalcLayout((stretch ? LM_STRETCH : 0) | (horz ? LM_HORZ : 0), -1);
}

CSize CToolBar::CalcDynamicLayout(int length, DWORD mode) {
  if (length == -1 && !(mode & (LM_MRUWIDTH | LM_COMMIT)) && (mode & (LM_HORZDOCK | LM_VERTDOCK)))
    return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZDOCK) != 0);
  return CalcLayout(mode, length);
}

std::vector<bool> CToolBar::WrapsFor(DWORD mode, int length, const CRect& inside, const std::vector<TBBUTTON>& buttons,
                                     const std::vector<int>& widths) {
  auto wrapAt = [&](int width) { return WrapAt(buttons, widths, width); };
  const int natural = (mode & LM_HORZ) ? kOneRow : 0;
  if (!(m_dwStyle & CBRS_SIZE_DYNAMIC)) return wrapAt(natural);
  if (mode & LM_MRUWIDTH) return wrapAt(m_nMRUWidth);
  if (mode & LM_HORZDOCK) return wrapAt(kOneRow);
  if (mode & LM_VERTDOCK) return wrapAt(0);
  if (length == -1) return wrapAt(IsFloating() ? m_nMRUWidth : natural);
  if (!(mode & LM_LENGTHY)) return wrapAt(length + inside.Width());

  // By height: the narrowest wrap width whose rows fit in it; one row when even that is too tall.
  const int height = length + inside.Height();
  auto heightAt = [&](int w) { return qvui::ToolBarLayout(m_hWnd, wrapAt(w)).height(); };
  int narrow = 0, wide = qvui::ToolBarLayout(m_hWnd, wrapAt(kOneRow)).width();
  if (heightAt(wide) > height) return wrapAt(kOneRow);
  while (narrow < wide) {
    int middle = narrow + (wide - narrow) / 2;
    if (heightAt(middle) <= height) wide = middle;
    else narrow = middle + 1;
  }
  return wrapAt(wide);
}

CSize CToolBar::CalcLayout(DWORD mode, int length) {
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  const auto count = static_cast<size_t>(std::max(ctrl.GetButtonCount(), 0));
  std::vector<TBBUTTON> buttons(count);
  std::vector<int> widths(count, 0);
  std::vector<bool> wraps(count, false);
  for (size_t i = 0; i < count; ++i) {
    ctrl.GetButton(static_cast<int>(i), &buttons[i]);
    CRect r;
    if (ctrl.GetItemRect(static_cast<int>(i), &r)) widths[i] = r.Width();
    wraps[i] = buttons[i].fsState & TBSTATE_WRAP;
  }
  const BOOL horz = (mode & LM_HORZ) != 0;
  CRect inside(0, 0, 0, 0);
  CalcInsideRect(inside, horz);
  if (!(m_dwStyle & CBRS_SIZE_FIXED)) wraps = WrapsFor(mode, length, inside, buttons, widths);
  QSize content = qvui::ToolBarLayout(m_hWnd, wraps);
  CSize size(content.width(), content.height());

  if (mode & LM_COMMIT) {
    if (IsFloating() && (m_dwStyle & CBRS_SIZE_DYNAMIC)) m_nMRUWidth = size.cx;
    for (size_t i = 0; i < count; ++i) {
      if (wraps[i] == ((buttons[i].fsState & TBSTATE_WRAP) != 0)) continue;
      buttons[i].fsState ^= TBSTATE_WRAP;
      SetButtonAt(static_cast<int>(i), buttons[i]);
    }
    m_bDelayedButtonLayout = FALSE;
  }

  size.cx -= inside.Width();
  size.cy -= inside.Height();
  CSize least = CControlBar::CalcFixedLayout((mode & LM_STRETCH) != 0, horz);
  return CSize(std::max(size.cx, least.cx), std::max(size.cy, least.cy));
}

void CToolBar::SetButtonAt(int index, const TBBUTTON& button) {
  CToolBarCtrl& ctrl = GetToolBarCtrl();
  TBBUTTON now {};
  if (!ctrl.GetButton(index, &now)) return;
  if (now.iBitmap == button.iBitmap && now.idCommand == button.idCommand && now.fsState == button.fsState &&
      now.fsStyle == button.fsStyle && now.dwData == button.dwData && now.iString == button.iString)
    return;
  ctrl.DeleteButton(index);
  ctrl.InsertButton(index, &button);
}

void CToolBar::Layout() {
  m_bDelayedButtonLayout = FALSE;
  if (IsFloating() && (m_dwStyle & CBRS_SIZE_DYNAMIC)) CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
  else if (m_dwStyle & CBRS_ORIENT_HORZ) CalcDynamicLayout(0, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
  else CalcDynamicLayout(0, LM_VERTDOCK | LM_COMMIT);
}

void CToolBar::OnBarStyleChange(DWORD oldStyle, DWORD newStyle) {
  const DWORD changed = oldStyle ^ newStyle;
  if (changed & (CBRS_ALIGN_ANY | CBRS_FLOATING | CBRS_SIZE_DYNAMIC | CBRS_SIZE_FIXED)) m_bDelayedButtonLayout = TRUE;
  // Borders and the gripper live outside the client area.
  if (m_hWnd && (changed & (CBRS_BORDER_ANY | CBRS_GRIPPER | CBRS_ALIGN_ANY | CBRS_FLOATING)))
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CToolBar::OnPaint() {
  if (m_bDelayedButtonLayout) Layout();
  Default();
}

void CToolBar::OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params) {
  Default();  // the control's own frame first
  if (params) CControlBar::OnNcCalcSize(calcValidRects, params);
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
