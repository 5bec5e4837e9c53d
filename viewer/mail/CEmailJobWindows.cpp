#include "viewer/mail/CEmailJobWindows.h"

#include "viewer/mail/CProgressDlg.h"

void CEmailJobWindows::ErrorMsg(LPCWSTR textKey, const CString& mailClient) {
  CString text;
  m_helper.LoadText(textKey, text);
  text.Replace(u"<%mailclient%>", mailClient);
  m_helper._ErrorMsg(text);
}

BOOL CEmailJobWindows::YesNoMsg(LPCWSTR textKey) { return m_helper.YesNoMsg(textKey); }

void CEmailJobWindows::RunWithProgress(int steps, const std::function<void(const Step& step)>& work) {
  CProgressDlg dialog(m_pParent);
  dialog.Run(steps, work);
}
