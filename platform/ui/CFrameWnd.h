#pragma once
// CFrameWnd: a top-level window with a menu bar, control bars along its edges and a view in the
// rest of its client area.
//
// Commands reach the active view first (and through it the view's document and the document's
// template), then the frame itself, then the application. Key messages are offered to the frame's
// accelerator table before they reach a window. A menu's items are brought up to date from the
// update handlers when a pop-up opens; with m_bAutoMenuEnable (the default) an item whose command
// has no handler anywhere on that route is disabled.

#include "platform/ui/CWnd.h"

#include <vector>

class CControlBar;
class CDocument;
class CView;
struct CCreateContext;

#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
#define FWS_SNAPTOBARS 0x00002000L

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)
public:
  CFrameWnd() = default;

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

  void ShowControlBar(CControlBar* bar, BOOL show, BOOL delay);
  CControlBar* GetControlBar(UINT id) const;
  void AddControlBar(CControlBar* bar);
  void RemoveControlBar(CControlBar* bar);

  std::vector<CControlBar*> m_listControlBars;
  BOOL m_bAutoMenuEnable {TRUE};
  HACCEL m_hAccelTable {};
  UINT m_nIDHelp {};

protected:
  void PostNcDestroy() override { delete this; }
  int OnCreate(LPCREATESTRUCT cs);
  void OnClose();
  void OnSize(UINT type, int cx, int cy);
  void OnSetFocus(CWnd* old);
  void OnInitMenuPopup(CMenu* popup, UINT index, BOOL sysMenu);
  LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM);

  CString m_strTitle;
  CView* m_pViewActive {};
  BOOL m_bInRecalcLayout {};
  BOOL m_bLayoutPending {};

  DECLARE_MESSAGE_MAP()
};
