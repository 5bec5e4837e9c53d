#pragma once
// CWnd: the object side of a window. A CWnd is attached to its window from the first message of
// CreateEx until WM_NCDESTROY; its message map gets the window's messages first, and whatever it
// does not handle (or hands on with Default()) goes to the window class's procedure.
//
// Handlers are the framework's classic ones (OnCreate, OnSize, OnLButtonDown, ...); each one in
// CWnd does the default processing, so a derived handler calls its base for the default.

#include "platform/ui/afx/CCmdTarget.h"
#include "platform/core/CRect.h"

class CFrameWnd;
class CMenu;
namespace qvui {
struct CreatingObject;
}
class CDC;
class CFont;
class CRgn;
class CScrollBar;
class CDataExchange;
struct SCROLLINFO;

// Default ID of the view inside a frame, and of the frame's control bars and dock bars.
#define AFX_IDW_PANE_FIRST 0xE900
#define AFX_IDW_PANE_LAST 0xE9FF
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_STATUS_BAR 0xE801
#define ID_SEPARATOR 0  // a separator in a tool bar's or status bar's list of IDs
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F

class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)
public:
  CWnd() = default;
  ~CWnd() override;

  // ---- Creation and life ----
  virtual BOOL Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                      void* context = nullptr);
  virtual BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                        int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr);
  BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                UINT id, LPVOID param = nullptr);
  virtual BOOL DestroyWindow();
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
  // Tables that keep pointers to CWnd objects they do not own (registries of windows) hear of each
  // CWnd object as it is deleted, so that they never hand out a deleted one. The watcher is called
  // with its context at the end of the object's destructor. Watchers are added and removed on the
  // user-interface thread, never from inside a watcher.
  using DeleteWatcher = void (*)(void* context, CWnd* wnd);
  static void WatchDeletes(DeleteWatcher watcher, void* context);
  static void UnwatchDeletes(DeleteWatcher watcher, void* context);
  virtual BOOL PreTranslateMessage(MSG* msg);

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return GetSafeHwnd(); }
  // The CWnd of a window: its attached object, or a wrapper that lives as long as the window.
  static CWnd* FromHandle(HWND hwnd);
  static CWnd* FromHandlePermanent(HWND hwnd);
  BOOL Attach(HWND hwnd);
  HWND Detach();
  // Takes over an existing window: its messages reach this object first, then the procedure it
  // had before.
  BOOL SubclassWindow(HWND hwnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();

  // ---- Messages ----
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL deep = TRUE,
                                BOOL onlyPermanent = FALSE);
  // Walks from the message's window up to (not including) hwndStop asking PreTranslateMessage.
  static BOOL WalkPreTranslateTree(HWND hwndStop, MSG* msg);

  // ---- Relations ----
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
  static BOOL ModifyStyle(HWND hwnd, DWORD remove, DWORD add, UINT flags);
  static BOOL ModifyStyleEx(HWND hwnd, DWORD remove, DWORD add, UINT flags);
  int GetDlgCtrlID() const;
  int SetDlgCtrlID(int id);
  CWnd* GetParent() const;
  CWnd* SetParent(CWnd* parent);
  CWnd* GetOwner() const;
  void SetOwner(CWnd* owner);
  CWnd* GetTopLevelParent() const;
  CFrameWnd* GetParentFrame() const;
  CFrameWnd* GetTopLevelFrame() const;
  CWnd* GetDlgItem(int id) const;
  CWnd* GetDescendantWindow(int id, BOOL onlyPermanent = FALSE) const;
  CWnd* GetWindow(UINT relation) const;
  CWnd* GetNextWindow(UINT relation = GW_HWNDNEXT) const;
  CWnd* GetTopWindow() const;
  BOOL IsChild(const CWnd* wnd) const;
  static CWnd* GetDesktopWindow();
  static CWnd* GetActiveWindow();
  static CWnd* GetFocus();
  static CWnd* GetCapture();
  static CWnd* FindWindow(LPCWSTR className, LPCWSTR windowName);
  static CWnd* WindowFromPoint(POINT point);

  // ---- State ----
  BOOL ShowWindow(int command);
  BOOL IsWindowVisible() const;
  BOOL IsWindowEnabled() const;
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsIconic() const;
  BOOL IsZoomed() const;
  CWnd* SetFocus();
  CWnd* SetCapture();
  BOOL SetForegroundWindow();
  CWnd* SetActiveWindow();
  void BringWindowToTop();
  void SetWindowText(LPCWSTR text);
  int GetWindowText(LPWSTR text, int maxCount) const;
  void GetWindowText(CString& text) const;
  int GetWindowTextLength() const;
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
  BOOL KillTimer(UINT_PTR id);
  CMenu* GetMenu() const;
  BOOL SetMenu(CMenu* menu);
  void DrawMenuBar();

  // ---- Geometry ----
  void GetWindowRect(LPRECT rect) const;
  void GetClientRect(LPRECT rect) const;
  void ClientToScreen(LPPOINT point) const;
  void ClientToScreen(LPRECT rect) const;
  void ScreenToClient(LPPOINT point) const;
  void ScreenToClient(LPRECT rect) const;
  void MapWindowPoints(CWnd* to, LPPOINT points, UINT count) const;
  void MapWindowPoints(CWnd* to, LPRECT rect) const;
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
  BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
  // Places in the stacking order for SetWindowPos: on top, at the bottom, above every window
  // that is not topmost (the window becomes topmost), and back among the others.
  static const CWnd& wndTop;
  static const CWnd& wndBottom;
  static const CWnd& wndTopMost;
  static const CWnd& wndNoTopMost;
  // Grows a client rectangle to the window rectangle the window's styles need around it.
  virtual void CalcWindowRect(LPRECT clientRect, UINT adjustType = 0);
  void CenterWindow(CWnd* alternateOwner = nullptr);
  BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const;
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement);
  // Lays out the control bars among the children with IDs in [first, last] and gives what is left
  // to the child with ID idLeftOver.
  void RepositionBars(UINT first, UINT last, UINT idLeftOver, UINT flags = 0, LPRECT param = nullptr,
                      LPCRECT clientRect = nullptr, BOOL stretch = TRUE);

  // ---- Painting ----
  void Invalidate(BOOL erase = TRUE);
  void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
  void ValidateRect(LPCRECT rect);
  void UpdateWindow();
  // ::LockWindowUpdate on this window, and with null.
  BOOL LockWindowUpdate();
  void UnlockWindowUpdate();
  BOOL RedrawWindow(LPCRECT rect = nullptr, HRGN region = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  BOOL GetUpdateRect(LPRECT rect, BOOL erase = FALSE);
  // A DC of the client area (or the whole window) for drawing outside a paint message; give it
  // back with ReleaseDC.
  CDC* GetDC();
  CDC* GetWindowDC();
  int ReleaseDC(CDC* dc);
  CDC* BeginPaint(LPPAINTSTRUCT paint);
  void EndPaint(LPPAINTSTRUCT paint);
  // The window takes the region; the CRgn no longer owns it afterwards.
  int SetWindowRgn(HRGN region, BOOL redraw);
  int GetWindowRgn(HRGN region) const;
  void SetFont(CFont* font, BOOL redraw = TRUE);
  CFont* GetFont() const;
  // The window's big (title bar, task switcher) or small icon; answers the one before.
  HICON SetIcon(HICON icon, BOOL big);
  HICON GetIcon(BOOL big) const;
  // Moves what the client area shows, and the child windows, by dx and dy; what comes into view
  // is painted again.
  void ScrollWindow(int dx, int dy, LPCRECT rect = nullptr, LPCRECT clipRect = nullptr);

  // ---- Dialog items and data exchange (wnddlg.cpp) ----
  // Moves data between the controls and the members DoDataExchange names: to the members (and
  // checked) when saving; FALSE when a check failed (the user has been told and the control has
  // the focus).
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  void SetDlgItemText(int id, LPCWSTR text);
  int GetDlgItemText(int id, LPWSTR text, int maxCount) const;
  int GetDlgItemText(int id, CString& text) const;
  void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
  UINT GetDlgItemInt(int id, BOOL* ok = nullptr, BOOL isSigned = TRUE) const;
  void CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;
  void CheckRadioButton(int firstId, int lastId, int checkId);
  int GetCheckedRadioButton(int firstId, int lastId) const;
  LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  CWnd* GetNextDlgTabItem(CWnd* control, BOOL previous = FALSE) const;
  CWnd* GetNextDlgGroupItem(CWnd* control, BOOL previous = FALSE) const;
  // Tool tips for the children: the window is asked for their texts with TTN_NEEDTEXTW.
  BOOL EnableToolTips(BOOL enable = TRUE);

  // ---- Scroll bars (wnddlg.cpp) ----
  BOOL SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw = TRUE);
  BOOL GetScrollInfo(int bar, SCROLLINFO* info, UINT mask = 0x17) const;
  int SetScrollPos(int bar, int pos, BOOL redraw = TRUE);
  int GetScrollPos(int bar) const;
  void SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw = TRUE);
  void GetScrollRange(int bar, LPINT minPos, LPINT maxPos) const;
  int GetScrollLimit(int bar) const;
  void ShowScrollBar(UINT bar, BOOL show = TRUE);
  BOOL EnableScrollBar(int bar, UINT arrows = 0);
  // Enables or disables the window's own scroll bar (SB_HORZ, SB_VERT or SB_BOTH) as a whole;
  // whether it is shown is ShowScrollBar's.
  void EnableScrollBarCtrl(int bar, BOOL enable = TRUE);

  // ---- Routing ----
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Lets a child control handle a message it sent to its parent (reflection); TRUE when it did.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  static BOOL ReflectLastMsg(HWND child, LRESULT* result = nullptr);
  BOOL SendChildNotifyLastMsg(LRESULT* result = nullptr);

  HWND m_hWnd {};
  HWND m_hWndOwner {};  // the owner set with SetOwner (control bars), else the parent

