#pragma once
// CQVDockableBar: a sizing bar that hosts a child frame, which makes its view from a creation
// context, so that any view can live in a dockable, resizable pane. While docked the bar draws a
// caption strip with its title and a close button (left of the view when docked along the top or
// bottom, with the title turned upright; above it when docked at a side). The caption is active
// while the keyboard focus is inside the bar. The close button hides the bar; its frame can show
// it again. UI thread only.

#include "framework/bars/CQVControlBar.h"
#include "platform/ui/afx/CView.h"

class CQVDockableBar : public CQVControlBar {
  DECLARE_DYNAMIC(CQVDockableBar)
public:
  static constexpr int kButtonSize = 13;

  CQVDockableBar() = default;

  // frameClass null: CFrameWnd. Without a context the inner frame's only link is the thread's
  // main window as its current frame; viewClass is the view it makes. FALSE when the bar, its
  // inner frame or the view cannot be made.
  virtual BOOL Create(CWnd* parent, CRuntimeClass* viewClass, CCreateContext* context, LPCWSTR title, DWORD style,
                      UINT id, CRuntimeClass* frameClass = nullptr);
  // Caption drawn while docked.
  virtual BOOL HasGripper() const { return !IsFloating(); }

  // Empty: "Arial".
  void SetCaptionFont(LPCWSTR face) { m_strCaptionFont = face ? face : u""; }
  // The close button in window coordinates.
  CRect GetBtnRect() const { return CRect(m_ptBtn, CSize(kButtonSize, kButtonSize)); }
  void MoveBtn(CPoint pt) { m_ptBtn = pt; }
  CWnd* GetInnerWnd() const { return m_pInnerWnd; }
  BOOL HasFocus() const { return m_bHasFocus; }

  // Follows the cursor over the close button and the focus, and redraws the caption when either
  // changes.
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

protected:
  void NcPaintGripper(CDC* dc, CRect client) override;
  void NcCalcClient(LPRECT rect, UINT dockSide) override;

  int OnCreate(LPCREATESTRUCT cs);
  void OnSize(UINT type, int cx, int cy);
  LRESULT OnNcHitTest(CPoint point);
  void OnNcLButtonDown(UINT hit, CPoint point);
  void OnNcLButtonUp(UINT hit, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnCaptureChanged(CWnd* wnd);
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

private:
  bool OnCloseButton(CPoint screen) const;
  void CloseButtonReleased(CPoint screen);
  void RedrawCaption() { RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE); }

  CWnd* m_pInnerWnd {};  // the child frame; it deletes itself with its window
  CCreateContext m_context;
  CRuntimeClass* m_pInnerClass {};
  int m_cxCaption {16};
  BOOL m_bHasFocus {};
  CString m_strCaptionFont;
  BOOL m_bBtnPushed {};
  BOOL m_bBtnHot {};
  // A press began on the close button: only a release on it too closes the bar.
  BOOL m_bBtnArmed {};
  CPoint m_ptBtn;
};
