#include "viewer/output/IndexExport.h"

#include "foundation/util/CDPXStringList.h"
#include "viewer/model/CIBSBatch.h"
#include "viewer/output/CQVCSVWrite.h"
#include "viewer/output/CQVSXMLWrite.h"

namespace {

template <class Writer>
BOOL WriteAll(Writer& writer, LPCWSTR path, const IndexExportHeadings* headings, const CDPXStringList& queryNames,
              const CIBSDocumentList& documents) {
  if (!writer.Open(path)) return FALSE;
  CDPXStringList record;
  CString text;
  if (headings) {
    record.Add(headings->batch);
    record.Add(headings->number);
    for (POSITION pos = queryNames.GetHeadPosition(); queryNames.GetNext(pos, text);) record.Add(text);
    if (!writer.WriteRecord(record)) return FALSE;
  }
  for (const CIBSDocument* document : documents) {
    record.RemoveAll();
    CString name, number;
    CDPXStringList values;
    if (!document || !document->GetBatch() || !document->GetBatch()->GetBatchName(name)) return FALSE;
    document->GetDocumentNumber(number);
    if (!document->GetValues(queryNames, values)) return FALSE;
    record.Add(name);
    record.Add(number);
    for (POSITION pos = values.GetHeadPosition(); values.GetNext(pos, text);) record.Add(text);
    if (!writer.WriteRecord(record)) return FALSE;
  }
  return writer.Close();
}

}  // namespace

BOOL ExportIndexData(LPCWSTR path, IndexExportFormat format, const IndexExportHeadings* headings,
                     const CDPXStringList& queryNames, const CIBSDocumentList& documents) {
  if (format == IndexExportFormat::CSV) {
    CQVCSVWrite writer;
    return WriteAll(writer, path, headings, queryNames, documents);
  }
  CQVSXMLWrite writer;
  return WriteAll(writer, path, headings, queryNames, documents);
}
