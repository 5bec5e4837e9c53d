// CQVToolBar: the layout. Buttons are measured as the control lays them out (a labelled button is
// wider than a bare one; a control's placeholder is as wide as its control), then wrapped into rows
// no wider than the layout allows: at the last separator of a row that overflows, else before the
// button that overflows. A bar sized by height searches for the narrowest rows that fit. Committing
// a layout writes the row breaks into the control and moves the hosted controls onto their
// placeholders.

#include "framework/bars/CQVToolBar.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kWide = 32767;  // a wrap width no row reaches
constexpr int kVersion470 = 0x40046;
constexpr int kVersion471 = 0x40047;

bool IsSeparator(const TBBUTTON& b) { return b.fsStyle & TBSTYLE_SEP; }
bool IsPlaceholder(const TBBUTTON& b) { return IsSeparator(b) && b.idCommand != 0; }
bool IsHidden(const TBBUTTON& b) { return b.fsState & TBSTATE_HIDDEN; }
bool IsWrapped(const TBBUTTON& b) { return b.fsState & TBSTATE_WRAP; }

}  // namespace

// The bar's buttons for one layout, their row breaks and the rules that set them.
class CQVToolBarLayout {
public:
  CQVToolBarLayout(CQVToolBar& bar, DWORD mode) : m_bar(bar), m_mode(mode) {
    CToolBarCtrl& ctrl = bar.GetToolBarCtrl();
    const int count = std::max(ctrl.GetButtonCount(), 0);
    buttons.resize(static_cast<size_t>(count));
    m_rects.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      ctrl.GetButton(i, &buttons[static_cast<size_t>(i)]);
      ctrl.GetItemRect(i, &m_rects[static_cast<size_t>(i)]);
    }
    m_buttonHeight = ctrl.GetButtonSize().cy;
  }

  // The room a button takes in this layout.
  CSize Measure(size_t i) const {
    const TBBUTTON& b = buttons[i];
    CSize size(m_rects[i].Width(), m_rects[i].Height());
    if (IsSeparator(b)) size.cy = std::min<int>(size.cy, m_buttonHeight);
    CWnd* child = b.idCommand ? m_bar.GetDlgItem(b.idCommand) : nullptr;
    if (IsPlaceholder(b) && m_bar.m_bHideChildWndOnVertical) {
      if (!(m_mode & (LM_HORZ | LM_STRETCH))) return CSize(0, 0);
      if (IsHidden(b) && child) {
        CRect own;
        child->GetWindowRect(&own);
        size = own.Size();
      }
    }
    if (IsSeparator(b) && IsWrapped(b) && !child) {
      // How far rows stand apart at a wrapped separator depends on the common controls' version.
      const int version = CQVToolBar::GetComCtlVersion();
      size.cx = 0;
      if (version <= kVersion470) size.cy -= 3;
      else if (version != kVersion471) size.cy = b.iBitmap;
    }
    return size;
  }

  // The rows' extent (CalcSize).
  CSize Size() const {
    CSize result(0, 0);
    int x = 0, top = 0, rowHeight = 0, counted = 0;
    bool onlySeparator = false;
    for (size_t i = 0; i < buttons.size(); ++i) {
      const TBBUTTON& b = buttons[i];
      if (IsHidden(b) && !IsPlaceholder(b)) continue;
      const CSize size = Measure(i);
      x += size.cx;
      rowHeight = std::max<int>(rowHeight, size.cy);
      onlySeparator = counted == 0 && IsSeparator(b);
      ++counted;
      result.cx = std::max<int>(result.cx, x);
      result.cy = std::max<int>(result.cy, top + size.cy);
      if (!IsWrapped(b)) continue;
      if (counted == 1 && onlySeparator) rowHeight = m_buttonHeight;
      top += rowHeight + (IsSeparator(b) ? size.cy : 0);
      x = 0;
      rowHeight = 0;
      counted = 0;
    }
    return result;
  }

  // Breaks the rows so that none is wider than width (WrapToolBar); answers the number of rows.
  int Wrap(int width) {
    for (TBBUTTON& b : buttons) b.fsState &= static_cast<BYTE>(~TBSTATE_WRAP);
    int rows = 1, x = 0;
    size_t rowStart = 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
      if (IsHidden(buttons[i]) && !IsPlaceholder(buttons[i])) continue;
      x += Measure(i).cx;
      if (x <= width) continue;
      // Back to the row's last free separator; failing that, the nearest button before this one.
      size_t at = buttons.size();
      for (size_t j = i + 1; j-- > rowStart && at == buttons.size();)
        if (IsSeparator(buttons[j]) && !IsPlaceholder(buttons[j]) && !IsHidden(buttons[j])) at = j;
      for (size_t j = i; at == buttons.size() && j-- > rowStart;)
        if (!IsHidden(buttons[j]) && !IsPlaceholder(buttons[j])) at = j;
      if (at == buttons.size()) continue;
      buttons[at].fsState |= TBSTATE_WRAP;
      ++rows;
      rowStart = at + 1;
      x = 0;
      for (size_t k = at + 1; k <= i; ++k)
        if (!IsHidden(buttons[k]) || IsPlaceholder(buttons[k])) x += Measure(k).cx;
    }
    return rows;
  }

  // Wraps for a length along the bar (SizeToolBar): horizontally the narrowest width that keeps
  // the rows `length` gives; vertically a width whose rows are `length` high.
  void SizeTo(int length, bool vertical) {
    if (!vertical) {
      const int target = Wrap(length);
      int width = length;
      if (Wrap(0) != target) {
        int narrow = 0, wide = length;
        while (narrow < wide) {
          const int middle = narrow + (wide - narrow) / 2;
          if (Wrap(middle) > target) narrow = middle + 1;
          else wide = middle;
        }
        width = wide;
      }
      Wrap(width);
      return;
    }
    Wrap(0);
    CSize narrow = Size();
    Wrap(kWide);
    CSize wide = Size();
    while (narrow.cx < wide.cx) {
      Wrap((narrow.cx + wide.cx) / 2);
      const CSize middle = Size();
      if (middle.cy > length) {
        if (middle == narrow) {
          Wrap(wide.cx);  // no narrower rows come nearer: the wide ones
          return;
        }
        narrow = middle;
      } else if (middle.cy < length) {
        if (middle == wide) {
          Wrap(narrow.cx);
          return;
        }
        wide = middle;
      } else {
        return;
      }
    }
  }

  std::vector<TBBUTTON> buttons;