protected:
  virtual void DoDataExchange(CDataExchange*) {}
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual void PostNcDestroy() {}
  // Runs the current message's default processing.
  LRESULT Default();

  // Handlers with the default processing.
  int OnCreate(LPCREATESTRUCT cs);
  void OnDestroy();
  void OnNcDestroy();
  void OnClose();
  void OnSize(UINT type, int cx, int cy);
  void OnMove(int x, int y);
  void OnPaint();
  void OnNcPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  void OnTimer(UINT_PTR id);
  void OnSetFocus(CWnd* old);
  void OnKillFocus(CWnd* next);
  void OnCaptureChanged(CWnd* wnd);
  void OnCancelMode();
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  void OnActivateApp(BOOL active, DWORD thread);
  BOOL OnNcActivate(BOOL active);
  void OnEnable(BOOL enable);
  void OnShowWindow(BOOL show, UINT status);
  void OnWindowPosChanging(WINDOWPOS* pos);
  void OnWindowPosChanged(WINDOWPOS* pos);
  void OnGetMinMaxInfo(MINMAXINFO* info);
  void OnSizing(UINT edge, LPRECT rect);
  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
  LRESULT OnNcHitTest(CPoint point);
  void OnNcMouseMove(UINT hit, CPoint point);
  void OnNcLButtonDown(UINT hit, CPoint point);
  void OnNcLButtonUp(UINT hit, CPoint point);
  void OnNcLButtonDblClk(UINT hit, CPoint point);
  void OnNcRButtonDown(UINT hit, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnRButtonUp(UINT flags, CPoint point);
  void OnRButtonDblClk(UINT flags, CPoint point);
  void OnMButtonDown(UINT flags, CPoint point);
  void OnMButtonUp(UINT flags, CPoint point);
  BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
  int OnMouseActivate(CWnd* topParent, UINT hit, UINT message);
  BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT message);
  void OnKeyDown(UINT key, UINT repeat, UINT flags);
  void OnKeyUp(UINT key, UINT repeat, UINT flags);
  void OnChar(UINT ch, UINT repeat, UINT flags);
  void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
  void OnSysKeyUp(UINT key, UINT repeat, UINT flags);
  void OnSysChar(UINT ch, UINT repeat, UINT flags);
  void OnContextMenu(CWnd* wnd, CPoint point);
  UINT OnGetDlgCode();
  void OnInitMenu(CMenu* menu);
  void OnInitMenuPopup(CMenu* popup, UINT index, BOOL sysMenu);
  void OnStyleChanged(int type, LPSTYLESTRUCT style);
  void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
  void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
  void OnSysColorChange();
  void OnSettingChange(UINT flags, LPCWSTR section);
  void OnSysCommand(UINT id, LPARAM lParam);
  // A control asks for its colours (kind CTLCOLOR_*): the default lets the control answer for
  // itself (reflection), then the window class.
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind);

  WNDPROC m_pfnSuper {};  // the procedure the window had before this object took it over

  DECLARE_MESSAGE_MAP()

  friend LRESULT AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  friend struct qvui::CreatingObject;
};

// What RepositionBars hands each control bar with WM_SIZEPARENT: the bar takes its room from
// rect and adds its size to sizeTotal, and moves into its room through the batch hDWP (null while
// the layout only measures).
struct AFX_SIZEPARENTPARAMS {
  void* hDWP;
  RECT rect;
  SIZE sizeTotal;
  BOOL bStretch;
};
#define reposDefault 0
#define reposQuery 1
#define reposExtra 2

// The window procedure of every window with a CWnd attached.
LRESULT AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Registers a window class (as RegisterClassW; TRUE when it already exists with that name).
BOOL AfxRegisterClass(WNDCLASSW* wndClass);
// A registered class name for these class attributes (made up and registered on first use).
LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                            HICON icon = nullptr);
// The message being handled on this thread (for Default()).
const MSG* AfxGetCurrentMessage();
