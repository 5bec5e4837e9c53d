#include "framework/dialogs/CQVListBox.h"

#include "framework/dialogs/DecimalText.h"
#include "foundation/util/CDPXScriptFile.h"
#include "foundation/util/CDPXStringList.h"
#include "foundation/util/DPXText.h"
#include "platform/ui/afx/CComboBox.h"

#include <cstdint>

IMPLEMENT_DYNAMIC(CQVListBox, CListBox)

namespace {

// Where the item at `index` stands after the item at `from` moved to `to`.
int IndexAfterMove(int index, int from, int to) {
  if (index == from) return to;
  if (from < to && index > from && index <= to) return index - 1;
  if (to < from && index >= to && index < from) return index + 1;
  return index;
}

}  // namespace

CString CQVListBox::FormatOption(LPCWSTR format, int value) {
  const CString number = [value] {
    CString digits;
    digits.Format(u"%d", value);
    return digits;
  }();
  if (!format || !*format) return number;
  CString text;
  for (const char16_t* p = format; *p; ++p) {
    if (*p != u'%') {
      text += static_cast<WCHAR>(*p);
      continue;
    }
    if (p[1] == u'%') {
      text += u'%';
      ++p;
      continue;
    }
    // "%" [flags] [width] "d" or "i": the value; any other "%" stands as it is.
    const char16_t* q = p + 1;
    bool left = false, zero = false, plus = false, blank = false;
    for (;; ++q) {
      if (*q == u'-') left = true;
      else if (*q == u'0') zero = true;
      else if (*q == u'+') plus = true;
      else if (*q == u' ') blank = true;
      else break;
    }
    int width = 0;
    for (; *q >= u'0' && *q <= u'9' && width < 100; ++q) width = width * 10 + (*q - u'0');
    if (*q != u'd' && *q != u'i') {
      text += u'%';
      continue;
    }
    CString field = number;
    if (value >= 0 && (plus || blank)) field = CString(plus ? u"+" : u" ") + field;
    while (field.GetLength() < width) {
      if (left) field += u' ';
      else if (zero) field.Insert(field[0] == u'-' || field[0] == u'+' || field[0] == u' ' ? 1 : 0, u'0');
      else field.Insert(0, u' ');
    }
    text += field;
    p = q;
  }
  return text;
}

// ---- The two kinds of window ------------------------------------------------------------------

int CQVListBox::__GetWindowType(CWnd* wnd) {
  if (!wnd || !wnd->GetSafeHwnd()) return kindOther;
  if (wnd->IsKindOf(RUNTIME_CLASS(CListBox))) return kindListBox;
  if (wnd->IsKindOf(RUNTIME_CLASS(CComboBox))) return kindComboBox;
  return kindOther;
}

namespace {
// The message of an operation for each kind; 0 for other windows.
UINT MessageFor(int kind, UINT listMessage, UINT comboMessage) {
  return kind == 1 ? listMessage : kind == 2 ? comboMessage : 0;
}
}  // namespace

BOOL CQVListBox::__GetText(CWnd* wnd, int index, CString& text) {
  switch (__GetWindowType(wnd)) {
  case kindListBox:
    if (index < 0 || index >= __GetCount(wnd)) return FALSE;
    static_cast<CListBox*>(wnd)->GetText(index, text);
    return TRUE;
  case kindComboBox:
    if (index < 0 || index >= __GetCount(wnd)) return FALSE;
    static_cast<CComboBox*>(wnd)->GetLBText(index, text);
    return TRUE;
  default: return FALSE;
  }
}

void CQVListBox::__ResetContent(CWnd* wnd) {
  if (UINT m = MessageFor(__GetWindowType(wnd), LB_RESETCONTENT, CB_RESETCONTENT)) wnd->SendMessage(m);
}

int CQVListBox::__GetCount(CWnd* wnd) {
  UINT m = MessageFor(__GetWindowType(wnd), LB_GETCOUNT, CB_GETCOUNT);
  return m ? static_cast<int>(wnd->SendMessage(m)) : -1;
}

int CQVListBox::__AddString(CWnd* wnd, LPCWSTR text) {
  UINT m = MessageFor(__GetWindowType(wnd), LB_ADDSTRING, CB_ADDSTRING);
  return m ? static_cast<int>(wnd->SendMessage(m, 0, reinterpret_cast<LPARAM>(text))) : -1;
}

