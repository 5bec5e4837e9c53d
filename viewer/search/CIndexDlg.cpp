#include "viewer/search/CIndexDlg.h"

#include "platform/ui/afx/MessageMap.h"

#include <algorithm>
#include <new>

IMPLEMENT_DYNAMIC(CIndexDlg, CQVDialog)

BEGIN_MESSAGE_MAP(CIndexDlg, CQVDialog)
  ON_WM_VSCROLL()
  ON_WM_HSCROLL()
  ON_WM_MOUSEWHEEL()
  ON_WM_SIZE()
  ON_WM_MOUSEACTIVATE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CIndexDlg::CIndexDlg() : CQVDialog(static_cast<UINT>(kTemplateId), nullptr) {
  // A part of its parent: no script, texts, tips of its own, and it stays when the focus leaves it.
  SetLayout(FALSE);
  SetTranslate(FALSE);
  SetToolTips(FALSE);
  SetCloseOnDeactivate(FALSE);
}

CIndexDlg::~CIndexDlg() {
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CIndexDlg::Create(CWnd* parent) { return CDialog::Create(static_cast<UINT>(kTemplateId), parent); }

BOOL CIndexDlg::OnInitDialog() {
  CQVDialog::OnInitDialog();
  ShowWindow(SW_HIDE);
  return TRUE;
}

void CIndexDlg::SetGeometry(const CRect& label, const CRect& edit, int horizontalGap, int verticalGap) {
  m_rcLabel = label;
  m_rcEdit = edit;
  m_nHorizontalGap = horizontalGap;
  m_nVerticalGap = verticalGap;
}

CString CIndexDlg::LabelText(LPCWSTR fieldName) {
  CString text(fieldName ? fieldName : u"");
  text += u":";
  return text.Left(kLabelLength);
}

void CIndexDlg::DestroyRows() {
  for (auto& label : m_labels)
    if (label->GetSafeHwnd()) label->DestroyWindow();
  for (auto& edit : m_edits)
    if (edit->GetSafeHwnd()) edit->DestroyWindow();
  m_labels.clear();
  m_edits.clear();
}

BOOL CIndexDlg::BuildRows(const CSearchPairs& pairs) {
  DestroyRows();
  ScrollTo(SB_HORZ, 0);
  ScrollTo(SB_VERT, 0);
  if (!GetSafeHwnd()) return pairs.empty();
  CFont* font = GetParent() ? GetParent()->GetFont() : GetFont();
  try {
    for (size_t i = 0; i < pairs.size(); ++i) {
      const UINT labelId = static_cast<UINT>(kFirstRowId + 2 * i);
      auto label = std::make_unique<CStatic>();
      auto edit = std::make_unique<CEdit>();
      if (!label->Create(LabelText(pairs[i].first), WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE, m_rcLabel, this, labelId) ||
          !edit->CreateEx(WS_EX_CLIENTEDGE, WC_EDITW, pairs[i].second, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                          m_rcEdit, this, labelId + 1)) {
        DestroyRows();
        return FALSE;
      }
      if (font) {
        label->SetFont(font, FALSE);
        edit->SetFont(font, FALSE);
      }
      m_labels.push_back(std::move(label));
      m_edits.push_back(std::move(edit));
      if (i == 0) {
        MoveDlgItem(labelId, 0, 0, 1, FALSE);
        AlignDlgItems(labelId, labelId + 1, 3, 5, m_nHorizontalGap, 0, FALSE);
      } else {
        AlignDlgItems(labelId - 2, labelId, 1, 3, 0, m_nVerticalGap, FALSE);
        AlignDlgItems(labelId - 1, labelId + 1, 1, 3, 0, m_nVerticalGap, FALSE);
      }
    }
  } catch (const std::bad_alloc&) {
    DestroyRows();
    return FALSE;
  }
  Invalidate();
  return TRUE;
}

BOOL CIndexDlg::GetValues(CSearchPairs& pairs) const {
  if (pairs.size() != m_edits.size()) return FALSE;
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (!m_edits[i]->GetSafeHwnd()) return FALSE;
    m_edits[i]->GetWindowText(pairs[i].second);
  }
  return TRUE;
}

