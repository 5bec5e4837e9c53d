#include "batchstore/CQVBDEInfoFormat.h"

#include "foundation/util/CQVGPMLock.h"

IMPLEMENT_DYNAMIC(CQVBDEInfoFormat, CDPXScriptFile)
IMPLEMENT_DYNAMIC(CQVBDEBatchInfoFormat, CQVBDEInfoFormat)
IMPLEMENT_DYNAMIC(CQVBDEDocumentInfoFormat, CQVBDEInfoFormat)
IMPLEMENT_DYNAMIC(CQVBDEImageInfoFormat, CQVBDEInfoFormat)

namespace {
constexpr DWORD kLockTimeout = 30000;
}

BOOL CQVBDEInfoFormat::_SetLocked(LPCWSTR section, LPCWSTR key, LPCWSTR value) {
  CString path = GetPath();
  if (path.IsEmpty()) return SetString(key, value, FALSE, section);
  CQVGPMLock lock;
  if (!lock.SetProtectedFile(path) || !lock.Lock(kLockTimeout)) return FALSE;
  // A missing file reads as empty; the lines in memory give way to what another process saved.
  Load();
  return SetString(key, value, FALSE, section);
}

BOOL CQVBDEDocumentInfoFormat::SetDocumentType(LPCWSTR type) {
  CString value(type ? type : u"");
  return _SetLocked(u"Document Type", u"Type", value.Trim());
}

BOOL CQVBDEDocumentInfoFormat::GetDocumentType(CString& type) {
  GetString(u"Type", type, FALSE, u"Document Type");
  type.Trim();
  return TRUE;
}

BOOL CQVBDEImageInfoFormat::SetRemarkType(int type) {
  CString value;
  value.Format(u"%d", IsValidRemarkType(type) ? type : 999);
  return _SetLocked(u"Remark", u"Type", value);
}

BOOL CQVBDEImageInfoFormat::GetRemarkType(int& type) {
  if (!GetInt(u"Type", type, FALSE, u"Remark")) type = 0;
  else if (!IsValidRemarkType(type)) type = 999;
  return TRUE;
}
