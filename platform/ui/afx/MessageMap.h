#pragma once
// Message maps: the macros that build a class's map and the crackers that unpack each message
// into its handler's arguments.
//
//   // in the class:                  // in the .cpp:
//   DECLARE_MESSAGE_MAP()             BEGIN_MESSAGE_MAP(CMyView, CView)
//                                       ON_WM_CREATE()
//                                       ON_COMMAND(ID_FILE_OPEN, &CMyView::OnFileOpen)
//                                     END_MESSAGE_MAP()
//
// Handlers keep the signatures the framework's windows have always had; a handler that wants the
// default treatment calls its base class's handler (which calls Default()).

#include "platform/core/CRect.h"

class CWnd;
class CDC;
class CMenu;
class CScrollBar;

template <class> struct AfxMemberClass;
template <class C, class R, class... A> struct AfxMemberClass<R (C::*)(A...)> {
  using type = C;
};
template <class T, class F> using AfxMemFn = F T::*;
template <auto PM> using AfxClassOf = typename AfxMemberClass<decltype(PM)>::type;
template <auto PM> AfxClassOf<PM>* AfxThis(CCmdTarget* t) { return static_cast<AfxClassOf<PM>*>(t); }

// A point packed into a message's LPARAM: signed 16-bit x and y.
inline CPoint AfxPoint(LPARAM l) { return CPoint(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))); }
CWnd* AfxWndFromHandle(HWND hwnd);  // CWnd::FromHandle, usable before CWnd is declared
CMenu* AfxMenuFromHandle(HMENU menu);
CDC* AfxDCFromHandle(HDC hdc);

