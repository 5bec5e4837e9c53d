#pragma once
// Internal to platform/ui: included only by its own files (a test of the build checks this).
// Inside the window layer: the records behind window handles, and the calls the layer's own files
// make on them. Not for use outside platform/ui.
//
// A record lives from CreateWindowExW until its WM_NCDESTROY has been handled. Records are only
// touched on the UI thread; the table's lock guards the set of live handles, which PostMessageW
// and IsWindow read from other threads. Code that sends a message must look its record up again
// afterwards: the window may be gone.

#include "platform/core/CString.h"
#include "platform/gdi/CDCSurface.h"
#include "platform/ui/win/winuser.h"

#include <QImage>
#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QRegion>

#include <map>
#include <memory>
#include <optional>
#include <vector>

class CWnd;
class COleDropTarget;
class QWidget;
class QMenuBar;

// The layer's own window classes: plain windows, frames and views, control bars.
#define AFX_WND u"AfxWnd"
#define AFX_WNDFRAMEORVIEW u"AfxFrameOrView"
#define AFX_WNDCONTROLBAR u"AfxControlBar"

class QColor;
class QIcon;

namespace qvui {

class WindowHost;

// The retained image of a window (its rectangle less the desktop's frame). What device contexts
// draw on it goes to the screen when the drawing call ends.
class WindowSurface : public CImageSurface {
public:
  WindowSurface(HWND hwnd, QImage image) : CImageSurface(std::move(image)), m_hwnd(hwnd) {}
  void EndAccess(const QRect& changed) override;
  std::optional<QPoint> ScreenPosition() const override;

private:
  HWND m_hwnd {};
};

struct WindowClass {
  CString name;
  UINT style {};
  WNDPROC proc {};
  HINSTANCE instance {};
  HICON icon {};
  HCURSOR cursor {};
  HBRUSH background {};
  bool application {};  // registered by the program (claims the name for single-instance checks)
  // A top-level window of the class draws its caption and border itself: the desktop adds none.
  bool ownFrame {};
  // A control class makes the Qt widget that fills the client area (in place of the plain one);
  // its procedure handles the control's messages and hands the input it does not take on to it.
  QWidget* (*makeControl)(HWND hwnd, QWidget* host) {};
};

struct WindowRecord {
  HWND handle {};
  std::shared_ptr<WindowClass> windowClass;
  WNDPROC proc {};
  CWnd* object {};  // the CWnd attached to the window, if any
  HINSTANCE instance {};
  HWND parent {};
  HWND owner {};
  std::vector<HWND> children;  // stacking order, topmost first
  DWORD style {};
  DWORD exStyle {};
  LONG_PTR id {};
  LONG_PTR userData {};
  CString text;
  HFONT font {};
  HMENU menu {};
  HICON icons[2] {};  // ICON_SMALL, ICON_BIG

  QRect window;   // parent's client coordinates, or the screen for a top-level window
  QRect client;   // relative to the window rectangle
  QMargins frame; // what the desktop's window manager adds around a top-level window
  std::optional<QPoint> frameTarget;  // where a shown window's frame goes once the manager has framed it
  QPointer<WindowHost> host;
  QPointer<QWidget> clientWidget;
  QPointer<QMenuBar> menuBar;

  std::shared_ptr<WindowSurface> surface;
  QRegion shape;           // the window region (window coordinates); empty: none
  bool shaped {};
  QRect paintedClient;     // the client rectangle the surface was last laid out for
  QRegion invalid;         // client coordinates, waiting for WM_PAINT
  bool eraseInvalid {};
  bool frameInvalid {};
  int paintDepth {};       // BeginPaint calls not yet ended
  std::map<UINT_PTR, int> timers;  // timer ID -> Qt timer

