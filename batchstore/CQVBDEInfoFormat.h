#pragma once
// The info files of the batch store: small script files beside a batch ("batch.info"), a document
// ("document.info", naming the document type) and an image ("<image>.info", holding its remark
// type). The store opens them on the right path (CQVBDEFS::Connect...InfoFile); a missing file
// stays empty and is made by the first change, which is saved at once.
//
// The typed setters are read-modify-write: under the file's lock they read the file again, change
// their key and save, so that two processes setting keys of one file keep each other's changes.

#include "foundation/util/CDPXScriptFile.h"

class CQVBDEInfoFormat : public CDPXScriptFile {
  DECLARE_DYNAMIC(CQVBDEInfoFormat)
protected:
  // Reads the file again, sets the key and saves, under the file's lock.
  BOOL _SetLocked(LPCWSTR section, LPCWSTR key, LPCWSTR value);
};

// No keys of its own: callers use the script-file operations.
class CQVBDEBatchInfoFormat : public CQVBDEInfoFormat {
  DECLARE_DYNAMIC(CQVBDEBatchInfoFormat)
};

class CQVBDEDocumentInfoFormat : public CQVBDEInfoFormat {
  DECLARE_DYNAMIC(CQVBDEDocumentInfoFormat)
public:
  // "Type" in section "Document Type", trimmed.
  BOOL SetDocumentType(LPCWSTR type);
  // Empty when there is none; always TRUE.
  BOOL GetDocumentType(CString& type);
};

class CQVBDEImageInfoFormat : public CQVBDEInfoFormat {
  DECLARE_DYNAMIC(CQVBDEImageInfoFormat)
public:
  // Remark types: 0 (none stored), 1 to 6 (described in the workgroup's "RemarkTypes.dps"), and
  // 999, which stands for every other value.
  static BOOL IsValidRemarkType(int type) { return (type >= 0 && type <= 6) || type == 999; }
  // "Type" in section "Remark"; an invalid type is stored as 999.
  BOOL SetRemarkType(int type);
  // 0 when absent or not a number, 999 for a number that is no valid type; always TRUE.
  BOOL GetRemarkType(int& type);
};