// ---- Crackers: one per handler signature ---------------------------------------------------------
template <auto PM> LRESULT AfxVoid(CCmdTarget* t, UINT, WPARAM, LPARAM, void*) {
  (AfxThis<PM>(t)->*PM)();
  return 0;
}
template <auto PM> LRESULT AfxCreate(CCmdTarget* t, UINT, WPARAM, LPARAM l, void*) {
  return (AfxThis<PM>(t)->*PM)(reinterpret_cast<LPCREATESTRUCT>(l));
}
template <auto PM> LRESULT AfxSize(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<UINT>(w), static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
  return 0;
}
template <auto PM> LRESULT AfxMove(CCmdTarget* t, UINT, WPARAM, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
  return 0;
}
template <auto PM> LRESULT AfxMouse(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<UINT>(w), AfxPoint(l));
  return 0;
}
template <auto PM> LRESULT AfxNcMouse(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<UINT>(w), AfxPoint(l));
  return 0;
}
template <auto PM> LRESULT AfxNcHitTest(CCmdTarget* t, UINT, WPARAM, LPARAM l, void*) {
  return (AfxThis<PM>(t)->*PM)(AfxPoint(l));
}
template <auto PM> LRESULT AfxNcCalcSize(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<BOOL>(w), reinterpret_cast<NCCALCSIZE_PARAMS*>(l));
  return 0;
}
template <auto PM> LRESULT AfxKey(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<UINT>(w), static_cast<UINT>(LOWORD(l)), static_cast<UINT>(HIWORD(l)));
  return 0;
}
template <auto PM> LRESULT AfxFocus(CCmdTarget* t, UINT, WPARAM w, LPARAM, void*) {
  (AfxThis<PM>(t)->*PM)(AfxWndFromHandle(reinterpret_cast<HWND>(w)));
  return 0;
}
template <auto PM> LRESULT AfxCaptureChanged(CCmdTarget* t, UINT, WPARAM, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(AfxWndFromHandle(reinterpret_cast<HWND>(l)));
  return 0;
}
template <auto PM> LRESULT AfxTimer(CCmdTarget* t, UINT, WPARAM w, LPARAM, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<UINT_PTR>(w));
  return 0;
}
template <auto PM> LRESULT AfxActivate(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(LOWORD(w), AfxWndFromHandle(reinterpret_cast<HWND>(l)), HIWORD(w) != 0);
  return 0;
}
template <auto PM> LRESULT AfxActivateApp(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<BOOL>(w), static_cast<DWORD>(l));
  return 0;
}
template <auto PM> LRESULT AfxBoolArg(CCmdTarget* t, UINT, WPARAM w, LPARAM, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<BOOL>(w));
  return 0;
}
template <auto PM> LRESULT AfxBoolResultBoolArg(CCmdTarget* t, UINT, WPARAM w, LPARAM, void*) {
  return (AfxThis<PM>(t)->*PM)(static_cast<BOOL>(w));
}
template <auto PM> LRESULT AfxShowWindow(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<BOOL>(w), static_cast<UINT>(l));
  return 0;
}
template <auto PM> LRESULT AfxWindowPos(CCmdTarget* t, UINT, WPARAM, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(reinterpret_cast<WINDOWPOS*>(l));
  return 0;
}
template <auto PM> LRESULT AfxMinMax(CCmdTarget* t, UINT, WPARAM, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(reinterpret_cast<MINMAXINFO*>(l));
  return 0;
}
template <auto PM> LRESULT AfxSizing(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<UINT>(w), reinterpret_cast<LPRECT>(l));
  return 0;
}
template <auto PM> LRESULT AfxMouseActivate(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  return (AfxThis<PM>(t)->*PM)(AfxWndFromHandle(reinterpret_cast<HWND>(w)), LOWORD(l), HIWORD(l));
}
template <auto PM> LRESULT AfxSetCursor(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  return (AfxThis<PM>(t)->*PM)(AfxWndFromHandle(reinterpret_cast<HWND>(w)), LOWORD(l), HIWORD(l));
}
template <auto PM> LRESULT AfxMouseWheel(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  return (AfxThis<PM>(t)->*PM)(LOWORD(w), static_cast<short>(HIWORD(w)), AfxPoint(l));
}
template <auto PM> LRESULT AfxContextMenu(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(AfxWndFromHandle(reinterpret_cast<HWND>(w)), AfxPoint(l));
  return 0;
}
template <auto PM> LRESULT AfxUintResult(CCmdTarget* t, UINT, WPARAM, LPARAM, void*) {
  return (AfxThis<PM>(t)->*PM)();
}
template <auto PM> LRESULT AfxEraseBkgnd(CCmdTarget* t, UINT, WPARAM w, LPARAM, void*) {
  return (AfxThis<PM>(t)->*PM)(AfxDCFromHandle(reinterpret_cast<HDC>(w)));
}
template <auto PM> LRESULT AfxInitMenuPopup(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(AfxMenuFromHandle(reinterpret_cast<HMENU>(w)), LOWORD(l), HIWORD(l) != 0);
  return 0;
}
template <auto PM> LRESULT AfxInitMenu(CCmdTarget* t, UINT, WPARAM w, LPARAM, void*) {
  (AfxThis<PM>(t)->*PM)(AfxMenuFromHandle(reinterpret_cast<HMENU>(w)));
  return 0;
}
template <auto PM> LRESULT AfxStyleChanged(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<int>(w), reinterpret_cast<LPSTYLESTRUCT>(l));
  return 0;
}
template <auto PM> LRESULT AfxScroll(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(LOWORD(w), static_cast<short>(HIWORD(w)),
                         reinterpret_cast<CScrollBar*>(AfxWndFromHandle(reinterpret_cast<HWND>(l))));
  return 0;
}
template <auto PM> LRESULT AfxSettingChange(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<UINT>(w), reinterpret_cast<LPCWSTR>(l));
  return 0;
}
template <auto PM> LRESULT AfxSysCommand(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  (AfxThis<PM>(t)->*PM)(static_cast<UINT>(w), l);
  return 0;
}
// The colour requests of the controls (WM_CTLCOLORMSGBOX + kind): the handler answers the brush.
template <auto PM, UINT kind> LRESULT AfxCtlColor(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  return reinterpret_cast<LRESULT>(
      (AfxThis<PM>(t)->*PM)(AfxDCFromHandle(reinterpret_cast<HDC>(w)), AfxWndFromHandle(reinterpret_cast<HWND>(l)), kind));
}
template <auto PM> LRESULT AfxMessage(CCmdTarget* t, UINT, WPARAM w, LPARAM l, void*) {
  return (AfxThis<PM>(t)->*PM)(w, l);
}
// Commands.
template <auto PM> LRESULT AfxCmd(CCmdTarget* t, UINT, WPARAM, LPARAM, void*) {
  (AfxThis<PM>(t)->*PM)();
  return TRUE;
}
template <auto PM> LRESULT AfxCmdRange(CCmdTarget* t, UINT id, WPARAM, LPARAM, void*) {
  (AfxThis<PM>(t)->*PM)(id);
  return TRUE;
}
template <auto PM> LRESULT AfxCmdEx(CCmdTarget* t, UINT id, WPARAM, LPARAM, void*) {
  return (AfxThis<PM>(t)->*PM)(id);
}
template <auto PM> LRESULT AfxCmdUI(CCmdTarget* t, UINT, WPARAM, LPARAM, void* extra) {
  (AfxThis<PM>(t)->*PM)(static_cast<CCmdUI*>(extra));
  return TRUE;
}
template <auto PM> LRESULT AfxNotify(CCmdTarget* t, UINT, WPARAM, LPARAM, void* extra) {
  auto* n = static_cast<AFX_NOTIFY*>(extra);
  (AfxThis<PM>(t)->*PM)(n->pNMHDR, n->pResult);
  return TRUE;
}
template <auto PM> LRESULT AfxNotifyRange(CCmdTarget* t, UINT id, WPARAM, LPARAM, void* extra) {
  auto* n = static_cast<AFX_NOTIFY*>(extra);
  (AfxThis<PM>(t)->*PM)(id, n->pNMHDR, n->pResult);
  return TRUE;
}
template <auto PM> LRESULT AfxNotifyEx(CCmdTarget* t, UINT id, WPARAM, LPARAM, void* extra) {
  auto* n = static_cast<AFX_NOTIFY*>(extra);
  return (AfxThis<PM>(t)->*PM)(id, n->pNMHDR, n->pResult);
}

