#pragma once
// CQVExportFile: what the two export writers share: a UTF-8 text file (it starts with the byte
// order mark EF BB BF) that replaces its target as a whole.
//
// The records go into a temporary file beside the target; Close puts it in place only when every
// write succeeded, so that a full disk or a failed record never leaves a half file at the target
// nor loses the file that was there. A writer destroyed without Close, or closed after a failed
// write, leaves the target as it was.

#include "platform/core/CAtomicFile.h"
#include "platform/core/CString.h"

#include <string_view>

class CQVExportFile {
public:
  CQVExportFile() = default;
  virtual ~CQVExportFile();
  CQVExportFile(const CQVExportFile&) = delete;
  CQVExportFile& operator=(const CQVExportFile&) = delete;

  BOOL IsOpen() const { return m_bOpen; }
  // Drops what was written; the target stays as it was.
  void Abort();

protected:
  // Drops a file still open, starts the replacement of `path` and writes the byte order mark.
  BOOL Create(LPCWSTR path);
  // One write of the text as UTF-8; FALSE when the file is not open or the write fails (every
  // later write then fails too, and Commit refuses).
  BOOL WriteText(std::u16string_view text);
  // Puts the file in place of the target; FALSE, with the target untouched, when anything failed.
  BOOL Commit();

private:
  BOOL WriteBytes(std::string_view bytes);

  CAtomicFile m_file;
  BOOL m_bOpen { FALSE };
  BOOL m_bFailed { FALSE };
};
