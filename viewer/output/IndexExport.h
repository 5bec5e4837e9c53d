#pragma once
// The index data of search results as a file: what the export command writes through the CSV and
// XML writers. Every record has the columns of the heading: the batch's name, the document number,
// then the value of each query field by name (empty where a document's batch lacks the field), so
// that results from batches with other fields or another field order stay in their columns.

#include "viewer/model/CIBSDocument.h"

class CDPXStringList;

enum class IndexExportFormat { CSV = 1, XML = 2 };

struct IndexExportHeadings {
  CString batch;   // the text of "TXT_DLG_SRH_RESULTS_BATCHNAME"
  CString number;  // the text of "TXT_DLG_SRH_RESULTS_DOCNUMBER"
};

// Writes the heading record when `headings` is given, then one record per document in order.
// FALSE when the file cannot be written or a document has no batch: the file at `path` is then
// as it was before (none, or the earlier one).
BOOL ExportIndexData(LPCWSTR path, IndexExportFormat format, const IndexExportHeadings* headings,
                     const CDPXStringList& queryNames, const CIBSDocumentList& documents);
