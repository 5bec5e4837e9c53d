#include "platform/ui/afx/CWnd.h"

#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CMenu.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/bars/CControlBar.h"
#include "platform/ui/internal/WindowTable.h"
#include "platform/ui/win/winctrl.h"

#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
  ON_WM_NCDESTROY()
END_MESSAGE_MAP()

namespace {

MSG g_current {};              // the message being handled (UI thread)
CWnd* g_creating = nullptr;    // the CWnd whose CreateEx is making a window

std::map<HWND, std::unique_ptr<CWnd>>& TempWindows() {
  static std::map<HWND, std::unique_ptr<CWnd>> temps;
  return temps;
}

// The tables told of deleted CWnd objects. Kept for the whole run: wrappers of windows are still
// deleted while static objects go away at the program's end.
std::vector<std::pair<CWnd::DeleteWatcher, void*>>& DeleteWatchers() {
  static auto* watchers = new std::vector<std::pair<CWnd::DeleteWatcher, void*>>;
  return *watchers;
}

// A CWnd that only names a place in the stacking order. It is never destroyed: at the program's
// end the window table it would ask may be gone already.
const CWnd& ZOrderMark(HWND mark) {
  auto* wnd = new CWnd;
  wnd->m_hWnd = mark;
  return *wnd;
}

}  // namespace

const CWnd& CWnd::wndTop = ZOrderMark(HWND_TOP);
const CWnd& CWnd::wndBottom = ZOrderMark(HWND_BOTTOM);
const CWnd& CWnd::wndTopMost = ZOrderMark(HWND_TOPMOST);
const CWnd& CWnd::wndNoTopMost = ZOrderMark(HWND_NOTOPMOST);

namespace qvui {

void CreatingObject::AttachTo(HWND hwnd) {
  CWnd* wnd = g_creating;
  if (!wnd) return;
  g_creating = nullptr;
  WindowRecord* rec = Find(hwnd);
  wnd->m_hWnd = hwnd;
  rec->object = wnd;
  // The class's own procedure (a control's) stays the default processing of the object.
  if (rec->proc != AfxWndProc && rec->proc != DefWindowProcW) wnd->m_pfnSuper = rec->proc;
  rec->proc = AfxWndProc;
}

CWnd* SetCreatingObject(CWnd* wnd) {
  CWnd* before = g_creating;
  g_creating = wnd;
  return before;
}

void WindowGone(HWND hwnd) {
  if (WindowRecord* rec = Find(hwnd); rec && rec->object) {
    rec->object->m_hWnd = nullptr;
    rec->object = nullptr;
  }
  auto& temps = TempWindows();
  auto it = temps.find(hwnd);
  if (it != temps.end()) {
    it->second->m_hWnd = nullptr;
    temps.erase(it);
  }
}

}  // namespace qvui

using qvui::Find;
using qvui::WindowRecord;

const MSG* AfxGetCurrentMessage() { return &g_current; }
CWnd* AfxWndFromHandle(HWND hwnd) { return CWnd::FromHandle(hwnd); }

LRESULT AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
  if (!wnd) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  MSG saved = g_current;
  g_current = MSG {hwnd, message, wParam, lParam, 0, {}};
  LRESULT result = wnd->WindowProc(message, wParam, lParam);
  g_current = saved;
  return result;
}

BOOL AfxRegisterClass(WNDCLASSW* wndClass) {
  if (!wndClass) return FALSE;
  WNDCLASSW existing {};
  if (::GetClassInfoW(wndClass->hInstance, wndClass->lpszClassName, &existing)) return TRUE;
  return ::RegisterClassW(wndClass) != 0;
}

LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  static std::map<CString, CString> names;
  CString name;
  name.Format(u"Afx:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor), static_cast<void*>(background),
              static_cast<void*>(icon));
  auto& kept = names[name];
  if (kept.IsEmpty()) {
    kept = name;
    qvui::RegisterBuiltinClasses();
    qvui::RegisterBuiltinClass(
        WNDCLASSW {classStyle, ::DefWindowProcW, 0, 0, nullptr, icon, cursor, background, nullptr, kept.GetString()});
  }
  return kept.GetString();
}

// ---- Life --------------------------------------------------------------------------------------

CWnd::~CWnd() {
  if (m_hWnd && ::IsWindow(m_hWnd) && FromHandlePermanent(m_hWnd) == this) ::DestroyWindow(m_hWnd);
  Detach();
  for (const auto& [watcher, context] : DeleteWatchers()) watcher(context, this);
}