int CQVListBox::__InsertString(CWnd* wnd, int index, LPCWSTR text) {
  UINT m = MessageFor(__GetWindowType(wnd), LB_INSERTSTRING, CB_INSERTSTRING);
  return m ? static_cast<int>(wnd->SendMessage(m, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text))) : -1;
}

int CQVListBox::__DeleteString(CWnd* wnd, int index) {
  UINT m = MessageFor(__GetWindowType(wnd), LB_DELETESTRING, CB_DELETESTRING);
  return m ? static_cast<int>(wnd->SendMessage(m, static_cast<WPARAM>(index))) : -1;
}

int CQVListBox::__SetItemData(CWnd* wnd, int index, DWORD_PTR data) {
  UINT m = MessageFor(__GetWindowType(wnd), LB_SETITEMDATA, CB_SETITEMDATA);
  return m ? static_cast<int>(wnd->SendMessage(m, static_cast<WPARAM>(index), static_cast<LPARAM>(data))) : -1;
}

int CQVListBox::__GetItemData(CWnd* wnd, int index) {
  UINT m = MessageFor(__GetWindowType(wnd), LB_GETITEMDATA, CB_GETITEMDATA);
  return m ? static_cast<int>(wnd->SendMessage(m, static_cast<WPARAM>(index))) : -1;
}

int CQVListBox::__SetCurSel(CWnd* wnd, int index) {
  UINT m = MessageFor(__GetWindowType(wnd), LB_SETCURSEL, CB_SETCURSEL);
  return m ? static_cast<int>(wnd->SendMessage(m, static_cast<WPARAM>(index))) : -1;
}

int CQVListBox::__GetCurSel(CWnd* wnd) {
  UINT m = MessageFor(__GetWindowType(wnd), LB_GETCURSEL, CB_GETCURSEL);
  return m ? static_cast<int>(wnd->SendMessage(m)) : -1;
}

// ---- Filling ----------------------------------------------------------------------------------

BOOL CQVListBox::__BuildFromProfile(CWnd* wnd, LPCWSTR path, LPCWSTR section, LPCWSTR format) {
  if (!__CheckWindowType(wnd)) return FALSE;
  auto fail = [wnd] {
    __ResetContent(wnd);
    return FALSE;
  };
  if (!path || !section) return fail();
  CDPXScriptFile script;
  script.SetAutoSave(FALSE);
  CDPXScriptItemList lines;
  if (!script.Load(path) || !script.GetKeyItems(section, u"Option", lines) || lines.GetCount() == 0) return fail();
  __ResetContent(wnd);
  for (POSITION pos = lines.GetHeadPosition(); pos;) {
    auto* line = static_cast<CDPXScriptItem*>(lines.GetNext(pos));
    CString value;
    if (!line || !line->GetValue(value)) return fail();
    CDPXStringList pieces;
    const int count = DPXSplitString(value, pieces, u",");
    CString numberText = value, text;
    if (count >= 2) {
      pieces.GetAtIndex(0, numberText);
      pieces.GetAtIndex(1, text);
    }
    int number = 0;
    const char16_t* digits = numberText.GetString();
    if (!qvdialogs::ReadDecimal(digits, number)) return fail();
    if (text.IsEmpty()) text = FormatOption(format, number);
    const int index = __InsertString(wnd, -1, text);
    if (index < 0 || __SetItemData(wnd, index, static_cast<DWORD_PTR>(static_cast<intptr_t>(number))) < 0)
      return fail();
  }
  return TRUE;
}

BOOL CQVListBox::__BuildFromArray(CWnd* wnd, const int* values, int count, LPCWSTR format) {
  if (!__CheckWindowType(wnd)) return FALSE;
  __ResetContent(wnd);
  if (!values || count <= 0) return FALSE;
  for (int i = 0; i < count; ++i) {
    const int index = __InsertString(wnd, -1, FormatOption(format, values[i]));
    if (index < 0 || __SetItemData(wnd, index, static_cast<DWORD_PTR>(static_cast<intptr_t>(values[i]))) < 0) {
      __ResetContent(wnd);
      return FALSE;
    }
  }
  return TRUE;
}

void CQVListBox::__RemoveOptions(CWnd* wnd, BOOL removeNegative, BOOL removeZero, BOOL removePositive) {
  if (!__CheckWindowType(wnd)) return;
  for (int i = __GetCount(wnd) - 1; i >= 0; --i) {
    const int data = __GetItemData(wnd, i);
    if ((data < 0 && removeNegative) || (data == 0 && removeZero) || (data > 0 && removePositive))
      __DeleteString(wnd, i);
  }
}

