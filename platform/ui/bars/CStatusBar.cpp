#include "platform/ui/bars/CStatusBar.h"

#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/ui/afx/CFrameWnd.h"

#include <string>

IMPLEMENT_DYNAMIC(CStatusBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
  ON_WM_SIZE()
  ON_MESSAGE(SB_SETTEXTW, &CStatusBar::OnSetPartText)
END_MESSAGE_MAP()

namespace {

constexpr int kPaneBorders = 4;  // a pane's width is its inside; its borders come on top

// The state the update handlers give a pane.
class CStatusCmdUI : public CCmdUI {
public:
  void Enable(BOOL on) override {
    m_bEnableChanged = TRUE;
    auto* bar = static_cast<CStatusBar*>(m_pOther);
    UINT style = bar->GetPaneStyle(static_cast<int>(m_nIndex));
    bar->SetPaneStyle(static_cast<int>(m_nIndex), on ? style & ~SBPS_DISABLED : style | SBPS_DISABLED);
  }
  void SetCheck(int check) override {
    auto* bar = static_cast<CStatusBar*>(m_pOther);
    UINT style = bar->GetPaneStyle(static_cast<int>(m_nIndex));
    bar->SetPaneStyle(static_cast<int>(m_nIndex), check ? style | SBPS_POPOUT : style & ~SBPS_POPOUT);
  }
  void SetText(LPCWSTR text) override { static_cast<CStatusBar*>(m_pOther)->SetPaneText(static_cast<int>(m_nIndex), text); }
};

}  // namespace

CString CStatusBarCtrl::GetText(int part, int* type) const {
  int length = GetTextLength(part, type);
  std::u16string buffer(static_cast<size_t>(length) + 1, u'\0');
  SendMessage(SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(buffer.data()));
  return CString(buffer.c_str());
}

int CStatusBarCtrl::GetTextLength(int part, int* type) const {
  LRESULT r = SendMessage(SB_GETTEXTLENGTHW, static_cast<WPARAM>(part));
  if (type) *type = HIWORD(r);
  return LOWORD(r);
}

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id) { return CreateEx(parent, 0, style, id); }

BOOL CStatusBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, UINT id) {
  m_dwStyle = style & CBRS_ALL;
  DWORD windowStyle = (style & ~CBRS_ALL) | ctrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
  if (!CWnd::CreateEx(0, STATUSCLASSNAMEW, nullptr, windowStyle | WS_CHILD, CRect(0, 0, 0, 0), parent, id)) return FALSE;
  SetFont(CWnd::GetFont());
  return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count) {
  if (count < 0 || (count > 0 && !ids) || count > 256) return FALSE;
  m_panes.assign(static_cast<size_t>(count), Pane {});
  bool stretched = false;
  for (int i = 0; i < count; ++i) {
    Pane& p = m_panes[static_cast<size_t>(i)];
    p.id = ids[i];
    if (p.id == ID_SEPARATOR && !stretched) {
      p.style = SBPS_NOBORDERS | SBPS_STRETCH;
      stretched = true;
    }
  }
  UpdateAllPanes(TRUE, TRUE);
  return TRUE;
}

UINT CStatusBar::GetItemID(int index) const {
  return index >= 0 && index < GetCount() ? m_panes[static_cast<size_t>(index)].id : 0;
}

int CStatusBar::CommandToIndex(UINT id) const {
  for (int i = 0; i < GetCount(); ++i)
    if (m_panes[static_cast<size_t>(i)].id == id) return i;
  return -1;
}

void CStatusBar::GetItemRect(int index, LPRECT rect) const {
  if (!rect) return;
  *rect = RECT {};
  if (m_hWnd) GetStatusBarCtrl().GetRect(index, rect);
}

void CStatusBar::SetPaneInfo(int index, UINT id, UINT style, int width) {
  if (index < 0 || index >= GetCount()) return;
  Pane& p = m_panes[static_cast<size_t>(index)];
  bool sizes = p.width != width || (p.style & SBPS_STRETCH) != (style & SBPS_STRETCH);
  p.id = id;
  p.style = style;
  p.width = width;
  UpdateAllPanes(sizes, TRUE);
}

void CStatusBar::GetPaneInfo(int index, UINT& id, UINT& style, int& width) const {
  if (index < 0 || index >= GetCount()) return;
  const Pane& p = m_panes[static_cast<size_t>(index)];
  id = p.id;
  style = p.style;
  width = p.width;
}

UINT CStatusBar::GetPaneStyle(int index) const {
  return index >= 0 && index < GetCount() ? m_panes[static_cast<size_t>(index)].style : 0;
}

