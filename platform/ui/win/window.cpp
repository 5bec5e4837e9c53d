// Window handles, window classes, creation and destruction, relations and window words.

#include "platform/ui/internal/WindowHost.h"
#include "platform/ui/internal/WindowTable.h"

#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace qvui {

namespace {

std::mutex& TableLock() {
  static std::mutex lock;
  return lock;
}

std::unordered_map<HWND, std::unique_ptr<WindowRecord>>& Table() {
  static std::unordered_map<HWND, std::unique_ptr<WindowRecord>> table;
  return table;
}

std::vector<HWND>& TopLevelOrder() {  // creation order, topmost first
  static std::vector<HWND> order;
  return order;
}

std::vector<std::shared_ptr<WindowClass>>& Classes() {
  static std::vector<std::shared_ptr<WindowClass>> classes;
  return classes;
}

QWidget* g_borrowed = nullptr;  // the widget the window being created is to be made over

HWND NewHandle() {
  // Handles are never reused, so a stale handle can never name a newer window.
  static std::atomic<std::uintptr_t> next {0x10000};
  return reinterpret_cast<HWND>(next.fetch_add(4));
}

}  // namespace

WindowRecord* Find(HWND hwnd) {
  std::lock_guard<std::mutex> guard(TableLock());
  auto it = Table().find(hwnd);
  return it == Table().end() ? nullptr : it->second.get();
}

WindowRecord* Get(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  if (!rec) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return rec;
}

bool IsLive(HWND hwnd) { return Find(hwnd) != nullptr; }

WindowRecord& Add(std::unique_ptr<WindowRecord> record) {
  std::lock_guard<std::mutex> guard(TableLock());
  WindowRecord& rec = *record;
  if (!rec.parent) TopLevelOrder().insert(TopLevelOrder().begin(), rec.handle);
  Table()[rec.handle] = std::move(record);
  return rec;
}

void Remove(HWND hwnd) {
  std::unique_ptr<WindowRecord> dead;
  {
    std::lock_guard<std::mutex> guard(TableLock());
    auto it = Table().find(hwnd);
    if (it == Table().end()) return;
    dead = std::move(it->second);
    Table().erase(it);
    auto& order = TopLevelOrder();
    order.erase(std::remove(order.begin(), order.end(), hwnd), order.end());
  }
  if (dead->borrowed) ReleaseBorrowedWidget(*dead);
  // The widgets may be on the call stack (a close box, a key): they go when control returns.
  if (dead->host) {
    dead->host->hide();
    dead->host->deleteLater();
  }
}

std::vector<HWND> TopLevelWindows() {
  std::lock_guard<std::mutex> guard(TableLock());
  return TopLevelOrder();
}

bool IsUiThread() { return qApp && QThread::currentThread() == qApp->thread(); }

bool IsTopLevel(const WindowRecord& rec) { return !(rec.style & WS_CHILD); }

// ---- Classes ------------------------------------------------------------------------------------

std::shared_ptr<WindowClass> FindClass(LPCWSTR name) {
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) return nullptr;
  for (auto& cls : Classes())
    if (cls->name.CompareNoCase(name) == 0) return cls;
  return nullptr;
}