private:
  CQVToolBar& m_bar;
  DWORD m_mode;
  std::vector<CRect> m_rects;
  int m_buttonHeight {};
};

CSize CQVToolBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  return CalcLayout((stretch ? LM_STRETCH : 0) | (horz ? LM_HORZ : 0), -1);
}

CSize CQVToolBar::CalcDynamicLayout(int length, DWORD mode) {
  if (length == -1 && !(mode & (LM_MRUWIDTH | LM_COMMIT)) && (mode & (LM_HORZDOCK | LM_VERTDOCK)))
    return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZDOCK) != 0);
  return CalcLayout(mode, length);
}

CSize CQVToolBar::CalcLayout(DWORD mode, int length) {
  const BOOL horz = (mode & LM_HORZ) != 0;
  CRect inside(0, 0, 0, 0);
  CalcInsideRect(inside, horz);
  CQVToolBarLayout layout(*this, mode);
  if (!(m_dwStyle & CBRS_SIZE_FIXED)) {
    int width = 0;
    bool vertical = false;
    if (!(m_dwStyle & CBRS_SIZE_DYNAMIC)) width = horz ? kWide : 0;
    else if (mode & LM_MRUWIDTH) width = m_nMRUWidth;
    else if (mode & LM_HORZDOCK) width = kWide;
    else if (mode & LM_VERTDOCK) width = 0;
    else if (length == -1) width = IsFloating() ? m_nMRUWidth : (horz ? kWide : 0);
    else {
      vertical = (mode & LM_LENGTHY) != 0;
      width = length - (vertical ? inside.Height() : inside.Width());
    }
    layout.SizeTo(width, vertical);
  }
  CSize size = layout.Size();

  if (mode & LM_COMMIT) {
    m_bDelayedButtonLayout = FALSE;
    const bool hideControls = (m_dwStyle & CBRS_ORIENT_VERT) && m_bHideChildWndOnVertical;
    for (TBBUTTON& b : layout.buttons) {
      CWnd* child = IsPlaceholder(b) ? GetDlgItem(b.idCommand) : nullptr;
      if (!child) continue;
      CRect own;
      child->GetWindowRect(&own);
      b.iBitmap = own.Width();
      if (hideControls) b.fsState |= TBSTATE_HIDDEN;
      else b.fsState &= static_cast<BYTE>(~TBSTATE_HIDDEN);
    }
    if (IsFloating() && (m_dwStyle & CBRS_SIZE_DYNAMIC)) m_nMRUWidth = size.cx;
    for (size_t i = 0; i < layout.buttons.size(); ++i) SetButton(static_cast<int>(i), layout.buttons[i]);
    for (CWnd* child = GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
      const int index = CommandToIndex(static_cast<UINT>(child->GetDlgCtrlID()));
      if (index < 0) {
        child->ShowWindow(SW_HIDE);
        continue;
      }
      CRect button, own;
      GetToolBarCtrl().GetItemRect(index, &button);
      child->GetWindowRect(&own);
      const int top = button.top + std::max(0, (button.Height() - own.Height()) / 2);
      child->SetWindowPos(nullptr, button.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      child->ShowWindow(hideControls ? SW_HIDE : SW_SHOWNOACTIVATE);
    }
  }

  size.cx -= inside.Width();
  size.cy -= inside.Height();
  const CSize least = CControlBar::CalcFixedLayout((mode & LM_STRETCH) != 0, horz);
  return CSize(std::max(size.cx, least.cx), std::max(size.cy, least.cy));
}