void CWnd::WatchDeletes(DeleteWatcher watcher, void* context) {
  if (watcher) DeleteWatchers().emplace_back(watcher, context);
}

void CWnd::UnwatchDeletes(DeleteWatcher watcher, void* context) {
  auto& watchers = DeleteWatchers();
  std::erase(watchers, std::pair(watcher, context));
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) cs.lpszClass = AFX_WND;
  return TRUE;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menuOrId, LPVOID param) {
  CREATESTRUCT cs {param, AfxGetInstanceHandle(), menuOrId, parent, height, width, y, x, static_cast<LONG>(style), windowName,
                   className, exStyle};
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  CWnd* saved = g_creating;
  g_creating = this;
  HWND hwnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  g_creating = saved;
  return hwnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, LPVOID param) {
  return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  void* context) {
  return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, context);
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  return rec ? rec->object : nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  if (!hwnd || !::IsWindow(hwnd)) return nullptr;
  if (CWnd* wnd = FromHandlePermanent(hwnd)) return wnd;
  auto& temp = TempWindows()[hwnd];
  if (!temp) {
    temp = std::make_unique<CWnd>();
    temp->m_hWnd = hwnd;
  }
  return temp.get();
}

BOOL CWnd::Attach(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  if (!rec || rec->object || m_hWnd) return FALSE;
  rec->object = this;
  m_hWnd = hwnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hwnd = m_hWnd;
  if (WindowRecord* rec = Find(hwnd); rec && rec->object == this) rec->object = nullptr;
  m_hWnd = nullptr;
  return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
  if (!Attach(hwnd)) return FALSE;
  WindowRecord* rec = Find(hwnd);
  m_pfnSuper = rec->proc;
  rec->proc = AfxWndProc;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  HWND item = parent ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
  return item && SubclassWindow(item);
}

HWND CWnd::UnsubclassWindow() {
  if (WindowRecord* rec = Find(m_hWnd); rec && m_pfnSuper) rec->proc = m_pfnSuper;
  m_pfnSuper = nullptr;
  return Detach();
}

// ---- Messages ------------------------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep, BOOL onlyPermanent) {
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child;) {
    HWND next = ::GetWindow(child, GW_HWNDNEXT);
    if (CWnd* wnd = onlyPermanent ? FromHandlePermanent(child) : FromHandle(child)) {
      wnd->SendMessage(message, wParam, lParam);
      if (deep && ::IsWindow(child)) wnd->SendMessageToDescendants(message, wParam, lParam, deep, onlyPermanent);
    }
    child = next;
  }
}

BOOL CWnd::WalkPreTranslateTree(HWND hwndStop, MSG* msg) {
  for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
    if (CWnd* wnd = FromHandlePermanent(hwnd))
      if (wnd->PreTranslateMessage(msg)) return TRUE;
    if (hwnd == hwndStop) break;
  }
  return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  LRESULT r = 0;
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    if (result) *result = 1;
    return TRUE;
  }
  if (message == WM_NOTIFY) {
    if (!OnNotify(wParam, lParam, &r)) return FALSE;
    if (result) *result = r;
    return TRUE;
  }
  if (const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message)) {
    r = entry->pfn(this, 0, wParam, lParam, nullptr);
    if (result) *result = r;
    return TRUE;
  }
  // Messages a control sends its parent about itself go back to the control when the parent
  // does not handle them.
  bool fromControl = (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
                     ((message == WM_HSCROLL || message == WM_VSCROLL) && lParam);
  if (fromControl && ReflectLastMsg(reinterpret_cast<HWND>(lParam), result)) return TRUE;
  if (message == WM_DRAWITEM && lParam)
    return ReflectLastMsg(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem, result);
  if (message == WM_MEASUREITEM && lParam)
    return ReflectLastMsg(::GetDlgItem(m_hWnd, static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID)),
                          result);
  return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(g_current.message, g_current.wParam, g_current.lParam); }

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT id = LOWORD(wParam);
  int code = HIWORD(wParam);
  HWND control = reinterpret_cast<HWND>(lParam);
  bool fromBar = false;
  if (control) {
    if (ReflectLastMsg(control)) return TRUE;
    CWnd* sender = FromHandlePermanent(control);
    fromBar = sender && sender->IsKindOf(RUNTIME_CLASS(CControlBar)) && code == 0;
  }
  if (!control || fromBar) {
    // A command from a menu, an accelerator or a tool bar runs only while its update handler
    // leaves it enabled: the state shown may be older than the click or key.
    if (id == 0) return FALSE;
    CTestCmdUI state;
    state.m_nID = id;
    OnCmdMsg(id, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr);
    if (!state.m_bEnabled) return TRUE;
    code = CN_COMMAND;
  }
  return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header) return FALSE;
  HWND control = header->hwndFrom;
  UINT id = control ? static_cast<UINT>(::GetDlgCtrlID(control)) : static_cast<UINT>(header->idFrom);
  if (control && ReflectLastMsg(control, result)) return TRUE;
  AFX_NOTIFY notify {result, header};
  return OnCmdMsg(id, static_cast<int>(MAKELONG(LOWORD(header->code), WM_NOTIFY)), &notify, nullptr);
}