void CIndexDlg::SetScrollSize(int width, int height) {
  m_horizontal.total = std::max(0, width);
  m_vertical.total = std::max(0, height);
  CRect client;
  GetClientRect(&client);
  OnSize(SIZE_RESTORED, client.Width(), client.Height());
}

// Per axis: the visible extent is the client's, as if the other bar were not there when the window
// is large enough. A position kept through a resize grows and shrinks with the extent.
void CIndexDlg::OnSize(UINT type, int cx, int cy) {
  CQVDialog::OnSize(type, cx, cy);
  if (!GetSafeHwnd() || type == SIZE_MINIMIZED) return;
  CRect window;
  GetWindowRect(&window);
  const bool roomy = window.Width() >= m_horizontal.total && window.Height() >= m_vertical.total;
  UpdateBar(SB_HORZ, roomy ? window.Width() : cx);
  UpdateBar(SB_VERT, roomy ? window.Height() : cy);
}

void CIndexDlg::UpdateBar(int bar, int extent) {
  Axis& axis = AxisOf(bar);
  int position = axis.position;
  if (extent < axis.total) {
    if (position && axis.page > 0) position = static_cast<int>(static_cast<long long>(position) * extent / axis.page);
    position = std::clamp(position, 0, std::max(0, axis.total - extent - 1));
    axis.page = extent;
  } else {
    position = 0;
    axis.page = 0;
  }
  // Where everything shows, the page is the whole range and the bar goes away.
  SCROLLINFO info {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, axis.total - 1),
                   static_cast<UINT>(axis.page > 0 ? axis.page : axis.total), position, 0};
  SetScrollInfo(bar, &info, TRUE);
  ScrollTo(bar, position);
}

void CIndexDlg::ScrollTo(int bar, int position) {
  Axis& axis = AxisOf(bar);
  position = std::clamp(position, 0, std::max(0, axis.total - axis.page));
  const int delta = axis.position - position;
  axis.position = position;
  if (!GetSafeHwnd()) return;
  if (delta) bar == SB_VERT ? ScrollWindow(0, delta) : ScrollWindow(delta, 0);
  SetScrollPos(bar, position, TRUE);
}

void CIndexDlg::Scroll(int bar, UINT code, UINT thumb) {
  const Axis& axis = AxisOf(bar);
  int position = axis.position;
  switch (code) {
    case SB_LINEUP: position -= kLineStep; break;
    case SB_LINEDOWN: position += kLineStep; break;
    case SB_PAGEUP: position -= axis.page; break;
    case SB_PAGEDOWN: position += axis.page; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = axis.total; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = static_cast<int>(thumb); break;
    default: return;
  }
  ScrollTo(bar, position);
}

void CIndexDlg::OnVScroll(UINT code, UINT position, CScrollBar*) { Scroll(SB_VERT, code, position); }

void CIndexDlg::OnHScroll(UINT code, UINT position, CScrollBar*) { Scroll(SB_HORZ, code, position); }

BOOL CIndexDlg::OnMouseWheel(UINT, short delta, CPoint) {
  if (m_vertical.page <= 0) return FALSE;
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  if (lines == WHEEL_PAGESCROLL) {
    Scroll(SB_VERT, delta > 0 ? SB_PAGEUP : SB_PAGEDOWN, 0);
    return TRUE;
  }
  const int notches = delta / WHEEL_DELTA;
  const int steps = std::max(1, std::abs(static_cast<int>(lines) * notches) / 3);
  for (int i = 0; i < steps; ++i) Scroll(SB_VERT, delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
  return TRUE;
}

// Up and Down in any row scroll the rows a line.
BOOL CIndexDlg::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_UP || msg->wParam == VK_DOWN) &&
      (msg->hwnd == GetSafeHwnd() || ::IsChild(GetSafeHwnd(), msg->hwnd))) {
    Scroll(SB_VERT, msg->wParam == VK_UP ? SB_LINEUP : SB_LINEDOWN, 0);
    return TRUE;
  }
  return CQVDialog::PreTranslateMessage(msg);
}

int CIndexDlg::OnMouseActivate(CWnd* desktop, UINT hitTest, UINT message) {
  const int result = CQVDialog::OnMouseActivate(desktop, hitTest, message);
  SetFocus();
  return result;
}

void CIndexDlg::OnDestroy() {
  DestroyRows();
  CQVDialog::OnDestroy();
}
