#pragma once
// CQVCSVWrite: writes index data as CSV, one record per call: every value in double quotes (a
// double quote inside doubled), separated by ",", each record ended by CR LF. Values go in as
// they are, line breaks included: a reader of quoted CSV fields gets them back unchanged.

#include "viewer/output/CQVExportFile.h"

class CDPXStringList;

class CQVCSVWrite : public CQVExportFile {
public:
  // Starts the file at `path` (a file still open is dropped). FALSE when it cannot be created.
  BOOL Open(LPCWSTR path);
  // FALSE, writing nothing, when the file is not open, the list is empty or `kind` is not 0;
  // otherwise one write of the record.
  BOOL WriteRecord(const CDPXStringList& values, int kind = 0);
  // Puts the file in place; FALSE when a write failed or the file could not be put in place.
  BOOL Close();
};
