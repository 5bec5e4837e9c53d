#pragma once
// CQVComboBox: a combo box that can change its kind while it runs (1 simple, 2 drop-down with an
// edit field, 3 drop-down list) and offers the option-list operations of CQVListBox on itself.

#include "framework/dialogs/CQVListBox.h"
#include "platform/ui/afx/CComboBox.h"

class CQVComboBox : public CComboBox {
  DECLARE_DYNAMIC(CQVComboBox)
public:
  // FALSE for another mode or without a window.
  BOOL SetMode(int mode);
  // The kind, 0 when the style has none; FALSE without a window.
  BOOL GetMode(int& mode) const;

  BOOL BuildFromProfile(LPCWSTR path, LPCWSTR section, LPCWSTR format = nullptr) {
    return CQVListBox::__BuildFromProfile(this, path, section, format);
  }
  BOOL BuildFromArray(const int* values, int count, LPCWSTR format = nullptr) {
    return CQVListBox::__BuildFromArray(this, values, count, format);
  }
  void RemoveOptions(BOOL removeNegative, BOOL removeZero, BOOL removePositive) {
    CQVListBox::__RemoveOptions(this, removeNegative, removeZero, removePositive);
  }
  BOOL SelectOption(int value) { return CQVListBox::__SelectOption(this, value); }
  BOOL GetSelectedOption(int& value) { return CQVListBox::__GetSelectedOption(this, value); }
  BOOL ForceSelect(BOOL last) { return CQVListBox::__ForceSelect(this, last); }
  BOOL ForceSelectEx(int index, BOOL last) { return CQVListBox::__ForceSelectEx(this, index, last); }
  BOOL CanMoveFirst(int index) { return CQVListBox::__CanMoveFirst(this, index); }
  BOOL CanMovePrev(int index) { return CQVListBox::__CanMovePrev(this, index); }
  BOOL CanMoveNext(int index) { return CQVListBox::__CanMoveNext(this, index); }
  BOOL CanMoveLast(int index) { return CQVListBox::__CanMoveLast(this, index); }
  BOOL MoveFirst(int& index) { return CQVListBox::__MoveFirst(this, index); }
  BOOL MovePrev(int& index) { return CQVListBox::__MovePrev(this, index); }
  BOOL MoveNext(int& index) { return CQVListBox::__MoveNext(this, index); }
  BOOL MoveLast(int& index) { return CQVListBox::__MoveLast(this, index); }
};
