#pragma once
// CStatusBarCtrl and CStatusBar: the status bar control, and the control bar a frame keeps along
// its bottom edge. The bar's panes are made from indicator IDs; a pane with SBPS_STRETCH takes the
// width the others leave; owner-drawn panes (SBPS_OWNERDRAW) draw in DrawItem; the idle moment asks
// the panes' update handlers (Enable, SetText, SetCheck).

#include "platform/ui/bars/CControlBar.h"
#include "platform/ui/comctl/commctrl.h"

#include <vector>

#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS SBT_NOBORDERS
#define SBPS_POPOUT SBT_POPOUT
#define SBPS_OWNERDRAW SBT_OWNERDRAW
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000

class CStatusBarCtrl : public CWnd {
  DECLARE_DYNAMIC(CStatusBarCtrl)
public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create(STATUSCLASSNAMEW, nullptr, style, rect, parent, id);
  }
  BOOL SetParts(int count, int* rights) { return static_cast<BOOL>(SendMessage(SB_SETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rights))); }
  int GetParts(int count, int* rights) const { return static_cast<int>(SendMessage(SB_GETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rights))); }
  BOOL SetText(LPCWSTR text, int part, int type) {
    return static_cast<BOOL>(SendMessage(SB_SETTEXTW, static_cast<WPARAM>(part | type), reinterpret_cast<LPARAM>(text)));
  }
  CString GetText(int part, int* type = nullptr) const;
  int GetTextLength(int part, int* type = nullptr) const;
  BOOL GetRect(int part, LPRECT rect) const {
    return static_cast<BOOL>(SendMessage(SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(rect)));
  }
  void SetMinHeight(int height) { SendMessage(SB_SETMINHEIGHT, static_cast<WPARAM>(height)); }
  BOOL SetIcon(int part, HICON icon) { return static_cast<BOOL>(SendMessage(SB_SETICON, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(icon))); }
  void SetTipText(int part, LPCWSTR text) { SendMessage(SB_SETTIPTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text)); }
  COLORREF SetBkColor(COLORREF colour) { return static_cast<COLORREF>(SendMessage(SB_SETBKCOLOR, 0, static_cast<LPARAM>(colour))); }
};

class CStatusBar : public CControlBar {
  DECLARE_DYNAMIC(CStatusBar)
public:
  CStatusBar() = default;
  BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT id = AFX_IDW_STATUS_BAR);
  BOOL CreateEx(CWnd* parent, DWORD ctrlStyle = 0, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT id = AFX_IDW_STATUS_BAR);
  // One pane per ID; ID_SEPARATOR panes have no text of their own, the first of them stretches.
  BOOL SetIndicators(const UINT* ids, int count);
  int GetCount() const { return static_cast<int>(m_panes.size()); }
  UINT GetItemID(int index) const;
  int CommandToIndex(UINT id) const;
  void GetItemRect(int index, LPRECT rect) const;
  void SetPaneInfo(int index, UINT id, UINT style, int width);
  void GetPaneInfo(int index, UINT& id, UINT& style, int& width) const;
  UINT GetPaneStyle(int index) const;
  void SetPaneStyle(int index, UINT style);
  BOOL SetPaneText(int index, LPCWSTR text, BOOL update = TRUE);
  CString GetPaneText(int index) const;
  void GetPaneText(int index, CString& text) const { text = GetPaneText(index); }
  CStatusBarCtrl& GetStatusBarCtrl() const { return *static_cast<CStatusBarCtrl*>(FromHandle(m_hWnd)); }

  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

protected:
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnSize(UINT type, int cx, int cy);
  // A part's text or drawing type set with SB_SETTEXTW becomes its pane's, so that the panes
  // the bar sends again later keep it (an owner-drawn pane stays owner-drawn).
  LRESULT OnSetPartText(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

private:
  struct Pane {
    UINT id {};
    UINT style {};
    int width {};
    CString text;
  };
  // The control's parts from the panes' widths, and each pane's text and drawing type.
  void UpdateAllPanes(BOOL sizes, BOOL texts);
  std::vector<Pane> m_panes;
  bool m_sending {};  // the bar is sending its panes to the control itself
};
