#pragma once
// CQVToolBar: the framework's tool bar. Button labels and tips come from the language files by
// command name ("TXT_" and "TIP_" + the name the command is registered under); buttons can carry
// drop-down arrows or be check buttons; child controls (combo boxes, edit fields, buttons, static
// texts, any window class) can stand in place of buttons; buttons are laid out by their measured
// sizes (a button with a label is wider than one without) and wrap into rows when the bar floats
// or docks at a side. Derived bars build their buttons in OnUpdate. UI thread only.
//
// What the hosted controls and the drop-down buttons report goes to the bar's owner (its frame),
// wherever the bar is docked.

#include "foundation/language/CQVRCMModule.h"
#include "platform/core/CObList.h"
#include "platform/ui/bars/CToolBar.h"

class CImageList;

class CQVToolBar : public CToolBar, public virtual CQVRCMModule {
  DECLARE_DYNAMIC(CQVToolBar)
public:
  CQVToolBar() = default;
  // Destroys the controls InsertControl made.
  ~CQVToolBar() override;

  // CreateEx with the control and bar styles (m_dwCtrlStyle, m_dwBarStyle), then OnUpdate.
  BOOL Create(CWnd* parent, UINT id);
  BOOL Update() { return OnUpdate(); }
  // The image size is taken from the normal list; buttons are 7 wider and 6 taller. FALSE when
  // normal is null. The bar does not own the lists.
  BOOL SetImageList(CImageList* normal, CImageList* hot = nullptr, CImageList* disabled = nullptr);
  // Label mode: 0 no labels, 1 labels beside the pictures (only of buttons HasButtonText allows),
  // 2 labels below every picture, -1 (the default) buttons left as they are.
  void ShowIconText(int mode);
  // Applies the label mode again, with the labels of the current language.
  void LoadToolBarText();
  void SetDropDown(UINT id);
  void SetCheckButton(UINT id);
  BOOL IsButtonChecked(UINT id) const;
  BOOL IsHorzDocked() const { return m_nDockSide == AFX_IDW_DOCKBAR_TOP || m_nDockSide == AFX_IDW_DOCKBAR_BOTTOM; }
  BOOL IsVertDocked() const { return m_nDockSide == AFX_IDW_DOCKBAR_LEFT || m_nDockSide == AFX_IDW_DOCKBAR_RIGHT; }
  // Measures the buttons again and lays the frame out.
  void AutoSize();
  // Makes a control of the class (derived from CComboBox, CEdit, CButton, CStatic or any CWnd;
  // any other window by the class's name as window class) and puts it in place of the button id.
  // The bar keeps and destroys the control. Null when it cannot be made.
  CWnd* InsertControl(CRuntimeClass* cls, LPCWSTR text, CRect& rect, UINT id, DWORD style);
  // Puts a child window in place of the button id: the button becomes a separator as wide as
  // rect, rect receives where the window went (centred across the button; its size stays).
  // Without such a button the window is hidden.
  CWnd* InsertControl(CWnd* wnd, CRect& rect, UINT id);

  // major << 16 | minor of the common controls, read once when the first bar is made; -1 before.
  static int GetComCtlVersion() { return s_nComCtlVersion; }

  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
  CSize CalcDynamicLayout(int length, DWORD mode) override;
  void DrawGripper(CDC* dc, const CRect& rect) override;

  // Derived bars build their buttons here; called by Create and Update.
  virtual BOOL OnUpdate() { return TRUE; }
  virtual BOOL LoadButtonText(UINT id, CString& text) { return LoadCommandText(u"TXT_", id, text); }
  virtual BOOL HasButtonText(UINT) { return TRUE; }
  virtual BOOL GetToolTipText(UINT id, CString& text) { return LoadCommandText(u"TIP_", id, text); }

  // Hide inserted controls and their placeholders while docked at the left or right side.
  int m_bHideChildWndOnVertical {0};
  DWORD m_dwCtrlStyle {TBSTYLE_FLAT};
  DWORD m_dwBarStyle {0x50402834};  // WS_CHILD | WS_VISIBLE | CBRS_GRIPPER | CBRS_TOP | CBRS_FLYBY | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC

protected:
  // The text of prefix + the name the command is registered under in the running application
  // (CQVWinApp::FindID), looked up in this bar's language file first.
  BOOL LoadCommandText(LPCWSTR prefix, UINT id, CString& text);
  // Forgets the common controls' version, so that the next bar made reads it again.
  static void ForgetComCtlVersion() { s_nComCtlVersion = -1; }

  int OnCreate(LPCREATESTRUCT cs);
  BOOL OnToolTipNotify(UINT id, NMHDR* hdr, LRESULT* result);
  BOOL OnDropDownReflect(UINT id, NMHDR* hdr, LRESULT* result);
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnWindowPosChanging(WINDOWPOS* pos);
  void OnPaint();

  DECLARE_MESSAGE_MAP()

private:
  friend class CQVToolBarLayout;
  // Writes a button unless it is that button already; redraws what changed.
  void SetButton(int index, const TBBUTTON& button);
  // Toggles the text rows to n + 1 and back, which makes the control measure its buttons again.
  void Remeasure();
  CSize CalcLayout(DWORD mode, int length);

  static inline int s_nComCtlVersion {-1};

  CString m_strToolTip;        // the text handed to the tip, kept until the next request
  CObList m_listControls;      // the controls InsertControl made (CWnd*)
  int m_nImageWidth {16};
  int m_nImageHeight {15};
  UINT m_nDockSide {};         // the parent's control ID
  int m_nTextMode {-1};
  BOOL m_bForwarding {};       // a drop-down press is on its way to the owner
};
