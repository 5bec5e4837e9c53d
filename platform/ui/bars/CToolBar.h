#pragma once
// CToolBarCtrl and CToolBar: the tool bar control, and the control bar a frame keeps along an edge
// with one button per command. A click sends the command to the frame (WM_COMMAND with code 0 and
// the bar, so a command its update handler disables does not run); the idle moment asks the
// buttons' update handlers (Enable, SetCheck).

#include "platform/core/CMapStringToPtr.h"
#include "platform/ui/bars/CControlBar.h"
#include "platform/ui/comctl/commctrl.h"

#include <memory>
#include <vector>

class CImageList;

// The button styles of CToolBar: the control's style in the low word, its state in the high one,
// with "disabled" for a button that is not enabled.
#define TBBS_BUTTON MAKELONG(TBSTYLE_BUTTON, 0)
#define TBBS_SEPARATOR MAKELONG(TBSTYLE_SEP, 0)
#define TBBS_CHECKBOX MAKELONG(TBSTYLE_CHECK, 0)
#define TBBS_GROUP MAKELONG(TBSTYLE_GROUP, 0)
#define TBBS_CHECKGROUP MAKELONG(TBSTYLE_CHECKGROUP, 0)
#define TBBS_DROPDOWN MAKELONG(TBSTYLE_DROPDOWN, 0)
#define TBBS_AUTOSIZE MAKELONG(TBSTYLE_AUTOSIZE, 0)
#define TBBS_CHECKED MAKELONG(0, TBSTATE_CHECKED)
#define TBBS_PRESSED MAKELONG(0, TBSTATE_PRESSED)
#define TBBS_DISABLED MAKELONG(0, TBSTATE_ENABLED)
#define TBBS_INDETERMINATE MAKELONG(0, TBSTATE_INDETERMINATE)
#define TBBS_HIDDEN MAKELONG(0, TBSTATE_HIDDEN)
#define TBBS_WRAPPED MAKELONG(0, TBSTATE_WRAP)

class CToolBarCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolBarCtrl)
public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create(TOOLBARCLASSNAMEW, nullptr, style, rect, parent, id);
  }
  BOOL AddButtons(int count, LPCTBBUTTON buttons) {
    return static_cast<BOOL>(SendMessage(TB_ADDBUTTONSW, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(buttons)));
  }
  BOOL InsertButton(int index, LPCTBBUTTON button) {
    return static_cast<BOOL>(SendMessage(TB_INSERTBUTTONW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(button)));
  }
  BOOL DeleteButton(int index) { return static_cast<BOOL>(SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(index))); }
  BOOL GetButton(int index, LPTBBUTTON button) const {
    return static_cast<BOOL>(SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(button)));
  }
  int GetButtonCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
  int CommandToIndex(UINT id) const { return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, id)); }
  BOOL GetItemRect(int index, LPRECT rect) const {
    return static_cast<BOOL>(SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)));
  }
  BOOL SetButtonSize(CSize size) { return static_cast<BOOL>(SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(size.cx, size.cy))); }
  CSize GetButtonSize() const {
    auto r = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
    return CSize(LOWORD(r), HIWORD(r));
  }
  BOOL SetBitmapSize(CSize size) { return static_cast<BOOL>(SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(size.cx, size.cy))); }
  void AutoSize() { SendMessage(TB_AUTOSIZE); }
  // Each answers the list before; the control does not own the lists.
  HIMAGELIST SetImageList(CImageList* list);
  HIMAGELIST SetHotImageList(CImageList* list);
  HIMAGELIST SetDisabledImageList(CImageList* list);
  // Texts each ending in a null, with a second null after the last; answers the first's index.
  int AddStrings(LPCWSTR strings) { return static_cast<int>(SendMessage(TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(strings))); }
  BOOL SetMaxTextRows(int rows) { return static_cast<BOOL>(SendMessage(TB_SETMAXTEXTROWS, static_cast<WPARAM>(rows))); }
  int GetMaxTextRows() const { return static_cast<int>(SendMessage(TB_GETTEXTROWS)); }
  DWORD SetExtendedStyle(DWORD style) { return static_cast<DWORD>(SendMessage(TB_SETEXTENDEDSTYLE, 0, style)); }
  DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(TB_GETEXTENDEDSTYLE)); }
  BOOL EnableButton(int id, BOOL enable = TRUE) { return static_cast<BOOL>(SendMessage(TB_ENABLEBUTTON, static_cast<WPARAM>(id), MAKELPARAM(enable, 0))); }
  BOOL CheckButton(int id, BOOL check = TRUE) { return static_cast<BOOL>(SendMessage(TB_CHECKBUTTON, static_cast<WPARAM>(id), MAKELPARAM(check, 0))); }
  BOOL HideButton(int id, BOOL hide = TRUE) { return static_cast<BOOL>(SendMessage(TB_HIDEBUTTON, static_cast<WPARAM>(id), MAKELPARAM(hide, 0))); }
  BOOL IsButtonEnabled(int id) const { return SendMessage(TB_ISBUTTONENABLED, static_cast<WPARAM>(id)) == 1; }
  BOOL IsButtonChecked(int id) const { return SendMessage(TB_ISBUTTONCHECKED, static_cast<WPARAM>(id)) == 1; }
  BOOL IsButtonHidden(int id) const { return SendMessage(TB_ISBUTTONHIDDEN, static_cast<WPARAM>(id)) == 1; }
  int GetState(int id) const { return static_cast<int>(SendMessage(TB_GETSTATE, static_cast<WPARAM>(id))); }
  BOOL SetState(int id, UINT state) { return static_cast<BOOL>(SendMessage(TB_SETSTATE, static_cast<WPARAM>(id), MAKELPARAM(state, 0))); }
};

