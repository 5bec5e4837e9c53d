#pragma once
// CFrameWnd: a top-level window with a menu bar, control bars along its edges and a view in the
// rest of its client area.
//
// Commands reach the active view first (and through it the view's document and the document's
// template), then the frame itself, then the application. Key messages are offered to the frame's
// accelerator table before they reach a window. A menu's items are brought up to date from the
// update handlers when a pop-up opens; with m_bAutoMenuEnable (the default) an item whose command
// has no handler anywhere on that route is disabled.
//
// Layout (RecalcLayout) carves the client area in a fixed order: the status bar along the bottom,
// the control bars that sit directly in the frame (in the order of its children), then the dock
// bars of EnableDocking: top and bottom across the whole width left, left and right between them;
// the view (AFX_IDW_PANE_FIRST) gets the rest.

#include "platform/ui/afx/CWnd.h"
#include "platform/ui/bars/CControlBar.h"

#include <vector>

class CControlBar;
class CDockBar;
class CDockState;
class CDocument;
class CMiniDockFrameWnd;
class CView;
struct CCreateContext;

#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
#define FWS_SNAPTOBARS 0x00002000L

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)
public:
  CFrameWnd();

  // Placement left to the desktop.
  static const CRect rectDefault;

  virtual BOOL Create(LPCWSTR className, LPCWSTR title, DWORD style = WS_OVERLAPPEDWINDOW,
                      const RECT& rect = rectDefault, CWnd* parent = nullptr, LPCWSTR menuName = nullptr,
                      DWORD exStyle = 0, CCreateContext* context = nullptr);
  // Makes the frame with its view (from the context). The resource ID is kept as the frame's
  // help ID; title, menu and accelerators are set by the program.
  virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
                         CCreateContext* context = nullptr);
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  // Places the control bars and gives the view what is left of the client area.
  virtual void RecalcLayout(BOOL notify = TRUE);
  // Asks for RecalcLayout at the next idle moment.
  void DelayRecalcLayout(BOOL notify = TRUE);
  virtual void ActivateFrame(int cmdShow = -1);
  // Sends WM_INITIALUPDATE to the views, makes the first view active and shows the frame.
  void InitialUpdateFrame(CDocument* doc, BOOL makeVisible);
  CView* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CView* view, BOOL notify = TRUE);
  virtual CDocument* GetActiveDocument();
  CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
  virtual BOOL OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context);

  // The frame's title; the window text follows it.
  void SetTitle(LPCWSTR title);
  const CString& GetTitle() const { return m_strTitle; }

  // Shows or hides the bar at the next layout of the frame it is laid out in (its floating frame
  // while it floats): at once, or with delay at the next idle moment.
  void ShowControlBar(CControlBar* bar, BOOL show, BOOL delay);
  CControlBar* GetControlBar(UINT id) const;
  void AddControlBar(CControlBar* bar);
  void RemoveControlBar(CControlBar* bar);

  // ---- Docking ----
  // Makes the dock bars of the sides asked for (CBRS_ALIGN_*): children with the IDs
  // AFX_IDW_DOCKBAR_TOP, _LEFT, _RIGHT and _BOTTOM.
  void EnableDocking(DWORD dockStyle);
  // Docks the bar in the dock bar with that ID (0: the first of top, bottom, left, right that the
  // bar may dock on and the frame has), at the rectangle (screen coordinates; see
  // CDockBar::DockControlBar), and lays the frame out.
  void DockControlBar(CControlBar* bar, UINT dockBarId = 0, LPCRECT rect = nullptr);
  void DockControlBar(CControlBar* bar, CDockBar* dockBar, LPCRECT rect = nullptr);
  // Floats the bar in a floating frame of m_pFloatingFrameClass whose top-left corner is at the
  // point (screen coordinates); style CBRS_ALIGN_TOP lays it out horizontally, CBRS_ALIGN_LEFT
  // vertically, with CBRS_FLOAT_MULTI the frame may take more bars. A bar that already floats
  // alone in that orientation keeps its frame, which moves.
  void FloatControlBar(CControlBar* bar, CPoint point, DWORD style = CBRS_ALIGN_TOP);
  // Where a bar dragged to the rectangle (screen coordinates) would dock: the first dock bar, in
  // the order top, bottom, left, right, that dockStyle allows (CBRS_ALIGN_*), that the frame has
  // and whose window rectangle meets the rectangle; a dock bar with no room yet (no visible bar)
  // reaches 4 pixels to either side of its edge. Answers that side's CBRS_ALIGN_* bit (0: none)
  // and the dock bar.
  DWORD CanDock(CRect rect, DWORD dockStyle, CDockBar** dockBar = nullptr);
  // A new floating frame of m_pFloatingFrameClass (derived from CMiniDockFrameWnd), made with
  // its Create(this, style); null when it cannot be made.
  virtual CMiniDockFrameWnd* CreateFloatingFrame(DWORD style);
  // The docking layout of the frame's control bars (bars without an ID and empty dock bars are
  // left out).
  void GetDockState(CDockState& state) const;
  // Puts the bars back as the state says: each dock bar's rows (a floating dock bar's in a new
  // floating frame at its place), each bar's visibility and last docked and floating places.
  // IDs that no bar of the frame has are passed over; bars the state does not name stay where
  // they are.
  void SetDockState(const CDockState& state);

  std::vector<CControlBar*> m_listControlBars;
  CRuntimeClass* m_pFloatingFrameClass {};  // CMiniDockFrameWnd unless a derived frame says otherwise
  BOOL m_bAutoMenuEnable {TRUE};
  HACCEL m_hAccelTable {};
  UINT m_nIDHelp {};

protected:
  void PostNcDestroy() override { delete this; }
  int OnCreate(LPCREATESTRUCT cs);
  void OnClose();
  void OnSize(UINT type, int cx, int cy);
  void OnSetFocus(CWnd* old);
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  void OnInitMenuPopup(CMenu* popup, UINT index, BOOL sysMenu);
  LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM);

  CString m_strTitle;
  CView* m_pViewActive {};
  BOOL m_bInRecalcLayout {};
  BOOL m_bLayoutPending {};

  DECLARE_MESSAGE_MAP()
};
