#pragma once
// CQVListBox: one set of operations for option lists in list boxes and combo boxes. Each item of
// an option list carries an integer option value in its item data; lists are filled from the
// "Option" lines of a script-file section or from an array of numbers, selected by value and
// reordered by moving items. The static operations take any window: a CListBox or a CComboBox
// object (kind 1 or 2); any other window, or none, makes them fail (FALSE, or -1 where they
// answer an index or item data) without sending anything.
//
// Texts made from option values take the caller's format, in which "%d" (with flags and a width)
// stands for the value and "%%" for a percent sign; nothing else in it is read as a conversion.
//
// Moving an item keeps the selection on the item that was selected, wherever it now stands.

#include "platform/ui/afx/CListBox.h"

class CQVComboBox;

class CQVListBox : public CListBox {
  DECLARE_DYNAMIC(CQVListBox)
public:
  // Fills the list from the "Option = value[, text]" lines of the section; an empty text becomes
  // the value in the format. Any failure leaves the list empty.
  BOOL BuildFromProfile(LPCWSTR path, LPCWSTR section, LPCWSTR format = nullptr) {
    return __BuildFromProfile(this, path, section, format);
  }
  BOOL BuildFromArray(const int* values, int count, LPCWSTR format = nullptr) {
    return __BuildFromArray(this, values, count, format);
  }
  void RemoveOptions(BOOL removeNegative, BOOL removeZero, BOOL removePositive) {
    __RemoveOptions(this, removeNegative, removeZero, removePositive);
  }
  // The first item with the value, else the first item.
  BOOL SelectOption(int value) { return __SelectOption(this, value); }
  BOOL GetSelectedOption(int& value) { return __GetSelectedOption(this, value); }
  // Selects the last or first item when nothing is selected.
  BOOL ForceSelect(BOOL last) { return __ForceSelect(this, last); }
  // Selects the index when it is in range; otherwise as ForceSelect.
  BOOL ForceSelectEx(int index, BOOL last) { return __ForceSelectEx(this, index, last); }
  // A negative index stands for the selected item; the Move operations write back where the item
  // went.
  BOOL CanMoveFirst(int index) { return __CanMoveFirst(this, index); }
  BOOL CanMovePrev(int index) { return __CanMovePrev(this, index); }
  BOOL CanMoveNext(int index) { return __CanMoveNext(this, index); }
  BOOL CanMoveLast(int index) { return __CanMoveLast(this, index); }
  BOOL MoveFirst(int& index) { return __MoveFirst(this, index); }
  BOOL MovePrev(int& index) { return __MovePrev(this, index); }
  BOOL MoveNext(int& index) { return __MoveNext(this, index); }
  BOOL MoveLast(int& index) { return __MoveLast(this, index); }

protected:
  friend class CQVComboBox;

  enum { kindOther = 0, kindListBox = 1, kindComboBox = 2 };
  static int __GetWindowType(CWnd* wnd);
  static BOOL __CheckWindowType(CWnd* wnd) { return __GetWindowType(wnd) != kindOther; }
  static BOOL __GetText(CWnd* wnd, int index, CString& text);
  static void __ResetContent(CWnd* wnd);
  static int __GetCount(CWnd* wnd);
  static int __AddString(CWnd* wnd, LPCWSTR text);
  static int __InsertString(CWnd* wnd, int index, LPCWSTR text);
  static int __DeleteString(CWnd* wnd, int index);
  static int __SetItemData(CWnd* wnd, int index, DWORD_PTR data);
  static int __GetItemData(CWnd* wnd, int index);
  static int __SetCurSel(CWnd* wnd, int index);
  static int __GetCurSel(CWnd* wnd);

  static BOOL __BuildFromProfile(CWnd* wnd, LPCWSTR path, LPCWSTR section, LPCWSTR format);
  static BOOL __BuildFromArray(CWnd* wnd, const int* values, int count, LPCWSTR format);
  static void __RemoveOptions(CWnd* wnd, BOOL removeNegative, BOOL removeZero, BOOL removePositive);
  static BOOL __SelectOption(CWnd* wnd, int value);
  static BOOL __GetSelectedOption(CWnd* wnd, int& value);
  static BOOL __ForceSelect(CWnd* wnd, BOOL last);
  static BOOL __ForceSelectEx(CWnd* wnd, int index, BOOL last);
  static BOOL __CanMove(CWnd* wnd, int from, int to);
  // FALSE, changing nothing, for indices that __CanMove refuses.
  static BOOL __Move(CWnd* wnd, int from, int to);
  static BOOL __CanMoveFirst(CWnd* wnd, int index);
  static BOOL __CanMovePrev(CWnd* wnd, int index);
  static BOOL __CanMoveNext(CWnd* wnd, int index);
  static BOOL __CanMoveLast(CWnd* wnd, int index);
  static BOOL __MoveFirst(CWnd* wnd, int& index);
  static BOOL __MovePrev(CWnd* wnd, int& index);
  static BOOL __MoveNext(CWnd* wnd, int& index);
  static BOOL __MoveLast(CWnd* wnd, int& index);

private:
  // A text for an option value made with the caller's format (see above); "%d" when none.
  static CString FormatOption(LPCWSTR format, int value);
  static BOOL MoveTo(CWnd* wnd, int& index, int target);
};
