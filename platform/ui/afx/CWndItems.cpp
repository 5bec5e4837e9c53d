// CWnd's dialog-item, data-exchange, scroll-bar and tool-tip members.

#include "platform/ui/afx/CDataExchange.h"
#include "platform/ui/afx/CWnd.h"
#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/internal/ControlWidget.h"
#include "platform/ui/internal/WindowHost.h"

#include <QHelpEvent>
#include <QToolTip>

#include <map>

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (CUserException* e) {
    e->Delete();
    return FALSE;
  }
  return TRUE;
}

void CWnd::SetDlgItemText(int id, LPCWSTR text) { ::SetDlgItemTextW(m_hWnd, id, text); }
int CWnd::GetDlgItemText(int id, LPWSTR text, int maxCount) const {
  return static_cast<int>(::GetDlgItemTextW(m_hWnd, id, text, maxCount));
}
int CWnd::GetDlgItemText(int id, CString& text) const {
  HWND item = ::GetDlgItem(m_hWnd, id);
  text.Empty();
  if (item) FromHandle(item)->GetWindowText(text);
  return text.GetLength();
}
void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned) { ::SetDlgItemInt(m_hWnd, id, value, isSigned); }
UINT CWnd::GetDlgItemInt(int id, BOOL* ok, BOOL isSigned) const { return ::GetDlgItemInt(m_hWnd, id, ok, isSigned); }
void CWnd::CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
UINT CWnd::IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
void CWnd::CheckRadioButton(int firstId, int lastId, int checkId) { ::CheckRadioButton(m_hWnd, firstId, lastId, checkId); }
int CWnd::GetCheckedRadioButton(int firstId, int lastId) const {
  for (int id = firstId; id <= lastId; ++id)
    if (::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED) return id;
  return 0;
}
LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendDlgItemMessageW(m_hWnd, id, message, wParam, lParam);
}
CWnd* CWnd::GetNextDlgTabItem(CWnd* control, BOOL previous) const {
  return FromHandle(::GetNextDlgTabItem(m_hWnd, control ? control->m_hWnd : nullptr, previous));
}
CWnd* CWnd::GetNextDlgGroupItem(CWnd* control, BOOL previous) const {
  return FromHandle(::GetNextDlgGroupItem(m_hWnd, control ? control->m_hWnd : nullptr, previous));
}

BOOL CWnd::SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw) {
  if (!info) return FALSE;
  ::SetScrollInfo(m_hWnd, bar, info, redraw);
  return TRUE;
}
BOOL CWnd::GetScrollInfo(int bar, SCROLLINFO* info, UINT mask) const {
  if (!info) return FALSE;
  if (mask) info->fMask = mask;
  return ::GetScrollInfo(m_hWnd, bar, info);
}
int CWnd::SetScrollPos(int bar, int pos, BOOL redraw) { return ::SetScrollPos(m_hWnd, bar, pos, redraw); }
int CWnd::GetScrollPos(int bar) const { return ::GetScrollPos(m_hWnd, bar); }
void CWnd::SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw) {
  ::SetScrollRange(m_hWnd, bar, minPos, maxPos, redraw);
}
void CWnd::GetScrollRange(int bar, LPINT minPos, LPINT maxPos) const { ::GetScrollRange(m_hWnd, bar, minPos, maxPos); }
int CWnd::GetScrollLimit(int bar) const {
  SCROLLINFO info {sizeof info, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
  if (!::GetScrollInfo(m_hWnd, bar, &info)) return 0;
  return std::max(info.nMin, info.nMax - std::max(static_cast<int>(info.nPage), 1) + 1);
}
void CWnd::ShowScrollBar(UINT bar, BOOL show) { ::ShowScrollBar(m_hWnd, static_cast<int>(bar), show); }
BOOL CWnd::EnableScrollBar(int bar, UINT arrows) { return ::EnableScrollBar(m_hWnd, static_cast<UINT>(bar), arrows); }

void CWnd::EnableScrollBarCtrl(int bar, BOOL enable) {
  ::EnableScrollBar(m_hWnd, static_cast<UINT>(bar), enable ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
}

// ---- Tool tips ---------------------------------------------------------------------------------

namespace {

// Asks the window that enabled tool tips for the text of the child under the mouse, and shows it.
class ToolTipAsker : public QObject {
public:
  // The requests come from a hidden window of ID 0 that stands for the tool tip, as handlers
  // expect of a tool-tip control.
  ToolTipAsker(HWND owner, QWidget* host) : QObject(host), m_owner(owner) {
    m_tip = ::CreateWindowExW(WS_EX_TOOLWINDOW, AFX_WND, u"", WS_POPUP, 0, 0, 0, 0, owner, nullptr, nullptr, nullptr);
  }
  ~ToolTipAsker() override {
    if (::IsWindow(m_tip)) ::DestroyWindow(m_tip);
  }

protected:
  bool eventFilter(QObject* object, QEvent* e) override {
    if (e->type() != QEvent::ToolTip) return false;
    auto* widget = qobject_cast<QWidget*>(object);
    auto* help = static_cast<QHelpEvent*>(e);
    HWND child = widget ? qvui::WindowOfWidget(widget) : nullptr;
    if (!child || child == m_owner || !::IsChild(m_owner, child) || !::GetDlgCtrlID(child)) {
      QToolTip::hideText();
      return true;
    }
    NMTTDISPINFOW info {};
    info.hdr.hwndFrom = m_tip;
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(child);
    info.hdr.code = TTN_NEEDTEXTW;
    info.uFlags = TTF_IDISHWND;
    ::SendMessageW(m_owner, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    QString text;
    if (info.lpszText && !IS_INTRESOURCE(info.lpszText)) text = qvui::ToQt(info.lpszText);
    else text = QString::fromUtf16(info.szText);
    if (text.isEmpty()) QToolTip::hideText();
    else QToolTip::showText(help->globalPos(), text, widget);
    return true;
  }

private:
  HWND m_owner {};
  HWND m_tip {};
};

std::map<HWND, QPointer<ToolTipAsker>>& Askers() {
  static std::map<HWND, QPointer<ToolTipAsker>> askers;
  return askers;
}

void Watch(QWidget* widget, ToolTipAsker* asker, bool on) {
  QList<QWidget*> all = widget->findChildren<QWidget*>();
  all.prepend(widget);
  for (QWidget* w : all) {
    if (on) w->installEventFilter(asker);
    else w->removeEventFilter(asker);
  }
}

}  // namespace

BOOL CWnd::EnableToolTips(BOOL enable) {
  qvui::WindowRecord* rec = qvui::Find(m_hWnd);
  if (!rec || !rec->host) return FALSE;
  QPointer<ToolTipAsker>& asker = Askers()[m_hWnd];
  if (asker) {
    Watch(rec->host, asker, false);
    delete asker.data();
  }
  if (enable) {
    asker = new ToolTipAsker(m_hWnd, rec->host);
    Watch(rec->host, asker, true);
  } else {
    Askers().erase(m_hWnd);
  }
  return TRUE;
}
