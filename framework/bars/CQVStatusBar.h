#pragma once
// CQVStatusBar: a status bar whose panes are made by count rather than from an indicator table.
// Panes may be drawn by the owner (OnDrawPane), carry icons and tips, and the bar may refresh
// itself on a timer (OnUpdateStatus).

#include "platform/ui/bars/CStatusBar.h"

class CDC;

class CQVStatusBar : public CStatusBar {
  DECLARE_DYNAMIC(CQVStatusBar)
public:
  // The refresh timer's ID, and its period when none (or one of 0 or less) is given.
  static constexpr UINT kRefreshTimer = 1000;
  static constexpr int kDefaultRefreshInterval = 500;

  CQVStatusBar() = default;

  // A bottom bar with a size grip and tips; starts the refresh timer when it is enabled.
  BOOL Create(CWnd* parent, UINT id);
  // `count` panes (1 to 250), all without an ID of their own; FALSE keeps the panes there were.
  BOOL SetPanes(int count);
  // The per-pane setters ignore a pane index outside 0 .. pane count - 1.
  void SetPaneInfo(int pane, UINT style, int width);
  void SetPaneText(int pane, LPCWSTR text);
  void SetPaneOwnerDraw(int pane, BOOL on);
  void SetPaneIcon(int pane, HICON icon);
  void SetPaneTip(int pane, LPCWSTR tip);
  void SetMinHeight(int height);
  // The background colour before (CLR_DEFAULT: the system's).
  COLORREF SetBackColor(COLORREF color);
  // The first pane whose rectangle holds the point (client coordinates); -1 when none.
  int HitTest(CPoint pt) const;

  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  // Draws an owner-drawn pane; `dc` is null when the control gave no device context.
  virtual void OnDrawPane(int pane, CDC* dc, CRect rect);
  // Called at every tick of the refresh timer.
  virtual void OnUpdateStatus();

protected:
  void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()

private:
  bool IsPane(int pane) const { return pane >= 0 && pane < GetCount(); }

protected:
  // Set by a derived bar before Create to have the refresh timer run, and its period.
  int m_bRefreshTimer {0};
  int m_nRefreshInterval {kDefaultRefreshInterval};
};
