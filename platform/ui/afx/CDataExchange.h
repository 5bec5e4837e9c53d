#pragma once
// Dialog data exchange: CDataExchange and the DDX_ and DDV_ helpers that move values between a
// window's controls and its members (CWnd::UpdateData, DoDataExchange). A check that fails tells
// the user, puts the focus on the control and throws a CUserException, which UpdateData catches.

#include "platform/core/CException.h"
#include "platform/ui/afx/CWnd.h"

// An error the user has already been told of.
class CUserException : public CException {
  DECLARE_DYNAMIC(CUserException)
};

class CDataExchange {
public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  // The control's window for the exchanges that follow (the one a failure goes back to).
  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id);
  // Puts the focus on the last control prepared (selecting an edit's text) and throws.
  [[noreturn]] void Fail();

  BOOL m_bSaveAndValidate {};
  CWnd* m_pDlgWnd {};
  HWND m_hWndLastControl {};
  BOOL m_bEditLastControl {};
};

void DDX_Text(CDataExchange* dx, int id, CString& value);
// LONG is int here: the int form serves both.
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
// The index of the checked radio button of the group that starts at `id` (-1 for none).
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDX_CBStringExact(CDataExchange* dx, int id, CString& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
void DDX_LBString(CDataExchange* dx, int id, CString& value);
// Attaches the control object to the dialog's item the first time (SubclassDlgItem).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

void DDV_MaxChars(CDataExchange* dx, const CString& value, int count);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum);
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minimum, UINT maximum);
void DDV_MinMaxLong(CDataExchange* dx, LONG value, LONG minimum, LONG maximum);
void DDV_MinMaxDouble(CDataExchange* dx, double value, double minimum, double maximum);
