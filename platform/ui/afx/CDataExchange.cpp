#include "platform/ui/afx/CDataExchange.h"

#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/win/winctrl.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CUserException, CException)

namespace {

void Tell(CDataExchange* dx, LPCWSTR text) {
  ::MessageBoxW(dx->m_pDlgWnd ? dx->m_pDlgWnd->GetSafeHwnd() : nullptr, text, AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
}

CString TextOf(HWND control) {
  CString text;
  if (CWnd* wnd = CWnd::FromHandle(control)) wnd->GetWindowText(text);
  return text;
}

// The text as a whole number within [low, high], blanks around it allowed.
bool ParseInteger(const CString& text, long long low, long long high, long long& out) {
  std::string s = CString(text).Trim().ToUtf8();
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(s.c_str(), &end, 10);
  if (errno || !end || *end || v < low || v > high) return false;
  out = v;
  return true;
}

template <class T> void ExchangeInteger(CDataExchange* dx, int id, T& value, long long low, long long high, LPCWSTR format) {
  HWND control = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate) {
    long long v = 0;
    if (!ParseInteger(TextOf(control), low, high, v)) {
      Tell(dx, u"Please enter an integer.");
      dx->Fail();
    }
    value = static_cast<T>(v);
  } else {
    CString text;
    text.Format(format, value);
    ::SetWindowTextW(control, text.GetString());
  }
}

void Range(CDataExchange* dx, bool inside, LPCWSTR format, long long minimum, long long maximum) {
  if (!dx->m_bSaveAndValidate || inside) return;
  CString text;
  text.Format(format, minimum, maximum);
  Tell(dx, text.GetString());
  dx->Fail();
}

}  // namespace

HWND CDataExchange::PrepareCtrl(int id) {
  HWND control = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), id) : nullptr;
  m_hWndLastControl = control;
  m_bEditLastControl = FALSE;
  return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
  HWND control = PrepareCtrl(id);
  m_bEditLastControl = TRUE;
  return control;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_hWndLastControl && ::IsWindow(m_hWndLastControl)) {
    ::SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) ::SendMessageW(m_hWndLastControl, EM_SETSEL, 0, -1);
  }
  throw new CUserException;
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate) value = TextOf(control);
  else ::SetWindowTextW(control, value.GetString());
}

void DDX_Text(CDataExchange* dx, int id, int& value) { ExchangeInteger(dx, id, value, INT32_MIN, INT32_MAX, u"%d"); }
void DDX_Text(CDataExchange* dx, int id, UINT& value) { ExchangeInteger(dx, id, value, 0, UINT32_MAX, u"%u"); }

void DDX_Text(CDataExchange* dx, int id, double& value) {
  HWND control = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate) {
    std::string s = TextOf(control).Trim().ToUtf8();
    char* end = nullptr;
    double v = s.empty() ? 0 : std::strtod(s.c_str(), &end);
    if (s.empty() || !end || *end || !std::isfinite(v)) {
      Tell(dx, u"Please enter a number.");
      dx->Fail();
    }
    value = v;
  } else {
    CString text;
    text.Format(u"%.15g", value);
    ::SetWindowTextW(control, text.GetString());
  }
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
  HWND control = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
  else ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
  HWND first = dx->PrepareCtrl(id);
  if (!first) return;
  if (dx->m_bSaveAndValidate) value = -1;
  int index = 0;
  for (HWND button = first; button; button = ::GetWindow(button, GW_HWNDNEXT)) {
    if (button != first && (::GetWindowLongW(button, GWL_STYLE) & WS_GROUP)) break;
    if (!(::SendMessageW(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
    if (dx->m_bSaveAndValidate) {
      if (::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
    } else {
      ::SendMessageW(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    ++index;
  }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
  HWND control = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) index = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
  else ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

namespace {

void ComboString(CDataExchange* dx, int id, CString& value, UINT find) {
  HWND control = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) {
    value = TextOf(control);
    return;
  }
  LRESULT found = ::SendMessageW(control, find, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString()));
  if (found != CB_ERR) ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
  else if ((::GetWindowLongW(control, GWL_STYLE) & 3) != CBS_DROPDOWNLIST) ::SetWindowTextW(control, value.GetString());
}

}  // namespace

void DDX_CBString(CDataExchange* dx, int id, CString& value) { ComboString(dx, id, value, CB_FINDSTRING); }
void DDX_CBStringExact(CDataExchange* dx, int id, CString& value) { ComboString(dx, id, value, CB_FINDSTRINGEXACT); }

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
  HWND control = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) index = static_cast<int>(::SendMessageW(control, LB_GETCURSEL, 0, 0));
  else ::SendMessageW(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_LBString(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) {
    int sel = static_cast<int>(::SendMessageW(control, LB_GETCURSEL, 0, 0));
    value.Empty();
    if (sel >= 0) {
      int length = static_cast<int>(::SendMessageW(control, LB_GETTEXTLEN, static_cast<WPARAM>(sel), 0));
      std::u16string buffer(static_cast<size_t>(std::max(length, 0)) + 1, u'\0');
      ::SendMessageW(control, LB_GETTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(buffer.data()));
      value = buffer.c_str();
    }
  } else {
    ::SendMessageW(control, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString()));
  }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.GetSafeHwnd()) return;
  if (!control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd)) {
    dx->PrepareCtrl(id);
    throw new CUserException;
  }
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int count) {
  if (dx->m_bSaveAndValidate && value.GetLength() > count) {
    CString text;
    text.Format(u"Enter no more than %d characters.", count);
    Tell(dx, text.GetString());
    dx->Fail();
  } else if (!dx->m_bSaveAndValidate && dx->m_hWndLastControl && dx->m_bEditLastControl) {
    ::SendMessageW(dx->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(count), 0);
  }
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum) {
  Range(dx, value >= minimum && value <= maximum, u"Enter an integer between %lld and %lld.", minimum, maximum);
}
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minimum, UINT maximum) {
  Range(dx, value >= minimum && value <= maximum, u"Enter an integer between %lld and %lld.", minimum, maximum);
}
void DDV_MinMaxLong(CDataExchange* dx, LONG value, LONG minimum, LONG maximum) {
  Range(dx, value >= minimum && value <= maximum, u"Enter an integer between %lld and %lld.", minimum, maximum);
}

void DDV_MinMaxDouble(CDataExchange* dx, double value, double minimum, double maximum) {
  if (!dx->m_bSaveAndValidate || (value >= minimum && value <= maximum)) return;
  CString text;
  text.Format(u"Enter a number between %g and %g.", minimum, maximum);
  Tell(dx, text.GetString());
  dx->Fail();
}
