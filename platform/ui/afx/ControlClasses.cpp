// The control classes' run-time records and their few members that are not inline.

#include "platform/ui/afx/CButton.h"
#include "platform/ui/afx/CComboBox.h"
#include "platform/ui/afx/CEdit.h"
#include "platform/ui/afx/CListBox.h"
#include "platform/ui/afx/CProgressCtrl.h"
#include "platform/ui/afx/CScrollBar.h"
#include "platform/ui/afx/CSpinButtonCtrl.h"
#include "platform/ui/afx/CStatic.h"
#include "platform/ui/afx/CTabCtrl.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)

namespace {

template <class Length, class Get> void ItemText(int index, CString& text, Length length, Get get) {
  int n = length(index);
  if (n < 0) {
    text.Empty();
    return;
  }
  std::u16string buffer(static_cast<size_t>(n) + 1, u'\0');
  get(index, buffer.data());
  text = buffer.c_str();
}

}  // namespace

void CComboBox::GetLBText(int index, CString& text) const {
  ItemText(index, text, [this](int i) { return GetLBTextLen(i); }, [this](int i, LPWSTR b) { GetLBText(i, b); });
}

void CListBox::GetText(int index, CString& text) const {
  ItemText(index, text, [this](int i) { return GetTextLen(i); }, [this](int i, LPWSTR b) { GetText(i, b); });
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, result);
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (result) *result = TRUE;
  return TRUE;
}
