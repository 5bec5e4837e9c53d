#pragma once
// CQVBDEIndexFormat: index files ("batch.<n>.index", "document.<n>.index"). UTF-8 with a
// byte-order mark, lines ending in CR LF; one block per item, in list order:
//
//   [<name>]
//   Source = Manual | System | OCR | Barcode      (nothing after "= " for another source)
//   Accuracy = <0..10000>
//   "<first line of the value>"
//   "<each further line>"                         (an empty value is one line "")
//   <empty line>
//
// A value is cut into lines at CR LF, and also at a lone CR or LF, which would otherwise not
// survive reading; such a value reads back with CR LF in their place. Reading takes files of
// other editors too: LF line ends, no byte-order mark, keys it does not know.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CQVBDEIndexItemList;

class CQVBDEIndexFormat : public CObject {
  DECLARE_DYNAMIC(CQVBDEIndexFormat)
public:
  // The delimiters around every value line: both the double quote.
  static const WCHAR m_tchLeft;
  static const WCHAR m_tchRight;

  // Replaces the file whole; on failure the file that was there stays. FALSE also for an item
  // whose name holds a line break (it would not read back as one item).
  static BOOL Save(LPCWSTR path, CQVBDEIndexItemList& list);
  // Adds (or updates) an item per section of the file; the list is not emptied first. FALSE when
  // the file cannot be read or an accuracy is no number.
  static BOOL Load(LPCWSTR path, CQVBDEIndexItemList& list);

protected:
  // The line without its delimiters; FALSE, piece emptied, when it lacks them.
  static BOOL RetrieveLine(LPCWSTR line, CString& piece);
};