  bool destroying {};
  bool remote {};          // a stand-in for a window of another process (FindWindowW)
  bool borrowed {};        // over a widget another window's widget owns and places: no host
  bool iconic {};          // minimised (kept in step with the Qt window state)
  bool zoomed {};
  QRect normalRect;        // placement of a top-level window when neither minimised nor maximised
};

// ---- The table ----------------------------------------------------------------------------------
WindowRecord* Find(HWND hwnd);
// The record, or null with ERROR_INVALID_WINDOW_HANDLE set.
WindowRecord* Get(HWND hwnd);
WindowRecord& Add(std::unique_ptr<WindowRecord> record);
void Remove(HWND hwnd);
bool IsLive(HWND hwnd);
std::vector<HWND> TopLevelWindows();
bool IsUiThread();

// ---- Classes ------------------------------------------------------------------------------------
std::shared_ptr<WindowClass> FindClass(LPCWSTR name);
// Creates a child window of the class over `widget` (see BorrowWidget), which takes the place of
// the widget the class would make.
HWND CreateWindowOverWidget(LPCWSTR className, DWORD style, HWND parent, int id, QWidget* widget);
// The layer's own classes (generic windows, frames, views, bars); registered on first use.
void RegisterBuiltinClasses();
void RegisterBuiltinClass(const WNDCLASSW& wc);
// A control class of the layer (see WindowClass::makeControl); a class of that name is replaced.
void RegisterControlClass(const WNDCLASSW& wc, QWidget* (*makeControl)(HWND hwnd, QWidget* host));

// ---- The MFC layer (CWnd.cpp) -------------------------------------------------------------------
struct CreatingObject {
  // Attaches the CWnd whose CreateEx is running to the new window, before its first message.
  static void AttachTo(HWND hwnd);
};
// Names the CWnd that the next window made is attached to (as CWnd::CreateEx does); answers the
// one named before.
CWnd* SetCreatingObject(CWnd* wnd);
// The window's last message has been handled: wrappers made for it can go.
void WindowGone(HWND hwnd);

// ---- Single instance (instance.cpp) -------------------------------------------------------------
void ClaimInstance(const CString& className);
// A stand-in window for another process's claim of the class, or null.
HWND FindRemoteInstance(LPCWSTR className);
bool RemoteIsIconic(WindowRecord& rec);
bool RemoteShow(WindowRecord& rec, int command);
bool RemoteForeground(WindowRecord& rec);
// Carries out what another process asked of this class's window before it was shown.
void OnTopLevelShown(HWND hwnd);

// ---- Geometry and widgets -----------------------------------------------------------------------
bool IsTopLevel(const WindowRecord& rec);
// Whether the desktop draws the window's caption and frame: a top-level window with WS_CAPTION
// whose class does not draw its own.
bool HasDesktopCaption(const WindowRecord& rec);
// Screen position of the window's client area (0,0) and of its window rectangle (0,0).
QPoint ClientOrigin(const WindowRecord& rec);
QPoint WindowOrigin(const WindowRecord& rec);
void CreateWidgets(WindowRecord& rec);
// A window over a widget that another window's widget owns and places (the edit field of a combo
// box): the record has no host, the widget is its client widget, and its rectangle and visibility
// follow the widget's. The widget may go before the window does.
void BorrowWidget(WindowRecord& rec, QWidget* widget);
// The window is going: its widget stays with its owner and no longer stands for it.
void ReleaseBorrowedWidget(WindowRecord& rec);
// The widget that stands for the whole window (focus, capture, cursor): its host, or the widget
// of a window over a borrowed widget.
QWidget* OuterWidget(const WindowRecord& rec);
// Puts the record's window and client rectangles onto the widgets.
void ApplyGeometry(WindowRecord& rec);
// Asks the window for its client rectangle (WM_NCCALCSIZE) and applies it. Returns whether the
// window still exists.
bool RecalcFrame(HWND hwnd);
// The client area the default frame leaves inside a window rectangle of this style.
QRect DefaultClientRect(const WindowRecord& rec, QRect windowRectInWindowCoords);
int MenuBarHeight(const WindowRecord& rec);
// The default answer to WM_WINDOWPOSCHANGED: WM_MOVE and WM_SIZE when the client area moved or
// changed its size.
LRESULT DefWindowPosChanged(HWND hwnd, const WINDOWPOS* wp);
// Syncs a top-level window's record after the desktop moved, resized or minimised it.
void SyncFromDesktop(HWND hwnd);
// The frame the desktop draws around a top-level window: the one it has, or for a window not yet
// shown the one the desktop last drew around a window with the same kind of border.
QMargins ExpectedDesktopFrame(const WindowRecord& rec);

// ---- Scroll bars (scrollbar.cpp) ---------------------------------------------------------------
// Puts a window's own scroll bars into the room its frame leaves for them.
void PlaceScrollBars(WindowRecord& rec);
void ForgetScrollBars(HWND hwnd);

// ---- Painting -----------------------------------------------------------------------------------
QColor SysColor(int index);
// What BeginPaint/EndPaint do to the update region: validate it (and erase it when asked).
void ValidatePaint(HWND hwnd);
// The client rectangle in surface coordinates.
QRect ClientInSurface(const WindowRecord& rec);
// Fills what the DC can draw with the class background; FALSE when the class has none.
BOOL EraseBackground(WindowRecord& rec, HDC dc);
void ResizeSurface(WindowRecord& rec, bool redrawAll);
void Invalidate(WindowRecord& rec, const QRegion& clientRegion, bool erase);
void InvalidateFrame(WindowRecord& rec);
// A device context on the window's surface: the client area, or with window set the whole window;
// drawing is limited to visible (device coordinates), when given.
HDC SurfaceDC(WindowRecord& rec, bool window, const QRegion* visible = nullptr);
// Sends WM_ERASEBKGND with a DC on what is invalid.
void EraseNow(HWND hwnd);
QRegion RegionOf(HRGN region);
// Sends WM_NCPAINT and WM_PAINT for what is invalid.
void PaintNow(HWND hwnd);
void FlushToScreen(WindowRecord& rec, const QRect& surfaceRect);

// ---- Messages -----------------------------------------------------------------------------------
// Hands an input message to the thread's queue and, unless a GetMessageW caller is waiting,
// pumps it: the application's filter, then translation and dispatch.
void QueueInput(const MSG& msg, const QString& text = QString());
// The application's pre-translation filter (CWinThread installs it); TRUE eats the message.
using MessageFilter = BOOL (*)(MSG*);
void SetMessageFilter(MessageFilter filter);
MessageFilter GetMessageFilter();
void EnsureMessageQueue();
// Called when the UI thread is about to wait for events and nothing is queued.
// It is called with a count that starts at 0 after each message and goes on while it answers TRUE.
using IdleHandler = BOOL (*)(LONG count);
void SetIdleHandler(IdleHandler handler);
void RemovePostedMessages(HWND hwnd);
LONG MessageTime();

// ---- Input --------------------------------------------------------------------------------------
void OnWindowDestroyed(HWND hwnd);  // drops focus, capture and timers of a dying window
// TRUE while a control hands an input message back to its widget: the window's own widgets then
// take no input (an event the control's widget ignores reaches them on its way up).
bool IsReplayingInput();
// A widget of the window took Qt's keyboard focus (a click, the desktop): the window gets it too.
void FocusFromWidget(HWND hwnd);
// Qt says the pointer left a widget of the layer: the watched window (TrackMouseEvent) hears of
// it unless the pointer is still over that window.
void PointerLeftWidget();
void UpdateKeyState(int virtualKey, bool down);
void SetButtonState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
QCursor CursorFor(HCURSOR cursor);
void KillAllTimers(WindowRecord& rec);

// ---- Drag and drop (COleDropTarget.cpp) -----------------------------------------------------------
// The target registered on a window. Each registration has a serial number of its own, so that a
// drag can tell whether the target it talks to is still the one on the window.
struct DropRegistration {
  COleDropTarget* target {};
  unsigned serial {};
};
DropRegistration DropTargetOf(HWND hwnd);
// The window is being destroyed: its target leaves it.
void RevokeDropTargetOf(HWND hwnd);

// ---- Menus --------------------------------------------------------------------------------------
void RealizeMenuBar(WindowRecord& rec);
void DestroyMenuBar(WindowRecord& rec);
// Menu mode from the keyboard: the first item of the window's menu bar highlighted, the arrows
// moving along the bar, Escape leaving it.
void EnterMenuMode(WindowRecord& rec);
// The icon of a menu item from its check-mark bitmaps (unchecked = off, checked = on).
QIcon MenuIcon(HBITMAP unchecked, HBITMAP checked);

// ---- Pictures (bitmapimage.cpp) -------------------------------------------------------------------
QImage ImageOfBitmap(HBITMAP bitmap);
HBITMAP BitmapOfImage(const QImage& image);
// A packed DIB (header, colour table, rows) of `size` bytes; a null image when it is malformed.
QImage ImageOfPackedDib(const BYTE* data, SIZE_T size);
// A 24-bit bottom-up packed DIB in movable global memory.
HGLOBAL PackedDibOfImage(const QImage& image);

// ---- Icons (icon.cpp) ------------------------------------------------------------------------------
// The picture of an icon, with its transparency (null for a handle that is no icon).
QImage ImageOfIcon(HICON icon);
// A new icon of the picture (its alpha channel is the transparency).
HICON IconOfImage(const QImage& image);

}  // namespace qvui