BOOL CWnd::ReflectLastMsg(HWND child, LRESULT* result) {
  CWnd* wnd = FromHandlePermanent(child);
  return wnd ? wnd->SendChildNotifyLastMsg(result) : FALSE;
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* result) {
  return OnChildNotify(g_current.message, g_current.wParam, g_current.lParam, result);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  return ReflectChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (message) {
  case WM_COMMAND:
    if (CCmdTarget::OnCmdMsg(0, static_cast<int>(MAKELONG(HIWORD(wParam), WM_REFLECT_BASE + WM_COMMAND)), nullptr,
                             nullptr)) {
      if (result) *result = 1;
      return TRUE;
    }
    return FALSE;
  case WM_NOTIFY: {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header) return FALSE;
    AFX_NOTIFY notify {result, header};
    return CCmdTarget::OnCmdMsg(0, static_cast<int>(MAKELONG(LOWORD(header->code), WM_REFLECT_BASE + WM_NOTIFY)),
                                &notify, nullptr);
  }
  default:
    if ((message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_HSCROLL ||
        message == WM_VSCROLL || message == WM_DRAWITEM || message == WM_MEASUREITEM)
      return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, result);
    return FALSE;
  }
}

// ---- Relations and state -------------------------------------------------------------------------

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyle(HWND hwnd, DWORD remove, DWORD add, UINT flags) {
  DWORD style = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
  DWORD changed = (style & ~remove) | add;
  if (style == changed) return FALSE;
  ::SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(changed));
  if (flags)
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  return TRUE;
}

BOOL CWnd::ModifyStyleEx(HWND hwnd, DWORD remove, DWORD add, UINT flags) {
  DWORD style = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_EXSTYLE));
  DWORD changed = (style & ~remove) | add;
  if (style == changed) return FALSE;
  ::SetWindowLongW(hwnd, GWL_EXSTYLE, static_cast<LONG>(changed));
  if (flags)
    ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) { return ModifyStyle(m_hWnd, remove, add, flags); }
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) { return ModifyStyleEx(m_hWnd, remove, add, flags); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
int CWnd::SetDlgCtrlID(int id) { return static_cast<int>(::SetWindowLongPtrW(m_hWnd, GWLP_ID, id)); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

CWnd* CWnd::SetParent(CWnd* parent) {
  return FromHandle(::SetParent(m_hWnd, parent ? parent->m_hWnd : nullptr));
}

CWnd* CWnd::GetOwner() const { return m_hWndOwner ? FromHandle(m_hWndOwner) : GetParent(); }
void CWnd::SetOwner(CWnd* owner) { m_hWndOwner = owner ? owner->m_hWnd : nullptr; }
CWnd* CWnd::GetTopLevelParent() const { return FromHandle(::GetAncestor(m_hWnd, GA_ROOTOWNER)); }

CFrameWnd* CWnd::GetParentFrame() const {
  for (CWnd* wnd = GetParent(); wnd; wnd = wnd->GetParent())
    if (wnd->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return static_cast<CFrameWnd*>(wnd);
  return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const {
  CFrameWnd* frame = IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(const_cast<CWnd*>(this))
                                                        : GetParentFrame();
  while (frame)
    if (CFrameWnd* up = frame->GetParentFrame()) frame = up;
    else break;
  return frame;
}

CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }

CWnd* CWnd::GetDescendantWindow(int id, BOOL onlyPermanent) const {
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (::GetDlgCtrlID(child) == id) {
      CWnd* wnd = onlyPermanent ? FromHandlePermanent(child) : FromHandle(child);
      if (wnd) return wnd;
    }
    if (CWnd* below = FromHandle(child)->GetDescendantWindow(id, onlyPermanent)) return below;
  }
  return nullptr;
}

CWnd* CWnd::GetWindow(UINT relation) const { return FromHandle(::GetWindow(m_hWnd, relation)); }
CWnd* CWnd::GetNextWindow(UINT relation) const { return FromHandle(::GetWindow(m_hWnd, relation)); }
CWnd* CWnd::GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
BOOL CWnd::IsChild(const CWnd* wnd) const { return wnd && ::IsChild(m_hWnd, wnd->m_hWnd); }
CWnd* CWnd::GetDesktopWindow() {
  static CWnd desktop;
  desktop.m_hWnd = ::GetDesktopWindow();
  return &desktop;
}
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
CWnd* CWnd::FindWindow(LPCWSTR className, LPCWSTR windowName) {
  return FromHandle(::FindWindowW(className, windowName));
}
CWnd* CWnd::WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }

BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::IsZoomed() const { return ::IsZoomed(m_hWnd); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
void CWnd::SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
int CWnd::GetWindowText(LPWSTR text, int maxCount) const { return ::GetWindowTextW(m_hWnd, text, maxCount); }

void CWnd::GetWindowText(CString& text) const {
  int length = GetWindowTextLength();
  int n = ::GetWindowTextW(m_hWnd, text.GetBufferSetLength(length), length + 1);
  text.ReleaseBuffer(n);
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc) { return ::SetTimer(m_hWnd, id, elapse, proc); }
BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* menu) { return ::SetMenu(m_hWnd, menu ? menu->m_hMenu : nullptr); }
void CWnd::DrawMenuBar() { ::DrawMenuBar(m_hWnd); }

// ---- Geometry ------------------------------------------------------------------------------------

void CWnd::GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
void CWnd::ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
void CWnd::ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }

void CWnd::ClientToScreen(LPRECT rect) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

void CWnd::ScreenToClient(LPRECT rect) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

void CWnd::MapWindowPoints(CWnd* to, LPPOINT points, UINT count) const {
  ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, points, count);
}

void CWnd::MapWindowPoints(CWnd* to, LPRECT rect) const {
  ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, reinterpret_cast<LPPOINT>(rect), 2);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
  ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
  HWND after = insertAfter ? insertAfter->m_hWnd : nullptr;
  return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
}

void CWnd::CalcWindowRect(LPRECT clientRect, UINT) {
  if (WindowRecord* rec = Find(m_hWnd)) {
    // The frame the window has now, the desktop's decoration included.
    clientRect->left -= rec->client.left();
    clientRect->top -= rec->client.top();
    clientRect->right += rec->window.width() - rec->client.left() - rec->client.width();
    clientRect->bottom += rec->window.height() - rec->client.top() - rec->client.height();
    return;
  }
  ::AdjustWindowRectEx(clientRect, GetStyle(), FALSE, GetExStyle());
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
  CRect area;
  bool child = GetStyle() & WS_CHILD;
  HWND center = alternateOwner ? alternateOwner->m_hWnd : (child ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER));
  if (child) {
    ::GetClientRect(center, &area);
  } else if (center && ::IsWindowVisible(center) && !::IsIconic(center)) {
    ::GetWindowRect(center, &area);
  } else {
    area = CRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  }
  // A window not shown yet is measured with the frame the desktop is expected to give it, whose
  // top left corner goes where it is placed.
  CRect self;
  GetWindowRect(&self);
  if (const qvui::WindowRecord* rec = qvui::Find(m_hWnd); rec && rec->frame.isNull()) {
    QMargins frame = qvui::ExpectedDesktopFrame(*rec);
    self.right += frame.left() + frame.right();
    self.bottom += frame.top() + frame.bottom();
  }
  int x = area.left + (area.Width() - self.Width()) / 2;
  int y = area.top + (area.Height() - self.Height()) / 2;
  if (!child) {
    x = std::max(0, std::min(x, GetSystemMetrics(SM_CXSCREEN) - self.Width()));
    y = std::max(0, std::min(y, GetSystemMetrics(SM_CYSCREEN) - self.Height()));
  }
  SetWindowPos(nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* placement) const { return ::GetWindowPlacement(m_hWnd, placement); }
BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* placement) { return ::SetWindowPlacement(m_hWnd, placement); }