void CStatusBar::SetPaneStyle(int index, UINT style) {
  if (index < 0 || index >= GetCount() || m_panes[static_cast<size_t>(index)].style == style) return;
  bool sizes = (m_panes[static_cast<size_t>(index)].style ^ style) & SBPS_STRETCH;
  m_panes[static_cast<size_t>(index)].style = style;
  UpdateAllPanes(sizes, TRUE);
}

BOOL CStatusBar::SetPaneText(int index, LPCWSTR text, BOOL update) {
  if (index < 0 || index >= GetCount()) return FALSE;
  Pane& p = m_panes[static_cast<size_t>(index)];
  CString now(text);
  if (p.text == now) return TRUE;
  p.text = now;
  if (update) UpdateAllPanes(FALSE, TRUE);
  return TRUE;
}

CString CStatusBar::GetPaneText(int index) const {
  return index >= 0 && index < GetCount() ? m_panes[static_cast<size_t>(index)].text : CString();
}

void CStatusBar::UpdateAllPanes(BOOL sizes, BOOL texts) {
  if (!m_hWnd || m_panes.empty()) return;
  CStatusBarCtrl& ctrl = GetStatusBarCtrl();
  if (sizes) {
    CRect client;
    GetClientRect(&client);
    int fixed = 0, stretching = 0;
    for (const Pane& p : m_panes) {
      if (p.style & SBPS_STRETCH) ++stretching;
      else fixed += p.width + kPaneBorders;
    }
    int spare = std::max(0, static_cast<int>(client.Width()) - fixed - 2 * GetCount());
    if (GetStyle() & SBARS_SIZEGRIP) spare = std::max(0, spare - GetSystemMetrics(SM_CXVSCROLL));
    std::vector<int> rights;
    int right = 0;
    for (const Pane& p : m_panes) {
      right += (p.style & SBPS_STRETCH) ? spare / std::max(stretching, 1) : p.width + kPaneBorders;
      rights.push_back(right);
      right += 2;
    }
    ctrl.SetParts(GetCount(), rights.data());
  }
  if (texts) {
    m_sending = true;
    for (int i = 0; i < GetCount(); ++i) {
      const Pane& p = m_panes[static_cast<size_t>(i)];
      int type = static_cast<int>(p.style & (SBPS_NOBORDERS | SBPS_POPOUT | SBPS_OWNERDRAW));
      // A disabled pane shows no text.
      LPCWSTR text = (p.style & SBPS_DISABLED) ? u"" : p.text.GetString();
      if (p.style & SBPS_OWNERDRAW) ctrl.SendMessage(SB_SETTEXTW, static_cast<WPARAM>(i | type), static_cast<LPARAM>(p.id));
      else ctrl.SetText(text, i, type);
    }
    m_sending = false;
  }
}

LRESULT CStatusBar::OnSetPartText(WPARAM wParam, LPARAM lParam) {
  int index = static_cast<int>(wParam & 0xFF);
  if (!m_sending && index < GetCount()) {
    Pane& p = m_panes[static_cast<size_t>(index)];
    UINT type = static_cast<UINT>(wParam) & (SBPS_NOBORDERS | SBPS_POPOUT | SBPS_OWNERDRAW);
    p.style = (p.style & ~(SBPS_NOBORDERS | SBPS_POPOUT | SBPS_OWNERDRAW)) | type;
    if (!(type & SBPS_OWNERDRAW)) p.text = reinterpret_cast<LPCWSTR>(lParam);
  }
  return Default();
}

CSize CStatusBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
  CSize size = CControlBar::CalcFixedLayout(stretch, horz);
  CDC* dc = GetDC();
  TEXTMETRICW tm {};
  CFont* font = GetFont();
  CFont* old = font ? dc->SelectObject(font) : nullptr;
  dc->GetTextMetrics(&tm);
  if (old) dc->SelectObject(old);
  ReleaseDC(dc);
  size.cy = tm.tmHeight + 8;
  return size;
}

void CStatusBar::OnSize(UINT type, int cx, int cy) {
  CControlBar::OnSize(type, cx, cy);
  UpdateAllPanes(TRUE, FALSE);
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
  CStatusCmdUI state;
  state.m_pOther = this;
  state.m_nIndexMax = static_cast<UINT>(GetCount());
  for (int i = 0; i < GetCount(); ++i) {
    state.m_nID = m_panes[static_cast<size_t>(i)].id;
    if (state.m_nID == ID_SEPARATOR) continue;
    state.m_nIndex = static_cast<UINT>(i);
    state.DoUpdate(target, disableIfNoHandler);
  }
}

BOOL CStatusBar::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message != WM_DRAWITEM) return CControlBar::OnChildNotify(message, wParam, lParam, result);
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (result) *result = TRUE;
  return TRUE;
}