// ---- Declaring and defining maps -----------------------------------------------------------------
#define DECLARE_MESSAGE_MAP()                        \
protected:                                           \
  static const AFX_MSGMAP* GetThisMessageMap();      \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                   \
    using ThisClass = theClass;                                                       \
    using TheBaseClass = baseClass;                                                   \
    static const AFX_MSGMAP_ENTRY messageEntries[] = {
#define END_MESSAGE_MAP()                                                                 \
  {0, 0, 0, 0, AfxKind::End, nullptr}                                                     \
  }                                                                                       \
  ;                                                                                       \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]}; \
  return &messageMap;                                                                     \
  }

#define QV_ON_MSG(msg, cracker, type, name) \
  {msg, 0, 0, 0, AfxKind::Message, &cracker<static_cast<AfxMemFn<ThisClass, type>>(&ThisClass::name)>},

#define ON_MESSAGE(message, memberFxn) \
  {message, 0, 0, 0, AfxKind::Message, &AfxMessage<static_cast<LRESULT (ThisClass::*)(WPARAM, LPARAM)>(memberFxn)>},

#define ON_WM_CREATE() QV_ON_MSG(WM_CREATE, AfxCreate, int(LPCREATESTRUCT), OnCreate)
#define ON_WM_DESTROY() QV_ON_MSG(WM_DESTROY, AfxVoid, void(), OnDestroy)
#define ON_WM_NCDESTROY() QV_ON_MSG(WM_NCDESTROY, AfxVoid, void(), OnNcDestroy)
#define ON_WM_CLOSE() QV_ON_MSG(WM_CLOSE, AfxVoid, void(), OnClose)
#define ON_WM_SIZE() QV_ON_MSG(WM_SIZE, AfxSize, void(UINT, int, int), OnSize)
#define ON_WM_MOVE() QV_ON_MSG(WM_MOVE, AfxMove, void(int, int), OnMove)
#define ON_WM_PAINT() QV_ON_MSG(WM_PAINT, AfxVoid, void(), OnPaint)
#define ON_WM_NCPAINT() QV_ON_MSG(WM_NCPAINT, AfxVoid, void(), OnNcPaint)
#define ON_WM_ERASEBKGND() QV_ON_MSG(WM_ERASEBKGND, AfxEraseBkgnd, BOOL(CDC*), OnEraseBkgnd)
#define ON_WM_TIMER() QV_ON_MSG(WM_TIMER, AfxTimer, void(UINT_PTR), OnTimer)
#define ON_WM_SETFOCUS() QV_ON_MSG(WM_SETFOCUS, AfxFocus, void(CWnd*), OnSetFocus)
#define ON_WM_KILLFOCUS() QV_ON_MSG(WM_KILLFOCUS, AfxFocus, void(CWnd*), OnKillFocus)
#define ON_WM_CAPTURECHANGED() QV_ON_MSG(WM_CAPTURECHANGED, AfxCaptureChanged, void(CWnd*), OnCaptureChanged)
#define ON_WM_CANCELMODE() QV_ON_MSG(WM_CANCELMODE, AfxVoid, void(), OnCancelMode)
#define ON_WM_ACTIVATE() QV_ON_MSG(WM_ACTIVATE, AfxActivate, void(UINT, CWnd*, BOOL), OnActivate)
#define ON_WM_ACTIVATEAPP() QV_ON_MSG(WM_ACTIVATEAPP, AfxActivateApp, void(BOOL, DWORD), OnActivateApp)
#define ON_WM_NCACTIVATE() QV_ON_MSG(WM_NCACTIVATE, AfxBoolResultBoolArg, BOOL(BOOL), OnNcActivate)
#define ON_WM_ENABLE() QV_ON_MSG(WM_ENABLE, AfxBoolArg, void(BOOL), OnEnable)
#define ON_WM_SHOWWINDOW() QV_ON_MSG(WM_SHOWWINDOW, AfxShowWindow, void(BOOL, UINT), OnShowWindow)
#define ON_WM_WINDOWPOSCHANGING() QV_ON_MSG(WM_WINDOWPOSCHANGING, AfxWindowPos, void(WINDOWPOS*), OnWindowPosChanging)
#define ON_WM_WINDOWPOSCHANGED() QV_ON_MSG(WM_WINDOWPOSCHANGED, AfxWindowPos, void(WINDOWPOS*), OnWindowPosChanged)
#define ON_WM_GETMINMAXINFO() QV_ON_MSG(WM_GETMINMAXINFO, AfxMinMax, void(MINMAXINFO*), OnGetMinMaxInfo)
#define ON_WM_SIZING() QV_ON_MSG(WM_SIZING, AfxSizing, void(UINT, LPRECT), OnSizing)
#define ON_WM_NCCALCSIZE() QV_ON_MSG(WM_NCCALCSIZE, AfxNcCalcSize, void(BOOL, NCCALCSIZE_PARAMS*), OnNcCalcSize)
#define ON_WM_NCHITTEST() QV_ON_MSG(WM_NCHITTEST, AfxNcHitTest, LRESULT(CPoint), OnNcHitTest)
#define ON_WM_NCMOUSEMOVE() QV_ON_MSG(WM_NCMOUSEMOVE, AfxNcMouse, void(UINT, CPoint), OnNcMouseMove)
#define ON_WM_NCLBUTTONDOWN() QV_ON_MSG(WM_NCLBUTTONDOWN, AfxNcMouse, void(UINT, CPoint), OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() QV_ON_MSG(WM_NCLBUTTONUP, AfxNcMouse, void(UINT, CPoint), OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() QV_ON_MSG(WM_NCLBUTTONDBLCLK, AfxNcMouse, void(UINT, CPoint), OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() QV_ON_MSG(WM_NCRBUTTONDOWN, AfxNcMouse, void(UINT, CPoint), OnNcRButtonDown)
#define ON_WM_MOUSEMOVE() QV_ON_MSG(WM_MOUSEMOVE, AfxMouse, void(UINT, CPoint), OnMouseMove)
#define ON_WM_LBUTTONDOWN() QV_ON_MSG(WM_LBUTTONDOWN, AfxMouse, void(UINT, CPoint), OnLButtonDown)
#define ON_WM_LBUTTONUP() QV_ON_MSG(WM_LBUTTONUP, AfxMouse, void(UINT, CPoint), OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() QV_ON_MSG(WM_LBUTTONDBLCLK, AfxMouse, void(UINT, CPoint), OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() QV_ON_MSG(WM_RBUTTONDOWN, AfxMouse, void(UINT, CPoint), OnRButtonDown)
#define ON_WM_RBUTTONUP() QV_ON_MSG(WM_RBUTTONUP, AfxMouse, void(UINT, CPoint), OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() QV_ON_MSG(WM_RBUTTONDBLCLK, AfxMouse, void(UINT, CPoint), OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() QV_ON_MSG(WM_MBUTTONDOWN, AfxMouse, void(UINT, CPoint), OnMButtonDown)
#define ON_WM_MBUTTONUP() QV_ON_MSG(WM_MBUTTONUP, AfxMouse, void(UINT, CPoint), OnMButtonUp)
#define ON_WM_MOUSEWHEEL() QV_ON_MSG(WM_MOUSEWHEEL, AfxMouseWheel, BOOL(UINT, short, CPoint), OnMouseWheel)
#define ON_WM_MOUSEACTIVATE() QV_ON_MSG(WM_MOUSEACTIVATE, AfxMouseActivate, int(CWnd*, UINT, UINT), OnMouseActivate)
#define ON_WM_SETCURSOR() QV_ON_MSG(WM_SETCURSOR, AfxSetCursor, BOOL(CWnd*, UINT, UINT), OnSetCursor)
#define ON_WM_KEYDOWN() QV_ON_MSG(WM_KEYDOWN, AfxKey, void(UINT, UINT, UINT), OnKeyDown)
#define ON_WM_KEYUP() QV_ON_MSG(WM_KEYUP, AfxKey, void(UINT, UINT, UINT), OnKeyUp)
#define ON_WM_CHAR() QV_ON_MSG(WM_CHAR, AfxKey, void(UINT, UINT, UINT), OnChar)
#define ON_WM_SYSKEYDOWN() QV_ON_MSG(WM_SYSKEYDOWN, AfxKey, void(UINT, UINT, UINT), OnSysKeyDown)
#define ON_WM_SYSKEYUP() QV_ON_MSG(WM_SYSKEYUP, AfxKey, void(UINT, UINT, UINT), OnSysKeyUp)
#define ON_WM_SYSCHAR() QV_ON_MSG(WM_SYSCHAR, AfxKey, void(UINT, UINT, UINT), OnSysChar)
#define ON_WM_CONTEXTMENU() QV_ON_MSG(WM_CONTEXTMENU, AfxContextMenu, void(CWnd*, CPoint), OnContextMenu)
#define ON_WM_GETDLGCODE() QV_ON_MSG(WM_GETDLGCODE, AfxUintResult, UINT(), OnGetDlgCode)
#define ON_WM_INITMENU() QV_ON_MSG(WM_INITMENU, AfxInitMenu, void(CMenu*), OnInitMenu)
#define ON_WM_INITMENUPOPUP() QV_ON_MSG(WM_INITMENUPOPUP, AfxInitMenuPopup, void(CMenu*, UINT, BOOL), OnInitMenuPopup)
#define ON_WM_STYLECHANGED() QV_ON_MSG(WM_STYLECHANGED, AfxStyleChanged, void(int, LPSTYLESTRUCT), OnStyleChanged)
#define ON_WM_HSCROLL() QV_ON_MSG(WM_HSCROLL, AfxScroll, void(UINT, UINT, CScrollBar*), OnHScroll)
#define ON_WM_VSCROLL() QV_ON_MSG(WM_VSCROLL, AfxScroll, void(UINT, UINT, CScrollBar*), OnVScroll)
#define ON_WM_SYSCOLORCHANGE() QV_ON_MSG(WM_SYSCOLORCHANGE, AfxVoid, void(), OnSysColorChange)
#define ON_WM_SETTINGCHANGE() QV_ON_MSG(WM_SETTINGCHANGE, AfxSettingChange, void(UINT, LPCWSTR), OnSettingChange)
#define ON_WM_SYSCOMMAND() QV_ON_MSG(WM_SYSCOMMAND, AfxSysCommand, void(UINT, LPARAM), OnSysCommand)
// One handler, OnCtlColor(CDC*, CWnd*, UINT kind), for the colour requests of every kind.
#define QV_ON_CTLCOLOR(kind)                                                                              \
  {WM_CTLCOLORMSGBOX + (kind), 0, 0, 0, AfxKind::Message,                                                  \
   &AfxCtlColor<static_cast<AfxMemFn<ThisClass, HBRUSH(CDC*, CWnd*, UINT)>>(&ThisClass::OnCtlColor), (kind)>},