namespace {

ATOM AddClass(const WNDCLASSW& wc, bool application) {
  if (!wc.lpszClassName || IS_INTRESOURCE(wc.lpszClassName) || !*wc.lpszClassName || !wc.lpfnWndProc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (FindClass(wc.lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto cls = std::make_shared<WindowClass>();
  cls->name = wc.lpszClassName;
  cls->style = wc.style;
  cls->proc = wc.lpfnWndProc;
  cls->instance = wc.hInstance;
  cls->icon = wc.hIcon;
  cls->cursor = wc.hCursor;
  cls->background = wc.hbrBackground;
  cls->application = application;
  Classes().push_back(cls);
  if (application) ClaimInstance(cls->name);
  return static_cast<ATOM>(0xC000 + Classes().size());
}

}  // namespace

void RegisterBuiltinClass(const WNDCLASSW& wc) { AddClass(wc, false); }

void RegisterControlClass(const WNDCLASSW& wc, QWidget* (*makeControl)(HWND hwnd, QWidget* host)) {
  RegisterBuiltinClasses();
  if (auto old = FindClass(wc.lpszClassName)) {
    auto& classes = Classes();
    classes.erase(std::remove(classes.begin(), classes.end(), old), classes.end());
  }
  AddClass(wc, false);
  FindClass(wc.lpszClassName)->makeControl = makeControl;
}

}  // namespace qvui

using namespace qvui;

ATOM RegisterClassW(const WNDCLASSW* wndClass) {
  if (!wndClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  RegisterBuiltinClasses();
  return AddClass(*wndClass, true);
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
  auto cls = FindClass(className);
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  auto& classes = Classes();
  classes.erase(std::remove(classes.begin(), classes.end(), cls), classes.end());
  return TRUE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, WNDCLASSW* wndClass) {
  RegisterBuiltinClasses();
  auto cls = FindClass(className);
  if (!cls || !wndClass) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  *wndClass = WNDCLASSW {cls->style, cls->proc,     0, 0, cls->instance, cls->icon, cls->cursor,
                         cls->background, nullptr, cls->name.GetString()};
  return TRUE;
}

int GetClassNameW(HWND hwnd, LPWSTR name, int maxCount) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || !name || maxCount <= 0) return 0;
  int n = std::min(rec->windowClass->name.GetLength(), maxCount - 1);
  std::copy_n(rec->windowClass->name.GetString(), n, name);
  name[n] = 0;
  return n;
}

ULONG_PTR GetClassLongPtrW(HWND hwnd, int index) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return 0;
  const WindowClass& cls = *rec->windowClass;
  switch (index) {
  case GCL_STYLE: return cls.style;
  case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(cls.background);
  case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(cls.cursor);
  case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(cls.icon);
  case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(cls.proc);
  default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
  }
}

ULONG_PTR SetClassLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return 0;
  WindowClass& cls = *rec->windowClass;
  ULONG_PTR old = GetClassLongPtrW(hwnd, index);
  switch (index) {
  case GCL_STYLE: cls.style = static_cast<UINT>(value); break;
  case GCLP_HBRBACKGROUND: cls.background = reinterpret_cast<HBRUSH>(value); break;
  case GCLP_HCURSOR: cls.cursor = reinterpret_cast<HCURSOR>(value); break;
  case GCLP_HICON: cls.icon = reinterpret_cast<HICON>(value); break;
  case GCLP_WNDPROC: cls.proc = reinterpret_cast<WNDPROC>(value); break;
  default: return 0;
  }
  return old;
}

DWORD GetClassLongW(HWND hwnd, int index) { return static_cast<DWORD>(GetClassLongPtrW(hwnd, index)); }
DWORD SetClassLongW(HWND hwnd, int index, LONG value) {
  return static_cast<DWORD>(SetClassLongPtrW(hwnd, index, value));
}

// ---- Creation -------------------------------------------------------------------------------------

