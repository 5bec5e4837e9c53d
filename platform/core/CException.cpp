#include "platform/core/CException.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)

namespace {

BOOL CopyMessage(const CString& text, LPWSTR message, UINT maxLength) {
  if (!message || maxLength == 0) return FALSE;
  const UINT n = std::min<UINT>(static_cast<UINT>(text.GetLength()), maxLength - 1);
  std::copy_n(text.GetString(), n, message);
  message[n] = 0;
  return TRUE;
}

}  // namespace

void CException::Delete() {
  if (m_bAutoDelete) delete this;
}

BOOL CException::GetErrorMessage(LPWSTR message, UINT maxLength, UINT* helpContext) const {
  if (helpContext) *helpContext = 0;
  if (message && maxLength) message[0] = 0;
  return FALSE;
}

BOOL CFileException::GetErrorMessage(LPWSTR message, UINT maxLength, UINT* helpContext) const {
  if (helpContext) *helpContext = 0;
  CString text = m_strFileName.IsEmpty() ? CString(u"file") : m_strFileName;
  text += u": ";
  text += m_lOsError > 0 ? CString::FromUtf8(std::strerror(static_cast<int>(m_lOsError))) : CString(u"file error");
  return CopyMessage(text, message, maxLength);
}

int CFileException::CauseFromErrno(int errnoValue) {
  switch (errnoValue) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR: case ENAMETOOLONG: case ELOOP: return badPath;
    case EMFILE: case ENFILE: return tooManyOpenFiles;
    case EACCES: case EPERM: case EROFS: case EISDIR: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY: return sharingViolation;
    case ENOSPC: case EDQUOT: case EFBIG: return diskFull;
    case EIO: return hardIO;
    case ESPIPE: case EINVAL: return badSeek;
    default: return genericException;
  }
}

void AfxThrowMemoryException() { throw new CMemoryException; }
void AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AfxThrowFileException(int cause, LONG osError, LPCWSTR fileName) {
  throw new CFileException(cause, osError, fileName);
}
