#include "viewer/output/ExportCommand.h"

#include "foundation/language/CQVRCM.h"
#include "foundation/util/CDPXStringList.h"
#include "framework/dialogs/CQVDialogHelper.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/output/CExportDlg.h"
#include "viewer/output/IndexExport.h"

namespace {

CString Text(LPCWSTR key) {
  CString text;
  CQVRCM::LoadText(key, text);
  return text;
}

}  // namespace

BOOL ExportSearchResults(CWnd* owner, const CIBSPlant& plant, BOOL& includeHeadings) {
  CExportDlg dialog(FALSE, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, owner);
  dialog.m_strTitle = Text(u"TXT_DLG_EXPORT_TITLE");
  dialog.m_strCheckTitle = Text(u"TXT_DLG_EXPORT_CHECKTITLE");
  dialog.m_bIncludeHeadings = includeHeadings;
  if (dialog.DoModal() != IDOK) return FALSE;

  CQVDialogHelper boxes(owner);
  CString path;
  int format = 0;
  BOOL headings = FALSE;
  if (!dialog.GetExportChoice(path, format, headings)) {
    boxes.ErrorMsg(u"MSG_DLG_EXPORT_ERR_WRONGFILETYPE", u"QVKERNEL_DEFAULTCAPTION_ERRORMSG");
    return FALSE;
  }
  includeHeadings = headings;

  CDPXStringList queryNames;
  CString name;
  for (POSITION pos = plant.GetFirstQueryNamePosition(); plant.GetNextQueryName(pos, name);) queryNames.Add(name);
  CIBSDocumentList documents;
  for (int i = 0; i < plant.GetResultCount(); ++i) documents.push_back(plant.GetResult(i));
  const IndexExportHeadings texts {Text(u"TXT_DLG_SRH_RESULTS_BATCHNAME"), Text(u"TXT_DLG_SRH_RESULTS_DOCNUMBER")};
  const IndexExportFormat kind = format == CExportDlg::kFormatCSV ? IndexExportFormat::CSV : IndexExportFormat::XML;
  if (ExportIndexData(path, kind, headings ? &texts : nullptr, queryNames, documents)) return TRUE;
  boxes.ErrorMsg(u"MSG_DLG_EXPORT_ERR_WRITEFAILED", u"QVKERNEL_DEFAULTCAPTION_ERRORMSG");
  return FALSE;
}