namespace {

QRect DefaultTopLevelRect(int x, int y, int cx, int cy) {
  QRect screen(0, 0, 1024, 768);
  if (QScreen* s = QGuiApplication::primaryScreen()) screen = s->availableGeometry();
  if (x == CW_USEDEFAULT) {
    x = screen.left() + 40;
    y = screen.top() + 40;
  }
  if (cx == CW_USEDEFAULT) {
    cx = screen.width() * 3 / 4;
    cy = screen.height() * 3 / 4;
  }
  return QRect(x, y, std::max(cx, 0), std::max(cy, 0));
}

void LinkChild(WindowRecord& parent, HWND child) {
  // A new child goes to the bottom of its siblings, so the first child made is the topmost and
  // GW_CHILD/GW_HWNDNEXT walk the children in creation order.
  parent.children.push_back(child);
}

void UnlinkChild(HWND parent, HWND child) {
  if (WindowRecord* p = Find(parent)) {
    auto& c = p->children;
    c.erase(std::remove(c.begin(), c.end(), child), c.end());
  }
}

bool SendCreateMessages(HWND hwnd, CREATESTRUCTW& cs) {
  WindowRecord* rec = Find(hwnd);
  if (IsTopLevel(*rec)) {
    MINMAXINFO info {};
    SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    if (!IsLive(hwnd)) return false;
  }
  if (!SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) return false;
  if (!RecalcFrame(hwnd)) return false;
  if (SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) return false;
  rec = Find(hwnd);
  if (!rec) return false;
  QRect client = rec->client;
  QPoint origin = rec->window.topLeft() + client.topLeft() - QPoint(rec->frame.left(), rec->frame.top());
  SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.width(), client.height()));
  if (!IsLive(hwnd)) return false;
  SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x(), origin.y()));
  return IsLive(hwnd);
}

}  // namespace

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                     LPVOID param) {
  if (!IsUiThread()) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return nullptr;
  }
  RegisterBuiltinClasses();
  auto cls = FindClass(className);
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return nullptr;
  }
  if (parent == GetDesktopWindow()) parent = nullptr;
  if (parent && !Find(parent)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if ((style & WS_CHILD) && !parent) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }

  auto record = std::make_unique<WindowRecord>();
  WindowRecord& r = *record;
  r.handle = NewHandle();
  r.windowClass = cls;
  r.proc = cls->proc;
  r.instance = instance;
  r.exStyle = exStyle;
  r.style = style & ~WS_VISIBLE;
  r.text = windowName;
  if (style & WS_CHILD) {
    r.parent = parent;
    r.id = reinterpret_cast<LONG_PTR>(menuOrId);
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
    r.window = QRect(x, y, std::max(width, 0), std::max(height, 0));
  } else {
    // The owner of a top-level window is the top-level window of the parent given.
    r.owner = parent ? GetAncestor(parent, GA_ROOT) : nullptr;
    if (!(style & WS_POPUP)) r.style |= WS_CAPTION | WS_CLIPSIBLINGS;
    r.window = DefaultTopLevelRect(x, y, width, height);
  }
  r.normalRect = r.window;
  r.client = QRect(QPoint(0, 0), r.window.size());
  HWND hwnd = r.handle;
  if (parent && (style & WS_CHILD)) LinkChild(*Find(parent), hwnd);
  Add(std::move(record));

  CreatingObject::AttachTo(hwnd);
  if (QWidget* widget = std::exchange(g_borrowed, nullptr)) BorrowWidget(*Find(hwnd), widget);
  else CreateWidgets(*Find(hwnd));

  CREATESTRUCTW cs {param, instance, menuOrId, parent, height, width, y, x,
                    static_cast<LONG>(style), windowName, className, exStyle};
  if (!SendCreateMessages(hwnd, cs)) {
    if (IsLive(hwnd)) DestroyWindow(hwnd);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!(style & WS_CHILD) && menuOrId) SetMenu(hwnd, menuOrId);
  if (style & WS_VISIBLE) {
    int show = SW_SHOW;
    if (!(style & WS_CHILD)) {
      if (style & WS_MAXIMIZE) show = SW_SHOWMAXIMIZED;
      else if (style & WS_MINIMIZE) show = SW_SHOWMINIMIZED;
    }
    ShowWindow(hwnd, show);
  }
  return IsLive(hwnd) ? hwnd : nullptr;
}

