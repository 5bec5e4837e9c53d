#include "viewer/mail/CEmailLog.h"

#include "platform/core/paths.h"

#include <ctime>
#include <sys/stat.h>

namespace {

CString Stamp(const char16_t* format, std::time_t when) {
  std::tm local {};
  localtime_r(&when, &local);
  CString text;
  text.Format(format, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
  return text;
}

}  // namespace

BOOL CEmailLog::Open(const CString& path) {
  Close();
  m_bOpen = m_file.OpenText(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
  if (m_bOpen) m_file.SeekToEnd();
  return m_bOpen;
}

void CEmailLog::WriteSource(const CString& path) {
  if (!m_bOpen) return;
  CString size, changed;
  struct stat st {};
  if (::stat(ResolvePath(path).c_str(), &st) == 0) {
    size.Format(u"%0lld\t", static_cast<long long>(st.st_size));
    changed = Stamp(u"%04d/%02d/%02d - %02d:%02d\t", st.st_mtime);
  }
  CString line;
  line.Format(u"%s%s\t%s%s\r\n", Stamp(u"(%04d/%02d/%02d - %02d:%02d):\t", std::time(nullptr)).GetString(),
              path.GetString(), size.GetString(), changed.GetString());
  m_file.WriteString(line);
}

void CEmailLog::WriteText(LPCWSTR text) {
  if (m_bOpen) m_file.WriteString(text);
}

void CEmailLog::Close() {
  if (m_bOpen) m_file.Close();
  m_bOpen = FALSE;
}