// ---- Selection --------------------------------------------------------------------------------

BOOL CQVListBox::__SelectOption(CWnd* wnd, int value) {
  const int count = __GetCount(wnd);
  if (count <= 0) return FALSE;
  int index = 0;
  for (int i = 0; i < count; ++i)
    if (__GetItemData(wnd, i) == value) {
      index = i;
      break;
    }
  __SetCurSel(wnd, index);
  return TRUE;
}

BOOL CQVListBox::__GetSelectedOption(CWnd* wnd, int& value) {
  if (__GetCount(wnd) <= 0) return FALSE;
  const int selected = __GetCurSel(wnd);
  if (selected < 0) return FALSE;
  value = __GetItemData(wnd, selected);
  return TRUE;
}

BOOL CQVListBox::__ForceSelect(CWnd* wnd, BOOL last) { return __ForceSelectEx(wnd, -1, last); }

BOOL CQVListBox::__ForceSelectEx(CWnd* wnd, int index, BOOL last) {
  const int count = __GetCount(wnd);
  if (count <= 0) return FALSE;
  if (index >= 0 && index < count) __SetCurSel(wnd, index);
  else if (__GetCurSel(wnd) < 0) __SetCurSel(wnd, last ? count - 1 : 0);
  return TRUE;
}

// ---- Moving -----------------------------------------------------------------------------------

BOOL CQVListBox::__CanMove(CWnd* wnd, int from, int to) {
  const int count = __GetCount(wnd);
  return from >= 0 && from < count && to >= 0 && to < count && from != to;
}

BOOL CQVListBox::__Move(CWnd* wnd, int from, int to) {
  if (!__CanMove(wnd, from, to)) return FALSE;
  const int count = __GetCount(wnd);
  const int selected = __GetCurSel(wnd);
  CString text;
  __GetText(wnd, from, text);
  const int data = __GetItemData(wnd, from);
  // The copy goes in first, so that the item is never missing from the list.
  const int at = to < from ? to : (to == count - 1 ? -1 : to + 1);
  const int copy = __InsertString(wnd, at, text);
  if (copy < 0) return FALSE;
  __SetItemData(wnd, copy, static_cast<DWORD_PTR>(static_cast<intptr_t>(data)));
  __DeleteString(wnd, to < from ? from + 1 : from);
  __SetCurSel(wnd, selected < 0 ? -1 : IndexAfterMove(selected, from, to));
  return TRUE;
}

BOOL CQVListBox::__CanMoveFirst(CWnd* wnd, int index) {
  if (index < 0) index = __GetCurSel(wnd);
  return __CanMove(wnd, index, 0);
}

BOOL CQVListBox::__CanMovePrev(CWnd* wnd, int index) {
  if (index < 0) index = __GetCurSel(wnd);
  return __CanMove(wnd, index, index - 1);
}

BOOL CQVListBox::__CanMoveNext(CWnd* wnd, int index) {
  if (index < 0) index = __GetCurSel(wnd);
  return __CanMove(wnd, index, index + 1);
}

BOOL CQVListBox::__CanMoveLast(CWnd* wnd, int index) {
  if (index < 0) index = __GetCurSel(wnd);
  return __CanMove(wnd, index, __GetCount(wnd) - 1);
}

BOOL CQVListBox::MoveTo(CWnd* wnd, int& index, int target) {
  if (!__Move(wnd, index, target)) return FALSE;
  index = target;
  return TRUE;
}

BOOL CQVListBox::__MoveFirst(CWnd* wnd, int& index) {
  if (index < 0) index = __GetCurSel(wnd);
  return MoveTo(wnd, index, 0);
}

BOOL CQVListBox::__MovePrev(CWnd* wnd, int& index) {
  if (index < 0) index = __GetCurSel(wnd);
  return MoveTo(wnd, index, index - 1);
}

BOOL CQVListBox::__MoveNext(CWnd* wnd, int& index) {
  if (index < 0) index = __GetCurSel(wnd);
  return MoveTo(wnd, index, index + 1);
}

BOOL CQVListBox::__MoveLast(CWnd* wnd, int& index) {
  if (index < 0) index = __GetCurSel(wnd);
  return MoveTo(wnd, index, __GetCount(wnd) - 1);
}
