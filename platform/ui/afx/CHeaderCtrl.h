#pragma once
// CHeaderCtrl: a header control (a report list's, through CListCtrl::GetHeaderCtrl).

#include "platform/ui/afx/CWnd.h"
#include "platform/ui/comctl/commctrl.h"

class CHeaderCtrl : public CWnd {
  DECLARE_DYNAMIC(CHeaderCtrl)
public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create(WC_HEADERW, nullptr, style, rect, parent, id);
  }
  int GetItemCount() const { return static_cast<int>(SendMessage(HDM_GETITEMCOUNT)); }
  int InsertItem(int index, HDITEMW* item) {
    return static_cast<int>(SendMessage(HDM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item)));
  }
  BOOL DeleteItem(int index) { return static_cast<BOOL>(SendMessage(HDM_DELETEITEM, static_cast<WPARAM>(index))); }
  BOOL GetItem(int index, HDITEMW* item) const {
    return static_cast<BOOL>(SendMessage(HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item)));
  }
  BOOL SetItem(int index, HDITEMW* item) {
    return static_cast<BOOL>(SendMessage(HDM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item)));
  }
  BOOL GetItemRect(int index, LPRECT rect) const {
    return static_cast<BOOL>(SendMessage(HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)));
  }

  // Owner-drawn items (HDF_OWNERDRAW) draw here.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}

protected:
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
