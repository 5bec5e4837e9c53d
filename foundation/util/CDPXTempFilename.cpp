#include "foundation/util/CDPXTempFilename.h"

#include "foundation/util/DPXPath.h"
#include "platform/core/fileapi.h"

CDPXTempFilename::CDPXTempFilename(BOOL create) {
  if (create) Create();
}

CDPXTempFilename::~CDPXTempFilename() { Delete(); }

BOOL CDPXTempFilename::Create(CString& name) {
  Delete();
  name.Empty();
  CString folder;
  DPXGetTempPath(folder);
  if (folder.IsEmpty()) return FALSE;
  WCHAR buffer[MAX_PATH] = {};
  if (GetTempFileNameW(folder, u"dp", 0, buffer) == 0) return FALSE;
  m_strFilename = buffer;
  name = m_strFilename;
  return TRUE;
}

BOOL CDPXTempFilename::Create() {
  CString name;
  return Create(name);
}

void CDPXTempFilename::Delete() {
  if (!m_strFilename.IsEmpty()) DeleteFileW(m_strFilename);
  m_strFilename.Empty();
}