namespace qvui {

HWND CreateWindowOverWidget(LPCWSTR className, DWORD style, HWND parent, int id, QWidget* widget) {
  QRect at = widget->geometry();
  g_borrowed = widget;
  HWND hwnd = CreateWindowExW(0, className, nullptr, style | WS_CHILD, at.x(), at.y(), at.width(), at.height(), parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  g_borrowed = nullptr;
  return hwnd;
}

}  // namespace qvui

// ---- Destruction ------------------------------------------------------------------------------

namespace {

void SendDestroy(HWND hwnd) {
  SendMessageW(hwnd, WM_DESTROY, 0, 0);
  WindowRecord* rec = Find(hwnd);
  if (!rec) return;
  std::vector<HWND> children = rec->children;
  for (HWND child : children)
    if (WindowRecord* c = Find(child)) {
      c->destroying = true;
      SendDestroy(child);
    }
}

void SendNcDestroy(HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  if (!rec) return;
  std::vector<HWND> children = rec->children;
  for (HWND child : children) SendNcDestroy(child);
  rec = Find(hwnd);
  if (!rec) return;
  KillAllTimers(*rec);
  DestroyMenuBar(*rec);
  RevokeDropTargetOf(hwnd);
  SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
  rec = Find(hwnd);
  if (!rec) return;
  HWND parent = rec->parent;
  RemovePostedMessages(hwnd);
  ForgetScrollBars(hwnd);
  WindowGone(hwnd);
  Remove(hwnd);
  UnlinkChild(parent, hwnd);
}

}  // namespace

BOOL DestroyWindow(HWND hwnd) {
  WindowRecord* rec = Get(hwnd);
  if (!rec || rec->remote) return FALSE;
  if (!IsUiThread()) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  if (rec->destroying) return TRUE;
  rec->destroying = true;

  if (IsTopLevel(*rec)) {
    for (HWND other : TopLevelWindows()) {
      WindowRecord* o = Find(other);
      if (o && o->owner == hwnd && !o->destroying) DestroyWindow(other);
    }
  }
  rec = Find(hwnd);
  if (!rec) return TRUE;
  if (rec->style & WS_VISIBLE)
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  OnWindowDestroyed(hwnd);
  if (!IsLive(hwnd)) return TRUE;
  SendDestroy(hwnd);
  SendNcDestroy(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return hwnd && IsLive(hwnd); }

HWND GetDesktopWindow() {
  // The desktop is not a window of the table: it stands for "no parent" and the whole screen.
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x0010));
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM param) {
  if (!callback) return FALSE;
  std::vector<HWND> list;
  if (!parent || parent == GetDesktopWindow()) {
    list = TopLevelWindows();
  } else {
    WindowRecord* rec = Get(parent);
    if (!rec) return FALSE;
    list = rec->children;
  }
  for (HWND h : list) {
    if (!IsLive(h)) continue;
    if (!callback(h, param)) return TRUE;
    if (parent && parent != GetDesktopWindow() && !EnumChildWindows(h, callback, param)) return TRUE;
  }
  return TRUE;
}

BOOL EnumWindows(WNDENUMPROC callback, LPARAM param) {
  if (!callback) return FALSE;
  for (HWND h : TopLevelWindows()) {
    WindowRecord* rec = Find(h);
    if (!rec || rec->remote) continue;
    if (!callback(h, param)) break;
  }
  return TRUE;
}

// ---- Relations --------------------------------------------------------------------------------

HWND GetParent(HWND hwnd) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return nullptr;
  if (rec->style & WS_CHILD) return rec->parent;
  return (rec->style & WS_POPUP) ? rec->owner : nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return nullptr;
  switch (flags) {
  case GA_PARENT: return rec->parent ? rec->parent : GetDesktopWindow();
  case GA_ROOT:
    while (rec->parent) rec = Find(rec->parent);
    return rec->handle;
  case GA_ROOTOWNER:
    for (;;) {
      while (rec->parent) rec = Find(rec->parent);
      WindowRecord* owner = rec->owner ? Find(rec->owner) : nullptr;
      if (!owner) return rec->handle;
      rec = owner;
    }
  default: return nullptr;
  }
}

HWND GetWindow(HWND hwnd, UINT relation) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return nullptr;
  if (relation == GW_CHILD) return rec->children.empty() ? nullptr : rec->children.front();
  if (relation == GW_OWNER) return rec->owner;
  std::vector<HWND> siblings;
  if (rec->parent) {
    siblings = Find(rec->parent)->children;
  } else {
    siblings = TopLevelWindows();
  }
  auto it = std::find(siblings.begin(), siblings.end(), hwnd);
  switch (relation) {
  case GW_HWNDFIRST: return siblings.front();
  case GW_HWNDLAST: return siblings.back();
  case GW_HWNDNEXT: return (it == siblings.end() || it + 1 == siblings.end()) ? nullptr : *(it + 1);
  case GW_HWNDPREV: return (it == siblings.begin() || it == siblings.end()) ? nullptr : *(it - 1);
  default: return nullptr;
  }
}

HWND GetTopWindow(HWND hwnd) {
  if (!hwnd || hwnd == GetDesktopWindow()) {
    auto top = TopLevelWindows();
    return top.empty() ? nullptr : top.front();
  }
  return GetWindow(hwnd, GW_CHILD);
}

