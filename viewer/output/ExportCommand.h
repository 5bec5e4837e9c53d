#pragma once
// The export of the search results' index data as the user starts it: the export dialog, then the
// records of every result in the dialog's format.

#include "platform/core/CString.h"

class CIBSPlant;
class CWnd;

// Asks for the file with the export dialog, whose heading switch starts from `includeHeadings` and
// is stored back into it, then writes the heading record (when asked for) and one record per result
// in result order: batch, document number and the values of the query's fields. A file type the
// dialog cannot tell shows "MSG_DLG_EXPORT_ERR_WRONGFILETYPE", a file that cannot be written
// "MSG_DLG_EXPORT_ERR_WRITEFAILED" (the file at the path is then as it was). FALSE then, and when
// the user cancels.
BOOL ExportSearchResults(CWnd* owner, const CIBSPlant& plant, BOOL& includeHeadings);