#define ON_WM_CTLCOLOR()                                                                                  \
  QV_ON_CTLCOLOR(CTLCOLOR_MSGBOX) QV_ON_CTLCOLOR(CTLCOLOR_EDIT) QV_ON_CTLCOLOR(CTLCOLOR_LISTBOX)           \
  QV_ON_CTLCOLOR(CTLCOLOR_BTN) QV_ON_CTLCOLOR(CTLCOLOR_DLG) QV_ON_CTLCOLOR(CTLCOLOR_SCROLLBAR)             \
  QV_ON_CTLCOLOR(CTLCOLOR_STATIC)

#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id), AfxKind::Command, &AfxCmd<static_cast<void (ThisClass::*)()>(memberFxn)>},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                  \
  {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(idLast), AfxKind::CommandRange, \
   &AfxCmdRange<static_cast<void (ThisClass::*)(UINT)>(memberFxn)>},
#define ON_COMMAND_EX(id, memberFxn) \
  {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id), AfxKind::CommandEx, &AfxCmdEx<static_cast<BOOL (ThisClass::*)(UINT)>(memberFxn)>},
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                        \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, static_cast<UINT>(id), static_cast<UINT>(id), AfxKind::UpdateUI, \
   &AfxCmdUI<static_cast<void (ThisClass::*)(CCmdUI*)>(memberFxn)>},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                                   \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, static_cast<UINT>(id), static_cast<UINT>(idLast), AfxKind::UpdateUIRange, \
   &AfxCmdUI<static_cast<void (ThisClass::*)(CCmdUI*)>(memberFxn)>},