HWND GetDlgItem(HWND dialog, int id) {
  WindowRecord* rec = Get(dialog);
  if (!rec) return nullptr;
  for (HWND child : rec->children) {
    WindowRecord* c = Find(child);
    if (c && static_cast<int>(c->id) == id) return child;
  }
  return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
  WindowRecord* rec = Get(hwnd);
  return rec && (rec->style & WS_CHILD) ? static_cast<int>(rec->id) : 0;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  WindowRecord* rec = Find(hwnd);
  while (rec && (rec->style & WS_CHILD) && rec->parent) {
    if (rec->parent == parent) return TRUE;
    rec = Find(rec->parent);
  }
  return FALSE;
}

HWND SetParent(HWND child, HWND newParent) {
  WindowRecord* rec = Get(child);
  if (!rec) return nullptr;
  if (newParent == GetDesktopWindow()) newParent = nullptr;
  if (newParent && (!Get(newParent) || newParent == child || IsChild(child, newParent))) return nullptr;
  HWND old = rec->parent;
  bool visible = rec->style & WS_VISIBLE;
  UnlinkChild(old, child);
  rec->parent = newParent;
  if (newParent) LinkChild(*Find(newParent), child);
  if (rec->host) {
    WindowRecord* p = newParent ? Find(newParent) : nullptr;
    Qt::WindowFlags flags = rec->host->windowFlags();
    rec->host->setParent(p ? p->clientWidget.data() : nullptr, flags);
    ApplyGeometry(*rec);
    rec->host->setVisible(visible);
  }
  return old ? old : GetDesktopWindow();
}

// ---- Window words -------------------------------------------------------------------------------

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return 0;
  switch (index) {
  case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(rec->proc);
  case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(rec->instance);
  case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(rec->parent ? rec->parent : rec->owner);
  case GWLP_ID: return rec->id;
  case GWL_STYLE: return static_cast<LONG>(rec->style);
  case GWL_EXSTYLE: return static_cast<LONG>(rec->exStyle);
  case GWLP_USERDATA: return rec->userData;
  default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
  }
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  WindowRecord* rec = Get(hwnd);
  if (!rec) return 0;
  LONG_PTR old = GetWindowLongPtrW(hwnd, index);
  switch (index) {
  case GWLP_WNDPROC: rec->proc = reinterpret_cast<WNDPROC>(value); break;
  case GWLP_HINSTANCE: rec->instance = reinterpret_cast<HINSTANCE>(value); break;
  case GWLP_ID: rec->id = value; break;
  case GWLP_USERDATA: rec->userData = value; break;
  case GWLP_HWNDPARENT:
    if (!(rec->style & WS_CHILD)) rec->owner = reinterpret_cast<HWND>(value);
    break;
  case GWL_STYLE:
  case GWL_EXSTYLE: {
    STYLESTRUCT ss {static_cast<DWORD>(old), static_cast<DWORD>(value)};
    SendMessageW(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
    rec = Find(hwnd);
    if (!rec) return 0;
    if (index == GWL_STYLE) {
      // WS_VISIBLE and WS_DISABLED change the widgets as well as the word.
      DWORD changed = rec->style ^ ss.styleNew;
      rec->style = ss.styleNew;
      if (rec->host && (changed & WS_VISIBLE)) rec->host->setVisible(rec->style & WS_VISIBLE);
      if (rec->host && (changed & WS_DISABLED)) rec->host->setEnabled(!(rec->style & WS_DISABLED));
    } else {
      rec->exStyle = ss.styleNew;
    }
    SendMessageW(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
    break;
  }
  default: return 0;
  }
  return old;
}

LONG GetWindowLongW(HWND hwnd, int index) { return static_cast<LONG>(GetWindowLongPtrW(hwnd, index)); }
LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
  return static_cast<LONG>(SetWindowLongPtrW(hwnd, index, value));
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

// ---- Text -----------------------------------------------------------------------------------------

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
  return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND hwnd, LPWSTR text, int maxCount) {
  if (!text || maxCount <= 0) return 0;
  text[0] = 0;
  return static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                       reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthW(HWND hwnd) { return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)); }