void CWnd::RepositionBars(UINT first, UINT last, UINT idLeftOver, UINT flags, LPRECT param, LPCRECT clientRect,
                          BOOL stretch) {
  // A query only measures: the bars see no batch and move nothing.
  AFX_SIZEPARENTPARAMS layout {flags == reposQuery ? nullptr : ::BeginDeferWindowPos(8), {}, {0, 0}, stretch};
  if (clientRect) layout.rect = *clientRect;
  else GetClientRect(&layout.rect);
  HWND leftOver = nullptr;
  for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
    if (id == idLeftOver) leftOver = child;
    else if (id >= first && id <= last && FromHandlePermanent(child))
      ::SendMessageW(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
  }
  if (flags == reposQuery) {
    if (param) *param = layout.rect;
    return;
  }
  if (flags == reposExtra && param) {
    layout.rect.left += param->left;
    layout.rect.top += param->top;
    layout.rect.right -= param->right;
    layout.rect.bottom -= param->bottom;
  }
  if (leftOver) {
    CRect r(layout.rect);
    r.NormalizeRect();
    layout.hDWP = ::DeferWindowPos(static_cast<HDWP>(layout.hDWP), leftOver, nullptr, r.left, r.top,
                                   std::max(0, r.Width()), std::max(0, r.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (layout.hDWP) ::EndDeferWindowPos(static_cast<HDWP>(layout.hDWP));
}

// ---- Painting ------------------------------------------------------------------------------------

void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) { ::InvalidateRect(m_hWnd, rect, erase); }
void CWnd::ValidateRect(LPCRECT rect) { ::ValidateRect(m_hWnd, rect); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::LockWindowUpdate() { return ::LockWindowUpdate(m_hWnd); }
void CWnd::UnlockWindowUpdate() { ::LockWindowUpdate(nullptr); }
BOOL CWnd::RedrawWindow(LPCRECT rect, HRGN region, UINT flags) { return ::RedrawWindow(m_hWnd, rect, region, flags); }
BOOL CWnd::GetUpdateRect(LPRECT rect, BOOL erase) { return ::GetUpdateRect(m_hWnd, rect, erase); }

CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }

int CWnd::ReleaseDC(CDC* dc) {
  if (!dc) return 0;
  HDC handle = dc->GetSafeHdc();
  // The wrapper stays in the drawing layer's map until the idle moment; it must not keep the handle.
  dc->Detach();
  return ::ReleaseDC(m_hWnd, handle);
}

CDC* CWnd::BeginPaint(LPPAINTSTRUCT paint) { return CDC::FromHandle(::BeginPaint(m_hWnd, paint)); }

void CWnd::EndPaint(LPPAINTSTRUCT paint) {
  if (CDC* dc = CDC::FromHandle(paint->hdc)) dc->Detach();
  ::EndPaint(m_hWnd, paint);
}

int CWnd::SetWindowRgn(HRGN region, BOOL redraw) { return ::SetWindowRgn(m_hWnd, region, redraw); }
int CWnd::GetWindowRgn(HRGN region) const { return ::GetWindowRgn(m_hWnd, region); }

void CWnd::SetFont(CFont* font, BOOL redraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->GetSafeHandle() : nullptr), redraw);
}

CFont* CWnd::GetFont() const {
  auto font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  return font ? CFont::FromHandle(font) : nullptr;
}

HICON CWnd::SetIcon(HICON icon, BOOL big) {
  return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

HICON CWnd::GetIcon(BOOL big) const {
  return reinterpret_cast<HICON>(SendMessage(WM_GETICON, big ? ICON_BIG : ICON_SMALL));
}

void CWnd::ScrollWindow(int dx, int dy, LPCRECT rect, LPCRECT clipRect) { ::ScrollWindow(m_hWnd, dx, dy, rect, clipRect); }

// ---- Default handlers ------------------------------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }

void CWnd::OnNcDestroy() {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) {
    // The program ends with its main window.
    app->m_pMainWnd = nullptr;
    ::PostQuitMessage(0);
  }
  Default();
  Detach();
  PostNcDestroy();
}

void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return static_cast<BOOL>(Default()); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnSizing(UINT, LPRECT) { Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void CWnd::OnInitMenu(CMenu*) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
void CWnd::OnStyleChanged(int, LPSTYLESTRUCT) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnSettingChange(UINT, LPCWSTR) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* wnd, UINT) {
  LRESULT brush = 0;
  if (wnd && ReflectLastMsg(wnd->m_hWnd, &brush)) return reinterpret_cast<HBRUSH>(brush);
  return reinterpret_cast<HBRUSH>(Default());
}
