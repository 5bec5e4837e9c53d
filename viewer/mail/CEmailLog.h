#pragma once
// CEmailLog: the day's e-mail log, a text file that grows by one line per image sent:
// "(YYYY/MM/DD - hh:mm):<TAB>path<TAB>size<TAB>YYYY/MM/DD - hh:mm<TAB>" with CR LF, the time of
// the sending and the file's size and last change, all in local time. Size and change stay empty
// when the file cannot be looked at.

#include "foundation/util/CDPXStdioFile.h"

class CEmailLog {
public:
  // Opens the file, making it when it is missing, and goes to its end.
  BOOL Open(const CString& path);
  BOOL IsOpen() const { return m_bOpen; }
  void WriteSource(const CString& path);
  void WriteText(LPCWSTR text);
  void Close();

private:
  CDPXStdioFile m_file;
  BOOL m_bOpen { FALSE };
};