// A bar of tool buttons along an edge of its frame, or floating. Its window is the tool bar control.
//
// Layout: docked along the top or bottom the buttons stand in one row; along the left or right in
// one column. A floating bar with CBRS_SIZE_DYNAMIC wraps to the width committed last
// (m_nMRUWidth), or to a length it is asked for: a width, or with LM_LENGTHY a height (the
// narrowest layout no taller than that). CBRS_SIZE_FIXED keeps the rows as they are. A row breaks
// after its last separator that fits, else before the button that does not fit; a separator with
// a command ID holds a control and never breaks a row. Buttons measure as the control's item
// rectangles. LM_COMMIT writes the breaks into the control (TBSTATE_WRAP) and, for a floating
// dynamic bar, keeps the width; a bar whose buttons or docking changed commits its layout before
// it paints or answers an item rectangle.
class CToolBar : public CControlBar {
  DECLARE_DYNAMIC(CToolBar)
public:
  CToolBar();
  ~CToolBar() override;
  BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR);
  // `borders`: the margins inside the bar's borders, as for a horizontal bar.
  BOOL CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                CRect borders = CRect(0, 0, 0, 0), UINT id = AFX_IDW_TOOLBAR);
  // One button per ID, pictures in order; ID_SEPARATOR (0) makes a separator.
  BOOL SetButtons(const UINT* ids, int count);
  void SetSizes(SIZE button, SIZE image);
  // The pictures side by side in one bitmap, each as big as SetSizes said.
  BOOL SetBitmap(HBITMAP bitmap);
  int GetCount() const;
  UINT GetItemID(int index) const;
  int CommandToIndex(UINT id) const;
  void GetItemRect(int index, LPRECT rect) const;
  UINT GetButtonStyle(int index) const;
  void SetButtonStyle(int index, UINT style);
  // For a separator (TBBS_SEPARATOR) the image is its width.
  void GetButtonInfo(int index, UINT& id, UINT& style, int& image) const;
  void SetButtonInfo(int index, UINT id, UINT style, int image);
  // Each distinct label goes into the control's string pool once (m_pStringMap).
  BOOL SetButtonText(int index, LPCWSTR text);
  CString GetButtonText(int index) const;
  CToolBarCtrl& GetToolBarCtrl() const { return *static_cast<CToolBarCtrl*>(FromHandle(m_hWnd)); }

  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
  CSize CalcDynamicLayout(int length, DWORD mode) override;
  void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

protected:
  void OnBarStyleChange(DWORD oldStyle, DWORD newStyle) override;
  // The button under the point; separators and the space beside the buttons belong to the bar.
  int ItemFromPoint(CPoint point) const override;
  // Commits the layout of the bar's docking state: floating and dynamic at m_nMRUWidth, else one
  // row or one column.
  void Layout();
  void OnPaint();
  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);

  // Labels already in the control's string pool: text to pool index (the pointer's value). Null
  // until the first label; the bar deletes it.
  CMapStringToPtr* m_pStringMap {};
  // The buttons or the docking changed since the layout was last committed.
  BOOL m_bDelayedButtonLayout {TRUE};
  // The content width a floating dynamic bar had when its layout was last committed.
  int m_nMRUWidth {32767};

  DECLARE_MESSAGE_MAP()

private:
  CSize CalcLayout(DWORD mode, int length);
  // The row breaks for the layout mode (one per button), from the buttons and their widths.
  std::vector<bool> WrapsFor(DWORD mode, int length, const CRect& inside, const std::vector<TBBUTTON>& buttons,
                             const std::vector<int>& widths);
  // Writes the button at `index` unless it is that button already.
  void SetButtonAt(int index, const TBBUTTON& button);

  std::unique_ptr<CImageList> m_pImages;  // the pictures of SetBitmap
  CSize m_sizeImage {16, 15};
};
