#pragma once
// CQVControlBar: a control bar that docks on any side of its frame, floats, and is resized by
// dragging its edges. The sizing bars of one row share the row's length and keep one common
// thickness. Each bar remembers three sizes (docked along the top or bottom, docked along the
// left or right, floating); the frame's dock state stores them (Serialized, and CQVBarState for
// the whole block).
//
// A floating bar lives in a CQVMiniDockFrameWnd and is dragged by a CQVDockContext; both come
// with EnableDocking. UI thread only.

#include "platform/ui/bars/CControlBar.h"

#include <vector>

class CArchive;

// Bar style bits (GetSCBStyle): which edges can be dragged, and how edges and the first child look.
#define SCBS_EDGELEFT 0x00000001
#define SCBS_EDGERIGHT 0x00000002
#define SCBS_EDGETOP 0x00000004
#define SCBS_EDGEBOTTOM 0x00000008
#define SCBS_EDGEALL 0x0000000F
#define SCBS_SHOWEDGES 0x00000010  // sizable edges drawn raised, taking room from the client area
#define SCBS_SIZECHILD 0x00000020  // the first child window fills the client area

class CQVControlBar : public CControlBar {
  DECLARE_DYNAMIC(CQVControlBar)
public:
  CQVControlBar() = default;

  // style: CBRS_ bits (kept as the bar's style) and window styles; the window gets WS_CLIPCHILDREN.
  // Bars that share their rows are made with CBRS_SIZE_DYNAMIC: the frame's layout asks such bars
  // for their docked size, which is when the first bar of a row shares it out.
  virtual BOOL Create(LPCWSTR title, CWnd* parent, UINT id, DWORD style);
  // Besides the base's work, makes the bar's frame float its bars in CQVMiniDockFrameWnd unless
  // the frame chose a floating-frame class of its own.
  void EnableDocking(DWORD dockStyle);

  // The bar's record in a dock state: horizontal, vertical and floating size, each width then
  // height, six 32-bit integers. Loaded values are kept within [minimum, 32767].
  virtual void Serialized(CArchive& ar);

  DWORD GetSCBStyle() const { return m_dwSCBStyle; }
  // The four edge bits are the bar's own to work out; they are cleared.
  void SetQVBStyle(DWORD style) { m_dwSCBStyle = style & ~SCBS_EDGEALL; }
  void SetMinHorz(int n) {
    m_nMinHorz = n;
    m_szMinHorz.cx = n;
  }
  void SetMinVert(int n) {
    m_nMinVert = n;
    m_szMinVert.cy = n;
  }
  int GetMinHorz() const { return m_nMinHorz; }
  int GetMinVert() const { return m_nMinVert; }

  BOOL IsFloating() const { return !IsHorzDocked() && !IsVertDocked(); }
  BOOL IsHorzDocked() const { return m_nDockBarID == AFX_IDW_DOCKBAR_TOP || m_nDockBarID == AFX_IDW_DOCKBAR_BOTTOM; }
  BOOL IsVertDocked() const { return m_nDockBarID == AFX_IDW_DOCKBAR_LEFT || m_nDockBarID == AFX_IDW_DOCKBAR_RIGHT; }
  // The dragged edge runs across the row (it shares length between neighbours rather than
  // changing the row's thickness).
  BOOL IsSideTracking() const;

  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
  CSize CalcDynamicLayout(int length, DWORD mode) override;
  void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

  // The remembered sizes (docked horizontally, vertically, floating) and their least values.
  CSize m_szHorz {200, 200};
  CSize m_szVert {200, 200};
  CSize m_szFloat {200, 200};
  CSize m_szMinHorz {150, 12};
  CSize m_szMinVert {12, 150};
  CSize m_szMinFloat {37, 32};

protected:
  virtual void StartTracking(UINT hit, CPoint pt);
  virtual void StopTracking();
  virtual void OnTrackUpdateSize(CPoint& pt);
  virtual void OnTrackInvertTracker();
  // Derived bars draw a gripper or caption here (client: the client rectangle in window
  // coordinates) and make room for it in NcCalcClient.
  virtual void NcPaintGripper(CDC*, CRect) {}
  virtual void NcCalcClient(LPRECT rect, UINT dockSide);
  virtual void AlignControlBars();

  // Shares the row's length among its sizing bars; FALSE when a row break went in before this bar.
  BOOL NegotiateSpace(int lengthTotal, BOOL horz);
  // The visible bars of this bar's row, in order, and the sizing bars among them.
  std::vector<CControlBar*> RowBars() const;
  std::vector<CQVControlBar*> RowSizingBars() const;
  // The edge rectangle of a hit code in window coordinates; empty when that edge cannot be dragged.
  CRect EdgeRect(UINT hit) const;

  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
  LRESULT OnNcHitTest(CPoint point);
  void OnNcPaint();
  void OnNcLButtonDown(UINT hit, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnCaptureChanged(CWnd* wnd);
  int OnMouseActivate(CWnd* topParent, UINT hit, UINT message);
  void OnPaint();
  void OnSize(UINT type, int cx, int cy);
  void OnWindowPosChanging(WINDOWPOS* pos);
  void OnClose() {}

  DECLARE_MESSAGE_MAP()

  DWORD m_dwSCBStyle {};
  UINT m_htEdge {};  // the edge being dragged: HTLEFT, HTRIGHT, HTTOP or HTBOTTOM
  int m_nTrackPosMin {};
  int m_nTrackPosMax {};
  int m_nTrackPosOld {};
  int m_nTrackEdgeOfs {};
  BOOL m_bTracking {};
  BOOL m_bKeepSize {};    // shown while docked: takes no part in sharing out the row
  BOOL m_bParentSizing {};  // the frame lays out its dock bars: the next fixed layout negotiates the row
  UINT m_nDockBarID {};   // the parent's control ID
  int m_cxEdge {5};
  int m_nMinHorz {150};   // least length a horizontal row's sharing aims at
  int m_nMinVert {150};

private:
  // This bar's row length, thickness and minimum length along the row (for its own row's direction).
  static int& Along(CQVControlBar* bar, BOOL horz) { return horz ? bar->m_szHorz.cx : bar->m_szVert.cy; }
  static int& Across(CQVControlBar* bar, BOOL horz) { return horz ? bar->m_szHorz.cy : bar->m_szVert.cx; }
  static int MinAlong(const CQVControlBar* bar, BOOL horz) { return horz ? bar->m_szMinHorz.cx : bar->m_szMinVert.cy; }
  static int MinAcross(const CQVControlBar* bar, BOOL horz) { return horz ? bar->m_szMinHorz.cy : bar->m_szMinVert.cx; }
};