// A notification that a control sends its parent as WM_COMMAND (BN_CLICKED and the like).
#define ON_CONTROL(code, id, memberFxn) \
  {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), AfxKind::Command, &AfxCmd<static_cast<void (ThisClass::*)()>(memberFxn)>},
// The notifications of the standard controls by name.
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_CONTROL_RANGE(code, id, idLast, memberFxn)                                                      \
  {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(idLast), AfxKind::CommandRange, \
   &AfxCmdRange<static_cast<void (ThisClass::*)(UINT)>(memberFxn)>},
#define ON_NOTIFY(code, id, memberFxn)                                                         \
  {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), AfxKind::Notify, \
   &AfxNotify<static_cast<void (ThisClass::*)(NMHDR*, LRESULT*)>(memberFxn)>},
#define ON_NOTIFY_RANGE(code, id, idLast, memberFxn)                                                    \
  {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(idLast), AfxKind::NotifyRange, \
   &AfxNotifyRange<static_cast<void (ThisClass::*)(UINT, NMHDR*, LRESULT*)>(memberFxn)>},
#define ON_NOTIFY_EX(code, id, memberFxn)                                                        \
  {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), AfxKind::NotifyEx, \
   &AfxNotifyEx<static_cast<BOOL (ThisClass::*)(UINT, NMHDR*, LRESULT*)>(memberFxn)>},
#define ON_NOTIFY_EX_RANGE(code, id, idLast, memberFxn)                                                   \
  {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(idLast), AfxKind::NotifyEx, \
   &AfxNotifyEx<static_cast<BOOL (ThisClass::*)(UINT, NMHDR*, LRESULT*)>(memberFxn)>},
// A control's own handlers for what it sent its parent (reflected back to it).
#define ON_CONTROL_REFLECT(code, memberFxn) \
  {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(code), 0, 0, AfxKind::Command, &AfxCmd<static_cast<void (ThisClass::*)()>(memberFxn)>},
#define ON_NOTIFY_REFLECT(code, memberFxn)                                      \
  {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0, AfxKind::Notify, \
   &AfxNotify<static_cast<void (ThisClass::*)(NMHDR*, LRESULT*)>(memberFxn)>},
#define ON_NOTIFY_REFLECT_EX(code, memberFxn)                                     \
  {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0, AfxKind::NotifyEx, \
   &AfxNotifyEx<static_cast<BOOL (ThisClass::*)(UINT, NMHDR*, LRESULT*)>(memberFxn)>},
