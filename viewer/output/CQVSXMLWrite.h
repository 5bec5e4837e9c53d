#pragma once
// CQVSXMLWrite: writes index data as XML, one record per call:
//
//   <?xml version="1.0" encoding="utf-8"?>
//   <data>
//   <recordlist>
//   <record>
//   <item>value</item>            one line per value
//   </record>
//                                 (an empty line)
//   </recordlist>
//   </data>                       no line end after it
//
// Lines end in CR LF. In values "&", "<" and ">" are escaped and a CR is written as a character
// reference, so that a reader gets line breaks back as they were; characters that XML cannot
// carry at all (other control characters, unpaired surrogates, U+FFFE and U+FFFF) become U+FFFD.

#include "viewer/output/CQVExportFile.h"

class CDPXStringList;

class CQVSXMLWrite : public CQVExportFile {
public:
  // Starts the file at `path` (a file still open is dropped) with its three opening lines. FALSE
  // when it cannot be created or written.
  BOOL Open(LPCWSTR path);
  // FALSE, writing nothing, when the file is not open, the list is empty or `kind` is not 0;
  // otherwise one write of the record.
  BOOL WriteRecord(const CDPXStringList& values, int kind = 0);
  // Writes the closing lines and puts the file in place; FALSE when a write failed or the file
  // could not be put in place. A second call does nothing and answers FALSE.
  BOOL Close();
};
